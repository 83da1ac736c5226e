// varnel.exe end to end: started with a command line, driven through its window,
// its message boxes answered, its output files checked byte for byte.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "../SdrLines.h"
#include "../TempFolder.h"
#include "VarnelProcess.h"
#include "ui/win32/Utf16.h"
#include "ui/ExitStatus.h"
#include "ui/Messages.h"

namespace {

namespace fs = std::filesystem;

const std::string kRecord = ExampleSdrLine();
const std::string kCsv = "A-7B;-89.01;1234.567;0.5\r\n";  // kRecord under the initial options

std::wstring W(std::string_view utf8) { return Widen(utf8); }
DWORD Code(ExitStatus status) { return static_cast<DWORD>(status); }

// A path quoted as the shell quotes a dropped file.
std::wstring Quoted(const std::string& path) { return L"\"" + W(path) + L"\""; }

class Win32EndToEndTest : public testing::Test {
 protected:
  TempFolder folder;
};

struct Place {
  int left, top, width, height;
};

Place ClientPlace(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
  return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

COLORREF ScreenPixel(HWND window, int x, int y) {
  POINT point{x, y};
  ClientToScreen(window, &point);
  HDC screen = GetDC(nullptr);
  const COLORREF colour = GetPixel(screen, point.x, point.y);
  ReleaseDC(nullptr, screen);
  return colour;
}

#pragma pack(push, 2)
struct IconDirectoryEntry {
  BYTE width, height, colourCount, reserved;
  WORD planes, bitCount;
  DWORD bytes;
  WORD id;
};
#pragma pack(pop)

TEST(Win32ProgramTest, CarriesItsOwnIconAndVersion) {
  const std::wstring exe = ProgramFolder() + L"\\varnel.exe";
  HMODULE program = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(program, nullptr);
  HRSRC group = FindResourceW(program, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
  ASSERT_NE(group, nullptr);
  const auto* directory = static_cast<const WORD*>(LockResource(LoadResource(program, group)));
  ASSERT_EQ(directory[2], 1) << "one image";
  const auto* entry = reinterpret_cast<const IconDirectoryEntry*>(directory + 3);
  EXPECT_EQ(entry->width, 32);
  EXPECT_EQ(entry->height, 32);
  EXPECT_EQ(entry->colourCount, 16);
  EXPECT_EQ(entry->bitCount, 4);
  FreeLibrary(program);

  DWORD ignored = 0;
  std::vector<char> version(GetFileVersionInfoSizeW(exe.c_str(), &ignored));
  ASSERT_FALSE(version.empty());
  ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, static_cast<DWORD>(version.size()), version.data()));
  wchar_t* productName = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(version.data(), L"\\StringFileInfo\\041904B0\\ProductName",
                             reinterpret_cast<void**>(&productName), &length));
  EXPECT_STREQ(productName, L"Varnel");
}

TEST_F(Win32EndToEndTest, StartsWithEveryControlInItsInitialState) {
  WriteBytes(folder / "a.sdr", kRecord);
  VarnelProcess varnel(Quoted(folder / "a.sdr") + L" b.txt");
  HWND window = varnel.MainWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(WindowText(window), L"Varnel");

  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  RECT client;
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, TwipsToPixels(kWindow.clientWidth, dpi));
  EXPECT_EQ(client.bottom, TwipsToPixels(kWindow.clientHeight, dpi));

  const ControlSpec& frame = SpecOf(Control::fr1);
  for (const ControlSpec& entry : kControls) {
    SCOPED_TRACE(std::string(entry.name));
    HWND control = varnel.ControlWindow(entry.control);
    if (entry.kind == ControlKind::Timer) {
      EXPECT_EQ(control, nullptr);
      continue;
    }
    ASSERT_NE(control, nullptr);
    const Place place = ClientPlace(control);
    EXPECT_EQ(place.left, TwipsToPixels(entry.left + (entry.insideFrame ? frame.left : 0), dpi));
    EXPECT_EQ(place.top, TwipsToPixels(entry.top + (entry.insideFrame ? frame.top : 0), dpi));
    EXPECT_EQ(place.width, TwipsToPixels(entry.width, dpi));
    EXPECT_EQ(place.height, TwipsToPixels(entry.height, dpi));
    EXPECT_TRUE(IsWindowEnabled(control));
    if (entry.control != Control::lblInfo) {
      EXPECT_EQ(WindowText(control), W(entry.caption));
    }
    if (entry.kind == ControlKind::OptionButton || entry.kind == ControlKind::CheckBox) {
      EXPECT_EQ(varnel.IsChecked(entry.control), entry.checked);
    }
  }
  EXPECT_EQ(varnel.WaitForStatus(), L"Выбрано файлов SDR: 1");

  // TAB runs through the check box, the selected option and the Run button.
  HWND first = varnel.ControlWindow(Control::chChangeXY);
  HWND second = GetNextDlgTabItem(window, first, FALSE);
  HWND third = GetNextDlgTabItem(window, second, FALSE);
  EXPECT_EQ(second, varnel.ControlWindow(Control::Opt1));
  EXPECT_EQ(third, varnel.ControlWindow(Control::cmdOk));
  EXPECT_EQ(GetNextDlgTabItem(window, third, FALSE), first);

  // The background is C0C0C0 beside the controls, inside the frame and on the Run button.
  const Place run = ClientPlace(varnel.ControlWindow(Control::cmdOk));
  const Place option = ClientPlace(varnel.ControlWindow(Control::Opt2));
  for (POINT point : {POINT{client.right - 3, client.bottom - 3}, POINT{option.left + option.width - 3, option.top + 2},
                      POINT{run.left + 5, run.top + run.height / 2}}) {
    EXPECT_EQ(ScreenPixel(window, point.x, point.y), RGB(192, 192, 192)) << point.x << "," << point.y;
  }

  // Nothing converts before Run; closing the window ends the process at once.
  Sleep(200);
  EXPECT_FALSE(Exists(folder / "a.csv"));
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(varnel.WaitForExit(), Code(ExitStatus::ClosedByUser));
  EXPECT_FALSE(Exists(folder / "a.csv"));
  EXPECT_TRUE(varnel.Messages().empty());
}

TEST_F(Win32EndToEndTest, RunDisablesTheSixControlsBeforeTheFirstFile) {
  WriteBytes(folder / "b.sdr", kRecord);
  // The missing first file holds the run in its message box while the controls are read.
  VarnelProcess varnel(Quoted(folder / "missing.sdr") + L" " + Quoted(folder / "b.sdr"));
  ASSERT_NE(varnel.MainWindow(), nullptr);
  varnel.Click(Control::cmdOk);
  ASSERT_EQ(varnel.WaitForMessage(), W(msg::kReadFailure));
  EXPECT_EQ(varnel.MessageTitles().back(), L"Varnel");
  for (Control control : {Control::cmdOk, Control::chChangeXY, Control::fr1, Control::Opt1, Control::Opt2,
                          Control::Opt3}) {
    EXPECT_FALSE(varnel.IsEnabled(control)) << SpecOf(control).name;
  }
  EXPECT_TRUE(varnel.IsChecked(Control::Opt1));
  EXPECT_TRUE(varnel.IsChecked(Control::chChangeXY));
  EXPECT_EQ(varnel.Text(Control::lblInfo), L"Обрабатывается 1 из 2...");
  varnel.AnswerMessage();

  EXPECT_EQ(varnel.RunToExit(), Code(ExitStatus::FinishedWithErrors));
  EXPECT_EQ(varnel.Messages(), std::vector<std::wstring>{W(msg::kReadFailure)});
  EXPECT_FALSE(Exists(folder / "missing.csv"));
  EXPECT_EQ(ReadBytes(folder / "b.csv"), kCsv);
}

TEST_F(Win32EndToEndTest, ConvertsUnderEachSeparatorAndExchange) {
  const struct {
    Control option;
    bool exchange;
    std::string csv;
  } cases[] = {
      {Control::Opt1, true, "A-7B;-89.01;1234.567;0.5\r\n"},
      {Control::Opt1, false, "A-7B;1234.567;-89.01;0.5\r\n"},
      {Control::Opt2, true, "A-7B,-89.01,1234.567,0.5\r\n"},
      {Control::Opt2, false, "A-7B,1234.567,-89.01,0.5\r\n"},
      {Control::Opt3, true, "A-7B\t-89.01\t1234.567\t0.5\r\n"},
      {Control::Opt3, false, "A-7B\t1234.567\t-89.01\t0.5\r\n"},
  };
  int run = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(SpecOf(c.option).name) + (c.exchange ? " exchanged" : ""));
    const std::string name = "job" + std::to_string(++run);
    WriteBytes(folder / (name + ".sdr"), "header\r\n" + kRecord + "\n" + kRecord);
    VarnelProcess varnel(Quoted(folder / (name + ".sdr")));
    ASSERT_NE(varnel.MainWindow(), nullptr);
    varnel.Click(c.option);
    if (!c.exchange) varnel.Click(Control::chChangeXY);
    varnel.Click(Control::cmdOk);
    EXPECT_EQ(varnel.RunToExit(), Code(ExitStatus::Done));
    EXPECT_EQ(ReadBytes(folder / (name + ".csv")), c.csv + c.csv);
    EXPECT_TRUE(varnel.Messages().empty());
  }
}

TEST_F(Win32EndToEndTest, NoUsableFileEndsWithTheDropMessage) {
  for (const std::wstring& arguments : {std::wstring(), std::wstring(L"a.txt \"b c.doc\"")}) {
    VarnelProcess varnel(arguments);
    EXPECT_EQ(varnel.RunToExit(), Code(ExitStatus::EndedByMessage));
    EXPECT_EQ(varnel.Messages(), std::vector<std::wstring>{W(msg::kDropFiles)});
    EXPECT_EQ(varnel.MessageTitles(), std::vector<std::wstring>{L"Varnel"});
  }
}

TEST_F(Win32EndToEndTest, ThreeFilesAppendingToAnExistingCsv) {
  WriteBytes(folder / "a.sdr", kRecord + "\r\n" + kRecord + "\r\n");
  WriteBytes(folder / "b.SDR", "no records here\r\n");
  WriteBytes(folder / "c.sdr", kRecord);
  WriteBytes(folder / "c.csv", "old;content;;\r\n");
  VarnelProcess varnel(Quoted(folder / "a.sdr") + L" " + Quoted(folder / "b.SDR") + L" " + Quoted(folder / "c.sdr"));
  ASSERT_NE(varnel.MainWindow(), nullptr);
  EXPECT_EQ(varnel.WaitForStatus(), L"Выбрано файлов SDR: 3");
  varnel.Click(Control::cmdOk);
  EXPECT_EQ(varnel.RunToExit(), Code(ExitStatus::Done));
  EXPECT_EQ(ReadBytes(folder / "a.csv"), kCsv + kCsv);
  EXPECT_FALSE(Exists(folder / "b.csv"));
  EXPECT_EQ(ReadBytes(folder / "c.csv"), "old;content;;\r\n" + kCsv);
  EXPECT_TRUE(varnel.Messages().empty());
}

TEST_F(Win32EndToEndTest, ReadOnlyOutputEndsTheRun) {
  WriteBytes(folder / "a.sdr", kRecord);
  WriteBytes(folder / "a.csv", "kept\r\n");
  WriteBytes(folder / "b.sdr", kRecord);
  SetFileAttributesW(W(folder / "a.csv").c_str(), FILE_ATTRIBUTE_READONLY);
  VarnelProcess varnel(Quoted(folder / "a.sdr") + L" " + Quoted(folder / "b.sdr"));
  ASSERT_NE(varnel.MainWindow(), nullptr);
  varnel.Click(Control::cmdOk);
  EXPECT_EQ(varnel.RunToExit(), Code(ExitStatus::EndedByMessage));
  EXPECT_EQ(varnel.Messages(), std::vector<std::wstring>{W(msg::kWriteFailure)});
  SetFileAttributesW(W(folder / "a.csv").c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(ReadBytes(folder / "a.csv"), "kept\r\n");
  EXPECT_FALSE(Exists(folder / "b.csv"));
}

TEST_F(Win32EndToEndTest, SecondInstanceEndsAtOnceAndLeavesTheFirstRunning) {
  WriteBytes(folder / "a.sdr", kRecord);
  WriteBytes(folder / "b.sdr", kRecord);
  VarnelProcess first(Quoted(folder / "missing.sdr") + L" " + Quoted(folder / "a.sdr"));
  ASSERT_NE(first.MainWindow(), nullptr);
  first.Click(Control::cmdOk);
  ASSERT_EQ(first.WaitForMessage(), W(msg::kReadFailure));

  VarnelProcess second(Quoted(folder / "b.sdr"));
  EXPECT_EQ(second.WaitForExit(), Code(ExitStatus::AnotherInstance));
  EXPECT_EQ(second.MainWindow(0), nullptr);

  first.AnswerMessage();
  EXPECT_EQ(first.RunToExit(), Code(ExitStatus::FinishedWithErrors));
  EXPECT_EQ(ReadBytes(folder / "a.csv"), kCsv);
  EXPECT_FALSE(Exists(folder / "b.csv"));
}

TEST_F(Win32EndToEndTest, ClosingMidFileKeepsEveryLineWrittenWhole) {
  const LongJob job = MakeLongJob(40000);
  WriteBytes(folder / "long.sdr", job.input);
  VarnelProcess varnel(Quoted(folder / "long.sdr"));
  ASSERT_NE(varnel.MainWindow(), nullptr);
  varnel.Click(Control::cmdOk);
  const std::string output = folder / "long.csv";
  for (int i = 0; i < 1000 && !(Exists(output) && fs::file_size(FsPath(output)) > 1000); ++i) Sleep(10);
  PostMessageW(varnel.MainWindow(), WM_CLOSE, 0, 0);
  EXPECT_EQ(varnel.WaitForExit(), Code(ExitStatus::ClosedByUser));

  const std::string written = ReadBytes(output);
  ASSERT_GT(written.size(), 1000u);
  EXPECT_LT(written.size(), job.csv.size()) << "the run should have been cut short";
  EXPECT_TRUE(IsWholeLinesBeginning(written, job.csv));
}

// Starts a run, waits until its output appears, waits a little longer each attempt,
// and ends it hard: each time, only whole lines that begin the whole run's output remain.
void KillRunsAtGrowingMoments(const std::string& output, const std::string& whole, DWORD step,
                              const std::function<std::unique_ptr<VarnelProcess>()>& start) {
  int cutShort = 0;
  for (DWORD attempt = 0; attempt < 4; ++attempt) {
    fs::remove(FsPath(output));
    const auto run = start();
    for (int i = 0; i < 5000 && !Exists(output); ++i) Sleep(1);
    Sleep(attempt * step);
    run->Terminate();
    const std::string written = ReadBytes(output);
    SCOPED_TRACE("attempt " + std::to_string(attempt) + ", " + std::to_string(written.size()) + " bytes");
    if (written.empty()) continue;
    EXPECT_EQ(written.substr(written.size() - 2), "\r\n");
    EXPECT_TRUE(whole.compare(0, written.size(), written) == 0) << "not a prefix of the whole run's output";
    cutShort += written.size() < whole.size();
  }
  EXPECT_GT(cutShort, 0) << "no kill landed during a run";
}

TEST_F(Win32EndToEndTest, KilledMidRunLeavesOnlyWholeLines) {
  const LongJob job = MakeLongJob(40000);
  WriteBytes(folder / "long.sdr", job.input);
  KillRunsAtGrowingMoments(folder / "long.csv", job.csv, 40, [&] {
    auto varnel = std::make_unique<VarnelProcess>(Quoted(folder / "long.sdr"));
    EXPECT_NE(varnel->MainWindow(), nullptr);
    varnel->Click(Control::cmdOk);
    return varnel;
  });
}

TEST_F(Win32EndToEndTest, KilledCliLeavesOnlyWholeLines) {
  const LongJob job = MakeLongJob(400000);
  WriteBytes(folder / "long.sdr", job.input);
  KillRunsAtGrowingMoments(folder / "long.csv", job.csv, 15, [&] {
    return std::make_unique<VarnelProcess>(Quoted(folder / "long.sdr"), L"varnel-cli.exe");
  });
}

TEST_F(Win32EndToEndTest, PathWithBlanksAndCyrillicLetters) {
  const std::string subfolder = folder / "Съёмка 2026 участок";
  fs::create_directory(FsPath(subfolder));
  const std::string input = subfolder + "\\точки хода 1.sdr";
  WriteBytes(input, kRecord + "\r\n");
  VarnelProcess varnel(Quoted(input));
  ASSERT_NE(varnel.MainWindow(), nullptr);
  varnel.Click(Control::cmdOk);
  EXPECT_EQ(varnel.RunToExit(), Code(ExitStatus::Done));
  EXPECT_EQ(ReadBytes(subfolder + "\\точки хода 1.csv"), kCsv);
  EXPECT_TRUE(varnel.Messages().empty());
}

}  // namespace
