// The line splitter fed in blocks of any size: joining the lines gives back the input
// less its line ends, and the bounded splitter keeps each line's start, no more.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "convert/LineSplitter.h"

namespace {

std::vector<std::string> Split(std::string_view input, std::size_t blockSize, std::size_t keepLimit) {
  LineSplitter splitter(keepLimit);
  std::vector<std::string> lines;
  const auto onLine = [&](std::string_view line) { lines.emplace_back(line); };
  for (std::size_t at = 0; at < input.size(); at += blockSize) splitter.Feed(input.substr(at, blockSize), onLine);
  splitter.Finish(onLine);
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const std::size_t blockSize = 1 + data[0] % 97;
  const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);

  const std::vector<std::string> lines = Split(input, blockSize, SIZE_MAX);
  std::string joined;
  for (const std::string& line : lines) joined += line;
  std::string withoutEnds;
  std::size_t ends = 0;
  for (std::size_t i = 0; i < input.size(); ++i) {
    if (input[i] != '\r' && input[i] != '\n') {
      withoutEnds += input[i];
    } else if (!(input[i] == '\n' && i > 0 && input[i - 1] == '\r')) {
      ++ends;  // CR LF is one line end
    }
  }
  if (joined != withoutEnds) std::abort();
  // One line per line end, and one more for text after the last.
  const bool textAfterLastEnd = !input.empty() && input.back() != '\r' && input.back() != '\n';
  if (lines.size() != ends + (textAfterLastEnd ? 1 : 0)) std::abort();

  const std::vector<std::string> bounded = Split(input, blockSize, 85);
  if (bounded.size() != lines.size()) std::abort();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (bounded[i] != lines[i].substr(0, 85)) std::abort();
  }
  return 0;
}
