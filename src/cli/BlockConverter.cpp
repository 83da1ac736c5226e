#include "cli/BlockConverter.h"

#include <exception>

#include "cli/BlockReader.h"
#include "convert/File.h"

FileOutcome ConvertInBlocks(File& input, const OutputTarget& output, const LineFormat& format,
                            const std::function<void(std::uint64_t bytesRead)>& onProgress) {
  try {
    BlockReader reader(input);
    // A failed write ends the reading too, which may be waiting for input that never comes.
    BlockWriter writer(output, [&reader] { reader.Stop(); });
    if (format.sdr) writer.StartEarly();  // before the job's points fill memory
    BlockConversion conversion(format, writer);
    const auto outcome = [&](FileResult result, const std::string& reason, int error) {
      return FileOutcome{result, reason, error, conversion.Counts()};
    };
    std::uint64_t bytesRead = 0;
    for (std::string_view block; !(block = reader.Next()).empty();) {
      if (!conversion.Feed(block)) return outcome(FileResult::WriteFailed, writer.Reason(), writer.Error());
      onProgress(bytesRead += block.size());
    }
    if (!conversion.Finish(!reader.Failed()) || !writer.Finish()) {
      return outcome(FileResult::WriteFailed, writer.Reason(), writer.Error());
    }
    if (reader.Failed()) return outcome(FileResult::ReadFailed, reader.Reason(), 0);
    return outcome(FileResult::Converted, {}, 0);
  } catch (const std::exception& e) {
    return {FileResult::WriteFailed, e.what(), 0, {}};
  }
}
