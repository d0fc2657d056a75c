#include "editor/panel_switching.h"

#include "acoustics/project.h"
#include "editor/editor.h"
#include "editor/object_panels.h"

#include <string>

namespace vendrel {

TPanelSwitching::TPanelSwitching(TEditor& Editor) : ed_(Editor) {
    ListAllZonesAction.Hint = "List All Venue Objects";
    ListAllZonesAction.OnExecute = [this] { ListAllZonesActionExecute(); };
}

TUITabs* TPanelSwitching::TabsOf(TMainPage Page) {
    switch (Page) {
    case TMainPage::VenueAndZonesTabItem:
        return &ZonesTabControl;
    case TMainPage::LineArrayTabItem:
        return &LineArrayTabControl;
    case TMainPage::BeamSteeringTabItem:
        return &BeamStTabControl;
    default:
        return nullptr;
    }
}

void TPanelSwitching::ShowPage(TMainPage Page) {
    MainTabControl.SetValue(static_cast<double>(Page));
}

void TPanelSwitching::ShowSelectionForEdition(int StartID) {
    TEditorState& st = ed_.State;
    if (StartID < 1) {
        for (TUITabs* tabs : {&ZonesTabControl, &LineArrayTabControl, &BeamStTabControl}) {
            for (int i = 0; i < tabs->Count(); ++i) {
                tabs->SetVisible(i, false);
            }
        }
        for (TObjectKind* kind : ed_.Kinds.All()) {
            if (!kind->Placement.Tabbed) {
                kind->ForEachObject([](TQzControl3D& obj) {
                    if (auto* panel = PanelOf<IObjectPanel>(obj)) {
                        panel->SetRowVisible(false);
                    }
                });
            }
        }
        ZonesListBox.Clear();
        ZonesTabControl.SetTabIndex(-1);
    }
    if (StartID == -1) {
        st.IsSelectionChanged = false;
        return;
    }
    for (int i = std::max(StartID, 0); i < st.SelectedObjList.Count(); ++i) {
        TObject* o = st.SelectedObjList.Items(i);
        TObjectKind* kind = ed_.Kinds.KindOf(o);
        if (kind == nullptr || !kind->Placement.ShownOnSelection) {
            continue;
        }
        const TPanelPlacement& place = kind->Placement;
        TUITabs* tabs = place.Tabbed ? TabsOf(place.Page) : nullptr;
        if (tabs != nullptr) {
            const int tab = tabs->IndexOfObject(o);
            if (tab < 0) {
                continue;
            }
            tabs->SetVisible(tab, true);
            const int item = place.InVenueList ? ZonesListBox.Add(tabs->Items(tab).Text, tab) : -1;
            tabs->SetTabIndex(tab);
            ShowPage(place.Page);
            if (item >= 0) {
                ZonesListBox.SetItemIndex(item);
            }
        } else {
            if (auto* panel = PanelOf<IObjectPanel>(*static_cast<TQzControl3D*>(o))) {
                panel->SetRowVisible(true);
            }
            ShowPage(place.Page);
        }
    }
    for (TObjectKind* kind : ed_.Kinds.All()) {
        if (!kind->Placement.Tabbed && kind->Placement.ShownOnSelection) {
            ed_.Objects.SortRows(*kind);
        }
    }
    st.IsSelectionChanged = false;
}

void TPanelSwitching::ShowSelectionOptionsMenu(int StartID) {
    TEditorState& st = ed_.State;
    ed_.Selection.CountSelectedByKind(StartID);
    const int count = st.SelectedObjList.Count();
    ed_.Selection.EnableSelectionActions(count > 0);
    ed_.Layers.SelectionChanged();
    StatusLabel.SetText(SelectionSummary());
    st.IsSelectionChanged = false;
}

std::string TPanelSwitching::SelectionSummary() const {
    const TEditorState& st = ed_.State;
    const int count = st.SelectedObjList.Count();
    if (count == 0) {
        return {};
    }
    std::string status = std::to_string(count) + " Objects Selected";
    for (const TObjectKind* kind : ed_.Kinds.InOrder(TKindOrder::Status)) {
        if (kind->State.NSelected > 0) {
            status += ", " + std::to_string(kind->State.NSelected) + kind->StatusWord();
        }
    }
    return status;
}

void TPanelSwitching::ListAllVenueObjectsKeepingShown() {
    const int shown = ZonesTabControl.TabIndex();
    ListAllZonesActionExecute();
    if (shown < 0 || shown >= ZonesTabControl.Count()) {
        return;
    }
    ZonesTabControl.SetTabIndex(shown);
    for (int i = 0; i < ZonesListBox.Count(); ++i) {
        if (ZonesListBox.Items(i).Tag == shown) {
            ZonesListBox.SetItemIndex(i);
        }
    }
}

void TPanelSwitching::ListAllZonesActionExecute() {
    ZonesListBox.Clear();
    for (TObjectKind* kind : ed_.Kinds.InOrder(TKindOrder::Status)) {
        if (!kind->Placement.InVenueList) {
            continue;
        }
        kind->ForEachObject([this](TQzControl3D& obj) {
            const int tab = ZonesTabControl.IndexOfObject(&obj);
            if (tab >= 0) {
                ZonesTabControl.SetVisible(tab, true);
                ZonesListBox.Add(ZonesTabControl.Items(tab).Text, tab);
            }
        });
    }
    ZonesTabControl.SetTabIndex(-1);
    ZonesListBox.SetItemIndex(-1);
}

void TPanelSwitching::Label8Click() {
    ListAllZonesActionExecute();
}

void TPanelSwitching::ListSelectedVenueObjects() {
    ZonesListBox.Clear();
    for (TObject* o : ed_.State.SelectedObjList) {
        const TObjectKind* kind = ed_.Kinds.KindOf(o);
        if (kind == nullptr || !kind->Placement.InVenueList) {
            continue;
        }
        const int tab = ZonesTabControl.IndexOfObject(o);
        if (tab >= 0) {
            ZonesListBox.Add(ZonesTabControl.Items(tab).Text, tab);
        }
    }
}

void TPanelSwitching::ZonesListBoxClick() {
    const int item = ZonesListBox.ItemIndex();
    if (item < 0) {
        ed_.Selection.HighLightOFF();
        return;
    }
    const auto tab = static_cast<int>(ZonesListBox.Items(item).Tag);
    if (tab < 0 || tab >= ZonesTabControl.Count()) {
        return;
    }
    ZonesTabControl.SetTabIndex(tab);
    if (auto* object = dynamic_cast<TQzControl3D*>(ZonesTabControl.Items(tab).TagObject)) {
        ed_.Selection.SetHighLight(object);
    }
    // The panel now shows an object that need not be selected: the status line says both.
    const std::string selection = SelectionSummary();
    StatusLabel.SetText(ZonesTabControl.Items(tab).Text + " in the panel | Selection: " +
                        (selection.empty() ? std::string("none") : selection));
}

void TPanelSwitching::ZonesListBoxKeyUp() {
    ZonesListBoxClick();
}

void TPanelSwitching::SortVenueTabs() {
    for (TUITabs* tabs : {&ZonesTabControl, &LineArrayTabControl, &BeamStTabControl}) {
        for (int i = 0; i < tabs->Count(); ++i) {
            auto* obj = dynamic_cast<TQzControl3D*>(tabs->Items(i).TagObject);
            if (const TObjectKind* kind = ed_.Kinds.KindOf(obj)) {
                tabs->SetText(i, kind->TabText(*obj));
                obj->Tag = i;
            }
        }
    }
}

} // namespace vendrel
