// ConvertSdrLine under every option set: the fields between the separators are the
// record's fields, less their bytes of 0 to 32, in the chosen order; and so is the
// record converted straight from a block of them.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "convert/SdrRecord.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  // Every input made a record too, so that the fuzzer need not find the length.
  std::string record(input.substr(0, SdrLineLength));
  record.resize(SdrLineLength, ' ');
  for (int flags = 0; flags < 16; ++flags) {
    const ConversionOptions options{(flags & 1) != 0, (flags & 2) != 0, (flags & 4) != 0, (flags & 8) != 0};
    if (input.size() != SdrLineLength && !ConvertSdrLine(input, options).empty()) std::abort();
    const std::string separator = (flags & 1 ? ";" : "") + std::string(flags & 2 ? "," : "") + (flags & 4 ? "\t" : "");
    const int order[] = {0, options.ChangeXY ? 2 : 1, options.ChangeXY ? 1 : 2, 3};
    std::string expected;
    for (int k = 0; k < 4; ++k) {
      if (k > 0) expected += separator;
      for (char c : record.substr(4 + 16 * order[k], 16)) {
        if (static_cast<unsigned char>(c) > 32) expected += c;
      }
    }
    if (ConvertSdrLine(record, options).View() != expected) std::abort();
    // The record taken straight from a block: the same line, unless a byte below 14 may
    // be a line end, which only the line by line reading may decide.
    const std::string block = record + "\r\n" + std::string(16, ' ');
    char out[CsvLine::kCapacity];
    const char* end = SdrLineConverter(options).ConvertRecord(block.data(), out);
    const bool mayEndALine = record.find_first_of(std::string("\0\1\2\3\4\5\6\7\10\11\12\13\14\15", 14)) != std::string::npos;
    if (end == nullptr ? !mayEndALine : std::string_view(out, end - out) != expected) std::abort();
  }
  return 0;
}
