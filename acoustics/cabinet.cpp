#include "acoustics/cabinet.h"

#include <algorithm>
#include <string>

#include "acoustics/beam_steering.h"
#include "acoustics/cluster.h"
#include "acoustics/dsp_process.h"
#include "acoustics/events_held_back.h"
#include "acoustics/line_array.h"
#include "acoustics/mapping_zone.h"
#include "acoustics/material.h"
#include "acoustics/mic_point.h"
#include "acoustics/ornament.h"
#include "acoustics/overlay.h"
#include "acoustics/physical_space.h"
#include "acoustics/polar.h"
#include "acoustics/project.h"
#include "acoustics/rigging_frame.h"
#include "acoustics/sound_system.h"
#include "acoustics/source_point.h"
#include "acoustics/zone_data.h"
#include "dsp/complex.h"
#include "platform/core/numeric.h"

namespace vendrel {

namespace {

double relativeRadians(float degrees) {
    return WrapDegrees180(degrees) * kDegToRad;
}

} // namespace

TCabinet::TCabinet(TPhysicalSpace* PhysicalSpace, TCabModel* CabModel, TAcousticProject* AcousticProjectOwner,
                   const TPoint3D& Position3D, const TPoint3D& Rotation3D, bool IsSelect,
                   TCabPlacement Placement, bool /*IsActive*/, TGenericDSPProcess* theExtProcess,
                   int32_t IntPresetNumber, void* /*ProgBar*/)
    : TQzControl3D(nullptr), FPhysicalSpace(PhysicalSpace), FMyAcousticProject(AcousticProjectOwner) {
    if (FMyAcousticProject != nullptr) {
        for (const auto& zone : FMyAcousticProject->MappingZones()) {
            FMapData.push_back(
                std::make_unique<TZoneData>(FMyAcousticProject, FMyAcousticProject->NFreqsAverage(),
                                            zone->WidthPixels(), zone->DepthPixels(), zone->ZoneIndexID()));
        }
    }
    FDummySource = std::make_unique<TDummySource>(FPhysicalSpace, FMyAcousticProject);
    FDummySource->SetParent(this);

    SetModel(CabModel);
    FDSPSpace = FModel != nullptr ? FModel->DSPSpace() : nullptr;
    FArrayCabinetPosID = 0;
    FArrayElementPosID = 0;

    // Stored directly: a preset number that the model does not have is a range error.
    if (FModel != nullptr && FModel->NDSPPresets() >= 1) {
        FInternalDSPPreset = At(FModel->DSPPresets(), static_cast<int64_t>(IntPresetNumber) - 1);
    }
    FExternalDSPProcess = theExtProcess;

    // The map thread itself is created on the first request (MapThread()).
    FOnReceibeMap = [this](TCabinet* sender) { CabinetMapReceived(sender); };

    FActive = false;
    SetIsObjectSelected(IsSelect);
    FRelativeRotationRadZ = 0.0;
    FAbsoluteRotationRadZ = 0.0;

    const bool useOrigin = FMyAcousticProject != nullptr && FMyAcousticProject->UseCabOriginAsRotCenter() &&
                           FModel != nullptr && FModel->NOriginCenters() > 0;
    FOriginCenterIndex = useOrigin ? FModel->DefaultOriginPoint() : 0;
    SetRotationCenter();

    SetPosition(Position3D);
    SetRotationAngle({0.0f, Rotation3D.Y, Rotation3D.Z});
    SetRotX(Rotation3D.X);
    SetPlacementType(Placement);

    FCabDirection = TCabDirection::qzaNormalDir;
    FMapState = TCalcState::qzaCalculated;
    if (FMyAcousticProject != nullptr) {
        // Known to the project's pause from now on, in a list or not (it must not outlive the project).
        FMyAcousticProject->cabinetsOfProject_.push_back(this);
    }
}

TCabinet::~TCabinet() {
    releaseParts();
}

void TCabinet::releaseParts() {
    FreeMapThread(); // cancels a running pass and waits for it before anything it reads goes away
    if (FMyAcousticProject != nullptr) {
        auto& known = FMyAcousticProject->cabinetsOfProject_;
        known.erase(std::remove(known.begin(), known.end(), this), known.end());
    }
    FOnReceibeMap = nullptr;
    FMapData.clear();
    // Each beam lets the cabinet go; a beam left without cabinets is released by its container.
    const std::vector<TSingleBeam*> beams = std::move(FSingleBeamList);
    for (TSingleBeam* beam : beams) {
        beam->CabinetReleased(this);
    }
    FSingleBeamList.clear();
    while (!FSourcePoints.empty()) {
        FSourcePoints.pop_back();
    }
    FDummySource.reset();
}

void TCabinet::FreeClass() {
    if (FMapThread != nullptr && FMyAcousticProject != nullptr && FMyAcousticProject->ContinuousRender()) {
        FMapThread->Stop();
    }
    releaseParts();
}

void TCabinet::Reset() {
    if (FMyAcousticProject == nullptr) {
        return;
    }
    const EventsHeldBack events(FMyAcousticProject);
    FHornRotationIndex = 0;
    SetPosition({0, 0, 0});
    SetRotationAngle({0, 0, 0});
    FRelativeRotationRadZ = 0.0;
    FAbsoluteRotationRadZ = 0.0;
    FMapState = TCalcState::qzaCalculated;
}

double TCabinet::PhaseWrappedSUM(double Ph1, double pond1, double Ph2, double pond2) {
    const double d = Ph2 - Ph1;
    constexpr double twoPi = 2.0 * kPi;
    if (d < -kPi) {
        return WrapRadiansPi(Ph1 * pond1 + (Ph2 + twoPi) * pond2);
    }
    if (d > kPi) {
        return WrapRadiansPi(Ph1 * pond1 + (Ph2 - twoPi) * pond2);
    }
    return WrapRadiansPi(Ph1 * pond1 + Ph2 * pond2);
}

// ---- Invalidation ----

void TCabinet::NeedsReCalculate() {
    NeedsReCalculateMapInZone(-1);
    if (FMyAcousticProject != nullptr) {
        FMyAcousticProject->ReCalculateAllMics();
    }
}

void TCabinet::NeedsReCalculateMapInZone(int32_t ZoneIndex) {
    if (MapState() == TCalcState::qzaNeedsCalculate) {
        return;
    }
    SetMapState(TCalcState::qzaNeedsCalculate);
    if (FMyAcousticProject == nullptr) {
        return;
    }
    int32_t first = ZoneIndex;
    int32_t last = ZoneIndex;
    if (ZoneIndex == -1) {
        first = 0;
        last = FMyAcousticProject->NMappingZones() - 1;
    }
    for (int32_t i = first; i <= last; ++i) {
        At(FMapData, i)->SetZoneCalculated(false);
    }
    for (int32_t i = first; i <= last; ++i) {
        At(FMyAcousticProject->MappingZones(), i)->SetMapState(TCalcState::qzaNeedsSum);
    }
}

void TCabinet::SetMapState(TCalcState Value) {
    TAcousticProject* project = FMyAcousticProject;
    if (project == nullptr) {
        FMapState = Value;
        return;
    }
    if (!project->EventsEnabled()) {
        return;
    }
    if (Value == FMapState.load() && !project->ForceCalculation()) {
        return;
    }
    FMapState = Value;
    if (Value == TCalcState::qzaNeedsCalculate && !project->AbortCalculation()) {
        ExecuteMapThread(-1);
        project->SetAllMapsState(TCalcState::qzaNeedsCalculate);
        project->ReCalculateAllMics();
    }
}

// ---- Property setters ----

void TCabinet::SetModel(TCabModel* Value) {
    if (Value == FModel) {
        return;
    }
    // A running map pass reads the source points and the model: it ends before they go away.
    const TWorkersPause pause(FMyAcousticProject);
    while (!FSourcePoints.empty()) {
        FSourcePoints.pop_back();
    }
    FModel = Value;
    FDSPSpace = Value != nullptr ? Value->DSPSpace() : nullptr;
    if (Value != nullptr) {
        FSourcePoints.reserve(static_cast<size_t>(std::max(Value->NSourcePoints(), 0)));
        for (int32_t i = 0; i < Value->NSourcePoints(); ++i) {
            const TSourcePoint& src = *At(Value->SourcePoint(), i);
            auto sp = std::make_unique<TSourcePoint>(FDSPSpace, FPhysicalSpace, FMyAcousticProject, this);
            sp->SetParent(FDummySource.get());
            sp->SetXmRel(src.XmRel());
            sp->SetYmRel(src.YmRel());
            sp->SetZmRel(src.ZmRel());
            // Model coordinates have Y up and turn the other way about Z.
            sp->SetPosition({static_cast<float>(src.XmRel()), static_cast<float>(-src.YmRel()),
                             static_cast<float>(src.ZmRel())});
            sp->SetRotationAngle({static_cast<float>(src.RotationRadRelX() * kRadToDeg),
                                  static_cast<float>(src.RotationRadRelY() * kRadToDeg),
                                  static_cast<float>(-src.RotationRadRelZ() * kRadToDeg)});
            FSourcePoints.push_back(std::move(sp));
        }
        // The new sources point where the pivot turns them, as they would after a turn of the
        // cabinet: their own turn alone leaves them unturned when it is 0.
        PropagateRotationX(FDummySource.get(), FDummySource->AbsoluteRotationRadX());
    }
    if (FMyCabArray != nullptr) {
        Reset();
    }
    NeedsReCalculate();
}

void TCabinet::SetActive(bool Value) {
    if (Value == FActive.load()) {
        return;
    }
    const TWorkersPause pause(FMyAcousticProject);
    FActive = Value;
    TAcousticProject* project = FMyAcousticProject;
    if (project == nullptr) {
        return;
    }
    if (project->TotalCabinets() > 0) {
        for (const auto& zone : project->MappingZones()) {
            zone->SetMapState(TCalcState::qzaNeedsSum);
        }
        project->SetAllMapsState(TCalcState::qzaNeedsCalculate);
        project->ExecuteAllMapsThread();
    }
    project->ReCalculateAllMics();
}

void TCabinet::SetCabDirection(TCabDirection Value) {
    if (Value == FCabDirection) {
        return;
    }
    const TWorkersPause pause(FMyAcousticProject);
    FCabDirection = Value;
    RotateZChanged();
    // The Z handler leaves an unchanged absolute angle alone; the pivot must still turn the new way.
    PropagateRotationZ(this, FAbsoluteRotationRadZ);
    NeedsReCalculate();
}

void TCabinet::SetHornRotationIndex(int32_t Value) {
    const TWorkersPause pause(FMyAcousticProject);
    if (Value != FHornRotationIndex) {
        NeedsReCalculate();
        if (FMyAcousticProject != nullptr) {
            FMyAcousticProject->ClearAllMaps();
        }
    }
    FHornRotationIndex = Value;
    if (FModel == nullptr || !FModel->AllowHornRotation()) {
        return;
    }
    // Each decimal digit of SourceOfHornRotation names a source point whose horn turns.
    for (const char digit : std::to_string(FModel->SourceOfHornRotation())) {
        if (digit < '0' || digit > '9') {
            continue;
        }
        const int32_t i = digit - '0';
        const double modelDeg = At(FModel->SourcePoint(), i)->RotationRadRelX() * kRadToDeg;
        At(FSourcePoints, i)->SetRotationAngleX(static_cast<float>(Value != 0 ? modelDeg - 90.0 : modelDeg));
    }
}

void TCabinet::SetExternalDSPProcess(TGenericDSPProcess* Value) {
    if (Value == FExternalDSPProcess) {
        return;
    }
    const TWorkersPause pause(FMyAcousticProject);
    const TGenericDSPProcess* bypass =
        FMyAcousticProject != nullptr ? FMyAcousticProject->BypassProcess() : nullptr;
    if (FExternalDSPProcess != nullptr && FExternalDSPProcess != bypass) {
        FExternalDSPProcess->RemoveUser(this);
    }
    FExternalDSPProcess = Value;
    if (Value != nullptr && Value != bypass) {
        Value->AddUser(this);
    }
    NeedsReCalculate();
    if (FMyAcousticProject != nullptr) {
        FMyAcousticProject->ClearAllMaps();
    }
}

void TCabinet::SetInternalDSPPreset(TUserPreset* Value) {
    if (Value == FInternalDSPPreset) {
        return;
    }
    const TWorkersPause pause(FMyAcousticProject);
    FInternalDSPPreset = (FModel == nullptr || FModel->NDSPPresets() <= 0) ? nullptr : Value;
    NeedsReCalculate();
    if (FMyAcousticProject != nullptr) {
        FMyAcousticProject->ClearAllMaps();
    }
}

void TCabinet::SetPlacementType(TCabPlacement Value) {
    const TWorkersPause pause(FMyAcousticProject);
    if (Value != FPlacementType) {
        NeedsReCalculate();
        if (FMyAcousticProject != nullptr) {
            FMyAcousticProject->ClearAllMaps();
        }
    }
    FPlacementType = Value;
    if (FDummySource == nullptr) {
        return;
    }
    FDummySource->SetRotationAngleX(0.0f);
    if (FModel == nullptr) {
        return;
    }
    if (Value == FModel->DefaultPlacement()) {
        FDummySource->SetRotationAngleX(static_cast<float>(FRotX));
        return;
    }
    // A cabinet placed across its model's default turns a quarter in the model's direction.
    const bool horizontal = Value == TCabPlacement::qzaHorizontal;
    switch (FModel->DirectionOfRotation()) {
    case TDirRotation::qzaClockwise:
        FDummySource->SetRotationAngleX(static_cast<float>(FRotX + (horizontal ? 90.0 : -90.0)));
        break;
    case TDirRotation::qzaAntiClockwise:
        FDummySource->SetRotationAngleX(static_cast<float>(FRotX + (horizontal ? -90.0 : 90.0)));
        break;
    }
}

void TCabinet::SetRotX(double Value) {
    if (Value == FRotX) {
        return;
    }
    const TWorkersPause pause(FMyAcousticProject);
    FRotX = Value;
    NeedsReCalculate();
}

// The sources point elsewhere: a map computed before the turn no longer counts as done, whichever
// of the scene's updates (the matrix or the turn) reached the cabinet first.
void TCabinet::turnChanged() {
    if (FMyAcousticProject != nullptr) {
        NeedsReCalculate();
    }
}

void TCabinet::SetAbsoluteRotationRadX(double Value) {
    if (Value == FAbsoluteRotationRadX) {
        return;
    }
    const TWorkersPause pause(FMyAcousticProject);
    FAbsoluteRotationRadX = Value;
    PropagateRotationX(this, Value);
    turnChanged();
}

void TCabinet::SetAbsoluteRotationRadY(double Value) {
    if (Value == FAbsoluteRotationRadY) {
        return;
    }
    const TWorkersPause pause(FMyAcousticProject);
    FAbsoluteRotationRadY = Value;
    PropagateRotationY(this, Value);
    turnChanged();
}

void TCabinet::SetAbsoluteRotationRadZ(double Value) {
    if (Value == FAbsoluteRotationRadZ) {
        return;
    }
    const TWorkersPause pause(FMyAcousticProject);
    FAbsoluteRotationRadZ = Value;
    PropagateRotationZ(this, Value);
    turnChanged();
}

double TCabinet::AbsoluteRotationY() const {
    return FAbsoluteRotationRadY * kRadToDeg;
}
double TCabinet::AbsoluteRotationZ() const {
    return FAbsoluteRotationRadZ * kRadToDeg;
}

int32_t TCabinet::ActiveBeams() const {
    return static_cast<int32_t>(std::count_if(FSingleBeamList.begin(), FSingleBeamList.end(),
                                              [](const TSingleBeam* b) { return b->Active(); }));
}

void TCabinet::SetRotationCenter() {
    if (FDummySource != nullptr) {
        FDummySource->SetRotationCenter({0, 0, 0});
    }
    const bool useOrigin = FMyAcousticProject != nullptr && FMyAcousticProject->UseCabOriginAsRotCenter() &&
                           FModel != nullptr && FModel->NOriginCenters() > 0;
    if (!useOrigin) {
        TQzControl3D::SetRotationCenter({0, 0, 0});
        return;
    }
    const rOriginCenterPoint& origin = At(FModel->OriginCenters(), FOriginCenterIndex);
    TQzControl3D::SetRotationCenter(
        {static_cast<float>(origin.X), static_cast<float>(origin.Y), static_cast<float>(origin.Z)});
    if (FDummySource != nullptr) {
        FDummySource->SetRotationCenter({0, 0, static_cast<float>(origin.Z)});
    }
}

// ---- Rotations ----

void TCabinet::updateRotations(bool x, bool y, bool z, bool rotateZHandler) {
    // The absolute rotations pass on to the source points, which the map kernel reads.
    const TWorkersPause pause(FMyAcousticProject);
    const TPoint3D& angle = RotationAngle();
    if (x) {
        FRelativeRotationRadX = relativeRadians(angle.X);
    }
    if (y) {
        FRelativeRotationRadY = relativeRadians(angle.Y);
    }
    if (z) {
        FRelativeRotationRadZ = relativeRadians(angle.Z);
    }
    TControl3D* parent = Parent();
    if (parent == nullptr) {
        // A loose cabinet: its own rotation is absolute. Turning about Z refreshes all three.
        const bool all = rotateZHandler;
        if (x || all) {
            SetAbsoluteRotationRadX(FRelativeRotationRadX);
        }
        if (y || all) {
            SetAbsoluteRotationRadY(FRelativeRotationRadY);
        }
        if (z || all) {
            SetAbsoluteRotationRadZ(FRelativeRotationRadZ);
        }
        return;
    }
    if (dynamic_cast<TCluster*>(parent) != nullptr) {
        const TPoint3D& p = parent->RotationAngle();
        const TPoint3D v0(static_cast<float>(relativeRadians(p.X)), static_cast<float>(relativeRadians(p.Y)),
                          static_cast<float>(relativeRadians(p.Z)));
        const TPoint3D v = v0 * TMatrix3D::CreateRotationX(static_cast<float>(FRelativeRotationRadX)) *
                           TMatrix3D::CreateRotationZ(static_cast<float>(FRelativeRotationRadZ)) *
                           TMatrix3D::CreateRotationY(static_cast<float>(-FRelativeRotationRadY));
        SetAbsoluteRotationRadX(FRelativeRotationRadX + v.X);
        SetAbsoluteRotationRadY(FRelativeRotationRadY + v.Y);
        SetAbsoluteRotationRadZ(FRelativeRotationRadZ + v.Z);
        return;
    }
    double ax = 0.0, ay = 0.0, az = 0.0;
    bool dummy = false;
    if (const auto* cab = dynamic_cast<const TCabinet*>(parent)) {
        ax = cab->AbsoluteRotationRadX();
        ay = cab->AbsoluteRotationRadY();
        az = cab->AbsoluteRotationRadZ();
    } else if (const auto* joint = dynamic_cast<const RiggingJoint*>(parent)) {
        ax = joint->AbsoluteRotationRadX();
        ay = joint->AbsoluteRotationRadY();
        az = joint->AbsoluteRotationRadZ();
        dummy = dynamic_cast<const TQzDummy*>(parent) != nullptr;
    } else {
        return;
    }
    if (x) {
        SetAbsoluteRotationRadX(FRelativeRotationRadX + ax);
    }
    // The Z handler also refreshes the absolute Y rotation.
    if (y || rotateZHandler) {
        SetAbsoluteRotationRadY(FRelativeRotationRadY + ay);
    }
    if (z) {
        // Below an array's direction joint an inverted cabinet turns the other way about Z.
        const bool inverted = dummy && FCabDirection == TCabDirection::qzaInvertedDir;
        SetAbsoluteRotationRadZ(inverted ? az - FRelativeRotationRadZ : FRelativeRotationRadZ + az);
    }
}

void TCabinet::RotationChanged() {
    updateRotations(true, true, true, false);
    TQzControl3D::RotationChanged();
}

void TCabinet::RotateXChanged() {
    SetPlacementType(FPlacementType);
    updateRotations(true, false, false, false);
    TQzControl3D::RotateXChanged();
}

void TCabinet::RotateYChanged() {
    updateRotations(false, true, false, false);
    TQzControl3D::RotateYChanged();
}

void TCabinet::RotateZChanged() {
    updateRotations(false, false, true, true);
    TQzControl3D::RotateZChanged();
}

void TCabinet::RecalcAbsolute() {
    const TWorkersPause pause(FMyAcousticProject);
    TQzControl3D::RecalcAbsolute();
    if (FPhysicalSpace == nullptr) {
        return;
    }
    const double pixel = FPhysicalSpace->PixelToMeters();
    const TPoint3D abs = AbsolutePosition();
    FXpixAbs = abs.X / pixel;
    FYpixAbs = -abs.Y / pixel;
    FZpixAbs = abs.Z / pixel;
    NeedsReCalculateMapInZone(-1);
    if (FMyAcousticProject != nullptr) {
        FMyAcousticProject->ReCalculateAllMics();
    }
    CalcHitPoint();
}

void TCabinet::MatrixChanged() {
    TQzControl3D::MatrixChanged();
    if (FMyAcousticProject != nullptr) {
        FMyAcousticProject->ClearAllMaps();
    }
}

// ---- Aiming hit point ----

void TCabinet::CalcHitPoint() {
    TAcousticProject* project = FMyAcousticProject;
    if (project == nullptr || !project->CalcHitPointEnabled() || FModel == nullptr) {
        return;
    }
    const TPoint3D start = LocalToAbsolute3D({static_cast<float>(FModel->AcousticCenterXm()),
                                              static_cast<float>(-FModel->AcousticCenterYm()),
                                              static_cast<float>(FModel->AcousticCenterZm())});
    const TVec3f axis = SphericalToVector(200.0, 0.0, FModel->AcousticRotationRadZ());
    const TPoint3D dir = LocalToAbsoluteDirection({axis[0], axis[1], axis[2]});

    // The farthest hit along the axis wins; hits behind or within 1 mm of the cabinet do not count.
    const TZoneRayHit hit = FarthestZoneHit(*project, *this, start, dir);
    FHitPointZoneThrow = hit.Zone;
    FHitPointLocalThrow = hit.Local;
    FHitPointAbsThrow = hit.Absolute;
}

void TCabinet::AppendZoneData(std::unique_ptr<TZoneData> Data) {
    FMapData.push_back(std::move(Data));
}

void TCabinet::TruncateZoneData(size_t Count) {
    if (FMapData.size() > Count) {
        FMapData.resize(Count);
    }
}

void TCabinet::EraseZoneData(size_t Index) {
    if (Index < FMapData.size()) {
        FMapData.erase(FMapData.begin() + static_cast<std::ptrdiff_t>(Index));
    }
}

void TCabinet::RemoveSingleBeam(TSingleBeam* Beam) {
    FSingleBeamList.erase(std::remove(FSingleBeamList.begin(), FSingleBeamList.end(), Beam),
                          FSingleBeamList.end());
}

} // namespace vendrel
