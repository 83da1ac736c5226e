#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

inline constexpr std::size_t SdrLineLength = 84;
inline constexpr std::size_t SdrFieldWidth = 16;
// Where each field of a point stands in a line: its first byte (from 0) and its width,
// in the order point, north, east, elevation, description (PointField). Reading a point
// touches the first `span` bytes of its line.
struct FieldLayout {
  std::array<std::uint8_t, 5> start;
  std::array<std::uint8_t, 5> width;
  std::size_t span;
};

// The window's records, which are SDR33 point records (08): the point, north, east and
// elevation at columns 5, 21, 37 and 53, then the description in columns 69-84.
inline constexpr FieldLayout kSdr33Point = {{4, 20, 36, 52, 68}, {16, 16, 16, 16, 16}, SdrLineLength};

// How much of a line a reader keeps: one byte past a record's length tells a record
// from a longer line, and memory stays bounded whatever the line.
inline constexpr std::size_t kKeptLineLength = SdrLineLength + 1;

// line without the marks of a serial transfer at its start: a file sent over a serial
// line begins with STX (0x02) and ends with ETX (0x03), and the next characters, often
// a header, may follow the mark on its own line. The marks are no part of a record.
inline std::string_view WithoutTransferMarks(std::string_view line) {
  while (!line.empty() && (line.front() == '\x02' || line.front() == '\x03')) line.remove_prefix(1);
  return line;
}

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

// Which options are in force, as the main window answers them from its controls.
struct ConversionOptions {
  bool SemicolonSelected = true;  // Opt1
  bool CommaSelected = false;     // Opt2
  bool TabSelected = false;       // Opt3
  bool ChangeXY = true;           // chChangeXY checked
};

// The separator text that options select, as the window writes it: each of ';', ','
// and Tab that is selected, in that order (the window's option buttons select one).
std::string SeparatorText(const ConversionOptions& options);
// Selects separator, one of ';', ',' and Tab, and no other.
void SelectSeparator(ConversionOptions& options, char separator);

// One CSV line without its line end, held inline so that converting a record
// never allocates and so cannot fail.
class CsvLine {
 public:
  // Four full fields and three separators of up to three characters each.
  static constexpr std::size_t kMaxLength = 4 * SdrFieldWidth + 3 * 3;

  // Room that a CSV line needs while it is written: a field is copied with one store
  // of its whole width, so the end needs room for one more field.
  static constexpr std::size_t kCapacity = kMaxLength + SdrFieldWidth;

  std::string_view View() const { return {text_, length_}; }
  bool empty() const { return length_ == 0; }

 private:
  friend CsvLine ConvertSdrLine(std::string_view line, const ConversionOptions& options);
  char text_[kCapacity];
  std::uint8_t length_ = 0;
};

// Turns one input line (bytes, without its line end) into its CSV line. A line that
// is not exactly SdrLineLength bytes long gives the empty line.
CsvLine ConvertSdrLine(std::string_view line, const ConversionOptions& options);

// ConvertSdrLine for callers that convert many lines under the same options, which
// it works out once.
class SdrLineConverter {
 public:
  explicit SdrLineConverter(const ConversionOptions& options);

  // Writes the CSV line to out, which has room for CsvLine::kCapacity bytes, and
  // returns its length (0 for the empty line).
  std::size_t Convert(std::string_view line, char* out) const;

  // Convert for the usual stream of records, each followed by its line end: bytes are
  // SdrLineLength bytes that a line end follows. Writes their CSV line and returns one
  // past its end; nullptr, when the bytes may hold a line end themselves (a byte below
  // 14), for the caller to read them line by line.
  char* ConvertRecord(const char* bytes, char* out) const;

 private:
  std::uint32_t separator_ = 0;  // its bytes in memory order, stored four at a time
  std::size_t separatorLength_ = 0;
  std::size_t secondField_;  // where the CSV line's second and third fields start in the record
  std::size_t thirdField_;
};
