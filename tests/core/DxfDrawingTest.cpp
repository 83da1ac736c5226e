// The drawing of a job's points: layer names from codes, texts as TEXT entities take
// them (control bytes left out, %% pairs escaped), and a whole R12 drawing, byte for byte.
#include <gtest/gtest.h>

#include "survey/DxfDrawing.h"

namespace {

TEST(DxfDrawingTest, LayerNamesFromCodesAndTexts) {
  const std::pair<std::string, std::string> cases[] = {
      {"", "0"}, {"0", "0"}, {"tree", "TREE"}, {"a$b-c_9", "A$B-C_9"}, {"CORNER, N.E. #2", "CORNER__N_E___2"},
      {"\xC4\xE5\xF0\xE5\xE2\xEE 1", "_______1"}, {"\xD0\x94\x7F\t", "____"},  // Cyrillic in 1251 and UTF-8, DEL, Tab
      {"pntno", "C_PNTNO"}, {"PntElev", "C_PNTELEV"}, {"PNTDESC", "C_PNTDESC"}, {"defpoints", "C_DEFPOINTS"},
      {"PNTNO2", "PNTNO2"}, {"PNT NO", "PNT_NO"}, {std::string(40, 'q'), std::string(31, 'Q')},
  };
  for (const auto& [code, layer] : cases) EXPECT_EQ(survey::LayerName(code), layer) << code;
  const std::pair<std::string, std::string> texts[] = {  // control bytes go, %% pairs are escaped
      {"a\tb\x1f\x7f\xC4 c", "ab\x7f\xC4 c"}, {std::string("n\0o", 3), "no"}, {"50%", "50%"}, {"50%%", "50%%%"},
      {"%%c%%", "%%%c%%%"}, {"%%%", "%%%%"}, {"%\r%", "%%%"},
  };
  for (const auto& [text, written] : texts) EXPECT_EQ(survey::DxfText(text), written) << text;
}

// Four decimals at most, rounded, never -0; labels to the right of their points, h/2 up
// and h, 2.5 h down; points whose north or east is no number left out.
TEST(DxfDrawingTest, WritesTheWholeDrawing) {
  survey::DxfDrawing drawing({1252, 0.5});
  EXPECT_TRUE(drawing.Add({"A1", "10.00004", "-0.00004", "", ""}));
  EXPECT_FALSE(drawing.Add({"C3", "1e3", "5", "1", "X"}) || drawing.Add({"D4", "5", "", "1", "X"}));
  EXPECT_TRUE(drawing.Add({"B2", "-5.12346", "1234.56789", "-3.3", "Tree %%"}));
  std::string written;
  EXPECT_TRUE(drawing.Write([&](std::string_view bytes) { return written.append(bytes), true; }));
  std::string expected =
      "0|SECTION|2|HEADER|9|$ACADVER|1|AC1009|9|$DWGCODEPAGE|3|ANSI_1252|9|$EXTMIN|10|0|20|-5.1235|30|-3.3|9|$EXTMAX|10|"
      "1234.5679|20|10|30|0|0|ENDSEC|0|SECTION|2|TABLES|0|TABLE|2|LTYPE|70|1|0|LTYPE|2|CONTINUOUS|70|0|3|Solid line|72|"
      "65|73|0|40|0.0|0|ENDTAB|0|TABLE|2|LAYER|70|5|0|LAYER|2|0|70|0|62|7|6|CONTINUOUS|0|LAYER|2|TREE___|70|0|62|7|6|"
      "CONTINUOUS|0|LAYER|2|PNTNO|70|0|62|1|6|CONTINUOUS|0|LAYER|2|PNTELEV|70|0|62|5|6|CONTINUOUS|0|LAYER|2|PNTDESC|70|0|"
      "62|3|6|CONTINUOUS|0|ENDTAB|0|TABLE|2|STYLE|70|1|0|STYLE|2|STANDARD|70|0|40|0.0|41|1.0|50|0.0|71|0|42|0.5|3|txt|0|"
      "ENDTAB|0|ENDSEC|0|SECTION|2|BLOCKS|0|ENDSEC|0|SECTION|2|ENTITIES|0|POINT|8|0|10|0|20|10|30|0|0|TEXT|8|PNTNO|10|"
      "0.25|20|10.25|30|0|40|0.5|1|A1|0|POINT|8|TREE___|10|1234.5679|20|-5.1235|30|-3.3|0|TEXT|8|PNTNO|10|1234.8179|20|"
      "-4.8735|30|-3.3|40|0.5|1|B2|0|TEXT|8|PNTELEV|10|1234.8179|20|-5.6235|30|-3.3|40|0.5|1|-3.3|0|TEXT|8|PNTDESC|10|"
      "1234.8179|20|-6.3735|30|-3.3|40|0.5|1|Tree %%%|0|ENDSEC|0|EOF|";
  for (std::size_t bar; (bar = expected.find('|')) != std::string::npos;) expected.replace(bar, 1, "\r\n");
  EXPECT_EQ(written, expected);
  EXPECT_FALSE(drawing.Write([](std::string_view) { return false; }));
}

}  // namespace
