#pragma once

#include <optional>
#include <string>
#include <vector>

#include "convert/PointColumns.h"
#include "convert/SdrRecord.h"
#include "survey/DxfDrawing.h"

// What the command line of varnel-cli asks for.
struct CliOptions {
  ConversionOptions conversion;          // semicolon, X and Y exchanged: as the window starts
  bool keepXY = false;                   // -k: X and Y in input order
  std::optional<ColumnChoice> columns;   // -c; otherwise the window's columns
  bool sdr = false;                      // read SDR jobs record by record
  bool header = false;
  bool overwrite = false;
  bool quiet = false;
  std::optional<std::string> outputFolder;
  std::vector<std::string> files;        // files, folders, and - for standard input
  bool help = false;
  bool version = false;
  bool dxf = false;                      // a drawing of each job instead of CSV (--sdr implied)
  survey::DxfSettings drawing;           // its code page and text height
  std::string_view csvOnly, dxfOnly;     // the last option given that only CSV, or only --dxf, takes
};

// Parses the arguments after the program name (UTF-8). Returns false and fills error
// when they make no sense.
bool ParseCliOptions(const std::vector<std::string>& arguments, CliOptions& options, std::string& error);

extern const char* const kCliUsage;
