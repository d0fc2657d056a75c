#pragma once
// One acoustic source of a cabinet (or of a cabinet model), and the routines that pass a change of
// an object's absolute rotation on to its scene children.
//
// Positions in metres are offsets from the cabinet; the pixel mirrors divide by the medium's pixel
// size. YpixAbs is the height: the scene's Y axis points down, so it is the negated scene Y.

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/core/bitmap.h"
#include "platform/core/node3d.h"
#include "scene/scene_object.h"

namespace vendrel {

class TDSPSpace;
class TPhysicalSpace;
class TAcousticProject;
class TCabinet;
class TPiston;

// A scene node without owner: the model or the cabinet that creates it frees it.
class TSourcePoint : public TQzControl3D {
public:
    // theCabinet is nil for a model's source point. The beam-response arrays exist only when the
    // cabinet's model allows beam steering.
    TSourcePoint(TDSPSpace* DSPWorkSpace, TPhysicalSpace* PhysicalSpace,
                 TAcousticProject* AcousticProjectOwner, TCabinet* theCabinet);

    bool Active() const { return FActive.load(); }
    void SetActive(bool Value);

    double XmRel() const { return FXmRel; }
    double YmRel() const { return FYmRel; }
    double ZmRel() const { return FZmRel; }
    void SetXmRel(double Value);
    void SetYmRel(double Value);
    void SetZmRel(double Value);
    double XpRel() const { return FXpRel; }
    double YpRel() const { return FYpRel; }
    double ZpRel() const { return FZpRel; }

    double XpixAbs() const { return FXpixAbs; }
    double YpixAbs() const { return FYpixAbs; }
    double ZpixAbs() const { return FZpixAbs; }
    double AbsoluteRotationRadX() const { return FAbsoluteRotationRadX; }
    double AbsoluteRotationRadY() const { return FAbsoluteRotationRadY; }
    double AbsoluteRotationRadZ() const { return FAbsoluteRotationRadZ; }

    // The absolute pixel position as RecalcAbsolute derives it (Y counted upwards).
    void StorePixelPosition(double X, double Y, double Z) {
        FXpixAbs = X;
        FYpixAbs = Y;
        FZpixAbs = Z;
    }
    // Absolute rotations in radians as the rotation propagation of the parent derives them.
    void StoreAbsoluteRotations(double X, double Y, double Z) {
        FAbsoluteRotationRadX = X;
        FAbsoluteRotationRadY = Y;
        FAbsoluteRotationRadZ = Z;
    }

    double SpeakerInchesSize() const { return FSpeakerInchesSize; }
    void SetSpeakerInchesSize(double Value);

    // Pixel mirrors of the metre offsets after the pixel size changed.
    void RecalcPixelPosition();

    // The node's placement, then the absolute pixel position.
    void RecalcAbsolute() override;

    TAcousticProject* MyAcousticProject() const { return FMyAcousticProject; }

    // The source's turn relative to the cabinet, radians, as the model describes it; a model's
    // reader sets it while it builds the model.
    double RotationRadRelX() const { return FRotationRadRelX; }
    double RotationRadRelY() const { return FRotationRadRelY; }
    double RotationRadRelZ() const { return FRotationRadRelZ; }
    void SetRotationRadRel(double X, double Y, double Z) {
        FRotationRadRelX = X;
        FRotationRadRelY = Y;
        FRotationRadRelZ = Z;
    }
    TDSPSpace* DSPSpace() const { return FDSPSpace; }  // shared, not owned
    TCabinet* MyCabinet() const { return FMyCabinet; } // owning cabinet; nil for a model's source point
    TPiston* Piston() const { return FPiston; }        // nil until set
    // The polar data set of the model describing this source; set by a model's reader.
    int32_t PolarID() const { return FPolarID; }
    void SetPolarID(int32_t Value) { FPolarID = Value; }
    const std::string& SourceName() const { return FSourceName; }
    TAlphaColor Color() const { return FColor; }
    // Beam-steering filter response on the cabinet's grid: linear magnitude and phase in radians.
    // The beam's processing sets it (both of one length) while the workers are paused.
    const std::vector<double>& BeamFIRResponseMg() const { return FBeamFIRResponseMg; }
    const std::vector<double>& BeamFIRResponsePh() const { return FBeamFIRResponsePh; }
    void SetBeamFIRResponse(std::vector<double> Mg, std::vector<double> Ph) {
        FBeamFIRResponseMg = std::move(Mg);
        FBeamFIRResponsePh = std::move(Ph);
    }

protected:
    void RotationChanged() override;
    void RotateXChanged() override;
    void RotateYChanged() override;
    void RotateZChanged() override;

private:
    void updateRotations(bool x, bool y, bool z);

    double FRotationRadRelZ = 0.0, FRotationRadRelX = 0.0, FRotationRadRelY = 0.0;
    TDSPSpace* FDSPSpace = nullptr; // shared, not owned
    TCabinet* FMyCabinet = nullptr; // owning cabinet; nil for a model's source point
    TPiston* FPiston = nullptr;     // nil until set
    int32_t FPolarID = 0;           // polar data set of the model describing this source
    std::string FSourceName;
    TAlphaColor FColor = 0;
    // Beam-steering filter response on the cabinet's grid: linear magnitude and phase in radians.
    std::vector<double> FBeamFIRResponseMg;
    std::vector<double> FBeamFIRResponsePh;

    TPhysicalSpace* FPhysicalSpace = nullptr;
    std::atomic<bool> FActive{true}; // read by the map threads
    double FXmRel = 0.0, FYmRel = 0.0, FZmRel = 0.0;
    double FXpRel = 0.0, FYpRel = 0.0, FZpRel = 0.0;
    double FXpixAbs = 0.0, FYpixAbs = 0.0, FZpixAbs = 0.0;
    double FAbsoluteRotationRadX = 0.0, FAbsoluteRotationRadY = 0.0, FAbsoluteRotationRadZ = 0.0;
    double FSpeakerInchesSize = 3.0; // driver diameter for the ideal-piston directivity
    TAcousticProject* FMyAcousticProject = nullptr;
};

// Pass a change of Parent's absolute rotation (radians) on to its direct children, each combining it
// by its kind; children of other kinds are skipped.
void PropagateRotationX(TControl3D* Parent, double a);
void PropagateRotationY(TControl3D* Parent, double a);
void PropagateRotationZ(TControl3D* Parent, double a);
// The same for a cluster whose matrix changed, with its rotation angles about X, Y and Z in radians.
void PropagateClusterRotation(TControl3D* Cluster, double ax, double ay, double az);
// The cluster's turn (radians about X, Y and Z) as one cabinet of it takes it.
void PropagateClusterRotationToCabinet(TCabinet& Cabinet, double ax, double ay, double az);

} // namespace vendrel
