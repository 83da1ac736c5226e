#pragma once

// Child window ids of the Win32 window, shared with the end-to-end test driver:
// each control's id is kFirstControlId plus its place in the creation order.
#include "ui/Controls.h"

inline constexpr int kFirstControlId = 100;

inline constexpr int ControlId(Control control) { return kFirstControlId + static_cast<int>(control); }

inline constexpr const wchar_t* kMainWindowClass = L"VarnelMainWindow";
