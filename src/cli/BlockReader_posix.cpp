#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>

#include "cli/BlockReader.h"
#include "convert/File.h"

// A pipe beside the input: a byte written into it wakes the reading thread from a wait
// for input that may never come, and stays there for every later wait.
struct BlockReader::Waker {
  int ends[2] = {-1, -1};  // none when the pipe could not be made: a read then waits
  Waker() { static_cast<void>(pipe2(ends, O_CLOEXEC)); }
  ~Waker() {
    for (const int fd : ends) ::close(fd);
  }
};

BlockReader::Waker* BlockReader::NewWaker() { return new Waker; }
void BlockReader::FreeWaker::operator()(Waker* waker) const { delete waker; }

bool BlockReader::AwaitInput(File& input) {
  pollfd watched[] = {{input.Descriptor(), POLLIN, 0}, {waker_->ends[0], POLLIN, 0}};
  while (poll(watched, 2, -1) < 0 && errno == EINTR) {}
  return watched[1].revents == 0;
}

void BlockReader::Stop() {
  const char wake = 0;
  file::WriteSome(waker_->ends[1], &wake, 1);
}
