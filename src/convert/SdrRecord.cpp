#include "convert/SdrRecord.h"

#include <array>
#include <exception>

#include "ui/MessageSink.h"
#include "ui/Messages.h"

namespace {

constexpr std::array<std::size_t, 4> kFieldStart = {4, 20, 36, 52};  // columns 5, 21, 37 and 53

// Copies the bytes above 32 of one field to out; returns one past the last byte written.
// Written without a branch per byte: every byte is stored, and only kept ones advance.
char* CopyKeptBytes(const char* field, char* out) {
  for (std::size_t i = 0; i < SdrFieldWidth; ++i) {
    const auto byte = static_cast<unsigned char>(field[i]);
    *out = field[i];
    out += byte > 32;
  }
  return out;
}

}  // namespace

bool AppendConvertedSdrLine(std::string_view line, const ConversionOptions& options, std::string& out) {
  if (line.size() != SdrLineLength) return false;

  char separator[3];
  std::size_t separatorLength = 0;
  if (options.SemicolonSelected) separator[separatorLength++] = ';';
  if (options.CommaSelected) separator[separatorLength++] = ',';
  if (options.TabSelected) separator[separatorLength++] = '\t';

  std::array<std::size_t, 4> order = {0, 1, 2, 3};
  if (options.ChangeXY) order = {0, 2, 1, 3};

  char buffer[MaxCsvLineLength];
  char* end = buffer;
  for (std::size_t i = 0; i < order.size(); ++i) {
    if (i > 0) {
      for (std::size_t s = 0; s < separatorLength; ++s) *end++ = separator[s];
    }
    end = CopyKeptBytes(line.data() + kFieldStart[order[i]], end);
  }
  out.append(buffer, end);
  return true;
}

std::string ConvertSdrLine(std::string_view line, const ConversionOptions& options, MessageSink& messages) {
  try {
    std::string csvLine;
    AppendConvertedSdrLine(line, options, csvLine);
    return csvLine;
  } catch (const std::exception&) {
    messages.ShowMessage(msg::kProcessingFailure);
    return {};
  }
}
