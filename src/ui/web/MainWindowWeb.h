#pragma once

#include <string>
#include <vector>

#include "convert/BlockConversion.h"
#include "ui/MainForm.h"
#include "ui/MainWindow.h"
#include "ui/ProcessServices.h"

// frmMain on a web page. The core runs in a worker; the page draws the window and its
// message boxes. Each operation is a message to the page (worker.js), and a message
// box or the event pump lets the worker wait for the page's answer (Asyncify).
class MainWindowWeb final : public MainWindow, public ProcessServices {
 public:
  MainWindowWeb() : form_(*this, *this) {}
  MainForm& Form() { return form_; }
  // Ends the run as the page's own write failed: the window's message, then the end.
  [[noreturn]] void WriteFailed();

  // MainWindow
  void Show() override;
  void SetStatusText(const std::string& text) override;
  ConversionOptions ReadOptions() override;
  void ShowMessage(std::string_view text) override;
  void Disable(Control control) override;
  void EnableTimer() override;
  void PumpEvents() override;
  [[noreturn]] void Unload(ExitStatus status) override;
  // The page reads every file, as a stream, and takes its CSV lines in pieces of about
  // two megabytes.
  BlockFile* OpenInBlocks(const std::string& input, const std::string& csvPath) override;

  // ProcessServices: the names of the files dropped on the page, one by one, read as the
  // page's box chose.
  CommandLine Arguments() override;
  FileReading Reading() override;
  bool PreviousInstanceRunning() override { return false; }  // the page starts one run at a time
  float SecondsSinceMidnight() override;
  [[noreturn]] void EndProcess(ExitStatus status) override;

 private:
  // A dropped file as the page reads it, and its CSV lines as the page takes them.
  class PageFile final : public BlockFile {
   public:
    PageFile() : BlockFile(kPieceSize), piece_(kPieceSize) {}
    void Open(const std::string& input, const std::string& csvPath);
    std::ptrdiff_t Read(char* buffer, std::size_t size) override;
    char* Buffer() override { return piece_.data(); }
    // A failed write shows on the page later: the event pump hears of it.
    bool Submit(std::size_t size) override;

   private:
    static constexpr std::size_t kPieceSize = 2 << 20;
    std::string csvPath_;
    std::vector<char> piece_;
  };

  MainForm form_;
  PageFile file_;
};
