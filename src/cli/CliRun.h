#pragma once

#include <cstdio>
#include <string>
#include <vector>

// varnel-cli's exit statuses.
enum class CliStatus : int { Converted = 0, ReadFailed = 1, WriteFailed = 2, BadCommandLine = 3 };

// Runs varnel-cli on its arguments (UTF-8, after the program name). Results go to
// out, messages to err; the progress line appears only when showProgress is set.
CliStatus RunCli(const std::vector<std::string>& arguments, std::FILE* out, std::FILE* err, bool showProgress);
