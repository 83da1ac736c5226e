#pragma once

#include <string>
#include <vector>

#include "ui/ProcessServices.h"

// The process on Linux: a lock file in a folder of the user's own marks the running
// instance; the names come from argv one by one. A write into a closed pipe or past the
// file-size limit fails and is reported, instead of ending the process.
class ProcessServicesPosix final : public ProcessServices {
 public:
  ProcessServicesPosix();
  ~ProcessServicesPosix();
  ProcessServicesPosix(const ProcessServicesPosix&) = delete;
  ProcessServicesPosix& operator=(const ProcessServicesPosix&) = delete;

  // The file names from argv, after the toolkit has taken its own options out, less
  // the switch --sdr when it comes first.
  void TakeArguments(int argc, char** argv);

  CommandLine Arguments() override { return {{}, names_}; }
  FileReading Reading() override { return reading_; }
  bool PreviousInstanceRunning() override { return previousInstance_; }
  float SecondsSinceMidnight() override;
  [[noreturn]] void EndProcess(ExitStatus status) override;

 private:
  std::vector<std::string> names_;
  FileReading reading_ = FileReading::Records;
  int lockFile_ = -1;
  bool previousInstance_ = false;
};
