#include "files/dxf_types.h"

namespace vendrel {

namespace {
struct CodeRange {
    int32_t First;
    int32_t Last;
    TDxfType Type;
};

// Ranges in ascending order; a code between two ranges has no type.
constexpr CodeRange kCodeRanges[] = {
    {0, 9, TDxfType::dtStr2049},      {10, 59, TDxfType::dtDouble},    {60, 79, TDxfType::dtInt16},
    {90, 99, TDxfType::dtInt32},      {100, 100, TDxfType::dtStr255},  {102, 102, TDxfType::dtStr255},
    {105, 105, TDxfType::dtStr255},   {110, 149, TDxfType::dtDouble},  {160, 169, TDxfType::dtInt64},
    {170, 179, TDxfType::dtInt16},    {210, 239, TDxfType::dtDouble},  {270, 289, TDxfType::dtInt16},
    {290, 299, TDxfType::dtBoolean},  {300, 309, TDxfType::dtStr255},  {310, 319, TDxfType::dtBin1},
    {320, 369, TDxfType::dtStrHex},   {370, 389, TDxfType::dtInt16},   {390, 399, TDxfType::dtStrHex},
    {400, 409, TDxfType::dtInt16},    {410, 419, TDxfType::dtStr255},  {420, 429, TDxfType::dtInt32},
    {430, 439, TDxfType::dtStr255},   {440, 459, TDxfType::dtInt32},   {460, 469, TDxfType::dtDouble},
    {470, 479, TDxfType::dtStr255},   {480, 489, TDxfType::dtStrHex},  {999, 1009, TDxfType::dtStr2049},
    {1010, 1059, TDxfType::dtDouble}, {1060, 1070, TDxfType::dtInt16}, {1071, 1071, TDxfType::dtInt32},
};
} // namespace

TDxfType DxfGroupCodeType(int32_t Code) {
    for (const CodeRange& r : kCodeRanges) {
        if (Code < r.First) {
            break;
        }
        if (Code <= r.Last) {
            return r.Type;
        }
    }
    return TDxfType::dtUnknown;
}

} // namespace vendrel
