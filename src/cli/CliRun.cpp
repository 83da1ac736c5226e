#include "cli/CliRun.h"

#include <algorithm>
#include <cerrno>
#include <map>
#include <string_view>

#include "cli/BlockConverter.h"
#include "cli/CliOptions.h"
#include "cli/Folders.h"
#include "cli/JobDrawing.h"
#include "convert/File.h"
#include "convert/OutputNaming.h"
#include "ui/MessageSink.h"

#ifndef VARNEL_VERSION
#define VARNEL_VERSION "unknown"
#endif

namespace {

constexpr std::uint64_t kProgressStep = 16u << 20;
constexpr const char* kStandardStreams = "-";

// MakeCsvFileName reports its one failure, a name too long to scan, as the window's
// fixed message; an empty name says the same.
class Ignored : public MessageSink {
 public:
  void ShowMessage(std::string_view) override {}
};

constexpr const char* kTooLong = "skipped: the name is too long";

// One input of the run: a file to convert into its CSV file, or a name left out.
struct Job {
  std::string input;    // as named: a path, or - for standard input
  OutputTarget output;  // its path is empty for standard output
  std::string skipped;  // why the input is not converted, when it is not
};

// The job for input: its CSV file beside it, or at relative's place under the output folder.
Job JobOf(const CliOptions& options, const std::string& input, const std::string& relative) {
  Ignored ignored;
  Job job{input, {}, {}};
  job.output.replace = options.overwrite;
  std::string name = MakeCsvFileName(options.outputFolder ? relative : input, ignored);
  if (options.dxf && !name.empty()) name.replace(name.size() - 3, 3, "dxf");
  if (name.empty()) {
    job.skipped = kTooLong;
  } else if (!options.outputFolder) {
    job.output.path = name;
  } else {
    job.output.path = folders::Join(*options.outputFolder, name);
    job.output.folder = folders::Parent(job.output.path);
  }
  return job;
}

// What the arguments name: files, the .sdr files under folders, standard input. False,
// with error, when they name something that cannot be done.
bool ListJobs(const CliOptions& options, std::vector<Job>& jobs, std::string& error) {
  for (const std::string& argument : options.files) {
    const folders::NameKind kind = folders::KindOf(argument);
    if (argument == kStandardStreams) {
      jobs.push_back({argument, {}, {}});
    } else if (kind == folders::NameKind::TooLong) {
      jobs.push_back({argument, {}, kTooLong});
    } else if (folders::IsFolder(argument)) {
      std::string reason;
      const std::optional<folders::SdrFiles> found = folders::SdrFilesUnder(argument, reason);
      if (!found) {
        jobs.push_back({argument, {}, "cannot read: " + reason});
        continue;
      }
      if (found->files.empty()) jobs.push_back({argument, {}, "no .sdr files in it"});
      for (const auto& [folder, why] : found->unreadable) jobs.push_back({folder, {}, "cannot read: " + why});
      for (const std::string& relative : found->files) {
        jobs.push_back(JobOf(options, folders::Join(argument, relative), relative));
      }
    } else if (kind == folders::NameKind::Sdr) {
      jobs.push_back(JobOf(options, argument, folders::Name(argument)));
    } else {
      jobs.push_back({argument, {}, "skipped: the name does not end in .sdr"});
    }
  }
  if (std::count_if(jobs.begin(), jobs.end(), [](const Job& job) { return job.input == kStandardStreams; }) > 1) {
    error = "standard input (-) can be read only once";
    return false;
  }
  // Two inputs of one CSV file append to it in turn, as in the window; but one would
  // replace what the other wrote, and an output folder brings files of one name together.
  if (!options.outputFolder && !options.overwrite && !options.dxf) return true;
  std::map<std::string, const Job*> writers;
  for (const Job& job : jobs) {
    if (!job.skipped.empty() || job.output.path.empty()) continue;
    const auto [earlier, added] = writers.emplace(folders::SameFileKey(job.output.path), &job);
    if (!added) {
      error = "'" + earlier->second->input + "' and '" + job.input + "' would both write " + job.output.path;
      return false;
    }
  }
  return true;
}

std::string Counted(std::uint64_t count, const char* what) {
  return std::to_string(count) + " " + what + (count == 1 ? "" : "s");
}

// "; K observations not reduced: " and each reason with its count, or "" when every
// observation with a distance and readings was reduced.
std::string NotReduced(const FileCounts& counts) {
  constexpr const char* kReasons[survey::kNotReducedReasons] = {"without station coordinates", "with angles to the left",
                                                                "without an angle unit", "with coordinates out of range"};
  std::string reasons;
  std::uint64_t total = 0;
  for (std::size_t k = 0; k < survey::kNotReducedReasons; ++k) {
    if (counts.notReduced[k] == 0) continue;
    reasons += (total > 0 ? ", " : "") + std::to_string(counts.notReduced[k]) + " " + kReasons[k];
    total += counts.notReduced[k];
  }
  return total == 0 ? "" : "; " + Counted(total, "observation") + " not reduced: " + reasons;
}

class Reporter {
 public:
  Reporter(std::FILE* err, bool quiet, bool showProgress) : err_(err), quiet_(quiet), showProgress_(showProgress && !quiet) {}

  // A warning or an error: always shown.
  void Problem(const std::string& path, const std::string& what) { Line(path, what); }

  // What a file held: left out when quiet.
  void Counts(const std::string& path, const FileCounts& counts, bool sdr) {
    if (quiet_) return;
    const std::string notDrawn =
        counts.leftOut > 0 ? ", " + std::to_string(counts.leftOut) + " not drawn: north or east is not a number" : "";
    if (!sdr) {
      Line(path, Counted(counts.records, "record") + ", " + Counted(counts.otherLines, "other line") + notDrawn);
      return;
    }
    Line(path, Counted(counts.records, "point") + " (" + Counted(counts.stations, "station") + ", " +
                   std::to_string(counts.fromObservations) + " from observations), " +
                   Counted(counts.otherLines, "other line") + notDrawn + NotReduced(counts));
  }

  void Progress(std::size_t file, std::size_t files, std::uint64_t bytes) {
    if (!showProgress_) return;
    const int length = std::fprintf(err_, "\rvarnel-cli: file %zu of %zu, %llu MiB read", file, files,
                                    static_cast<unsigned long long>(bytes >> 20));
    progressLength_ = length > 0 ? length : 0;
    std::fflush(err_);
  }

  void ClearProgress() {
    if (progressLength_ == 0) return;
    std::fprintf(err_, "\r%*s\r", progressLength_, "");
    progressLength_ = 0;
  }

 private:
  void Line(const std::string& path, const std::string& what) {
    ClearProgress();
    std::fprintf(err_, "varnel-cli: %s: %s\n", folders::Printable(path).c_str(), what.c_str());
  }

  std::FILE* err_;
  bool quiet_;
  bool showProgress_;
  int progressLength_ = 0;
};

std::string NothingConverted(const FileCounts& counts, bool sdr) {
  if (counts.leftOut > 0) return "no drawing: the north or east of every point is not a number";
  if (sdr) return "no points: no coordinate record reaches its east field, and no observation was reduced" + NotReduced(counts);
  if (counts.olderLayout) {
    return "no records: it is an older SDR2x file, whose records are not lines of 84 characters (--sdr reads them)";
  }
  return "no records: no line has 84 characters";
}

}  // namespace

CliStatus RunCli(const std::vector<std::string>& arguments, std::FILE* out, std::FILE* err, bool showProgress) {
  file::ReportWriteSignalsAsErrors();
  file::KeepStandardDescriptorsTaken();
  CliOptions options;
  std::vector<Job> jobs;
  std::string error;
  if (!ParseCliOptions(arguments, options, error) ||
      (!options.help && !options.version && !ListJobs(options, jobs, error))) {
    // The error quotes arguments: names, or whatever was typed.
    std::fprintf(err, "varnel-cli: %s\nTry 'varnel-cli --help'.\n", folders::Printable(error).c_str());
    return CliStatus::BadCommandLine;
  }
  if (options.help || options.version) {
    std::fputs(options.help ? kCliUsage : "varnel-cli " VARNEL_VERSION "\n", out);
    return CliStatus::Converted;
  }

  LineFormat format{options.conversion, options.columns, options.sdr, {}};
  const std::string header = ColumnHeader(format.Columns(), format.Separator());
  Reporter report(err, options.quiet, showProgress);
  CliStatus status = CliStatus::Converted;
  const auto notAll = [&] { status = std::max(status, CliStatus::NotAllConverted); };
  for (std::size_t k = 0; k < jobs.size(); ++k) {
    const Job& job = jobs[k];
    const bool toStandardOutput = job.output.path.empty();
    if (!job.skipped.empty()) {
      report.Problem(job.input, job.skipped);
      notAll();
      continue;
    }
    File source = job.input == kStandardStreams ? File::StandardInput() : File::OpenForReading(job.input);
    if (!source.IsOpen()) {
      report.Problem(job.input, "cannot read: " + LastSystemError());
      notAll();
      continue;
    }
    // The header goes only into a CSV file that starts with this run.
    const bool startsAnew = toStandardOutput || options.overwrite || !folders::Exists(job.output.path);
    format.header = options.header && startsAnew ? header : std::string();
    std::uint64_t nextReport = 0;
    const auto onProgress = [&](std::uint64_t bytes) {
      if (bytes < nextReport) return;
      report.Progress(k + 1, jobs.size(), bytes);
      nextReport = bytes + kProgressStep;
    };
    const FileOutcome outcome = options.dxf ? DrawJob(source, job.output, options.drawing, onProgress)
                                            : ConvertInBlocks(source, job.output, format, onProgress);
    if (outcome.result == FileResult::WriteFailed) {
      // A reader that stopped reading (| head) has all it wanted: the run ends quietly.
      if (!toStandardOutput || outcome.error != EPIPE) {
        report.Problem(toStandardOutput ? "standard output" : job.output.path, "cannot write: " + outcome.reason);
      }
      report.ClearProgress();
      return CliStatus::WriteFailed;
    }
    if (outcome.result == FileResult::ReadFailed) {
      report.Problem(job.input, "cannot read: " + outcome.reason);
      notAll();
    } else if (outcome.counts.records == outcome.counts.leftOut) {
      report.Problem(job.input, NothingConverted(outcome.counts, options.sdr));
      notAll();
    } else {
      report.Counts(job.input, outcome.counts, options.sdr);
    }
  }
  report.ClearProgress();
  return status;
}
