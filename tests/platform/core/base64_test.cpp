#include "platform/core/base64.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace vendrel {
namespace {

std::string decoded(const std::string& text) {
    const auto bytes = DecodeBase64(text);
    return std::string(bytes.begin(), bytes.end());
}

TEST(Base64, DecodesGroupsOfFourAndIgnoresARemainder) {
    struct Case {
        std::string text;
        std::string bytes;
    };
    const Case cases[] = {
        {"TWFu", "Man"},   {"TWE=", "Ma"},
        {"TQ==", "M"},     {"TWFuTQ==", "ManM"},
        {"TWFuTW", "Man"}, {"TWF", ""},
        {"", ""},          {"W0FwcEluZm9d", "[AppInfo]"},
        {"YWJj", "abc"},   {"YWJjZA==YWJj", "abcdabc"}, // a padded group ends only that group
    };
    for (const Case& c : cases) {
        EXPECT_EQ(decoded(c.text), c.bytes) << c.text;
    }
}

TEST(Base64, EncoderAndDecoderAgreeOnEveryLengthAndByte) {
    std::string all;
    for (int i = 0; i < 256; ++i) {
        all += static_cast<char>(i);
    }
    for (size_t n : {size_t(0), size_t(1), size_t(2), size_t(3), size_t(255), size_t(256)}) {
        const std::string part = all.substr(0, n);
        const std::string text = EncodeBase64(reinterpret_cast<const uint8_t*>(part.data()), part.size());
        EXPECT_EQ(text.size() % 4, 0u);
        EXPECT_EQ(text.find('\n'), std::string::npos);
        EXPECT_EQ(decoded(text), part) << n;
    }
}

TEST(Base64, DataFileIsDecodedAndAMissingOneRaises) {
    const auto path =
        std::filesystem::temp_directory_path() / ("vendrel_base64_" + std::to_string(getpid()) + ".dat");
    std::ofstream(path, std::ios::binary) << "W0FwcEluZm9dClNPRlRXQVJFX05BTUU9VmVuZHJlbAo=";
    const auto bytes = DecodeDataFile(path.string());
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "[AppInfo]\nSOFTWARE_NAME=Vendrel\n");
    std::filesystem::remove(path);
    EXPECT_THROW(DecodeDataFile(path.string()), std::runtime_error);
}

} // namespace
} // namespace vendrel
