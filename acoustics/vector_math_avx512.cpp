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
#define VM_UNIT "avx512f"
#define VM_PREFIX kAvx512
#include "acoustics/vector_math_body.inc"
