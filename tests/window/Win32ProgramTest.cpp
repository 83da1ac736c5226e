// What only the Windows programs have: their architecture and icon, the command line,
// the named mutex and the console.
#include <gtest/gtest.h>

#include <optional>

#include "Win32Process.h"
#include "ui/win32/ProcessServicesWin32.h"

#include <sddl.h>  // after windows.h

namespace {

// Wine would not start it if it needed a DLL of the compiler's, such as libstdc++-6.dll.
TEST(Win32ProgramTest, IsBuiltForItsArchitectureAndCarriesOneIconOf32By32In16Colours) {
  for (const wchar_t* program : {L"varnel.exe", L"varnel-cli.exe"}) {
    DWORD type = 0;
    EXPECT_TRUE(GetBinaryTypeW(Beside(program).c_str(), &type));
    EXPECT_EQ(type, VARNEL_64_BIT ? SCS_64BIT_BINARY : SCS_32BIT_BINARY);
  }
  HMODULE program = LoadLibraryExW(L"varnel.exe", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(program, nullptr);
  HRSRC group = FindResourceW(program, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
  ASSERT_NE(group, nullptr);
  // The count of images, then the first one's width, height, colours and bits per pixel.
  const auto* directory = static_cast<const BYTE*>(LockResource(LoadResource(program, group)));
  EXPECT_EQ((std::vector<int>{directory[4], directory[6], directory[7], directory[8], directory[12]}),
            (std::vector<int>{1, 32, 32, 16, 4}));
}

TEST(Win32ProgramTest, ArgumentTextLeavesOutTheProgramsOwnPathAndTheSwitch) {
  const std::pair<const wchar_t*, ProgramArguments> cases[] = {
      {L"varnel.exe", {}},
      {L"\"C:\\Program Files\\Varnel\\varnel.exe\" \"C:\\My Data\\a 1.sdr\" b.sdr", {L"\"C:\\My Data\\a 1.sdr\" b.sdr"}},
      {L"\"C:\\Varnel\\varnel.exe\"a.sdr", {L"a.sdr"}},
      {L"C:\\Varnel\\varnel.exe   \t a.sdr  ", {L"a.sdr  "}},
      {L"varnel.exe --sdr  \"a 1.sdr\"", {L"\"a 1.sdr\"", FileReading::JobPoints}}, {L"varnel.exe --sdr", {{}, FileReading::JobPoints}},
      {L"varnel.exe --sdr.sdr \"--sdr\"", {L"--sdr.sdr \"--sdr\""}},  // a name, and a quoted one, are no switch
  };
  for (const auto& [commandLine, arguments] : cases) EXPECT_TRUE(ArgumentsOf(commandLine) == arguments) << commandLine;
}

TEST(Win32ProgramTest, AMutexOfTheProgramsNameIsARunningInstanceEvenWhereItMayNotBeOpened) {
  std::optional<ProcessServicesWin32> first(std::in_place);
  EXPECT_FALSE(first->PreviousInstanceRunning());
  EXPECT_TRUE(ProcessServicesWin32().PreviousInstanceRunning());
  first.reset();
  // As an elevated instance's mutex is to a user's program: its empty access list lets nobody open it.
  SECURITY_ATTRIBUTES attributes{sizeof attributes, nullptr, FALSE};
  ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:", SDDL_REVISION_1, &attributes.lpSecurityDescriptor,
                                                                   nullptr));
  HANDLE other = CreateMutexW(&attributes, FALSE, L"Local\\Varnel.Instance");
  EXPECT_TRUE(ProcessServicesWin32().PreviousInstanceRunning());
  CloseHandle(other);
}

TEST(Win32ProgramTest, CliGivesTheConsoleItsCodePageBackAndTakesNamesThatAreNotValidUtf16) {
  FreeConsole();
  ASSERT_TRUE(AllocConsole());  // a console of this test's own, which varnel-cli shares
  SetConsoleOutputCP(1251);
  EXPECT_EQ(Process(L"varnel-cli.exe", L"--version").ExitCode(), 0);
  EXPECT_EQ(GetConsoleOutputCP(), 1251u);
  // No crash on a lone surrogate: the file is looked for, and Wine has none of that name.
  EXPECT_EQ(Process(L"varnel-cli.exe", std::wstring(L"a") + L'\xD800' + L"b.sdr").ExitCode(), 1);
}

}  // namespace
