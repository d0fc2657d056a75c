#include "documents_fixture.h"
#include "every_kind_project.h"

#include "acoustics/beam_steering.h"
#include "acoustics/cabinet.h"
#include "acoustics/cluster.h"
#include "acoustics/dsp_process.h"
#include "acoustics/line_array.h"
#include "acoustics/mapping_zone.h"
#include "acoustics/mic_point.h"
#include "acoustics/ornament.h"
#include "acoustics/overlay.h"
#include "acoustics/physical_space.h"
#include "acoustics/project.h"
#include "acoustics/response_grids.h"
#include "acoustics/user_preset.h"
#include "dsp/gain_delay.h"
#include "dsp/peqs.h"
#include "files/record_enums.h"
#include "platform/core/atomic_file.h"
#include "platform/core/camera.h"
#include "platform/core/material.h"
#include "platform/core/mem_ini_file.h"
#include "platform/core/mesh.h"
#include "scene/cone_marker.h"
#include "scene/scene_object.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>

namespace vendrel {
namespace {

namespace fs = std::filesystem;
using testing::DocumentsFixture;
using testing::EveryKind;
using testing::Ord;

rProjectFile ReadBack(const fs::path& file) {
    rProjectFile r;
    EXPECT_TRUE(OpenProjectRecord(file, r, "Vendrel"));
    return r;
}

// Fields the open derives instead of reading them (the array's origin, which it computes; the X and Z
// turns of arrays, which it does not restore).
void ClearDerivedFields(rProjectFile& r) {
    for (rPRJCabArray& a : r.CabArrays) {
        a.OriginPoint = {0, 0, 0};
    }
}

rPRJOverlay OverlayRecord(int32_t points, int32_t id) {
    rPRJOverlay o;
    o.IDnumber = id;
    o.Name = "Capture " + std::to_string(id);
    o.Visible = true;
    o.Color = 0xFF00C0C0;
    o.NPointsSaved = points;
    // A count beyond the record's room (a count that names no grid) fills only what the record holds.
    for (int32_t i = 0; i < points && static_cast<size_t>(i) < o.MagData.size(); ++i) {
        o.MagData[static_cast<size_t>(i)] = 90.0 - 0.01 * i;
        o.PhaseData[static_cast<size_t>(i)] = -0.5 * i;
    }
    return o;
}

TEST_F(DocumentsFixture, AProjectOfEveryKindOpensAndSavesBackFieldByField) {
    rProjectFile fixture = EveryKind();
    fixture.Overlays = {OverlayRecord(f.project->NFreqPointsMicGraph(), 7)};
    fixture.GlobalStaticData.NOverlays = 1;
    fixture.OverlaysSize = kOverlaySizeCounted;
    const fs::path file = path("Show/Hall.V3DPrj");
    fs::create_directories(file.parent_path());
    testing::WritePicture(path("Show/Hall/floor.png"), 4, 2, 0xFF112233);
    SaveProjectRecord(file, fixture);

    ASSERT_TRUE(docs->LoadProjectFile(file.string()));
    EXPECT_TRUE(f.boxes.shown.empty()) << f.boxes.shown.front().text;
    TAcousticProject& p = *f.project;
    EXPECT_FALSE(p.IsProjectModified());
    EXPECT_EQ(docs->ActiveProjectFileName, file.string());
    EXPECT_EQ(docs->MRU[0], file.string());
    ASSERT_EQ(p.NCabArrays(), 1);
    EXPECT_EQ(p.CabArrays()[0]->NCabinets(), 3);
    EXPECT_EQ(p.NClusters(), 1);
    EXPECT_EQ(p.NBeamSteerings(), 1);
    EXPECT_EQ(p.NOrnaments(), 1);
    EXPECT_EQ(p.NMics(), 2);
    // A measurement point's marker is a cone lit in the point's colour, with a white highlight.
    const auto* marker = dynamic_cast<const TConeInv*>(p.Mics()[1]->GraphicalObject);
    ASSERT_NE(marker, nullptr);
    const TMaterial& look = TMaterialSource::ValidMaterial(marker->MaterialSource());
    EXPECT_EQ(look.Diffuse, p.Mics()[1]->Color());
    EXPECT_EQ(look.Ambient, TAlphaColors::Black);
    EXPECT_EQ(look.Specular, TAlphaColors::White);
    EXPECT_EQ(look.Shininess, 18);
    EXPECT_EQ(p.NOverlays(), 1);
    ASSERT_EQ(p.NMappingZones(), 2);
    ASSERT_NE(p.MappingZones()[0]->ImageTexture(), nullptr);
    EXPECT_EQ(p.MappingZones()[0]->ImageTexture()->Pixel(0, 0), 0xFF112233u);
    EXPECT_EQ(p.Cabinets()[0]->ExternalDSPProcess(), p.DSPProcessList()[0].get());
    EXPECT_EQ(p.Cabinets()[0]->InternalDSPPreset()->NumberID(), 2);
    EXPECT_EQ(f.editor->Layers.SelectedLayer, f.editor->Layers.LayerList[1]);
    // The locked layer's members are locked and listed.
    EXPECT_TRUE(f.state().LockedList.Contains(p.CabArrays()[0].get()));
    EXPECT_FALSE(docs->ModelOnlyObjectsNote().empty());

    const fs::path copy = path("Other/Copy.V3DPrj");
    fs::create_directories(copy.parent_path());
    ASSERT_TRUE(docs->SaveProjectFile(copy.string()));
    EXPECT_TRUE(fs::exists(path("Other/Copy/floor.png")));
    rProjectFile saved = ReadBack(copy);
    rProjectFile expected = fixture;
    ClearDerivedFields(saved);
    ClearDerivedFields(expected);

    EXPECT_EQ(saved.Header, expected.Header);
    EXPECT_EQ(saved.GlobalStaticData, expected.GlobalStaticData);
    EXPECT_EQ(saved.Layers, expected.Layers);
    EXPECT_EQ(saved.DSPProcess, expected.DSPProcess);
    EXPECT_EQ(saved.ProcessActive, expected.ProcessActive);
    EXPECT_EQ(saved.Cabinets, expected.Cabinets);
    ASSERT_EQ(saved.CabArrays.size(), 1u);
    for (size_t i = 0; i < expected.CabArrays[0].ItemList.size(); ++i) {
        EXPECT_EQ(saved.CabArrays[0].ItemList[i], expected.CabArrays[0].ItemList[i]) << "item " << i;
    }
    EXPECT_EQ(saved.CabArrays, expected.CabArrays);
    EXPECT_EQ(saved.Clusters, expected.Clusters);
    EXPECT_EQ(saved.Beams, expected.Beams);
    EXPECT_EQ(saved.MappingZones, expected.MappingZones);
    EXPECT_EQ(saved.Ornaments, expected.Ornaments);
    EXPECT_EQ(saved.Measures, expected.Measures);
    EXPECT_EQ(saved.Overlays, expected.Overlays);
    EXPECT_EQ(saved, expected);
}

} // namespace
} // namespace vendrel

namespace vendrel {
namespace {

using testing::DocumentsFixture;

// Opens the every-kind project and leaves it modified, as a user's open work.
struct OpenProjectFixture : DocumentsFixture {
    fs::path good = path("Good/Hall.V3DPrj");

    void SetUp() override {
        fs::create_directories(good.parent_path());
        testing::WritePicture(path("Good/Hall/floor.png"), 4, 2, 0xFF112233);
        SaveProjectRecord(good, EveryKind());
        ASSERT_TRUE(docs->LoadProjectFile(good.string()));
        f.project->SetIsProjectModified(true);
        f.boxes.shown.clear();
    }

    struct Counts {
        int cabinets, arrays, clusters, beams, zones, ornaments, processes, layers;
        bool operator==(const Counts&) const = default;
    };
    Counts counts() const {
        const TAcousticProject& p = *f.project;
        return {p.NCabinets(),     p.NCabArrays(),
                p.NClusters(),     p.NBeamSteerings(),
                p.NMappingZones(), p.NOrnaments(),
                p.NDSPProcess(),   static_cast<int>(f.editor->Layers.LayerList.size())};
    }
};

TEST_F(OpenProjectFixture, AMalformedFileIsRefusedWholeAndTheOpenProjectStays) {
    struct Case {
        const char* name;
        std::function<void(rProjectFile&)> change;
        size_t patchAt = 0; // a byte of the written file set to patchValue (values the writer refuses)
        uint8_t patchValue = 0;
    };
    const std::vector<Case> cases = {
        {"zone on layer 7", [](rProjectFile& r) { r.MappingZones[0].LayerID = 7; }},
        {"active layer 9", [](rProjectFile& r) { r.GlobalStaticData.ActiveLayer = 9; }},
        {"process 5", [](rProjectFile& r) { r.Cabinets[0].ExtDSPid = 5; }},
        {"cluster of 99 cabinets",
         [](rProjectFile& r) { r.Clusters[0].CabinetList.resize(99, r.Clusters[0].CabinetList[0]); }},
        {"render quality 9", [](rProjectFile&) {}, kPRJHeaderSize + 320, 9},
        {"level range 0", [](rProjectFile& r) { r.GlobalStaticData.RangedBSPL = 0; }},
        {"camera far away", [](rProjectFile& r) { r.GlobalStaticData.Camera3D.Position.Z = -1e9f; }},
        {"camera not a number", [](rProjectFile& r) { r.GlobalStaticData.CameraTop.Rotation.Y = NAN; }},
        {"gain flag without its gain",
         [](rProjectFile& r) {
             TDspCabinet& b = r.DSPProcess[1];
             b.Header.NOutputs = 0;
             b.OutputGain.clear();
             b.HasOutputDelay = b.HasOutputPeq = false;
             b.OutputDelay.clear();
             b.OutputPeq.clear();
         }},
        {"no layer",
         [](rProjectFile& r) {
             r.Layers.clear();
             r.GlobalStaticData.NLayers = 0;
         }},
    };
    const Counts before = counts();
    const std::string name = docs->ActiveProjectFileName;
    const auto mru = docs->MRU;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        rProjectFile bad = EveryKind();
        c.change(bad);
        std::vector<uint8_t> bytes = WriteProjectFile(bad);
        if (c.patchAt != 0) {
            bytes.at(c.patchAt) = c.patchValue;
        }
        const fs::path file = path(std::string("Bad/") + c.name + ".V3DPrj");
        fs::create_directories(file.parent_path());
        testing::WriteBytes(file, bytes);
        f.boxes.shown.clear();
        const int captionsBefore = captions;

        EXPECT_FALSE(docs->LoadProjectFile(file.string()));
        ASSERT_EQ(f.boxes.shown.size(), 1u);
        EXPECT_EQ(f.boxes.shown[0].text.rfind(
                      std::string(c.name) + ".V3DPrj is not a Vendrel project, or it is damaged.\r\n", 0),
                  0u)
            << f.boxes.shown[0].text;
        EXPECT_EQ(counts(), before);
        EXPECT_TRUE(f.project->IsProjectModified());
        EXPECT_TRUE(f.project->EventsEnabled());
        EXPECT_FALSE(f.state().IsOpeningProject);
        EXPECT_EQ(docs->ActiveProjectFileName, name);
        EXPECT_EQ(docs->MRU, mru);
        EXPECT_EQ(captions, captionsBefore);
    }
}

// Files that are not projects, or are damaged, cut short or too new: the user reads what happened
// first, the reader's detail (field and byte) on the second line, and the open project stays.
TEST_F(OpenProjectFixture, ARefusedFileTellsTheUserWhatHappenedFirstAndKeepsTheOpenProject) {
    const std::vector<uint8_t> valid = WriteProjectFile(EveryKind());
    ASSERT_GT(valid.size(), 1200u);
    std::mt19937 random(20240305);
    std::vector<uint8_t> noise(4000);
    for (uint8_t& b : noise) {
        b = static_cast<uint8_t>(random());
    }
    noise[0] = 200; // a length no text field of a header has
    rProjectFile otherProgram = EveryKind();
    otherProgram.Header.SoftType = "Other Program";
    rProjectFile newer = EveryKind();
    newer.Header.FileMajorVer = 6;
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
        const char* firstLine;
        const char* detail; // a part of the second line
    } cases[] = {
        {"Noise", noise, "Noise.V3DPrj is not a Vendrel project, or it is damaged.", "SoftType"},
        {"Other", WriteProjectFile(otherProgram), "Other.V3DPrj is not a Vendrel project, or it is damaged.",
         "another program"},
        {"Cut40", {valid.begin(), valid.begin() + 40}, "Cut40.V3DPrj is cut short.", "ends at byte 40"},
        {"Cut1200", {valid.begin(), valid.begin() + 1200}, "Cut1200.V3DPrj is cut short.", "byte"},
        {"Empty", {}, "Empty.V3DPrj is cut short.", "ends at byte 0"},
        {"Newer", WriteProjectFile(newer),
         "The project was made with higher version of Vendrel and cannot be opened.",
         "Update the application"},
    };
    const Counts before = counts();
    const std::string name = docs->ActiveProjectFileName;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path file = path(std::string("Bad/") + c.name + ".V3DPrj");
        fs::create_directories(file.parent_path());
        testing::WriteBytes(file, c.bytes);
        f.boxes.shown.clear();
        EXPECT_FALSE(docs->LoadProjectFile(file.string()));
        ASSERT_EQ(f.boxes.shown.size(), 1u);
        const std::string& text = f.boxes.shown[0].text;
        const size_t lineEnd = text.find("\r\n");
        ASSERT_NE(lineEnd, std::string::npos) << text;
        EXPECT_EQ(text.substr(0, lineEnd), c.firstLine);
        EXPECT_NE(text.find(c.detail, lineEnd), std::string::npos) << text;
        EXPECT_EQ(counts(), before);
        EXPECT_EQ(docs->ActiveProjectFileName, name);
        EXPECT_TRUE(f.project->IsProjectModified());
    }
    // A file that is not there.
    f.boxes.shown.clear();
    EXPECT_FALSE(docs->LoadProjectFile(path("Bad/Gone.V3DPrj").string()));
    ASSERT_EQ(f.boxes.shown.size(), 1u);
    EXPECT_EQ(f.boxes.shown[0].text.rfind(
                  "Gone.V3DPrj cannot be read: it is missing, or you may not read it.\r\n", 0),
              0u)
        << f.boxes.shown[0].text;
}

TEST_F(DocumentsFixture, TheSecondOfThreeCabinetsWithAMissingModelIsAnnouncedOnce) {
    rProjectFile r = EveryKind();
    rPRJCabinet missing = r.Cabinets[0];
    missing.ModelName = "NoSuch";
    rPRJCabinet third = r.Cabinets[0];
    third.Position = {7, -1, 2};
    third.IntPresetid = 2;
    third.ExtDSPid = 2;
    rPRJCabinet first = r.Cabinets[0];
    first.IntPresetid = 1;
    r.Cabinets = {first, missing, third, missing};
    r.MappingZones[0].ImageTextureType = Ord<TTextureType>(2);
    r.GlobalStaticData.NCabinets = 4;
    const fs::path file = path("Missing.V3DPrj");
    SaveProjectRecord(file, r);

    ASSERT_TRUE(docs->LoadProjectFile(file.string()));
    ASSERT_EQ(f.boxes.shown.size(), 1u);
    EXPECT_EQ(f.boxes.shown[0].text, "Cabinet Model \"NoSuch \" was not found in Library");
    ASSERT_EQ(f.project->NCabinets(), 2);
    const TCabinet& kept = *f.project->Cabinets()[1];
    EXPECT_EQ(kept.Position(), TPoint3D(7, -1, 2));
    EXPECT_EQ(kept.InternalDSPPreset()->NumberID(), 2);
    EXPECT_EQ(kept.ExternalDSPProcess(), f.project->DSPProcessList()[1].get());
    EXPECT_EQ(f.project->Cabinets()[0]->InternalDSPPreset()->NumberID(), 1);
}

TEST_F(DocumentsFixture, AnArrayWithAMissingCabinetModelIsLeftOutAndTheNextKeepsItsPresets) {
    rProjectFile r = EveryKind();
    rPRJCabArray broken = r.CabArrays[0];
    broken.ItemList[2].ModelName = "Ghost";
    rPRJCabArray noFrame = r.CabArrays[0];
    noFrame.ItemList[0].ModelName = "Lost Frame";
    r.CabArrays = {broken, r.CabArrays[0], noFrame};
    r.MappingZones[0].ImageTextureType = Ord<TTextureType>(2);
    r.GlobalStaticData.NCabArrays = 3;
    const fs::path file = path("Arrays.V3DPrj");
    SaveProjectRecord(file, r);

    ASSERT_TRUE(docs->LoadProjectFile(file.string()));
    ASSERT_EQ(f.project->NCabArrays(), 2);
    const TCabArray& kept = *f.project->CabArrays()[0];
    EXPECT_EQ(kept.NumberID(), 1);
    ASSERT_EQ(kept.NCabinets(), 3);
    EXPECT_EQ(kept.CabinetList()[0]->ExternalDSPProcess(), f.project->DSPProcessList()[1].get());
    EXPECT_EQ(kept.CabinetList()[1]->ExternalDSPProcess(), f.project->BypassProcess());
    // A missing rigging frame leaves its array without a frame.
    EXPECT_EQ(f.project->CabArrays()[1]->NObjects(), 4);
    ASSERT_EQ(f.boxes.shown.size(), 2u);
    EXPECT_EQ(f.boxes.shown[1].text, "Rigging Frame \"Lost Frame\" was not found in Library");
}

TEST_F(DocumentsFixture, ZonePicturesOfTheSameFileNameKeepTheirOwnPicture) {
    const auto addZone = [this](const std::string& picture, uint32_t color) {
        testing::WritePicture(picture, 3, 3, color);
        TMappingZone* zone = f.editor->Adding.AddNewMappingZone("Z", {0, 0, 0}, {0, 0, 0}, 10, 10, 0.125,
                                                                false, TSurfaceType::qzaRectangle, true,
                                                                f.editor->Layers.GlobalLayer, {});
        zone->SetImageTextureType(TTextureType::qzaLoadedImage);
        zone->SetImageTexturePath(picture);
    };
    addZone(path("a/floor.png").string(), 0xFFAA0000);
    addZone(path("b/floor.png").string(), 0xFF00BB00);
    const fs::path hall = path("Show/Hall.V3DPrj");
    fs::create_directories(hall.parent_path());
    ASSERT_TRUE(docs->SaveProjectFile(hall.string()));
    EXPECT_TRUE(fs::exists(path("Show/Hall/floor.png")));
    EXPECT_TRUE(fs::exists(path("Show/Hall/floor (2).png")));

    ASSERT_TRUE(docs->LoadProjectFile(hall.string()));
    ASSERT_EQ(f.project->NMappingZones(), 2);
    EXPECT_EQ(f.project->MappingZones()[0]->ImageTexture()->Pixel(1, 1), 0xFFAA0000u);
    EXPECT_EQ(f.project->MappingZones()[1]->ImageTexture()->Pixel(1, 1), 0xFF00BB00u);
    // Saving the opened project again stores the same names and the same bytes.
    const std::vector<uint8_t> first = testing::FileBytes(hall);
    ASSERT_TRUE(docs->SaveProjectFile(hall.string()));
    EXPECT_EQ(testing::FileBytes(hall), first);
}

TEST_F(DocumentsFixture, ALibraryTextureThatDoesNotDecodeIsAnnouncedAndTheZoneOpensWithoutIt) {
    rProjectFile r = EveryKind();
    r.MappingZones[0].ImageTextureType = Ord<TTextureType>(1);
    r.MappingZones[0].ImageTextureLibName = "Broken.png";
    r.MappingZones[0].ImageFileName.clear();
    testing::WriteBytes(dir.path / "appdata" / "Textures" / "Broken.png", {'n', 'o'});
    const fs::path file = path("Textured.V3DPrj");
    SaveProjectRecord(file, r);

    ASSERT_TRUE(docs->LoadProjectFile(file.string()));
    ASSERT_EQ(f.boxes.shown.size(), 1u);
    EXPECT_EQ(f.boxes.shown[0].text, "Invalid Image format");
    ASSERT_EQ(f.project->NMappingZones(), 2);
    EXPECT_EQ(f.project->MappingZones()[0]->ImageTexture(), nullptr);
    ASSERT_TRUE(docs->SaveProjectFile(file.string()));
    EXPECT_EQ(ReadBack(file).MappingZones[0].ImageTextureLibName, "Broken.png");
}

TEST_F(DocumentsFixture, FilesOfEarlierFormatsOpenByTheirVersionRules) {
    rProjectFile r = EveryKind();
    r.Header.FileMajorVer = 2;
    r.GlobalStaticData.CameraTop.DummyRotX = 90;
    r.MappingZones[0].IsTextureSideFront = false;
    r.MappingZones[0].IsTextureSideBack = true;
    r.Measures[0].MicDelay_ms = 3.43f; // a distance in metres in files before format 4
    r.Overlays = {OverlayRecord(10, 0)};
    r.GlobalStaticData.NOverlays = 1;
    const fs::path file = path("Old/Hall.V3DPrj");
    fs::create_directories(file.parent_path());
    testing::WritePicture(path("Old/Hall/floor.png"), 6, 2, 0xFF445566);
    std::vector<uint8_t> bytes = WriteProjectFile(r);
    // The overlays' byte size, stored before the overlays, set to 0: the overlays are not read.
    const size_t sizeAt = bytes.size() - 4 - kPRJOverlaySize - 4;
    std::fill(bytes.begin() + static_cast<std::ptrdiff_t>(sizeAt),
              bytes.begin() + static_cast<std::ptrdiff_t>(sizeAt + 4), 0);
    testing::WriteBytes(file, bytes);

    ASSERT_TRUE(docs->LoadProjectFile(file.string()));
    const TAcousticProject& p = *f.project;
    EXPECT_EQ(p.NOverlays(), 0);
    ASSERT_EQ(p.NMics(), 2);
    EXPECT_NEAR(p.Mics()[0]->MicDelay_ms(), 3.43 / f.medium.SpeedOfSound() * 1000.0, 1e-4);
    const TMappingZone& zone = *p.MappingZones()[0];
    EXPECT_EQ(zone.TextureSides(), (TExtrudedShapeSides{true, false, false}));
    EXPECT_EQ(zone.RefEndX(), 6);
    EXPECT_FLOAT_EQ(zone.RefLength(), 20);
    // The pivots of the 2D cameras are not restored from files of format 4 or earlier.
    EXPECT_EQ(f.scene().CamTopDummy->RotationAngle().X, 270) << "the top view's own pivot";
    EXPECT_EQ(docs->CurrentFileVersionStr, "(3.1)");
}

// An overlay keeps the grid it was made on: saved on the 1/12-octave grid and opened while points are
// computed on the 1/24-octave grid, its levels stay at their frequencies and it is saved on its grid
// again. A point count that names no grid reads as the current grid's.
TEST_F(DocumentsFixture, AnOverlayKeepsItsLevelsAtTheirFrequenciesWhateverTheGridOfTheOpen) {
    const auto levelAt = [](double hz) { return 60.0 + 10.0 * std::log10(hz / 1000.0); };
    const TDSPSpace& twelfth = ResponseGrid(TFreqBands::fbOneTwelveOctave);
    std::vector<double> mag, phase;
    for (int32_t hz : twelfth.FreqDraw) {
        mag.push_back(levelAt(hz));
        phase.push_back(hz / 100.0);
    }
    TOverlay* made = f.project->AddOverlay(0xFF00FF00, false);
    made->SetCurvesOnGrid(TFreqBands::fbOneTwelveOctave, mag, phase);
    const fs::path file = path("Curves.V3DPrj");
    ASSERT_TRUE(docs->SaveProjectFile(file.string()));
    rProjectFile stored = ReadBack(file);
    EXPECT_EQ(stored.Overlays[0].NPointsSaved, twelfth.NRealFreqPoints());
    // A second overlay whose count names no grid.
    stored.Overlays.push_back(OverlayRecord(1002, 3));
    stored.GlobalStaticData.NOverlays = 2;
    stored.OverlaysSize = 2 * kOverlaySizeCounted;
    testing::WriteBytes(file, WriteProjectFile(stored));

    f.project->SetMagResolution(1);
    ASSERT_TRUE(docs->LoadProjectFile(file.string()));
    ASSERT_EQ(f.project->DSPSpaceForMicGraphs()->BandPerOctave(), TFreqBands::fbOneTwentyFourOctave);
    ASSERT_EQ(f.project->NOverlays(), 2);
    const TOverlay& kept = *f.project->Overlays()[0];
    EXPECT_EQ(kept.GridSpacing(), TFreqBands::fbOneTwelveOctave);
    for (int32_t hz : {1000, 10000}) {
        const auto& freqs = kept.Grid().FreqDraw;
        const size_t k = static_cast<size_t>(
            std::min_element(freqs.begin(), freqs.end(),
                             [hz](int32_t a, int32_t b) { return std::abs(a - hz) < std::abs(b - hz); }) -
            freqs.begin());
        EXPECT_NEAR(kept.Mag()[k], levelAt(freqs[k]), 1e-12) << hz;
        EXPECT_NEAR(std::abs(freqs[k] - hz), 0, hz * 0.03) << hz;
    }
    const TOverlay& other = *f.project->Overlays()[1];
    EXPECT_EQ(other.GridSpacing(), TFreqBands::fbOneTwentyFourOctave);
    ASSERT_EQ(other.Mag().size(), static_cast<size_t>(f.project->NFreqPointsMicGraph()));
    EXPECT_EQ(other.Mag()[5], 90.0 - 0.05);

    ASSERT_TRUE(docs->SaveProjectFile(file.string()));
    const rProjectFile again = ReadBack(file);
    EXPECT_EQ(again.Overlays[0].NPointsSaved, twelfth.NRealFreqPoints());
    EXPECT_EQ(again.Overlays[0].MagData, stored.Overlays[0].MagData);
    EXPECT_EQ(again.Overlays[1].NPointsSaved, f.project->NFreqPointsMicGraph());
}

TEST_F(DocumentsFixture, AProjectWithMoreOverlaysThanAFileStoresIsRefusedWithAMessage) {
    for (int i = 0; i < 256; ++i) {
        f.project->AddOverlay(0xFF00FF00, false);
    }
    const fs::path file = path("Many.V3DPrj");
    EXPECT_FALSE(docs->SaveProjectFile(file.string()));
    ASSERT_EQ(f.boxes.shown.size(), 1u);
    EXPECT_NE(f.boxes.shown[0].text.find("256 overlays"), std::string::npos);
    EXPECT_FALSE(fs::exists(file));
    EXPECT_FALSE(fs::exists(path("Many")));
}

// A file system whose renames fail, as on a full or vanished disk.
struct FailingRename : IFileSystem {
    std::unique_ptr<IWritableFile> CreateNew(const fs::path& p) override {
        return LocalFileSystem().CreateNew(p);
    }
    void Replace(const fs::path&, const fs::path& to) override {
        throw EFileError("Cannot replace the file \"" + to.string() + "\": Input/output error");
    }
    void Remove(const fs::path& p) noexcept override { LocalFileSystem().Remove(p); }
};

TEST_F(OpenProjectFixture, AFailedSaveIsReportedAndKeepsTheFileTheNameAndTheModifiedMark) {
    const std::vector<uint8_t> old = testing::FileBytes(good);
    FailingRename failing;
    docs->FileSystem = &failing;
    const int captionsBefore = captions;

    EXPECT_FALSE(docs->SaveProjectFile(good.string()));
    ASSERT_EQ(f.boxes.shown.size(), 1u);
    EXPECT_NE(f.boxes.shown[0].text.find("could not be saved"), std::string::npos);
    EXPECT_EQ(testing::FileBytes(good), old);
    EXPECT_TRUE(f.project->IsProjectModified());
    EXPECT_EQ(captions, captionsBefore);

    // Save as under a new name that fails: the project keeps its own name.
    docs->FileSystem = nullptr;
    dialogs.answers = {path("NoSuchFolder/Other").string()};
    EXPECT_FALSE(docs->SaveAsActionExecute());
    EXPECT_EQ(docs->ActiveProjectFileName, good.string());
    EXPECT_FALSE(fs::exists(path("NoSuchFolder/Other.V3DPrj")));
    EXPECT_TRUE(f.project->IsProjectModified());

    // A save that did not complete counts as Cancel: "New" with "Yes" clears nothing.
    f.boxes.answers = {TModalResult::mrYes};
    docs->FileSystem = &failing;
    docs->NewActionExecute();
    EXPECT_EQ(docs->NewActionResponse, TModalResult::mrCancel);
    EXPECT_EQ(f.project->NCabArrays(), 1);
    EXPECT_EQ(docs->ActiveProjectFileName, good.string());
}

TEST_F(OpenProjectFixture, NewAnswersYesThenCancelsTheSaveAsAndClearsNothing) {
    docs->ActiveProjectFileName = docs->Info().DefaultProjectFileName(); // never saved: Save is Save as
    f.boxes.answers = {TModalResult::mrYes};
    dialogs.answers = {std::nullopt};
    docs->NewActionExecute();
    EXPECT_EQ(dialogs.requests.size(), 1u);
    EXPECT_EQ(f.project->NCabArrays(), 1);
    EXPECT_TRUE(f.project->IsProjectModified());

    // Open and a recent file stop the same way.
    f.boxes.answers = {TModalResult::mrYes};
    dialogs.answers = {std::nullopt};
    docs->ReOpenItemClick(good.string());
    EXPECT_EQ(f.project->NCabArrays(), 1);
    EXPECT_TRUE(f.project->IsProjectModified());

    // No: the project is cleared down to the base layer, which stays visible, unlocked and selected.
    f.boxes.answers = {TModalResult::mrNo};
    docs->NewActionExecute();
    EXPECT_EQ(f.project->NCabArrays() + f.project->NCabinets() + f.project->NClusters() +
                  f.project->NBeamSteerings() + f.project->NMappingZones() + f.project->NOrnaments() +
                  f.project->NDSPProcess(),
              0);
    ASSERT_EQ(f.editor->Layers.LayerList.size(), 1u);
    const TQzLayer* base = f.editor->Layers.GlobalLayer;
    EXPECT_TRUE(base->Visible());
    EXPECT_FALSE(base->IsLocked());
    EXPECT_TRUE(base->ObjListInLayer.empty());
    EXPECT_EQ(f.editor->Layers.SelectedLayer, base);
    EXPECT_TRUE(f.state().SelectedObjList.IsEmpty());
    EXPECT_TRUE(f.state().LockedList.IsEmpty());
    EXPECT_FALSE(f.project->IsProjectModified());
    EXPECT_EQ(docs->ActiveProjectFileName, "NewProject.V3DPrj");
}

TEST_F(DocumentsFixture, SaveAsAppliesTheExtensionRuleAndATemplateIsNeverOverwritten) {
    const std::vector<std::pair<std::string, std::string>> names = {{"Hall", "Hall.V3DPrj"},
                                                                    {"Hall.txt", "Hall.V3DPrj"},
                                                                    {"Hall.V3DPrj", "Hall.V3DPrj"},
                                                                    {"Hall.v3dprj", "Hall.V3DPrj"},
                                                                    {"my.show.V3DPrj", "my.show.V3DPrj"}};
    for (const auto& [chosen, stored] : names) {
        EXPECT_EQ(fs::path(docs->WithProjectExtension(path(chosen).string())).filename().string(), stored)
            << chosen;
    }

    const fs::path templ = dir.path / "appdata" / "Templates" / "Club.V3DPrj";
    SaveProjectRecord(templ, EveryKind());
    testing::WritePicture(dir.path / "appdata" / "Templates" / "Club" / "floor.png", 2, 2, 0xFF000000);
    const std::string folderBefore = docs->ActualFolder;
    ASSERT_TRUE(docs->LoadProjectFile(templ.string()));
    EXPECT_EQ(docs->ActualFolder, folderBefore);
    EXPECT_EQ(docs->MRU[0], templ.string());
    const std::vector<uint8_t> bytes = testing::FileBytes(templ);
    dialogs.answers = {path("Mine").string()};
    ASSERT_TRUE(docs->SaveActionExecute());
    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_EQ(dialogs.requests[0].Kind, TFileDialogKind::fdSave);
    EXPECT_EQ(dialogs.requests[0].FileName, "Club.V3DPrj");
    EXPECT_EQ(testing::FileBytes(templ), bytes);
    EXPECT_EQ(docs->ActiveProjectFileName, path("Mine.V3DPrj").string());
    EXPECT_EQ(docs->ActualFolder, dir.path.string() + "/");
    // "Save" now writes the chosen file without asking.
    ASSERT_TRUE(docs->SaveActionExecute());
    EXPECT_EQ(dialogs.requests.size(), 1u);
}

TEST_F(DocumentsFixture, RecentFilesMoveToTheTopAndAreWrittenAtOnce) {
    TMemIniFile ini((dir.path / "Pref.ini").string());
    docs->SettingsIni = &ini;
    int rebuilt = 0;
    docs->CreateMRUItems = [&rebuilt] { ++rebuilt; };
    for (int i = 10; i >= 1; --i) {
        docs->UpdateMRUitems("/p/" + std::to_string(i));
    }
    EXPECT_EQ(docs->MRU[0], "/p/1");
    EXPECT_EQ(docs->MRU[9], "/p/10");
    docs->UpdateMRUitems("/p/3");
    EXPECT_EQ(docs->MRU[0], "/p/3");
    EXPECT_EQ(docs->MRU[1], "/p/1");
    EXPECT_EQ(docs->MRU[2], "/p/2");
    docs->UpdateMRUitems("/p/new");
    EXPECT_EQ(docs->MRU[0], "/p/new");
    EXPECT_EQ(docs->MRU[9], "/p/9"); // the tenth entry dropped out
    EXPECT_EQ(rebuilt, 12);
    TMemIniFile onDisk((dir.path / "Pref.ini").string());
    EXPECT_EQ(onDisk.ReadString("MainForm", "MRUPath1", ""), "/p/new");
    EXPECT_EQ(onDisk.ReadString("MainForm", "MRUPath2", ""), "/p/3");
    EXPECT_EQ(onDisk.ReadString("MainForm", "MRUPath10", ""), "/p/9");

    // A recent file that is gone is announced and stays in the list.
    docs->ReOpenItemClick("/p/new");
    ASSERT_EQ(f.boxes.shown.size(), 1u);
    EXPECT_EQ(f.boxes.shown[0].text, "File not found : /p/new");
    EXPECT_EQ(docs->MRU[0], "/p/new");
}

} // namespace
} // namespace vendrel
