#include "../FakeWindow.h"
#include "../Support.h"
#include "convert/CsvAppend.h"
#include "convert/File.h"
#include "convert/OutputNaming.h"
#include "convert/Wtf8.h"

#include <map>

#ifdef __linux__
#include <fcntl.h>
#include <sys/mman.h>
#endif

namespace {

TEST(OutputFileTest, NameReplacesEverythingFromTheLastDot) {
  const std::string longest(32763, 'a');
  const std::pair<std::string, std::string> cases[] = {
      {"/data/site1.sdr", "/data/site1.csv"}, {"/data/SITE1.SDR", "/data/SITE1.csv"}, {"/data/site1.", "/data/site1.csv"},
      {"/data/site1.rev2.sdr", "/data/site1.rev2.csv"}, {"/data/site1", "/data/site1.csv"},
      {"/data/set.2/site1", "/data/set.csv"}, {"C:\\data\\site1.sdr", "C:\\data\\site1.csv"}, {".sdr", ".sdr.csv"},
      {"", ".csv"}, {longest + ".sdr", longest + ".csv"},
  };
  FakeWindow window;
  for (const auto& [input, output] : cases) EXPECT_EQ(MakeCsvFileName(input, window), output) << input.substr(0, 40);
  EXPECT_TRUE(window.messages.empty());
  // Longer than the name scan's 32767 characters: its own message, and no name.
  EXPECT_EQ(MakeCsvFileName("a" + longest + ".sdr", window), "");
  EXPECT_EQ(window.messages, std::vector<std::string>{"Произошла ошибка при переименовании файла."});
}

TEST(OutputFileTest, AppendsWholeLinesAfterWhatIsThereOrChangesNothing) {
  TempFolder folder;
  const std::string cyrillic = folder / "\xD0\xBF\xD0\xBB\xD0\xB0\xD0\xBD \xE6\xB8\xAC.csv";
  WriteBytes(folder / "old.csv", "old line without end");
  WriteBytes(folder / "locked.csv", "kept\r\n");
  MakeReadOnly(folder / "locked.csv");
  std::filesystem::create_directory(FsPath(folder / "ro"));
  MakeReadOnly(folder / "ro");
  DropPowerOverPermissions();
  for (const auto& [path, line] : {std::pair{folder / "new.csv", "A;1;2;3"}, {folder / "old.csv", "first"},
                                  {folder / "old.csv", "second"}, {cyrillic, "\xC0\xFF;\x7F;1;2"}}) {
    EXPECT_EQ(AppendCsvLine(path, line), 1) << path;
  }
  EXPECT_EQ(ReadBytes(folder / "new.csv") + ReadBytes(folder / "old.csv") + ReadBytes(cyrillic),
            "A;1;2;3\r\nold line without endfirst\r\nsecond\r\n\xC0\xFF;\x7F;1;2\r\n");
  std::vector<std::string> unwritable = {folder / "missing/a.csv", "", folder / "", folder / "locked.csv"};
#ifndef _WIN32
  unwritable.insert(unwritable.end(), {folder / "ro/new.csv", "/dev/full"});  // Windows' read-only folders take new files
#endif
  for (const std::string& path : unwritable) EXPECT_EQ(AppendCsvLine(path, "A"), 0) << path;
  EXPECT_FALSE(Exists(folder / "missing") || Exists(folder / "ro/new.csv"));
  EXPECT_EQ(ReadBytes(folder / "locked.csv"), "kept\r\n");
}

TEST(OutputFileTest, ShortWriteIsCutBackThroughItsHandle) {
  TempFolder folder;
  WriteBytes(folder / "site.csv", "earlier\r\n");
#ifdef __linux__
  // And a file that the system will not let shrink: the failed cut-back is reported.
  const int sealed = memfd_create("sealed.csv", MFD_ALLOW_SEALING);
  ASSERT_EQ(write(sealed, "earlier\r\n", 9), 9);
  ASSERT_EQ(fcntl(sealed, F_ADD_SEALS, F_SEAL_SHRINK), 0);
#endif
  file::ReportWriteSignalsAsErrors();  // as the programs do
  const FileSizeLimit limit(13);  // under Wine the test runner sets it (VARNEL_FILE_SIZE_LIMIT)
  if (!limit.active) GTEST_SKIP() << "run through CTest, which limits the size of files";
  EXPECT_EQ(AppendCsvLine(folder / "site.csv", "A;1234.567;-89.01;0.5"), 0);
  EXPECT_EQ(ReadBytes(folder / "site.csv"), "earlier\r\n");
#ifdef __linux__
  File file = File::OpenForAppending("/proc/self/fd/" + std::to_string(sealed));
  EXPECT_EQ(file.AppendWhole("A;1234.567;-89.01;0.5\r\n"), file::AppendResult::PartLeft);
  // A disk full before the first byte: nothing to cut back, and the write's own reason.
  EXPECT_EQ(File::OpenForAppending("/dev/full").AppendWhole("A\r\n"), file::AppendResult::CutBack);
  EXPECT_EQ(errno, ENOSPC);
#endif
}

// A replacement takes the place of its file whole, with a new file's permissions, or
// leaves it as it was, with the system's reason; either way no temporary file stays.
TEST(OutputFileTest, ReplacementTakesThePlaceOfTheFileWholeOrNotAtAll) {
  TempFolder folder;
  for (const char* name : {"old.dxf", "locked.dxf", "dropped.dxf"}) WriteBytes(folder / name, "kept");
  MakeReadOnly(folder / "locked.dxf");
  std::filesystem::create_directory(FsPath(folder / "folder.dxf"));
  DropPowerOverPermissions();
  const int folderError = std::filesystem::path::preferred_separator == '\\' ? EACCES : EISDIR;
  for (const auto& [name, error] : {std::pair{"old.dxf", 0}, {"new.dxf", 0}, {"locked.dxf", EACCES},
                                    {"folder.dxf", folderError}, {"missing/a.dxf", ENOENT}}) {
    FileReplacement file(folder / name);
    EXPECT_EQ(file.IsOpen() && file.Write("new ") && file.Write("drawing") && file.Commit(), error == 0) << name;
    EXPECT_EQ(error == 0 ? 0 : errno, error) << name;
  }
  FileReplacement(folder / "dropped.dxf").Write("new drawing");
  std::map<std::string, std::string> left;  // name and content
  for (const auto& entry : std::filesystem::directory_iterator(FsPath(folder / ""))) {
    const auto name = entry.path().filename().u8string();
    left[{name.begin(), name.end()}] = entry.is_directory() ? "a folder" : ReadBytes(entry.path().string());
  }
  EXPECT_EQ(left, (std::map<std::string, std::string>{{"dropped.dxf", "kept"}, {"folder.dxf", "a folder"}, {"locked.dxf", "kept"},
                                                      {"new.dxf", "new drawing"}, {"old.dxf", "new drawing"}}));
  const auto permissions = [&](const char* name) { return std::filesystem::status(FsPath(folder / name)).permissions(); };
  EXPECT_EQ(permissions("new.dxf"), permissions("dropped.dxf"));
}

// Names reach Windows as UTF-16.
TEST(Wtf8Test, CarriesAnyUtf16ThereAndBack) {
  const std::tuple<std::u16string, std::string, bool> cases[] = {  // false: bytes that begin no sequence
      {u"a.sdr", "a.sdr", true},
      {u"\u007F\u0080\u07FF\u0800\uFFFF", "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF", true},
      {u"\U00010000\U0001F600\U0010FFFF", "\xF0\x90\x80\x80\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF", true},
      {{u'a', 0xD800, u'b'}, "a\xED\xA0\x80" "b", true},  // a high surrogate alone
      {{0xDBFF, 0xDBFF, 0xDFFF}, "\xED\xAF\xBF\xF4\x8F\xBF\xBF", true},  // a lone one, then a pair
      {{0xDFFF}, "\xED\xBF\xBF", true},  // a low surrogate alone
      {u"\uFFFD" "a\uFFFD\uFFFD", "\xFF" "a\xC0\xAF", false},
      {u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD", "\xE0\x9F\xBF\xE6\xB8", false},
      {std::u16string(8, u'\uFFFD'), "\xF4\x90\x80\x80\xF0\x8F\xBF\xBF", false},
  };
  for (const auto& [utf16, wtf8, valid] : cases) {
    EXPECT_EQ(wtf8::ToUtf16(wtf8), utf16) << testing::PrintToString(wtf8);
    EXPECT_TRUE(!valid || wtf8::FromUtf16(std::u16string_view(utf16)) == wtf8) << testing::PrintToString(wtf8);
  }
  // A view that ends inside a sequence is read no further, whatever follows it.
  EXPECT_EQ(wtf8::ToUtf16(std::string_view("\xE6\xB8\xAC").substr(0, 2)), u"\uFFFD\uFFFD");
}

}  // namespace
