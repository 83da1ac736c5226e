#include "cli/BlockConverter.h"

#include <exception>

#include "cli/BlockReader.h"
#include "cli/BlockWriter.h"
#include "convert/File.h"
#include "convert/LineSplitter.h"

namespace {

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
  LineSplitter lines(kKeptLineLength);
  const auto onLine = [&](std::string_view line) {
    if (!writeFailed) writeFailed = !csv.Add(line);
  };

  BlockReader reader(input);
  std::uint64_t bytesRead = 0;
  for (std::string_view block; !(block = reader.Next()).empty();) {
    lines.Feed(block, onLine);
    if (writeFailed) return {FileResult::WriteFailed, output.Reason()};
    bytesRead += block.size();
    onProgress(bytesRead);
  }
  if (reader.Failed()) {
    // What was converted before the failure is kept, as the window keeps it.
    if (!csv.Finish()) return {FileResult::WriteFailed, output.Reason()};
    return {FileResult::ReadFailed, reader.Reason()};
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
