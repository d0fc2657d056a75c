#pragma once
// Reading library model files: the whole file in memory, then little-endian fields at a running
// position that never passes the end (platform/core/byte_stream.h). Every count is checked against the
// bytes that remain before anything is allocated for it, so a damaged file fails with an EReadError
// instead of reading past its data or asking for absurd amounts of memory.
//
// Library files come from another program: their booleans are taken as any non-zero byte and a short
// string's length byte above its capacity is cut to the capacity, as those files have always been read.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "platform/core/byte_stream.h"

namespace vendrel {

// A library file that cannot be opened, or whose contents the program refuses to load.
class ELibraryFileError : public EReadError {
public:
    explicit ELibraryFileError(const std::string& what) : EReadError(what) {}
};

// The whole file; raises ELibraryFileError when it cannot be opened or read, or exceeds 2 GiB.
std::vector<uint8_t> ReadLibraryFileBytes(const std::filesystem::path& FileName);
// At most the first Count bytes of the file (fewer when it is shorter).
std::vector<uint8_t> ReadLibraryFileHead(const std::filesystem::path& FileName, size_t Count);

class TLibraryReader {
public:
    explicit TLibraryReader(std::span<const uint8_t> Bytes) : FReader(Bytes) {}

    size_t Position() const { return FReader.Position(); }
    size_t Remaining() const { return FReader.Remaining(); }
    void Skip(size_t Count) { FReader.Skip(Count); }

    uint8_t U8() { return FReader.U8(); }
    bool Bool8() { return FReader.U8() != 0; }
    int16_t I16() { return FReader.I16(); }
    uint16_t U16() { return FReader.U16(); }
    int32_t I32() { return FReader.I32(); }
    float F32() { return FReader.F32(); }
    double F64() { return FReader.F64(); }
    // sstr(Capacity): a length byte and Capacity bytes of Windows-1252 text, as UTF-8.
    std::string ShortString(size_t Capacity);
    // Count raw bytes (Count checked as a stored size).
    std::vector<uint8_t> Bytes(int32_t Count);
    // A text of single-byte characters up to a zero byte (which is consumed).
    std::string ZeroTerminated();
    // A stored count of elements of at least MinElementBytes each: raises unless it is 0 or more and
    // that many elements can still be present.
    size_t Count(int64_t Stored, size_t MinElementBytes, const char* what) const {
        return FReader.CheckCount(Stored, MinElementBytes, what);
    }

private:
    ByteReader FReader;
};

} // namespace vendrel
