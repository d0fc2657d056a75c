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
#define VM_UNIT "avx2"
#define VM_PREFIX kAvx2
#include "acoustics/vector_math_body.inc"
