#include <io.h>

#include "convert/File.h"
#include "convert/Wtf8.h"

namespace file {

// The C library's narrow calls take the ANSI code page; names in any script, and
// names that are not even valid UTF-16, need the wide one.
std::FILE* Open(const std::string& path, const char* mode) {
  const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
  return _wfopen(wtf8::ToUtf16<wchar_t>(path).c_str(), wideMode.c_str());
}

std::optional<std::int64_t> Size(std::FILE* stream) {
  const std::int64_t size = _filelengthi64(_fileno(stream));
  if (size < 0) return std::nullopt;
  return size;
}

bool Truncate(std::FILE* stream, std::int64_t size) { return _chsize_s(_fileno(stream), size) == 0; }

}  // namespace file
