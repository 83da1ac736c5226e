#pragma once

#include <string>

#include "convert/SdrRecord.h"
#include "ui/Controls.h"
#include "ui/ExitStatus.h"
#include "ui/MessageSink.h"

class BlockFile;

// What the logic needs of the main window frmMain. Each front-end implements it;
// tests fake it. All calls come on the window's thread.
class MainWindow : public MessageSink {
 public:
  // Makes the window visible and returns at once.
  virtual void Show() = 0;
  // Replaces the text of lblInfo (UTF-8).
  virtual void SetStatusText(const std::string& text) = 0;
  // Reads the option buttons and the check box as they are now.
  virtual ConversionOptions ReadOptions() = 0;
  virtual void Disable(Control control) = 0;
  virtual void EnableTimer() = 0;
  // Handles the pending window events once and returns.
  virtual void PumpEvents() = 0;
  // For a window that reads each listed file and takes its CSV lines itself, in blocks
  // (the page): the file input, whose CSV file is csvPath. Nothing for the windows whose
  // core reads the file and appends each CSV line to its file.
  virtual BlockFile* OpenInBlocks(const std::string& input, const std::string& csvPath) {
    static_cast<void>(input), static_cast<void>(csvPath);
    return nullptr;
  }
  // Unloads the window, which ends the process; never returns.
  [[noreturn]] virtual void Unload(ExitStatus status) = 0;

 protected:
  ~MainWindow() = default;
};
