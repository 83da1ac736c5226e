#include "cli/BlockConverter.h"

#include <memory>
#include <new>
#include <optional>
#include <vector>

#include "convert/File.h"
#include "convert/LineSplitter.h"

namespace {

constexpr std::size_t kReadBlockSize = 128 << 10;
constexpr std::size_t kWriteBlockSize = 1 << 18;
constexpr std::int64_t kPageSize = 4096;

// Gathers CSV lines and appends them to the output file in blocks of whole lines.
//
// A killed process should leave whole lines only. The kernel copies a write into the
// file one page at a time and, when the process is killed, may stop between two
// pages, so a write that stays within one page is stored whole or not at all. Each
// write here crosses at most one page boundary, and ends at the last line end before
// the next one: a kill can then cut only the one line that lies across that boundary,
// and only while its first page is being copied, as with the window's own line writes.
class CsvBlockWriter {
 public:
  explicit CsvBlockWriter(const std::string& path) : path_(path) { buffer_.reserve(kWriteBlockSize + 2 * CsvLine::kMaxLength); }

  bool Add(std::string_view csvLine) {
    buffer_.append(csvLine).append("\r\n");
    return buffer_.size() < kWriteBlockSize || Flush();
  }

  bool Finish() { return Flush() && (!file_.IsOpen() || Fail(file_.Close())); }

  const std::string& Reason() const { return reason_; }

 private:
  bool Fail(bool ok) {
    if (!ok) reason_ = LastSystemError();
    return ok;
  }

  bool Open() {
    file_ = File::OpenForAppending(path_);
    if (!Fail(file_.IsOpen())) return false;
    size_ = file_.Size();
    return Fail(size_.has_value());
  }

  bool Flush() {
    if (buffer_.empty()) return true;
    if (!file_.IsOpen() && !Open()) return false;
    const std::string_view pending(buffer_);
    std::size_t done = 0;
    while (done < pending.size()) {
      const std::size_t chunk = ChunkLength(pending.substr(done));
      const std::size_t written = file_.Append(pending.substr(done, chunk));
      if (written != chunk) {
        reason_ = LastSystemError();
        // Cut off the part of a line that did get written.
        if (written > 0) file_.Truncate(*size_);
        return false;
      }
      *size_ += static_cast<std::int64_t>(chunk);
      done += chunk;
    }
    buffer_.clear();
    return true;
  }

  // The whole lines at the start of pending up to the second page boundary ahead.
  std::size_t ChunkLength(std::string_view pending) const {
    const auto limit = static_cast<std::size_t>(2 * kPageSize - *size_ % kPageSize);
    if (pending.size() <= limit) return pending.size();
    return pending.rfind('\n', limit - 1) + 1;  // a CSV line is far shorter than a page
  }

  std::string path_;
  File file_;
  std::optional<std::int64_t> size_;  // the file's length, kept as lines are written
  std::string buffer_;
  std::string reason_;
};

}  // namespace

FileOutcome ConvertFileInBlocks(const std::string& inputPath, const std::string& outputPath,
                                const ConversionOptions& options,
                                const std::function<void(std::uint64_t bytesRead)>& onProgress) {
  File input = File::OpenForReading(inputPath);
  if (!input.IsOpen()) return {FileResult::ReadFailed, LastSystemError()};

  CsvBlockWriter output(outputPath);
  bool writeFailed = false;
  LineSplitter lines(SdrLineLength + 1);
  const auto onLine = [&](std::string_view line) {
    const CsvLine csvLine = ConvertSdrLine(line, options);
    if (!csvLine.empty() && !writeFailed) writeFailed = !output.Add(csvLine.View());
  };

  // Page-aligned: the kernel copies into an aligned buffer several times faster.
  const auto freeAligned = [](char* p) { ::operator delete[](p, std::align_val_t{kPageSize}); };
  const std::unique_ptr<char[], decltype(freeAligned)> block(
      static_cast<char*>(::operator new[](kReadBlockSize, std::align_val_t{kPageSize})), freeAligned);
  std::uint64_t bytesRead = 0;
  for (;;) {
    const std::ptrdiff_t count = input.Read(block.get(), kReadBlockSize);
    if (count < 0) {
      const FileOutcome failed{FileResult::ReadFailed, LastSystemError()};
      // What was converted before the failure is kept, as the window keeps it.
      if (!output.Finish()) return {FileResult::WriteFailed, output.Reason()};
      return failed;
    }
    if (count == 0) break;
    lines.Feed(std::string_view(block.get(), static_cast<std::size_t>(count)), onLine);
    if (writeFailed) return {FileResult::WriteFailed, output.Reason()};
    bytesRead += static_cast<std::uint64_t>(count);
    onProgress(bytesRead);
  }
  lines.Finish(onLine);
  if (writeFailed || !output.Finish()) return {FileResult::WriteFailed, output.Reason()};
  return {};
}
