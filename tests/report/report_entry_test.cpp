// The Save Report command: the file's name, the questions, and what a failure leaves behind.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "../files/library_fixture.h"
#include "platform/core/atomic_file.h"
#include "report_fixture.h"

namespace vendrel {
namespace {

namespace fs = std::filesystem;
using testing::FakePictures;
using testing::ReportFixture;

std::vector<std::string> FilesIn(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) {
        names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

const std::vector<uint8_t> kOld{'o', 'l', 'd'};

struct EntryFixture : ReportFixture {
    testing::TempDir dir;

    bool save(const fs::path& typed) {
        dialogs.answers.push_back(typed.string());
        writer = testing::RecordingWriter();
        return GeneratePdfReport(context, pictures, writer);
    }
};

TEST(ReportFileName, TheExtensionBecomesPdf) {
    const std::pair<const char*, const char*> cases[] = {
        {"/r/Plan", "/r/Plan.pdf"},
        {"/r/Plan.pdf", "/r/Plan.pdf"},
        {"/r/Plan.PDF", "/r/Plan.pdf"},
        {"/r/Plan.txt", "/r/Plan.pdf"},
        {"/r/Report Hall 2.5", "/r/Report Hall 2.pdf"},
        {"/r/v2.0/Plan", "/r/v2.0/Plan.pdf"},
    };
    for (const auto& [chosen, written] : cases) {
        EXPECT_EQ(ReportFileNameFor(chosen), written) << chosen;
    }
}

TEST_F(EntryFixture, TheDialogProposesTheInstallationNameAndCancelLeavesEverything) {
    EXPECT_FALSE(GeneratePdfReport(context, pictures, writer));
    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_EQ(dialogs.requests[0].Kind, TFileDialogKind::fdSave);
    EXPECT_EQ(dialogs.requests[0].Filter, "PDF |*.pdf");
    EXPECT_EQ(dialogs.requests[0].FileName, "Report Hall 2.5");

    // Cancelled: nothing drawn, no status, the bar untouched.
    context.InstallName.clear();
    dialogs.requests.clear();
    EXPECT_FALSE(GeneratePdfReport(context, pictures, writer));
    EXPECT_EQ(dialogs.requests[0].FileName, "Report");
    EXPECT_TRUE(writer.ops.empty());
    EXPECT_TRUE(status.texts.empty());
    EXPECT_TRUE(progress.values.empty());
    EXPECT_TRUE(boxes.shown.empty());
}

// The dialog asks before it names a file that exists; the file written may be another one, and that
// one is asked about too.
TEST_F(EntryFixture, AReplacedFileIsTheOneAskedAbout) {
    std::ofstream(dir.path / "Plan.pdf") << "old";
    boxes.answers = {TModalResult::mrNo};
    EXPECT_FALSE(save(dir.path / "Plan"));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "Plan.pdf already exists.\nDo you want to replace it?");
    EXPECT_EQ(boxes.shown[0].type, TMsgDlgType::mtConfirmation);
    EXPECT_EQ(testing::FileBytes(dir.path / "Plan.pdf"), kOld);
    EXPECT_TRUE(writer.ops.empty());

    boxes.shown.clear();
    boxes.answers = {TModalResult::mrYes};
    EXPECT_TRUE(save(dir.path / "Plan.PDF"));
    EXPECT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(testing::FileBytes(dir.path / "Plan.pdf"), (std::vector<uint8_t>{'%', 'P', 'D', 'F'}));
    EXPECT_EQ(writer.info.Title, "Plan.PDF");

    // Typed as it is written: the dialog has asked already.
    boxes.shown.clear();
    EXPECT_TRUE(save(dir.path / "Plan.pdf"));
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(FilesIn(dir.path), std::vector<std::string>{"Plan.pdf"});
    EXPECT_EQ(status.text, "");
    EXPECT_EQ(progress.value, 0);
}

// A picture that cannot be made ends the report with a message naming the step; the older file, the
// status line and the bar are as before, and no temporary file is left.
TEST_F(EntryFixture, AFailedStepIsNamedAndLeavesTheOlderFileAsItWas) {
    TCabModel& model = cabinetModel("Box");
    model.SetHasModelPicture(true);
    pictures.modelSizes["Box"] = {40, 30};
    project->AddCabinet(&model, {}, {}, false, TCabPlacement::qzaVertical, 0, true);
    flownArray("Main", model, 2, nullptr);
    project->AddDSPProcess();
    project->AddMeasurePoint({0, -1.2f, 10}, TAlphaColors::Red, false, 0.0f);
    const fs::path old = dir.path / "Plan.pdf";
    std::ofstream(old) << "old";

    const std::pair<FakePictures::Kind, const char*> cases[] = {{FakePictures::Scene, "3D View"},
                                                                {FakePictures::Model, "Cabinets"},
                                                                {FakePictures::Array, "Arrays"},
                                                                {FakePictures::Dsp, "DSPs"},
                                                                {FakePictures::Response, "Mics"}};
    for (const auto& [kind, step] : cases) {
        SCOPED_TRACE(step);
        pictures.failAt = kind;
        boxes.shown.clear();
        EXPECT_FALSE(save(old));
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].type, TMsgDlgType::mtError);
        EXPECT_EQ(boxes.shown[0].text, std::string("The PDF report could not be written.\nFailed at: ") +
                                           step + "\nthe picture could not be drawn");
        EXPECT_EQ(writer.ended, 0);
        EXPECT_EQ(testing::FileBytes(old), kOld);
        EXPECT_EQ(FilesIn(dir.path), std::vector<std::string>{"Plan.pdf"});
        EXPECT_EQ(status.text, "");
        EXPECT_EQ(progress.value, 0);
    }

    // A folder the report cannot be written to. Read-only permissions do not stop the super-user, so
    // there the folder is one that cannot exist (its parent is a file).
    pictures.failAt = -1;
    const fs::path locked = dir.path / "locked";
    fs::create_directories(locked);
    ::chmod(locked.c_str(), 0555);
    fs::path target = locked / "Plan.pdf";
    if (::access(locked.c_str(), W_OK) == 0) {
        std::ofstream(dir.path / "plain") << "x";
        target = dir.path / "plain" / "Plan.pdf";
    }
    boxes.shown.clear();
    EXPECT_FALSE(save(target));
    ::chmod(locked.c_str(), 0755);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(
        boxes.shown[0].text.rfind("The PDF report could not be written.\nFailed at: Writing the file\n", 0),
        0u)
        << boxes.shown[0].text;
    EXPECT_TRUE(fs::is_empty(locked));
    EXPECT_EQ(status.text, "");
    EXPECT_EQ(progress.value, 0);
}

} // namespace
} // namespace vendrel
