// Compiled with -mavx2 -mfma (acoustics/CMakeLists.txt); reached only when the processor has them.
#include "acoustics/vector_math_units.h"

#include <immintrin.h>
#include <sleef.h>

#define VM_WIDTH 8
#define VM_T __m256
#define VM_LOAD _mm256_loadu_ps
#define VM_STORE _mm256_storeu_ps
#define VM_ADD _mm256_add_ps
#define VM_MUL _mm256_mul_ps
#define VM_SINCOS Sleef_sincosf8_u10avx2
#define VM_EXP Sleef_expf8_u10avx2
#define VM_ATAN2 Sleef_atan2f8_u10avx2
#define VM_LOG10 Sleef_log10f8_u10avx2
#define VM_SET1 _mm256_set1_ps
#define VM_DIV _mm256_div_ps
#define VM_MAX _mm256_max_ps
#define VM_HMAX hmax8
#define VMD_WIDTH 4
#define VMD_T __m256d
#define VMD_LOADF(p) _mm256_cvtps_pd(_mm_loadu_ps(p))
#define VMD_STOREF(p, v) _mm_storeu_ps((p), _mm256_cvtpd_ps(v))
#define VMD_ADD _mm256_add_pd
#define VMD_SUB _mm256_sub_pd
#define VMD_MUL _mm256_mul_pd
#define VMD_SQRT _mm256_sqrt_pd
#define VMD_SET1 _mm256_set1_pd

// The largest of the eight lanes (none of them a NaN).
static inline float hmax8(__m256 v) {
    __m128 m = _mm_max_ps(_mm256_castps256_ps128(v), _mm256_extractf128_ps(v, 1));
    m = _mm_max_ps(m, _mm_movehl_ps(m, m));
    m = _mm_max_ss(m, _mm_shuffle_ps(m, m, 1));
    return _mm_cvtss_f32(m);
}
#define VM_UNIT "avx2"
#define VM_PREFIX kAvx2
#include "acoustics/vector_math_body.inc"
