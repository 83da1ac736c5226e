// varnel-cli on POSIX systems: arguments arrive as bytes, taken as UTF-8.
#include <unistd.h>

#include "cli/CliRun.h"

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  return static_cast<int>(RunCli(arguments, stdout, stderr, isatty(STDERR_FILENO) == 1));
}
