// Bad input through the window's whole path, on real files: whatever a file holds, a
// tick gives the fixed message or skips the line, and never loses what was written.
#include <gtest/gtest.h>

#include <random>

#include "FakeWindow.h"
#include "SdrLines.h"
#include "TempFolder.h"
#include "WithoutOverride.h"
#include "convert/BatchDriver.h"
#include "startup/CommandLineFileList.h"
#include "ui/Messages.h"

namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;

const std::string kRecord = ExampleSdrLine();
const std::string kCsv = "A-7B;-89.01;1234.567;0.5\r\n";

class BadInputTest : public testing::Test {
 protected:
  void List(const std::string& path) {
    ++state.FileCount;
    state.FileList.Append(path);
  }
  std::optional<ExitStatus> Tick() {
    try {
      driver.tmrMain_Timer();
    } catch (const ProcessEnded& ended) {
      return ended.status;
    }
    return std::nullopt;
  }

  TempFolder folder;
  FormState state;
  FakeWindow window;
  RandomSource random;
  BatchDriver driver{state, window, random};
};

std::string RandomBytes(std::size_t size, unsigned seed) {
  std::mt19937 engine(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(engine() & 0xFF);
  return bytes;
}

TEST_F(BadInputTest, WhateverAFileHoldsOnlyItsRecordsConvert) {
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
    List(folder / (name + ".sdr"));
    EXPECT_FALSE(Tick()) << c.what;
    if (c.csv) {
      EXPECT_EQ(ReadBytes(folder / (name + ".csv")), *c.csv) << c.what;
    } else {
      EXPECT_FALSE(Exists(folder / (name + ".csv"))) << c.what;
    }
  }
  EXPECT_TRUE(window.messages.empty());
}

TEST_F(BadInputTest, BinaryFileRenamedSdrGivesWholeLinesOnly) {
  // Random bytes, with enough line ends that some lines come out 84 bytes long.
  std::string bytes = RandomBytes(1 << 20, 7);
  for (std::size_t at = 0; at + 84 < bytes.size(); at += 85) bytes[at + 84] = '\n';
  WriteBytes(folder / "photo.sdr", bytes);
  List(folder / "photo.sdr");
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

TEST_F(BadInputTest, FileThatVanishesOrTurnsUnreadableBeforeItsTurn) {
  for (const char* name : {"a.sdr", "gone.sdr", "locked.sdr", "d.sdr"}) {
    WriteBytes(folder / name, kRecord);
    List(folder / name);
  }
  const WithoutOverride asUser;
  EXPECT_FALSE(Tick());
  fs::remove(FsPath(folder / "gone.sdr"));
  fs::permissions(FsPath(folder / "locked.sdr"), fs::perms::none);
  EXPECT_FALSE(Tick());
  EXPECT_FALSE(Tick());
  EXPECT_FALSE(Tick());
  EXPECT_EQ(window.messages, (Texts{msg::kReadFailure, msg::kReadFailure}));
  EXPECT_EQ(ReadBytes(folder / "a.csv"), kCsv);
  EXPECT_EQ(ReadBytes(folder / "d.csv"), kCsv);
  EXPECT_FALSE(Exists(folder / "gone.csv"));
  EXPECT_FALSE(Exists(folder / "locked.csv"));
  EXPECT_EQ(Tick(), ExitStatus::FinishedWithErrors);
}

TEST_F(BadInputTest, OutputFolderTurningReadOnlyEndsTheRunKeepingWhatWasWritten) {
#ifdef _WIN32
  GTEST_SKIP() << "the read-only attribute of a Windows folder does not stop new files";
#endif
  const std::string sub = folder / "job";
  fs::create_directory(FsPath(sub));
  WriteBytes(sub + "/a.sdr", kRecord + "\r\n" + kRecord);
  WriteBytes(sub + "/b.sdr", kRecord);
  List(sub + "/a.sdr");
  List(sub + "/b.sdr");
  const WithoutOverride asUser;
  EXPECT_FALSE(Tick());
  fs::permissions(FsPath(sub), fs::perms::owner_read | fs::perms::owner_exec);
  EXPECT_EQ(Tick(), ExitStatus::EndedByMessage);
  EXPECT_EQ(window.messages, Texts{msg::kWriteFailure});
  EXPECT_EQ(ReadBytes(sub + "/a.csv"), kCsv + kCsv);
  EXPECT_FALSE(Exists(sub + "/b.csv"));
}

TEST_F(BadInputTest, NamesWithQuotesTabsAndOtherScriptsReachTheirFiles) {
#ifdef _WIN32
  const std::vector<std::string> names = {"tab\there.sdr", "точки.SDR", "測量 1.sdr"};  // no quote in Windows names
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
