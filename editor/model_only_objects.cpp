#include "editor/model_only_objects.h"

#include "acoustics/beam_steering.h"
#include "acoustics/cab_model.h"
#include "acoustics/cabinet.h"
#include "acoustics/cluster.h"
#include "acoustics/mapping_zone.h"
#include "acoustics/mic_point.h"
#include "acoustics/project.h"
#include "acoustics/rigging_frame.h"
#include "acoustics/source_point.h"
#include "editor/editor.h"
#include "platform/core/context3d.h"
#include "platform/core/cursor_service.h"
#include "platform/core/material.h"

#include <cmath>

namespace vendrel {

namespace {

// Edge of the box that marks a measurement point, metres.
constexpr float kMicMarkerSize = 0.3f;

} // namespace

// ---------------------------------------------------------------------------------------------------
// A drawn model that follows another node

TFollowerModel3D::TFollowerModel3D(TComponent* AOwner, const TControl3D* Followed)
    : TModel3D(AOwner), FFollowed(Followed) {
    HitTest = false;
}

void TFollowerModel3D::Render(TContext3D& Context) {
    if (FFollowed == nullptr || !FFollowed->AbsoluteVisible()) {
        return;
    }
    const TMatrix3D saved = Context.CurrentMatrix();
    Context.SetMatrix(FFollowed->AbsoluteMatrix());
    TModel3D::Render(Context);
    Context.SetMatrix(saved);
}

// ---------------------------------------------------------------------------------------------------

TModelOnlyObjects::TModelOnlyObjects(TEditor& Editor) : ed_(Editor) {}

void TModelOnlyObjects::enterLayer(TQzControl3D& object, TQzLayer* layer) {
    object.SetMyLayer(layer);
    if (layer != nullptr) {
        layer->ObjListInLayer.push_back(&object);
        if (!layer->Visible()) {
            object.SetVisible(false);
        }
    }
    if (object.IsLocked()) {
        ed_.State.LockedList.Add(&object);
    }
}

TDummy* TModelOnlyObjects::newContainer(TQzControl3D& object) {
    TViewport3D* view = ed_.Scene.Viewport3D1.get();
    auto* container = new TDummy(view);
    container->SetParent(view);
    container->HitTest = false;
    container->TagObject = &object;
    // The container stands at the object's place, so that moves of the selection carry it along; the
    // drawn models follow the object itself.
    container->SetPosition(object.Position());
    object.GraphicalObject = container;
    return container;
}

void TModelOnlyObjects::drawModel(TDummy& container, const TControl3D& followed, const TModel3D* library,
                                  TControl3D* sized) {
    auto* drawn = new TFollowerModel3D(&container, &followed);
    drawn->SetParent(&container);
    if (library == nullptr) {
        return;
    }
    drawn->AssignMeshes(*library);
    drawn->SetWrapMode(library->WrapMode());
    drawn->SetWidth(library->Width());
    drawn->SetHeight(library->Height());
    drawn->SetDepth(library->Depth());
    drawn->SetAllMaterials(ed_.Objects.BoxMaterial.get());
    if (sized != nullptr) {
        sized->SetWidth(library->Width());
        sized->SetHeight(library->Height());
        sized->SetDepth(library->Depth());
    }
}

void TModelOnlyObjects::drawCabinet(TDummy& container, TCabinet& cabinet) {
    // The mesh turns with the cabinet's source pivot, which carries its own X turn and placement.
    const TControl3D* followed =
        cabinet.DummySource() != nullptr ? static_cast<const TControl3D*>(cabinet.DummySource()) : &cabinet;
    const TModel3D* library = cabinet.Model() != nullptr ? cabinet.Model()->Object3D() : nullptr;
    drawModel(container, *followed, library, &cabinet);
}

void TModelOnlyObjects::InsertNewCluster(TCluster* theCluster, TQzLayer* theLayer, bool EnableCalc) {
    const auto cursor = TSmartCursor::HourGlass();
    enterLayer(*theCluster, theLayer);
    for (TCabinet* cab : theCluster->CabinetList()) {
        cab->SetMyLayer(theLayer);
    }
    if (!ed_.State.IsOpeningProject && EnableCalc) {
        for (TCabinet* cab : theCluster->CabinetList()) {
            cab->SetActive(true);
        }
    }
    TDummy* container = newContainer(*theCluster);
    for (TCabinet* cab : theCluster->CabinetList()) {
        drawCabinet(*container, *cab);
    }
    ed_.Repaint();
}

void TModelOnlyObjects::InsertNewBeamSteeringInterface(TBeamContainer* theBeamSteering, TQzLayer* theLayer,
                                                       bool EnableCalc) {
    InsertNewCluster(theBeamSteering, theLayer, EnableCalc);
}

void TModelOnlyObjects::InsertMic(TMicPoint* theMic, TQzLayer* theLayer) {
    enterLayer(*theMic, theLayer);
    TDummy* container = newContainer(*theMic);
    auto* material = new TLightMaterialSource(container);
    material->SetDiffuse(theMic->Color());
    material->SetAmbient(TAlphaColors::Black);
    material->SetSpecular(TAlphaColors::White);
    material->SetShininess(18);
    auto* drawn = new TFollowerModel3D(container, theMic);
    drawn->SetParent(container);
    drawn->AddMesh(UnitCubeMesh(), material);
    drawn->SetWrapMode(TMeshWrapMode::wmStretch);
    drawn->SetWidth(kMicMarkerSize);
    drawn->SetHeight(kMicMarkerSize);
    drawn->SetDepth(kMicMarkerSize);
    ed_.Repaint();
}

// ---------------------------------------------------------------------------------------------------
// Removal

void TModelOnlyObjects::freeDrawing(TQzControl3D& object) {
    // The container owns the drawn models: they go with it, before the object they follow.
    delete object.GraphicalObject;
    object.GraphicalObject = nullptr;
}

void TModelOnlyObjects::afterGroupRemoval() {
    TAcousticProject& p = ed_.Project;
    if (p.ProgressBar() != nullptr) {
        p.ProgressBar()->SetMax(p.TotalCabinets());
    }
    p.ClearAllMaps();
    ed_.Render.RenderButtonNeedsCalc();
    ed_.Repaint();
}

void TModelOnlyObjects::RemoveCluster(TCluster* theCluster) {
    if (theCluster == nullptr) {
        return;
    }
    const auto cursor = TSmartCursor::HourGlass();
    ed_.Removal.ForgetObject(theCluster);
    freeDrawing(*theCluster);
    ed_.Project.RemoveCluster(theCluster);
    for (size_t i = 0; i < ed_.Project.Clusters().size(); ++i) {
        ed_.Project.Clusters()[i]->SetNumberID(static_cast<int32_t>(i) + 1);
    }
    afterGroupRemoval();
}

void TModelOnlyObjects::RemoveBeamSteering(TBeamContainer* theBeamSteering) {
    if (theBeamSteering == nullptr) {
        return;
    }
    const auto cursor = TSmartCursor::HourGlass();
    ed_.Removal.ForgetObject(theBeamSteering);
    freeDrawing(*theBeamSteering);
    ed_.Project.RemoveBeamSteering(theBeamSteering);
    for (size_t i = 0; i < ed_.Project.Beams().size(); ++i) {
        ed_.Project.Beams()[i]->SetNumberID(static_cast<int32_t>(i) + 1);
    }
    afterGroupRemoval();
}

void TModelOnlyObjects::RemoveMic(TMicPoint* theMic) {
    if (theMic == nullptr) {
        return;
    }
    TAcousticProject& p = ed_.Project;
    ed_.Removal.ForgetObject(theMic);
    theMic->SetOnReceiveMic(nullptr);
    freeDrawing(*theMic);
    p.RemoveMic(theMic);
    for (size_t i = 0; i < p.Mics().size(); ++i) {
        p.Mics()[i]->SetIDnumber(static_cast<int32_t>(i));
    }
    p.SetIsProjectModified(true);
    ed_.Repaint();
}

} // namespace vendrel
