// MakeCsvFileName: the output path is the input less everything from its last dot
// (or the whole input, when that would leave nothing), followed by ".csv".
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FakeWindow.h"
#include "convert/OutputNaming.h"
#include "startup/NameLength.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  FakeWindow window;
  const std::string output = MakeCsvFileName(input, window);
  if (!FitsNameScan(input)) {
    if (!output.empty() || window.messages.size() != 1) std::abort();
    return 0;
  }
  if (!window.messages.empty()) std::abort();
  if (output.size() < 4 || output.compare(output.size() - 4, 4, ".csv") != 0) std::abort();
  const std::string base = output.substr(0, output.size() - 4);
  if (input.compare(0, base.size(), base) != 0) std::abort();  // a prefix of the input
  if (base.size() < input.size()) {
    // What was cut off starts at the last dot, and something is left before it.
    if (base.empty() || input[base.size()] != '.' || input.find('.', base.size() + 1) != std::string::npos) {
      std::abort();
    }
  } else if (base.size() != input.size() || (input.rfind('.') != std::string::npos && input.rfind('.') != 0)) {
    std::abort();
  }
  return 0;
}
