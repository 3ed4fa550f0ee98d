// System services of the skin layer looked up at run time, so that the
// program still starts on systems without them.
//
//   GetMonitorWorkArea   work area or full area of the window's monitor
//   SetWindowAlpha       translucency of a layered window
//   IsWindowsXP, IsWindows2000To2003   system version tests
#pragma once

#include <windows.h>

#include "base/Types.h"

namespace zv {

// The work area (workArea set) or the whole area of the monitor nearest to
// `wnd`. With a single monitor, or without "MonitorFromWindow" and
// "GetMonitorInfoA", or when asking the monitor fails: the system work area,
// or (0, 0, screen width, screen height).
TRect GetMonitorWorkArea(HWND wnd, bool workArea);

// Calls "SetLayeredWindowAttributes" with the alpha flag when the system has
// it; does nothing otherwise. The window must have the layered style.
void SetWindowAlpha(HWND wnd, BYTE alpha);

// The system is 5.1.
bool IsWindowsXP();
// The system is 5.0, 5.1 or 5.2.
bool IsWindows2000To2003();

}  // namespace zv
