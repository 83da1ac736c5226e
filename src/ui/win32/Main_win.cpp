// varnel.exe: the Win32 shell over the core.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <commctrl.h>

#include "ui/win32/MainWindowWin32.h"
#include "ui/win32/ProcessServicesWin32.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  ProcessServicesWin32 process;
  // A second instance ends before it creates any window; Form_Load asks again and
  // gets the same answer.
  if (process.PreviousInstanceRunning()) process.EndProcess(ExitStatus::AnotherInstance);

  INITCOMMONCONTROLSEX commonControls{sizeof commonControls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&commonControls);

  const auto window = MainWindowWin32::Create(instance, process);
  if (!window) return static_cast<int>(ExitStatus::EndedByMessage);
  window->Form().Form_Load();

  // The same dispatch as the event pump inside a tick. Nothing posts the quit message:
  // every way out ends the process in Form_Unload.
  while (DispatchPendingMessages(window->Handle())) WaitMessage();
  return static_cast<int>(ExitStatus::Done);
}
