#include "cli/CliRun.h"

#include <cstdio>
#include <functional>

#include "../FakeWindow.h"
#include "../Support.h"
#include "convert/BatchDriver.h"

namespace {

namespace fs = std::filesystem;

struct CliResult {
  CliStatus status;
  std::string out;
  std::string err;
};

CliResult RunCliOn(const std::vector<std::string>& arguments, bool showProgress = false) {
  std::FILE* streams[] = {std::tmpfile(), std::tmpfile()};
  const CliStatus status = RunCli(arguments, streams[0], streams[1], showProgress);
  std::string texts[2];
  for (int i = 0; i < 2; ++i) {
    std::rewind(streams[i]);
    for (int c; (c = std::fgetc(streams[i])) != EOF;) texts[i] += static_cast<char>(c);
    std::fclose(streams[i]);
  }
  return {status, texts[0], texts[1]};
}

// The window's way: one tick of the batch driver, one open and close per line.
std::string ConvertLineByLine(const std::string& input) {
  FormState state;
  state.FileCount = 1;
  state.FileList.Append(input);
  FakeWindow window;
  RandomSource random;
  BatchDriver(state, window, random).tmrMain_Timer();
  return ReadBytes(input.substr(0, input.size() - 3) + "csv");
}

TEST(CliTest, WritesTheSameBytesAsTheWindow) {
  // Records among other lines, every line end, long lines and bytes of every value,
  // over many read and write blocks, and a last line without an end.
  std::string input = "\x02" "00NMSDR33 header\r\n";
  const char* ends[] = {"\r\n", "\n", "\r"};
  for (int i = 0; i < 38000; ++i) {
    const std::string point = std::to_string(i) + static_cast<char>(128 + i % 128);
    input += SdrLine("08TP", point, std::to_string(i * 7) + ".5 ", "-" + point, std::string(1, static_cast<char>(i % 33)) + "x",
                     "tail") + ends[i % 3] + std::string(i % 5 ? 0 : 83 + i % 3, 'A') + ends[i % 5 ? 0 : (i + 1) % 3] +
             (i % 7 ? "" : std::string(5000, 'z') + "\r\n");
  }
  TempFolder folder;
  WriteBytes(folder / "window.sdr", input + kRecord);
  WriteBytes(folder / "mixed.sdr", input + kRecord);
  WriteBytes(folder / "mixed.csv", "old line without end");
  WriteBytes(folder / "none.sdr", "header\r\nnothing else\r\n");
  const std::string expected = ConvertLineByLine(folder / "window.sdr");
  ASSERT_GT(expected.size(), 1u << 20);
  const CliResult result = RunCliOn({folder / "mixed.sdr", folder / "none.sdr", folder / "mixed.sdr"});
  EXPECT_EQ(result.status, CliStatus::NotAllConverted);  // none.sdr holds no record
  EXPECT_EQ(result.err, "varnel-cli: " + folder / "none.sdr" + ": no records: no line has 84 characters\n");
  EXPECT_TRUE(ReadBytes(folder / "mixed.csv") == "old line without end" + expected + expected);
  EXPECT_FALSE(Exists(folder / "none.csv"));
}

TEST(CliTest, ReportsEachProblemOnALineNamingItsFile) {
  TempFolder folder;
  for (const char* name : {"b.sdr", "-k.sdr", "c.sdr"}) WriteBytes(folder / name, kRecord);
  fs::create_directory(FsPath(folder / "folder.sdr"));  // opens on some systems, fails when read
  WriteBytes(folder / "c.csv", "kept\r\n");
  MakeReadOnly(folder / "c.csv");
  DropPowerOverPermissions();
  const std::string tooLong = std::string(32764, 'a') + ".sdr";
  const CliResult result = RunCliOn({folder / "missing.sdr", folder / "folder.sdr", "notes.txt", tooLong, folder / "b.sdr",
                                     "--", folder / "-k.sdr"});
  EXPECT_EQ(result.status, CliStatus::NotAllConverted);
  EXPECT_EQ(ReadBytes(folder / "b.csv") + ReadBytes(folder / "-k.csv"), kCsv + kCsv);
  EXPECT_FALSE(Exists(folder / "folder.csv"));
  for (const std::string& line : {folder / "missing.sdr: cannot read: ", folder / "folder.sdr: cannot read: ",
                                  std::string("notes.txt: skipped: the name does not end in .sdr\n"),
                                  tooLong + ": skipped: the name is too long\n"}) {
    EXPECT_NE(result.err.find("varnel-cli: " + line), std::string::npos) << result.err;
  }
  EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 4);

  // Nothing converted is no success: names skipped, and an SDR20 job, whose points are shorter.
  WriteBytes(folder / "old.sdr", "00NMSDR20     V03-05    25-Sep-10 22:10 113111\r\n08TP100029.1755686-4.00952570.0\r\n");
  const CliResult nothing = RunCliOn({"notes.txt", "typo.sd", folder / "old.sdr"});
  EXPECT_EQ(nothing.status, CliStatus::NotAllConverted);
  EXPECT_NE(nothing.err.find("varnel-cli: " + folder / "old.sdr" + ": no records: it is an older SDR2x file"),
            std::string::npos) << nothing.err;
  EXPECT_FALSE(Exists(folder / "old.csv"));

  const CliResult stopped = RunCliOn({folder / "c.sdr", folder / "b.sdr"});
  EXPECT_EQ(stopped.status, CliStatus::WriteFailed);
  EXPECT_EQ(ReadBytes(folder / "c.csv"), "kept\r\n");
  EXPECT_EQ(ReadBytes(folder / "b.csv"), kCsv);  // the run stopped before it
  EXPECT_EQ(stopped.err.rfind("varnel-cli: " + folder / "c.csv" + ": cannot write: ", 0), 0u) << stopped.err;
}

// A write that fails in the first block or a later one: the message names the CSV file,
// the run stops with status 2, and the file keeps whole lines only.
TEST(CliTest, WriteFailuresLeaveWholeLinesAndStopTheRun) {
  TempFolder folder;
  const LongJob job(120000);  // 3 MB of CSV lines: several blocks
  WriteBytes(folder / "job.sdr", job.input);
  WriteBytes(folder / "next.sdr", kRecord);
  const struct {
    std::string what, reason;
    std::function<void()> prepare;
    long long sizeLimit = 0;
  } cases[] = {
#ifdef _WIN32
      {"a folder in the CSV file's place", "Permission denied", [&] { fs::create_directory(FsPath(folder / "job.csv")); }},
#else
      {"a folder in the CSV file's place", "Is a directory", [&] { fs::create_directory(FsPath(folder / "job.csv")); }},
      {"a full disk", "No space left on device", [&] { fs::create_symlink("/dev/full", FsPath(folder / "job.csv")); }},
      {"a file-size limit in the third block", "File too large", [] {}, 1300000},
#endif
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    for (const char* name : {"job.csv", "next.csv"}) fs::remove(FsPath(folder / name));
    c.prepare();
    CliResult result;
    if (c.sizeLimit > 0) {
      const FileSizeLimit limit(c.sizeLimit);
      result = RunCliOn({folder / "job.sdr", folder / "next.sdr"});
    } else {
      result = RunCliOn({folder / "job.sdr", folder / "next.sdr"});
    }
    EXPECT_EQ(result.status, CliStatus::WriteFailed);
    EXPECT_EQ(result.err, "varnel-cli: " + folder / "job.csv" + ": cannot write: " + c.reason + "\n");
    EXPECT_FALSE(Exists(folder / "next.csv"));
    if (c.sizeLimit > 0) {
      const std::string written = ReadBytes(folder / "job.csv");
      EXPECT_GT(written.size(), 2 * (512u << 10));
      EXPECT_TRUE(IsWholeLinesBeginning(written, job.csv)) << written.size();
    }
  }
}

TEST(CliTest, CommandLine) {
  TempFolder folder;
  WriteBytes(folder / "a.sdr", kRecord);
  const std::pair<std::vector<std::string>, std::string> options[] = {
      {{}, kCsv},
      {{"--keep-xy", "-s", "comma"}, "A-7B,1234.567,-89.01,0.5\r\n"},
      {{"--separator=tab"}, "A-7B\t-89.01\t1234.567\t0.5\r\n"},
      {{"-k", "--separator", "semicolon"}, "A-7B;1234.567;-89.01;0.5\r\n"},
  };
  for (auto [arguments, csv] : options) {
    std::filesystem::remove(FsPath(folder / "a.csv"));
    arguments.push_back(folder / "a.sdr");
    EXPECT_EQ(RunCliOn(arguments).status, CliStatus::Converted);
    EXPECT_EQ(ReadBytes(folder / "a.csv"), csv) << testing::PrintToString(arguments);
  }
  for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
           {}, {"--bogus", "a.sdr"}, {"-s", "colon", "a.sdr"}, {"a.sdr", "-s"}, {"--separator=", "a.sdr"}, {"-k"}}) {
    const CliResult result = RunCliOn(arguments);
    EXPECT_EQ(result.status, CliStatus::BadCommandLine) << testing::PrintToString(arguments);
    EXPECT_NE(result.err.find("Try 'varnel-cli --help'."), std::string::npos);
  }
  EXPECT_EQ(RunCliOn({"--help"}).out.rfind("Usage: varnel-cli", 0), 0u);
  EXPECT_EQ(RunCliOn({folder / "a.sdr"}).err, "");
  const CliResult shown = RunCliOn({folder / "a.sdr"}, true);
  EXPECT_NE(shown.err.find("\rvarnel-cli: file 1 of 1, 0 MiB read"), std::string::npos) << shown.err;
  EXPECT_EQ(shown.err.back(), '\r');  // the progress line is wiped at the end
}

}  // namespace
