#include "convert/LineSplitter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

Lines Split(const std::string& input, std::size_t blockSize, std::size_t keepLimit = SIZE_MAX) {
  LineSplitter splitter(keepLimit);
  Lines lines;
  const auto onLine = [&](std::string_view line) { lines.emplace_back(line); };
  for (std::size_t at = 0; at < input.size(); at += blockSize) {
    splitter.Feed(std::string_view(input).substr(at, blockSize), onLine);
  }
  splitter.Finish(onLine);
  return lines;
}

TEST(LineSplitterTest, EndsLinesAtCrLfLoneCrAndLoneLf) {
  const struct {
    std::string input;
    Lines lines;
  } cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\rb\r", {"a", "b"}},
      {"a\nb\n", {"a", "b"}},
      {"a\r\nb", {"a", "b"}},
      {"a\n\rb", {"a", "", "b"}},
      {"a\r\r\nb", {"a", "", "b"}},
      {"\r\n\r\n", {"", ""}},
      {"\n", {""}},
      {"a\r\n\r\nb\n\nc\r\rd", {"a", "", "b", "", "c", "", "d"}},
      {std::string("a\0b\r\n", 5), {std::string("a\0b", 3)}},
  };
  // Every block size, so that each line end also falls across a block boundary.
  for (const auto& c : cases) {
    for (std::size_t block = 1; block <= c.input.size() + 1; ++block) {
      EXPECT_EQ(Split(c.input, block), c.lines) << "block " << block << " input " << testing::PrintToString(c.input);
    }
  }
}

TEST(LineSplitterTest, CutsLongLinesToTheKeepLimit) {
  const std::string input = std::string(10, 'a') + "\r\n" + std::string(3, 'b') + "\n" + std::string(7, 'c');
  for (std::size_t block = 1; block <= input.size(); ++block) {
    EXPECT_EQ(Split(input, block, 4), (Lines{"aaaa", "bbb", "cccc"})) << "block " << block;
  }
}

}  // namespace
