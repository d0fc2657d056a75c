#include "platform/core/byte_stream.h"

#include "platform/core/numeric.h"
#include "platform/core/windows1252.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace vendrel {
namespace {

// The size up to which a count's elements could belong to a real file of ours (projects with pictures
// reach a few tens of mebibytes).
constexpr uint64_t kPlausibleFileBytes = 256ull << 20;

template <typename U> U LoadLE(const uint8_t* p) {
    U v = 0;
    for (size_t i = 0; i < sizeof(U); ++i) {
        v |= static_cast<U>(static_cast<U>(p[i]) << (8 * i));
    }
    return v;
}

template <typename U> void StoreLE(uint8_t* p, U v) {
    for (size_t i = 0; i < sizeof(U); ++i) {
        p[i] = static_cast<uint8_t>(v >> (8 * i));
    }
}

} // namespace

// ---- ByteReader ----

void ByteReader::Fail(const std::string& detail) const {
    throw EReadError("The file is damaged: " + detail + " (byte " + std::to_string(pos_) + ").");
}

const uint8_t* ByteReader::Need(size_t n) {
    if (n > Remaining()) {
        throw EReadError("The file is damaged or incomplete: it ends at byte " + std::to_string(Size()) +
                             ", but " + std::to_string(n) + " more bytes were expected at byte " +
                             std::to_string(pos_) + ".",
                         TReadFault::CutShort);
    }
    const uint8_t* p = data_.data() + pos_;
    pos_ += n;
    return p;
}

void ByteReader::Seek(size_t position) {
    if (position > Size()) {
        throw EReadError("The file is damaged or incomplete: it ends at byte " + std::to_string(Size()) +
                             ", before byte " + std::to_string(position) + ".",
                         TReadFault::CutShort);
    }
    pos_ = position;
}

void ByteReader::Skip(size_t n) {
    Need(n);
}

uint8_t ByteReader::U8() {
    return *Need(1);
}
uint16_t ByteReader::U16() {
    return LoadLE<uint16_t>(Need(2));
}
int16_t ByteReader::I16() {
    return static_cast<int16_t>(U16());
}
uint32_t ByteReader::U32() {
    return LoadLE<uint32_t>(Need(4));
}
int32_t ByteReader::I32() {
    return static_cast<int32_t>(U32());
}
int64_t ByteReader::I64() {
    return static_cast<int64_t>(LoadLE<uint64_t>(Need(8)));
}
float ByteReader::F32() {
    return std::bit_cast<float>(U32());
}
double ByteReader::F64() {
    return std::bit_cast<double>(LoadLE<uint64_t>(Need(8)));
}

std::span<const uint8_t> ByteReader::Bytes(size_t n) {
    return {Need(n), n};
}

bool ByteReader::Bool8(const char* field) {
    const size_t at = pos_;
    const uint8_t v = U8();
    if (v > 1) {
        pos_ = at;
        Fail(std::string(field) + " holds " + std::to_string(v) + ", which is not a yes/no value");
    }
    return v == 1;
}

uint8_t ByteReader::Ordinal8(unsigned count, const char* field) {
    const size_t at = pos_;
    const uint8_t v = U8();
    if (v >= count) {
        pos_ = at;
        Fail(std::string(field) + " holds " + std::to_string(v) + ", which is not one of its " +
             std::to_string(count) + " values");
    }
    return v;
}

uint8_t ByteReader::Ordinal32(unsigned count, const char* field) {
    const size_t at = pos_;
    const uint32_t v = U32();
    if (v >= count) {
        pos_ = at;
        Fail(std::string(field) + " holds " + std::to_string(static_cast<int32_t>(v)) +
             ", which is not one of its " + std::to_string(count) + " values");
    }
    return static_cast<uint8_t>(v);
}

size_t ByteReader::CheckCount(int64_t count, size_t minElementSize, const char* what) const {
    if (count < 0) {
        Fail(std::string("the number of ") + what + " is negative (" + std::to_string(count) + ")");
    }
    const auto n = static_cast<uint64_t>(count);
    if (minElementSize > 0 && n > Remaining() / minElementSize) {
        // A count that a real file could hold, with fewer bytes left than it needs, is most likely a
        // file cut short; an absurd count is damage.
        const bool plausible = n <= kPlausibleFileBytes / minElementSize;
        throw EReadError("The file is damaged or incomplete: the number of " + std::string(what) + " (" +
                             std::to_string(count) + ") needs more than the " + std::to_string(Remaining()) +
                             " bytes left in the file (byte " + std::to_string(pos_) + ").",
                         plausible ? TReadFault::CutShort : TReadFault::Damaged);
    }
    return static_cast<size_t>(n);
}

std::string ByteReader::ShortString(size_t capacity, const char* field) {
    const size_t at = pos_;
    const uint8_t len = U8();
    if (len > capacity) {
        pos_ = at;
        Fail(std::string("the text ") + field + " claims " + std::to_string(len) +
             " characters but has room for " + std::to_string(capacity));
    }
    const auto chars = Bytes(capacity);
    return Windows1252ToUtf8(std::string_view(reinterpret_cast<const char*>(chars.data()), len));
}

// ---- ByteWriter ----

uint8_t* ByteWriter::Grow(size_t n) {
    if (n > kMaxStreamSize - buf_.size()) {
        throw ERangeError("Integer overflow: a file cannot grow beyond 2 GiB");
    }
    const size_t at = buf_.size();
    buf_.resize(at + n);
    return buf_.data() + at;
}

void ByteWriter::U8(uint8_t v) {
    *Grow(1) = v;
}
void ByteWriter::U16(uint16_t v) {
    StoreLE(Grow(2), v);
}
void ByteWriter::I16(int16_t v) {
    U16(static_cast<uint16_t>(v));
}
void ByteWriter::U32(uint32_t v) {
    StoreLE(Grow(4), v);
}
void ByteWriter::I32(int32_t v) {
    U32(static_cast<uint32_t>(v));
}
void ByteWriter::I64(int64_t v) {
    StoreLE(Grow(8), static_cast<uint64_t>(v));
}
void ByteWriter::F32(float v) {
    U32(std::bit_cast<uint32_t>(v));
}
void ByteWriter::F64(double v) {
    StoreLE(Grow(8), std::bit_cast<uint64_t>(v));
}

void ByteWriter::Bytes(std::span<const uint8_t> bytes) {
    if (!bytes.empty()) {
        std::memcpy(Grow(bytes.size()), bytes.data(), bytes.size());
    }
}

void ByteWriter::Zeros(size_t n) {
    Grow(n); // resize fills with zeros
}

void ByteWriter::ShortString(std::string_view utf8, size_t capacity) {
    if (capacity > 255) {
        throw ERangeError("A short string holds at most 255 characters");
    }
    std::string text = Utf8ToWindows1252(utf8);
    if (text.size() > capacity) {
        text.resize(capacity);
    }
    U8(static_cast<uint8_t>(text.size()));
    Bytes({reinterpret_cast<const uint8_t*>(text.data()), text.size()});
    Zeros(capacity - text.size());
}

} // namespace vendrel
