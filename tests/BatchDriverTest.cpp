#include "convert/BatchDriver.h"

#include <gtest/gtest.h>

#include "FakeWindow.h"
#include "SdrLines.h"
#include "TempFolder.h"
#include "WithoutOverride.h"
#include "ui/Messages.h"

namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;

const std::string kRecord = ExampleSdrLine();
const std::string kCsv = "A-7B;-89.01;1234.567;0.5\r\n";  // the record under the initial options

class BatchDriverTest : public testing::Test {
 protected:
  // Lists the given names of the temporary folder, as the command-line reader would.
  void List(const std::vector<std::string>& names) {
    for (const auto& name : names) {
      ++state.FileCount;
      state.FileList.Append(folder / name);
    }
  }

  // Runs ticks until the window is unloaded; returns the exit status.
  ExitStatus RunToEnd() {
    for (int tick = 0; tick < 1000; ++tick) {
      try {
        driver.tmrMain_Timer();
      } catch (const ProcessEnded& ended) {
        return ended.status;
      }
    }
    ADD_FAILURE() << "the driver never unloaded the window";
    return ExitStatus::Done;
  }

  TempFolder folder;
  FormState state;
  FakeWindow window;
  RandomSource random;
  BatchDriver driver{state, window, random};
};

TEST_F(BatchDriverTest, ConvertsOneFilePerTickAndEndsOnTheNext) {
  WriteBytes(folder / "a.sdr", "header\r\n" + kRecord + "\r\nshort\r\n" + kRecord + "\r\n");
  WriteBytes(folder / "b.SDR", kRecord);  // the last line has no line end
  WriteBytes(folder / "c.sdr", kRecord + "\n" + kRecord + "\r");
  List({"a.sdr", "b.SDR", "c.sdr"});

  driver.tmrMain_Timer();
  EXPECT_EQ(state.CurrentFile, 1);
  EXPECT_EQ(window.statusText, "Обрабатывается 1 из 3...");
  EXPECT_EQ(ReadBytes(folder / "a.csv"), kCsv + kCsv);
  EXPECT_FALSE(Exists(folder / "b.csv"));

  driver.tmrMain_Timer();
  EXPECT_EQ(window.statusText, "Обрабатывается 2 из 3...");
  EXPECT_EQ(ReadBytes(folder / "b.csv"), kCsv);

  driver.tmrMain_Timer();
  EXPECT_EQ(window.statusText, "Обрабатывается 3 из 3...");
  EXPECT_EQ(ReadBytes(folder / "c.csv"), kCsv + kCsv);

  EXPECT_EQ(RunToEnd(), ExitStatus::Done);
  EXPECT_EQ(state.CurrentFile, 3);
  EXPECT_TRUE(window.messages.empty());
}

TEST_F(BatchDriverTest, UsesTheWindowsOptions) {
  WriteBytes(folder / "a.sdr", kRecord + "\r\n" + std::string(84, ' ') + "\r\n");
  List({"a.sdr"});
  window.options = ConversionOptions{false, false, true, false};
  EXPECT_EQ(RunToEnd(), ExitStatus::Done);
  EXPECT_EQ(ReadBytes(folder / "a.csv"), "A-7B\t1234.567\t-89.01\t0.5\r\n\t\t\t\r\n");
}

TEST_F(BatchDriverTest, AppendsToExistingOutputAndListedTwiceConvertsTwice) {
  WriteBytes(folder / "a.csv", "old;content;;\r\n");
  WriteBytes(folder / "a.sdr", kRecord);
  List({"a.sdr", "a.sdr"});
  EXPECT_EQ(RunToEnd(), ExitStatus::Done);
  EXPECT_EQ(ReadBytes(folder / "a.csv"), "old;content;;\r\n" + kCsv + kCsv);
}

TEST_F(BatchDriverTest, FileWithoutRecordsCreatesNothing) {
  WriteBytes(folder / "empty.sdr", "");
  WriteBytes(folder / "none.sdr", "short\r\n" + kRecord + " \r\n\r\n");
  List({"empty.sdr", "none.sdr"});
  EXPECT_EQ(RunToEnd(), ExitStatus::Done);
  EXPECT_FALSE(Exists(folder / "empty.csv"));
  EXPECT_FALSE(Exists(folder / "none.csv"));
  EXPECT_TRUE(window.messages.empty());
}

TEST_F(BatchDriverTest, ReadFailureGoesOnWithTheNextFile) {
  WriteBytes(folder / "good.sdr", kRecord);
  fs::create_directory(FsPath(folder / "folder.sdr"));  // opens, but cannot be read as a file
  List({"missing.sdr", "good.sdr", "folder.sdr"});

  driver.tmrMain_Timer();
  EXPECT_EQ(window.messages, Texts{msg::kReadFailure});
  EXPECT_FALSE(Exists(folder / "missing.csv"));
  driver.tmrMain_Timer();
  EXPECT_EQ(ReadBytes(folder / "good.csv"), kCsv);
  driver.tmrMain_Timer();
  EXPECT_EQ(window.messages, (Texts{msg::kReadFailure, msg::kReadFailure}));
  EXPECT_EQ(RunToEnd(), ExitStatus::FinishedWithErrors);
}

TEST_F(BatchDriverTest, WriteFailureEndsTheRunAfterItsMessage) {
  WriteBytes(folder / "a.sdr", kRecord + "\r\n" + kRecord);
  WriteBytes(folder / "a.csv", "");
  WriteBytes(folder / "b.sdr", kRecord);
  fs::permissions(FsPath(folder / "a.csv"), fs::perms::owner_read);
  List({"a.sdr", "b.sdr"});

  const WithoutOverride asUser;
  try {
    driver.tmrMain_Timer();
    FAIL() << "a write failure must unload the window";
  } catch (const ProcessEnded& ended) {
    EXPECT_EQ(ended.status, ExitStatus::EndedByMessage);
  }
  EXPECT_EQ(window.messages, Texts{msg::kWriteFailure});
  EXPECT_EQ(window.events.back(), "unload");
  EXPECT_FALSE(Exists(folder / "b.csv"));
}

TEST_F(BatchDriverTest, TicksNeverNestInsideThePumpOrAMessage) {
  std::string lines;
  for (int i = 0; i < 2000; ++i) lines += kRecord + "\r\n";
  WriteBytes(folder / "a.sdr", lines);
  WriteBytes(folder / "b.sdr", kRecord);
  List({"missing.sdr", "a.sdr", "b.sdr"});
  random.Seed(1.0f);
  int nestedTicks = 0;
  const auto tickAgain = [&] {
    ++nestedTicks;
    driver.tmrMain_Timer();
  };
  window.onPump = tickAgain;
  window.onMessage = tickAgain;

  driver.tmrMain_Timer();  // the read-failure message tries to tick
  driver.tmrMain_Timer();  // the event pump tries to tick
  EXPECT_GT(window.pumps, 0);
  EXPECT_EQ(nestedTicks, window.pumps + 1);
  EXPECT_EQ(state.CurrentFile, 2);
  EXPECT_EQ(ReadBytes(folder / "a.csv").size(), 2000 * kCsv.size());
  EXPECT_FALSE(Exists(folder / "b.csv"));
}

TEST_F(BatchDriverTest, PumpsAboutOnceEveryHundredLines) {
  std::string lines;
  for (int i = 0; i < 20000; ++i) lines += "x\r\n";
  WriteBytes(folder / "a.sdr", lines);
  List({"a.sdr"});
  random.Seed(12345.6f);
  driver.tmrMain_Timer();
  EXPECT_GT(window.pumps, 150);
  EXPECT_LT(window.pumps, 250);
}

}  // namespace
