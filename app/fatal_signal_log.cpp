#include "app/fatal_signal_log.h"

#include "app/crash_log.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <ctime>
#include <filesystem>

namespace vendrel {

namespace {

namespace fs = std::filesystem;

constexpr int kFatalSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
constexpr size_t kPathCapacity = 4096;

// Everything the handler reads is prepared here beforehand: it allocates nothing, formats nothing with
// the library and takes no lock.
struct TText {
    char Chars[kPathCapacity] = {};
    size_t Length = 0;
};

TText logPath;
TText oldLogPath;
// Two slots for the project: the user-interface thread fills the one not shown, then switches, so a
// signal never reads a half-written name.
TText projectSlots[2];
std::atomic<int> shownProject{0};
long utcOffsetSeconds = 0;
// The handler runs on a stack of its own, so that a stack overflow can still be logged.
alignas(16) char alternateStack[64 * 1024];

void assign(TText& Target, const std::string& Source) {
    const size_t n = std::min(Source.size(), kPathCapacity - 1);
    for (size_t i = 0; i < n; ++i) {
        Target.Chars[i] = Source[i];
    }
    Target.Chars[n] = '\0';
    Target.Length = n;
}

const char* signalText(int Signal) {
    switch (Signal) {
    case SIGSEGV:
        return "SIGSEGV (segmentation fault)";
    case SIGBUS:
        return "SIGBUS (bus error)";
    case SIGFPE:
        return "SIGFPE (arithmetic fault)";
    case SIGILL:
        return "SIGILL (illegal instruction)";
    case SIGABRT:
        return "SIGABRT (abort)";
    default:
        return nullptr;
    }
}

// A fixed buffer that the handler appends to; text beyond its end is cut.
class TEntry {
public:
    void Add(const char* Text) {
        while (*Text != '\0' && length_ < sizeof chars_) {
            chars_[length_++] = *Text++;
        }
    }
    void Add(const TText& Text) {
        for (size_t i = 0; i < Text.Length && length_ < sizeof chars_; ++i) {
            chars_[length_++] = Text.Chars[i];
        }
    }
    void AddNumber(long long Value, int Digits) {
        char digits[24];
        int n = 0;
        const bool negative = Value < 0;
        unsigned long long v =
            negative ? 0ULL - static_cast<unsigned long long>(Value) : static_cast<unsigned long long>(Value);
        do {
            digits[n++] = static_cast<char>('0' + v % 10);
            v /= 10;
        } while (v != 0 && n < 20);
        while (n < Digits) {
            digits[n++] = '0';
        }
        if (negative) {
            digits[n++] = '-';
        }
        while (n > 0 && length_ < sizeof chars_) {
            chars_[length_++] = digits[--n];
        }
    }
    const char* Chars() const { return chars_; }
    size_t Length() const { return length_; }

private:
    char chars_[kPathCapacity + 512];
    size_t length_ = 0;
};

// "YYYY-MM-DD HH:NN:SS" of the local time, from the offset to UTC taken at installation (the civil
// date of a day count after Howard Hinnant's days_from_civil inverse).
void addTimeStamp(TEntry& Entry) {
    const long long t = static_cast<long long>(time(nullptr)) + utcOffsetSeconds;
    long long days = t / 86400;
    long long seconds = t % 86400;
    if (seconds < 0) {
        seconds += 86400;
        --days;
    }
    days += 719468;
    const long long era = (days >= 0 ? days : days - 146096) / 146097;
    const long long doe = days - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    const long long day = doy - (153 * mp + 2) / 5 + 1;
    const long long month = mp < 10 ? mp + 3 : mp - 9;
    const long long year = yoe + era * 400 + (month <= 2 ? 1 : 0);
    Entry.AddNumber(year, 4);
    Entry.Add("-");
    Entry.AddNumber(month, 2);
    Entry.Add("-");
    Entry.AddNumber(day, 2);
    Entry.Add(" ");
    Entry.AddNumber(seconds / 3600, 2);
    Entry.Add(":");
    Entry.AddNumber(seconds / 60 % 60, 2);
    Entry.Add(":");
    Entry.AddNumber(seconds % 60, 2);
}

void writeEntry(int Signal) {
    if (logPath.Length == 0) {
        return;
    }
    TEntry entry;
    addTimeStamp(entry);
    entry.Add(" \r\nProject: ");
    entry.Add(projectSlots[shownProject.load(std::memory_order_acquire)]);
    entry.Add("\r\nFatal signal ");
    if (const char* name = signalText(Signal)) {
        entry.Add(name);
    } else {
        entry.Add("signal ");
        entry.AddNumber(Signal, 1);
    }
    entry.Add(": the program ended at once; no backup of the project was saved.\r\n\r\n");

    struct stat info {};
    if (stat(logPath.Chars, &info) == 0 && info.st_size > kDumpLogLimit) {
        (void)rename(logPath.Chars, oldLogPath.Chars);
    }
    const int fd = open(logPath.Chars, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        return;
    }
    const char* p = entry.Chars();
    size_t left = entry.Length();
    while (left > 0) {
        const ssize_t written = write(fd, p, left);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            break;
        }
        p += written;
        left -= static_cast<size_t>(written);
    }
    (void)close(fd);
}

extern "C" void onFatalSignal(int Signal) {
    const int savedErrno = errno;
    writeEntry(Signal);
    errno = savedErrno;
    // SA_RESETHAND has restored the default action: the signal, raised again, ends the process as it
    // would have without this handler (with its core dump where the system keeps one).
    (void)raise(Signal);
}

} // namespace

std::string FatalSignalName(int Signal) {
    const char* name = signalText(Signal);
    return name != nullptr ? name : "signal " + std::to_string(Signal);
}

void InstallFatalSignalLog(const std::string& AppDataPath) {
    std::error_code ec;
    fs::create_directories(AppDataPath, ec);
    const fs::path log = fs::path(AppDataPath) / kDumpLogName;
    assign(logPath, log.string());
    assign(oldLogPath, log.string() + ".1");

    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    utcOffsetSeconds = local.tm_gmtoff;

    stack_t stack{};
    stack.ss_sp = alternateStack;
    stack.ss_size = sizeof alternateStack;
    (void)sigaltstack(&stack, nullptr);

    struct sigaction action {};
    action.sa_handler = onFatalSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND | SA_ONSTACK;
    for (const int s : kFatalSignals) {
        (void)sigaction(s, &action, nullptr);
    }
}

void SetFatalSignalProject(const std::string& ProjectPath) {
    const int next = 1 - shownProject.load(std::memory_order_relaxed);
    assign(projectSlots[next], ProjectPath);
    shownProject.store(next, std::memory_order_release);
}

} // namespace vendrel
