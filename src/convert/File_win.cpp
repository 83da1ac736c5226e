#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cerrno>
#include <climits>

#include "convert/File.h"
#include "convert/Wtf8.h"

namespace file {

namespace {

// The C library's number for a system error, as its own calls would set it.
int ErrnoOf(DWORD error) {
  return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION ? EACCES  // also: open in another program
         : error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL    ? ENOSPC
         : error == ERROR_BROKEN_PIPE || error == ERROR_NO_DATA || error == ERROR_PIPE_NOT_CONNECTED ? EPIPE
         : error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? ENOENT
                                                                          : EIO;
}

}  // namespace

void ReportWriteSignalsAsErrors() {}  // Windows reports both as failed writes anyway

// The C library keeps the numbers of standard streams that have no handle for them.
void KeepStandardDescriptorsTaken() {}

// Names in any script, and names that are not even valid UTF-16, need the wide calls;
// names longer than MAX_PATH need the \\?\ form, which takes only full paths.
std::wstring SystemPath(const std::string& path) {
  std::wstring wide = wtf8::ToUtf16<wchar_t>(path);
  if (wide.size() < MAX_PATH - 12 || wide.starts_with(L"\\\\?\\")) return wide;
  const std::wstring full = FullPath(wide);
  if (full == wide) return wide;
  return full.starts_with(L"\\\\") ? L"\\\\?\\UNC\\" + full.substr(2) : L"\\\\?\\" + full;
}

std::wstring FullPath(const std::wstring& path) {
  std::wstring full(GetFullPathNameW(path.c_str(), 0, nullptr, nullptr), L'\0');
  full.resize(GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr));
  return full.empty() ? path : full;
}

int Open(const std::string& path, OpenMode mode) {
  if (path.empty()) return -1;
  constexpr int kFlags[] = {_O_RDONLY, _O_WRONLY | _O_APPEND | _O_CREAT, _O_WRONLY | _O_TRUNC | _O_CREAT,
                            _O_WRONLY | _O_CREAT | _O_EXCL};
  return _wopen(SystemPath(path).c_str(), kFlags[static_cast<int>(mode)] | _O_BINARY | _O_NOINHERIT,
                _S_IREAD | _S_IWRITE);
}

std::ptrdiff_t ReadSome(int fd, char* buffer, std::size_t size) {
  return _read(fd, buffer, static_cast<unsigned>(size < INT_MAX ? size : INT_MAX));
}

// The C library's write reports a write that fell short as nothing written, although
// part of it is in the file; the system call tells how much.
std::ptrdiff_t WriteSome(int fd, const char* bytes, std::size_t size) {
  const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
  DWORD written = 0;
  // A file is written at its end, as one opened to append; a pipe has no end to seek.
  const BOOL ok = (GetFileType(handle) != FILE_TYPE_DISK || SetFilePointerEx(handle, LARGE_INTEGER{}, nullptr, FILE_END)) &&
                  WriteFile(handle, bytes, static_cast<DWORD>(size < (1u << 30) ? size : 1u << 30), &written, nullptr);
  if (ok || written > 0) return written;
  errno = ErrnoOf(GetLastError());
  return -1;
}

// Windows has no files without a name.
int OpenUnnamed(const std::string&) {
  errno = ENOSYS;
  return -1;
}

bool Link(int, const std::string&) {
  errno = ENOSYS;
  return false;
}

bool Rename(const std::string& from, const std::string& to) {
  // NTFS refuses to replace a read-only file, other file systems may not.
  const DWORD attributes = GetFileAttributesW(SystemPath(to).c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    errno = EACCES;
    return false;
  }
  if (MoveFileExW(SystemPath(from).c_str(), SystemPath(to).c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
  errno = ErrnoOf(GetLastError());
  return false;
}

bool Remove(const std::string& path) { return _wunlink(SystemPath(path).c_str()) == 0; }

std::optional<std::int64_t> Position(int fd) {
  if (GetFileType(reinterpret_cast<HANDLE>(_get_osfhandle(fd))) != FILE_TYPE_DISK) {
    errno = ESPIPE;
    return std::nullopt;
  }
  const std::int64_t position = _lseeki64(fd, 0, SEEK_CUR);
  if (position < 0) return std::nullopt;
  return position;
}

bool Truncate(int fd, std::int64_t size) { return _chsize_s(fd, size) == 0; }

bool Close(int fd) { return _close(fd) == 0; }

int DuplicateStandardInput() {
  const int fd = _dup(_fileno(stdin));
  if (fd >= 0) _setmode(fd, _O_BINARY);
  return fd;
}

}  // namespace file
