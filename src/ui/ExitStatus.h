#pragma once

// The process's exit status, for scripts that start the program.
enum class ExitStatus : int {
  Done = 0,             // every listed file was converted
  EndedByMessage = 1,   // a message ended the program (no files, too many, a write failure)
  FinishedWithErrors = 2,  // the run went to its end, but some file or line could not be read
  ClosedByUser = 3,     // the window was closed before the run had finished
  AnotherInstance = 4,  // another instance was running; nothing was done
};
