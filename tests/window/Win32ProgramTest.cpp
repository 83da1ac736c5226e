// What only the Windows programs have: their icon, the command line, the named mutex,
// the window's last message and the console.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>

#include "../FakeWindow.h"
#include "Win32Process.h"
#include "ui/win32/MainWindowWin32.h"
#include "ui/win32/ProcessServicesWin32.h"

namespace {

TEST(Win32ProgramTest, CarriesOneIconOf32By32In16Colours) {
  HMODULE program = LoadLibraryExW(L"varnel.exe", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(program, nullptr);
  HRSRC group = FindResourceW(program, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
  ASSERT_NE(group, nullptr);
  // The count of images, then the first one's width, height, colours and bits per pixel.
  const auto* directory = static_cast<const BYTE*>(LockResource(LoadResource(program, group)));
  EXPECT_EQ((std::vector<int>{directory[4], directory[6], directory[7], directory[8], directory[12]}),
            (std::vector<int>{1, 32, 32, 16, 4}));
}

TEST(Win32ProgramTest, ArgumentTextLeavesOutTheProgramsOwnPath) {
  const wchar_t* cases[][2] = {
      {L"varnel.exe", L""},
      {L"\"C:\\Program Files\\Varnel\\varnel.exe\" \"C:\\My Data\\a 1.sdr\" b.sdr", L"\"C:\\My Data\\a 1.sdr\" b.sdr"},
      {L"\"C:\\Varnel\\varnel.exe\"a.sdr", L"a.sdr"},
      {L"C:\\Varnel\\varnel.exe   \t a.sdr  ", L"a.sdr  "},
  };
  for (const auto& c : cases) EXPECT_EQ(ArgumentsOf(c[0]), c[1]);
}

TEST(Win32ProgramTest, AMutexOfTheProgramsNameIsARunningInstanceEvenWhereItMayNotBeOpened) {
  std::optional<ProcessServicesWin32> first(std::in_place);
  EXPECT_FALSE(first->PreviousInstanceRunning());
  EXPECT_TRUE(ProcessServicesWin32().PreviousInstanceRunning());
  first.reset();
  // As an elevated instance's mutex is to a user's program: nobody may open it.
  SECURITY_DESCRIPTOR descriptor;
  InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
  ACL empty;
  InitializeAcl(&empty, sizeof empty, ACL_REVISION);
  SetSecurityDescriptorDacl(&descriptor, TRUE, &empty, FALSE);
  SECURITY_ATTRIBUTES attributes{sizeof attributes, &descriptor, FALSE};
  HANDLE other = CreateMutexW(&attributes, FALSE, L"Local\\Varnel.Instance");
  EXPECT_TRUE(ProcessServicesWin32().PreviousInstanceRunning());
  CloseHandle(other);
}

// Calls of DefWindowProcW from this program go through its import table; a recorder
// put there sees the handle that the window passes on with its last message.
LRESULT(WINAPI* gDefWindowProc)(HWND, UINT, WPARAM, LPARAM) = nullptr;
HWND gLastMessageHandle = nullptr;

LRESULT WINAPI RecordingDefWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCDESTROY) gLastMessageHandle = hwnd;
  return gDefWindowProc(hwnd, message, wParam, lParam);
}

TEST(Win32ProgramTest, TheWindowsLastMessageReachesWindowsWithItsHandle) {
  auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
  const auto* headers = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const DWORD imports = headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
  for (auto* dll = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports); dll->Name; ++dll) {
    auto* name = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->OriginalFirstThunk);
    for (auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->FirstThunk); name->u1.AddressOfData; ++name, ++slot) {
      if (IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal) ||
          std::strcmp(reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + name->u1.AddressOfData)->Name, "DefWindowProcW")) {
        continue;
      }
      DWORD protection = 0;
      VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection);
      gDefWindowProc = reinterpret_cast<decltype(gDefWindowProc)>(slot->u1.Function);
      slot->u1.Function = reinterpret_cast<ULONG_PTR>(&RecordingDefWindowProc);
    }
  }
  ASSERT_NE(gDefWindowProc, nullptr);
  FakeProcess process;
  auto window = MainWindowWin32::Create(GetModuleHandleW(nullptr), process);
  HWND handle = window->Handle();
  window.reset();
  EXPECT_EQ(gLastMessageHandle, handle);
}

TEST(Win32ProgramTest, CliGivesTheConsoleItsCodePageBack) {
  FreeConsole();
  ASSERT_TRUE(AllocConsole());  // a console of this test's own, which varnel-cli shares
  SetConsoleOutputCP(1251);
  Process cli(L"varnel-cli.exe", L"--version");
  EXPECT_EQ(cli.ExitCode(), 0);
  EXPECT_EQ(GetConsoleOutputCP(), 1251u);
}

TEST(Win32ProgramTest, CliTakesNamesThatAreNotValidUtf16) {
  // No crash on a lone surrogate: the file is looked for, and Wine has none of that name.
  Process cli(L"varnel-cli.exe", std::wstring(L"a") + L'\xD800' + L"b.sdr");
  EXPECT_EQ(cli.ExitCode(), 1);
}

}  // namespace
