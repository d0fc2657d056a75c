#include "editor/palettes.h"

#include "platform/core/numeric.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <stdexcept>

namespace vendrel {

namespace {

const std::map<std::string, std::vector<TPaletteStop>>& stopTables() {
    static const std::map<std::string, std::vector<TPaletteStop>> tables = {
        {"MapVendrel",
         {{0, 0xFFFF0100},
          {39, 0xFFFF5000},
          {99, 0xFFFFE800},
          {117, 0xFFF5FF00},
          {146, 0xFF8CFF00},
          {151, 0xFF68FF00},
          {162, 0xFF08FF00},
          {165, 0xFF00FD0D},
          {172, 0xFF00F07F},
          {188, 0xFF00D8D9},
          {201, 0xFF00BAE6},
          {225, 0xFF0074B6},
          {269, 0xFF002166},
          {299, 0xFF000248}}},
        {"MapFire",
         {{0, 0xFFFFFFFF},
          {14, 0xFFFFFCB4},
          {27, 0xFFFFE635},
          {57, 0xFFE29112},
          {85, 0xFFB4440D},
          {232, 0xFF442217},
          {299, 0xFF1E1D1D}}},
        {"MapWideFire",
         {{0, 0xFFFFFFFF},
          {10, 0xFFFFFFD5},
          {28, 0xFFFFFD61},
          {51, 0xFFFFA728},
          {79, 0xFFF4580D},
          {111, 0xFFBC210D},
          {146, 0xFF850819},
          {213, 0xFF190382},
          {244, 0xFF00038E},
          {267, 0xFF000243},
          {297, 0xFF000112},
          {299, 0xFF000112}}},
        {"MapRedBlue",
         {{0, 0xFFFFFFFF},
          {7, 0xFFFFCFCF},
          {73, 0xFFFE2826},
          {93, 0xFFF51017},
          {143, 0xFF9C0616},
          {169, 0xFF720619},
          {268, 0xFF11062B},
          {299, 0xFF07062D}}},
        {"MapVendrelComp",
         {{0, 0xFFA90707},
          {19, 0xFFDA0300},
          {74, 0xFFEE7300},
          {117, 0xFFFFE800},
          {131, 0xFFF4FF00},
          {149, 0xFF91FF00},
          {152, 0xFF76FF00},
          {159, 0xFF0DFF00},
          {164, 0xFF00FF1F},
          {176, 0xFF00FFAD},
          {187, 0xFF00F1FA},
          {203, 0xFF00BBF8},
          {238, 0xFF012593},
          {254, 0xFF02057D},
          {299, 0xFF02057D}}},
        {"MapAltern",
         {{0, 0xFFFF1818},
          {69, 0xFFCC0F0F},
          {132, 0xFF7E0000},
          {147, 0xFF0F0000},
          {155, 0xFF000F0F},
          {170, 0xFF006463},
          {281, 0xFF09C4C2},
          {299, 0xFF09C9C7}}},
    };
    return tables;
}

uint8_t channelBetween(uint8_t a, uint8_t b, double t) {
    return static_cast<uint8_t>(RoundHalfEven<int32_t>(a + (static_cast<double>(b) - a) * t));
}

} // namespace

const std::vector<TPaletteStop>& PaletteStops(const std::string& Name) {
    static const std::vector<TPaletteStop> none;
    const auto& tables = stopTables();
    const auto it = tables.find(Name);
    return it == tables.end() ? none : it->second;
}

void LoadPaletteBitmap(TBitmap& Bitmap, const std::string& Name) {
    const std::vector<TPaletteStop>& stops = PaletteStops(Name);
    if (stops.empty()) {
        throw std::invalid_argument("No palette named \"" + Name + "\"");
    }
    TBitmap column(1, kPaletteEntries);
    size_t s = 0;
    for (int32_t i = 0; i < kPaletteEntries; ++i) {
        while (s + 2 < stops.size() && stops[s + 1].Entry <= i) {
            ++s;
        }
        const TPaletteStop& a = stops[s];
        const TPaletteStop& b = stops[s + 1];
        const double t = b.Entry == a.Entry
                             ? 0.0
                             : std::clamp(static_cast<double>(i - a.Entry) / (b.Entry - a.Entry), 0.0, 1.0);
        column.SetPixel(0, i,
                        MakeColor(channelBetween(RedOf(a.Color), RedOf(b.Color), t),
                                  channelBetween(GreenOf(a.Color), GreenOf(b.Color), t),
                                  channelBetween(BlueOf(a.Color), BlueOf(b.Color), t)));
    }
    Bitmap = std::move(column);
}

double PaletteStepWidth(int32_t Res, double RangedB, int32_t StepsdB) {
    if (StepsdB == 0) {
        return 1.0;
    }
    return Res / (RangedB / StepsdB);
}

int32_t SteppedPaletteEntry(int32_t i, double a) {
    return Trunc<int32_t>(Trunc<int64_t>(i / a) * a);
}

int32_t PaletteIndexOf(double Value, double Max, double k, int32_t Res) {
    const int32_t last = std::max(Res - 1, 0);
    const double v = (Max - Value) * k;
    if (std::isnan(v)) {
        return last;
    }
    // Far outside the palette either way: limited before rounding, which takes only finite values
    // within the integer range.
    if (v >= last) {
        return last;
    }
    const int32_t i = RoundHalfEven<int32_t>(std::max(v, -1.0));
    return i < 1 ? 0 : std::min(i, last);
}

double ValidRangedB(double Value, double Fallback) {
    if (!std::isfinite(Value)) {
        return Fallback;
    }
    const double r = static_cast<double>(RoundHalfEven<int64_t>(std::clamp(Value, -1e6, 1e6) / 6.0)) * 6.0;
    return std::clamp(r, 6.0, 54.0);
}

double ValidMaxdB(double Value, double Min, double Fallback) {
    if (!std::isfinite(Value)) {
        return Fallback;
    }
    return std::clamp(static_cast<double>(RoundHalfEven<int64_t>(std::clamp(Value, -1e6, 1e6))), Min, 200.0);
}

} // namespace vendrel
