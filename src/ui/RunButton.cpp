#include "ui/RunButton.h"

#include "ui/MainWindow.h"

void cmdOk_Click(MainWindow& window) {
  for (const Control control : {Control::cmdOk, Control::chChangeXY, Control::fr1, Control::Opt1, Control::Opt2,
                                Control::Opt3}) {
    window.Disable(control);
  }
  window.EnableTimer();
}
