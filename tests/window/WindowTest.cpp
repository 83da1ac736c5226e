#include "WindowTest.h"

#include <cctype>

#include "../Expected.h"

namespace {

TEST(WindowTest, StartsWithEveryControlInItsInitialState) {
  const SeenWindow seen = LookAtNewWindow();
  ASSERT_EQ(seen.dpi, 96) << "the expected pixels are those of 96 DPI";
  EXPECT_EQ(seen.title, expected::kTitle);
  EXPECT_EQ((std::vector{seen.clientWidth, seen.clientHeight}), (std::vector{expected::kClientWidth, expected::kClientHeight}));
  for (const expected::ControlLook& look : expected::kControls) {
    const SeenControl& control = seen.controls.at(static_cast<std::size_t>(look.control));
    SCOPED_TRACE(look.caption);
    EXPECT_EQ(control.caption, look.caption);
    EXPECT_EQ((std::vector{control.left, control.top, control.width, control.height}),
              (std::vector{look.left, look.top, look.width, look.height}));
    EXPECT_TRUE(control.enabled);
    EXPECT_EQ(control.checked, look.checked);
    EXPECT_EQ(control.font + " " + std::to_string(control.points) + (control.bold ? " bold" : ""),
              std::string("Calibri 9") + (look.bold ? " bold" : ""));
    EXPECT_EQ(control.background, 0xC0C0C0u);
    // The Run button keeps the system's text colour.
    EXPECT_TRUE(control.text == 0 || look.control == Control::cmdOk) << std::hex << control.text;
  }
  EXPECT_EQ(seen.tabCycle, std::vector<Control>(std::begin(expected::kTabOrder), std::end(expected::kTabOrder)));
  // At 150 % the column of 2805 twips is 280.5 pixels, rounded up.
  EXPECT_EQ(TwipsToPixels(2805, 144), 281);
}

std::vector<Scenario> Scenarios() {
  const std::string drop(expected::kDropFiles), read(expected::kReadFailure), write(expected::kWriteFailure);
  const LongJob job(40000);
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
      {.what = "no names at all", .messages = {drop}, .exitStatus = 1},
      {.what = "read-only output", .files = {{"a.sdr", kRecord}, {"a.csv", "kept\r\n"}, {"b.sdr", kRecord}},
       .readOnly = {"a.csv"}, .arguments = {"a.sdr", "b.sdr"}, .countText = "Выбрано файлов SDR: 2", .messages = {write},
       .statusAtFirstMessage = "Обрабатывается 1 из 2...", .after = {{"a.csv", "kept\r\n"}, {"b.csv", std::nullopt}},
       .exitStatus = 1},
      {.what = "closed before Run", .files = {{"a.sdr", kRecord}}, .arguments = {"a.sdr"},
       .action = UserAction::CloseBeforeRun, .countText = "Выбрано файлов SDR: 1", .after = {{"a.csv", std::nullopt}},
       .exitStatus = 3},
      {.what = "closed during the run", .files = {{"long.sdr", job.input}}, .arguments = {"long.sdr"},
       .action = UserAction::CloseDuringRun, .countText = "Выбрано файлов SDR: 1", .after = {{"long.csv", job.csv}},
       .exitStatus = 3},
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
  const ProgramRun run = RunProgram(scenario, folder);
  EXPECT_EQ(run.exitStatus, scenario.exitStatus);
  EXPECT_EQ(run.countText, scenario.countText);
  EXPECT_EQ(run.messages, scenario.messages);
  EXPECT_EQ(run.titles, std::vector<std::string>(scenario.messages.size(), std::string(expected::kTitle)));
  if (!scenario.statusAtFirstMessage.empty()) {
    EXPECT_EQ(run.statusAtFirstMessage, scenario.statusAtFirstMessage);
    EXPECT_TRUE(run.lockedAtFirstMessage);
  }
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

INSTANTIATE_TEST_SUITE_P(Scenarios, WindowScenarioTest, testing::ValuesIn(Scenarios()), [](const auto& param) {
  std::string name = param.param.what;
  for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return name;
});

}  // namespace
