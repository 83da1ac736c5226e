#include "convert/LineSplitter.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Lines = std::vector<std::string>;

Lines Split(const std::string& input, std::size_t blockSize, std::size_t keepLimit) {
  LineSplitter splitter(keepLimit);
  Lines lines;
  const auto onLine = [&](std::string_view line) { lines.emplace_back(line); };
  for (std::size_t at = 0; at < input.size(); at += blockSize) {
    splitter.Feed(std::string_view(input).substr(at, blockSize), onLine);
  }
  splitter.Finish(onLine);
  return lines;
}

TEST(LineSplitterTest, EndsLinesAtCrLfLoneCrAndLoneLfInBlocksOfAnySize) {
  const std::string longLine(40, 'x');
  const struct {
    std::string input;
    Lines lines;
  } cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\rb\r", {"a", "b"}},
      {"a\nb", {"a", "b"}},
      {"a\n\rb", {"a", "", "b"}},
      {"a\r\r\nb", {"a", "", "b"}},
      {"\n\r\n\r\n", {"", "", ""}},
      {std::string("a\0b\r\n", 5), {std::string("a\0b", 3)}},
      {longLine + "\r\nbb\n" + longLine, {longLine.substr(0, 33), "bb", longLine.substr(0, 33)}},
  };
  // Every block size, so that each line end also falls across a block boundary.
  for (const auto& c : cases) {
    for (std::size_t block = 1; block <= c.input.size() + 1; ++block) {
      EXPECT_EQ(Split(c.input, block, 33), c.lines) << "block " << block << ", " << testing::PrintToString(c.input);
    }
  }
}

}  // namespace
