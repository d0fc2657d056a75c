#include "files/library_bytes.h"

#include <array>
#include <cstring>
#include <fstream>
#include <limits>

namespace vendrel {

namespace {

constexpr size_t kMaxFileBytes = static_cast<size_t>(std::numeric_limits<int32_t>::max());

// Code points of bytes 0x80..0x9F in Windows-1252; the five unassigned bytes keep their own value.
constexpr std::array<uint16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

[[noreturn]] void fail(const std::string& what) {
    throw ELibraryFileError(what);
}

} // namespace

std::vector<uint8_t> ReadLibraryFileHead(const std::filesystem::path& FileName, size_t Count) {
    std::ifstream in(FileName, std::ios::binary);
    if (!in) {
        fail("Cannot open file \"" + FileName.string() + "\"");
    }
    std::vector<uint8_t> bytes;
    std::array<char, 32768> buffer;
    while (bytes.size() < Count && in) {
        in.read(buffer.data(), static_cast<std::streamsize>(std::min(buffer.size(), Count - bytes.size())));
        bytes.insert(bytes.end(), buffer.data(), buffer.data() + in.gcount());
        if (bytes.size() > kMaxFileBytes) {
            fail("File too large: \"" + FileName.string() + "\"");
        }
    }
    if (in.bad()) {
        fail("Stream read error");
    }
    return bytes;
}

std::vector<uint8_t> ReadLibraryFileBytes(const std::filesystem::path& FileName) {
    return ReadLibraryFileHead(FileName, kMaxFileBytes + 1);
}

std::string LibraryTextToUtf8(std::span<const uint8_t> Bytes) {
    std::string out;
    out.reserve(Bytes.size());
    for (const uint8_t b : Bytes) {
        const uint32_t cp = (b >= 0x80 && b < 0xA0) ? kCp1252High[b - 0x80] : b;
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

const uint8_t* TLibraryReader::take(size_t n) {
    if (Remaining() < n) {
        fail("Stream read error");
    }
    const uint8_t* p = FBytes.data() + FPos;
    FPos += n;
    return p;
}

void TLibraryReader::Skip(size_t Count) {
    take(Count);
}

uint8_t TLibraryReader::U8() {
    return *take(1);
}

uint16_t TLibraryReader::U16() {
    const uint8_t* p = take(2);
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

int16_t TLibraryReader::I16() {
    return static_cast<int16_t>(U16());
}

int32_t TLibraryReader::I32() {
    const uint8_t* p = take(4);
    const uint32_t u =
        uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
    return static_cast<int32_t>(u);
}

float TLibraryReader::F32() {
    const uint32_t u = static_cast<uint32_t>(I32());
    float f;
    std::memcpy(&f, &u, sizeof f);
    return f;
}

double TLibraryReader::F64() {
    const uint64_t lo = static_cast<uint32_t>(I32());
    const uint64_t hi = static_cast<uint32_t>(I32());
    const uint64_t u = lo | (hi << 32);
    double d;
    std::memcpy(&d, &u, sizeof d);
    return d;
}

std::string TLibraryReader::ShortString(size_t Capacity) {
    const uint8_t* p = take(Capacity + 1);
    const size_t length = std::min<size_t>(p[0], Capacity);
    return LibraryTextToUtf8(std::span(p + 1, length));
}

std::vector<uint8_t> TLibraryReader::Bytes(int32_t Count) {
    const size_t n = this->Count(Count, 1, "byte block");
    const uint8_t* p = take(n);
    return std::vector<uint8_t>(p, p + n);
}

std::string TLibraryReader::ZeroTerminated() {
    const uint8_t* begin = FBytes.data() + FPos;
    const void* zero = std::memchr(begin, 0, Remaining());
    if (zero == nullptr) {
        fail("Stream read error");
    }
    const size_t n = static_cast<size_t>(static_cast<const uint8_t*>(zero) - begin);
    take(n + 1);
    return LibraryTextToUtf8(std::span(begin, n));
}

size_t TLibraryReader::Count(int64_t Stored, size_t MinElementBytes, const char* what) const {
    if (Stored < 0) {
        fail(std::string("Negative count of ") + what);
    }
    const uint64_t n = static_cast<uint64_t>(Stored);
    if (MinElementBytes > 0 && n > Remaining() / MinElementBytes) {
        fail(std::string("Count of ") + what + " does not fit the file");
    }
    return static_cast<size_t>(n);
}

} // namespace vendrel
