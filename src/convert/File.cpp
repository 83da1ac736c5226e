#include "convert/File.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <functional>
#include <random>
#include <utility>

namespace {

template <typename Byte, typename Transfer>
std::size_t TransferWhole(int fd, Byte* bytes, std::size_t size, Transfer transfer) {
  std::size_t moved = 0;
  while (moved < size) {
    const std::ptrdiff_t count = transfer(fd, bytes + moved, size - moved);
    if (count <= 0) {
      if (count == 0) errno = 0;  // which a transfer that moves nothing may leave as it was
      break;
    }
    moved += static_cast<std::size_t>(count);
  }
  return moved;
}

}  // namespace

namespace file {

std::size_t ReadWhole(int fd, void* buffer, std::size_t size) {
  return TransferWhole(fd, static_cast<char*>(buffer), size, ReadSome);
}

std::size_t WriteWhole(int fd, const void* bytes, std::size_t size) {
  return TransferWhole(fd, static_cast<const char*>(bytes), size, WriteSome);
}

AppendResult AppendWholeLines(int fd, std::string_view lines) {
  const std::size_t written = WriteWhole(fd, lines.data(), lines.size());
  if (written == lines.size()) return AppendResult::Written;
  const int error = errno != 0 ? errno : EIO;
  const std::size_t lastEnd = written == 0 ? std::string_view::npos : lines.rfind('\n', written - 1);
  const std::size_t whole = lastEnd == std::string_view::npos ? 0 : lastEnd + 1;
  // The descriptor stands just past what was written, whether it appends or not; a pipe
  // or a terminal has no end to cut back.
  const std::optional<std::int64_t> end = whole == written ? std::nullopt : Position(fd);
  const bool cut = whole == written ||
                   (end ? Truncate(fd, *end - static_cast<std::int64_t>(written - whole)) : errno == ESPIPE);
  errno = error;  // the write's reason, not the cut-back's
  return cut ? AppendResult::CutBack : AppendResult::PartLeft;
}

}  // namespace file

File::File(File&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

File::~File() { Close(); }

bool File::Close() {
  if (fd_ < 0) return true;
  return file::Close(std::exchange(fd_, -1));
}

namespace {

// Gives a temporary file a fresh name beside target through make, which fails with
// EEXIST when the name is taken; the name, or "" on failure.
std::string FreshName(const std::string& target, const std::function<bool(const std::string&)>& make) {
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    char suffix[16] = ".~";
    const std::to_chars_result end = std::to_chars(suffix + 2, suffix + sizeof suffix, random() & 0xFFFFFF, 16);
    const std::string name = target + std::string(suffix, end.ptr);
    if (make(name)) return name;
    if (errno != EEXIST) break;
  }
  return {};
}

}  // namespace

// A file without a name needs none until it is whole: a run killed before leaves nothing.
FileReplacement::FileReplacement(std::string target) : target_(std::move(target)) {
  file_ = File(file::OpenUnnamed(target_));
  if (file_.IsOpen()) return;
  name_ = FreshName(target_, [&](const std::string& name) {
    file_ = File(file::Open(name, file::OpenMode::CreateNew));
    return file_.IsOpen();
  });
}

FileReplacement::~FileReplacement() { Fail(); }

bool FileReplacement::Write(std::string_view bytes) {
  if (file::WriteWhole(file_.Descriptor(), bytes.data(), bytes.size()) == bytes.size()) return true;
  if (errno == 0) errno = EIO;
  return Fail();
}

bool FileReplacement::Commit() {
  if (!IsOpen()) return false;
  if (name_.empty()) {
    name_ = FreshName(target_, [&](const std::string& name) { return file::Link(file_.Descriptor(), name); });
    if (name_.empty()) return Fail();
  }
  if (!file_.Close() || !file::Rename(name_, target_)) return Fail();
  name_.clear();
  return true;
}

bool FileReplacement::Fail() {
  const int error = errno;
  file_.Close();
  if (!name_.empty()) file::Remove(name_);
  name_.clear();
  errno = error;
  return false;
}

std::string LastSystemError() { return std::strerror(errno); }
