#include "editor/measure_points.h"

#include "acoustics/mic_point.h"
#include "acoustics/overlay.h"
#include "acoustics/project.h"
#include "editor/editor.h"
#include "editor/kinds/mic_kind.h"
#include "editor/units.h"
#include "platform/core/material.h"
#include "scene/cone_marker.h"

#include <algorithm>
#include <cmath>

namespace vendrel {

TMeasurePoints::TMeasurePoints(TEditor& Editor)
    : Responses(Editor.Project, Chart, NewOverlaysColorID),
      Distribution(Editor.Project, Editor.State.SelectedObjList, Format), ed_(Editor) {
    CreateColors(10, 0.7f, DefaultMicColors);
    Responses.OnMicShown = [this](TMicPoint& Mic) {
        if (Mic.GraphicalObject != nullptr) {
            Mic.GraphicalObject->SetVisible(Mic.Visible());
        }
        ed_.Repaint();
    };
    Responses.OnMicColorChanged = [this](TMicPoint& Mic) {
        ColorMarker(Mic);
        ed_.Objects.RefreshPanel(Mic);
        ed_.Repaint();
    };
}

TMeasurePoints::~TMeasurePoints() = default;

void TMeasurePoints::AttachDocuments(TDocuments& Documents) {
    OverlayFiles = std::make_unique<TOverlayFiles>(Documents, Responses);
    SaveOverlayAction.OnExecute = [this] { OverlayFiles->SaveOverlayActionExecute(); };
    ImportOverlayAction.OnExecute = [this] { OverlayFiles->ImportOverlayActionExecute(); };
}

// ---------------------------------------------------------------------------------------------------
// Adding and removing

TMicPoint* TMeasurePoints::AddNewMeasurePoint(const TPoint3D& Position, TAlphaColor Color, bool AutoColor,
                                              const std::string& Name, bool Visible, float Delay_ms,
                                              bool NextColor, TQzLayer* Layer) {
    TAcousticProject& p = ed_.Project;
    TMicPoint* mic = p.AddMeasurePoint(Position, Color, AutoColor, Delay_ms);
    mic->SetMyLayer(Layer);
    if (NextColor) {
        mic->SetColor(DefaultMicColors[NewMicColorID % DefaultMicColors.size()]);
        NewMicColorID = static_cast<uint8_t>((NewMicColorID + 1) % 10);
    }
    if (!Name.empty()) {
        mic->SetName(Name);
    }
    mic->SetVisible(Visible);
    if (Layer != nullptr) {
        Layer->ObjListInLayer.push_back(mic);
    }
    AddInterfaceAndObjectsToMic(*mic);
    ed_.State.AcousticPrjItemClicked = mic;
    Responses.AddMicSeries(*mic);
    ColorMarker(*mic);
    if (Layer != nullptr) {
        if (mic->GraphicalObject != nullptr) {
            mic->GraphicalObject->SetVisible(Layer->Visible() && Visible);
        }
        mic->SetIsLocked(Layer->IsLocked());
        if (mic->IsLocked()) {
            ed_.State.LockedList.Add(mic);
        }
    }
    mic->SetOnReceiveMic([this](TMicPoint& Sender) { Responses.MicResponseReceived(Sender); });
    mic->ExecuteMicThread();
    ed_.Repaint();
    return mic;
}

void TMeasurePoints::AddInterfaceAndObjectsToMic(TMicPoint& Mic) {
    TViewport3D* view = ed_.Scene.Viewport3D1.get();
    auto* cone = new TConeInv(view);
    cone->SetParent(view);
    Mic.GraphicalObject = cone;
    cone->TagObject = &Mic;
    cone->HitTest = true;
    cone->AutoCapture = true;
    cone->CanFocus = true;
    cone->SetMaterialSource(new TLightMaterialSource(cone));
    if (auto* kind = ed_.Kinds.Get<TMicKind>()) {
        ed_.ObjectMouse.Bind(*cone, *kind);
        ed_.Objects.AttachPanel(*kind, Mic, "MicFrame" + std::to_string(ed_.Project.UniqueID()), -1, false);
    }
    PlaceMarker(Mic);
    if (auto* panel = PanelOf<IObjectPanel>(Mic)) {
        panel->UpdateValues();
    }
    if (auto* kind = ed_.Kinds.Get<TMicKind>()) {
        ed_.Objects.SortRows(*kind);
    }
}

void TMeasurePoints::PlaceMarker(TMicPoint& Mic) {
    auto* cone = dynamic_cast<TConeInv*>(Mic.GraphicalObject);
    if (cone == nullptr) {
        return;
    }
    const auto s = static_cast<float>(micSize_);
    cone->SetWidth(0.8f * s);
    cone->SetHeight(1.2f * s);
    cone->SetDepth(0.8f * s);
    const TPoint3D p = Mic.Position();
    cone->SetPosition({p.X, p.Y - cone->Height() * 0.5f, p.Z});
    Mic.TControl3D::SetRotationCenter({0, cone->Height() * 0.5f, 0});
}

void TMeasurePoints::ColorMarker(TMicPoint& Mic) {
    auto* cone = dynamic_cast<TConeInv*>(Mic.GraphicalObject);
    if (cone == nullptr) {
        return;
    }
    if (auto* material = dynamic_cast<TLightMaterialSource*>(cone->MaterialSource())) {
        material->SetDiffuse(Mic.Color());
        material->SetAmbient(TAlphaColors::Black);
        material->SetSpecular(TAlphaColors::White);
        material->SetShininess(18);
    }
}

void TMeasurePoints::SetMicSize(double Size) {
    micSize_ = std::clamp(std::round(Size * 10.0) / 10.0, 0.1, 1.0);
    for (const auto& mic : ed_.Project.Mics()) {
        PlaceMarker(*mic);
    }
    ed_.Scene.MeasCone3D->SetWidth(static_cast<float>(micSize_));
    ed_.Scene.MeasCone3D->SetHeight(static_cast<float>(micSize_));
    ed_.Scene.MeasCone3D->SetDepth(static_cast<float>(micSize_));
    ed_.Repaint();
}

void TMeasurePoints::RemoveMic(TMicPoint* Mic) {
    if (Mic == nullptr) {
        return;
    }
    Responses.RemoveMicSeries(*Mic);
    ed_.Objects.FreePanel(*Mic);
    ed_.ModelOnly.RemoveMic(Mic);
    // The rows show the points' new numbers.
    for (const auto& mic : ed_.Project.Mics()) {
        ed_.Objects.RefreshPanel(*mic);
    }
}

void TMeasurePoints::RemoveTickedMics() {
    for (TMicPoint* mic : Responses.TickedMics()) {
        RemoveMic(mic);
    }
    ed_.Selection.UpdateAllSelection();
}

void TMeasurePoints::RemoveTickedOverlays() {
    for (TOverlay* overlay : Responses.TickedOverlays()) {
        Responses.RemoveOverlay(overlay);
    }
}

// ---------------------------------------------------------------------------------------------------
// Drag

void TMeasurePoints::MicDragged(TMicPoint& Mic) {
    const TControl3D* cone = Mic.GraphicalObject;
    if (cone == nullptr) {
        return;
    }
    if (RecalculateOnMouseMove) {
        ed_.Moving.UpdateFramesAfterMove(Mic.IsMovingOBJ3D());
        return;
    }
    // The row shows where the drag is; the point takes that place without a computation, which the
    // release starts.
    const double u = ed_.State.Units.LengthUnits;
    const TPoint3D m = cone->Position();
    const double h = cone->Height() * 0.5;
    const double x = ShownAndReadBack(m.X, u, "0.000");
    const double y = ShownAndReadBack(-m.Y - h, u, "0.000");
    const double z = ShownAndReadBack(m.Z, u, "0.000");
    TAcousticProject& p = ed_.Project;
    p.SetDontCalcMICS(true);
    Mic.SetPosition({static_cast<float>(x), static_cast<float>(-y), static_cast<float>(z)});
    p.SetDontCalcMICS(false);
    ed_.Objects.RefreshPanel(Mic);
}

// ---------------------------------------------------------------------------------------------------
// Level distribution

void TMeasurePoints::ShowDistribution() {
    Distribution.ShowDistribution(DistributionStepsdB);
}

} // namespace vendrel
