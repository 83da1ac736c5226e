#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ui/ExitStatus.h"

// The program's arguments, without its own path, as the system hands them over.
struct CommandLine {
  // Windows: one text (WTF-8), names separated by blanks, a name that holds a blank
  // enclosed in double quotes, as the shell writes a drop.
  std::string text;
  // POSIX systems: the names one by one, taken as they are; text is then unused.
  std::optional<std::vector<std::string>> names;
};

// What the logic needs of the process and the operating system.
class ProcessServices {
 public:
  virtual CommandLine Arguments() = 0;
  // True when another process of this program is already running.
  virtual bool PreviousInstanceRunning() = 0;
  // Seconds since local midnight, with fraction.
  virtual float SecondsSinceMidnight() = 0;
  // Ends the process at once; never returns.
  [[noreturn]] virtual void EndProcess(ExitStatus status) = 0;

 protected:
  ~ProcessServices() = default;
};
