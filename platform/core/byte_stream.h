#pragma once
// Little-endian byte streams for the program's binary files.
//
// ByteReader walks a buffer that holds a whole file (or a part of one) and never reads past its end:
// every read checks the bytes that remain and refuses with EReadError, whose text says what was wrong
// and at which byte. Counts read from a file go through CheckCount before anything is allocated for
// them, so a damaged count can never make a reader reserve more memory than the file could fill.
//
// ByteWriter appends little-endian values to a growing buffer; the buffer goes to disk in one piece
// (platform/core/atomic_file.h), so a failed save never leaves a half-written file behind.
//
// Short strings (a length byte followed by a fixed number of character bytes) are Windows-1252 on
// disk and UTF-8 in memory (platform/core/windows1252.h).

#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vendrel {

// What a reader found wrong with a file, in the terms the user is told.
enum class TReadFault : uint8_t {
    Damaged,      // a value that cannot be what the file should hold (or another program's bytes)
    CutShort,     // the file ends before the data it announces
    NewerVersion, // written by a newer version, in a format this program does not read
    OldVersion,   // written by an old version, in a format this program no longer reads
};

// A file whose bytes cannot be read as what they should hold: too short, a count larger than the
// rest of the file, a value out of its range. The text gives the detail (field and byte) for support;
// the fault tells the window which sentence the user reads first.
class EReadError : public std::runtime_error {
public:
    explicit EReadError(const std::string& what, TReadFault fault = TReadFault::Damaged)
        : std::runtime_error(what), fault_(fault), detail_(what) {}
    // The same refusal with another text (the file's name in front); fault and detail are kept.
    EReadError(const std::string& what, const EReadError& cause)
        : std::runtime_error(what), fault_(cause.fault_), detail_(cause.detail_) {}

    TReadFault Fault() const { return fault_; }
    // The reader's own text, without the file's name.
    const std::string& Detail() const { return detail_; }

private:
    TReadFault fault_;
    std::string detail_;
};

// The largest stream the readers and writers handle: positions are signed 32-bit values in the files'
// own conventions, so no file of ours grows beyond 2 GiB.
inline constexpr size_t kMaxStreamSize = static_cast<size_t>(std::numeric_limits<int32_t>::max());

class ByteReader {
public:
    // Reads from data, which must outlive the reader.
    explicit ByteReader(std::span<const uint8_t> data) : data_(data) {}

    size_t Position() const { return pos_; }
    size_t Size() const { return data_.size(); }
    size_t Remaining() const { return data_.size() - pos_; }

    // Moves to an absolute position (at most Size()).
    void Seek(size_t position);
    void Skip(size_t n);

    uint8_t U8();
    uint16_t U16();
    int16_t I16();
    uint32_t U32();
    int32_t I32();
    int64_t I64();
    float F32();
    double F64();
    // The next n bytes, as a view into the buffer.
    std::span<const uint8_t> Bytes(size_t n);

    // A boolean byte: 0 or 1; any other value is refused. `field` names the value in the message.
    bool Bool8(const char* field);
    // An ordinal of an enumeration of `count` values, stored in one byte or in a 32-bit integer.
    uint8_t Ordinal8(unsigned count, const char* field);
    uint8_t Ordinal32(unsigned count, const char* field);

    // Checks a count read from the file before anything is allocated for it: it must not be negative
    // and `count` elements of at least `minElementSize` bytes each must fit in the bytes that remain.
    // Returns the count; refuses with a message naming `what` otherwise.
    size_t CheckCount(int64_t count, size_t minElementSize, const char* what) const;

    // A short string of capacity N: one length byte L (0..N) and N character bytes, of which the
    // first L are Windows-1252 text. Returns the text in UTF-8; a length byte above N is refused.
    std::string ShortString(size_t capacity, const char* field);

    // Refuses the data: throws EReadError with "The file is damaged: " + detail + " (byte <position>)."
    [[noreturn]] void Fail(const std::string& detail) const;

private:
    const uint8_t* Need(size_t n);

    std::span<const uint8_t> data_;
    size_t pos_ = 0;
};

class ByteWriter {
public:
    size_t Position() const { return buf_.size(); }
    const std::vector<uint8_t>& Data() const { return buf_; }
    std::vector<uint8_t> Take() { return std::move(buf_); }

    void U8(uint8_t v);
    void U16(uint16_t v);
    void I16(int16_t v);
    void U32(uint32_t v);
    void I32(int32_t v);
    void I64(int64_t v);
    void F32(float v);
    void F64(double v);
    void Bool8(bool v) { U8(v ? 1 : 0); }
    void Bytes(std::span<const uint8_t> bytes);
    void Zeros(size_t n);

    // A short string of capacity N: the text in Windows-1252 (characters it lacks become '?'), cut to
    // its first N characters, as the length byte, the characters and zeros up to N.
    void ShortString(std::string_view utf8, size_t capacity);

private:
    // Grows the buffer by n bytes; a stream beyond kMaxStreamSize raises ERangeError.
    uint8_t* Grow(size_t n);

    std::vector<uint8_t> buf_;
};

} // namespace vendrel
