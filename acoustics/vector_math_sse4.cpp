// Compiled with -msse4.1 (acoustics/CMakeLists.txt); reached only when the processor has it.
#include "acoustics/vector_math_units.h"

#include <immintrin.h>
#include <sleef.h>

#define VM_WIDTH 4
#define VM_T __m128
#define VM_LOAD _mm_loadu_ps
#define VM_STORE _mm_storeu_ps
#define VM_ADD _mm_add_ps
#define VM_MUL _mm_mul_ps
#define VM_SINCOS Sleef_sincosf4_u10sse4
#define VM_EXP Sleef_expf4_u10sse4
#define VM_ATAN2 Sleef_atan2f4_u10sse4
#define VM_LOG10 Sleef_log10f4_u10sse4
#define VM_SET1 _mm_set1_ps
#define VM_DIV _mm_div_ps
#define VM_MAX _mm_max_ps
#define VM_HMAX hmax4
#define VMD_WIDTH 2
#define VMD_T __m128d
#define VMD_LOADF(p) _mm_cvtps_pd(_mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p))))
#define VMD_STOREF(p, v) _mm_storel_pi(reinterpret_cast<__m64*>(p), _mm_cvtpd_ps(v))
#define VMD_ADD _mm_add_pd
#define VMD_SUB _mm_sub_pd
#define VMD_MUL _mm_mul_pd
#define VMD_SQRT _mm_sqrt_pd
#define VMD_SET1 _mm_set1_pd

// The largest of the four lanes (none of them a NaN).
static inline float hmax4(__m128 v) {
    __m128 m = _mm_max_ps(v, _mm_movehl_ps(v, v));
    m = _mm_max_ss(m, _mm_shuffle_ps(m, m, 1));
    return _mm_cvtss_f32(m);
}
#define VM_UNIT "sse4"
#define VM_PREFIX kSse4
#include "acoustics/vector_math_body.inc"
