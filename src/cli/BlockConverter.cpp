#include "cli/BlockConverter.h"

#include <cstring>
#include <exception>
#include <type_traits>

#include "cli/BlockReader.h"
#include "convert/File.h"
#include "convert/LineSplitter.h"
#include "convert/SdrJob.h"

namespace {

// Counts a line that is no record: a header naming SDR2x explains a file without any.
char* OtherLine(std::string_view line, FileCounts& counts) {
  ++counts.otherLines;
  if (HeaderLayout(line) == SdrLayout::Sdr2x) counts.olderLayout = true;
  return nullptr;
}

bool EndsWithCrLf(const char* p, const char* end, std::size_t length) {
  return static_cast<std::size_t>(end - p) >= length + 2 && p[length] == '\r' && p[length + 1] == '\n';
}

// Each format converts a line, and may also take a whole record that ends with CR LF
// straight from the block being read (CsvGatherer::AddRecords): RecordLength(p, end) is
// the format's usual length for a record at p (0: none), and ConvertRecord(p, out)
// writes the CSV line of that many bytes at out and returns its end, or nullptr when
// they may hold a line end themselves, for the line by line reading to take. Most files
// are runs of such records.

// The window's records: the lines of exactly 84 characters, converted as it converts them.
class WindowRecords {
 public:
  static constexpr std::size_t kKeptLength = kKeptLineLength;
  static constexpr std::size_t kLongestCsvLine = CsvLine::kCapacity;

  explicit WindowRecords(const ConversionOptions& options) : converter_(options) {}

  // Writes the CSV line of a record at out and returns its end; nullptr for another line.
  char* Convert(std::string_view line, char* out) {
    if (line.size() != SdrLineLength) return OtherLine(line, counts);
    ++counts.records;
    return out + converter_.Convert(line, out);
  }

  static std::size_t RecordLength(const char*, const char*) { return SdrLineLength; }
  char* ConvertRecord(const char* p, char* out) const { return converter_.ConvertRecord(p, out); }

  FileCounts counts;

 private:
  const SdrLineConverter converter_;
};

// Points chosen by columns from the lines of 84 characters, as the window chooses records.
class ColumnRecords {
 public:
  static constexpr std::size_t kKeptLength = kKeptLineLength;
  static constexpr std::size_t kLongestCsvLine = PointWriter::kRoom;

  ColumnRecords(const ColumnChoice& columns, char separator) : writer_(columns, separator) {}

  char* Convert(std::string_view line, char* out) {
    if (line.size() != SdrLineLength) return OtherLine(line, counts);
    ++counts.records;
    return writer_.Write(line.data(), kSdr33Point, out);
  }

  static std::size_t RecordLength(const char*, const char*) { return SdrLineLength; }
  char* ConvertRecord(const char* p, char* out) {
    return MayHoldLineEnd(p, SdrLineLength) ? nullptr : writer_.Write(p, kSdr33Point, out);
  }

  FileCounts counts;

 private:
  PointWriter writer_;
};

// Every point of SDR jobs, in either layout, also from records cut short.
class JobPoints {
 public:
  static constexpr std::size_t kKeptLength = SdrJobReader::kKeptLength;
  static constexpr std::size_t kLongestCsvLine = PointWriter::kRoom;

  JobPoints(const ColumnChoice& columns, char separator) : writer_(columns, separator) {}

  char* Convert(std::string_view line, char* out) {
    line = WithoutTransferMarks(line);
    bool station = false;
    const FieldLayout* layout = reader_.Read(line, station);
    if (layout == nullptr) {
      ++counts.otherLines;
      return nullptr;
    }
    ++counts.records;
    counts.stations += station;
    const char* bytes = line.data();
    if (line.size() < layout->span) {
      // A record whose trailing blanks were cut: blanks stand in for them.
      std::memcpy(padded_, line.data(), line.size());
      std::memset(padded_ + line.size(), ' ', layout->span - line.size());
      bytes = padded_;
    }
    return writer_.Write(bytes, *layout, out);
  }

  // A point record's full length is its layout's span.
  std::size_t RecordLength(const char* p, const char* end) {
    record_ = end - p >= 2 ? reader_.PointLayout(p[0], p[1], recordIsStation_) : nullptr;
    return record_ != nullptr ? record_->span : 0;
  }
  char* ConvertRecord(const char* p, char* out) {
    if (MayHoldLineEnd(p, record_->span)) return nullptr;
    counts.stations += recordIsStation_;
    return writer_.Write(p, *record_, out);
  }

  FileCounts counts;

 private:
  SdrJobReader reader_;
  PointWriter writer_;
  char padded_[kKeptLength];
  const FieldLayout* record_ = nullptr;  // what RecordLength found
  bool recordIsStation_ = false;
};

// Gathers CSV lines, with their CR LF, into the writer's blocks, after the header line
// when there is one.
template <typename Format>
class CsvGatherer {
 public:
  CsvGatherer(BlockWriter& output, Format& format, const std::string& header)
      : output_(output), format_(format), block_(output.Buffer()) {
    if (header.empty()) return;
    (header + "\r\n").copy(block_, header.size() + 2);
    used_ = header.size() + 2;
  }

  // False once writing has failed.
  bool Add(std::string_view line) {
    char* const end = format_.Convert(line, block_ + used_);
    if (end == nullptr) return true;
    end[0] = '\r';
    end[1] = '\n';
    used_ = static_cast<std::size_t>(end + 2 - block_);
    converted_ = true;
    // Hand the block over while it still has room for the longest line.
    return used_ + Format::kLongestCsvLine + 2 <= BlockWriter::kBlockCapacity || HandOver();
  }

  // Converts the whole records that follow each other from p (ConvertRecord), and
  // returns where they stop; false in ok once writing has failed.
  const char* AddRecords(const char* p, const char* end, bool& ok) {
    for (;;) {
      const std::size_t length = format_.RecordLength(p, end);
      char* const lineEnd = length > 0 && EndsWithCrLf(p, end, length) ? format_.ConvertRecord(p, block_ + used_) : nullptr;
      if (lineEnd == nullptr) return p;
      ++format_.counts.records;
      lineEnd[0] = '\r';
      lineEnd[1] = '\n';
      used_ = static_cast<std::size_t>(lineEnd + 2 - block_);
      converted_ = true;
      p += length + 2;
      if (used_ + Format::kLongestCsvLine + 2 > BlockWriter::kBlockCapacity && !HandOver()) {
        ok = false;
        return end;
      }
    }
  }

  bool Finish() {
    if (!converted_) used_ = 0;  // a header alone makes no file
    return HandOver() && output_.Finish();
  }

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
  bool converted_ = false;
};

template <typename Format>
FileOutcome Convert(File& input, const OutputTarget& target, Format&& format, const std::string& header,
                    const std::function<void(std::uint64_t bytesRead)>& onProgress) {
  BlockReader reader(input);
  // A failed write ends the reading too, which may be waiting for input that never comes.
  BlockWriter output(target, [&reader] { reader.Stop(); });
  CsvGatherer<std::remove_reference_t<Format>> csv(output, format, header);
  bool writeFailed = false;
  LineSplitter lines(Format::kKeptLength);
  const auto onLine = [&](std::string_view line) {
    if (!writeFailed) writeFailed = !csv.Add(line);
  };
  const auto takeRecords = [&](const char* p, const char* end) {
    bool ok = !writeFailed;
    p = ok ? csv.AddRecords(p, end, ok) : end;
    writeFailed = !ok;
    return p;
  };
  const auto outcome = [&](FileResult result, const std::string& reason, int error) {
    return FileOutcome{result, reason, error, format.counts};
  };

  std::uint64_t bytesRead = 0;
  for (std::string_view block; !(block = reader.Next()).empty();) {
    lines.Feed(block, onLine, takeRecords);
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

FileOutcome ConvertInBlocks(File& input, const OutputTarget& output, const LineFormat& format,
                            const std::function<void(std::uint64_t bytesRead)>& onProgress) {
  try {
    const char separator = format.Separator();
    if (format.sdr) {
      return Convert(input, output, JobPoints(format.Columns(), separator),
                     format.header, onProgress);
    }
    if (format.columns) return Convert(input, output, ColumnRecords(*format.columns, separator), format.header, onProgress);
    return Convert(input, output, WindowRecords(format.window), format.header, onProgress);
  } catch (const std::exception& e) {
    return {FileResult::WriteFailed, e.what(), 0, {}};
  }
}
