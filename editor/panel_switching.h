#pragma once
// Property panel switching and object lists.
//
// When the selection changes, the window shows the panels of the selected objects (a tab of the
// object's page, or its row in the page's row list), brings the page of the last one to the front,
// writes a summary of the selection into the status line and lists the selected zones and ornaments
// in the venue object list ("Objects:"), whose items carry the index of their object's tab. Where a
// kind's panel stands is its kind's placement row (object_kind.h).

#include "editor/main_pages.h"
#include "editor/ui_values.h"

namespace vendrel {

class TEditor;
class TObject;

class TPanelSwitching {
public:
    explicit TPanelSwitching(TEditor& Editor);

    // The tab controls of the pages whose objects have one tab each (their strips are not shown).
    TUITabs ZonesTabControl;     // the venue page: zones and ornaments
    TUITabs LineArrayTabControl; // line arrays and clusters
    TUITabs BeamStTabControl;    // steered columns
    // The tab control of a page; null for a page without one.
    TUITabs* TabsOf(TMainPage Page);

    TUIListBox ZonesListBox;                              // "Objects:"
    TUIRange MainTabControl{0, kMainPageCount - 1, 1, 1}; // the page in front (TMainPage)
    TUIText StatusLabel;                                  // the status line
    TUIAction ListAllZonesAction{"List All Venue Objects"};

    // Shows the panels of the selection from StartID on (-1, 0 or the index of the object just
    // appended) and clears IsSelectionChanged.
    void ShowSelectionForEdition(int StartID);
    // Recounts the selection, switches the commands that need one and writes the status line.
    void ShowSelectionOptionsMenu(int StartID);
    void ListAllZonesActionExecute();
    // A click on the list's label "Objects:" lists every venue object, as the command does.
    void Label8Click();
    // Lists every zone and ornament, keeping the tab shown (and its list item) as it was.
    void ListAllVenueObjectsKeepingShown();
    void ListSelectedVenueObjects();
    // The venue list's selected item highlights the object of its tab (none: no highlight); the status
    // line names the object shown beside the selection it summarises. A key released in the list does
    // the same, so moving through it highlights each object in turn.
    void ZonesListBoxClick();
    void ZonesListBoxKeyUp();
    // "2 Objects Selected, 1 Cabinets, 1 Zones", or empty with nothing selected (counted beforehand).
    std::string SelectionSummary() const;
    // The tabs' captions after a removal or a rename, as each kind writes them; each object's Tag
    // becomes its tab's index.
    void SortVenueTabs();
    void ShowPage(TMainPage Page);
    TMainPage CurrentPage() const { return static_cast<TMainPage>(static_cast<int>(MainTabControl.Value())); }

private:
    TEditor& ed_;
};

} // namespace vendrel
