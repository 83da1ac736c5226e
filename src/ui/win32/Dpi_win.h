#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

// The DPI functions of Windows 10 and later, looked up at run time so that the
// program still starts on older Windows, which has one DPI for every monitor.
namespace dpi {

// The DPI of the monitor the window is on.
UINT ForWindow(HWND hwnd);
// The outer size of a window whose client area is clientWidth by clientHeight pixels.
SIZE WindowSizeFor(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, UINT dpi);

}  // namespace dpi
