#include "editor/qt/object_pages.h"

#include "acoustics/cabinet.h"
#include "acoustics/mapping_zone.h"
#include "acoustics/project.h"
#include "editor/editor.h"
#include "editor/qt/ui_bindings.h"
#include "panels/cabinet_panel.h"
#include "panels/zone_panel.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollArea>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace vendrel {

namespace {

QToolButton* commandButton(QWidget* parent, QAction* action, const char* name) {
    auto* b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setDefaultAction(action);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return b;
}

// The venue list takes the editor's item on a click and on a key released in it.
class ZonesList : public QListWidget {
public:
    ZonesList(TEditor& ed, QWidget* parent) : QListWidget(parent), ed_(ed) {}

protected:
    void keyReleaseEvent(QKeyEvent* e) override {
        QListWidget::keyReleaseEvent(e);
        clicked();
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        QListWidget::mouseReleaseEvent(e);
        clicked();
    }

private:
    void clicked() {
        TUIListBox& list = ed_.PanelSwitching.ZonesListBox;
        const int row = currentRow();
        list.SetItemIndex(row >= 0 && row < list.Count() ? row : -1);
        ed_.PanelSwitching.ZonesListBoxClick();
    }
    TEditor& ed_;
};

} // namespace

TObjectPages::TObjectPages(TEditor& Editor, QWidget* VenueMenu, QWidget* VenueArea, QWidget* CabinetMenu,
                           QWidget* CabinetArea)
    : QObject(VenueArea), ed_(Editor) {
    TAddObjects& add = ed_.Adding;

    // The venue page: commands and the object list beside the zone panels.
    auto* venueCommands = new QVBoxLayout(VenueMenu);
    venueCommands->setContentsMargins(2, 2, 2, 2);
    venueCommands->addWidget(
        commandButton(VenueMenu, MakeAction(VenueMenu, add.AddSurfaceButton), "AddSurfaceButton"));
    venueCommands->addWidget(
        commandButton(VenueMenu, MakeAction(VenueMenu, add.AddTrapeziumButton), "AddTrapeziumButton"));
    venueCommands->addWidget(
        commandButton(VenueMenu, MakeAction(VenueMenu, add.DrawSurfaceAction), "DrawSurfaceButton"));
    auto* objects = new QLabel(QStringLiteral("Objects:"), VenueMenu);
    objects->setObjectName(QStringLiteral("Label8"));
    venueCommands->addWidget(objects);
    zonesList_ = new ZonesList(ed_, VenueMenu);
    zonesList_->setObjectName(QStringLiteral("ZonesListBox"));
    venueCommands->addWidget(zonesList_, 1);
    venueCommands->addWidget(commandButton(
        VenueMenu, MakeAction(VenueMenu, ed_.PanelSwitching.ListAllZonesAction), "ListAllZonesButton"));

    auto* venuePanels = new QVBoxLayout(VenueArea);
    venuePanels->setContentsMargins(0, 0, 0, 0);
    // A page narrower or lower than a zone panel scrolls it instead of squeezing its fields.
    auto* zoneScroll = new QScrollArea(VenueArea);
    zoneScroll->setObjectName(QStringLiteral("ZonesScroll"));
    zoneScroll->setFrameShape(QFrame::NoFrame);
    zoneScroll->setWidgetResizable(true);
    zoneStack_ = new QStackedWidget();
    zoneStack_->setObjectName(QStringLiteral("ZonesTabControl"));
    blankPage_ = new QWidget(zoneStack_);
    zoneStack_->addWidget(blankPage_);
    zoneScroll->setWidget(zoneStack_);
    venuePanels->addWidget(zoneScroll);

    // The cabinets page: the add command and the rows of the loose cabinets.
    auto* cabinetCommands = new QVBoxLayout(CabinetMenu);
    cabinetCommands->setContentsMargins(2, 2, 2, 2);
    cabinetCommands->addWidget(
        commandButton(CabinetMenu, MakeAction(CabinetMenu, add.AddCabinetAction), "AddCabinetB"));
    cabinetCommands->addStretch(1);
    auto* cabinetPanels = new QVBoxLayout(CabinetArea);
    cabinetPanels->setContentsMargins(0, 0, 0, 0);
    cabinetPanels->setSpacing(0);
    // Column titles over the rows, placed over the first shown row's fields.
    cabinetHeader_ = new QWidget(CabinetArea);
    cabinetHeader_->setObjectName(QStringLiteral("CabinetListHeader"));
    cabinetHeader_->setFixedHeight(18);
    for (const char* title : {"X", "Y", "Z", "Rot X", "Rot Y", "Rot Z"}) {
        auto* label = new QLabel(QString::fromLatin1(title), cabinetHeader_);
        label->setAlignment(Qt::AlignCenter);
        headerLabels_.push_back(label);
    }
    cabinetPanels->addWidget(cabinetHeader_);
    cabinetScroll_ = new QScrollArea(CabinetArea);
    cabinetScroll_->setObjectName(QStringLiteral("CabinetScroll"));
    cabinetScroll_->setWidgetResizable(true);
    cabinetList_ = new QWidget();
    cabinetList_->setObjectName(QStringLiteral("CabinetScrollBox"));
    cabinetRows_ = new QVBoxLayout(cabinetList_);
    cabinetRows_->setContentsMargins(0, 0, 0, 0);
    cabinetRows_->setSpacing(1);
    cabinetRows_->addStretch(1);
    cabinetScroll_->setWidget(cabinetList_);
    cabinetPanels->addWidget(cabinetScroll_);
    cabinetList_->installEventFilter(this);

    TUITabs& tabs = ed_.PanelSwitching.ZonesTabControl;
    tabs.OnAdded = [this](int index) {
        auto* page = new QWidget(zoneStack_);
        auto* layout = new QVBoxLayout(page);
        layout->setContentsMargins(0, 0, 0, 0);
        zonePages_.insert(zonePages_.begin() + index, page);
        zoneStack_->insertWidget(index + 1, page);
    };
    tabs.OnDeleted = [this](int index) {
        QWidget* page = zonePages_.at(static_cast<size_t>(index));
        zonePages_.erase(zonePages_.begin() + index);
        zoneStack_->removeWidget(page);
        page->deleteLater();
    };
    tabs.OnMirror = [this] { mirrorTabs(); };
    ed_.PanelSwitching.ZonesListBox.OnMirror = [this] { mirrorList(); };
}

TObjectPages::~TObjectPages() {
    TUITabs& tabs = ed_.PanelSwitching.ZonesTabControl;
    tabs.OnAdded = nullptr;
    tabs.OnDeleted = nullptr;
    tabs.OnMirror = nullptr;
    ed_.PanelSwitching.ZonesListBox.OnMirror = nullptr;
}

void TObjectPages::DetachAll() {
    for (const auto& cabinet : ed_.Project.Cabinets()) {
        DetachPanel(*cabinet);
    }
    for (const auto& zone : ed_.Project.MappingZones()) {
        DetachPanel(*zone);
    }
}

void TObjectPages::mirrorTabs() {
    const TUITabs& tabs = ed_.PanelSwitching.ZonesTabControl;
    const int index = tabs.TabIndex();
    if (index >= 0 && index < static_cast<int>(zonePages_.size()) && tabs.Items(index).Visible) {
        zoneStack_->setCurrentWidget(zonePages_[static_cast<size_t>(index)]);
    } else {
        zoneStack_->setCurrentWidget(blankPage_);
    }
}

void TObjectPages::mirrorList() {
    const TUIListBox& list = ed_.PanelSwitching.ZonesListBox;
    const QSignalBlocker block(zonesList_);
    zonesList_->clear();
    for (int i = 0; i < list.Count(); ++i) {
        zonesList_->addItem(QStr(list.Items(i).Text));
    }
    zonesList_->setCurrentRow(list.ItemIndex());
}

ICabinetPanel* TObjectPages::NewCabinetPanel(TCabinet& Cabinet, const std::string& Name) {
    auto* row = new TCabinetsFr(ed_.PanelHost, cabinetList_);
    row->setObjectName(QStr(Name));
    row->AsignedCabinet = &Cabinet;
    cabinetRows_->insertWidget(cabinetRows_->count() - 1, row);
    return row;
}

IZonePanel* TObjectPages::NewZonePanel(TMappingZone& Zone, int TabIndex) {
    QWidget* page = zonePages_.at(static_cast<size_t>(TabIndex));
    auto* panel = new TZoneFr(ed_.PanelHost, page);
    page->layout()->addWidget(panel);
    static_cast<QVBoxLayout*>(page->layout())->addStretch(1);
    panel->Assign(Zone);
    return panel;
}

void TObjectPages::FreePanel(IObjectPanel* Panel) {
    auto* widget = dynamic_cast<QWidget*>(Panel);
    if (widget == nullptr) {
        return;
    }
    // Out of its page at once, freed once the event loop runs: the panel may be freeing itself from one
    // of its own handlers.
    widget->hide();
    widget->setParent(nullptr);
    widget->deleteLater();
}

bool TObjectPages::eventFilter(QObject* Watched, QEvent* Event) {
    // The titles follow the rows: laid out again, resized, scrolled sideways, or shown with their page.
    if (Watched == cabinetList_ &&
        (Event->type() == QEvent::LayoutRequest || Event->type() == QEvent::Resize ||
         Event->type() == QEvent::Move || Event->type() == QEvent::Show)) {
        QMetaObject::invokeMethod(
            this, [this] { placeCabinetHeader(); }, Qt::QueuedConnection);
    }
    return QObject::eventFilter(Watched, Event);
}

void TObjectPages::placeCabinetHeader() {
    for (int i = 0; i < cabinetRows_->count(); ++i) {
        auto* row = qobject_cast<TCabinetsFr*>(cabinetRows_->itemAt(i)->widget());
        if (row == nullptr || !row->isVisibleTo(cabinetList_)) {
            continue;
        }
        const QLineEdit* fields[] = {row->XCabBox,    row->ZCabBox,    row->YCabBox,
                                     row->RotXCabBox, row->RotZCabBox, row->RotYCabBox};
        for (size_t k = 0; k < headerLabels_.size(); ++k) {
            const QPoint at = fields[k]->mapTo(cabinetHeader_->window(), QPoint(0, 0));
            const QPoint local = cabinetHeader_->mapFrom(cabinetHeader_->window(), at);
            headerLabels_[k]->setGeometry(local.x(), 0, fields[k]->width(), cabinetHeader_->height());
            headerLabels_[k]->show();
        }
        return;
    }
    // No row shown: no titles over an empty list.
    for (QWidget* label : headerLabels_) {
        label->hide();
    }
}

void TObjectPages::SortCabinetsFrames() {
    int at = 0;
    for (const auto& cabinet : ed_.Project.Cabinets()) {
        if (auto* row = dynamic_cast<QWidget*>(PanelOf<ICabinetPanel>(*cabinet))) {
            cabinetRows_->removeWidget(row);
            cabinetRows_->insertWidget(at++, row);
        }
    }
}

} // namespace vendrel
