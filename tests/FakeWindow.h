#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/MainWindow.h"
#include "ui/ProcessServices.h"

// Thrown by the fakes where the real program would end the process. Not a
// std::exception, so that the program's own failure handlers let it pass.
struct ProcessEnded {
  ExitStatus status;
};

// How the program ended while run ran, or nothing when it did not.
template <class Run>
std::optional<ExitStatus> EndOf(Run&& run) {
  try {
    run();
  } catch (const ProcessEnded& ended) {
    return ended.status;
  }
  return std::nullopt;
}

// A main window that records what the logic asked of it, in order.
class FakeWindow : public MainWindow {
 public:
  void Show() override { events.push_back("show"); }
  void SetStatusText(const std::string& text) override { events.push_back(statusText = text); }
  ConversionOptions ReadOptions() override { return options; }
  void ShowMessage(std::string_view text) override {
    messages.emplace_back(text);
    events.push_back("message: " + messages.back());
    if (onMessage) onMessage();
  }
  void Disable(Control control) override { events.push_back("disable " + std::to_string(static_cast<int>(control))); }
  void EnableTimer() override { events.push_back("timer on"); }
  void PumpEvents() override {
    ++pumps;
    if (onPump) onPump();
  }
  [[noreturn]] void Unload(ExitStatus status) override {
    events.push_back("unload");
    throw ProcessEnded{status};
  }

  ConversionOptions options;
  std::string statusText;
  std::vector<std::string> messages;
  std::vector<std::string> events;
  int pumps = 0;
  std::function<void()> onPump;     // runs inside the event pump, as a window event would
  std::function<void()> onMessage;  // runs while a message box is open
};

class FakeProcess : public ProcessServices {
 public:
  CommandLine Arguments() override { return arguments; }
  FileReading Reading() override { return FileReading::Records; }
  bool PreviousInstanceRunning() override { return otherInstance; }
  float SecondsSinceMidnight() override { return 3600.5f; }
  [[noreturn]] void EndProcess(ExitStatus status) override { throw ProcessEnded{status}; }

  CommandLine arguments;
  bool otherInstance = false;
};
