#include "editor/panel_switching.h"

#include "acoustics/cabinet.h"
#include "acoustics/mapping_zone.h"
#include "acoustics/ornament.h"
#include "acoustics/project.h"
#include "editor/editor.h"
#include "editor/object_panels.h"

#include <string>
#include <typeinfo>

namespace vendrel {

namespace {

template <typename T> bool isExactly(const TObject* o) {
    return o != nullptr && typeid(*o) == typeid(T);
}

} // namespace

TPanelSwitching::TPanelSwitching(TEditor& Editor) : ed_(Editor) {
    ListAllZonesAction.Hint = "List All Venue Objects";
    ListAllZonesAction.OnExecute = [this] { ListAllZonesActionExecute(); };
}

void TPanelSwitching::showPage(TMainPage Page) {
    MainTabControl.SetValue(static_cast<double>(Page));
}

void TPanelSwitching::ShowSelectionForEdition(int StartID) {
    TEditorState& st = ed_.State;
    TAcousticProject& project = ed_.Project;
    if (StartID < 1) {
        for (int i = 0; i < ZonesTabControl.Count(); ++i) {
            ZonesTabControl.SetVisible(i, false);
        }
        for (const auto& cabinet : project.Cabinets()) {
            if (auto* panel = PanelOf<ICabinetPanel>(*cabinet)) {
                panel->SetRowVisible(false);
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
        if (isExactly<TMappingZone>(o) || isExactly<TOrnament>(o)) {
            const int tab = ZonesTabControl.IndexOfObject(o);
            if (tab < 0) {
                continue;
            }
            ZonesTabControl.SetVisible(tab, true);
            const int item = ZonesListBox.Add(ZonesTabControl.Items(tab).Text, tab);
            ZonesTabControl.SetTabIndex(tab);
            showPage(TMainPage::VenueAndZonesTabItem);
            ZonesListBox.SetItemIndex(item);
        } else if (isExactly<TCabinet>(o)) {
            if (auto* panel = PanelOf<ICabinetPanel>(*static_cast<TCabinet*>(o))) {
                panel->SetRowVisible(true);
            }
            showPage(TMainPage::CabinetsTabItem);
        }
    }
    if (ed_.Panels != nullptr) {
        ed_.Panels->SortCabinetsFrames();
    }
    st.IsSelectionChanged = false;
}

void TPanelSwitching::ShowSelectionOptionsMenu(int StartID) {
    TEditorState& st = ed_.State;
    ed_.Selection.CountSelectedByKind(StartID);
    const int count = st.SelectedObjList.Count();
    ed_.Selection.EnableSelectionActions(count > 0);
    ed_.Layers.SelectionChanged();
    std::string status;
    if (count > 0) {
        status = std::to_string(count) + " Objects Selected";
        const auto kind = [&status](int32_t n, const char* word) {
            if (n > 0) {
                status += ", " + std::to_string(n) + word;
            }
        };
        kind(st.NCabinetsSelected, " Cabinets");
        kind(st.NZonesSelected, " Zones");
        kind(st.NArraysSelected, " Arrays");
        kind(st.NOrnasSelected, " Ornaments");
        kind(st.NClustersSelected, " Clusters");
        kind(st.NBeamsSelected, " Beam Steerings");
        kind(st.NMicsSelected, " Mics");
    }
    StatusLabel.SetText(status);
    st.IsSelectionChanged = false;
}

void TPanelSwitching::ListAllZonesActionExecute() {
    ZonesListBox.Clear();
    for (const auto& zone : ed_.Project.MappingZones()) {
        const int tab = ZonesTabControl.IndexOfObject(zone.get());
        if (tab >= 0) {
            ZonesTabControl.SetVisible(tab, true);
            ZonesListBox.Add(ZonesTabControl.Items(tab).Text, tab);
        }
    }
    for (const auto& ornament : ed_.Project.Ornaments()) {
        const int tab = ZonesTabControl.IndexOfObject(ornament.get());
        if (tab >= 0) {
            ZonesTabControl.SetVisible(tab, true);
            ZonesListBox.Add(ZonesTabControl.Items(tab).Text, tab);
        }
    }
    ZonesTabControl.SetTabIndex(-1);
    ZonesListBox.SetItemIndex(-1);
}

void TPanelSwitching::ListSelectedVenueObjects() {
    ZonesListBox.Clear();
    for (TObject* o : ed_.State.SelectedObjList) {
        if (dynamic_cast<TMappingZone*>(o) == nullptr && dynamic_cast<TOrnament*>(o) == nullptr) {
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
}

void TPanelSwitching::SortVenueTabs() {
    for (int i = 0; i < ZonesTabControl.Count(); ++i) {
        TObject* o = ZonesTabControl.Items(i).TagObject;
        if (auto* zone = dynamic_cast<TMappingZone*>(o)) {
            ZonesTabControl.SetText(i,
                                    "Zone " + std::to_string(zone->ZoneIndexID() + 1) + ": " + zone->Name());
            zone->Tag = i;
        } else if (auto* ornament = dynamic_cast<TOrnament*>(o)) {
            ZonesTabControl.SetText(i, "Orna " + std::to_string(ornament->NumberID() + 1) + ": " +
                                           ornament->Name());
            ornament->Tag = i;
        }
    }
}

} // namespace vendrel
