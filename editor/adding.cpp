#include "editor/adding.h"

#include "acoustics/cab_model.h"
#include "acoustics/cabinet.h"
#include "acoustics/dsp_process.h"
#include "acoustics/mapping_zone.h"
#include "acoustics/model_registry.h"
#include "acoustics/ornament.h"
#include "acoustics/project.h"
#include "editor/editor.h"
#include "editor/kinds/cabinet_kind.h"
#include "editor/kinds/ornament_kind.h"
#include "editor/kinds/zone_kind.h"
#include "editor/object_panels.h"
#include "editor/scopes.h"
#include "files/library_scan.h"
#include "platform/core/camera.h"
#include "platform/core/cursor_service.h"
#include "platform/core/mesh.h"
#include "platform/core/message_box.h"
#include "platform/core/numeric.h"
#include "scene/color_helpers.h"
#include "scene/cone_marker.h"
#include "scene/extruded_shape.h"

#include <algorithm>
#include <cmath>
#include <typeinfo>

namespace vendrel {

namespace {

constexpr double kDeg = 0.017453292519943295;

TMatrix3D rotX(double deg) {
    return TMatrix3D::CreateRotationX(static_cast<float>(deg * kDeg));
}
TMatrix3D rotY(double deg) {
    return TMatrix3D::CreateRotationY(static_cast<float>(deg * kDeg));
}
TMatrix3D rotZ(double deg) {
    return TMatrix3D::CreateRotationZ(static_cast<float>(deg * kDeg));
}

// The turn of a point without a translation.
TPoint3D turned(const TPoint3D& p, const TMatrix3D& m) {
    return TransformDirection(p, m);
}

template <typename T> bool isExactly(const TObject* o) {
    return o != nullptr && typeid(*o) == typeid(T);
}

} // namespace

// ---------------------------------------------------------------------------------------------------
// Outline points into a zone's plane

TPolygonPos GetPolygonPos(std::vector<TPoint3D>& Points, const TPoint3D& Rotation, bool Creation) {
    TPolygonPos result;
    const size_t n = Points.size();
    std::vector<TPoint3D> q(n);
    const TMatrix3D toPlane = rotZ(Rotation.Y) * rotX(-Rotation.X) * rotY(-Rotation.Z);
    for (size_t i = 0; i < n; ++i) {
        q[i] = Creation ? Points[i] * toPlane + TPoint3D(0, 0, -0.05f) : Points[i];
    }
    TPolygon p(n);
    for (size_t i = 0; i < n; ++i) {
        p[i] = {q[i].X, q[i].Y};
    }
    result.Rect = PolygonBounds(p);
    if (n == 0) {
        return result;
    }
    TPoint3D b(result.Rect.Left, (result.Rect.Top + result.Rect.Bottom) / 2, -q[0].Z);
    b = b * (rotY(-Rotation.Z) * rotX(-Rotation.X) * rotZ(-Rotation.Y));
    result.Begin = {b.X, b.Z, -b.Y};

    std::vector<size_t> order(n);
    for (size_t i = 0; i < n; ++i) {
        order[i] = i;
    }
    if (n >= 2) {
        const TPointF& p0 = p[0];
        const TPointF& p1 = p[1];
        const TPointF& pl = p[n - 1];
        const double d =
            (double(p1.X) - p0.X) * (double(pl.Y) - p0.Y) - (double(pl.X) - p0.X) * (double(p1.Y) - p0.Y);
        if (d < 0) {
            result.Reversed = true;
            std::reverse(order.begin() + 1, order.end());
        }
    }
    for (size_t i = 0; i < n; ++i) {
        const size_t k = order[i];
        Points[i] = {p[k].X, p[k].Y, -q[k].Z};
    }
    return result;
}

namespace {

// Twice the signed area of a closed outline.
double doubleArea(const std::vector<TPoint3D>& pts) {
    double a = 0.0;
    for (size_t i = 0; i < pts.size(); ++i) {
        const TPoint3D& u = pts[i];
        const TPoint3D& v = pts[(i + 1) % pts.size()];
        a += double(u.X) * v.Y - double(v.X) * u.Y;
    }
    return a;
}

} // namespace

// ---------------------------------------------------------------------------------------------------

TAddObjects::TAddObjects(TEditor& Editor) : ed_(Editor) {
    AddSurfaceButton.Hint = "Add Surface with Corners";
    AddTrapeziumButton.Hint = "Add Trapezium";
    AddCabinetAction.Hint = "Add Cabinets";
    DrawSurfaceAction.Hint = "Draw Surface  Points";
    AbsOffRB.Hint = "Will apply same values for each Insertion";
    AcumOffRB.Hint = "Will sum values for next Insertion";
    AbsOffRB.Checkable = AcumOffRB.Checkable = true;
    AbsOffRB.SetChecked(true);
    AddSurfaceButton.OnExecute = [this] { AddNewZoneButtonClick(TNewZoneKind::Rectangle); };
    AddTrapeziumButton.OnExecute = [this] { AddNewZoneButtonClick(TNewZoneKind::Trapezium); };
    AddCabinetAction.OnExecute = [this] { AddCabinetActionExecute(); };
    AddZoneAction.OnExecute = [this] { AddNewZoneButtonClick(TNewZoneKind::Rectangle); };
    DrawSurfaceAction.OnExecute = [this] { DrawSurfaceActionExecute(); };
    AddMeasurePointAction.Hint = "Insert Microphone";
    AddMeasurePointAction.OnExecute = [this] { AddMeasurePointActionExecute(); };
    AddLineMicsAction.Hint = "Insert in-line Microphones";
    AddLineMicsAction.OnExecute = [this] { ed_.State.IsTwoPointInsertion = true; };
    AbsOffRB.OnExecute = [this] {
        AbsOffRB.SetChecked(true);
        AcumOffRB.SetChecked(false);
        AbsOffRBChange();
    };
    AcumOffRB.OnExecute = [this] {
        AcumOffRB.SetChecked(true);
        AbsOffRB.SetChecked(false);
        AbsOffRBChange();
    };
}

void TAddObjects::AbsOffRBChange() {
    if (AbsOffRB.Checked()) {
        AcumOffTag = 1;
    }
}

TPoint3D TAddObjects::InsertionRotation() const {
    const double n = AcumOffTag;
    return {0.0f, static_cast<float>(-RotZNB.Value() * n), static_cast<float>(-RotYNB.Value() * n)};
}

void TAddObjects::setInsertCursor() {
    ed_.SetViewCursor(2);
}

void TAddObjects::selectAlone(TObject* Obj) {
    ed_.Selection.UnSelectAllObjects();
    auto* object = dynamic_cast<TQzControl3D*>(Obj);
    if (TObjectKind* kind = ed_.Kinds.KindOf(Obj); kind != nullptr && object != nullptr) {
        kind->SetSelected(*object, true);
    } else if (object != nullptr) {
        object->SetIsObjectSelected(true);
    }
    ed_.State.SelectedObjList.Add(Obj);
    ed_.Selection.UpdateLastSelection();
}

// ---------------------------------------------------------------------------------------------------
// Add routines

TCabinet* TAddObjects::AddNewCabinet(const std::string& ModelName, const std::string& VariantName,
                                     const std::string& BrandName, const TPoint3D& Position,
                                     const TPoint3D& Rotation, bool Selected, TCabPlacement Placement,
                                     int32_t HornRotationIndex, bool Active, bool Locked, TQzLayer* Layer,
                                     int32_t Preset, int32_t Process) {
    ed_.RenderButtonNeedsCalc();
    const auto cursor = TSmartCursor::HourGlass();
    if (ed_.Library == nullptr) {
        return nullptr;
    }
    TCabModel* model = ed_.Library->GetCabModelByName(ModelName, VariantName, BrandName, true);
    if (model == nullptr) {
        return nullptr;
    }
    TAcousticProject& project = ed_.Project;
    if (project.ProgressBar() != nullptr) {
        project.ProgressBar()->SetMax(project.TotalCabinets() + 1);
    }
    TCabinet* cabinet =
        project.AddCabinet(model, Position, Rotation, Selected, Placement, HornRotationIndex, Active);
    cabinet->SetMyLayer(Layer);

    if (model->NDSPPresets() == 0) {
        cabinet->SetInternalDSPPreset(nullptr);
    } else {
        int32_t number = Preset >= 1 && Preset <= model->NDSPPresets() ? Preset : model->DefaultPreset();
        // A default outside the model's presets takes its first one.
        if (number < 1 || number > model->NDSPPresets()) {
            number = 1;
        }
        cabinet->SetInternalDSPPreset(model->DSPPresets()[static_cast<size_t>(number - 1)]);
    }
    cabinet->SetExternalDSPProcess(Process == 0 ? project.BypassProcess()
                                                : At(project.DSPProcessList(), Process - 1).get());

    cabinet->SetIsLocked(Locked);
    if (Layer != nullptr) {
        Layer->ObjListInLayer.push_back(cabinet);
        if (Layer->IsLocked()) {
            cabinet->SetIsLocked(true);
            if (!ed_.State.LockedList.Contains(cabinet)) {
                ed_.State.LockedList.Add(cabinet);
            }
        }
    }
    const TModel3D* library = nullptr;
    if (model->ModelID() >= 0 &&
        static_cast<size_t>(model->ModelID()) < ed_.Library->FModels3DImported.size()) {
        library = ed_.Library->FModels3DImported[static_cast<size_t>(model->ModelID())].get();
    }
    ed_.Kinds.Get<TCabinetKind>()->AddInterfaceAndObjectsToCabinet(cabinet, library);
    if (cabinet->GraphicalObject != nullptr) {
        cabinet->GraphicalObject->SetVisible(Layer == nullptr || Layer->Visible());
    }
    ed_.UpdateRenderControls();
    ed_.State.AcousticPrjItemClicked = cabinet;
    if (Selected) {
        ed_.Kinds.Get<TCabinetKind>()->SetSelected(*cabinet, true);
        ed_.State.SelectedObjList.Add(cabinet);
        ed_.Selection.UpdateLastSelection();
    }
    return cabinet;
}

TMappingZone* TAddObjects::AddNewMappingZone(const std::string& Name, const TPoint3D& Position,
                                             const TPoint3D& Rotation, float Width, float Depth, float Height,
                                             bool Selected, TSurfaceType Type, bool Active, TQzLayer* Layer,
                                             const std::vector<TPoint3D>& SurfacePnts) {
    TAcousticProject& project = ed_.Project;
    TMappingZone* zone = project.AddMappingZone(Name, Position, Rotation, std::fabs(Width), std::fabs(Depth),
                                                Height, Selected, Type, Active);
    zone->SetMyLayer(Layer);
    const bool hiddenLayer = Layer != nullptr && !Layer->Visible();
    if (Layer != nullptr) {
        Layer->ObjListInLayer.push_back(zone);
        if (Layer->IsLocked()) {
            zone->SetIsLocked(true);
            if (!ed_.State.LockedList.Contains(zone)) {
                ed_.State.LockedList.Add(zone);
            }
        }
    }
    if (hiddenLayer) {
        zone->SetVisible(false);
    }
    if (!Active || hiddenLayer) {
        zone->SetActive(false);
    }
    if (Type == TSurfaceType::qzaPolygon) {
        zone->SetListenLevel(0.0f);
        zone->SetMappingSides(TMappingSides::qzaSPLOneSide);
        zone->SetPolygonPoints(SurfacePnts);
    }
    ed_.Kinds.Get<TZoneKind>()->AddInterfaceAndObjectsToZone(zone);
    ed_.State.AcousticPrjItemClicked = zone;
    if (zone->GraphicalObject != nullptr) {
        zone->GraphicalObject->SetVisible(!hiddenLayer);
    }
    if (Selected) {
        ed_.Kinds.Get<TZoneKind>()->SetSelected(*zone, true);
        ed_.State.SelectedObjList.Add(zone);
        ed_.Selection.UpdateLastSelection();
    }
    return zone;
}

TOrnament* TAddObjects::AddNewOrnament(const std::string& Name, const std::string& ModelName,
                                       const TPoint3D& Position, const TPoint3D& Rotation, bool Selected,
                                       TQzLayer* Layer, float Width, float Depth, float Height,
                                       bool Visible) {
    if (ed_.Library == nullptr) {
        return nullptr;
    }
    TOrnaModel* model = ed_.Library->GetOrnaModelByName(ModelName, true);
    if (model == nullptr) {
        return nullptr;
    }
    TAcousticProject& project = ed_.Project;
    TOrnament* ornament = project.AddOrnament(model, Position, Rotation, Selected);
    ornament->SetName(Name);
    ornament->SetWidth(Width);
    ornament->SetDepth(Depth);
    ornament->SetHeight(Height);
    ornament->SetVisible(Visible);
    ornament->SetIsObjectSelected(Selected);
    ornament->SetMyLayer(Layer);
    ornament->SetRotationCenter(model->OriginCenter());
    if (Layer != nullptr) {
        Layer->ObjListInLayer.push_back(ornament);
    }
    ed_.Kinds.Get<TOrnamentKind>()->AddInterfaceAndObjectsToOrna(ornament, ornamentPreview(model));
    ed_.State.AcousticPrjItemClicked = ornament;
    if (ornament->GraphicalObject != nullptr) {
        // Shown like its layer; an ornament stored hidden stays hidden.
        ornament->GraphicalObject->SetVisible((Layer == nullptr || Layer->Visible()) && Visible);
    }
    if (Layer != nullptr && Layer->IsLocked()) {
        ornament->SetIsLocked(true);
        if (!ed_.State.LockedList.Contains(ornament)) {
            ed_.State.LockedList.Add(ornament);
        }
    }
    if (Selected) {
        ed_.State.SelectedObjList.Add(ornament);
        ed_.Selection.UpdateLastSelection();
    }
    return ornament;
}

TPoint3D TAddObjects::DefaultZoneInsertPosition() const {
    const TAcousticProject& project = ed_.Project;
    const TObject* last = ed_.State.SelectedObjList.Last();
    if (last == nullptr && !project.MappingZones().empty()) {
        last = project.MappingZones().back().get();
    }
    const auto* object = dynamic_cast<const TQzControl3D*>(last);
    if (object == nullptr) {
        return {0, 0, 0};
    }
    const TPoint3D p = object->Position();
    const TPoint3D c = object->RotationCenter();
    if (const auto* zone = dynamic_cast<const TMappingZone*>(object)) {
        float y = p.Y + zone->ListenLevel() + 1.0f;
        if (project.ZonasCrecenParriba()) {
            y += zone->Height();
        }
        return {p.X + c.X + 1.0f, y, p.Z};
    }
    return {p.X + c.X + 1.0f, -p.Y, p.Z};
}

TMappingZone* TAddObjects::AddNewZoneButtonClick(TNewZoneKind Kind) {
    TAcousticProject& project = ed_.Project;
    ed_.Selection.HighLightOFF();
    CheckIfAddingOnInvisibleLayer();
    const TFlagScope adding(IsAddingNewZoneButtonClick);
    TMappingZone* zone = nullptr;
    {
        const THitPointsHeld held(project);
        EndInsertionInViewPort3D();
        ed_.RenderButtonNeedsCalc();
        const auto cursor = TSmartCursor::HourGlass();
        const TPoint3D position = DefaultZoneInsertPosition();
        const bool active = ed_.State.IsMainWindowActive();
        switch (Kind) {
        case TNewZoneKind::Rectangle:
            zone = AddNewMappingZone("No Name", position, {}, 50.0f, 30.0f, 0.1f, false,
                                     TSurfaceType::qzaRectangle, active, ed_.Layers.SelectedLayer,
                                     ed_.State.SurfacePoints);
            break;
        case TNewZoneKind::Trapezium:
            zone = AddNewMappingZone("No Name", position, {}, 30.0f, 15.0f, 0.1f, false,
                                     TSurfaceType::qzaTrapezium, active, ed_.Layers.SelectedLayer,
                                     ed_.State.SurfacePoints);
            break;
        case TNewZoneKind::Picture:
            zone = AddNewMappingZone("No Name", position, {}, 10.0f, 10.0f, 0.1f, false,
                                     TSurfaceType::qzaPicture, false, ed_.Layers.SelectedLayer,
                                     ed_.State.SurfacePoints);
            break;
        }
        selectAlone(zone);
    }
    project.RecalcHitPoints();
    ed_.ShowMemoryInfo();
    return zone;
}

// ---------------------------------------------------------------------------------------------------
// The model menu

void TAddObjects::AddCabinetActionExecute() {
    PopupModelsFor(nullptr);
}

void TAddObjects::PopupModelsFor(TObject* Target) {
    PopupModelsTarget = Target;
    if (ed_.View != nullptr) {
        ed_.View->PopupModels();
    }
}

TCabModel* TAddObjects::pendingModel() const {
    const TModelsDetected* models = ed_.Project.ModelsDetected();
    const int32_t t = ed_.State.InsertInMousePos_ModelTag;
    if (models == nullptr || t < 0 || static_cast<size_t>(t) >= models->CabModel().size()) {
        return nullptr;
    }
    return models->CabModel()[static_cast<size_t>(t)].get();
}

void TAddObjects::ModelMenuItemClick(int32_t ModelTag) {
    TEditorState& st = ed_.State;
    CheckIfAddingOnInvisibleLayer();
    if (IsInsertigInViewPort3D()) {
        EndInsertionInViewPort3D();
    }
    ed_.Views.DefaultMouseActionExecute();
    ed_.RenderButtonNeedsCalc();
    TObject* target = PopupModelsTarget;
    if (isExactly<TCabinet>(target)) {
        ChangeCabinetModel(*static_cast<TCabinet*>(target), ModelTag);
        for (TObject* o : std::vector<TObject*>(st.SelectedObjList.Raw())) {
            if (auto* cabinet = dynamic_cast<TCabinet*>(o)) {
                ChangeCabinetModel(*cabinet, ModelTag);
            }
        }
    } else {
        // Any other target starts the insertion of a loose cabinet by mouse.
        const TModelsDetected* models = ed_.Project.ModelsDetected();
        const TCabModel& m = *At(models->CabModel(), ModelTag);
        st.InsertInMousePos_Cabinet = true;
        ed_.Mouse.SetInputAxisAcordingViews();
        st.InsertInMousePos_CabinetModel = m.ModelName();
        st.InsertInMousePos_VariantModel = m.VariantName();
        st.InsertInMousePos_BrandName = m.Manufacturer();
        st.InsertInMousePos_ModelTag = ModelTag;
        setInsertCursor();
        showCabinetInsertionHint({});
    }
    ed_.Project.ClearAllMaps();
    PopupModelsTarget = nullptr;
}

void TAddObjects::ChangeCabinetModel(TCabinet& Cabinet, int32_t ModelTag) {
    if (Cabinet.Model() != nullptr && Cabinet.Model()->ModelID() == ModelTag) {
        return;
    }
    TCabModel* m = At(ed_.Project.ModelsDetected()->CabModel(), ModelTag).get();
    const TModel3D* library = nullptr;
    if (ed_.Library != nullptr && static_cast<size_t>(ModelTag) < ed_.Library->FModels3DImported.size()) {
        library = ed_.Library->FModels3DImported[static_cast<size_t>(ModelTag)].get();
    }
    Cabinet.SetModel(m);
    if (m->NDSPPresets() >= 1) {
        const int32_t number =
            m->DefaultPreset() >= 1 && m->DefaultPreset() <= m->NDSPPresets() ? m->DefaultPreset() : 1;
        Cabinet.SetInternalDSPPreset(m->DSPPresets()[static_cast<size_t>(number - 1)]);
    } else {
        Cabinet.SetInternalDSPPreset(nullptr);
    }
    const bool hasMesh = library != nullptr && library->MeshCount() > 0;
    Cabinet.SetWidth(hasMesh ? library->Width() : static_cast<float>(m->Width()));
    Cabinet.SetHeight(hasMesh ? library->Height() : static_cast<float>(m->Height()));
    Cabinet.SetDepth(hasMesh ? library->Depth() : static_cast<float>(m->Depth()));
    Cabinet.SetPlacementType(m->DefaultPlacement());
    Cabinet.SetHornRotationIndex(0);
    TCabinetKind& kind = *ed_.Kinds.Get<TCabinetKind>();
    kind.AssignLibraryModel(Cabinet, library);
    kind.ApplyModelRules(Cabinet);
    ed_.Objects.ObjectChanged(Cabinet);
}

// ---------------------------------------------------------------------------------------------------
// Insertion by mouse

bool TAddObjects::IsInsertigInViewPort3D() const {
    return ed_.State.IsInsertingAny();
}

void TAddObjects::CheckIfAddingOnInvisibleLayer() {
    TQzLayer* layer = ed_.Layers.SelectedLayer;
    if (layer == nullptr || layer->Visible()) {
        return;
    }
    const TModalResult answer =
        MessageBoxService().MessageDlg("Active Layer is not visible.\r\n\r\nDo you want to do it visible?",
                                       TMsgDlgType::mtWarning, {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo});
    if (answer == TModalResult::mrYes) {
        layer->SetVisible(true);
        for (TQzControl3D* member : layer->ObjListInLayer) {
            if (member->GraphicalObject != nullptr) {
                member->GraphicalObject->SetVisible(true);
            }
        }
        ed_.Repaint();
    }
}

void TAddObjects::EndInsertionInViewPort3D() {
    TEditorState& st = ed_.State;
    ed_.SetViewCursor(crDefault);
    if (st.InsertInMousePos_Cabinet) {
        if (TCabModel* m = pendingModel();
            m != nullptr && ed_.Library != nullptr &&
            static_cast<size_t>(m->ModelID()) < ed_.Library->FModels3DImported.size()) {
            if (TModel3D* preview = ed_.Library->FModels3DImported[static_cast<size_t>(m->ModelID())].get()) {
                preview->SetVisible(false);
            }
        }
        ed_.Scene.InsertMarker->SetVisible(false);
        st.InsertInMousePos_Cabinet = false;
        // The hint goes; the status line tells the selection again.
        ed_.PanelSwitching.ShowSelectionOptionsMenu(0);
    }
    if (st.InsertInMousePos_Mic) {
        ed_.Scene.MeasCone3D->SetVisible(false);
        st.InsertInMousePos_Mic = false;
    }
    if (st.InsertInMousePos_Ornament) {
        if (TModel3D* preview = ornamentPreview(findOrnaModel(st.InsertInMousePos_OrnaModel))) {
            preview->SetVisible(false);
        }
        st.InsertInMousePos_Ornament = false;
    }
    if (st.InsertInMousePos_SurfacePoint) {
        if (st.SurfacePoints.size() > 2) {
            FinishSurfaceDrawing();
        }
        st.InsertInMousePos_SurfacePoint = false;
        st.IsEndPointSurface = false;
        st.SurfacePoints.clear();
    }
    ed_.Selection.SetZonesHitTest(true);
    ed_.Mouse.SetInputPlanesHitTest(false);
    TSmartCursor::Default();
    st.InsertInMousePos_Zone = false;
    ed_.Repaint();
}

void TAddObjects::AddMeasurePointActionExecute() {
    EndInsertionInViewPort3D();
    ed_.Views.DefaultMouseActionExecute();
    ed_.State.InsertInMousePos_Mic = true;
    ed_.Mouse.SetInputAxisAcordingViews();
    const auto s = static_cast<float>(ed_.Points.MicSize());
    ed_.Scene.MeasCone3D->SetWidth(s);
    ed_.Scene.MeasCone3D->SetHeight(s);
    ed_.Scene.MeasCone3D->SetDepth(s);
    setInsertCursor();
}

void TAddObjects::InsertingMicOnMouseDown(TControl3D* Sender, TShiftState Shift, const TPoint3D& RayPos,
                                          const TPoint3D& RayDir) {
    if (!ed_.State.InsertInMousePos_Mic || !Shift.Left) {
        return;
    }
    setInsertCursor();
    const std::optional<TPoint3D> at = pointUnderMouse(Sender, RayPos, RayDir);
    if (!at) {
        return;
    }
    ed_.Points.AddNewMeasurePoint(*at, 0xFFFFFFFF, false, {}, true, 0.0f, true, ed_.Layers.SelectedLayer);
}

void TAddObjects::InsertingMicOnMouseMove(TControl3D* Sender, TShiftState, const TPoint3D& RayPos,
                                          const TPoint3D& RayDir) {
    if (!ed_.State.InsertInMousePos_Mic) {
        return;
    }
    setInsertCursor();
    const std::optional<TPoint3D> at = pointUnderMouse(Sender, RayPos, RayDir);
    TConeInv& cone = *ed_.Scene.MeasCone3D;
    if (!at) {
        cone.SetVisible(false);
        return;
    }
    cone.SetPosition({at->X, at->Y - cone.Height() * 0.5f, at->Z});
    cone.SetVisible(true);
    ed_.Repaint();
}

void TAddObjects::DrawSurfaceActionExecute() {
    TEditorState& st = ed_.State;
    CheckIfAddingOnInvisibleLayer();
    EndInsertionInViewPort3D();
    ed_.Views.DefaultMouseActionExecute();
    st.InsertInMousePos_SurfacePoint = true;
    st.SurfacePoints.clear();
    st.IsEndPointSurface = false;
    ed_.Mouse.SetInputPlanesHitTest(true);
    setInsertCursor();
}

std::optional<TPoint3D> TAddObjects::pointUnderMouse(TControl3D* Sender, const TPoint3D& RayPos,
                                                     const TPoint3D& RayDir) const {
    if (Sender == nullptr) {
        return std::nullopt;
    }
    if (ed_.State.IsMagneticObjects) {
        TPoint3D hit;
        if (Sender->RayCastIntersect(RayPos, RayDir, hit)) {
            return hit;
        }
        return std::nullopt;
    }
    // The ray meets the plane of the view or nothing: never a point left over from elsewhere.
    const TPoint3D none(NAN, NAN, NAN);
    const TPoint3D p = ed_.Mouse.RayToInputPlane(Sender, {RayPos, 1}, {RayDir, 0}, none);
    if (std::isnan(p.X)) {
        return std::nullopt;
    }
    return p;
}

std::optional<TAddObjects::TPlacement>
TAddObjects::cabinetPlacement(TControl3D* Sender, const TPoint3D& RayPos, const TPoint3D& RayDir) const {
    const TCabModel* m = pendingModel();
    if (m == nullptr) {
        return std::nullopt;
    }
    const std::optional<TPoint3D> hit = pointUnderMouse(Sender, RayPos, RayDir);
    if (!hit) {
        return std::nullopt;
    }
    TPoint3D origin;
    if (!m->OriginCenters().empty()) {
        const auto& c = m->OriginCenters()[static_cast<size_t>(std::clamp<int32_t>(
            m->DefaultOriginPoint(), 0, static_cast<int32_t>(m->OriginCenters().size()) - 1))];
        origin = {static_cast<float>(c.X), static_cast<float>(c.Y), static_cast<float>(c.Z)};
    }
    TPoint3D offset;
    TPoint3D position = *hit;
    TPoint3D rotation = InsertionRotation();
    const TCabinet* k = ed_.State.IsMagneticObjects ? ed_.Selection.FindCabinetOfObject3D(Sender) : nullptr;
    if (k != nullptr && k->Model() != nullptr) {
        const TCabModel& km = *k->Model();
        const TPoint3D kr = k->RotationAngle();
        const double kx = k->RotX();
        const TPoint3D p = turned(*hit, rotZ(kr.Z) * rotY(-kr.Y) * rotX(kx));
        const TPoint3D kp = k->Position();
        const float dY = kp.Y - p.Y;
        const float dZ = kp.Z - p.Z;
        const auto mw = static_cast<float>(m->Width()), mh = static_cast<float>(m->Height()),
                   md = static_cast<float>(m->Depth());
        const auto kw = static_cast<float>(km.Width()), kh = static_cast<float>(km.Height()),
                   kd = static_cast<float>(km.Depth());
        const bool defaultPlacement = k->PlacementType() == km.DefaultPlacement();
        const float s = defaultPlacement ? kh : kd;
        const float t = defaultPlacement ? kd : kh;
        TPoint3D a;
        if (std::fabs(dY) > std::fabs(dZ)) {
            a = {-(mw - kw) / 2, dY > 0 ? -(mh + s) / 2 : (mh + s) / 2, 0};
        } else {
            a = {-(mw - kw) / 2, -(mh - kh) / 2, dZ > 0 ? -(md + t) / 2 : (md + t) / 2};
        }
        offset = turned(a + origin, rotZ(kr.Z) * rotY(kr.Y) * rotX(kx));
        rotation = {static_cast<float>(kx), kr.Y, kr.Z};
        position = kp;
    }
    return TPlacement{position - origin + offset, rotation};
}

void TAddObjects::InsertingCabinetOnMouseDown(TControl3D* Sender, TShiftState Shift, const TPoint3D& RayPos,
                                              const TPoint3D& RayDir) {
    TEditorState& st = ed_.State;
    if (!st.InsertInMousePos_Cabinet || !Shift.Left) {
        return;
    }
    setInsertCursor();
    const std::optional<TPlacement> at = cabinetPlacement(Sender, RayPos, RayDir);
    const TCabModel* m = pendingModel();
    if (!at || m == nullptr) {
        return;
    }
    TCabinet* cabinet =
        AddNewCabinet(st.InsertInMousePos_CabinetModel, st.InsertInMousePos_VariantModel,
                      st.InsertInMousePos_BrandName, at->Position, at->Rotation, false, m->DefaultPlacement(),
                      0, st.IsMainWindowActive(), false, ed_.Layers.SelectedLayer, m->DefaultPreset(), 0);
    if (cabinet == nullptr) {
        return;
    }
    selectAlone(cabinet);
    if (AcumOffRB.Checked()) {
        ++AcumOffTag;
    }
    showCabinetInsertionHint("Cabinet " + std::to_string(cabinet->NumberID()));
}

void TAddObjects::showCabinetInsertionHint(const std::string& Placed) {
    const TCabModel* m = pendingModel();
    const std::string model = m == nullptr               ? std::string("the cabinet")
                              : m->VariantName().empty() ? m->ModelName()
                                                         : m->ModelName() + " (" + m->VariantName() + ")";
    const std::string text =
        Placed.empty()
            ? "Click in the view to place " + model + "; every click places another. Esc to finish."
            : Placed + " placed. Click to place another " + model + ", Esc to finish.";
    ed_.PanelSwitching.StatusLabel.SetText(text);
}

void TAddObjects::markSmallPreview(const TPoint3D& Centre, double ModelSize) {
    TCube& mark = *ed_.Scene.InsertMarker;
    const TViewport3D& view = *ed_.Scene.Viewport3D1;
    const TCamera* camera = view.Camera();
    const float w = view.ViewWidth(), h = view.ViewHeight();
    // Pixels per metre at the preview's place: the longest on-screen image of a metre along the axes.
    double pixelsPerMetre = 0;
    TPoint3D at;
    if (camera != nullptr && camera->WorldToScreen(Centre, w, h, at)) {
        for (const TPoint3D& step : {TPoint3D(1, 0, 0), TPoint3D(0, 1, 0), TPoint3D(0, 0, 1)}) {
            TPoint3D s;
            if (camera->WorldToScreen(Centre + step, w, h, s)) {
                pixelsPerMetre = std::max(pixelsPerMetre, std::hypot(double(s.X - at.X), double(s.Y - at.Y)));
            }
        }
    }
    if (pixelsPerMetre <= 0 || ModelSize * pixelsPerMetre >= kSmallPreviewPixels) {
        mark.SetVisible(false);
        return;
    }
    const auto edge = static_cast<float>(kPreviewMarkPixels / pixelsPerMetre);
    mark.SetMaterialSource(ed_.Objects.HighLightMaterial.get());
    mark.SetWidth(edge);
    mark.SetHeight(edge);
    mark.SetDepth(edge);
    mark.SetPosition(Centre);
    mark.SetVisible(true);
}

void TAddObjects::InsertingCabinetOnMouseMove(TControl3D* Sender, TShiftState, const TPoint3D& RayPos,
                                              const TPoint3D& RayDir) {
    if (!ed_.State.InsertInMousePos_Cabinet) {
        return;
    }
    ed_.SetViewCursor(2);
    const TCabModel* m = pendingModel();
    if (ed_.Library == nullptr || m == nullptr) {
        return;
    }
    ed_.Objects.HighLightMaterial->SetDiffuse(
        ed_.Layers.SelectedLayer != nullptr ? ed_.Layers.SelectedLayer->Color : TAlphaColors::White);
    const auto id = static_cast<size_t>(m->ModelID());
    TModel3D* preview =
        id < ed_.Library->FModels3DImported.size() ? ed_.Library->FModels3DImported[id].get() : nullptr;
    if (preview == nullptr) {
        return;
    }
    const std::optional<TPlacement> at = cabinetPlacement(Sender, RayPos, RayDir);
    if (!at) {
        return;
    }
    // The preview shows exactly what a click would add; it never takes the mouse itself.
    preview->HitTest = false;
    preview->SetAllMaterials(ed_.Objects.HighLightMaterial.get());
    preview->SetPosition(at->Position);
    preview->SetRotationAngle(at->Rotation);
    preview->SetVisible(true);
    markSmallPreview(at->Position, std::max({m->Width(), m->Height(), m->Depth()}));
}

void TAddObjects::InsertingOnMouseDown(TControl3D* Sender, TShiftState Shift, const TPoint3D& RayPos,
                                       const TPoint3D& RayDir, bool SurfacePoint) {
    InsertingMicOnMouseDown(Sender, Shift, RayPos, RayDir);
    InsertingCabinetOnMouseDown(Sender, Shift, RayPos, RayDir);
    InsertingOrnamentOnMouseDown(Sender, Shift, RayPos, RayDir);
    if (SurfacePoint) {
        InsertingSurfacePointOnMouseDown(Sender, Shift, RayPos, RayDir);
    }
}

void TAddObjects::InsertingOnMouseMove(TControl3D* Sender, TShiftState Shift, const TPoint3D& RayPos,
                                       const TPoint3D& RayDir) {
    InsertingCabinetOnMouseMove(Sender, Shift, RayPos, RayDir);
    InsertingOrnamentOnMouseMove(Sender, Shift, RayPos, RayDir);
    InsertingMicOnMouseMove(Sender, Shift, RayPos, RayDir);
    InsertingSurfacePointOnMouseMove(Sender, Shift, RayPos, RayDir);
}

TOrnaModel* TAddObjects::findOrnaModel(const std::string& Name) const {
    // Looked up without recording a missing name: the click that follows a move reports it.
    const TOrnasDetected* models = ed_.Project.OrnasDetected();
    for (int32_t i = 0; models != nullptr && i < models->NOrnasDetected(); ++i) {
        if (models->OrnamentModel(i)->ModelName() == Name) {
            return models->OrnamentModel(i);
        }
    }
    return nullptr;
}

TModel3D* TAddObjects::ornamentPreview(const TOrnaModel* Model) const {
    if (Model == nullptr || ed_.Library == nullptr || Model->ModelID() < 0 ||
        static_cast<size_t>(Model->ModelID()) >= ed_.Library->FOrnaments3DImported.size()) {
        return nullptr;
    }
    return ed_.Library->FOrnaments3DImported[static_cast<size_t>(Model->ModelID())].get();
}

void TAddObjects::hideOrnamentPreviews() {
    if (ed_.Library == nullptr) {
        return;
    }
    for (const auto& preview : ed_.Library->FOrnaments3DImported) {
        if (preview != nullptr) {
            preview->SetVisible(false);
        }
    }
}

void TAddObjects::ArmOrnamentInsertion(const std::string& ModelName) {
    TEditorState& st = ed_.State;
    if (st.InsertInMousePos_Cabinet) {
        if (TCabModel* m = pendingModel();
            m != nullptr && ed_.Library != nullptr &&
            static_cast<size_t>(m->ModelID()) < ed_.Library->FModels3DImported.size()) {
            if (TModel3D* preview = ed_.Library->FModels3DImported[static_cast<size_t>(m->ModelID())].get()) {
                preview->SetVisible(false);
            }
        }
        st.InsertInMousePos_Cabinet = false;
    }
    if (st.InsertInMousePos_Mic) {
        ed_.Scene.MeasCone3D->SetVisible(false);
        st.InsertInMousePos_Mic = false;
    }
    hideOrnamentPreviews();
    st.InsertInMousePos_Ornament = true;
    st.InsertInMousePos_OrnaModel = ModelName;
    ed_.Mouse.SetInputAxisAcordingViews();
    setInsertCursor();
}

void TAddObjects::InsertingOrnamentOnMouseDown(TControl3D* Sender, TShiftState Shift, const TPoint3D& RayPos,
                                               const TPoint3D& RayDir) {
    TEditorState& st = ed_.State;
    if (!st.InsertInMousePos_Ornament || !Shift.Left) {
        return;
    }
    CheckIfAddingOnInvisibleLayer();
    setInsertCursor();
    TOrnaModel* model = ed_.Library != nullptr
                            ? ed_.Library->GetOrnaModelByName(st.InsertInMousePos_OrnaModel, true)
                            : nullptr;
    if (model != nullptr) {
        if (TModel3D* preview = ornamentPreview(model)) {
            preview->SetVisible(false);
        }
        if (const std::optional<TPoint3D> hit = pointUnderMouse(Sender, RayPos, RayDir)) {
            TQzLayer* layer = ed_.Layers.SelectedLayer;
            TOrnament* ornament = AddNewOrnament(
                model->ModelName(), model->ModelName(), *hit - model->OriginCenter(), InsertionRotation(),
                false, layer, static_cast<float>(model->Width()), static_cast<float>(model->Depth()),
                static_cast<float>(model->Height()), layer == nullptr || layer->Visible());
            if (ornament != nullptr) {
                selectAlone(ornament);
                if (AcumOffRB.Checked()) {
                    ++AcumOffTag;
                }
            }
        }
    }
    if (OnBringOrnamentPickerToFront) {
        OnBringOrnamentPickerToFront();
    }
}

void TAddObjects::InsertingOrnamentOnMouseMove(TControl3D* Sender, TShiftState, const TPoint3D& RayPos,
                                               const TPoint3D& RayDir) {
    TEditorState& st = ed_.State;
    if (!st.InsertInMousePos_Ornament) {
        return;
    }
    ed_.SetViewCursor(2);
    const TOrnaModel* model = findOrnaModel(st.InsertInMousePos_OrnaModel);
    TModel3D* preview = ornamentPreview(model);
    if (preview == nullptr) {
        return;
    }
    const std::optional<TPoint3D> hit = pointUnderMouse(Sender, RayPos, RayDir);
    if (!hit) {
        return;
    }
    // The preview stands as a click would place the ornament (its model turned by X, -Y, -Z); it never
    // takes the mouse itself.
    const TPoint3D r = InsertionRotation();
    preview->HitTest = false;
    preview->SetPosition(*hit - model->OriginCenter());
    preview->SetRotationCenter(model->OriginCenter());
    preview->SetRotationAngle({r.X, -r.Y, -r.Z});
    preview->SetVisible(true);
}

void TAddObjects::InsertingSurfacePointOnMouseDown(TControl3D* Sender, TShiftState Shift,
                                                   const TPoint3D& RayPos, const TPoint3D& RayDir) {
    TEditorState& st = ed_.State;
    if (!st.InsertInMousePos_SurfacePoint || !Shift.Left || Sender == nullptr) {
        return;
    }
    if (st.IsEndPointSurface) {
        FinishSurfaceDrawing();
        ed_.Selection.SetZonesHitTest(true);
        ed_.Mouse.SetInputPlanesHitTest(false);
        EndInsertionInViewPort3D();
        return;
    }
    TPoint3D hit;
    if (!Sender->RayCastIntersect(RayPos, RayDir, hit)) {
        return;
    }
    st.MouseMovePoint = hit;
    if (const TMappingZone* zone = ed_.Selection.GetZoneOfObject3D(Sender)) {
        st.RotationForNewDrawZone = zone->RotationAngle();
    } else if (Sender->TagString == "InputTop") {
        st.RotationForNewDrawZone = {0, 0, 0};
    } else if (Sender->TagString == "InputSide") {
        st.RotationForNewDrawZone = {90, 0, 0};
    } else if (Sender->TagString == "InputFront") {
        st.RotationForNewDrawZone = {90, 90, 0};
    }
    if (std::fabs(hit.Y) < 0.001f) {
        hit.Y = 0;
    }
    st.SurfacePoints.push_back({hit.X, -hit.Z, hit.Y});
    ed_.Repaint();
}

void TAddObjects::InsertingSurfacePointOnMouseMove(TControl3D* Sender, TShiftState, const TPoint3D& RayPos,
                                                   const TPoint3D& RayDir) {
    TEditorState& st = ed_.State;
    if (!st.InsertInMousePos_SurfacePoint || Sender == nullptr) {
        return;
    }
    TPoint3D hit;
    if (Sender->RayCastIntersect(RayPos, RayDir, hit)) {
        st.MouseMovePoint = hit;
    }
    if (st.SurfacePoints.size() >= 3) {
        const TPoint3D& first = st.SurfacePoints.front();
        const TPoint3D a(first.X, first.Y, first.Z + 0.1f);
        const TPoint3D b(st.MouseMovePoint.X, -st.MouseMovePoint.Z, st.MouseMovePoint.Y);
        st.IsEndPointSurface = a.Distance(b) < std::max(12.0f * st.coefMultZoom, 0.12f);
    }
    ed_.Repaint();
}

void TAddObjects::FinishSurfaceDrawing() {
    TEditorState& st = ed_.State;
    TAcousticProject& project = ed_.Project;
    if (st.SurfacePoints.size() <= 2) {
        return;
    }
    std::vector<TPoint3D> points = st.SurfacePoints;
    st.IsEndPointSurface = false;
    st.InsertInMousePos_SurfacePoint = false;
    st.SurfacePoints.clear();
    const TPolygonPos pos = GetPolygonPos(points, st.RotationForNewDrawZone, true);
    // Repeated or collinear points make a zone without area, which no map could cover.
    const double scale = std::max<double>(pos.Rect.Width(), pos.Rect.Height());
    if (!(std::fabs(doubleArea(points)) > 1e-6 * std::max(scale * scale, 1.0))) {
        MessageBoxService().MessageDlg(kNoAreaMessage, TMsgDlgType::mtWarning, {TMsgDlgBtn::mbOK});
        ed_.Repaint();
        return;
    }
    {
        const THitPointsHeld held(project);
        TMappingZone* zone = AddNewMappingZone(
            "No Name", pos.Begin, st.RotationForNewDrawZone, pos.Rect.Width(), pos.Rect.Height(), 0.1f, false,
            TSurfaceType::qzaPolygon, st.IsMainWindowActive(), ed_.Layers.SelectedLayer, points);
        selectAlone(zone);
    }
    project.RecalcHitPoints();
    ed_.ShowMemoryInfo();
}

} // namespace vendrel
