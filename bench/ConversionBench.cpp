// How fast a record converts, and how a whole tick compares with the least that
// its one-open-per-line design allows.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "convert/BatchDriver.h"
#include "convert/SdrRecord.h"
#include "ui/MainWindow.h"

namespace {

namespace fs = std::filesystem;

constexpr int kRecords = 100'000;

// A coordinate record as a Sokkia instrument writes it.
const std::string kRecord =
    "08TP        00000009510.50400000    908.83800000    19.69900000     11              ";

class QuietWindow : public MainWindow {
 public:
  void Show() override {}
  void SetStatusText(const std::string&) override {}
  ConversionOptions ReadOptions() override { return {}; }
  void ShowMessage(std::string_view text) override { throw std::runtime_error(std::string(text)); }
  void Disable(Control) override {}
  void EnableTimer() override {}
  void PumpEvents() override {}
  [[noreturn]] void Unload(ExitStatus) override { throw std::runtime_error("unloaded"); }
};

void BM_ConvertSdrLine(benchmark::State& state) {
  const ConversionOptions options;
  for (auto _ : state) {
    CsvLine csvLine = ConvertSdrLine(kRecord, options);
    benchmark::DoNotOptimize(csvLine);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ConvertSdrLine);

void BM_ConvertSdrLine_NotARecord(benchmark::State& state) {
  const ConversionOptions options;
  const std::string other = "13PCP.C. mm Applied:-30.000";
  for (auto _ : state) {
    CsvLine csvLine = ConvertSdrLine(other, options);
    benchmark::DoNotOptimize(csvLine);
  }
}
BENCHMARK(BM_ConvertSdrLine_NotARecord);

// A folder with one input file: kRecords records, each followed by another line.
class BenchFolder {
 public:
  BenchFolder() : path_(fs::temp_directory_path() / ("varnel-bench-" + std::to_string(::getpid()))) {
    fs::create_directories(path_);
    std::ofstream out(Input(), std::ios::binary);
    for (int i = 0; i < kRecords; ++i) out << kRecord << "\r\n" << "03NM1.600000000  " << i << "\r\n";
  }
  ~BenchFolder() { fs::remove_all(path_); }
  std::string Input() const { return (path_ / "job.sdr").string(); }
  std::string Output() const { return (path_ / "job.csv").string(); }

 private:
  fs::path path_;
};

void BM_TickOverOneFile(benchmark::State& state) {
  const BenchFolder folder;
  QuietWindow window;
  RandomSource random;
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove(folder.Output());
    FormState form;
    form.FileCount = 1;
    form.FileList.Append(folder.Input());
    BatchDriver driver(form, window, random);
    state.ResumeTiming();
    driver.tmrMain_Timer();
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_TickOverOneFile)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// The floor: nothing but open, write and close for every converted line.
void BM_OpenWriteCloseFloor(benchmark::State& state) {
  const BenchFolder folder;
  const std::string line = "00000009;908.83800000;510.50400000;19.69900000\r\n";
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove(folder.Output());
    state.ResumeTiming();
    for (int i = 0; i < kRecords; ++i) {
      const int fd = ::open(folder.Output().c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
      benchmark::DoNotOptimize(::write(fd, line.data(), line.size()));
      ::close(fd);
    }
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_OpenWriteCloseFloor)->Unit(benchmark::kMillisecond)->MinTime(3.0);

}  // namespace

BENCHMARK_MAIN();
