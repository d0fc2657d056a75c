#include "dsp/wav_reader.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace vendrel {
namespace {

using Bytes = std::vector<uint8_t>;

void put16(Bytes& b, uint16_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}
void put32(Bytes& b, uint32_t v) {
    put16(b, static_cast<uint16_t>(v));
    put16(b, static_cast<uint16_t>(v >> 16));
}
void putId(Bytes& b, const char* id) {
    for (int i = 0; i < 4; ++i) {
        b.push_back(static_cast<uint8_t>(id[i]));
    }
}

Bytes chunk(const char* id, const Bytes& body, uint32_t statedLength) {
    Bytes b;
    putId(b, id);
    put32(b, statedLength);
    b.insert(b.end(), body.begin(), body.end());
    return b;
}
Bytes chunk(const char* id, const Bytes& body) {
    return chunk(id, body, static_cast<uint32_t>(body.size()));
}

Bytes fmtBody(uint16_t format, uint16_t channels, uint16_t bits, uint32_t rate = 48000) {
    Bytes b;
    put16(b, format);
    put16(b, channels);
    put32(b, rate);
    put32(b, rate * channels * bits / 8);
    put16(b, static_cast<uint16_t>(channels * bits / 8));
    put16(b, bits);
    return b;
}

Bytes extensibleFmtBody(uint16_t channels, uint16_t bits, uint16_t subFormat) {
    Bytes b = fmtBody(kWaveFormatExtensible, channels, bits);
    put16(b, 22);
    put16(b, bits);
    put32(b, 0);
    put16(b, subFormat);
    const uint8_t guidTail[14] = {0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xaa, 0, 0x38, 0x9b, 0x71};
    b.insert(b.end(), guidTail, guidTail + 14);
    return b;
}

Bytes riff(const std::vector<Bytes>& chunks) {
    Bytes body;
    putId(body, "WAVE");
    for (const auto& c : chunks) {
        body.insert(body.end(), c.begin(), c.end());
    }
    Bytes b;
    putId(b, "RIFF");
    put32(b, static_cast<uint32_t>(body.size()));
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

// A file in the test's temporary folder, removed when the test ends.
class TempFile {
public:
    explicit TempFile(const Bytes& content) {
        path_ = (std::filesystem::temp_directory_path() / ("wav_reader_test_" + std::to_string(::getpid()) +
                                                           "_" + std::to_string(counter_++) + ".wav"))
                    .string();
        std::ofstream(path_, std::ios::binary)
            .write(reinterpret_cast<const char*>(content.data()),
                   static_cast<std::streamsize>(content.size()));
    }
    ~TempFile() { std::filesystem::remove(path_); }
    const std::string& path() const { return path_; }

private:
    static inline int counter_ = 0;
    std::string path_;
};

struct Expected {
    std::string name;
    uint32_t rate = 0;
    uint16_t channels = 0;
    size_t frames = 0;
    std::vector<double> samples;
};

std::vector<Expected> readExpected() {
    std::ifstream in(std::string(TEST_DATA_DIR) + "/wav/expected.txt");
    std::vector<Expected> out;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        Expected e;
        std::istringstream head(line);
        head >> e.name >> e.rate >> e.channels >> e.frames;
        std::getline(in, line);
        std::istringstream values(line);
        double v;
        while (values >> v) {
            e.samples.push_back(v);
        }
        out.push_back(std::move(e));
    }
    return out;
}

// Every width and header that sox writes, read back against scipy.io.wavfile. The samples are
// exact binary fractions (or the stored floats), so they must agree exactly.
TEST(WavReader, FixturesOfEveryFormatMatchScipy) {
    const auto expected = readExpected();
    ASSERT_EQ(expected.size(), 11u);
    for (const auto& e : expected) {
        SCOPED_TRACE(e.name);
        rWAVFile wav;
        ASSERT_TRUE(ReadWavFile(std::string(TEST_DATA_DIR) + "/wav/" + e.name, wav));
        EXPECT_EQ(wav.Header.SampleRate, e.rate);
        EXPECT_EQ(wav.Header.NumChannels, e.channels);
        EXPECT_EQ(WavFrameCount(wav), static_cast<int64_t>(e.frames));
        std::vector<double> out(e.frames + 1, 7.0);
        ASSERT_EQ(WavSamplesToDouble(wav, out, -1), TQzDspResult::qzdOK);
        for (size_t i = 0; i < e.frames; ++i) {
            ASSERT_EQ(out[i], e.samples[i]) << "sample " << i;
        }
        EXPECT_EQ(out[e.frames], 7.0);
    }
}

TEST(WavReader, PositiveCountLimitsTheConversion) {
    rWAVFile wav;
    ASSERT_TRUE(ReadWavFile(std::string(TEST_DATA_DIR) + "/wav/pcm24_plain.wav", wav));
    std::vector<double> out(300, 7.0);
    ASSERT_EQ(WavSamplesToDouble(wav, out, 100), TQzDspResult::qzdOK);
    EXPECT_NE(out[99], 7.0);
    EXPECT_EQ(out[100], 7.0);
    // A count above the frame count converts every frame; a destination too short is an error.
    std::vector<double> shortOut(10, 7.0);
    EXPECT_EQ(WavSamplesToDouble(wav, shortOut, 1000), TQzDspResult::qzdError);
    EXPECT_EQ(shortOut[0], 0.0);
}

// Full-scale and sign-bit values of the integer widths, decoded from hand-made data.
TEST(WavReader, IntegerSamplesScaleToUnitRange) {
    struct Case {
        uint16_t bits;
        Bytes data;
        std::vector<double> expected;
    };
    const std::vector<Case> cases = {
        {16, {0x00, 0x80, 0xff, 0x7f, 0x00, 0x00, 0xff, 0xff}, {-1.0, 0.999969482421875, 0.0, -1.0 / 32768}},
        {24,
         {0x00, 0x00, 0x80, 0xff, 0xff, 0x7f, 0x01, 0x00, 0x00},
         {-1.0, 8388607.0 / 8388608, 1.0 / 8388608}},
        {32, {0x00, 0x00, 0x00, 0x40, 0x00, 0x00, 0x00, 0x80}, {0.5, -1.0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bits);
        rWAVFile wav;
        ASSERT_TRUE(ReadWavBytes(
            riff({chunk("fmt ", fmtBody(kWaveFormatPcm, 1, c.bits)), chunk("data", c.data)}), wav));
        std::vector<double> out(c.expected.size());
        ASSERT_EQ(WavSamplesToDouble(wav, out, -1), TQzDspResult::qzdOK);
        EXPECT_EQ(out, c.expected);
    }
}

// Files that are not what their headers say are refused before anything is allocated from them.
TEST(WavReader, DamagedFilesAreReadErrors) {
    const Bytes fmt = chunk("fmt ", fmtBody(kWaveFormatPcm, 1, 16));
    const Bytes samples(64, 0x11);
    const Bytes good = riff({fmt, chunk("data", samples)});
    Bytes truncated(good.begin(), good.end() - 10);
    const Bytes fullFmt = fmtBody(kWaveFormatPcm, 1, 16);
    const Bytes shortFmt(fullFmt.begin(), fullFmt.begin() + 12);
    Bytes notWave = good;
    notWave[8] = 'X';
    struct Case {
        const char* what;
        Bytes file;
    };
    const std::vector<Case> cases = {
        {"empty file", {}},
        {"not RIFF", Bytes(good.begin() + 1, good.end())},
        {"not WAVE", notWave},
        {"truncated data", truncated},
        {"data size beyond the file", riff({fmt, chunk("data", samples, 0x7ffffff0)})},
        {"data size negative", riff({fmt, chunk("data", samples, 0xfffffff0)})},
        {"empty data chunk", riff({fmt, chunk("data", {})})},
        {"format chunk too short", riff({chunk("fmt ", shortFmt), chunk("data", samples)})},
        {"other chunk negative",
         riff({chunk("LIST", {1, 2, 3, 4}, 0x80000000u), fmt, chunk("data", samples)})},
        {"other chunk beyond the file",
         riff({fmt, chunk("LIST", {1, 2, 3, 4}, 1000), chunk("data", samples)})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempFile file(c.file);
        rWAVFile wav;
        EXPECT_FALSE(ReadWavFile(file.path(), wav));
        EXPECT_TRUE(wav.DataBuffer.empty());
    }
    TempFile file(good);
    rWAVFile wav;
    EXPECT_TRUE(ReadWavFile(file.path(), wav));
    EXPECT_EQ(wav.DataBuffer, samples);
}

TEST(WavReader, MissingFileIsAReadErrorNotAnException) {
    rWAVFile wav;
    EXPECT_FALSE(ReadWavFile(std::string(TEST_DATA_DIR) + "/wav/no such file.wav", wav));
    EXPECT_FALSE(ReadWavFile(TEST_DATA_DIR, wav)); // a folder
}

// Formats the converter has no rule for are errors, never a silent success with nothing written.
TEST(WavReader, UnconvertibleFormatsReportAnError) {
    const Bytes data(48, 0x22);
    struct Case {
        const char* what;
        Bytes fmtChunk;
        TQzDspResult result;
    };
    const std::vector<Case> cases = {
        {"8-bit", chunk("fmt ", fmtBody(kWaveFormatPcm, 1, 8)), TQzDspResult::qzdError},
        {"no channels", chunk("fmt ", fmtBody(kWaveFormatPcm, 0, 16)), TQzDspResult::qzdReadFileError},
        {"no bits", chunk("fmt ", fmtBody(kWaveFormatPcm, 1, 0)), TQzDspResult::qzdReadFileError},
        {"12-bit", chunk("fmt ", fmtBody(kWaveFormatPcm, 1, 12)), TQzDspResult::qzdReadFileError},
        {"32-bit ADPCM", chunk("fmt ", fmtBody(2, 1, 32)), TQzDspResult::qzdReadFileError},
        {"64-bit integer", chunk("fmt ", fmtBody(kWaveFormatPcm, 1, 64)), TQzDspResult::qzdReadFileError},
        {"extensible 32-bit of unknown sub-format", chunk("fmt ", extensibleFmtBody(1, 32, 2)),
         TQzDspResult::qzdReadFileError},
        {"extensible without its extension", chunk("fmt ", fmtBody(kWaveFormatExtensible, 1, 32)),
         TQzDspResult::qzdReadFileError},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        rWAVFile wav;
        ASSERT_TRUE(ReadWavBytes(riff({c.fmtChunk, chunk("data", data)}), wav));
        std::vector<double> out(64, 7.0);
        EXPECT_EQ(WavSamplesToDouble(wav, out, -1), c.result);
        EXPECT_EQ(out[0], 7.0);
    }
}

TEST(WavReader, ChunkOrderAndPadding) {
    const Bytes fmt = chunk("fmt ", fmtBody(kWaveFormatPcm, 1, 16));
    const Bytes data = chunk("data", {0x00, 0x40, 0x00, 0xc0});
    std::vector<double> out(2);

    // A data chunk before the format leaves the format empty: nothing to convert.
    rWAVFile dataFirst;
    ASSERT_TRUE(ReadWavBytes(riff({data, fmt}), dataFirst));
    EXPECT_EQ(dataFirst.Header.BitsPerSample, 0);
    EXPECT_EQ(WavSamplesToDouble(dataFirst, out, -1), TQzDspResult::qzdReadFileError);

    // No data chunk at all: the walk succeeds with an empty buffer, the conversion does not.
    rWAVFile noData;
    ASSERT_TRUE(ReadWavBytes(riff({fmt}), noData));
    EXPECT_EQ(WavSamplesToDouble(noData, out, -1), TQzDspResult::qzdReadFileError);

    // An odd chunk with or without its pad byte, and a chunk of an identifier in other case.
    for (const Bytes& odd : {Bytes{'I', 'N', 'F', 'O', 'x', 0}, Bytes{'I', 'N', 'F', 'O', 'x'}}) {
        rWAVFile wav;
        ASSERT_TRUE(ReadWavBytes(riff({chunk("LIST", odd, 5), chunk("DATA", {1, 2}), fmt, data}), wav));
        ASSERT_EQ(WavSamplesToDouble(wav, out, -1), TQzDspResult::qzdOK);
        EXPECT_EQ(out, (std::vector<double>{0.5, -0.5}));
    }
}

} // namespace
} // namespace vendrel
