#include "skinui/SkinWin32.h"

#include "vcl/Win32Handles.h"

namespace zv {

namespace {

using TMonitorFromWindow = HMONITOR(WINAPI*)(HWND, DWORD);
using TGetMonitorInfoA = BOOL(WINAPI*)(HMONITOR, LPMONITORINFO);
using TSetLayeredWindowAttributes = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);

// The monitor functions, looked up once and kept until the program ends.
struct TMonitorApi {
    TLibrary Library{LoadLibraryA("user32.dll")};
    TMonitorFromWindow MonitorFromWindow = LookUp<TMonitorFromWindow>(Library.Get(), "MonitorFromWindow");
    TGetMonitorInfoA GetMonitorInfo = LookUp<TGetMonitorInfoA>(Library.Get(), "GetMonitorInfoA");
};

const TMonitorApi& MonitorApi() {
    static const TMonitorApi api;
    return api;
}

TRect FromRect(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

TRect SystemArea(bool workArea) {
    if (workArea) {
        RECT r{};
        if (SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0)) return FromRect(r);
    }
    return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

bool VersionIs(DWORD major, DWORD minorLow, DWORD minorHigh) {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExA(&info)) return false;
    return info.dwMajorVersion == major && info.dwMinorVersion >= minorLow &&
           info.dwMinorVersion <= minorHigh;
}

}  // namespace

TRect GetMonitorWorkArea(HWND wnd, bool workArea) {
    const TMonitorApi& api = MonitorApi();
    if (GetSystemMetrics(SM_CMONITORS) > 1 && api.MonitorFromWindow && api.GetMonitorInfo) {
        const HMONITOR monitor = api.MonitorFromWindow(wnd, MONITOR_DEFAULTTONEAREST);
        MONITORINFO info{};
        info.cbSize = sizeof info;
        // A failed query falls back to the system values below rather than
        // returning a rectangle nobody filled in.
        if (monitor && api.GetMonitorInfo(monitor, &info))
            return FromRect(workArea ? info.rcWork : info.rcMonitor);
    }
    return SystemArea(workArea);
}

void SetWindowAlpha(HWND wnd, BYTE alpha) {
    const TLibrary user32(LoadLibraryA("USER32"));
    const auto setLayered = LookUp<TSetLayeredWindowAttributes>(user32.Get(), "SetLayeredWindowAttributes");
    if (setLayered) setLayered(wnd, 0, alpha, LWA_ALPHA);
}

bool IsWindowsXP() {
    return VersionIs(5, 1, 1);
}

bool IsWindows2000To2003() {
    return VersionIs(5, 0, 2);
}

}  // namespace zv
