#include "editor/removal.h"

#include "acoustics/events_held_back.h"
#include "acoustics/project.h"
#include "editor/editor.h"
#include "editor/scopes.h"
#include "platform/core/message_box.h"

#include <string>

namespace vendrel {

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
    if (st.HighLightObj != nullptr && static_cast<TObject*>(st.HighLightObj) == Obj) {
        st.HighLightObj = nullptr;
    }
    for (TObjectKind* kind : ed_.Kinds.All()) {
        if (kind->State.Current != nullptr && static_cast<TObject*>(kind->State.Current) == Obj) {
            kind->State.Current = nullptr;
        }
    }
    ed_.Moving.Forget(Obj);
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
    {
        // Panels are freed on the way: none commits while the objects go.
        const TFlagScope removing(st.DisableOnChange);
        ed_.Project.SetIsProjectModified(true);
        const std::vector<TObject*> objects = st.SelectedObjList.Raw();
        for (auto it = objects.rbegin(); it != objects.rend(); ++it) {
            TObject* o = *it;
            st.SelectedObjList.Remove(o);
            st.CopyObjList.Remove(o);
            // A spared object leaves the selection with its selected flag, so the two stay one.
            auto* object = dynamic_cast<TQzControl3D*>(o);
            if (object != nullptr && IsProtected(*object)) {
                if (TObjectKind* kind = ed_.Kinds.KindOf(o)) {
                    kind->SetSelected(*object, false);
                } else {
                    object->SetIsObjectSelected(false);
                }
            }
        }
        RemoveObjectByClass(objects);
    }
    ed_.Selection.UpdateAllSelection();
    ed_.ShowMemoryInfo();
}

void TRemoval::RemoveObjectByClass(const std::vector<TObject*>& Objects) {
    for (auto it = Objects.rbegin(); it != Objects.rend(); ++it) {
        auto* object = dynamic_cast<TQzControl3D*>(*it);
        TObjectKind* kind = ed_.Kinds.KindOf(*it);
        if (object == nullptr || kind == nullptr || IsProtected(*object)) {
            continue;
        }
        kind->Remove(*object);
    }
}

} // namespace vendrel
