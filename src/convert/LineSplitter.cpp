#include "convert/LineSplitter.h"

#include <bit>

#include "convert/Vector.h"

const char* FindLineEnd(const char* p, const char* end) {
#ifdef VARNEL_SSE2
  // Sixteen bytes at a time: one pass finds whichever of CR and LF comes first.
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i lf = _mm_set1_epi8('\n');
  for (; end - p >= 16; p += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const unsigned mask = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(bytes, cr), _mm_cmpeq_epi8(bytes, lf))));
    if (mask != 0) return p + std::countr_zero(mask);
  }
#endif
  for (; p != end; ++p) {
    if (*p == '\r' || *p == '\n') return p;
  }
  return end;
}
