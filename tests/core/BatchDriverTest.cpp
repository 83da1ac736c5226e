#include "convert/BatchDriver.h"

#include "../FakeWindow.h"
#include "../Support.h"

namespace {

class BatchDriverTest : public testing::Test {
 protected:
  // Lists names of the temporary folder, as the command-line reader would.
  void List(const std::vector<std::string>& names) {
    for (const auto& name : names) state.FileList.Append(folder / name), ++state.FileCount;
  }
  // One tick; the exit status when it unloaded the window.
  std::optional<ExitStatus> Tick() { return EndOf([&] { driver.tmrMain_Timer(); }); }

  TempFolder folder;
  FormState state;
  FakeWindow window;
  RandomSource random;
  BatchDriver driver{state, window, random};
};

TEST_F(BatchDriverTest, ConvertsOneFilePerTickShowingProgressAndEndsOnTheNext) {
  WriteBytes(folder / "a.sdr", "header\r\n" + kRecord + "\r\nshort\r\n" + kRecord);  // no end on the last line
  WriteBytes(folder / "b.sdr", std::string(70000, 'x') + "\n" + kRecord + "\n" + std::string(84, '\0') + "\r");
  WriteBytes(folder / "c.sdr", "no record\r\n");  // nothing to write, so no file
  WriteBytes(folder / "locked.sdr", kRecord);
  std::filesystem::create_directory(FsPath(folder / "folder.sdr"));  // opens, but cannot be read as a file
  std::filesystem::permissions(FsPath(folder / "locked.sdr"), std::filesystem::perms::none);
  DropPowerOverPermissions();
  List({"a.sdr", "b.sdr", "c.sdr", "missing.sdr", "folder.sdr", "locked.sdr", "a.sdr"});
  for (int tick = 1; tick <= 7; ++tick) {
    EXPECT_FALSE(Tick());
    EXPECT_EQ(state.CurrentFile, tick);
    EXPECT_EQ(window.statusText, "Обрабатывается " + std::to_string(tick) + " из 7...");
    EXPECT_EQ(ReadBytes(folder / "a.csv").size(), (tick < 7 ? 2 : 4) * kCsv.size());
  }
  // Windows has no permission that hides a file from its owner.
  const std::size_t unreadable = std::filesystem::path::preferred_separator == '\\' ? 2 : 3;
  EXPECT_EQ(window.messages, std::vector<std::string>(unreadable, "Произошла ошибка при чтении файла."));
  EXPECT_EQ(ReadBytes(folder / "b.csv"), kCsv + ";;;\r\n");
  for (const char* none : {"c.csv", "missing.csv", "folder.csv"}) EXPECT_FALSE(Exists(folder / none)) << none;
  EXPECT_EQ(Tick(), ExitStatus::FinishedWithErrors);
  EXPECT_EQ(state.CurrentFile, 7);
}

TEST_F(BatchDriverTest, PumpsAboutOnceEveryHundredLinesAndTicksNeverNest) {
  std::string lines;
  for (int i = 0; i < 10000; ++i) lines += "x\r\n" + kRecord + "\r\n";
  WriteBytes(folder / "a.sdr", lines);
  WriteBytes(folder / "b.sdr", kRecord);
  List({"missing.sdr", "a.sdr", "b.sdr"});
  random.Seed(12345.6f);
  int nestedTicks = 0;
  window.onPump = window.onMessage = [&] { ++nestedTicks, driver.tmrMain_Timer(); };
  EXPECT_FALSE(Tick());  // the read-failure message tries to tick
  EXPECT_FALSE(Tick());  // and so does every event pump
  EXPECT_GT(window.pumps, 150);
  EXPECT_LT(window.pumps, 250);
  EXPECT_EQ(nestedTicks, window.pumps + 1);
  EXPECT_EQ(state.CurrentFile, 2);
  EXPECT_EQ(ReadBytes(folder / "a.csv").size(), 10000 * kCsv.size());
  EXPECT_FALSE(Exists(folder / "b.csv"));
}

}  // namespace
