#include "convert/LineSplitter.h"

#include "../Support.h"

namespace {

TEST(LineSplitterTest, EndsLinesAtCrLfLoneCrAndLoneLfInBlocksOfAnySize) {
  using Lines = std::vector<std::string>;
  const std::string x40(40, 'x'), x33(33, 'x');
  const std::pair<std::string, Lines> cases[] = {
      {"", {}}, {"a", {"a"}}, {"a\r\nb\r\n", {"a", "b"}}, {"a\rb\r", {"a", "b"}}, {"a\nb", {"a", "b"}},
      {"a\n\rb", {"a", "", "b"}}, {"a\r\r\nb", {"a", "", "b"}}, {"\n\r\n\r\n", {"", "", ""}},
      {std::string("a\0b\r\n", 5), {std::string("a\0b", 3)}},
      {x40 + "\r\nbb\n" + x40, {x33, "bb", x33}},  // lines are kept only so far
  };
  // Every block size, so that each line end also falls across a block boundary.
  for (const auto& [input, lines] : cases) {
    for (std::size_t block = 1; block <= input.size() + 1; ++block) {
      LineSplitter splitter(33);
      Lines split;
      const auto onLine = [&](std::string_view line) { split.emplace_back(line); };
      for (std::size_t at = 0; at < input.size(); at += block) splitter.Feed(std::string_view(input).substr(at, block), onLine);
      splitter.Finish(onLine);
      EXPECT_EQ(split, lines) << "block " << block << ", " << testing::PrintToString(input);
    }
  }
}

}  // namespace
