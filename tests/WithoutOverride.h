#pragma once

// Root writes through permission bits. While an object of this class lives, the
// process lacks that power, so that read-only files and folders behave as for a user.
#ifdef __linux__
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

class WithoutOverride {
 public:
  WithoutOverride() {
    if (syscall(SYS_capget, &header_, saved_) != 0) return;
    __user_cap_data_struct lowered[2] = {saved_[0], saved_[1]};
    for (int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH}) lowered[cap / 32].effective &= ~(1u << (cap % 32));
    lowered_ = syscall(SYS_capset, &header_, lowered) == 0;
  }
  ~WithoutOverride() {
    if (lowered_) syscall(SYS_capset, &header_, saved_);
  }
  WithoutOverride(const WithoutOverride&) = delete;
  WithoutOverride& operator=(const WithoutOverride&) = delete;

 private:
  __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct saved_[2]{};
  bool lowered_ = false;
};
#else
// Under Wine the test runner starts the program without that power (cmake/wine-run.sh).
class WithoutOverride {
 public:
  WithoutOverride() {}
  ~WithoutOverride() {}
};
#endif
