#pragma once
// Integer conversions and checked arithmetic shared by every layer.
//
// Rounding to an integer takes halves to the even neighbour (127.5 -> 128, 10.5 -> 10), as the
// program's stored files and grids expect; `Trunc` cuts toward zero. Converting a NaN, an infinity or
// a value outside the target type raises ERangeError instead of producing garbage.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>

namespace vendrel {

// Raised by checked indexing, integer overflow and invalid float-to-integer conversions.
class ERangeError : public std::runtime_error {
public:
    explicit ERangeError(const std::string& what = "Range check error") : std::runtime_error(what) {}
};

// Raised when a NaN or infinity is converted to an integer.
class EInvalidOp : public ERangeError {
public:
    explicit EInvalidOp(const std::string& what = "Invalid floating point operation") : ERangeError(what) {}
};

namespace detail {
template <typename Int> Int checkedFromDouble(double v) {
    if (!std::isfinite(v)) {
        throw EInvalidOp();
    }
    // Every integer type up to 64 bits: compare in double, whose limits are exact powers of two.
    constexpr double lo = static_cast<double>(std::numeric_limits<Int>::min());
    constexpr double hiExclusive = static_cast<double>(std::numeric_limits<Int>::max()) + 1.0;
    if (v < lo || v >= hiExclusive) {
        throw ERangeError();
    }
    return static_cast<Int>(v);
}
} // namespace detail

// Round half to even (banker's rounding) under the default rounding mode.
template <typename Int = int64_t> Int RoundHalfEven(double v) {
    if (!std::isfinite(v)) {
        throw EInvalidOp();
    }
    return detail::checkedFromDouble<Int>(std::nearbyint(v));
}

// Cut toward zero.
template <typename Int = int64_t> Int Trunc(double v) {
    if (!std::isfinite(v)) {
        throw EInvalidOp();
    }
    return detail::checkedFromDouble<Int>(std::trunc(v));
}

// Integer part and fractional part as floating values: Int(x) cuts toward zero, Frac(x) = x - Int(x).
inline double IntPart(double v) {
    return std::trunc(v);
}
inline double Frac(double v) {
    return v - std::trunc(v);
}

// Overflow-checked integer arithmetic.
template <typename Int> Int CheckedAdd(Int a, Int b) {
    Int r;
    if (__builtin_add_overflow(a, b, &r)) {
        throw ERangeError("Integer overflow");
    }
    return r;
}
template <typename Int> Int CheckedSub(Int a, Int b) {
    Int r;
    if (__builtin_sub_overflow(a, b, &r)) {
        throw ERangeError("Integer overflow");
    }
    return r;
}
template <typename Int> Int CheckedMul(Int a, Int b) {
    Int r;
    if (__builtin_mul_overflow(a, b, &r)) {
        throw ERangeError("Integer overflow");
    }
    return r;
}

// Narrowing that raises instead of wrapping.
template <typename To, typename From> To CheckedCast(From v) {
    static_assert(std::is_integral_v<To> && std::is_integral_v<From>);
    if (!std::in_range<To>(v)) {
        throw ERangeError("Integer overflow");
    }
    return static_cast<To>(v);
}

// Verified index into a vector (or anything with size() and operator[]).
template <typename Container> auto& At(Container& c, int64_t i) {
    if (i < 0 || static_cast<uint64_t>(i) >= static_cast<uint64_t>(c.size())) {
        throw ERangeError();
    }
    return c[static_cast<size_t>(i)];
}

} // namespace vendrel
