#include "editor/kinds/zone_kind.h"

#include "acoustics/mapping_zone.h"
#include "acoustics/project.h"
#include "dsp/complex.h"
#include "editor/editor.h"
#include "editor/object_panels.h"
#include "editor/scopes.h"
#include "editor/units.h"
#include "platform/core/context3d.h"
#include "platform/core/cursor_service.h"
#include "platform/core/mesh.h"
#include "platform/core/numeric.h"
#include "scene/zone_shapes.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vendrel {

namespace {

constexpr TAlphaColor kWhite = 0xFFFFFFFF;
constexpr TAlphaColor kRed = 0xFFFF0000;
constexpr TAlphaColor kBlue = 0xFF0000FF;
constexpr TAlphaColor kGreen = 0xFF008000;
constexpr double kDegPerRad = 180.0 / std::numbers::pi;

TControl3D* firstChild(const TControl3D* node) {
    return node != nullptr && node->ChildrenCount() > 0 ? node->Children(0) : nullptr;
}

TAlphaColor layerColor(const TQzControl3D& obj) {
    return obj.MyLayer() != nullptr ? obj.MyLayer()->Color : kWhite;
}

TMappingZone& zoneOf(TQzControl3D& Obj) {
    return static_cast<TMappingZone&>(Obj);
}
const TMappingZone& zoneOf(const TQzControl3D& Obj) {
    return static_cast<const TMappingZone&>(Obj);
}

TPolygon outlineOf(const TMappingZone& zone) {
    TPolygon outline;
    for (const TPoint3D& p : zone.PolygonPoints()) {
        outline.push_back({p.X, p.Y});
    }
    return outline;
}

} // namespace

TZoneKind::TZoneKind(TEditor& Editor) : TKindOf<TMappingZone>(Editor, "TMappingZone", " Zones") {
    Frame = TDrawnFrame::ZoneFrame;
    Placement.Page = TMainPage::VenueAndZonesTabItem;
    Placement.Tabbed = true;
    Placement.InVenueList = true;
    Ranks = {1, 2, 0};
    Mouse.SetsRotationCenter = false;
    Mouse.Popup = TPopupStep::BeforeInsertion;
    Mouse.Insertion = TInsertionStep::AfterPopup;
}

void TZoneKind::ForEachObject(const std::function<void(TQzControl3D&)>& Visit) const {
    for (const auto& zone : ed_.Project.MappingZones()) {
        Visit(*zone);
    }
}

TQzControl3D* TZoneKind::ObjectOf3D(const TObject* Drawn) const {
    const auto* component = dynamic_cast<const TComponent*>(Drawn);
    return component != nullptr ? Cast(component->TagObject) : nullptr;
}

TQzExtrudedShape3D* TZoneKind::ZoneSolid(const TMappingZone& Zone) {
    return dynamic_cast<TQzExtrudedShape3D*>(firstChild(firstChild(Zone.GraphicalObject)));
}

void TZoneKind::SetSelected(TQzControl3D& Obj, bool Selected) const {
    Obj.SetIsObjectSelected(Selected);
    if (TQzExtrudedShape3D* solid = ZoneSolid(zoneOf(Obj))) {
        solid->SetIsSelected(Selected);
    }
}

TBoundingBox TZoneKind::Bounds(const TQzControl3D& Obj) const {
    if (const TQzExtrudedShape3D* solid = ZoneSolid(zoneOf(Obj))) {
        return solid->GlobalBounds();
    }
    return {};
}

TPoint3D TZoneKind::AreaPoint(const TQzControl3D& Obj) const {
    const TPoint3D p = Obj.Position();
    return {p.X, -p.Y, p.Z};
}

std::string TZoneKind::TabText(const TQzControl3D& Obj) const {
    const TMappingZone& zone = zoneOf(Obj);
    return "Zone " + std::to_string(zone.ZoneIndexID() + 1) + ": " + zone.Name();
}

double TZoneKind::OldThikness(const TMappingZone& Zone) const {
    const auto it = oldThikness_.find(&Zone);
    return it != oldThikness_.end() ? it->second : Zone.Height();
}

// ---------------------------------------------------------------------------------------------------
// Building, following, removing

void TZoneKind::AddInterfaceAndObjectsToZone(TMappingZone* TheZone) {
    if (TheZone == nullptr) {
        return;
    }
    TMappingZone& zone = *TheZone;
    TAcousticProject& project = ed_.Project;

    // The tab.
    TUITabs& tabs = ed_.PanelSwitching.ZonesTabControl;
    const int tab = tabs.Add(TabText(zone), &zone);
    tabs.SetTabIndex(tab);
    zone.Tag = tab;

    // Holder, rotation holder and solid.
    const auto k = static_cast<size_t>(project.NMappingZones() - 1);
    Obj3DZonesContainer.resize(k + 1, nullptr);
    TDummy* zones = ed_.Scene.ZonesDummy;
    auto* holder = new TDummy(zones);
    Obj3DZonesContainer[k] = holder;
    holder->CanFocus = true;
    holder->SetParent(zones);
    holder->TagObject = &zone;
    holder->OnRender = [this](TControl3D* s, TContext3D& c) { ZoneContainerRender(s, c); };
    zone.GraphicalObject = holder;
    auto* inner = new TDummy(holder); // the holder frees what it holds
    inner->SetParent(holder);

    TQzExtrudedShape3D* solid = nullptr;
    switch (zone.SurfaceType()) {
    case TSurfaceType::qzaTrapezium:
        solid = new TQzTrapezium3D(holder);
        break;
    case TSurfaceType::qzaPolygon:
        solid = new TQzDrawPath3D(holder);
        break;
    case TSurfaceType::qzaRectangle:
    case TSurfaceType::qzaPicture:
        solid = new TQzRectangle3D(holder);
        break;
    }
    solid->MapState = [&zone] { return zone.MapState(); };
    solid->MapSides = [&zone] { return zone.MappingSides(); };
    solid->IsThicknessParriba = [&project] { return project.ZonasCrecenParriba(); };
    solid->UseSPLMeshforRaycast = [&project] { return project.UseSPLMeshforRaycast(); };
    if (auto* path = dynamic_cast<TQzDrawPath3D*>(solid)) {
        path->SetShapePolygon(outlineOf(zone));
    }

    TSceneObjects& objects = ed_.Objects;
    solid->ZWrite = true;
    solid->SetColorSel(layerColor(zone));
    solid->SetMaterialSource(zone.MapMaterial());
    solid->SetMaterialFloorSource(zone.TopFloorMaterial());
    objects.NoMapMaterial->SetDiffuse(project.ZoneCreationColor());
    solid->SetMaterialBackSource(objects.ZoneFloorMaterial.get());
    solid->SetMaterialShaftSource(objects.NoMapMaterial.get());
    solid->SetDepth(1.0f);
    solid->CanFocus = true;
    solid->SetParent(inner);
    solid->TagObject = &zone;
    solid->SetVisible(true);
    solid->ShowEdges = ed_.Grid.ShowZoneEdgesItem.Checked();
    solid->HitTest = true;
    solid->AutoCapture = true;
    ed_.ObjectMouse.Bind(*solid, *this);
    solid->SetListeningOffset(zone.ListenLevel());

    // An unpainted map shows the colour of new zones.
    zone.SetNoMapColor(project.ZoneCreationColor());
    if (zone.IsMapCleared()) {
        zone.MapBMP().Clear(zone.NoMapColor());
        zone.ApplyTexture();
    }

    oldThikness_[&zone] = zone.Height();
    // While a project opens, its loader brings the zone's drawing and panel up to date once it has set
    // the zone's values.
    ed_.Objects.AttachPanel(*this, zone, "ZoneFrame", tab, !ed_.State.IsOpeningProject);
}

void TZoneKind::PlaceZoneObjects(TMappingZone& Zone) const {
    TControl3D* holder = Zone.GraphicalObject;
    TQzExtrudedShape3D* solid = ZoneSolid(Zone);
    if (holder == nullptr || solid == nullptr) {
        return;
    }
    const bool mapped = Zone.MappingSides() != TMappingSides::qzaNoSPLMap;
    const float offset = mapped ? Zone.ListenLevel() : 0.0f;
    solid->SetListeningOffset(offset);
    solid->SetColorSel(layerColor(Zone));
    solid->SetDimensions({Zone.Width(), Zone.Height() + offset, Zone.Depth()});
    UpdateTextureSidesFloor(Zone);

    const TPoint3D p = Zone.Position();
    holder->SetPosition({p.X, -p.Z, Zone.Height() / 2 - p.Y});
    const TPoint3D r = Zone.RotationAngle();
    holder->SetRotationAngle({0, 0, -r.Y});
    if (TControl3D* inner = firstChild(holder)) {
        inner->SetRotationAngle({0, 0, 0});
    }
    solid->SetRotationAngle({r.X, r.Z, 0});
    holder->SetRotationCenter(Zone.RotationCenter());
    solid->SetRotationCenter(Zone.RotationCenter());

    if (auto* trapezium = dynamic_cast<TQzTrapezium3D*>(solid)) {
        trapezium->SetWidth1(static_cast<float>(Zone.TrapezWidth1()));
        trapezium->SetWidth2(static_cast<float>(Zone.TrapezWidth2()));
        trapezium->SetHeight1(static_cast<float>(Zone.TrapezHeight()));
    } else if (auto* path = dynamic_cast<TQzDrawPath3D*>(solid)) {
        path->SetShapePolygon(outlineOf(Zone));
    } else if (auto* rectangle = dynamic_cast<TQzRectangle3D*>(solid)) {
        rectangle->SetCorners(
            {Zone.CornerTopLeft(), Zone.CornerTopRight(), Zone.CornerBotLeft(), Zone.CornerBotRight()});
        rectangle->SetTopLeftCornerType(Zone.TLCornerType());
        rectangle->SetTopRightCornerType(Zone.TRCornerType());
        rectangle->SetBotLeftCornerType(Zone.BLCornerType());
        rectangle->SetBotRightCornerType(Zone.BRCornerType());
        rectangle->SetTopLeftXRadius(static_cast<float>(Zone.TLXRadius()));
        rectangle->SetTopLeftYRadius(static_cast<float>(Zone.TLYRadius()));
        rectangle->SetTopRightXRadius(static_cast<float>(Zone.TRXRadius()));
        rectangle->SetTopRightYRadius(static_cast<float>(Zone.TRYRadius()));
        rectangle->SetBotLeftXRadius(static_cast<float>(Zone.BLXRadius()));
        rectangle->SetBotLeftYRadius(static_cast<float>(Zone.BLYRadius()));
        rectangle->SetBotRightXRadius(static_cast<float>(Zone.BRXRadius()));
        rectangle->SetBotRightYRadius(static_cast<float>(Zone.BRYRadius()));
    }
    solid->RebuildMesh();
}

void TZoneKind::UpdateTextureSidesFloor(TMappingZone& Zone) const {
    TQzExtrudedShape3D* solid = ZoneSolid(Zone);
    if (solid == nullptr) {
        return;
    }
    const TSceneObjects& objects = ed_.Objects;
    const TExtrudedShapeSides& sides = Zone.TextureSides();
    TMaterialSource* topFloor = Zone.TopFloorMaterial();
    solid->SetMaterialFloorSource(sides.Front ? topFloor : objects.NoMapMaterial.get());
    TMaterialSource* back = objects.ZoneFloorMaterial.get();
    if (sides.Back) {
        if (Zone.Height() >= 0.11f) {
            back = topFloor;
        } else if (Zone.isTextureOverSPL()) {
            back = Zone.MapMaterial();
        } else if (Zone.isTextureOnTopFloor()) {
            back = topFloor;
        }
    }
    solid->SetMaterialBackSource(back);
    solid->SetMaterialShaftSource(sides.Shaft ? topFloor : objects.NoMapMaterial.get());
}

void TZoneKind::ApplyModelRules(TQzControl3D& Obj) {
    TMappingZone& zone = zoneOf(Obj);
    // A picture carries no level map and no listening height.
    if (zone.SurfaceType() == TSurfaceType::qzaPicture) {
        if (zone.MappingSides() != TMappingSides::qzaNoSPLMap) {
            zone.SetMappingSides(TMappingSides::qzaNoSPLMap);
        }
        if (zone.ListenLevel() != 0.0f) {
            zone.SetListenLevel(0.0f);
        }
    }
    // The mapping choice brings back the thickness the zone had while it was mapped on one side.
    const double u = ed_.State.Units.LengthUnits;
    const TFormatSettings& fs = ed_.State.FormatSettings;
    const double old = OldThikness(zone);
    if (FormatFloatPattern("0.00", old * u, fs) != FormatFloatPattern("0.00", zone.Height() * u, fs)) {
        SetZoneThickness(zone, ShownAndReadBack(std::clamp(old, 0.01, 250.0), u, "0.00"));
    }
    zone.ApplyTexture();
}

void TZoneKind::Place(TQzControl3D& Obj) {
    PlaceZoneObjects(zoneOf(Obj));
}

void TZoneKind::Appearance(TQzControl3D& Obj) {
    UpdateTextureSidesFloor(zoneOf(Obj));
}

void TZoneKind::changed(TMappingZone& Zone) {
    PlaceZoneObjects(Zone);
    ed_.Objects.RefreshPanel(Zone);
}

void TZoneKind::RemoveSurface(TMappingZone* Zone) {
    if (Zone == nullptr) {
        return;
    }
    ed_.Removal.ForgetObject(Zone);
    if (TControl3D* holder = Zone->GraphicalObject) {
        holder->OnRender = nullptr;
        if (TControl3D* inner = firstChild(holder)) {
            inner->OnRender = nullptr;
            if (inner->ChildrenCount() > 0) {
                inner->Children(0)->OnRender = nullptr;
            }
        }
        std::erase(Obj3DZonesContainer, holder);
        Zone->GraphicalObject = nullptr;
        delete holder; // with the rotation holder and the solid it owns
    }
    ed_.Objects.FreePanel(*Zone);
    oldThikness_.erase(Zone);
    TUITabs& tabs = ed_.PanelSwitching.ZonesTabControl;
    const int tab = tabs.IndexOfObject(Zone);
    if (tab >= 0) {
        tabs.Delete(tab);
    }
    ed_.Project.RemoveMappingZone(Zone);
    ed_.PanelSwitching.SortVenueTabs();
    ed_.Repaint();
}

void TZoneKind::Remove(TQzControl3D& Obj) {
    RemoveSurface(&zoneOf(Obj));
}

// ---------------------------------------------------------------------------------------------------
// Press, drag, overlays

bool TZoneKind::SelectionStepBlocked() const {
    const TEditorState& st = ed_.State;
    return st.InsertInMousePos_Mic || st.InsertInMousePos_Cabinet || st.InsertInMousePos_Ornament ||
           st.InsertInMousePos_SurfacePoint;
}

void TZoneKind::Reselected(TQzControl3D&) {
    ed_.PanelSwitching.ListSelectedVenueObjects();
}

TPoint3D TZoneKind::DragAnchor(const TQzControl3D& Obj) const {
    return Obj.RotationCenter();
}

TPoint3D TZoneKind::DragTarget(const TQzControl3D& Obj, const TPoint3D& Plane) const {
    const TEditorState& st = ed_.State;
    const TPoint3D o = Obj.Position();
    const TPoint3D r = Obj.RotationCenter();
    return Plane.Scale(st.MoveMask) + TPoint3D(o.X + r.X, -o.Y, o.Z + r.Y).Scale(st.InvMoveMask);
}

TPoint3D TZoneKind::DragDisplacement(const TQzControl3D& Obj, const TPoint3D& Target, const TPoint3D&) const {
    const TControl3D* holder = Obj.GraphicalObject;
    const TPoint3D g = holder != nullptr ? holder->Position() : TPoint3D();
    const TPoint3D r = Obj.RotationCenter();
    return Target - TPoint3D(g.X + r.X, g.Z + r.Z, -g.Y + r.Y);
}

void TZoneKind::Render(TControl3D* Sender, TContext3D& Context) {
    auto* solid = dynamic_cast<TQzExtrudedShape3D*>(Sender);
    TMappingZone* zone = Cast(ObjectOf3D(Sender));
    if (solid == nullptr || zone == nullptr) {
        return;
    }
    const TAlphaColor color = layerColor(*zone);
    solid->SetColorSel(color);
    const TPoint3D rc = solid->RotationCenter();
    if (zone->IsObjectSelected()) {
        Context.FillCube(rc, ed_.ObjectMouse.RotationPointSize, 0.7f, kWhite);
    }
    if (zone->IsHighLight()) {
        TLightMaterialSource& m = *ed_.Objects.HighLightMaterial;
        m.SetDiffuse(color);
        for (const TMeshData* mesh : {&solid->FrontMesh(), &solid->ShaftMesh(), &solid->BackMesh()}) {
            Context.DrawTriangles(*mesh, m.Material(), 0.5f);
        }
    }
    const auto* panel = PanelOf<IObjectPanel>(*zone);
    if (panel != nullptr && panel->FocusedField() == "RotAngleZEdit") {
        const float h = solid->Height();
        Context.DrawLine({rc.X - 0.01f, h, rc.Z}, {rc.X - 0.01f, -h, rc.Z}, 1.0f, kGreen);
    }
    if (zone->EditingPointID() != -1 && zone->EditingPointID() < zone->NPolygonPoints()) {
        const float a = std::max(ed_.State.coefMultZoom * 12.0f, 0.12f);
        const TPoint3D& p = zone->PolygonPoints()[static_cast<size_t>(zone->EditingPointID())];
        const TPoint3D pos = zone->Position();
        Context.DrawCube({p.X - pos.X, p.Y + pos.Z, 0}, {a, a, a}, 0.9f, kRed);
    }
}

void TZoneKind::ZoneContainerRender(TControl3D* Sender, TContext3D& Context) {
    TMappingZone* zone = Cast(ObjectOf3D(Sender));
    if (zone == nullptr) {
        return;
    }
    const auto* panel = PanelOf<IObjectPanel>(*zone);
    TQzExtrudedShape3D* solid = ZoneSolid(*zone);
    if (panel == nullptr || solid == nullptr) {
        return;
    }
    const float w = solid->Width();
    const float d = solid->Height(); // the outline's extent along the zone's depth
    const std::string focused = panel->FocusedField();
    if (focused == "RotAngleYEdit") {
        Context.DrawLine({-0.5f * w + 0.005f, 0, -0.5f * d - 2}, {-0.5f * w + 0.005f, 0, 0.5f * d + 2}, 1.0f,
                         kBlue);
    } else if (focused == "RotAngleXEdit") {
        const TPoint3D rc = solid->RotationCenter();
        Context.SetMatrix(solid->AbsoluteMatrix());
        Context.DrawLine({rc.X - 0.25f * w, rc.Y, rc.Z - 0.01f}, {rc.X + 1.25f * w, rc.Y, rc.Z - 0.01f}, 1.0f,
                         kRed);
        Context.SetMatrix(Sender->AbsoluteMatrix());
    } else if (focused == "TrapezHeightEdit") {
        if (const auto* trapezium = dynamic_cast<const TQzTrapezium3D*>(solid)) {
            const float h = trapezium->Height1();
            const float x = std::sqrt(std::max(0.0f, w * w - h * h)) - w / 2;
            const float l = zone->ListenLevel();
            Context.DrawLine({x, 0, l}, {x, 0, l + h}, 1.0f, kRed);
        }
    }
}

void TZoneKind::ForEachSnapCandidate(const std::function<bool(TControl3D*, TControl3D*)>& Visit) const {
    for (const auto& zone : ed_.Project.MappingZones()) {
        if (!zone->IsObjectSelected() && !Visit(zone->GraphicalObject, ZoneSolid(*zone))) {
            return;
        }
    }
}

// ---------------------------------------------------------------------------------------------------
// Moves

void TZoneKind::WriteBack(TQzControl3D& Obj) {
    TMappingZone& zone = zoneOf(Obj);
    const TControl3D* holder = zone.GraphicalObject;
    if (holder == nullptr) {
        return;
    }
    // The begin corner as the panel's rows show it and read it back: "X" the holder's X, "Z" (the
    // height) minus its Z, "Y" minus its Y, each with the holder's rotation centre.
    const double u = ed_.State.Units.LengthUnits;
    const TPoint3D p = holder->Position();
    const TPoint3D rc = holder->RotationCenter();
    const double x = ShownAndReadBack(double(p.X) + rc.X, u, "0.000");
    double y = ShownAndReadBack(-(double(p.Z) + rc.Z), u, "0.000");
    const double z = ShownAndReadBack(-double(p.Y) + rc.Y, u, "0.000");
    if (!ed_.Project.ZonasCrecenParriba()) {
        y += zone.ListenLevel();
    }
    if (zone.SurfaceType() == TSurfaceType::qzaPolygon) {
        // The outline follows the move, turned into the zone's plane.
        const TPoint3D r = zone.RotationAngle();
        const auto rad = [](float deg) { return static_cast<float>(deg * std::numbers::pi / 180.0); };
        const TMatrix3D turn = TMatrix3D::CreateRotationY(rad(r.Y)) * TMatrix3D::CreateRotationZ(rad(r.Z)) *
                               TMatrix3D::CreateRotationX(rad(r.X));
        TPoint3D d = TransformDirection(
            TPoint3D(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)) - zone.XYZBegin(),
            turn);
        if (std::fabs(d.Y) < 0.001f) {
            d.Y = 0;
        }
        std::vector<TPoint3D> points = zone.PolygonPoints();
        for (TPoint3D& q : points) {
            q += TPoint3D(d.X, -d.Z, d.Y);
        }
        zone.SetPolygonPoints(std::move(points));
    }
    zone.SetXYZBegin({static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)});
    ed_.Objects.RefreshPanel(zone);
}

void TZoneKind::MoveBy(TQzControl3D& Obj, const TPoint3D& D) {
    TMappingZone& zone = zoneOf(Obj);
    zone.SetXYZBegin({static_cast<float>(zone.XBegin() + D.X), static_cast<float>(zone.YBegin() - D.Y),
                      static_cast<float>(zone.ZBegin() + D.Z)});
    changed(zone);
}

void TZoneKind::MoveAndRotate(TQzControl3D& Obj, const TMoveAndRotate& M) {
    TMappingZone& zone = zoneOf(Obj);
    const TPoint3D a = M.Turned(zone.XYZBegin() - M.Centre);
    const TPoint3D r = zone.RotationAngle();
    zone.SetXBegin(a.X + M.Offset.X + M.Centre.X);
    zone.SetYBegin(a.Y - M.Offset.Y + M.Centre.Y);
    zone.SetZBegin(a.Z + M.Offset.Z + M.Centre.Z);
    zone.SetXYZBegin(zone.XYZBegin());
    zone.SetRotationAngle({r.X + M.Rotation.X, r.Y - M.Rotation.Y, r.Z - M.Rotation.Z});
    changed(zone);
}

// ---------------------------------------------------------------------------------------------------
// What the panel's fields start

void TZoneKind::SetListenLevelOnSelection(const std::string& Text) {
    TEditorState& st = ed_.State;
    auto cursor = TSmartCursor::HourGlass();
    double level = 0.0;
    if (!TryTextToFloat(Text, level, st.FormatSettings)) {
        return;
    }
    const double u = st.Units.LengthUnits;
    // The level as every zone shows it, two decimals: a zone that shows it already is left alone.
    const std::string shown = FormatFloatPattern("0.00", level, st.FormatSettings);
    for (TObject* o : std::vector<TObject*>(st.SelectedObjList.Raw())) {
        TMappingZone* zone = Cast(o);
        if (zone == nullptr || zone->IsLocked()) {
            continue;
        }
        if (!ed_.Project.EventsEnabled()) {
            return;
        }
        if (FormatFloatPattern("0.00", zone->ListenLevel() * u, st.FormatSettings) == shown) {
            continue;
        }
        zone->SetListenLevel(static_cast<float>(level / u));
        if (zone->MappingSides() == TMappingSides::qzaNoSPLMap) {
            ApplyModelRules(*zone);
        }
        changed(*zone);
        ed_.Project.RecalcHitPoints();
    }
    TSmartCursor::Default();
}

void TZoneKind::SetMappingSidesOnSelection(TMappingSides Value) {
    TEditorState& st = ed_.State;
    auto cursor = TSmartCursor::HourGlass();
    for (TObject* o : std::vector<TObject*>(st.SelectedObjList.Raw())) {
        TMappingZone* zone = Cast(o);
        if (zone == nullptr || zone->IsLocked()) {
            continue;
        }
        if (ed_.Project.IsCheckingMemory()) {
            return;
        }
        if (zone->MappingSides() == Value) {
            continue;
        }
        zone->SetMappingSides(Value);
        if (Value == TMappingSides::qzaNoSPLMap && zone->MaxdBSPL() > 1.0) {
            // The zone's maximum no longer counts: a normalised scale takes the other zones' highest.
            zone->StoreMaxdBSPL(0.0);
            if (ed_.Project.SPLNormalized()) {
                ed_.Colors.MaxdBuEdit.SetValue(ed_.Project.GetMaxdBSPL());
            }
        }
        ApplyModelRules(*zone);
        changed(*zone);
        ed_.Project.RecalcHitPoints();
    }
    TSmartCursor::Default();
    ed_.UpdateRenderControls();
    ed_.ShowMemoryInfo();
}

void TZoneKind::followBegin(TMappingZone& Zone, int Axis, double Delta) const {
    if (Zone.SurfaceType() != TSurfaceType::qzaPolygon) {
        return;
    }
    // The points follow the "X" row on their X; the "Z" row (the height) and the "Y" row (the zone's
    // Z) on an axis that depends on the view.
    const TViewType view = ed_.Project.ViewType();
    const auto d = static_cast<float>(Delta);
    std::vector<TPoint3D> points = Zone.PolygonPoints();
    for (TPoint3D& p : points) {
        if (Axis == 0) {
            p.X += d;
        } else if (Axis == 1) {
            if (view == TViewType::qzaSideView) {
                p.Y -= d;
            } else if (view == TViewType::qzaFrontView) {
                p.Y += d;
            } else {
                p.Z += d;
            }
        } else if (view == TViewType::qzaSideView) {
            p.Z -= d;
        } else if (view == TViewType::qzaFrontView) {
            p.X += d;
        } else {
            p.Y -= d;
        }
    }
    Zone.SetPolygonPoints(std::move(points));
}

void TZoneKind::SetZoneBegin(TMappingZone& Zone, int Axis, double Value) {
    {
        const THitPointsHeld held(ed_.Project);
        const double before = Axis == 0 ? Zone.XBegin() : Axis == 1 ? Zone.YBegin() : Zone.ZBegin();
        if (Axis == 0) {
            Zone.SetXBegin(Value);
        } else if (Axis == 1) {
            Zone.SetYBegin(Value);
        } else {
            Zone.SetZBegin(Value);
        }
        Zone.SetXYZBegin(Zone.XYZBegin());
        followBegin(Zone, Axis, Value - before);
        PlaceZoneObjects(Zone);
    }
    ed_.Project.RecalcHitPoints();
}

void TZoneKind::SetZoneLength(TMappingZone& Zone, double Value) {
    const auto increment = static_cast<float>(Value - Zone.Width());
    if (increment > 1.0f && Zone.CheckMemoryOnChangeZone(increment, 0)) {
        ed_.UpdateRenderControls();
    }
    {
        const THitPointsHeld held(ed_.Project);
        Zone.SetWidth(static_cast<float>(Value));
        PlaceZoneObjects(Zone);
    }
    ed_.Project.RecalcHitPoints();
    ed_.ShowMemoryInfo();
}

void TZoneKind::SetZoneDepth(TMappingZone& Zone, double Value) {
    const auto increment = static_cast<float>(Value - Zone.Depth());
    if (increment > 1.0f && Zone.CheckMemoryOnChangeZone(0, increment)) {
        ed_.UpdateRenderControls();
    }
    {
        const THitPointsHeld held(ed_.Project);
        Zone.SetDepth(static_cast<float>(Value));
        PlaceZoneObjects(Zone);
    }
    ed_.Project.RecalcHitPoints();
    ed_.ShowMemoryInfo();
}

void TZoneKind::SetZoneThickness(TMappingZone& Zone, double Value) {
    {
        const THitPointsHeld held(ed_.Project);
        Zone.SetHeight(static_cast<float>(Value));
        if (Zone.MappingSides() == TMappingSides::qzaNoSPLMap ||
            Zone.MappingSides() == TMappingSides::qzaSPLOneSide) {
            oldThikness_[&Zone] = Zone.Height();
        }
        PlaceZoneObjects(Zone);
    }
    ed_.Project.RecalcHitPoints();
}

double TZoneKind::slopeAsShown(const TMappingZone& Zone) const {
    // A height beyond the length has no arcsine: the ratio is held to -1..1 (a vertical slope).
    const double ratio = Zone.Width() > 0 ? std::clamp(Zone.TrapezHeight() / Zone.Width(), -1.0, 1.0) : 0.0;
    return std::clamp(ShownAndReadBack(std::asin(ratio) * kDegPerRad, 1.0, "0.00"), -90.0, 90.0);
}

void TZoneKind::SetTrapeziumLength(TMappingZone& Zone, double Value) {
    SetZoneLength(Zone, Value);
    // The slope follows the new length, when it changes as the turn field shows it.
    const TFormatSettings& fs = ed_.State.FormatSettings;
    const double slope = slopeAsShown(Zone);
    if (FormatFloatPattern("0.00", slope, fs) !=
        FormatFloatPattern("0.00", WrapDegrees180(Zone.RotationAngle().Z), fs)) {
        const TPoint3D r = Zone.RotationAngle();
        SetZoneRotation(Zone, {r.X, r.Y, static_cast<float>(slope)});
    }
    ed_.ShowMemoryInfo();
}

void TZoneKind::SetTrapeziumWidth(TMappingZone& Zone, bool Front, double Value) {
    {
        const THitPointsHeld held(ed_.Project);
        if (Front) {
            Zone.SetTrapezWidth1(Value);
        } else {
            Zone.SetTrapezWidth2(Value);
        }
        PlaceZoneObjects(Zone);
    }
    ed_.Project.RecalcHitPoints();
    ed_.ShowMemoryInfo();
}

void TZoneKind::SetTrapeziumHeight(TMappingZone& Zone, double Value) {
    // A height at or above the length is the length.
    Zone.SetTrapezHeight(std::min<double>(Value, Zone.Width()));
    {
        const THitPointsHeld held(ed_.Project);
        PlaceZoneObjects(Zone);
        const TFormatSettings& fs = ed_.State.FormatSettings;
        const double slope = slopeAsShown(Zone);
        if (FormatFloatPattern("0.00", slope, fs) !=
            FormatFloatPattern("0.00", WrapDegrees180(Zone.RotationAngle().Z), fs)) {
            const TPoint3D r = Zone.RotationAngle();
            SetZoneRotation(Zone, {r.X, r.Y, static_cast<float>(slope)});
        }
    }
    ed_.Project.RecalcHitPoints();
}

void TZoneKind::SetZoneRotation(TMappingZone& Zone, const TPoint3D& Value) {
    {
        const THitPointsHeld held(ed_.Project);
        Zone.SetRotationAngle(Value);
        PlaceZoneObjects(Zone);
        if (Zone.SurfaceType() == TSurfaceType::qzaTrapezium) {
            // The height follows the slope, when it changes as the height field shows it.
            const double u = ed_.State.Units.LengthUnits;
            const TFormatSettings& fs = ed_.State.FormatSettings;
            const double height = std::sin(Zone.RotationAngle().Z / kDegPerRad) * Zone.Width();
            const double shown = ShownAndReadBack(std::clamp(height * u, -100.0 * u, 100.0 * u), 1.0, "0.00");
            if (FormatFloatPattern("0.00", shown, fs) !=
                FormatFloatPattern("0.00", Zone.TrapezHeight() * u, fs)) {
                SetTrapeziumHeight(Zone, shown / u);
            }
        }
    }
    ed_.Project.RecalcHitPoints();
}

void TZoneKind::Renamed(TQzControl3D& Obj) {
    TMappingZone& zone = zoneOf(Obj);
    // A renamed zone's tab and its selected item of the venue list read "Zone n : name".
    TPanelSwitching& ps = ed_.PanelSwitching;
    const std::string text = "Zone " + std::to_string(zone.ZoneIndexID() + 1) + " : " + zone.Name();
    const int tab = ps.ZonesTabControl.IndexOfObject(&zone);
    if (tab >= 0) {
        ps.ZonesTabControl.SetText(tab, text);
    }
    if (ps.ZonesListBox.ItemIndex() >= 0) {
        ps.ZonesListBox.SetText(ps.ZonesListBox.ItemIndex(), text);
    }
}

} // namespace vendrel
