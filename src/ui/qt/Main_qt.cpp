// varnel: the Qt shell over the core, for Linux.
#include <QApplication>

#include <cstdio>
#include <string_view>

#include "MainWindowQt.h"
#include "ProcessServicesPosix.h"

int main(int argc, char** argv) {
  // Scripts and packagers ask for the version; a file manager always names a dropped
  // file with its folder.
  if (argc == 2 && std::string_view(argv[1]) == "--version") {
    std::puts("varnel " VARNEL_VERSION);
    return 0;
  }
  ProcessServicesPosix process;
  // A second instance ends before it creates anything; Form_Load asks again and
  // gets the same answer.
  if (process.PreviousInstanceRunning()) process.EndProcess(ExitStatus::AnotherInstance);

  QApplication app(argc, argv);
  process.TakeArguments(argc, argv);
  MainWindowQt window(process);
  window.form().Form_Load();
  return app.exec();
}
