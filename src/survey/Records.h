#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "convert/SdrRecord.h"

// Where the fields of the records that a job's points come from stand, in the two
// generations of the SDR format. SDR33 fields are 16 bytes wide; in SDR2x point ids are
// 4 bytes and numbers 10, touching with no blank between them.
namespace survey {

// One field: its first byte, from 0, and its width.
struct Field {
  std::uint8_t start;
  std::uint8_t width;
  constexpr std::size_t end() const { return std::size_t{start} + width; }
};

// A record that carries a point's coordinates (02, 08, 15, 18). Fields in the order the
// record holds them; with the job's East first, first is the east and second the north.
struct CoordinateRecord {
  Field id, first, second, elevation, code;
  Field instrumentHeight;  // the station's (02), else width 0
  std::size_t length;      // its full length, reached by the last field
};

struct Observation09 {
  Field from, to, slopeDistance, vertical, horizontal, code;
};

struct Backsight07 {
  Field station, backsight, azimuth, circle;
};

struct Layouts {
  CoordinateRecord point;    // 08 and 18
  CoordinateRecord station;  // 02
  Observation09 observation;
  Backsight07 backsight;
  Field value;  // the one field of 03 (target height) and 06 (scale factor)
};

inline constexpr Layouts kSdr33 = {
    {{4, 16}, {20, 16}, {36, 16}, {52, 16}, {68, 16}, {0, 0}, 84},
    {{4, 16}, {20, 16}, {36, 16}, {52, 16}, {84, 16}, {68, 16}, 100},
    {{4, 16}, {20, 16}, {36, 16}, {52, 16}, {68, 16}, {84, 16}},
    {{4, 16}, {20, 16}, {36, 16}, {52, 16}},
    {4, 16},
};
inline constexpr Layouts kSdr2x = {
    {{4, 4}, {8, 10}, {18, 10}, {28, 10}, {38, 16}, {0, 0}, 54},
    {{4, 4}, {8, 10}, {18, 10}, {28, 10}, {48, 16}, {38, 10}, 64},
    {{4, 4}, {8, 4}, {12, 10}, {22, 10}, {32, 10}, {42, 16}},
    {{4, 4}, {8, 4}, {12, 10}, {22, 10}},
    {4, 10},
};
// The GPS station (15) of SDR33; SDR2x has none.
inline constexpr CoordinateRecord kGpsStation33 = {{4, 16}, {20, 16}, {36, 16}, {52, 16}, {132, 16}, {0, 0}, 148};

// The bytes of a field in line; those past the line's end count as blanks, and are left out.
inline std::string_view FieldOf(std::string_view line, Field field) {
  if (line.size() <= field.start) return {};
  return {line.data() + field.start, std::min<std::size_t>(field.width, line.size() - field.start)};
}

// The bytes of a line that the reader needs: the longest record, a GPS station (15).
inline constexpr std::size_t kLongestRecord = 148;

}  // namespace survey
