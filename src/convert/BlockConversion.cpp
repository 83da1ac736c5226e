#include "convert/BlockConversion.h"

#include <algorithm>

#include "convert/LineSplitter.h"

namespace {

// CSV lines gathered, each with its CR LF, into the output's blocks, after the header
// line when there is one.
class CsvBlock {
 public:
  // Room for the longest CSV line of any format, and for the stores that write it.
  static constexpr std::size_t kLineRoom = std::max(CsvLine::kCapacity, PointWriter::kRoom);

  CsvBlock(CsvBlockOutput& output, const std::string& header) : output_(output), block_(output.Buffer()) {
    if (header.empty()) return;
    (header + "\r\n").copy(block_, header.size() + 2);
    used_ = header.size() + 2;
  }

  // Where the next line goes, with room for kLineRoom bytes.
  char* Room() { return block_ + used_; }
  // Ends the line written at Room() up to end. False once writing has failed.
  bool Commit(char* end) {
    end[0] = '\r';
    end[1] = '\n';
    used_ = static_cast<std::size_t>(end + 2 - block_);
    converted_ = true;
    // Hand the block on while it still has room for the longest line.
    return used_ + kLineRoom + 2 <= output_.Capacity() || HandOver();
  }
  bool Finish() {
    if (!converted_) used_ = 0;  // a header alone makes no file
    return HandOver();
  }
  bool Failed() const { return failed_; }

 private:
  bool HandOver() {
    failed_ = failed_ || !output_.Submit(used_);
    block_ = output_.Buffer();
    used_ = 0;
    return !failed_;
  }

  CsvBlockOutput& output_;
  char* block_;
  std::size_t used_ = 0;
  bool converted_ = false;
  bool failed_ = false;
};

// Counts a line that is no record: a header naming SDR2x explains a file without any.
char* OtherLine(std::string_view line, FileCounts& counts) {
  ++counts.otherLines;
  if (HeaderLayout(line) == SdrLayout::Sdr2x) counts.olderLayout = true;
  return nullptr;
}

bool EndsWithCrLf(const char* p, const char* end, std::size_t length) {
  return static_cast<std::size_t>(end - p) >= length + 2 && p[length] == '\r' && p[length + 1] == '\n';
}

// Converts, straight from the block, the whole records that follow each other from p,
// each ended by CR LF, and returns where they stop. For formats whose records have a
// usual length: RecordLength(p, end) is that length for a record at p (0: none), and
// ConvertRecord(p, out) writes the CSV line of that many bytes at out and returns its
// end, or nullptr when they may hold a line end themselves, for the line by line reading.
template <typename Format>
const char* TakeWholeRecords(Format& format, const char* p, const char* end, CsvBlock& csv) {
  for (;;) {
    const std::size_t length = format.RecordLength(p, end);
    char* const lineEnd = length > 0 && EndsWithCrLf(p, end, length) ? format.ConvertRecord(p, csv.Room()) : nullptr;
    if (lineEnd == nullptr) return p;
    ++format.counts.records;
    p += length + 2;
    if (!csv.Commit(lineEnd)) return end;
  }
}

// The window's records: the lines of exactly 84 characters, converted as it converts them.
class WindowRecords {
 public:
  static constexpr std::size_t kKeptLength = kKeptLineLength;

  WindowRecords(const LineFormat& format, CsvBlock&) : converter_(format.window) {}

  // Writes the CSV line of a record at out and returns its end; nullptr for another line.
  char* Convert(std::string_view line, char* out) {
    if (line.size() != SdrLineLength) return OtherLine(line, counts);
    ++counts.records;
    return out + converter_.Convert(line, out);
  }
  const char* TakeRecords(const char* p, const char* end, CsvBlock& csv) { return TakeWholeRecords(*this, p, end, csv); }
  static std::size_t RecordLength(const char*, const char*) { return SdrLineLength; }
  char* ConvertRecord(const char* p, char* out) const { return converter_.ConvertRecord(p, out); }
  void Finish() {}
  const FileCounts& Counts() const { return counts; }

  FileCounts counts;

 private:
  const SdrLineConverter converter_;
};

// Points chosen by columns from the lines of 84 characters, as the window chooses records.
class ColumnRecords {
 public:
  static constexpr std::size_t kKeptLength = kKeptLineLength;

  ColumnRecords(const LineFormat& format, CsvBlock&) : writer_(*format.columns, format.Separator()) {}

  char* Convert(std::string_view line, char* out) {
    if (line.size() != SdrLineLength) return OtherLine(line, counts);
    ++counts.records;
    return writer_.Write(line.data(), kSdr33Point, out);
  }
  const char* TakeRecords(const char* p, const char* end, CsvBlock& csv) { return TakeWholeRecords(*this, p, end, csv); }
  static std::size_t RecordLength(const char*, const char*) { return SdrLineLength; }
  char* ConvertRecord(const char* p, char* out) {
    return MayHoldLineEnd(p, SdrLineLength) ? nullptr : writer_.Write(p, kSdr33Point, out);
  }
  void Finish() {}
  const FileCounts& Counts() const { return counts; }

  FileCounts counts;

 private:
  PointWriter writer_;
};

// Every point of SDR jobs, by the job model: each job's points are written when it ends.
class JobPoints : private survey::PointSink {
 public:
  static constexpr std::size_t kKeptLength = survey::JobReader::kKeptLength;

  JobPoints(const LineFormat& format, CsvBlock& csv) : csv_(csv), writer_(format.Columns(), format.Separator()) {}

  char* Convert(std::string_view line, char*) {
    reader_.Read(line);
    return nullptr;
  }
  const char* TakeRecords(const char* p, const char* end, CsvBlock&) { return reader_.ReadRecordRun(p, end); }
  void Finish() { reader_.Finish(); }
  const FileCounts& Counts() {
    counts_.TakeJobCounts(reader_.Counts());
    return counts_;
  }

 private:
  bool Take(const survey::JobPoint& point) override {
    return csv_.Commit(writer_.Write(point.columns, kJobPointColumns, csv_.Room()));
  }
  bool ReadsTexts() const override { return false; }

  CsvBlock& csv_;
  PointWriter writer_;
  survey::JobReader reader_{*this};
  FileCounts counts_;
};

}  // namespace

struct BlockConversion::Conversion {
  virtual ~Conversion() = default;
  virtual bool Feed(std::string_view block) = 0;
  virtual bool Finish(bool readWhole) = 0;
  virtual const FileCounts& Counts() = 0;
};

template <typename Format>
struct BlockConversion::ConversionOf final : Conversion {
  ConversionOf(const LineFormat& lineFormat, CsvBlockOutput& output)
      : csv(output, lineFormat.header), format(lineFormat, csv) {}

  bool Feed(std::string_view block) override {
    lines.Feed(block, [this](std::string_view line) { AddLine(line); },
               [this](const char* p, const char* end) { return csv.Failed() ? end : format.TakeRecords(p, end, csv); });
    return !csv.Failed();
  }
  bool Finish(bool readWhole) override {
    if (readWhole) lines.Finish([this](std::string_view line) { AddLine(line); });
    // What was converted before a read failed is kept, as the window keeps it.
    if (!csv.Failed()) format.Finish();
    return csv.Finish();
  }
  const FileCounts& Counts() override { return format.Counts(); }

  void AddLine(std::string_view line) {
    if (csv.Failed()) return;
    if (char* const end = format.Convert(line, csv.Room())) csv.Commit(end);
  }

  CsvBlock csv;
  Format format;
  LineSplitter lines{Format::kKeptLength};
};

BlockConversion::BlockConversion(const LineFormat& format, CsvBlockOutput& output) {
  if (format.sdr) {
    conversion_ = std::make_unique<ConversionOf<JobPoints>>(format, output);
  } else if (format.columns) {
    conversion_ = std::make_unique<ConversionOf<ColumnRecords>>(format, output);
  } else {
    conversion_ = std::make_unique<ConversionOf<WindowRecords>>(format, output);
  }
}

BlockConversion::~BlockConversion() = default;

bool BlockConversion::Feed(std::string_view block) { return conversion_->Feed(block); }

bool BlockConversion::Finish(bool readWhole) { return conversion_->Finish(readWhole); }

const FileCounts& BlockConversion::Counts() const { return conversion_->Counts(); }
