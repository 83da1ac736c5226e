#include "convert/BatchDriver.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>

#include "FakeWindow.h"
#include "SdrLines.h"
#include "TempFolder.h"
#include "WithoutOverride.h"
#include "startup/CommandLineFileList.h"
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

  // One tick; the exit status when it unloaded the window.
  std::optional<ExitStatus> Tick() {
    try {
      driver.tmrMain_Timer();
    } catch (const ProcessEnded& ended) {
      return ended.status;
    }
    return std::nullopt;
  }

  // Runs ticks until the window is unloaded; returns the exit status.
  ExitStatus RunToEnd() {
    for (int tick = 0; tick < 1000; ++tick) {
      if (const auto status = Tick()) return *status;
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

std::string RandomBytes(std::size_t size, unsigned seed) {
  std::mt19937 engine(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(engine() & 0xFF);
  return bytes;
}

TEST_F(BatchDriverTest, WhateverAFileHoldsOnlyItsRecordsConvert) {
  const std::string record83 = kRecord.substr(0, 83);
  const std::string record85 = kRecord + " ";
  const struct {
    const char* what;
    std::string bytes;
    std::optional<std::string> csv;  // nothing: no output file
  } cases[] = {
      {"empty", "", std::nullopt},
      {"NUL bytes", std::string(4096, '\0'), std::nullopt},
      {"a record of NUL bytes", std::string(84, '\0'), ";;;\r\n"},
      {"83, 84 and 85 bytes, CR LF", record83 + "\r\n" + kRecord + "\r\n" + record85 + "\r\n", kCsv},
      {"83, 84 and 85 bytes, LF", record83 + "\n" + kRecord + "\n" + record85 + "\n", kCsv},
      {"83, 84 and 85 bytes, CR", record83 + "\r" + kRecord + "\r" + record85 + "\r", kCsv},
      {"84 bytes without an end", record85 + "\r\n" + record83 + "\n" + kRecord, kCsv},
      {"records between blank lines", "\r\n\r\n" + kRecord + "\r\r\n\n" + kRecord + "\n\n", kCsv + kCsv},
      {"a line far longer than a read block", std::string(200000, 'x') + "\n" + kRecord, kCsv},
  };
  int n = 0;
  for (const auto& c : cases) {
    const std::string name = "case" + std::to_string(++n);
    WriteBytes(folder / (name + ".sdr"), c.bytes);
    List({name + ".sdr"});
    EXPECT_FALSE(Tick()) << c.what;
    if (c.csv) {
      EXPECT_EQ(ReadBytes(folder / (name + ".csv")), *c.csv) << c.what;
    } else {
      EXPECT_FALSE(Exists(folder / (name + ".csv"))) << c.what;
    }
  }
  EXPECT_TRUE(window.messages.empty());
}

TEST_F(BatchDriverTest, BinaryFileRenamedSdrGivesWholeLinesOnly) {
  // Random bytes, with enough line ends that some lines come out 84 bytes long.
  std::string bytes = RandomBytes(1 << 20, 7);
  for (std::size_t at = 0; at + 84 < bytes.size(); at += 85) bytes[at + 84] = '\n';
  WriteBytes(folder / "photo.sdr", bytes);
  List({"photo.sdr"});
  EXPECT_FALSE(Tick());
  const std::string csv = ReadBytes(folder / "photo.csv");
  ASSERT_FALSE(csv.empty());
  std::size_t lines = 0;
  for (std::size_t at = 0; at < csv.size(); ++lines) {
    const std::size_t end = csv.find("\r\n", at);
    ASSERT_NE(end, std::string::npos);
    for (std::size_t i = at; i < end; ++i) ASSERT_FALSE(csv[i] == '\r' || csv[i] == '\n');
    at = end + 2;
  }
  EXPECT_GT(lines, 1000u);
  EXPECT_TRUE(window.messages.empty());
}

TEST_F(BatchDriverTest, ReadFailureGoesOnWithTheNextFile) {
  // Windows has no permission that makes a file unreadable to its owner.
#ifdef _WIN32
  const std::vector<std::string> unreadable = {"missing.sdr", "gone.sdr", "folder.sdr"};
#else
  const std::vector<std::string> unreadable = {"missing.sdr", "gone.sdr", "locked.sdr", "folder.sdr"};
#endif
  for (const char* name : {"a.sdr", "gone.sdr", "locked.sdr", "d.sdr"}) WriteBytes(folder / name, kRecord);
  fs::create_directory(FsPath(folder / "folder.sdr"));  // opens, but cannot be read as a file
  std::vector<std::string> listed = unreadable;
  listed.insert(listed.begin() + 1, "a.sdr");
  listed.push_back("d.sdr");
  List(listed);
  const WithoutOverride asUser;
  EXPECT_FALSE(Tick());
  EXPECT_EQ(window.messages, Texts{msg::kReadFailure});
  EXPECT_FALSE(Tick());
  // Files that vanish or turn unreadable while the run goes on.
  fs::remove(FsPath(folder / "gone.sdr"));
  fs::permissions(FsPath(folder / "locked.sdr"), fs::perms::none);
  for (std::size_t tick = 2; tick < listed.size(); ++tick) EXPECT_FALSE(Tick());
  EXPECT_EQ(window.messages, Texts(unreadable.size(), msg::kReadFailure));
  EXPECT_EQ(ReadBytes(folder / "a.csv"), kCsv);
  EXPECT_EQ(ReadBytes(folder / "d.csv"), kCsv);
  for (const std::string& name : unreadable) EXPECT_FALSE(Exists(folder / (name.substr(0, name.size() - 3) + "csv")));
  EXPECT_EQ(Tick(), ExitStatus::FinishedWithErrors);
}

TEST_F(BatchDriverTest, OutputFolderTurningReadOnlyEndsTheRunKeepingWhatWasWritten) {
#ifdef _WIN32
  GTEST_SKIP() << "the read-only attribute of a Windows folder does not stop new files";
#endif
  const std::string sub = folder / "job";
  fs::create_directory(FsPath(sub));
  WriteBytes(sub + "/a.sdr", kRecord + "\r\n" + kRecord);
  WriteBytes(sub + "/b.sdr", kRecord);
  List({"job/a.sdr", "job/b.sdr"});
  const WithoutOverride asUser;
  EXPECT_FALSE(Tick());
  fs::permissions(FsPath(sub), fs::perms::owner_read | fs::perms::owner_exec);
  EXPECT_EQ(Tick(), ExitStatus::EndedByMessage);
  EXPECT_EQ(window.messages, Texts{msg::kWriteFailure});
  EXPECT_EQ(ReadBytes(sub + "/a.csv"), kCsv + kCsv);
  EXPECT_FALSE(Exists(sub + "/b.csv"));
}

TEST_F(BatchDriverTest, NamesWithQuotesTabsAndOtherScriptsReachTheirFiles) {
#ifdef _WIN32
  const std::vector<std::string> names = {"точки.SDR", "測量 1.sdr", "it's.sdr"};  // no tab or quote in Windows names
#else
  const std::vector<std::string> names = {"tab\there.sdr", "точки.SDR", "測量 1.sdr", "say\"when\".sdr"};
#endif
  std::string commandLine;
  for (const std::string& name : names) {
    WriteBytes(folder / name, kRecord);
    const std::string path = folder / name;
    commandLine += (path.find(' ') == std::string::npos ? path : "\"" + path + "\"") + " ";
  }
  FakeProcess process;
  process.argumentText = commandLine;
  ReadCommandLine(state, process, window);
  ASSERT_EQ(state.FileCount, static_cast<int>(names.size()));
  for (const std::string& name : names) {
    EXPECT_FALSE(Tick());
    const std::string csv = name.substr(0, name.rfind('.')) + ".csv";
    EXPECT_EQ(ReadBytes(folder / csv), kCsv) << name;
  }
  EXPECT_TRUE(window.messages.empty());
}

}  // namespace
