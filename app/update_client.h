#pragma once
// The update service's transport on libcurl: HTTPS GET requests on a thread of their own, whose answers
// reach the user-interface thread through the dispatcher.
//
// Every request: TLS 1.2 exactly, HTTPS only (redirects too), the peer's certificate and name verified,
// a connect time-out, a read time-out (no byte for that long ends the transfer), a bound on the whole
// request, a cap on the bytes received, and response code 200 only; a transfer cut short fails. A
// list that comes as an HTML page counts as not obtained. Closing the client aborts the transfer under
// way at once and waits for nothing else.

#include "editor/library_updates.h"
#include "platform/core/lifetime.h"

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace vendrel {

class IDispatcher;
class TWorkerThread;

struct THttpsSettings {
    std::string CAFile;              // certificates to trust; empty: the system's
    long ConnectTimeoutSeconds = 15; // includes the TLS handshake
    long ReadTimeoutSeconds = 15;    // a started transfer that receives nothing for this long fails
    long ListTimeoutSeconds = 60;    // the whole list request
    long FileTimeoutSeconds = 900;   // the whole request of one model file
    uint64_t MaxListBytes = 1u << 20;
    uint64_t MaxFileBytes = 64u << 20;
};

// The abort of a request from another thread: the flag is polled by the transfer, the wake-up ends its
// wait for the network at once.
class THttpsAbort {
public:
    void Abort();
    bool Aborted() const { return aborted_.load(std::memory_order_acquire); }
    void Reset() { aborted_ = false; }

private:
    friend class THttpsRequest;
    std::atomic<bool> aborted_{false};
    std::mutex mutex_;
    void* multi_ = nullptr; // the transfer under way (CURLM), guarded by mutex_
};

// One GET into Sink, which takes each piece received and may refuse it (false). Progress(bytes, total)
// follows the transfer (total 0 when unknown). Returns the reason of a failure, empty on success;
// ContentType receives the response's content type.
std::string HttpsGet(const std::string& Url, const THttpsSettings& Settings, uint64_t MaxBytes,
                     long TimeoutSeconds, const std::function<bool(const char* Data, size_t Size)>& Sink,
                     const std::function<void(uint64_t Bytes, uint64_t Total)>& Progress, THttpsAbort& Abort,
                     std::string* ContentType = nullptr);

class TUpdateClient : public IUpdateTransport {
public:
    // Dispatcher (not owned) carries the answers to the user-interface thread.
    TUpdateClient(IDispatcher& Dispatcher, THttpsSettings Settings = {});
    ~TUpdateClient() override;
    TUpdateClient(const TUpdateClient&) = delete;
    TUpdateClient& operator=(const TUpdateClient&) = delete;

    void FetchList(const std::string& Url, TListDone Done) override;
    void FetchFiles(std::vector<TFile> Files, TFilesProgress Progress, TFilesDone Done) override;
    void Cancel() override;

    THttpsSettings& Settings() { return settings_; }
    // True while a request runs or waits to.
    bool Busy() const;

private:
    // Runs Job on the worker with the generation it answers for; a request under way is cancelled.
    void run(std::function<void(uint64_t Generation)> Job);
    // Queues fn for the user-interface thread unless the client was cancelled or freed meanwhile.
    void answer(uint64_t Generation, std::function<void()> Fn);

    IDispatcher& dispatcher_;
    THttpsSettings settings_;
    std::unique_ptr<TWorkerThread> worker_;
    std::function<void()> job_; // set on the user-interface thread while the worker is idle
    THttpsAbort abort_;
    std::atomic<uint64_t> generation_{0};
    TLifetime lifetime_;
};

} // namespace vendrel
