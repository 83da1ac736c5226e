#include "convert/File.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>

namespace {

std::filesystem::path FsPath(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

// Without a buffer of its own the stream hands each call straight to the system.
std::FILE* OpenUnbuffered(const std::string& path, const char* mode) {
  if (path.empty()) return nullptr;
  std::FILE* stream = OpenFileStream(path, mode);
  if (stream) std::setvbuf(stream, nullptr, _IONBF, 0);
  return stream;
}

}  // namespace

File File::OpenForReading(const std::string& path) { return File(OpenUnbuffered(path, "rb"), path); }

File File::OpenForAppending(const std::string& path) { return File(OpenUnbuffered(path, "ab"), path); }

File::File(File&& other) noexcept
    : stream_(std::exchange(other.stream_, nullptr)), path_(std::move(other.path_)) {}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    Close();
    stream_ = std::exchange(other.stream_, nullptr);
    path_ = std::move(other.path_);
  }
  return *this;
}

File::~File() { Close(); }

std::ptrdiff_t File::Read(char* buffer, std::size_t size) {
  const std::size_t count = std::fread(buffer, 1, size, stream_);
  if (count == 0 && std::ferror(stream_)) return -1;
  return static_cast<std::ptrdiff_t>(count);
}

std::size_t File::Append(std::string_view bytes) { return std::fwrite(bytes.data(), 1, bytes.size(), stream_); }

std::optional<std::int64_t> File::Size() const {
  std::error_code error;
  const auto size = std::filesystem::file_size(FsPath(path_), error);
  if (error) {
    errno = error.value();
    return std::nullopt;
  }
  return static_cast<std::int64_t>(size);
}

bool File::Truncate(std::int64_t size) {
  std::error_code error;
  std::filesystem::resize_file(FsPath(path_), static_cast<std::uintmax_t>(size), error);
  if (error) errno = error.value();
  return !error;
}

bool File::Close() {
  if (!stream_) return true;
  return std::fclose(std::exchange(stream_, nullptr)) == 0;
}

std::string LastSystemError() { return std::strerror(errno); }
