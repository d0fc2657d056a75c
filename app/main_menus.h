#pragma once
// Every command of the main window's menus, as one table: each menu item is a command of the editor,
// the documents or the window (TUIAction), shown by one QAction (TActionTable) that every menu and
// button shares. The window builds its menu bar and its scene menu from the table.

#include "editor/ui_values.h"

#include <string>
#include <vector>

class QMenu;
class QMenuBar;

namespace vendrel {

class TEditor;
class TDocuments;
class TActionTable;

// The window's own commands.
struct TWindowCommands {
    TWindowCommands();
    TUIAction SaveReportAction{"Save Report"};
    TUIAction ExitAction{"Exit"};
    TUIAction LeftToolPanelItem{"View Tools"};
    TUIAction SPLBarPanelItem{"Level Colour Bar"};
    TUIAction ConfigPanelItem{"Configuration Panel"};
    TUIAction ShortCutsItem{"Show Short Cuts"};
    TUIAction DumpLogMenuItem{"Show DumpLog"};
    TUIAction AboutItem{"About"};
    // "Show Panel": the pages of the main tab control.
    TUIAction ShowVenuePage{"Venue and Zones"};
    TUIAction ShowArraysPage{"Line Arrays"};
    TUIAction ShowCabinetsPage{"Cabinets"};
    TUIAction ShowResponsePage{"Frequency Response"};
};

// One row of the table: the menu ("&File") and submenu it stands in, its command (null: a separator,
// or with a submenu and a name, an empty submenu the window fills itself) and the QAction's name.
struct TMenuItem {
    const char* Menu;
    const char* SubMenu;
    TUIAction* Action;
    const char* Name;
};

std::vector<TMenuItem> MainMenuTable(TEditor& Editor, TDocuments& Documents, TWindowCommands& Window);
// The scene's context menu.
std::vector<TMenuItem> SceneMenuTable(TEditor& Editor);

// Builds the menus of the table into the menu bar (or one menu); returns the submenus by name.
void BuildMenus(QMenuBar* Bar, QMenu* Single, const std::vector<TMenuItem>& Table, TActionTable& Actions,
                std::vector<std::pair<std::string, QMenu*>>* Named = nullptr);

} // namespace vendrel
