// The Win32 window built in this process, where its fonts and colours can be read.
#include <gtest/gtest.h>

#include "../FakeWindow.h"
#include "MainWindowWin32.h"
#include "ProcessServicesWin32.h"
#include "ui/win32/ControlIds.h"

namespace {

TEST(WindowTest, EveryControlHasCalibriNinePointCyrillicAndLblInfoIsBold) {
  FakeProcess process;
  const auto window = MainWindowWin32::Create(GetModuleHandleW(nullptr), process);
  ASSERT_NE(window, nullptr);
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);

  for (const ControlSpec& entry : kControls) {
    if (entry.kind == ControlKind::Timer) continue;
    SCOPED_TRACE(std::string(entry.name));
    HWND control = GetDlgItem(window->Handle(), ControlId(entry.control));
    LOGFONTW font{};
    ASSERT_TRUE(GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font));
    EXPECT_STREQ(font.lfFaceName, L"Calibri");
    EXPECT_EQ(font.lfHeight, -MulDiv(9, dpi, 72));
    EXPECT_EQ(font.lfWeight, entry.bold ? FW_BOLD : FW_NORMAL);
    EXPECT_EQ(font.lfCharSet, 204);
    EXPECT_FALSE(font.lfItalic || font.lfUnderline || font.lfStrikeOut);
  }
}

TEST(WindowTest, ControlsPaintBlackTextOnC0C0C0) {
  FakeProcess process;
  const auto window = MainWindowWin32::Create(GetModuleHandleW(nullptr), process);
  ASSERT_NE(window, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  for (Control control : {Control::fr1, Control::Opt1, Control::chChangeXY, Control::Label1, Control::lblInfo}) {
    SCOPED_TRACE(std::string(SpecOf(control).name));
    HWND child = GetDlgItem(window->Handle(), ControlId(control));
    SetTextColor(dc, RGB(1, 2, 3));
    const auto brush = reinterpret_cast<HBRUSH>(
        SendMessageW(window->Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(child)));
    LOGBRUSH logBrush{};
    ASSERT_TRUE(GetObjectW(brush, sizeof logBrush, &logBrush));
    EXPECT_EQ(logBrush.lbColor, RGB(192, 192, 192));
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));
    EXPECT_EQ(GetBkColor(dc), RGB(192, 192, 192));
  }
  DeleteDC(dc);
  // The Run button draws itself, so that it too can have the window's colour.
  HWND run = GetDlgItem(window->Handle(), ControlId(Control::cmdOk));
  EXPECT_EQ(GetWindowLongW(run, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
}

TEST(WindowTest, ArgumentTextLeavesOutTheProgramsOwnPath) {
  const struct {
    const wchar_t* commandLine;
    const wchar_t* arguments;
  } cases[] = {
      {L"varnel.exe", L""},
      {L"varnel.exe a.sdr", L"a.sdr"},
      {L"\"C:\\Program Files\\Varnel\\varnel.exe\"", L""},
      {L"\"C:\\Program Files\\Varnel\\varnel.exe\" \"C:\\My Data\\a 1.sdr\" b.sdr", L"\"C:\\My Data\\a 1.sdr\" b.sdr"},
      {L"\"C:\\Varnel\\varnel.exe\"a.sdr", L"a.sdr"},
      {L"C:\\Varnel\\varnel.exe   \t a.sdr  ", L"a.sdr  "},
      {L"varnel.exe \"D:\\Съёмка\\точки.sdr\"", L"\"D:\\Съёмка\\точки.sdr\""},
  };
  for (const auto& c : cases) EXPECT_EQ(ArgumentsOf(c.commandLine), c.arguments) << testing::PrintToString(c.commandLine);
}

}  // namespace
