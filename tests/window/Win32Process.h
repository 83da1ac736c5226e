#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cwchar>
#include <string>

// A program of this test's folder, started with arguments after its quoted path.
struct Process {
  Process(const wchar_t* program, const std::wstring& arguments) {
    wchar_t self[MAX_PATH * 4] = {};
    const std::wstring folder(self, GetModuleFileNameW(nullptr, self, MAX_PATH * 4));
    const std::wstring exe = folder.substr(0, folder.find_last_of(L"\\/") + 1) + program;
    std::wstring commandLine = L"\"" + exe + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info);
    CloseHandle(info.hThread);
    handle = info.hProcess, id = info.dwProcessId;
  }
  explicit Process(HANDLE process) : handle(process), id(GetProcessId(process)) {}
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
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
      DWORD owner = 0;
      wchar_t name[64] = {};
      GetWindowThreadProcessId(w, &owner);
      GetClassNameW(w, name, 64);
      if (owner == id && IsWindowVisible(w) && std::wcscmp(name, className) == 0) return w;
    }
    return nullptr;
  }
  HANDLE handle = nullptr;
  DWORD id = 0;
};
