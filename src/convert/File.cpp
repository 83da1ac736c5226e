#include "convert/File.h"

#include <cerrno>
#include <cstring>
#include <utility>

namespace file {

AppendResult AppendWholeLines(int fd, std::string_view lines) {
  std::size_t written = 0;
  int error = 0;
  while (written < lines.size()) {
    const std::ptrdiff_t count = WriteSome(fd, lines.data() + written, lines.size() - written);
    if (count <= 0) {
      error = count < 0 && errno != 0 ? errno : EIO;  // a write that moves nothing may leave errno unset
      break;
    }
    written += static_cast<std::size_t>(count);
  }
  if (written == lines.size()) return AppendResult::Written;
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

std::string LastSystemError() { return std::strerror(errno); }
