#include "ui/win32/ProcessServicesWin32.h"

#include "ui/win32/Utf16.h"

ProcessServicesWin32::ProcessServicesWin32() : arguments_(ArgumentsOf(GetCommandLineW())) {
  // "Local\" scopes the name to the user's session. The handle stays open for the
  // life of the process, so the name exists exactly while this instance runs.
  instanceMutex_ = CreateMutexW(nullptr, FALSE, L"Local\\Varnel.Instance");
  // A mutex that exists but may not be opened, such as an elevated instance's, is
  // another instance all the same.
  const DWORD error = GetLastError();
  previousInstance_ = error == ERROR_ALREADY_EXISTS || (instanceMutex_ == nullptr && error == ERROR_ACCESS_DENIED);
}

ProcessServicesWin32::~ProcessServicesWin32() {
  if (instanceMutex_) CloseHandle(instanceMutex_);
}

ProgramArguments ArgumentsOf(const wchar_t* commandLine) {
  const auto afterBlanks = [](const wchar_t* p) {
    while (*p == L' ' || *p == L'\t') ++p;
    return p;
  };
  const wchar_t* p = commandLine;
  // The program's path ends at its closing quote, or at the first blank or tab.
  if (*p == L'"') {
    ++p;
    while (*p && *p != L'"') ++p;
    if (*p) ++p;
  } else {
    while (*p && *p != L' ' && *p != L'\t') ++p;
  }
  p = afterBlanks(p);
  constexpr std::wstring_view kSwitch = L"--sdr";
  if (std::wstring_view(p).starts_with(kSwitch) && (p[kSwitch.size()] == L' ' || p[kSwitch.size()] == L'\0')) {
    return {afterBlanks(p + kSwitch.size()), FileReading::JobPoints};
  }
  return {p, FileReading::Records};
}

CommandLine ProcessServicesWin32::Arguments() { return {Narrow(arguments_.text), std::nullopt}; }

float ProcessServicesWin32::SecondsSinceMidnight() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return static_cast<float>(now.wHour * 3600 + now.wMinute * 60 + now.wSecond) +
         static_cast<float>(now.wMilliseconds) / 1000.0f;
}

void ProcessServicesWin32::EndProcess(ExitStatus status) { ExitProcess(static_cast<UINT>(status)); }
