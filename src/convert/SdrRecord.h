#pragma once

#include <cstddef>
#include <string>
#include <string_view>

class MessageSink;

inline constexpr std::size_t SdrLineLength = 84;
inline constexpr std::size_t SdrFieldWidth = 16;

// Which options are in force, as the main window answers them from its controls.
struct ConversionOptions {
  bool SemicolonSelected = true;  // Opt1
  bool CommaSelected = false;     // Opt2
  bool TabSelected = false;       // Opt3
  bool ChangeXY = true;           // chChangeXY checked
};

// Turns one input line (bytes, without its line end) into its CSV line, without a
// line end. A line that is not exactly SdrLineLength bytes long gives the empty
// string. If the conversion fails it shows its message on messages and gives the
// empty string.
std::string ConvertSdrLine(std::string_view line, const ConversionOptions& options, MessageSink& messages);

// Appends the CSV line of line to out and returns true, or leaves out unchanged and
// returns false when the line is not a record. Never allocates when out has room for
// MaxCsvLineLength more bytes; throws what the allocator throws otherwise.
bool AppendConvertedSdrLine(std::string_view line, const ConversionOptions& options, std::string& out);

// The longest CSV line: four full fields and three separators of up to three bytes.
inline constexpr std::size_t MaxCsvLineLength = 4 * SdrFieldWidth + 3 * 3;
