// Measurement files: the analysers' text exports, the binary formats and the impulse texts, read
// through the file routing onto a small grid.

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "dsp/measure_files.h"
#include "dsp/measure_system.h"

namespace vendrel {
namespace {

using B = TMeasureSystemBrand;

std::string fixture(const std::string& name) {
    return std::string(TEST_DATA_DIR) + "/measure/" + name;
}

// A folder in the temporary directory, removed with everything in it when the test ends.
class TempDir {
public:
    TempDir() {
        path_ = std::filesystem::temp_directory_path() /
                ("measure_files_test_" + std::to_string(::getpid()) + "_" + std::to_string(counter_++));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() { std::filesystem::remove_all(path_); }
    std::string write(const std::string& name, const std::string& content) const {
        const auto file = path_ / name;
        std::ofstream(file, std::ios::binary) << content;
        return file.string();
    }
    std::string path() const { return path_.string(); }

private:
    static inline int counter_ = 0;
    std::filesystem::path path_;
};

std::string lines(const std::vector<std::string>& text) {
    std::string s;
    for (const auto& line : text) {
        s += line + "\r\n";
    }
    return s;
}

std::vector<uint8_t> bytesOf(const std::string& file) {
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(ReadFileBytes(file, bytes));
    return bytes;
}

void putU32(std::vector<uint8_t>& bytes, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        bytes[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
    }
}

// The small grid the exports are read onto: one point below the measured band (100 to 1600 Hz), points
// on and between the measured frequencies, and one above the band.
TDSPSpace exportGrid() {
    TDSPSpace grid;
    grid.CustomLogspace(std::vector<int32_t>{50, 100, 150, 400, 1600, 3000});
    return grid;
}

constexpr double kDeg = 3.141592653589793 / 180.0;

// Every fixture holds the points (100 Hz, 90 dB, 10 deg), (200, 92, -20), (400, 94, -170),
// (800, 93, 170), (1600, 91, 30) in its own layout; radian kinds carry the phase in radians.
struct ExportCase {
    B kind;
    const char* file;
    const char* phaseFile;
    double phaseUnit;      // one degree in the export's unit (0: no phase column)
    size_t leadingZeros;   // entries of lines before the data that nothing filled
    double at50Mg, at50Ph; // values at 50 Hz, below the band
};

TEST(MeasureTextExports, EachAnalysersExportIsParsedAndPlacedOnTheGridWithItsHolds) {
    const double bandMg = 89.0, bandPh = 25.0; // the first segment extended down to 50 Hz
    const ExportCase cases[] = {
        {B::msbClio, "clio.txt", "", 1.0, 0, bandMg, bandPh},
        // Smaart lines before the first digit line stay as a 0 Hz entry: 50 Hz lies inside the list.
        {B::msbSmaartLive, "smaart.txt", "", 1.0, 1, 45.0, 5.0},
        {B::msbSatLive, "satlive.txt", "", 1.0, 0, bandMg, bandPh},
        {B::msbLinearX, "linearx.txt", "", 1.0, 0, bandMg, bandPh},
        {B::msbAPrecision, "ap_mg.adx", "ap_ph.adx", 1.0, 0, bandMg, bandPh},
        {B::msbMelissa, "mlssa.txt", "", 1.0, 0, bandMg, bandPh},
        {B::msbDaas32, "daas32.spl", "", kDeg, 0, bandMg, bandPh},
        {B::msbAcousticlizerFFT, "acousticlizer_fft.txt", "", 0.0, 0, bandMg, 0.0},
        {B::msbAcousticlizer1_3, "acousticlizer_13.txt", "", 0.0, 0, bandMg, 0.0},
        {B::msbWinAir, "winair.txt", "", kDeg, 0, bandMg, bandPh},
        {B::msbCalsod, "calsod.txt", "", 1.0, 0, bandMg, bandPh},
        {B::msbSpectraLab, "spectralab.ovl", "", kDeg, 0, bandMg, bandPh},
        {B::msbArta, "arta.csv", "", 1.0, 0, bandMg, bandPh},
        {B::msbREW, "rew.txt", "", 1.0, 0, bandMg, bandPh},
    };
    const std::vector<double> freq{100, 200, 400, 800, 1600};
    const std::vector<double> level{90, 92, 94, 93, 91};
    const std::vector<double> phase{10, -20, -170, 170, 30};
    const std::vector<double> unwrapped{10, -20, -170, -190, -330};
    for (const ExportCase& c : cases) {
        SCOPED_TRACE(c.file);
        TDSPSpace grid = exportGrid();
        TMeasureSystem m(&grid);
        m.SetMeaSystem(c.kind);
        const std::string phaseFile = *c.phaseFile ? fixture(c.phaseFile) : std::string();
        ASSERT_EQ(m.SetMeasureFile(fixture(c.file), phaseFile), TQzDspResult::qzdOK);

        ASSERT_EQ(m.Frecm().size(), c.leadingZeros + freq.size());
        for (size_t i = 0; i < freq.size(); ++i) {
            const size_t e = c.leadingZeros + i;
            EXPECT_DOUBLE_EQ(m.Frecm()[e], freq[i]);
            EXPECT_NEAR(m.dBm()[e], level[i], 1e-9);
            EXPECT_NEAR(m.FaseDegm()[e], phase[i] * c.phaseUnit, 1e-9);
            // The phase is unwrapped in the export's own unit.
            EXPECT_NEAR(m.FaseDegmUnroll()[e], unwrapped[i] * c.phaseUnit, 1e-9);
        }
        const double ph = c.phaseUnit != 0.0 ? 1.0 : 0.0;
        // Grid 50, 100, 150, 400, 1600, 3000 Hz; 3000 Hz repeats the last point inside the band.
        const std::vector<double> mg{c.at50Mg, 90, 91, 94, 91, 91};
        const std::vector<double> deg{c.at50Ph, 10 * ph, -5 * ph, -170 * ph, 30 * ph, 30 * ph};
        const std::vector<double> unrolled{c.at50Ph, 10 * ph, -5 * ph, -170 * ph, -330 * ph, -330 * ph};
        for (size_t i = 0; i < mg.size(); ++i) {
            EXPECT_NEAR(m.FResponseMgdB[i], mg[i], 1e-9) << "grid point " << i;
            EXPECT_NEAR(m.ResponseMgdB[i], mg[i], 1e-9) << "grid point " << i;
            EXPECT_NEAR(m.FResponsePhDegrees[i], deg[i], 1e-7) << "grid point " << i;
            EXPECT_NEAR(m.FResponsePhRad[i], deg[i] * kDeg, 1e-9) << "grid point " << i;
            EXPECT_NEAR(m.FResponsePhDegreesUnRoll[i], unrolled[i], 1e-7) << "grid point " << i;
            EXPECT_NEAR(m.ResponsePhRadUnWrap[i], unrolled[i] * kDeg, 1e-9) << "grid point " << i;
        }
        EXPECT_TRUE(m.MeasureFile().empty());
        EXPECT_EQ(m.FileName, std::filesystem::path(c.file).filename().string());
        EXPECT_EQ(m.MeasureName, std::filesystem::path(c.file).stem().string());
    }
}

// Parses a text held in MeasureFile with the text step alone.
TQzDspResult parse(TMeasureSystem& m, B kind, const std::vector<std::string>& text) {
    m.SetMeaSystem(kind);
    m.MeasureFile() = text;
    return m.ReadSourceStrToMeaSystem();
}

TEST(MeasureTextExports, HeaderRulesDecideWhatIsAccepted) {
    TDSPSpace grid = exportGrid();
    TMeasureSystem m(&grid);
    const std::vector<std::string> data(20, "100 90 10");
    const auto with = [&](size_t at, const std::string& header) {
        std::vector<std::string> text = data;
        text[at] = header;
        return text;
    };
    struct Case {
        B kind;
        std::vector<std::string> text;
        TQzDspResult result;
    };
    const Case cases[] = {
        {B::msbClio, with(0, "dBSPL   Phase"), TQzDspResult::qzdOK}, // Freq may be missing
        {B::msbClio, with(0, "Freq   Phase   dBSPL"), TQzDspResult::qzdError},
        {B::msbREW, with(13, "* Freq(Hz) SPL(dB) Phase(degrees)"), TQzDspResult::qzdOK},
        {B::msbREW, with(13, "* Freq(Hz)  SPL(dB) Phase(degrees)"), TQzDspResult::qzdError},
        // An empty header line passes for the single-line kinds.
        {B::msbREW, with(13, ""), TQzDspResult::qzdOK},
        {B::msbCalsod, with(0, ""), TQzDspResult::qzdOK},
        {B::msbCalsod, with(0, "calsod"), TQzDspResult::qzdError},
        {B::msbLinearX, with(0, "* LMS(TM"), TQzDspResult::qzdError},
        // A REW export too short to hold its header line is rejected, not read past its end.
        {B::msbREW, {"* Freq(Hz) SPL(dB) Phase(degrees)", "100 90 10"}, TQzDspResult::qzdError},
        // A header with no data line after it holds no measurement.
        {B::msbCalsod, {"CALSOD", "a", "b"}, TQzDspResult::qzdError},
        // A data line without its three fields, or with a field that is no number, rejects the text.
        {B::msbCalsod, with(9, "100 90"), TQzDspResult::qzdError},
        {B::msbCalsod, with(9, "100 ninety 10"), TQzDspResult::qzdError},
        {B::msbInternalCapture, data, TQzDspResult::qzdReadFileError},
        {B::msbMultiQZTF, data, TQzDspResult::qzdReadFileError},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.kind));
        EXPECT_EQ(parse(m, c.kind, c.text), c.result);
    }
}

TEST(MeasureTextExports, NumbersReadTheSameInEitherDecimalNotation) {
    TDSPSpace grid = exportGrid();
    TMeasureSystem m(&grid);
    ASSERT_EQ(
        parse(m, B::msbArta, {"Frequency(Hz); Magnitude(dB);  Phase(deg)", "50,5;85,25;-12,5", "60;1;2"}),
        TQzDspResult::qzdOK);
    EXPECT_EQ(m.Frecm()[0], 50.5);
    EXPECT_EQ(m.dBm()[0], 85.25);
    EXPECT_EQ(m.FaseDegm()[0], -12.5);
    ASSERT_EQ(
        parse(m, B::msbArta, {"Frequency(Hz), Magnitude(dB),  Phase(deg)", "50.5, 85.25, -12.5", "60,1,2"}),
        TQzDspResult::qzdOK);
    EXPECT_EQ(m.Frecm()[0], 50.5);
    EXPECT_EQ(m.FaseDegm()[0], -12.5);
    // A blank-separated field loses a trailing comma.
    ASSERT_EQ(parse(m, B::msbSatLive, {"100 90 10", "200 91 11"}), TQzDspResult::qzdOK);
    ASSERT_EQ(parse(m, B::msbCalsod, {"CALSOD", "", "", "", "", "", "", "", "100.0, 90, 10", "200 91 11"}),
              TQzDspResult::qzdOK);
    EXPECT_EQ(m.Frecm()[0], 100.0);
}

TEST(MeasureTextExports, SmaartVoidPointsAndTrailingScan) {
    TDSPSpace grid = exportGrid();
    TMeasureSystem m(&grid);
    const std::string header = "Frequency (Hz)\tMagnitude (dB)\tPhase (degrees)\tCoherence";
    // A "*" magnitude voids its point, which stays inside the list; a line starting with a blank is
    // not data; a falling tail is dropped.
    ASSERT_EQ(parse(m, B::msbSmaartLive,
                    {"title", header, "100\t90\t10\t1", "150\t*\t0\t1", " 175\t1\t1\t1", "200\t92\t20\t1",
                     "300\t93\t20\t1", "180\t80\t0\t1"}),
              TQzDspResult::qzdOK);
    EXPECT_EQ(m.Frecm(), (std::vector<double>{0, 100, 0, 0, 200, 300}));
    EXPECT_EQ(m.dBm(), (std::vector<double>{0, 90, 0, 0, 92, 93}));
    // A header from line 40 on is not found.
    std::vector<std::string> late(41, "x");
    late[40] = header;
    EXPECT_EQ(parse(m, B::msbSmaartLive, late), TQzDspResult::qzdReadFileError);
    // Without the header in a short text: not found either, and nothing read past the end.
    EXPECT_EQ(parse(m, B::msbSmaartLive, {"title", "100\t90\t10\t1"}), TQzDspResult::qzdReadFileError);
}

TEST(MeasureTextExports, WithoutUnwrappingTheUnwrappedCurvesStayEmpty) {
    TDSPSpace grid = exportGrid();
    TMeasureSystem m(&grid);
    m.SetUseUnrollAproximation(false);
    m.SetMeaSystem(B::msbCalsod);
    ASSERT_EQ(m.SetMeasureFile(fixture("calsod.txt"), ""), TQzDspResult::qzdOK);
    EXPECT_TRUE(m.FResponsePhDegreesUnRoll.empty());
    EXPECT_TRUE(m.ResponsePhRadUnWrap.empty());
    EXPECT_NEAR(m.FResponsePhDegrees[4], 30.0, 1e-9);
}

TEST(MeasureFileRouting, KindSetsTheFilterAndZeroesTheCurves) {
    TDSPSpace grid = exportGrid();
    TMeasureSystem m(&grid);
    m.ImportResponseDataPoint(1, 5.0, 0.5, 0.5);
    m.SetMeaSystem(B::msbREW);
    EXPECT_EQ(m.DialogFilter(), "REW Measurements |*.txt");
    EXPECT_EQ(m.FResponseMgdB[1], 0.0);
    EXPECT_EQ(m.ResponseMgdB[1], 5.0); // the referenced curves are not touched
    m.ImportResponseDataPoint(1, 5.0, 0.5, 0.5);
    m.SetMeaSystem(B::msbREW);
    EXPECT_EQ(m.FResponseMgdB[1], 5.0);
    m.SetMeaSystem(B::msbClioIR);
    EXPECT_EQ(m.DialogFilter(), "exported data *.txt|*.txt|all *.*|*.*");
}

TEST(MeasureFileRouting, FailedImportsKeepTheCurvesAndNames) {
    TDSPSpace grid = exportGrid();
    TMeasureSystem m(&grid);
    m.SetMeaSystem(B::msbCalsod);
    ASSERT_EQ(m.SetMeasureFile(fixture("calsod.txt"), ""), TQzDspResult::qzdOK);
    const auto curve = m.FResponseMgdB;
    for (const B kind :
         {B::msbMLS, B::msbSPK, B::msbQZTF, B::msbClioIR, B::msbRitaIR, B::msbWavIR, B::msbREW}) {
        m.SetMeaSystem(kind);
        m.FResponseMgdB = curve;
        EXPECT_EQ(m.SetMeasureFile(fixture("missing.file"), ""), TQzDspResult::qzdReadFileError);
        EXPECT_EQ(m.MeasureName, "calsod");
        EXPECT_EQ(m.FResponseMgdB, curve);
    }
    // A rejected text still names the measurement; kinds without a text export are rejected.
    m.SetMeaSystem(B::msbMultiQZTF);
    EXPECT_EQ(m.SetMeasureFile(fixture("rew.txt"), ""), TQzDspResult::qzdError);
    EXPECT_EQ(m.MeasureName, "rew");
}

TEST(MeasureBinaryFiles, MlsImpulseIsReadFromItsOffsets) {
    TDSPSpace grid;
    TMeasureSystem m(&grid);
    m.SetMeaSystem(B::msbMLS);
    ASSERT_EQ(m.SetMeasureFile(fixture("impulse.mls"), ""), TQzDspResult::qzdOK);
    // The 32-bit rate 47999 is no standard rate: the 16-bit one counts.
    EXPECT_EQ(m.ImpulseSampleRate, 48000);
    EXPECT_EQ(m.ImpulseSize, 64);
    EXPECT_EQ(m.ImpulseEnd, 64);
    EXPECT_EQ(m.ImpulseScale, TLevUnit::ludBV);
    ASSERT_EQ(m.RawImpulseRe.size(), 64u);
    EXPECT_EQ(m.RawImpulseRe[5], 1.0);
    EXPECT_EQ(m.RawImpulseRe[9], -0.25);
    EXPECT_EQ(m.RawImpulseIm[2], 0.125);
    EXPECT_EQ(m.ImpulseLatency(), 5.0); // the peak
    EXPECT_EQ(m.MeasureName, "impulse");
}

TEST(MeasureBinaryFiles, MlsWithoutASampleRateIsRefused) {
    std::vector<uint8_t> bytes = bytesOf(fixture("impulse.mls"));
    bytes[812] = bytes[813] = 0; // OldSampleRate
    putU32(bytes, 816, 0);       // SampleRate
    TempDir dir;
    TDSPSpace grid;
    TMeasureSystem m(&grid);
    m.SetMeaSystem(B::msbMLS);
    EXPECT_EQ(m.SetMeasureFile(dir.write("norate.mls", std::string(bytes.begin(), bytes.end())), ""),
              TQzDspResult::qzdReadFileError);
}

TEST(MeasureBinaryFiles, CountsAreCheckedAgainstTheBytesPresent) {
    const std::vector<uint8_t> mls = bytesOf(fixture("impulse.mls"));
    const std::vector<uint8_t> spk = bytesOf(fixture("spectrum.spk"));
    const std::vector<uint8_t> stf = bytesOf(fixture("transfer.stf"));
    const auto mlsWith = [&](uint32_t n, size_t cut) {
        std::vector<uint8_t> b = mls;
        putU32(b, 808, n);
        b.resize(b.size() - cut);
        rMlsFile f;
        return ReadMlsBytes(b, f);
    };
    EXPECT_TRUE(mlsWith(64, 0));
    EXPECT_FALSE(mlsWith(64, 1));         // one byte short of 956 + 8n
    EXPECT_FALSE(mlsWith(0, 0));          // no samples
    EXPECT_FALSE(mlsWith(0x7FFFFFFF, 0)); // far more samples than bytes
    EXPECT_FALSE(mlsWith(0x80000000u, 0));
    rMlsFile header;
    EXPECT_FALSE(ReadMlsBytes(std::span(mls).first(900), header));

    const auto spkWith = [&](uint32_t n, size_t cut) {
        std::vector<uint8_t> b = spk;
        putU32(b, 0, n);
        b.resize(b.size() - cut);
        rWinmfSpkFile f;
        return ReadWinMFspkBytes(b, f);
    };
    EXPECT_TRUE(spkWith(32, 0));
    EXPECT_FALSE(spkWith(32, 1));
    EXPECT_FALSE(spkWith(0xFFFFFFFFu, 0));

    const auto stfWith = [&](size_t at, uint32_t v) {
        std::vector<uint8_t> b = stf;
        putU32(b, at, v);
        rQZTFFile f;
        return ReadQZTFBytes(b, f);
    };
    EXPECT_TRUE(stfWith(96, 3));
    EXPECT_FALSE(stfWith(96, 4));           // a seventh preset that is not there
    EXPECT_FALSE(stfWith(96, 0x7FFFFFFF));  // presets the file cannot hold
    EXPECT_FALSE(stfWith(88, 0x40000000));  // NSources x NPresets overflows
    EXPECT_FALSE(stfWith(92, 5));           // a preset longer than NFrequencyPoints
    EXPECT_FALSE(stfWith(92, 0x7FFFFFFF));  // points no file of this size announces
    EXPECT_FALSE(stfWith(92, 0xFFFFFFFFu)); // a negative count
}

TEST(MeasureBinaryFiles, SpkHeaderFieldsAndSpectrum) {
    rWinmfSpkFile f;
    ASSERT_TRUE(ReadWinMFspkBytes(bytesOf(fixture("spectrum.spk")), f));
    EXPECT_EQ(f.numberOfChannels, 2);
    EXPECT_EQ(f.voltageRange, 2.5);
    EXPECT_EQ(f.yearOrigin, 2024);
    EXPECT_EQ(f.startData, 999u);
    EXPECT_EQ(f.voltRef0dB, 0.775);
    EXPECT_EQ(f.rightCursOld, 12);
    // The comment's length byte claims 200 characters; the field holds 71.
    EXPECT_EQ(f.commentStr, std::string(71, 'x'));

    TDSPSpace grid;
    TMeasureSystem m(&grid);
    m.SetMeaSystem(B::msbSPK);
    m.ImpulseEnd = 7;
    // Left from an earlier measurement: the import replaces the unwrapped phase too.
    m.FResponsePhDegreesUnRoll.assign(m.FResponsePhDegreesUnRoll.size(), 7.0);
    m.ResponsePhRadUnWrap.assign(m.ResponsePhRadUnWrap.size(), 7.0);
    ASSERT_EQ(m.SetMeasureFile(fixture("spectrum.spk"), ""), TQzDspResult::qzdOK);
    EXPECT_EQ(m.ImpulseSampleRate, 48000);
    EXPECT_EQ(m.ImpulseSize, 32);
    EXPECT_EQ(m.ImpulseEnd, 7);
    EXPECT_EQ(m.Comments, std::string(71, 'x'));
    // A flat spectrum: 0 dB and zero phase on the whole grid, also in the unwrapped curves.
    for (int32_t i = 0; i < grid.NRealFreqPoints(); ++i) {
        ASSERT_EQ(m.FResponseMgdB[static_cast<size_t>(i)], 0.0);
        ASSERT_EQ(m.FResponsePhRad[static_cast<size_t>(i)], 0.0);
        ASSERT_EQ(m.FResponsePhDegreesUnRoll[static_cast<size_t>(i)], 0.0);
        ASSERT_EQ(m.ResponsePhRadUnWrap[static_cast<size_t>(i)], 0.0);
    }
    // A rate that places no bin is refused.
    TempDir dir;
    std::vector<uint8_t> bytes = bytesOf(fixture("spectrum.spk"));
    std::fill(bytes.begin() + 4, bytes.begin() + 12, uint8_t{0}); // SampleRate 0.0
    EXPECT_EQ(m.SetMeasureFile(dir.write("zero.spk", std::string(bytes.begin(), bytes.end())), ""),
              TQzDspResult::qzdReadFileError);
}

TEST(MeasureBinaryFiles, QztfPresetsInFileOrderAndTheFirstImported) {
    rQZTFFile f;
    ASSERT_TRUE(ReadQZTFBytes(bytesOf(fixture("transfer.stf")), f));
    EXPECT_EQ(f.Header.SampleRate, 48000);
    EXPECT_EQ(f.Header.NFrequencyPoints, 8);
    EXPECT_TRUE(f.Header.isDelayIncludedInPhase);
    ASSERT_EQ(f.Presets.size(), 6u);
    const rQZTFPreset& p = f.Presets[0];
    EXPECT_EQ(p.PresetName, "Preset 0");
    EXPECT_EQ(p.Comments, "comment 0");
    EXPECT_EQ(p.SourceName, "Source 0");
    EXPECT_EQ(p.TFLength, 6);
    EXPECT_EQ(p.Fr, (std::vector<double>{100, 200, 400, 800, 1600, 3200, 0, 0}));
    EXPECT_EQ(f.Presets[2].PresetName, ""); // NUL bytes only
    // Each byte of a text field is the character of the same code.
    std::vector<uint8_t> bytes = bytesOf(fixture("transfer.stf"));
    bytes[kQZTFHeaderSize] = 0x80;
    bytes[kQZTFHeaderSize + 1] = 0xE9;
    rQZTFFile g;
    ASSERT_TRUE(ReadQZTFBytes(bytes, g));
    EXPECT_EQ(g.Presets[0].PresetName, "\xC2\x80\xC3\xA9"
                                       "Preset 0");
    EXPECT_EQ(f.Presets[5].SourceName, "Source 5");
    EXPECT_EQ(f.Presets[5].Mg[7], 92.0);

    TDSPSpace grid;
    grid.CustomLogspace(std::vector<int32_t>{100, 200, 300, 3200, 5000});
    TMeasureSystem m(&grid);
    m.SetMeaSystem(B::msbQZTF);
    m.FResponsePhDegreesUnRoll.assign(m.FResponsePhDegreesUnRoll.size(), 7.0);
    ASSERT_EQ(m.SetMeasureFile(fixture("transfer.stf"), ""), TQzDspResult::qzdOK);
    EXPECT_EQ(m.MeasureName, "transfer");
    EXPECT_EQ(m.PresetName, "Preset 0");
    EXPECT_EQ(m.ProcessDelaySamples, 10);
    EXPECT_DOUBLE_EQ(m.DSPLatencyMsec, 2.0);
    EXPECT_TRUE(m.IsDelayIncludedInPhase);
    // Straight lines through the six points; 5000 Hz extends the last segment (no hold).
    const std::vector<double> mg{80, 81, 81.5, 85, 86.125};
    const std::vector<double> ph{0, -0.5, -0.75, -2.5, -3.0625};
    for (size_t i = 0; i < mg.size(); ++i) {
        EXPECT_DOUBLE_EQ(m.FResponseMgdB[i], mg[i]);
        EXPECT_DOUBLE_EQ(m.FResponsePhRad[i], ph[i]);
        EXPECT_DOUBLE_EQ(m.ResponsePhRadUnWrap[i], ph[i]);
        EXPECT_DOUBLE_EQ(m.FResponsePhDegreesUnRoll[i], ph[i] * 57.29577951308232);
    }
}

TEST(MeasureImpulseTexts, ClioExportIsWrittenAndReadBack) {
    TempDir dir;
    TDSPSpace grid;
    TMeasureSystem out(&grid);
    out.MeasureName = "woofer";
    out.ImpulseSampleRate = 48000;
    out.RawImpulseRe = {1.0, -0.5};
    out.RawImpulseIm = {0.0, 0.0};
    out.ImpulseEnd = 2;
    ASSERT_TRUE(out.SaveImpulseToClioTxt(dir.path()));
    const std::string file = dir.path() + "/IR woofer.txt";
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "Time[s]         Real[V]        Imag[V]\r\n"
                          "0.000000E+00    1.000000E+00    0.000000E+00\r\n"
                          "2.083333E-05    -5.000000E-01   0.000000E+00\r\n");
    EXPECT_FALSE(out.SaveImpulseToClioTxt(dir.path() + "/no such folder"));

    // Read back: blank- and tab-separated alike.
    const std::string tabs = "Time[s]\tReal[V]\tImag[V]\r\n"
                             "0.000000E+00\t1.000000E+00\t0.000000E+00\r\n"
                             "2.083333E-05\t-5.000000E-01\t0.000000E+00\r\n";
    for (const std::string& name : {file, dir.write("tabs.txt", tabs)}) {
        TMeasureSystem m(&grid);
        m.SetMeaSystem(B::msbClioIR);
        ASSERT_EQ(m.SetMeasureFile(name, ""), TQzDspResult::qzdOK) << name;
        EXPECT_EQ(m.ImpulseSampleRate, 48000);
        EXPECT_EQ(m.ImpulseScale, TLevUnit::ludBV);
        EXPECT_EQ(m.RawImpulseRe, (std::vector<double>{1.0, -0.5}));
        EXPECT_EQ(m.ImpulseSize, 2);
    }
    // A header naming neither unit after the time column is rejected.
    TMeasureSystem m(&grid);
    m.SetMeaSystem(B::msbClioIR);
    EXPECT_EQ(m.SetMeasureFile(dir.write("pa.txt", lines({"Pa time  re  im", "0 1 0", "1e-3 0 0"})), ""),
              TQzDspResult::qzdReadFileError);
}

TEST(MeasureImpulseTexts, RitaImpulseKeepsItsOwnRateAndFrequencies) {
    // h = delta[0] + 0.5 delta[3] at 44100 Hz: |H| = |1 + 0.5 e^(-j w 3)|, notches at odd multiples
    // of 44100 / 6 Hz. Read at any other rate the notches would move.
    TempDir dir;
    const std::string file = dir.write("rita.txt", lines({"frequency,Values", "0,1", "0.0226757,0",
                                                          "0.0453515,0", "0.0680272,0.5", "0.090703,0"}));
    TDSPSpace grid;
    TMeasureSystem m(&grid);
    m.SetMeaSystem(B::msbRitaIR);
    ASSERT_EQ(m.SetMeasureFile(file, ""), TQzDspResult::qzdOK);
    EXPECT_EQ(m.ImpulseSampleRate, 44100);
    EXPECT_EQ(m.ImpulseScale, TLevUnit::ludBRel);
    EXPECT_EQ(m.ImpulseLatency(), 0.0);
    for (int32_t i = 0; i < grid.NRealFreqPoints(); i += 17) {
        const double f = grid.FreqDraw[static_cast<size_t>(i)];
        const double w = 2.0 * 3.141592653589793 * f * 3.0 / 44100.0;
        const double expected = 20.0 * std::log10(std::hypot(1.0 + 0.5 * std::cos(w), 0.5 * std::sin(w)));
        // The fine grid is 1/48 octave: between its points the level is a straight line.
        EXPECT_NEAR(m.FResponseMgdB[static_cast<size_t>(i)], expected, 0.05) << f << " Hz";
    }
}

TEST(MeasureImpulseTexts, EachImpulseImportStartsFromTheFullLength) {
    TempDir dir;
    const auto rita = [&](const std::string& name, int samples) {
        std::vector<std::string> text{"frequency,Values"};
        for (int i = 0; i < samples; ++i) {
            char time[32];
            std::snprintf(time, sizeof time, "%.9f", i / 48.0);
            text.push_back(std::string(time) + "," + (i == 1 ? "1" : "0"));
        }
        return dir.write(name, lines(text));
    };
    TDSPSpace grid;
    TMeasureSystem m(&grid);
    m.SetMeaSystem(B::msbRitaIR);
    ASSERT_EQ(m.SetMeasureFile(rita("short.txt", 4), ""), TQzDspResult::qzdOK);
    EXPECT_EQ(m.ImpulseEnd, 4);
    // Imaginary parts of an earlier impulse do not survive into one that has none.
    m.RawImpulseIm.assign(16, 0.5);
    ASSERT_EQ(m.SetMeasureFile(rita("long.txt", 16), ""), TQzDspResult::qzdOK);
    EXPECT_EQ(m.RawImpulseIm, std::vector<double>(16, 0.0));
    EXPECT_EQ(m.ImpulseSize, 16);
    EXPECT_EQ(m.ImpulseEnd, 16);
    EXPECT_EQ(m.RawImpulseRe.size(), 16u);
    EXPECT_EQ(m.ImpulseSampleRate, 48000);
}

TEST(MeasureImpulseTexts, WavImpulseIsRead) {
    TDSPSpace grid;
    TMeasureSystem m(&grid);
    m.SetMeaSystem(B::msbWavIR);
    ASSERT_EQ(m.SetMeasureFile(std::string(TEST_DATA_DIR) + "/wav/pcm16_44k1.wav", ""), TQzDspResult::qzdOK);
    EXPECT_EQ(m.ImpulseSampleRate, 44100);
    EXPECT_EQ(m.ImpulseScale, TLevUnit::ludBRel);
    EXPECT_EQ(m.ImpulseEnd, m.ImpulseSize);
    EXPECT_EQ(m.MeasureName, "pcm16_44k1");
}

} // namespace
} // namespace vendrel
