#include "cli/BlockWriter.h"

#include <array>
#include <future>
#include <string_view>

#include "convert/File.h"

// On Windows the blocks are written by a second thread: TerminateProcess does not
// cut a WriteFile short, so a block is in the file whole or not at all.
struct BlockWriter::Platform {
  std::array<std::unique_ptr<char[]>, 2> blocks{std::make_unique_for_overwrite<char[]>(kBlockCapacity),
                                               std::make_unique_for_overwrite<char[]>(kBlockCapacity)};
  int current = 0;
  std::future<bool> writing;
  File file;
  std::string writeReason;  // set by the writing thread, read after it is waited for
  bool failed = false;

  bool Write(const std::string& path, std::string_view block) {
    if (!file.IsOpen()) file = File::OpenForAppending(path);
    const File::AppendResult result = file.IsOpen() ? file.AppendWhole(block) : File::AppendResult::NotWritten;
    if (result == File::AppendResult::Written) return true;
    writeReason = LastSystemError() + (result == File::AppendResult::PartLeft ? kPartLeftNote : "");
    return false;
  }

  bool Wait(std::string& reason) {
    if (!writing.valid()) return !failed;
    if (!writing.get() && !failed) {
      failed = true;
      reason = writeReason;
    }
    return !failed;
  }
};

BlockWriter::BlockWriter(const std::string& path) : platform_(std::make_unique<Platform>()), path_(path) {}

BlockWriter::~BlockWriter() {
  if (platform_->writing.valid()) platform_->writing.wait();
}

char* BlockWriter::Buffer() { return platform_->blocks[static_cast<std::size_t>(platform_->current)].get(); }

bool BlockWriter::Submit(std::size_t size) {
  Platform& p = *platform_;
  if (!p.Wait(reason_)) return false;
  if (size == 0) return true;
  const std::string_view block(Buffer(), size);
  p.writing = std::async(std::launch::async, [&p, this, block] { return p.Write(path_, block); });
  p.current ^= 1;
  return true;
}

bool BlockWriter::Finish() {
  Platform& p = *platform_;
  if (!p.Wait(reason_)) return false;
  if (p.file.IsOpen() && !p.file.Close()) {
    reason_ = LastSystemError();
    return false;
  }
  return true;
}
