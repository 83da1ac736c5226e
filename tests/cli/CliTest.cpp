#include <gtest/gtest.h>

#include <cstdio>

#include "../FakeWindow.h"
#include "../SdrLines.h"
#include "../TempFolder.h"
#include "../WithoutOverride.h"
#include "cli/CliRun.h"
#include "convert/BatchDriver.h"

namespace {

namespace fs = std::filesystem;

const std::string kRecord = ExampleSdrLine();
const std::string kCsv = "A-7B;-89.01;1234.567;0.5\r\n";

struct CliResult {
  CliStatus status;
  std::string out;
  std::string err;
};

std::string Drain(std::FILE* file) {
  std::string text;
  std::rewind(file);
  for (int c; (c = std::fgetc(file)) != EOF;) text += static_cast<char>(c);
  std::fclose(file);
  return text;
}

CliResult RunCliOn(const std::vector<std::string>& arguments, bool showProgress = false) {
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  const CliStatus status = RunCli(arguments, out, err, showProgress);
  return {status, Drain(out), Drain(err)};
}

// The window's way: one tick of the batch driver, one open and close per line.
std::string ConvertLineByLine(const std::string& input, const ConversionOptions& options, TempFolder& folder) {
  const std::string copy = folder / "per-line.sdr";
  // Removed first: MinGW's copy_file refuses to overwrite.
  fs::remove(FsPath(copy));
  fs::copy_file(FsPath(input), FsPath(copy));
  fs::remove(FsPath(folder / "per-line.csv"));
  FormState state;
  state.FileCount = 1;
  state.FileList.Append(copy);
  FakeWindow window;
  window.options = options;
  RandomSource random;
  BatchDriver(state, window, random).tmrMain_Timer();
  return Exists(folder / "per-line.csv") ? ReadBytes(folder / "per-line.csv") : "";
}

// Records, other lines, every line end, long lines and bytes of every value, over
// several read blocks.
std::string MixedInput() {
  std::string input = "\x02" "00NMSDR33 header\r\n";
  const char* ends[] = {"\r\n", "\n", "\r"};
  for (int i = 0; i < 38000; ++i) {
    const std::string point = std::to_string(i) + static_cast<char>(128 + i % 128);
    // Built by appending: GCC 12 warns wrongly about a literal followed by a temporary.
    const std::string x = std::string(" ").append(std::to_string(i * 7)).append(".5 ");
    const std::string y = std::string("-").append(point);
    const std::string height = std::string(1, static_cast<char>(i % 33)) + "x";
    input += SdrLine("08TP", point, x, y, height, "tail") + ends[i % 3];
    if (i % 5 == 0) input += std::string(83 + i % 3, 'A' + i % 26) + ends[(i + 1) % 3];
    if (i % 7 == 0) input += std::string(5000, 'z') + "\r\n";
    if (i % 11 == 0) input += ends[i % 3];
  }
  return input + kRecord;  // a last line without a line end
}

class CliTest : public testing::Test {
 protected:
  TempFolder folder;
};

TEST_F(CliTest, WritesTheSameBytesAsTheWindowUnderEveryOption) {
  const std::string input = folder / "mixed.sdr";
  WriteBytes(input, MixedInput());
  const struct {
    std::vector<std::string> flags;
    ConversionOptions options;
  } cases[] = {
      {{}, {true, false, false, true}},
      {{"--keep-xy"}, {true, false, false, false}},
      {{"-s", "comma"}, {false, true, false, true}},
      {{"--separator=comma", "-k"}, {false, true, false, false}},
      {{"--separator=tab"}, {false, false, true, true}},
      {{"-s", "tab", "--keep-xy"}, {false, false, true, false}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.flags));
    fs::remove(FsPath(folder / "mixed.csv"));
    std::vector<std::string> arguments = c.flags;
    arguments.push_back(input);
    const CliResult result = RunCliOn(arguments);
    EXPECT_EQ(result.status, CliStatus::Converted);
    EXPECT_EQ(result.err, "");
    const std::string expected = ConvertLineByLine(input, c.options, folder);
    ASSERT_GT(expected.size(), 1u << 20);
    EXPECT_TRUE(ReadBytes(folder / "mixed.csv") == expected);
  }
}

TEST_F(CliTest, AppendsToAnExistingFileAndCreatesNoneWithoutRecords) {
  WriteBytes(folder / "a.sdr", kRecord + "\r\n" + kRecord);
  WriteBytes(folder / "a.csv", "old line without end");
  WriteBytes(folder / "none.sdr", "header\r\nnothing else\r\n");
  const CliResult result = RunCliOn({folder / "a.sdr", folder / "none.sdr", folder / "a.sdr"});
  EXPECT_EQ(result.status, CliStatus::Converted);
  EXPECT_EQ(ReadBytes(folder / "a.csv"), "old line without end" + kCsv + kCsv + kCsv + kCsv);
  EXPECT_FALSE(Exists(folder / "none.csv"));
}

TEST_F(CliTest, UnreadableFilesAreReportedAndTheOthersConverted) {
  WriteBytes(folder / "b.sdr", kRecord);
  // A folder opens for reading on some systems and fails only when read.
  fs::create_directory(FsPath(folder / "folder.sdr"));
  const CliResult result =
      RunCliOn({folder / "missing.sdr", folder / "folder.sdr", "notes.txt", folder / "b.sdr"});
  EXPECT_EQ(result.status, CliStatus::ReadFailed);
  EXPECT_EQ(ReadBytes(folder / "b.csv"), kCsv);
  EXPECT_FALSE(Exists(folder / "folder.csv"));
  EXPECT_NE(result.err.find(folder / "missing.sdr" + ": cannot read: "), std::string::npos) << result.err;
  EXPECT_NE(result.err.find(folder / "folder.sdr" + ": cannot read: "), std::string::npos) << result.err;
  EXPECT_NE(result.err.find("notes.txt: skipped: the name does not end in .sdr\n"), std::string::npos) << result.err;
  EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 3);
}

TEST_F(CliTest, ReadOnlyOutputStopsTheRunWithItsFileNamed) {
  WriteBytes(folder / "a.sdr", kRecord);
  WriteBytes(folder / "a.csv", "kept\r\n");
  WriteBytes(folder / "b.sdr", kRecord);
  fs::permissions(FsPath(folder / "a.csv"), fs::perms::owner_read);
  CliResult result;
  {
    const WithoutOverride asUser;
    result = RunCliOn({folder / "a.sdr", folder / "b.sdr"});
  }
  EXPECT_EQ(result.status, CliStatus::WriteFailed);
  EXPECT_EQ(ReadBytes(folder / "a.csv"), "kept\r\n");
  EXPECT_FALSE(Exists(folder / "b.csv"));
  EXPECT_EQ(result.err.rfind("varnel-cli: " + folder / "a.csv" + ": cannot write: ", 0), 0u) << result.err;
}

TEST_F(CliTest, BadCommandLinesAreRefused) {
  for (const std::vector<std::string>& arguments :
       std::vector<std::vector<std::string>>{{}, {"--bogus", "a.sdr"}, {"-s", "colon", "a.sdr"}, {"a.sdr", "-s"},
                                             {"--separator=", "a.sdr"}, {"-k"}}) {
    const CliResult result = RunCliOn(arguments);
    EXPECT_EQ(result.status, CliStatus::BadCommandLine) << testing::PrintToString(arguments);
    EXPECT_NE(result.err.find("Try 'varnel-cli --help'."), std::string::npos);
  }
  const CliResult help = RunCliOn({"--help"});
  EXPECT_EQ(help.status, CliStatus::Converted);
  EXPECT_EQ(help.out.rfind("Usage: varnel-cli", 0), 0u);
}

TEST_F(CliTest, FileNamesAfterDoubleDashMayStartWithADash) {
  const std::string dashed = folder / "-k.sdr";
  WriteBytes(dashed, kRecord);
  fs::current_path(folder.Path());
  const CliResult result = RunCliOn({"--", "-k.sdr"});
  fs::current_path(fs::temp_directory_path());
  EXPECT_EQ(result.status, CliStatus::Converted);
  EXPECT_EQ(ReadBytes(folder / "-k.csv"), kCsv);
}

TEST_F(CliTest, ProgressOnlyWhenAsked) {
  WriteBytes(folder / "a.sdr", kRecord);
  EXPECT_EQ(RunCliOn({folder / "a.sdr"}).err, "");
  const CliResult shown = RunCliOn({folder / "a.sdr"}, true);
  EXPECT_NE(shown.err.find("\rvarnel-cli: file 1 of 1, 0 MiB read"), std::string::npos) << shown.err;
  EXPECT_EQ(shown.err.back(), '\r');  // the line is wiped at the end
}

}  // namespace
