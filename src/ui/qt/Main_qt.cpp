// varnel: the Qt shell over the core, for Linux.
#include <QApplication>

#include "MainWindowQt.h"
#include "ProcessServicesPosix.h"

int main(int argc, char** argv) {
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
