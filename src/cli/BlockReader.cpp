#include "cli/BlockReader.h"

#include <new>

#include "convert/File.h"

namespace {

// The kernel copies into page-aligned memory several times faster.
constexpr std::size_t kPageSize = 4096;

}  // namespace

void BlockReader::FreeAligned::operator()(char* p) const { ::operator delete[](p, std::align_val_t{kPageSize}); }

BlockReader::BlockReader(File& input)
    : blocks_(static_cast<char*>(::operator new[](kBlockSize * kBlockCount, std::align_val_t{kPageSize}))),
      waker_(NewWaker()),
      thread_([this, &input] { ReadAhead(input); }) {}

BlockReader::~BlockReader() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  Stop();
  thread_.join();
}

void BlockReader::ReadAhead(File& input) {
  for (std::size_t index = 0;; index = (index + 1) % kBlockCount) {
    Slot& slot = slots_[index];
    {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [&] { return stopping_ || !slot.filled; });
      if (stopping_) return;
      reading_ = true;
    }
    const std::ptrdiff_t count = AwaitInput(input) ? input.Read(BlockData(index), kBlockSize) : 0;
    std::string reason = count < 0 ? LastSystemError() : std::string();
    {
      const std::lock_guard lock(mutex_);
      reading_ = false;
      slot.count = count;
      slot.reason = std::move(reason);
      slot.filled = true;
    }
    changed_.notify_all();
    if (count <= 0) return;
  }
}

std::string_view BlockReader::Next() {
  std::unique_lock lock(mutex_);
  if (holding_) {
    slots_[(next_ + kBlockCount - 1) % kBlockCount].filled = false;
    holding_ = false;
    changed_.notify_all();
  }
  Slot& slot = slots_[next_];
  changed_.wait(lock, [&] { return slot.filled; });
  if (slot.count < 0) {
    failed_ = true;
    reason_ = slot.reason;
  }
  if (slot.count <= 0) return {};
  holding_ = true;
  const char* data = BlockData(next_);
  next_ = (next_ + 1) % kBlockCount;
  return {data, static_cast<std::size_t>(slot.count)};
}
