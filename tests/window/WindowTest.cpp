#include "WindowTest.h"

#include <cstdio>

std::string WindowLine(std::string_view title, int width, int height, int dpi) {
  return std::string(title) + ": " + std::to_string(width) + " x " + std::to_string(height) + " pixels at " +
         std::to_string(dpi) + " DPI";
}

std::string ControlLine(std::string_view name, std::string_view caption, int left, int top, int width, int height,
                        std::string_view font, int points, bool bold, std::uint32_t background, std::uint32_t text,
                        bool enabled, bool checked) {
  char colours[32];
  std::snprintf(colours, sizeof colours, " on %06X", background);
  if (text != 0) std::snprintf(colours + 10, sizeof colours - 10, " in %06X", text);  // black is the rule
  return std::string(name) + " \"" + std::string(caption) + "\" at " + std::to_string(left) + "," + std::to_string(top) + " " +
         std::to_string(width) + " x " + std::to_string(height) + ", " + std::string(font) + " " + std::to_string(points) +
         (bold ? " bold" : "") + colours + (enabled ? "" : ", disabled") + (checked ? ", checked" : "");
}

namespace {

TEST(WindowTest, StartsWithEveryControlInItsInitialState) {
  // At 96 DPI, 15 twips to the pixel; every control enabled, on the grey of the form.
  EXPECT_EQ(LookAtNewWindow(), (std::vector<std::string>{
      "Varnel: 240 x 189 pixels at 96 DPI",
      "fr1 \"Разделитель\" at 6,24 187 x 43, Calibri 9 on C0C0C0",
      "Opt3 \"Tab\" at 108,42 79 x 20, Calibri 9 on C0C0C0",
      "Opt2 \",\" at 60,42 43 x 19, Calibri 9 on C0C0C0",
      "Opt1 \";\" at 12,42 43 x 19, Calibri 9 on C0C0C0, checked",
      "cmdOk \"Выполнить\" at 108,72 85 x 19, Calibri 9 on C0C0C0",
      "chChangeXY \"Поменять местами X и Y\" at 6,6 187 x 14, Calibri 9 on C0C0C0, checked",
      "Label1 \"Будут созданы файлы CSV с такими же именами как файлы SDR. Если файлы CSV уже существуют - они будут "
      "дописаны!\" at 6,114 187 x 73, Calibri 9 on C0C0C0",
      "lblInfo \"\" at 6,96 187 x 19, Calibri 9 bold on C0C0C0",
      "TAB: chChangeXY Opt1 cmdOk"}));
  // At 150 % the column of 2805 twips is 280.5 pixels, rounded up.
  EXPECT_EQ(TwipsToPixels(2805, 144), 281);
}

std::vector<Scenario> Scenarios() {
  const std::string drop = "Перетащите файлы формата SDR на значок программы.", read = "Произошла ошибка при чтении файла.";
  const LongJob job(40000);
  // Degrees, no curvature or sea level; the backsight orients the circle to 90°. Then
  // SDR20: ids of four characters and numbers of ten, which may touch; blanks cut.
  const std::string crlf = "\r\n";
  const std::string observed = Record({{"00NMSDR33 V04-04.02", 40}, {"111111", 0}}) + crlf +
      Record({{"10NMOBS", 20}, {"121111", 0}}) + crlf + SdrLine("08TP", "P3", "1010.000", "1990.000", "49.5", "PEG;A") + crlf +
      Record({{"02TPS1", 20}, {"1000.000", 16}, {"2000.000", 16}, {"50.000", 16}, {"1.500", 16}, {"STN", 16}}) + crlf +
      Record({{"07TPS1", 20}, {"B1", 16}, {"90", 16}, {"0", 0}}) + crlf + "03NM1.500" + crlf +
      Record({{"09F1S1", 20}, {"P1", 16}, {"100.0000", 16}, {"90.0000000", 16}, {"0.0000000", 16}, {"FENCE", 16}}) + crlf +
      Record({{"09F1S1", 20}, {"P2", 16}, {"50.0000", 16}, {"53.1301024", 16}, {"270.0000000", 16}, {"TREE", 16}}) + crlf;
  const std::string traverse = "00NMSDR20 V03-05                        111111\r\n10NMTRAVERSE\r\n"
      "02TP10  500.000   300.000   10.000    1.450     STN\r\n08TP11  512.3456  310.9876  10.500\r\n"
      "08TP  1229.1755686-4.00952570.00963371FIT-TEST\r\n";
  std::vector<Scenario> scenarios = {
      {.what = "a missing file, existing output, names in any script",
       .files = {{"a.sdr", "header\r\n" + kRecord + "\n" + kRecord}, {"точки хода 1.SDR", kRecord + "\r\n"},
                 {"c.sdr", kRecord}, {"c.csv", "old;content;;\r\n"}, {"e.sdr", "no records\r\n"}},
       .arguments = {"missing.sdr", "точки хода 1.SDR", "notes.txt", "a.sdr", "c.sdr", "e.sdr"},
       .countText = "Выбрано файлов SDR: 5", .messages = {read}, .statusAtFirstMessage = "Обрабатывается 1 из 5...",
       .after = {{"missing.csv", std::nullopt}, {"точки хода 1.csv", kCsv}, {"a.csv", kCsv + kCsv},
                 {"c.csv", "old;content;;\r\n" + kCsv}, {"e.csv", std::nullopt}},
       .exitStatus = 2},
      {.what = "comma, X and Y kept", .files = {{"a.sdr", kRecord}}, .arguments = {"a.sdr"}, .option = Control::Opt2,
       .keepXY = true, .countText = "Выбрано файлов SDR: 1", .after = {{"a.csv", "A-7B,1234.567,-89.01,0.5\r\n"}}},
      {.what = "tab, X and Y exchanged", .files = {{"a.sdr", kRecord}}, .arguments = {"a.sdr"}, .option = Control::Opt3,
       .countText = "Выбрано файлов SDR: 1", .after = {{"a.csv", "A-7B\t-89.01\t1234.567\t0.5\r\n"}}},
      {.what = "no name of an SDR file", .arguments = {"notes.txt", "b c.doc"}, .messages = {drop}, .exitStatus = 1},
      {.what = "read-only output", .files = {{"a.sdr", kRecord}, {"a.csv", "kept\r\n"}, {"b.sdr", kRecord}},
       .readOnly = {"a.csv"}, .arguments = {"a.sdr", "b.sdr"}, .countText = "Выбрано файлов SDR: 2",
       .messages = {"Произошла ошибка при записи файла."}, .statusAtFirstMessage = "Обрабатывается 1 из 2...",
       .after = {{"a.csv", "kept\r\n"}, {"b.csv", std::nullopt}}, .exitStatus = 1},
      {.what = "closed before Run", .files = {{"a.sdr", kRecord}}, .arguments = {"a.sdr"},
       .action = UserAction::CloseBeforeRun, .countText = "Выбрано файлов SDR: 1", .after = {{"a.csv", std::nullopt}},
       .exitStatus = 3},
      {.what = "closed during the run", .files = {{"long.sdr", job.input}}, .arguments = {"long.sdr"},
       .action = UserAction::CloseDuringRun, .countText = "Выбрано файлов SDR: 1", .after = {{"long.csv", job.csv}},
       .exitStatus = 3},
      {.what = "every point of each job", .files = {{"obs.sdr", observed}, {"traverse.sdr", traverse}},
       .arguments = {"obs.sdr", "traverse.sdr"}, .allPoints = true, .keepXY = true, .countText = "Выбрано файлов SDR: 2",
       .after = {{"obs.csv", "P3;1010.000;1990.000;49.5;\"PEG;A\"\r\nS1;1000.000;2000.000;50.000;STN\r\n"
                             "P1;1000.000;2100.000;50.000;FENCE\r\nP2;1040.000;2000.000;80.000;TREE\r\n"},
                 {"traverse.csv", "10;500.000;300.000;10.000;STN\r\n11;512.3456;310.9876;10.500;\r\n12;29.1755686;-4.0095257;0.00963371;FIT-TEST\r\n"}}},
#ifdef _WIN32
      // Wine keeps no such name on disk, so it cannot be read; a lossy conversion would
      // read the file with U+FFFD in place of the lone surrogate instead.
      {.what = "a name that is not valid UTF-16", .files = {{"a\xEF\xBF\xBD" "b.sdr", kRecord}},
       .arguments = {"a\xED\xA0\x80" "b.sdr"}, .countText = "Выбрано файлов SDR: 1", .messages = {read},
       .statusAtFirstMessage = "Обрабатывается 1 из 1...", .after = {{"a\xEF\xBF\xBD" "b.csv", std::nullopt}},
       .exitStatus = 2},
#else
      // A name that the drop syntax cannot write, which only POSIX systems allow.
      {.what = "a name with a blank and a double quote", .files = {{"say \"hi\" now.sdr", kRecord}},
       .arguments = {"say \"hi\" now.sdr"}, .countText = "Выбрано файлов SDR: 1", .after = {{"say \"hi\" now.csv", kCsv}}},
#endif
  };
  return scenarios;
}

class WindowScenarioTest : public testing::TestWithParam<Scenario> {};

TEST_P(WindowScenarioTest, RunsAsItsUserExpects) {
  const Scenario& scenario = GetParam();
  TempFolder folder;
  for (const auto& [name, content] : scenario.files) WriteBytes(folder / name, content);
  for (const std::string& name : scenario.readOnly) MakeReadOnly(folder / name);
  Report expected;
  const std::string title = scenario.allPoints ? "Varnel — все точки" : "Varnel";
  if (!scenario.countText.empty()) expected.push_back("count: " + title + ": " + scenario.countText);
  if (!scenario.statusAtFirstMessage.empty()) expected.push_back(AtFirstMessage(scenario.statusAtFirstMessage, true));
  for (const std::string& text : scenario.messages) expected.push_back("message: Varnel: " + text);
  expected.push_back("exit status " + std::to_string(scenario.exitStatus));
  EXPECT_EQ(RunProgram(scenario, folder), expected);
  for (const auto& [name, content] : scenario.after) {
    const std::string written = ReadBytes(folder / name);
    EXPECT_EQ(Exists(folder / name), content.has_value()) << name;
    if (scenario.action == UserAction::CloseDuringRun) {
      EXPECT_GT(written.size(), 10000u);
      EXPECT_LT(written.size(), content->size()) << "the run should have been cut short";
      EXPECT_TRUE(IsWholeLinesBeginning(written, *content));
    } else if (content) {
      EXPECT_TRUE(written == *content) << name << ": " << written;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Scenarios, WindowScenarioTest, testing::ValuesIn(Scenarios()));

}  // namespace
