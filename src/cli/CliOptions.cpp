#include "cli/CliOptions.h"

const char* const kCliUsage =
    "Usage: varnel-cli [OPTION]... FILE...\n"
    "Converts the 84-character records of SDR files into CSV files beside them\n"
    "(FILE with its extension replaced by .csv, appended to when it exists).\n"
    "\n"
    "  -s, --separator=SEP  semicolon (the default), comma or tab\n"
    "  -k, --keep-xy        keep X and Y in input order (by default they are exchanged)\n"
    "  -h, --help           show this help and exit\n"
    "  -V, --version        show the version and exit\n"
    "  --                   take every later argument as a file\n"
    "\n"
    "Exit status, the highest that applies:\n"
    "  0  every file was converted\n"
    "  1  a file could not be read, was skipped for its name, or held no record\n"
    "  2  an output file could not be written: it keeps whole lines only, and later\n"
    "     files were not converted (also when standard output closes early)\n"
    "  3  the command line was wrong: nothing was read or written\n";

namespace {

bool SetSeparator(const std::string& name, ConversionOptions& conversion, std::string& error) {
  conversion.SemicolonSelected = name == "semicolon" || name == ";";
  conversion.CommaSelected = name == "comma" || name == ",";
  conversion.TabSelected = name == "tab";
  if (conversion.SemicolonSelected || conversion.CommaSelected || conversion.TabSelected) return true;
  error = "unknown separator '" + name + "': use semicolon, comma or tab";
  return false;
}

}  // namespace

bool ParseCliOptions(const std::vector<std::string>& arguments, CliOptions& options, std::string& error) {
  bool onlyFiles = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (onlyFiles || argument.empty() || argument[0] != '-' || argument == "-") {
      options.files.push_back(argument);
    } else if (argument == "--") {
      onlyFiles = true;
    } else if (argument == "-h" || argument == "--help") {
      options.help = true;
    } else if (argument == "-V" || argument == "--version") {
      options.version = true;
    } else if (argument == "-k" || argument == "--keep-xy") {
      options.conversion.ChangeXY = false;
    } else if (argument.starts_with("--separator=")) {
      if (!SetSeparator(argument.substr(12), options.conversion, error)) return false;
    } else if (argument == "-s" || argument == "--separator") {
      if (i + 1 == arguments.size()) {
        error = "option '" + argument + "' needs a separator";
        return false;
      }
      if (!SetSeparator(arguments[++i], options.conversion, error)) return false;
    } else {
      error = "unknown option '" + argument + "'";
      return false;
    }
  }
  if (options.files.empty() && !options.help && !options.version) {
    error = "no files given";
    return false;
  }
  return true;
}
