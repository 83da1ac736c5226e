// varnel-cli on Windows: arguments arrive as UTF-16 and are carried on as UTF-8.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <io.h>

#include <filesystem>

#include "cli/CliRun.h"

int wmain(int argc, wchar_t** argv) {
  // Messages name files in any script; the console shows them as UTF-8.
  SetConsoleOutputCP(CP_UTF8);
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) {
    const std::u8string utf8 = std::filesystem::path(argv[i]).u8string();
    arguments.emplace_back(utf8.begin(), utf8.end());
  }
  return static_cast<int>(RunCli(arguments, stdout, stderr, _isatty(_fileno(stderr)) != 0));
}
