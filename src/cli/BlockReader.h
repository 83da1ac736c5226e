#pragma once

#include <array>
#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

class File;

// Reads a file ahead on a thread of its own, into a ring of blocks, so that the
// system's copying of the file into memory overlaps converting what came before.
class BlockReader {
 public:
  static constexpr std::size_t kBlockSize = 256 << 10;
  static constexpr std::size_t kBlockCount = 4;

  // Starts reading input, which must stay open until the reader is gone.
  explicit BlockReader(File& input);
  ~BlockReader();
  BlockReader(const BlockReader&) = delete;
  BlockReader& operator=(const BlockReader&) = delete;

  // The next block of the file, in order; empty at the end of the file or after a
  // failure (Failed()). The block handed out before goes back to be read into.
  std::string_view Next();
  bool Failed() const { return failed_; }
  const std::string& Reason() const { return reason_; }
  // Ends the reading before the end of the file, from any thread: Next() then ends as at
  // the end of the file, and a read that waits for input (a pipe or a terminal that sends
  // nothing) is cut short. On POSIX systems it makes system calls only, so that a process
  // forked from this one may call it on its copy of the reader.
  void Stop();

 private:
  struct Slot {
    bool filled = false;
    std::ptrdiff_t count = 0;  // as File::Read gives it
    std::string reason;        // why the read failed, taken on the reading thread
  };

  // What cuts a waiting read short (BlockReader_posix.cpp, BlockReader_win.cpp).
  struct Waker;
  static Waker* NewWaker();
  struct FreeWaker {
    void operator()(Waker* waker) const;
  };
  // On the reading thread, before each read: false once Stop() was called.
  bool AwaitInput(File& input);

  void ReadAhead(File& input);
  char* BlockData(std::size_t index) const { return blocks_.get() + index * kBlockSize; }

  struct FreeAligned {
    void operator()(char* p) const;
  };
  std::unique_ptr<char[], FreeAligned> blocks_;
  std::array<Slot, kBlockCount> slots_;
  std::mutex mutex_;
  std::condition_variable changed_;
  bool stopping_ = false;
  std::size_t next_ = 0;          // the slot Next() hands out
  bool holding_ = false;          // the caller still has the slot before next_
  bool failed_ = false;
  std::string reason_;
  bool reading_ = false;          // the reading thread is in AwaitInput or a read
  std::unique_ptr<Waker, FreeWaker> waker_;
  std::thread thread_;            // last, so that it starts once the rest is ready
};
