// The update service's HTTPS transport against a local server: what is read, what is refused and why,
// and the update check on it, silent at start and explained after the user's request.

#include "app/update_client.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "../acoustics/model_fixture.h"
#include "editor/library_updates.h"
#include "files/library_scan.h"
#include "https_fixture.h"
#include "platform/core/dispatcher.h"
#include "platform/core/message_box.h"

namespace vendrel {
namespace {

using testing::FileOptions;
using testing::HttpsServer;
using testing::TestCertificates;

THttpsSettings trusting(const std::filesystem::path& ca) {
    THttpsSettings s;
    s.CAFile = ca.string();
    s.ConnectTimeoutSeconds = 10;
    s.ReadTimeoutSeconds = 10;
    s.ListTimeoutSeconds = 20;
    return s;
}

// The server's answers that the list request must refuse, or take.
struct ListCase {
    const char* name;
    std::string body;
    FileOptions options;
    bool tls13 = false;
    bool wrongAuthority = false;
    std::string error; // the start of the reason; empty: read
};

std::vector<ListCase> listCases() {
    FileOptions html;
    html.Type = "text/html; charset=utf-8";
    FileOptions missing;
    missing.Status = 404;
    FileOptions plainRedirect;
    plainRedirect.Status = 302;
    plainRedirect.Location = "http://127.0.0.1:{port}/list.txt";
    FileOptions secureRedirect;
    secureRedirect.Status = 302;
    secureRedirect.Location = "https://127.0.0.1:{port}/list.txt";
    FileOptions cut;
    cut.Length = "5000";
    return {
        {"list", "3.1.0\nSetup.exe\n", {}, false, false, ""},
        {"https redirect", "", secureRedirect, false, false, ""},
        {"404", "gone", missing, false, false, "HTTP 404"},
        {"web page", "3.1.0\nSetup.exe\n", html, false, false, "the service answered with a web page"},
        {"http redirect", "", plainRedirect, false, false, "Protocol \"http\" not supported"},
        {"2 MiB", std::string(2u << 20, 'x'), {}, false, false, "larger than 1048576 bytes"},
        {"cut short", "3.1.0\nSetup", cut, false, false, "transfer closed with"},
        {"wrong authority", "3.1.0\nSetup.exe\n", {}, false, true, "SSL certificate problem"},
        {"TLS 1.3 only", "3.1.0\nSetup.exe\n", {}, true, false, "OpenSSL/"},
    };
}

TEST(UpdateClient, AListIsReadOnlyFromAVerifiedServerWithinItsBounds) {
    if (!TestCertificates::Get().Made) {
        GTEST_SKIP() << "openssl could not make a certificate";
    }
    for (const ListCase& c : listCases()) {
        SCOPED_TRACE(c.name);
        HttpsServer server(c.tls13);
        ASSERT_TRUE(server.Running());
        server.Put("list.txt", "3.1.0\nSetup.exe\n");
        if (std::string(c.name).find("redirect") != std::string::npos) {
            server.Put("moved.txt", c.body, c.options);
        } else if (std::string(c.name) != "list") {
            server.Put("list.txt", c.body, c.options);
        }
        const bool moved = std::string(c.name).find("redirect") != std::string::npos;
        ManualDispatcher ui;
        TUpdateClient client(
            ui, trusting(c.wrongAuthority ? TestCertificates::Get().Other : TestCertificates::Get().Cert));
        bool done = false;
        std::string text, error;
        client.FetchList(server.Url(moved ? "moved.txt" : "list.txt"), [&](std::string t, std::string e) {
            done = true;
            text = t;
            error = e;
        });
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!done && std::chrono::steady_clock::now() < end) {
            ui.Pump();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        ASSERT_TRUE(done);
        if (c.error.empty()) {
            EXPECT_EQ(error, "");
            EXPECT_EQ(text, "3.1.0\nSetup.exe\n");
        } else {
            EXPECT_EQ(error.substr(0, c.error.size()), c.error) << error;
            EXPECT_EQ(text, "");
        }
    }
}

TEST(UpdateClient, AModelFileIsWrittenWithinItsCapOrNotAtAll) {
    if (!TestCertificates::Get().Made) {
        GTEST_SKIP() << "openssl could not make a certificate";
    }
    HttpsServer server;
    ASSERT_TRUE(server.Running());
    server.Put("m/A.cabinet", std::string(3000, 'a'));
    server.Put("m/Big.cabinet", std::string(5000, 'b'));
    FileOptions cut;
    cut.Length = "9000";
    server.Put("m/Cut.cabinet", std::string(100, 'c'), cut);
    testing::HttpsTempDir into("into");
    ManualDispatcher ui;
    THttpsSettings settings = trusting(TestCertificates::Get().Cert);
    settings.MaxFileBytes = 4000;
    TUpdateClient client(ui, settings);
    std::vector<IUpdateTransport::TFetched> results;
    bool done = false;
    size_t progressReports = 0;
    client.FetchFiles(
        {{server.Url("m/A.cabinet"), into.path / "A.cabinet"},
         {server.Url("m/Big.cabinet"), into.path / "Big.cabinet"},
         {server.Url("m/Cut.cabinet"), into.path / "Cut.cabinet"},
         {server.Url("m/None.cabinet"), into.path / "None.cabinet"}},
        [&](size_t, uint64_t, uint64_t) { ++progressReports; },
        [&](std::vector<IUpdateTransport::TFetched> r) {
            results = std::move(r);
            done = true;
        });
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!done && std::chrono::steady_clock::now() < end) {
        ui.Pump();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    ASSERT_TRUE(done);
    ASSERT_EQ(results.size(), 4u);
    EXPECT_EQ(results[0].Error, "");
    EXPECT_EQ(std::filesystem::file_size(into.path / "A.cabinet"), 3000u);
    EXPECT_EQ(results[1].Error, "larger than 4000 bytes");
    EXPECT_EQ(results[2].Error.rfind("transfer closed with", 0), 0u) << results[2].Error;
    EXPECT_EQ(results[3].Error, "HTTP 404");
    for (const char* gone : {"Big.cabinet", "Cut.cabinet", "None.cabinet"}) {
        EXPECT_FALSE(std::filesystem::exists(into.path / gone)) << gone;
    }
    EXPECT_GE(progressReports, 1u);
}

// The update check on the real transport: each list the service may answer with, at start (nothing
// is said unless a newer program is offered) and after the user's request (the reason is said).
TEST(UpdateClient, TheCheckIsSilentAtStartAndExplainsAfterTheButton) {
    if (!TestCertificates::Get().Made) {
        GTEST_SKIP() << "openssl could not make a certificate";
    }
    struct Case {
        const char* name;
        std::string body;
        std::string answer; // the box after the button; empty: none
        bool announced;     // shown at start too
    };
    const std::string unread = "The update list could not be read:\r\n\r\n";
    const std::string newer =
        "There is a newer version of the software: 3.2.0\r\n\r\nYou can download it from:\r\n";
    const std::vector<Case> cases = {
        {"3.2.0 against 3.1.9", "3.2.0\nSetup.exe\n", newer, true},
        {"3.1 against 3.1.0", "3.1\nSetup.exe\n", "", false},
        {"error page", "<HTML>\n<body>x</body>\n", unread + "It is not a valid update list.", false},
        {"x.1.0", "x.1.0\nSetup.exe\n", unread + "It is not a valid update list.", false},
        {"model version 300", "3.1.0\nSetup.exe\nA\n300\nA.cabinet\n3.0.0\n",
         unread + "It is not a valid update list.", false},
        {"group cut short", "3.1.0\nSetup.exe\nA\n2\nA.cabinet\n", unread + "It is not a valid update list.",
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HttpsServer server;
        ASSERT_TRUE(server.Running());
        server.Put("versions.txt", c.body);
        testing::ModelFixture f;
        testing::HttpsTempDir libraryDir("library");
        TModelLibrary library(*f.project, libraryDir.path, "Vendrel");
        library.ReadLibraryFiles();
        TUpdateClient client(f.ui, trusting(TestCertificates::Get().Cert));
        const bool running319 = std::string(c.name).find("3.1.9") != std::string::npos;
        TLibraryUpdates updates(
            library, client,
            {server.Url(), "versions.txt", running319 ? TProgramVersion{3, 1, 9} : TProgramVersion{3, 1, 0}});
        RecordingMessageBox boxes;
        const TScopedMessageBoxService service(&boxes);
        const auto await = [&] {
            const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
            while (updates.Checking() && std::chrono::steady_clock::now() < end) {
                f.ui.Pump();
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
            ASSERT_FALSE(updates.Checking());
        };
        ASSERT_TRUE(updates.ActualizaSoftware(true));
        await();
        EXPECT_EQ(boxes.shown.size(), c.announced ? 1u : 0u);
        boxes.shown.clear();
        ASSERT_TRUE(updates.ActualizaSoftware(false));
        await();
        if (c.answer.empty()) {
            EXPECT_TRUE(boxes.shown.empty());
        } else {
            ASSERT_EQ(boxes.shown.size(), 1u);
            EXPECT_EQ(boxes.shown[0].text.substr(0, c.answer.size()), c.answer);
        }
    }
}

} // namespace
} // namespace vendrel
