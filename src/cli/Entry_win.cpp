// varnel-cli on Windows: arguments arrive as UTF-16 and are carried on as WTF-8, so
// that a name which is not valid UTF-16 still reaches its file.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include "cli/CliRun.h"
#include "convert/Wtf8.h"

namespace {

UINT gConsoleCodePage = 0;  // the console's own, given back when the program ends

BOOL WINAPI RestoreCodePage(DWORD) {
  SetConsoleOutputCP(gConsoleCodePage);
  return FALSE;  // the usual end follows
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  // Messages name files in any script; the console shows them as UTF-8.
  gConsoleCodePage = GetConsoleOutputCP();
  if (gConsoleCodePage != 0) {
    SetConsoleCtrlHandler(RestoreCodePage, TRUE);
    SetConsoleOutputCP(CP_UTF8);
  }
  // CSV lines and SDR files are bytes: CR LF stays CR LF through the standard streams.
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.push_back(wtf8::FromUtf16(std::wstring_view(argv[i])));
  const CliStatus status = RunCli(arguments, stdout, stderr, _isatty(_fileno(stderr)) != 0);
  if (gConsoleCodePage != 0) SetConsoleOutputCP(gConsoleCodePage);
  return static_cast<int>(status);
}
