// varnel-cli interrupted at random moments, on a busy machine, the ways users and
// systems interrupt it: every CSV line present is whole and the conversion of the
// next record, in order.
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <thread>

#include "../Support.h"

namespace {

using namespace std::chrono;

TEST(KillTest, InterruptedRunsLeaveOnlyWholeLines) {
  TempFolder folder;
  const LongJob job(400000);
  WriteBytes(folder / "job.sdr", job.input);
  // Starts varnel-cli as a shell starts a job: in a process group of its own.
  const auto start = [&] {
    const pid_t child = fork();
    if (child == 0) {
      setpgid(0, 0);
      execl(VARNEL_CLI_PROGRAM, "varnel-cli", (folder / "job.sdr").c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    setpgid(child, child);
    return child;
  };
  // The converter's writer outlives it for a moment: this process adopts it, and waits for it.
  prctl(PR_SET_CHILD_SUBREAPER, 1);
  const auto settled = [&] {
    while (wait(nullptr) > 0) {}
    return ReadBytes(folder / "job.csv");
  };
  // Two busy threads, so that the converter and its writer compete for the processors.
  const auto spin = [](std::stop_token stop) { while (!stop.stop_requested()) {} };
  const std::jthread load[] = {std::jthread(spin), std::jthread(spin)};  // stopped and joined at the end
  int status = 0;
  const auto started = steady_clock::now();
  waitpid(start(), &status, 0);
  const long long runTime = duration_cast<microseconds>(steady_clock::now() - started).count();
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0 && settled() == job.csv);

  std::mt19937 engine(std::random_device{}());
  // Ctrl-C, a closed terminal, timeout and service managers signal the whole group.
  for (const int signal : {SIGKILL, -SIGKILL, -SIGINT, -SIGTERM, -SIGHUP}) {
    int cutShort = 0;
    for (int attempt = 0; attempt < 20; ++attempt) {
      std::filesystem::remove(FsPath(folder / "job.csv"));
      const pid_t child = start();
      std::this_thread::sleep_for(microseconds(std::uniform_int_distribution<long long>(runTime / 10, runTime)(engine)));
      kill(signal < 0 ? -child : child, std::abs(signal));
      const std::string written = settled();
      EXPECT_TRUE(IsWholeLinesBeginning(written, job.csv))
          << strsignal(std::abs(signal)) << (signal < 0 ? " to the group" : "") << ": " << written.size() << " bytes";
      cutShort += written.size() < job.csv.size();
    }
    EXPECT_GT(cutShort, 0) << strsignal(std::abs(signal)) << ": no interruption landed during a run";
  }
}

}  // namespace
