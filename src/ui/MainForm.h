#pragma once

#include "convert/BatchDriver.h"
#include "convert/RandomSource.h"
#include "ui/ExitStatus.h"
#include "ui/FormState.h"

class MainWindow;
class ProcessServices;

// The toolkit-free half of frmMain. A front-end builds its window, embeds one
// MainForm and forwards the window's four events to it.
class MainForm {
 public:
  MainForm(MainWindow& window, ProcessServices& process)
      : window_(window), process_(process), driver_(state_, window, random_) {}

  void Form_Load();
  void cmdOk_Click();
  void tmrMain_Timer() { driver_.tmrMain_Timer(); }
  // Ends the process, whoever unloads the window; never returns.
  [[noreturn]] void Form_Unload(ExitStatus status);

 private:
  MainWindow& window_;
  ProcessServices& process_;
  FormState state_;
  RandomSource random_;
  BatchDriver driver_;
};
