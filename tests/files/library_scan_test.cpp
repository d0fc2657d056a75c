#include <gtest/gtest.h>

#include <cstring>

#include "../acoustics/model_fixture.h"
#include "acoustics/cab_model.h"
#include "acoustics/model_registry.h"
#include "files/library_scan.h"
#include "library_fixture.h"

namespace vendrel {
namespace {

namespace fs = std::filesystem;
using testing::FileBytes;
using testing::SampleLibraryDir;

struct ScanFixture : ::testing::Test {
    testing::ModelFixture f;
    testing::TempDir dir;
    TModelLibrary library{*f.project, dir.path, "Vendrel"};

    ScanFixture() {
        for (const char* kind : {"Cabinets", "Riggings", "Ornaments", "SoundSystems", "Textures"}) {
            fs::create_directories(dir.path / kind);
            std::error_code ec;
            for (const auto& e : fs::directory_iterator(SampleLibraryDir() / kind, ec)) {
                fs::copy_file(e.path(), dir.path / kind / e.path().filename());
            }
        }
    }
    void writeVariant(const char* from, const char* to, size_t at, int32_t value) {
        std::vector<uint8_t> b = FileBytes(SampleLibraryDir() / "Cabinets" / from);
        std::memcpy(b.data() + at, &value, 4);
        testing::WriteBytes(dir.path / "Cabinets" / to, b);
    }
    const TLibraryGridRow* row(const std::string& file) const {
        for (const auto& r : library.LibraryGrid) {
            if (r.FileName == file) {
                return &r;
            }
        }
        return nullptr;
    }
};

TEST_F(ScanFixture, GoodRefusedAndForeignFiles) {
    writeVariant("SB18.cabinet", "Newer.cabinet", 28, 6);          // file version 6
    writeVariant("SB18.cabinet", "Older.cabinet", 28, 2);          // file version 2
    writeVariant("SB18.cabinet", "Foreign.cabinet", 0, 0);         // another software name (empty)
    writeVariant("SB18.cabinet", "Broken.cabinet", 436 + 184, 30); // damaged points count
    testing::WriteBytes(dir.path / "Textures" / "notes.txt", {'h', 'i'});
    library.ReadLibraryFiles();

    EXPECT_EQ(f.project->ModelsDetected->NModelsDetected(), 4);
    EXPECT_EQ(f.project->FramesDetected->NFramesDetected(), 1);
    EXPECT_EQ(f.project->OrnasDetected->NOrnasDetected(), 1);
    ASSERT_NE(row("SP12.cabinet"), nullptr);
    EXPECT_EQ(row("SP12.cabinet")->State, "Available");
    EXPECT_EQ(row("LA10.cabinet")->ModelName, "LA10 (90)");
    EXPECT_EQ(row("LA10.cabinet")->FileVersion, "5.0");
    EXPECT_EQ(row("LA10.cabinet")->Manufacturer, "Sample Acoustics");
    EXPECT_EQ(row("Truss Block.ornament")->Manufacturer, "-");
    EXPECT_EQ(row("Broken.cabinet")->State, "Invalid File");
    // Refused rows hold only their state; a foreign file leaves an empty row.
    const auto newer = std::find_if(library.LibraryGrid.begin(), library.LibraryGrid.end(),
                                    [](const TLibraryGridRow& r) { return r.State.rfind("Higher", 0) == 0; });
    ASSERT_NE(newer, library.LibraryGrid.end());
    EXPECT_EQ(newer->State, "Higher File Version, Update your application");
    EXPECT_TRUE(newer->FileName.empty());
    EXPECT_EQ(std::count_if(library.LibraryGrid.begin(), library.LibraryGrid.end(),
                            [](const TLibraryGridRow& r) { return r.State == "Invalid Version"; }),
              1);
    EXPECT_EQ(std::count_if(library.LibraryGrid.begin(), library.LibraryGrid.end(),
                            [](const TLibraryGridRow& r) { return r.State.empty(); }),
              1);
    EXPECT_EQ(row("notes.txt")->State, "Invalid Image format");
    EXPECT_FALSE(library.OpenLibSoundSystemEnabled);
    EXPECT_TRUE(library.OpenLibOrnamentEnabled);
    EXPECT_EQ(library.FModels3DImported.size(), 5u);
    EXPECT_EQ(f.project->FramesDetected->FrameModel[0]->ModelID, 4);
    EXPECT_EQ(library.LabelLib, "Cabinets Available: 4      Riggings Available: 1      Textures Available: 0"
                                "      Sound Systems: 0      Ornaments: 1");
}

TEST_F(ScanFixture, ReadingAgainKeepsModelsThatPlacedObjectsMayHold) {
    library.ReadLibraryFiles();
    TCabModel* before = library.GetCabModelByName("SP12", "", "Sample Acoustics", true);
    ASSERT_NE(before, nullptr);
    // Nothing placed: the replaced models are released at once.
    fs::remove(dir.path / "Cabinets" / "CL8.cabinet");
    library.ReadLibraryFiles();
    EXPECT_EQ(f.project->ModelsDetected->NModelsDetected(), 3);
    EXPECT_EQ(f.project->ModelsDetected->NRetiredModels(), 0u); // nothing placed: released
    TCabModel* after = library.GetCabModelByName("SP12", "", "", false);
    ASSERT_NE(after, nullptr);
    EXPECT_EQ(after->ModelName, "SP12");
}

TEST_F(ScanFixture, LookupsRecordMissingModelsOnceAndTheMenuGroupsModels) {
    library.ReadLibraryFiles();
    f.boxes.shown.clear(); // pictures without a decoder
    EXPECT_EQ(library.GetCabModelByName("SP12", "", "Other Brand", true), nullptr);
    EXPECT_EQ(library.GetFrameModelByName("Nope", true), nullptr);
    EXPECT_EQ(library.GetFrameModelByName("Nope", true), nullptr);
    EXPECT_NE(library.GetFrameModelByName("LA10-Frame", true), nullptr);
    EXPECT_NE(library.GetOrnaModelByName("Truss Block", true), nullptr);
    EXPECT_EQ(library.ModelsNotFound, (std::vector<std::string>{"Cab: SP12", "Rig: Nope"}));
    ASSERT_EQ(f.boxes.shown.size(), 2u);
    EXPECT_EQ(f.boxes.shown[0].text, "Cabinet Model \"SP12 \" was not found in Library");
    EXPECT_EQ(f.boxes.shown[1].text, "Rigging Frame \"Nope\" was not found in Library");

    library.OrganizeCabinetModels();
    ASSERT_EQ(library.PopupModels.size(), 1u);
    const TModelMenuItem& brand = library.PopupModels[0];
    EXPECT_EQ(brand.Caption, "Sample Acoustics");
    EXPECT_EQ(brand.Name, "SampleAcousticsBrandItem");
    ASSERT_EQ(brand.Items.size(), 2u);
    EXPECT_EQ(brand.Items[0].Items.size(), 4u); // four categories
    EXPECT_EQ(brand.Items[1].Items.size(), 4u); // four series
    const auto& lineArray = *std::find_if(brand.Items[0].Items.begin(), brand.Items[0].Items.end(),
                                          [](const TModelMenuItem& i) { return i.Caption == "Line Array"; });
    ASSERT_EQ(lineArray.Items.size(), 1u);
    EXPECT_EQ(lineArray.Items[0].Caption, "LA10 (90)");
}

TEST_F(ScanFixture, ImportCopiesByEndingAndReadsAgain) {
    testing::TempDir outside;
    fs::copy_file(SampleLibraryDir() / "Cabinets" / "SB18.cabinet", outside.path / "Sub2.cabinet");
    fs::copy_file(SampleLibraryDir() / "Cabinets" / "SB18.cabinet", outside.path / "Upper.CABINET");
    testing::WriteBytes(outside.path / "fake.png", {'x'});
    fs::remove_all(dir.path / "Cabinets");
    fs::create_directories(dir.path / "Cabinets");
    library.ImportFilesToLibrary({outside.path / "Sub2.cabinet", outside.path / "Upper.CABINET",
                                  outside.path / "fake.png", outside.path / "missing.cabinet"});
    EXPECT_TRUE(fs::exists(dir.path / "Cabinets" / "Sub2.cabinet"));
    EXPECT_FALSE(fs::exists(dir.path / "Cabinets" / "Upper.CABINET"));
    EXPECT_FALSE(fs::exists(dir.path / "Textures" / "fake.png"));
    EXPECT_EQ(f.project->ModelsDetected->NModelsDetected(), 1);
    EXPECT_EQ(library.PopupModels.size(), 1u);
}

} // namespace
} // namespace vendrel
