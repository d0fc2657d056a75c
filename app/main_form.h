#pragma once
// The main window: a thin QMainWindow that owns the physical medium, the project, the editor, the
// settings and the 3D view, and lays out the menus, the view tools, the 3D view, the level colour bar,
// the configuration panel with its tabs and the status bar. The editing logic lives in the editor
// (editor/); this window creates, activates and closes, reads and writes the settings, switches units
// and panels, and shows the status figures.
//
// Every way of closing the window (the title bar, the Exit command, the system) runs FormCloseQuery,
// which may keep it open, and then FormClose, which writes the settings back.

#include "app/crash_log.h"
#include "app/main_menus.h"
#include "app/settings.h"
#include "app/units_status.h"
#include "editor/editor_view.h"
#include "editor/layers.h"
#include "report/report_pictures.h"

#include <QMainWindow>

#include <map>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QImage;
class QCheckBox;
class QComboBox;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QTabWidget;
class QWidget;

namespace vendrel {

class TAboutForm;
class TAcousticProject;
class TPhysicalSpace;
class TMemIniFile;
class TEditor;
class TViewportPanel;
class TMapBarPanel;
class IDispatcher;
class TModelLibrary;
class TObjectPages;
class TDistributionPanel;
class TDetachedWindow;
class TActionTable;
class TDeveloperTab;
class TViewTools;
class TDocuments;
class IProgressBar;
class IStatusLabel;

class TMainForm : public QMainWindow, private IEditorView, private IReportPictures {
    Q_OBJECT
public:
    // About: the start window (not owned), whose application information the window reads. MainLogo:
    // the decoded picture of LgMn.dat.
    TMainForm(TAboutForm& About, const std::vector<uint8_t>& MainLogo, IDispatcher* Dispatcher);
    ~TMainForm() override;

    // ---- Model and editor ----
    std::unique_ptr<TPhysicalSpace> PhysicalSpace;
    std::unique_ptr<TAcousticProject> AcousticProject;
    std::unique_ptr<TEditor> Editor;

    // ---- Paths ----
    std::string AppDataPath;
    std::string MyDocsPath;
    std::string ProjectFolder;
    std::string SettingsFilePath;
    std::string PreCaption;
    std::string DefaultProjectFileName;

    // ---- Settings ----
    std::unique_ptr<TMemIniFile> SettingsIni;
    TAppSettings Prefs; // the values read; those no control shows yet are kept here

    // ---- The model library of the application data folder ----
    std::unique_ptr<TModelLibrary> Library;

    // ---- The project as a document: open, save, new, recent files, the file name and folder ----
    std::unique_ptr<TDocuments> Documents;

    // ---- Lists the update check and the document commands fill ----
    std::vector<std::string> NewInternetModels;

    // ---- Colour tables ----
    TColorArray DefaultMicColors{};
    TColorArray DefaultOverlaysColors{};

    // ---- The window's own commands (the editor's and the documents' are theirs) ----
    TWindowCommands Commands;

    // ---- Flags ----
    bool ClosingApplication = false;
    bool ShowPhase = true;
    bool CheckLibButtonVisible = true; // the preferences' "Check for Updates" button

    // ---- Creation, activation, closing ----
    void FormActivate();
    // False keeps the window open (the user cancelled the save question).
    bool FormCloseQuery();
    void FormClose();
    void DrawCaption();
    void ProjectModifiedChanged();
    bool IsModalWindowActive() const;
    // Runs the pending queued calls and other non-input events (user input waits).
    void ProcessMessages();

    // ---- Settings ----
    void CreateSettingsIni();
    void ReadSettingsIni();
    static std::string GetOSLangID();

    // ---- Library ----
    void ReadLibraryFiles();
    void CheckNewModelsOnInternet();
    void OrganizeCabinetModels();

    // ---- Layout, navigation, status ----
    void UpdateSystemUnits();
    void UpdatePosStepsUnits();
    void ShowMemoryInfo() override;
    void LeftToolPanelItemClick();
    void SPLBarPanelItemClick();
    void ConfigPanelItemClick();
    void ShowHideControlsCBClick();
    void MainTabItemClick(int Index);
    void ShortCutsItemClick();
    void CloseSCPathClick();
    void DumpLogMenuItemClick();
    // The recent-files menu from the document's list.
    void CreateMRUItems();
    void AboutItemClick();
    void ExitActionExecute();
    // File > Save Report: the project's PDF report, with the window's pictures.
    void SaveReportActionExecute();
    // The picture of the current view: the scene drawn off screen at a fixed size (whatever the
    // window's size), the colour bar beside it, the logos, the frame and the caption band. A null
    // image when the scene cannot be drawn.
    QImage GetSceneBMP();
    // Tests: runs before each report picture is made, with the picture's kind ("view", "model").
    std::function<void(const std::string& Kind)> ReportPictureHook;

    // The crash handler's view of the window.
    void InstallExceptionHandler(TCrashHandler& Handler);
    TCrashHandler::TContext CrashContext() const;
    // The description of the object an exception came from: "Parent.Name - Class.Name".
    static std::string SenderDescription(QObject* Sender);

    // ---- Widgets (read by tests and other windows) ----
    TViewportPanel* ViewportPanel() const { return viewportPanel_; }
    TMapBarPanel* MapBar() const { return mapBar_; }
    QTabWidget* MainTabControl() const { return mainTabs_; }
    QWidget* PanelViewTools() const { return panelViewTools_; }
    QWidget* PanelMapBar() const { return panelMapBar_; }
    QWidget* PanelControls() const { return panelControls_; }
    QAction* LeftToolPanelItem() const;
    QAction* SPLBarPanelItem() const;
    QAction* ConfigPanelItem() const;
    QAction* ShortCutsItem() const;
    QAction* DumpLogMenuItem() const;
    // The QAction of a command (every menu item and button of it shares it).
    QAction* ActionOf(TUIAction& Action) const;
    QMenu* ReOpenItem() const { return reOpenItem_; }
    QLabel* StatusLabel() const { return statusLabel_; }
    QCheckBox* ShowHideControlsCB() const { return showHideControlsCB_; }
    QLabel* MemoryStatusLabel() const { return memoryLabel_; }
    QWidget* DeveloperTabItem() const { return developerTab_; }
    TObjectPages* ObjectPages() const { return objectPages_; }
    TDistributionPanel* DistributionPanel() const { return distribution_; }
    TDetachedWindow* ResponseWindow() const { return responseWindow_; }
    TDetachedWindow* DistributionWindow() const { return distributionWindow_; }
    QMenu* PopupGlobalMenuWidget() const { return popupGlobalMenu_; }
    QLabel* RectModified() const { return rectModified_; }

    // Index of the developer tab in the main tab control.
    int DeveloperTabIndex() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    // IEditorView
    void ViewCursorChanged(TCursor Cursor) override;
    void PopupGlobalMenu(TObject* TagObject) override;
    void RefreshMousePosition() override;
    void PopupModels() override;
    void FocusViewport() override;
    void ShowOffsetsDialog(TOffsetsMode Mode) override;
    void ObjectRemoved(TObject* Obj) override;

    // IReportPictures: the pictures this window can make; the others are not in the window yet.
    TBitmap SceneView(TViewType View) override;
    TBitmap ModelPicture(const TCabModel& Model) override;
    TBitmap ArrayPicture(TCabArray& Array) override;
    TBitmap DspProcessChart(TGenericDSPProcess& Process) override;
    TBitmap ResponseChart() override;

    void FormCreate(const std::vector<uint8_t>& MainLogo);
    void createFolders();
    void createDocuments();
    void buildMenus();
    void buildCentralArea();
    void buildStatusBar();
    void buildShortCutsMemo();
    // The distribution tab's panel, and the windows the response and distribution panels detach into.
    void buildResultPanels();
    // The choices of the map bar and the render menus as the settings file holds them.
    void applyRenderSettings();
    void applyAppearance();
    void FormResize();
    void setPanelVisible(QWidget* Panel, const TUIAction& Item, const char* Key);
    bool isShortcutOfAnAction(const QKeySequence& Keys) const;

    TAboutForm& about_;
    IDispatcher* dispatcher_;
    bool firstActivation_ = true;
    bool settingsRead_ = false;
    bool closed_ = false;

    TViewportPanel* viewportPanel_ = nullptr;
    TMapBarPanel* mapBar_ = nullptr;
    QTabWidget* mainTabs_ = nullptr;
    QWidget* panelViewTools_ = nullptr;
    QWidget* panelMapBar_ = nullptr;
    QWidget* panelControls_ = nullptr;
    QWidget* developerTab_ = nullptr;
    TDeveloperTab* developerTabWidget_ = nullptr;
    TViewTools* viewTools_ = nullptr;
    std::unique_ptr<TActionTable> actions_; // one QAction per command
    QPlainTextEdit* shortCutsMemo_ = nullptr;
    QLabel* logo_ = nullptr;
    QLabel* statusLabel_ = nullptr;
    QLabel* rectModified_ = nullptr;
    QLabel* memoryLabel_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    QCheckBox* showHideControlsCB_ = nullptr;
    QMenu* reOpenItem_ = nullptr;
    QMenu* popupGlobalMenu_ = nullptr;
    TObject* popupGlobalTarget_ = nullptr; // the object the scene menu acts on; not owned
    TObjectPages* objectPages_ = nullptr;
    TDistributionPanel* distribution_ = nullptr;
    TDetachedWindow* responseWindow_ = nullptr;
    TDetachedWindow* distributionWindow_ = nullptr;
    // The progress bar and status label as the project's queued progress reports use them.
    std::unique_ptr<IProgressBar> projectProgress_;
    std::unique_ptr<IStatusLabel> projectStatus_;
};

} // namespace vendrel
