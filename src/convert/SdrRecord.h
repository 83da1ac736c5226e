#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

inline constexpr std::size_t SdrLineLength = 84;
inline constexpr std::size_t SdrFieldWidth = 16;

// Which options are in force, as the main window answers them from its controls.
struct ConversionOptions {
  bool SemicolonSelected = true;  // Opt1
  bool CommaSelected = false;     // Opt2
  bool TabSelected = false;       // Opt3
  bool ChangeXY = true;           // chChangeXY checked
};

// One CSV line without its line end, held inline so that converting a record
// never allocates and so cannot fail.
class CsvLine {
 public:
  // Four full fields and three separators of up to three characters each.
  static constexpr std::size_t kMaxLength = 4 * SdrFieldWidth + 3 * 3;

  std::string_view View() const { return {text_, length_}; }
  std::string String() const { return std::string(View()); }
  bool empty() const { return length_ == 0; }

 private:
  friend CsvLine ConvertSdrLine(std::string_view line, const ConversionOptions& options);
  // A field is copied with one store of its whole width, so the end has room for one more.
  char text_[kMaxLength + SdrFieldWidth];
  std::uint8_t length_ = 0;
};

// Turns one input line (bytes, without its line end) into its CSV line. A line that
// is not exactly SdrLineLength bytes long gives the empty line.
CsvLine ConvertSdrLine(std::string_view line, const ConversionOptions& options);
