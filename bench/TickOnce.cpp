// varnel_tick_once FILE: one tick of the window's batch driver over FILE, with a
// window that shows nothing, so that its peak memory can be measured from outside.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "convert/BatchDriver.h"
#include "ui/MainWindow.h"

namespace {

class SilentWindow final : public MainWindow {
 public:
  void Show() override {}
  void SetStatusText(const std::string&) override {}
  ConversionOptions ReadOptions() override { return {}; }
  void ShowMessage(std::string_view text) override { std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data()); }
  void Disable(Control) override {}
  void EnableTimer() override {}
  void PumpEvents() override {}
  [[noreturn]] void Unload(ExitStatus status) override { std::exit(static_cast<int>(status)); }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: varnel_tick_once FILE\n");
    return 3;
  }
  FormState state;
  state.FileCount = 1;
  state.FileList.Append(argv[1]);
  SilentWindow window;
  RandomSource random;
  BatchDriver(state, window, random).tmrMain_Timer();
  return 0;
}
