#include "ProcessServicesPosix.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "convert/File.h"

namespace {

// A folder for the instance lock that belongs to the user alone and is no link: the
// user's runtime folder, or else one of the user's own in the temporary folder, made
// when missing. Another user could otherwise hold the lock, and every start would end.
// -1 when there is none to trust: Varnel then runs without the lock.
int OpenLockFolder() {
  const auto trusted = [](const std::string& path) {
    const int folder = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    struct stat status {};
    if (folder >= 0 && fstat(folder, &status) == 0 && status.st_uid == getuid() && (status.st_mode & 077) == 0) {
      return folder;
    }
    if (folder >= 0) close(folder);
    return -1;
  };
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime && *runtime) {
    const int folder = trusted(runtime);
    if (folder >= 0) return folder;
  }
  const char* temporary = std::getenv("TMPDIR");
  const std::string own = std::string(temporary && *temporary ? temporary : "/tmp") + "/varnel-" + std::to_string(getuid());
  mkdir(own.c_str(), 0700);  // fails when it exists: it is checked all the same
  return trusted(own);
}

}  // namespace

ProcessServicesPosix::ProcessServicesPosix() {
  file::ReportWriteSignalsAsErrors();
  // The lock is held for the life of the process and goes with it, however it ends.
  if (const int folder = OpenLockFolder(); folder >= 0) {
    lockFile_ = openat(folder, "varnel.lock", O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    close(folder);
  }
  previousInstance_ = lockFile_ >= 0 && flock(lockFile_, LOCK_EX | LOCK_NB) != 0;
}

void ProcessServicesPosix::TakeArguments(int argc, char** argv) {
  names_.assign(argv + 1, argv + argc);
  if (!names_.empty() && names_.front() == "--sdr") {
    names_.erase(names_.begin());
    reading_ = FileReading::JobPoints;
  }
}

ProcessServicesPosix::~ProcessServicesPosix() {
  if (lockFile_ >= 0) close(lockFile_);
}

float ProcessServicesPosix::SecondsSinceMidnight() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  tm local{};
  localtime_r(&now.tv_sec, &local);
  return static_cast<float>(local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec) +
         static_cast<float>(now.tv_nsec) / 1e9f;
}

void ProcessServicesPosix::EndProcess(ExitStatus status) { std::_Exit(static_cast<int>(status)); }
