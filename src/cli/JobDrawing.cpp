#include "cli/JobDrawing.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>

#include "cli/BlockReader.h"
#include "cli/Folders.h"
#include "convert/File.h"
#include "convert/LineSplitter.h"
#include "convert/SdrJob.h"
#include "convert/SdrRecord.h"

namespace {

// A field's text as the CSV columns write it: without any byte of code 0 to 32, or, for
// the code, without those at its ends. Bytes left out are copied to kept, which has room.
std::string_view ColumnText(std::string_view field, bool code, char* kept) {
  const auto blank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
  if (!code) return {kept, static_cast<std::size_t>(std::remove_copy_if(field.begin(), field.end(), kept, blank) - kept)};
  while (!field.empty() && blank(field.front())) field.remove_prefix(1);
  while (!field.empty() && blank(field.back())) field.remove_suffix(1);
  return field;
}

// The points of the job in input, each handed to onPoint once: the one place that knows
// where they come from. Until the job model reads whole jobs, they are the records that
// --sdr converts, with the texts of its columns. False, with reason, when reading fails.
bool ReadJobPoints(File& input, FileCounts& counts, std::string& reason,
                   const std::function<void(std::uint64_t bytesRead)>& onProgress,
                   const std::function<void(const survey::JobPoint&)>& onPoint) {
  SdrJobReader job;
  char kept[5][SdrFieldWidth];
  const auto onLine = [&](std::string_view line) {
    bool station = false;
    const FieldLayout* layout = job.Read(line, station);
    if (layout == nullptr) {
      ++counts.otherLines;
      return;
    }
    std::string_view texts[5];  // a record cut short lacks its last fields' blanks
    for (std::size_t k = 0; k < 5; ++k) {
      const std::string_view field = line.substr(std::min<std::size_t>(layout->start[k], line.size()), layout->width[k]);
      texts[k] = ColumnText(field, k == 4, kept[k]);
    }
    onPoint({texts[0], texts[1], texts[2], texts[3], texts[4], station, false});
  };
  LineSplitter lines(SdrJobReader::kKeptLength);
  BlockReader reader(input);
  std::uint64_t bytesRead = 0;
  for (std::string_view block; !(block = reader.Next()).empty();) {
    lines.Feed(block, onLine);
    onProgress(bytesRead += block.size());
  }
  if (reader.Failed()) {
    reason = reader.Reason();
    return false;
  }
  lines.Finish(onLine);
  return true;
}

// Writes the drawing to output; false, with errno, on failure.
bool WriteDrawing(const survey::DxfDrawing& drawing, const OutputTarget& output) {
  if (output.path.empty()) {
    const int out = fileno(stdout);
    return drawing.Write([&](std::string_view bytes) { return file::AppendWholeLines(out, bytes) == file::AppendResult::Written; });
  }
  FileReplacement file(output.path);
  return file.IsOpen() && drawing.Write([&](std::string_view bytes) { return file.Write(bytes); }) && file.Commit();
}

}  // namespace

FileOutcome DrawJob(File& input, const OutputTarget& output, const survey::DxfSettings& settings,
                    const std::function<void(std::uint64_t bytesRead)>& onProgress) {
  FileOutcome outcome;
  try {
    survey::DxfDrawing drawing(settings);
    const bool read = ReadJobPoints(input, outcome.counts, outcome.reason, onProgress, [&](const survey::JobPoint& point) {
      ++outcome.counts.records;
      outcome.counts.stations += point.station;
      outcome.counts.leftOut += !drawing.Add(point);
    });
    if (!read) {
      outcome.result = FileResult::ReadFailed;
    } else if (drawing.PointCount() > 0) {
      errno = 0;
      if (!output.folder.empty() && !folders::Make(output.folder, outcome.reason)) {
        outcome.result = FileResult::WriteFailed;
      } else if (!WriteDrawing(drawing, output)) {
        outcome.result = FileResult::WriteFailed;
        outcome.error = errno != 0 ? errno : EIO;
        outcome.reason = std::strerror(outcome.error);
      }
    }
  } catch (const std::bad_alloc&) {
    outcome.result = FileResult::WriteFailed;
    outcome.reason = "not enough memory to hold the drawing's points";
  }
  return outcome;
}
