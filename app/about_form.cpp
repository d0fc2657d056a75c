#include "app/about_form.h"

#include "app/main_form.h"
#include "platform/core/base64.h"
#include "platform/core/mem_ini_file.h"
#include "platform/core/message_box.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

#include <filesystem>
#include <stdexcept>

namespace vendrel {

namespace fs = std::filesystem;

namespace {

void reportMissing(TStartData& d, const std::string& name) {
    d.Missing.push_back(name);
    MessageBoxService().MessageDlg("Cannot find file: " + name + "  Re-Install the application to fix this.",
                                   TMsgDlgType::mtWarning, {TMsgDlgBtn::mbOK});
}

QPixmap pictureOf(const std::vector<uint8_t>& bytes) {
    QImage image;
    if (!image.loadFromData(bytes.data(), static_cast<int>(bytes.size()))) {
        throw std::runtime_error("Invalid Image format");
    }
    return QPixmap::fromImage(image);
}

} // namespace

TStartData ReadStartData(const std::string& ProgramFolder, const std::vector<std::string>& Arguments,
                         const std::string& VersionText) {
    TStartData d;
    d.InitialLogString = "AboutForm.FormCreate";
    d.ArchivoAsociado = Arguments.empty() ? std::string() : Arguments.front();
    d.Version = SplitAppVersion(VersionText);
    d.AppPath = (fs::path(ProgramFolder) / "").string();
    d.AppInfoFilePath = d.AppPath + "app.dat";
    if (fs::exists(d.AppInfoFilePath)) {
        const auto bytes = DecodeDataFile(d.AppInfoFilePath);
        TMemIniFile ini;
        ini.SetText(std::string(bytes.begin(), bytes.end()));
        d.InitialLogString = "AboutForm.ReadApplicationInfo";
        ReadApplicationInfo(ini, d.AppInfo);
    } else {
        reportMissing(d, "app.dat");
    }
    const auto load = [&](const char* name, std::vector<uint8_t>& into) {
        const std::string path = d.AppPath + name;
        if (fs::exists(path)) {
            into = DecodeDataFile(path);
        } else {
            reportMissing(d, name);
        }
    };
    load("LgSplsh.dat", d.SplashLogo);
    load("Splsh.dat", d.SplashPicture);
    load("LgMn.dat", d.MainLogo);
    return d;
}

TAboutForm::TAboutForm(TStartData Data)
    : QWidget(nullptr, Qt::FramelessWindowHint), InitialLogString(std::move(Data.InitialLogString)),
      AppPath(std::move(Data.AppPath)), AppInfoFilePath(std::move(Data.AppInfoFilePath)),
      ArchivoAsociado(std::move(Data.ArchivoAsociado)), Version(std::move(Data.Version)),
      AppInfo(std::move(Data.AppInfo)) {
    setObjectName(QStringLiteral("AboutForm"));
    setFixedSize(549, 344);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor::fromRgba(0xFF303030));
    pal.setColor(QPalette::WindowText, QColor(230, 232, 236));
    setPalette(pal);

    splash_ = new QLabel(this);
    splash_->setObjectName(QStringLiteral("Splash"));
    splash_->setGeometry(1, 1, 546, 249);
    splash_->setAlignment(Qt::AlignCenter);
    splash_->setPixmap(pictureOf(Data.SplashPicture));
    logo_ = new QLabel(this);
    logo_->setObjectName(QStringLiteral("LogoImage"));
    logo_->setGeometry(549 - 160 - 8, 344 - 61 - 8, 160, 61);
    logo_->setPixmap(pictureOf(Data.SplashLogo));

    auto* texts = new QWidget(this);
    texts->setGeometry(12, 256, 360, 82);
    auto* column = new QVBoxLayout(texts);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    const auto label = [&](const char* name) {
        auto* l = new QLabel(texts);
        l->setObjectName(QString::fromLatin1(name));
        column->addWidget(l);
        return l;
    };
    softName_ = label("SoftNameLabel");
    QFont big = softName_->font();
    big.setPointSizeF(big.pointSizeF() * 1.3);
    big.setBold(true);
    softName_->setFont(big);
    version_ = label("VersionLabel");
    copyright_ = label("CopyRightLabel");
    status_ = label("StatusLabel");

    updateProgress_ = new QProgressBar(this);
    updateProgress_->setObjectName(QStringLiteral("UpdateProgress"));
    updateProgress_->setGeometry(8, 236, 537, 20);
    updateProgress_->setFormat(QStringLiteral("Downloading..."));

    updateProgress_->hide();
    softName_->hide();
    version_->hide();
    status_->hide();

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->geometry().center() - rect().center());
    }
}

TAboutForm::~TAboutForm() = default;

void TAboutForm::FormActivate() {
    if (InitiatingSystem && MainForm != nullptr) {
        if (!fs::exists(MainForm->SettingsFilePath)) {
            MainForm->CreateSettingsIni();
        }
        MainForm->ReadSettingsIni();
        MainForm->ProcessMessages();
        status_->show();
        softName_->show();
        version_->show();
        MainForm->UpdateSystemUnits();
    }
    softName_->setText(QString::fromStdString(AppInfo.AppCaption + " (64 bit)"));
    version_->setText(QString::fromStdString("Version " + Version.AppMajorVersion + "." +
                                             Version.AppMinorVersion + "." + Version.AppReleaseVersion +
                                             " Build " + Version.AppBuildVersion));
    if (!AppInfo.Copyright.empty()) {
        copyright_->setText(QString::fromUtf8("\u00A9 ") + QString::fromStdString(AppInfo.Copyright));
    }
    if (InitiatingSystem) {
        // The version shows while the library is read.
        repaint();
        const bool listRead = ActualizaSoftware();
        if (!IsInstallingNewVersion) {
            StartConfiguration(listRead);
        }
    }
}

bool TAboutForm::ActualizaSoftware() {
    InitialLogString = "AboutForm.ActualizaSoftware";
    TempDir = (fs::temp_directory_path() / "").string();
    IsInstallingNewVersion = false;
    if (AppInfo.UrlDescarga.empty() || AppInfo.NameFileVersion.empty()) {
        if (MainForm != nullptr) {
            MainForm->CheckLibButtonVisible = false;
        }
        return false;
    }
    // The download of the update list comes with the update service; until then there is no update.
    return false;
}

void TAboutForm::StartConfiguration(bool CheckModels) {
    InitialLogString = "AboutForm.StartConfiguration";
    if (MainForm != nullptr) {
        MainForm->ReadLibraryFiles();
        if (CheckModels) {
            MainForm->CheckNewModelsOnInternet();
        }
        MainForm->OrganizeCabinetModels();
    }
    status_->clear();
    if (MainForm != nullptr) {
        MainForm->show();
        MainForm->raise();
        MainForm->activateWindow();
    }
    close();
}

void TAboutForm::SplashClick() {
    close();
}

void TAboutForm::mousePressEvent(QMouseEvent*) {
    SplashClick();
}

void TAboutForm::closeEvent(QCloseEvent* event) {
    // Closing the start window before the main window is shown ends the program.
    if (InitiatingSystem && (MainForm == nullptr || !MainForm->isVisible())) {
        QCoreApplication::exit(0);
    }
    event->accept();
}

} // namespace vendrel
