// Frequency-response text exports of other analysers: the header check and column parsing of each
// kind into the working arrays, and their mapping onto the grid.

#include <algorithm>
#include <cmath>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "dsp/measure_system.h"
#include "dsp/smoothing.h"
#include "dsp/text_lines.h"
#include "platform/core/numeric.h"

namespace vendrel {

namespace {

using B = TMeasureSystemBrand;

constexpr double kRadToDeg = 57.29577951308232;
constexpr double kDegToRad = 0.017453292519943295;

// A data line that does not hold what its family needs.
class EMeasureLineError : public std::runtime_error {
public:
    EMeasureLineError() : std::runtime_error("Measurement line cannot be read") {}
};

enum class Family {
    BlankSeparated,      // tabs count as blanks; a trailing ",", "." or ";" of a field is dropped
    PlainBlankSeparated, // blanks only, fields as they stand
    SeparatorSeparated,  // "," or ";" between fields
    TabDigitLines,       // tab-separated, only lines starting with a digit
    FixedColumnsTwoFiles,
    FixedColumns
};

enum class PhaseUnit { Degrees, Radians, None };

struct KindRule {
    Family family;
    int32_t firstDataLine;
    PhaseUnit phase;
    // Fixed columns (1-based, both ends included).
    int32_t freqFrom = 0, freqTo = 0, mgFrom = 0, mgTo = 0;
};

std::optional<KindRule> ruleOf(B kind) {
    switch (kind) {
    case B::msbClio:
        return KindRule{Family::BlankSeparated, 1, PhaseUnit::Degrees};
    case B::msbSmaartLive:
        return KindRule{Family::TabDigitLines, 1, PhaseUnit::Degrees};
    case B::msbSatLive:
        return KindRule{Family::PlainBlankSeparated, 0, PhaseUnit::Degrees};
    case B::msbLinearX:
        return KindRule{Family::BlankSeparated, 11, PhaseUnit::Degrees};
    case B::msbAPrecision:
        return KindRule{Family::FixedColumnsTwoFiles, 4, PhaseUnit::Degrees, 1, 15, 15, 34};
    case B::msbMelissa:
        return KindRule{Family::BlankSeparated, 2, PhaseUnit::Degrees};
    case B::msbDaas32:
        return KindRule{Family::BlankSeparated, 8, PhaseUnit::Radians};
    case B::msbAcousticlizerFFT:
        return KindRule{Family::FixedColumns, 7, PhaseUnit::None, 1, 9, 12, 18};
    case B::msbAcousticlizer1_3:
        return KindRule{Family::FixedColumns, 1, PhaseUnit::None, 1, 9, 12, 20};
    case B::msbWinAir:
        return KindRule{Family::BlankSeparated, 4, PhaseUnit::Radians};
    case B::msbCalsod:
        return KindRule{Family::BlankSeparated, 8, PhaseUnit::Degrees};
    case B::msbSpectraLab:
        return KindRule{Family::TabDigitLines, 1, PhaseUnit::Radians};
    case B::msbArta:
        return KindRule{Family::SeparatorSeparated, 1, PhaseUnit::Degrees};
    case B::msbREW:
        return KindRule{Family::BlankSeparated, 14, PhaseUnit::Degrees};
    default:
        return std::nullopt;
    }
}

const std::string kSmaartHeader = "Frequency (Hz)\tMagnitude (dB)\tPhase (degrees)\tCoherence";
const std::string kMlssaHeader = "      \"Hz\"  \"Mag (dB)\"       \"deg\"";
const std::string kAPMagnitudeHeader = "Gen.Freq,          Anlr.Bandpass,     ,,,,,,";
const std::string kAPPhaseHeader = "Gen.Freq,          Anlr.Phase,        ,,,,,,";
const std::string kArtaCommaHeader = "Frequency(Hz), Magnitude(dB),  Phase(deg)";
const std::string kArtaSemicolonHeader = "Frequency(Hz); Magnitude(dB);  Phase(deg)";

// 1-based position of what in text, 0 when absent.
size_t pos1(const std::string& text, std::string_view what) {
    const auto at = text.find(what);
    return at == std::string::npos ? 0 : at + 1;
}

// The single header line of a kind equals its header, or the alternative (empty for all but ARTA).
bool lineIs(const std::vector<std::string>& lines, size_t index, const std::string& header,
            const std::string& alternative = std::string()) {
    return index < lines.size() && (lines[index] == header || lines[index] == alternative);
}

// The field's number: "." and "," both mark the decimals.
double measureNumber(std::string_view field) {
    const auto value = ParseDecimal(field, true);
    if (!value) {
        throw EMeasureLineError();
    }
    return *value;
}

// Text before the first c (empty when there is none) and the text after it.
std::string before(const std::string& s, char c) {
    const auto at = s.find(c);
    return at == std::string::npos ? std::string() : s.substr(0, at);
}
std::string after(const std::string& s, char c) {
    const auto at = s.find(c);
    return at == std::string::npos ? s : s.substr(at + 1);
}

struct Point {
    double f = 0.0, mg = 0.0, ph = 0.0;
};

// Three blank-separated fields: the first before the first blank, the second before the next blank
// of the rest, the third all that remains.
Point blankFields(std::string line, bool dropTrailingMark) {
    line = TrimText(line);
    const std::string f1 = TrimText(before(line, ' '));
    const std::string rest = TrimText(after(line, ' '));
    const std::string f2 = TrimText(before(rest, ' '));
    const std::string f3 = TrimText(after(rest, ' '));
    const auto number = [dropTrailingMark](std::string field) {
        std::replace(field.begin(), field.end(), ',', '.');
        if (dropTrailingMark && !field.empty() && (field.back() == '.' || field.back() == ';')) {
            field.pop_back();
        }
        return measureNumber(field);
    };
    return Point{number(f1), number(f2), number(f3)};
}

// Fields of a tab-separated line: before the first tab, then before each next tab.
struct TabFields {
    std::string f1, f2, f3;
};
TabFields tabFields(const std::string& raw) {
    const std::string line = TrimText(raw);
    TabFields t;
    t.f1 = TrimText(before(line, '\t'));
    const std::string rest = TrimText(after(line, '\t'));
    t.f2 = TrimText(before(rest, '\t'));
    const std::string rest2 = TrimText(after(rest, '\t'));
    t.f3 = TrimText(before(rest2, '\t'));
    return t;
}

// Characters from..to (1-based, both included) of a line that must reach to.
std::string columns(const std::string& line, int32_t from, int32_t to) {
    if (line.size() < static_cast<size_t>(to)) {
        throw EMeasureLineError();
    }
    return line.substr(static_cast<size_t>(from - 1), static_cast<size_t>(to - from + 1));
}

std::string withoutCommasAndBlanks(std::string s) {
    std::erase_if(s, [](char c) { return c == ',' || c == ' '; });
    return s;
}

// The header rule of a kind: qzdOK, qzdError for a text that fails it, qzdReadFileError for a Smaart
// text without its header in lines 1 to 39. Separator becomes ARTA's field separator.
TQzDspResult checkHeader(B kind, const std::vector<std::string>& lines,
                         const std::vector<std::string>& phaseLines, char& separator) {
    const size_t count = lines.size();
    const auto ok = [](bool passes) { return passes ? TQzDspResult::qzdOK : TQzDspResult::qzdError; };
    switch (kind) {
    case B::msbClio: {
        if (count == 0) {
            return TQzDspResult::qzdError;
        }
        const size_t freq = pos1(lines[0], "Freq");
        const size_t level = pos1(lines[0], "dBSPL");
        const size_t phase = pos1(lines[0], "Phase");
        return ok(level != 0 && phase != 0 && freq < level && level < phase);
    }
    case B::msbSmaartLive:
        for (size_t i = 1; i <= 39 && i < count; ++i) {
            if (lines[i] == kSmaartHeader) {
                return TQzDspResult::qzdOK;
            }
        }
        return TQzDspResult::qzdReadFileError;
    case B::msbLinearX:
        return ok(count > 0 && lines[0].size() >= 9 && lines[0].compare(0, 9, "* LMS(TM)") == 0);
    case B::msbAPrecision:
        return ok(count > 1 && lines[1] == kAPMagnitudeHeader && phaseLines.size() > 1 &&
                  phaseLines[1] == kAPPhaseHeader);
    case B::msbMelissa:
        return ok(lineIs(lines, 1, kMlssaHeader));
    case B::msbDaas32:
    case B::msbCalsod:
        return ok(lineIs(lines, 0, "CALSOD"));
    case B::msbWinAir:
        return ok(lineIs(lines, 0, " WinAIRR saved file"));
    case B::msbREW:
        return ok(lineIs(lines, 13, "* Freq(Hz) SPL(dB) Phase(degrees)"));
    case B::msbArta:
        if (!lineIs(lines, 0, kArtaCommaHeader, kArtaSemicolonHeader)) {
            return TQzDspResult::qzdError;
        }
        separator = lines[0] == kArtaSemicolonHeader ? ';' : ',';
        return TQzDspResult::qzdOK;
    default:
        return TQzDspResult::qzdOK;
    }
}

// One data line of the family; false for a line the family skips (Smaart and SpectraLab lines that do
// not start with a digit). Raises EMeasureLineError for a line without its fields.
bool parseDataLine(const KindRule& rule, B kind, const std::vector<std::string>& lines,
                   const std::vector<std::string>& phaseLines, size_t L, char separator, Point& p) {
    const std::string& line = lines[L];
    switch (rule.family) {
    case Family::BlankSeparated: {
        std::string s = line;
        std::replace(s.begin(), s.end(), '\t', ' ');
        p = blankFields(s, true);
        return true;
    }
    case Family::PlainBlankSeparated:
        p = blankFields(line, false);
        return true;
    case Family::SeparatorSeparated: {
        std::string s = line;
        std::replace(s.begin(), s.end(), separator, ' ');
        p = blankFields(s, false);
        return true;
    }
    case Family::TabDigitLines: {
        if (line.empty() || line[0] < '0' || line[0] > '9') {
            return false;
        }
        const TabFields t = tabFields(line);
        p.f = measureNumber(t.f1);
        if (kind != B::msbSmaartLive) {
            p.mg = measureNumber(t.f2);
            p.ph = measureNumber(t.f3);
            return true;
        }
        const auto mg = ParseDecimal(t.f2, true);
        const auto ph = ParseDecimal(t.f3, true);
        // A Smaart point without magnitude or phase is void.
        if (t.f2 == "*" || t.f3 == "*" || !mg || !ph) {
            p = Point{};
        } else {
            p.mg = *mg;
            p.ph = *ph;
        }
        return true;
    }
    case Family::FixedColumnsTwoFiles:
        p.f = measureNumber(withoutCommasAndBlanks(columns(line, rule.freqFrom, rule.freqTo)));
        p.mg = measureNumber(withoutCommasAndBlanks(columns(line, rule.mgFrom, rule.mgTo)));
        if (L >= phaseLines.size()) {
            throw EMeasureLineError();
        }
        p.ph = measureNumber(withoutCommasAndBlanks(columns(phaseLines[L], rule.mgFrom, rule.mgTo)));
        return true;
    case Family::FixedColumns:
        p.f = measureNumber(columns(line, rule.freqFrom, rule.freqTo));
        p.mg = measureNumber(columns(line, rule.mgFrom, rule.mgTo));
        return true;
    }
    return false;
}

} // namespace

TQzDspResult TMeasureSystem::ReadSourceStrToMeaSystem() {
    const auto rule = ruleOf(FMeaSystem);
    if (!rule) {
        return TQzDspResult::qzdReadFileError;
    }
    const std::vector<std::string>& lines = FMeasureString;
    const size_t count = lines.size();
    try {
        Ffrecm.assign(count, 0.0);
        FdBm.assign(count, 0.0);
        FfaseDegm.assign(count, 0.0);
        FfaseDegmUnroll.assign(count, 0.0);
        const auto n = static_cast<size_t>(FDSPSpace->NRealFreqPoints());
        if (FUseUnrollAproximation) {
            FResponsePhDegreesUnRoll.resize(n, 0.0);
            ResponsePhRadUnWrap.resize(n, 0.0);
        } else {
            FResponsePhDegreesUnRoll.clear();
            ResponsePhRadUnWrap.clear();
        }
    } catch (const std::bad_alloc&) {
        return TQzDspResult::qzdError;
    }

    char separator = ',';
    if (const TQzDspResult header = checkHeader(FMeaSystem, lines, FMeasureStringPh, separator);
        header != TQzDspResult::qzdOK) {
        return header;
    }

    // Data lines; one that does not hold its fields rejects the export.
    const auto first = static_cast<size_t>(rule->firstDataLine);
    size_t last = count; // one past the last data line
    if (rule->family == Family::FixedColumnsTwoFiles) {
        last = count > 0 ? count - 1 : 0; // the last line of the magnitude file is not data
    }
    if (first >= last) {
        return TQzDspResult::qzdError;
    }
    try {
        for (size_t L = first; L < last; ++L) {
            Point p;
            if (!parseDataLine(*rule, FMeaSystem, lines, FMeasureStringPh, L, separator, p)) {
                continue;
            }
            const size_t e = L - first;
            Ffrecm[e] = p.f;
            FdBm[e] = p.mg;
            FfaseDegm[e] = p.ph;
        }
    } catch (const EMeasureLineError&) {
        return TQzDspResult::qzdError;
    }

    // Trailing entries no data filled, and a tail that falls back below the frequencies before it,
    // are dropped.
    size_t k = count - 1;
    size_t dropped = 0;
    while (k > 0) {
        if (Ffrecm[k] == 0.0) {
            ++dropped;
            --k;
        } else if (Ffrecm[k - 1] > 0.0 && Ffrecm[k] > Ffrecm[k - 1]) {
            break;
        } else {
            ++dropped;
            --k;
        }
    }
    const size_t M = count - dropped;
    Ffrecm.resize(M);
    FdBm.resize(M);
    FfaseDegm.resize(M);

    // The phase is unwrapped in the unit of the export.
    if (FUseUnrollAproximation) {
        if (rule->phase == PhaseUnit::Radians) {
            UnwrapPhaseRadians(FfaseDegm, FfaseDegmUnroll);
        } else {
            UnwrapPhaseDegrees(FfaseDegm, FfaseDegmUnroll);
        }
    }
    FMeasureString.clear();
    FMeasureStringPh.clear();
    return TQzDspResult::qzdOK;
}

TQzDspResult TMeasureSystem::ConvertSourceStrToMeaSystem() {
    const auto rule = ruleOf(FMeaSystem);
    const bool degrees = rule && rule->phase == PhaseUnit::Degrees;
    const size_t M = Ffrecm.size();
    if (M == 0 || FdBm.size() < M || FfaseDegm.size() < M ||
        (FUseUnrollAproximation && FfaseDegmUnroll.size() < M)) {
        return TQzDspResult::qzdError;
    }
    std::vector<double> mg, ph, unwrapped;
    try {
        prepareCurves();
        mg.assign(FdBm.begin(), FdBm.begin() + static_cast<std::ptrdiff_t>(M));
        ph.assign(FfaseDegm.begin(), FfaseDegm.begin() + static_cast<std::ptrdiff_t>(M));
        if (FUseUnrollAproximation) {
            unwrapped.assign(FfaseDegmUnroll.begin(),
                             FfaseDegmUnroll.begin() + static_cast<std::ptrdiff_t>(M));
        }
    } catch (const std::bad_alloc&) {
        return TQzDspResult::qzdError;
    }
    if (ApplySmoothing != TFreqBands::fbAlluserPoints) {
        SmoothFractionalOctave(ApplySmoothing, Ffrecm, mg, mg);
        SmoothFractionalOctave(ApplySmoothing, Ffrecm, ph, ph);
        if (FUseUnrollAproximation) {
            SmoothFractionalOctave(ApplySmoothing, Ffrecm, unwrapped, unwrapped);
        }
    }
    // The measured band, held in single precision.
    const double bandLo = static_cast<float>(Ffrecm[0]);
    const double bandHi = static_cast<float>(Ffrecm[M - 1]);
    const int32_t N = FDSPSpace->NRealFreqPoints();
    size_t k = 0;
    for (int32_t i = 0; i < N; ++i) {
        const auto u = static_cast<size_t>(i);
        const double f = FDSPSpace->FreqDraw[u];
        while (k < M - 1 && f > Ffrecm[k] && f >= Ffrecm[k + 1]) {
            ++k;
        }
        const auto valueAt = [&](const std::vector<double>& V) {
            if (k == M - 1) {
                return V[k];
            }
            return V[k] + (V[k + 1] - V[k]) / (Ffrecm[k + 1] - Ffrecm[k]) * (f - Ffrecm[k]);
        };
        FResponseMgdB[u] = valueAt(mg);
        const double phase = valueAt(ph);
        const double unrolled = FUseUnrollAproximation ? valueAt(unwrapped) : 0.0;
        if (degrees) {
            FResponsePhDegrees[u] = phase;
            FResponsePhRad[u] = phase * kDegToRad;
            if (FUseUnrollAproximation) {
                FResponsePhDegreesUnRoll[u] = unrolled;
                ResponsePhRadUnWrap[u] = unrolled * kDegToRad;
            }
        } else {
            FResponsePhRad[u] = phase;
            FResponsePhDegrees[u] = phase * kRadToDeg;
            if (FUseUnrollAproximation) {
                ResponsePhRadUnWrap[u] = unrolled;
                FResponsePhDegreesUnRoll[u] = unrolled * kRadToDeg;
            }
        }
        // Outside the measured band a point repeats the one before it (the lowest point keeps the
        // value extrapolated for it).
        if (f > bandHi || f < bandLo) {
            const size_t j = u > 0 ? u - 1 : 0;
            FResponseMgdB[u] = FResponseMgdB[j];
            FResponsePhRad[u] = FResponsePhRad[j];
            FResponsePhDegrees[u] = FResponsePhDegrees[j];
            if (FUseUnrollAproximation) {
                ResponsePhRadUnWrap[u] = ResponsePhRadUnWrap[j];
                FResponsePhDegreesUnRoll[u] = FResponsePhDegreesUnRoll[j];
            }
        }
        ResponseMgdB[u] = FResponseMgdB[u] - FReferenceSpl;
        ResponsePhRad[u] = FResponsePhRad[u];
    }
    return TQzDspResult::qzdOK;
}

} // namespace vendrel
