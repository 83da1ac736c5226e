#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "ui/Controls.h"

// A running varnel.exe, driven from outside as a user would: through its window,
// its controls and its message boxes.
class VarnelProcess {
 public:
  // Starts varnel.exe, which lies beside this test program, with arguments as its
  // command line after the program's own quoted path.
  explicit VarnelProcess(const std::wstring& arguments, const std::wstring& program = L"varnel.exe");
  ~VarnelProcess();
  VarnelProcess(const VarnelProcess&) = delete;
  VarnelProcess& operator=(const VarnelProcess&) = delete;

  // The visible main window, once it appears; null after the timeout.
  HWND MainWindow(DWORD timeoutMs = 20000);
  HWND ControlWindow(Control control);
  std::wstring Text(Control control);
  // The text of lblInfo once start-up has set it.
  std::wstring WaitForStatus(DWORD timeoutMs = 20000);
  bool IsEnabled(Control control);
  bool IsChecked(Control control);
  // Clicks a control as the mouse would, and returns when the program has handled it.
  void Click(Control control);

  // The open message box of this process, if any.
  HWND MessageBoxWindow();
  // Waits for a message box; returns its text, or nothing after the timeout.
  std::optional<std::wstring> WaitForMessage(DWORD timeoutMs = 20000);
  // Presses OK in the open message box.
  void AnswerMessage();
  // Answers every message box until the process ends, recording their texts.
  // Returns the exit code, or nothing after the timeout.
  std::optional<DWORD> RunToExit(DWORD timeoutMs = 60000);
  std::optional<DWORD> WaitForExit(DWORD timeoutMs = 20000);
  // Ends the process at once, as the task manager would.
  void Terminate();

  DWORD ProcessId() const { return processId_; }
  const std::vector<std::wstring>& Messages() const { return messages_; }
  const std::vector<std::wstring>& MessageTitles() const { return titles_; }

 private:
  HANDLE process_ = nullptr;
  DWORD processId_ = 0;
  HWND mainWindow_ = nullptr;
  std::vector<std::wstring> messages_;
  std::vector<std::wstring> titles_;
};

// The folder of this test program.
std::wstring ProgramFolder();
std::wstring WindowText(HWND window);
std::wstring ClassName(HWND window);
