#include "convert/CsvAppend.h"

#include <exception>

#include "convert/File.h"

uint8_t AppendCsvLine(const std::string& path, std::string_view text) {
  try {
    File file = File::OpenForAppending(path);
    if (!file.IsOpen()) return 0;
    // One write for the line and its end, so that nothing can come between them.
    std::string line;
    line.reserve(text.size() + 2);
    line.append(text).append("\r\n");
    if (file.AppendWhole(line) != File::AppendResult::Written) return 0;
    // A failing close may mean the line never reached the disk.
    return file.Close() ? 1 : 0;
  } catch (const std::exception&) {
    return 0;
  }
}
