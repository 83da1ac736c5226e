#include "MainWindowWeb.h"

#include <emscripten.h>

#include <cstdlib>

#include "ui/Messages.h"

// The page's side of each operation is in worker.js.
EM_JS(void, varnel_show, (const char* title), { varnel.post({type: Msg.show, title: UTF8ToString(title)}); });
EM_JS(void, varnel_status, (const char* text), { varnel.post({type: Msg.status, text: UTF8ToString(text)}); });
EM_JS(int, varnel_checked, (int control), { return varnel.options[control] ? 1 : 0; });
EM_JS(void, varnel_disable, (int control), { varnel.post({type: Msg.disable, control: control}); });
EM_JS(void, varnel_enable_timer, (), { varnel.startTicks(); });
EM_JS(int, varnel_should_yield, (), { return varnel.shouldYield() ? 1 : 0; });
EM_JS(double, varnel_seconds_since_midnight, (), {
  const now = new Date();
  return (now - new Date(now).setHours(0, 0, 0, 0)) / 1000;
});
EM_JS(int, varnel_all_points, (), { return varnel.allPoints ? 1 : 0; });
EM_JS(void, varnel_open, (const char* input), { varnel.open(UTF8ToString(input)); });
EM_JS(void, varnel_output, (const char* csvPath, const char* bytes, size_t size), {
  varnel.output(UTF8ToString(csvPath), HEAPU8.subarray(bytes, bytes + size));
});
EM_JS(int, varnel_name_count, (), { return varnel.names.length; });
EM_JS(char*, varnel_name, (int k), { return allocateUTF8(varnel.names[k]); });
EM_JS(void, varnel_end, (int status), { varnel.end(status); });
// A message box, and the event pump: the worker waits for the page without blocking it.
EM_ASYNC_JS(void, varnel_message, (const char* text), { await varnel.message(UTF8ToString(text)); });
EM_ASYNC_JS(int, varnel_yield, (), { return await varnel.yieldToPage(); });
EM_ASYNC_JS(int, varnel_finish, (), { return await varnel.finish() ? 1 : 0; });
EM_ASYNC_JS(int, varnel_read, (char* buffer, size_t size), { return await varnel.read(buffer, size); });

void MainWindowWeb::Show() { varnel_show(std::string(form_.Title()).c_str()); }

void MainWindowWeb::SetStatusText(const std::string& text) { varnel_status(text.c_str()); }

// The page sends the check of every control, so that which control is which option is
// known here only.
ConversionOptions MainWindowWeb::ReadOptions() {
  const auto checked = [](Control control) { return varnel_checked(static_cast<int>(control)) != 0; };
  return {checked(Control::Opt1), checked(Control::Opt2), checked(Control::Opt3), checked(Control::chChangeXY)};
}

void MainWindowWeb::ShowMessage(std::string_view text) { varnel_message(std::string(text).c_str()); }

void MainWindowWeb::Disable(Control control) { varnel_disable(static_cast<int>(control)); }

void MainWindowWeb::EnableTimer() { varnel_enable_timer(); }

// Yields to the page now and then (it may have closed the window, or failed to write
// what was converted so far), not on every call: each yield costs a turn of the
// worker's event loop.
void MainWindowWeb::PumpEvents() {
  if (!varnel_should_yield()) return;
  switch (varnel_yield()) {
    case 1:
      Unload(ExitStatus::ClosedByUser);
    case 2:
      WriteFailed();
  }
}

BlockFile* MainWindowWeb::OpenInBlocks(const std::string& input, const std::string& csvPath) {
  file_.Open(input, csvPath);
  return &file_;
}

void MainWindowWeb::PageFile::Open(const std::string& input, const std::string& csvPath) {
  varnel_open(input.c_str());
  csvPath_ = csvPath;
}

std::ptrdiff_t MainWindowWeb::PageFile::Read(char* buffer, std::size_t size) { return varnel_read(buffer, size); }

bool MainWindowWeb::PageFile::Submit(std::size_t size) {
  if (size > 0) varnel_output(csvPath_.c_str(), piece_.data(), size);
  return true;
}

void MainWindowWeb::WriteFailed() {
  ShowMessage(msg::kWriteFailure);
  Unload(ExitStatus::EndedByMessage);
}

void MainWindowWeb::Unload(ExitStatus status) { form_.Form_Unload(status); }

CommandLine MainWindowWeb::Arguments() {
  std::vector<std::string> names;
  for (int k = 0; k < varnel_name_count(); ++k) {
    char* name = varnel_name(k);
    names.emplace_back(name);
    free(name);
  }
  return {{}, names};
}

FileReading MainWindowWeb::Reading() { return varnel_all_points() ? FileReading::JobPoints : FileReading::Records; }

float MainWindowWeb::SecondsSinceMidnight() { return static_cast<float>(varnel_seconds_since_midnight()); }

// The page writes the CSV files after the core, so a write or close of its that failed
// may show only now: the window's message then, unless a message already ended the run.
void MainWindowWeb::EndProcess(ExitStatus status) {
  if (!varnel_finish() && status != ExitStatus::EndedByMessage) {
    ShowMessage(msg::kWriteFailure);
    status = ExitStatus::EndedByMessage;
  }
  varnel_end(static_cast<int>(status));
  __builtin_unreachable();  // varnel.end throws, which leaves the program for the worker
}
