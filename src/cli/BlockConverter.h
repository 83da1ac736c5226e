#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "cli/BlockWriter.h"
#include "convert/PointColumns.h"
#include "convert/SdrRecord.h"

class File;

// How varnel-cli turns lines into CSV lines.
struct LineFormat {
  ConversionOptions window;             // the separator, and the window's exchange of X and Y
  std::optional<ColumnChoice> columns;  // chosen columns, quoted where they need it
  bool sdr = false;                     // every point of SDR jobs, record by record
  std::string header;                   // a first line, before the first CSV line, when not empty

  // The separator as one character.
  char Separator() const { return window.CommaSelected ? ',' : window.TabSelected ? '\t' : ';'; }
  // The columns chosen, or else the window's.
  ColumnChoice Columns() const { return columns.value_or(WindowColumns(window.ChangeXY)); }
};

// How converting one file ended.
enum class FileResult { Converted, ReadFailed, WriteFailed };

// What a file held.
struct FileCounts {
  std::uint64_t records = 0;   // records converted; with sdr, points
  std::uint64_t stations = 0;  // with sdr, the points that are stations
  std::uint64_t otherLines = 0;
  bool olderLayout = false;  // a header named SDR2x, whose records are not of 84 characters
  std::uint64_t leftOut = 0;  // in a drawing, points not drawn: their north or east is not a number
};

struct FileOutcome {
  FileResult result = FileResult::Converted;
  std::string reason;  // the platform's reason when reading or writing failed
  int error = 0;       // its error number, when it has one
  FileCounts counts;
};

// Converts input into output, reading and writing in large blocks; without columns
// and sdr, with the same bytes as the window. A file is created at the first CSV line
// and appended to, unless output says to replace it; a failed write leaves it with whole
// lines only. onProgress is called with the count of input bytes read so far.
FileOutcome ConvertInBlocks(File& input, const OutputTarget& output, const LineFormat& format,
                            const std::function<void(std::uint64_t bytesRead)>& onProgress);
