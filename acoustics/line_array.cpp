#include "acoustics/line_array.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "acoustics/cabinet.h"
#include "acoustics/dsp_process.h"
#include "acoustics/element_bounds.h"
#include "acoustics/events_held_back.h"
#include "acoustics/physical_space.h"
#include "acoustics/project.h"
#include "acoustics/rigging_frame.h"
#include "acoustics/source_point.h"
#include "dsp/smoothing.h"
#include "platform/core/numeric.h"

namespace vendrel {

// ---- Placement of the element chain ----

namespace {

// A model point (metres, model Y up).
struct Anchor {
    double x = 0.0, y = 0.0, z = 0.0;
};

Anchor frontTop(const TCabModel& m) {
    return {m.FrontTopRotPointXm(), m.FrontTopRotPointYm(), m.FrontTopRotPointZm()};
}
Anchor frontBot(const TCabModel& m) {
    return {m.FrontBotRotPointXm(), m.FrontBotRotPointYm(), m.FrontBotRotPointZm()};
}
Anchor backTop(const TCabModel& m) {
    return {m.BackTopRotPointXm(), m.BackTopRotPointYm(), m.BackTopRotPointZm()};
}
Anchor backBot(const TCabModel& m) {
    return {m.BackBotRotPointXm(), m.BackBotRotPointYm(), m.BackBotRotPointZm()};
}
Anchor topFlange(const TCabModel& m) {
    return {m.TopFlangePointXm(), m.TopFlangePointYm(), m.TopFlangePointZm()};
}
Anchor botFlange(const TCabModel& m) {
    return {m.BotFlangePointXm(), m.BotFlangePointYm(), m.BotFlangePointZm()};
}
Anchor frontTop(const TRigFrameModel& m) {
    return {m.FrontTopAnchorPointXm(), m.FrontTopAnchorPointYm(), m.FrontTopAnchorPointZm()};
}
Anchor frontBot(const TRigFrameModel& m) {
    return {m.FrontBotAnchorPointXm(), m.FrontBotAnchorPointYm(), m.FrontBotAnchorPointZm()};
}
Anchor backTop(const TRigFrameModel& m) {
    return {m.BackTopAnchorPointXm(), m.BackTopAnchorPointYm(), m.BackTopAnchorPointZm()};
}
Anchor backBot(const TRigFrameModel& m) {
    return {m.BackBotAnchorPointXm(), m.BackBotAnchorPointYm(), m.BackBotAnchorPointZm()};
}

TPoint3D point(double x, double y, double z) {
    return {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
}

// A model anchor as a point of the element's own scene frame (model Y up, scene Y down).
TPoint3D centreAt(const Anchor& a) {
    return point(a.x, -a.y, a.z);
}

// The anchor pair of a join: the upper and the lower anchor on the front or on the back.
template <typename Model> bool joinPair(const Model& m, TJoinType join, Anchor& upper, Anchor& lower) {
    switch (join) {
    case TJoinType::qzaFrontJoin:
        upper = frontTop(m);
        lower = frontBot(m);
        return true;
    case TJoinType::qzaBackJoin:
        upper = backTop(m);
        lower = backBot(m);
        return true;
    default:
        return false; // a top hat keeps what it had
    }
}

const TRigFrameModel* frameModelAt(const std::vector<TChainElement>& elements, int64_t index) {
    if (index < 0 || index >= static_cast<int64_t>(elements.size())) {
        return nullptr;
    }
    const TChainElement& e = elements[static_cast<size_t>(index)];
    return e.Kind == TChainElementKind::Frame ? e.FrameModel : nullptr;
}

// The walk down the chain: the reference cabinet (Cab) and the one after it (Next, Cab itself when there
// is none) with their joins, the anchors in use and the attach point P left by the element above.
struct ChainWalk {
    std::vector<const TCabModel*> cabs;
    bool flown = false, stacked = false, hangs = false;
    size_t cab = 0, next = 0, cabinetsSeen = 0;
    TJoinType J1 = TJoinType::qzaFrontJoin, J2 = TJoinType::qzaFrontJoin;
    Anchor A, B; // the cabinet anchors in use: upper and lower
    Anchor E, F; // the frame anchors in use: upper and lower
    Anchor P;

    TJoinType joinOf(size_t k) const {
        return cabs[k] != nullptr ? cabs[k]->JoinType() : TJoinType::qzaFrontJoin;
    }
    const TCabModel* cabModel() const { return cabs[cab]; }
};

// A cabinet that is Next becomes the reference cabinet; the one after it becomes Next.
void advanceReference(ChainWalk& w, const TChainElement& el, bool first) {
    if (el.Kind != TChainElementKind::Cabinet) {
        return;
    }
    if (!first && w.cabinetsSeen == w.next) {
        w.cab = w.next;
        if (w.cab + 1 < w.cabs.size()) {
            w.next = w.cab + 1;
        }
        w.J1 = w.joinOf(w.cab);
        w.J2 = w.joinOf(w.next);
    }
    ++w.cabinetsSeen;
}

// The anchors of a cabinet after the first: by the joins of Cab and Next, then the top-hat flanges
// towards a frame made for them.
void cabinetAnchors(ChainWalk& w, const TCabModel& m, const TRigFrameModel* below,
                    const TRigFrameModel* above) {
    const bool back1 = w.J1 == TJoinType::qzaBackJoin, back2 = w.J2 == TJoinType::qzaBackJoin;
    const bool front1 = w.J1 == TJoinType::qzaFrontJoin, front2 = w.J2 == TJoinType::qzaFrontJoin;
    if (back1 && back2) {
        w.A = backTop(m);
        w.B = backBot(m);
    } else if (front1 && front2) {
        w.A = frontTop(m);
        w.B = frontBot(m);
    } else if (w.flown && back1 && front2) {
        w.A = backTop(m);
        w.B = frontBot(m);
    } else if (w.flown && front1 && back2) {
        w.A = frontTop(m);
        w.B = backBot(m);
    } else if (w.stacked && back1 && front2) {
        w.A = frontTop(m);
        w.B = backBot(m);
    } else if (w.stacked && front1 && back2) {
        w.A = backTop(m);
        w.B = frontBot(m);
    }
    if (below != nullptr) {
        if (w.flown && below->IsForTopHatUp()) {
            w.B = botFlange(m);
        } else if (w.stacked && below->IsForTopHatDown()) {
            w.A = topFlange(m);
        }
    }
    if (above != nullptr) {
        if (w.flown && above->IsForTopHatDown()) {
            w.A = topFlange(m);
        } else if (w.stacked && above->IsForTopHatUp()) {
            w.B = botFlange(m);
        }
    }
}

// The anchors element idx is placed by.
void chooseAnchors(ChainWalk& w, const std::vector<TChainElement>& Elements, size_t idx) {
    const TChainElement& el = Elements[idx];
    const TCabModel* cabModel = w.cabModel();
    if (idx == 0) {
        if (el.Kind == TChainElementKind::Frame) {
            if (el.FrameModel != nullptr) {
                joinPair(*el.FrameModel, w.J1, w.E, w.F);
            }
        } else if (cabModel != nullptr) {
            joinPair(*cabModel, w.J1, w.A, w.B);
        }
    } else if (el.Kind == TChainElementKind::Cabinet && cabModel != nullptr) {
        cabinetAnchors(w, *cabModel, frameModelAt(Elements, static_cast<int64_t>(idx) + 1),
                       frameModelAt(Elements, static_cast<int64_t>(idx) - 1));
    } else if (el.Kind == TChainElementKind::Dummy && cabModel != nullptr) {
        joinPair(*cabModel, w.J2, w.A, w.B);
    } else if (el.Kind == TChainElementKind::Frame && el.FrameModel != nullptr) {
        joinPair(*el.FrameModel, w.J2, w.E, w.F);
    }
}

// Where the element turns and sits: its upper anchor meets the attach point P left by the element above
// (flown), or its lower anchor stands on the one left by the element below (stacked); P moves on.
TChainPlacement placeElement(ChainWalk& w, const TChainElement& el, bool first) {
    TChainPlacement place;
    const Anchor &A = w.A, &B = w.B, &E = w.E, &F = w.F, &P = w.P;
    switch (el.Kind) {
    case TChainElementKind::Frame:
        if (el.FrameModel == nullptr) {
            break;
        }
        if (w.hangs) {
            place.RotationCenter = centreAt(E);
            place.Position =
                first ? point(A.x - F.x, E.y, 0.0) : point(P.x - E.x, std::abs(P.y - E.y), P.z - E.z);
            place.HasRotationCenter = place.HasPosition = true;
            w.P = F;
        } else if (w.stacked) {
            place.RotationCenter = centreAt(F);
            place.Position =
                first ? point(B.x - E.x, 0.0, 0.0) : point(P.x - F.x, -std::abs(P.y - F.y), P.z - F.z);
            place.HasRotationCenter = place.HasPosition = true;
            w.P = E;
        }
        break;
    case TChainElementKind::Dummy:
        if (first && (w.hangs || w.stacked)) {
            place.HasRotationCenter = place.HasPosition = true;
            w.P = {B.x, 0.0, B.z};
        } else if (w.hangs) {
            place.RotationCenter = centreAt(A);
            place.Position = point(P.x - A.x, 0.0, P.z - A.z);
            place.HasRotationCenter = place.HasPosition = true;
            w.P = B;
        } else if (w.stacked) {
            place.RotationCenter = centreAt(B);
            place.Position = point(P.x - B.x, 0.0, P.z - B.z);
            place.HasRotationCenter = place.HasPosition = true;
            w.P = A;
        }
        break;
    case TChainElementKind::Cabinet:
        if (w.hangs) {
            place.RotationCenter = centreAt(A);
            place.Position = point(P.x - A.x, std::abs(P.y - A.y), P.z - A.z);
            place.HasRotationCenter = place.HasPosition = true;
            w.P = B;
        } else if (w.stacked) {
            place.RotationCenter = centreAt(B);
            place.Position = point(P.x - B.x, -std::abs(P.y - B.y), P.z - B.z);
            place.HasRotationCenter = place.HasPosition = true;
            w.P = A;
        }
        if (first) {
            place.Position = TPoint3D();
            place.HasPosition = true;
        }
        break;
    }
    return place;
}

} // namespace

std::vector<TChainPlacement> PlaceArrayChain(const std::vector<TChainElement>& Elements,
                                             TArrayMounting Mounting) {
    std::vector<TChainPlacement> out(Elements.size());
    ChainWalk w;
    for (const TChainElement& e : Elements) {
        if (e.Kind == TChainElementKind::Cabinet) {
            w.cabs.push_back(e.CabModel);
        }
    }
    if (w.cabs.empty()) {
        return out;
    }
    w.flown = Mounting == TArrayMounting::qzaFlown;
    w.stacked = Mounting == TArrayMounting::qzaStacked;
    w.hangs = w.flown || Mounting == TArrayMounting::qzaHorizCluster;
    w.next = w.cabs.size() > 1 ? 1 : 0;
    w.J1 = w.joinOf(w.cab);
    w.J2 = w.joinOf(w.next);
    for (size_t idx = 0; idx < Elements.size(); ++idx) {
        advanceReference(w, Elements[idx], idx == 0);
        chooseAnchors(w, Elements, idx);
        out[idx] = placeElement(w, Elements[idx], idx == 0);
    }
    return out;
}

// ---- The array ----

TCabArray::TCabArray(TPhysicalSpace* PhysicalSpace, TAcousticProject* AcousticProjectOwner)
    : TQzControl3D(nullptr), FPhysicalSpace(PhysicalSpace), FMyAcousticProject(AcousticProjectOwner) {
    EventsHeldBack hold(FMyAcousticProject);
    FArrayList.push_back(this);
    FIsMovingArrayOBJ3D = false;
    Reset();
}

TCabArray::~TCabArray() {
    FreeClass();
}

bool TCabArray::registered() const {
    if (FMyAcousticProject == nullptr) {
        return false;
    }
    const auto& list = FMyAcousticProject->CabArrays();
    return std::any_of(list.begin(), list.end(), [this](const auto& p) { return p.get() == this; });
}

void TCabArray::Reset() {
    for (TCabinet* cab : FCabinetList) {
        cab->Reset();
    }
    FActive = true;
    FName = "No Name";
    FArrayMounting = TArrayMounting::qzaFlown;
    FTilt = 0.0;
    SetRotationAngleZ(0.0f);
    SetPosition({0, 0, 0});
    FAllowBothOrientations = false;
    SetIsObjectSelected(false);
    SetMapState(TCalcState::qzaNeedsCalculate);
    FOriginType = TOriginType::qzaFlyOnePoint;
    FMechanicalData.NMotors = 1;
    FMechanicalData.IncludeCableInCalculation = false;
    FMechanicalData.CableWeightPerMeter = 1.0;
}

// A new joint or element hung from Above takes the absolute rotation Above passes on to its children
// (it has no turn of its own yet); the setters pass it further down.
static void inheritRotation(RiggingJoint& joint, const TControl3D* above, const TCabArray& array) {
    if (above == &array) {
        joint.SetAbsoluteRotationRadY(array.RotationAngle().Y * kDegToRad);
    } else if (const auto* cab = dynamic_cast<const TCabinet*>(above)) {
        joint.SetAbsoluteRotationRadX(cab->AbsoluteRotationRadX());
        joint.SetAbsoluteRotationRadY(cab->AbsoluteRotationRadY());
        joint.SetAbsoluteRotationRadZ(cab->AbsoluteRotationRadZ());
    } else if (const auto* element = dynamic_cast<const RiggingJoint*>(above)) {
        joint.SetAbsoluteRotationRadX(element->AbsoluteRotationRadX());
        joint.SetAbsoluteRotationRadY(element->AbsoluteRotationRadY());
        joint.SetAbsoluteRotationRadZ(element->AbsoluteRotationRadZ());
    }
}

// A new joint below the last element.
TQzDummy* TCabArray::AddDummyDirection() {
    EventsHeldBack hold(FMyAcousticProject);
    TControl3D* above = FArrayList.back();
    auto owned = std::make_unique<TQzDummy>(FPhysicalSpace, FMyAcousticProject);
    TQzDummy* joint = owned.get();
    joint->SetMyCabArray(this);
    joint->SetArrayElementID(static_cast<int32_t>(FArrayList.size()) - 1);
    joint->SetParent(above);
    FOwnedNodes.push_back(std::move(owned));
    inheritRotation(*joint, above, *this);
    return joint;
}

void TCabArray::appendElement(std::unique_ptr<RiggingJoint> element, TQzDummy* joint) {
    RiggingJoint* node = element.get();
    FArrayList.push_back(node);
    FOwnedNodes.push_back(std::move(element));
    node->SetParent(joint);
    inheritRotation(*node, joint, *this);
    if (FMyAcousticProject != nullptr) {
        FMyAcousticProject->RaiseUniqueID();
    }
}

TQzDummy* TCabArray::AddDummy() {
    const TWorkersPause pause(FMyAcousticProject);
    EventsHeldBack hold(FMyAcousticProject);
    TQzDummy* joint = AddDummyDirection();
    auto owned = std::make_unique<TQzDummy>(FPhysicalSpace, FMyAcousticProject);
    TQzDummy* spacer = owned.get();
    spacer->SetMyCabArray(this);
    spacer->SetArrayElementID(static_cast<int32_t>(FArrayList.size()));
    appendElement(std::move(owned), joint);
    return spacer;
}

TRiggingFrame* TCabArray::AddFrame(TRigFrameModel* FrameModel) {
    const TWorkersPause pause(FMyAcousticProject);
    EventsHeldBack hold(FMyAcousticProject);
    TQzDummy* joint = AddDummyDirection();
    auto owned = std::make_unique<TRiggingFrame>(FPhysicalSpace, FrameModel, FMyAcousticProject);
    TRiggingFrame* frame = owned.get();
    frame->SetMyCabArray(this);
    frame->SetArrayElementID(static_cast<int32_t>(FArrayList.size()));
    appendElement(std::move(owned), joint);
    return frame;
}

// The first splay angle of a cabinet hung below the last element, in degrees: from the model's
// tables for the first cabinet below a frame or a dummy, or for a cabinet below a cabinet (or the
// array itself). Stacks stand on negated angles. None for the other mountings.
static std::optional<double> firstSplay(const TCabModel& m, TArrayMounting mounting, bool belowFrameOrDummy) {
    switch (mounting) {
    case TArrayMounting::qzaFlown:
        return At(belowFrameOrDummy ? m.AllowedAnglesFirstCabFlown() : m.AllowedAnglesFlown(), 0);
    case TArrayMounting::qzaStacked: {
        const std::vector<double>& table =
            belowFrameOrDummy ? m.AllowedAnglesFirstCabStack() : m.AllowedAnglesStack();
        return -At(table, NearestValueIndex(table, 0.0));
    }
    case TArrayMounting::qzaHorizCluster:
        return -At(belowFrameOrDummy ? m.AllowedAnglesFirstCabHCluster() : m.AllowedAnglesHCluster(), 0);
    default:
        return std::nullopt;
    }
}

TCabinet* TCabArray::AddCabinet(TCabModel* CabModel, bool Activated) {
    // The angle first: an empty table leaves the array as it was.
    const TControl3D* above = FArrayList.back();
    const bool belowFrameOrDummy = dynamic_cast<const RiggingJoint*>(above) != nullptr;
    const std::optional<double> splay =
        CabModel != nullptr ? firstSplay(*CabModel, FArrayMounting, belowFrameOrDummy) : std::nullopt;

    const bool reg = registered();
    const TWorkersPause pause(FMyAcousticProject);
    TAcousticProject* project = FMyAcousticProject;
    TCabinet* cab = nullptr;
    {
        EventsHeldBack hold(FMyAcousticProject);
        TQzDummy* joint = AddDummyDirection();
        auto owned = std::make_unique<TCabinet>(
            FPhysicalSpace, CabModel, project, TPoint3D(), TPoint3D(), false,
            CabModel != nullptr ? CabModel->DefaultPlacement() : TCabPlacement::qzaVertical, false,
            project != nullptr ? project->BypassProcess() : nullptr,
            CabModel != nullptr ? CabModel->DefaultPreset() : 0);
        cab = owned.get();
        if (project != nullptr) {
            cab->TakeRenderOptions(project->OnlyPhase(), project->ZeroPhaseStart(), project->IdealSpeaker());
        }
        cab->SetMyCabArray(this);
        cab->SetActive(Activated);
        FCabinetList.push_back(cab);
        FArrayList.push_back(cab);
        FOwnedCabinets.push_back(std::move(owned));
        if (project != nullptr) {
            project->RaiseUniqueID();
        }
        cab->SetArrayElementPosID(static_cast<int32_t>(FArrayList.size()) - 1);
        cab->SetArrayCabinetPosID(NCabinets());
        if (project != nullptr) {
            cab->SetNumberID(project->TotalCabinets());
        }
        cab->SetParent(joint);
        if (splay) {
            cab->SetRotationAngleZ(static_cast<float>(*splay));
        }
        // Its absolute turn from the chain above, also when the splay angle left its own turn as
        // it was.
        cab->RotationChanged();
    }
    // A cabinet that workers can reach computes its maps like any other.
    if (reg) {
        cab->NeedsReCalculate();
    }
    return cab;
}

void TCabArray::FreeClass() {
    EventsHeldBack hold(FMyAcousticProject);
    while (!FOwnedCabinets.empty()) {
        std::unique_ptr<TCabinet> last = std::move(FOwnedCabinets.back());
        FOwnedCabinets.pop_back();
        last->FreeClass();
    }
    FCabinetList.clear();
    // Bottom-up: a node goes before the node it hangs from.
    while (!FOwnedNodes.empty()) {
        FOwnedNodes.pop_back();
    }
    FArrayList.assign(1, this);
}

void TCabArray::renumber() {
    for (size_t i = 1; i < FArrayList.size(); ++i) {
        TControl3D* node = FArrayList[i];
        const int32_t index = static_cast<int32_t>(i);
        if (auto* cab = dynamic_cast<TCabinet*>(node)) {
            cab->SetArrayElementPosID(index);
        } else if (auto* element = dynamic_cast<RiggingJoint*>(node)) {
            element->SetArrayElementID(index);
        }
        // The element's joint records the element above it.
        if (auto* joint = dynamic_cast<TQzDummy*>(node->Parent())) {
            joint->SetArrayElementID(index - 1);
        }
    }
    for (size_t k = 0; k < FCabinetList.size(); ++k) {
        FCabinetList[k]->SetArrayCabinetPosID(static_cast<int32_t>(k) + 1);
    }
}

void TCabArray::RemoveElement(TControl3D* Element) {
    const auto pos = std::find(FArrayList.begin() + 1, FArrayList.end(), Element);
    if (pos == FArrayList.end()) {
        throw ERangeError("List index out of bounds");
    }
    // The joint the element hangs from, and the element above that joint.
    TControl3D* joint = Element->Parent();
    TControl3D* above = joint != nullptr ? joint->Parent() : nullptr;
    // The element below hangs from the element above, so the chain stays whole.
    const std::vector<TControl3D*> below = Element->ChildList();
    for (TControl3D* child : below) {
        auto* next = dynamic_cast<TQzDummy*>(child);
        if (next != nullptr && above != nullptr) {
            next->SetParent(above);
            inheritRotation(*next, above, *this);
        }
    }
    if (joint != nullptr) {
        joint->SetParent(nullptr);
    }
    FArrayList.erase(pos);

    if (auto* cab = dynamic_cast<TCabinet*>(Element)) {
        FCabinetList.erase(std::find(FCabinetList.begin(), FCabinetList.end(), cab));
        // A process and a layer keep plain pointers to their members: the cabinet leaves both first.
        TGenericDSPProcess* process = cab->ExternalDSPProcess();
        if (process != nullptr && FMyAcousticProject != nullptr &&
            process != FMyAcousticProject->BypassProcess()) {
            process->RemoveUser(cab);
        }
        if (TQzLayer* layer = cab->MyLayer()) {
            auto& members = layer->ObjListInLayer;
            const auto it = std::find(members.begin(), members.end(), cab);
            if (it != members.end()) {
                members.erase(it);
            }
            cab->SetMyLayer(nullptr);
        }
        const auto owned = std::find_if(FOwnedCabinets.begin(), FOwnedCabinets.end(),
                                        [cab](const auto& p) { return p.get() == cab; });
        std::unique_ptr<TCabinet> doomed = std::move(*owned);
        FOwnedCabinets.erase(owned);
        doomed->FreeClass();
        doomed.reset();
    } else {
        const auto owned = std::find_if(FOwnedNodes.begin(), FOwnedNodes.end(),
                                        [Element](const auto& p) { return p.get() == Element; });
        if (owned != FOwnedNodes.end()) {
            FOwnedNodes.erase(owned);
        }
    }
    const auto ownedJoint = std::find_if(FOwnedNodes.begin(), FOwnedNodes.end(),
                                         [joint](const auto& p) { return p.get() == joint; });
    if (ownedJoint != FOwnedNodes.end()) {
        FOwnedNodes.erase(ownedJoint);
    }
    renumber();
    SetPositionsInsideArray();
}

float TCabArray::GetTotalWeight() const {
    double total = 0.0;
    for (size_t i = 1; i < FArrayList.size(); ++i) {
        if (const auto* cab = dynamic_cast<const TCabinet*>(FArrayList[i])) {
            total += cab->Model() != nullptr ? cab->Model()->Weight() : 0.0;
        } else if (const auto* frame = dynamic_cast<const TRiggingFrame*>(FArrayList[i])) {
            total += frame->Model() != nullptr ? frame->Model()->Weight() : 0.0;
        }
    }
    return static_cast<float>(total);
}

double TCabArray::GetHeight() const {
    double height = 0.0;
    for (size_t i = 1; i < FArrayList.size(); ++i) {
        const TControl3D* node = FArrayList[i];
        if (const auto* cab = dynamic_cast<const TCabinet*>(node)) {
            height += cab->Model() != nullptr ? cab->Model()->Height() : 0.0;
        } else if (const auto* frame = dynamic_cast<const TRiggingFrame*>(node)) {
            height += frame->Model() != nullptr ? frame->Model()->Height() : 0.0;
        } else if (dynamic_cast<const TQzDummy*>(node) != nullptr) {
            height += node->Height();
        }
    }
    return height;
}

TBoundingBox TCabArray::GlobalBounds() const {
    TBoundingBox box;
    for (size_t i = 1; i < FArrayList.size(); ++i) {
        box = box.Union(ElementGlobalBounds(*FArrayList[i]));
    }
    return box;
}

TBoundingBox TCabArray::LocalBounds() const {
    return CentredBounds(GlobalBounds());
}

void TCabArray::SetPositionsInsideArray() {
    if (FCabinetList.empty() || NObjects() == 0) {
        return;
    }
    const TWorkersPause pause(FMyAcousticProject);
    std::vector<TChainElement> chain;
    chain.reserve(FArrayList.size() - 1);
    for (size_t i = 1; i < FArrayList.size(); ++i) {
        TChainElement e;
        if (const auto* cab = dynamic_cast<const TCabinet*>(FArrayList[i])) {
            e.Kind = TChainElementKind::Cabinet;
            e.CabModel = cab->Model();
        } else if (const auto* frame = dynamic_cast<const TRiggingFrame*>(FArrayList[i])) {
            e.Kind = TChainElementKind::Frame;
            e.FrameModel = frame->Model();
        } else {
            e.Kind = TChainElementKind::Dummy;
        }
        chain.push_back(e);
    }
    refreshChainRotations();
    const std::vector<TChainPlacement> placed = PlaceArrayChain(chain, FArrayMounting);
    for (size_t i = 0; i < placed.size(); ++i) {
        TControl3D* node = FArrayList[i + 1];
        if (placed[i].HasRotationCenter) {
            node->SetRotationCenter(placed[i].RotationCenter);
        }
        if (placed[i].HasPosition) {
            node->SetPosition(placed[i].Position);
        }
    }
    // A frame that flies from a chosen pick point keeps flying from it.
    if (FOriginSet) {
        applyOrigin();
    }
    applyTilt();
}

// The tilt turns the joint element 1 hangs from, about element 1's rotation centre (its anchor or its
// flying point). A node turns about Z before X, so the tilt lives above element 1: applied after
// element 1's own quarter turn of a horizontal array, it tilts that array about the horizontal axis
// across its front as it tilts a vertical one. Element 1 keeps no Z turn of its own: the tilt is its
// turn against the array.
void TCabArray::applyTilt() {
    if (FArrayList.size() < 2) {
        return;
    }
    TControl3D* first = FArrayList[1];
    auto* joint = dynamic_cast<TQzDummy*>(first->Parent());
    if (joint == nullptr) {
        return;
    }
    joint->SetRotationCenter(first->RotationCenter() + first->Position());
    first->SetRotationAngleZ(0.0f);
    joint->SetRotationAngleZ(static_cast<float>(-FTilt));
}

// Every joint and element takes its absolute turn again from the chain above it, from the top down:
// whatever happened to an element meanwhile (a new model resets a cabinet's turns, an element was
// taken out), the turns the prediction aims the cabinets by follow the scene again.
void TCabArray::refreshChainRotations() {
    for (size_t i = 1; i < FArrayList.size(); ++i) {
        TControl3D* node = FArrayList[i];
        auto* joint = dynamic_cast<TQzDummy*>(node->Parent());
        if (joint == nullptr) {
            continue;
        }
        inheritRotation(*joint, joint->Parent(), *this);
        if (auto* cab = dynamic_cast<TCabinet*>(node)) {
            cab->RotationChanged();
        } else if (auto* element = dynamic_cast<RiggingJoint*>(node)) {
            element->SetAbsoluteRotationRadX(element->RelativeRotationRadX() + joint->AbsoluteRotationRadX());
            element->SetAbsoluteRotationRadY(element->RelativeRotationRadY() + joint->AbsoluteRotationRadY());
            element->SetAbsoluteRotationRadZ(element->RelativeRotationRadZ() + joint->AbsoluteRotationRadZ());
        }
    }
}

void TCabArray::applyOrigin() {
    if (FArrayList.size() < 2 || dynamic_cast<TRiggingFrame*>(FArrayList[1]) == nullptr) {
        return;
    }
    TControl3D* first = FArrayList[1];
    first->SetRotationCenter({FOriginPoint.X, -FOriginPoint.Y, FOriginPoint.Z});
    first->SetPosition({-FOriginPoint.X, FOriginPoint.Y, 0.0f});
    applyTilt();
}

bool TCabArray::SetArrayOrigin() {
    const auto* frame = FArrayList.size() > 1 ? dynamic_cast<const TRiggingFrame*>(FArrayList[1]) : nullptr;
    if (frame == nullptr || frame->Model() == nullptr) {
        return false;
    }
    const TRigFrameModel& model = *frame->Model();
    int32_t number = 1;
    if (FOriginType == TOriginType::qzaFlyOnePoint) {
        number = FMechanicalData.FlyingPoint;
        if (number < 1) {
            return false;
        }
    }
    const TPoint3D p = At(model.PickPoints(), number - 1);
    if (std::abs(p.X - FOriginPoint.X) <= 1e-4 && std::abs(p.Y - FOriginPoint.Y) <= 1e-4 &&
        std::abs(p.Z - FOriginPoint.Z) <= 1e-4) {
        return false;
    }
    const TWorkersPause pause(FMyAcousticProject);
    FOriginPoint = p;
    FOriginSet = true;
    applyOrigin();
    return true;
}

void TCabArray::RecalcMechanics() {
    TMechanicsInput in;
    in.OriginY = Position().Y;
    in.Extent = GlobalBounds();
    in.CableWeightPerMeter = FMechanicalData.CableWeightPerMeter;
    in.IncludeCableInCalculation = FMechanicalData.IncludeCableInCalculation;
    in.NMotors = FMechanicalData.NMotors;
    in.Stacked = FArrayMounting == TArrayMounting::qzaStacked;

    TControl3D* first = FArrayList.size() > 1 ? FArrayList[1] : nullptr;
    if (auto* frame = dynamic_cast<TRiggingFrame*>(first)) {
        in.RigFrame = frame;
        if (const TRigFrameModel* m = frame->Model()) {
            in.RigFrameExists = true;
            in.FrameWeight = m->Weight();
            in.MaxSupportWeight = m->MaxSupportWeight();
            in.FrameModelName = m->ModelName();
            in.FrameTypedWithAdapter = m->PickPointType() == TPickPointType::qzaWithAdapter;
            for (int32_t i = 0; i < m->NPickPoints(); ++i) {
                const TPoint3D& q = At(m->PickPoints(), i);
                in.PickPoints.push_back(frame->LocalToAbsolute3D({q.X, -q.Y, q.Z}));
            }
        }
    } else if (auto* dummy = dynamic_cast<TQzDummy*>(first)) {
        in.RigFrame = dummy;
    }

    // The element a stack stands on: its first element, or the cabinet on a first spacer.
    const TControl3D* base = first;
    if (dynamic_cast<const TQzDummy*>(first) != nullptr) {
        base = FArrayList.size() > 2 ? dynamic_cast<const TCabinet*>(FArrayList[2]) : nullptr;
    }
    if (in.Stacked && base != nullptr) {
        const TControl3D* frame = base;
        double w = 0, h = 0, d = 0;
        if (const auto* cab = dynamic_cast<const TCabinet*>(base);
            cab != nullptr && cab->Model() != nullptr) {
            frame = &CabinetBodyFrame(*cab);
            w = cab->Model()->Width();
            h = cab->Model()->Height();
            d = cab->Model()->Depth();
        } else if (const auto* rig = dynamic_cast<const TRiggingFrame*>(base);
                   rig != nullptr && rig->Model() != nullptr) {
            w = rig->Model()->Width();
            h = rig->Model()->Height();
            d = rig->Model()->Depth();
        }
        const float x = static_cast<float>(w / 2), y = static_cast<float>(h / 2),
                    z = static_cast<float>(d / 2);
        // A base of unknown size gives no footprint to test against.
        for (int c = 0; w > 0 && d > 0 && c < 8; ++c) {
            in.BaseCorners.push_back(
                frame->LocalToAbsolute3D({(c & 1) ? x : -x, (c & 2) ? y : -y, (c & 4) ? z : -z}));
        }
    }

    // Every cabinet and the frame weigh at their centres of gravity, turned with their elements.
    for (size_t i = 1; i < FArrayList.size(); ++i) {
        if (const auto* cab = dynamic_cast<const TCabinet*>(FArrayList[i])) {
            if (const TCabModel* m = cab->Model()) {
                in.Masses.push_back({CabinetBodyFrame(*cab).LocalToAbsolute3D(point(
                                         m->GravityCenterXm(), -m->GravityCenterYm(), m->GravityCenterZm())),
                                     m->Weight()});
            }
        } else if (const auto* frame = dynamic_cast<const TRiggingFrame*>(FArrayList[i])) {
            if (const TRigFrameModel* m = frame->Model()) {
                in.Masses.push_back({frame->LocalToAbsolute3D(point(
                                         m->GravityCenterXm(), -m->GravityCenterYm(), m->GravityCenterZm())),
                                     m->Weight()});
            }
        }
    }
    ComputeMechanics(in, FMechanicalData);
}

// ---- Properties ----

void TCabArray::SetMapState(TCalcState Value) {
    FMapState = Value;
    if (Value != TCalcState::qzaNeedsCalculate) {
        return;
    }
    for (TCabinet* cab : FCabinetList) {
        cab->SetMapState(TCalcState::qzaNeedsCalculate);
    }
}

void TCabArray::SetIsObjectSelected(bool Value) {
    if (Value == IsObjectSelected()) {
        return;
    }
    TQzControl3D::SetIsObjectSelected(Value);
    for (TCabinet* cab : FCabinetList) {
        cab->TQzControl3D::SetIsObjectSelected(Value);
    }
}

void TCabArray::SetIsMovingArrayOBJ3D(bool Value) {
    if (Value == FIsMovingArrayOBJ3D) {
        return;
    }
    FIsMovingArrayOBJ3D = Value;
    for (TCabinet* cab : FCabinetList) {
        cab->SetIsMovingOBJ3D(Value);
    }
}

// The splay angle of an element in degrees: a cabinet's own turn about Z; frames and dummies have
// none.
static double splayDegrees(const TControl3D* element) {
    if (const auto* cab = dynamic_cast<const TCabinet*>(element)) {
        return cab->RelativeRotationRadZ() * kRadToDeg;
    }
    return 0.0;
}

void TCabArray::SetMountingType(TArrayMounting Value) {
    if (Value == FArrayMounting) {
        return;
    }
    FArrayMounting = Value;
    if (NObjects() < 1) {
        return;
    }
    const bool flown = Value == TArrayMounting::qzaFlown;
    if (flown || Value == TArrayMounting::qzaStacked) {
        const TWorkersPause pause(FMyAcousticProject);
        // The tilt, on the joint above element 1, means the same turn in both mountings: it stays.
        // The splay angles below element 1 open downwards when flown and upwards when stacked.
        const double sign = flown ? 1.0 : -1.0;
        for (size_t i = 2; i < FArrayList.size(); ++i) {
            FArrayList[i]->SetRotationAngleZ(
                static_cast<float>(sign * std::abs(splayDegrees(FArrayList[i]))));
        }
    }
    SetPositionsInsideArray();
}

void TCabArray::SetTilt(double Value) {
    if (Value == FTilt) {
        return;
    }
    if (Value > 179.0) {
        Value = 180.0;
    } else if (Value < -179.0) {
        Value = -180.0;
    }
    FTilt = Value;
    if (NObjects() < 1) {
        return;
    }
    const TWorkersPause pause(FMyAcousticProject);
    if (FMyAcousticProject != nullptr && FMyAcousticProject->ForceCalculation()) {
        if (auto* joint = dynamic_cast<TQzDummy*>(FArrayList[1]->Parent())) {
            joint->SetRotationAngleZ(0.0f);
        }
    }
    applyTilt();
    for (TCabinet* cab : FCabinetList) {
        cab->RotateZChanged();
    }
}

void TCabArray::SetOrientation(TCabPlacement Value) {
    if (Value == FOrientation) {
        return;
    }
    FOrientation = Value;
    if (NObjects() < 1) {
        return;
    }
    const TWorkersPause pause(FMyAcousticProject);
    FArrayList[1]->SetRotationAngleX(Value == TCabPlacement::qzaHorizontal ? 90.0f : 0.0f);
}

void TCabArray::SetOriginType(TOriginType Value) {
    if (Value == FOriginType) {
        return;
    }
    FOriginType = Value;
    SetArrayOrigin();
}

void TCabArray::MatrixChanged() {
    if (ChildrenCount() > 0) {
        PropagateRotationY(this, RotationAngle().Y * kDegToRad);
    }
    if (FPhysicalSpace != nullptr) {
        const double pixel = FPhysicalSpace->PixelToMeters();
        const TPoint3D abs = AbsolutePosition();
        FXp = abs.X / pixel;
        FYp = (FPhysicalSpace->VenueHeightVer() + abs.Y) / pixel;
        FZp = abs.Z / pixel;
    }
    TQzControl3D::MatrixChanged();
    if (FMyAcousticProject != nullptr) {
        FMyAcousticProject->ClearAllMaps();
    }
}

void TCabArray::RotationChanged() {
    TQzControl3D::RotationChanged();
}
void TCabArray::RotateYChanged() {
    TQzControl3D::RotateYChanged();
}
void TCabArray::RotateZChanged() {
    TQzControl3D::RotateZChanged();
}

} // namespace vendrel
