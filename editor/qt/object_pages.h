#pragma once
// The window's pages of placed objects: the venue page (the zone commands, the venue object list and
// one page per zone tab holding the zone's panel) and the cabinets page (the add command and the list
// of cabinet rows). It creates and frees the panels the editor asks for, and mirrors the editor's zone
// tabs and venue list.

#include "editor/object_panels.h"

#include <QObject>

#include <vector>

class QListWidget;
class QScrollArea;
class QStackedWidget;
class QVBoxLayout;
class QWidget;

namespace vendrel {

class TEditor;

class TObjectPages : public QObject, public IObjectPanels {
    Q_OBJECT
public:
    // Builds the widgets into the command columns and panel areas of the two pages.
    TObjectPages(TEditor& Editor, QWidget* VenueMenu, QWidget* VenueArea, QWidget* CabinetMenu,
                 QWidget* CabinetArea);
    ~TObjectPages() override;

    // IObjectPanels
    ICabinetPanel* NewCabinetPanel(TCabinet& Cabinet, const std::string& Name) override;
    IZonePanel* NewZonePanel(TMappingZone& Zone, int TabIndex) override;
    void FreePanel(IObjectPanel* Panel) override;
    void SortCabinetsFrames() override;

    // Every object forgets its panel (the window is going).
    void DetachAll();

    QStackedWidget* ZonesTabControl() const { return zoneStack_; }
    QListWidget* ZonesListBox() const { return zonesList_; }
    QWidget* CabinetScrollBox() const { return cabinetList_; }

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void mirrorTabs();
    void placeCabinetHeader();
    void mirrorList();

    TEditor& ed_;
    QStackedWidget* zoneStack_ = nullptr;
    QWidget* blankPage_ = nullptr;
    std::vector<QWidget*> zonePages_; // one per zone tab, in the tabs' order
    QListWidget* zonesList_ = nullptr;
    QScrollArea* cabinetScroll_ = nullptr;
    QWidget* cabinetList_ = nullptr;
    QVBoxLayout* cabinetRows_ = nullptr;
    QWidget* cabinetHeader_ = nullptr;
    std::vector<QWidget*> headerLabels_;
};

} // namespace vendrel
