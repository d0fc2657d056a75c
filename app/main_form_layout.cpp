// The main window's layout, navigation, units and status figures.

#include "acoustics/memory_budget.h"
#include "acoustics/physical_space.h"
#include "acoustics/project.h"
#include "app/about_form.h"
#include "app/crash_log.h"
#include "app/main_form.h"
#include "editor/documents.h"
#include "editor/editor.h"
#include "editor/qt/map_bar.h"
#include "editor/qt/object_pages.h"
#include "editor/qt/tool_controls.h"
#include "editor/qt/ui_bindings.h"
#include "editor/qt/viewport_panel.h"
#include "platform/core/mem_ini_file.h"
#include "platform/core/system_helpers.h"

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

QToolButton* toolButton(QWidget* parent, QAction* action) {
    auto* b = new QToolButton(parent);
    b->setDefaultAction(action);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    b->setAutoRaise(true);
    b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return b;
}

} // namespace

QAction* TMainForm::actionOf(TUIAction& Action) {
    auto it = actions_.find(&Action);
    if (it == actions_.end()) {
        it = actions_.emplace(&Action, MakeAction(this, Action)).first;
    }
    return it->second;
}

void TMainForm::buildMenus() {
    TEditor& ed = *Editor;
    TViewsCameras& v = ed.Views;
    TGridAxes& g = ed.Grid;

    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    const auto command = [this, file](const char* text, const char* name, QKeySequence keys,
                                      std::function<void(TDocuments&)> run) {
        QAction* a = file->addAction(QString::fromLatin1(text));
        a->setObjectName(QString::fromLatin1(name));
        a->setShortcut(keys);
        connect(a, &QAction::triggered, this, [this, run] { run(*Documents); });
        return a;
    };
    command("New Project", "NewAction", QKeySequence::New, [](TDocuments& d) { d.NewActionExecute(); });
    command("Open Project", "OpenAction", QKeySequence::Open, [](TDocuments& d) { d.OpenActionExecute(); });
    command("Open Template", "OpenTemplateItem", {}, [](TDocuments& d) { d.OpenTemplateItemClick(); });
    reOpenItem_ = file->addMenu(QStringLiteral("Open Recent"));
    reOpenItem_->setObjectName(QStringLiteral("ReOpenItem"));
    file->addSeparator();
    command("Save", "SaveAction", QKeySequence::Save, [](TDocuments& d) { d.SaveActionExecute(); });
    command("Save as", "SaveAsAction", QKeySequence::SaveAs, [](TDocuments& d) { d.SaveAsActionExecute(); });
    file->addSeparator();
    QAction* exit = file->addAction(QStringLiteral("Exit"));
    exit->setObjectName(QStringLiteral("ExitAction"));
    connect(exit, &QAction::triggered, this, [this] { ExitActionExecute(); });

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->addAction(actionOf(ed.Selection.DeleteAction));
    edit->addAction(actionOf(ed.PanelSwitching.ListAllZonesAction));
    QMenu* project = menuBar()->addMenu(QStringLiteral("&Project"));
    QAction* addCabinetItem = project->addAction(QStringLiteral("Add Cabinet"));
    addCabinetItem->setObjectName(QStringLiteral("AddCabinetItem"));
    connect(addCabinetItem, &QAction::triggered, this, [&ed] { ed.Adding.AddCabinetActionExecute(); });
    project->addAction(actionOf(ed.Adding.AddSurfaceButton));
    project->addAction(actionOf(ed.Adding.AddTrapeziumButton));
    project->addAction(actionOf(ed.Adding.DrawSurfaceAction));

    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    for (TUIAction* a : {&v.ThreeDviewAction, &v.SideViewAction, &v.TopViewAction, &v.FrontViewAction}) {
        view->addAction(actionOf(*a));
    }
    view->addSeparator();
    view->addAction(actionOf(v.ZoomItemIn));
    view->addAction(actionOf(v.ZoomItemOut));
    view->addAction(actionOf(v.ZoomToObjectB));
    QMenu* target = view->addMenu(QStringLiteral("Camera Target"));
    target->addAction(actionOf(v.ResetCenterItem));
    target->addAction(actionOf(v.CenterSelItem));
    view->addSeparator();
    for (TUIAction* a : {&g.ShowThrowItem, &g.ShowCoverageItem, &g.ShowFloorItem, &g.ShowZoneEdgesItem,
                         &g.ShowAxisNumbersItem}) {
        view->addAction(actionOf(*a));
    }
    view->addSeparator();
    const auto panelItem = [&](const char* text, const char* name) {
        QAction* a = view->addAction(QString::fromLatin1(text));
        a->setObjectName(QString::fromLatin1(name));
        a->setCheckable(true);
        a->setChecked(true);
        return a;
    };
    leftToolPanelItem_ = panelItem("View Tools", "LeftToolPanelItem");
    splBarPanelItem_ = panelItem("Level Colour Bar", "SPLBarPanelItem");
    configPanelItem_ = panelItem("Configuration Panel", "ConfigPanelItem");
    connect(leftToolPanelItem_, &QAction::triggered, this, [this] { LeftToolPanelItemClick(); });
    connect(splBarPanelItem_, &QAction::triggered, this, [this] { SPLBarPanelItemClick(); });
    connect(configPanelItem_, &QAction::triggered, this, [this] { ConfigPanelItemClick(); });
    QMenu* pages = view->addMenu(QStringLiteral("Show Panel"));
    const auto pageItem = [&](const char* text, int tab) {
        QAction* a = pages->addAction(QString::fromLatin1(text));
        connect(a, &QAction::triggered, this, [this, tab] { mainTabs_->setCurrentIndex(tab); });
    };
    pageItem("Venue and Zones", 1);
    pageItem("Line Arrays", 0);
    pageItem("Cabinets", 2);
    pageItem("Frequency Response", 6);
    shortCutsItem_ = view->addAction(QStringLiteral("Show Short Cuts"));
    shortCutsItem_->setObjectName(QStringLiteral("ShortCutsItem"));
    shortCutsItem_->setCheckable(true);
    connect(shortCutsItem_, &QAction::triggered, this, [this] { ShortCutsItemClick(); });

    buildOptionsMenu();

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    dumpLogItem_ = help->addAction(QStringLiteral("Show DumpLog"));
    dumpLogItem_->setObjectName(QStringLiteral("DumpLogMenuItem"));
    connect(dumpLogItem_, &QAction::triggered, this, [this] { DumpLogMenuItemClick(); });
    QAction* aboutItem = help->addAction(QStringLiteral("About"));
    connect(aboutItem, &QAction::triggered, this, [this] { AboutItemClick(); });

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
    popupGlobalMenu_->addAction(actionOf(ed.Adding.AddCabinetAction));
    QAction* addZone = popupGlobalMenu_->addAction(QStringLiteral("Add Zone"));
    addZone->setObjectName(QStringLiteral("AddZoneMenuItem"));
    connect(addZone, &QAction::triggered, this,
            [&ed] { ed.Adding.AddNewZoneButtonClick(TNewZoneKind::Rectangle); });
    popupGlobalMenu_->addSeparator();
    popupGlobalMenu_->addAction(actionOf(ed.Selection.DeleteAction));
    popupGlobalMenu_->addAction(actionOf(ed.PanelSwitching.ListAllZonesAction));
}

void TMainForm::buildOptionsMenu() {
    TEditor& ed = *Editor;
    TRenderControl& r = ed.Render;
    TColorMapping& c = ed.Colors;
    QMenu* options = menuBar()->addMenu(QStringLiteral("&Options"));
    options->setObjectName(QStringLiteral("OptionsMenu"));
    // The preferences' mapping page comes with the preferences window.
    r.RenderConfigItem.SetVisible(false);
    options->addAction(actionOf(r.RenderConfigItem));
    options->addAction(actionOf(r.ContinuousRenderItem));
    QMenu* quality = options->addMenu(QStringLiteral("Render Resolution"));
    for (TUIAction* item : r.RenderQualityItems()) {
        quality->addAction(actionOf(*item));
    }
    options->addAction(actionOf(r.AirAbsoptionItem));
    options->addAction(actionOf(r.UseListeningPlaneFoRaysMenuItem));
    options->addSeparator();
    QMenu* palettes = options->addMenu(QStringLiteral("Mapping Colors"));
    for (TUIAction* item : c.PaletteItems()) {
        palettes->addAction(actionOf(*item));
    }
    options->addAction(actionOf(c.ClearMappingColorsAction));
    actionOf(r.ContinuousRenderItem)->setObjectName(QStringLiteral("ContinuousRenderItem"));
    actionOf(c.ClearMappingColorsAction)->setObjectName(QStringLiteral("ClearMappingColorsAction"));
    actionOf(r.UseListeningPlaneFoRaysMenuItem)
        ->setObjectName(QStringLiteral("UseListeningPlaneFoRaysMenuItem"));
}

void TMainForm::buildCentralArea() {
    TEditor& ed = *Editor;
    TViewsCameras& v = ed.Views;
    auto* central = new QWidget(this);
    auto* splitter = new QSplitter(Qt::Vertical, central);
    auto* outer = new QVBoxLayout(central);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(splitter);

    auto* top = new QWidget(splitter);
    auto* row = new QHBoxLayout(top);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);

    // The view tools scroll when the window is too low for them, rather than squeezing their rows
    // into each other.
    panelViewTools_ = new QFrame(top);
    panelViewTools_->setObjectName(QStringLiteral("PanelViewTools"));
    panelViewTools_->setFixedWidth(190);
    auto* toolsFrame = new QVBoxLayout(panelViewTools_);
    toolsFrame->setContentsMargins(0, 0, 0, 0);
    auto* toolsScroll = new QScrollArea(panelViewTools_);
    toolsScroll->setObjectName(QStringLiteral("ViewToolsScroll"));
    toolsScroll->setFrameShape(QFrame::NoFrame);
    toolsScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    toolsScroll->setWidgetResizable(true);
    toolsFrame->addWidget(toolsScroll);
    auto* toolsColumn = new QWidget(toolsScroll);
    auto* tools = new QVBoxLayout(toolsColumn);
    tools->setContentsMargins(4, 4, 4, 4);
    tools->setSpacing(1);
    // The four views two by two.
    auto* viewButtons = new QGridLayout();
    viewButtons->setSpacing(1);
    int viewIndex = 0;
    for (TUIAction* a : {&v.ThreeDviewAction, &v.SideViewAction, &v.TopViewAction, &v.FrontViewAction}) {
        viewButtons->addWidget(toolButton(toolsColumn, actionOf(*a)), viewIndex / 2, viewIndex % 2);
        ++viewIndex;
    }
    tools->addLayout(viewButtons);
    tools->addSpacing(4);
    for (TUIAction* a : {&v.DefaultMouseB, &v.CamRotB, &v.CamPanB}) {
        tools->addWidget(toolButton(toolsColumn, actionOf(*a)));
    }
    tools->addSpacing(4);
    tools->addWidget(toolButton(toolsColumn, actionOf(v.ZoomToObjectB)));
    tools->addWidget(toolButton(toolsColumn, actionOf(v.CameraOnSelectionB)));
    auto* intersect = new QToolButton(toolsColumn);
    intersect->setObjectName(QStringLiteral("IntersectListeningCB"));
    intersect->setText(QString::fromStdString(ed.Render.IntersectListeningCB.Caption()));
    intersect->setAutoRaise(true);
    intersect->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    BindAction(intersect, ed.Render.IntersectListeningCB);
    tools->addWidget(intersect);
    tools->addSpacing(4);
    // One form for the offsets, so that their captions and fields line up; the view decides which of
    // the three length offsets is shown.
    auto* offsets = new QGroupBox(QStringLiteral("Insert Offset"), toolsColumn);
    offsets->setObjectName(QStringLiteral("InsertOffset"));
    auto* offsetForm = new QFormLayout(offsets);
    offsetForm->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    offsetForm->setContentsMargins(6, 4, 6, 4);
    offsetForm->setVerticalSpacing(3);
    for (TUIText* field : {&v.LengthOffset, &v.DepthOffset, &v.HeightOffset}) {
        auto* caption = new QLabel(QString::fromStdString(field->Text()), offsets);
        auto* edit = new QLineEdit(QStringLiteral("0.000"), offsets);
        offsetForm->addRow(caption, edit);
        BindVisible({caption, edit}, *field);
    }
    AddInsertRotationOffsets(ed, offsetForm, offsets);
    tools->addWidget(offsets);
    auto* steps = new QGroupBox(QStringLiteral("Step Resolution:"), toolsColumn);
    steps->setObjectName(QStringLiteral("StepResolution"));
    auto* stepForm = new QFormLayout(steps);
    stepForm->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    stepForm->setContentsMargins(6, 4, 6, 4);
    stepForm->setVerticalSpacing(3);
    posStepsCB_ = new QComboBox(steps);
    posStepsCB_->setObjectName(QStringLiteral("GlobalPosStepsCB"));
    posStepsCB_->setToolTip(QStringLiteral("Global Position Increment"));
    for (const std::string& text : PosStepTexts(true)) {
        posStepsCB_->addItem(QString::fromStdString(text));
    }
    BindStepSelector(posStepsCB_, ed.Keys.GlobalPosStepsCB);
    auto* rotSteps = new QComboBox(steps);
    rotSteps->setObjectName(QStringLiteral("GlobalRotStepsCB"));
    rotSteps->setToolTip(QStringLiteral("Global Rotation Increment"));
    rotSteps->addItems({QStringLiteral("0.1\u00BA"), QStringLiteral("1\u00BA"), QStringLiteral("10\u00BA"),
                        QStringLiteral("30\u00BA"), QStringLiteral("45\u00BA")});
    BindStepSelector(rotSteps, ed.Keys.GlobalRotStepsCB);
    stepForm->addRow(QStringLiteral("Pos"), posStepsCB_);
    stepForm->addRow(QStringLiteral("Rot"), rotSteps);
    tools->addWidget(steps);
    tools->addStretch(1);
    toolsScroll->setWidget(toolsColumn);
    row->addWidget(panelViewTools_);

    viewportPanel_ = new TViewportPanel(ed, top);
    row->addWidget(viewportPanel_, 1);

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

    // The level bar scrolls, too, in a window too low for it.
    auto* mapBarScroll = new QScrollArea(top);
    mapBarScroll->setFrameShape(QFrame::NoFrame);
    mapBarScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    mapBarScroll->setWidgetResizable(true);
    mapBar_ = new TMapBarPanel(ed, mapBarScroll);
    mapBarScroll->setWidget(mapBar_);
    panelMapBar_ = mapBarScroll;
    panelMapBar_->setObjectName(QStringLiteral("PanelMapBar"));
    panelMapBar_->setFixedWidth(112);
    row->addWidget(panelMapBar_);

    panelControls_ = new QWidget(splitter);
    panelControls_->setObjectName(QStringLiteral("PanelControls"));
    auto* controls = new QVBoxLayout(panelControls_);
    controls->setContentsMargins(0, 0, 0, 0);
    mainTabs_ = new QTabWidget(panelControls_);
    mainTabs_->setObjectName(QStringLiteral("MainTabControl"));
    controls->addWidget(mainTabs_);
    // The tabs of the object panels; each page keeps the menu column and the panel area whose width
    // follows the window.
    const auto page = [&](const char* caption, const char* name, int menuWidth) {
        auto* p = new QWidget(mainTabs_);
        p->setObjectName(QString::fromLatin1(name));
        auto* line = new QHBoxLayout(p);
        line->setContentsMargins(0, 0, 0, 0);
        if (menuWidth > 0) {
            auto* menuColumn = new QWidget(p);
            menuColumn->setFixedWidth(menuWidth);
            line->addWidget(menuColumn);
            auto* area = new QWidget(p);
            line->addWidget(area, 1);
            layoutPanels_.push_back(area);
            area->setProperty("menuWidth", menuWidth);
            pageParts_[name] = {menuColumn, area};
        }
        mainTabs_->addTab(p, QString::fromLatin1(caption));
        return p;
    };
    page("Line Arrays", "LineArrayTabItem", 150);
    page("Venue and Zones", "VenueAndZonesTabItem", 150);
    page("Cabinets", "CabinetsTabItem", 150);
    page("Beam Steering", "BeamSteeringTabItem", 0);
    page("Sound Systems", "SoundSystemTabItem", 0);
    page("DSP", "DSPTabItem", 150);
    page("Frequency Response", "FreqRespTabItem", 0);
    page("Distribution", "DistributionTabItem", 0);
    auto* developerScroll = new QScrollArea(mainTabs_);
    developerScroll->setObjectName(QStringLiteral("DeveloperTabItem"));
    developerScroll->setWidget(buildDeveloperTab());
    developerScroll->setWidgetResizable(true);
    developerTab_ = developerScroll;
    mainTabs_->addTab(developerTab_, QStringLiteral("Developer"));
    mainTabs_->setTabVisible(3, false);
    mainTabs_->setTabVisible(4, false);
    mainTabs_->setTabVisible(DeveloperTabIndex(), false);
    connect(mainTabs_->tabBar(), &QTabBar::tabBarClicked, this,
            [this](int index) { MainTabItemClick(index); });
    const auto& venue = pageParts_.at("VenueAndZonesTabItem");
    const auto& cabinets = pageParts_.at("CabinetsTabItem");
    objectPages_ = new TObjectPages(ed, venue.first, venue.second, cabinets.first, cabinets.second);
    ed.Panels = objectPages_;
    BindPages(mainTabs_, ed.PanelSwitching.MainTabControl);

    splitter->addWidget(top);
    splitter->addWidget(panelControls_);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 1);
    setCentralWidget(central);
    setMinimumSize(550, 400);
}

QWidget* TMainForm::buildDeveloperTab() {
    TEditor& ed = *Editor;
    TViewsCameras& v = ed.Views;
    auto* tab = new QWidget();
    auto* line = new QHBoxLayout(tab);

    auto* camera = new QGroupBox(QStringLiteral("CAMERA"), tab);
    auto* cameraForm = new QFormLayout(camera);
    const auto slider = [&](QWidget* parent, TUIRange& range, double units) {
        auto* s = new QSlider(Qt::Horizontal, parent);
        BindRange(s, range, units);
        return s;
    };
    cameraForm->addRow(QStringLiteral("X"), slider(camera, v.CamXTrackBar, 10));
    cameraForm->addRow(QStringLiteral("Y"), slider(camera, v.CamYTrackBar, 10));
    cameraForm->addRow(QStringLiteral("Z"), slider(camera, v.CamZTrackBar, 10));
    cameraForm->addRow(QStringLiteral("Angle OF View"), slider(camera, v.TrackBar4, 10));
    auto* memo = new QPlainTextEdit(camera);
    memo->setReadOnly(true);
    BindText(memo, v.Memo1);
    cameraForm->addRow(memo);
    line->addWidget(camera);

    auto* lights = new QGroupBox(QStringLiteral("LIGHTS"), tab);
    auto* lightForm = new QFormLayout(lights);
    lightForm->addRow(QStringLiteral("Rotation X"), slider(lights, v.TrackX, 1));
    lightForm->addRow(QStringLiteral("Rotation Y"), slider(lights, v.TrackY, 1));
    lightForm->addRow(QStringLiteral("Rotation Z"), slider(lights, v.TrackZ, 1));
    auto* type = new QComboBox(lights);
    type->addItems({QStringLiteral("Directional"), QStringLiteral("Point"), QStringLiteral("Spot")});
    type->setCurrentIndex(static_cast<int>(v.LightTypeCB.Value()));
    connect(type, &QComboBox::activated, this, [&v](int index) { v.LightTypeCB.SetValue(index); });
    lightForm->addRow(QStringLiteral("Type"), type);
    auto* color = new QLineEdit(lights);
    BindText(color, v.LightColorEdit, [&v] { v.UpdateLightsNBChange(); });
    lightForm->addRow(QStringLiteral("Colour"), color);
    const auto number = [&](QWidget* parent, TUIRange& range) {
        auto* n = new QDoubleSpinBox(parent);
        BindRange(n, range, 0);
        return n;
    };
    lightForm->addRow(QStringLiteral("Distance"), number(lights, v.LightDistanceNB));
    lightForm->addRow(QStringLiteral("Spot Cutoff"), number(lights, v.SpotCutoffNB));
    lightForm->addRow(QStringLiteral("Focus"), number(lights, v.LightFocusNB));
    lightForm->addRow(QStringLiteral("Shininess"), number(lights, v.ShininessNB));
    line->addWidget(lights);

    auto* labels = new QGroupBox(QStringLiteral("AXIS LABELS"), tab);
    auto* labelForm = new QFormLayout(labels);
    labelForm->addRow(QStringLiteral("Elevation"), number(labels, ed.Grid.ElevDegreeNB));
    labelForm->addRow(QStringLiteral("Azimuth"), number(labels, ed.Grid.AzimDegreeNB));
    labelForm->addRow(QStringLiteral("Radius (m)"), number(labels, ed.Grid.RadiusNB));
    developerLabel_ = new QLabel(labels);
    labelForm->addRow(developerLabel_);
    line->addWidget(labels);
    line->addWidget(buildRenderKnobs(tab));
    line->addStretch(1);
    return tab;
}

QWidget* TMainForm::buildRenderKnobs(QWidget* Parent) {
    TEditor& ed = *Editor;
    TRenderControl& r = ed.Render;
    auto* group = new QGroupBox(QStringLiteral("RENDER"), Parent);
    auto* form = new QFormLayout(group);
    const auto number = [&](TUIRange& range, int decimals) {
        auto* n = new QDoubleSpinBox(group);
        n->setKeyboardTracking(false);
        BindRange(n, range, decimals);
        return n;
    };
    const auto check = [&](TUIAction& action) {
        auto* box = new QCheckBox(QString::fromStdString(action.Caption()), group);
        BindAction(box, action);
        return box;
    };
    form->addRow(QStringLiteral("Max Freq for Real Phase (Hz)"), number(r.FrecEdit, 0));
    form->addRow(check(r.UseAxisPhaseCheckBox));
    form->addRow(check(r.ZeroPhaseCheckBox));
    form->addRow(check(r.PistonCBox));
    form->addRow(QStringLiteral("Refresh (msec)"), number(r.RefreshMsBox, 3));
    QDoubleSpinBox* waiting = number(r.AllMapsWaitingMsecNB, 0);
    waiting->setToolTip(
        QStringLiteral("tiempo de espera en miliseg antes de hacer la suma de todos los mapas"));
    form->addRow(QStringLiteral("Sum wait (msec)"), waiting);
    form->addRow(QStringLiteral("Pixel (m)"), number(r.NumberBox2, 1));
    auto* show = new QWidget(group);
    auto* showRow = new QHBoxLayout(show);
    showRow->setContentsMargins(0, 0, 0, 0);
    for (TUIAction* option : {&ed.Colors.ShowMagnitudeRB, &ed.Colors.ShowPhaseRB}) {
        auto* radio = new QToolButton(show);
        radio->setText(QString::fromStdString(option->Caption()));
        BindAction(radio, *option);
        showRow->addWidget(radio);
    }
    form->addRow(QStringLiteral("Show"), show);
    return group;
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

void TMainForm::setPanelVisible(QWidget* Panel, QAction* Item, const char* Key) {
    Panel->setVisible(Item->isChecked());
    if (SettingsIni) {
        SettingsIni->WriteBool("Panels", Key, Item->isChecked());
    }
}

void TMainForm::LeftToolPanelItemClick() {
    setPanelVisible(panelViewTools_, leftToolPanelItem_, "ViewTools");
}

void TMainForm::SPLBarPanelItemClick() {
    setPanelVisible(panelMapBar_, splBarPanelItem_, "ViewSPLBar");
}

void TMainForm::ConfigPanelItemClick() {
    setPanelVisible(panelControls_, configPanelItem_, "ViewConfig");
    showHideControlsCB_->setChecked(!configPanelItem_->isChecked());
}

void TMainForm::ShowHideControlsCBClick() {
    // The item takes the box's state from before the click, so a click toggles the panel.
    configPanelItem_->setChecked(!showHideControlsCB_->isChecked());
    setPanelVisible(panelControls_, configPanelItem_, "ViewConfig");
}

void TMainForm::MainTabItemClick(int Index) {
    if (SettingsIni) {
        SettingsIni->WriteInteger("MainForm", "TabIndex", Index);
    }
    developerLabel_->setText(QStringLiteral("InputTop.HitTest = ") + (Editor->Scene.InputTop->HitTest
                                                                          ? QStringLiteral("True")
                                                                          : QStringLiteral("False")));
}

void TMainForm::ShortCutsItemClick() {
    shortCutsMemo_->setVisible(shortCutsItem_->isChecked());
}

void TMainForm::CloseSCPathClick() {
    shortCutsMemo_->hide();
    shortCutsItem_->setChecked(false);
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
    for (QWidget* area : layoutPanels_) {
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
    const TUnitSystem u = UnitSystemOf(Prefs.MetricSystem);
    LengthUnitText = u.LengthUnitText;
    MassUnitText = u.MassUnitText;
    TempUnitText = u.TempUnitText;
    LengthUnits = u.LengthUnits;
    MassUnits = u.MassUnits;
    Editor->State.LengthUnits = u.LengthUnits;
    Editor->State.LengthUnitText = u.LengthUnitText;
    UpdatePosStepsUnits();
    Editor->Grid.DrawVenueLength();
}

void TMainForm::UpdatePosStepsUnits() {
    PosStepsTexts = PosStepTexts(Prefs.MetricSystem);
    if (posStepsCB_ != nullptr) {
        const QSignalBlocker block(posStepsCB_);
        posStepsCB_->clear();
        for (const std::string& text : PosStepsTexts) {
            posStepsCB_->addItem(QString::fromStdString(text));
        }
        posStepsCB_->setCurrentIndex(static_cast<int>(Editor->Keys.GlobalPosStepsCB.Value()));
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
