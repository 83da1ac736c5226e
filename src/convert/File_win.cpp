#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <io.h>

#include <cerrno>

#include "convert/File.h"
#include "convert/Wtf8.h"

namespace file {

// The C library's narrow calls take the ANSI code page; names in any script, and
// names that are not even valid UTF-16, need the wide one.
std::FILE* Open(const std::string& path, const char* mode) {
  const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
  return _wfopen(wtf8::ToUtf16<wchar_t>(path).c_str(), wideMode.c_str());
}

// The C library's write reports a write that fell short as nothing written, although
// part of it is in the file; the system call tells how much.
std::size_t Write(std::FILE* stream, std::string_view bytes) {
  const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
  DWORD written = 0;
  const BOOL ok = SetFilePointerEx(handle, LARGE_INTEGER{}, nullptr, FILE_END) &&
                  WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  if (!ok || written != bytes.size()) {
    const DWORD error = GetLastError();
    errno = error == ERROR_ACCESS_DENIED ? EACCES : error == ERROR_DISK_FULL || ok ? ENOSPC : EIO;
  }
  return written;
}

std::optional<std::int64_t> Size(std::FILE* stream) {
  const std::int64_t size = _filelengthi64(_fileno(stream));
  if (size < 0) return std::nullopt;
  return size;
}

bool Truncate(std::FILE* stream, std::int64_t size) { return _chsize_s(_fileno(stream), size) == 0; }

}  // namespace file
