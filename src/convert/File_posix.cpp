#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "convert/File.h"

namespace file {

void ReportWriteSignalsAsErrors() {
  signal(SIGPIPE, SIG_IGN);
  signal(SIGXFSZ, SIG_IGN);
}

void KeepStandardDescriptorsTaken() {
  // The lowest free number is the one closed: those below it are open by then.
  for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
    if (::fcntl(fd, F_GETFD) < 0 && errno == EBADF) ::open("/dev/null", fd == STDOUT_FILENO ? O_RDONLY : O_RDWR);
  }
}

int Open(const std::string& path, OpenMode mode) {
  if (path.empty()) return -1;
  constexpr int kFlags[] = {O_RDONLY, O_WRONLY | O_APPEND | O_CREAT, O_WRONLY | O_TRUNC | O_CREAT,
                            O_WRONLY | O_CREAT | O_EXCL};
  return ::open(path.c_str(), kFlags[static_cast<int>(mode)] | O_CLOEXEC, 0666);
}

int OpenUnnamed(const std::string& path) {
#ifdef O_TMPFILE
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash == 0 ? 1 : slash);
  if (!path.empty()) return ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
#endif
  errno = EOPNOTSUPP;
  return -1;
}

bool Link(int fd, const std::string& path) {
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0;
}

bool Rename(const std::string& from, const std::string& to) {
  // rename(2) takes the place of a read-only file too, which its owner meant to keep.
  if (::faccessat(AT_FDCWD, to.c_str(), W_OK, AT_EACCESS) != 0 && errno != ENOENT) return false;
  return ::rename(from.c_str(), to.c_str()) == 0;
}

bool Remove(const std::string& path) { return ::unlink(path.c_str()) == 0; }

namespace {

template <typename Byte, typename Call>
std::ptrdiff_t Uninterrupted(Call call, int fd, Byte* bytes, std::size_t size) {
  for (;;) {
    const ssize_t count = call(fd, bytes, size);
    if (count >= 0 || errno != EINTR) return count;
  }
}

}  // namespace

std::ptrdiff_t ReadSome(int fd, char* buffer, std::size_t size) { return Uninterrupted(::read, fd, buffer, size); }

std::ptrdiff_t WriteSome(int fd, const char* bytes, std::size_t size) { return Uninterrupted(::write, fd, bytes, size); }

std::optional<std::int64_t> Position(int fd) {
  const off_t position = ::lseek(fd, 0, SEEK_CUR);
  if (position < 0) return std::nullopt;
  return position;
}

bool Truncate(int fd, std::int64_t size) { return ::ftruncate(fd, size) == 0; }

bool Close(int fd) { return ::close(fd) == 0; }

int DuplicateStandardInput() { return ::fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 0); }

}  // namespace file
