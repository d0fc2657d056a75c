#pragma once
// Model updates from the update service: the update check, the comparison of the list with the model
// library, the offer of newer and new models and their installation.
//
// Nothing here waits for the network. The transport fetches on a thread of its own and answers on the
// user-interface thread; the program starts and runs while a check is under way. A list that arrives
// while the library is being read waits until the reading is over, and is then compared with the
// headers that reading kept. One check runs at a time.
//
// Downloads go into a private folder (created for them alone and removed on every path) under plain
// file names taken from their links; each downloaded file must pass the library's own check of its
// kind before it is imported, so an error page or a cut file never replaces a good model. A newer
// program is announced with where to get it; nothing is downloaded or run for it.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "files/update_list.h"

namespace vendrel {

class TModelLibrary;

// The update service's downloads, made off the user-interface thread. Every Done runs later on the
// user-interface thread, never inside the call that started it; Cancel drops the calls still to come.
class IUpdateTransport {
public:
    struct TFile {
        std::string Url;
        std::filesystem::path Target;
    };
    // A transfer's end: Error is empty when it succeeded.
    struct TFetched {
        std::string Error;
    };
    using TListDone = std::function<void(std::string Text, std::string Error)>;
    using TFilesProgress = std::function<void(size_t Index, uint64_t Bytes, uint64_t Total)>;
    using TFilesDone = std::function<void(std::vector<TFetched> Results)>;

    virtual ~IUpdateTransport() = default;
    // The list text, or the reason it was not obtained (an HTML page counts as not obtained).
    virtual void FetchList(const std::string& Url, TListDone Done) = 0;
    // The files one after the other, each written to its target (a failed one leaves no target).
    virtual void FetchFiles(std::vector<TFile> Files, TFilesProgress Progress, TFilesDone Done) = 0;
    // Stops what runs; its Done never comes.
    virtual void Cancel() = 0;
};

class TLibraryUpdates {
public:
    struct TService {
        std::string BaseAddress; // URL_DESCARGA
        std::string ListName;    // NAME_FILEVERSION
        TProgramVersion Running;
    };

    // Library and transport are not owned and outlive this object.
    TLibraryUpdates(TModelLibrary& Library, IUpdateTransport& Transport, TService Service);
    ~TLibraryUpdates();
    TLibraryUpdates(const TLibraryUpdates&) = delete;
    TLibraryUpdates& operator=(const TLibraryUpdates&) = delete;

    // ---- The window's side ----
    // True while the window reads the library: an arriving list waits for LibraryRead.
    std::function<bool()> LibraryBusy;
    // Imports downloaded model files into the library (reads it again and shows the library tab).
    std::function<void(const std::vector<std::filesystem::path>& Files)> ImportFiles;
    // The download progress in the window's progress bar and status text; HideProgress ends it.
    std::function<void(const std::string& Text, double Value, double Max)> ShowProgress;
    std::function<void()> HideProgress;

    // Whether the service's address and list name are known; without them there is no check.
    bool Configured() const;
    // Starts an update check: false without a service (the window hides its button). A check asked
    // for while one is under way is the same check. AtStart: a list that cannot be read is not
    // reported (the program starts as usual); asked by the user, the reason is shown.
    bool ActualizaSoftware(bool AtStart);
    bool Checking() const { return checking_; }
    // The window has read the library: a list that arrived meanwhile is compared now.
    void LibraryRead();
    // Stops a check or a download; the private folder goes.
    void Cancel();

    // The list of the last check that read one (null before), its models missing from the library,
    // and the private download folder while downloads run.
    const TUpdateList* UpdateList() const { return list_.get(); }
    const std::vector<std::string>& NewInternetModels() const { return newInternetModels_; }
    const std::filesystem::path& DownloadFolder() const { return folder_; }

private:
    struct TChosen {
        std::string Name; // the model's name, for the messages
        std::string FileName;
        std::string Url;
    };

    void listArrived(const std::string& Text, const std::string& Error);
    void takeList();
    void CheckNewModelsOnInternet();
    void ShowFilesToUpdate();
    // The models the user chose whose links name a plain model file; the others are reported.
    std::vector<TChosen> chooseDownloads(std::vector<std::string>& Failures);
    void filesArrived(const std::vector<TChosen>& Chosen,
                      const std::vector<IUpdateTransport::TFetched>& Results,
                      std::vector<std::string> Failures);
    void reportFailures(const std::vector<std::string>& Failures) const;
    void removeFolder();
    void finish();

    TModelLibrary& library_;
    IUpdateTransport& transport_;
    TService service_;
    bool checking_ = false;
    bool atStart_ = false;
    bool listWaiting_ = false;
    std::optional<std::string> waitingText_;
    std::string waitingError_;
    std::unique_ptr<TUpdateList> list_;
    std::vector<std::string> newInternetModels_;
    std::filesystem::path folder_;
};

// Whether a file name taken from a link is a plain name of a model file: not empty, no folder part,
// ending in ".cabinet", ".rigging" or ".ornament".
bool IsPlainModelFileName(const std::string& FileName);

} // namespace vendrel
