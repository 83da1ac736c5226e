#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <atomic>
#include <chrono>

#include "cli/BlockReader.h"

// The reading thread's handle, for CancelSynchronousIo: a read of a pipe or a console
// that sends nothing would otherwise never end.
struct BlockReader::Waker {
  std::atomic<HANDLE> thread = nullptr;
  std::atomic<bool> stopped = false;
  ~Waker() {
    if (thread != nullptr) CloseHandle(thread);
  }
};

BlockReader::Waker* BlockReader::NewWaker() { return new Waker; }
void BlockReader::FreeWaker::operator()(Waker* waker) const { delete waker; }

bool BlockReader::AwaitInput(File&) {
  if (waker_->thread == nullptr) waker_->thread = OpenThread(THREAD_TERMINATE, FALSE, GetCurrentThreadId());
  return !waker_->stopped;
}

void BlockReader::Stop() {
  std::unique_lock lock(mutex_);
  waker_->stopped = true;
  // A read about to begin is not cancelled: cancel again until the read is over.
  while (reading_) {
    CancelSynchronousIo(waker_->thread);
    changed_.wait_for(lock, std::chrono::milliseconds(10));
  }
}
