#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "cli/BlockWriter.h"
#include "convert/BlockConversion.h"

class File;

// How converting one file ended.
enum class FileResult { Converted, ReadFailed, WriteFailed };

struct FileOutcome {
  FileResult result = FileResult::Converted;
  std::string reason;  // the platform's reason when reading or writing failed
  int error = 0;       // its error number, when it has one
  FileCounts counts;
};

// Converts input into output (BlockConversion), reading ahead on one thread and writing
// on another. A file is created at the first CSV line and appended to, unless output
// says to replace it; a failed write leaves it with whole lines only. onProgress is
// called with the count of input bytes read so far.
FileOutcome ConvertInBlocks(File& input, const OutputTarget& output, const LineFormat& format,
                            const std::function<void(std::uint64_t bytesRead)>& onProgress);
