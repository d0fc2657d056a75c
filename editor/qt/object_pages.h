#pragma once
// The window's pages of placed objects, as a registry by kind. TObjectPages builds the pages of the
// main tab control (TMainPage), each with a command column and a panel area, a tab stack mirroring the
// editor's tab control where the page has one (venue, line arrays, steered columns) and, on the venue
// page, the venue object list. Each kind registers a page factory (TKindPage, in editor/qt/<kind>_page.cpp,
// listed in kind_pages.cpp) that adds its commands to its page and builds its panels there: in the
// tab of the object, or as a row of the page's row list.

#include "editor/main_pages.h"
#include "editor/object_panels.h"

#include <QObject>

#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QListWidget;
class QStackedWidget;
class QTabWidget;
class QVBoxLayout;
class QWidget;

namespace vendrel {

class TEditor;
class TActionTable;
class TRowList;
class TUITabs;

// The parts of one page that kinds build into.
struct TPageParts {
    TMainPage Page = TMainPage::CabinetsTabItem;
    QWidget* Widget = nullptr;   // the page itself
    QWidget* Commands = nullptr; // the command column (null: the page has none)
    QVBoxLayout* CommandLayout = nullptr;
    int CommandCount = 0;    // commands added by kinds stand first, in order
    QWidget* Area = nullptr; // the panel area, whose width follows the window
    QVBoxLayout* AreaLayout = nullptr;
    QStackedWidget* Tabs = nullptr; // one page per tab of the editor's tab control of the page
    std::vector<QWidget*> TabPages;
    TRowList* Rows = nullptr; // the row list, made by the kind whose panels are rows

    // Appends a command button of the column (before the page's own widgets).
    void AddCommand(QWidget* Command);
};

// A kind's page factory.
class TKindPage {
public:
    virtual ~TKindPage() = default;
    // The exact class of the kind's objects ("TCabinet").
    virtual std::string KindName() const = 0;
    virtual TMainPage Page() const = 0;
    // Adds the kind's commands and containers to its page (once, at registration).
    virtual void Build(TPageParts&) {}
    // The panel of Obj in its place on the page.
    virtual IObjectPanel* NewPanel(TQzControl3D& Obj, const TPanelRequest& Request, TPageParts& Parts) = 0;
};

class TObjectPages : public QObject, public IObjectPanels {
    Q_OBJECT
public:
    // Adds the pages of the placed objects to the main tab control.
    TObjectPages(TEditor& Editor, TActionTable& Actions, QTabWidget* MainTabs);
    ~TObjectPages() override;

    // A kind's page factory; it builds its commands into its page at once.
    void Register(std::unique_ptr<TKindPage> Page);

    // IObjectPanels
    IObjectPanel* NewPanel(TQzControl3D& Obj, const TPanelRequest& Request) override;
    void FreePanel(IObjectPanel* Panel) override;
    void SortRows(const std::string& KindName, const std::vector<IObjectPanel*>& Rows) override;

    // Every object forgets its panel (the window is going).
    void DetachAll();

    TPageParts& Parts(TMainPage Page) { return parts_[static_cast<size_t>(Page)]; }
    // The panel areas whose widths follow the window.
    const std::vector<QWidget*>& LayoutAreas() const { return layoutAreas_; }
    TEditor& Editor() const { return ed_; }
    TActionTable& Actions() const { return actions_; }

    QStackedWidget* ZonesTabControl() { return Parts(TMainPage::VenueAndZonesTabItem).Tabs; }
    QListWidget* ZonesListBox() const { return zonesList_; }

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void buildTabStack(TPageParts& Parts, TUITabs& Tabs);
    void buildVenueList(TPageParts& Parts);
    void mirrorList();

    TEditor& ed_;
    TActionTable& actions_;
    std::array<TPageParts, kMainPageCount> parts_;
    std::map<std::string, std::unique_ptr<TKindPage>> pages_;
    std::vector<QWidget*> layoutAreas_;
    std::vector<TUITabs*> boundTabs_;
    QListWidget* zonesList_ = nullptr;
    QWidget* label8_ = nullptr;
};

} // namespace vendrel
