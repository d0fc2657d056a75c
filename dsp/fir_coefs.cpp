// External taps of a FIR filter: from an array, a coefficient file (text or WAV) or one at a time.

#include <algorithm>
#include <cctype>
#include <charconv>
#include <fstream>
#include <iterator>
#include <optional>

#include "dsp/fir.h"
#include "dsp/wav_reader.h"
#include "platform/core/numeric.h"

namespace vendrel {

namespace {

// Index of the tap of largest magnitude among the first count; a later tap wins only when strictly
// larger, so all-zero taps give 0.
int32_t largestMagnitudeIndex(const std::vector<double>& taps, int32_t count) {
    int32_t best = 0;
    for (int32_t i = 1; i < count; ++i) {
        if (std::abs(taps[static_cast<size_t>(i)]) > std::abs(taps[static_cast<size_t>(best)])) {
            best = i;
        }
    }
    return best;
}

bool hasWavExtension(const std::string& name) {
    const auto dot = name.find_last_of("./\\");
    if (dot == std::string::npos || name[dot] != '.') {
        return false;
    }
    std::string ext = name.substr(dot);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext == ".wav";
}

// The file's text: a UTF-8 byte-order mark is dropped and UTF-16 text (by its mark) is narrowed to
// single bytes, which keeps every character a number can hold; other files are taken as they are.
std::optional<std::string> loadText(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        return std::nullopt;
    }
    const auto byteAt = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
    if (bytes.size() >= 3 && byteAt(0) == 0xEF && byteAt(1) == 0xBB && byteAt(2) == 0xBF) {
        return bytes.substr(3);
    }
    if (bytes.size() >= 2 &&
        ((byteAt(0) == 0xFF && byteAt(1) == 0xFE) || (byteAt(0) == 0xFE && byteAt(1) == 0xFF))) {
        const bool little = byteAt(0) == 0xFF;
        std::string text;
        for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
            const unsigned unit =
                little ? byteAt(i) | (byteAt(i + 1) << 8) : (byteAt(i) << 8) | byteAt(i + 1);
            text.push_back(unit < 0x80 ? static_cast<char>(unit) : '?');
        }
        return text;
    }
    return bytes;
}

// Lines as a string list loads them: CR LF, LF or CR end a line; a final line break adds no line.
std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(line);
            line.clear();
            i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
            continue;
        }
        line.push_back(c);
        ++i;
    }
    if (!line.empty()) {
        lines.push_back(line);
    }
    return lines;
}

bool isBlank(char c) {
    return c >= 1 && c <= ' ';
}

// A delimited list with the comma as delimiter: blanks also separate items, double quotes group
// them (a doubled quote inside stands for one), and a comma at the very end adds an empty item.
std::vector<std::string> splitDelimited(const std::string& text) {
    std::vector<std::string> items;
    size_t p = 0;
    const size_t n = text.size();
    while (p < n && isBlank(text[p])) {
        ++p;
    }
    while (p < n) {
        std::string item;
        if (text[p] == '"') {
            ++p;
            while (p < n) {
                if (text[p] == '"') {
                    if (p + 1 < n && text[p + 1] == '"') {
                        item.push_back('"');
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                item.push_back(text[p++]);
            }
        } else {
            while (p < n && !isBlank(text[p]) && text[p] != ',') {
                item.push_back(text[p++]);
            }
        }
        items.push_back(item);
        while (p < n && isBlank(text[p])) {
            ++p;
        }
        if (p < n && text[p] == ',') {
            if (p + 1 == n) {
                items.emplace_back();
            }
            do {
                ++p;
            } while (p < n && isBlank(text[p]));
        }
    }
    return items;
}

// A number in which both "," and "." stand for the decimal separator: optional sign, digits with
// one separator, optional exponent; blanks around it are allowed, nothing else.
std::optional<double> parseCoef(const std::string& item) {
    size_t b = 0;
    size_t e = item.size();
    while (b < e && isBlank(item[b])) {
        ++b;
    }
    while (e > b && isBlank(item[e - 1])) {
        --e;
    }
    std::string s = item.substr(b, e - b);
    std::replace(s.begin(), s.end(), ',', '.');
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        ++i;
    }
    size_t digits = 0;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
        ++i, ++digits;
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
            ++i, ++digits;
        }
    }
    if (digits == 0) {
        return std::nullopt;
    }
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
            ++i;
        }
        size_t expDigits = 0;
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
            ++i, ++expDigits;
        }
        if (expDigits == 0) {
            return std::nullopt;
        }
    }
    if (i != s.size()) {
        return std::nullopt;
    }
    const char* first = s.data() + (s[0] == '+' ? 1 : 0);
    double value = 0.0;
    const auto [end, ec] = std::from_chars(first, s.data() + s.size(), value);
    if (ec != std::errc() || end != s.data() + s.size()) {
        return std::nullopt;
    }
    return value;
}

} // namespace

TQzDspResult TFIR::LoadCoefFromArray(std::span<const double> Source, int32_t NSourceCoef) {
    const int32_t n = std::min(NSourceCoef, FNMaxTaps);
    if (n < 0 || Source.size() < static_cast<size_t>(n)) {
        throw ERangeError();
    }
    std::copy(Source.begin(), Source.begin() + n, FExternalCoef.begin());
    std::fill(FExternalCoef.begin() + n, FExternalCoef.end(), 0.0);
    FNExternalCoef = n;
    FExternalLatency = largestMagnitudeIndex(FExternalCoef, FNMaxTaps);
    return TQzDspResult::qzdOK;
}

TQzDspResult TFIR::LoadCoefFile(const std::string& sFile) {
    // Every failure leaves the external taps as they were and resets the designed ones.
    const auto fail = [this](TQzDspResult result) {
        ResetCoef();
        return result;
    };
    std::vector<double> taps(static_cast<size_t>(FNMaxTaps), 0.0);
    int32_t n = 0;

    if (hasWavExtension(sFile)) {
        rWAVFile wav;
        if (!ReadWavFile(sFile, wav)) {
            return fail(TQzDspResult::qzdReadFileError);
        }
        if (wav.Header.SampleRate != static_cast<uint32_t>(SampleRate())) {
            return fail(TQzDspResult::qzdFirFSampleError);
        }
        const int64_t frames = WavFrameCount(wav);
        if (frames < 0) {
            return fail(TQzDspResult::qzdReadFileError);
        }
        if (frames > FNMaxTaps) {
            return fail(TQzDspResult::qzdFirTapsError);
        }
        // A file whose samples cannot be converted (or that holds none) loads nothing.
        if (WavSamplesToDouble(wav, taps, -1) != TQzDspResult::qzdOK) {
            return fail(TQzDspResult::qzdReadFileError);
        }
        n = static_cast<int32_t>(frames);
    } else {
        const auto text = loadText(sFile);
        if (!text) {
            return fail(TQzDspResult::qzdReadFileError);
        }
        std::vector<std::string> items = splitLines(*text);
        if (items.size() == 1) {
            items = splitDelimited(items[0]);
        }
        if (items.size() > static_cast<size_t>(FNMaxTaps)) {
            return fail(TQzDspResult::qzdFirTapsError);
        }
        if (items.empty()) {
            return fail(TQzDspResult::qzdReadFileError);
        }
        for (size_t i = 0; i < items.size(); ++i) {
            const auto value = parseCoef(items[i]);
            if (!value) {
                return fail(TQzDspResult::qzdReadFileError);
            }
            taps[i] = *value;
        }
        n = static_cast<int32_t>(items.size());
    }

    std::copy(taps.begin(), taps.begin() + n, FExternalCoef.begin());
    std::fill(FExternalCoef.begin() + n, FExternalCoef.end(), 0.0);
    FNExternalCoef = n;
    FExternalLatency = largestMagnitudeIndex(FExternalCoef, FNMaxTaps);
    return TQzDspResult::qzdOK;
}

void TFIR::SetExternalCoef(int32_t Tap, double Value) {
    if (Tap > FNExternalCoef - 1) {
        return;
    }
    At(FExternalCoef, Tap) = Value;
}

} // namespace vendrel
