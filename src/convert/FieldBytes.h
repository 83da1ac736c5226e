#pragma once

#include <cstddef>
#include <cstring>

#include "convert/Vector.h"

// Bytes of fixed-width fields, sixteen at a time. Each function reads the sixteen bytes
// at bytes, which must all be readable, and looks at those that the mask keeps.
namespace field {

inline constexpr std::size_t kSpan = 16;

#ifdef VARNEL_SSE2
// KeptMask of sixteen bytes loaded already.
inline unsigned KeptMask(__m128i bytes) {
  return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_max_epu8(bytes, _mm_set1_epi8(33)), bytes)));
}
#endif

// Bit i is set when byte i is above 32: a byte the window keeps.
inline unsigned KeptMask(const char* bytes) {
#ifdef VARNEL_SSE2
  return KeptMask(Load16(bytes));
#else
  unsigned mask = 0;
  for (std::size_t i = 0; i < kSpan; ++i) mask |= unsigned{static_cast<unsigned char>(bytes[i]) > 32} << i;
  return mask;
#endif
}

// Finds two byte values: MaskOf(bytes) has bit i set when byte i is either.
class TwoBytes {
 public:
  TwoBytes(char a, char b)
#ifdef VARNEL_SSE2
      : a_(_mm_set1_epi8(a)), b_(_mm_set1_epi8(b)) {}
#else
      : a_(a), b_(b) {}
#endif

  unsigned MaskOf(const char* bytes) const {
#ifdef VARNEL_SSE2
    const __m128i loaded = Load16(bytes);
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(loaded, a_), _mm_cmpeq_epi8(loaded, b_))));
#else
    unsigned mask = 0;
    for (std::size_t i = 0; i < kSpan; ++i) mask |= unsigned{bytes[i] == a_ || bytes[i] == b_} << i;
    return mask;
#endif
  }

 private:
#ifdef VARNEL_SSE2
  __m128i a_, b_;
#else
  char a_, b_;
#endif
};

// The index of the lowest bit set in mask, which is not 0: no test for 0 on the way.
inline int LowestBit(unsigned mask) { return __builtin_ctz(mask); }

// Whether the bits of mask, which is not 0, stand together.
inline bool IsOneRun(unsigned mask) { return ((mask + (mask & (0u - mask))) & mask) == 0; }

// Copies the run of bytes that mask (one run, not 0) picks to out with one store of
// kSpan bytes, which reads up to kSpan - 1 bytes past the sixteen at bytes; returns one
// past the last byte of the run.
inline char* CopyRun(const char* bytes, unsigned mask, char* out) {
  const int first = LowestBit(mask);
  std::memcpy(out, bytes + first, kSpan);
  return out + (LowestBit(mask + (1u << first)) - first);
}

// Copies the bytes that mask picks to out one by one, reading only the sixteen at bytes.
inline char* CopyEach(const char* bytes, unsigned mask, char* out) {
  for (std::size_t i = 0; i < kSpan; ++i) {
    *out = bytes[i];
    out += (mask >> i) & 1;
  }
  return out;
}

// Copies the bytes that mask picks to out, in order; returns one past the last. May
// store up to kSpan bytes at out, and read up to kSpan - 1 bytes past the sixteen at bytes.
inline char* CopyPicked(const char* bytes, unsigned mask, char* out) {
  if (mask == 0) return out;
  // The usual field: the kept bytes stand together between blanks.
  return IsOneRun(mask) ? CopyRun(bytes, mask, out) : CopyEach(bytes, mask, out);
}

}  // namespace field
