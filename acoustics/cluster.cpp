#include "acoustics/cluster.h"

#include <algorithm>
#include <cmath>

#include "acoustics/beam_steering.h"
#include "acoustics/cabinet.h"
#include "acoustics/dsp_process.h"
#include "acoustics/element_bounds.h"
#include "acoustics/events_held_back.h"
#include "acoustics/project.h"
#include "acoustics/source_point.h"
#include "platform/core/numeric.h"

namespace vendrel {

namespace {

float toSingle(double v) {
    return static_cast<float>(v);
}

// The point at radius r, azimuth a and elevation e (radians); the scene's Y axis points down.
void sphericalPoint(double r, double a, double e, double& x, double& y, double& z) {
    x = r * std::cos(e) * std::cos(a);
    y = -r * std::sin(e);
    z = r * std::cos(e) * std::sin(a);
}

} // namespace

TClusterPlacement ClusterCabinetPlacement(const TClusterLayout& L, int32_t i, int32_t j) {
    const double B = L.ExtentH;
    const double A = L.ExtentV;
    const double HS = L.LinearHSpace, VS = L.LinearVSpace;
    const double HA = L.AngularHAngle, VA = L.AngularVAngle, R = L.AngularRadius;
    // Half the distance from the first to the last centre, and half the angular spread; stored
    // values of single precision.
    const double halfH = toSingle((L.QuantityH * (HS + B) - HS - B) / 2);
    const double halfV = toSingle((L.QuantityV * (VS + A) - VS - A) / 2);
    const double m = toSingle(HA * (L.QuantityH - 1) / 2);
    const double f = toSingle(VA * (L.QuantityV - 1) / 2);
    // An inverted cluster turns every cabinet round and mirrors its vertical splay.
    const double h = L.IsInvDirection ? 180.0 : 0.0;
    const double s = L.IsInvDirection ? -1.0 : 1.0;

    TClusterPlacement out;
    double x = 0, y = 0, z = 0;
    switch (L.Distribution) {
    case TClusterDistribution::qzaAngular:
        sphericalPoint(R, (-HA * i + m) * kDegToRad, (VA * j - f) * kDegToRad, x, y, z);
        out.Position = {toSingle(x), toSingle(y), toSingle(z)};
        out.RotationAngle = {0.0f, toSingle(HA * i - m - h), toSingle((-VA * j + f) * s)};
        break;
    case TClusterDistribution::qzaLinear:
        out.Position = {0.0f, toSingle(j * (VS + A) - halfV), toSingle(i * (HS + B) - halfH)};
        out.RotationAngle = {0.0f, toSingle(-h), 0.0f};
        break;
    case TClusterDistribution::qzaAngHLinV:
        sphericalPoint(R, (-HA * i + m) * kDegToRad, 0.0, x, y, z);
        out.Position = {toSingle(x), toSingle(y + j * (VS + A) - halfV), toSingle(z)};
        out.RotationAngle = {0.0f, toSingle(HA * i - m - h), 0.0f};
        break;
    case TClusterDistribution::qzaAngVLinH:
        sphericalPoint(R, 0.0, (VA * j - f) * kDegToRad, x, y, z);
        out.Position = {toSingle(x), toSingle(y), toSingle(z + i * (HS + B) - halfH)};
        out.RotationAngle = {0.0f, toSingle(-h), toSingle((-VA * j + f) * s)};
        break;
    default:
        return out;
    }
    out.Placed = true;
    return out;
}

TCluster::TCluster(TPhysicalSpace* PhysicalSpace, TAcousticProject* AcousticProjectOwner, TCabModel* theModel,
                   TCabPlacement Placement)
    : TQzControl3D(nullptr), FPhysicalSpace(PhysicalSpace), FMyAcousticProject(AcousticProjectOwner) {
    EventsHeldBack hold(FMyAcousticProject);
    FModel = theModel;
    FIsMovingOBJ3D = false;
    FCabOrientation = Placement;
    Reset();
}

TCluster::~TCluster() {
    FreeClass();
}

bool TCluster::registered() const {
    if (FMyAcousticProject == nullptr) {
        return false;
    }
    const auto& list = FMyAcousticProject->Clusters();
    const auto& beams = FMyAcousticProject->Beams();
    const auto same = [this](const auto& p) { return static_cast<const TCluster*>(p.get()) == this; };
    return std::any_of(list.begin(), list.end(), same) || std::any_of(beams.begin(), beams.end(), same);
}

void TCluster::Reset() {
    for (TCabinet* cab : FCabinetList) {
        cab->Reset();
    }
    SetActive(true);
    FName = "No Name";
    FClusterMounting = TArrayMounting::qzaMatrix;
    FClusterDistribution = TClusterDistribution::qzaLinear;
    SetRotationAngle({0, 0, 0});
    SetPosition({0, 0, 0});
    SetIsObjectSelected(false);
    FIsSubArrangement = false;
    FAngularHAngle = 10.0f;
    FAngularVAngle = 10.0f;
    FAngularRadius = 1.2f;
    FLinearHSpace = 0.0f;
    FLinearVSpace = 0.0f;
    // One row; a grid that already holds several rows drops them properly before the columns go.
    if (FCabinetList.empty()) {
        FQuantityV = 1;
    } else {
        SetQuantityV(1);
    }
    SetQuantityH(1);
    SetMapState(TCalcState::qzaNeedsCalculate);
}

TCabinet* TCluster::AddCabinet(TCabModel* CabModel, bool Activated) {
    EventsHeldBack hold(FMyAcousticProject);
    TAcousticProject* project = FMyAcousticProject;
    auto owned = std::make_unique<TCabinet>(FPhysicalSpace, CabModel, project, TPoint3D(), TPoint3D(), false,
                                            CabModel != nullptr ? CabModel->DefaultPlacement()
                                                                : TCabPlacement::qzaVertical,
                                            false, project != nullptr ? project->BypassProcess() : nullptr,
                                            CabModel != nullptr ? CabModel->DefaultPreset() : 0);
    TCabinet* cab = owned.get();
    cab->FMyAcousticProject = project;
    if (project != nullptr) {
        cab->TakeRenderOptions(project->OnlyPhase(), project->ZeroPhaseStart(), project->IdealSpeaker());
    }
    cab->FMyCluster = this;
    cab->SetActive(Activated);
    FOwned.push_back(std::move(owned));
    FCabinetList.push_back(cab);
    if (project != nullptr) {
        project->RaiseUniqueID();
        cab->SetNumberID(project->TotalCabinets());
    }
    cab->SetArrayCabinetPosID(NCabinets());
    cab->SetParent(this);
    return cab;
}

TCabinet* TCluster::newGridCabinet() {
    TCabinet* cab = AddCabinet(FModel, true);
    cab->SetMyLayer(MyLayer());
    cab->SetIsObjectSelected(IsObjectSelected());
    cab->SetPlacementType(FCabOrientation);
    // A cabinet added to a turned cluster takes the turn the cabinets already in it took.
    const TPoint3D& a = RotationAngle();
    PropagateClusterRotationToCabinet(*cab, static_cast<float>(a.X * kDegToRad),
                                      static_cast<float>(a.Y * kDegToRad),
                                      static_cast<float>(a.Z * kDegToRad));
    return cab;
}

// Out of the list, out of its process's users (a process must never point to a freed cabinet), freed.
void TCluster::releaseCabinet(TCabinet* cabinet) {
    FCabinetList.erase(std::remove(FCabinetList.begin(), FCabinetList.end(), cabinet), FCabinetList.end());
    TGenericDSPProcess* process = cabinet->FExternalDSPProcess;
    const TGenericDSPProcess* bypass =
        FMyAcousticProject != nullptr ? FMyAcousticProject->BypassProcess() : nullptr;
    if (process != nullptr && process != bypass) {
        process->RemoveUser(cabinet);
    }
    const auto it =
        std::find_if(FOwned.begin(), FOwned.end(), [cabinet](const auto& p) { return p.get() == cabinet; });
    if (it != FOwned.end()) {
        std::unique_ptr<TCabinet> doomed = std::move(*it);
        FOwned.erase(it);
        doomed->FreeClass();
        doomed.reset();
    }
}

void TCluster::SetQuantityH(int32_t Value) {
    if (Value == FQuantityH || FModel == nullptr) {
        return;
    }
    if (Value < 0) {
        throw ERangeError();
    }
    std::vector<TCabinet*> added;
    const bool reg = registered();
    {
        const TWorkersPause pause(FMyAcousticProject);
        const int32_t q = FQuantityH;
        if (Value > q) {
            FCabinetGrid.resize(static_cast<size_t>(Value));
            for (int32_t i = q; i < Value; ++i) {
                auto& column = FCabinetGrid[static_cast<size_t>(i)];
                column.assign(static_cast<size_t>(FQuantityV), nullptr);
                for (int32_t j = 0; j < FQuantityV; ++j) {
                    column[static_cast<size_t>(j)] = newGridCabinet();
                    added.push_back(column[static_cast<size_t>(j)]);
                }
            }
        } else {
            for (int32_t i = q - 1; i >= Value; --i) {
                for (int32_t j = FQuantityV - 1; j >= 0; --j) {
                    TCabinet*& slot = At(At(FCabinetGrid, i), j);
                    releaseCabinet(slot);
                    slot = nullptr;
                }
            }
            FCabinetGrid.resize(static_cast<size_t>(Value));
        }
        FQuantityH = Value;
        SetPositionsInsideCluster();
    }
    // New cabinets that workers can reach compute their maps like any other.
    for (TCabinet* cab : reg ? added : std::vector<TCabinet*>{}) {
        cab->NeedsReCalculate();
    }
}

void TCluster::SetQuantityV(int32_t Value) {
    if (Value == FQuantityV || FModel == nullptr) {
        return;
    }
    if (Value < 0) {
        throw ERangeError();
    }
    std::vector<TCabinet*> added;
    const bool reg = registered();
    {
        const TWorkersPause pause(FMyAcousticProject);
        const int32_t q = FQuantityV;
        if (Value > q) {
            for (auto& column : FCabinetGrid) {
                column.resize(static_cast<size_t>(Value), nullptr);
            }
            // Row by row, so that the list grows in rows.
            for (int32_t j = q; j < Value; ++j) {
                for (int32_t i = 0; i < FQuantityH; ++i) {
                    TCabinet* cab = newGridCabinet();
                    At(At(FCabinetGrid, i), j) = cab;
                    added.push_back(cab);
                }
            }
        } else {
            for (int32_t j = q - 1; j >= Value; --j) {
                for (int32_t i = FQuantityH - 1; i >= 0; --i) {
                    TCabinet*& slot = At(At(FCabinetGrid, i), j);
                    releaseCabinet(slot);
                    slot = nullptr;
                }
            }
            for (auto& column : FCabinetGrid) {
                column.resize(static_cast<size_t>(Value));
            }
        }
        FQuantityV = Value;
        SetPositionsInsideCluster();
    }
    // New cabinets that workers can reach compute their maps like any other.
    for (TCabinet* cab : reg ? added : std::vector<TCabinet*>{}) {
        cab->NeedsReCalculate();
    }
}

TCabinet* TCluster::Cabinets(int32_t i, int32_t j) const {
    return At(At(FCabinetGrid, i), j);
}

TClusterLayout TCluster::Layout() const {
    TClusterLayout l;
    l.Distribution = FClusterDistribution;
    l.QuantityH = FQuantityH;
    l.QuantityV = FQuantityV;
    l.AngularHAngle = FAngularHAngle;
    l.AngularVAngle = FAngularVAngle;
    l.AngularRadius = FAngularRadius;
    l.LinearHSpace = FLinearHSpace;
    l.LinearVSpace = FLinearVSpace;
    l.IsInvDirection = FIsInvDirection;
    if (FModel != nullptr) {
        // A cabinet in its model's own placement spreads its depth along the columns and its height
        // along the rows; turned on its side, the other way round.
        const bool upright = FCabOrientation == FModel->DefaultPlacement();
        l.ExtentH = upright ? FModel->Depth() : FModel->Height();
        l.ExtentV = upright ? FModel->Height() : FModel->Depth();
    }
    return l;
}

void TCluster::SetPositionsInsideCluster() {
    const TClusterLayout layout = Layout();
    for (int32_t i = 0; i < FQuantityH; ++i) {
        for (int32_t j = 0; j < FQuantityV; ++j) {
            const TClusterPlacement p = ClusterCabinetPlacement(layout, i, j);
            if (!p.Placed) {
                continue;
            }
            TCabinet* cab = Cabinets(i, j);
            cab->SetPosition(p.Position);
            cab->SetRotationAngle(p.RotationAngle);
        }
    }
}

void TCluster::FreeClass() {
    EventsHeldBack hold(FMyAcousticProject);
    while (!FOwned.empty()) {
        std::unique_ptr<TCabinet> last = std::move(FOwned.back());
        FOwned.pop_back();
        last->FreeClass();
    }
    FCabinetList.clear();
    FCabinetGrid.clear();
}

float TCluster::GetHeight() const {
    return LocalBounds().Height();
}

float TCluster::GetTotalWeight() const {
    return FModel != nullptr ? static_cast<float>(FModel->Weight() * NCabinets()) : 0.0f;
}

TBoundingBox TCluster::GlobalBounds() const {
    TBoundingBox box;
    for (const TCabinet* cab : FCabinetList) {
        box = box.Union(ElementGlobalBounds(*cab));
    }
    return box;
}

TBoundingBox TCluster::LocalBounds() const {
    return CentredBounds(GlobalBounds());
}

template <typename Float> void TCluster::setPlacementValue(Float& field, Float Value) {
    if (Value == field) {
        return;
    }
    field = Value;
    SetPositionsInsideCluster();
}

void TCluster::SetModel(TCabModel* Value) {
    setPlacementValue(FModel, Value);
}
void TCluster::SetOrientation(TCabPlacement Value) {
    setPlacementValue(FCabOrientation, Value);
}
void TCluster::SetClusterMounting(TArrayMounting Value) {
    setPlacementValue(FClusterMounting, Value);
}
void TCluster::SetClusterDistribution(TClusterDistribution Value) {
    setPlacementValue(FClusterDistribution, Value);
}
void TCluster::SetSubArrangementType(TSubArrangementType Value) {
    setPlacementValue(FSubArrangementType, Value);
}
void TCluster::SetIsInvDirection(bool Value) {
    setPlacementValue(FIsInvDirection, Value);
}
void TCluster::SetAngularHAngle(float Value) {
    setPlacementValue(FAngularHAngle, Value);
}
void TCluster::SetAngularVAngle(float Value) {
    setPlacementValue(FAngularVAngle, Value);
}
void TCluster::SetAngularRadius(float Value) {
    setPlacementValue(FAngularRadius, Value);
}
void TCluster::SetLinearHSpace(float Value) {
    setPlacementValue(FLinearHSpace, Value);
}
void TCluster::SetLinearVSpace(float Value) {
    setPlacementValue(FLinearVSpace, Value);
}

void TCluster::SetMapState(TCalcState Value) {
    FMapState = Value;
    if (Value != TCalcState::qzaNeedsCalculate) {
        return;
    }
    for (TCabinet* cab : FCabinetList) {
        cab->SetMapState(TCalcState::qzaNeedsCalculate);
    }
}

void TCluster::SetActive(bool Value) {
    FActive = Value;
}

void TCluster::SetIsObjectSelected(bool Value) {
    if (Value == IsObjectSelected()) {
        return;
    }
    TQzControl3D::SetIsObjectSelected(Value);
    for (TCabinet* cab : FCabinetList) {
        cab->TQzControl3D::SetIsObjectSelected(Value);
    }
}

void TCluster::SetIsMovingOBJ3D(bool Value) {
    if (Value == FIsMovingOBJ3D) {
        return;
    }
    FIsMovingOBJ3D = Value;
    for (TCabinet* cab : FCabinetList) {
        cab->SetIsMovingOBJ3D(Value);
    }
}

void TCluster::SetIsSubArrangement(bool Value) {
    FIsSubArrangement = Value;
}

void TCluster::MatrixChanged() {
    const TPoint3D& a = RotationAngle();
    const float ax = static_cast<float>(a.X * kDegToRad);
    const float ay = static_cast<float>(a.Y * kDegToRad);
    const float az = static_cast<float>(a.Z * kDegToRad);
    if (ChildrenCount() > 0) {
        PropagateClusterRotation(this, ax, ay, az);
    }
    TQzControl3D::MatrixChanged();
    if (FMyAcousticProject != nullptr) {
        FMyAcousticProject->ClearAllMaps();
    }
}

void TCluster::RotationChanged() {
    TQzControl3D::RotationChanged();
    for (TCabinet* cab : FCabinetList) {
        cab->RotationChanged();
    }
}

void TCluster::RotateXChanged() {
    TQzControl3D::RotateXChanged();
    for (TCabinet* cab : FCabinetList) {
        cab->RotateXChanged();
    }
}

void TCluster::RotateYChanged() {
    TQzControl3D::RotateYChanged();
    for (TCabinet* cab : FCabinetList) {
        cab->RotateYChanged();
    }
}

void TCluster::RotateZChanged() {
    TQzControl3D::RotateZChanged();
    for (TCabinet* cab : FCabinetList) {
        cab->RotateZChanged();
    }
}

} // namespace vendrel
