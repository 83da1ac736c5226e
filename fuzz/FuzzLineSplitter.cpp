// The line splitter fed in blocks of any size: the lines of the input by the simplest
// reading (CR LF, CR or LF ends one), each cut to the kept length.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "convert/LineSplitter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::vector<std::string> expected(1);
  for (std::size_t i = 0; i < input.size(); ++i) {
    if (input[i] == '\n' && i > 0 && input[i - 1] == '\r') continue;
    if (input[i] == '\r' || input[i] == '\n') {
      expected.emplace_back();
    } else if (expected.back().size() < 85) {
      expected.back() += input[i];
    }
  }
  if (input.empty() || input.back() == '\r' || input.back() == '\n') expected.pop_back();

  LineSplitter splitter(85);
  std::vector<std::string> lines;
  const auto onLine = [&](std::string_view line) { lines.emplace_back(line); };
  const std::size_t blockSize = 1 + data[0] % 97;
  for (std::size_t at = 0; at < input.size(); at += blockSize) splitter.Feed(input.substr(at, blockSize), onLine);
  splitter.Finish(onLine);
  if (lines != expected) std::abort();
  return 0;
}
