// varnel-cli killed hard at random moments: every CSV line present is whole, ends in
// CR LF and is the conversion of the next record, in order.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <thread>

#include "../SdrLines.h"
#include "../TempFolder.h"

namespace {

namespace fs = std::filesystem;

pid_t Start(const std::string& input) {
  const pid_t child = fork();
  if (child == 0) {
    execl(VARNEL_CLI_PROGRAM, "varnel-cli", input.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  return child;
}

// The helper that writes the last block may outlive the killed converter by a moment.
std::string SettledContent(const std::string& path) {
  std::string content = Exists(path) ? ReadBytes(path) : "";
  for (int i = 0; i < 100; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    const std::string again = Exists(path) ? ReadBytes(path) : "";
    if (again == content) return content;
    content = again;
  }
  return content;
}

TEST(KillTest, KilledConverterLeavesOnlyWholeLines) {
  TempFolder folder;
  const LongJob job = MakeLongJob(400000);
  const std::string sdr = folder / "job.sdr";
  const std::string csv = folder / "job.csv";
  WriteBytes(sdr, job.input);

  int status = 0;
  waitpid(Start(sdr), &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  ASSERT_TRUE(ReadBytes(csv) == job.csv);
  const auto started = std::chrono::steady_clock::now();
  waitpid(Start(sdr), &status, 0);
  const auto runTime = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - started);

  std::mt19937 engine(std::random_device{}());
  int cutShort = 0;
  for (int attempt = 0; attempt < 8; ++attempt) {
    fs::remove(FsPath(csv));
    const pid_t child = Start(sdr);
    std::this_thread::sleep_for(std::chrono::microseconds(
        std::uniform_int_distribution<long long>(runTime.count() / 10, runTime.count())(engine)));
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
    const std::string written = SettledContent(csv);
    SCOPED_TRACE("attempt " + std::to_string(attempt) + ", " + std::to_string(written.size()) + " bytes");
    EXPECT_TRUE(IsWholeLinesBeginning(written, job.csv));
    cutShort += !written.empty() && written.size() < job.csv.size();
  }
  EXPECT_GT(cutShort, 0) << "no kill landed during a run";
}

}  // namespace
