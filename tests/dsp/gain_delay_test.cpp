#include "dsp/gain_delay.h"

#include "platform/core/numeric.h"

#include <gtest/gtest.h>

#include <cmath>
#include <locale>

namespace vendrel {
namespace {

TEST(Gain, LimitsAndLinearFactor) {
    TGain g;
    EXPECT_EQ(g.dB(), 0.0);
    EXPECT_EQ(g.Lineal(), 1.0);
    struct Case {
        double in, stored;
    };
    for (const Case c : {Case{20, 12}, Case{-60, -40}, Case{-3.25, -3.25}, Case{12, 12}}) {
        g.SetdB(c.in);
        EXPECT_EQ(g.dB(), c.stored) << c.in;
    }
    g.SetdB(6);
    g.InvertPolarity();
    EXPECT_NEAR(g.Lineal(), -1.9952623149688795, 1e-15);
    EXPECT_EQ(g.Coef(), g.Lineal());
    g.Mute = TGainMute::qzgmtEnabled;
    EXPECT_EQ(g.Lineal(), 0.0);
    g.InvertPolarity();
    EXPECT_EQ(g.Polarity, TGainPolarity::qzgmtNormal);
    g.Reset();
    EXPECT_EQ(g.dB(), 0.0);
    EXPECT_EQ(g.Mute, TGainMute::qzgmtDisabled);
    EXPECT_EQ(g.Lineal(), 1.0);
}

TEST(Gain, TextHasOneDecimalRoundedAwayFromZero) {
    TGain g;
    struct Case {
        double in;
        const char* text;
    };
    for (const Case c : {Case{-3.26, "-3.3"}, Case{0, "0.0"}, Case{-0.04, "0.0"}, Case{2.25, "2.3"},
                         Case{-2.25, "-2.3"}, Case{9.96, "10.0"}, Case{12, "12.0"}, Case{-39.95, "-40.0"}}) {
        g.SetdB(c.in);
        EXPECT_EQ(g.dBToStr(), c.text) << c.in;
    }
    EXPECT_EQ(FormatFixedDecimals(1.005, 2), "1.01"); // 1.00499999999999989... reads 1.005 at 15 digits
    EXPECT_EQ(FormatFixedDecimals(123456.789, 2), "123456.79");
    EXPECT_EQ(FormatFixedDecimals(0.001, 2), "0.00");
}

TEST(Delay, NewDelayAndUnitSetters) {
    TDSPSpace s;
    TDelay d(&s);
    EXPECT_EQ(d.Samples(), 0);
    EXPECT_EQ(d.MaxSamples(), 10000);
    EXPECT_EQ(d.TempCelsious(), 25.0);
    EXPECT_DOUBLE_EQ(d.SoundSpeed(), 346.4455955);
    EXPECT_EQ(d.SampleRate(), TSampleRate::sr48k);

    // Each unit value is turned into whole samples at 48000 Hz (hand computation, c = 346.4455955 m/s);
    // every mirror then follows the sample count.
    const double c = 346.4455955;
    struct Case {
        void (TDelay::*set)(double);
        double value;
        int32_t samples;
    };
    const Case cases[] = {
        {&TDelay::Setms, 1.001, 48},       // 48.048
        {&TDelay::Setseg, 0.0100104, 480}, // 480.4992
        {&TDelay::Setmeters, 1.0, 139},    // 138.549...
        {&TDelay::Setcm, 250.0, 346},      // 346.37...
        {&TDelay::Setinches, 100.0, 352},  // 351.91...
        {&TDelay::Setfeet, 10.0, 422},     // 422.29...
    };
    for (const auto& k : cases) {
        (d.*k.set)(k.value);
        ASSERT_EQ(d.Samples(), k.samples) << k.value;
        const double t = k.samples / 48000.0;
        EXPECT_NEAR(d.seg(), t, 1e-15);
        EXPECT_NEAR(d.ms(), t * 1000, 1e-12);
        EXPECT_NEAR(d.meters(), t * c, 1e-12);
        EXPECT_NEAR(d.cm(), t * c * 100, 1e-10);
        EXPECT_NEAR(d.feet(), t * c * 3.2808399, 1e-12);
        EXPECT_NEAR(d.inches(), t * c * 100 * 0.3937, 1e-10);
    }
    d.Setms(1.001);
    EXPECT_DOUBLE_EQ(d.ms(), 1.0);
    EXPECT_NEAR(d.meters(), 0.34644559550, 1e-11);
    EXPECT_EQ(d.msToString(), "1.00");
    EXPECT_EQ(d.metersToString(), "0.35");
    // Negative values are ignored by every setter; a half sample rounds to even.
    d.Setms(-5);
    d.SetSamples(-1);
    EXPECT_EQ(d.Samples(), 48);
    d.Setseg(2.5 / 48000);
    EXPECT_EQ(d.Samples(), 2);
    // A count beyond 32 bits raises and leaves the delay as it was.
    EXPECT_THROW(d.Setseg(1e6), ERangeError);
    EXPECT_EQ(d.Samples(), 2);
}

TEST(Delay, MaximumAndTemperature) {
    TDSPSpace s;
    TDelay d(&s);
    d.SetSamples(20000);
    EXPECT_EQ(d.Samples(), 10000);
    EXPECT_NEAR(d.seg(), 10000 / 48000.0, 1e-15);
    d.SetSamples(500);
    d.SetMaxSamples(100);
    EXPECT_EQ(d.Samples(), 100);
    d.Setmeters(100);
    EXPECT_EQ(d.Samples(), 100);
    // The mirrors keep the old speed until the delay changes.
    const double before = d.meters();
    d.SetTempCelsious(35);
    EXPECT_DOUBLE_EQ(d.SoundSpeed(), 352.4455955);
    EXPECT_EQ(d.meters(), before);
    d.SetSamples(50);
    EXPECT_NEAR(d.meters(), 50 / 48000.0 * 352.4455955, 1e-12);
    d.Reset();
    EXPECT_EQ(d.Samples(), 0);
    EXPECT_EQ(d.TempCelsious(), 25.0);
    EXPECT_EQ(d.meters(), 0.0);
}

TEST(Delay, TextUsesTheLocaleDecimalSeparator) {
    struct Comma : std::numpunct<char> {
        char do_decimal_point() const override { return ','; }
    };
    const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new Comma));
    TDSPSpace s;
    TDelay d(&s);
    d.SetSamples(48);
    EXPECT_EQ(d.msToString(), "1,00");
    TGain g;
    g.SetdB(-3.26);
    EXPECT_EQ(g.dBToStr(), "-3,3");
    std::locale::global(previous);
}

} // namespace
} // namespace vendrel
