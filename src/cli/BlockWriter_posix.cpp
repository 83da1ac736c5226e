#include "cli/BlockWriter.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>
#include <string>
#include <string_view>

namespace {

// What the converter tells the helper, and what the helper answers.
struct Order {
  int block;
  std::size_t size;
};
struct Answer {
  int error;  // 0 when the block was written, else the system's error number
  bool partLeft;  // the failed block could not be cut off again
};

// Moves size bytes through fd with read or write, going on after short transfers and
// interruptions. False at the end of the pipe or on failure.
template <typename Byte, typename Transfer>
bool TransferWhole(int fd, Byte* bytes, std::size_t size, Transfer transfer) {
  while (size > 0) {
    const ssize_t count = transfer(fd, bytes, size);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return false;
    bytes += count;
    size -= static_cast<std::size_t>(count);
  }
  return true;
}

bool ReadWhole(int fd, void* data, std::size_t size) { return TransferWhole(fd, static_cast<char*>(data), size, ::read); }

bool WriteWhole(int fd, const void* data, std::size_t size) {
  return TransferWhole(fd, static_cast<const char*>(data), size, ::write);
}

// errno after a failed call, never 0: a write that moves no bytes may leave it unset.
int FailureNumber() { return errno != 0 ? errno : EIO; }

// The helper process: appends each block it is told of, whole, and answers. It is
// forked while the converter reads on another thread, so it keeps to system calls.
[[noreturn]] void ServeWrites(const char* path, const char* blocks, int orders, int answers) {
  // A signal to the converter's process group (Ctrl-C, a closed terminal, a service
  // manager) or to every varnel-cli by name ends the converter only: the helper
  // finishes the blocks it was given, sees the orders end and leaves. A fatal signal
  // would stop a write between two pages, inside a line.
  setpgid(0, 0);
  for (int interruption : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE}) signal(interruption, SIG_IGN);
  int file = -1;
  off_t size = 0;
  for (Order order{}; ReadWhole(orders, &order, sizeof order);) {
    Answer answer{0, false};
    if (file < 0) {
      file = ::open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
      struct stat status {};
      if (file < 0 || ::fstat(file, &status) != 0) {
        answer.error = FailureNumber();
      } else {
        size = status.st_size;
      }
    }
    if (answer.error == 0) {
      if (WriteWhole(file, blocks + order.block * BlockWriter::kBlockCapacity, order.size)) {
        size += static_cast<off_t>(order.size);
      } else {
        answer.error = FailureNumber();
        answer.partLeft = ::ftruncate(file, size) != 0;  // no part of a failed block stays
      }
    }
    WriteWhole(answers, &answer, sizeof answer);
    if (answer.error != 0) _exit(1);
  }
  // The orders ended: the converter finished, or was killed. Report the close.
  Answer last{0, false};
  if (file >= 0 && ::close(file) != 0) last.error = FailureNumber();
  WriteWhole(answers, &last, sizeof last);
  _exit(last.error == 0 ? 0 : 1);
}

}  // namespace

struct BlockWriter::Platform {
  char* blocks = nullptr;  // two blocks, shared with the helper
  int current = 0;         // the block being gathered
  int inFlight = 0;        // blocks handed over and not yet answered, oldest first
  int orders = -1;
  int answers = -1;
  pid_t helper = -1;
  bool failed = false;

  bool Start(const std::string& path, std::string& reason) {
    int orderPipe[2];
    int answerPipe[2];
    if (pipe2(orderPipe, O_CLOEXEC) != 0) return Fail(reason, std::strerror(errno));
    if (pipe2(answerPipe, O_CLOEXEC) != 0) {
      ::close(orderPipe[0]);
      ::close(orderPipe[1]);
      return Fail(reason, std::strerror(errno));
    }
    helper = fork();
    if (helper == 0) {
      ::close(orderPipe[1]);
      ::close(answerPipe[0]);
      ServeWrites(path.c_str(), blocks, orderPipe[0], answerPipe[1]);
    }
    if (helper > 0) setpgid(helper, helper);  // as the helper does, whichever runs first
    ::close(orderPipe[0]);
    ::close(answerPipe[1]);
    orders = orderPipe[1];
    answers = answerPipe[0];
    return helper > 0 || Fail(reason, std::strerror(errno));
  }

  // Waits for the helper's answer about the oldest block in flight.
  bool Collect(std::string& reason) {
    --inFlight;
    Answer answer{};
    if (!ReadWhole(answers, &answer, sizeof answer)) return Fail(reason, "the writing process ended unexpectedly");
    if (answer.error == 0) return true;
    return Fail(reason, std::string(std::strerror(answer.error)) + (answer.partLeft ? BlockWriter::kPartLeftNote : ""));
  }

  bool Fail(std::string& reason, const std::string& why) {
    if (!failed) reason = why;
    failed = true;
    return false;
  }
};

BlockWriter::BlockWriter(const std::string& path) : platform_(std::make_unique<Platform>()), path_(path) {
  void* shared = mmap(nullptr, 2 * kBlockCapacity, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
  if (shared == MAP_FAILED) throw std::bad_alloc();
  platform_->blocks = static_cast<char*>(shared);
}

BlockWriter::~BlockWriter() {
  Platform& p = *platform_;
  if (p.orders >= 0) ::close(p.orders);
  if (p.answers >= 0) ::close(p.answers);
  if (p.helper > 0) waitpid(p.helper, nullptr, 0);
  munmap(p.blocks, 2 * kBlockCapacity);
}

char* BlockWriter::Buffer() { return platform_->blocks + platform_->current * kBlockCapacity; }

bool BlockWriter::Submit(std::size_t size) {
  Platform& p = *platform_;
  if (p.failed) return false;
  if (size == 0) return true;
  // The helper starts with the first block, so a file without records costs nothing.
  if (p.helper < 0 && !p.Start(path_, reason_)) return false;
  const Order order{p.current, size};
  if (!WriteWhole(p.orders, &order, sizeof order)) return p.Fail(reason_, "the writing process ended unexpectedly");
  ++p.inFlight;
  p.current ^= 1;
  // The next block is gathered where the one before this may still be being written.
  return p.inFlight < 2 || p.Collect(reason_);
}

bool BlockWriter::Finish() {
  Platform& p = *platform_;
  while (p.inFlight > 0 && !p.failed) p.Collect(reason_);
  if (p.failed) return false;
  if (p.helper < 0) return true;
  ::close(p.orders);
  p.orders = -1;
  ++p.inFlight;  // the helper's last answer reports the close
  return p.Collect(reason_);
}
