#include "convert/BatchDriver.h"

#include <exception>

#include "convert/BlockConversion.h"
#include "convert/CsvAppend.h"
#include "convert/File.h"
#include "convert/LineSplitter.h"
#include "convert/OutputNaming.h"
#include "convert/PointColumns.h"
#include "convert/SdrRecord.h"
#include "survey/JobReader.h"
#include "ui/MainWindow.h"
#include "ui/Messages.h"

namespace {

constexpr std::size_t kReadBlockSize = 64 * 1024;
// A front end that reads the file itself reads it in larger slices.
constexpr std::size_t kSliceSize = 2 << 20;

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

// Hands each point of a job to append as its CSV line: P, E, N, Z, D with X and Y
// exchanged, else P, N, E, Z, D, as varnel-cli --sdr writes them.
template <typename Append>
class PointLines final : public survey::PointSink {
 public:
  PointLines(const ConversionOptions& options, Append& append)
      : writer_(JobColumns(options.ChangeXY), SeparatorText(options).front()), append_(append) {}

  bool Take(const survey::JobPoint& point) override {
    char line[PointWriter::kRoom];
    const char* const end = writer_.Write(point.columns, kJobPointColumns, line);
    append_(std::string_view(line, static_cast<std::size_t>(end - line)));
    return true;
  }
  bool ReadsTexts() const override { return false; }

 private:
  PointWriter writer_;
  Append& append_;
};

// Feeds every line of input to onLine, of each only its first keepLimit bytes; false
// when reading failed.
template <typename OnLine>
bool ReadLines(File& input, std::size_t keepLimit, OnLine&& onLine) {
  LineSplitter lines(keepLimit);
  std::string block(kReadBlockSize, '\0');
  for (;;) {
    const std::ptrdiff_t count = input.Read(block.data(), block.size());
    if (count < 0) return false;
    if (count == 0) break;
    lines.Feed(std::string_view(block.data(), static_cast<std::size_t>(count)), onLine);
  }
  lines.Finish(onLine);
  return true;
}

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
  const std::string& inputPath = state_.FileList[state_.CurrentFile];
  NotingSink messages(window_, messageShown_);
  // The option controls stay disabled for the whole run, so one reading serves the file.
  if (BlockFile* file = window_.OpenInBlocks(inputPath, MakeCsvFileName(inputPath, messages))) {
    return ConvertInBlocks(*file, window_.ReadOptions());
  }
  File input = File::OpenForReading(inputPath);
  if (!input.IsOpen()) return false;
  const std::string outputPath = MakeCsvFileName(inputPath, messages);
  const ConversionOptions options = window_.ReadOptions();

  bool whole = false;
  if (reading_ == FileReading::JobPoints) {
    // A job's points come all at once when it ends: the window must breathe between them too.
    const auto append = [&](std::string_view csvLine) {
      Append(outputPath, csvLine, input);
      PumpNowAndThen();
    };
    PointLines points(options, append);
    survey::JobReader reader(points);
    whole = ReadLines(input, survey::JobReader::kKeptLength, [&](std::string_view line) {
      reader.Read(line);
      PumpNowAndThen();
    });
    reader.Finish();  // the points read before a failure are written all the same
  } else {
    whole = ReadLines(input, kKeptLineLength, [&](std::string_view line) {
      const CsvLine csvLine = ConvertSdrLine(line, options);
      if (!csvLine.empty()) Append(outputPath, csvLine.View(), input);
      PumpNowAndThen();
    });
  }
  return whole && input.Close();
}

bool BatchDriver::ConvertInBlocks(BlockFile& file, const ConversionOptions& options) {
  const bool jobs = reading_ == FileReading::JobPoints;
  BlockConversion conversion({options, jobs ? std::optional(JobColumns(options.ChangeXY)) : std::nullopt, jobs, {}}, file);
  std::string slice(kSliceSize, '\0');
  bool written = true;
  std::ptrdiff_t count = 0;
  while (written && (count = file.Read(slice.data(), slice.size())) > 0) {
    written = conversion.Feed(std::string_view(slice.data(), static_cast<std::size_t>(count)));
    window_.PumpEvents();
  }
  // What was converted before a read failed is kept, as the window keeps it.
  if (!conversion.Finish(count == 0) || !written) {
    window_.ShowMessage(msg::kWriteFailure);
    window_.Unload(ExitStatus::EndedByMessage);
  }
  return count == 0;
}

void BatchDriver::PumpNowAndThen() {
  if (static_cast<int>(random_.NextUniform() * 100.0f) == 0) window_.PumpEvents();
}

void BatchDriver::Append(const std::string& outputPath, std::string_view csvLine, File& input) {
  if (AppendCsvLine(outputPath, csvLine) == 1) return;
  input.Close();
  window_.ShowMessage(msg::kWriteFailure);
  window_.Unload(ExitStatus::EndedByMessage);
}
