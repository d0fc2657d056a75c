#include "app/main_form.h"

#include "acoustics/memory_budget.h"
#include "acoustics/physical_space.h"
#include "acoustics/project.h"
#include "app/about_form.h"
#include "app/crash_log.h"
#include "app/fatal_signal_log.h"
#include "editor/documents.h"
#include "editor/editor.h"
#include "editor/qt/object_pages.h"
#include "editor/qt/tool_controls.h"
#include "editor/qt/ui_bindings.h"
#include "editor/qt/viewport_panel.h"
#include "files/library_scan.h"
#include "platform/core/dispatcher.h"
#include "platform/core/mem_ini_file.h"
#include "platform/core/message_box.h"
#include "platform/core/system_helpers.h"
#include "platform/qt/unhandled_exception.h"
#include "scene/color_helpers.h"
#include "scene/scene_object.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QUrl>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace vendrel {

namespace fs = std::filesystem;

namespace {

constexpr const char* kMainSection = "MainForm";
constexpr const char* kPanelsSection = "Panels";

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

// The project's progress: a maximum and a value held within 0..maximum. A maximum of 0 is an empty
// bar, never Qt's busy animation (a range of 0..0), which would run on for as long as nothing
// happens.
class ProgressBarLink : public IProgressBar {
public:
    explicit ProgressBarLink(QProgressBar* bar) : bar_(bar) { show(); }
    void SetMax(double v) override {
        max_ = std::isfinite(v) ? std::clamp(v, 0.0, 2e9) : 0.0;
        value_ = std::min(value_, max_);
        show();
    }
    void SetValue(double v) override {
        value_ = std::isfinite(v) ? std::clamp(v, 0.0, max_) : 0.0;
        show();
    }
    double Value() const override { return value_; }
    // The solid look is the bar's own; the program's look draws its chunk as a gradient in a dark
    // groove (a style sheet with only the chunk would paint the groove white).
    void SetStyleLookup(const std::string& style) override {
        if (bar_) {
            bar_->setStyleSheet(
                style == "progressbarvendrelstyle"
                    ? QStringLiteral("QProgressBar { background: #26282C; border: 1px solid #4A4E55; "
                                     "border-radius: 2px; } "
                                     "QProgressBar::chunk { background: qlineargradient(x1:0, "
                                     "y1:0, x2:1, y2:0, stop:0 #2060C0, stop:1 #40C0E0); }")
                    : QString());
        }
    }

private:
    void show() {
        if (!bar_) {
            return;
        }
        const int max = static_cast<int>(max_);
        bar_->setRange(0, std::max(max, 1));
        bar_->setValue(max > 0 ? static_cast<int>(value_) : 0);
    }

    QPointer<QProgressBar> bar_;
    double max_ = 0;
    double value_ = 0;
};

// The status line has one value, the editor's: every writer goes through it, so that the line never
// keeps a text its value no longer holds.
class StatusLabelLink : public IStatusLabel {
public:
    explicit StatusLabelLink(TUIText& status) : status_(status) {}
    void SetText(const std::string& text) override { status_.SetText(text); }

private:
    TUIText& status_;
};

// The class name without a namespace ("vendrel::TMainForm" is "TMainForm").
std::string classNameOf(const QObject* o) {
    std::string name = o->metaObject()->className();
    const size_t colon = name.rfind("::");
    return colon == std::string::npos ? name : name.substr(colon + 2);
}

} // namespace

TMainForm::TMainForm(TAboutForm& About, const std::vector<uint8_t>& MainLogo, IDispatcher* Dispatcher)
    : about_(About), dispatcher_(Dispatcher) {
    setObjectName(QStringLiteral("MainForm"));
    about_.MainForm = this;
    FormCreate(MainLogo);
}

TMainForm::~TMainForm() {
    if (!closed_) {
        // The program ends without the window having been closed (a crash handler's ending): nothing is
        // written, but the editor's widgets stop mirroring before the editor goes.
        closed_ = true;
    }
    if (about_.MainForm == this) {
        about_.MainForm = nullptr;
    }
    // The widgets go first (they hold pointers into the editor), then the editor, project and medium.
    if (objectPages_ != nullptr) {
        objectPages_->DetachAll();
    }
    delete centralWidget();
    viewportPanel_ = nullptr;
    // The library's 3D objects hang in the editor's viewport: they go with it, before the library.
    Documents.reset();
    Library.reset();
    Editor.reset();
    AcousticProject->SetProgressBar(nullptr);
    AcousticProject->SetStatusLabel(nullptr);
    AcousticProject.reset();
    PhysicalSpace.reset();
}

// ---------------------------------------------------------------------------------------------------
// Creation

void TMainForm::FormCreate(const std::vector<uint8_t>& MainLogo) {
    const TApplicationInfo& info = about_.AppInfo;
    PhysicalSpace = std::make_unique<TPhysicalSpace>();
    AcousticProject = std::make_unique<TAcousticProject>(PhysicalSpace.get(), dispatcher_);
    AcousticProject->SetUniqueID(0);
    AcousticProject->SetFreqToEvaluate(1000);
    AcousticProject->SetLastLogString(about_.InitialLogString);

    Editor = std::make_unique<TEditor>(*AcousticProject, *PhysicalSpace, static_cast<IEditorView*>(this));
    Editor->State.InitiatingSystem = [this] { return about_.InitiatingSystem; };
    Editor->State.DisableOnChange = true;
    Editor->State.IsMainWindowActive = [this] { return isActiveWindow(); };
    Editor->State.FormatSettings.DecimalSeparator = QLocale().decimalPoint().at(0).toLatin1();
    if (Editor->State.FormatSettings.DecimalSeparator == 0) {
        Editor->State.FormatSettings.DecimalSeparator = '.';
    }

    CreateColors(10, 0.7f, DefaultMicColors);
    CreateColors(10, 0.4f, DefaultOverlaysColors);

    Editor->State.Units = UnitSystemOf(true);

    DefaultProjectFileName = info.DefaultProjectFileName();

    Editor->Initialize();
    actions_ = std::make_unique<TActionTable>(this);
    buildCentralArea();
    buildStatusBar();

    projectProgress_ = std::make_unique<ProgressBarLink>(progressBar_);
    projectStatus_ = std::make_unique<StatusLabelLink>(Editor->PanelSwitching.StatusLabel);
    AcousticProject->SetProgressBar(projectProgress_.get());
    AcousticProject->SetStatusLabel(projectStatus_.get());

    createFolders();
    Library = std::make_unique<TModelLibrary>(
        *AcousticProject, AppDataPath, info.SoftwareName,
        TLibraryMinVersion{info.MinVerMajor, info.MinVerMinor, info.MinVerRelease});
    Library->ModelParent = Editor->Scene.Viewport3D1.get();
    Editor->Library = Library.get();
    Editor->Appearance.AppDataPath = AppDataPath;
    Library->OnStatus = [this](const std::string& text) {
        QLabel* status = about_.StatusLabel();
        status->setText(QString::fromStdString(text));
        status->repaint();
    };
    createDocuments();
    buildMenus();

    PreCaption =
        info.AppCaption + " v" + about_.Version.AppMajorVersion + "." + about_.Version.AppMinorVersion;
    setWindowTitle(qs(PreCaption));

    AcousticProject->SetOnProjectModified([this](TAcousticProject&) { ProjectModifiedChanged(); });

    applyAppearance();

    SettingsIni = std::make_unique<TMemIniFile>(SettingsFilePath);
    SettingsIni->AutoSave = true;
    Editor->SettingsIni = SettingsIni.get();
    Documents->SettingsIni = SettingsIni.get();

    Editor->State.Canvas3DOldX = viewportPanel_->GLView()->width();
    Editor->State.Canvas3DOldY = viewportPanel_->GLView()->height();

    QImage logo;
    if (!MainLogo.empty() && logo.loadFromData(MainLogo.data(), static_cast<int>(MainLogo.size()))) {
        logo_->setPixmap(QPixmap::fromImage(logo));
    }

    Editor->PanelSwitching.ShowPage(TMainPage::VenueAndZonesTabItem);
    Commands.DumpLogMenuItem.SetEnabled(fs::exists(fs::path(AppDataPath) / kDumpLogName));
    AcousticProject->SetIsProjectModified(false);
}

void TMainForm::createFolders() {
    const TApplicationInfo& info = about_.AppInfo;
    AppDataPath = ApplicationDataPath(info.AppFolder);
    MyDocsPath = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdString();
    if (MyDocsPath.empty()) {
        MyDocsPath = QStandardPaths::writableLocation(QStandardPaths::HomeLocation).toStdString();
    }
    ProjectFolder =
        info.AppPrjFolder.empty() ? MyDocsPath : (fs::path(MyDocsPath) / info.AppPrjFolder).string();
    SettingsFilePath = (fs::path(AppDataPath) / "Pref.ini").string();

    // Every folder is created with its missing parents; the first failure is reported once, as
    // neither the settings nor the library could be written there.
    std::vector<std::string> folders = {AppDataPath, ProjectFolder};
    for (const char* sub : kLibraryFolders) {
        folders.push_back((fs::path(AppDataPath) / sub).string());
    }
    for (const std::string& folder : folders) {
        std::error_code ec;
        fs::create_directories(folder, ec);
        if (ec || !fs::is_directory(folder)) {
            MessageBoxService().MessageDlg("Cannot create the folder \"" + folder +
                                               "\": " + (ec ? ec.message() : std::string("not a folder")) +
                                               ".\r\n\r\nSettings and library files cannot be written there.",
                                           TMsgDlgType::mtWarning, {TMsgDlgBtn::mbOK});
            break;
        }
    }
}

void TMainForm::createDocuments() {
    const TApplicationInfo& info = about_.AppInfo;
    TDocumentInfo d;
    d.SoftwareName = info.SoftwareName;
    d.ProjectFileExt = info.ProjectFileExt;
    d.AppDataPath = AppDataPath;
    d.ProjectFolder = ProjectFolder;
    d.Version = {about_.Version.AppMajorVersion, about_.Version.AppMinorVersion,
                 about_.Version.AppReleaseVersion, about_.Version.AppBuildVersion};
    Documents = std::make_unique<TDocuments>(*Editor, std::move(d));
    Documents->DrawCaption = [this] { DrawCaption(); };
    Documents->SetStatusText = [this](const std::string& text) {
        Editor->PanelSwitching.StatusLabel.SetText(text);
    };
    Documents->ShowMemoryInfo = [this] { ShowMemoryInfo(); };
    Documents->CreateMRUItems = [this] { CreateMRUItems(); };
    Documents->ProcessMessages = [this] { ProcessMessages(); };
    Editor->Points.AttachDocuments(*Documents);
}

void TMainForm::applyAppearance() {
    TEditor& ed = *Editor;
    ed.Scene.Viewport3D1->Color = 0xFF161819;
    // The window's colours: a dark panel colour, the window a little darker.
    const TAlphaColor panelColor = 0xFF3A3D42;
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor::fromRgba(DarkenColor(panelColor, 10)));
    pal.setColor(QPalette::Base, QColor::fromRgba(0xFF26282C));
    pal.setColor(QPalette::AlternateBase, QColor::fromRgba(panelColor));
    pal.setColor(QPalette::Button, QColor::fromRgba(panelColor));
    pal.setColor(QPalette::Text, QColor(230, 232, 236));
    pal.setColor(QPalette::WindowText, QColor(230, 232, 236));
    pal.setColor(QPalette::ButtonText, QColor(230, 232, 236));
    pal.setColor(QPalette::Highlight, QColor(60, 130, 200));
    setPalette(pal);
    progressBar_->setTextVisible(false);
    // A stay-pressed tool button that is down shows the highlight colour; the mouse over a button
    // only outlines it, so that a hovered button never looks like the pressed one beside it.
    panelViewTools_->setStyleSheet(
        QStringLiteral("QToolButton { border: 1px solid transparent; border-radius: 2px; padding: 2px; }"
                       "QToolButton:hover { border-color: #8A9099; }"
                       "QToolButton:checked { background: #3C82C8; border-color: #3C82C8; color: white; }"
                       "QToolButton:disabled { color: #7A7F87; }"));
}

int TMainForm::DeveloperTabIndex() const {
    return mainTabs_->indexOf(developerTab_);
}

// ---------------------------------------------------------------------------------------------------
// Activation and caption

void TMainForm::FormActivate() {
    if (firstActivation_) {
        firstActivation_ = false;
        AcousticProject->SetIsProjectModified(false);
        about_.InitiatingSystem = false;
        Editor->State.DisableOnChange = false;
        Editor->Colors.DrawPaletteAxis(3, 22);
        viewportPanel_->GLView()->setFocus();
        AcousticProject->SetMemInitial(
            static_cast<double>(GetProcessWorkingSet(static_cast<uint32_t>(getpid()))) / 1048576.0 - 33.0);
        ShowMemoryInfo();
        // The project named on the command line.
        if (!about_.ArchivoAsociado.empty() && fs::is_regular_file(about_.ArchivoAsociado)) {
            Documents->LoadProjectFile(about_.ArchivoAsociado);
        }
        return;
    }
    ShowMemoryInfo();
    rectModified_->setVisible(AcousticProject->IsProjectModified());
    DrawCaption();
    Commands.DumpLogMenuItem.SetEnabled(fs::exists(fs::path(AppDataPath) / kDumpLogName));
}

void TMainForm::DrawCaption() {
    // The caption follows every change of the open project's file: so does a fatal signal's log entry.
    SetFatalSignalProject(TCrashHandler::ProjectBaseName(CrashContext()));
    std::string caption = PreCaption + "   -  " +
                          fs::path(Documents->ActiveProjectFileName).filename().string() +
                          Documents->CurrentFileVersionStr;
    if (AcousticProject->IsProjectModified()) {
        caption += "*";
    }
    if (!ClosingApplication) {
        setWindowTitle(qs(caption));
    }
}

void TMainForm::ProjectModifiedChanged() {
    if (IsModalWindowActive()) {
        return;
    }
    rectModified_->setVisible(AcousticProject->IsProjectModified());
    DrawCaption();
}

void TMainForm::ProcessMessages() {
    if (dispatcher_ != nullptr) {
        dispatcher_->ProcessMessages();
    }
}

bool TMainForm::IsModalWindowActive() const {
    return QApplication::activeModalWidget() != nullptr;
}

// ---------------------------------------------------------------------------------------------------
// Closing

void TMainForm::closeEvent(QCloseEvent* event) {
    if (closed_) {
        event->accept();
        return;
    }
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

bool TMainForm::FormCloseQuery() {
    ClosingApplication = true;
    Editor->State.ClosingApplication = true;
    const TModalResult answer = Documents->AskSaveCurrentProject();
    // Cancel, or a save that did not complete, keeps the window and the project open.
    if (answer == TModalResult::mrCancel || answer == TModalResult::mrNone ||
        (answer == TModalResult::mrYes && !Documents->SaveActionExecute())) {
        ClosingApplication = false;
        Editor->State.ClosingApplication = false;
        return false;
    }
    return true;
}

void TMainForm::FormClose() {
    closed_ = true;
    ClosingApplication = true;
    AcousticProject->SetCalcHitPointEnabled(false);
    AcousticProject->SetEventsEnabled(false);
    Editor->State.DisableOnChange = true;
    ProcessMessages();
    AcousticProject->SetContinuousRender(false);
    if (SettingsIni) {
        TEditor& ed = *Editor;
        Prefs.WindowState = isMaximized() ? 2 : isMinimized() ? 1 : 0;
        Prefs.ShowShortCuts = Commands.ShortCutsItem.Checked();
        Prefs.ShowThrowLines = ed.Grid.ShowThrowItem.Checked();
        Prefs.ShowVenueFloor = ed.Grid.ShowFloorItem.Checked();
        Prefs.ShowZoneEdges = ed.Grid.ShowZoneEdgesItem.Checked();
        Prefs.ShowAxisNumbers = ed.Grid.ShowAxisNumbersItem.Checked();
        Prefs.SPLNormalized = AcousticProject->SPLNormalized();
        Prefs.CameraOnSelection = ed.Views.CameraOnSelectionB.Checked();
        Prefs.RenderQuality = static_cast<int32_t>(AcousticProject->RenderQuality());
        Prefs.InstersecObjListening = AcousticProject->UseSPLMeshforRaycast();
        Prefs.MagneticObjects = ed.State.IsMagneticObjects;
        // The palette and the colour steps as chosen: their controls wrote them, the write-back keeps them.
        const std::vector<TUIAction*> palettes = ed.Colors.PaletteItems();
        for (size_t i = 0; i < palettes.size(); ++i) {
            if (palettes[i]->Checked()) {
                Prefs.MappingColors = static_cast<int32_t>(i);
                break;
            }
        }
        Prefs.ColorSteps = std::max(ed.Colors.ColorStepsComboBox.ItemIndex(), 0);
        WriteClosingSettings(*SettingsIni, Prefs, Documents->ActualFolder);
        WriteBackPlainValues(*SettingsIni, Prefs);
        // Freeing the settings object writes the file.
        ed.SettingsIni = nullptr;
        Documents->SettingsIni = nullptr;
        SettingsIni.reset();
    }
}

void TMainForm::ExitActionExecute() {
    close();
}

// ---------------------------------------------------------------------------------------------------
// Settings

std::string TMainForm::GetOSLangID() {
    const QLocale locale = QLocale::system();
    if (locale.language() == QLocale::C || locale.language() == QLocale::AnyLanguage) {
        return "en";
    }
    const QString code = QLocale::languageToCode(locale.language(), QLocale::ISO639Part1);
    return code.isEmpty() ? std::string("en") : code.toStdString();
}

void TMainForm::CreateSettingsIni() {
    if (!SettingsIni) {
        return;
    }
    TSettingsDefaults d;
    d.WindowState = isMaximized() ? 2 : 0;
    d.ProjectFolder = ProjectFolder;
    d.Language = GetOSLangID();
    d.MaxMemPercent = AcousticProject->MaxUsagePercent();
    d.ZoneCreationColor = AcousticProject->ZoneCreationColor();
    d.OpacityGrid = Editor->State.OpacityGrid;
    d.MagResoPoints = Prefs.MagResoPoints;
    d.MicSize = Prefs.MicSize;
    vendrel::CreateSettingsIni(*SettingsIni, d);
}

void TMainForm::ReadSettingsIni() {
    if (!SettingsIni) {
        return;
    }
    TEditor& ed = *Editor;
    TAcousticProject& project = *AcousticProject;
    Prefs = ReadSettings(*SettingsIni, ProjectFolder, GetOSLangID(), mainTabs_->count());

    if (Prefs.WindowState == 2) {
        setWindowState(windowState() | Qt::WindowMaximized);
    } else {
        resize(Prefs.Width, Prefs.Height);
    }
    if (mainTabs_->isTabVisible(Prefs.TabIndex)) {
        mainTabs_->setCurrentIndex(Prefs.TabIndex);
    }
    Documents->ActualFolder = Prefs.LastPath;

    Commands.LeftToolPanelItem.SetChecked(Prefs.ViewTools);
    LeftToolPanelItemClick();
    Commands.SPLBarPanelItem.SetChecked(Prefs.ViewSPLBar);
    SPLBarPanelItemClick();
    Commands.ConfigPanelItem.SetChecked(Prefs.ViewConfig);
    ConfigPanelItemClick();

    mainTabs_->setTabVisible(DeveloperTabIndex(), Prefs.IsDeveloperMode());

    if (const int32_t tag = Prefs.RenderQualityTag(); tag != 0) {
        ed.Render.RenderItemClick(tag);
    }
    // Continuous rendering is switched off at start; the setting records it.
    ed.Render.ContinuousRenderItem.SetChecked(false);
    ed.Render.ContinuousRenderItemClick();
    ed.Colors.PaletteItemClick(Prefs.MappingColors);
    ed.Colors.ColorStepsComboBox.SetItemIndex(Prefs.ColorSteps);
    ed.Colors.ColorStepsComboBoxChange();
    project.SetPressureSumType(Prefs.SPLSummationType == 1 ? TPressureSumType::qzaEnergySum
                                                           : TPressureSumType::qzaComplexSum);
    project.SetSPLNormalized(Prefs.SPLNormalized);
    ed.Colors.AutoScaleCheckBox.SetChecked(Prefs.SPLNormalized);

    Commands.ShortCutsItem.SetChecked(Prefs.ShowShortCuts);
    ShortCutsItemClick();
    ed.Grid.ShowThrowItem.SetChecked(Prefs.ShowThrowLines);
    ed.Grid.ShowFloorItem.SetChecked(Prefs.ShowVenueFloor);
    ed.Grid.ShowFloorItemClick();
    ed.Grid.ShowZoneEdgesItem.SetChecked(Prefs.ShowZoneEdges);
    ed.Grid.ShowAxisNumbersItem.SetChecked(Prefs.ShowAxisNumbers);
    ed.Views.CameraOnSelectionB.SetChecked(Prefs.CameraOnSelection);
    ed.Views.CenterSelItem.SetChecked(Prefs.CameraOnSelection);
    ed.Views.ResetCenterItem.SetChecked(!Prefs.CameraOnSelection);

    project.SetMaxUsagePercent(0.999f);
    for (TDummy* holder : {ed.Scene.TextsLengthDummy, ed.Scene.TextsWidthDummy, ed.Scene.TextsHeightDummy}) {
        holder->SetVisible(Prefs.ShowAxisNumbers);
    }
    ed.Grid.UpdateGridSpacing();

    ed.Grid.RecalculateVenueLength(Prefs.DefaultLength);
    ed.Grid.RecalculateVenueHeight(Prefs.DefaultHeight);
    ed.Grid.RecalculateVenueWidth(Prefs.DefaultDepth);

    ed.Render.UseListeningPlaneFoRaysMenuItem.SetChecked(Prefs.InstersecObjListening);
    ed.Render.IntersectListeningCB.SetChecked(Prefs.InstersecObjListening);
    ed.Render.UseListeningPlaneFoRaysMenuItemClick(true);
    // The band list chosen at start, then the centre frequency it leaves.
    ed.Render.FreqBandsCombo.SetItemIndex(
        std::min(Prefs.DefaultFreqBands, ed.Render.FreqBandsCombo.Count() - 1));
    ed.Render.FreqBandsComboChange();
    PhysicalSpace->SetSelectedFreqPoint(std::max(ed.Render.FreqsCombo.ItemIndex(), 0));
    std::copy(Prefs.MRUPath.begin(), Prefs.MRUPath.end(), Documents->MRU.begin());
    CreateMRUItems();

    ed.Scene.Viewport3D1->Color = Prefs.BackSceneColor;
    ed.Repaint();
    project.SetZoneCreationColor(Prefs.ZoneCreationColor);
    ed.State.OpacityGrid = Prefs.OpacityGrid;
    ed.Grid.DrawGrid();
    ed.State.IsMagneticObjects = Prefs.MagneticObjects;
    ed.Moving.ShowMagnetic();
    ed.Points.Responses.HidePhase = Prefs.HidePhaseLowThreshold;
    ed.Points.Responses.PhaseThreshold = Prefs.PhaseLowThreshold;
    ed.Points.RecalculateOnMouseMove = Prefs.CalcMicOnMouseMove;
    ed.Points.SetMicSize(Prefs.MicSize);
    ed.Keys.GlobalPosStepsCB.SetValue(Prefs.GlobalMoveInc);
    ed.Keys.GlobalRotStepsCB.SetValue(Prefs.GlobalRotInc);
    settingsRead_ = true;
}

// ---------------------------------------------------------------------------------------------------
// Library

void TMainForm::ReadLibraryFiles() {
    Library->SelectedLayerColor = Editor->Layers.SelectedLayer->Color;
    Library->ReadLibraryFiles();
    Editor->Picker.OpenLibOrnamentAction.SetEnabled(Library->OpenLibOrnamentEnabled);
}

void TMainForm::CheckNewModelsOnInternet() {
    AcousticProject->SetLastLogString("MainForm.CheckNewModelsOnInternet");
    NewInternetModels.clear();
}

void TMainForm::OrganizeCabinetModels() {
    Library->OrganizeCabinetModels();
}

// ---------------------------------------------------------------------------------------------------
// Exceptions

std::string TMainForm::SenderDescription(QObject* Sender) {
    if (Sender == nullptr) {
        return {};
    }
    const std::string self = classNameOf(Sender) + "." + Sender->objectName().toStdString();
    if (const QObject* parent = Sender->parent()) {
        return classNameOf(parent) + "." + parent->objectName().toStdString() + " - " + self;
    }
    return self;
}

TCrashHandler::TContext TMainForm::CrashContext() const {
    TCrashHandler::TContext c;
    c.AppDataPath = AppDataPath;
    c.ActiveProjectFileName = Documents->ActiveProjectFileName;
    c.DefaultProjectFileName = DefaultProjectFileName;
    c.ProjectFolder = ProjectFolder;
    c.ProjectFileExt = about_.AppInfo.ProjectFileExt;
    c.LastLogString = AcousticProject->LastLogString();
    return c;
}

void TMainForm::InstallExceptionHandler(TCrashHandler& Handler) {
    Handler.Context = [this] { return CrashContext(); };
    Handler.SaveBackup = [this](const std::string& BackupPath) { Documents->SaveBackup(BackupPath); };
    SetUnhandledExceptionHandler([&Handler](QObject* sender, std::exception_ptr error) {
        Handler.ManejadorGlobalExcepciones(SenderDescription(sender), error);
    });
}

// ---------------------------------------------------------------------------------------------------
// Editor view

void TMainForm::ViewCursorChanged(TCursor Cursor) {
    if (viewportPanel_ != nullptr) {
        viewportPanel_->SetViewCursor(Cursor);
    }
}

void TMainForm::RefreshMousePosition() {
    if (viewportPanel_ != nullptr) {
        viewportPanel_->ReplayMouseMove();
    }
}

void TMainForm::PopupGlobalMenu(TObject* TagObject) {
    popupGlobalTarget_ = TagObject;
    if (popupGlobalMenu_ != nullptr && !popupGlobalMenu_->isEmpty()) {
        popupGlobalMenu_->popup(QCursor::pos());
    }
}

void TMainForm::PopupModels() {
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("PopupModels"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    FillModelMenu(menu, Library->PopupModels, [this](int tag) { Editor->Adding.ModelMenuItemClick(tag); });
    menu->popup(QCursor::pos());
}

void TMainForm::ShowOffsetsDialog(TOffsetsMode) {
    // The offsets dialog comes with its own change.
}

QAction* TMainForm::ActionOf(TUIAction& Action) const {
    return actions_->Of(Action);
}
QAction* TMainForm::LeftToolPanelItem() const {
    return actions_->Of(const_cast<TUIAction&>(Commands.LeftToolPanelItem));
}
QAction* TMainForm::SPLBarPanelItem() const {
    return actions_->Of(const_cast<TUIAction&>(Commands.SPLBarPanelItem));
}
QAction* TMainForm::ConfigPanelItem() const {
    return actions_->Of(const_cast<TUIAction&>(Commands.ConfigPanelItem));
}
QAction* TMainForm::ShortCutsItem() const {
    return actions_->Of(const_cast<TUIAction&>(Commands.ShortCutsItem));
}
QAction* TMainForm::DumpLogMenuItem() const {
    return actions_->Of(const_cast<TUIAction&>(Commands.DumpLogMenuItem));
}

void TMainForm::FocusViewport() {
    if (viewportPanel_ != nullptr) {
        viewportPanel_->GLView()->setFocus();
    }
}

void TMainForm::ObjectRemoved(TObject* Obj) {
    if (popupGlobalTarget_ == Obj) {
        popupGlobalTarget_ = nullptr;
    }
}

// ---------------------------------------------------------------------------------------------------
// Keys

bool TMainForm::isShortcutOfAnAction(const QKeySequence& Keys) const {
    for (const QAction* a : findChildren<QAction*>()) {
        if (a->isEnabled() && !a->shortcut().isEmpty() &&
            a->shortcut().matches(Keys) == QKeySequence::ExactMatch) {
            return true;
        }
    }
    return false;
}

void TMainForm::keyPressEvent(QKeyEvent* event) {
    // A key that is a command's shortcut ran that command already.
    if (isShortcutOfAnAction(QKeySequence(event->keyCombination()))) {
        return;
    }
    const QWidget* focus = QApplication::focusWidget();
    const bool textField = qobject_cast<const QLineEdit*>(focus) != nullptr ||
                           qobject_cast<const QAbstractSpinBox*>(focus) != nullptr ||
                           qobject_cast<const QPlainTextEdit*>(focus) != nullptr ||
                           qobject_cast<const QTextEdit*>(focus) != nullptr;
    TShiftState shift;
    shift.Shift = event->modifiers().testFlag(Qt::ShiftModifier);
    shift.Ctrl = event->modifiers().testFlag(Qt::ControlModifier);
    shift.Alt = event->modifiers().testFlag(Qt::AltModifier);
    uint16_t key = 0;
    switch (event->key()) {
    case Qt::Key_Shift:
        key = 16;
        break;
    case Qt::Key_Control:
        key = 17;
        break;
    case Qt::Key_Delete:
        key = 46;
        break;
    case Qt::Key_Escape:
        key = 27;
        break;
    case Qt::Key_Left:
        key = 37;
        break;
    case Qt::Key_Up:
        key = 38;
        break;
    case Qt::Key_Right:
        key = 39;
        break;
    case Qt::Key_Down:
        key = 40;
        break;
    default:
        break;
    }
    const QString text = event->text();
    const char16_t ch = text.size() == 1 ? static_cast<char16_t>(text.at(0).unicode()) : u'\0';
    if (!Editor->Keys.MainFormKeyDown(key, ch, shift, textField)) {
        QMainWindow::keyPressEvent(event);
    }
}

void TMainForm::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Shift) {
        Editor->Keys.FormKeyUp(16);
    } else if (event->key() == Qt::Key_Control) {
        Editor->Keys.FormKeyUp(17);
    }
    QMainWindow::keyReleaseEvent(event);
}

// ---------------------------------------------------------------------------------------------------
// Window events

void TMainForm::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && isVisible()) {
        FormActivate();
    }
}

void TMainForm::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FormResize();
}

} // namespace vendrel
