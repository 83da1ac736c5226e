#include "ui/win32/MainWindowWin32.h"

#include <cstdlib>

#include "ui/Messages.h"
#include "ui/ProcessServices.h"
#include "ui/win32/ControlIds.h"
#include "ui/win32/Dpi_win.h"
#include "ui/win32/Resources.h"
#include "ui/win32/Utf16.h"

namespace {

constexpr UINT_PTR kTimerId = 1;
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kWindowExStyle = 0;

COLORREF ToColorRef(std::uint32_t rgb) { return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

struct ControlClass {
  const wchar_t* className;
  DWORD style;
};

// The Win32 class and styles of each kind of control. The Run button draws itself,
// since a standard push button ignores the background colour it is given.
ControlClass ClassOf(const ControlSpec& entry) {
  switch (entry.kind) {
    case ControlKind::Frame:
      return {L"BUTTON", BS_GROUPBOX};
    case ControlKind::OptionButton:
      return {L"BUTTON", static_cast<DWORD>(BS_AUTORADIOBUTTON | (entry.control == Control::Opt1 ? WS_GROUP | WS_TABSTOP : 0))};
    case ControlKind::PushButton:
      return {L"BUTTON", BS_OWNERDRAW | WS_GROUP | WS_TABSTOP};
    case ControlKind::CheckBox:
      return {L"BUTTON", BS_AUTOCHECKBOX | WS_GROUP | WS_TABSTOP};
    case ControlKind::Label:
      return {L"STATIC", SS_LEFT | SS_NOPREFIX | WS_GROUP};
    case ControlKind::Timer:
      break;
  }
  return {nullptr, 0};
}

HFONT CreateUiFont(UINT dpi, bool bold) {
  const std::wstring face = Widen(kWindow.fontFace);
  return CreateFontW(-MulDiv(kWindow.fontPoints, static_cast<int>(dpi), 72), 0, 0, 0, bold ? FW_BOLD : FW_NORMAL,
                     FALSE, FALSE, FALSE, static_cast<BYTE>(kWindow.fontCharset), OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_SWISS, face.c_str());
}

}  // namespace

bool DispatchPendingMessages(HWND dialogWindow) {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) return false;
    // IsDialogMessage moves the focus with TAB and the arrow keys in a plain window.
    if (!IsDialogMessageW(dialogWindow, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  return true;
}

MainWindowWin32::MainWindowWin32(ProcessServices& process)
    : background_(CreateSolidBrush(ToColorRef(kWindow.background))), form_(*this, process) {}

MainWindowWin32::~MainWindowWin32() {
  if (hwnd_) DestroyWindow(hwnd_);
  for (HGDIOBJ object : {static_cast<HGDIOBJ>(font_), static_cast<HGDIOBJ>(boldFont_), static_cast<HGDIOBJ>(background_)}) {
    if (object) DeleteObject(object);
  }
}

std::unique_ptr<MainWindowWin32> MainWindowWin32::Create(HINSTANCE instance, ProcessServices& process) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = s_WndProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_VARNEL));
  windowClass.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_VARNEL), IMAGE_ICON,
                                                      GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  windowClass.lpszClassName = kMainWindowClass;
  if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return nullptr;

  std::unique_ptr<MainWindowWin32> window(new MainWindowWin32(process));
  const std::wstring title = Widen(window->form_.Title());
  // The size is set once the DPI of the window's monitor is known (OnCreate).
  CreateWindowExW(kWindowExStyle, kMainWindowClass, title.c_str(), kWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                  CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, window.get());
  if (!window->hwnd_) return nullptr;
  return window;
}

LRESULT CALLBACK MainWindowWin32::s_WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  MainWindowWin32* self = nullptr;
  if (message == WM_NCCREATE) {
    self = static_cast<MainWindowWin32*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<MainWindowWin32*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (message == WM_NCDESTROY && self) {
    // The window's last message: the object no longer has a window after it.
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    self = nullptr;
  }
  return self ? self->HandleMessage(message, wParam, lParam) : DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT MainWindowWin32::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      OnCreate();
      return 0;
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_TIMER:
      if (wParam == kTimerId) form_.tmrMain_Timer();
      return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return OnControlColor(reinterpret_cast<HDC>(wParam));
    case WM_ERASEBKGND: {
      RECT client;
      GetClientRect(hwnd_, &client);
      FillRect(reinterpret_cast<HDC>(wParam), &client, background_);
      return 1;
    }
    case WM_DRAWITEM:
      OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case 0x02E0:  // WM_DPICHANGED
      OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_CLOSE:
      // Closing the window, by any means, ends the process at once, mid-file if need be.
      Unload(ExitStatus::ClosedByUser);
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

void MainWindowWin32::OnCreate() {
  CreateControls();
  ApplyDpi(dpi::ForWindow(hwnd_));
}

void MainWindowWin32::CreateControls() {
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(hwnd_, GWLP_HINSTANCE));
  for (const ControlSpec& entry : kControls) {
    const ControlClass controlClass = ClassOf(entry);
    if (!controlClass.className) continue;  // the timer has no window
    const std::wstring caption = Widen(entry.caption);
    HWND control = CreateWindowExW(0, controlClass.className, caption.c_str(), WS_CHILD | WS_VISIBLE | controlClass.style,
                                   0, 0, 0, 0, hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId(entry.control))),
                                   instance, nullptr);
    if (entry.checked) SendMessageW(control, BM_SETCHECK, BST_CHECKED, 0);
    controls_[static_cast<std::size_t>(entry.control)] = control;
  }
  // The focus moves in sibling order, so the siblings are put in tab-index order. The
  // frame never takes the focus and goes last, where it paints under its options.
  HWND previous = HWND_TOP;
  for (int tabIndex = 0; tabIndex < static_cast<int>(kControls.size()); ++tabIndex) {
    for (const ControlSpec& entry : kControls) {
      if (entry.tabIndex != tabIndex || entry.kind == ControlKind::Frame) continue;
      HWND control = ControlHandle(entry.control);
      SetWindowPos(control, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      previous = control;
    }
  }
  SetWindowPos(ControlHandle(Control::fr1), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// Sizes the window, places the controls and makes the fonts for dpi.
void MainWindowWin32::ApplyDpi(UINT dpi) {
  dpi_ = dpi;
  const int scale = static_cast<int>(dpi);
  const SIZE size = dpi::WindowSizeFor(TwipsToPixels(kWindow.clientWidth, scale),
                                       TwipsToPixels(kWindow.clientHeight, scale), kWindowStyle, kWindowExStyle, dpi);
  SetWindowPos(hwnd_, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

  HFONT oldFont = font_;
  HFONT oldBoldFont = boldFont_;
  font_ = CreateUiFont(dpi, false);
  boldFont_ = CreateUiFont(dpi, true);
  for (const ControlSpec& entry : kControls) {
    HWND control = ControlHandle(entry.control);
    if (!control) continue;
    const auto [left, top] = CornerInWindow(entry);
    SetWindowPos(control, nullptr, TwipsToPixels(left, scale), TwipsToPixels(top, scale),
                 TwipsToPixels(entry.width, scale), TwipsToPixels(entry.height, scale),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(entry.bold ? boldFont_ : font_), TRUE);
  }
  if (oldFont) DeleteObject(oldFont);
  if (oldBoldFont) DeleteObject(oldBoldFont);
}

void MainWindowWin32::OnDpiChanged(UINT dpi, const RECT& suggested) {
  SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  ApplyDpi(dpi);
}

void MainWindowWin32::OnCommand(int id, int code) {
  if (id == ControlId(Control::cmdOk) && code == BN_CLICKED) form_.cmdOk_Click();
}

LRESULT MainWindowWin32::OnControlColor(HDC dc) {
  SetTextColor(dc, ToColorRef(kWindow.text));
  SetBkColor(dc, ToColorRef(kWindow.background));
  return reinterpret_cast<LRESULT>(background_);
}

void MainWindowWin32::OnDrawItem(const DRAWITEMSTRUCT& item) {
  RECT rect = item.rcItem;
  FillRect(item.hDC, &rect, background_);
  const bool pressed = (item.itemState & ODS_SELECTED) != 0;
  DrawEdge(item.hDC, &rect, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_ADJUST);

  wchar_t caption[64] = {};
  GetWindowTextW(item.hwndItem, caption, static_cast<int>(std::size(caption)));
  const bool disabled = (item.itemState & ODS_DISABLED) != 0;
  SetBkMode(item.hDC, TRANSPARENT);
  SetTextColor(item.hDC, GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
  if (pressed) OffsetRect(&rect, 1, 1);
  DrawTextW(item.hDC, caption, -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  if ((item.itemState & ODS_FOCUS) && !disabled) {
    InflateRect(&rect, -2, -2);
    DrawFocusRect(item.hDC, &rect);
  }
}

void MainWindowWin32::Show() {
  ShowWindow(hwnd_, SW_SHOWNORMAL);
  UpdateWindow(hwnd_);
}

void MainWindowWin32::SetStatusText(const std::string& text) {
  SetWindowTextW(ControlHandle(Control::lblInfo), Widen(text).c_str());
}

ConversionOptions MainWindowWin32::ReadOptions() {
  const auto isChecked = [this](Control control) {
    return SendMessageW(ControlHandle(control), BM_GETCHECK, 0, 0) == BST_CHECKED;
  };
  return ConversionOptions{isChecked(Control::Opt1), isChecked(Control::Opt2), isChecked(Control::Opt3),
                           isChecked(Control::chChangeXY)};
}

void MainWindowWin32::ShowMessage(std::string_view text) {
  MessageBoxW(hwnd_, Widen(text).c_str(), Widen(kWindow.title).c_str(), MB_OK | MB_ICONINFORMATION);
}

void MainWindowWin32::Disable(Control control) { EnableWindow(ControlHandle(control), FALSE); }

void MainWindowWin32::EnableTimer() { SetTimer(hwnd_, kTimerId, kWindow.timerIntervalMs, nullptr); }

void MainWindowWin32::PumpEvents() { DispatchPendingMessages(hwnd_); }

void MainWindowWin32::Unload(ExitStatus status) { form_.Form_Unload(status); }
