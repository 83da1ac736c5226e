// The conversion of bytes: lines split at every line end, records of the window's
// layout, and the points of whole SDR jobs by their record types.
#include <vector>

#include "../Support.h"
#include "convert/LineSplitter.h"
#include "convert/SdrJob.h"
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

std::string Convert(PointWriter& writer, SdrJobReader& reader, const std::string& line, bool& station) {
  const FieldLayout* layout = reader.Read(line, station);
  if (layout == nullptr) return "-";
  // Exactly the bytes the writer may read, so that a sanitizer sees any read past them.
  std::vector<char> bytes(layout->span, ' ');
  std::copy_n(line.data(), std::min(line.size(), layout->span), bytes.data());
  char out[PointWriter::kRoom];
  return std::string(out, writer.Write(bytes.data(), *layout, out));
}

TEST(SdrJobTest, TakesEveryPointOfBothLayoutsWithItsCode) {
  const std::string head33 = "00NMSDR33 V04-04.02     05-Nov-20 08:00 213111", head20 = "00NMSDR20     V03-05    25-Sep-10";
  const struct {
    std::string line, csv;  // "-": not a point
    bool station = false;
  } lines[] = {
      {Record({{"08TP", 4}, {"1", 16}, {"19.914", 16}, {"9.217", 16}, {"0.975", 16}, {"SOGLIA NORD", 0}}),
       "1;19.914;9.217;0.975;SOGLIA NORD"},  // before any header: SDR33; the code keeps its inner blank
      {head33, "-"},
      {Record({{"02TP", 4}, {"  STN 1", 16}, {"100.5", 16}, {"200.25", 16}, {"10", 16}, {"1.475", 16}, {" BASE ", 16}}),
       "STN1;100.5;200.25;10;BASE", true},  // the fifth field is the instrument height, not the code
      {Record({{"08KI", 4}, {"0007", 16}, {"1.5", 16}, {"2", 0}}), "0007;1.5;2;;"},  // cut after the east field
      {Record({{"08TP", 4}, {"7", 16}, {"1", 16}, {"2", 16}, {"3", 16}, {"          END", 16}}), "7;1;2;3;END"},
      {Record({{"08TP", 4}, {"8", 16}, {"1.5", 16}}), "-"},  // ends before its east field
      {Record({{"18RK", 4}, {"G1", 16}, {"3", 16}, {"4", 16}, {"5", 16}, {"GPS \"A\"", 16}, {"12", 0}}),
       "G1;3;4;5;\"GPS \"\"A\"\"\""},
      {Record({{"15RK", 4}, {"G2", 16}, {"6", 16}, {"7", 16}, {"8", 16}, {"", 64}, {"BASE;GPS", 16}, {"x", 0}}),
       "G2;6;7;8;\"BASE;GPS\"", true},
      {Record({{"09F1", 4}, {"1", 16}, {"2", 16}, {"3", 16}, {"4", 16}, {"5", 16}}), "-"},
      {Record({{"08TP", 4}, {"9", 16}, {"1", 16}, {"2", 16}, {"3", 16}, {"", 13}}) + "\x1f\t ", "9;1;2;3;"},
      {head20, "-"},
      {"08TP100029.1755686-4.00952570.00963371FIT-TEST        ", "1000;29.1755686;-4.0095257;0.00963371;FIT-TEST"},
      {"02TP00010.000000000.000000000.000000001.59500000TRAV", "0001;0.00000000;0.00000000;0.00000000;TRAV", true},
      {"18RK1001  1.5     2.5", "1001;1.5;2.5;;"},
      {"08TP1002  1.5", "-"},
      {"15RK1003  1.5     2.5     3.5", "-"},  // SDR2x has no such record
      {head33, "-"},
      {Record({{"08TP", 4}, {"10", 16}, {"1", 16}, {"2", 16}, {"3", 16}, {"X", 16}}), "10;1;2;3;X"},  // a second job
  };
  PointWriter writer(*ParseColumns("PNEZD"), ';');
  SdrJobReader reader;
  for (const auto& expected : lines) {
    bool station = false;
    EXPECT_EQ(Convert(writer, reader, expected.line, station), expected.csv) << expected.line;
    EXPECT_EQ(station, expected.station) << expected.line;
  }
}

}  // namespace
