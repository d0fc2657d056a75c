// Whole record files: stated sizes, files of an independent writer, every truncation, saving.

#include "record_samples.h"

#include "platform/core/byte_stream.h"
#include "platform/core/message_box.h"
#include "platform/core/numeric.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <unistd.h>

namespace vendrel {
namespace {

namespace fs = std::filesystem;
using namespace samples;

template <class Record, class WriteFn> size_t StoredBytes(const Record& r, WriteFn write) {
    ByteWriter w;
    write(w, r);
    return w.Position();
}

TEST(RecordSizes, EveryStatedSizeInOneTable) {
    rProjectFile emptyProject;
    emptyProject.Header = Header(kProjectFileMajorVer);
    rOverlayFile noOverlays;
    noOverlays.Header = Header(kOverlayFileMajorVer);

    TDspCabinet tenBands;
    tenBands.Header.NOutputs = 1;
    tenBands.HasOutputGain = tenBands.HasOutputDelay = tenBands.HasOutputPeq = true;
    tenBands.OutputGain = {{}};
    tenBands.OutputDelay = {0};
    tenBands.OutputPeq = {{false, std::vector<rPeq>(10)}};

    rPRJCabArray twelveItems;
    twelveItems.ItemList.resize(12);
    rPRJBeamSteering beam83;
    beam83.Main.CabinetList.resize(8);
    beam83.SingleBeams.resize(3);
    rPRJMappingZone polygon5;
    polygon5.PolygonPoints.resize(5);
    rPRJSubArrangement sub2;
    sub2.ItemList.resize(2);
    rPRJCluster cluster3;
    cluster3.CabinetList.resize(3);

    rGeq thirdOctave{true, {}, Ord<TGeqBands>(0), std::vector<double>(31)};
    rGeq octave{true, {}, Ord<TGeqBands>(3), std::vector<double>(10)};
    rPeqs eightBands{true, std::vector<rPeq>(8)};
    rFir fir;
    fir.MgPoints.resize(3);
    fir.PhPoints.resize(2);
    fir.Coefs.resize(512);

    const struct {
        const char* what;
        size_t bytes;
        size_t stated;
    } sizes[] = {
        {"empty project", WriteProjectFile(emptyProject).size(), 1824},
        {"venue of 2 zones, 3 layers, 1 ornament", WriteVenueFile(Venue()).size(), 1903},
        {"sound system of two cabinets", WriteSystemFile(SystemTwoCabinets()).size(), 967},
        {"overlay file without overlays", WriteOverlayFile(noOverlays).size(), 173},
        {"overlay file with two overlays", WriteOverlayFile(OverlayFile()).size(), 32443},
        {"empty processor blob", StoredBytes(TDspCabinet{}, WriteDspCabinet), 534},
        {"blob with gain, delay and 10 PEQ bands", StoredBytes(tenBands, WriteDspCabinet), 798},
        {"cabinet", StoredBytes(rPRJCabinet{}, WritePRJCabinet), 231},
        {"line array without items", StoredBytes(rPRJCabArray{}, WritePRJCabArray), 175},
        {"line array of 12 items", StoredBytes(twelveItems, WritePRJCabArray), 3103},
        {"cluster of 3 cabinets", StoredBytes(cluster3, WritePRJCluster), 255 + 3 * 244},
        {"beam steering of 8 cabinets, 3 beams", StoredBytes(beam83, WritePRJBeamSteering), 2608},
        {"rectangle zone", StoredBytes(rPRJMappingZone{}, WritePRJMappingZone), 627},
        {"polygon zone of 5 points", StoredBytes(polygon5, WritePRJMappingZone), 687},
        {"ornament", StoredBytes(rPRJOrnament{}, WritePRJOrnament), 231},
        {"layer", StoredBytes(rPRJLayer{}, WritePRJLayer), 66},
        {"measurement point", StoredBytes(rPRJMeasure{}, WritePRJMeasure), 130},
        {"light", StoredBytes(rPRJLight{}, WritePRJLight), 99},
        {"sub-arrangement of 2 items", StoredBytes(sub2, WritePRJSubArrangement), 141 + 2 * 239},
        {"overlay", StoredBytes(rPRJOverlay{}, WritePRJOverlay), 16135},
        {"1/3-octave graphic equaliser", StoredBytes(thirdOctave, WriteGeq), 251},
        {"1-octave graphic equaliser", StoredBytes(octave, WriteGeq), 83},
        {"PEQ bank of 8 bands", StoredBytes(eightBands, WritePeqs), 196},
        {"FIR of 3 + 2 points and 512 taps", StoredBytes(fir, WriteFir), 4292},
        {"speaker parameters", StoredBytes(rSPKParams{}, WriteSPKParams), 56},
        {"dynamics RMS", StoredBytes(rDynRMS{}, WriteDynRMS), 80},
        {"dynamics peak", StoredBytes(rDynPeak{}, WriteDynPeak), 48},
        {"older venue without zones", Fixture("venue_old_empty.venue").size(), 56},
        {"older venue of two zones (zones at 56 and 377)", Fixture("venue_old.venue").size(), 56 + 2 * 321},
    };
    for (const auto& s : sizes) {
        EXPECT_EQ(s.bytes, s.stated) << s.what;
    }
}

// The fixtures, what they read as, and how their bytes come back from the writers (none for the
// older venue layout, which is only read).
struct FixtureCase {
    const char* file;
    std::function<void(std::span<const uint8_t>)> readsAsSample;
    std::function<std::vector<uint8_t>()> writeSample;
    std::function<void(std::span<const uint8_t>)> read; // with a record that must stay untouched
};

std::vector<FixtureCase> FixtureCases() {
    auto project = [](rProjectFile expected) {
        return [expected](std::span<const uint8_t> b) {
            rProjectFile r;
            ASSERT_EQ(ReadProjectFile(b, kSoftware, r), TProjectOpen::Opened);
            EXPECT_TRUE(r == expected);
        };
    };
    rProjectFile emptyProject;
    emptyProject.Header = Header(kProjectFileMajorVer);
    auto venue = [](rVenueFile expected) {
        return [expected](std::span<const uint8_t> b) {
            rVenueFile r;
            ASSERT_TRUE(ReadVenueFile(b, kSoftware, r));
            EXPECT_TRUE(r == expected);
        };
    };
    auto system = [](rSystemFile expected) {
        return [expected](std::span<const uint8_t> b) {
            rSystemFile r;
            ReadSystemFile(b, r);
            EXPECT_TRUE(r == expected);
        };
    };
    auto untouchedProject = [](std::span<const uint8_t> b) {
        rProjectFile r = Project();
        try {
            ReadProjectFile(b, kSoftware, r);
        } catch (...) {
            EXPECT_TRUE(r == Project()) << "a refused read changed the record";
            throw;
        }
    };
    auto untouchedVenue = [](std::span<const uint8_t> b) {
        rVenueFile r = Venue();
        try {
            ReadVenueFile(b, kSoftware, r);
        } catch (...) {
            EXPECT_TRUE(r == Venue()) << "a refused read changed the record";
            throw;
        }
    };
    auto untouchedSystem = [](std::span<const uint8_t> b) {
        rSystemFile r = SystemTwoCabinets();
        try {
            ReadSystemFile(b, r);
        } catch (...) {
            EXPECT_TRUE(r == SystemTwoCabinets()) << "a refused read changed the record";
            throw;
        }
    };
    auto readOverlay = [](std::span<const uint8_t> b) {
        rOverlayFile r;
        ReadOverlayFile(b, kSoftware, r);
    };
    auto readBlob = [](std::span<const uint8_t> b) {
        ByteReader rd(b);
        TDspCabinet r;
        ReadDspCabinet(rd, r, "");
    };
    return {
        {"project_every_kind.V3DPrj", project(Project()), [] { return WriteProjectFile(Project()); },
         untouchedProject},
        {"project_empty.V3DPrj", project(emptyProject),
         [emptyProject] { return WriteProjectFile(emptyProject); }, untouchedProject},
        {"venue_current.venue", venue(Venue()), [] { return WriteVenueFile(Venue()); }, untouchedVenue},
        {"venue_old.venue", venue(OldVenue(true)), nullptr, untouchedVenue},
        {"venue_old_empty.venue", venue(OldVenue(false)), nullptr, untouchedVenue},
        {"system_two_cabinets.system", system(SystemTwoCabinets()),
         [] { return WriteSystemFile(SystemTwoCabinets()); }, untouchedSystem},
        {"system_full.system", system(SystemFull()), [] { return WriteSystemFile(SystemFull()); },
         untouchedSystem},
        {"overlay_two.overlay",
         [](std::span<const uint8_t> b) {
             rOverlayFile r;
             ASSERT_TRUE(ReadOverlayFile(b, kSoftware, r));
             EXPECT_TRUE(r == OverlayFile());
         },
         [] { return WriteOverlayFile(OverlayFile()); }, readOverlay},
        {"dsp_every_list.bin",
         [](std::span<const uint8_t> b) {
             ByteReader rd(b);
             TDspCabinet r;
             ReadDspCabinet(rd, r, "");
             EXPECT_TRUE(r == RichBlob());
             EXPECT_EQ(rd.Remaining(), 0u);
         },
         [] {
             ByteWriter w;
             WriteDspCabinet(w, RichBlob());
             return w.Take();
         },
         readBlob},
    };
}

TEST(RecordFixtures, FilesOfAnIndependentWriterReadBackAndAreWrittenByteForByte) {
    for (const auto& c : FixtureCases()) {
        SCOPED_TRACE(c.file);
        const auto bytes = Fixture(c.file);
        ASSERT_FALSE(bytes.empty());
        c.readsAsSample(bytes);
        if (c.writeSample) {
            const auto written = c.writeSample();
            ASSERT_EQ(written.size(), bytes.size());
            for (size_t i = 0; i < bytes.size(); ++i) {
                ASSERT_EQ(written[i], bytes[i]) << "first difference at byte " << i;
            }
        }
    }
}

TEST(RecordFixtures, EveryTruncatedPrefixIsRefusedAndLeavesTheRecordUntouched) {
    for (const auto& c : FixtureCases()) {
        SCOPED_TRACE(c.file);
        const auto bytes = Fixture(c.file);
        for (size_t n = 0; n < bytes.size(); ++n) {
            // A copy of exactly n bytes, so that the sanitizers see any read beyond them.
            const std::vector<uint8_t> prefix(bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(n));
            try {
                c.read(prefix);
                ADD_FAILURE() << "a prefix of " << n << " bytes was accepted";
                break;
            } catch (const EReadError&) {
            }
        }
    }
}

TEST(RecordFiles, AFlyingOriginBeyondTheKnownOnesReadsAsTheOnePointOrigin) {
    ByteWriter w;
    WritePRJCabArray(w, CabArray());
    std::vector<uint8_t> bytes = w.Take();
    constexpr size_t kOriginTypeAt =
        90; // name 41, position and rotation 24, tilt 8, flags 4, cable 9, motors 4
    for (uint8_t stored : {uint8_t{0}, uint8_t{1}, uint8_t{5}, uint8_t{255}}) {
        bytes[kOriginTypeAt] = stored;
        ByteReader r(bytes);
        rPRJCabArray read;
        ReadPRJCabArray(r, read);
        EXPECT_EQ(static_cast<int>(read.OriginType), stored == 0 ? 0 : 1) << int(stored);
    }
}

TEST(RecordFiles, CountsStoredInOneByteReach255) {
    rProjectFile p;
    p.Header = Header(kProjectFileMajorVer);
    p.GlobalStaticData.NOverlays = 255;
    p.GlobalStaticData.NBeams = 255;
    p.Overlays.assign(255, Overlay());
    p.Beams.assign(255, Beam());
    const auto bytes = WriteProjectFile(p);
    rProjectFile read;
    ASSERT_EQ(ReadProjectFile(bytes, kSoftware, read), TProjectOpen::Opened);
    EXPECT_EQ(read.Overlays.size(), 255u);
    EXPECT_EQ(read.Beams.size(), 255u);
    EXPECT_EQ(read.OverlaysSize, 255 * 16136);
    EXPECT_TRUE(read.Beams.back() == Beam());
}

class RecordFileOnDisk : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("vendrel_records_" + std::to_string(getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        SetMessageBoxService(&boxes_);
    }
    void TearDown() override {
        SetMessageBoxService(nullptr);
        fs::remove_all(dir_);
    }

    fs::path dir_;
    RecordingMessageBox boxes_;
};

TEST_F(RecordFileOnDisk, EveryKindIsSavedAndOpenedAgain) {
    const fs::path project = dir_ / "Hall.V3DPrj";
    SaveProjectRecord(project, Project());
    rProjectFile p;
    ASSERT_TRUE(OpenProjectRecord(project, p, kSoftware));
    EXPECT_TRUE(p == Project());

    const fs::path venue = dir_ / "Hall.venue";
    SaveVenueRecord(venue, Venue());
    rVenueFile v;
    ASSERT_TRUE(OpenVenueRecord(venue, v, kSoftware));
    EXPECT_TRUE(v == Venue());

    const fs::path system = dir_ / "Club.system";
    SaveSystemRecord(system, SystemFull());
    rSystemFile s;
    ASSERT_TRUE(CheckSystemRecordFile(system, s, kSoftware));
    EXPECT_TRUE(s.Header == SystemFull().Header);
    EXPECT_FALSE(CheckSystemRecordFile(system, s, "Other Program"));
    OpenSystemRecord(system, s);
    EXPECT_TRUE(s == SystemFull());

    const fs::path overlays = dir_ / "Curves.overlay";
    SaveOverlayRecord(overlays, OverlayFile());
    rOverlayFile o;
    ASSERT_TRUE(OpenOverlayRecord(overlays, o, kSoftware));
    EXPECT_TRUE(o == OverlayFile());
    EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(RecordFileOnDisk, DamagedFilesAreRefusedWithTheirNameInTheMessage) {
    const fs::path path = dir_ / "Broken Show.V3DPrj";
    auto bytes = WriteProjectFile(Project());
    bytes.resize(bytes.size() - 1);
    WriteFileAtomically(path, bytes);
    rProjectFile p;
    try {
        OpenProjectRecord(path, p, kSoftware);
        FAIL() << "a damaged project was opened";
    } catch (const EReadError& e) {
        EXPECT_NE(std::string(e.what()).find("Broken Show.V3DPrj"), std::string::npos) << e.what();
    }
    EXPECT_THROW(OpenVenueRecord(dir_ / "missing.venue", *std::make_unique<rVenueFile>(), kSoftware),
                 EFileError);
}

// The file system of the machine, failing the write after `failAfter` bytes.
class DiskFullFileSystem : public IFileSystem {
public:
    explicit DiskFullFileSystem(size_t failAfter) : failAfter_(failAfter) {}
    std::unique_ptr<IWritableFile> CreateNew(const fs::path& path) override {
        return std::make_unique<File>(LocalFileSystem().CreateNew(path), failAfter_);
    }
    void Replace(const fs::path& from, const fs::path& to) override { LocalFileSystem().Replace(from, to); }
    void Remove(const fs::path& path) noexcept override { LocalFileSystem().Remove(path); }

private:
    class File : public IWritableFile {
    public:
        File(std::unique_ptr<IWritableFile> inner, size_t budget)
            : inner_(std::move(inner)), budget_(budget) {}
        void Write(std::span<const uint8_t> bytes) override {
            const size_t n = std::min(bytes.size(), budget_);
            inner_->Write(bytes.first(n));
            budget_ -= n;
            if (n < bytes.size()) {
                throw EFileError("No space left on device");
            }
        }
        void Sync() override { inner_->Sync(); }
        void Close() override { inner_->Close(); }

    private:
        std::unique_ptr<IWritableFile> inner_;
        size_t budget_;
    };
    size_t failAfter_;
};

TEST_F(RecordFileOnDisk, ASaveThatFailsMidWriteLeavesThePreviousFileByteIdentical) {
    const fs::path path = dir_ / "Hall.V3DPrj";
    SaveProjectRecord(path, Project());
    const auto before = ReadWholeFile(path);

    rProjectFile bigger = Project();
    bigger.Overlays.push_back(SimulationOverlay());
    bigger.GlobalStaticData.NOverlays = 2;
    DiskFullFileSystem diskFull(before.size() / 2);
    EXPECT_THROW(SaveProjectRecord(path, bigger, diskFull), EFileError);
    EXPECT_EQ(ReadWholeFile(path), before);

    // A record the writer refuses never reaches the disk either.
    rProjectFile inconsistent = Project();
    inconsistent.GlobalStaticData.NCabinets = 2;
    EXPECT_THROW(SaveProjectRecord(path, inconsistent), ERangeError);
    EXPECT_EQ(ReadWholeFile(path), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

} // namespace
} // namespace vendrel
