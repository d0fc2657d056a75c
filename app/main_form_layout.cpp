// The main window's layout, navigation, units and status figures.

#include "acoustics/memory_budget.h"
#include "acoustics/physical_space.h"
#include "acoustics/project.h"
#include "app/about_form.h"
#include "app/crash_log.h"
#include "app/main_form.h"
#include "app/main_menus.h"
#include "editor/documents.h"
#include "editor/editor.h"
#include "editor/qt/detached_window.h"
#include "editor/qt/developer_tab.h"
#include "editor/qt/distribution_panel.h"
#include "editor/qt/kind_pages.h"
#include "editor/qt/map_bar.h"
#include "editor/qt/object_pages.h"
#include "editor/qt/response_chart_widget.h"
#include "editor/qt/tool_controls.h"
#include "editor/qt/ui_bindings.h"
#include "editor/qt/view_tools.h"
#include "editor/qt/viewport_panel.h"
#include "platform/core/mem_ini_file.h"
#include "platform/core/system_helpers.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDoubleSpinBox>
#include <QFontMetrics>
#include <QFormLayout>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTextDocument>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>

namespace vendrel {

namespace fs = std::filesystem;

namespace {

constexpr const char* kShortCutsText = "F1    3D View\n"
                                       "F2    Side View\n"
                                       "F3    Top View (again: turn half a turn)\n"
                                       "F4    Front View (again: turn half a turn)\n"
                                       "I / O    Zoom In / Zoom Out\n"
                                       "F    Zoom to Fit Selection\n"
                                       "R    Render (Esc stops it)\n"
                                       "C    Clear Mapping Colors\n"
                                       "L    Objects intersect with Listening surfaces\n"
                                       "Wheel    Zoom towards the mouse\n"
                                       "Ctrl+Wheel / Shift+Wheel    Scroll\n"
                                       "Middle drag    Turn the 3D view\n"
                                       "Shift+Middle drag    Pan\n"
                                       "Ctrl+Shift+Left drag    Select by area (2D views)\n"
                                       "F6 / F7    Throw / Coverage Lines\n"
                                       "F8 / F9    Grid Venue / Zone Edges";

} // namespace

void TMainForm::buildMenus() {
    TEditor& ed = *Editor;
    TWindowCommands& w = Commands;
    w.SaveReportAction.OnExecute = [this] { SaveReportActionExecute(); };
    w.ExitAction.OnExecute = [this] { ExitActionExecute(); };
    w.LeftToolPanelItem.OnExecute = [this] { LeftToolPanelItemClick(); };
    w.SPLBarPanelItem.OnExecute = [this] { SPLBarPanelItemClick(); };
    w.ConfigPanelItem.OnExecute = [this] { ConfigPanelItemClick(); };
    w.ShortCutsItem.OnExecute = [this] { ShortCutsItemClick(); };
    w.DumpLogMenuItem.OnExecute = [this] { DumpLogMenuItemClick(); };
    w.AboutItem.OnExecute = [this] { AboutItemClick(); };
    const auto page = [&ed](TMainPage Page) { return [&ed, Page] { ed.PanelSwitching.ShowPage(Page); }; };
    w.ShowVenuePage.OnExecute = page(TMainPage::VenueAndZonesTabItem);
    w.ShowArraysPage.OnExecute = page(TMainPage::LineArrayTabItem);
    w.ShowCabinetsPage.OnExecute = page(TMainPage::CabinetsTabItem);
    w.ShowResponsePage.OnExecute = page(TMainPage::FreqRespTabItem);
    // The preferences' mapping page comes with the preferences window.
    ed.Render.RenderConfigItem.SetVisible(false);

    std::vector<std::pair<std::string, QMenu*>> named;
    BuildMenus(menuBar(), nullptr, MainMenuTable(ed, *Documents, w), *actions_, &named);
    for (const auto& [name, menu] : named) {
        if (name == "ReOpenItem") {
            reOpenItem_ = menu;
        }
    }
    for (QMenu* menu : menuBar()->findChildren<QMenu*>()) {
        if (menu->title() == QStringLiteral("&Options")) {
            menu->setObjectName(QStringLiteral("OptionsMenu"));
        }
    }

    // The band and centre-frequency lists sit in the menu bar, before the logo.
    auto* corner = new QWidget(menuBar());
    auto* cornerRow = new QHBoxLayout(corner);
    cornerRow->setContentsMargins(0, 0, 4, 0);
    auto* bands = new QComboBox(corner);
    bands->setObjectName(QStringLiteral("FreqBandsCombo"));
    BindChoice(bands, ed.Render.FreqBandsCombo);
    cornerRow->addWidget(bands);
    auto* freqs = new QComboBox(corner);
    freqs->setObjectName(QStringLiteral("FreqsCombo"));
    freqs->setMaxVisibleItems(20);
    BindChoice(freqs, ed.Render.FreqsCombo);
    cornerRow->addWidget(freqs);
    logo_ = new QLabel(corner);
    logo_->setObjectName(QStringLiteral("LogoImage"));
    cornerRow->addWidget(logo_);
    menuBar()->setCornerWidget(corner, Qt::TopRightCorner);

    popupGlobalMenu_ = new QMenu(this);
    popupGlobalMenu_->setObjectName(QStringLiteral("PopupGlobalMenu"));
    BuildMenus(nullptr, popupGlobalMenu_, SceneMenuTable(ed), *actions_);
}

void TMainForm::buildCentralArea() {
    TEditor& ed = *Editor;
    auto* central = new QWidget(this);
    auto* splitter = new QSplitter(Qt::Vertical, central);
    auto* outer = new QVBoxLayout(central);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(splitter);

    auto* top = new QWidget(splitter);
    auto* row = new QHBoxLayout(top);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    viewTools_ = new TViewTools(ed, *actions_, top);
    panelViewTools_ = viewTools_;
    row->addWidget(panelViewTools_);
    viewportPanel_ = new TViewportPanel(ed, top);
    row->addWidget(viewportPanel_, 1);
    buildShortCutsMemo();

    // The level bar scrolls, too, in a window too low for it.
    auto* mapBarScroll = new QScrollArea(top);
    mapBarScroll->setFrameShape(QFrame::NoFrame);
    mapBarScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    mapBarScroll->setWidgetResizable(true);
    mapBar_ = new TMapBarPanel(ed, mapBarScroll);
    mapBarScroll->setWidget(mapBar_);
    panelMapBar_ = mapBarScroll;
    panelMapBar_->setObjectName(QStringLiteral("PanelMapBar"));
    // Room for the bar and, in a window too low for it, for the scroll bar beside it.
    panelMapBar_->setFixedWidth(112 + mapBarScroll->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    row->addWidget(panelMapBar_);

    panelControls_ = new QWidget(splitter);
    panelControls_->setObjectName(QStringLiteral("PanelControls"));
    auto* controls = new QVBoxLayout(panelControls_);
    controls->setContentsMargins(0, 0, 0, 0);
    mainTabs_ = new QTabWidget(panelControls_);
    mainTabs_->setObjectName(QStringLiteral("MainTabControl"));
    controls->addWidget(mainTabs_);
    // The pages of the placed objects, each kind's panels in its page.
    objectPages_ = new TObjectPages(ed, *actions_, mainTabs_);
    RegisterBuiltInPages(*objectPages_);
    ed.Panels = objectPages_;
    auto* developerScroll = new QScrollArea(mainTabs_);
    developerScroll->setObjectName(QStringLiteral("DeveloperTabItem"));
    developerTabWidget_ = new TDeveloperTab(ed, developerScroll);
    developerScroll->setWidget(developerTabWidget_);
    developerScroll->setWidgetResizable(true);
    developerTab_ = developerScroll;
    mainTabs_->addTab(developerTab_, QStringLiteral("Developer"));
    mainTabs_->setTabVisible(static_cast<int>(TMainPage::BeamSteeringTabItem), false);
    mainTabs_->setTabVisible(static_cast<int>(TMainPage::SoundSystemTabItem), false);
    mainTabs_->setTabVisible(DeveloperTabIndex(), false);
    connect(mainTabs_->tabBar(), &QTabBar::tabBarClicked, this,
            [this](int index) { MainTabItemClick(index); });
    BindPages(mainTabs_, ed.PanelSwitching.MainTabControl);
    buildResultPanels();

    splitter->addWidget(top);
    splitter->addWidget(panelControls_);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 1);
    setCentralWidget(central);
    setMinimumSize(550, 400);
}

void TMainForm::buildShortCutsMemo() {
    shortCutsMemo_ = new QPlainTextEdit(viewportPanel_);
    shortCutsMemo_->setObjectName(QStringLiteral("ShortCutsMemo"));
    shortCutsMemo_->setReadOnly(true);
    shortCutsMemo_->setPlainText(QString::fromLatin1(kShortCutsText));
    shortCutsMemo_->setLineWrapMode(QPlainTextEdit::NoWrap);
    shortCutsMemo_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    shortCutsMemo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    shortCutsMemo_->setFocusPolicy(Qt::NoFocus);
    // As large as its text, each line on one line, with room for the close mark on the first.
    const QFontMetrics metrics(shortCutsMemo_->font());
    int textWidth = 0;
    const QStringList lines = QString::fromLatin1(kShortCutsText).split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        textWidth = std::max(textWidth, metrics.horizontalAdvance(line));
    }
    const int chrome =
        2 * (static_cast<int>(shortCutsMemo_->document()->documentMargin()) + shortCutsMemo_->frameWidth());
    const int memoWidth = textWidth + chrome + 24;
    const int memoHeight = static_cast<int>(lines.size()) * metrics.lineSpacing() + chrome + 4;
    shortCutsMemo_->setGeometry(8, 8, memoWidth, memoHeight);
    auto* closeMark = new QToolButton(shortCutsMemo_);
    closeMark->setText(QStringLiteral("x"));
    closeMark->setObjectName(QStringLiteral("CloseSCPath"));
    closeMark->setGeometry(memoWidth - 22, 2, 18, 18);
    connect(closeMark, &QToolButton::clicked, this, [this] { CloseSCPathClick(); });
}

void TMainForm::buildStatusBar() {
    QStatusBar* bar = statusBar();
    statusLabel_ = new QLabel(bar);
    statusLabel_->setObjectName(QStringLiteral("StatusLabel"));
    BindText(statusLabel_, Editor->PanelSwitching.StatusLabel);
    bar->addWidget(statusLabel_, 1);
    showHideControlsCB_ = new QCheckBox(QStringLiteral("Hide Panels"), bar);
    showHideControlsCB_->setObjectName(QStringLiteral("ShowHideControlsCB"));
    bar->addWidget(showHideControlsCB_, 1);
    connect(showHideControlsCB_, &QCheckBox::clicked, this, [this] { ShowHideControlsCBClick(); });
    rectModified_ = new QLabel(QStringLiteral("\u25CF"), bar);
    rectModified_->setObjectName(QStringLiteral("RectModified"));
    rectModified_->setToolTip(QStringLiteral("The project has changes that are not saved"));
    rectModified_->setStyleSheet(QStringLiteral("color: #FF6060"));
    rectModified_->hide();
    bar->addPermanentWidget(rectModified_);
    progressBar_ = new QProgressBar(bar);
    progressBar_->setObjectName(QStringLiteral("ProgressBar"));
    progressBar_->setMaximumWidth(160);
    bar->addPermanentWidget(progressBar_);
    memoryLabel_ = new QLabel(bar);
    memoryLabel_->setObjectName(QStringLiteral("MemoryLabel"));
    bar->addPermanentWidget(memoryLabel_);
}

// ---------------------------------------------------------------------------------------------------
// Panels and tabs

void TMainForm::setPanelVisible(QWidget* Panel, const TUIAction& Item, const char* Key) {
    Panel->setVisible(Item.Checked());
    if (SettingsIni) {
        SettingsIni->WriteBool("Panels", Key, Item.Checked());
    }
}

void TMainForm::LeftToolPanelItemClick() {
    setPanelVisible(panelViewTools_, Commands.LeftToolPanelItem, "ViewTools");
}

void TMainForm::SPLBarPanelItemClick() {
    setPanelVisible(panelMapBar_, Commands.SPLBarPanelItem, "ViewSPLBar");
}

void TMainForm::ConfigPanelItemClick() {
    setPanelVisible(panelControls_, Commands.ConfigPanelItem, "ViewConfig");
    showHideControlsCB_->setChecked(!Commands.ConfigPanelItem.Checked());
}

void TMainForm::ShowHideControlsCBClick() {
    // The item takes the box's state from before the click, so a click toggles the panel.
    Commands.ConfigPanelItem.SetChecked(!showHideControlsCB_->isChecked());
    setPanelVisible(panelControls_, Commands.ConfigPanelItem, "ViewConfig");
}

void TMainForm::buildResultPanels() {
    TEditor& ed = *Editor;
    TPageParts& dist = objectPages_->Parts(TMainPage::DistributionTabItem);
    distribution_ = new TDistributionPanel(
        ed.Points.Distribution, [&ed] { return static_cast<int32_t>(ed.Points.DistributionStepsdB); },
        [&ed](int32_t steps) {
            ed.Points.DistributionStepsdB = static_cast<uint8_t>(steps);
            ed.Project.SetIsProjectModified(true);
        },
        dist.Widget);
    distribution_->setObjectName(QStringLiteral("DistributionFrame"));
    dist.Widget->layout()->addWidget(distribution_);
    ed.Points.Distribution.OnChanged = [this] { distribution_->Mirror(); };

    // Either panel moves into a window of its own and back into its tab when that window closes.
    const auto detachable = [this](QWidget* ExpandIcon, TMainPage Page, const QString& Caption, QSize Size,
                                   QSize Minimum, std::function<void(bool)> Detached) {
        auto* window = new TDetachedWindow(Caption, Size, Minimum, this);
        const int tab = static_cast<int>(Page);
        QWidget* home = objectPages_->Parts(Page).Widget;
        window->OnDetached = [this, tab, ExpandIcon, Detached] {
            ExpandIcon->hide();
            mainTabs_->setTabVisible(tab, false);
            Detached(true);
        };
        window->OnReturned = [this, tab, ExpandIcon, Detached] {
            mainTabs_->setTabVisible(tab, true);
            ExpandIcon->show();
            mainTabs_->setCurrentIndex(tab);
            Detached(false);
        };
        window->OnKey = [this](QKeyEvent* Event) {
            // The window's keys are the main window's: its commands' shortcuts run them here too.
            const QKeySequence keys(Event->keyCombination());
            for (QAction* a : findChildren<QAction*>()) {
                if (a->isEnabled() && !a->shortcut().isEmpty() &&
                    a->shortcut().matches(keys) == QKeySequence::ExactMatch) {
                    a->trigger();
                    return;
                }
            }
            keyPressEvent(Event);
        };
        return std::make_pair(window, home);
    };
    auto* response = objectPages_->Parts(TMainPage::FreqRespTabItem)
                         .Widget->findChild<QWidget*>(QStringLiteral("MicResponseFrame"));
    auto* chart = response != nullptr ? response->findChild<TResponseChartWidget*>() : nullptr;
    if (chart != nullptr) {
        auto [window, home] = detachable(
            chart->ExpandPath(), TMainPage::FreqRespTabItem, QStringLiteral("Frequency Meassurements"),
            QSize(1124, 250), QSize(800, 250), [&ed](bool on) { ed.Points.ResponseDetached = on; });
        window->setObjectName(QStringLiteral("FreqMeasForm"));
        connect(chart, &TResponseChartWidget::ExpandClicked, this,
                [window, response, home] { window->Detach(response, home); });
        responseWindow_ = window;
    }
    auto [window, home] =
        detachable(distribution_->ExpandPath(), TMainPage::DistributionTabItem,
                   QStringLiteral("% Distribution"), QSize(600, 300), QSize(400, 250), [](bool) {});
    window->setObjectName(QStringLiteral("DistributionForm"));
    connect(distribution_, &TDistributionPanel::ExpandClicked, this,
            [window, this, home] { window->Detach(distribution_, home); });
    distributionWindow_ = window;
}

void TMainForm::MainTabItemClick(int Index) {
    if (SettingsIni) {
        SettingsIni->WriteInteger("MainForm", "TabIndex", Index);
    }
    if (Index == static_cast<int>(TMainPage::DistributionTabItem)) {
        Editor->Points.ShowDistribution();
    }
    developerTabWidget_->ShowInputHitTest();
}

void TMainForm::ShortCutsItemClick() {
    shortCutsMemo_->setVisible(Commands.ShortCutsItem.Checked());
}

void TMainForm::CloseSCPathClick() {
    shortCutsMemo_->hide();
    Commands.ShortCutsItem.SetChecked(false);
}

void TMainForm::DumpLogMenuItemClick() {
    const fs::path log = fs::path(AppDataPath) / kDumpLogName;
    if (fs::exists(log)) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(log.string())));
    }
}

void TMainForm::AboutItemClick() {
    about_.show();
    about_.raise();
    about_.FormActivate();
}

void TMainForm::FormResize() {
    const int w = centralWidget() != nullptr ? centralWidget()->width() : width();
    for (QWidget* area : objectPages_->LayoutAreas()) {
        const int menuWidth = area->property("menuWidth").toInt();
        // A panel wider than the page is cut at the page's edge, not widening the window.
        const TPanelWidth pw = PanelWidthFor(w - menuWidth, 1400);
        area->setMaximumWidth(pw.Fill ? QWIDGETSIZE_MAX : pw.Width);
    }
    if (settingsRead_ && SettingsIni) {
        SettingsIni->WriteInteger("MainForm", "Width", width());
        SettingsIni->WriteInteger("MainForm", "Height", height());
    }
}

// ---------------------------------------------------------------------------------------------------
// Units and status

void TMainForm::UpdateSystemUnits() {
    Editor->State.Units = UnitSystemOf(Prefs.MetricSystem);
    UpdatePosStepsUnits();
    Editor->Grid.DrawVenueLength();
}

void TMainForm::UpdatePosStepsUnits() {
    if (viewTools_ != nullptr) {
        viewTools_->ShowPosStepTexts(Prefs.MetricSystem);
    }
}

void TMainForm::ShowMemoryInfo() {
    TAcousticProject& p = *AcousticProject;
    if (p.IsCheckingMemory()) {
        return;
    }
    p.RefreshMemoryFigures();
    const char separator = QLocale().decimalPoint().at(0).toLatin1();
    memoryLabel_->setText(QString::fromStdString(MemoryStatusText(
        p.MemUsed(), p.MemInstalled(), PhysicalSpace->PixelToMeters(), separator ? separator : '.')));
}

void TMainForm::CreateMRUItems() {
    if (reOpenItem_ == nullptr || !Documents) {
        return;
    }
    reOpenItem_->clear();
    for (size_t i = 0; i < Documents->MRU.size(); ++i) {
        const std::string& path = Documents->MRU[i];
        if (path.empty()) {
            continue;
        }
        QAction* item = reOpenItem_->addAction(QString::fromStdString(path));
        item->setObjectName(QStringLiteral("MRU%1").arg(i));
        item->setToolTip(QString::fromStdString(path));
        connect(item, &QAction::triggered, this, [this, path] { Documents->ReOpenItemClick(path); });
    }
}

} // namespace vendrel
