// Automatic equalisation of a FIR filter's shaping elements against a measurement.

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <vector>

#include "dsp/biquad.h"
#include "dsp/fir.h"
#include "dsp/measure_system.h"

namespace vendrel {
namespace {

std::vector<double> gridFrequencies(const TDSPSpace& grid) {
    return std::vector<double>(grid.FreqDraw.begin(), grid.FreqDraw.end());
}

struct Section {
    int32_t frequency;
    double gain, q;
};

// A measurement at 90 dB shaped by parametric sections, evaluated as the filter evaluates its own
// sections (96 kHz on the grid's frequencies), with the given phase in degrees.
void measure(TDSPSpace& grid, TMeasureSystem& m, const std::vector<Section>& sections,
             std::vector<double> phaseDeg) {
    TDSPSpace g96;
    g96.SetSampleRate(TSampleRate::sr96k);
    g96.CustomLogspace(grid.FreqDraw);
    const auto N = static_cast<size_t>(grid.NRealFreqPoints());
    std::vector<double> mg(N, 90.0), dB(N), ph(N);
    for (const Section& s : sections) {
        TSOS sos(&g96);
        sos.Active = true;
        sos.SetFrequency(s.frequency);
        sos.SetGain(s.gain);
        sos.SetQ(s.q);
        sos.CalcFilter();
        sos.CalcResponse(dB, ph);
        for (size_t i = 0; i < N; ++i) {
            mg[i] += dB[i];
        }
    }
    m.Capture(gridFrequencies(grid), mg, std::move(phaseDeg), true, true);
}

TEST(FirAutoEq, MagnitudePassRecoversTheSectionsOfTheMeasurement) {
    TDSPSpace grid;
    const auto N = static_cast<size_t>(grid.NRealFreqPoints());
    TMeasureSystem m(&grid);
    // The measurement carries the inverses of the sections the filter should find, centred on grid
    // points (the pass places sections on grid points). A dip and a peak of the same shape leave the
    // measurement's mean level, which the pass equalises to, at 90 dB.
    const auto onGrid = [&](int32_t hz) { return grid.FreqDraw[static_cast<size_t>(grid.FreqToPoint(hz))]; };
    const Section expected[] = {{onGrid(1000), 6.0, 2.0}, {onGrid(4000), -6.0, 2.0}};
    measure(grid, m, {{expected[0].frequency, -6.0, 2.0}, {expected[1].frequency, 6.0, 2.0}},
            std::vector<double>(N, 0.0));

    TFIR fir(&grid);
    fir.SetMaxTaps(1023);
    fir.MeasureData = &m;
    fir.AutoEq(true, false, 10);
    EXPECT_EQ(fir.EqMgPoints(), 10);
    // Each section is found on its grid point, with the gain read off the deviation within the pass's
    // 1 dB step; its Q is the best fit for that gain in 0.1 steps.
    for (const Section& e : expected) {
        SCOPED_TRACE(e.frequency);
        const TSOS* found = nullptr;
        for (size_t k = 0; k < 2; ++k) {
            found = fir.PeqMg->Peqs[k]->Frequency() == e.frequency ? fir.PeqMg->Peqs[k].get() : found;
        }
        ASSERT_NE(found, nullptr);
        EXPECT_TRUE(found->Active);
        EXPECT_EQ(found->FilterType, TPeqType::FPARAMETRICOQA);
        EXPECT_NEAR(found->Gain(), e.gain, 1.0);
        EXPECT_NEAR(found->Q(), e.q, 0.5);
    }
    // What is left lies within the 1 dB step everywhere in the band: no third section.
    EXPECT_FALSE(fir.PeqMg->Peqs[2]->Active);
    std::vector<double> bank(N), phase(N);
    fir.PeqMg->CalcResponse(bank, phase);
    for (size_t i = 0; i < N; ++i) {
        ASSERT_NEAR(m.FResponseMgdB[i] + bank[i], 90.0, 1.0) << grid.FreqDraw[i];
    }

    // Only as many sections as asked for are considered.
    TFIR one(&grid);
    one.SetMaxTaps(1023);
    one.MeasureData = &m;
    one.AutoEq(true, false, 1);
    EXPECT_TRUE(one.PeqMg->Peqs[0]->Active);
    EXPECT_FALSE(one.PeqMg->Peqs[1]->Active);
}

TEST(FirAutoEq, PhaseWrapIsUndoneByTwoHighShelvesBeforeTheBells) {
    TDSPSpace grid;
    const auto N = static_cast<size_t>(grid.NRealFreqPoints());
    const int32_t wrap = grid.FreqDraw[static_cast<size_t>(grid.FreqToPoint(3000))];
    // The unwrapped phase falls below -180 degrees first at the grid point of 3 kHz.
    std::vector<double> phase(N);
    for (size_t i = 0; i < N; ++i) {
        phase[i] = grid.FreqDraw[i] < wrap ? -179.0 : -185.0;
    }
    TMeasureSystem m(&grid);
    measure(grid, m, {}, phase);

    TFIR fir(&grid);
    fir.SetMaxTaps(1023);
    fir.MeasureData = &m;
    fir.AutoEq(false, true, 3);
    EXPECT_EQ(fir.EqPhPoints(), 3);
    for (size_t k = 0; k < 2; ++k) {
        const TFrPhPoint& p = *fir.PhasePoints[k];
        EXPECT_TRUE(p.Active());
        EXPECT_EQ(p.Frequency(), wrap);
        EXPECT_EQ(p.Degrees(), 180.0);
        EXPECT_EQ(p.Q(), 1.0);
        EXPECT_EQ(p.PointType(), TPointFirType::qzfptHighShelf);
    }
    // The search for bells starts at the third point; the fourth is beyond the points asked for.
    if (fir.PhasePoints[2]->Active()) {
        EXPECT_EQ(fir.PhasePoints[2]->PointType(), TPointFirType::qzfptBell);
    }
    EXPECT_FALSE(fir.PhasePoints[3]->Active());

    // An infinite phase somewhere in the measurement ends the pass like any other.
    m.FResponsePhDegreesUnRoll[N / 2] = -INFINITY;
    TFIR other(&grid);
    other.SetMaxTaps(1023);
    other.MeasureData = &m;
    other.AutoEq(false, true, 3);
    EXPECT_TRUE(other.PhasePoints[0]->Active());
}

// A measured phase of very many turns (read from a damaged file) ends the pass instead of being
// turned back one turn at a time; the wraps it stands for fill the list of wraps at most.
TEST(FirAutoEq, PhaseOfVeryManyTurnsEndsThePass) {
    TDSPSpace grid;
    const auto N = static_cast<size_t>(grid.NRealFreqPoints());
    TMeasureSystem m(&grid);
    measure(grid, m, {}, std::vector<double>(N, 0.0));
    const size_t at = static_cast<size_t>(grid.FreqToPoint(1000));
    for (size_t i = at; i < N; ++i) {
        m.FResponsePhDegreesUnRoll[i] = 1e300;
    }
    TFIR fir(&grid);
    fir.SetMaxTaps(1023);
    fir.MeasureData = &m;
    fir.AutoEq(false, true, 4);
    for (size_t k = 0; k < 4; ++k) {
        SCOPED_TRACE(k);
        EXPECT_TRUE(fir.PhasePoints[k]->Active());
        EXPECT_EQ(fir.PhasePoints[k]->PointType(), TPointFirType::qzfptHighShelf);
        EXPECT_EQ(fir.PhasePoints[k]->Degrees(), -180.0);
        EXPECT_EQ(fir.PhasePoints[k]->Frequency(), grid.FreqDraw[at]);
    }
}

TEST(FirAutoEq, SmoothingWindowLeavesOutTheEndPoints) {
    TDSPSpace grid;
    std::vector<int32_t> freqs(400);
    std::iota(freqs.begin(), freqs.end(), 100);
    grid.CustomLogspace(freqs);
    TMeasureSystem m(&grid);
    TFIR fir(&grid);
    std::vector<double> r(400);
    for (size_t i = 0; i < r.size(); ++i) {
        r[i] = static_cast<double>(i * i % 17);
    }
    fir.SmoothResponse(1, r); // no measurement: nothing happens
    EXPECT_TRUE(fir.AEQSMA().empty());
    fir.MeasureData = &m;
    fir.SmoothResponse(1, r); // 4 points wide
    EXPECT_DOUBLE_EQ(fir.AEQSMA()[0], (r[1] + r[2]) / 2.0);
    EXPECT_DOUBLE_EQ(fir.AEQSMA()[5], (r[3] + r[4] + r[5] + r[6] + r[7]) / 5.0);
    EXPECT_DOUBLE_EQ(fir.AEQSMA()[399], (r[397] + r[398]) / 2.0);
    fir.SmoothResponse(100, r);
    const std::vector<double> whole = fir.AEQSMA();
    fir.SmoothResponse(150, r);
    EXPECT_EQ(fir.AEQSMA(), whole);
    fir.SmoothResponse(0, r);
    EXPECT_EQ(fir.AEQSMA(), r);
}

TEST(FirAutoEq, WithoutPassesReturnsTheBandLevelOfMeasurementAndFilter) {
    TDSPSpace grid;
    TMeasureSystem m(&grid);
    measure(grid, m, {}, std::vector<double>(static_cast<size_t>(grid.NRealFreqPoints()), 0.0));
    m.SetReferenceSpl(88);
    TFIR fir(&grid);
    fir.MeasureData = &m;
    EXPECT_NEAR(fir.AutoEq(false, false, 0), 2.0, 1e-9);
    EXPECT_EQ(fir.InfluenceMgLevel(), -6.0);
}

} // namespace
} // namespace vendrel
