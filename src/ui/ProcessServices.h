#pragma once

#include <string>

#include "ui/ExitStatus.h"

// What the logic needs of the process and the operating system.
class ProcessServices {
 public:
  // The command line without the program's own path, as one UTF-8 string:
  // names separated by blanks, a name that holds a blank enclosed in double quotes.
  virtual std::string ArgumentText() = 0;
  // True when another process of this program is already running.
  virtual bool PreviousInstanceRunning() = 0;
  // Seconds since local midnight, with fraction.
  virtual float SecondsSinceMidnight() = 0;
  // Ends the process at once; never returns.
  [[noreturn]] virtual void EndProcess(ExitStatus status) = 0;

 protected:
  ~ProcessServices() = default;
};
