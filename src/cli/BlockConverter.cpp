#include "cli/BlockConverter.h"

#include <exception>
#include <memory>
#include <new>

#include "cli/BlockWriter.h"
#include "convert/File.h"
#include "convert/LineSplitter.h"

namespace {

constexpr std::size_t kReadBlockSize = 128 << 10;
constexpr std::size_t kPageSize = 4096;

// Gathers CSV lines, with their CR LF, into the writer's blocks.
class CsvGatherer {
 public:
  CsvGatherer(BlockWriter& output, const ConversionOptions& options)
      : output_(output), converter_(options), block_(output.Buffer()) {}

  // False once writing has failed.
  bool Add(std::string_view line) {
    const std::size_t length = converter_.Convert(line, block_ + used_);
    if (length == 0) return true;
    block_[used_ + length] = '\r';
    block_[used_ + length + 1] = '\n';
    used_ += length + 2;
    // Hand the block over while it still has room for the longest line.
    return used_ + CsvLine::kCapacity + 2 <= BlockWriter::kBlockCapacity || HandOver();
  }

  bool Finish() { return HandOver() && output_.Finish(); }

 private:
  bool HandOver() {
    const bool ok = output_.Submit(used_);
    block_ = output_.Buffer();
    used_ = 0;
    return ok;
  }

  BlockWriter& output_;
  const SdrLineConverter converter_;
  char* block_;
  std::size_t used_ = 0;
};

FileOutcome Convert(File& input, const std::string& outputPath, const ConversionOptions& options,
                    const std::function<void(std::uint64_t bytesRead)>& onProgress) {
  BlockWriter output(outputPath);
  CsvGatherer csv(output, options);
  bool writeFailed = false;
  LineSplitter lines(SdrLineLength + 1);
  const auto onLine = [&](std::string_view line) {
    if (!writeFailed) writeFailed = !csv.Add(line);
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
      if (!csv.Finish()) return {FileResult::WriteFailed, output.Reason()};
      return failed;
    }
    if (count == 0) break;
    lines.Feed(std::string_view(block.get(), static_cast<std::size_t>(count)), onLine);
    if (writeFailed) return {FileResult::WriteFailed, output.Reason()};
    bytesRead += static_cast<std::uint64_t>(count);
    onProgress(bytesRead);
  }
  lines.Finish(onLine);
  if (writeFailed || !csv.Finish()) return {FileResult::WriteFailed, output.Reason()};
  return {};
}

}  // namespace

FileOutcome ConvertFileInBlocks(const std::string& inputPath, const std::string& outputPath,
                                const ConversionOptions& options,
                                const std::function<void(std::uint64_t bytesRead)>& onProgress) {
  File input = File::OpenForReading(inputPath);
  if (!input.IsOpen()) return {FileResult::ReadFailed, LastSystemError()};
  try {
    return Convert(input, outputPath, options, onProgress);
  } catch (const std::exception& e) {
    return {FileResult::WriteFailed, e.what()};
  }
}
