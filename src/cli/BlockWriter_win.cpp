#include "cli/BlockWriter.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <future>
#include <string_view>
#include <utility>

#include "cli/Folders.h"
#include "convert/File.h"

// On Windows the blocks are written by a second thread: TerminateProcess does not
// cut a WriteFile short, so a block is in the file whole or not at all.
struct BlockWriter::Platform {
  std::array<std::unique_ptr<char[]>, 2> blocks{std::make_unique_for_overwrite<char[]>(kBlockCapacity),
                                               std::make_unique_for_overwrite<char[]>(kBlockCapacity)};
  int current = 0;
  std::future<bool> writing;
  File file;  // the target file, once the first block opened it
  int writeError = 0;       // set by the writing thread, read after it is waited for
  bool partLeft = false;
  bool started = false;  // the first block went to be written

  bool Write(const OutputTarget& target, std::string_view block) {
    if (!file.IsOpen() && !target.path.empty()) {
      file = File(file::Open(target.path, target.replace ? file::OpenMode::Replace : file::OpenMode::Append));
    }
    const int fd = target.path.empty() ? _fileno(stdout) : file.Descriptor();
    const file::AppendResult result = fd < 0 ? file::AppendResult::CutBack  // nothing written: it did not open
                                             : file::AppendWholeLines(fd, block);
    if (result == file::AppendResult::Written) return true;
    writeError = errno != 0 ? errno : EIO;
    partLeft = result == file::AppendResult::PartLeft;
    return false;
  }

  bool Wait(BlockWriter& writer) {
    if (writing.valid() && !writing.get()) writer.Fail(writeError, partLeft ? kPartLeftNote : "");
    return !writer.failed_;
  }

};

BlockWriter::BlockWriter(const OutputTarget& target, std::function<void()> onFailure)
    : platform_(std::make_unique<Platform>()), target_(target), onFailure_(std::move(onFailure)) {}

BlockWriter::~BlockWriter() {
  if (platform_->writing.valid()) platform_->writing.wait();
}

char* BlockWriter::Buffer() { return platform_->blocks[static_cast<std::size_t>(platform_->current)].get(); }

bool BlockWriter::Submit(std::size_t size) {
  Platform& p = *platform_;
  if (!p.Wait(*this)) return false;
  if (size == 0) return true;
  std::string why;
  if (!p.started && !target_.folder.empty() && !folders::Make(target_.folder, why)) return Fail(0, why);
  p.started = true;
  const std::string_view block(Buffer(), size);
  p.writing = std::async(std::launch::async, [&p, this, block] {
    if (p.Write(target_, block)) return true;
    onFailure_();
    return false;
  });
  p.current ^= 1;
  return true;
}

bool BlockWriter::Finish() {
  Platform& p = *platform_;
  if (!p.Wait(*this)) return false;
  if (p.file.IsOpen() && !p.file.Close()) return Fail(errno != 0 ? errno : EIO);
  return true;
}
