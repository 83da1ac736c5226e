#pragma once

#include <QWidget>

#include <array>

#include "ui/MainForm.h"
#include "ui/MainWindow.h"

class QTimer;

// frmMain in Qt Widgets: the controls of the shared table at the screen's logical DPI.
class MainWindowQt : public QWidget, public MainWindow {
 public:
  explicit MainWindowQt(ProcessServices& process, QWidget* parent = nullptr);

  MainForm& form() { return form_; }
  QWidget* control(Control control) const { return controls_[static_cast<std::size_t>(control)]; }
  QTimer* timer() const { return tmrMain_; }

  // MainWindow
  void Show() override;
  void SetStatusText(const std::string& text) override;
  ConversionOptions ReadOptions() override;
  void ShowMessage(std::string_view text) override;
  void Disable(Control control) override;
  void EnableTimer() override;
  void PumpEvents() override;
  [[noreturn]] void Unload(ExitStatus status) override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void createControls(int dpi);
  QWidget* createControl(const ControlSpec& entry);
  void setTabOrderFromTable();
  bool isChecked(Control control) const;

  std::array<QWidget*, kControls.size()> controls_{};
  QTimer* tmrMain_ = nullptr;
  MainForm form_;
};
