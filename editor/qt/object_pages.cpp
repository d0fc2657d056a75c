#include "editor/qt/object_pages.h"

#include "editor/editor.h"
#include "editor/qt/ui_bindings.h"
#include "panels/object_panel.h"
#include "panels/row_list.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace vendrel {

namespace {

// The pages of the main tab control: caption, object name and width of the command column (0: none).
struct TPageRow {
    TMainPage Page;
    const char* Caption;
    const char* Name;
    int MenuWidth;
};
constexpr TPageRow kPages[] = {
    {TMainPage::LineArrayTabItem, "Line Arrays", "LineArrayTabItem", 150},
    {TMainPage::VenueAndZonesTabItem, "Venue and Zones", "VenueAndZonesTabItem", 150},
    {TMainPage::CabinetsTabItem, "Cabinets", "CabinetsTabItem", 150},
    {TMainPage::BeamSteeringTabItem, "Beam Steering", "BeamSteeringTabItem", 0},
    {TMainPage::SoundSystemTabItem, "Sound Systems", "SoundSystemTabItem", 0},
    {TMainPage::DSPTabItem, "DSP", "DSPTabItem", 150},
    {TMainPage::FreqRespTabItem, "Frequency Response", "FreqRespTabItem", 0},
    {TMainPage::DistributionTabItem, "Distribution", "DistributionTabItem", 0},
};

// The venue list takes the editor's item on a click and on a key released in it.
class ZonesList : public QListWidget {
public:
    ZonesList(TEditor& ed, QWidget* parent) : QListWidget(parent), ed_(ed) {}

protected:
    void keyReleaseEvent(QKeyEvent* e) override {
        QListWidget::keyReleaseEvent(e);
        take();
        ed_.PanelSwitching.ZonesListBoxKeyUp();
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        QListWidget::mouseReleaseEvent(e);
        take();
        ed_.PanelSwitching.ZonesListBoxClick();
    }

private:
    void take() {
        TUIListBox& list = ed_.PanelSwitching.ZonesListBox;
        const int row = currentRow();
        list.SetItemIndex(row >= 0 && row < list.Count() ? row : -1);
    }
    TEditor& ed_;
};

} // namespace

void TPageParts::AddCommand(QWidget* Command) {
    if (CommandLayout != nullptr) {
        CommandLayout->insertWidget(CommandCount++, Command);
    }
}

TObjectPages::TObjectPages(TEditor& Editor, TActionTable& Actions, QTabWidget* MainTabs)
    : QObject(MainTabs), ed_(Editor), actions_(Actions) {
    for (const TPageRow& row : kPages) {
        TPageParts& parts = Parts(row.Page);
        parts.Page = row.Page;
        auto* page = new QWidget(MainTabs);
        page->setObjectName(QString::fromLatin1(row.Name));
        parts.Widget = page;
        auto* line = new QHBoxLayout(page);
        line->setContentsMargins(0, 0, 0, 0);
        if (row.MenuWidth > 0) {
            parts.Commands = new QWidget(page);
            parts.Commands->setFixedWidth(row.MenuWidth);
            parts.CommandLayout = new QVBoxLayout(parts.Commands);
            parts.CommandLayout->setContentsMargins(2, 2, 2, 2);
            parts.CommandLayout->addStretch(1);
            line->addWidget(parts.Commands);
            parts.Area = new QWidget(page);
            parts.AreaLayout = new QVBoxLayout(parts.Area);
            parts.AreaLayout->setContentsMargins(0, 0, 0, 0);
            parts.AreaLayout->setSpacing(0);
            line->addWidget(parts.Area, 1);
            parts.Area->setProperty("menuWidth", row.MenuWidth);
            layoutAreas_.push_back(parts.Area);
        }
        MainTabs->addTab(page, QString::fromLatin1(row.Caption));
        if (TUITabs* tabs = ed_.PanelSwitching.TabsOf(row.Page); tabs != nullptr && parts.Area != nullptr) {
            buildTabStack(parts, *tabs);
        }
    }
    buildVenueList(Parts(TMainPage::VenueAndZonesTabItem));
}

TObjectPages::~TObjectPages() {
    for (TUITabs* tabs : boundTabs_) {
        tabs->OnAdded = nullptr;
        tabs->OnDeleted = nullptr;
        tabs->OnMirror = nullptr;
    }
    ed_.PanelSwitching.ZonesListBox.OnMirror = nullptr;
}

void TObjectPages::buildTabStack(TPageParts& Parts, TUITabs& Tabs) {
    // A page narrower or lower than a panel scrolls it instead of squeezing its fields.
    auto* scroll = new QScrollArea(Parts.Area);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    auto* stack = new QStackedWidget();
    auto* blank = new QWidget(stack);
    stack->addWidget(blank);
    scroll->setWidget(stack);
    Parts.AreaLayout->addWidget(scroll);
    Parts.Tabs = stack;
    if (Parts.Page == TMainPage::VenueAndZonesTabItem) {
        scroll->setObjectName(QStringLiteral("ZonesScroll"));
        stack->setObjectName(QStringLiteral("ZonesTabControl"));
    }
    TPageParts* parts = &Parts;
    TUITabs* tabs = &Tabs;
    Tabs.OnAdded = [parts](int index) {
        auto* page = new QWidget(parts->Tabs);
        auto* layout = new QVBoxLayout(page);
        layout->setContentsMargins(0, 0, 0, 0);
        parts->TabPages.insert(parts->TabPages.begin() + index, page);
        parts->Tabs->insertWidget(index + 1, page);
    };
    Tabs.OnDeleted = [parts](int index) {
        QWidget* page = parts->TabPages.at(static_cast<size_t>(index));
        parts->TabPages.erase(parts->TabPages.begin() + index);
        parts->Tabs->removeWidget(page);
        page->deleteLater();
    };
    Tabs.OnMirror = [parts, tabs, blank] {
        const int index = tabs->TabIndex();
        if (index >= 0 && index < static_cast<int>(parts->TabPages.size()) && tabs->Items(index).Visible) {
            parts->Tabs->setCurrentWidget(parts->TabPages[static_cast<size_t>(index)]);
        } else {
            parts->Tabs->setCurrentWidget(blank);
        }
    };
    boundTabs_.push_back(&Tabs);
}

void TObjectPages::buildVenueList(TPageParts& Parts) {
    QWidget* column = Parts.Commands;
    QVBoxLayout* layout = Parts.CommandLayout;
    // After the kinds' commands: "Objects:", the list, and the command that lists every venue object.
    layout->takeAt(layout->count() - 1); // the stretch
    auto* objects = new QLabel(QStringLiteral("Objects:"), column);
    objects->setObjectName(QStringLiteral("Label8"));
    objects->setCursor(Qt::PointingHandCursor);
    objects->installEventFilter(this);
    label8_ = objects;
    layout->addWidget(objects);
    zonesList_ = new ZonesList(ed_, column);
    zonesList_->setObjectName(QStringLiteral("ZonesListBox"));
    layout->addWidget(zonesList_, 1);
    auto* listAll = new QToolButton(column);
    listAll->setObjectName(QStringLiteral("ListAllZonesButton"));
    listAll->setDefaultAction(actions_.Of(ed_.PanelSwitching.ListAllZonesAction));
    listAll->setToolButtonStyle(Qt::ToolButtonTextOnly);
    listAll->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    layout->addWidget(listAll);
    ed_.PanelSwitching.ZonesListBox.OnMirror = [this] { mirrorList(); };
}

void TObjectPages::mirrorList() {
    const TUIListBox& list = ed_.PanelSwitching.ZonesListBox;
    const QSignalBlocker block(zonesList_);
    zonesList_->clear();
    for (int i = 0; i < list.Count(); ++i) {
        zonesList_->addItem(QString::fromStdString(list.Items(i).Text));
    }
    zonesList_->setCurrentRow(list.ItemIndex());
}

bool TObjectPages::eventFilter(QObject* Watched, QEvent* Event) {
    if (Watched == label8_ && Event->type() == QEvent::MouseButtonRelease) {
        ed_.PanelSwitching.Label8Click();
        return true;
    }
    return QObject::eventFilter(Watched, Event);
}

void TObjectPages::Register(std::unique_ptr<TKindPage> Page) {
    TKindPage& page = *Page;
    const std::string name = page.KindName();
    pages_[name] = std::move(Page);
    page.Build(Parts(page.Page()));
}

IObjectPanel* TObjectPages::NewPanel(TQzControl3D& Obj, const TPanelRequest& Request) {
    const auto it = pages_.find(Request.KindName);
    if (it == pages_.end()) {
        return nullptr;
    }
    return it->second->NewPanel(Obj, Request, Parts(it->second->Page()));
}

void TObjectPages::FreePanel(IObjectPanel* Panel) {
    auto* widget = dynamic_cast<QWidget*>(Panel);
    if (widget == nullptr) {
        return;
    }
    for (TPageParts& parts : parts_) {
        if (parts.Rows != nullptr && widget->parentWidget() == parts.Rows->Rows()) {
            parts.Rows->RemoveRow(widget);
            return;
        }
    }
    // Out of its page at once, freed once the event loop runs: the panel may be freeing itself from one
    // of its own handlers.
    widget->hide();
    widget->setParent(nullptr);
    widget->deleteLater();
}

void TObjectPages::SortRows(const std::string& KindName, const std::vector<IObjectPanel*>& Rows) {
    const auto it = pages_.find(KindName);
    if (it == pages_.end()) {
        return;
    }
    TPageParts& parts = Parts(it->second->Page());
    if (parts.Rows == nullptr) {
        return;
    }
    std::vector<QWidget*> order;
    for (IObjectPanel* panel : Rows) {
        if (auto* w = dynamic_cast<QWidget*>(panel)) {
            order.push_back(w);
        }
    }
    parts.Rows->SortRows(order);
}

void TObjectPages::DetachAll() {
    for (TObjectKind* kind : ed_.Kinds.All()) {
        kind->ForEachObject([](TQzControl3D& obj) { DetachPanel(obj); });
    }
}

} // namespace vendrel
