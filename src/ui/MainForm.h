#pragma once

#include <string_view>

#include "convert/BatchDriver.h"
#include "convert/RandomSource.h"
#include "ui/ExitStatus.h"
#include "ui/FormState.h"
#include "ui/ProcessServices.h"

class MainWindow;

// The toolkit-free half of frmMain. A front-end builds its window, embeds one
// MainForm and forwards the window's four events to it.
class MainForm {
 public:
  MainForm(MainWindow& window, ProcessServices& process)
      : window_(window), process_(process), reading_(process.Reading()), driver_(state_, window, random_, reading_) {}

  // The window's title, which says when it reads every point of each job.
  std::string_view Title() const;

  void Form_Load();
  void cmdOk_Click();
  void tmrMain_Timer() { driver_.tmrMain_Timer(); }
  // Ends the process, whoever unloads the window; never returns.
  [[noreturn]] void Form_Unload(ExitStatus status);

 private:
  MainWindow& window_;
  ProcessServices& process_;
  FileReading reading_;
  FormState state_;
  RandomSource random_;
  BatchDriver driver_;
};
