#include "dsp/peqs.h"

#include "dsp/complex.h"
#include "platform/core/numeric.h"

#include <cmath>

namespace vendrel {

TPeqs::TPeqs(TDSPSpace* DSPSpace) : FDSPSpace(DSPSpace) {
    SetNPeqs(10);
    SetActive(true);
}

void TPeqs::SetActive(bool value) {
    if (value != FActive) {
        FActive = value;
    }
}

void TPeqs::SetNPeqs(int32_t value) {
    if (value == 0 || value == FNPeqs) {
        return;
    }
    if (value < 0) {
        throw ERangeError();
    }
    Peqs.clear();
    FNPeqs = value;
    Peqs.reserve(static_cast<size_t>(value));
    for (int32_t i = 0; i < value; ++i) {
        auto section = std::make_unique<TSOS>(FDSPSpace);
        section->SetParent(this);
        Peqs.push_back(std::move(section));
    }
    Reset();
}

void TPeqs::Reset() {
    SetActive(true);
    const float a = static_cast<float>(std::log10(static_cast<double>(FDSPSpace->FrequencyMinValue())));
    const float b = static_cast<float>(std::log10(static_cast<double>(FDSPSpace->FrequencyMaxValue())));
    const double e = (static_cast<double>(b) - static_cast<double>(a)) / static_cast<double>(FNPeqs + 2);
    for (size_t i = 0; i < Peqs.size(); ++i) {
        TSOS& s = *Peqs[i];
        s.Reset();
        const double f = Pow10(static_cast<double>(a) + e * static_cast<double>(i + 2));
        s.SetFrequency(CheckedMul<int32_t>(Trunc<int32_t>(f / 10.0), 10));
    }
}

void TPeqs::CalcAllPeqs() {
    for (auto& s : Peqs) {
        s->CalcFilter();
    }
}

void TPeqs::CalcResponse(std::span<double> GrafdBin, std::span<double> GrafPhin) const {
    CascadeResponse(Peqs, *FDSPSpace, GrafdBin, GrafPhin, true);
}

void TPeqs::CalcResponseUnWrapped(std::span<double> GrafdBin, std::span<double> GrafPhin) const {
    CascadeResponseUnWrapped(Peqs, *FDSPSpace, GrafdBin, GrafPhin);
}

void TPeqs::CalcResponseComplex(std::span<Complex> Graf) const {
    CascadeResponseComplex(Peqs, *FDSPSpace, Graf);
}

void CascadeResponse(const std::vector<std::unique_ptr<TSOS>>& sections, const TDSPSpace& space,
                     std::span<double> GrafdBin, std::span<double> GrafPhin, bool replaceZeroMagnitude) {
    const size_t n = static_cast<size_t>(space.NRealFreqPoints());
    if (GrafdBin.size() < n || GrafPhin.size() < n) {
        throw ERangeError();
    }
    for (size_t i = 0; i < n; ++i) {
        GrafdBin[i] = 0.0;
        GrafPhin[i] = 0.0;
    }
    for (const auto& s : sections) {
        for (size_t i = 0; i < n; ++i) {
            const Complex H = s->ResponseAt(i);
            double m = ComplexAbs(H);
            if (replaceZeroMagnitude && m == 0.0) {
                m = 1e-11;
            }
            GrafdBin[i] += 20.0 * std::log10(m);
            if (std::fabs(GrafdBin[i]) < 0.001) {
                GrafdBin[i] = 0.0;
            }
            GrafPhin[i] += PhaseOf(H.Re, H.Im);
        }
    }
}

void CascadeResponseUnWrapped(const std::vector<std::unique_ptr<TSOS>>& sections, const TDSPSpace& space,
                              std::span<double> GrafdBin, std::span<double> GrafPhin) {
    const size_t n = static_cast<size_t>(space.NRealFreqPoints());
    if (GrafdBin.size() < n || GrafPhin.size() < n) {
        throw ERangeError();
    }
    std::vector<double> dB(n);
    std::vector<double> ph(n);
    for (size_t i = 0; i < n; ++i) {
        GrafdBin[i] = 0.0;
        GrafPhin[i] = 0.0;
    }
    for (const auto& s : sections) {
        s->CalcResponse(dB, ph);
        for (size_t i = 0; i < n; ++i) {
            GrafdBin[i] += dB[i];
            GrafPhin[i] += ph[i];
        }
    }
}

void CascadeResponseComplex(const std::vector<std::unique_ptr<TSOS>>& sections, const TDSPSpace& space,
                            std::span<Complex> Graf) {
    const size_t n = static_cast<size_t>(space.NRealFreqPoints());
    if (Graf.size() < n) {
        throw ERangeError();
    }
    for (size_t i = 0; i < n; ++i) {
        Graf[i] = Complex{1.0, 0.0};
    }
    for (const auto& s : sections) {
        for (size_t i = 0; i < n; ++i) {
            ComplexMul(Graf[i], s->ResponseAt(i), Graf[i]);
        }
    }
}

} // namespace vendrel
