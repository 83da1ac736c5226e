#include "cli/BlockWriter.h"

#include <array>
#include <future>
#include <string_view>
#include <utility>

#include "convert/File.h"

// On Windows the blocks are written by a second thread: TerminateProcess does not
// cut a WriteFile short, so a block is in the file whole or not at all.
struct BlockWriter::Platform {
  std::array<std::unique_ptr<char[]>, 2> blocks{std::make_unique_for_overwrite<char[]>(kBlockCapacity),
                                               std::make_unique_for_overwrite<char[]>(kBlockCapacity)};
  int current = 0;
  std::future<bool> writing;
  int fd = -1;              // the target, once the first block opened it
  blocks::Outcome outcome;  // set by the writing thread, read after it is waited for
  bool started = false;     // the first block went to be written

  bool Wait(BlockWriter& writer) {
    if (writing.valid() && !writing.get()) writer.Fail(outcome.error, outcome.partLeft ? kPartLeftNote : "");
    return !writer.failed_;
  }
};

BlockWriter::BlockWriter(const OutputTarget& target, std::function<void()> onFailure)
    : platform_(std::make_unique<Platform>()), target_(target), onFailure_(std::move(onFailure)) {}

BlockWriter::~BlockWriter() {
  if (platform_->writing.valid()) platform_->writing.wait();
  blocks::Close(target_, platform_->fd);
}

char* BlockWriter::Buffer() { return platform_->blocks[static_cast<std::size_t>(platform_->current)].get(); }

// A thread shares the converter's memory anyway: nothing to start early.
void BlockWriter::StartEarly() {}

bool BlockWriter::Submit(std::size_t size) {
  Platform& p = *platform_;
  if (!p.Wait(*this)) return false;
  if (size == 0) return true;
  if (!p.started && !MakeFolder()) return false;
  p.started = true;
  const std::string_view block(Buffer(), size);
  p.writing = std::async(std::launch::async, [&p, this, block] {
    p.outcome = blocks::Append(target_, p.fd, block);
    if (p.outcome.error == 0) return true;
    onFailure_();
    return false;
  });
  p.current ^= 1;
  return true;
}

bool BlockWriter::Finish() {
  Platform& p = *platform_;
  if (!p.Wait(*this)) return false;
  const int error = blocks::Close(target_, std::exchange(p.fd, -1));
  return error == 0 || Fail(error);
}
