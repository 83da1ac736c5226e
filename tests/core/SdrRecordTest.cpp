#include "convert/SdrRecord.h"

#include "../Support.h"

namespace {

ConversionOptions Options(char separator, bool changeXY) {
  return {separator == ';', separator == ',', separator == '\t', changeXY};
}

TEST(SdrRecordTest, ConvertsRecordsUnderEveryOption) {
  std::string controls = kRecord;  // a Tab, a NUL, a unit separator and a CR where blanks were
  controls[20] = '\t', controls[10] = '\0', controls[40] = '\x1f', controls[64] = '\r';
  const std::string a16(16, 'A');
  const std::tuple<std::string, ConversionOptions, std::string> cases[] = {
      {kRecord, Options(';', false), "A-7B;1234.567;-89.01;0.5"}, {kRecord, Options(';', true), "A-7B;-89.01;1234.567;0.5"},
      {kRecord, Options(',', false), "A-7B,1234.567,-89.01,0.5"}, {kRecord, Options(',', true), "A-7B,-89.01,1234.567,0.5"},
      {kRecord, Options('\t', false), "A-7B\t1234.567\t-89.01\t0.5"},
      {kRecord, Options('\t', true), "A-7B\t-89.01\t1234.567\t0.5"},
      {kRecord, Options(0, false), "A-7B1234.567-89.010.5"},
      {kRecord, {true, true, true, false}, "A-7B;,\t1234.567;,\t-89.01;,\t0.5"},
      {controls, Options(';', false), "A-7B;1234.567;-89.01;0.5"},
      {SdrLine("", "A-7 B", "", "-89.01", ""), Options(';', true), "A-7B;-89.01;;"},
      {SdrLine("", "A;B", "1", "2", "3"), Options(';', false), "A;B;1;2;3"},
      {std::string(84, ' '), Options(',', true), ",,,"},
      {std::string(84, 'A'), Options(';', false), a16 + ";" + a16 + ";" + a16 + ";" + a16},
      {kRecord.substr(0, 83), Options(';', true), ""}, {kRecord + " ", Options(';', true), ""}, {"", Options(';', true), ""},
  };
  for (const auto& [line, options, csv] : cases) EXPECT_EQ(ConvertSdrLine(line, options).View(), csv) << testing::PrintToString(line);
}

TEST(SdrRecordTest, KeepsEveryByteAbove32WhereverItStands) {
  for (int byte = 0; byte < 256; ++byte) {
    const std::string b(1, static_cast<char>(byte)), kept = byte > 32 ? b : "", dots(15, '.');
    EXPECT_EQ(ConvertSdrLine(SdrLine("", b + "x", "y" + b + "z", dots + b, b), Options(';', false)).View(),
              kept + "x;y" + kept + "z;" + dots + kept + ";" + kept) << "byte " << byte;
  }
}

}  // namespace
