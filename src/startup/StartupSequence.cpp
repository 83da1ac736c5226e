#include "startup/StartupSequence.h"

#include <string>

#include "startup/CommandLineFileList.h"
#include "ui/MainWindow.h"
#include "ui/Messages.h"
#include "ui/ProcessServices.h"

void Form_Load(FormState& state, MainWindow& window, ProcessServices& process, RandomSource& random) {
  if (process.PreviousInstanceRunning()) process.EndProcess(ExitStatus::AnotherInstance);
  random.Seed(process.SecondsSinceMidnight());
  window.Show();
  ReadCommandLine(state, process, window);
  window.SetStatusText(msg::kFileCountPrefix + std::to_string(state.FileCount));
}
