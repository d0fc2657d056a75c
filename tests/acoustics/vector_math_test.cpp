#include "acoustics/vector_math.h"

#include <gtest/gtest.h>

#include <cmath>
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
