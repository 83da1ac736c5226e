// send-to.exe FILE...: starts the Send To shortcut with the files as Explorer does,
// presses Run in the program's window, and ends with the program's exit status.
#include <string>

#include "../window/Win32Process.h"
#include "ui/win32/ControlIds.h"

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

int wmain(int argc, wchar_t** argv) {
  CoInitialize(nullptr);  // the shell reads the shortcut through COM
  wchar_t* sendTo = nullptr;
  SHGetKnownFolderPath(FOLDERID_SendTo, 0, nullptr, &sendTo);
  const std::wstring shortcut = std::wstring(sendTo ? sendTo : L"") + L"\\Varnel.lnk";
  std::wstring files;
  for (int i = 1; i < argc; ++i) files += L"\"" + std::wstring(argv[i]) + L"\" ";
  SHELLEXECUTEINFOW execute{};
  execute.cbSize = sizeof execute;
  execute.lpFile = shortcut.c_str();
  execute.lpParameters = files.c_str();
  execute.nShow = SW_SHOWNORMAL;
  if (!ShellExecuteExW(&execute)) return 101;
  // The shell may not hand back the process it started through a shortcut: find its
  // window, once start-up has shown the count of files.
  HWND window = nullptr;
  for (int i = 0; i < 1000 && !(window && GetWindowTextLengthW(GetDlgItem(window, ControlId(Control::lblInfo)))); ++i) {
    window = FindWindowW(L"VarnelMainWindow", nullptr);
    Sleep(20);
  }
  DWORD id = 0;
  GetWindowThreadProcessId(window, &id);
  Process varnel(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE, FALSE, id));
  SendMessageW(GetDlgItem(window, ControlId(Control::cmdOk)), BM_CLICK, 0, 0);
  return varnel.ExitCode();
}
