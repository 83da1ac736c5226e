// The core on a web page, in a worker: the entry points that worker.js calls.
#include <emscripten.h>

#include <string>

#include "MainWindowWeb.h"

namespace {

MainWindowWeb& Window() {
  static MainWindowWeb window;
  return window;
}

}  // namespace

extern "C" {

// The window's controls, for the page to build: one line per control with its name,
// kind, caption, pixel rectangle at 96 DPI, tab index, initial check and bold font.
EMSCRIPTEN_KEEPALIVE const char* varnel_controls() {
  static std::string table;
  const auto px = [](int twips) { return std::to_string(TwipsToPixels(twips, 96)); };
  table.clear();
  for (const ControlSpec& c : kControls) {
    const auto [left, top] = CornerInWindow(c);
    for (const std::string& field : {std::string(c.name), std::to_string(static_cast<int>(c.kind)), std::string(c.caption),
                                     px(left), px(top), px(c.width), px(c.height), std::to_string(c.tabIndex),
                                     std::to_string(c.checked), std::to_string(c.bold)}) {
      table += field + '\t';
    }
    table.back() = '\n';
  }
  return table.c_str();
}

EMSCRIPTEN_KEEPALIVE void varnel_load() { Window().Form().Form_Load(); }
EMSCRIPTEN_KEEPALIVE void varnel_run() { Window().Form().cmdOk_Click(); }
EMSCRIPTEN_KEEPALIVE void varnel_tick() { Window().Form().tmrMain_Timer(); }
EMSCRIPTEN_KEEPALIVE void varnel_close() { Window().Unload(ExitStatus::ClosedByUser); }
EMSCRIPTEN_KEEPALIVE void varnel_write_failed() { Window().WriteFailed(); }

}  // extern "C"
