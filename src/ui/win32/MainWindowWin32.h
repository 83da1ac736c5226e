#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <array>
#include <memory>

#include "ui/MainForm.h"
#include "ui/MainWindow.h"

class ProcessServices;

// frmMain on Win32: a plain top-level window with standard controls, laid out from
// the shared control table at the monitor's DPI.
class MainWindowWin32 final : public MainWindow {
 public:
  // Creates the window and its controls in their initial state, not yet visible.
  // Returns null when Windows refuses to create it.
  static std::unique_ptr<MainWindowWin32> Create(HINSTANCE instance, ProcessServices& process);
  ~MainWindowWin32();
  MainWindowWin32(const MainWindowWin32&) = delete;
  MainWindowWin32& operator=(const MainWindowWin32&) = delete;

  MainForm& Form() { return form_; }
  HWND Handle() const { return hwnd_; }

  // MainWindow
  void Show() override;
  void SetStatusText(const std::string& text) override;
  ConversionOptions ReadOptions() override;
  void ShowMessage(std::string_view text) override;
  void Disable(Control control) override;
  void EnableTimer() override;
  void PumpEvents() override;
  [[noreturn]] void Unload(ExitStatus status) override;

 private:
  explicit MainWindowWin32(ProcessServices& process);

  static LRESULT CALLBACK s_WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  void OnCreate();
  void OnCommand(int id, int code);
  LRESULT OnControlColor(HDC dc);
  void OnDrawItem(const DRAWITEMSTRUCT& item);
  void OnDpiChanged(UINT dpi, const RECT& suggested);

  void CreateControls();
  void ApplyDpi(UINT dpi);
  HWND ControlHandle(Control control) const { return controls_[static_cast<std::size_t>(control)]; }

  HWND hwnd_ = nullptr;
  std::array<HWND, kControls.size()> controls_{};
  HBRUSH background_ = nullptr;
  HFONT font_ = nullptr;
  HFONT boldFont_ = nullptr;
  UINT dpi_ = 96;
  MainForm form_;
};

// Handles the pending messages of the thread once, as the main loop would.
// Returns false when the quit message arrived.
bool DispatchPendingMessages(HWND dialogWindow);
