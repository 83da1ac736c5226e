#include "cli/CliRun.h"

#include <fcntl.h>

#include <cstdio>
#include <optional>
#include <thread>

#include "../Support.h"

#ifdef _WIN32
#include <io.h>
#define pipe(ends) _pipe(ends, 4096, _O_BINARY)
#else
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#define O_BINARY 0
#endif

namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;
using Files = std::vector<std::pair<std::string, std::optional<std::string>>>;  // content, or no file

struct CliResult {
  CliStatus status;
  std::string out, err;
};

// Runs varnel-cli with in and out as its standard input and output (out -1: closed).
CliResult RunCliOn(const Texts& arguments, bool showProgress = false, int in = 0, int out = 1) {
  std::FILE* streams[] = {std::tmpfile(), std::tmpfile()};
  const int saved[] = {dup(0), dup(1)};
  dup2(in, 0), out < 0 ? close(1) : dup2(out, 1);
  const CliStatus status = RunCli(arguments, streams[0], streams[1], showProgress);
  for (const int fd : {0, 1}) dup2(saved[fd], fd), close(saved[fd]);
  std::string texts[2];
  for (int i = 0; i < 2; ++i) {
    std::rewind(streams[i]);
    for (int c; (c = std::fgetc(streams[i])) != EOF;) texts[i] += static_cast<char>(c);
    std::fclose(streams[i]);
  }
  return {status, texts[0], texts[1]};
}

// A run in a temporary folder, which is the current one, so that names stay short.
class CliTest : public testing::Test {
 protected:
  CliTest() { fs::current_path(folder / ""); }  // ASCII, and short
  ~CliTest() override { fs::current_path(saved); }

  fs::path saved = fs::current_path();
  TempFolder folder;
};

// A job as instruments write it: a station, points of 84 characters and more, one cut
// short, and a second job in the older layout, sent over a serial line (STX first).
const std::string kJob = "00NMSDR33 V04-04.02\r\n" +
                         SdrLine("02TP", "STN1", "100.5", "200.25", "10", "1.475") + "BASE\r\n" +
                         SdrLine("08TP", "P1", "1", "2", "3", "SOGLIA NORD") + "\r\n" +
                         SdrLine("08TP", "P2", "4", "5", "6", "A;B") + std::string(13, ' ') + "\r\n" +
                         "08KI            P3              7               8\r\n"
                         "\x02" "00NMSDR20     V03-05\r\n08TP100029.1755686-4.00952570.00963371FIT-TEST\r\n";

// Runs one after another in one folder; the CSV files each names are removed after it,
// unless it keeps them for the next.
TEST_F(CliTest, EachRunWritesItsFilesAndReportsEachInputOnALine) {
  for (const char* name : {"a.sdr", "-k.sdr", "c.sdr"}) WriteBytes(name, kRecord);
  WriteBytes("job.sdr", kJob);
  WriteBytes("none.sdr", "header\r\nnothing else\r\n");
  WriteBytes("observed.sdr", "00NMSDR33 V04-04.02     05-Nov-20 08:00 211111\r\n" +
                                 SdrLine("02TP", "S1", "1000", "2000", "50", "1.5") + "\r\n" +
                                 SdrLine("09F1", "S1", "P1", "100", "100", "0") + "\r\n" +
                                 SdrLine("09F1", "S9", "P2", "100", "100", "0") + "\r\n07TP\r\n03NM1.5\r\n");
  WriteBytes("old.sdr", "\x03" "00NMSDR20     V03-05    25-Sep-10 22:10 113111\r\n08TP100029.1755686-4.00952570.0\r\n");
  fs::create_directory("empty.sdr");  // a folder without .sdr files
  WriteBytes("c.csv", "kept\r\n");
  MakeReadOnly("c.csv");
  WriteBytes("ro.sdr", kJob);
  WriteBytes("ro.dxf", "kept\r\n");
  MakeReadOnly("ro.dxf");
  WriteBytes("nan.sdr", SdrLine("08TP", "X", "north", "1", "2") + "\r\n");
  DropPowerOverPermissions();
  const std::string tooLong = std::string(32764, 'a') + ".sdr", header = "Point;East;North;Elevation\r\n";
  const std::string jobCounts = "varnel-cli: job.sdr: 5 points (1 station, 0 from observations), 2 other lines\n",
                    noRecords = "varnel-cli: none.sdr: no records: no line has 84 characters\n";
  const std::string drawing = "0\r\nSECTION\r\n2\r\nHEADER\r\n9\r\n$ACADVER\r\n1\r\nAC1009\r\n9\r\n$DWGCODEPAGE\r\n3\r\nANSI_";
  const auto notSdr = [](const std::string& name) { return "varnel-cli: " + name + ": skipped: the name does not end in .sdr\n"; };
  const struct {
    Texts arguments;
    CliStatus status;
    std::string err;
    Files files;
    bool keep = false;
  } runs[] = {
      {{"a.sdr"}, CliStatus::Converted, "varnel-cli: a.sdr: 1 record, 0 other lines\n", {{"a.csv", kCsv}}},
      {{"--keep-xy", "-s", "comma", "-q", "a.sdr"}, CliStatus::Converted, "", {{"a.csv", "A-7B,1234.567,-89.01,0.5\r\n"}}},
      {{"--separator=tab", "-q", "a.sdr"}, CliStatus::Converted, "", {{"a.csv", "A-7B\t-89.01\t1234.567\t0.5\r\n"}}},
      {{"-k", "--separator", "semicolon", "-q", "a.sdr"}, CliStatus::Converted, "", {{"a.csv", "A-7B;1234.567;-89.01;0.5\r\n"}}},
      {{"--quiet", "missing.sdr", "empty.sdr", "notes.txt", tooLong, "none.sdr", "a.sdr", "--", "-k.sdr"},
       CliStatus::NotAllConverted,  // quiet leaves the warnings
       "varnel-cli: missing.sdr: cannot read: No such file or directory\n"
       "varnel-cli: empty.sdr: no .sdr files in it\n" + notSdr("notes.txt") +
           "varnel-cli: " + tooLong + ": skipped: the name is too long\n" + noRecords,
       {{"a.csv", kCsv}, {"-k.csv", kCsv}, {"empty.csv", {}}, {"none.csv", {}}}},
      // Nothing converted is no success: names skipped (each shown on one line, with nothing
      // for a terminal to obey), and an SDR20 job, whose points are shorter.
      {{"notes.txt", "typo\n\x1b[31m\x7f\\é.sd", "old.sdr"}, CliStatus::NotAllConverted,
       notSdr("notes.txt") + notSdr("typo\\x0a\\x1b[31m\\x7f" + std::string(fs::path::preferred_separator == '/' ? 2 : 1, '\\') + "é.sd") +
           "varnel-cli: old.sdr: no records: it is an older SDR2x file, whose records are not lines of 84 characters (--sdr reads them)\n",
       {{"old.csv", {}}}},
      {{"-q", "c.sdr", "a.sdr"}, CliStatus::WriteFailed, "varnel-cli: c.csv: cannot write: Permission denied\n",
       {{"c.csv", "kept\r\n"}, {"a.csv", {}}}, true},  // the run stopped before a.sdr
      {{"job.sdr"}, CliStatus::Converted, "varnel-cli: job.sdr: 1 record, 6 other lines\n", {{"job.csv", "P1;2;1;3\r\n"}}},
      {{"-c", "PNEZD", "-q", "job.sdr"}, CliStatus::Converted, "", {{"job.csv", "P1;1;2;3;SOGLIA NORD\r\n"}}},
      {{"--sdr", "--columns=dpzne", "-s", "comma", "job.sdr"}, CliStatus::Converted, jobCounts,
       {{"job.csv", "BASE,STN1,10,100.5,200.25\r\nSOGLIA NORD,P1,3,1,2\r\nA;B,P2,6,4,5\r\n,P3,,7,8\r\n"
                    "FIT-TEST,1000,0.00963371,29.1755686,-4.0095257\r\n"}}},
      {{"--sdr", "--header", "-s", "tab", "job.sdr"}, CliStatus::Converted, jobCounts,
       {{"job.csv", "Point\tNorth\tEast\tElevation\tCode\r\nSTN1\t100.5\t200.25\t10\tBASE\r\nP1\t1\t2\t3\tSOGLIA NORD\r\n"
                    "P2\t4\t5\t6\tA;B\r\nP3\t7\t8\t\t\r\n1000\t29.1755686\t-4.0095257\t0.00963371\tFIT-TEST\r\n"}}},
      // A point observed, one recorded and observed, and an observation from a station that
      // was never set up.
      {{"--sdr", "-c", "PNEZ", "observed.sdr"}, CliStatus::Converted,
       "varnel-cli: observed.sdr: 2 points (1 station, 1 from observations), 4 other lines; "
       "1 observation not reduced: 1 without station coordinates\n",
       {{"observed.csv", "S1;1000;2000;50\r\nP1;1100.000;2000.000;51.500\r\n"}}},
      {{"--sdr", "none.sdr"}, CliStatus::NotAllConverted,
       "varnel-cli: none.sdr: no points: no coordinate record reaches its east field, and no observation was reduced\n",
       {{"none.csv", {}}}},
      {{"--sdr", "-c", "D", "--header", "-q", "job.sdr"}, CliStatus::Converted, "",
       {{"job.csv", "Code\r\nBASE\r\nSOGLIA NORD\r\n\"A;B\"\r\n\r\nFIT-TEST\r\n"}}},
      // A header starts only a new file, and a header alone makes none.
      {{"--header", "-q", "a.sdr", "none.sdr"}, CliStatus::NotAllConverted, noRecords, {{"a.csv", header + kCsv}, {"none.csv", {}}}, true},
      {{"--header", "-q", "a.sdr"}, CliStatus::Converted, "", {{"a.csv", header + kCsv + kCsv}}, true},
      {{"--header", "--overwrite", "-q", "a.sdr"}, CliStatus::Converted, "", {{"a.csv", header + kCsv}}, true},
      {{"--overwrite", "-q", "a.sdr"}, CliStatus::Converted, "", {{"a.csv", kCsv}}},
      // A drawing's start (of the file's first bytes only as many are compared) with its code page.
      {{"--dxf", "job.sdr"}, CliStatus::Converted, jobCounts, {{"job.dxf", drawing + "1251\r\n"}, {"job.csv", {}}}},
      {{"--dxf", "--codepage", "932", "--text-height=1.5", "--overwrite", "-q", "-o", "dxf", "job.sdr"}, CliStatus::Converted,
       "", {{"dxf/job.dxf", drawing + "932\r\n"}}},
      {{"--dxf", "none.sdr", "nan.sdr"}, CliStatus::NotAllConverted,
       "varnel-cli: none.sdr: no points: no coordinate record reaches its east field, and no observation was reduced\n"
       "varnel-cli: nan.sdr: no drawing: the north or east of every point is not a number\n",
       {{"none.dxf", {}}, {"nan.dxf", {}}}},
      {{"--dxf", "-q", "ro.sdr", "job.sdr"}, CliStatus::WriteFailed, "varnel-cli: ro.dxf: cannot write: Permission denied\n",
       {{"ro.dxf", "kept\r\n"}, {"job.dxf", {}}}, true},
  };
  for (const auto& run : runs) {
    SCOPED_TRACE(testing::PrintToString(run.arguments).substr(0, 200));
    const CliResult result = RunCliOn(run.arguments);
    EXPECT_EQ(result.status, run.status);
    EXPECT_EQ(result.err, run.err);
    for (const auto& [name, content] : run.files) {
      const auto written = Exists(name) ? std::optional(ReadBytes(name)) : std::nullopt;
      EXPECT_EQ(written && content && name.ends_with(".dxf") ? written->substr(0, content->size()) : written, content) << name;
      if (!run.keep) fs::remove(name);
    }
  }
  // Wrong too: one CSV file spelt absolute and relative, through a link to its folder, or
  // as a CSV file that links to it (MinGW's library makes no links).
#ifndef _WIN32
  fs::create_directory_symlink(".", "l");
  fs::create_symlink("c.csv", "b.csv");
#endif
  for (const Texts& arguments : std::vector<Texts>{
           {}, {"--bogus", "a.sdr"}, {"-s", "colon", "a.sdr"}, {"a.sdr", "-s"}, {"--separator=", "a.sdr"}, {"-k"},
           {"-c", "PN", "-k", "a.sdr"}, {"--columns=PNQ", "a.sdr"}, {"-c", "pzP", "a.sdr"}, {"-c", "", "a.sdr"}, {"-", "-"},
           {"--sdr=1", "a.sdr"}, {"--sdr", "-k", "a.sdr"}, {"-qk", "a.sdr"}, {"-o", "out", "a.sdr", "a.sdr"}, {"--overwrite", "a.sdr", "a.sdr"},
           {"--overwrite", "a.sdr", folder / "a.SDR"},
           {"--dxf", "a.sdr", "a.sdr"}, {"--dxf", "-c", "PNEZD", "a.sdr"}, {"--header", "--dxf", "a.sdr"}, {"--dxf", "-k", "a.sdr"},
           {"-s", "comma", "--dxf", "a.sdr"}, {"--dxf", "--codepage=1249", "a.sdr"}, {"--dxf", "--codepage", "1251 ", "a.sdr"},
           {"--dxf", "--text-height=0", "a.sdr"}, {"--dxf", "--text-height=-1", "a.sdr"}, {"--codepage=1251", "a.sdr"},
#ifndef _WIN32
           {"--overwrite", "a.sdr", "l/a.sdr"}, {"--overwrite", "b.sdr", "c.sdr"},
#endif
       }) {
    const CliResult result = RunCliOn(arguments);
    EXPECT_EQ(result.status, CliStatus::BadCommandLine) << testing::PrintToString(arguments);
    EXPECT_TRUE(result.err.ends_with("\nTry 'varnel-cli --help'.\n")) << result.err;
  }
  EXPECT_FALSE(Exists("out"));
  EXPECT_TRUE(RunCliOn({"--help"}).out.starts_with("Usage: varnel-cli"));
  // The progress line is wiped before the file's line.
  EXPECT_EQ(RunCliOn({"a.sdr"}, true).err,
            "\rvarnel-cli: file 1 of 1, 0 MiB read\r" + std::string(36, ' ') + "\rvarnel-cli: a.sdr: 1 record, 0 other lines\n");
}

// A long job listed twice is written twice into one file, over many blocks. A write that
// fails as the file is opened, or in its third block: the message names the CSV file and
// the system's reason, the run stops with status 2, and the file keeps whole lines only.
TEST_F(CliTest, WritesManyBlocksAndWriteFailuresLeaveWholeLines) {
  const LongJob job(120000);  // 3 MB of CSV lines
  WriteBytes("job.sdr", job.input);
  WriteBytes("next.sdr", kRecord);
  EXPECT_EQ(RunCliOn({"-q", "job.sdr", "job.sdr"}).status, CliStatus::Converted);
  EXPECT_TRUE(ReadBytes("job.csv") == job.csv + job.csv);
  fs::remove("job.csv");
  fs::create_directory("job.csv");
  const bool windows = fs::path::preferred_separator == '\\';
  for (const std::string reason : {windows ? "Permission denied" : "Is a directory", "File too large"}) {
    std::optional<FileSizeLimit> limit;
    if (reason == "File too large" && !limit.emplace(1300000).active) break;  // under Wine, only where the runner sets it
    const CliResult result = RunCliOn({"job.sdr", "next.sdr"});
    limit.reset();
    EXPECT_EQ(result.status, CliStatus::WriteFailed);
    EXPECT_EQ(result.err, "varnel-cli: job.csv: cannot write: " + reason + "\n");
    EXPECT_FALSE(Exists("next.csv"));
    if (fs::is_directory("job.csv")) {
      fs::remove("job.csv");
    } else {
      const std::string written = ReadBytes("job.csv");
      EXPECT_GT(written.size(), 2 * (512u << 10));
      EXPECT_TRUE(IsWholeLinesBeginning(written, job.csv)) << written.size();
    }
  }
}

TEST_F(CliTest, FoldersOfFilesIntoAnOutputFolder) {
  std::string level;  // names in any script, a path longer than Windows' usual 260 characters
  for (int i = 0; i < 10; ++i) level += "точки-хода-";
  const std::string deep = level + "/" + level + "/с";
  for (const std::string& name : Texts{"site/a.sdr", "site/b.SDR", "site/" + deep + ".sdr", "site/notes.txt", "other/a.sdr",
                                       "site/shut/d.sdr", "one/Точка.sdr", "two/точка.sdr"}) {
    fs::create_directories(FsPath(folder / name).parent_path());
    WriteBytes(folder / name, kRecord);
  }
  EXPECT_EQ(RunCliOn({"-o", "out/csv", "site", "other/a.sdr"}).status, CliStatus::BadCommandLine);  // both out/csv/a.csv
  EXPECT_FALSE(Exists("out"));
#ifdef _WIN32
  // Windows folds the case of every script: one CSV file for both.
  EXPECT_EQ(RunCliOn({"-o", "out", "one", "two"}).status, CliStatus::BadCommandLine);
  // Two levels made under a drive's root, in the \\?\ form.
  const std::string top = "\\\\?\\" + (folder / "").substr(0, 3) + "varnel-made";
  EXPECT_EQ(RunCliOn({"-q", "-o", top + "\\sub", "site/a.sdr"}).status, CliStatus::Converted);
  EXPECT_EQ(ReadBytes(top + "\\sub\\a.csv"), kCsv);
  fs::remove_all(FsPath(top));
  const CliResult expected{CliStatus::Converted, "", ""};
#else
  // A folder that cannot be read is reported, and the others are converted.
  fs::permissions("site/shut", fs::perms::none);
  DropPowerOverPermissions();
  const CliResult expected{CliStatus::NotAllConverted, "",
                           "varnel-cli: " + folder / "site/shut: cannot read: Permission denied\n"};
#endif
  for (const Texts& arguments : {Texts{"-q", folder / "site"}, Texts{"-q", "-o", folder / "out/csv", folder / "site/"}}) {
    const CliResult result = RunCliOn(arguments);
    EXPECT_EQ(result.status, expected.status);
    EXPECT_EQ(result.err, expected.err);
  }
  for (const std::string& name : Texts{"site/a", "site/b", "site/" + deep, "out/csv/a", "out/csv/b", "out/csv/" + deep}) {
    EXPECT_EQ(ReadBytes(folder / name + ".csv"), kCsv) << name;
  }
}

// Standard input to standard output, byte for byte with its CR LF; an output whose reader
// has gone (| head), which ends the run quietly with status 2, also while the input stays
// open and sends nothing more; and no output at all, which leaves the input as it was.
TEST_F(CliTest, StandardInputToStandardOutput) {
  WriteBytes("in", kJob);
  WriteBytes("long", LongJob(60000).input);
  int gone[2], idle[2];
  ASSERT_EQ(pipe(gone) | pipe(idle), 0);
  close(gone[0]);
  // The idle input: its records, and then nothing until the run has ended.
  std::jthread feeder([&, records = LongJob(30000).input] {
    [[maybe_unused]] const auto sent = write(idle[1], records.data(), static_cast<unsigned>(records.size()));
  });
  // The job model writes a job's points when it ends: its runs read the input to its end.
  const Texts job = {"--sdr", "--header", "-q", "-"}, records = {"-q", "-"};
  const struct {
    int in, out;
    Texts arguments;
    CliStatus status;
    std::string err;
  } runs[] = {
      {open("in", O_RDONLY | O_BINARY), open("out", O_WRONLY | O_CREAT | O_BINARY, 0644), job, CliStatus::Converted, ""},
      {open("long", O_RDONLY | O_BINARY), gone[1], records, CliStatus::WriteFailed, ""},
      {idle[0], dup(gone[1]), records, CliStatus::WriteFailed, ""},
#ifndef _WIN32
      {open("in", O_RDWR), -1, job, CliStatus::WriteFailed, "varnel-cli: standard output: cannot write: Bad file descriptor\n"},
#endif
  };
  for (const auto& run : runs) {
    const CliResult result = RunCliOn(run.arguments, false, run.in, run.out);
    EXPECT_EQ(result.status, run.status);
    EXPECT_EQ(result.err, run.err);
    close(run.in), close(run.out);
  }
  feeder.join(), close(idle[1]);
  EXPECT_EQ(ReadBytes("out"), "Point;North;East;Elevation;Code\r\nSTN1;100.5;200.25;10;BASE\r\nP1;1;2;3;SOGLIA NORD\r\n"
                              "P2;4;5;6;\"A;B\"\r\nP3;7;8;;\r\n1000;29.1755686;-4.0095257;0.00963371;FIT-TEST\r\n");
  EXPECT_EQ(ReadBytes("in"), kJob);
}

#ifndef _WIN32
// A terminal set to stop writers in background process groups (stty tostop) does not
// stop the writing helper, which has a group of its own.
TEST_F(CliTest, WritesToATerminalThatStopsBackgroundWriters) {
  WriteBytes("in", kRecord);
  const int terminal = posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_TRUE(terminal >= 0 && grantpt(terminal) == 0 && unlockpt(terminal) == 0);
  const pid_t child = fork();
  if (child == 0) {  // a session of which the terminal is the controlling one, as in a login
    setsid();
    const int side = open(ptsname(terminal), O_RDWR);
    termios settings{};
    tcgetattr(side, &settings), settings.c_lflag |= TOSTOP, tcsetattr(side, TCSANOW, &settings);
    _exit(static_cast<int>(RunCliOn({"-q", "-"}, false, open("in", O_RDONLY), side).status));
  }
  int status = -1;
  waitpid(child, &status, 0);
  EXPECT_EQ(status, 0);
  close(terminal);
}
#endif

}  // namespace
