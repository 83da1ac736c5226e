#include "convert/File.h"

#include <cerrno>
#include <cstring>
#include <utility>

namespace {

// Without a buffer of its own the stream hands each call straight to the system.
std::FILE* OpenUnbuffered(const std::string& path, const char* mode) {
  if (path.empty()) return nullptr;
  std::FILE* stream = file::Open(path, mode);
  if (stream) std::setvbuf(stream, nullptr, _IONBF, 0);
  return stream;
}

}  // namespace

File File::OpenForReading(const std::string& path) { return File(OpenUnbuffered(path, "rb")); }

File File::OpenForAppending(const std::string& path) { return File(OpenUnbuffered(path, "ab")); }

File::File(File&& other) noexcept : stream_(std::exchange(other.stream_, nullptr)) {}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    Close();
    stream_ = std::exchange(other.stream_, nullptr);
  }
  return *this;
}

File::~File() { Close(); }

std::ptrdiff_t File::Read(char* buffer, std::size_t size) {
  const std::size_t count = std::fread(buffer, 1, size, stream_);
  if (count == 0 && std::ferror(stream_)) return -1;
  return static_cast<std::ptrdiff_t>(count);
}

File::AppendResult File::AppendWhole(std::string_view bytes) {
  const std::size_t written = file::Write(stream_, bytes);
  if (written == bytes.size()) return AppendResult::Written;
  const int error = errno;
  // The file grew by exactly what was written: cut that off again.
  const std::optional<std::int64_t> size = file::Size(stream_);
  const bool whole = written == 0 || (size && file::Truncate(stream_, *size - static_cast<std::int64_t>(written)));
  errno = error;  // the write's reason, not the cut-back's
  return whole ? AppendResult::NotWritten : AppendResult::PartLeft;
}

bool File::Close() {
  if (!stream_) return true;
  return std::fclose(std::exchange(stream_, nullptr)) == 0;
}

std::string LastSystemError() { return std::strerror(errno); }
