// The Win32 window under Wine: built in this process to be read, and varnel.exe, which
// lies beside this test program, run as a user would run it.
#include <gtest/gtest.h>

#include "../FakeWindow.h"
#include "Win32Process.h"
#include "WindowTest.h"
#include "ui/win32/ControlIds.h"
#include "ui/win32/MainWindowWin32.h"
#include "convert/Wtf8.h"

namespace {

std::string Text(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return wtf8::FromUtf16(std::wstring_view(text));
}

std::uint32_t Rgb(COLORREF colour) { return GetRValue(colour) << 16 | GetGValue(colour) << 8 | GetBValue(colour); }

}  // namespace

Report RunProgram(const Scenario& scenario, const TempFolder& folder) {
  // Through a shortcut (the installer's test), the shortcut gives the switch.
  std::wstring arguments = scenario.allPoints && !_wgetenv(L"VARNEL_SHORTCUT") ? L"--sdr" : L"";
  for (const std::string& name : scenario.arguments) arguments += L" \"" + wtf8::ToUtf16<wchar_t>(folder / "" + name) + L"\"";
  Process varnel(L"varnel.exe", arguments);
  Report report;
  HWND window = nullptr;
  const auto control = [&](Control c) { return GetDlgItem(window, ControlId(c)); };
  const auto click = [&](Control c) { SendMessageW(control(c), BM_CLICK, 0, 0); };
  // Until start-up has shown the count, or a message, or the program ended.
  for (int i = 0; i < 2000 && !varnel.Ended(10) && !varnel.Window(L"#32770"); ++i) {
    if (!(window = varnel.Window(L"VarnelMainWindow")) || Text(control(Control::lblInfo)).empty()) continue;
    report.push_back("count: " + Text(window) + ": " + Text(control(Control::lblInfo)));
    if (scenario.option != Control::Opt1) click(scenario.option);
    if (scenario.keepXY) click(Control::chChangeXY);
    if (scenario.action == UserAction::CloseBeforeRun) PostMessageW(window, WM_CLOSE, 0, 0);
    if (scenario.action != UserAction::CloseBeforeRun) click(Control::cmdOk);
    break;
  }
  for (int i = 0; i < 6000 && !varnel.Ended(10); ++i) {
    if (scenario.action == UserAction::CloseDuringRun && ReadBytes(folder / scenario.after[0].first).size() > 10000) {
      PostMessageW(window, WM_CLOSE, 0, 0);
    }
    HWND box = varnel.Window(L"#32770");
    if (!box || Text(GetDlgItem(box, 0xFFFF)).empty()) continue;  // the box may come a moment before its text
    if (report.size() == 1) {
      const bool locked = std::ranges::none_of(kLockedByRun, [&](Control c) { return IsWindowEnabled(control(c)); });
      report.push_back(AtFirstMessage(Text(control(Control::lblInfo)), locked));
    }
    report.push_back("message: " + Text(box) + ": " + Text(GetDlgItem(box, 0xFFFF)));
    SendMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    while (IsWindow(box) && IsWindowVisible(box)) Sleep(10);
  }
  report.push_back("exit status " + std::to_string(varnel.ExitCode()));
  return report;
}

std::vector<std::string> LookAtNewWindow() {
  FakeProcess process;
  const auto window = MainWindowWin32::Create(GetModuleHandleW(nullptr), process);
  window->Show();
  HWND hwnd = window->Handle();
  RECT client;
  GetClientRect(hwnd, &client);
  HDC screen = GetDC(nullptr), dc = CreateCompatibleDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  std::vector<std::string> seen = {WindowLine(Text(hwnd), client.right, client.bottom, dpi)};
  for (const ControlSpec& entry : kControls) {
    HWND child = GetDlgItem(hwnd, ControlId(entry.control));
    if (!child) continue;  // the timer, which has none
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&rect), 2);
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_EQ(font.lfCharSet, 204) << entry.name;  // Cyrillic
    // What the window answers when a control asks for its colours; the Run button draws itself.
    LOGBRUSH brush{};
    GetObjectW(reinterpret_cast<HBRUSH>(SendMessageW(hwnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                                     reinterpret_cast<LPARAM>(child))), sizeof brush, &brush);
    POINT inside{rect.left + 5, (rect.top + rect.bottom) / 2};
    ClientToScreen(hwnd, &inside);
    seen.push_back(ControlLine(entry.name, Text(child), rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                               wtf8::FromUtf16(std::wstring_view(font.lfFaceName)), MulDiv(-font.lfHeight, 72, dpi),
                               font.lfWeight >= FW_BOLD,
                               Rgb(entry.control == Control::cmdOk ? GetPixel(screen, inside.x, inside.y) : brush.lbColor),
                               Rgb(GetTextColor(dc)), IsWindowEnabled(child), SendMessageW(child, BM_GETCHECK, 0, 0) == BST_CHECKED));
  }
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  std::string tab = "TAB: chChangeXY";
  HWND first = GetDlgItem(hwnd, ControlId(Control::chChangeXY));
  for (HWND next = GetNextDlgTabItem(hwnd, first, FALSE); next != first && tab.size() < 100;
       next = GetNextDlgTabItem(hwnd, next, FALSE)) {
    tab += " " + std::string(kControls[GetDlgCtrlID(next) - kFirstControlId].name);
  }
  seen.push_back(tab);
  return seen;
}
