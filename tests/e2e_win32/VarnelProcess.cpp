#include "VarnelProcess.h"

#include <stdexcept>

#include "ui/win32/ControlIds.h"

namespace {

constexpr DWORD kPollMs = 20;
constexpr int kMessageTextId = 0xFFFF;  // the static control that holds a message box's text

struct WindowSearch {
  DWORD processId;
  const wchar_t* className;
  HWND found;
};

BOOL CALLBACK FindWindowOfProcess(HWND window, LPARAM parameter) {
  auto& search = *reinterpret_cast<WindowSearch*>(parameter);
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  if (processId != search.processId || !IsWindowVisible(window) || ClassName(window) != search.className) return TRUE;
  search.found = window;
  return FALSE;
}

HWND TopLevelWindow(DWORD processId, const wchar_t* className) {
  WindowSearch search{processId, className, nullptr};
  EnumWindows(FindWindowOfProcess, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH * 4] = {};
  GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
  std::wstring folder = path;
  return folder.substr(0, folder.find_last_of(L"\\/"));
}

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

std::wstring ClassName(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, static_cast<int>(std::size(name)));
  return name;
}

VarnelProcess::VarnelProcess(const std::wstring& arguments, const std::wstring& program) {
  const std::wstring exe = ProgramFolder() + L"\\" + program;
  std::wstring commandLine = L"\"" + exe + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
    throw std::runtime_error("CreateProcess(varnel.exe) failed: " + std::to_string(GetLastError()));
  }
  CloseHandle(info.hThread);
  process_ = info.hProcess;
  processId_ = info.dwProcessId;
}

VarnelProcess::~VarnelProcess() {
  if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
    TerminateProcess(process_, 99);
    WaitForSingleObject(process_, 5000);
  }
  CloseHandle(process_);
}

HWND VarnelProcess::MainWindow(DWORD timeoutMs) {
  for (DWORD waited = 0; !mainWindow_ && waited < timeoutMs; waited += kPollMs) {
    mainWindow_ = TopLevelWindow(processId_, kMainWindowClass);
    if (!mainWindow_) Sleep(kPollMs);
  }
  return mainWindow_;
}

HWND VarnelProcess::ControlWindow(Control control) { return GetDlgItem(MainWindow(), ControlId(control)); }

std::wstring VarnelProcess::Text(Control control) { return WindowText(ControlWindow(control)); }

std::wstring VarnelProcess::WaitForStatus(DWORD timeoutMs) {
  std::wstring text;
  for (DWORD waited = 0; waited < timeoutMs && (text = Text(Control::lblInfo)).empty(); waited += kPollMs) {
    Sleep(kPollMs);
  }
  return text;
}

bool VarnelProcess::IsEnabled(Control control) { return IsWindowEnabled(ControlWindow(control)) != FALSE; }

bool VarnelProcess::IsChecked(Control control) {
  return SendMessageW(ControlWindow(control), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void VarnelProcess::Click(Control control) { SendMessageW(ControlWindow(control), BM_CLICK, 0, 0); }

HWND VarnelProcess::MessageBoxWindow() { return TopLevelWindow(processId_, L"#32770"); }

std::optional<std::wstring> VarnelProcess::WaitForMessage(DWORD timeoutMs) {
  for (DWORD waited = 0; waited < timeoutMs; waited += kPollMs) {
    if (HWND box = MessageBoxWindow()) {
      // The box may exist a moment before its text is set.
      if (const std::wstring text = WindowText(GetDlgItem(box, kMessageTextId)); !text.empty()) {
        messages_.push_back(text);
        titles_.push_back(WindowText(box));
        return text;
      }
    }
    if (WaitForSingleObject(process_, kPollMs) == WAIT_OBJECT_0) return std::nullopt;
  }
  return std::nullopt;
}

void VarnelProcess::AnswerMessage() {
  if (HWND box = MessageBoxWindow()) {
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    // Wait for the box to go, so that it is not answered twice.
    for (int i = 0; i < 500 && IsWindow(box) && IsWindowVisible(box); ++i) Sleep(kPollMs);
  }
}

std::optional<DWORD> VarnelProcess::RunToExit(DWORD timeoutMs) {
  for (DWORD waited = 0; waited < timeoutMs; waited += kPollMs) {
    if (WaitForSingleObject(process_, kPollMs) == WAIT_OBJECT_0) return WaitForExit(0);
    if (MessageBoxWindow() && WaitForMessage(1000)) AnswerMessage();
  }
  return std::nullopt;
}

void VarnelProcess::Terminate() {
  TerminateProcess(process_, 9);
  WaitForSingleObject(process_, 10000);
}

std::optional<DWORD> VarnelProcess::WaitForExit(DWORD timeoutMs) {
  if (WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) return std::nullopt;
  DWORD code = 0;
  GetExitCodeProcess(process_, &code);
  return code;
}
