#include <gtest/gtest.h>

#include <cstring>

#include "../acoustics/model_fixture.h"
#include "acoustics/cab_model.h"
#include "acoustics/cabinet.h"
#include "acoustics/line_array.h"
#include "acoustics/model_registry.h"
#include "acoustics/ornament.h"
#include "acoustics/rigging_frame.h"
#include "acoustics/zone_data.h"
#include "files/cabinet_file.h"
#include "files/library_scan.h"
#include "files/system_file.h"
#include "library_fixture.h"
#include "platform/core/material.h"
#include "platform/core/mesh.h"
#include "record_samples.h"

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

    EXPECT_EQ(f.project->ModelsDetected()->NModelsDetected(), 8);
    EXPECT_EQ(f.project->FramesDetected()->NFramesDetected(), 5);
    EXPECT_EQ(f.project->OrnasDetected()->NOrnasDetected(), 1);
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
    EXPECT_EQ(library.FModels3DImported.size(), 13u);
    EXPECT_EQ(f.project->FramesDetected()->FrameModel()[0]->ModelID(), 8);
    EXPECT_EQ(library.LabelLib, "Cabinets Available: 8      Riggings Available: 5      Textures Available: 0"
                                "      Sound Systems: 0      Ornaments: 1");
}

TEST(LibraryScan, EmptyOrMissingFoldersGiveZeroCountsAndDisabledActions) {
    testing::ModelFixture f;
    testing::TempDir dir;
    fs::create_directories(dir.path / "Cabinets"); // the other folders are missing
    TModelLibrary library(*f.project, dir.path, "Vendrel");
    std::vector<std::string> shown;
    library.OnStatus = [&](const std::string& text) { shown.push_back(text); };
    library.ReadLibraryFiles();
    EXPECT_TRUE(library.LibraryGrid.empty());
    EXPECT_FALSE(library.OpenLibSoundSystemEnabled);
    EXPECT_FALSE(library.OpenLibOrnamentEnabled);
    EXPECT_EQ(f.project->ModelsDetected()->NModelsDetected(), 0);
    EXPECT_EQ(shown,
              (std::vector<std::string>{
                  "Reading Lybrary data", "Rigging Frame Files: 0", "Cabinets Files: 0", "Ornament Files: 0",
                  "Sound System Files: 0",
                  "DONE!    Rigging Models: 0;   Cabinets Models: 0;   Textures 0;   Sound Systems: 0;   "
                  "Ornaments: 0"}));
    EXPECT_EQ(f.project->LastLogString(), "MainForm.ReadLibraryFiles");
}

TEST_F(ScanFixture, ReadingAgainKeepsModelsThatPlacedObjectsMayHold) {
    library.ReadLibraryFiles();
    TCabModel* before = library.GetCabModelByName("SP12", "", "Sample Acoustics", true);
    ASSERT_NE(before, nullptr);
    // Nothing placed: the replaced models are released at once.
    fs::remove(dir.path / "Cabinets" / "CL8.cabinet");
    library.ReadLibraryFiles();
    EXPECT_EQ(f.project->ModelsDetected()->NModelsDetected(), 7);
    EXPECT_EQ(f.project->ModelsDetected()->NRetiredModels(), 0u); // nothing placed: released
    TCabModel* after = library.GetCabModelByName("SP12", "", "", false);
    ASSERT_NE(after, nullptr);
    EXPECT_EQ(after->ModelName(), "SP12");
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
    EXPECT_EQ(brand.Items[0].Items.size(), 5u); // five categories
    EXPECT_EQ(brand.Items[1].Items.size(), 5u); // five series
    const auto& lineArray = *std::find_if(brand.Items[0].Items.begin(), brand.Items[0].Items.end(),
                                          [](const TModelMenuItem& i) { return i.Caption == "Line Array"; });
    ASSERT_EQ(lineArray.Items.size(), 4u);
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
    EXPECT_EQ(f.project->ModelsDetected()->NModelsDetected(), 1);
    EXPECT_EQ(library.PopupModels.size(), 1u);
}

// An update list that arrives after the reading (the check runs beside it) is compared with the headers
// that reading checked, exactly as a reading with the list would compare them.
TEST_F(ScanFixture, AListArrivingAfterTheReadingIsComparedAsAReadingWithItWould) {
    library.ReadLibraryFiles();
    rWDXHeaderFile sb;
    ASSERT_TRUE(IsWendrixCabinetFile(dir.path / "Cabinets" / "SB18.cabinet", sb));
    rWDXHeaderFile frame;
    ASSERT_TRUE(IsWendrixFrameFile(dir.path / "Riggings" / "LA10-Frame.rigging", frame));
    const std::string text = "3.1.0\nSetup.exe\n" + sb.ModelName + "\n" +
                             std::to_string(sb.ModelUpdateVersion + 1) + "\nm/SB18.cabinet\n3.0.0\n" +
                             frame.ModelName + "\n" + std::to_string(frame.ModelUpdateVersion) +
                             "\nm/frame.rigging\n3.0.0\n" + "Brand New\n1\nm/new.cabinet\n3.0.0\n";
    auto list = ParseUpdateList(text, "https://u.example/", {3, 1, 0});
    ASSERT_TRUE(list.has_value());
    library.UpdateList = &*list;
    library.CompareWithUpdateList();
    EXPECT_EQ(library.NewUpdateInModels, std::vector<std::string>{sb.ModelName});
    EXPECT_EQ(library.CheckNewModelsOnInternet(), std::vector<std::string>{"Brand New"});
    const auto& files = list->InternetLibFiles();
    EXPECT_TRUE(files[0].IsNewVersion);
    EXPECT_FALSE(files[1].IsNewVersion); // the same version is no update
    EXPECT_FALSE(files[0].IsNewModel);
    EXPECT_FALSE(files[1].IsNewModel);
    EXPECT_TRUE(files[2].IsNewModel);

    const auto late = library.NewUpdateInModels;
    library.ReadLibraryFiles();
    EXPECT_EQ(library.NewUpdateInModels, late);
}

// A downloaded model reaches the library only when its kind's rule takes it and it loads in full.
TEST_F(ScanFixture, DownloadedModelsAreCheckedByTheirKindsRule) {
    testing::TempDir downloads;
    const auto put = [&](const char* name, std::vector<uint8_t> bytes) {
        testing::WriteBytes(downloads.path / name, bytes);
        return downloads.path / name;
    };
    std::vector<uint8_t> good = FileBytes(SampleLibraryDir() / "Cabinets" / "SB18.cabinet");
    std::vector<uint8_t> cut = good;
    cut.resize(good.size() / 2);
    std::vector<uint8_t> higher = good;
    const int32_t six = 6;
    std::memcpy(higher.data() + 28, &six, 4);
    const std::string page = "<html><body>Not here</body></html>";
    struct Case {
        fs::path file;
        bool usable;
        std::string why;
    };
    const Case cases[] = {
        {put("SB18.cabinet", good), true, ""},
        {put("Frame.rigging", FileBytes(SampleLibraryDir() / "Riggings" / "LA10-Frame.rigging")), true, ""},
        {put("Truss.ornament", FileBytes(SampleLibraryDir() / "Ornaments" / "Truss Block.ornament")), true,
         ""},
        {put("Cut.cabinet", cut), false, "damaged file"},
        {put("Page.cabinet", std::vector<uint8_t>(page.begin(), page.end())), false, "damaged file"},
        {put("Six.cabinet", higher), false, "Higher File Version, Update your application"},
        {put("Setup.exe", good), false, "not a cabinet, rigging or ornament file"},
        {put("Frame.RIGGING", good), false, "not a cabinet, rigging or ornament file"},
    };
    for (const Case& c : cases) {
        std::string why;
        EXPECT_EQ(library.CheckDownloadedModel(c.file, why), c.usable) << c.file;
        EXPECT_EQ(why.substr(0, c.why.size()), c.why) << c.file;
    }
    // The check loads nothing into the project's registries.
    EXPECT_EQ(f.project->ModelsDetected()->NModelsDetected(), 0);
}

TEST_F(ScanFixture, RemovingARowDeletesItsFileOrSaysWhyNot) {
    library.ReadLibraryFiles();
    const size_t rows = library.LibraryGrid.size();
    const int32_t cabinets = f.project->ModelsDetected()->NModelsDetected();
    const TLibraryGridRow texture = *row("Checker.png");
    EXPECT_EQ(library.RemoveLibraryFile(texture), "");
    EXPECT_FALSE(fs::exists(dir.path / "Textures" / "Checker.png"));
    EXPECT_EQ(library.LibraryGrid.size(), rows - 1); // read again
    // Already gone: a reason, nothing else removed.
    EXPECT_EQ(library.RemoveLibraryFile(texture), "file not found");
    // A row without a file name names no file: the folder stays.
    TLibraryGridRow empty;
    empty.Type = ".cabinet";
    EXPECT_EQ(library.RemoveLibraryFile(empty), "no library file");
    EXPECT_TRUE(fs::exists(dir.path / "Cabinets" / "SB18.cabinet"));
    // A deletion the system refuses (a folder holding files).
    fs::create_directories(dir.path / "Textures" / "Held.png" / "inside");
    TLibraryGridRow held;
    held.FileName = "Held.png";
    held.Type = ".png";
    EXPECT_NE(library.RemoveLibraryFile(held), "");
    EXPECT_TRUE(fs::exists(dir.path / "Textures" / "Held.png" / "inside"));
    EXPECT_EQ(f.project->ModelsDetected()->NModelsDetected(), cabinets);
}

TEST_F(ScanFixture, StoredLineArrayCheckRecordsMissingModelsSilently) {
    library.ReadLibraryFiles();
    f.boxes.shown.clear();
    rPRJCabArray stored;
    auto item = [](const char* cls, const char* model, const char* variant, const char* brand) {
        rPRJArrayItem i;
        i.ClassName = cls;
        i.ModelName = model;
        i.VariantName = variant;
        i.BrandName = brand;
        return i;
    };
    stored.ItemList = {
        item("TRiggingFrame", "LA10-Frame", "", ""),        item("TRiggingFrame", "Gone", "B", ""),
        item("TCabinet", "LA10", "90", "Sample Acoustics"), item("TCabinet", "LA10", "120", ""),
        item("TCabinet", "LA10", "90", "Other Brand"),      item("TQzDummy", "Spacer", "", "")};
    library.CheckCabArrayModels(stored);
    EXPECT_EQ(library.ModelsNotFound,
              (std::vector<std::string>{"Cab: LA10 (120)", "Cab: LA10 (90)", "Rig: Gone (B)"}));
    EXPECT_TRUE(f.boxes.shown.empty());
}

TEST_F(ScanFixture, SoundSystemsAreCheckedListedAndShownWithTheirPictures) {
    testing::PngSignatureDecoder decoder;
    ImageDecoderGuard guard(decoder);
    auto write = [&](const char* file, rSystemFile system) {
        system.Header.SoftType = "Vendrel";
        testing::WriteBytes(dir.path / "SoundSystems" / file, WriteSystemFile(system));
    };
    rSystemFile full = samples::SystemFull(); // with a picture
    write("A Full.system", full);
    rSystemFile newer = samples::SystemTwoCabinets(); // "Club system", update 3
    newer.Header.FileMajorVer = 2;
    write("B Newer.system", newer);
    rSystemFile old = samples::SystemTwoCabinets();
    old.Header.FileMajorVer = 0;
    old.Header.Name = "Old system";
    write("C Old.system", old);
    testing::WriteBytes(dir.path / "SoundSystems" / "D Foreign.system",
                        WriteSystemFile(samples::SystemFull()));
    rSystemFile badPicture = samples::SystemTwoCabinets();
    badPicture.Header.Name = "Bad picture";
    badPicture.GlobalStaticData.HasSystemImage = true;
    badPicture.GlobalStaticData.SizeSystemImage = 3;
    badPicture.SystemImage = {1, 2, 3};
    write("E Bad picture.system", badPicture);
    std::vector<uint8_t> damaged = FileBytes(dir.path / "SoundSystems" / "A Full.system");
    damaged.resize(700); // the header and part of the records
    testing::WriteBytes(dir.path / "SoundSystems" / "F Damaged.system", damaged);
    damaged.resize(100); // not even the header
    testing::WriteBytes(dir.path / "SoundSystems" / "G Short.system", damaged);
    auto updates = ParseUpdateList("3.1.0\nSetup.exe\nClub system\n5\nclub.system\n3.0.0\n"
                                   "Old system\n9\nold.system\n3.0.0\n",
                                   "", {3, 1, 0});
    ASSERT_TRUE(updates.has_value());
    library.UpdateList = &*updates;
    library.ReadLibraryFiles();

    EXPECT_EQ(library.SoundSystemsList,
              (std::vector<std::string>{"A Full.system", "B Newer.system", "E Bad picture.system"}));
    EXPECT_EQ(library.FSystemNameImported,
              (std::vector<std::string>{"Full system", "Club system", "Bad picture"}));
    EXPECT_EQ(library.FSystemDescripImported[0], "Every section");
    ASSERT_EQ(library.FSystemImgImported.size(), 3u);
    EXPECT_TRUE(library.FSystemImgImported[0].has_value());
    EXPECT_FALSE(library.FSystemImgImported[1].has_value());
    EXPECT_FALSE(library.FSystemImgImported[2].has_value());
    EXPECT_EQ(std::count_if(f.boxes.shown.begin(), f.boxes.shown.end(),
                            [](const auto& b) { return b.text == "Invalid Image format"; }),
              1);
    EXPECT_TRUE(library.OpenLibSoundSystemEnabled);
    EXPECT_NE(library.LabelLib.find("Sound Systems: 3"), std::string::npos);
    // An update is noted before the version rule, also for a file that is not used.
    EXPECT_EQ(library.NewUpdateInModels, (std::vector<std::string>{"Club system", "Old system"}));

    struct Expected {
        const char* file;
        const char* name;
        const char* state;
        const char* update;
        const char* version;
    };
    for (const Expected& e : {Expected{"A Full.system", "Full system", "Available", "1", "1.0"},
                              Expected{"B Newer.system", "Club system", "Invalid, Higher Ver", "3", "2.0"},
                              Expected{"C Old.system", "Old system", "Invalid Version", "3", "0.0"},
                              Expected{"E Bad picture.system", "Bad picture", "Available", "3", "1.0"},
                              Expected{"F Damaged.system", "Full system", "Invalid File", "1", "1.0"}}) {
        SCOPED_TRACE(e.file);
        const TLibraryGridRow* r = row(e.file);
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(r->ModelName, e.name);
        EXPECT_EQ(r->State, e.state);
        EXPECT_EQ(r->UpdateVersion, e.update);
        EXPECT_EQ(r->FileVersion, e.version);
        EXPECT_EQ(r->Manufacturer, "");
        EXPECT_EQ(r->Type, ".system");
        EXPECT_EQ(r->Remove, "Remove");
    }
    // Another program's file and one too short for its header leave empty rows.
    EXPECT_EQ(std::count_if(library.LibraryGrid.begin(), library.LibraryGrid.end(),
                            [](const TLibraryGridRow& r) { return r.FileName.empty() && r.State.empty(); }),
              2);
}

// Placed objects point at their models; reading the library again, also after a model file changed,
// must leave those models whole until nothing placed uses them.
struct PlacedModelsFixture : ScanFixture {
    testing::PngSignatureDecoder decoder;
    ImageDecoderGuard guard{decoder};

    PlacedModelsFixture() {
        f.medium.StorePixelToMeters(0.5);
        f.project->SetContinuousRender(false);
    }

    // Doubles every magnitude of the first polar set of a cabinet file.
    void louderFirstPolarSet(const fs::path& file) {
        rCabinetFile record;
        ASSERT_TRUE(ReadCabinetFileRecord(file, record, "Vendrel"));
        const rWDXStaticDataFile& s = record.GlobalStaticData;
        std::vector<uint8_t> b = FileBytes(file);
        size_t at =
            rWDXHeaderFile::kSize + rWDXStaticDataFile::kSize + 114 * s.NOriginPoints + 150 * s.NSources;
        const size_t peqs = b.at(at + 43);
        at += 44 + (peqs == 0 ? 28 : 7 * peqs) + 35 + 8;
        const size_t n = static_cast<size_t>(s.NFreqPoints);
        for (int32_t point = 0; point < s.NPolarSlices * s.NPolarMeasures; ++point, at += 16 + 8 * n) {
            for (size_t k = 0; k < n; ++k) {
                float v;
                std::memcpy(&v, &b.at(at + 8 + 4 * k), 4);
                v *= 2;
                std::memcpy(&b.at(at + 8 + 4 * k), &v, 4);
            }
        }
        testing::WriteBytes(file, b);
    }

    static std::vector<float> levels(TCabinet& cab) {
        EXPECT_TRUE(cab.GetMap3D(-1, 0));
        const TMapLayers& m = cab.MapData().at(0)->MapRealFreq();
        return std::vector<float>(m.data(), m.data() + m.size());
    }
};

TEST_F(PlacedModelsFixture, PlacedObjectsKeepTheirModelsAcrossReadings) {
    library.ReadLibraryFiles();
    f.addZone(8.0f, 6.0f);
    TCabModel* sp12 = library.GetCabModelByName("SP12", "", "Sample Acoustics", true);
    TCabModel* la10 = library.GetCabModelByName("LA10", "90", "Sample Acoustics", true);
    TRigFrameModel* frameModel = library.GetFrameModelByName("LA10-Frame", true);
    TOrnaModel* truss = library.GetOrnaModelByName("Truss Block", true);
    ASSERT_TRUE(sp12 && la10 && frameModel && truss);

    TCabinet* loose =
        f.project->AddCabinet(sp12, {4.0f, -3.0f, -2.0f}, {}, false, TCabPlacement::qzaVertical, 0, true);
    auto owned = std::make_unique<TCabArray>(&f.medium, f.project.get());
    TRiggingFrame* frame = owned->AddFrame(frameModel);
    owned->AddCabinet(la10, true);
    owned->AddCabinet(la10, true);
    TCabArray* array = owned.get();
    f.project->AddArray(std::move(owned));
    TOrnament* ornament = f.project->AddOrnament(truss, {1.0f, 0.0f, 1.0f}, {}, false);
    const std::vector<float> looseLevels = levels(*loose);
    const std::vector<float> arrayLevels = levels(*array->CabinetList()[1]);
    ASSERT_TRUE(std::any_of(looseLevels.begin(), looseLevels.end(), [](float v) { return v != 0; }));
    ASSERT_TRUE(std::any_of(arrayLevels.begin(), arrayLevels.end(), [](float v) { return v != 0; }));
    array->RecalcMechanics();
    const TMechanicalData mechanics = array->MechanicalData();
    const float firstMagnitude = sp12->PolarData()[0][0][0].MagnitudePerFreq[10];

    louderFirstPolarSet(dir.path / "Cabinets" / "SP12.cabinet");
    for (int reading = 0; reading < 2; ++reading) {
        SCOPED_TRACE(reading);
        library.ReadLibraryFiles();
        // New placements take the file as it is now ...
        TCabModel* fresh = library.GetCabModelByName("SP12", "", "Sample Acoustics", false);
        ASSERT_NE(fresh, nullptr);
        EXPECT_NE(fresh, sp12);
        EXPECT_FLOAT_EQ(fresh->PolarData()[0][0][0].MagnitudePerFreq[10], 2 * firstMagnitude);
        // ... while what is placed keeps the model it was placed with, data, meshes and materials.
        ASSERT_EQ(loose->Model(), sp12);
        EXPECT_EQ(sp12->ModelName(), "SP12");
        EXPECT_EQ(sp12->PolarData()[0][0][0].MagnitudePerFreq[10], firstMagnitude);
        EXPECT_EQ(levels(*loose), looseLevels);
        EXPECT_EQ(levels(*array->CabinetList()[1]), arrayLevels);
        ASSERT_NE(sp12->Object3D(), nullptr);
        EXPECT_EQ(sp12->Object3D()->MeshCount(), 2);
        ASSERT_EQ(frame->Model(), frameModel);
        EXPECT_EQ(frameModel->NPickPoints(), 4);
        array->RecalcMechanics();
        EXPECT_EQ(array->MechanicalData().TotalWeight, mechanics.TotalWeight);
        EXPECT_EQ(array->MechanicalData().FlyingPoint, mechanics.FlyingPoint);
        EXPECT_EQ(array->MechanicalData().FrontPickupLoad, mechanics.FrontPickupLoad);
        ASSERT_EQ(ornament->Model(), truss);
        ASSERT_EQ(truss->Object3D()->MeshCount(), 1);
        const auto* material =
            dynamic_cast<const TLightMaterialSource*>(truss->Object3D()->Meshes(0).MaterialSource);
        ASSERT_NE(material, nullptr);
        EXPECT_EQ(material->Texture().Width(), 2);
    }

    // Once nothing placed is left, the next reading lets the replaced models go.
    f.project->RemoveCabinet(loose);
    f.project->RemoveArray(array);
    f.project->RemoveOrnament(ornament);
    // A cabinet of an array still being built holds its model as well.
    auto building = std::make_unique<TCabArray>(&f.medium, f.project.get());
    TCabinet* held = building->AddCabinet(library.GetCabModelByName("LA10", "90", "", false), true);
    library.ReadLibraryFiles();
    EXPECT_GT(f.project->ModelsDetected()->NRetiredModels(), 0u);
    EXPECT_EQ(held->Model()->AllowedAnglesFlown().size(), 9u);
    building->FreeClass();
    building.reset();
    library.ReadLibraryFiles();
    EXPECT_EQ(f.project->ModelsDetected()->NRetiredModels(), 0u);
    EXPECT_EQ(f.project->FramesDetected()->NRetiredModels(), 0u);
    EXPECT_EQ(f.project->OrnasDetected()->NRetiredModels(), 0u);
}

} // namespace
} // namespace vendrel
