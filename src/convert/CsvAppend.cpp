#include "convert/CsvAppend.h"

#include <exception>

#include "convert/File.h"

uint8_t AppendCsvLine(const std::string& path, std::string_view text) {
  try {
    File output = File::OpenForAppending(path);
    if (!output.IsOpen()) return 0;
    // One write for the line and its end, so that nothing can come between them.
    std::string line;
    line.reserve(text.size() + 2);
    line.append(text).append("\r\n");
    if (output.AppendWhole(line) != file::AppendResult::Written) return 0;
    // A failing close may mean the line never reached the disk.
    return output.Close() ? 1 : 0;
  } catch (const std::exception&) {
    return 0;
  }
}
