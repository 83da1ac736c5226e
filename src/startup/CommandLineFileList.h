#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "ui/FormState.h"

class MainWindow;
class MessageSink;
class ProcessServices;

// 1 when the text after the last "." of name is "sdr" in any letter case, else 0.
// A name too long for the scan shows the name-test message and gives 0.
uint8_t IsSdrFileName(const std::string& name, MessageSink& messages);

// Splits the process's argument text into names (or takes the names the system split),
// keeps those IsSdrFileName accepts and stores them in state.FileList, counted by
// state.FileCount. Returns only with 1 to MaxFiles names; otherwise shows a message
// and unloads the window, which does not return.
void ReadCommandLine(FormState& state, ProcessServices& process, MainWindow& window);
