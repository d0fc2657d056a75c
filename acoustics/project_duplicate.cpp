// Copies of placed objects for the duplicate, mirror and paste commands: a new object of the same model and
// configuration, registered like any other, placed by a position and rotation offset or mirrored. The copy
// owns everything its source owns anew (cabinets, elements, beams and their filters); only the shared things
// (models, processes, presets, drawn model meshes) are shared.

#include <algorithm>

#include "acoustics/beam_steering.h"
#include "acoustics/cab_model.h"
#include "acoustics/cabinet.h"
#include "acoustics/cluster.h"
#include "acoustics/line_array.h"
#include "acoustics/ornament.h"
#include "acoustics/physical_space.h"
#include "acoustics/project.h"
#include "acoustics/registry_steps.h"
#include "acoustics/rigging_frame.h"
#include "acoustics/source_point.h"
#include "platform/core/cursor_service.h"
#include "platform/core/numeric.h"

namespace vendrel {

namespace {

float single(double v) {
    return static_cast<float>(v);
}

void checkType(TDuplicationType DupType) {
    if (static_cast<uint8_t>(DupType) > static_cast<uint8_t>(TDuplicationType::qzaPaste)) {
        throw ERangeError("Unknown duplication type");
    }
}

bool mirrored(TDuplicationType DupType) {
    return DupType == TDuplicationType::qzaDupXsym || DupType == TDuplicationType::qzaDupYsym;
}

// Where a copied cluster or beam-steering array goes: moved by the offset whatever the type; turned about Y
// by the offset, or mirrored.
TPoint3D groupPosition(const TPoint3D& p, const TPoint3D& d) {
    return {single(double(p.X) + d.X), single(double(p.Y) - d.Y), single(double(p.Z) + d.Z)};
}

TPoint3D groupRotation(const TPoint3D& r, const TPoint3D& a, TDuplicationType DupType) {
    switch (DupType) {
    case TDuplicationType::qzaDupXsym:
        return {r.X, single(double(a.Y) - r.Y), single(double(r.Z) - a.Z)};
    case TDuplicationType::qzaDupYsym:
        return {r.X, single(180.0 - r.Y), single(double(r.Z) - a.Z)};
    default:
        return {r.X, single(double(a.Y) + r.Y), single(double(r.Z) - a.Z)};
    }
}

// The settings a copied cluster takes from its source before its grid is grown; AngularHAngle is mirrored
// with the copy.
void copyClusterSettings(const TCluster& source, TCluster& copy, double sign) {
    copy.SetName(source.Name());
    copy.SetClusterMounting(source.ClusterMounting());
    copy.SetClusterDistribution(source.ClusterDistribution());
    copy.SetOrientation(source.Orientation());
    copy.SetIsInvDirection(source.IsInvDirection());
    copy.SetActive(source.Active());
    copy.SetIsObjectSelected(source.IsObjectSelected());
    copy.SetIsLocked(source.IsLocked());
    copy.SetIsSubArrangement(source.IsSubArrangement());
    copy.SetSubArrangementType(source.SubArrangementType());
    copy.SetAngularHAngle(single(sign * source.AngularHAngle()));
    copy.SetAngularVAngle(source.AngularVAngle());
    copy.SetAngularRadius(source.AngularRadius());
    copy.SetLinearHSpace(source.LinearHSpace());
    copy.SetLinearVSpace(source.LinearVSpace());
}

// Each cabinet of the copy takes the horn rotation and the processing of the source's cabinet at the same
// place of the list.
void copyCabinetProcessing(const TCluster& source, TCluster& copy) {
    const std::vector<TCabinet*>& from = source.CabinetList();
    const std::vector<TCabinet*>& to = copy.CabinetList();
    for (size_t i = 0; i < to.size(); ++i) {
        const TCabinet& s = *At(from, static_cast<int64_t>(i));
        TCabinet& c = *to[i];
        c.SetHornRotationIndex(s.HornRotationIndex());
        c.SetExternalDSPProcess(s.ExternalDSPProcess());
        c.SetInternalDSPPreset(s.InternalDSPPreset());
    }
}

// An element of an array copied onto another: where it sits, about what it turns, how far.
void copyPlacement(const TControl3D& from, TControl3D& to) {
    to.SetPositionX(from.Position().X);
    to.SetPositionY(from.Position().Y);
    to.SetPositionZ(from.Position().Z);
    to.SetRotationCenter(from.RotationCenter());
    to.SetRotationAngle(from.RotationAngle());
}

// Gives AllowRendering back its value when the copy is complete (or fails).
struct RenderingHeldBack {
    TAcousticProject& p;
    explicit RenderingHeldBack(TAcousticProject& project) : p(project) { p.SetAllowRendering(false); }
    ~RenderingHeldBack() { p.SetAllowRendering(true); }
    RenderingHeldBack(const RenderingHeldBack&) = delete;
    RenderingHeldBack& operator=(const RenderingHeldBack&) = delete;
};

} // namespace

TCabinet* TAcousticProject::DuplicateCabinet(const TCabinet& SourceCabinet, const TPoint3D& PosOffset,
                                             const TPoint3D& RotOffset, TDuplicationType DupType) {
    checkType(DupType);
    TWorkersPause pause(this);
    RegistryBreadcrumb(*this, "DuplicateCabinet");
    const auto cursor = TSmartCursor::HourGlass();
    const TPoint3D& p = SourceCabinet.Position();
    const TPoint3D& r = SourceCabinet.RotationAngle();
    const TPoint3D& c = SourceCabinet.RotationCenter();
    const float rotX = single(SourceCabinet.RotX());
    TPoint3D position, rotation;
    switch (DupType) {
    case TDuplicationType::qzaDupXsym:
        position = {p.X, p.Y, single(double(p.Z) - 2 * (double(p.Z) + c.Z))};
        rotation = {rotX, -r.Y, r.Z};
        break;
    case TDuplicationType::qzaDupYsym:
        position = {single(double(p.X) - 2 * (double(p.X) + c.X)), p.Y, p.Z};
        rotation = {rotX, single(180.0 - r.Y), r.Z};
        break;
    default:
        position = groupPosition(p, PosOffset);
        rotation = {rotX, single(double(r.Y) - RotOffset.Y), single(double(r.Z) - RotOffset.Z)};
        break;
    }
    TCabinet* copy =
        AddCabinet(SourceCabinet.Model(), position, rotation, false, SourceCabinet.PlacementType(),
                   SourceCabinet.HornRotationIndex(), true, FProgressBar);
    copy->SetExternalDSPProcess(SourceCabinet.ExternalDSPProcess());
    copy->SetInternalDSPPreset(SourceCabinet.InternalDSPPreset());
    copy->GraphicalObject = SourceCabinet.GraphicalObject;
    copy->SetActive(true);
    return copy;
}

TCabArray* TAcousticProject::DuplicateArray(const TCabArray& SourceCabArray, const TPoint3D& PosOffset,
                                            const TPoint3D& RotOffset) {
    const bool force = FForceCalculation;
    TWorkersPause pause(this);
    TCabArray* copy = nullptr;
    {
        RenderingHeldBack rendering(*this);
        const auto cursor = TSmartCursor::HourGlass();
        RegistryBreadcrumb(*this, "DuplicateArray");
        CheckMemoryForNCabinets(FPhysicalSpace->PixelToMeters(), SourceCabArray.NCabinets());

        auto owned = std::make_unique<TCabArray>(FPhysicalSpace, this);
        copy = owned.get();
        AddArray(std::move(owned));
        copy->SetNumberID(NCabArrays());
        copy->SetMountingType(SourceCabArray.MountingType());

        const std::vector<TControl3D*>& chain = SourceCabArray.ArrayList();
        for (size_t k = 1; k < chain.size(); ++k) {
            const TControl3D* element = chain[k];
            if (const auto* cab = dynamic_cast<const TCabinet*>(element)) {
                TCabinet* added = copy->AddCabinet(cab->Model(), false);
                added->SetCabDirection(cab->CabDirection());
                copyPlacement(*cab, *added);
                added->SetExternalDSPProcess(cab->ExternalDSPProcess());
                added->SetInternalDSPPreset(cab->InternalDSPPreset());
            } else if (const auto* frame = dynamic_cast<const TRiggingFrame*>(element)) {
                copyPlacement(*frame, *copy->AddFrame(frame->Model()));
            } else if (const auto* dummy = dynamic_cast<const TQzDummy*>(element)) {
                copyPlacement(*dummy, *copy->AddDummy());
            }
        }
        copy->SetPositionsInsideArray();
        // The first element's turn came with the chain; the copy knows it lies as its source does.
        copy->SetOrientation(SourceCabArray.Orientation());
        const TPoint3D& r = SourceCabArray.RotationAngle();
        copy->SetPosition(groupPosition(SourceCabArray.Position(), PosOffset));
        copy->SetRotationAngle({r.X, single(double(r.Y) - RotOffset.Y), r.Z});
        copy->SetNMotors(SourceCabArray.MechanicalData().NMotors);
    }
    FForceCalculation = true;
    copy->SetTilt(SourceCabArray.Tilt() + RotOffset.Z);
    FForceCalculation = force;
    copy->RecalcMechanics();
    if (SourceCabArray.OriginType() != copy->OriginType()) {
        copy->SetOriginType(SourceCabArray.OriginType());
    } else {
        copy->SetArrayOrigin();
    }
    return copy;
}

TCluster* TAcousticProject::DuplicateCluster(const TCluster& SourceCluster, const TPoint3D& PosOffset,
                                             const TPoint3D& RotOffset, TDuplicationType DupType) {
    checkType(DupType);
    TWorkersPause pause(this);
    TCluster* copy = nullptr;
    {
        RenderingHeldBack rendering(*this);
        const auto cursor = TSmartCursor::HourGlass();
        RegistryBreadcrumb(*this, "DuplicateClusters");
        CheckMemoryForNCabinets(FPhysicalSpace->PixelToMeters(), SourceCluster.NCabinets());
        auto owned = std::make_unique<TCluster>(FPhysicalSpace, this, SourceCluster.Model(),
                                                SourceCluster.Orientation());
        copy = owned.get();
        AddCluster(std::move(owned));
        copy->SetNumberID(NClusters());
        copyClusterSettings(SourceCluster, *copy, mirrored(DupType) ? -1.0 : 1.0);
        copy->SetQuantityH(SourceCluster.QuantityH());
        copy->SetQuantityV(SourceCluster.QuantityV());
    }
    copy->SetPosition(groupPosition(SourceCluster.Position(), PosOffset));
    copyCabinetProcessing(SourceCluster, *copy);
    copy->SetRotationAngle(groupRotation(SourceCluster.RotationAngle(), RotOffset, DupType));
    return copy;
}

TBeamContainer* TAcousticProject::DuplicateBeam(const TBeamContainer& SourceBeam, const TPoint3D& PosOffset,
                                                const TPoint3D& RotOffset, TDuplicationType DupType) {
    checkType(DupType);
    TWorkersPause pause(this);
    TBeamContainer* copy = nullptr;
    {
        RenderingHeldBack rendering(*this);
        const auto cursor = TSmartCursor::HourGlass();
        RegistryBreadcrumb(*this, "DuplicateBeamSteering");
        CheckMemoryForNCabinets(FPhysicalSpace->PixelToMeters(), SourceBeam.NCabinets());
        auto owned = std::make_unique<TBeamContainer>(FPhysicalSpace, this, SourceBeam.Model(),
                                                      SourceBeam.Orientation());
        copy = owned.get();
        AddBeamSteering(std::move(owned));
        copy->SetNumberID(NBeamSteerings());
        copyClusterSettings(SourceBeam, *copy, mirrored(DupType) ? -1.0 : 1.0);
        copy->SetQuantityH(SourceBeam.QuantityH());
        copy->SetQuantityV(SourceBeam.QuantityV());

        // The beams anew, each with its source's settings (curvature and side-lobe optimisation included),
        // holding every cabinet of the copy; their filters are designed once the column's sources are shared
        // out.
        for (const auto& from : SourceBeam.SingleBeams()) {
            TSingleBeam* beam = copy->AppendSingleBeam(std::make_unique<TSingleBeam>(FPhysicalSpace, this));
            beam->SetNumberID(copy->NSingleBeams() - 1);
            beam->CopySettings(*from);
        }
        for (const auto& beam : copy->SingleBeams()) {
            for (TCabinet* cab : copy->CabinetList()) {
                beam->AddCabinetToBeam(cab);
                cab->AddSingleBeam(beam.get());
                beam->SetFIRTapsPerSource(cab->Model()->FIRTapsPerSource());
                beam->SetBeamProcessType(cab->Model()->BeamProcessType());
            }
        }
        copy->AssignSourcesOnBeams();
    }
    copy->SetPosition(groupPosition(SourceBeam.Position(), PosOffset));
    copyCabinetProcessing(SourceBeam, *copy);
    copy->SetRotationAngle(groupRotation(SourceBeam.RotationAngle(), RotOffset, DupType));
    return copy;
}

TOrnament* TAcousticProject::DuplicateOrnament(const TOrnament& SourceOrnament, const TPoint3D& PosOffset,
                                               const TPoint3D& RotOffset) {
    RegistryBreadcrumb(*this, "DuplicateOrnament");
    const auto cursor = TSmartCursor::HourGlass();
    const TPoint3D& p = SourceOrnament.Position();
    const TPoint3D& r = SourceOrnament.RotationAngle();
    // Ornaments move down the scene's Y axis by the offset, where the other copies move up.
    const TPoint3D position{single(double(p.X) + PosOffset.X), single(double(p.Y) + PosOffset.Y),
                            single(double(p.Z) + PosOffset.Z)};
    const TPoint3D rotation{single(double(r.X) + RotOffset.X), single(double(r.Y) - RotOffset.Y),
                            single(double(r.Z) + RotOffset.Z)};
    TOrnament* copy = AddOrnament(SourceOrnament.Model(), position, rotation, true);
    copy->SetName(SourceOrnament.Name());
    copy->SetWidth(SourceOrnament.Width());
    copy->SetDepth(SourceOrnament.Depth());
    copy->SetHeight(SourceOrnament.Height());
    copy->GraphicalObject = SourceOrnament.GraphicalObject;
    copy->SetVisible(true);
    return copy;
}

} // namespace vendrel
