#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "convert/SdrRecord.h"

// How converting one file ended.
enum class FileResult { Converted, ReadFailed, WriteFailed };

struct FileOutcome {
  FileResult result = FileResult::Converted;
  std::string reason;  // the platform's reason when reading or writing failed
};

// Converts inputPath into outputPath as the window does, with the same bytes, but
// reading and writing in large blocks. The output file is created at the first CSV
// line and appended to; a failed write leaves it with whole lines only.
// onProgress is called with the count of input bytes read so far.
FileOutcome ConvertFileInBlocks(const std::string& inputPath, const std::string& outputPath,
                                const ConversionOptions& options,
                                const std::function<void(std::uint64_t bytesRead)>& onProgress);
