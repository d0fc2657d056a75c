#include "dsp/fir.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/core/numeric.h"

namespace vendrel {
namespace {

// A file in the temporary folder, removed when the test ends.
class TempFile {
public:
    TempFile(const std::string& content, const std::string& extension) {
        path_ = (std::filesystem::temp_directory_path() / ("fir_coefs_test_" + std::to_string(::getpid()) +
                                                           "_" + std::to_string(counter_++) + extension))
                    .string();
        std::ofstream(path_, std::ios::binary) << content;
    }
    ~TempFile() { std::filesystem::remove(path_); }
    const std::string& path() const { return path_; }

private:
    static inline int counter_ = 0;
    std::string path_;
};

std::string fixture(const char* name) {
    return std::string(TEST_DATA_DIR) + "/wav/" + name;
}

// External taps of a filter with a recognisable set loaded, to see that failed loads keep them.
void loadMarker(TFIR& f) {
    const std::vector<double> marker = {0.25, -0.75, 0.5};
    f.LoadCoefFromArray(marker, 3);
}

void expectMarkerKept(const TFIR& f) {
    EXPECT_EQ(f.NExternalCoef(), 3);
    EXPECT_EQ(f.ExternalCoefs()[1], -0.75);
    EXPECT_EQ(f.ExternalLatency(), 1.0);
}

TEST(FirCoefs, TextFilesLoadOneNumberPerLineOrOneCommaSeparatedLine) {
    struct Case {
        const char* what;
        std::string text;
        std::vector<double> taps;
        double latency;
    };
    const std::vector<Case> cases = {
        {"LF lines", "0.5\n1\n-0.25\n", {0.5, 1.0, -0.25}, 1},
        {"CRLF lines", "0.5\r\n1\r\n-0.25", {0.5, 1.0, -0.25}, 1},
        {"CR lines", "0.5\r1\r-0.25\r", {0.5, 1.0, -0.25}, 1},
        {"comma as decimal separator in a line", "0,5\n1\n-0,25\n", {0.5, 1.0, -0.25}, 1},
        {"largest magnitude, not largest value", "0.2\n-1.0\n0.5\n", {0.2, -1.0, 0.5}, 1},
        {"one line", "0.1,0.9,-0.3", {0.1, 0.9, -0.3}, 1},
        {"one line with blanks, quotes and exponents",
         " 1e-3, \"2.5E+1\"  -4 ,5.",
         {1e-3, 25.0, -4.0, 5.0},
         1},
        {"UTF-8 byte-order mark",
         "\xEF\xBB\xBF"
         "0.5\n0.75\n",
         {0.5, 0.75},
         1},
        {"UTF-16 text",
         std::string("\xFF\xFE"
                     "0\0.\0"
                     "5\0\n\0"
                     "2\0",
                     12),
         {0.5, 2.0},
         1},
    };
    TDSPSpace grid;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TFIR f(&grid);
        TempFile file(c.text, ".txt");
        ASSERT_EQ(f.LoadCoefFile(file.path()), TQzDspResult::qzdOK);
        ASSERT_EQ(f.NExternalCoef(), static_cast<int32_t>(c.taps.size()));
        for (size_t i = 0; i < c.taps.size(); ++i) {
            EXPECT_DOUBLE_EQ(f.ExternalCoefs()[i], c.taps[i]);
        }
        EXPECT_EQ(f.ExternalCoefs()[c.taps.size()], 0.0);
        EXPECT_EQ(f.ExternalLatency(), c.latency);
        EXPECT_EQ(f.FirType(), TFIRType::qztfFCustom); // loading does not select the external taps
    }
}

// Every failure leaves the external taps as they were and resets the designed taps.
TEST(FirCoefs, BadTextFilesAreRefusedAndKeepTheExternalTaps) {
    std::string tooMany;
    for (int i = 0; i < 256; ++i) {
        tooMany += "x\n"; // refused on the count before any conversion
    }
    struct Case {
        const char* what;
        std::string text;
        TQzDspResult result;
    };
    const std::vector<Case> cases = {
        {"commas in a multi-line file", "0.1,0.2\n0.3,0.4\n", TQzDspResult::qzdReadFileError},
        {"empty line", "0.1\n\n0.3\n", TQzDspResult::qzdReadFileError},
        {"empty item", "0.1,,0.3", TQzDspResult::qzdReadFileError},
        {"trailing comma", "0.1,0.3,", TQzDspResult::qzdReadFileError},
        {"not a number", "0.1\nabc\n", TQzDspResult::qzdReadFileError},
        {"two separators", "1.000,5\n2\n", TQzDspResult::qzdReadFileError},
        {"no numbers at all", "", TQzDspResult::qzdReadFileError},
        {"more lines than taps", tooMany, TQzDspResult::qzdFirTapsError},
    };
    TDSPSpace grid;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TFIR f(&grid);
        f.Active = true;
        f.SetFirType(TFIRType::qztfFRectangular);
        loadMarker(f);
        TempFile file(c.text, ".txt");
        EXPECT_EQ(f.LoadCoefFile(file.path()), c.result);
        expectMarkerKept(f);
        EXPECT_EQ(f.DesignedCoefs()[0], 1.0);
        EXPECT_EQ(f.DesignedCoefs()[128], 0.0);
    }
    TFIR f(&grid);
    loadMarker(f);
    EXPECT_EQ(f.LoadCoefFile(std::string(TEST_DATA_DIR) + "/no such coefficients.txt"),
              TQzDspResult::qzdReadFileError);
    expectMarkerKept(f);
}

TEST(FirCoefs, WavFilesLoadTheFirstChannel) {
    TDSPSpace grid;
    TFIR f(&grid);
    f.SetMaxTaps(300);
    // The committed table holds the left channel of the stereo fixture as scipy reads it.
    std::ifstream expected(std::string(TEST_DATA_DIR) + "/wav/expected.txt");
    std::string line;
    std::vector<double> left;
    while (std::getline(expected, line)) {
        if (line.rfind("pcm16_stereo.wav", 0) == 0) {
            std::getline(expected, line);
            std::istringstream values(line);
            double v;
            while (values >> v) {
                left.push_back(v);
            }
        }
    }
    ASSERT_EQ(left.size(), 300u);
    // An upper-case extension is a WAV file too.
    const std::string upper = (std::filesystem::temp_directory_path() / "fir_coefs_test_STEREO.WAV").string();
    std::filesystem::copy_file(fixture("pcm16_stereo.wav"), upper,
                               std::filesystem::copy_options::overwrite_existing);
    ASSERT_EQ(f.LoadCoefFile(upper), TQzDspResult::qzdOK);
    std::filesystem::remove(upper);
    EXPECT_EQ(f.NExternalCoef(), 300);
    for (size_t i = 0; i < left.size(); ++i) {
        ASSERT_EQ(f.ExternalCoefs()[i], left[i]) << i;
    }
}

TEST(FirCoefs, WavFilesThatDoNotFitAreRefused) {
    TDSPSpace grid;
    struct Case {
        const char* what;
        std::string file;
        int32_t maxTaps;
        TQzDspResult result;
    };
    const std::vector<Case> cases = {
        {"more frames than taps", fixture("pcm16_mono.wav"), 255, TQzDspResult::qzdFirTapsError},
        {"another sample rate", fixture("pcm16_44k1.wav"), 300, TQzDspResult::qzdFirFSampleError},
        {"missing file", fixture("missing.wav"), 300, TQzDspResult::qzdReadFileError},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TFIR f(&grid);
        f.SetMaxTaps(c.maxTaps);
        loadMarker(f);
        EXPECT_EQ(f.LoadCoefFile(c.file), c.result);
        expectMarkerKept(f);
    }

    // A file of another kind named .wav, and 8-bit samples, which have no conversion: refused, not
    // loaded as silence.
    TempFile text("0.5\n0.25\n", ".wav");
    TFIR notWav(&grid);
    loadMarker(notWav);
    EXPECT_EQ(notWav.LoadCoefFile(text.path()), TQzDspResult::qzdReadFileError);
    expectMarkerKept(notWav);

    std::string wav8 = std::string("RIFF") + std::string("\x2c\0\0\0", 4) + "WAVEfmt " +
                       std::string("\x10\0\0\0", 4) +
                       std::string("\x01\0\x01\0\x80\xbb\0\0\x80\xbb\0\0\x01\0\x08\0", 16) + "data" +
                       std::string("\x08\0\0\0", 4) + std::string(8, '\x90');
    TempFile file(wav8, ".wav");
    TFIR f(&grid);
    loadMarker(f);
    EXPECT_EQ(f.LoadCoefFile(file.path()), TQzDspResult::qzdReadFileError);
    expectMarkerKept(f);
}

TEST(FirCoefs, ArraysAndSingleTaps) {
    TDSPSpace grid;
    TFIR f(&grid);
    std::vector<double> source(1000, 0.0);
    source[500] = 1.0;
    source[7] = -0.5;
    EXPECT_EQ(f.LoadCoefFromArray(source, 1000), TQzDspResult::qzdOK);
    EXPECT_EQ(f.NExternalCoef(), 255);
    EXPECT_EQ(f.ExternalCoefs()[7], -0.5);
    EXPECT_EQ(f.ExternalLatency(), 7.0);
    EXPECT_THROW(f.LoadCoefFromArray(std::vector<double>(10), 20), ERangeError);

    loadMarker(f);
    f.SetExternalCoef(3, 9.0); // one past the loaded count: ignored
    EXPECT_EQ(f.ExternalCoefs()[3], 0.0);
    f.SetExternalCoef(2, -2.0);
    EXPECT_EQ(f.ExternalCoefs()[2], -2.0);
    EXPECT_EQ(f.ExternalLatency(), 1.0); // rescanned only when the latency is read
    f.Active = true;
    f.SetFirType(TFIRType::qztfFExternCoefs);
    EXPECT_EQ(f.SamplesLatency(), 2.0);
    EXPECT_THROW(f.SetExternalCoef(-1, 1.0), ERangeError);
}

} // namespace
} // namespace vendrel
