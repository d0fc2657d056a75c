#include <gtest/gtest.h>

#include <cstring>

#include "files/cabinet_file.h"
#include "files/ornament_file.h"
#include "files/rigging_file.h"
#include "library_fixture.h"
#include "platform/core/message_box.h"

namespace vendrel {
namespace {

using testing::FileBytes;
using testing::Numbers;
using testing::SampleLibraryDir;

rCabinetFile readCabinet(const std::string& name) {
    rCabinetFile record;
    EXPECT_TRUE(
        ReadCabinetFileRecord(SampleLibraryDir() / "Cabinets" / (name + ".cabinet"), record, "Vendrel"));
    return record;
}

TEST(LibraryReaders, CabinetFileHoldsWhatTheGeneratorWrote) {
    const auto expected = testing::SampleExpectations();
    ASSERT_FALSE(expected.empty());
    for (const char* name : {"SP12", "LA10", "SB18", "CL8"}) {
        SCOPED_TRACE(name);
        const rCabinetFile r = readCabinet(name);
        EXPECT_EQ(r.Header.SoftType, "Wendrix");
        EXPECT_EQ(r.Header.ModelName, name);
        EXPECT_EQ(r.Header.FileMajorVer, 5);
        EXPECT_EQ(r.Header.BrandName, "Sample Acoustics");
        const rWDXStaticDataFile& s = r.GlobalStaticData;
        EXPECT_EQ(s.NFreqPoints, 31);
        EXPECT_EQ(s.NPolarSlices * s.PolarResolutionDegrees, 180);
        ASSERT_EQ(r.SourcePoint.size(), static_cast<size_t>(s.NSources));
        for (size_t i = 0; i < r.SourcePoint.size(); ++i) {
            const std::string key = std::string(name) + ".source" + std::to_string(i);
            const std::vector<double> pos = Numbers(expected.at(key + ".pos"));
            EXPECT_DOUBLE_EQ(r.SourcePoint[i].SourceCenterX, pos[0]);
            EXPECT_DOUBLE_EQ(r.SourcePoint[i].SourceCenterY, pos[1]);
            EXPECT_DOUBLE_EQ(r.SourcePoint[i].SourceCenterZ, pos[2]);
            EXPECT_EQ(r.SourcePoint[i].PolarID, std::stoi(expected.at(key + ".set")));
        }
        // Every probe the generator recorded, at its slice, azimuth and frequency.
        int probes = 0;
        const std::string prefix = std::string(name) + ".set";
        for (const auto& [key, value] : expected) {
            int set = 0, slice = 0, az = 0, f = 0;
            char kind[8] = {};
            if (key.rfind(prefix, 0) != 0 ||
                std::sscanf(key.c_str() + prefix.size(), "%d.slice%d.az%d.f%d.%7s", &set, &slice, &az, &f,
                            kind) != 5) {
                continue;
            }
            const rPolarData& d = r.Polar.at(set).PolarData.at(slice).at(az);
            EXPECT_EQ(d.DegAzimuth, static_cast<float>(az * s.PolarResolutionDegrees)) << key;
            EXPECT_EQ(d.DegElevation, static_cast<float>(slice * s.PolarResolutionDegrees)) << key;
            const float got = std::strcmp(kind, "mag") == 0 ? d.MagnitudePerFreq.at(f) : d.PhasePerFreq.at(f);
            EXPECT_EQ(got, std::stof(value)) << key;
            ++probes;
        }
        EXPECT_GE(probes, 6);
    }
}

TEST(LibraryReaders, CabinetListsPresetsAndArrayRules) {
    const rCabinetFile sp = readCabinet("SP12");
    ASSERT_EQ(sp.IntDSP.size(), 2u);
    EXPECT_EQ(sp.IntDSP[0].Name, "Standard");
    ASSERT_EQ(sp.IntDSP[0].EQTransferFunction.size(), 2u);
    EXPECT_EQ(sp.IntDSP[0].EQTransferFunction[1].DelaySamples, 12);
    EXPECT_EQ(sp.IntDSP[0].EQTransferFunction[1].MagnitudePerFreq.size(), 31u);
    EXPECT_EQ(sp.IntDSP[1].TypeIndex, 1);
    // Set 0 stores FFTStartFreq 0, read as 20; set 1 has one equaliser entry.
    EXPECT_EQ(sp.Polar[0].PolarProperties->FFTStartFreq(), 20);
    EXPECT_EQ(sp.Polar[1].PolarProperties->FFTStartFreq(), 40);
    EXPECT_EQ(sp.Polar[1].PolarProperties->NPeqs(), 1);
    EXPECT_EQ(sp.Polar[1].PolarProperties->Freq()[0], 8000);
    EXPECT_EQ(sp.Polar[1].PolarProperties->Gain()[0], -30);
    EXPECT_EQ(sp.Polar[1].PolarProperties->Name(), "HF horn");
    EXPECT_TRUE(sp.HasModelImage);
    EXPECT_EQ(sp.ModelImage, FileBytes(SampleLibraryDir() / "Textures" / "Checker.png"));
    EXPECT_EQ(sp.TotalSizeCabAllowedVariant, 0);

    const rCabinetFile la = readCabinet("LA10");
    EXPECT_EQ(la.Header.VariantName, "90");
    EXPECT_EQ(la.CabAllowedAnglesFlown, (std::vector<double>{0, 1, 2, 3, 4, 5, 6, 7.5, 10}));
    EXPECT_EQ(la.CabAllowedAnglesOnFirstFlown, (std::vector<double>{0, 1, 2}));
    EXPECT_EQ(la.CabAllowedAnglesStack, (std::vector<double>{0, 2, 4, 6}));
    EXPECT_EQ(la.TopRigFrameName, std::vector<std::string>{"LA10-Frame"});
    EXPECT_EQ(la.CabAllowedBotAssemblies, (std::vector<std::string>{"LA10", "SB18"}));
    // The list section's adapter counts replace the fixed block's.
    EXPECT_EQ(la.GlobalStaticData.NTopAdapters, 1);
    EXPECT_EQ(la.GlobalStaticData.NBotAdapters, 0);
    EXPECT_EQ(la.TopAdapters, std::vector<std::string>{"Pin Adapter"});
    EXPECT_EQ(la.CabAllowedBotVariant, (std::vector<std::string>{"90", ""}));
    EXPECT_EQ(la.MinCabsToUseTopAdapters, std::vector<uint8_t>{3});
    EXPECT_EQ(la.AllowedBotIfParentIsLessThan, (std::vector<uint8_t>{8, 4}));
}

TEST(LibraryReaders, RiggingAndOrnamentFiles) {
    const auto expected = testing::SampleExpectations();
    const auto rigPath = SampleLibraryDir() / "Riggings" / "LA10-Frame.rigging";
    rFrameFile frame;
    ASSERT_TRUE(ReadFrameFileRecord(rigPath, frame, "Vendrel"));
    EXPECT_EQ(frame.Header.ModelName, "LA10-Frame");
    EXPECT_EQ(frame.GlobalStaticData.Weight, 28.0);
    EXPECT_EQ(frame.GlobalStaticData.MaxSupportWeight, 1250.0);
    ASSERT_EQ(frame.PickPoints.size(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        const std::vector<double> p = Numbers(expected.at("LA10-Frame.pick" + std::to_string(i)));
        EXPECT_EQ(frame.PickPoints[i][0], p[0]);
        EXPECT_EQ(frame.PickPoints[i][1], p[1]);
    }
    EXPECT_EQ(FileBytes(rigPath).size(), 436 + 264 + frame.Model3D.size() + 4 * 24 + 64);

    rOrnamentFile orna;
    ASSERT_TRUE(
        ReadOrnamentFileRecord(SampleLibraryDir() / "Ornaments" / "Truss Block.ornament", orna, "Vendrel"));
    EXPECT_TRUE(orna.HasTexture);
    EXPECT_EQ(orna.TextureImage, FileBytes(SampleLibraryDir() / "Textures" / "Checker.png"));
    EXPECT_EQ(orna.GlobalStaticData.Weight, 9.5f);
    EXPECT_TRUE(orna.GlobalStaticData.IsSizeable);
    EXPECT_FALSE(orna.Model3D.empty());
}

void putI32(std::vector<uint8_t>& b, size_t at, int32_t v) {
    std::memcpy(b.data() + at, &v, 4); // the test machine is little-endian, as the files are
}

// Offsets into a cabinet file: header 436, then the fixed block.
constexpr size_t kStatic = 436;

TEST(LibraryReaders, DamagedCabinetFilesAreRefused) {
    const std::vector<uint8_t> good = FileBytes(SampleLibraryDir() / "Cabinets" / "SP12.cabinet");
    auto patched = [&](size_t at, int32_t v) {
        std::vector<uint8_t> b = good;
        putI32(b, at, v);
        return b;
    };
    auto cut = [&](size_t n) { return std::vector<uint8_t>(good.begin(), good.begin() + n); };
    std::vector<uint8_t> tooManyPeqs = good;
    // Set 0's equaliser count: after the origin point (114) and two source points (150 each).
    const size_t set0 = kStatic + 1328 + 114 + 2 * 150;
    tooManyPeqs[set0 + 43] = 5;
    const std::vector<std::pair<const char*, std::vector<uint8_t>>> cases = {
        {"empty", {}},
        {"inside the header", cut(300)},
        {"inside the fixed block", cut(kStatic + 1000)},
        {"inside the polar data", cut(good.size() / 2)},
        {"without the last chunk end", cut(good.size() - 2)},
        {"negative source count", patched(kStatic + 144, -1)},
        {"source count beyond the file", patched(kStatic + 144, 1 << 30)},
        {"polar slices beyond the file", patched(kStatic + 156, 1 << 20)},
        {"negative frequency points", patched(kStatic + 184, -5)},
        {"frequency points beyond the file", patched(kStatic + 184, 1 << 28)},
        {"negative model size", patched(kStatic + 256, -1)},
        {"negative extension chunk", patched(good.size() - 4 - 12 - 4, -16)},
        {"more than four equaliser entries", tooManyPeqs},
    };
    for (const auto& [what, bytes] : cases) {
        rCabinetFile record;
        EXPECT_THROW(ReadCabinetFileBytes(bytes, "x.cabinet", record, "Vendrel"), EReadError) << what;
    }
}

TEST(LibraryReaders, VersionQuestionsOnlyUnderTheProducersName) {
    const std::vector<uint8_t> good = FileBytes(SampleLibraryDir() / "Cabinets" / "SB18.cabinet");
    struct Case {
        int32_t major, minor;
        const char* software;
        TModalResult answer;
        bool read;
        const char* box; // start of the text shown, or nullptr
    };
    const Case cases[] = {
        {5, 0, "Wendrix", TModalResult::mrNo, true, nullptr},
        {4, 0, "Wendrix", TModalResult::mrNo, true, nullptr},
        {2, 0, "Wendrix", TModalResult::mrNo, false, "You are trying to open an older File v3.2\r\n"},
        {2, 0, "Wendrix", TModalResult::mrYes, true, "You are trying to open an older File v3.2\r\n"},
        {5, 1, "Wendrix", TModalResult::mrOk, false, "You are trying to open a file created with a higher"},
        {6, 0, "Wendrix", TModalResult::mrOk, false, "You are trying to open a file created with a higher"},
        {6, 0, "Vendrel", TModalResult::mrOk, true, nullptr},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> b = good;
        putI32(b, 28, c.major);
        putI32(b, 32, c.minor);
        RecordingMessageBox box;
        box.answers = {c.answer};
        SetMessageBoxService(&box);
        rCabinetFile record;
        const bool read = ReadCabinetFileBytes(b, "x.cabinet", record, c.software);
        SetMessageBoxService(nullptr);
        EXPECT_EQ(read, c.read) << c.major << "." << c.minor << " " << c.software;
        ASSERT_EQ(box.shown.size(), c.box ? 1u : 0u) << c.major;
        if (c.box) {
            EXPECT_EQ(box.shown[0].text.rfind(c.box, 0), 0u) << box.shown[0].text;
        }
        EXPECT_EQ(record.GlobalStaticData.IsNormalizedPresetReference, read && c.major < 4);
    }
}

TEST(LibraryReaders, FrameAndOrnamentFilesRefuseBadSizes) {
    const std::vector<uint8_t> rig = FileBytes(SampleLibraryDir() / "Riggings" / "LA10-Frame.rigging");
    const std::vector<uint8_t> orna = FileBytes(SampleLibraryDir() / "Ornaments" / "Truss Block.ornament");
    testing::TempDir dir;
    auto variant = [&](const std::vector<uint8_t>& base, size_t at, int32_t v) {
        std::vector<uint8_t> b = base;
        putI32(b, at, v);
        return b;
    };
    const std::vector<std::pair<const char*, std::vector<uint8_t>>> frames = {
        {"pick points beyond the file", variant(rig, 436 + 72, 1000)},
        {"negative pick points", variant(rig, 436 + 72, -1)},
        {"model beyond the file", variant(rig, 436 + 192, 1 << 30)},
        {"truncated", std::vector<uint8_t>(rig.begin(), rig.end() - 1)},
    };
    for (const auto& [what, bytes] : frames) {
        testing::WriteBytes(dir.path / "f.rigging", bytes);
        rFrameFile record;
        EXPECT_THROW(ReadFrameFileRecord(dir.path / "f.rigging", record, "Vendrel"), EReadError) << what;
    }
    const std::vector<std::pair<const char*, std::vector<uint8_t>>> ornaments = {
        {"texture beyond the file", variant(orna, 436 + 144, 1 << 30)},
        {"negative model size", variant(orna, 436 + 148, -3)},
        {"truncated", std::vector<uint8_t>(orna.begin(), orna.begin() + 740)},
    };
    for (const auto& [what, bytes] : ornaments) {
        testing::WriteBytes(dir.path / "o.ornament", bytes);
        rOrnamentFile record;
        EXPECT_THROW(ReadOrnamentFileRecord(dir.path / "o.ornament", record, "Vendrel"), EReadError) << what;
    }
    // A texture size is ignored without its flag.
    std::vector<uint8_t> noTexture = variant(orna, 436 + 144, 1 << 30);
    noTexture[436 + 304] = 0;
    const size_t textureSize = FileBytes(SampleLibraryDir() / "Textures" / "Checker.png").size();
    noTexture.erase(noTexture.begin() + 436 + 304 + 1, noTexture.begin() + 436 + 304 + 1 + textureSize);
    testing::WriteBytes(dir.path / "o.ornament", noTexture);
    rOrnamentFile record;
    ASSERT_TRUE(ReadOrnamentFileRecord(dir.path / "o.ornament", record, "Vendrel"));
    EXPECT_FALSE(record.HasTexture);
    EXPECT_TRUE(record.TextureImage.empty());

    // Under the producer's name a frame of another format version asks first.
    RecordingMessageBox box;
    box.answers = {TModalResult::mrNo};
    SetMessageBoxService(&box);
    testing::WriteBytes(dir.path / "v2.rigging", variant(rig, 28, 2));
    rFrameFile frame;
    EXPECT_FALSE(ReadFrameFileRecord(dir.path / "v2.rigging", frame, "Wendrix"));
    EXPECT_TRUE(ReadFrameFileRecord(dir.path / "v2.rigging", frame, "Vendrel"));
    SetMessageBoxService(nullptr);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(
        box.shown[0].text,
        "You are trying to open a File v3.2\r\nThis software works with Riggings v3.0\r\nDo you want to try "
        "it anayway?");
}

} // namespace
} // namespace vendrel
