#pragma once

#include <string>
#include <vector>

#include "convert/SdrRecord.h"

// What the command line of varnel-cli asks for.
struct CliOptions {
  ConversionOptions conversion;  // semicolon, X and Y exchanged: as the window starts
  std::vector<std::string> files;
  bool help = false;
  bool version = false;
};

// Parses the arguments after the program name (UTF-8). Returns false and fills error
// when they make no sense.
bool ParseCliOptions(const std::vector<std::string>& arguments, CliOptions& options, std::string& error);

extern const char* const kCliUsage;
