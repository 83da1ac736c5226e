#pragma once

class MainWindow;

// The Run button: locks the options and starts the timer. Reads nothing.
void cmdOk_Click(MainWindow& window);
