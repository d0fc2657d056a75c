#include "dsp/xover.h"

#include "dsp/complex.h"
#include "platform/core/numeric.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace vendrel {
namespace {

TEST(Crossover, NewCrossoverIsAnInactiveSecondOrderLinkwitzRiley) {
    TDSPSpace s;
    TXoverIIR x(&s);
    EXPECT_EQ(x.XoverType(), TXoverType::XLRiley);
    EXPECT_EQ(x.Order(), 2);
    EXPECT_EQ(x.FrequencyCut(), 1000);
    EXPECT_EQ(x.MaxOrder(), 8);
    EXPECT_EQ(x.LpHp, TXoverHPLP::xhlLowPass);
    EXPECT_FALSE(x.Active);
    EXPECT_EQ(x.TypeShortString(), "L-Riley");
    EXPECT_EQ(x.TypeLongString(), "Linkwitz Riley");
    x.CalcXover();
    const size_t n = static_cast<size_t>(s.NRealFreqPoints());
    std::vector<double> dB(n, 1), ph(n, 1);
    x.CalcResponse(dB, ph);
    EXPECT_EQ(dB, std::vector<double>(n, 0.0));
    EXPECT_EQ(ph, std::vector<double>(n, 0.0));
    x.SetXoverType(TXoverType::XButtw);
    EXPECT_EQ(x.TypeShortString(), "Butterw");
    EXPECT_EQ(x.TypeLongString(), "Butterworth");
    x.SetXoverType(TXoverType::XBessel);
    EXPECT_EQ(x.TypeLongString(), "Bessel");
}

TEST(Crossover, OrderRules) {
    TDSPSpace s;
    TXoverIIR x(&s);
    struct Case {
        TXoverType type;
        int32_t in, stored;
    };
    const Case cases[] = {
        {TXoverType::XLRiley, 3, 4},  {TXoverType::XLRiley, 12, 8}, {TXoverType::XLRiley, 0, 2},
        {TXoverType::XLRiley, 7, 8},  {TXoverType::XButtw, 0, 1},   {TXoverType::XButtw, 5, 5},
        {TXoverType::XBessel, 12, 8}, {TXoverType::XBessel, -3, 1},
    };
    for (const auto& c : cases) {
        x.SetXoverType(c.type);
        x.SetOrder(c.in);
        EXPECT_EQ(x.Order(), c.stored) << static_cast<int>(c.type) << " " << c.in;
    }
    x.SetXoverType(TXoverType::XButtw);
    x.SetOrder(5);
    x.SetXoverType(TXoverType::XLRiley);
    EXPECT_EQ(x.Order(), 6);
    x.SetFrequencyCut(30000);
    EXPECT_EQ(x.FrequencyCut(), 20000);
    x.SetFrequencyCut(1);
    EXPECT_EQ(x.FrequencyCut(), 20);
}

TEST(Crossover, LevelsAtTheCutOff) {
    TDSPSpace s;
    s.LogspacePerBand(20, 20000, TFreqBands::fbOneThirdOctave);
    const size_t at = static_cast<size_t>(s.FreqToPoint(1000));
    ASSERT_EQ(s.FreqDraw[at], 1000);
    const size_t n = static_cast<size_t>(s.NRealFreqPoints());
    struct Case {
        TXoverType type;
        int32_t order;
        double dB;
    };
    // 10 log10(1/2) and 20 log10(1/2).
    const Case cases[] = {{TXoverType::XButtw, 2, -3.0103},
                          {TXoverType::XButtw, 5, -3.0103},
                          {TXoverType::XLRiley, 4, -6.0206},
                          {TXoverType::XLRiley, 8, -6.0206}};
    for (const auto& c : cases) {
        for (const TXoverHPLP side : {TXoverHPLP::xhlLowPass, TXoverHPLP::xhlHighPass}) {
            TXoverIIR x(&s);
            x.SetXoverType(c.type);
            x.SetOrder(c.order);
            x.LpHp = side;
            x.Active = true;
            x.CalcXover();
            std::vector<double> dB(n), ph(n);
            x.CalcResponse(dB, ph);
            EXPECT_NEAR(dB[at], c.dB, 1e-4) << x.TypeShortString() << c.order;
            x.CalcResponseUnWrapped(dB, ph);
            EXPECT_NEAR(dB[at], c.dB, 2e-3) << x.TypeShortString() << c.order;
        }
    }
}

TEST(Crossover, BesselPlacesRoundedSectionsAndCapsTheLowPass) {
    TDSPSpace s;
    TXoverIIR x(&s);
    x.SetXoverType(TXoverType::XBessel);
    x.SetOrder(2);
    x.Active = true;
    x.CalcXover();
    // Round(1000 / sqrt(0.618)) and sqrt(0.618) / 1.3617 = 0.577 at one decimal.
    EXPECT_EQ(x.XSOS[1]->Frequency(), 1272);
    EXPECT_EQ(x.XSOS[1]->Q(), 0.6);
    EXPECT_EQ(x.XSOS[1]->FilterType, TPeqType::FPASOBAJOQ);
    x.SetOrder(4);
    x.SetFrequencyCut(18000);
    x.CalcXover();
    EXPECT_EQ(x.FrequencyCut(), 14900);
    // The high-pass is not capped.
    x.LpHp = TXoverHPLP::xhlHighPass;
    x.SetFrequencyCut(18000);
    x.CalcXover();
    EXPECT_EQ(x.FrequencyCut(), 18000);
    EXPECT_EQ(x.XSOS[1]->FilterType, TPeqType::FPASOALTOQ);
}

TEST(Crossover, DesignsBeyondTheSectionsOrTableRaise) {
    TDSPSpace s;
    TXoverIIR x(&s);
    x.SetMaxOrder(12);
    EXPECT_EQ(x.XSOS.size(), 12u);
    x.SetXoverType(TXoverType::XBessel);
    x.SetOrder(9);
    x.Active = true;
    EXPECT_THROW(x.CalcXover(), ERangeError);
    // Three sections leave room for one first-order and one second-order section only.
    x.SetMaxOrder(3);
    x.SetXoverType(TXoverType::XButtw);
    x.SetOrder(3);
    EXPECT_NO_THROW(x.CalcXover());
    x.SetMaxOrder(2);
    EXPECT_THROW(x.CalcXover(), ERangeError);
    std::vector<double> shortArray(1);
    EXPECT_THROW(x.CalcResponse(shortArray, shortArray), ERangeError);
}

TEST(Crossover, ZeroMagnitudeGivesMinusInfinityOnlyInTheCascadeForm) {
    TDSPSpace s;
    TXoverIIR x(&s);
    x.Active = false;
    x.CalcXover();
    x.XSOS[3]->b0 = 0.0; // a section that passes nothing
    const size_t n = static_cast<size_t>(s.NRealFreqPoints());
    std::vector<double> dB(n), ph(n);
    x.CalcResponse(dB, ph);
    EXPECT_EQ(dB[0], -std::numeric_limits<double>::infinity());
    x.CalcResponseUnWrapped(dB, ph);
    EXPECT_NEAR(dB[0], -220.0, 1e-9);
}

} // namespace
} // namespace vendrel
