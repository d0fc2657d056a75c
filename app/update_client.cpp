#include "app/update_client.h"

#include "platform/core/dispatcher.h"
#include "platform/core/worker_thread.h"

#include <curl/curl.h>

#include <fstream>
#include <mutex>

namespace vendrel {

namespace fs = std::filesystem;

namespace {

constexpr const char* kAccept = "Accept: text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8";

void globalInit() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct Transfer {
    const std::function<bool(const char*, size_t)>* sink = nullptr;
    const std::function<void(uint64_t, uint64_t)>* progress = nullptr;
    THttpsAbort* abort = nullptr;
    uint64_t maxBytes = 0;
    uint64_t bytes = 0;
    bool tooLarge = false;
    bool refused = false;
};

size_t writeBody(char* data, size_t size, size_t count, void* user) {
    auto& t = *static_cast<Transfer*>(user);
    const size_t n = size * count;
    t.bytes += n;
    if (t.bytes > t.maxBytes) {
        t.tooLarge = true;
        return 0;
    }
    if (!(*t.sink)(data, n)) {
        t.refused = true;
        return 0;
    }
    return n;
}

int transferInfo(void* user, curl_off_t total, curl_off_t now, curl_off_t, curl_off_t) {
    auto& t = *static_cast<Transfer*>(user);
    if (t.abort->Aborted()) {
        return 1;
    }
    if (*t.progress) {
        (*t.progress)(static_cast<uint64_t>(now), static_cast<uint64_t>(total));
    }
    return 0;
}

struct EasyDeleter {
    void operator()(CURL* c) const { curl_easy_cleanup(c); }
};
struct MultiDeleter {
    void operator()(CURLM* m) const { curl_multi_cleanup(m); }
};
struct ListDeleter {
    void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};

} // namespace

// Publishes the transfer's multi handle for the abort's wake-up while the transfer runs.
class THttpsRequest {
public:
    THttpsRequest(THttpsAbort& Abort, CURLM* Multi) : abort_(Abort) {
        std::lock_guard lock(abort_.mutex_);
        abort_.multi_ = Multi;
    }
    ~THttpsRequest() {
        std::lock_guard lock(abort_.mutex_);
        abort_.multi_ = nullptr;
    }
    THttpsRequest(const THttpsRequest&) = delete;
    THttpsRequest& operator=(const THttpsRequest&) = delete;

private:
    THttpsAbort& abort_;
};

void THttpsAbort::Abort() {
    aborted_ = true;
    std::lock_guard lock(mutex_);
    if (multi_ != nullptr) {
        curl_multi_wakeup(static_cast<CURLM*>(multi_));
    }
}

std::string HttpsGet(const std::string& Url, const THttpsSettings& Settings, uint64_t MaxBytes,
                     long TimeoutSeconds, const std::function<bool(const char*, size_t)>& Sink,
                     const std::function<void(uint64_t, uint64_t)>& Progress, THttpsAbort& Abort,
                     std::string* ContentType) {
    globalInit();
    std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
    std::unique_ptr<CURLM, MultiDeleter> multi(curl_multi_init());
    if (!easy || !multi) {
        return "the network library could not start";
    }
    std::unique_ptr<curl_slist, ListDeleter> headers(curl_slist_append(nullptr, kAccept));
    Transfer t{&Sink, &Progress, &Abort, MaxBytes};
    char detail[CURL_ERROR_SIZE] = {};
    CURL* c = easy.get();
    curl_easy_setopt(c, CURLOPT_URL, Url.c_str());
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "https");
    curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "https");
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(c, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(c, CURLOPT_SSLVERSION,
                     static_cast<long>(CURL_SSLVERSION_TLSv1_2) |
                         static_cast<long>(CURL_SSLVERSION_MAX_TLSv1_2));
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!Settings.CAFile.empty()) {
        curl_easy_setopt(c, CURLOPT_CAINFO, Settings.CAFile.c_str());
    }
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, Settings.ConnectTimeoutSeconds);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, Settings.ReadTimeoutSeconds);
    curl_easy_setopt(c, CURLOPT_TIMEOUT, TimeoutSeconds);
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, writeBody);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &t);
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, transferInfo);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, &t);
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, detail);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);

    CURLcode result = CURLE_OK;
    {
        const THttpsRequest published(Abort, multi.get());
        curl_multi_add_handle(multi.get(), c);
        int running = 1;
        while (running > 0 && !Abort.Aborted()) {
            if (curl_multi_perform(multi.get(), &running) != CURLM_OK) {
                break;
            }
            if (running > 0) {
                curl_multi_poll(multi.get(), nullptr, 0, 1000, nullptr);
            }
        }
        int left = 0;
        while (CURLMsg* msg = curl_multi_info_read(multi.get(), &left)) {
            if (msg->msg == CURLMSG_DONE) {
                result = msg->data.result;
            }
        }
        if (running > 0) {
            result = CURLE_ABORTED_BY_CALLBACK;
        }
        curl_multi_remove_handle(multi.get(), c);
    }
    if (Abort.Aborted() || result == CURLE_ABORTED_BY_CALLBACK) {
        return "cancelled";
    }
    if (t.tooLarge) {
        return "larger than " + std::to_string(MaxBytes) + " bytes";
    }
    if (t.refused) {
        return "could not be written";
    }
    if (result != CURLE_OK) {
        return detail[0] != '\0' ? std::string(detail) : std::string(curl_easy_strerror(result));
    }
    long code = 0;
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &code);
    if (code != 200) {
        return "HTTP " + std::to_string(code);
    }
    if (ContentType != nullptr) {
        const char* type = nullptr;
        curl_easy_getinfo(c, CURLINFO_CONTENT_TYPE, &type);
        *ContentType = type != nullptr ? type : "";
    }
    return {};
}

TUpdateClient::TUpdateClient(IDispatcher& Dispatcher, THttpsSettings Settings)
    : dispatcher_(Dispatcher), settings_(std::move(Settings)) {
    worker_ = std::make_unique<TWorkerThread>("UpdateClient");
    worker_->Priority = TThreadPriority::tpNormal;
    worker_->StopMode = TThreadStopMode::smSuspend;
    worker_->OnRun = [this](TWorkerThread&) {
        std::function<void()> job = std::move(job_);
        job_ = nullptr;
        if (job) {
            job();
        }
    };
}

TUpdateClient::~TUpdateClient() {
    lifetime_.End();
    Cancel();
    worker_.reset();
}

bool TUpdateClient::Busy() const {
    return worker_->Active();
}

void TUpdateClient::Cancel() {
    ++generation_;
    abort_.Abort();
    worker_->CancelAndWait();
}

void TUpdateClient::run(std::function<void(uint64_t Generation)> Job) {
    if (worker_->Active()) {
        Cancel();
    }
    abort_.Reset();
    job_ = [Job = std::move(Job), generation = generation_.load()] { Job(generation); };
    worker_->Start();
}

void TUpdateClient::answer(uint64_t Generation, std::function<void()> Fn) {
    dispatcher_.Queue([this, token = lifetime_.Token(), Generation, Fn = std::move(Fn)] {
        if (token.Alive() && Generation == generation_.load()) {
            Fn();
        }
    });
}

void TUpdateClient::FetchList(const std::string& Url, TListDone Done) {
    const THttpsSettings settings = settings_;
    run([this, Url, Done = std::move(Done), settings](uint64_t generation) {
        std::string text;
        std::string type;
        std::string error = HttpsGet(
            Url, settings, settings.MaxListBytes, settings.ListTimeoutSeconds,
            [&text](const char* data, size_t size) {
                text.append(data, size);
                return true;
            },
            {}, abort_, &type);
        if (error.empty() && type.rfind("text/html", 0) == 0) {
            error = "the service answered with a web page";
        }
        if (error == "cancelled") {
            return;
        }
        answer(generation, [Done, text = std::move(text), error] { Done(error.empty() ? text : "", error); });
    });
}

void TUpdateClient::FetchFiles(std::vector<TFile> Files, TFilesProgress Progress, TFilesDone Done) {
    const THttpsSettings settings = settings_;
    run([this, Files = std::move(Files), Progress = std::move(Progress), Done = std::move(Done),
         settings](uint64_t generation) {
        std::vector<TFetched> results;
        for (size_t i = 0; i < Files.size(); ++i) {
            const TFile& file = Files[i];
            std::string error;
            {
                std::ofstream out(file.Target, std::ios::binary | std::ios::trunc);
                if (!out) {
                    error = "could not be written";
                } else {
                    error = HttpsGet(
                        file.Url, settings, settings.MaxFileBytes, settings.FileTimeoutSeconds,
                        [&out](const char* data, size_t size) {
                            out.write(data, static_cast<std::streamsize>(size));
                            return static_cast<bool>(out);
                        },
                        [this, generation, i, Progress, posted = uint64_t{0}](uint64_t bytes,
                                                                              uint64_t total) mutable {
                            // A report per 64 KiB at most: the queue is not flooded.
                            if (Progress && bytes > 0 && (bytes == total || bytes - posted >= (64u << 10))) {
                                posted = bytes;
                                answer(generation,
                                       [Progress, i, bytes, total] { Progress(i, bytes, total); });
                            }
                        },
                        abort_);
                    out.close();
                    if (error.empty() && !out) {
                        error = "could not be written";
                    }
                }
            }
            if (error == "cancelled") {
                std::error_code ec;
                fs::remove(file.Target, ec);
                return;
            }
            if (!error.empty()) {
                std::error_code ec;
                fs::remove(file.Target, ec);
            }
            results.push_back({error});
        }
        answer(generation, [Done, results = std::move(results)] { Done(results); });
    });
}

} // namespace vendrel
