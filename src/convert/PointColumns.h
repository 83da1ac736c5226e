#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "convert/SdrRecord.h"

// A point's fields written as CSV columns that the user picks by letter: P the point id,
// N north, E east, Z the elevation, D the description (the point's code). P, N, E and
// Z lose every byte of code 0 to 32, as in the window; D loses such bytes only at its
// ends, so that a code of two words stays two words. A field that holds the separator or
// a double quote is written in double quotes, each double quote doubled (RFC 4180).
enum class PointField : std::uint8_t { P, N, E, Z, D };

// Where the fields of a point of the job model stand (survey::JobPoint::columns).
inline constexpr FieldLayout kJobPointColumns = {{0, 16, 32, 48, 64}, {16, 16, 16, 16, 16}, 80};

// Which fields, in which order.
struct ColumnChoice {
  std::array<PointField, 5> fields{};
  std::size_t count = 0;
};

// The columns that letters such as "PNEZD" name, in either case, each at most once and
// nothing else; nothing when they name no valid choice.
std::optional<ColumnChoice> ParseColumns(std::string_view letters);

// The window's columns: P, E, N, Z with X and Y exchanged, else P, N, E, Z.
ColumnChoice WindowColumns(bool changeXY);
// The window's columns for every point of a job: the same, and D.
ColumnChoice JobColumns(bool changeXY);

// A first line naming the columns (Point, North, East, Elevation, Code), without its end.
std::string ColumnHeader(const ColumnChoice& columns, char separator);

class PointWriter {
 public:
  // The longest CSV line, and room for the sixteen-byte stores that write it.
  static constexpr std::size_t kLongestLine = 5 * (2 * 16 + 2) + 4;
  static constexpr std::size_t kRoom = kLongestLine + 16;

  PointWriter(const ColumnChoice& columns, char separator);

  // Writes the chosen fields of the point at line, laid out as layout says, to out
  // (room for kRoom bytes) and returns one past the last byte written. The first
  // layout.span bytes of line must be readable. Layouts are told apart by their
  // address: each must stay as it is while the writer lives.
  char* Write(const char* line, const FieldLayout& layout, char* out);

 private:
  // The columns as they stand in one layout, worked out when the layout changes.
  struct Plan {
    std::array<std::uint8_t, 5> start{};
    std::array<std::uint16_t, 5> width{};  // as a mask of the bytes the field has
    std::size_t code = 5;                   // which column is D, if any
    std::size_t count = 0;
    std::size_t span = 0;                   // the bytes of the line that may be read
    char separator = ';';
  };

  ColumnChoice columns_;
  Plan plan_;
  const FieldLayout* planned_ = nullptr;  // the layout plan_ is for
};
