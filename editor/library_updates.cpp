#include "editor/library_updates.h"

#include <stdlib.h>

#include <set>

#include "files/library_scan.h"
#include "platform/core/message_box.h"

namespace vendrel {

namespace fs = std::filesystem;

namespace {

bool endsWith(const std::string& s, const std::string& end) {
    return s.size() > end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

std::string namesFollowedByComma(const std::vector<std::string>& Names, const std::string& Before) {
    std::string text;
    for (const std::string& name : Names) {
        text += Before + name + ", ";
    }
    return text;
}

bool askToInstall(const std::string& Intro, const std::string& Names) {
    return MessageBoxService().MessageDlg(
               Intro + "\r\n\r\n" + Names + "\r\n\r\n" + "Do you want to download and install them?",
               TMsgDlgType::mtConfirmation, {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo}) == TModalResult::mrYes;
}

} // namespace

bool IsPlainModelFileName(const std::string& FileName) {
    if (FileName.find_first_of("/\\") != std::string::npos || FileName.find('\0') != std::string::npos) {
        return false;
    }
    return endsWith(FileName, ".cabinet") || endsWith(FileName, ".rigging") ||
           endsWith(FileName, ".ornament");
}

TLibraryUpdates::TLibraryUpdates(TModelLibrary& Library, IUpdateTransport& Transport, TService Service)
    : library_(Library), transport_(Transport), service_(std::move(Service)) {}

TLibraryUpdates::~TLibraryUpdates() {
    transport_.Cancel();
    removeFolder();
    if (library_.UpdateList == list_.get()) {
        library_.UpdateList = nullptr;
    }
}

bool TLibraryUpdates::Configured() const {
    return !service_.BaseAddress.empty() && !service_.ListName.empty();
}

bool TLibraryUpdates::ActualizaSoftware(bool AtStart) {
    if (!Configured()) {
        return false;
    }
    if (checking_) {
        // The user asked for the check under way: its failures are his to hear about now.
        atStart_ = atStart_ && AtStart;
        return true;
    }
    checking_ = true;
    atStart_ = AtStart;
    transport_.FetchList(service_.BaseAddress + service_.ListName,
                         [this](std::string Text, std::string Error) { listArrived(Text, Error); });
    return true;
}

void TLibraryUpdates::listArrived(const std::string& Text, const std::string& Error) {
    if (LibraryBusy && LibraryBusy()) {
        listWaiting_ = true;
        waitingText_ = Text;
        waitingError_ = Error;
        return;
    }
    waitingText_ = Text;
    waitingError_ = Error;
    takeList();
}

void TLibraryUpdates::LibraryRead() {
    if (listWaiting_) {
        listWaiting_ = false;
        takeList();
    }
}

void TLibraryUpdates::takeList() {
    const std::string text = waitingText_.value_or(std::string());
    const std::string error = waitingError_;
    waitingText_.reset();
    waitingError_.clear();
    std::optional<TUpdateList> parsed;
    if (error.empty()) {
        parsed = ParseUpdateList(text, service_.BaseAddress, service_.Running);
    }
    if (!parsed) {
        finish();
        if (!atStart_) {
            MessageBoxService().MessageDlg(
                "The update list could not be read:\r\n\r\n" +
                    (error.empty() ? std::string("It is not a valid update list.") : error),
                TMsgDlgType::mtWarning, {TMsgDlgBtn::mbOK});
        }
        return;
    }
    if (parsed->OffersNewerProgram(service_.Running)) {
        // Announced only: nothing is downloaded or run, and the models are not compared (a newer
        // program may read them differently).
        finish();
        MessageBoxService().MessageDlg("There is a newer version of the software: " + parsed->NewestVersion +
                                           "\r\n\r\nYou can download it from:\r\n" + service_.BaseAddress +
                                           parsed->Installer,
                                       TMsgDlgType::mtInformation, {TMsgDlgBtn::mbOK});
        return;
    }
    if (library_.UpdateList == list_.get()) {
        library_.UpdateList = nullptr;
    }
    list_ = std::make_unique<TUpdateList>(std::move(*parsed));
    library_.UpdateList = list_.get();
    library_.CompareWithUpdateList();
    CheckNewModelsOnInternet();
    ShowFilesToUpdate();
}

void TLibraryUpdates::CheckNewModelsOnInternet() {
    newInternetModels_ = library_.CheckNewModelsOnInternet();
}

std::vector<TLibraryUpdates::TChosen> TLibraryUpdates::chooseDownloads(std::vector<std::string>& Failures) {
    const bool updates = !library_.NewUpdateInModels.empty() &&
                         askToInstall("There are updates of your models:",
                                      namesFollowedByComma(library_.NewUpdateInModels, ""));
    const bool newModels =
        !newInternetModels_.empty() &&
        askToInstall("There are new models available:", namesFollowedByComma(newInternetModels_, " "));
    std::vector<TChosen> chosen;
    std::set<std::string> taken;
    for (const rInternetLibFile& entry : list_->InternetLibFiles()) {
        if (!((updates && entry.IsNewVersion) || (newModels && entry.IsNewModel))) {
            continue;
        }
        const std::string file = ExtractFileNameURL(entry.UpdateLink);
        if (!IsPlainModelFileName(file)) {
            Failures.push_back(entry.ModelName + ": its link names no cabinet, rigging or ornament file");
        } else if (!taken.insert(file).second) {
            Failures.push_back(entry.ModelName + ": its file name is that of another model of the list");
        } else {
            chosen.push_back({entry.ModelName, file, entry.UpdateLink});
        }
    }
    return chosen;
}

void TLibraryUpdates::ShowFilesToUpdate() {
    std::vector<std::string> failures;
    const std::vector<TChosen> chosen = chooseDownloads(failures);
    if (chosen.empty()) {
        finish();
        reportFailures(failures);
        return;
    }
    std::string pattern = (fs::temp_directory_path() / "vendrel_models_XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        finish();
        for (const TChosen& c : chosen) {
            failures.push_back(c.Name + ": no folder for the download could be made");
        }
        reportFailures(failures);
        return;
    }
    folder_ = pattern;
    std::vector<IUpdateTransport::TFile> files;
    for (const TChosen& c : chosen) {
        files.push_back({c.Url, folder_ / c.FileName});
    }
    const double count = static_cast<double>(files.size());
    if (ShowProgress) {
        ShowProgress("Downloading Models...", 0.0, count);
    }
    transport_.FetchFiles(
        std::move(files),
        [this, count](size_t Index, uint64_t Bytes, uint64_t Total) {
            if (ShowProgress) {
                const double part = Total > 0 ? static_cast<double>(Bytes) / static_cast<double>(Total) : 0.0;
                ShowProgress("Downloading Models...", static_cast<double>(Index) + part, count);
            }
        },
        [this, chosen, failures](std::vector<IUpdateTransport::TFetched> Results) {
            filesArrived(chosen, Results, failures);
        });
}

void TLibraryUpdates::filesArrived(const std::vector<TChosen>& Chosen,
                                   const std::vector<IUpdateTransport::TFetched>& Results,
                                   std::vector<std::string> Failures) {
    std::vector<fs::path> accepted;
    for (size_t i = 0; i < Chosen.size(); ++i) {
        const fs::path file = folder_ / Chosen[i].FileName;
        const std::string error = i < Results.size() ? Results[i].Error : std::string("not downloaded");
        std::string why;
        if (!error.empty()) {
            Failures.push_back(Chosen[i].Name + ": " + error);
        } else if (!library_.CheckDownloadedModel(file, why)) {
            Failures.push_back(Chosen[i].Name + ": " + why);
        } else {
            accepted.push_back(file);
        }
    }
    if (HideProgress) {
        HideProgress();
    }
    if (!accepted.empty() && ImportFiles) {
        ImportFiles(accepted);
    }
    removeFolder();
    finish();
    reportFailures(Failures);
}

void TLibraryUpdates::reportFailures(const std::vector<std::string>& Failures) const {
    if (Failures.empty()) {
        return;
    }
    std::string text = "These models were not installed:\r\n";
    for (const std::string& line : Failures) {
        text += "\r\n" + line;
    }
    MessageBoxService().MessageDlg(text, TMsgDlgType::mtWarning, {TMsgDlgBtn::mbOK});
}

void TLibraryUpdates::Cancel() {
    transport_.Cancel();
    const bool downloading = !folder_.empty();
    removeFolder();
    if (downloading && HideProgress) {
        HideProgress();
    }
    listWaiting_ = false;
    waitingText_.reset();
    finish();
}

void TLibraryUpdates::removeFolder() {
    if (!folder_.empty()) {
        std::error_code ec;
        fs::remove_all(folder_, ec);
        folder_.clear();
    }
}

void TLibraryUpdates::finish() {
    checking_ = false;
}

} // namespace vendrel
