#pragma once

#include <cstdint>
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

// How the window reads each listed file.
enum class FileReading : std::uint8_t {
  Records,    // its lines of 84 characters, one CSV line each
  JobPoints,  // every point of each SDR job, once (the program was started with --sdr)
};

// What the logic needs of the process and the operating system.
class ProcessServices {
 public:
  // The arguments less the switch that chose the reading: it is not a file.
  virtual CommandLine Arguments() = 0;
  virtual FileReading Reading() = 0;
  // True when another process of this program is already running.
  virtual bool PreviousInstanceRunning() = 0;
  // Seconds since local midnight, with fraction.
  virtual float SecondsSinceMidnight() = 0;
  // Ends the process at once; never returns.
  [[noreturn]] virtual void EndProcess(ExitStatus status) = 0;

 protected:
  ~ProcessServices() = default;
};
