#pragma once

#include <cstdio>
#include <string>
#include <vector>

// varnel-cli's exit statuses; the highest that applies is the run's.
enum class CliStatus : int {
  Converted = 0,
  NotAllConverted = 1,  // an input could not be read, was skipped for its name, or gave no record
  WriteFailed = 2,      // an output could not be written; later inputs were not converted
  BadCommandLine = 3,   // nothing was read or written
};

// Runs varnel-cli on its arguments (UTF-8, after the program name). Results go to
// out, messages to err; the progress line appears only when showProgress is set.
CliStatus RunCli(const std::vector<std::string>& arguments, std::FILE* out, std::FILE* err, bool showProgress);
