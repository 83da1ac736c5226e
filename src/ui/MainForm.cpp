#include "ui/MainForm.h"

#include <cstdlib>

#include "startup/StartupSequence.h"
#include "ui/Controls.h"
#include "ui/RunButton.h"

std::string_view MainForm::Title() const {
  return reading_ == FileReading::JobPoints ? kWindow.jobPointsTitle : kWindow.title;
}

void MainForm::Form_Load() { ::Form_Load(state_, window_, process_, random_); }

void MainForm::cmdOk_Click() { ::cmdOk_Click(window_); }

void MainForm::Form_Unload(ExitStatus status) {
  process_.EndProcess(status);
  std::abort();  // the compiler cannot see through the interface that EndProcess never returns
}
