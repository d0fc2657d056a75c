#include "editor/object_mouse.h"

#include "acoustics/cab_model.h"
#include "acoustics/cabinet.h"
#include "acoustics/mapping_zone.h"
#include "acoustics/ornament.h"
#include "acoustics/project.h"
#include "editor/editor.h"
#include "editor/object_panels.h"
#include "platform/core/camera.h"
#include "platform/core/context3d.h"
#include "platform/core/mesh.h"
#include "scene/zone_shapes.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vendrel {

namespace {

constexpr TAlphaColor kWhite = 0xFFFFFFFF;
constexpr TAlphaColor kLightBlue = 0xFF55AAFF;
constexpr TAlphaColor kLightGreen = 0xFF55FF55;
constexpr TAlphaColor kRed = 0xFFFF0000;
constexpr TAlphaColor kBlue = 0xFF0000FF;
constexpr TAlphaColor kGreen = 0xFF008000;

TControl3D* firstChild(const TControl3D* node) {
    return node != nullptr && node->ChildrenCount() > 0 ? node->Children(0) : nullptr;
}

TAlphaColor layerColor(const TQzControl3D& obj) {
    return obj.MyLayer() != nullptr ? obj.MyLayer()->Color : kWhite;
}

void setZoneSelected(TMappingZone& zone, bool selected) {
    zone.SetIsObjectSelected(selected);
    if (TQzExtrudedShape3D* solid = TSceneObjects::ZoneSolid(zone)) {
        solid->SetIsSelected(selected);
    }
}

} // namespace

TObjectMouse::TObjectMouse(TEditor& Editor) : ed_(Editor) {}

void TObjectMouse::BindCabinetModel(TModel3D& Model) {
    Model.OnMouseDown = [this](TControl3D* s, TMouseButton b, TShiftState sh, float x, float y,
                               const TPoint3D& p,
                               const TPoint3D& d) { ObjectMouseDown(s, b, sh, x, y, p, d); };
    Model.OnMouseMove = [this](TControl3D* s, TShiftState sh, float x, float y, const TPoint3D& p,
                               const TPoint3D& d) { ObjectMouseMove(s, sh, x, y, p, d); };
    Model.OnMouseLeave = [](TControl3D*) {};
    Model.OnMouseUp = [this](TControl3D* s, TMouseButton b, TShiftState sh, float x, float y, const TPoint3D&,
                             const TPoint3D&) { ObjectMouseUp(s, b, sh, x, y); };
    Model.OnRender = [this](TControl3D* s, TContext3D& c) { ObjectRender(s, c); };
}

void TObjectMouse::BindZoneSolid(TQzExtrudedShape3D& Solid) {
    Solid.OnMouseDown = [this](TControl3D* s, TMouseButton b, TShiftState sh, float x, float y,
                               const TPoint3D& p, const TPoint3D& d) { ZoneMouseDown(s, b, sh, x, y, p, d); };
    Solid.OnMouseMove = [this](TControl3D* s, TShiftState sh, float x, float y, const TPoint3D& p,
                               const TPoint3D& d) { ZoneMouseMove(s, sh, x, y, p, d); };
    Solid.OnMouseLeave = [](TControl3D*) {};
    Solid.OnMouseUp = [this](TControl3D* s, TMouseButton b, TShiftState sh, float x, float y, const TPoint3D&,
                             const TPoint3D&) { ZoneMouseUp(s, b, sh, x, y); };
    Solid.OnRender = [this](TControl3D* s, TContext3D& c) { ZoneRender(s, c); };
}

void TObjectMouse::BindZoneHolder(TDummy& Holder) {
    Holder.OnRender = [this](TControl3D* s, TContext3D& c) { ZoneContainerRender(s, c); };
}

// ---------------------------------------------------------------------------------------------------
// Cabinets

void TObjectMouse::ObjectMouseDown(TControl3D* Sender, TMouseButton Button, TShiftState Shift, float X,
                                   float Y, const TPoint3D& RayPos, const TPoint3D& RayDir) {
    TEditorState& st = ed_.State;
    TSelection& sel = ed_.Selection;
    sel.HighLightOFF();
    if (st.IsPasting) {
        return;
    }
    st.theMouseDown = {X, Y};
    st.AddingOneObjToSel = false;
    TCabinet* cabinet = sel.FindCabinetOfObject3D(Sender);
    if (cabinet == nullptr) {
        return;
    }
    const auto append = [&] {
        cabinet->SetIsObjectSelected(true);
        st.SelectedObjList.Add(cabinet);
        sel.UpdateLastSelection();
        st.AddingOneObjToSel = true;
    };
    if (Button == TMouseButton::mbLeft && Shift.Alt) {
        st.IsCabinetClicked = true;
        st.AcousticPrjItemClicked = cabinet;
        st.AltDupMouseDown = {X, Y};
        if (!cabinet->IsObjectSelected()) {
            append();
        }
        return;
    }
    auto* panel = PanelOf<ICabinetPanel>(*cabinet);
    if (panel != nullptr) {
        panel->ScrollIntoView();
    }
    if (ed_.View != nullptr) {
        ed_.View->FocusViewport();
    }
    if (Button == TMouseButton::mbLeft || Button == TMouseButton::mbRight) {
        st.AcousticPrjItemClicked = cabinet;
        ed_.Views.SetRotationCenter();
        if (Shift.Ctrl) {
            if (Button == TMouseButton::mbLeft) {
                if (cabinet->IsObjectSelected()) {
                    cabinet->SetIsObjectSelected(false);
                    st.SelectedObjList.Remove(cabinet);
                } else {
                    append();
                }
            } else if (!cabinet->IsObjectSelected()) {
                append();
            }
            if (panel != nullptr) {
                panel->SetSelChecked(cabinet->IsObjectSelected());
            }
        } else if (!Shift.Shift || !cabinet->IsObjectSelected()) {
            // A plain press on a selected cabinet keeps the others and moves it to the end of the list.
            if (cabinet->IsObjectSelected()) {
                st.SelectedObjList.Remove(cabinet);
                --st.NCabinetsSelected;
            } else {
                sel.UnSelectAllObjects();
            }
            cabinet->SetIsObjectSelected(true);
            if (panel != nullptr) {
                panel->SetSelChecked(true);
            }
            st.SelectedObjList.Add(cabinet);
            sel.UpdateLastSelection();
        }
        ed_.Adding.InsertingCabinetOnMouseDown(Sender, Shift, RayPos, RayDir);
        ed_.Repaint();
        st.MouseDownRayPosAbs = Sender->LocalToAbsoluteVector({RayPos, 1});
        st.MouseDownRayDirAbs = Sender->LocalToAbsoluteVector({RayDir, 0});
        st.IsCabinetClicked = true;
        if (Button == TMouseButton::mbRight && ed_.View != nullptr) {
            ed_.View->PopupGlobalMenu(cabinet);
        }
    }
    sel.IfSelectingArea(Sender, Shift, X, Y);
}

void TObjectMouse::ObjectMouseMove(TControl3D* Sender, TShiftState Shift, float X, float Y,
                                   const TPoint3D& RayPos, const TPoint3D& RayDir) {
    ed_.Views.UpdateObjectCursor(Sender, Shift);
    ed_.Views.CameraOnMouseMove(Sender, Shift, X, Y);
    ed_.Selection.SelectAreaOnMouseMove(Sender, Shift, X, Y);
    ed_.Adding.InsertingCabinetOnMouseMove(Sender, Shift, RayPos, RayDir);
    ed_.Adding.InsertingSurfacePointOnMouseMove(Sender, Shift, RayPos, RayDir);
}

void TObjectMouse::ObjectMouseUp(TControl3D* Sender, TMouseButton Button, TShiftState Shift, float X,
                                 float Y) {
    if (TCabinet* cabinet = ed_.Selection.FindCabinetOfObject3D(Sender)) {
        cabinet->SetIsMovingOBJ3D(false);
    }
    ed_.State.IsCabinetClicked = false;
    ed_.Mouse.ViewportMouseUp(Sender, Button, Shift, X, Y);
}

void TObjectMouse::ObjectRender(TControl3D* Sender, TContext3D& Context) {
    const auto* model = dynamic_cast<const TModel3D*>(Sender);
    if (ed_.State.MechanicalView || model == nullptr || model->MeshCount() == 0) {
        return;
    }
    const TCabinet* cabinet = ed_.Selection.FindCabinetOfObject3D(Sender);
    if (cabinet == nullptr || cabinet->Model() == nullptr) {
        return;
    }
    const TCabModel& m = *cabinet->Model();
    const TPoint3D s(static_cast<float>(m.AcousticCenterXm()), static_cast<float>(-m.AcousticCenterYm()),
                     static_cast<float>(m.AcousticCenterZm()));
    const double z = m.AcousticRotationRadZ();
    const double y = m.AcousticRotationRadY();
    if (ed_.Grid.ShowThrowItem.Checked() && !cabinet->IsMovingOBJ3D() && cabinet->SingleBeamList().empty()) {
        const TPoint3D to =
            cabinet->HitPointZoneThrow() != nullptr
                ? cabinet->HitPointLocalThrow().ToPoint3D()
                : TPoint3D(static_cast<float>(200 * std::cos(z)), static_cast<float>(-200 * std::sin(z)), 0);
        Context.DrawLine(s, to, 0.7f, kWhite);
    }
    if (ed_.Grid.ShowCoverageItem.Checked()) {
        double h = (m.CoverageH() - 0.1) * std::numbers::pi / 360.0;
        double v = (m.CoverageV() - 0.1) * std::numbers::pi / 360.0;
        if (cabinet->HornRotationIndex() != 0) {
            std::swap(h, v);
        }
        const double l = CoverageLinesLength;
        const double eh = l / std::cos(h);
        const double ev = l / std::cos(v);
        const auto dir = [](double e, double a, double b, double c) {
            return TPoint3D(static_cast<float>(e * a), static_cast<float>(e * b), static_cast<float>(e * c));
        };
        // The pair of the larger half angle is light blue, the other light green.
        const TAlphaColor horizontal = h > v ? kLightBlue : kLightGreen;
        const TAlphaColor vertical = h > v ? kLightGreen : kLightBlue;
        Context.DrawLine(
            s, s + dir(eh, std::cos(-z) * std::cos(y + h), std::sin(-z), std::cos(-z) * std::sin(y + h)),
            0.5f, horizontal);
        Context.DrawLine(
            s, s + dir(eh, std::cos(-z) * std::cos(y - h), std::sin(-z), std::cos(-z) * std::sin(y - h)),
            0.5f, horizontal);
        if (cabinet->SingleBeamList().empty()) {
            Context.DrawLine(
                s, s + dir(ev, std::cos(v - z) * std::cos(y), std::sin(v - z), std::cos(v - z) * std::sin(y)),
                0.5f, vertical);
            Context.DrawLine(
                s,
                s + dir(ev, std::cos(-z - v) * std::cos(y), std::sin(-z - v), std::cos(-z - v) * std::sin(y)),
                0.5f, vertical);
        }
    }
    if (cabinet->IsObjectSelected() && cabinet->MyLayer() != nullptr) {
        Context.DrawCube({0, 0, 0}, TPoint3D(Sender->Width(), Sender->Height(), Sender->Depth()) * 1.01f,
                         1.0f, layerColor(*cabinet));
        if (!cabinet->IsLineArray() && !cabinet->IsCluster()) {
            Context.FillCube(cabinet->RotationCenter(), RotationPointSize, 0.8f, kWhite);
        }
    }
}

// ---------------------------------------------------------------------------------------------------
// Zones

void TObjectMouse::ZoneMouseDown(TControl3D* Sender, TMouseButton Button, TShiftState Shift, float X, float Y,
                                 const TPoint3D& RayPos, const TPoint3D& RayDir) {
    TEditorState& st = ed_.State;
    TSelection& sel = ed_.Selection;
    sel.HighLightOFF();
    if (st.IsPasting) {
        return;
    }
    st.theMouseDown = {X, Y};
    st.AddingOneObjToSel = false;
    TMappingZone* zone = sel.GetZoneOfObject3D(Sender);
    if (zone == nullptr) {
        return;
    }
    const auto append = [&] {
        setZoneSelected(*zone, true);
        st.SelectedObjList.Add(zone);
        sel.UpdateLastSelection();
        st.AddingOneObjToSel = true;
    };
    if (Button == TMouseButton::mbLeft && Shift.Alt) {
        st.IsZoneClicked = true;
        st.AcousticPrjItemClicked = zone;
        st.AltDupMouseDown = {X, Y};
        if (!zone->IsObjectSelected()) {
            append();
        }
        return;
    }
    const bool inserting = st.InsertInMousePos_Mic || st.InsertInMousePos_Cabinet ||
                           st.InsertInMousePos_Ornament || st.InsertInMousePos_SurfacePoint;
    if ((Button == TMouseButton::mbLeft || Button == TMouseButton::mbRight) && !inserting) {
        st.AcousticPrjItemClicked = zone;
        if (Shift.Ctrl) {
            if (Button == TMouseButton::mbLeft) {
                if (zone->IsObjectSelected()) {
                    setZoneSelected(*zone, false);
                    st.SelectedObjList.Remove(zone);
                } else {
                    append();
                }
            } else if (!zone->IsObjectSelected()) {
                append();
            }
        } else if (!Shift.Shift || !zone->IsObjectSelected()) {
            if (zone->IsObjectSelected()) {
                st.SelectedObjList.Remove(zone);
                --st.NZonesSelected;
                ed_.PanelSwitching.ListSelectedVenueObjects();
            } else {
                sel.UnSelectAllObjects();
            }
            setZoneSelected(*zone, true);
            st.SelectedObjList.Add(zone);
            sel.UpdateLastSelection();
        }
        st.MouseDownRayPosAbs = Sender->LocalToAbsoluteVector({RayPos, 1});
        st.MouseDownRayDirAbs = Sender->LocalToAbsoluteVector({RayDir, 0});
        ed_.Repaint();
        st.IsZoneClicked = true;
    }
    if (Button == TMouseButton::mbRight && ed_.View != nullptr) {
        ed_.View->PopupGlobalMenu(zone);
    }
    ed_.Adding.InsertingCabinetOnMouseDown(Sender, Shift, RayPos, RayDir);
    ed_.Adding.InsertingSurfacePointOnMouseDown(Sender, Shift, RayPos, RayDir);
    ed_.ShowMemoryInfo();
    sel.IfSelectingArea(Sender, Shift, X, Y);
}

void TObjectMouse::ZoneMouseMove(TControl3D* Sender, TShiftState Shift, float X, float Y,
                                 const TPoint3D& RayPos, const TPoint3D& RayDir) {
    ed_.Views.UpdateObjectCursor(Sender, Shift);
    ed_.Views.CameraOnMouseMove(Sender, Shift, X, Y);
    ed_.Adding.InsertingCabinetOnMouseMove(Sender, Shift, RayPos, RayDir);
    ed_.Adding.InsertingSurfacePointOnMouseMove(Sender, Shift, RayPos, RayDir);
    ed_.Selection.SelectAreaOnMouseMove(Sender, Shift, X, Y);
}

void TObjectMouse::ZoneMouseUp(TControl3D* Sender, TMouseButton Button, TShiftState Shift, float X, float Y) {
    ed_.State.IsZoneMoved = false;
    ed_.State.IsZoneClicked = false;
    ed_.Mouse.ViewportMouseUp(Sender, Button, Shift, X, Y);
}

void TObjectMouse::ZoneRender(TControl3D* Sender, TContext3D& Context) {
    auto* solid = dynamic_cast<TQzExtrudedShape3D*>(Sender);
    TMappingZone* zone = ed_.Selection.GetZoneOfObject3D(Sender);
    if (solid == nullptr || zone == nullptr) {
        return;
    }
    const TAlphaColor color = layerColor(*zone);
    solid->SetColorSel(color);
    const TPoint3D rc = solid->RotationCenter();
    if (zone->IsObjectSelected()) {
        Context.FillCube(rc, RotationPointSize, 0.7f, kWhite);
    }
    if (zone->IsHighLight()) {
        TLightMaterialSource& m = *ed_.Objects.HighLightMaterial;
        m.SetDiffuse(color);
        for (const TMeshData* mesh : {&solid->FrontMesh(), &solid->ShaftMesh(), &solid->BackMesh()}) {
            Context.DrawTriangles(*mesh, m.Material(), 0.5f);
        }
    }
    const auto* panel = PanelOf<IZonePanel>(*zone);
    if (panel != nullptr && panel->FocusedGuide() == TZoneGuide::RotAngleZ) {
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

void TObjectMouse::ZoneContainerRender(TControl3D* Sender, TContext3D& Context) {
    TMappingZone* zone = ed_.Selection.GetZoneOfObject3D(Sender);
    if (zone == nullptr) {
        return;
    }
    const auto* panel = PanelOf<IZonePanel>(*zone);
    TQzExtrudedShape3D* solid = TSceneObjects::ZoneSolid(*zone);
    if (panel == nullptr || solid == nullptr) {
        return;
    }
    const float w = solid->Width();
    const float d = solid->Height(); // the outline's extent along the zone's depth
    switch (panel->FocusedGuide()) {
    case TZoneGuide::RotAngleY:
        Context.DrawLine({-0.5f * w + 0.005f, 0, -0.5f * d - 2}, {-0.5f * w + 0.005f, 0, 0.5f * d + 2}, 1.0f,
                         kBlue);
        break;
    case TZoneGuide::RotAngleX: {
        const TPoint3D rc = solid->RotationCenter();
        Context.SetMatrix(solid->AbsoluteMatrix());
        Context.DrawLine({rc.X - 0.25f * w, rc.Y, rc.Z - 0.01f}, {rc.X + 1.25f * w, rc.Y, rc.Z - 0.01f}, 1.0f,
                         kRed);
        Context.SetMatrix(Sender->AbsoluteMatrix());
        break;
    }
    case TZoneGuide::TrapezHeight:
        if (const auto* trapezium = dynamic_cast<const TQzTrapezium3D*>(solid)) {
            const float h = trapezium->Height1();
            const float x = std::sqrt(std::max(0.0f, w * w - h * h)) - w / 2;
            const float l = zone->ListenLevel();
            Context.DrawLine({x, 0, l}, {x, 0, l + h}, 1.0f, kRed);
        }
        break;
    case TZoneGuide::RotAngleZ:
    case TZoneGuide::None:
        break;
    }
}

// ---------------------------------------------------------------------------------------------------
// Magnetic snapping

bool TObjectMouse::MagneticSnap(const TPoint3D& RayPos, const TPoint3D& RayDir, TMagneticHit& Hit) const {
    if (!ed_.State.IsMagneticObjects) {
        return false;
    }
    // The nearest hit to the camera wins; the first of equal hits stays.
    const TPoint3D eye = ed_.Views.ActiveCamera()->AbsolutePosition();
    double best = 9999999999.0;
    bool any = false;
    const auto tryCandidate = [&](TControl3D* drawn, TControl3D* candidate) {
        if (drawn == nullptr || candidate == nullptr || !drawn->AbsoluteVisible()) {
            return;
        }
        const TPoint3D pos = candidate->AbsoluteToLocal3D(RayPos);
        const TPoint3D dir = candidate->AbsoluteToLocalDirection(RayDir);
        TPoint3D hit;
        if (!candidate->RayCastIntersect(pos, dir, hit)) {
            return;
        }
        any = true;
        const double distance = hit.Distance(eye);
        if (distance < best) {
            best = distance;
            Hit = {hit, candidate, pos, dir};
        }
    };
    const TAcousticProject& project = ed_.Project;
    for (const auto& zone : project.MappingZones()) {
        if (!zone->IsObjectSelected()) {
            tryCandidate(zone->GraphicalObject, TSceneObjects::ZoneSolid(*zone));
        }
    }
    for (const auto& cabinet : project.Cabinets()) {
        if (!cabinet->IsObjectSelected()) {
            tryCandidate(cabinet->GraphicalObject, firstChild(cabinet->GraphicalObject));
        }
    }
    for (const auto& ornament : project.Ornaments()) {
        if (!ornament->IsObjectSelected()) {
            tryCandidate(ornament->GraphicalObject, firstChild(ornament->GraphicalObject));
        }
    }
    return any;
}

} // namespace vendrel
