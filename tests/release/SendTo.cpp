// send-to.exe FILE...: checks that the installed shortcuts lead to the installed
// varnel.exe, starts it through the Send To shortcut with the files as Explorer does,
// presses Run, and ends with the program's exit status (100 on a wrong shortcut).
#include <objbase.h>
#include <shlobj.h>

#include <cstdio>
#include <string>

#include "../window/Win32Process.h"
#include "ui/win32/ControlIds.h"

namespace {

std::wstring KnownFolder(REFKNOWNFOLDERID id) {
  wchar_t* path = nullptr;
  SHGetKnownFolderPath(id, 0, nullptr, &path);
  const std::wstring folder = path ? path : L"";
  CoTaskMemFree(path);
  return folder;
}

std::wstring Target(const std::wstring& shortcut) {
  IShellLinkW* link = nullptr;
  IPersistFile* file = nullptr;
  wchar_t target[MAX_PATH] = {};
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                 reinterpret_cast<void**>(&link))) &&
      SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
      SUCCEEDED(file->Load(shortcut.c_str(), STGM_READ))) {
    link->GetPath(target, MAX_PATH, nullptr, 0);
  }
  if (file) file->Release();
  if (link) link->Release();
  return target;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  CoInitialize(nullptr);
  const std::wstring program = KnownFolder(FOLDERID_LocalAppData) + L"\\Programs\\Varnel\\varnel.exe";
  const std::wstring sendTo = KnownFolder(FOLDERID_SendTo) + L"\\Varnel.lnk";
  for (const std::wstring& shortcut : {KnownFolder(FOLDERID_Desktop) + L"\\Varnel.lnk", KnownFolder(FOLDERID_Programs) + L"\\Varnel.lnk", sendTo}) {
    if (_wcsicmp(Target(shortcut).c_str(), program.c_str()) != 0) {
      std::fwprintf(stderr, L"%ls leads to '%ls', not to %ls\n", shortcut.c_str(), Target(shortcut).c_str(), program.c_str());
      return 100;
    }
  }
  std::wstring files;
  for (int i = 1; i < argc; ++i) files += L"\"" + std::wstring(argv[i]) + L"\" ";
  SHELLEXECUTEINFOW execute{};
  execute.cbSize = sizeof execute;
  execute.lpFile = sendTo.c_str();
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
