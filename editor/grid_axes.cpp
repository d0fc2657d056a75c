#include "editor/grid_axes.h"

#include "acoustics/mapping_zone.h"
#include "acoustics/physical_space.h"
#include "acoustics/project.h"
#include "editor/editor.h"
#include "platform/core/context3d.h"
#include "platform/core/edit_helpers.h"
#include "platform/core/numeric.h"
#include "scene/extruded_shape.h"

#include <algorithm>
#include <cmath>

namespace vendrel {

namespace {

constexpr float kHiddenGridOpacity = 0.01f;

// The solid of a zone (the first child of the first child of its drawn object), or null.
TQzExtrudedShape3D* zoneSolid(const TMappingZone& zone) {
    const TControl3D* outer = zone.GraphicalObject;
    if (outer == nullptr || outer->ChildrenCount() == 0) {
        return nullptr;
    }
    const TControl3D* inner = outer->Children(0);
    if (inner->ChildrenCount() == 0) {
        return nullptr;
    }
    return dynamic_cast<TQzExtrudedShape3D*>(inner->Children(0));
}

} // namespace

TGridAxes::TGridAxes(TEditor& Editor) : ed_(Editor) {
    for (TUIAction* item :
         {&ShowThrowItem, &ShowCoverageItem, &ShowFloorItem, &ShowZoneEdgesItem, &ShowAxisNumbersItem}) {
        item->Checkable = true;
        item->AutoCheck = true;
        item->SetChecked(true);
    }
    ShowThrowItem.OnExecute = [this] { ShowThrowItemClick(); };
    ShowCoverageItem.OnExecute = [this] { ShowThrowItemClick(); };
    ShowFloorItem.OnExecute = [this] { ShowFloorItemClick(); };
    ShowZoneEdgesItem.OnExecute = [this] { ShowZoneEdgesItemClick(); };
    ShowAxisNumbersItem.OnExecute = [this] { ShowAxisNumbersItemClick(); };
    ElevDegreeNB.OnChange = [this] { ElevDegreeNBChange(); };
}

void TGridAxes::SetTxtGridSpaceMeters(int32_t Value) {
    if (Value == FTextGridSpaceMeters) {
        return;
    }
    FTextGridSpaceMeters = Value;
    TEditorScene& sc = ed_.Scene;
    UpdateAxisNumberVisibility(TextVenueLengths, sc.TextsLengthDummy);
    UpdateAxisNumberVisibility(TextVenueWidths, sc.TextsWidthDummy);
    UpdateAxisNumberVisibility(TextVenueHeights, sc.TextsHeightDummy);
}

// ---------------------------------------------------------------------------------------------------
// Venue dimensions

void TGridAxes::freeRow(std::vector<TText3D*>& Row) {
    while (!Row.empty()) {
        delete Row.back();
        Row.pop_back();
    }
}

void TGridAxes::rebuildRow(std::vector<TText3D*>& Row, TDummy* Owner, int32_t Dimension) {
    const auto n = RoundHalfEven<int32_t>(double(Dimension) / ed_.State.CreateTextGridSpaceMeters) + 1;
    CreateAxisNumbers(Row, n - 1, Owner);
}

void TGridAxes::RecalculateVenueLength(int32_t Value) {
    TPhysicalSpace& m = ed_.PhysicalSpace;
    if (Value == m.VenueLength()) {
        return;
    }
    freeRow(TextVenueLengths);
    m.SetVenueLength(Value);
    rebuildRow(TextVenueLengths, ed_.Scene.TextsLengthDummy, m.VenueLength());
    DrawVenueLength();
    TEditorScene& sc = ed_.Scene;
    for (TCamera* camera : {sc.CameraTop, sc.CameraSide, sc.CameraFront, sc.Camera3D}) {
        ed_.Views.FitCameraToVenue(camera);
    }
}

void TGridAxes::RecalculateVenueHeight(int32_t Value) {
    TPhysicalSpace& m = ed_.PhysicalSpace;
    if (Value == m.VenueHeightVer()) {
        return;
    }
    freeRow(TextVenueHeights);
    m.SetVenueHeightVer(Value);
    rebuildRow(TextVenueHeights, ed_.Scene.TextsHeightDummy, m.VenueHeightVer());
    DrawVenueHeight();
    TEditorScene& sc = ed_.Scene;
    for (TCamera* camera : {sc.CameraTop, sc.CameraSide, sc.CameraFront, sc.Camera3D}) {
        ed_.Views.FitCameraToVenue(camera);
    }
}

void TGridAxes::RecalculateVenueWidth(int32_t Value) {
    TPhysicalSpace& m = ed_.PhysicalSpace;
    if (Value == m.VenueWidthHor()) {
        return;
    }
    freeRow(TextVenueWidths);
    m.SetVenueWidthHor(Value);
    rebuildRow(TextVenueWidths, ed_.Scene.TextsWidthDummy, m.VenueWidthHor());
    DrawVenueWidth();
    TEditorScene& sc = ed_.Scene;
    for (TCamera* camera : {sc.CameraTop, sc.CameraSide, sc.CameraFront, sc.Camera3D}) {
        ed_.Views.FitCameraToVenue(camera);
    }
}

void TGridAxes::DrawVenueLength() {
    TEditorScene& sc = ed_.Scene;
    const auto length = static_cast<float>(ed_.PhysicalSpace.VenueLength());
    sc.Grid3DHoriz->SetWidth(length);
    sc.Grid3DVert->SetWidth(10 * length);
    sc.Grid3DHoriz->SetPositionX(0);
    sc.Grid3DVert->SetPositionX(0);
    DrawGrid();
    UpdateGridSpacing();
    UpdateAxisNumberVisibility(TextVenueLengths, sc.TextsLengthDummy);
    UpdateAxisNumberVisibility(TextVenueWidths, sc.TextsWidthDummy);
    UpdateAxisNumberVisibility(TextVenueHeights, sc.TextsHeightDummy);
}

void TGridAxes::DrawVenueHeight() {
    TEditorScene& sc = ed_.Scene;
    sc.Grid3DVert->SetHeight(10 * static_cast<float>(ed_.PhysicalSpace.VenueHeightVer()));
    ScaleAxisNumbers(TextVenueHeights, sc.TextsHeightDummy);
    UpdateRulerWidth();
    ed_.Views.UpdateCameraScrollRanges();
    ed_.Views.SyncCameraControls(sc.CameraSide);
    DrawGrid();
    UpdateGridSpacing();
    UpdateAxisNumberVisibility(TextVenueLengths, sc.TextsLengthDummy);
    UpdateAxisNumberVisibility(TextVenueWidths, sc.TextsWidthDummy);
    UpdateAxisNumberVisibility(TextVenueHeights, sc.TextsHeightDummy);
}

void TGridAxes::DrawVenueWidth() {
    TEditorScene& sc = ed_.Scene;
    sc.Grid3DHoriz->SetHeight(static_cast<float>(ed_.PhysicalSpace.VenueWidthHor()));
    ScaleAxisNumbers(TextVenueWidths, sc.TextsWidthDummy);
    UpdateRulerWidth();
    ed_.Views.UpdateCameraScrollRanges();
    ed_.Views.SyncCameraControls(sc.CameraTop);
    DrawGrid();
    UpdateGridSpacing();
    UpdateAxisNumberVisibility(TextVenueLengths, sc.TextsLengthDummy);
    UpdateAxisNumberVisibility(TextVenueWidths, sc.TextsWidthDummy);
    UpdateAxisNumberVisibility(TextVenueHeights, sc.TextsHeightDummy);
}

// ---------------------------------------------------------------------------------------------------
// Labels and grids

void TGridAxes::CreateAxisNumbers(std::vector<TText3D*>& Row, int LastIndex, TDummy* Owner) {
    ed_.State.OffsetGridTextY = 0.3;
    ed_.State.OffsetGridTextX = 0.3;
    freeRow(Row);
    for (int i = 0; i <= LastIndex; ++i) {
        // The dummy owns the label; the row only points to it.
        auto* label = new TText3D(Owner);
        label->SetParent(Owner);
        label->SetHeight(0.15f);
        label->SetWidth(0.55f);
        label->SetDepth(0);
        label->SetOpacity(0.95f);
        label->FontFamily = "Liberation Sans";
        label->SetFontSize(50);
        label->SetColor(TAlphaColors::White);
        label->ZWrite = false;
        label->HitTest = false;
        label->AutoCapture = false;
        label->CanFocus = false;
        label->SetVisible(ShowAxisNumbersItem.Checked());
        Row.push_back(label);
    }
}

int32_t TGridAxes::LabelSteps(const std::vector<TText3D*>& Row, const TDummy* Owner, int Index) const {
    if (Owner == ed_.Scene.TextsHeightDummy || Index == 0) {
        return Index;
    }
    // Length and width rows: labels 1..h run up from the origin, h+1.. run down from it.
    const int h = static_cast<int>(Row.size()) / 2;
    return Index <= h ? Index : -(Index - h);
}

void TGridAxes::UpdateAxisNumberVisibility(const std::vector<TText3D*>& Row, const TDummy* Owner) {
    if (!ShowAxisNumbersItem.Checked() || Row.empty() || FTextGridSpaceMeters == 0) {
        return;
    }
    const auto k = RoundHalfEven<int32_t>(double(FTextGridSpaceMeters) / ed_.State.CreateTextGridSpaceMeters);
    Row[0]->SetVisible(true);
    for (int i = 1; i < static_cast<int>(Row.size()); ++i) {
        Row[static_cast<size_t>(i)]->SetVisible(k <= 1 || LabelSteps(Row, Owner, i) % k == 0);
    }
}

void TGridAxes::UpdateGridSpacing() {
    TEditorState& st = ed_.State;
    int32_t spacing = st.CreateTextGridSpaceMeters;
    if (st.ZoomOut > 150) {
        spacing = 50;
    } else if (st.ZoomOut > 10) {
        spacing = 10;
    }
    SetTxtGridSpaceMeters(spacing);
    st.GridSpaceingMeters = spacing / 5.0;
    ed_.Scene.Grid3DHoriz->SetFrequency(static_cast<float>(st.GridSpaceingMeters));
    ed_.Scene.Grid3DVert->SetFrequency(static_cast<float>(st.GridSpaceingMeters));
}

void TGridAxes::DrawGrid() {
    TEditorState& st = ed_.State;
    TEditorScene& sc = ed_.Scene;
    const float opacity = ShowFloorItem.Checked() ? static_cast<float>(st.OpacityGrid) : kHiddenGridOpacity;
    sc.Grid3DHoriz->SetOpacity(opacity);
    sc.Grid3DVert->SetOpacity(opacity);
    sc.Grid3DHoriz->SetFrequency(static_cast<float>(st.GridSpaceingMeters));
    sc.Grid3DVert->SetFrequency(static_cast<float>(st.GridSpaceingMeters));

    const double S = st.CreateTextGridSpaceMeters;
    const double e = std::exp(-st.ZoomOut);
    const double U = st.Units.LengthUnits;
    const TFormatSettings fmt;
    const auto text = [&](double v) { return FormatFloatPattern("0", v, fmt); };
    const auto layoutAlong = [&](std::vector<TText3D*>& row, bool height) {
        const int n = static_cast<int>(row.size());
        const int h = n / 2;
        const auto x = static_cast<float>(-st.OffsetGridTextX + e / 20);
        if (height) {
            for (int i = 1; i < n; ++i) {
                row[static_cast<size_t>(i)]->SetPosition({x, static_cast<float>(-i * S), 0});
                row[static_cast<size_t>(i)]->SetText(text(i * S * U));
            }
            return;
        }
        for (int i = 1; i <= h; ++i) {
            row[static_cast<size_t>(i)]->SetPosition({x, static_cast<float>(-i * S), 0});
            row[static_cast<size_t>(i)]->SetText(text(i * S * U));
            if (h + i < n) {
                row[static_cast<size_t>(h + i)]->SetPosition({x, static_cast<float>(i * S), 0});
                row[static_cast<size_t>(h + i)]->SetText(text(-i * S * U));
            }
        }
    };
    const auto layoutLength = [&] {
        auto& row = TextVenueLengths;
        const int n = static_cast<int>(row.size());
        const int h = n / 2;
        const auto y = static_cast<float>(st.OffsetGridTextY - e / 30);
        for (int i = 1; i <= h; ++i) {
            row[static_cast<size_t>(i)]->SetPosition({static_cast<float>(i * S), y, 0});
            row[static_cast<size_t>(i)]->SetText(text(i * S * U));
            if (h + i < n) {
                row[static_cast<size_t>(h + i)]->SetPosition({static_cast<float>(-i * S), y, 0});
                row[static_cast<size_t>(h + i)]->SetText(text(-i * S * U));
            }
        }
    };

    switch (ed_.Project.ViewType()) {
    case TViewType::qzaThreeDView:
        layoutLength();
        layoutAlong(TextVenueHeights, true);
        layoutAlong(TextVenueWidths, false);
        break;
    case TViewType::qzaSideView:
        layoutLength();
        layoutAlong(TextVenueHeights, true);
        break;
    case TViewType::qzaTopView:
        layoutLength();
        layoutAlong(TextVenueWidths, false);
        break;
    case TViewType::qzaFrontView:
        break;
    }
    placeBesideAxis(TextVenueLengths, sc.TextsLengthDummy);
    placeBesideAxis(TextVenueWidths, sc.TextsWidthDummy);
    placeBesideAxis(TextVenueHeights, sc.TextsHeightDummy);
}

void TGridAxes::ScaleAxisNumbers(const std::vector<TText3D*>& Row, const TDummy* Owner) {
    TEditorState& st = ed_.State;
    st.coefMultZoom = static_cast<float>(st.ZoomOut / 700);
    const float s = std::max(st.coefMultZoom * 70, 2.0f);
    for (TText3D* label : Row) {
        label->SetScale({s, s, s});
    }
    placeBesideAxis(Row, Owner);
}

void TGridAxes::placeBesideAxis(const std::vector<TText3D*>& Row, const TDummy* Owner) {
    const TEditorState& st = ed_.State;
    const double e = std::exp(-st.ZoomOut);
    const double S = st.CreateTextGridSpaceMeters;
    // Between the line and the label's near edge, per unit of scale: a label's height, so that the
    // smallest font drawn, which may overfill a small label, still clears the line.
    constexpr double kGap = 0.15;
    const bool length = Owner == ed_.Scene.TextsLengthDummy;
    // The front view looks along X, where the other views move the width and height labels off their
    // lines: there the width labels step down from the floor line and the height labels aside.
    const bool front = ed_.Project.ViewType() == TViewType::qzaFrontView && !length;
    TPoint3D away = length ? TPoint3D(0, 1, 0) : TPoint3D(-1, 0, 0);
    if (front) {
        const TPoint3D scene = Owner == ed_.Scene.TextsWidthDummy ? TPoint3D(0, 1, 0) : TPoint3D(0, 0, -1);
        away = Owner->AbsoluteToLocalDirection(scene).Normalize();
    }
    const bool acrossHeight = length || (front && Owner == ed_.Scene.TextsWidthDummy);
    for (size_t i = 1; i < Row.size(); ++i) {
        TText3D& label = *Row[i];
        const double s = label.Scale().X;
        const double steps = LabelSteps(Row, Owner, static_cast<int>(i));
        const TPoint3D onLine = length ? TPoint3D(static_cast<float>(steps * S), 0, 0)
                                       : TPoint3D(0, static_cast<float>(-steps * S), 0);
        const double half = acrossHeight ? label.Height() / 2 : label.Width() / 2;
        const double base = length ? st.OffsetGridTextY : st.OffsetGridTextX;
        const double distance = std::max(base, (half + kGap) * s) - (length ? e / 30 : e / 20);
        label.SetPosition(onLine + away * static_cast<float>(distance));
    }
}

void TGridAxes::UpdateRulerWidth() {
    TEditorState& st = ed_.State;
    st.RulerWidth = std::max(st.coefMultZoom * 70.0, 0.5) * 0.05;
    ed_.Scene.RulerCube->SetHeight(static_cast<float>(st.RulerWidth));
    ed_.Scene.RulerCube->SetDepth(static_cast<float>(st.RulerWidth));
}

// ---------------------------------------------------------------------------------------------------
// View options

void TGridAxes::ShowAxisNumbersItemClick() {
    TEditorScene& sc = ed_.Scene;
    UpdateAxisNumberVisibility(TextVenueLengths, sc.TextsLengthDummy);
    UpdateAxisNumberVisibility(TextVenueWidths, sc.TextsWidthDummy);
    UpdateAxisNumberVisibility(TextVenueHeights, sc.TextsHeightDummy);
    const bool on = ShowAxisNumbersItem.Checked();
    const auto turn = [](std::vector<TText3D*>& row, float x, float y, bool setX) {
        for (size_t i = 1; i < row.size(); ++i) {
            if (setX) {
                row[i]->SetRotationAngleX(x);
            }
            row[i]->SetRotationAngleY(y);
        }
    };
    switch (ed_.Project.ViewType()) {
    case TViewType::qzaSideView:
        sc.TextsLengthDummy->SetVisible(on);
        sc.TextsHeightDummy->SetVisible(on);
        sc.TextsWidthDummy->SetVisible(false);
        sc.TextsLengthDummy->SetRotationAngleX(0);
        turn(TextVenueHeights, 0, 0, false);
        break;
    case TViewType::qzaTopView:
        sc.TextsLengthDummy->SetVisible(on);
        sc.TextsHeightDummy->SetVisible(false);
        sc.TextsWidthDummy->SetVisible(on);
        sc.TextsLengthDummy->SetRotationAngleX(270);
        turn(TextVenueWidths, 0, 0, true);
        break;
    case TViewType::qzaThreeDView:
        sc.TextsLengthDummy->SetVisible(on);
        sc.TextsHeightDummy->SetVisible(on);
        sc.TextsWidthDummy->SetVisible(on);
        sc.TextsLengthDummy->SetRotationAngleX(0);
        sc.TextsWidthDummy->SetRotationAngleX(270);
        turn(TextVenueWidths, 0, 0, true);
        turn(TextVenueHeights, 0, 0, false);
        break;
    case TViewType::qzaFrontView:
        sc.TextsLengthDummy->SetVisible(false);
        sc.TextsHeightDummy->SetVisible(on);
        sc.TextsWidthDummy->SetVisible(on);
        sc.TextsLengthDummy->SetRotationAngleX(0);
        turn(TextVenueWidths, 90, 270, true);
        turn(TextVenueHeights, 0, 270, false);
        break;
    }
    placeBesideAxis(TextVenueLengths, sc.TextsLengthDummy);
    placeBesideAxis(TextVenueWidths, sc.TextsWidthDummy);
    placeBesideAxis(TextVenueHeights, sc.TextsHeightDummy);
    // A view turned half a turn in its plane turns its labels back, so that they read upright.
    const float upright = ed_.Views.IsViewTurned(ed_.Project.ViewType()) ? 180.0f : 0.0f;
    for (std::vector<TText3D*>* row : {&TextVenueLengths, &TextVenueWidths, &TextVenueHeights}) {
        for (TText3D* label : *row) {
            label->SetRotationAngleZ(upright);
        }
    }
}

void TGridAxes::ShowFloorItemClick() {
    TEditorScene& sc = ed_.Scene;
    const float opacity =
        ShowFloorItem.Checked() ? static_cast<float>(ed_.State.OpacityGrid) : kHiddenGridOpacity;
    sc.Grid3DHoriz->SetOpacity(opacity);
    sc.Grid3DVert->SetOpacity(opacity);
}

void TGridAxes::ShowZoneEdgesItemClick() {
    for (const auto& zone : ed_.Project.MappingZones()) {
        if (TQzExtrudedShape3D* solid = zoneSolid(*zone)) {
            solid->ShowEdges = ShowZoneEdgesItem.Checked();
        }
    }
    ed_.Repaint();
}

void TGridAxes::ShowThrowItemClick() {
    ed_.Repaint();
}

// ---------------------------------------------------------------------------------------------------
// Axis lines and overlays

void TGridAxes::LayoutAxis3DRender(TControl3D*, TContext3D& Context) {
    const TViewType view = ed_.Project.ViewType();
    const TPoint3D o{0, 0, 0};
    if (view != TViewType::qzaFrontView) {
        Context.DrawLine(o, {500, 0, 0}, 0.8f, 0xFFFF0000);
        Context.DrawLine(o, {-500, 0, 0}, 0.2f, 0xFFFF0000);
    }
    if (view != TViewType::qzaTopView) {
        Context.DrawLine(o, {0, -300, 0}, 0.8f, 0xFF0000FF);
        Context.DrawLine(o, {0, 300, 0}, 0.2f, 0xFF0000FF);
    }
    if (view != TViewType::qzaSideView) {
        Context.DrawLine(o, {0, 0, 100}, 0.8f, 0xFF00FF00);
        Context.DrawLine(o, {0, 0, -100}, 0.2f, 0xFF00FF00);
    }
}

void TGridAxes::LayoutDraw3DRender(TControl3D*, TContext3D& Context) {
    const TEditorState& st = ed_.State;
    if (st.LeftMouseMode == TLeftMouseMode::lmmSelectArea) {
        const TBoundingBox& b = st.MouseSelectionBox.Bounding;
        const TPoint3D size{b.Width(), b.Height(), b.Depth()};
        Context.DrawCube(b.Center(), size, 0.5f, 0xFF87949F);
        TPoint3D flat = size;
        switch (ed_.Project.ViewType()) {
        case TViewType::qzaSideView:
        case TViewType::qzaThreeDView:
            flat.Z = 0;
            break;
        case TViewType::qzaTopView:
            flat.Y = 0;
            break;
        case TViewType::qzaFrontView:
            flat.X = 0;
            break;
        }
        Context.DrawCube(b.Center(), flat, 0.9f, 0xFF90EE90);
    }
    if (st.LeftMouseMode == TLeftMouseMode::lmmRuler) {
        const auto w = static_cast<float>(st.RulerWidth);
        const TPoint3D edge{w, w, w};
        Context.FillCube(st.RulerPointMove_3D, edge, 1.0f, 0xFFFFFF00);
        if (st.IsRulerPoint1Set) {
            const TPoint3D& p = st.RulerPoint1_3D;
            const TPoint3D& q = st.RulerPointMove_3D;
            Context.FillCube(p, edge, 1.0f, 0xFFFFFF00);
            Context.DrawLine(p, {q.X, p.Y, p.Z}, 1.0f, 0xFFFF0000);
            Context.DrawLine(p, {p.X, q.Y, p.Z}, 1.0f, 0xFF0000FF);
            Context.DrawLine(p, {p.X, p.Y, q.Z}, 1.0f, 0xFF008000);
        }
    }
}

void TGridAxes::ElevDegreeNBChange() {
    ed_.Scene.TextsLengthDummy->SetPositionY(static_cast<float>(-ElevDegreeNB.Value()));
}

void TGridAxes::ZoomChanged() {
    const TEditorScene& sc = ed_.Scene;
    UpdateGridSpacing();
    ScaleAxisNumbers(TextVenueLengths, sc.TextsLengthDummy);
    ScaleAxisNumbers(TextVenueHeights, sc.TextsHeightDummy);
    ScaleAxisNumbers(TextVenueWidths, sc.TextsWidthDummy);
    UpdateRulerWidth();
}

} // namespace vendrel
