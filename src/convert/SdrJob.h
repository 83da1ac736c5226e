#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "convert/PointColumns.h"
#include "convert/SdrRecord.h"

// The two generations of the SDR format. The window reads neither: it takes every line
// of 84 characters. They matter to readers that take a job's points record by record.
enum class SdrLayout { Sdr33, Sdr2x };

// The layout that a header record (type 00) names in columns 5-20, such as
// "SDR20 V03-05" (Sdr2x) or "SDR33 V04-04.02"; nothing for any other line. Transfer
// marks before the header do not count.
inline std::optional<SdrLayout> HeaderLayout(std::string_view line) {
  line = WithoutTransferMarks(line);
  if (!line.starts_with("00") || line.size() < 8) return std::nullopt;
  return line.substr(4, 4) == "SDR2" ? SdrLayout::Sdr2x : SdrLayout::Sdr33;
}

// Reads an SDR job line by line: every record that carries a point's coordinates (08, 02
// the instrument station, 18 and 15, whatever the derivation code) is a point, also when
// its trailing blanks were cut, as long as it reaches its east field. Each header sets
// the layout of the lines after it; before any, SDR33.
class SdrJobReader {
 public:
  // Bytes of a line that a reader must keep: the longest record, a GPS station (15), ends
  // at column 148.
  static constexpr std::size_t kKeptLength = 148;

  // The layout of the point's fields when line (WithoutTransferMarks) is a point, else
  // nothing; station is set for an instrument station (02) or a GPS station (15).
  const FieldLayout* Read(std::string_view line, bool& station);

  // The layout of a point record of type (its first two characters) in the layout in
  // force, whose length is the layout's span; nothing for another record. station as Read.
  const FieldLayout* PointLayout(char type0, char type1, bool& station) const;

 private:
  SdrLayout layout_ = SdrLayout::Sdr33;
};
