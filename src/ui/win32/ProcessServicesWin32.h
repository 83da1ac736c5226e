#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <string>

#include "ui/ProcessServices.h"

// The command line less the program's own path, quoted or not, and the blanks after
// it; less also the switch --sdr at its start, followed by a blank or the end, and the
// blanks after that.
struct ProgramArguments {
  std::wstring text;
  FileReading reading = FileReading::Records;
  bool operator==(const ProgramArguments&) const = default;
};
ProgramArguments ArgumentsOf(const wchar_t* commandLine);

// The process on Windows: a named mutex per user session marks the running instance.
class ProcessServicesWin32 final : public ProcessServices {
 public:
  ProcessServicesWin32();
  ~ProcessServicesWin32();
  ProcessServicesWin32(const ProcessServicesWin32&) = delete;
  ProcessServicesWin32& operator=(const ProcessServicesWin32&) = delete;

  CommandLine Arguments() override;
  FileReading Reading() override { return arguments_.reading; }
  bool PreviousInstanceRunning() override { return previousInstance_; }
  float SecondsSinceMidnight() override;
  [[noreturn]] void EndProcess(ExitStatus status) override;

 private:
  ProgramArguments arguments_;
  HANDLE instanceMutex_ = nullptr;
  bool previousInstance_ = false;
};
