#include "convert/File.h"

#ifdef _WIN32
#include <filesystem>
#include <string>

// The C library's narrow calls take the ANSI code page; names in any script need the
// wide one. The path converts UTF-8 to UTF-16 itself.
std::FILE* OpenFileStream(const std::string& path, const char* mode) {
  const std::filesystem::path wide(std::u8string(path.begin(), path.end()));
  const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
  return _wfopen(wide.c_str(), wideMode.c_str());
}
#else
std::FILE* OpenFileStream(const std::string& path, const char* mode) { return std::fopen(path.c_str(), mode); }
#endif
