#pragma once

#include "convert/RandomSource.h"
#include "ui/FormState.h"

class MainWindow;
class ProcessServices;

// frmMain's load handler: ends a second instance at once, seeds the random draws,
// shows the window, reads the command line and shows how many files it accepted.
// Returns only when the window waits for the Run button.
void Form_Load(FormState& state, MainWindow& window, ProcessServices& process, RandomSource& random);
