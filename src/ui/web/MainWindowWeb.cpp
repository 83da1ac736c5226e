#include "MainWindowWeb.h"

#include <emscripten.h>

#include <cstdlib>

#include "ui/Messages.h"

// The page's side of each operation is in worker.js.
EM_JS(void, varnel_show, (), { varnel.post({type: "show"}); });
EM_JS(void, varnel_status, (const char* text), { varnel.post({type: "status", text: UTF8ToString(text)}); });
EM_JS(int, varnel_option, (int which), { return varnel.options[which] ? 1 : 0; });
EM_JS(void, varnel_disable, (int control), { varnel.post({type: "disable", control: control}); });
EM_JS(void, varnel_enable_timer, (), { varnel.startTicks(); });
EM_JS(int, varnel_should_yield, (), { return varnel.shouldYield() ? 1 : 0; });
EM_JS(double, varnel_seconds_since_midnight, (), {
  const now = new Date();
  return (now - new Date(now).setHours(0, 0, 0, 0)) / 1000;
});
EM_JS(int, varnel_name_count, (), { return varnel.names.length; });
EM_JS(char*, varnel_name, (int k), { return allocateUTF8(varnel.names[k]); });
EM_JS(void, varnel_end, (int status), { varnel.end(status); });
// A message box, and the event pump: the worker waits for the page without blocking it.
EM_ASYNC_JS(void, varnel_message, (const char* text), { await varnel.message(UTF8ToString(text)); });
EM_ASYNC_JS(int, varnel_yield, (), { return await varnel.yieldToPage(); });

void MainWindowWeb::Show() { varnel_show(); }

void MainWindowWeb::SetStatusText(const std::string& text) { varnel_status(text.c_str()); }

ConversionOptions MainWindowWeb::ReadOptions() {
  return {varnel_option(0) != 0, varnel_option(1) != 0, varnel_option(2) != 0, varnel_option(3) != 0};
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

float MainWindowWeb::SecondsSinceMidnight() { return static_cast<float>(varnel_seconds_since_midnight()); }

void MainWindowWeb::EndProcess(ExitStatus status) {
  varnel_end(static_cast<int>(status));
  __builtin_unreachable();  // varnel.end throws, which leaves the program for the worker
}
