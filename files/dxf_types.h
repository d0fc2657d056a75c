#pragma once
// Value types of DXF group codes and the point record shared by the DXF reader's units.

#include <cstdint>

namespace vendrel {

// Value type of a group, by its code. The ordinals follow the design's order.
enum class TDxfType : uint8_t {
    dtUnknown,
    dtInt16,
    dtInt32,
    dtInt64,
    dtDouble,
    dtStr2049,
    dtStr255,
    dtBoolean,
    dtStrHex,
    dtBin1,
};

// Type of a group code; codes no DXF version assigns (and negative codes) are dtUnknown.
TDxfType DxfGroupCodeType(int32_t Code);

// A point or vector of a drawing, in drawing units.
struct TDxfPoint {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    bool operator==(const TDxfPoint&) const = default;
};

} // namespace vendrel
