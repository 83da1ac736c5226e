// The command-line scanner with the extension test: whatever the text, the reader ends
// normally or with one of its messages, and what it accepts is a run of names from the
// text, in order, each ending in a dot and the letters of sdr in any case.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FakeWindow.h"
#include "startup/CommandLineFileList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FormState state;
  FakeWindow window;
  FakeProcess process;
  const std::string text(reinterpret_cast<const char*>(data), size);
  process.arguments.text = text;
  // It ends only after a message, and goes on only with a name.
  const bool ended = EndOf([&] { ReadCommandLine(state, process, window); }).has_value();
  if (ended ? window.messages.empty() : state.FileCount < 1) std::abort();
  std::size_t from = 0;
  for (int i = 1; i <= state.FileCount; ++i) {
    std::string name = state.FileList[i];
    from = text.find(name, from);
    for (char& c : name) c = static_cast<char>(c | (c >= 'A' && c <= 'Z' ? 0x20 : 0));
    if (from == std::string::npos || !name.ends_with(".sdr")) std::abort();
    from += name.size();
  }
  return 0;
}
