#pragma once

#include <string>

class MessageSink;

// The output path for inputPath: everything from its last "." on replaced by ".csv",
// or ".csv" appended when that would leave nothing. The last "." of the whole path
// counts, even one in a folder name. On failure shows its message and returns "".
std::string MakeCsvFileName(const std::string& inputPath, MessageSink& messages);
