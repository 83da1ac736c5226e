#pragma once

#include <string>
#include <vector>

#include "ui/ProcessServices.h"

// The process on Linux: a lock file in the user's runtime folder marks the running
// instance; the names come from argv one by one.
class ProcessServicesPosix final : public ProcessServices {
 public:
  ProcessServicesPosix();
  ~ProcessServicesPosix();
  ProcessServicesPosix(const ProcessServicesPosix&) = delete;
  ProcessServicesPosix& operator=(const ProcessServicesPosix&) = delete;

  // The file names from argv, after the toolkit has taken its own options out.
  void TakeArguments(int argc, char** argv);

  CommandLine Arguments() override { return {{}, names_}; }
  bool PreviousInstanceRunning() override { return previousInstance_; }
  float SecondsSinceMidnight() override;
  [[noreturn]] void EndProcess(ExitStatus status) override;

 private:
  std::vector<std::string> names_;
  int lockFile_ = -1;
  bool previousInstance_ = false;
};

// Where the instance lock lives: the user's runtime folder, or /tmp per user.
std::string InstanceLockPath();
