#pragma once
// A local HTTPS server for the update-service tests (tests/app/https_server.py, run by /usr/bin/python3)
// with a self-signed certificate for 127.0.0.1 that openssl makes when the tests start. The server
// listens on a port of its own choosing and serves the files of a folder, with their response code,
// type, redirect, announced length and hold given by files beside them.

#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

extern char** environ;

namespace vendrel::testing {

// A folder removed with the object.
struct HttpsTempDir {
    explicit HttpsTempDir(const std::string& tag) {
        static int counter = 0;
        path = std::filesystem::temp_directory_path() /
               ("vendrel_https_" + tag + "_" + std::to_string(getpid()) + "_" + std::to_string(counter++));
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
    }
    ~HttpsTempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    std::filesystem::path path;
};

inline void WriteText(const std::filesystem::path& file, const std::string& text) {
    std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
}

// A certificate and key for 127.0.0.1, made once per test program; Other is a second one that signs
// nothing the server shows (a wrong authority).
struct TestCertificates {
    HttpsTempDir dir{"certs"};
    std::filesystem::path Cert = dir.path / "cert.pem";
    std::filesystem::path Key = dir.path / "key.pem";
    std::filesystem::path Other = dir.path / "other.pem";
    bool Made = false;

    TestCertificates() {
        const auto make = [&](const std::filesystem::path& cert, const std::filesystem::path& key) {
            const std::string command =
                "openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=127.0.0.1 "
                "-addext subjectAltName=IP:127.0.0.1 -keyout '" +
                key.string() + "' -out '" + cert.string() + "' >/dev/null 2>&1";
            return std::system(command.c_str()) == 0;
        };
        Made = make(Cert, Key) && make(Other, dir.path / "other_key.pem");
    }
    static TestCertificates& Get() {
        static TestCertificates certificates;
        return certificates;
    }
};

struct FileOptions {
    int Status = 200;
    std::string Type = "text/plain";
    std::string Location;
    std::string Length; // announced Content-Length, empty: the real one
    bool Hold = false;  // the answer waits until Release
};

class HttpsServer {
public:
    explicit HttpsServer(bool Tls13Only = false) {
        const TestCertificates& certs = TestCertificates::Get();
        if (!certs.Made) {
            return;
        }
        std::filesystem::create_directories(root_.path / "www");
        const std::string script = std::string(TEST_DATA_DIR) + "/https_server.py";
        const std::string portFile = (root_.path / "port").string();
        std::vector<std::string> args = {"/usr/bin/python3",
                                         script,
                                         certs.Cert.string(),
                                         certs.Key.string(),
                                         (root_.path / "www").string(),
                                         portFile};
        if (Tls13Only) {
            args.push_back("tls13");
        }
        std::vector<char*> argv;
        for (std::string& a : args) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
            pid_ = 0;
            return;
        }
        // The server writes its port once it listens.
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!std::filesystem::exists(portFile) && std::chrono::steady_clock::now() < end) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        std::ifstream(portFile) >> port_;
    }
    ~HttpsServer() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            int status = 0;
            waitpid(pid_, &status, 0);
        }
    }
    HttpsServer(const HttpsServer&) = delete;
    HttpsServer& operator=(const HttpsServer&) = delete;

    bool Running() const { return port_ > 0; }
    int Port() const { return port_; }
    std::string Url(const std::string& Path = "") const {
        return "https://127.0.0.1:" + std::to_string(port_) + "/" + Path;
    }
    void Put(const std::string& Name, const std::string& Body, const FileOptions& Options = {}) {
        const std::filesystem::path file = root_.path / "www" / Name;
        std::filesystem::create_directories(file.parent_path());
        if (Options.Hold) {
            WriteText(file.string() + ".hold", "");
        }
        WriteText(file, Body);
        WriteText(file.string() + ".status", std::to_string(Options.Status));
        WriteText(file.string() + ".type", Options.Type);
        if (!Options.Location.empty()) {
            WriteText(file.string() + ".location", Options.Location);
        }
        if (!Options.Length.empty()) {
            WriteText(file.string() + ".length", Options.Length);
        }
    }
    void Release(const std::string& Name) {
        std::error_code ec;
        std::filesystem::remove(root_.path / "www" / (Name + ".hold"), ec);
    }

private:
    HttpsTempDir root_{"server"};
    pid_t pid_ = 0;
    int port_ = 0;
};

} // namespace vendrel::testing
