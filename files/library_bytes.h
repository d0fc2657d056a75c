#pragma once
// Reading library model files: the whole file in memory, then little-endian fields at a running
// position that never passes the end. Every count is checked against the bytes that remain before
// anything is allocated for it, so a damaged file fails with ELibraryFileError instead of reading
// past its data or asking for absurd amounts of memory.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace vendrel {

// A library file that cannot be opened, ends early or holds sizes that do not fit its bytes.
class ELibraryFileError : public std::runtime_error {
public:
    explicit ELibraryFileError(const std::string& what) : std::runtime_error(what) {}
};

// The whole file; raises ELibraryFileError when it cannot be opened or read, or exceeds 2 GiB (the
// running position of the record files is a signed 32-bit value).
std::vector<uint8_t> ReadLibraryFileBytes(const std::filesystem::path& FileName);
// At most the first Count bytes of the file (fewer when it is shorter).
std::vector<uint8_t> ReadLibraryFileHead(const std::filesystem::path& FileName, size_t Count);

// Single-byte text of the library files (Windows-1252) as UTF-8.
std::string LibraryTextToUtf8(std::span<const uint8_t> Bytes);

class TLibraryReader {
public:
    explicit TLibraryReader(std::span<const uint8_t> Bytes) : FBytes(Bytes) {}

    size_t Position() const { return FPos; }
    size_t Remaining() const { return FBytes.size() - FPos; }
    void Skip(size_t Count);

    uint8_t U8();
    bool Bool8() { return U8() != 0; }
    int16_t I16();
    uint16_t U16();
    int32_t I32();
    float F32();
    double F64();
    // sstr(Capacity): a length byte and Capacity bytes. A length above the capacity is cut to it.
    std::string ShortString(size_t Capacity);
    // Count raw bytes (Count checked as a stored size).
    std::vector<uint8_t> Bytes(int32_t Count);
    // A text of single-byte characters up to a zero byte (which is consumed).
    std::string ZeroTerminated();

    // A stored count of elements of at least MinElementBytes each: raises unless it is 0 or more and
    // that many elements can still be present.
    size_t Count(int64_t Stored, size_t MinElementBytes, const char* what) const;

private:
    const uint8_t* take(size_t n);

    std::span<const uint8_t> FBytes;
    size_t FPos = 0;
};

} // namespace vendrel
