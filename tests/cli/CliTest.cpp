#include "cli/CliRun.h"

#include <fcntl.h>

#include <cstdio>
#include <functional>
#include <optional>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#define O_BINARY 0
#endif

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
  const CliResult result = RunCliOn({"-q", folder / "mixed.sdr", folder / "none.sdr", folder / "mixed.sdr"});
  EXPECT_EQ(result.status, CliStatus::NotAllConverted);  // none.sdr holds no record: quiet leaves the warning
  EXPECT_EQ(result.err, "varnel-cli: " + folder / "none.sdr" + ": no records: no line has 84 characters\n");
  EXPECT_TRUE(ReadBytes(folder / "mixed.csv") == "old line without end" + expected + expected);
  EXPECT_FALSE(Exists(folder / "none.csv"));
}

TEST(CliTest, ReportsEachProblemOnALineNamingItsFile) {
  TempFolder folder;
  for (const char* name : {"b.sdr", "-k.sdr", "c.sdr"}) WriteBytes(folder / name, kRecord);
  fs::create_directory(FsPath(folder / "empty.sdr"));  // a folder without .sdr files
  WriteBytes(folder / "c.csv", "kept\r\n");
  MakeReadOnly(folder / "c.csv");
  DropPowerOverPermissions();
  const std::string tooLong = std::string(32764, 'a') + ".sdr";
  const CliResult result = RunCliOn({"--quiet", folder / "missing.sdr", folder / "empty.sdr", "notes.txt", tooLong,
                                     folder / "b.sdr", "--", folder / "-k.sdr"});
  EXPECT_EQ(result.status, CliStatus::NotAllConverted);
  EXPECT_EQ(ReadBytes(folder / "b.csv") + ReadBytes(folder / "-k.csv"), kCsv + kCsv);
  EXPECT_FALSE(Exists(folder / "empty.csv"));
  for (const std::string& line : {folder / "missing.sdr: cannot read: ", folder / "empty.sdr: no .sdr files in it\n",
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

  const CliResult stopped = RunCliOn({"-q", folder / "c.sdr", folder / "b.sdr"});
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
    std::optional<FileSizeLimit> limit;
    if (c.sizeLimit > 0) limit.emplace(c.sizeLimit);
    const CliResult result = RunCliOn({folder / "job.sdr", folder / "next.sdr"});
    limit.reset();
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
           {}, {"--bogus", "a.sdr"}, {"-s", "colon", "a.sdr"}, {"a.sdr", "-s"}, {"--separator=", "a.sdr"}, {"-k"},
           {"-c", "PN", "-k", "a.sdr"}, {"--columns=PNQ", "a.sdr"}, {"--sdr=1", "a.sdr"}, {"-qk", "a.sdr"}, {"-", "-"},
           {"-o", folder / "out", folder / "a.sdr", folder / "a.sdr"}, {"--overwrite", folder / "a.sdr", folder / "a.sdr"}}) {
    const CliResult result = RunCliOn(arguments);
    EXPECT_EQ(result.status, CliStatus::BadCommandLine) << testing::PrintToString(arguments);
    EXPECT_NE(result.err.find("Try 'varnel-cli --help'."), std::string::npos);
  }
  EXPECT_FALSE(Exists(folder / "out"));
  EXPECT_EQ(RunCliOn({"--help"}).out.rfind("Usage: varnel-cli", 0), 0u);
  EXPECT_EQ(RunCliOn({folder / "a.sdr"}).err, "varnel-cli: " + folder / "a.sdr" + ": 1 record, 0 other lines\n");
  const CliResult shown = RunCliOn({folder / "a.sdr"}, true);
  EXPECT_NE(shown.err.find("\rvarnel-cli: file 1 of 1, 0 MiB read"), std::string::npos) << shown.err;
  // The progress line is wiped before the file's line.
  EXPECT_TRUE(shown.err.ends_with("   \rvarnel-cli: " + folder / "a.sdr" + ": 1 record, 0 other lines\n")) << shown.err;
}

// A job as instruments write it: a station, points of 84 characters and more, one cut
// short, and a second job in the older layout.
const std::string kJob = "00NMSDR33 V04-04.02\r\n" +
                         SdrLine("02TP", "STN1", "100.5", "200.25", "10", "1.475") + "BASE\r\n" +
                         SdrLine("08TP", "P1", "1", "2", "3", "SOGLIA NORD") + "\r\n" +
                         SdrLine("08TP", "P2", "4", "5", "6", "A;B") + std::string(13, ' ') + "\r\n" +
                         "08KI            P3              7               8\r\n"
                         "00NMSDR20     V03-05\r\n08TP100029.1755686-4.00952570.00963371FIT-TEST\r\n";

TEST(CliTest, ReadsJobsByColumnsOrRecordByRecord) {
  TempFolder folder;
  WriteBytes(folder / "job.sdr", kJob);
  const struct {
    std::vector<std::string> options;
    std::string csv, counts;
  } cases[] = {
      {{}, "P1;2;1;3\r\n", "1 record, 6 other lines"},  // the window's bytes: only the 84-character line
      {{"-c", "PNEZD"}, "P1;1;2;3;SOGLIA NORD\r\n", "1 record, 6 other lines"},
      {{"--sdr"}, "STN1;200.25;100.5;10\r\nP1;2;1;3\r\nP2;5;4;6\r\nP3;8;7;\r\n1000;-4.0095257;29.1755686;0.00963371\r\n",
       "5 points (1 station), 2 other lines"},
      {{"--sdr", "--columns=dpzne", "-s", "comma"},
       "BASE,STN1,10,100.5,200.25\r\nSOGLIA NORD,P1,3,1,2\r\nA;B,P2,6,4,5\r\n,P3,,7,8\r\nFIT-TEST,1000,0.00963371,29.1755686,-4.0095257\r\n",
       "5 points (1 station), 2 other lines"},
      {{"--sdr", "-k", "--header", "-s", "tab"}, "Point\tNorth\tEast\tElevation\r\nSTN1\t100.5\t200.25\t10\r\nP1\t1\t2\t3\r\n"
       "P2\t4\t5\t6\r\nP3\t7\t8\t\r\n1000\t29.1755686\t-4.0095257\t0.00963371\r\n", "5 points (1 station), 2 other lines"},
      {{"--sdr", "-c", "D"}, "BASE\r\nSOGLIA NORD\r\n\"A;B\"\r\n\r\nFIT-TEST\r\n", "5 points (1 station), 2 other lines"},
  };
  for (auto [options, csv, counts] : cases) {
    fs::remove(FsPath(folder / "job.csv"));
    options.push_back(folder / "job.sdr");
    const CliResult result = RunCliOn(options);
    EXPECT_EQ(result.status, CliStatus::Converted);
    EXPECT_EQ(ReadBytes(folder / "job.csv"), csv) << testing::PrintToString(options);
    EXPECT_EQ(result.err, "varnel-cli: " + folder / "job.sdr" + ": " + counts + "\n");
  }
}

TEST(CliTest, AHeaderStartsOnlyANewFile) {
  TempFolder folder;
  WriteBytes(folder / "a.sdr", kRecord);
  WriteBytes(folder / "none.sdr", "nothing\r\n");
  const std::string header = "Point;East;North;Elevation\r\n";
  const std::pair<std::vector<std::string>, std::string> runs[] = {
      {{"--header"}, header + kCsv},
      {{"--header"}, header + kCsv + kCsv},  // appended to: no second header
      {{"--header", "--overwrite"}, header + kCsv},
      {{"--overwrite"}, kCsv},
  };
  for (auto [options, csv] : runs) {
    options.insert(options.end(), {folder / "a.sdr", folder / "none.sdr"});
    RunCliOn(options);
    EXPECT_EQ(ReadBytes(folder / "a.csv"), csv) << testing::PrintToString(options);
    EXPECT_FALSE(Exists(folder / "none.csv"));  // a header alone makes no file
  }
}

TEST(CliTest, FoldersOfFilesIntoAnOutputFolder) {
  TempFolder folder;
  std::string level;  // names in any script, a path longer than Windows' usual 260 characters
  for (int i = 0; i < 10; ++i) level += "точки-хода-";
  const std::string deep = level + "/" + level + "/с.sdr", deepCsv = level + "/" + level + "/с.csv";
  for (const std::string& name : std::vector<std::string>{"site/a.sdr", "site/b.SDR", "site/" + deep, "site/notes.txt",
                                                          "other/a.sdr", "site/shut/d.sdr", "one/Точка.sdr", "two/точка.sdr"}) {
    fs::create_directories(FsPath(folder / name).parent_path());
    WriteBytes(folder / name, kRecord);
  }
#ifdef _WIN32
  // Windows folds the case of every script: one CSV file for both.
  EXPECT_EQ(RunCliOn({"-o", folder / "out", folder / "one", folder / "two"}).status, CliStatus::BadCommandLine);
  const CliStatus afterShut = CliStatus::Converted;
#else
  // A folder that cannot be read is reported, and the others are converted.
  fs::permissions(FsPath(folder / "site/shut"), fs::perms::none);
  DropPowerOverPermissions();
  const CliStatus afterShut = CliStatus::NotAllConverted;
#endif
  const CliResult beside = RunCliOn({"-q", folder / "site"});
  EXPECT_EQ(beside.status, afterShut);
  EXPECT_EQ(beside.err.find(folder / "site/shut: cannot read: ") != std::string::npos, afterShut != CliStatus::Converted);
  EXPECT_EQ(ReadBytes(folder / "site/a.csv") + ReadBytes(folder / "site/b.csv") + ReadBytes(folder / "site/" + deepCsv),
            kCsv + kCsv + kCsv);
  const CliResult result = RunCliOn({"-o", folder / "out/csv", folder / "site", folder / "other/a.sdr"});
  EXPECT_EQ(result.status, CliStatus::BadCommandLine);  // both a.sdr would write out/csv/a.csv
  EXPECT_FALSE(Exists(folder / "out"));
  EXPECT_EQ(RunCliOn({"-q", "-o", folder / "out/csv", folder / "site/"}).status, afterShut);
  for (const std::string& name : std::vector<std::string>{"out/csv/a.csv", "out/csv/b.csv", "out/csv/" + deepCsv}) {
    EXPECT_EQ(ReadBytes(folder / name), kCsv) << name;
  }
}

// Standard input to standard output, byte for byte with its CR LF, and an output whose
// reader has gone (| head), which ends the run quietly with status 2.
TEST(CliTest, StandardInputToStandardOutput) {
  TempFolder folder;
  WriteBytes(folder / "in", kJob);
  const LongJob job(60000);
  WriteBytes(folder / "long", job.input);
  for (bool readerGone : {false, true}) {
    SCOPED_TRACE(readerGone ? "reader gone" : "to a file");
    const int savedIn = dup(0), savedOut = dup(1);
    int pipeEnds[2];
#ifdef _WIN32
    ASSERT_EQ(_pipe(pipeEnds, 4096, _O_BINARY), 0);
#else
    ASSERT_EQ(pipe(pipeEnds), 0);
#endif
    const int in = open((folder / (readerGone ? "long" : "in")).c_str(), O_RDONLY | O_BINARY);
    const int out = readerGone ? pipeEnds[1] : open((folder / "out").c_str(), O_WRONLY | O_CREAT | O_BINARY, 0644);
    close(pipeEnds[0]);
    dup2(in, 0), dup2(out, 1), close(in), close(out);
    const CliResult result = RunCliOn({"--sdr", "--header", "-q", "-"});
    dup2(savedIn, 0), dup2(savedOut, 1), close(savedIn), close(savedOut);
    if (!readerGone) close(pipeEnds[1]);
    EXPECT_EQ(result.status, readerGone ? CliStatus::WriteFailed : CliStatus::Converted);
    EXPECT_EQ(result.err, "");
    if (!readerGone) {
      EXPECT_EQ(ReadBytes(folder / "out"), "Point;East;North;Elevation\r\nSTN1;200.25;100.5;10\r\nP1;2;1;3\r\nP2;5;4;6\r\n"
                                           "P3;8;7;\r\n1000;-4.0095257;29.1755686;0.00963371\r\n");
    }
  }
}

}  // namespace
