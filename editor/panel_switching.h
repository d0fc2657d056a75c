#pragma once
// Property panel switching and object lists.
//
// When the selection changes, the window shows the panels of the selected objects (a zone's tab, a
// cabinet's row), brings the page of the last one to the front, writes a summary of the selection into
// the status line and lists the selected zones in the venue object list, whose items carry the index
// of their object's tab.

#include "editor/ui_values.h"

namespace vendrel {

class TEditor;
class TObject;

// The pages of the window's main tab control.
enum class TMainPage : int {
    LineArrayTabItem = 0,
    VenueAndZonesTabItem = 1,
    CabinetsTabItem = 2,
    BeamSteeringTabItem = 3,
    SoundSystemTabItem = 4,
    DSPTabItem = 5,
    FreqRespTabItem = 6,
};

class TPanelSwitching {
public:
    explicit TPanelSwitching(TEditor& Editor);

    TUITabs ZonesTabControl;             // one tab per zone (its strip is not shown)
    TUIListBox ZonesListBox;             // "Objects:"
    TUIRange MainTabControl{0, 8, 1, 1}; // the page in front (TMainPage)
    TUIText StatusLabel;                 // the status line
    TUIAction ListAllZonesAction{"List All Venue Objects"};

    // Shows the panels of the selection from StartID on (-1, 0 or the index of the object just
    // appended) and clears IsSelectionChanged.
    void ShowSelectionForEdition(int StartID);
    // Recounts the selection, switches the commands that need one and writes the status line.
    void ShowSelectionOptionsMenu(int StartID);
    void ListAllZonesActionExecute();
    void ListSelectedVenueObjects();
    // The venue list's selected item highlights the object of its tab (none: no highlight).
    void ZonesListBoxClick();
    // The tabs' captions after a removal or a rename: "Zone " + (number + 1) + ": " + name; each zone's
    // Tag becomes its tab's index.
    void SortVenueTabs();

private:
    void showPage(TMainPage Page);

    TEditor& ed_;
};

} // namespace vendrel
