#include "convert/SdrRecord.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <utility>

#include "convert/FieldBytes.h"
#include "convert/LineSplitter.h"

namespace {

constexpr const auto& kFieldStart = kSdr33Point.start;  // columns 5, 21, 37 and 53, then the description

// Each separator and the option that selects it, in the order the window writes them.
constexpr std::pair<bool ConversionOptions::*, char> kSeparators[] = {
    {&ConversionOptions::SemicolonSelected, ';'}, {&ConversionOptions::CommaSelected, ','}, {&ConversionOptions::TabSelected, '\t'}};

// Copies the bytes above 32 of one field to out; returns one past the last byte kept.
// May store up to SdrFieldWidth bytes at out, and reads up to SdrFieldWidth bytes
// past the field, which the trailing characters of a record provide.
inline char* CopyKeptBytes(const char* bytes, char* out) { return field::CopyPicked(bytes, field::KeptMask(bytes), out); }

}  // namespace

std::string SeparatorText(const ConversionOptions& options) {
  std::string text;
  for (const auto& [selected, c] : kSeparators) {
    if (options.*selected) text += c;
  }
  return text;
}

void SelectSeparator(ConversionOptions& options, char separator) {
  for (const auto& [selected, c] : kSeparators) options.*selected = c == separator;
}

SdrLineConverter::SdrLineConverter(const ConversionOptions& options)
    : secondField_(kFieldStart[options.ChangeXY ? 2 : 1]), thirdField_(kFieldStart[options.ChangeXY ? 1 : 2]) {
  const auto addToSeparator = [&](char c) {
    const std::size_t shift = std::endian::native == std::endian::little ? 8 * separatorLength_ : 24 - 8 * separatorLength_;
    separator_ |= std::uint32_t{static_cast<unsigned char>(c)} << shift;
    ++separatorLength_;
  };
  for (const char c : SeparatorText(options)) addToSeparator(c);
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

char* SdrLineConverter::ConvertRecord(const char* bytes, char* out) const {
#ifdef VARNEL_SSE2
  // The record's bytes are loaded once, for the line end test and for the fields.
  const auto load = [&](std::size_t at) { return Load16(bytes + at); };
  const __m128i first = load(kFieldStart[0]), second = load(secondField_), third = load(thirdField_),
                fourth = load(kFieldStart[3]);
  // Where any byte is below 14, a CR or an LF among them, the line by line reading decides.
  if (MayHoldLineEnd(_mm_min_epu8(_mm_min_epu8(_mm_min_epu8(load(0), load(SdrLineLength - 16)), first),
                                  _mm_min_epu8(_mm_min_epu8(second, third), fourth)))) {
    return nullptr;
  }
  const auto copy = [&](const __m128i& field, std::size_t start, char* at) {
    return field::CopyPicked(bytes + start, field::KeptMask(field), at);
  };
  const auto addSeparator = [&](char* at) {
    std::memcpy(at, &separator_, sizeof separator_);
    return at + separatorLength_;
  };
  char* end = copy(first, kFieldStart[0], out);
  end = copy(second, secondField_, addSeparator(end));
  end = copy(third, thirdField_, addSeparator(end));
  return copy(fourth, kFieldStart[3], addSeparator(end));
#else
  if (MayHoldLineEnd(bytes, SdrLineLength)) return nullptr;
  return out + Convert(std::string_view(bytes, SdrLineLength), out);
#endif
}

CsvLine ConvertSdrLine(std::string_view line, const ConversionOptions& options) {
  CsvLine csvLine;
  csvLine.length_ = static_cast<std::uint8_t>(SdrLineConverter(options).Convert(line, csvLine.text_));
  return csvLine;
}
