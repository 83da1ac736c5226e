// The command-line scanner with the extension test: whatever the text, the reader
// ends normally or with one of its messages, and what it accepts is a run of names
// from the text, in order, each ending in a dot and the letters of sdr.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FakeWindow.h"
#include "startup/CommandLineFileList.h"

namespace {

bool EndsInSdr(const std::string& name) {
  if (name.size() < 4 || name[name.size() - 4] != '.') return false;
  const char* letters = "sdr";
  for (int i = 0; i < 3; ++i) {
    const char c = name[name.size() - 3 + i];
    if (c != letters[i] && c != letters[i] - 'a' + 'A') return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FormState state;
  FakeWindow window;
  FakeProcess process;
  process.argumentText.assign(reinterpret_cast<const char*>(data), size);
  try {
    ReadCommandLine(state, process, window);
    if (state.FileCount < 1) std::abort();
  } catch (const ProcessEnded&) {
    if (window.messages.empty()) std::abort();  // no end without a message
  }
  if (state.FileCount < 0 || state.FileCount > MaxFiles) std::abort();
  std::size_t from = 0;
  for (int i = 1; i <= state.FileCount; ++i) {
    const std::string& name = state.FileList[i];
    if (!EndsInSdr(name)) std::abort();
    // Every accepted name stands in the text, after the one before it.
    const std::size_t at = process.argumentText.find(name, from);
    if (at == std::string::npos) std::abort();
    from = at + name.size();
  }
  return 0;
}
