#include "convert/CsvAppend.h"

#include <gtest/gtest.h>

#include "TempFolder.h"
#include "WithoutOverride.h"

#ifdef __linux__
#include <csignal>
#include <sys/resource.h>
#endif

namespace {

namespace fs = std::filesystem;

class CsvAppendTest : public testing::Test {
 protected:
  TempFolder folder;
};

TEST_F(CsvAppendTest, CreatesAMissingFileWithTheOneLine) {
  const std::string path = folder / "site1.csv";
  EXPECT_EQ(AppendCsvLine(path, "A;1;2;3"), 1);
  EXPECT_EQ(ReadBytes(path), "A;1;2;3\r\n");
}

TEST_F(CsvAppendTest, AppendsAfterExistingContentInCallOrder) {
  const std::string path = folder / "site1.csv";
  WriteBytes(path, "old line without end");
  EXPECT_EQ(AppendCsvLine(path, "first"), 1);
  EXPECT_EQ(AppendCsvLine(path, "second"), 1);
  EXPECT_EQ(ReadBytes(path), "old line without endfirst\r\nsecond\r\n");
}

TEST_F(CsvAppendTest, WritesBytesUnchangedUnderAUnicodePath) {
  const std::string path = folder / "\xD0\xBF\xD0\xBB\xD0\xB0\xD0\xBD \xE6\xB8\xAC\xE9\x87\x8F.csv";
  const std::string text = "\xC0\xFF;\x7F;1;2";
  EXPECT_EQ(AppendCsvLine(path, text), 1);
  EXPECT_EQ(ReadBytes(path), text + "\r\n");
}

TEST_F(CsvAppendTest, FailsWithoutCreatingAnythingWhereItCannotWrite) {
  EXPECT_EQ(AppendCsvLine(folder / "missing/site1.csv", "A"), 0);
  EXPECT_FALSE(Exists(folder / "missing"));
  EXPECT_EQ(AppendCsvLine("", "A"), 0);
  EXPECT_EQ(AppendCsvLine(folder / "", "A"), 0);  // the folder itself
}

TEST_F(CsvAppendTest, ReadOnlyFileGivesZeroAndKeepsTheFile) {
  const std::string readOnlyFile = folder / "locked.csv";
  WriteBytes(readOnlyFile, "kept\r\n");
  fs::permissions(FsPath(readOnlyFile), fs::perms::owner_read);

  const WithoutOverride asUser;
  EXPECT_EQ(AppendCsvLine(readOnlyFile, "A"), 0);
  EXPECT_EQ(ReadBytes(readOnlyFile), "kept\r\n");
}

TEST_F(CsvAppendTest, ReadOnlyFolderGivesZeroAndCreatesNothing) {
#ifdef _WIN32
  GTEST_SKIP() << "the read-only attribute of a Windows folder does not stop new files; only access rights do";
#endif
  fs::create_directory(FsPath(folder / "ro"));
  fs::permissions(FsPath(folder / "ro"), fs::perms::owner_read | fs::perms::owner_exec);

  const WithoutOverride asUser;
  EXPECT_EQ(AppendCsvLine(folder / "ro/new.csv", "A"), 0);
  EXPECT_FALSE(Exists(folder / "ro/new.csv"));
}

// A file size limit makes the write fall short part-way through the line.
TEST_F(CsvAppendTest, ShortWriteIsUndoneWhole) {
#ifndef __linux__
  GTEST_SKIP() << "needs a file size limit (Linux)";
#else
  const std::string path = folder / "site1.csv";
  WriteBytes(path, "earlier\r\n");
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  rlimit limited = saved;
  limited.rlim_cur = 9 + 4;
  setrlimit(RLIMIT_FSIZE, &limited);
  const uint8_t flag = AppendCsvLine(path, "A;1234.567;-89.01;0.5");
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);

  EXPECT_EQ(flag, 0);
  EXPECT_EQ(ReadBytes(path), "earlier\r\n");
#endif
}

TEST_F(CsvAppendTest, FailedWriteOnAFullDeviceGivesZero) {
  if (!Exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  EXPECT_EQ(AppendCsvLine("/dev/full", "A"), 0);
}

}  // namespace
