#pragma once

#include <bit>
#include <cstddef>
#include <cstring>

#include "convert/Vector.h"

// Bytes of fixed-width fields, sixteen at a time. Each function reads the sixteen bytes
// at field, which must all be readable, and looks at those that the mask keeps.
namespace field {

inline constexpr std::size_t kSpan = 16;

// Bit i is set when byte i is above 32: a byte the window keeps.
inline unsigned KeptMask(const char* field) {
#ifdef VARNEL_SSE2
  const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(field));
  const __m128i kept = _mm_cmpeq_epi8(_mm_max_epu8(bytes, _mm_set1_epi8(33)), bytes);
  return static_cast<unsigned>(_mm_movemask_epi8(kept));
#else
  unsigned mask = 0;
  for (std::size_t i = 0; i < kSpan; ++i) mask |= unsigned{static_cast<unsigned char>(field[i]) > 32} << i;
  return mask;
#endif
}

// Finds two byte values in fields: MaskOf(field) has bit i set when byte i is either.
class TwoBytes {
 public:
  TwoBytes(char a, char b)
#ifdef VARNEL_SSE2
      : a_(_mm_set1_epi8(a)), b_(_mm_set1_epi8(b)) {}
#else
      : a_(a), b_(b) {}
#endif

  unsigned MaskOf(const char* field) const {
#ifdef VARNEL_SSE2
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(field));
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(bytes, a_), _mm_cmpeq_epi8(bytes, b_))));
#else
    unsigned mask = 0;
    for (std::size_t i = 0; i < kSpan; ++i) mask |= unsigned{field[i] == a_ || field[i] == b_} << i;
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

// The index of the lowest bit set in mask, which is not 0.
inline int LowestBit(unsigned mask) { return __builtin_ctz(mask); }

// Copies the bytes of field that mask picks to out, in order; returns one past the
// last. May store up to kSpan bytes at out.
inline char* CopyPicked(const char* field, unsigned mask, char* out) {
  if (mask == 0) return out;
  // Only trailing-zero counts: finding the highest bit is slow on some processors.
  const unsigned lowest = mask & (0u - mask);
  const unsigned pastRun = mask + lowest;
  if ((pastRun & mask) == 0) {
    // The usual field: the kept bytes stand together between blanks.
    const int first = std::countr_zero(mask);
    std::memcpy(out, field + first, kSpan);
    return out + (std::countr_zero(pastRun) - first);
  }
  for (std::size_t i = 0; i < kSpan; ++i) {
    *out = field[i];
    out += (mask >> i) & 1;
  }
  return out;
}

}  // namespace field
