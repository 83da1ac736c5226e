#include "cli/CliRun.h"

#include <string_view>

#include "cli/BlockConverter.h"
#include "cli/CliOptions.h"
#include "convert/File.h"
#include "convert/OutputNaming.h"
#include "startup/CommandLineFileList.h"
#include "ui/MessageSink.h"

#ifndef VARNEL_VERSION
#define VARNEL_VERSION "unknown"
#endif

namespace {

constexpr std::uint64_t kProgressStep = 16u << 20;

// The core reports its rare failures (a name too long to scan) as the window's fixed
// messages; here it is enough to know that one came.
class NotedFailure : public MessageSink {
 public:
  void ShowMessage(std::string_view) override { failed = true; }
  bool failed = false;
};

class Reporter {
 public:
  Reporter(std::FILE* err, bool showProgress) : err_(err), showProgress_(showProgress) {}

  void Problem(const std::string& path, const std::string& what) {
    ClearProgress();
    std::fprintf(err_, "varnel-cli: %s: %s\n", path.c_str(), what.c_str());
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
  std::FILE* err_;
  bool showProgress_;
  int progressLength_ = 0;
};

}  // namespace

CliStatus RunCli(const std::vector<std::string>& arguments, std::FILE* out, std::FILE* err, bool showProgress) {
  file::ReportWriteSignalsAsErrors();
  CliOptions options;
  std::string error;
  if (!ParseCliOptions(arguments, options, error)) {
    std::fprintf(err, "varnel-cli: %s\nTry 'varnel-cli --help'.\n", error.c_str());
    return CliStatus::BadCommandLine;
  }
  if (options.help) {
    std::fputs(kCliUsage, out);
    return CliStatus::Converted;
  }
  if (options.version) {
    std::fputs("varnel-cli " VARNEL_VERSION "\n", out);
    return CliStatus::Converted;
  }

  Reporter report(err, showProgress);
  CliStatus status = CliStatus::Converted;
  const std::size_t files = options.files.size();
  for (std::size_t k = 0; k < files; ++k) {
    const std::string& input = options.files[k];
    NotedFailure nameFailure;
    if (IsSdrFileName(input, nameFailure) != 1) {
      report.Problem(input, nameFailure.failed ? "skipped: the name is too long" : "skipped: the name does not end in .sdr");
      status = CliStatus::NotAllConverted;
      continue;
    }
    const std::string output = MakeCsvFileName(input, nameFailure);
    File source = File::OpenForReading(input);
    if (!source.IsOpen()) {
      report.Problem(input, "cannot read: " + LastSystemError());
      status = CliStatus::NotAllConverted;
      continue;
    }
    std::uint64_t nextReport = 0;
    const FileOutcome outcome = ConvertInBlocks(source, {output}, options.conversion, [&](std::uint64_t bytes) {
      if (bytes < nextReport) return;
      report.Progress(k + 1, files, bytes);
      nextReport = bytes + kProgressStep;
    });
    if (outcome.result == FileResult::WriteFailed) {
      report.Problem(output, "cannot write: " + outcome.reason);
      report.ClearProgress();
      return CliStatus::WriteFailed;
    }
    if (outcome.result == FileResult::ReadFailed) {
      report.Problem(input, "cannot read: " + outcome.reason);
      status = CliStatus::NotAllConverted;
    } else if (outcome.counts.records == 0) {
      report.Problem(input, outcome.counts.olderLayout ? "no records: it is an older SDR2x file, whose records are "
                                                         "not lines of 84 characters"
                                                       : "no records: no line has 84 characters");
      status = CliStatus::NotAllConverted;
    }
  }
  report.ClearProgress();
  return status;
}
