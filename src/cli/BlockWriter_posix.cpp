#include "cli/BlockWriter.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <new>
#include <string>
#include <string_view>
#include <utility>

#include "convert/File.h"

namespace {

// What the converter tells the helper; the helper answers with the block's outcome.
struct Order {
  int block;
  std::size_t size;
};

// The helper process: appends each block it is told of and answers. After a failure it
// writes nothing more, and answers every later order with that failure, so that the
// converter learns of it at its own pace. It is forked while the converter reads on
// another thread, so it keeps to system calls.
[[noreturn]] void ServeWrites(const OutputTarget& target, const std::function<void()>& onFailure, const char* blocks,
                              int orders, int answers) {
  // A signal to the converter's process group (Ctrl-C, a closed terminal, a service
  // manager) or to every varnel-cli by name ends the converter only: the helper
  // finishes the blocks it was given, sees the orders end and leaves. A fatal signal
  // would stop a write between two pages, inside a line. The group of its own is what
  // keeps a SIGKILL to the converter's group away; it is a background group, which a
  // terminal set to stop background writers (stty tostop) would stop for ever.
  setpgid(0, 0);
  for (int interruption : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGTTOU, SIGTTIN}) signal(interruption, SIG_IGN);
  file::ReportWriteSignalsAsErrors();
  int fd = -1;
  blocks::Outcome outcome;
  for (Order order{}; file::ReadWhole(orders, &order, sizeof order) == sizeof order;) {
    if (outcome.error == 0) {
      outcome = blocks::Append(target, fd, {blocks + order.block * BlockWriter::kBlockCapacity, order.size});
      if (outcome.error != 0) onFailure();
    }
    file::WriteWhole(answers, &outcome, sizeof outcome);
  }
  // The orders ended: the converter finished, or was killed. Report the close of a file
  // it opened.
  const int closeError = blocks::Close(target, fd);
  if (outcome.error == 0) outcome.error = closeError;
  file::WriteWhole(answers, &outcome, sizeof outcome);
  _exit(outcome.error == 0 ? 0 : 1);
}

}  // namespace

struct BlockWriter::Platform {
  char* blocks = nullptr;  // two blocks, shared with the helper
  int current = 0;         // the block being gathered
  int inFlight = 0;        // blocks handed over and not yet answered, oldest first
  int orders = -1;
  int answers = -1;
  pid_t helper = -1;
  bool madeFolder = false;  // at the first block, which may come after the helper started

  bool Start(BlockWriter& writer) {
    int orderPipe[2];
    int answerPipe[2];
    if (pipe2(orderPipe, O_CLOEXEC) != 0) return writer.Fail(errno);
    if (pipe2(answerPipe, O_CLOEXEC) != 0) {
      const int error = errno;
      ::close(orderPipe[0]);
      ::close(orderPipe[1]);
      return writer.Fail(error);
    }
    helper = fork();
    if (helper == 0) {
      ::close(orderPipe[1]);
      ::close(answerPipe[0]);
      ServeWrites(writer.target_, writer.onFailure_, blocks, orderPipe[0], answerPipe[1]);
    }
    const int error = errno;
    if (helper > 0) setpgid(helper, helper);  // as the helper does, whichever runs first
    ::close(orderPipe[0]);
    ::close(answerPipe[1]);
    orders = orderPipe[1];
    answers = answerPipe[0];
    return helper > 0 || writer.Fail(error);
  }

  // Waits for the helper's answer about the oldest block in flight.
  bool Collect(BlockWriter& writer) {
    --inFlight;
    blocks::Outcome answer;
    if (file::ReadWhole(answers, &answer, sizeof answer) != sizeof answer) {
      return writer.Fail(0, "the writing process ended unexpectedly");
    }
    if (answer.error == 0) return true;
    return writer.Fail(answer.error, answer.partLeft ? BlockWriter::kPartLeftNote : "");
  }

};

BlockWriter::BlockWriter(const OutputTarget& target, std::function<void()> onFailure)
    : platform_(std::make_unique<Platform>()), target_(target), onFailure_(std::move(onFailure)) {
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

void BlockWriter::StartEarly() {
  if (platform_->helper < 0 && !failed_) platform_->Start(*this);
}

char* BlockWriter::Buffer() { return platform_->blocks + platform_->current * kBlockCapacity; }

bool BlockWriter::Submit(std::size_t size) {
  Platform& p = *platform_;
  if (failed_) return false;
  if (size == 0) return true;
  // The helper starts with the first block, so a file without records costs nothing; the
  // folder is made then too, even when the helper started early.
  if (!p.madeFolder && !(p.madeFolder = MakeFolder())) return false;
  if (p.helper < 0 && !p.Start(*this)) return false;
  const Order order{p.current, size};
  if (file::WriteWhole(p.orders, &order, sizeof order) != sizeof order) {
    return Fail(0, "the writing process ended unexpectedly");
  }
  ++p.inFlight;
  p.current ^= 1;
  // The next block is gathered where the one before this may still be being written.
  return p.inFlight < 2 || p.Collect(*this);
}

bool BlockWriter::Finish() {
  Platform& p = *platform_;
  while (p.inFlight > 0 && !failed_) p.Collect(*this);
  if (failed_) return false;
  if (p.helper < 0) return true;
  ::close(p.orders);
  p.orders = -1;
  ++p.inFlight;  // the helper's last answer reports the close
  return p.Collect(*this);
}
