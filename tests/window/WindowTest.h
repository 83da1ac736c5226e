#pragma once

// The window's behaviour, written once and checked on each toolkit. A driver per
// toolkit (Win32Driver.cpp under Wine, QtDriver.cpp offscreen) builds and reads the
// window and runs the program as its user would; the tests and expectations are shared.
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "../Support.h"
#include "ui/Controls.h"

// Builds the window in this process, in its initial state, and describes it: a line for
// the window, one per control (ControlLine; the timer has none) in the order of the
// Control enum, and where TAB takes the focus from the check box until it is back.
std::vector<std::string> LookAtNewWindow();
// The window as seen: its title and client area in pixels at the screen's DPI, on one line.
std::string WindowLine(std::string_view title, int width, int height, int dpi);
// A control as seen: caption (UTF-8), place and size in pixels of the client area, font,
// colours (0xRRGGBB) and states, on one line.
std::string ControlLine(std::string_view name, std::string_view caption, int left, int top, int width, int height,
                        std::string_view font, int points, bool bold, std::uint32_t background, std::uint32_t text,
                        bool enabled, bool checked);

enum class UserAction { Run, CloseBeforeRun, CloseDuringRun };

struct Scenario {
  std::string what;
  std::vector<std::pair<std::string, std::string>> files;  // name and content, before the start
  std::vector<std::string> readOnly;
  std::vector<std::string> arguments;  // names in the folder (WTF-8), as dropped on the icon
  bool allPoints = false;              // --sdr before them, as the second shortcut starts the program
  Control option = Control::Opt1;      // clicked before Run
  bool keepXY = false;                 // the check box clicked off before Run
  UserAction action = UserAction::Run;  // closing during the run waits for 10000 bytes of output
  std::string countText;                // lblInfo once started; empty when a message ends the start
  std::vector<std::string> messages;
  std::string statusAtFirstMessage;
  std::vector<std::pair<std::string, std::optional<std::string>>> after;  // content, or no file
  int exitStatus = 0;
};
inline void PrintTo(const Scenario& scenario, std::ostream* out) { *out << scenario.what; }

// The controls that Run disables, and a message during the run finds disabled.
inline constexpr Control kLockedByRun[] = {Control::cmdOk, Control::chChangeXY, Control::fr1, Control::Opt1, Control::Opt2,
                                           Control::Opt3};

// What a run showed, a line each: "count: title: …" once start-up has shown the count; at the
// first message after it, the status and whether kLockedByRun are all disabled
// (AtFirstMessage); "message: title: text" for each message box; "exit status N".
using Report = std::vector<std::string>;
inline std::string AtFirstMessage(const std::string& status, bool locked) {
  return "at the first message: " + status + (locked ? ", locked" : ", not locked");
}

// Starts the program on the scenario's names in folder, acts as its user, answers
// every message box and waits for the process to end.
Report RunProgram(const Scenario& scenario, const TempFolder& folder);
