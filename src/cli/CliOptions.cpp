#include "cli/CliOptions.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <string_view>
#include <utility>

#include "survey/Number.h"

const char* const kCliUsage =
    "Usage: varnel-cli [OPTION]... FILE...\n"
    "Converts the records of SDR files into CSV files beside them (FILE with its\n"
    "extension replaced by .csv, appended to when it exists). By default only lines of\n"
    "84 characters are records, converted byte for byte as the Varnel window does.\n"
    "A folder stands for every .sdr file under it; - reads standard input and writes\n"
    "standard output.\n"
    "\n"
    "  -s, --separator=SEP     semicolon (the default), comma or tab\n"
    "  -k, --keep-xy           keep X and Y in input order (by default they are exchanged)\n"
    "      --sdr               read each file as SDR jobs, SDR33 or the older SDR2x: every\n"
    "                          point of a job once, from its coordinate records (08, 02,\n"
    "                          18, 15) or else reduced from its observations (09); the\n"
    "                          columns P,N,E,Z,D unless --columns names others\n"
    "  -c, --columns=LETTERS   which fields, in which order: P point, N north, E east,\n"
    "                          Z elevation, D code (e.g. PNEZD); fields that hold the\n"
    "                          separator or a double quote are quoted\n"
    "      --header            start a CSV file that did not exist with a line naming\n"
    "                          the columns\n"
    "      --overwrite         replace an existing CSV file instead of appending to it\n"
    "      --dxf               write a drawing of each job's points, NAME.dxf (AutoCAD\n"
    "                          R12), instead: a layer per code, labels with the id,\n"
    "                          elevation and code; replaces an older drawing whole\n"
    "      --codepage=N        the code page of the drawing's texts: 1251 (the default),\n"
    "                          1250 to 1258, 874, 932, 936, 949 or 950\n"
    "      --text-height=H     the labels' height in drawing units (default 0.2)\n"
    "  -o, --output-dir=DIR    write the files into DIR (made if missing)\n"
    "  -q, --quiet             leave out the line per file and the progress\n"
    "  -h, --help              show this help and exit\n"
    "  -V, --version           show the version and exit\n"
    "  --                      take every later argument as a file\n"
    "\n"
    "Exit status, the highest that applies:\n"
    "  0  every file was converted\n"
    "  1  a file could not be read, was skipped for its name, or held no record\n"
    "  2  an output file could not be written: it keeps whole lines only, and later\n"
    "     files were not converted (also when standard output closes early)\n"
    "  3  the command line was wrong: nothing was read or written\n";

namespace {

bool SetSeparator(const std::string& name, CliOptions& options, std::string& error) {
  constexpr std::pair<std::string_view, char> kNames[] = {{"semicolon", ';'}, {";", ';'}, {"comma", ','}, {",", ','}, {"tab", '\t'}};
  for (const auto& [known, separator] : kNames) {
    if (name != known) continue;
    SelectSeparator(options.conversion, separator);
    return true;
  }
  error = "unknown separator '" + name + "': use semicolon, comma or tab";
  return false;
}

bool SetColumns(const std::string& letters, CliOptions& options, std::string& error) {
  options.columns = ParseColumns(letters);
  if (options.columns) return true;
  error = "unknown columns '" + letters + "': use the letters P, N, E, Z and D, each at most once";
  return false;
}

bool SetOutputFolder(const std::string& folder, CliOptions& options, std::string& error) {
  options.outputFolder = folder;
  if (!folder.empty()) return true;
  error = "the output folder is empty";
  return false;
}

bool SetCodePage(const std::string& value, CliOptions& options, std::string& error) {
  int& codePage = options.drawing.codePage;
  const std::from_chars_result end = std::from_chars(value.data(), value.data() + value.size(), codePage);
  if (end.ec == std::errc() && end.ptr == value.data() + value.size() && survey::IsDxfCodePage(codePage)) return true;
  error = "unknown code page '" + value + "': use 1250 to 1258, 874, 932, 936, 949 or 950";
  return false;
}

bool SetTextHeight(const std::string& value, CliOptions& options, std::string& error) {
  // Drawings write four decimals: a smaller height would be none.
  options.drawing.textHeight = survey::ParseNumber(value).value_or(0);
  if (options.drawing.textHeight >= 1e-4) return true;
  error = "wrong text height '" + value + "': use a number of drawing units from 0.0001";
  return false;
}

struct Option {
  char letter;  // 0: none
  std::string_view name;
  bool (*takeValue)(const std::string& value, CliOptions& options, std::string& error);
  bool CliOptions::*flag;
};

constexpr std::array kOptions = {
    Option{'s', "separator", SetSeparator, nullptr},   Option{'c', "columns", SetColumns, nullptr},
    Option{'o', "output-dir", SetOutputFolder, nullptr}, Option{'k', "keep-xy", nullptr, &CliOptions::keepXY},
    Option{0, "sdr", nullptr, &CliOptions::sdr},       Option{0, "header", nullptr, &CliOptions::header},
    Option{0, "overwrite", nullptr, &CliOptions::overwrite}, Option{'q', "quiet", nullptr, &CliOptions::quiet},
    Option{'h', "help", nullptr, &CliOptions::help},   Option{'V', "version", nullptr, &CliOptions::version},
    Option{0, "dxf", nullptr, &CliOptions::dxf},       Option{0, "codepage", SetCodePage, nullptr},
    Option{0, "text-height", SetTextHeight, nullptr},
};

constexpr std::string_view kCsvOnly[] = {"separator", "columns", "header", "keep-xy"};
constexpr std::string_view kDxfOnly[] = {"codepage", "text-height"};

}  // namespace

bool ParseCliOptions(const std::vector<std::string>& arguments, CliOptions& options, std::string& error) {
  bool onlyFiles = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (onlyFiles || argument.size() < 2 || argument[0] != '-') {
      options.files.push_back(argument);
      continue;
    }
    if (argument == "--") {
      onlyFiles = true;
      continue;
    }
    // --name, --name=value, --name value; -x, -x value, -xvalue.
    const bool isLong = argument[1] == '-';
    const std::size_t equals = isLong ? argument.find('=') : std::string::npos;
    const std::string_view name = isLong ? std::string_view(argument).substr(2, equals - 2) : std::string_view();
    const Option* option = nullptr;
    for (const Option& candidate : kOptions) {
      if (isLong ? candidate.name == name : candidate.letter == argument[1]) option = &candidate;
    }
    if (option == nullptr || (isLong && option->takeValue == nullptr && equals != std::string::npos) ||
        (!isLong && option->takeValue == nullptr && argument.size() > 2)) {
      error = "unknown option '" + argument + "'";
      return false;
    }
    const auto among = [&](const auto& names) { return std::ranges::find(names, option->name) != std::end(names); };
    if (among(kCsvOnly)) options.csvOnly = option->name;
    if (among(kDxfOnly)) options.dxfOnly = option->name;
    if (option->takeValue != nullptr) {
      std::string value;
      if (equals != std::string::npos) {
        value = argument.substr(equals + 1);
      } else if (!isLong && argument.size() > 2) {
        value = argument.substr(2);
      } else if (i + 1 < arguments.size()) {
        value = arguments[++i];
      } else {
        error = "option '" + argument + "' needs a value";
        return false;
      }
      if (!option->takeValue(value, options, error)) return false;
    } else {
      options.*(option->flag) = true;
    }
  }
  options.conversion.ChangeXY = !options.keepXY;
  options.sdr = options.sdr || options.dxf;
  if (options.dxf ? !options.csvOnly.empty() : !options.dxfOnly.empty()) {
    error = options.dxf ? "--" + std::string(options.csvOnly) + " is for CSV files, not for --dxf"
                        : "--" + std::string(options.dxfOnly) + " goes with --dxf only";
    return false;
  }
  if (options.keepXY && options.columns) {
    error = "--keep-xy and --columns cannot go together: name the columns in their order";
    return false;
  }
  if (options.keepXY && options.sdr) {
    error = "--keep-xy and --sdr cannot go together: --sdr writes P,N,E,Z,D, or the columns named by --columns";
    return false;
  }
  if (options.files.empty() && !options.help && !options.version) {
    error = "no files given";
    return false;
  }
  return true;
}
