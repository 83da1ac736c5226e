#include "convert/SdrRecord.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#include "convert/Vector.h"

namespace {

constexpr std::array<std::size_t, 4> kFieldStart = {4, 20, 36, 52};  // columns 5, 21, 37 and 53

// Bit i is set when byte i of the field is above 32.
unsigned KeptMask(const char* field) {
#ifdef VARNEL_SSE2
  const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(field));
  const __m128i kept = _mm_cmpeq_epi8(_mm_max_epu8(bytes, _mm_set1_epi8(33)), bytes);
  return static_cast<unsigned>(_mm_movemask_epi8(kept));
#else
  unsigned mask = 0;
  for (std::size_t i = 0; i < SdrFieldWidth; ++i) mask |= unsigned{static_cast<unsigned char>(field[i]) > 32} << i;
  return mask;
#endif
}

// Copies the bytes of the field picked by mask one by one.
char* CopyScatteredBytes(const char* field, unsigned mask, char* out) {
  for (std::size_t i = 0; i < SdrFieldWidth; ++i) {
    *out = field[i];
    out += (mask >> i) & 1;
  }
  return out;
}

// Copies the bytes above 32 of one field to out; returns one past the last byte kept.
// May store up to SdrFieldWidth bytes at out, and reads up to SdrFieldWidth bytes
// past the field, which the trailing characters of a record provide.
inline char* CopyKeptBytes(const char* field, char* out) {
  const unsigned mask = KeptMask(field);
  if (mask == 0) return out;
  // Only trailing-zero counts: finding the highest bit is slow on some processors.
  const unsigned lowest = mask & (0u - mask);
  const unsigned pastRun = mask + lowest;
  if ((pastRun & mask) != 0) return CopyScatteredBytes(field, mask, out);
  // The usual field: the kept bytes stand together between blanks.
  const int first = std::countr_zero(mask);
  std::memcpy(out, field + first, SdrFieldWidth);
  return out + (std::countr_zero(pastRun) - first);
}

}  // namespace

SdrLineConverter::SdrLineConverter(const ConversionOptions& options)
    : secondField_(kFieldStart[options.ChangeXY ? 2 : 1]), thirdField_(kFieldStart[options.ChangeXY ? 1 : 2]) {
  const auto addToSeparator = [&](char c) {
    const std::size_t shift = std::endian::native == std::endian::little ? 8 * separatorLength_ : 24 - 8 * separatorLength_;
    separator_ |= std::uint32_t{static_cast<unsigned char>(c)} << shift;
    ++separatorLength_;
  };
  if (options.SemicolonSelected) addToSeparator(';');
  if (options.CommaSelected) addToSeparator(',');
  if (options.TabSelected) addToSeparator('\t');
}

std::size_t SdrLineConverter::Convert(std::string_view line, char* out) const {
  if (line.size() != SdrLineLength) return 0;

  // The separator is stored four bytes wide and then advanced by its length: storing
  // its bytes one by one and reading them back as one word stalls.
  const auto addSeparator = [&](char* at) {
    std::memcpy(at, &separator_, sizeof separator_);
    return at + separatorLength_;
  };
  const char* fields = line.data();
  char* end = CopyKeptBytes(fields + kFieldStart[0], out);
  end = CopyKeptBytes(fields + secondField_, addSeparator(end));
  end = CopyKeptBytes(fields + thirdField_, addSeparator(end));
  end = CopyKeptBytes(fields + kFieldStart[3], addSeparator(end));
  return static_cast<std::size_t>(end - out);
}

CsvLine ConvertSdrLine(std::string_view line, const ConversionOptions& options) {
  CsvLine csvLine;
  csvLine.length_ = static_cast<std::uint8_t>(SdrLineConverter(options).Convert(line, csvLine.text_));
  return csvLine;
}
