#include "dsp/phase_points.h"

#include <gtest/gtest.h>

#include <vector>

namespace vendrel {
namespace {

TEST(PhasePoint, NewPointAndDegrees) {
    TDSPSpace s;
    TFrPhPoint p(&s);
    EXPECT_EQ(p.PointType(), TPointFirType::qzfptBell);
    EXPECT_EQ(p.Frequency(), 1000);
    EXPECT_EQ(p.Q(), 0.7);
    EXPECT_EQ(p.Degrees(), 0.0);
    EXPECT_FALSE(p.Active());
    struct Case {
        double degrees, stored, gain;
    };
    // 15 dB stand for 180 degrees; the gain keeps one decimal (-3.75 -> -3.8, halves to even).
    for (const Case c : {Case{90, 90, 7.5}, Case{200, 180, 15}, Case{-45, -45, -3.8}, Case{-500, -180, -15},
                         Case{30, 30, 2.5}}) {
        p.SetDegrees(c.degrees);
        EXPECT_EQ(p.Degrees(), c.stored) << c.degrees;
        EXPECT_EQ(p.SOS().Gain(), c.gain) << c.degrees;
    }
    p.SetQ(10);
    EXPECT_EQ(p.Q(), 5.0);
    p.SetQ(0.1);
    EXPECT_EQ(p.Q(), 0.2);
}

TEST(PhasePoint, TypeFollowsTheSection) {
    TDSPSpace s;
    TFrPhPoint p(&s);
    p.SOS().FilterType = TPeqType::FSHELVINGPA6;
    EXPECT_EQ(p.PointType(), TPointFirType::qzfptHighShelf);
    p.SOS().FilterType = TPeqType::FSHELVINGPB6;
    EXPECT_EQ(p.PointType(), TPointFirType::qzfptBell);
    p.SetPointType(TPointFirType::qzfptHighShelf);
    EXPECT_EQ(p.SOS().FilterType, TPeqType::FSHELVINGPA12Q);
    p.SetPointType(TPointFirType::qzfptBell);
    EXPECT_EQ(p.SOS().FilterType, TPeqType::FPARAMETRICOQA);
}

TEST(PhasePoint, ResponseCarriesTheShapeAsPhaseAndNoMagnitude) {
    TDSPSpace s;
    s.LogspacePerBand(20, 20000, TFreqBands::fbOneThirdOctave);
    TFrPhPoint p(&s);
    p.SetDegrees(90);
    p.SetActive(true);
    p.CalcPoint();
    const size_t n = static_cast<size_t>(s.NRealFreqPoints());
    std::vector<double> dB(n, 5), ph(n, 5);
    p.CalcResponse(dB, ph);
    EXPECT_NEAR(ph[static_cast<size_t>(s.FreqToPoint(1000))], 7.5, 1e-9);
    EXPECT_EQ(dB, std::vector<double>(n, 0.0));
    // The shape is the bell's magnitude: below 7.5 away from the centre, symmetric in octaves.
    EXPECT_LT(ph[0], 0.1);
    EXPECT_GT(ph[static_cast<size_t>(s.FreqToPoint(500))], 1.0);
    p.CalcResponseUnWrapped(dB, ph);
    EXPECT_NEAR(ph[static_cast<size_t>(s.FreqToPoint(1000))], 7.5, 1e-9);
}

} // namespace
} // namespace vendrel
