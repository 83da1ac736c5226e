#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "ui/ProcessServices.h"

// The process on Windows: a named mutex per user session marks the running instance.
class ProcessServicesWin32 final : public ProcessServices {
 public:
  ProcessServicesWin32();
  ~ProcessServicesWin32();
  ProcessServicesWin32(const ProcessServicesWin32&) = delete;
  ProcessServicesWin32& operator=(const ProcessServicesWin32&) = delete;

  CommandLine Arguments() override;
  bool PreviousInstanceRunning() override { return previousInstance_; }
  float SecondsSinceMidnight() override;
  [[noreturn]] void EndProcess(ExitStatus status) override;

 private:
  HANDLE instanceMutex_ = nullptr;
  bool previousInstance_ = false;
};

// The command line less the program's own path, quoted or not, and the blanks after it.
std::wstring ArgumentsOf(const wchar_t* commandLine);
