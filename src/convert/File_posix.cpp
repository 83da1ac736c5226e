#include "convert/File.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

File File::OpenForReading(const std::string& path) {
  return File(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
}

File File::OpenForAppending(const std::string& path) {
  return File(::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666));
}

std::ptrdiff_t File::Read(char* buffer, std::size_t size) {
  for (;;) {
    const ssize_t count = ::read(handle_, buffer, size);
    if (count >= 0 || errno != EINTR) return count;
  }
}

std::size_t File::Append(std::string_view bytes) {
  std::size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t count = ::write(handle_, bytes.data() + written, bytes.size() - written);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) break;
    written += static_cast<std::size_t>(count);
  }
  return written;
}

std::optional<std::int64_t> File::Size() {
  struct stat status {};
  if (::fstat(handle_, &status) != 0) return std::nullopt;
  return status.st_size;
}

bool File::Truncate(std::int64_t size) {
  for (;;) {
    if (::ftruncate(handle_, static_cast<off_t>(size)) == 0) return true;
    if (errno != EINTR) return false;
  }
}

bool File::Close() {
  if (!IsOpen()) return true;
  // Linux closes the descriptor even when close reports EINTR, so it is never retried.
  const int result = ::close(std::exchange(handle_, kNoHandle));
  return result == 0 || errno == EINTR;
}

std::string LastSystemError() { return std::strerror(errno); }
