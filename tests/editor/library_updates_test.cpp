// Model updates: the offer of newer and new models from an update list, their download into a private
// folder, the check of each downloaded file and its installation, with a transport that answers from
// memory on the hand-pumped user-interface queue.

#include "editor/library_updates.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "../acoustics/model_fixture.h"
#include "../files/library_fixture.h"
#include "acoustics/cab_model.h"
#include "acoustics/model_registry.h"
#include "files/library_header.h"
#include "files/library_scan.h"
#include "platform/core/message_box.h"

namespace vendrel {
namespace {

namespace fs = std::filesystem;
using testing::FileBytes;
using testing::SampleLibraryDir;

// Serves a list and files from memory; every answer comes through the queue, none after Cancel.
struct MemoryTransport : IUpdateTransport {
    explicit MemoryTransport(ManualDispatcher& Ui) : ui(Ui) {}

    void FetchList(const std::string& Url, TListDone Done) override {
        listUrls.push_back(Url);
        ui.Queue([this, generation = generation, Done] {
            if (generation == this->generation) {
                Done(listText, listError);
            }
        });
    }
    void FetchFiles(std::vector<TFile> Files, TFilesProgress Progress, TFilesDone Done) override {
        ui.Queue([this, generation = generation, Files, Progress, Done] {
            if (generation != this->generation) {
                return;
            }
            std::vector<TFetched> results;
            for (size_t i = 0; i < Files.size(); ++i) {
                fetched.push_back(Files[i].Url);
                const auto served = files.find(Files[i].Url);
                if (served == files.end()) {
                    results.push_back({"HTTP 404"});
                } else if (!served->second.second.empty()) {
                    results.push_back({served->second.second});
                } else {
                    testing::WriteBytes(Files[i].Target, served->second.first);
                    Progress(i, served->second.first.size(), served->second.first.size());
                    results.push_back({});
                }
            }
            Done(results);
        });
    }
    void Cancel() override { ++generation; }

    ManualDispatcher& ui;
    int generation = 0;
    std::string listText, listError;
    // Address -> bytes, or the transport's error.
    std::map<std::string, std::pair<std::vector<uint8_t>, std::string>> files;
    std::vector<std::string> listUrls, fetched;
};

constexpr const char* kBase = "https://updates.example/";

struct UpdatesFixture : ::testing::Test {
    testing::ModelFixture f;
    testing::TempDir dir;
    TModelLibrary library{*f.project, dir.path, "Vendrel"};
    MemoryTransport transport{f.ui};
    TLibraryUpdates updates{library, transport, {kBase, "versions.txt", {3, 1, 0}}};
    RecordingMessageBox boxes;
    TScopedMessageBoxService boxService{&boxes};
    bool reading = false;
    fs::path folderAtImport;
    std::vector<fs::path> imported;

    rWDXHeaderFile a, b, d; // A in the library, B offered as new, D in the library at the listed version
    std::vector<uint8_t> aV2;

    UpdatesFixture() {
        for (const char* kind : {"Cabinets", "Riggings", "Ornaments", "SoundSystems", "Textures"}) {
            fs::create_directories(dir.path / kind);
        }
        fs::copy_file(SampleLibraryDir() / "Cabinets" / "SB18.cabinet",
                      dir.path / "Cabinets" / "SB18.cabinet");
        fs::copy_file(SampleLibraryDir() / "Cabinets" / "LA10.cabinet",
                      dir.path / "Cabinets" / "LA10.cabinet");
        EXPECT_TRUE(IsWendrixCabinetFile(dir.path / "Cabinets" / "SB18.cabinet", a));
        EXPECT_TRUE(IsWendrixCabinetFile(SampleLibraryDir() / "Cabinets" / "CL8.cabinet", b));
        EXPECT_TRUE(IsWendrixCabinetFile(dir.path / "Cabinets" / "LA10.cabinet", d));
        aV2 = FileBytes(dir.path / "Cabinets" / "SB18.cabinet");
        aV2[392] = static_cast<uint8_t>(a.ModelUpdateVersion + 1); // the header's model version
        transport.files[std::string(kBase) + "m/SB18.cabinet"] = {aV2, ""};
        transport.files[std::string(kBase) + "m/CL8.cabinet"] = {
            FileBytes(SampleLibraryDir() / "Cabinets" / "CL8.cabinet"), ""};
        updates.LibraryBusy = [this] { return reading; };
        updates.ImportFiles = [this](const std::vector<fs::path>& files) {
            folderAtImport = updates.DownloadFolder();
            imported = files;
            for (const fs::path& file : files) {
                EXPECT_TRUE(fs::exists(file));
            }
            library.ImportFilesToLibrary(files);
        };
        library.ReadLibraryFiles();
    }

    std::string group(const std::string& name, int version, const std::string& link,
                      const std::string& since = "3.0.0") const {
        return name + "\n" + std::to_string(version) + "\n" + link + "\n" + since + "\n";
    }
    // A v2, B, C (for a program 9.0.0), D as the library holds it.
    std::string offer(const std::string& extra = "") const {
        return "3.1.0\nVendrelSetup.exe\n; models\n" +
               group(a.ModelName, a.ModelUpdateVersion + 1, "m/SB18.cabinet") +
               group(b.ModelName, 1, "m/CL8.cabinet") + group("C", 1, "m/C.cabinet", "9.0.0") +
               group(d.ModelName, d.ModelUpdateVersion, "m/LA10.cabinet") + extra;
    }
    std::string updateQuestion() const {
        return "There are updates of your models:\r\n\r\n" + a.ModelName +
               ", \r\n\r\nDo you want to download and install them?";
    }
    std::string newQuestion(const std::string& names) const {
        return "There are new models available:\r\n\r\n" + names +
               "\r\n\r\nDo you want to download and install them?";
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> t;
        for (const auto& e : boxes.shown) {
            t.push_back(e.text);
        }
        return t;
    }
};

TEST_F(UpdatesFixture, NewerAndNewModelsAreOfferedDownloadedCheckedAndInstalled) {
    transport.listText = offer();
    boxes.answers = {TModalResult::mrYes, TModalResult::mrYes};
    ASSERT_TRUE(updates.ActualizaSoftware(true));
    EXPECT_EQ(transport.listUrls, std::vector<std::string>{std::string(kBase) + "versions.txt"});
    EXPECT_TRUE(boxes.shown.empty()); // nothing before the list arrives
    f.ui.Pump();

    EXPECT_EQ(texts(), (std::vector<std::string>{updateQuestion(), newQuestion(" " + b.ModelName + ", ")}));
    EXPECT_EQ(boxes.shown[0].type, TMsgDlgType::mtConfirmation);
    EXPECT_EQ(transport.fetched, (std::vector<std::string>{std::string(kBase) + "m/SB18.cabinet",
                                                           std::string(kBase) + "m/CL8.cabinet"}));
    ASSERT_EQ(imported.size(), 2u);
    EXPECT_FALSE(folderAtImport.empty());
    EXPECT_FALSE(fs::exists(folderAtImport)); // the private folder is gone
    EXPECT_TRUE(updates.DownloadFolder().empty());
    EXPECT_EQ(FileBytes(dir.path / "Cabinets" / "SB18.cabinet"), aV2);
    EXPECT_TRUE(fs::exists(dir.path / "Cabinets" / "CL8.cabinet"));
    EXPECT_EQ(f.project->ModelsDetected()->NModelsDetected(), 3);
    EXPECT_FALSE(updates.Checking());
}

TEST_F(UpdatesFixture, AListArrivingWhileTheLibraryIsReadIsComparedAfterTheReading) {
    transport.listText = offer();
    boxes.answers = {TModalResult::mrNo, TModalResult::mrNo};
    updates.ActualizaSoftware(true);
    reading = true;
    f.ui.Pump();
    EXPECT_TRUE(boxes.shown.empty());
    library.ReadLibraryFiles();
    reading = false;
    updates.LibraryRead();
    EXPECT_EQ(texts(), (std::vector<std::string>{updateQuestion(), newQuestion(" " + b.ModelName + ", ")}));
    EXPECT_TRUE(transport.fetched.empty()); // No twice: nothing downloaded
    EXPECT_EQ(updates.NewInternetModels(), std::vector<std::string>{b.ModelName});
}

// Links and downloads that must not reach the library: each is skipped, A stays byte-identical, and one
// message names every model not installed and why.
TEST_F(UpdatesFixture, BadLinksAndBadDownloadsAreSkippedAndNamedInOneMessage) {
    const std::vector<uint8_t> before = FileBytes(dir.path / "Cabinets" / "SB18.cabinet");
    std::vector<uint8_t> cut = aV2;
    cut.resize(aV2.size() / 3);
    const std::string page = "<html><body>Gone</body></html>";
    transport.files[std::string(kBase) + "m/SB18.cabinet"] = {cut, ""};
    transport.files[std::string(kBase) + "m/page.cabinet"] = {std::vector<uint8_t>(page.begin(), page.end()),
                                                              ""};
    transport.files[std::string(kBase) + "m/big.cabinet"] = {{}, "larger than 67108864 bytes"};
    transport.files[std::string(kBase) + "m/partial.cabinet"] = {{}, "Transferred a partial file"};
    transport.listText = "3.1.0\nSetup.exe\n" +
                         group(a.ModelName, a.ModelUpdateVersion + 1, "m/SB18.cabinet") +
                         group("Empty", 1, "") + group("Up", 1, "..") + group("Program", 1, "x.exe") +
                         group("Page", 1, "m/page.cabinet") + group("Big", 1, "m/big.cabinet") +
                         group("Partial", 1, "m/partial.cabinet");
    boxes.answers = {TModalResult::mrYes, TModalResult::mrYes};
    updates.ActualizaSoftware(true);
    f.ui.Pump();

    ASSERT_EQ(boxes.shown.size(), 3u);
    const std::string& message = boxes.shown[2].text;
    EXPECT_EQ(message.rfind("These models were not installed:\r\n", 0), 0u) << message;
    for (const std::string& line : std::vector<std::string>{
             "Empty: its link names no cabinet, rigging or ornament file", "Up: its link names no cabinet",
             "Program: its link names no cabinet", a.ModelName + ": damaged file", "Page: damaged file",
             "Big: larger than 67108864 bytes", "Partial: Transferred a partial file"}) {
        EXPECT_NE(message.find(line), std::string::npos) << line;
    }
    EXPECT_TRUE(imported.empty());
    EXPECT_EQ(FileBytes(dir.path / "Cabinets" / "SB18.cabinet"), before);
    EXPECT_TRUE(updates.DownloadFolder().empty());
}

TEST_F(UpdatesFixture, ListsThatCannotBeReadAreSilentAtStartAndExplainedOnRequest) {
    struct Case {
        const char* name;
        std::string text;
        std::string error;
        std::string reason;
    };
    const Case cases[] = {
        {"transport", "", "HTTP 404", "HTTP 404"},
        {"error page", "<HTML>\n", "", "It is not a valid update list."},
        {"bad version", "x.1.0\nSetup.exe\n", "", "It is not a valid update list."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        transport.listText = c.text;
        transport.listError = c.error;
        boxes.shown.clear();
        updates.ActualizaSoftware(true);
        f.ui.Pump();
        EXPECT_TRUE(boxes.shown.empty());
        updates.ActualizaSoftware(false);
        f.ui.Pump();
        EXPECT_EQ(texts(), std::vector<std::string>{"The update list could not be read:\r\n\r\n" + c.reason});
        EXPECT_FALSE(updates.Checking());
    }
}

TEST_F(UpdatesFixture, ANewerProgramIsAnnouncedAndNothingElseHappens) {
    transport.listText =
        "3.2.0\nVendrelSetup.exe\n" + group(a.ModelName, a.ModelUpdateVersion + 1, "m/SB18.cabinet");
    updates.ActualizaSoftware(true);
    f.ui.Pump();
    EXPECT_EQ(texts(),
              std::vector<std::string>{"There is a newer version of the software: 3.2.0\r\n\r\nYou can "
                                       "download it from:\r\nhttps://updates.example/VendrelSetup.exe"});
    EXPECT_TRUE(transport.fetched.empty());
    EXPECT_EQ(updates.UpdateList(), nullptr);
}

TEST_F(UpdatesFixture, OneCheckAtATimeAndNoneWithoutAService) {
    transport.listText = offer();
    boxes.answers = {TModalResult::mrNo, TModalResult::mrNo};
    EXPECT_TRUE(updates.ActualizaSoftware(true));
    EXPECT_TRUE(updates.ActualizaSoftware(false));
    EXPECT_EQ(transport.listUrls.size(), 1u);
    updates.Cancel();
    f.ui.Pump();
    EXPECT_TRUE(boxes.shown.empty()); // a cancelled check answers nothing
    EXPECT_FALSE(updates.Checking());

    MemoryTransport other(f.ui);
    TLibraryUpdates none(library, other, {"", "versions.txt", {3, 1, 0}});
    EXPECT_FALSE(none.ActualizaSoftware(false));
    EXPECT_TRUE(other.listUrls.empty());
}

TEST(LibraryUpdates, OnlyPlainModelFileNamesAreDownloaded) {
    for (const char* ok : {"A.cabinet", "Frame 2.rigging", "Truss.ornament"}) {
        EXPECT_TRUE(IsPlainModelFileName(ok)) << ok;
    }
    for (const char* bad :
         {"", ".", "..", "x.exe", ".cabinet", "a/b.cabinet", "a\\b.cabinet", "A.CABINET", "A.cabinet.exe"}) {
        EXPECT_FALSE(IsPlainModelFileName(bad)) << bad;
    }
}

} // namespace
} // namespace vendrel
