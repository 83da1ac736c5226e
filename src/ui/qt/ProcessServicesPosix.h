#pragma once

#include <string>
#include <vector>

#include "ui/ProcessServices.h"

// The process on Linux: a lock file in the user's runtime folder marks the running
// instance; the argument text is rebuilt from argv as a file manager's drop writes it.
class ProcessServicesPosix final : public ProcessServices {
 public:
  ProcessServicesPosix();
  ~ProcessServicesPosix();
  ProcessServicesPosix(const ProcessServicesPosix&) = delete;
  ProcessServicesPosix& operator=(const ProcessServicesPosix&) = delete;

  // The file names from argv, after the toolkit has taken its own options out.
  void TakeArguments(int argc, char** argv);

  std::string ArgumentText() override { return argumentText_; }
  bool PreviousInstanceRunning() override { return previousInstance_; }
  float SecondsSinceMidnight() override;
  [[noreturn]] void EndProcess(ExitStatus status) override;

 private:
  std::string argumentText_;
  int lockFile_ = -1;
  bool previousInstance_ = false;
};

// The names joined by one blank each, a name that holds a blank in double quotes.
std::string JoinAsDropped(const std::vector<std::string>& names);

// Where the instance lock lives: the user's runtime folder, or /tmp per user.
std::string InstanceLockPath();
