#pragma once
// The committed sample library and the values its generator wrote into it.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "platform/core/image_decoder.h"

namespace vendrel::testing {

inline std::filesystem::path SampleLibraryDir() {
    return std::filesystem::path(TEST_DATA_DIR) / ".." / ".." / "tools" / "sample_library" / "library";
}

inline std::vector<uint8_t> FileBytes(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::filesystem::path& p, const std::vector<uint8_t>& bytes) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// expected.txt: one "key value..." line per value the generator wrote.
inline std::map<std::string, std::string> SampleExpectations() {
    std::map<std::string, std::string> values;
    std::ifstream in(SampleLibraryDir() / ".." / "expected.txt");
    std::string line;
    while (std::getline(in, line)) {
        const size_t blank = line.find(' ');
        if (blank != std::string::npos) {
            values[line.substr(0, blank)] = line.substr(blank + 1);
        }
    }
    return values;
}

inline std::vector<double> Numbers(const std::string& text) {
    std::istringstream in(text);
    std::vector<double> v;
    double x;
    while (in >> x) {
        v.push_back(x);
    }
    return v;
}

// Takes any PNG signature for a 2 x 2 picture.
struct PngSignatureDecoder : IImageDecoder {
    bool DecodeImage(std::span<const uint8_t> b, TBitmap& image) override {
        if (b.size() < 8 || b[0] != 0x89 || b[1] != 'P' || b[2] != 'N' || b[3] != 'G') {
            return false;
        }
        image = TBitmap(2, 2, TAlphaColors::Blue);
        return true;
    }
};

// A temporary folder removed with the object.
struct TempDir {
    TempDir() {
        path = std::filesystem::temp_directory_path() /
               ("vendrel_lib_" + std::to_string(::getpid()) + "_" + std::to_string(counter()++));
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    static int& counter() {
        static int n = 0;
        return n;
    }
    std::filesystem::path path;
};

} // namespace vendrel::testing
