#pragma once

// Whether the line search and the record conversion may use SSE2, which every x86-64
// processor has. Without it (the 32-bit program, or a build with VARNEL_SCALAR_ONLY to
// test them) they take plain loops.
#if !defined(VARNEL_SCALAR_ONLY) && (defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2))
#include <emmintrin.h>
#define VARNEL_SSE2 1

// The sixteen bytes at p, wherever they stand.
inline __m128i Load16(const char* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
#endif
