#include "cli/BlockWriter.h"

#include <cerrno>
#include <cstring>

#include "cli/Folders.h"
#include "convert/File.h"

namespace {

// errno after a failed call, never 0.
int FailureNumber() { return errno != 0 ? errno : EIO; }

}  // namespace

namespace blocks {

Outcome Append(const OutputTarget& target, int& fd, std::string_view block) {
  if (fd < 0) {
    fd = target.path.empty() ? 1 : file::Open(target.path, target.replace ? file::OpenMode::Replace : file::OpenMode::Append);
    if (fd < 0) return {FailureNumber(), false};
  }
  const file::AppendResult result = file::AppendWholeLines(fd, block);
  if (result == file::AppendResult::Written) return {0, false};
  return {FailureNumber(), result == file::AppendResult::PartLeft};
}

int Close(const OutputTarget& target, int fd) {
  return fd < 0 || target.path.empty() || file::Close(fd) ? 0 : FailureNumber();
}

}  // namespace blocks

bool BlockWriter::Fail(int error, const std::string& more) {
  if (!failed_) {
    error_ = error;
    reason_ = std::string(error != 0 ? std::strerror(error) : "") + more;
  }
  failed_ = true;
  return false;
}

bool BlockWriter::MakeFolder() {
  std::string why;
  return target_.folder.empty() || folders::Make(target_.folder, why) || Fail(0, why);
}
