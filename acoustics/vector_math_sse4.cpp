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
#define VM_UNIT "sse4"
#define VM_PREFIX kSse4
#include "acoustics/vector_math_body.inc"
