// Automatic equalisation: the filter's crossovers, parametric sections and phase points tuned so that
// a measured response played through the filter follows the crossovers' shape.

#include <algorithm>
#include <cmath>

#include "dsp/complex.h"
#include "dsp/fir.h"
#include "dsp/measure_system.h"
#include "platform/core/numeric.h"

namespace vendrel {

namespace {

// Settings of the passes.
constexpr double kLevelInfluence = -12.0;   // band for the level average and the crossover orders
constexpr double kSectionInfluence = -20.0; // band for the sections and phase points
constexpr double kResultInfluence = -6.0;   // band of the returned level
constexpr double kLevelSmoothing = 15.0;    // percent of the grid's points
constexpr double kSearchSmoothing = 1.0;
constexpr double kLargestMgCorrection = 15.0; // dB; larger deviations are left alone
constexpr int32_t kDefaultOrder = 4;
constexpr int32_t kFallbackQTenths = 7; // Q 0.7 for an element the search switched off
// Phases up to this many degrees are turned back one turn at a time.
constexpr double kManyTurns = 64.0 * 360.0;

} // namespace

void TFIR::CrossoverResponses(std::vector<double>& HP, std::vector<double>& LP) {
    const auto n = static_cast<size_t>(FDSPSpace->NRealFreqPoints());
    std::vector<double> phase(n);
    HP.resize(n);
    LP.resize(n);
    XoverHpMg->CalcXover();
    XoverHpMg->CalcResponse(HP, phase);
    XoverLpMg->CalcXover();
    XoverLpMg->CalcResponse(LP, phase);
}

void TFIR::CalcAutoEqBand() {
    std::vector<double> HP, LP;
    CrossoverResponses(HP, LP);
    const int32_t P = FDSPSpace->NRealFreqPoints();
    const std::vector<int32_t>& F = FDSPSpace->FreqDraw;
    // Each edge is the first point beyond the cut where its crossover has fallen below the influence
    // level.
    if (XoverHpMg->Active) {
        FAEQFreqMin = F.front();
        for (int32_t j = FDSPSpace->FreqToPoint(XoverHpMg->FrequencyCut()) - 1; j >= 0; --j) {
            if (HP[static_cast<size_t>(j)] < FInfluenceMgLevel) {
                FAEQFreqMin = F[static_cast<size_t>(j)];
                break;
            }
        }
    } else {
        FAEQFreqMin = FDSPSpace->FrequencyMinValue();
    }
    if (XoverLpMg->Active) {
        FAEQFreqMax = F.back();
        for (int32_t j = FDSPSpace->FreqToPoint(XoverLpMg->FrequencyCut()) + 1; j < P; ++j) {
            if (LP[static_cast<size_t>(j)] < FInfluenceMgLevel) {
                FAEQFreqMax = F[static_cast<size_t>(j)];
                break;
            }
        }
    } else {
        FAEQFreqMax = FDSPSpace->FrequencyMaxValue();
    }
}

void TFIR::CalcAutoEqLevel(std::span<const double> R) {
    std::vector<double> HP, LP;
    CrossoverResponses(HP, LP);
    const std::vector<int32_t>& F = FDSPSpace->FreqDraw;
    int32_t lo = FAEQFreqMin;
    int32_t hi = FAEQFreqMax;
    const int32_t pLo = FDSPSpace->FreqToPoint(lo);
    const int32_t pHi = FDSPSpace->FreqToPoint(hi);
    // Without a crossover on a side, the band on that side starts where the curve reaches the
    // influence level.
    if (!XoverHpMg->Active) {
        for (int32_t i = pLo; i <= pHi; ++i) {
            if (At(R, i) >= FInfluenceMgLevel) {
                lo = F[static_cast<size_t>(i)];
                break;
            }
        }
    }
    if (!XoverLpMg->Active) {
        for (int32_t i = pHi; i >= pLo; --i) {
            if (At(R, i) >= FInfluenceMgLevel) {
                hi = F[static_cast<size_t>(i)];
                break;
            }
        }
    }
    const int32_t a = FDSPSpace->FreqToPoint(lo);
    const int32_t b = FDSPSpace->FreqToPoint(hi);
    double sum = 0.0;
    for (int32_t i = a; i <= b; ++i) {
        sum += At(R, i) - (HP[static_cast<size_t>(i)] + LP[static_cast<size_t>(i)]);
    }
    FAEQLevelAverage = sum / (b - a + 1);
}

double TFIR::BandSquaredError(std::span<const double> A, std::span<const double> B) const {
    double e = 0.0;
    const int32_t lo = FDSPSpace->FreqToPoint(FAEQFreqMin);
    const int32_t hi = FDSPSpace->FreqToPoint(FAEQFreqMax);
    for (int32_t i = lo; i <= hi; ++i) {
        const double d = At(A, i) - At(B, i);
        e += d * d;
    }
    return e;
}

std::pair<int32_t, double> TFIR::FindCorrection(std::span<const double> R, std::span<const double> T,
                                                double Limit, int32_t FromFreq) const {
    std::pair<int32_t, double> found{0, 0.0};
    double best = 0.0;
    const int32_t lo = FDSPSpace->FreqToPoint(FAEQFreqMin);
    const int32_t hi = FDSPSpace->FreqToPoint(FAEQFreqMax);
    for (int32_t i = lo; i <= hi; ++i) {
        const double d = At(T, i) - At(R, i);
        const int32_t f = FDSPSpace->FreqDraw[static_cast<size_t>(i)];
        if (std::fabs(d) > best && std::fabs(d) <= Limit && f >= FromFreq) {
            best = std::fabs(d);
            found = {f, d};
        }
    }
    return found;
}

std::pair<int32_t, double> TFIR::FindMgCorrection(std::span<const double> R,
                                                  std::span<const double> T) const {
    return FindCorrection(R, T, kLargestMgCorrection, FMinUsableFreq);
}

std::pair<int32_t, double> TFIR::FindPhCorrection(std::span<const double> R,
                                                  std::span<const double> T) const {
    return FindCorrection(R, T, INFINITY, FMinUsablePhFreq);
}

void TFIR::SmoothResponse(double Smooth, std::span<const double> ResponseMg) {
    if (MeasureData == nullptr) {
        return;
    }
    const int32_t P = FDSPSpace->NRealFreqPoints();
    if (ResponseMg.size() < static_cast<size_t>(P)) {
        throw ERangeError();
    }
    FAEQSMA.assign(ResponseMg.begin(), ResponseMg.begin() + P);
    if (Smooth <= 0.0) {
        return;
    }
    const double width = RoundHalfEven<int32_t>(P * std::min(Smooth, 100.0) / 100.0);
    for (int32_t j = 0; j < P; ++j) {
        const int64_t lo = std::max<int64_t>(RoundHalfEven<int64_t>(j - width / 2.0), 1);
        const int64_t hi = std::min<int64_t>(RoundHalfEven<int64_t>(j + width / 2.0), P - 2);
        // The end points never contribute; a window holding nothing else keeps the point's value.
        if (hi < lo) {
            continue;
        }
        double sum = 0.0;
        for (int64_t k = lo; k <= hi; ++k) {
            sum += ResponseMg[static_cast<size_t>(k)];
        }
        FAEQSMA[static_cast<size_t>(j)] = sum / static_cast<double>(hi - lo + 1);
    }
}

void TFIR::CalcPhasePointsDegrees(std::vector<double>& D) const {
    const auto n = static_cast<size_t>(FDSPSpace->NRealFreqPoints());
    D.assign(n, 1.0);
    for (const auto& point : PhasePoints) {
        if (!point->Active()) {
            continue;
        }
        for (size_t i = 0; i < n; ++i) {
            D[i] *= ComplexAbs(point->SOS().ResponseAt(i));
        }
    }
    // A point's level in dB stands for its phase at 12 degrees per dB (15 dB for 180 degrees).
    for (double& d : D) {
        d = std::log10(d) * 3600.0 / 15.0;
        if (std::fabs(d) < 0.001) {
            d = 0.0;
        }
    }
}

void TFIR::FindPhaseWraps(std::vector<double>& Ph, std::vector<int32_t>& Wraps, int32_t UseNPoints) const {
    const std::vector<double>& unrolled = MeasureData->FResponsePhDegreesUnRoll;
    const int32_t P = FDSPSpace->NRealFreqPoints();
    Wraps.assign(static_cast<size_t>(std::max(UseNPoints, 0)), 0);
    Ph.resize(static_cast<size_t>(P));
    size_t count = 0;
    double offset = 0.0;
    for (int32_t j = 0; j < P; ++j) {
        const int32_t f = FDSPSpace->FreqDraw[static_cast<size_t>(j)];
        const bool recorded = f > FMinUsableFreq;
        double c = At(unrolled, j) + offset;
        Ph[static_cast<size_t>(j)] = unrolled[static_cast<size_t>(j)];
        // An infinite phase (a measured curve through a zero-width segment) cannot be counted in turns.
        if (!std::isfinite(c)) {
            continue;
        }
        // A phase of very many turns (a damaged measurement) is brought near the range in one go; each
        // of its turns still counts as a wrap, for as long as the list has room.
        if (std::fabs(c) > kManyTurns) {
            const double rest = std::fmod(c, 360.0);
            const double turns = (c - rest) / 360.0;
            offset -= c - rest;
            c = rest;
            for (double t = 0.0; recorded && t < std::fabs(turns) && count < Wraps.size(); t += 1.0) {
                Wraps[count++] = turns > 0.0 ? -f : f;
            }
        }
        // A phase leaving (-180, 180] is a wrap: the frequency is recorded, signed by its direction.
        while (c < -180.0) {
            c += 360.0;
            offset += 360.0;
            if (recorded && count < Wraps.size()) {
                Wraps[count++] = f;
            }
        }
        while (c > 180.0) {
            c -= 360.0;
            offset -= 360.0;
            if (recorded && count < Wraps.size()) {
                Wraps[count++] = -f;
            }
        }
    }
}

void TFIR::ChooseCrossoverOrders(std::span<const double> M, std::span<const double> X,
                                 std::span<const double> T, double A) {
    const auto n = static_cast<size_t>(FDSPSpace->NRealFreqPoints());
    std::vector<double> R(n), H(n), phase(n);
    // For each active crossover the order whose slope, over the measurement, comes nearest the
    // target; ties go to the later order.
    for (TXoverIIR* xover : {XoverHpMg.get(), XoverLpMg.get()}) {
        if (!xover->Active) {
            continue;
        }
        for (size_t i = 0; i < n; ++i) {
            R[i] = X[i] + M[i] - A;
        }
        double E = BandSquaredError(T, R);
        int32_t bestOrder = kDefaultOrder;
        for (const int32_t order : {2, 4, 6, 8}) {
            xover->SetOrder(order);
            xover->CalcXover();
            xover->CalcResponse(H, phase);
            for (size_t i = 0; i < n; ++i) {
                R[i] = H[i] + M[i] - A;
            }
            const double e = BandSquaredError(T, R);
            if (E >= e) {
                E = e;
                bestOrder = xover->Order();
            }
        }
        xover->SetOrder(bestOrder);
        xover->CalcXover();
    }
}

void TFIR::AutoEqMagnitude(int32_t UseNPoints) {
    if (MeasureData == nullptr || UseNPoints <= 0) {
        return;
    }
    const int32_t P = FDSPSpace->NRealFreqPoints();
    const auto n = static_cast<size_t>(P);
    FEqMgPoints = std::min(PeqMg->NPeqs(), UseNPoints);
    const std::vector<double>& M = MeasureData->FResponseMgdB;
    if (M.size() < n) {
        throw ERangeError();
    }
    std::vector<double> HP, LP, X(n), R(n), S(n), phase(n);
    CrossoverResponses(HP, LP);
    for (size_t i = 0; i < n; ++i) {
        X[i] = HP[i] + LP[i];
    }
    const std::vector<double> T = X; // the target keeps the crossovers as they were

    FInfluenceMgLevel = kLevelInfluence;
    CalcAutoEqBand();
    SmoothResponse(kLevelSmoothing, M);
    CalcAutoEqLevel(FAEQSMA);
    const double A = FAEQLevelAverage;

    ChooseCrossoverOrders(M, X, T, A);

    FInfluenceMgLevel = kSectionInfluence;
    CalcAutoEqBand();
    CrossoverResponses(HP, LP);
    for (size_t i = 0; i < n; ++i) {
        X[i] = HP[i] + LP[i];
    }
    const auto corrected = [&] {
        PeqMg->CalcResponse(S, phase);
        for (size_t i = 0; i < n; ++i) {
            R[i] = X[i] + S[i] + M[i] - A;
        }
        return BandSquaredError(T, R);
    };

    // Sections, one at a time at the largest remaining deviation.
    for (int32_t i = 0; i <= FEqMgPoints - 1; ++i) {
        const double E = corrected();
        TSOS& section = *At(PeqMg->Peqs, i);
        if (section.Active) {
            continue;
        }
        SmoothResponse(kSearchSmoothing, R);
        const auto [f, g] = FindMgCorrection(FAEQSMA, T);
        if (std::fabs(g) < FCalMinMg || g == 0.0) {
            break;
        }
        section.Active = true;
        section.SetFrequency(f);
        section.SetGain(g);
        section.FilterType = TPeqType::FPARAMETRICOQA;
        double best = E;
        int32_t coarse = 0;
        for (int32_t q = 1; q <= 20; ++q) {
            section.SetQ(q);
            section.CalcFilter();
            const double e = corrected();
            if (best >= e) {
                best = e;
                coarse = q;
            }
        }
        int32_t fine = 0;
        for (int32_t j = Trunc<int32_t>(10.0 * coarse - 10.0); j <= Trunc<int32_t>(10.0 * coarse + 10.0);
             ++j) {
            section.SetQ(j / 10.0);
            section.CalcFilter();
            const double e = corrected();
            if (best >= e) {
                best = e;
                fine = j;
            }
        }
        // No trial improved on the measurement as it was: the section is not used.
        if (fine == 0) {
            section.Active = false;
            fine = kFallbackQTenths;
        }
        section.SetQ(fine / 10.0);
        section.CalcFilter();
    }
}

void TFIR::AutoEqPhase(int32_t UseNPoints) {
    if (MeasureData == nullptr || UseNPoints <= 0) {
        return;
    }
    const int32_t P = FDSPSpace->NRealFreqPoints();
    const auto n = static_cast<size_t>(P);
    // The pass needs the measurement's unwrapped phase at every grid point.
    if (MeasureData->FResponsePhDegreesUnRoll.size() < n) {
        return;
    }
    FEqPhPoints = std::min(FPhPoints, UseNPoints);
    FInfluenceMgLevel = kSectionInfluence;
    CalcAutoEqBand();
    std::vector<double> Mp;
    std::vector<int32_t> W;
    FindPhaseWraps(Mp, W, UseNPoints);

    // Each wrap is undone by two +-180 degree high shelves at its frequency.
    int32_t i = 0;
    for (const int32_t entry : W) {
        if (entry == 0 || i > FEqPhPoints - 2) {
            break;
        }
        const int32_t F = std::abs(entry);
        if (F < FMinUsableFreq || F > FAEQFreqMax) {
            continue;
        }
        for (int32_t k = i; k <= i + 1; ++k) {
            TFrPhPoint& point = *At(PhasePoints, k);
            point.SetActive(true);
            point.SetFrequency(F);
            point.SetDegrees(entry > 0 ? 180.0 : -180.0);
            point.SetQ(1.0);
            point.SetPointType(TPointFirType::qzfptHighShelf);
            point.CalcPoint();
        }
        i += 2;
    }

    const std::vector<double> Z(n, 0.0);
    std::vector<double> D, R(n);
    const auto corrected = [&] {
        CalcPhasePointsDegrees(D);
        for (size_t k = 0; k < n; ++k) {
            R[k] = Mp[k] + D[k];
        }
        return BandSquaredError(Z, R);
    };
    // Bells, one at a time at the largest remaining phase deviation.
    for (; i < FEqPhPoints; ++i) {
        const double E = corrected();
        TFrPhPoint& point = *At(PhasePoints, i);
        if (point.Active()) {
            continue;
        }
        SmoothResponse(kSearchSmoothing, R);
        const auto [f, d] = FindPhCorrection(FAEQSMA, Z);
        if (std::fabs(d) < FCalMinPh || d == 0.0) {
            break;
        }
        point.SetActive(true);
        const int32_t previousFrequency = point.Frequency();
        point.SetFrequency(f);
        point.SetDegrees(d);
        point.SetPointType(TPointFirType::qzfptBell);
        double best = E;
        int32_t u = 0;
        for (int32_t k = 1; k <= 50; ++k) {
            point.SetQ(k / 10.0);
            point.CalcPoint();
            const double e = corrected();
            if (best >= e) {
                best = e;
                u = k;
            }
        }
        if (u == 0) {
            point.SetActive(false);
            point.SetDegrees(0.0);
            point.SetFrequency(previousFrequency);
            u = kFallbackQTenths;
        }
        point.SetQ(u / 10.0);
        point.CalcPoint();
    }
}

double TFIR::AutoEq(bool AutoMg, bool AutoPh, int32_t UseNPoints) {
    CalcAutoEqBand();
    if (AutoMg) {
        AutoEqMagnitude(UseNPoints);
    }
    if (AutoPh) {
        AutoEqPhase(UseNPoints);
    }
    CalcFir(true, true);
    const auto n = static_cast<size_t>(FDSPSpace->NRealFreqPoints());
    std::vector<double> L(n), phase(n);
    CalcResponse(L, phase);
    FInfluenceMgLevel = kResultInfluence;
    CalcAutoEqBand();
    // Without a measurement the level is the filter's own.
    if (MeasureData != nullptr && MeasureData->ResponseMgdB.size() >= n) {
        for (size_t i = 0; i < n; ++i) {
            L[i] += MeasureData->ResponseMgdB[i];
        }
    }
    CalcAutoEqLevel(L);
    return FAEQLevelAverage;
}

} // namespace vendrel
