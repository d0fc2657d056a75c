// Which files the readers accept, and how they refuse damaged ones.

#include "library_fixture.h"
#include "record_samples.h"

#include "files/cabinet_file.h"
#include "files/library_header.h"
#include "files/read_refusal.h"
#include "platform/core/atomic_file.h"
#include "platform/core/byte_stream.h"
#include "platform/core/message_box.h"
#include "platform/core/numeric.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <functional>
#include <random>

namespace vendrel {
namespace {

using namespace samples;

void PutI32(std::vector<uint8_t>& b, size_t at, int32_t v) {
    for (int i = 0; i < 4; ++i) {
        b[at + i] = static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i));
    }
}

// Offsets of the sample project's sections.
constexpr size_t kStatic = kPRJHeaderSize;
constexpr size_t kCabinet = kStatic + kPRJStaticDataSize;
constexpr size_t kCabArray = kCabinet + kPRJCabinetSize;
constexpr size_t kCluster = kCabArray + kPRJCabArraySize + 2 * kPRJArrayItemSize;
constexpr size_t kBeam = kCluster + kPRJClusterSize + kPRJArrayItemSize;
constexpr size_t kZone = kBeam + kPRJBeamSteeringSize + 2 * kPRJArrayItemSize + 2 * kPRJSingleBeamSize;
constexpr size_t kLight = kZone + kPRJMappingZoneSize + 3 * 12;
constexpr size_t kProcess = kLight + kPRJLightSize + kPRJMeasureSize;

TEST(RecordRefusals, DamagedValuesAreRefusedNamingThemAndLeaveTheRecordUntouched) {
    const auto valid = WriteProjectFile(Project());
    const struct {
        const char* what;
        size_t at;
        int32_t value;
        bool oneByte;
        const char* message; // a part of the message
    } cases[] = {
        {"a boolean of 2", kCabinet + 106, 2, true, "Active"},
        {"an enumeration out of range", kCabinet + 109, 2, true, "PlacementType"},
        {"a string longer than its field", kCabinet, 41, true, "ModelName"},
        {"a negative count", kStatic + 400, -1, false, "negative"},
        {"a count beyond the file", kStatic + 400, 0x7FFFFFFF, false, "cabinets"},
        {"a nested count beyond the file", kCabArray + 103, 1000000, false, "line-array items"},
        {"a corner shape out of range", kZone + 111, 4, false, "TLCornerType"},
        {"a map band out of range", kStatic + 296, 6, true, "MappingBandsType"},
        {"a weighting out of range", kStatic + 1137, 3, true, "Weighting"},
        {"a process count beyond the file", kStatic + 424, 0x40000000, false, "DSP processes"},
        {"an active byte of 7", kProcess, 7, true, "ProcessActive"},
        {"a processor blob of some hardware", kProcess + 1, 3, true, "hardware"},
    };
    for (const auto& c : cases) {
        auto bytes = valid;
        if (c.oneByte) {
            bytes[c.at] = static_cast<uint8_t>(c.value);
        } else {
            PutI32(bytes, c.at, c.value);
        }
        rProjectFile record;
        record.Header.SoftType = "untouched";
        try {
            ReadProjectFile(bytes, kSoftware, record);
            ADD_FAILURE() << c.what << " was accepted";
        } catch (const EReadError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << c.what << ": " << e.what();
        }
        EXPECT_EQ(record.Header.SoftType, "untouched") << c.what;
    }
}

// An overlay's point count only names the grid it was saved on; its curves are the two fixed tables.
TEST(RecordRefusals, AnOverlaysPointCountIsReadAndWrittenAsItIs) {
    const auto valid = WriteProjectFile(Project());
    const size_t lastOverlay = valid.size() - 4 - kPRJOverlaySize;
    for (int32_t count : {1002, -1, 0x7FFFFFFF}) {
        auto bytes = valid;
        PutI32(bytes, lastOverlay + 51, count);
        rProjectFile record;
        ASSERT_EQ(ReadProjectFile(bytes, kSoftware, record), TProjectOpen::Opened) << count;
        EXPECT_EQ(record.Overlays.back().NPointsSaved, count);
        EXPECT_EQ(record.Overlays.back().MagData, Project().Overlays.back().MagData);
        EXPECT_EQ(WriteProjectFile(record), bytes) << count;
    }
}

TEST(RecordRefusals, SoundSystemPictureAndCountsAreChecked) {
    const auto valid = WriteSystemFile(SystemFull());
    const size_t statics = kSysHeaderSize;
    const size_t pictureFlag = statics + kSystemStaticDataSize + kPRJClusterSize + kPRJArrayItemSize +
                               kPRJMappingZoneSize + 3 * 12 + kPRJOrnamentSize;
    ASSERT_EQ(valid[pictureFlag], 1);
    const struct {
        const char* what;
        size_t at;
        int32_t value;
        bool oneByte;
    } cases[] = {
        {"a picture larger than the file", statics + 76, 1000000, false},
        {"a negative picture size", statics + 76, -10, false},
        {"a picture flag of 2", pictureFlag, 2, true},
        {"a negative zone count", statics + 64, -3, false},
    };
    for (const auto& c : cases) {
        auto bytes = valid;
        if (c.oneByte) {
            bytes[c.at] = static_cast<uint8_t>(c.value);
        } else {
            PutI32(bytes, c.at, c.value);
        }
        rSystemFile record;
        EXPECT_THROW(ReadSystemFile(bytes, record), EReadError) << c.what;
        EXPECT_TRUE(record == rSystemFile{}) << c.what;
    }
}

TEST(RecordRefusals, AnOldSoundSystemIsReportedUnreadableInsteadOfOpeningEmpty) {
    auto bytes = WriteSystemFile(SystemTwoCabinets());
    bytes[37] = 3; // program 1.3.5
    bytes[38] = 5;
    rSystemFile record;
    try {
        ReadSystemFile(bytes, record);
        FAIL() << "an old sound system was read";
    } catch (const EReadError& e) {
        EXPECT_NE(std::string(e.what()).find("1.3.5"), std::string::npos) << e.what();
        EXPECT_EQ(e.Fault(), TReadFault::OldVersion);
    }
    bytes[38] = 6; // 1.3.6 has the current layout
    ReadSystemFile(bytes, record);
    EXPECT_EQ(record.Cabinets.size(), 2u);
}

// Every kind of file the program reads: what the user reads first about a refused file, and the
// reader's detail on the second line.
TEST(ReadRefusalMessages, TheFirstLineSaysWhatHappenedInTheUsersWords) {
    using Reader = std::function<bool(std::span<const uint8_t>)>; // false: refused without raising
    const struct {
        const char* kind;
        std::vector<uint8_t> valid;
        Reader read;
    } kinds[] = {
        {"project", WriteProjectFile(Project()),
         [](std::span<const uint8_t> b) {
             rProjectFile r;
             return ReadProjectFile(b, kSoftware, r) == TProjectOpen::Opened;
         }},
        {"venue", WriteVenueFile(Venue()),
         [](std::span<const uint8_t> b) {
             rVenueFile r;
             return ReadVenueFile(b, kSoftware, r);
         }},
        {"sound system", WriteSystemFile(SystemFull()),
         [](std::span<const uint8_t> b) {
             rSystemFile r;
             ReadSystemFile(b, r);
             return true;
         }},
        {"overlay", WriteOverlayFile(OverlayFile()),
         [](std::span<const uint8_t> b) {
             rOverlayFile r;
             return ReadOverlayFile(b, kSoftware, r);
         }},
        {"library model", testing::FileBytes(testing::SampleLibraryDir() / "Cabinets" / "SP12.cabinet"),
         [](std::span<const uint8_t> b) {
             // The library knows its files by the header's software name before it reads them.
             TLibraryReader header(b);
             if (ReadWDXHeader(header).SoftType != kLibrarySoftType) {
                 return false;
             }
             rCabinetFile r;
             return ReadCabinetFileBytes(b, "x.cabinet", r, kSoftware);
         }},
    };
    std::mt19937 random(11);
    std::vector<uint8_t> noise(4000);
    for (uint8_t& b : noise) {
        b = static_cast<uint8_t>(random());
    }
    noise[0] = 200; // longer than any header's first text
    for (const auto& k : kinds) {
        ASSERT_GT(k.valid.size(), 1200u) << k.kind;
        const std::string damaged =
            std::string("Hall.x is not a ") + kSoftware + " " + k.kind + ", or it is damaged.";
        const struct {
            const char* what;
            std::vector<uint8_t> bytes;
            std::string firstLine;
        } cases[] = {
            {"random bytes", noise, damaged},
            {"cut at 40 bytes", {k.valid.begin(), k.valid.begin() + 40}, "Hall.x is cut short."},
            {"cut at 1200 bytes", {k.valid.begin(), k.valid.begin() + 1200}, "Hall.x is cut short."},
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(k.kind) + ", " + c.what);
            std::string message;
            try {
                if (!k.read(c.bytes)) {
                    message = NotOurFileSentence("/a/Hall.x", k.kind, kSoftware) + "\r\n";
                }
            } catch (const EReadError& e) {
                message = ReadRefusalMessage("/a/Hall.x", k.kind, kSoftware, std::current_exception());
                EXPECT_EQ(message.substr(message.find("\r\n") + 2), e.Detail());
                EXPECT_NE(e.Detail().find("byte"), std::string::npos) << e.Detail();
            }
            ASSERT_FALSE(message.empty()) << "the file was read";
            SCOPED_TRACE(message);
            EXPECT_EQ(message.substr(0, message.find("\r\n")), c.firstLine);
        }
    }

    // The detail survives the file's name put in front, and the other faults have their sentences.
    const EReadError named(std::string("Cannot read \"Hall.x\". x"),
                           EReadError("too new", TReadFault::NewerVersion));
    EXPECT_EQ(ReadRefusalMessage("Hall.x", "venue", "Vendrel", std::make_exception_ptr(named)),
              "Hall.x was saved by a newer version of Vendrel: update the program to open it.\r\ntoo new");
    EXPECT_EQ(ReadRefusalMessage("Hall.x", "sound system", "Vendrel",
                                 std::make_exception_ptr(EReadError("1.3.5", TReadFault::OldVersion))),
              "Hall.x was saved by an old version of Vendrel and cannot be read.\r\n1.3.5");
    EXPECT_EQ(ReadRefusalMessage("/a/Hall.x", "venue", "Vendrel",
                                 std::make_exception_ptr(EFileError("Cannot open the file \"/a/Hall.x\""))),
              "Hall.x cannot be read: it is missing, or you may not read it.\r\nCannot open the file "
              "\"/a/Hall.x\"");
}

TEST(RecordHeaders, ProgramVersionNumbersChooseTheLayout) {
    const struct {
        uint8_t major, minor, release;
        int number;
    } cases[] = {{1, 3, 5, 135}, {1, 3, 6, 136}, {2, 0, 0, 200}, {1, 10, 0, 200}, {0, 0, 0, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(ProgramVersionNumber(c.major, c.minor, c.release), c.number);
    }
}

class ProjectOpening : public ::testing::Test {
protected:
    void SetUp() override {
        path_ =
            std::filesystem::temp_directory_path() / ("vendrel_open_" + std::to_string(getpid()) + ".V3DPrj");
        SetMessageBoxService(&boxes_);
    }
    void TearDown() override {
        SetMessageBoxService(nullptr);
        std::filesystem::remove(path_);
    }
    bool Open(const rProjectFile& p, const std::string& software) {
        SaveProjectRecord(path_, p);
        rProjectFile read;
        read.Header.SoftType = "untouched";
        const bool ok = OpenProjectRecord(path_, read, software);
        EXPECT_EQ(ok, read.Header.SoftType != "untouched");
        return ok;
    }

    std::filesystem::path path_;
    RecordingMessageBox boxes_;
};

TEST_F(ProjectOpening, OtherProgramsAreRefusedSilentlyAndNewerFormatsWithAMessage) {
    EXPECT_FALSE(Open(Project(), "Other Program"));
    EXPECT_TRUE(boxes_.shown.empty());

    rProjectFile newerProgram = Project();
    newerProgram.Header.MajorVersion = 9;
    EXPECT_TRUE(Open(newerProgram, kSoftware));

    rProjectFile newerFormat = Project();
    newerFormat.Header.FileMajorVer = 6;
    EXPECT_FALSE(Open(newerFormat, kSoftware));
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].text, "The project was made with higher version of Vendrel Test and cannot be "
                                    "opened.\r\n\r\nUpdate the application to the latest version");
    EXPECT_EQ(boxes_.shown[0].type, TMsgDlgType::mtInformation);
}

TEST_F(ProjectOpening, AProgramWithANameLongerThanTheFieldKnowsItsOwnFiles) {
    const std::string longName = "Vendrel Acoustic Designer Pro";
    ASSERT_GT(longName.size(), kSoftTypeCapacity);
    rProjectFile p = Project();
    p.Header.SoftType = longName;
    EXPECT_TRUE(Open(p, longName));
    EXPECT_FALSE(Open(p, "Vendrel Acoustic Design"));
}

TEST(RecordHeaders, OverlaysSizeIsWrittenAsCountedAndNeverTrusted) {
    rProjectFile p = Project();
    p.OverlaysSize = 5;
    auto bytes = WriteProjectFile(p);
    const size_t at = bytes.size() - 4 - kPRJOverlaySize - 4;
    ByteReader r(bytes);
    r.Seek(at);
    EXPECT_EQ(r.I32(), 16136);
    PutI32(bytes, at, -123456);
    rProjectFile read;
    ASSERT_EQ(ReadProjectFile(bytes, kSoftware, read), TProjectOpen::Opened);
    EXPECT_TRUE(read.Overlays == Project().Overlays);
}

TEST(RecordHeaders, VenuesTravelOnlyWithTheExportersPermission) {
    rVenueFile read;
    const auto current = Fixture("venue_current.venue"); // another program's, permission given, 1.4.0
    EXPECT_TRUE(ReadVenueFile(current, kSoftware, read));
    auto noPermission = current;
    noPermission[40] = 0;
    EXPECT_FALSE(ReadVenueFile(noPermission, kSoftware, read));
    EXPECT_TRUE(ReadVenueFile(noPermission, "Other Program", read));

    // An old file never carries the permission: its byte 40 is already the static block.
    auto old = Fixture("venue_old.venue");
    EXPECT_FALSE(ReadVenueFile(old, "Other Program", read));
    old[40] = 1;
    EXPECT_FALSE(ReadVenueFile(old, "Other Program", read));
}

TEST(RecordHeaders, OverlaysAreReadWhateverTheirFormatVersion) {
    rOverlayFile f = OverlayFile();
    f.Header.FileMajorVer = 9;
    const auto bytes = WriteOverlayFile(f);
    rOverlayFile read;
    ASSERT_TRUE(ReadOverlayFile(bytes, kSoftware, read));
    EXPECT_TRUE(read == f);
    EXPECT_FALSE(ReadOverlayFile(bytes, "Other Program", read));
    EXPECT_EQ(bytes[169 - 1], 2); // the count, just before the first overlay at the odd offset 169
}

TEST(RecordWriters, RecordsThatWouldNotReadBackAreRefused) {
    rProjectFile wrongCount = Project();
    wrongCount.GlobalStaticData.NLayers = 3;
    EXPECT_THROW(WriteProjectFile(wrongCount), ERangeError);

    rProjectFile wrongProcesses = Project();
    wrongProcesses.ProcessActive.push_back(false);
    EXPECT_THROW(WriteProjectFile(wrongProcesses), ERangeError);

    rProjectFile badEnum = Project();
    badEnum.Cabinets[0].PlacementType = Ord<TCabPlacement>(9);
    EXPECT_THROW(WriteProjectFile(badEnum), ERangeError);

    // Project and sound-system readers take only processor settings of no hardware.
    rProjectFile hardwareBlob = Project();
    hardwareBlob.DSPProcess[0].Header.HardType = "DSP-4";
    EXPECT_THROW(WriteProjectFile(hardwareBlob), ERangeError);
    rSystemFile hardwareSystem = SystemFull();
    hardwareSystem.DSPProcess[0].Header.HardType = " DSP-4";
    EXPECT_THROW(WriteSystemFile(hardwareSystem), ERangeError);
    hardwareSystem.DSPProcess[0].Header.HardType = "  ";
    rSystemFile blanks;
    ReadSystemFile(WriteSystemFile(hardwareSystem), blanks);
    EXPECT_EQ(blanks.DSPProcess[0].Header.HardType, "  ");

    // Venues and sound systems marked older than 1.3.6 would be read with the older layouts.
    rVenueFile oldVenue = Venue();
    oldVenue.Header.MinorVersion = 3;
    oldVenue.Header.ReleaseVersion = 5;
    EXPECT_THROW(WriteVenueFile(oldVenue), ERangeError);
    rSystemFile oldSystem = SystemTwoCabinets();
    oldSystem.Header.MinorVersion = 2;
    EXPECT_THROW(WriteSystemFile(oldSystem), ERangeError);

    rSystemFile pictureSize = SystemFull();
    pictureSize.GlobalStaticData.SizeSystemImage = 11;
    EXPECT_THROW(WriteSystemFile(pictureSize), ERangeError);
}

TEST(RecordElements, TheBeamsCurvatureAngleLivesInItsReserveWhichOldFilesLeaveAtZero) {
    rPRJSingleBeam beam{"Upper", 12.5f, true, true, -7.25f};
    rPRJBeamSteering b;
    b.SingleBeams = {beam};
    ByteWriter w;
    WritePRJBeamSteering(w, b);
    auto bytes = w.Take();
    const size_t beamAt = kPRJClusterSize + 4;
    ByteReader r(bytes);
    r.Seek(beamAt + 47);
    EXPECT_EQ(r.F32(), -7.25f);

    PutI32(bytes, beamAt + 47, 0); // as files of earlier versions have it
    ByteReader old(bytes);
    rPRJBeamSteering read;
    ReadPRJBeamSteering(old, read);
    EXPECT_EQ(read.SingleBeams[0].CurvatureAngle, 0.0f);
    EXPECT_EQ(read.SingleBeams[0].Angle, 12.5f);
}

TEST(RecordElements, CabinetFieldsSitAtTheirOffsetsAndShortStringsAreCut) {
    rPRJCabinet c;
    c.CoverageIndex = 2;
    c.IntPresetid = 7;
    c.ModelName = std::string(45, 'M');
    ByteWriter w;
    WritePRJCabinet(w, c);
    const auto& b = w.Data();
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + 110, b.begin() + 118),
              (std::vector<uint8_t>{2, 0, 0, 0, 7, 0, 0, 0}));
    EXPECT_EQ(b[0], 40);
    ByteReader r(b);
    rPRJCabinet read;
    ReadPRJCabinet(r, read);
    EXPECT_EQ(read.ModelName, std::string(40, 'M'));

    rPRJSubArrangement sub;
    sub.ItemList = {Item("TCabinet", "Sub", "", {}, true, 1, 2, 1, 5, "", "")};
    ByteWriter ws;
    WritePRJSubArrangement(ws, sub);
    ByteReader rs(ws.Data());
    rPRJSubArrangement subRead;
    ReadPRJSubArrangement(rs, subRead);
    EXPECT_EQ(subRead.ItemList[0].CabDirection, Ord<TCabDirection>(0));
    EXPECT_EQ(subRead.ItemList[0].CoverageIndex, 0);
    EXPECT_EQ(subRead.ItemList[0].ExtDSPid, 2);
}

} // namespace
} // namespace vendrel
