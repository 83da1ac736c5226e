#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "cli/BlockWriter.h"
#include "convert/SdrRecord.h"

class File;

// How converting one file ended.
enum class FileResult { Converted, ReadFailed, WriteFailed };

// What a file held.
struct FileCounts {
  std::uint64_t records = 0;
  std::uint64_t otherLines = 0;
  bool olderLayout = false;  // a header named SDR2x, whose records are not of 84 characters
};

struct FileOutcome {
  FileResult result = FileResult::Converted;
  std::string reason;  // the platform's reason when reading or writing failed
  int error = 0;       // its error number, when it has one
  FileCounts counts;
};

// Converts input into output as the window does, with the same bytes, but reading and
// writing in large blocks. A file is created at the first CSV line and appended to; a
// failed write leaves it with whole lines only. onProgress is called with the count of
// input bytes read so far.
FileOutcome ConvertInBlocks(File& input, const OutputTarget& output, const ConversionOptions& options,
                            const std::function<void(std::uint64_t bytesRead)>& onProgress);
