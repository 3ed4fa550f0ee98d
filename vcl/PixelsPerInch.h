// The display density of a window, asked of the system by the newest means
// it has: the program runs from Windows XP to 11 and links only what all of
// them export, so the per-monitor functions are looked up at run time.
//
//   WindowPixelsPerInch       the pixels per inch of the monitor a window is on
//   SetDisplayScaling         whether forms follow their monitor's density
//   SetPixelsPerInchSource    another answer in place of the system's (tests)
#pragma once

#include <windows.h>

namespace zv {

// GetDpiForWindow (Windows 10 1607 and later), else GetDpiForMonitor of the
// window's monitor (shcore.dll, Windows 8.1 and later), else the screen's
// LOGPIXELSY (the system density, all systems). 96 when even that fails,
// while display scaling is off, and for a process that has not declared
// itself DPI aware: the system stretches such a window's bitmap itself, so
// laying it out larger as well would scale it twice.
int WindowPixelsPerInch(HWND wnd);

// Display scaling is off until the program turns it on: every window it
// shows must draw at the density first (Wine reports a process without a
// DPI-aware manifest as aware, so the manifest alone cannot keep a window
// that does not scale yet at 96).
void SetDisplayScaling(bool on);
[[nodiscard]] bool DisplayScaling();

// Whether the process declared DPI awareness (its manifest or a call):
// IsProcessDPIAware, Windows Vista and later; false before that.
bool ProcessIsDpiAware();

// The messages of a window that moved to a monitor of another density;
// named here because the program is built against older headers.
constexpr UINT WM_DPICHANGED_MSG = 0x02E0;
constexpr UINT WM_GETDPISCALEDSIZE_MSG = 0x02E4;

using TPixelsPerInchSource = int (*)(HWND wnd);
// Replaces where WindowPixelsPerInch takes its answer from; null gives the
// system back. Returns the previous source.
TPixelsPerInchSource SetPixelsPerInchSource(TPixelsPerInchSource source);

}  // namespace zv
