#include "acoustics/vector_math.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

using namespace vendrel;

// Every unit against double-precision cos/sin/exp/atan2 of the same single inputs, on lengths that
// leave tails of every size. SLEEF u10 promises 1 ULP; the products and sums add a few more.
TEST(VectorMath, EveryUnitMatchesDoublePrecisionReference) {
    for (const char* unit : {"avx512f", "avx2", "sse4", "scalar"}) {
        SetVectorMathUnit(unit);
        for (const int32_t n : {1, 3, 7, 8, 15, 16, 17, 33, 250}) {
            std::vector<float> amp(n), ph(n), re(n, 0.25f), im(n, -0.5f), y(n), x(n), e(n);
            for (int32_t i = 0; i < n; ++i) {
                amp[i] = 0.01f + 0.37f * static_cast<float>(i % 11);
                ph[i] = -40.0f + 1.37f * static_cast<float>(i);
                y[i] = std::sin(0.3f * static_cast<float>(i)) - 0.2f;
                x[i] = std::cos(0.7f * static_cast<float>(i)) * (i % 2 ? -1.0f : 1.0f);
                e[i] = -3.0f + 0.05f * static_cast<float>(i);
            }
            std::vector<float> ex = e, at(n);
            SinCosAccumulate(amp.data(), ph.data(), re.data(), im.data(), n);
            ExpInPlace(ex.data(), n);
            Atan2Array(y.data(), x.data(), at.data(), n);
            for (int32_t i = 0; i < n; ++i) {
                const double a = amp[i], p = ph[i];
                EXPECT_NEAR(re[i], 0.25 + a * std::cos(p), 4e-7 * (1 + a))
                    << unit << " n=" << n << " i=" << i;
                EXPECT_NEAR(im[i], -0.5 + a * std::sin(p), 4e-7 * (1 + a))
                    << unit << " n=" << n << " i=" << i;
                EXPECT_NEAR(ex[i], std::exp(static_cast<double>(e[i])), 2.5e-7 * std::exp(e[i])) << unit;
                EXPECT_NEAR(at[i], std::atan2(static_cast<double>(y[i]), x[i]), 1e-6) << unit;
            }
        }
    }
    SetVectorMathUnit(nullptr);
    EXPECT_NE(std::string(VectorMathUnit()), "");
}

// The summation's rows on every unit against the C library's single-precision hypot, sums and
// differences, bit for bit (whatever the lanes, the result must not depend on the processor), and its
// levels against the library's log10 within one unit in the last place. The values span the map's
// range: the floor value, tiny and huge pressures, exact zeros.
TEST(VectorMath, SummationRowsEqualTheLibraryOnEveryUnit) {
    std::mt19937 random(7);
    const auto value = [&random](int i) {
        if (i % 13 == 0) {
            return std::numeric_limits<float>::denorm_min();
        }
        if (i % 17 == 0) {
            return 0.0f;
        }
        const float mantissa = std::uniform_real_distribution<float>(-1.0f, 1.0f)(random);
        return std::ldexp(mantissa, std::uniform_int_distribution<int>(-140, 60)(random));
    };
    for (const char* unit : {"avx512f", "avx2", "sse4", "scalar"}) {
        SetVectorMathUnit(unit);
        for (const int32_t n : {1, 5, 8, 15, 16, 17, 31, 250}) {
            std::vector<float> re(n), im(n), cr(n), ci(n), acc(n), mag(n);
            for (int32_t i = 0; i < n; ++i) {
                re[i] = value(i);
                im[i] = value(i + 1);
                cr[i] = value(i + 2);
                ci[i] = value(i + 3);
                acc[i] = std::fabs(value(i + 4));
                mag[i] = std::fabs(value(i + 5)) + std::numeric_limits<float>::denorm_min();
            }
            std::vector<float> sum1 = re, sum2 = im, hyp = acc, weighted = re, level(n), shifted = re;
            ComplexAddInto(sum1.data(), sum2.data(), cr.data(), ci.data(), n);
            HypotAccumulate(cr.data(), ci.data(), hyp.data(), n);
            WeightedHypotAccumulate(cr.data(), ci.data(), 0.71, weighted.data(), n);
            LevelsFromMagnitudes(mag.data(), 14.0f, level.data(), n);
            SubtractInDouble(shifted.data(), 3.25e-3, n);
            float largest = 0;
            for (int32_t i = 0; i < n; ++i) {
                const std::string at =
                    std::string(unit) + " n=" + std::to_string(n) + " i=" + std::to_string(i);
                EXPECT_EQ(sum1[i], re[i] + cr[i]) << at;
                EXPECT_EQ(sum2[i], im[i] + ci[i]) << at;
                EXPECT_EQ(hyp[i], acc[i] + std::hypot(cr[i], ci[i])) << at;
                EXPECT_EQ(weighted[i], static_cast<float>(re[i] + 0.71 * std::hypot(cr[i], ci[i]))) << at;
                EXPECT_EQ(shifted[i], static_cast<float>(static_cast<double>(re[i]) - 3.25e-3)) << at;
                // Each logarithm lies within 1 ULP of the exact one, so the two within 2, times 20,
                // plus the rounding of each product. A quotient that underflows to 0 gives minus
                // infinity in both.
                const float want = static_cast<float>(20.0 * static_cast<double>(std::log10(mag[i] / 14.0f)));
                const float logUlp = std::fabs(std::nextafter(want / 20, 0.0f) - want / 20);
                if (std::isinf(want)) {
                    EXPECT_EQ(level[i], want) << at;
                } else {
                    EXPECT_LE(std::fabs(level[i] - want),
                              40 * logUlp + std::fabs(std::nextafter(want, 0.0f) - want))
                        << at;
                }
                largest = std::max(largest, re[i]);
            }
            EXPECT_EQ(MaxFromZero(re.data(), n), largest) << unit;
            // A value that is not a number is passed over, as std::max passes it over.
            re[n / 2] = std::numeric_limits<float>::quiet_NaN();
            float withoutNaN = 0;
            for (int32_t i = 0; i < n; ++i) {
                withoutNaN = std::max(withoutNaN, re[i]);
            }
            EXPECT_EQ(MaxFromZero(re.data(), n), withoutNaN) << unit;
        }
    }
    SetVectorMathUnit(nullptr);
}
