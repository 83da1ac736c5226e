#include <io.h>

#include <filesystem>

#include "convert/File.h"

namespace file {

// The C library's narrow calls take the ANSI code page; names in any script need the
// wide one. The path converts UTF-8 to UTF-16 itself.
std::FILE* Open(const std::string& path, const char* mode) {
  const std::filesystem::path wide(std::u8string(path.begin(), path.end()));
  const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
  return _wfopen(wide.c_str(), wideMode.c_str());
}

std::optional<std::int64_t> Size(std::FILE* stream) {
  const std::int64_t size = _filelengthi64(_fileno(stream));
  if (size < 0) return std::nullopt;
  return size;
}

bool Truncate(std::FILE* stream, std::int64_t size) { return _chsize_s(_fileno(stream), size) == 0; }

}  // namespace file
