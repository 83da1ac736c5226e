// ConvertSdrLine under every option set: the fields between the separators are the
// input fields less their bytes of 0 to 32, and no such byte survives in a field.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "convert/SdrRecord.h"

namespace {

std::string Kept(std::string_view field) {
  std::string kept;
  for (char c : field) {
    if (static_cast<unsigned char>(c) > 32) kept += c;
  }
  return kept;
}

void Check(std::string_view line, const ConversionOptions& options) {
  const CsvLine csv = ConvertSdrLine(line, options);
  const std::string_view text = csv.View();
  if (line.size() != SdrLineLength) {
    if (!text.empty()) std::abort();
    return;
  }
  if (text.size() > CsvLine::kMaxLength) std::abort();
  std::string separator;
  if (options.SemicolonSelected) separator += ';';
  if (options.CommaSelected) separator += ',';
  if (options.TabSelected) separator += '\t';
  const std::string f1 = Kept(line.substr(4, 16));
  const std::string f2 = Kept(line.substr(20, 16));
  const std::string f3 = Kept(line.substr(36, 16));
  const std::string f4 = Kept(line.substr(52, 16));
  const std::string expected = options.ChangeXY ? f1 + separator + f3 + separator + f2 + separator + f4
                                                : f1 + separator + f2 + separator + f3 + separator + f4;
  if (text != expected) std::abort();
  // With Tab alone, exactly three Tabs: none survives inside a field.
  if (separator == "\t") {
    std::size_t tabs = 0;
    for (char c : text) tabs += c == '\t';
    if (tabs != 3) std::abort();
  }
  for (char c : text) {
    if (static_cast<unsigned char>(c) <= 32 && c != '\t') std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view line(reinterpret_cast<const char*>(data), size);
  for (int flags = 0; flags < 16; ++flags) {
    Check(line, ConversionOptions{(flags & 1) != 0, (flags & 2) != 0, (flags & 4) != 0, (flags & 8) != 0});
  }
  // Also every input as an 84-byte record, so that the fuzzer need not find the length.
  std::string record(line.substr(0, SdrLineLength));
  record.resize(SdrLineLength, ' ');
  for (int flags = 0; flags < 16; ++flags) {
    Check(record, ConversionOptions{(flags & 1) != 0, (flags & 2) != 0, (flags & 4) != 0, (flags & 8) != 0});
  }
  return 0;
}
