#include "vcl/PixelsPerInch.h"

#include "vcl/Win32Handles.h"

namespace zv {

namespace {

using TGetDpiForWindow = UINT(WINAPI*)(HWND);
using TIsProcessDPIAware = BOOL(WINAPI*)();
using TMonitorFromWindow = HMONITOR(WINAPI*)(HWND, DWORD);
using TGetDpiForMonitor = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI

// The functions, looked up once and kept until the program ends.
struct TDpiApi {
    TLibrary User32{LoadLibraryA("user32.dll")};
    TLibrary ShCore{LoadLibraryA("shcore.dll")};
    TGetDpiForWindow GetDpiForWindow = LookUp<TGetDpiForWindow>(User32.Get(), "GetDpiForWindow");
    TIsProcessDPIAware IsProcessDPIAware = LookUp<TIsProcessDPIAware>(User32.Get(), "IsProcessDPIAware");
    TMonitorFromWindow MonitorFromWindow = LookUp<TMonitorFromWindow>(User32.Get(), "MonitorFromWindow");
    TGetDpiForMonitor GetDpiForMonitor = LookUp<TGetDpiForMonitor>(ShCore.Get(), "GetDpiForMonitor");
};

const TDpiApi& DpiApi() {
    static const TDpiApi api;
    return api;
}

int SystemPixelsPerInch(HWND wnd) {
    const TDpiApi& api = DpiApi();
    if (!DisplayScaling() || !ProcessIsDpiAware()) return 96;
    if (wnd != nullptr && api.GetDpiForWindow != nullptr) {
        const UINT dpi = api.GetDpiForWindow(wnd);
        if (dpi != 0) return static_cast<int>(dpi);
    }
    if (wnd != nullptr && api.MonitorFromWindow != nullptr && api.GetDpiForMonitor != nullptr) {
        UINT x = 0;
        UINT y = 0;
        const HMONITOR monitor = api.MonitorFromWindow(wnd, MONITOR_DEFAULTTONEAREST);
        if (monitor != nullptr && SUCCEEDED(api.GetDpiForMonitor(monitor, kEffectiveDpi, &x, &y)) && y != 0)
            return static_cast<int>(y);
    }
    HDC screen = GetDC(nullptr);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen != nullptr) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

TPixelsPerInchSource g_source = nullptr;
bool g_scaling = false;

}  // namespace

void SetDisplayScaling(bool on) {
    g_scaling = on;
}

bool DisplayScaling() {
    return g_scaling;
}

bool ProcessIsDpiAware() {
    const TDpiApi& api = DpiApi();
    return api.IsProcessDPIAware != nullptr && api.IsProcessDPIAware() != FALSE;
}

int WindowPixelsPerInch(HWND wnd) {
    return g_source != nullptr ? g_source(wnd) : SystemPixelsPerInch(wnd);
}

TPixelsPerInchSource SetPixelsPerInchSource(TPixelsPerInchSource source) {
    TPixelsPerInchSource previous = g_source;
    g_source = source;
    return previous;
}

}  // namespace zv
