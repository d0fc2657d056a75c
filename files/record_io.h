#pragma once
// Field-by-field transfer of the records of the program's files.
//
// Every record has one routine that lists its stored fields in their stored order,
//     template <class IO, class R> constexpr void Transfer(IO& io, R& record);
// and that routine writes it (RecordWriter, with R const), reads it (RecordReader) and measures it
// (RecordSizer, at compile time). A writer and its reader therefore cannot disagree about a layout,
// and `static_assert(SizeOf<Record>(...) == N)` checks each layout against its stated size.
//
// Values are little-endian; short strings are Windows-1252 on disk and UTF-8 in memory; padding and
// reserved bytes are written as zeros and skipped when read. Reading refuses with EReadError (from
// platform/core/byte_stream.h): booleans other than 0 and 1, enumeration ordinals out of range,
// string lengths beyond their capacity and counts that are negative or larger than the rest of the
// file could hold, before anything is allocated for them. Writing refuses with ERangeError values that
// could not be read back (an enumeration value out of range, a list too long for its count).

#include "files/record_enums.h"
#include "platform/core/byte_stream.h"
#include "platform/core/geometry3d.h"
#include "platform/core/numeric.h"
#include "platform/core/windows1252.h"

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace vendrel {

// R is the record type T, const (writing, measuring) or not (reading).
template <typename R, typename T>
concept RecordOf = std::same_as<std::remove_const_t<R>, T>;

class RecordWriter {
public:
    static constexpr bool kReading = false;
    explicit RecordWriter(ByteWriter& w) : w_(w) {}
    size_t Position() const { return w_.Position(); }

    void U8(const uint8_t& v) { w_.U8(v); }
    void I32(const int32_t& v) { w_.I32(v); }
    void U32(const uint32_t& v) { w_.U32(v); }
    void F32(const float& v) { w_.F32(v); }
    void F64(const double& v) { w_.F64(v); }
    void Point(const TPoint3D& p) {
        w_.F32(p.X);
        w_.F32(p.Y);
        w_.F32(p.Z);
    }
    void Bool(const bool& v, const char*) { w_.Bool8(v); }
    template <typename E> void Enum8(const E& v, const char* field) { w_.U8(Checked(v, field)); }
    template <typename E> void Enum32(const E& v, const char* field) { w_.I32(Checked(v, field)); }
    void Str(const std::string& s, size_t capacity, const char*) { w_.ShortString(s, capacity); }
    // Padding between fields and reserved bytes.
    void Pad(size_t n) { w_.Zeros(n); }
    // Raw bytes, as many as the list holds.
    void Bytes(const std::vector<uint8_t>& bytes) { w_.Bytes(bytes); }
    // A text in a field of n characters padded with blanks, whose length byte is always n.
    void Padded(const std::string& s, size_t n, const char*) {
        std::string text = Utf8ToWindows1252(s);
        text.resize(n, ' ');
        w_.U8(static_cast<uint8_t>(n));
        w_.Bytes({reinterpret_cast<const uint8_t*>(text.data()), n});
    }
    // The int32 count of a nested list.
    template <typename List> void Count(const List& list, size_t, const char* what) {
        if (list.size() > static_cast<size_t>(INT32_MAX)) {
            throw ERangeError(std::string("Too many ") + what + " to store");
        }
        w_.I32(static_cast<int32_t>(list.size()));
    }
    // A list whose length is a count stored elsewhere: the list must hold exactly that many.
    template <typename List> void ForCount(const List& list, int64_t count, size_t, const char* what) {
        if (count < 0 || list.size() != static_cast<size_t>(count)) {
            throw ERangeError(std::string("Cannot store ") + what + ": the record holds " +
                              std::to_string(list.size()) + " but counts " + std::to_string(count));
        }
    }
    // A value that the format cannot hold.
    [[noreturn]] void Refuse(const std::string& detail) const { throw ERangeError("Cannot store " + detail); }
    // Checks that the field about to be transferred sits at `offset` from the record's start.
    void At(size_t start, size_t offset) const {
        if (Position() != start + offset) {
            throw std::logic_error("Record layout out of step");
        }
    }

private:
    template <typename E> static uint8_t Checked(E v, const char* field) {
        const auto ordinal = static_cast<unsigned>(v);
        if (ordinal >= kStoredEnumCount<E>) {
            throw ERangeError(std::string("Cannot store ") + field + ": " + std::to_string(ordinal) +
                              " is not one of its values");
        }
        return static_cast<uint8_t>(ordinal);
    }

    ByteWriter& w_;
};

class RecordReader {
public:
    static constexpr bool kReading = true;
    explicit RecordReader(ByteReader& r) : r_(r) {}
    size_t Position() const { return r_.Position(); }
    ByteReader& Stream() { return r_; }

    void U8(uint8_t& v) { v = r_.U8(); }
    void I32(int32_t& v) { v = r_.I32(); }
    void U32(uint32_t& v) { v = r_.U32(); }
    void F32(float& v) { v = r_.F32(); }
    void F64(double& v) { v = r_.F64(); }
    void Point(TPoint3D& p) {
        p.X = r_.F32();
        p.Y = r_.F32();
        p.Z = r_.F32();
    }
    void Bool(bool& v, const char* field) { v = r_.Bool8(field); }
    template <typename E> void Enum8(E& v, const char* field) {
        v = static_cast<E>(r_.Ordinal8(kStoredEnumCount<E>, field));
    }
    template <typename E> void Enum32(E& v, const char* field) {
        v = static_cast<E>(r_.Ordinal32(kStoredEnumCount<E>, field));
    }
    void Str(std::string& s, size_t capacity, const char* field) { s = r_.ShortString(capacity, field); }
    // Raw bytes, as many as the list holds (sized before, with ForCount).
    void Bytes(std::vector<uint8_t>& bytes) {
        const auto in = r_.Bytes(bytes.size());
        bytes.assign(in.begin(), in.end());
    }
    // A blank-padded text field of n characters; trailing blanks are removed.
    void Padded(std::string& s, size_t n, const char* field) {
        s = r_.ShortString(n, field);
        s.erase(s.find_last_not_of(' ') + 1);
    }
    void Pad(size_t n) { r_.Skip(n); }
    // Reads the count, checks it against the bytes left (each element takes at least minElementSize
    // bytes) and sizes the list.
    template <typename List> void Count(List& list, size_t minElementSize, const char* what) {
        const int32_t n = r_.I32();
        list.clear();
        list.resize(r_.CheckCount(n, minElementSize, what));
    }
    // Sizes a list by a count read earlier, checked like Count's.
    template <typename List>
    void ForCount(List& list, int64_t count, size_t minElementSize, const char* what) {
        list.clear();
        list.resize(r_.CheckCount(count, minElementSize, what));
    }
    [[noreturn]] void Refuse(const std::string& detail) const { r_.Fail(detail); }
    void At(size_t start, size_t offset) const {
        if (Position() != start + offset) {
            throw std::logic_error("Record layout out of step");
        }
    }

private:
    ByteReader& r_;
};

// Counts the stored bytes of a record; usable in constant expressions.
class RecordSizer {
public:
    static constexpr bool kReading = false;
    constexpr size_t Position() const { return n_; }

    constexpr void U8(const uint8_t&) { n_ += 1; }
    constexpr void I32(const int32_t&) { n_ += 4; }
    constexpr void U32(const uint32_t&) { n_ += 4; }
    constexpr void F32(const float&) { n_ += 4; }
    constexpr void F64(const double&) { n_ += 8; }
    constexpr void Point(const TPoint3D&) { n_ += 12; }
    constexpr void Bool(const bool&, const char*) { n_ += 1; }
    template <typename E> constexpr void Enum8(const E&, const char*) { n_ += 1; }
    template <typename E> constexpr void Enum32(const E&, const char*) { n_ += 4; }
    constexpr void Str(const std::string&, size_t capacity, const char*) { n_ += capacity + 1; }
    constexpr void Bytes(const std::vector<uint8_t>& bytes) { n_ += bytes.size(); }
    constexpr void Padded(const std::string&, size_t n, const char*) { n_ += n + 1; }
    constexpr void Pad(size_t n) { n_ += n; }
    template <typename List> constexpr void Count(const List&, size_t, const char*) { n_ += 4; }
    template <typename List> constexpr void ForCount(const List&, int64_t, size_t, const char*) {}
    [[noreturn]] void Refuse(const std::string&) const { throw std::logic_error("Refused while measuring"); }
    constexpr void At(size_t start, size_t offset) const {
        if (n_ != start + offset) {
            throw std::logic_error("Record layout out of step");
        }
    }

private:
    size_t n_ = 0;
};

// The stored size of a default (empty) Record as `transfer(RecordSizer&, const Record&)` transfers it.
template <typename Record, typename Fn> constexpr size_t SizeOf(Fn transfer) {
    RecordSizer s;
    Record r{}; // not const: GCC 12 refuses to build a const std::string in a constant expression
    transfer(s, std::as_const(r));
    return s.Position();
}

// Writes one record with its field list, `transfer(io, record)`.
template <typename Record, typename Fn> void WriteRecord(ByteWriter& w, const Record& r, Fn transfer) {
    RecordWriter io(w);
    transfer(io, r);
}

// Reads one record with its field list into a fresh record and hands it over whole, so a refused read
// leaves the caller's record as it was.
template <typename Record, typename Fn> void ReadRecord(ByteReader& rd, Record& r, Fn transfer) {
    RecordReader io(rd);
    Record read;
    transfer(io, read);
    r = std::move(read);
}

// Clang up to version 14 cannot build a std::string of libstdc++ in a constant expression, so the
// compile-time size checks run in the GCC build only; the tests measure every size at run time too.
#if defined(__clang__)
#define VENDREL_STATIC_RECORD_SIZES 0
#else
#define VENDREL_STATIC_RECORD_SIZES 1
#endif

} // namespace vendrel
