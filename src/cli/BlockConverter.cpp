#include "cli/BlockConverter.h"

#include <exception>

#include "cli/BlockReader.h"
#include "convert/File.h"
#include "convert/LineSplitter.h"
#include "convert/SdrJob.h"

namespace {

// The window's records: the lines of exactly 84 characters, converted as it converts them.
class WindowRecords {
 public:
  static constexpr std::size_t kKeptLength = kKeptLineLength;
  static constexpr std::size_t kLongestCsvLine = CsvLine::kCapacity;

  explicit WindowRecords(const ConversionOptions& options) : converter_(options) {}

  // Writes the CSV line of a record at out and returns its end; nullptr for another line.
  char* Convert(std::string_view line, char* out) {
    if (line.size() != SdrLineLength) {
      ++counts.otherLines;
      if (HeaderLayout(line) == SdrLayout::Sdr2x) counts.olderLayout = true;
      return nullptr;
    }
    ++counts.records;
    return out + converter_.Convert(line, out);
  }

  FileCounts counts;

 private:
  const SdrLineConverter converter_;
};

// Gathers CSV lines, with their CR LF, into the writer's blocks.
template <typename Format>
class CsvGatherer {
 public:
  CsvGatherer(BlockWriter& output, Format& format) : output_(output), format_(format), block_(output.Buffer()) {}

  // False once writing has failed.
  bool Add(std::string_view line) {
    char* const end = format_.Convert(line, block_ + used_);
    if (end == nullptr) return true;
    end[0] = '\r';
    end[1] = '\n';
    used_ = static_cast<std::size_t>(end + 2 - block_);
    // Hand the block over while it still has room for the longest line.
    return used_ + Format::kLongestCsvLine + 2 <= BlockWriter::kBlockCapacity || HandOver();
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
  Format& format_;
  char* block_;
  std::size_t used_ = 0;
};

template <typename Format>
FileOutcome Convert(File& input, const OutputTarget& target, Format& format,
                    const std::function<void(std::uint64_t bytesRead)>& onProgress) {
  BlockWriter output(target);
  CsvGatherer<Format> csv(output, format);
  bool writeFailed = false;
  LineSplitter lines(Format::kKeptLength);
  const auto onLine = [&](std::string_view line) {
    if (!writeFailed) writeFailed = !csv.Add(line);
  };
  const auto outcome = [&](FileResult result, const std::string& reason, int error) {
    return FileOutcome{result, reason, error, format.counts};
  };

  BlockReader reader(input);
  std::uint64_t bytesRead = 0;
  for (std::string_view block; !(block = reader.Next()).empty();) {
    lines.Feed(block, onLine);
    if (writeFailed) return outcome(FileResult::WriteFailed, output.Reason(), output.Error());
    bytesRead += block.size();
    onProgress(bytesRead);
  }
  if (!reader.Failed()) lines.Finish(onLine);
  // What was converted before a read failed is kept, as the window keeps it.
  if (writeFailed || !csv.Finish()) return outcome(FileResult::WriteFailed, output.Reason(), output.Error());
  if (reader.Failed()) return outcome(FileResult::ReadFailed, reader.Reason(), 0);
  return outcome(FileResult::Converted, {}, 0);
}

}  // namespace

FileOutcome ConvertInBlocks(File& input, const OutputTarget& output, const ConversionOptions& options,
                            const std::function<void(std::uint64_t bytesRead)>& onProgress) {
  try {
    WindowRecords records(options);
    return Convert(input, output, records, onProgress);
  } catch (const std::exception& e) {
    return {FileResult::WriteFailed, e.what(), 0, {}};
  }
}
