// MakeCsvFileName: the input less everything from its last dot, or the whole input when
// that would leave nothing, followed by ".csv".
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FakeWindow.h"
#include "convert/OutputNaming.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  FakeWindow window;
  const std::string output = MakeCsvFileName(input, window);
  const std::size_t dot = input.rfind('.');
  const std::string base = dot == std::string::npos || dot == 0 ? input : input.substr(0, dot);
  if (output != base + ".csv" || !window.messages.empty()) std::abort();
  return 0;
}
