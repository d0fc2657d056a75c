#pragma once
// Decorative objects placed in the venue and the library models they are drawn from. Ornaments take
// no part in the acoustic calculation: a change of their geometry only marks the project modified.

#include <cstdint>
#include <string>

#include "platform/core/geometry3d.h"
#include "scene/scene_object.h"

namespace vendrel {

class TPhysicalSpace;
class TAcousticProject;
class TDSPSpace;
class TModel3D;

// An ornament model of the library: identity, mass, box, anchors and the 3D object it draws with.
// The library reading fills it; ornaments only read it.
class TOrnaModel {
public:
    TOrnaModel(TPhysicalSpace* PhysicalSpace, TAcousticProject* AcousticProjectOwner);
    TOrnaModel(const TOrnaModel&) = delete;
    TOrnaModel& operator=(const TOrnaModel&) = delete;

    TPhysicalSpace* PhysicalSpace() const { return FPhysicalSpace; }
    TAcousticProject* MyAcousticProject() const { return FMyAcousticProject; }

    const std::string& Manufacturer() const { return FManufacturer; }
    void SetManufacturer(const std::string& Value) { FManufacturer = Value; }
    const std::string& GroupName() const { return FGroupName; }
    void SetGroupName(const std::string& Value) { FGroupName = Value; }
    const std::string& ModelName() const { return FModelName; }
    void SetModelName(const std::string& Value) { FModelName = Value; }
    const std::string& VariantName() const { return FVariantName; }
    void SetVariantName(const std::string& Value) { FVariantName = Value; }
    uint8_t ModelUpdateVersion() const { return FModelUpdateVersion; }
    void SetModelUpdateVersion(uint8_t Value) { FModelUpdateVersion = Value; }

    // Model coordinates in metres, Y up.
    double GravityCenterXm() const { return FGravityCenterXm; }
    void SetGravityCenterXm(double Value) { FGravityCenterXm = Value; }
    double GravityCenterYm() const { return FGravityCenterYm; }
    void SetGravityCenterYm(double Value) { FGravityCenterYm = Value; }
    double GravityCenterZm() const { return FGravityCenterZm; }
    void SetGravityCenterZm(double Value) { FGravityCenterZm = Value; }
    double FrontTopAnchorPointXm() const { return FFrontTopAnchorPointXm; }
    void SetFrontTopAnchorPointXm(double Value) { FFrontTopAnchorPointXm = Value; }
    double FrontTopAnchorPointYm() const { return FFrontTopAnchorPointYm; }
    void SetFrontTopAnchorPointYm(double Value) { FFrontTopAnchorPointYm = Value; }
    double FrontTopAnchorPointZm() const { return FFrontTopAnchorPointZm; }
    void SetFrontTopAnchorPointZm(double Value) { FFrontTopAnchorPointZm = Value; }
    double FrontBotAnchorPointXm() const { return FFrontBotAnchorPointXm; }
    void SetFrontBotAnchorPointXm(double Value) { FFrontBotAnchorPointXm = Value; }
    double FrontBotAnchorPointYm() const { return FFrontBotAnchorPointYm; }
    void SetFrontBotAnchorPointYm(double Value) { FFrontBotAnchorPointYm = Value; }
    double FrontBotAnchorPointZm() const { return FFrontBotAnchorPointZm; }
    void SetFrontBotAnchorPointZm(double Value) { FFrontBotAnchorPointZm = Value; }
    double BackTopAnchorPointXm() const { return FBackTopAnchorPointXm; }
    void SetBackTopAnchorPointXm(double Value) { FBackTopAnchorPointXm = Value; }
    double BackTopAnchorPointYm() const { return FBackTopAnchorPointYm; }
    void SetBackTopAnchorPointYm(double Value) { FBackTopAnchorPointYm = Value; }
    double BackTopAnchorPointZm() const { return FBackTopAnchorPointZm; }
    void SetBackTopAnchorPointZm(double Value) { FBackTopAnchorPointZm = Value; }
    double BackBotAnchorPointXm() const { return FBackBotAnchorPointXm; }
    void SetBackBotAnchorPointXm(double Value) { FBackBotAnchorPointXm = Value; }
    double BackBotAnchorPointYm() const { return FBackBotAnchorPointYm; }
    void SetBackBotAnchorPointYm(double Value) { FBackBotAnchorPointYm = Value; }
    double BackBotAnchorPointZm() const { return FBackBotAnchorPointZm; }
    void SetBackBotAnchorPointZm(double Value) { FBackBotAnchorPointZm = Value; }

    const std::string& FileName() const { return FFileName; }
    void SetFileName(const std::string& Value) { FFileName = Value; }
    // Kilograms and metres.
    double Weight() const { return FWeight; }
    void SetWeight(double Value) { FWeight = Value; }
    double MaxSupportWeight() const { return FMaxSupportWeight; }
    void SetMaxSupportWeight(double Value) { FMaxSupportWeight = Value; }
    double Width() const { return FWidth; }
    void SetWidth(double Value) { FWidth = Value; }
    double Height() const { return FHeight; }
    void SetHeight(double Value) { FHeight = Value; }
    double Depth() const { return FDepth; }
    void SetDepth(double Value) { FDepth = Value; }
    // The loaded 3D object; owned by the library side.
    TModel3D* Object3D() const { return FObject3D; }
    void SetObject3D(TModel3D* Value) { FObject3D = Value; }
    int32_t ModelID() const { return FModelID; }
    void SetModelID(int32_t Value) { FModelID = Value; }
    bool HasTexture() const { return FHasTexture; }
    void SetHasTexture(bool Value) { FHasTexture = Value; }
    // The rotation centre of ornaments turned about their origin.
    const TPoint3D& OriginCenter() const { return FOriginCenter; }
    void SetOriginCenter(const TPoint3D& Value) { FOriginCenter = Value; }
    bool IsSizeable() const { return FIsSizeable; }
    void SetIsSizeable(bool Value) { FIsSizeable = Value; }

private:
    TPhysicalSpace* FPhysicalSpace = nullptr; // not owned
    std::string FManufacturer, FGroupName, FModelName, FVariantName;
    uint8_t FModelUpdateVersion = 1;
    double FGravityCenterXm = 0.0, FGravityCenterYm = 0.0, FGravityCenterZm = 0.0;
    double FFrontTopAnchorPointXm = 0.0, FFrontTopAnchorPointYm = 0.0, FFrontTopAnchorPointZm = 0.0;
    double FFrontBotAnchorPointXm = 0.0, FFrontBotAnchorPointYm = 0.0, FFrontBotAnchorPointZm = 0.0;
    double FBackTopAnchorPointXm = 0.0, FBackTopAnchorPointYm = 0.0, FBackTopAnchorPointZm = 0.0;
    double FBackBotAnchorPointXm = 0.0, FBackBotAnchorPointYm = 0.0, FBackBotAnchorPointZm = 0.0;
    TAcousticProject* FMyAcousticProject = nullptr; // not owned
    std::string FFileName;
    double FWeight = 0.0, FMaxSupportWeight = 0.0, FWidth = 0.0, FHeight = 0.0, FDepth = 0.0;
    TModel3D* FObject3D = nullptr; // not owned
    int32_t FModelID = 0;
    bool FHasTexture = false;
    TPoint3D FOriginCenter;
    bool FIsSizeable = false;
};

// A decorative object placed in the venue. A scene node without owner: the project's list frees it.
class TOrnament : public TQzControl3D {
public:
    // Position3D in metres, Rotation3D in degrees. IsSelect is accepted and not used.
    TOrnament(TPhysicalSpace* PhysicalSpace, TOrnaModel* OrnaModel, TAcousticProject* AcousticProjectOwner,
              const TPoint3D& Position3D, const TPoint3D& Rotation3D, bool IsSelect);

    // Kept for the release path that the other placed objects share; the owner deletes the ornament.
    void FreeClass() {}

    TPhysicalSpace* PhysicalSpace() const { return FPhysicalSpace; }
    TAcousticProject* MyAcousticProject() const { return FMyAcousticProject; }
    void SetMyAcousticProject(TAcousticProject* Value) { FMyAcousticProject = Value; }
    TDSPSpace* DSPSpace() const { return FDSPSpace; }
    void SetDSPSpace(TDSPSpace* Value) { FDSPSpace = Value; }
    int32_t NumberID() const { return FNumberID; }
    void SetNumberID(int32_t Value) { FNumberID = Value; }
    const std::string& Name() const { return FName; }
    void SetName(const std::string& Value) { FName = Value; }
    bool IsMovingOBJ3D() const { return FIsMovingOBJ3D; }
    void SetIsMovingOBJ3D(bool Value) { FIsMovingOBJ3D = Value; }
    TOrnaModel* Model() const { return FModel; }
    void SetModel(TOrnaModel* Value) { FModel = Value; }

    // The node's sizes; every change marks the project modified.
    void SetWidth(float Value) override;
    void SetHeight(float Value) override;
    void SetDepth(float Value) override;

protected:
    void MatrixChanged() override;

private:
    void markModified();

    TPhysicalSpace* FPhysicalSpace = nullptr;       // not owned
    TAcousticProject* FMyAcousticProject = nullptr; // not owned
    TDSPSpace* FDSPSpace = nullptr;                 // not owned; no operation reads it
    int32_t FNumberID = 0;
    std::string FName;
    bool FIsMovingOBJ3D = false;
    TOrnaModel* FModel = nullptr; // not owned
};

} // namespace vendrel
