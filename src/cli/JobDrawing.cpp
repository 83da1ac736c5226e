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
#include "survey/JobReader.h"

namespace {

// The points of the job in input, each handed to onPoint once, by the job model. False,
// with reason, when reading fails; the points of the jobs read before stay drawn.
bool ReadJobPoints(File& input, FileCounts& counts, std::string& reason,
                   const std::function<void(std::uint64_t bytesRead)>& onProgress,
                   const std::function<void(const survey::JobPoint&)>& onPoint) {
  struct Sink : survey::PointSink {
    const std::function<void(const survey::JobPoint&)>& onPoint;
    explicit Sink(const std::function<void(const survey::JobPoint&)>& on) : onPoint(on) {}
    bool Take(const survey::JobPoint& point) override {
      onPoint(point);
      return true;
    }
  } sink(onPoint);
  survey::JobReader job(sink);
  const auto onLine = [&](std::string_view line) { job.Read(line); };
  LineSplitter lines(survey::JobReader::kKeptLength);
  BlockReader reader(input);
  std::uint64_t bytesRead = 0;
  for (std::string_view block; !(block = reader.Next()).empty();) {
    lines.Feed(block, onLine, [&](const char* p, const char* end) { return job.ReadRecordRun(p, end); });
    onProgress(bytesRead += block.size());
  }
  if (!reader.Failed()) lines.Finish(onLine);
  job.Finish();
  counts.TakeJobCounts(job.Counts());
  reason = reader.Failed() ? reader.Reason() : std::string();
  return !reader.Failed();
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
