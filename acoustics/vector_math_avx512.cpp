// Compiled with -mavx512f -mfma (acoustics/CMakeLists.txt); reached only when the processor has them.
#include "acoustics/vector_math_units.h"

#include <immintrin.h>
#include <sleef.h>

#define VM_WIDTH 16
#define VM_T __m512
#define VM_LOAD _mm512_loadu_ps
#define VM_STORE _mm512_storeu_ps
#define VM_ADD _mm512_add_ps
#define VM_MUL _mm512_mul_ps
#define VM_SINCOS Sleef_sincosf16_u10avx512f
#define VM_EXP Sleef_expf16_u10avx512f
#define VM_ATAN2 Sleef_atan2f16_u10avx512f
#define VM_LOG10 Sleef_log10f16_u10avx512f
#define VM_SET1 _mm512_set1_ps
#define VM_DIV _mm512_div_ps
#define VM_MAX _mm512_max_ps
#define VM_HMAX hmax16
#define VMD_WIDTH 8
#define VMD_T __m512d
#define VMD_LOADF(p) _mm512_cvtps_pd(_mm256_loadu_ps(p))
#define VMD_STOREF(p, v) _mm256_storeu_ps((p), _mm512_cvtpd_ps(v))
#define VMD_ADD _mm512_add_pd
#define VMD_SUB _mm512_sub_pd
#define VMD_MUL _mm512_mul_pd
#define VMD_SQRT _mm512_sqrt_pd
#define VMD_SET1 _mm512_set1_pd
#define VM_UNIT "avx512f"
#define VM_PREFIX kAvx512

// The largest of the sixteen lanes (none of them a NaN).
static inline float hmax16(__m512 v) {
    alignas(64) float lanes[16];
    _mm512_store_ps(lanes, v);
    float m = lanes[0];
    for (int i = 1; i < 16; ++i) {
        m = lanes[i] > m ? lanes[i] : m;
    }
    return m;
}

namespace vendrel::vecmath {

// Phase differences taken the shorter way round (pi and 2 pi as singles, as the polar lookup has them).
static inline __m512 shorter(__m512 d) {
    const __m512 pi = _mm512_set1_ps(3.1415927410125732f), twoPi = _mm512_set1_ps(6.2831854820251465f);
    const __mmask16 below = _mm512_cmp_ps_mask(d, _mm512_sub_ps(_mm512_setzero_ps(), pi), _CMP_LT_OQ);
    const __mmask16 above = _mm512_cmp_ps_mask(d, pi, _CMP_GT_OQ);
    d = _mm512_mask_add_ps(d, below, d, twoPi);
    return _mm512_mask_sub_ps(d, above, d, twoPi);
}

// Into [0, 2 pi) from within one turn of it.
static inline __m512 wrapOnce(__m512 x) {
    const __m512 twoPi = _mm512_set1_ps(6.28318530717959f);
    x = _mm512_mask_add_ps(x, _mm512_cmp_ps_mask(x, _mm512_setzero_ps(), _CMP_LT_OQ), x, twoPi);
    return _mm512_mask_sub_ps(x, _mm512_cmp_ps_mask(x, twoPi, _CMP_GE_OQ), x, twoPi);
}

// Gathers the two 8-byte halves (value, step) of 16 row entries and separates them: the entries
// are four singles, (magnitude, step) at pair index 2 e and (phase, step) at 2 e + 1.
static inline void gatherPairs(const float* base, __m512i pairIndex, __m512& value, __m512& step) {
    const __m256i lo = _mm512_castsi512_si256(pairIndex);
    const __m256i hi = _mm512_extracti64x4_epi64(pairIndex, 1);
    const __m512d a = _mm512_i32gather_pd(lo, base, 8);
    const __m512d b = _mm512_i32gather_pd(hi, base, 8);
    const __m512i even = _mm512_set_epi32(30, 28, 26, 24, 22, 20, 18, 16, 14, 12, 10, 8, 6, 4, 2, 0);
    const __m512i odd = _mm512_set_epi32(31, 29, 27, 25, 23, 21, 19, 17, 15, 13, 11, 9, 7, 5, 3, 1);
    value = _mm512_permutex2var_ps(_mm512_castpd_ps(a), even, _mm512_castpd_ps(b));
    step = _mm512_permutex2var_ps(_mm512_castpd_ps(a), odd, _mm512_castpd_ps(b));
}

static void kAvx512PolarColumn(const TPolarColumn& c) {
    const __m512 invL = _mm512_set1_ps(1.0f / c.tenths);
    const __m512 one = _mm512_set1_ps(1.0f);
    for (int32_t i = 0; i < c.n; i += 16) {
        const int32_t left = c.n - i;
        const __mmask16 m =
            left >= 16 ? static_cast<__mmask16>(0xFFFF) : static_cast<__mmask16>((1u << left) - 1);
        // Pair index of (magnitude, step) is 2 * entry; of (phase, step) 2 * entry + 1.
        const __m512i r1 = _mm512_slli_epi32(_mm512_maskz_loadu_epi32(m, c.row1 + i), 1);
        const __m512i r2 = _mm512_slli_epi32(_mm512_maskz_loadu_epi32(m, c.row2 + i), 1);
        const __m512 fa = _mm512_mul_ps(_mm512_cvtepi32_ps(_mm512_maskz_loadu_epi32(m, c.dAz + i)), invL);
        const __m512 fe = _mm512_mul_ps(_mm512_cvtepi32_ps(_mm512_maskz_loadu_epi32(m, c.dEl + i)), invL);
        __m512 v1, s1, v2, s2;
        gatherPairs(c.packed, r1, v1, s1);
        gatherPairs(c.packed, r2, v2, s2);
        const __m512 m1 = _mm512_fmadd_ps(fa, s1, v1);
        const __m512 m2 = _mm512_fmadd_ps(fa, s2, v2);
        const __m512 mag = _mm512_fmadd_ps(fe, _mm512_sub_ps(m2, m1), m1);
        __m512 phase = _mm512_set1_ps(c.axisPhase);
        if (c.realPhase) {
            const __m512i oneI = _mm512_set1_epi32(1);
            gatherPairs(c.packed, _mm512_add_epi32(r1, oneI), v1, s1);
            gatherPairs(c.packed, _mm512_add_epi32(r2, oneI), v2, s2);
            const __m512 q1 = wrapOnce(_mm512_fmadd_ps(fa, s1, v1));
            const __m512 q2 = wrapOnce(_mm512_fmadd_ps(fa, s2, v2));
            phase = wrapOnce(_mm512_fmadd_ps(fe, shorter(_mm512_sub_ps(q2, q1)), q1));
        }
        const __m512 d = _mm512_mask_loadu_ps(one, m, c.dist + i);
        const __m512 dc = _mm512_max_ps(d, one);
        __m512 amp = _mm512_mul_ps(_mm512_mul_ps(mag, _mm512_set1_ps(c.procMag)),
                                   _mm512_maskz_loadu_ps(m, c.invSpread + i));
        amp = _mm512_mul_ps(amp, Sleef_expf16_u10avx512f(_mm512_mul_ps(_mm512_set1_ps(c.lossPerMeter), dc)));
        // phase * z + processing phase - (d - 1) k, the product kept exact by the split wavenumber.
        const __m512 dm1 = _mm512_sub_ps(d, one);
        __m512 phi = _mm512_fmadd_ps(phase, _mm512_set1_ps(c.polarPhaseFactor), _mm512_set1_ps(c.procPhase));
        phi = _mm512_fnmadd_ps(dm1, _mm512_set1_ps(c.krHi), phi);
        phi = _mm512_fnmadd_ps(dm1, _mm512_set1_ps(c.krLo), phi);
        const Sleef___m512_2 sc = Sleef_sincosf16_u10avx512f(phi);
        const __m512 re = _mm512_maskz_loadu_ps(m, c.re + i), im = _mm512_maskz_loadu_ps(m, c.im + i);
        _mm512_mask_storeu_ps(c.re + i, m, _mm512_fmadd_ps(amp, sc.y, re));
        _mm512_mask_storeu_ps(c.im + i, m, _mm512_fmadd_ps(amp, sc.x, im));
    }
}

static void kAvx512PolarGeometry(const TPolarGeometry& g) {
    const __m512 lane = _mm512_set_ps(15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0);
    const __m512 one = _mm512_set1_ps(1.0f);
    const __m512 radToDeg = _mm512_set1_ps(57.29577951308232f);
    const __m512 twoPi = _mm512_set1_ps(6.283185307179586f);
    const __m512 full = _mm512_set1_ps(360.0f);
    const __m512 perCell = _mm512_set1_ps(1.0f / static_cast<float>(g.r));
    const __m512 tenths = _mm512_set1_ps(10.0f * static_cast<float>(g.r));
    const __m512i nAz = _mm512_set1_epi32(g.nAz), nEl = _mm512_set1_epi32(g.nEl);
    const __m512i slice = _mm512_set1_epi32(g.nEl * g.nAz);
    const __m512i lastEl = _mm512_set1_epi32(g.nEl - 1);
    const __m512i zero = _mm512_setzero_si512();
    for (int32_t i = 0; i < g.n; i += 16) {
        const int32_t left = g.n - i;
        const __mmask16 m =
            left >= 16 ? static_cast<__mmask16>(0xFFFF) : static_cast<__mmask16>((1u << left) - 1);
        const __m512 l = _mm512_add_ps(lane, _mm512_set1_ps(static_cast<float>(i)));
        const __m512 tx = _mm512_fmadd_ps(l, _mm512_set1_ps(g.dt[0]), _mm512_set1_ps(g.t0[0]));
        const __m512 ty = _mm512_fmadd_ps(l, _mm512_set1_ps(g.dt[1]), _mm512_set1_ps(g.t0[1]));
        const __m512 tz = _mm512_fmadd_ps(l, _mm512_set1_ps(g.dt[2]), _mm512_set1_ps(g.t0[2]));
        const __m512 yz = _mm512_fmadd_ps(tz, tz, _mm512_mul_ps(ty, ty));
        const __m512 dist = _mm512_sqrt_ps(_mm512_fmadd_ps(tx, tx, yz));
        _mm512_mask_storeu_ps(g.dist + i, m, dist);
        _mm512_mask_storeu_ps(g.invSpread + i, m, _mm512_div_ps(one, _mm512_max_ps(dist, one)));
        // Angle from the axis, 0..180 degrees; turn of the plane, [180, 540) brought into [0, 360).
        const __m512 azDeg = _mm512_mul_ps(Sleef_atan2f16_u10avx512f(_mm512_sqrt_ps(yz), tx), radToDeg);
        __m512 elDeg = _mm512_mul_ps(
            _mm512_sub_ps(twoPi, Sleef_atan2f16_u10avx512f(ty, _mm512_sub_ps(_mm512_setzero_ps(), tz))),
            radToDeg);
        elDeg = _mm512_mask_sub_ps(elDeg, _mm512_cmp_ps_mask(elDeg, full, _CMP_GE_OQ), elDeg, full);
        const __m512 azCell = _mm512_mul_ps(azDeg, perCell), elCell = _mm512_mul_ps(elDeg, perCell);
        const __m512i p1 = _mm512_cvttps_epi32(azCell);
        __m512i e1 = _mm512_cvttps_epi32(elCell);
        _mm512_mask_storeu_epi32(
            g.dAz + i, m,
            _mm512_cvttps_epi32(_mm512_mul_ps(_mm512_sub_ps(azCell, _mm512_cvtepi32_ps(p1)), tenths)));
        _mm512_mask_storeu_epi32(
            g.dEl + i, m,
            _mm512_cvttps_epi32(_mm512_mul_ps(_mm512_sub_ps(elCell, _mm512_cvtepi32_ps(e1)), tenths)));
        // Mirrored azimuth (nAz - p1) mod nAz.
        const __m512i mirrored =
            _mm512_mask_mov_epi32(_mm512_sub_epi32(nAz, p1), _mm512_cmpeq_epi32_mask(p1, zero), zero);
        __m512i e2 = _mm512_add_epi32(e1, _mm512_set1_epi32(1));
        const __mmask16 mir1 = _mm512_cmpgt_epi32_mask(e1, lastEl);
        e1 = _mm512_mask_sub_epi32(e1, mir1, e1, nEl);
        const __m512i b1 = _mm512_mask_mov_epi32(p1, mir1, mirrored);
        __mmask16 mir2 = _mm512_cmpgt_epi32_mask(e2, lastEl);
        e2 = _mm512_mask_sub_epi32(e2, mir2, e2, nEl);
        const __mmask16 twice = _mm512_cmpgt_epi32_mask(e2, lastEl); // exactly 360 degrees: mirrored back
        e2 = _mm512_mask_sub_epi32(e2, twice, e2, nEl);
        mir2 = static_cast<__mmask16>(mir2 & ~twice);
        const __m512i b2 = _mm512_mask_mov_epi32(p1, mir2, mirrored);
        const __m512i row1 = _mm512_add_epi32(_mm512_maskz_mov_epi32(mir1, slice),
                                              _mm512_add_epi32(_mm512_mullo_epi32(e1, nAz), b1));
        const __m512i row2 = _mm512_add_epi32(_mm512_maskz_mov_epi32(mir2, slice),
                                              _mm512_add_epi32(_mm512_mullo_epi32(e2, nAz), b2));
        _mm512_mask_storeu_epi32(g.row1 + i, m, row1);
        _mm512_mask_storeu_epi32(g.row2 + i, m, row2);
    }
}

} // namespace vendrel::vecmath

#define VM_POLAR_COLUMN &kAvx512PolarColumn
#define VM_POLAR_GEOMETRY &kAvx512PolarGeometry
#include "acoustics/vector_math_body.inc"
