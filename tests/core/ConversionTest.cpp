// The conversion of bytes: lines split at every line end, and records of the window's
// layout.
#include <vector>

#include "../Support.h"
#include "convert/LineSplitter.h"
#include "convert/SdrRecord.h"

namespace {

ConversionOptions Options(char separator, bool changeXY) {
  return {separator == ';', separator == ',', separator == '\t', changeXY};
}

TEST(SdrRecordTest, ConvertsRecordsUnderEveryOption) {
  std::string controls = kRecord;  // bytes of 0 to 32, which go, and the lowest and highest kept, where blanks were
  controls[20] = '\t', controls[10] = '\0', controls[40] = '\x1f', controls[64] = '\r';
  controls[11] = '!', controls[33] = '\x80', controls[36] = '\xff', controls[55] = '\x7f';
  const std::string a16(16, 'A');
  const std::tuple<std::string, ConversionOptions, std::string> cases[] = {
      {kRecord, Options(';', false), "A-7B;1234.567;-89.01;0.5"}, {kRecord, Options(';', true), "A-7B;-89.01;1234.567;0.5"},
      {kRecord, Options(',', false), "A-7B,1234.567,-89.01,0.5"}, {kRecord, Options(',', true), "A-7B,-89.01,1234.567,0.5"},
      {kRecord, Options('\t', false), "A-7B\t1234.567\t-89.01\t0.5"},
      {kRecord, Options('\t', true), "A-7B\t-89.01\t1234.567\t0.5"},
      {kRecord, Options(0, false), "A-7B1234.567-89.010.5"},
      {kRecord, {true, true, true, false}, "A-7B;,\t1234.567;,\t-89.01;,\t0.5"},
      {controls, Options(';', false), "A-7B!;1234.567\x80;\xff-89.01;0.5\x7f"},
      {SdrLine("", "A-7 B", "", "-89.01", ""), Options(';', true), "A-7B;-89.01;;"},
      {SdrLine("", "A;B", "1", "2", "3"), Options(';', false), "A;B;1;2;3"},
      {std::string(84, ' '), Options(',', true), ",,,"},
      {std::string(84, 'A'), Options(';', false), a16 + ";" + a16 + ";" + a16 + ";" + a16},
      {kRecord.substr(0, 83), Options(';', true), ""}, {kRecord + " ", Options(';', true), ""}, {"", Options(';', true), ""},
  };
  for (const auto& [line, options, csv] : cases) EXPECT_EQ(ConvertSdrLine(line, options).View(), csv) << testing::PrintToString(line);
}

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
