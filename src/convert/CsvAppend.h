#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Appends text and CR LF to the file at path, creating the file when absent.
// 1 when the whole line was stored; 0 when it could not be, and then the file keeps
// its earlier content, unless the system refused even to cut off a line written in
// part. Shows no message: the caller reports the failure.
uint8_t AppendCsvLine(const std::string& path, std::string_view text);
