#pragma once
// A response overlay: a stored response curve (level and phase on the measurement-point grid) shown
// in the response chart beside the computed ones, for instance a measurement point's curve captured
// at one moment.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/core/bitmap.h"
#include "scene/scene_object.h"

namespace vendrel {

class TAcousticProject;

class TOverlay : public TQzControl3D {
public:
    // Number Value, named "Overlay<Value>", visible, drawn in MyColor or, when AutoColor, in a colour
    // of random hue; both curves sized to the project's measurement-point grid and zero. The project
    // is read here only: the registry that adds the overlay sets MyAcousticProject.
    TOverlay(const TAcousticProject& AcousticProjectOwner, int32_t Value, TAlphaColor MyColor,
             bool AutoColor);

    TAcousticProject* MyAcousticProject() const { return FMyAcousticProject; }
    void SetMyAcousticProject(TAcousticProject* Value) { FMyAcousticProject = Value; }
    const std::string& Name() const { return FName; }
    void SetName(const std::string& Value) { FName = Value; }
    int32_t IDnumber() const { return FIDnumber; }
    void SetIDnumber(int32_t Value) { FIDnumber = Value; }
    TAlphaColor Color() const { return FColor; }
    void SetColor(TAlphaColor Value) { FColor = Value; }
    // Level in dB and phase in degrees per point of the measurement-point grid.
    const std::vector<double>& Mag() const { return FMag; }
    const std::vector<double>& Phase() const { return FPhase; }
    // A curve of another length than the grid's raises ERangeError (nothing stored).
    void SetCurves(std::vector<double> Magnitude, std::vector<double> PhaseDegrees);
    // The two chart series that draw it (not owned; the main window creates and frees them).
    TObject* MagFLSerie() const { return FMagFLSerie; }
    void SetMagFLSerie(TObject* Value) { FMagFLSerie = Value; }
    TObject* PhaseFLSerie() const { return FPhaseFLSerie; }
    void SetPhaseFLSerie(TObject* Value) { FPhaseFLSerie = Value; }

private:
    TAcousticProject* FMyAcousticProject = nullptr; // not owned
    std::string FName;
    int32_t FIDnumber = 0;
    TAlphaColor FColor = 0;
    std::vector<double> FMag;
    std::vector<double> FPhase;
    TObject* FMagFLSerie = nullptr;
    TObject* FPhaseFLSerie = nullptr;
};

} // namespace vendrel
