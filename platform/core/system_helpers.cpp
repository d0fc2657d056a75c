#include "platform/core/system_helpers.h"

#include "platform/core/dispatcher.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <malloc.h>
#include <mutex>
#include <spawn.h>
#include <sstream>
#include <sys/sysinfo.h>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char** environ;

namespace vendrel {

namespace {

// Splits a command line the way Windows programs expect: blanks separate, double quotes group,
// a backslash before a double quote makes it literal.
std::vector<std::string> SplitParams(const std::string& params) {
    std::vector<std::string> out;
    std::string cur;
    bool inQuotes = false, have = false;
    for (size_t i = 0; i < params.size(); ++i) {
        const char ch = params[i];
        if (ch == '\\' && i + 1 < params.size() && params[i + 1] == '"') {
            cur += '"';
            have = true;
            ++i;
        } else if (ch == '"') {
            inQuotes = !inQuotes;
            have = true;
        } else if ((ch == ' ' || ch == '\t') && !inQuotes) {
            if (have) {
                out.push_back(cur);
                cur.clear();
                have = false;
            }
        } else {
            cur += ch;
            have = true;
        }
    }
    if (have) {
        out.push_back(cur);
    }
    return out;
}

struct FileVersion {
    std::mutex mutex;
    bool known = false;
    int v[4] = {0, 0, 0, 0};
};

FileVersion& ProgramVersion() {
    static FileVersion version;
    return version;
}

} // namespace

bool RunProcessAndWait(const std::string& FileName, const std::string& Params, const std::string& WorkDir,
                       bool Wait, bool /*WaitForIdle*/, bool /*Minimized*/, int& ErrorCode, IDispatcher* ui) {
    namespace fs = std::filesystem;
    // The child changes folder before it starts the program, so a relative path is made absolute first.
    std::string program = FileName;
    std::error_code ec;
    if (FileName.find('/') != std::string::npos) {
        program = fs::absolute(fs::path(FileName), ec).string();
        if (ec) {
            ErrorCode = ec.value();
            return false;
        }
    }
    std::string dir = WorkDir;
    if (dir.empty()) {
        dir = fs::path(program).parent_path().string();
    }

    std::vector<std::string> args{FileName};
    for (auto& a : SplitParams(Params)) {
        args.push_back(std::move(a));
    }
    std::vector<char*> argv;
    for (auto& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!dir.empty()) {
        posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
    }
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        ErrorCode = rc;
        return false;
    }

    if (!Wait) {
        // Nobody waits for the program: reap it when it ends so it leaves no zombie behind.
        std::thread([pid] {
            int status = 0;
            while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
        }).detach();
        return true;
    }
    for (;;) {
        if (ui != nullptr) {
            ui->ProcessMessages();
        }
        int status = 0;
        const pid_t r = waitpid(pid, &status, ui != nullptr ? WNOHANG : 0);
        if (r == pid || (r < 0 && errno != EINTR)) {
            break;
        }
        if (r == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    return true;
}

void SetProgramFileVersion(int Major, int Minor, int Release, int Build) {
    auto& pv = ProgramVersion();
    std::lock_guard lock(pv.mutex);
    pv.known = true;
    pv.v[0] = Major;
    pv.v[1] = Minor;
    pv.v[2] = Release;
    pv.v[3] = Build;
}

std::string GetFileVersionText() {
    auto& pv = ProgramVersion();
    std::lock_guard lock(pv.mutex);
    if (!pv.known) {
        return "?";
    }
    return std::to_string(pv.v[0]) + "." + std::to_string(pv.v[1]) + "." + std::to_string(pv.v[2]) + "." +
           std::to_string(pv.v[3]);
}

bool GetPhysicalMemoryMB(double& InstalledMB, double& AvailableMB, double& UsedMB) {
    struct sysinfo si {};
    if (sysinfo(&si) != 0) {
        return false;
    }
    constexpr double kMB = 1048576.0;
    const double unit = si.mem_unit;
    const double installed = static_cast<double>(si.totalram) * unit;
    // "MemAvailable" counts the page cache the system can drop; without it, free plus buffers.
    double available = (static_cast<double>(si.freeram) + static_cast<double>(si.bufferram)) * unit;
    std::ifstream meminfo("/proc/meminfo");
    std::string line;
    while (std::getline(meminfo, line)) {
        unsigned long long kb = 0;
        if (std::sscanf(line.c_str(), "MemAvailable: %llu kB", &kb) == 1) {
            available = static_cast<double>(kb) * 1024.0;
            break;
        }
    }
    InstalledMB = installed / kMB;
    AvailableMB = available / kMB;
    UsedMB = InstalledMB - AvailableMB;
    return true;
}

int64_t GetProcessWorkingSet(uint32_t ProcessID) {
    std::ifstream status("/proc/" + std::to_string(ProcessID) + "/status");
    if (!status) {
        return 0;
    }
    std::string line;
    while (std::getline(status, line)) {
        long long kb = 0;
        if (std::sscanf(line.c_str(), "VmRSS: %lld kB", &kb) == 1) {
            return static_cast<int64_t>(kb) * 1024;
        }
    }
    return 0;
}

void TrimWorkingSet(IDispatcher* ui) {
    malloc_trim(0);
    if (ui != nullptr) {
        ui->ProcessMessages();
    }
}

} // namespace vendrel
