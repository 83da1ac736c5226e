#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "convert/PointColumns.h"
#include "convert/SdrRecord.h"
#include "survey/JobReader.h"

// How a file's lines become CSV lines when a whole file is converted a block at a time.
struct LineFormat {
  ConversionOptions window;             // the separator, and the window's exchange of X and Y
  std::optional<ColumnChoice> columns;  // chosen columns, quoted where they need it
  bool sdr = false;                     // every point of SDR jobs, by the job model
  std::string header;                   // a first line, before the first CSV line, when not empty

  // The separator as one character.
  char Separator() const { return SeparatorText(window).front(); }
  // The columns chosen; else those of survey point files with sdr, and the window's without.
  ColumnChoice Columns() const {
    return columns ? *columns : sdr ? JobColumns(false) : WindowColumns(window.ChangeXY);
  }
};

// What a file held.
struct FileCounts {
  std::uint64_t records = 0;           // records converted; with sdr, points written
  std::uint64_t otherLines = 0;        // with sdr, lines that neither gave coordinates nor were reduced
  bool olderLayout = false;            // a header named SDR2x, whose records are not of 84 characters
  std::uint64_t stations = 0;          // with sdr, the points with a station record in their job
  std::uint64_t fromObservations = 0;  // with sdr, the points reduced from an observation
  std::array<std::uint64_t, survey::kNotReducedReasons> notReduced{};  // with sdr, by survey::NotReduced
  std::uint64_t leftOut = 0;  // in a drawing, points not drawn: their north or east is not a number

  // Takes what the job model counted of the file.
  void TakeJobCounts(const survey::JobCounts& job) {
    records = job.points;
    stations = job.stations;
    fromObservations = job.fromObservations;
    otherLines = job.otherLines;
    notReduced = job.notReduced;
  }
};

// Where CSV lines go, a block of whole lines at a time: a file, or the page's downloads.
class CsvBlockOutput {
 public:
  // Half a megabyte: the block being filled and the one being written stay in cache.
  static constexpr std::size_t kBlockCapacity = 512 << 10;

  explicit CsvBlockOutput(std::size_t capacity = kBlockCapacity) : capacity_(capacity) {}
  // How many bytes a block holds at the most.
  std::size_t Capacity() const { return capacity_; }
  // Room for Capacity() bytes to gather the next block in.
  virtual char* Buffer() = 0;
  // Hands the first size bytes of Buffer() on. False once writing has failed.
  virtual bool Submit(std::size_t size) = 0;

 protected:
  ~CsvBlockOutput() = default;

 private:
  std::size_t capacity_;
};

// A file whose front end reads it and takes its CSV lines, in blocks (the page).
class BlockFile : public CsvBlockOutput {
 public:
  using CsvBlockOutput::CsvBlockOutput;
  // Reads the next bytes of the file into buffer: their count, 0 at its end, -1 when
  // reading failed.
  virtual std::ptrdiff_t Read(char* buffer, std::size_t size) = 0;

 protected:
  ~BlockFile() = default;
};

// Converts a file's bytes, handed over in blocks of any size, into CSV lines in the
// output's blocks; without columns and sdr, with the same bytes as the window. Lines end
// at CR LF, CR or LF; each CSV line ends with CR LF. The runs of records that make up most
// files are converted straight from the blocks.
class BlockConversion {
 public:
  BlockConversion(const LineFormat& format, CsvBlockOutput& output);
  ~BlockConversion();
  BlockConversion(const BlockConversion&) = delete;
  BlockConversion& operator=(const BlockConversion&) = delete;

  // Converts the lines that block completes. False once writing has failed.
  bool Feed(std::string_view block);
  // Converts what is left: the last line, when the input was read whole, and with sdr
  // the points of the job in progress, also when reading failed. Hands the last block
  // on, unless it holds no more than the header. False once writing has failed.
  bool Finish(bool readWhole);
  const FileCounts& Counts() const;

 private:
  struct Conversion;
  template <typename Format>
  struct ConversionOf;
  std::unique_ptr<Conversion> conversion_;
};
