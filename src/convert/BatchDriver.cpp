#include "convert/BatchDriver.h"

#include <exception>

#include "convert/CsvAppend.h"
#include "convert/File.h"
#include "convert/LineSplitter.h"
#include "convert/OutputNaming.h"
#include "convert/SdrRecord.h"
#include "ui/MainWindow.h"
#include "ui/Messages.h"

namespace {

constexpr std::size_t kReadBlockSize = 64 * 1024;

// Passes messages on to the window and notes that one was shown.
class NotingSink : public MessageSink {
 public:
  NotingSink(MessageSink& target, bool& shown) : target_(target), shown_(shown) {}
  void ShowMessage(std::string_view text) override {
    shown_ = true;
    target_.ShowMessage(text);
  }

 private:
  MessageSink& target_;
  bool& shown_;
};

class TickGuard {
 public:
  explicit TickGuard(bool& flag) : flag_(flag) { flag_ = true; }
  ~TickGuard() { flag_ = false; }
  TickGuard(const TickGuard&) = delete;
  TickGuard& operator=(const TickGuard&) = delete;

 private:
  bool& flag_;
};

// "Обрабатывается k из n..."
std::string ProgressText(int currentFile, int fileCount) {
  return msg::kProgressPrefix + std::to_string(currentFile) + msg::kProgressOf + std::to_string(fileCount) +
         msg::kProgressSuffix;
}

}  // namespace

void BatchDriver::tmrMain_Timer() {
  if (inTick_) return;
  const TickGuard guard(inTick_);

  if (state_.CurrentFile == state_.FileCount) {
    window_.Unload(messageShown_ ? ExitStatus::FinishedWithErrors : ExitStatus::Done);
  }
  ++state_.CurrentFile;

  bool readOk = false;
  try {
    window_.SetStatusText(ProgressText(state_.CurrentFile, state_.FileCount));
    readOk = ConvertCurrentFile();
  } catch (const std::exception&) {
    readOk = false;
  }
  if (!readOk) {
    messageShown_ = true;
    window_.ShowMessage(msg::kReadFailure);
  }
}

bool BatchDriver::ConvertCurrentFile() {
  File input = File::OpenForReading(state_.FileList[state_.CurrentFile]);
  if (!input.IsOpen()) return false;
  NotingSink messages(window_, messageShown_);
  const std::string outputPath = MakeCsvFileName(state_.FileList[state_.CurrentFile], messages);
  // The option controls stay disabled for the whole run, so one reading serves the file.
  const ConversionOptions options = window_.ReadOptions();

  LineSplitter lines(kKeptLineLength);
  const auto onLine = [&](std::string_view line) {
    const CsvLine csvLine = ConvertSdrLine(line, options);
    if (!csvLine.empty()) Append(outputPath, csvLine.View(), input);
    // Let the window breathe now and then: on average once every 100 lines.
    if (static_cast<int>(random_.NextUniform() * 100.0f) == 0) window_.PumpEvents();
  };
  std::string block(kReadBlockSize, '\0');
  for (;;) {
    const std::ptrdiff_t count = input.Read(block.data(), block.size());
    if (count < 0) return false;
    if (count == 0) break;
    lines.Feed(std::string_view(block.data(), static_cast<std::size_t>(count)), onLine);
  }
  lines.Finish(onLine);
  return input.Close();
}

void BatchDriver::Append(const std::string& outputPath, std::string_view csvLine, File& input) {
  if (AppendCsvLine(outputPath, csvLine) == 1) return;
  input.Close();
  window_.ShowMessage(msg::kWriteFailure);
  window_.Unload(ExitStatus::EndedByMessage);
}
