// ConvertSdrLine under every option set: the fields between the separators are the
// record's fields, less their bytes of 0 to 32, in the chosen order.
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
  }
  return 0;
}
