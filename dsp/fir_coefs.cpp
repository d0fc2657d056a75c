// External taps of a FIR filter: from an array, a coefficient file (text or WAV) or one at a time.

#include <algorithm>
#include <cctype>

#include "dsp/fir.h"
#include "dsp/text_lines.h"
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
        const auto text = LoadText(sFile);
        if (!text) {
            return fail(TQzDspResult::qzdReadFileError);
        }
        std::vector<std::string> items = SplitLines(*text);
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
            const auto value = ParseDecimal(items[i], true);
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
