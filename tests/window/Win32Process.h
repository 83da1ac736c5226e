#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <string>

// The path of a program in this test's folder.
inline std::wstring Beside(const wchar_t* program) {
  wchar_t self[MAX_PATH * 4] = {};
  const std::wstring path(self, GetModuleFileNameW(nullptr, self, MAX_PATH * 4));
  return path.substr(0, path.find_last_of(L"\\/") + 1) + program;
}

// A program of this test's folder, started by the shell with arguments, as Explorer
// starts it. Where VARNEL_SHORTCUT names a shortcut (the installer's test), varnel.exe is
// started through it instead, as by Send To.
struct Process {
  Process(const wchar_t* program, const std::wstring& arguments) {
    CoInitialize(nullptr);  // the shell reads shortcuts through COM
    const wchar_t* shortcut = std::wstring_view(program) == L"varnel.exe" ? _wgetenv(L"VARNEL_SHORTCUT") : nullptr;
    const std::wstring file = shortcut ? shortcut : Beside(program);
    SHELLEXECUTEINFOW execute{};
    execute.cbSize = sizeof execute, execute.lpFile = file.c_str(), execute.lpParameters = arguments.c_str();
    execute.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NO_CONSOLE | SEE_MASK_FLAG_NO_UI, execute.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&execute)) return;  // no process: the test fails
    // The shell may not hand back a process that it starts through a shortcut; its window tells it.
    for (int i = 0; i < 1000 && !(handle = execute.hProcess); ++i, Sleep(20)) {
      GetWindowThreadProcessId(FindWindowW(L"VarnelMainWindow", nullptr), &id);
      execute.hProcess = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE, FALSE, id);
    }
    id = GetProcessId(handle);
  }
  ~Process() {
    TerminateProcess(handle, 99);
    WaitForSingleObject(handle, 5000);
    CloseHandle(handle);
  }
  bool Ended(DWORD waitMs = 0) { return WaitForSingleObject(handle, waitMs) == WAIT_OBJECT_0; }
  int ExitCode() {
    DWORD code = 0;
    return Ended(20000) && GetExitCodeProcess(handle, &code) ? static_cast<int>(code) : -1;
  }
  // The process's visible top-level window of className, or null.
  HWND Window(const wchar_t* className) {
    for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, className, nullptr));) {
      DWORD owner = 0;
      GetWindowThreadProcessId(w, &owner);
      if (owner == id && IsWindowVisible(w)) return w;
    }
    return nullptr;
  }
  HANDLE handle = nullptr;
  DWORD id = 0;
};
