#include "ProcessServicesPosix.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>

std::string InstanceLockPath() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime && *runtime) return std::string(runtime) + "/varnel.lock";
  return "/tmp/varnel-" + std::to_string(getuid()) + ".lock";
}

ProcessServicesPosix::ProcessServicesPosix() {
  // The lock is held for the life of the process and goes with it, however it ends.
  lockFile_ = open(InstanceLockPath().c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  previousInstance_ = lockFile_ >= 0 && flock(lockFile_, LOCK_EX | LOCK_NB) != 0;
}

void ProcessServicesPosix::TakeArguments(int argc, char** argv) {
  names_.assign(argv + 1, argv + argc);
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
