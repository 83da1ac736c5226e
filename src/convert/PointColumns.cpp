#include "convert/PointColumns.h"

#include <bit>
#include <cstring>

#include "convert/FieldBytes.h"

namespace {

constexpr std::string_view kLetters = "PNEZD";
constexpr std::string_view kNames[] = {"Point", "North", "East", "Elevation", "Code"};

// A field that needs quotes: its bytes one by one, each double quote doubled.
char* WriteQuoted(const char* bytes, unsigned mask, char* out) {
  *out++ = '"';
  for (std::size_t i = 0; i < field::kSpan; ++i) {
    if (((mask >> i) & 1) == 0) continue;
    if (bytes[i] == '"') *out++ = '"';
    *out++ = bytes[i];
  }
  *out++ = '"';
  return out;
}

}  // namespace

std::optional<ColumnChoice> ParseColumns(std::string_view letters) {
  ColumnChoice choice;
  if (letters.empty() || letters.size() > choice.fields.size()) return std::nullopt;
  unsigned seen = 0;
  for (const char letter : letters) {
    const char upper = letter >= 'a' && letter <= 'z' ? static_cast<char>(letter - 'a' + 'A') : letter;
    const std::size_t index = kLetters.find(upper);
    if (index == std::string_view::npos || (seen >> index & 1) != 0) return std::nullopt;
    seen |= 1u << index;
    choice.fields[choice.count++] = static_cast<PointField>(index);
  }
  return choice;
}

ColumnChoice WindowColumns(bool changeXY) {
  using enum PointField;
  return changeXY ? ColumnChoice{{P, E, N, Z}, 4} : ColumnChoice{{P, N, E, Z}, 4};
}

ColumnChoice JobColumns(bool changeXY) {
  ColumnChoice columns = WindowColumns(changeXY);
  columns.fields[columns.count++] = PointField::D;
  return columns;
}

std::string ColumnHeader(const ColumnChoice& columns, char separator) {
  std::string header;
  for (std::size_t k = 0; k < columns.count; ++k) {
    if (k > 0) header += separator;
    header += kNames[static_cast<std::size_t>(columns.fields[k])];
  }
  return header;
}

PointWriter::PointWriter(const ColumnChoice& columns, char separator) : columns_(columns) {
  plan_.count = columns.count;
  plan_.separator = separator;
  for (std::size_t k = 0; k < columns.count; ++k) {
    if (columns.fields[k] == PointField::D) plan_.code = k;
  }
}

char* PointWriter::Write(const char* line, const FieldLayout& layout, char* out) {
  if (&layout != planned_) {
    for (std::size_t k = 0; k < columns_.count; ++k) {
      const auto which = static_cast<std::size_t>(columns_.fields[k]);
      plan_.start[k] = layout.start[which];
      plan_.width[k] = static_cast<std::uint16_t>((1u << layout.width[which]) - 1);
    }
    plan_.span = layout.span;
    planned_ = &layout;
  }
  // A copy, which the bytes stored through out cannot alias: the members would
  // otherwise be read again after every store.
  const Plan plan = plan_;
  const field::TwoBytes needQuotes(plan.separator, '"');
  for (std::size_t k = 0; k < plan.count; ++k) {
    if (k > 0) *out++ = plan.separator;
    const char* const bytes = line + plan.start[k];
    unsigned mask = field::KeptMask(bytes) & plan.width[k];
    if (mask == 0) continue;
    const int first = field::LowestBit(mask);
    if (k == plan.code) {
      // Everything from the first kept byte to the last.
      mask = (2u << (31 - std::countl_zero(mask))) - (1u << first);
    }
    if ((needQuotes.MaskOf(bytes) & mask) != 0) {
      out = WriteQuoted(bytes, mask, out);
    } else if (field::IsOneRun(mask) && plan.start[k] + first + field::kSpan <= plan.span) {
      out = field::CopyRun(bytes, mask, out);
    } else {
      // Bytes that stand apart, or a run whose one store would read past the record.
      out = field::CopyEach(bytes, mask, out);
    }
  }
  return out;
}
