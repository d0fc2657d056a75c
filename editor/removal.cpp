#include "editor/removal.h"

#include "acoustics/beam_steering.h"
#include "acoustics/cabinet.h"
#include "acoustics/cluster.h"
#include "acoustics/events_held_back.h"
#include "acoustics/line_array.h"
#include "acoustics/mapping_zone.h"
#include "acoustics/mic_point.h"
#include "acoustics/ornament.h"
#include "acoustics/project.h"
#include "editor/editor.h"
#include "editor/object_panels.h"
#include "platform/core/cursor_service.h"
#include "platform/core/message_box.h"

#include <algorithm>
#include <string>
#include <typeinfo>

namespace vendrel {

namespace {

template <typename T> bool isExactly(const TObject* o) {
    return o != nullptr && typeid(*o) == typeid(T);
}

// The panel leaves the object and is freed by the window.
void freePanel(TEditor& ed, TQzControl3D& obj) {
    IObjectPanel* panel = DetachPanel(obj);
    if (panel != nullptr && ed.Panels != nullptr) {
        ed.Panels->FreePanel(panel);
    }
}

template <typename T> void eraseEntry(std::vector<T*>& list, const void* entry) {
    list.erase(std::remove(list.begin(), list.end(), entry), list.end());
}

} // namespace

TRemoval::TRemoval(TEditor& Editor) : ed_(Editor) {}

bool TRemoval::IsProtected(const TQzControl3D& Obj) {
    return Obj.IsLocked() || (Obj.MyLayer() != nullptr && Obj.MyLayer()->IsLocked());
}

void TRemoval::ForgetObject(TObject* Obj) {
    if (Obj == nullptr) {
        return;
    }
    TEditorState& st = ed_.State;
    if (st.AcousticPrjItemClicked == Obj) {
        st.AcousticPrjItemClicked = nullptr;
    }
    if (st.ClickedMic == Obj) {
        st.ClickedMic = nullptr;
    }
    if (st.HighLightObj != nullptr && static_cast<TObject*>(st.HighLightObj) == Obj) {
        st.HighLightObj = nullptr;
    }
    if (st.ArrayInEdition != nullptr && static_cast<TObject*>(st.ArrayInEdition) == Obj) {
        st.ArrayInEdition = nullptr;
    }
    if (st.ClusterInEdition != nullptr && static_cast<TObject*>(st.ClusterInEdition) == Obj) {
        st.ClusterInEdition = nullptr;
    }
    if (st.BeamInEdition != nullptr && static_cast<TObject*>(st.BeamInEdition) == Obj) {
        st.BeamInEdition = nullptr;
    }
    for (TObjectList* list : {&st.SelectedObjList, &st.CopyObjList, &st.LockedList, &st.ListaPaDuplicar}) {
        while (list->Remove(Obj)) {
        }
    }
    if (ed_.Adding.PopupModelsTarget == Obj) {
        ed_.Adding.PopupModelsTarget = nullptr;
    }
    if (ed_.View != nullptr) {
        ed_.View->ObjectRemoved(Obj);
    }
}

// ---------------------------------------------------------------------------------------------------
// Delete

void TRemoval::DeleteActionExecute() {
    TEditorState& st = ed_.State;
    if (st.SelectedObjList.IsEmpty()) {
        return;
    }
    const TModalResult answer = MessageBoxService().MessageDlg(
        "Delete all selected (and not locked) objects? (" + std::to_string(st.SelectedObjList.Count()) + ")",
        TMsgDlgType::mtConfirmation, {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo});
    if (answer != TModalResult::mrYes) {
        return;
    }
    TAcousticProject& project = ed_.Project;
    {
        const EventsHeldBack events(project);
        RemoveSelectedObjects();
    }
    project.ReCalculateAllMics();
    project.SumAllCalculatedMaps();
}

void TRemoval::RemoveSelectedObjects() {
    TEditorState& st = ed_.State;
    st.DisableOnChange = true;
    ed_.Project.SetIsProjectModified(true);
    const std::vector<TObject*> objects = st.SelectedObjList.Raw();
    for (auto it = objects.rbegin(); it != objects.rend(); ++it) {
        TObject* o = *it;
        st.SelectedObjList.Remove(o);
        st.CopyObjList.Remove(o);
        // A spared object leaves the selection with its selected flag, so the two stay one.
        if (auto* object = dynamic_cast<TQzControl3D*>(o); object != nullptr && IsProtected(*object)) {
            object->SetIsObjectSelected(false);
            if (auto* zone = dynamic_cast<TMappingZone*>(object)) {
                if (TQzExtrudedShape3D* solid = TSceneObjects::ZoneSolid(*zone)) {
                    solid->SetIsSelected(false);
                }
            } else if (auto* panel = PanelOf<ICabinetPanel>(*object)) {
                panel->SetSelChecked(false);
            }
        }
    }
    RemoveObjectByClass(objects);
    st.DisableOnChange = false;
    ed_.Selection.UpdateAllSelection();
    ed_.ShowMemoryInfo();
}

void TRemoval::RemoveObjectByClass(const std::vector<TObject*>& Objects) {
    for (auto it = Objects.rbegin(); it != Objects.rend(); ++it) {
        TObject* o = *it;
        const auto* object = dynamic_cast<const TQzControl3D*>(o);
        if (object == nullptr || IsProtected(*object)) {
            continue;
        }
        if (isExactly<TCabinet>(o)) {
            RemoveCabinet(static_cast<TCabinet*>(o));
        } else if (isExactly<TCabArray>(o)) {
            ed_.ModelOnly.RemoveArray(static_cast<TCabArray*>(o));
        } else if (isExactly<TMappingZone>(o)) {
            RemoveSurface(static_cast<TMappingZone*>(o));
        } else if (isExactly<TOrnament>(o)) {
            ed_.ModelOnly.RemoveOrnament(static_cast<TOrnament*>(o));
        } else if (isExactly<TCluster>(o)) {
            ed_.ModelOnly.RemoveCluster(static_cast<TCluster*>(o));
        } else if (isExactly<TBeamContainer>(o)) {
            ed_.ModelOnly.RemoveBeamSteering(static_cast<TBeamContainer*>(o));
        } else if (isExactly<TMicPoint>(o)) {
            ed_.ModelOnly.RemoveMic(static_cast<TMicPoint*>(o));
        }
    }
}

// ---------------------------------------------------------------------------------------------------
// One object

void TRemoval::RemoveCabinet(TCabinet* Cabinet) {
    ed_.RenderButtonNeedsCalc();
    if (Cabinet == nullptr) {
        return;
    }
    TAcousticProject& project = ed_.Project;
    const auto cursor = TSmartCursor::HourGlass();
    ForgetObject(Cabinet);
    if (TControl3D* drawn = Cabinet->GraphicalObject) {
        eraseEntry(ed_.Objects.ObjCabContainer, drawn);
        Cabinet->GraphicalObject = nullptr;
        delete drawn;
    }
    freePanel(ed_, *Cabinet);
    if (project.ProgressBar() != nullptr) {
        project.ProgressBar()->SetMax(project.TotalCabinets() - 1);
    }
    project.RemoveCabinet(Cabinet);
    for (size_t i = 0; i < project.Cabinets().size(); ++i) {
        if (project.Cabinets()[i]->GraphicalInterface) {
            project.Cabinets()[i]->SetNumberID(static_cast<int32_t>(i + 1));
        }
    }
    if (ed_.Panels != nullptr) {
        ed_.Panels->SortCabinetsFrames();
    }
}

void TRemoval::RemoveSurface(TMappingZone* Zone) {
    if (Zone == nullptr) {
        return;
    }
    ForgetObject(Zone);
    if (TControl3D* holder = Zone->GraphicalObject) {
        holder->OnRender = nullptr;
        if (TControl3D* inner = holder->ChildrenCount() > 0 ? holder->Children(0) : nullptr) {
            inner->OnRender = nullptr;
            if (inner->ChildrenCount() > 0) {
                inner->Children(0)->OnRender = nullptr;
            }
        }
        eraseEntry(ed_.Objects.Obj3DZonesContainer, holder);
        Zone->GraphicalObject = nullptr;
        delete holder; // with the rotation holder and the solid it owns
    }
    freePanel(ed_, *Zone);
    TUITabs& tabs = ed_.PanelSwitching.ZonesTabControl;
    const int tab = tabs.IndexOfObject(Zone);
    if (tab >= 0) {
        tabs.Delete(tab);
    }
    ed_.Project.RemoveMappingZone(Zone);
    ed_.PanelSwitching.SortVenueTabs();
    ed_.Repaint();
}

} // namespace vendrel
