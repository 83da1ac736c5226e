#include "convert/SdrRecord.h"

#include <gtest/gtest.h>

#include "SdrLines.h"

namespace {

ConversionOptions Options(char separator, bool changeXY) {
  ConversionOptions options;
  options.SemicolonSelected = separator == ';';
  options.CommaSelected = separator == ',';
  options.TabSelected = separator == '\t';
  options.ChangeXY = changeXY;
  return options;
}

struct ConversionCase {
  const char* what;
  std::string line;
  ConversionOptions options;
  std::string expected;
};

TEST(SdrRecordTest, ConvertsUnderEverySeparatorAndExchange) {
  const std::string example = ExampleSdrLine();
  std::string tabInField = example;
  tabInField[20] = '\t';
  std::string controlsInField = example;
  controlsInField[10] = '\0';
  controlsInField[40] = '\x1f';
  controlsInField[64] = '\r';

  const ConversionCase cases[] = {
      {"semicolon", example, Options(';', false), "A-7B;1234.567;-89.01;0.5"},
      {"semicolon exchanged", example, Options(';', true), "A-7B;-89.01;1234.567;0.5"},
      {"comma", example, Options(',', false), "A-7B,1234.567,-89.01,0.5"},
      {"comma exchanged", example, Options(',', true), "A-7B,-89.01,1234.567,0.5"},
      {"tab", example, Options('\t', false), "A-7B\t1234.567\t-89.01\t0.5"},
      {"tab exchanged", example, Options('\t', true), "A-7B\t-89.01\t1234.567\t0.5"},
      {"no separator flag", example, Options(0, false), "A-7B1234.567-89.010.5"},
      {"every separator flag", example, ConversionOptions{true, true, true, false},
       "A-7B;,\t1234.567;,\t-89.01;,\t0.5"},
      {"empty last field", SdrLine("####", "A-7 B", "    1234.567", "          -89.01", "", ""), Options(';', false),
       "A-7B;1234.567;-89.01;"},
      {"empty X exchanged", SdrLine("####", "A-7 B", "", "          -89.01", "0.5", ""), Options(';', true),
       "A-7B;-89.01;;0.5"},
      {"all blanks", std::string(84, ' '), Options(';', true), ";;;"},
      {"all blanks, comma", std::string(84, ' '), Options(',', true), ",,,"},
      {"all blanks, tab", std::string(84, ' '), Options('\t', true), "\t\t\t"},
      {"tab in a field counts as a character", tabInField, Options(';', false), "A-7B;1234.567;-89.01;0.5"},
      {"control bytes dropped", controlsInField, Options(';', false), "A-7B;1234.567;-89.01;0.5"},
      {"separator passes unquoted", SdrLine("####", "A;B", "    1234.567", "          -89.01", "0.5", ""),
       Options(';', false), "A;B;1234.567;-89.01;0.5"},
      {"84 letters", std::string(84, 'A'), Options(',', false),
       std::string(16, 'A') + "," + std::string(16, 'A') + "," + std::string(16, 'A') + "," + std::string(16, 'A')},
      {"83 bytes", example.substr(0, 83), Options(';', true), ""},
      {"85 bytes", example + " ", Options(';', true), ""},
      {"empty line", "", Options(';', true), ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ConvertSdrLine(c.line, c.options).View(), c.expected) << c.what;
  }
}

TEST(SdrRecordTest, KeepsBytes127To255AndDropsBytes0To32) {
  for (int byte = 0; byte < 256; ++byte) {
    const std::string b(1, static_cast<char>(byte));
    const std::string line = SdrLine("", "x" + b, b + "y", "", "", "");
    const std::string x = byte <= 32 ? "x" : "x" + b;
    const std::string y = byte <= 32 ? "y" : b + "y";
    EXPECT_EQ(ConvertSdrLine(line, Options(';', false)).View(), x + ";" + y + ";;") << "byte " << byte;
    EXPECT_EQ(ConvertSdrLine(line, Options(';', true)).View(), x + ";;" + y + ";") << "byte " << byte;
  }
}

}  // namespace
