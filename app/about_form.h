#pragma once
// The start window: a borderless picture window shown while the program starts, and again by the main
// window's "About" command. It holds the application information and the program's version, which the
// rest of the program reads, and on its first activation it has the main window read the settings,
// runs the update check and has the library read, then shows the main window and closes itself.

#include "app/app_info.h"

#include <QWidget>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class QLabel;
class QProgressBar;

namespace vendrel {

class TMainForm;

// What the start reads before any window exists: arguments, version, program folder and the decoded
// data files.
struct TStartData {
    std::string InitialLogString;
    std::string AppPath;         // the program folder, with a trailing separator
    std::string AppInfoFilePath; // AppPath + "app.dat"
    std::string ArchivoAsociado; // the first argument, empty without one
    TAppVersion Version;
    TApplicationInfo AppInfo;
    std::vector<uint8_t> SplashPicture; // Splsh.dat
    std::vector<uint8_t> SplashLogo;    // LgSplsh.dat
    std::vector<uint8_t> MainLogo;      // LgMn.dat
    // The data files that were missing, each already reported in its own box.
    std::vector<std::string> Missing;
};

// Reads the program's data files from ProgramFolder in the start order (app.dat, LgSplsh.dat,
// Splsh.dat, then the main window's LgMn.dat); every missing file shows "Cannot find file: <name>
// Re-Install the application to fix this." and the program must end. Arguments: the command line
// without the program itself.
TStartData ReadStartData(const std::string& ProgramFolder, const std::vector<std::string>& Arguments,
                         const std::string& VersionText);

class TAboutForm : public QWidget {
    Q_OBJECT
public:
    explicit TAboutForm(TStartData Data);
    ~TAboutForm() override;

    // Set from the window's creation until the main window's first activation ends the start.
    bool InitiatingSystem = true;
    std::string InitialLogString;
    std::string AppPath;
    std::string AppInfoFilePath;
    std::string ArchivoAsociado;
    TAppVersion Version;
    TApplicationInfo AppInfo;
    bool IsInstallingNewVersion = false;
    std::string TempDir;

    TMainForm* MainForm = nullptr; // not owned

    // First activation: settings, units, update check, library, main window; later ones refresh the
    // labels only.
    void FormActivate();
    // The update check. No update service is reachable from here: without a list address it hides
    // the preferences' update button and answers false; otherwise it answers "no update" too.
    bool ActualizaSoftware();
    void StartConfiguration(bool CheckModels);
    void SplashClick();

    QLabel* SoftNameLabel() const { return softName_; }
    QLabel* VersionLabel() const { return version_; }
    QLabel* CopyRightLabel() const { return copyright_; }
    QLabel* StatusLabel() const { return status_; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QLabel* splash_;
    QLabel* logo_;
    QLabel* softName_;
    QLabel* version_;
    QLabel* copyright_;
    QLabel* status_;
    QProgressBar* updateProgress_;
};

} // namespace vendrel
