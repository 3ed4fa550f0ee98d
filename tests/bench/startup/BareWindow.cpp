// The reference for the start-up benchmark: a bare Win32 window of the
// installer's outer size (421 x 271), centred, that paints a fill, a box and
// a line of text, built by the same toolchain with the same runtime.
#include <windows.h>

namespace {

LRESULT CALLBACK BareProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            RECT r;
            GetClientRect(hwnd, &r);
            HBRUSH fill = CreateSolidBrush(RGB(192, 199, 208));
            FillRect(dc, &r, fill);
            DeleteObject(fill);
            Rectangle(dc, 10, 60, r.right - 10, r.bottom - 40);
            SetBkMode(dc, TRANSPARENT);
            TextOutA(dc, 12, 12, "The Player Installer collected the location of your plug-in directories.",
                     73);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_DESTROY: PostQuitMessage(0); return 0;
        default: return DefWindowProcA(hwnd, msg, wp, lp);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = BareProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    wc.lpszClassName = "ZvBareWindow";
    RegisterClassA(&wc);
    const int w = 421, h = 271;
    HWND hwnd =
        CreateWindowA("ZvBareWindow", "Bare window", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                      (GetSystemMetrics(SM_CXSCREEN) - w) / 2, (GetSystemMetrics(SM_CYSCREEN) - h) / 2, w, h,
                      nullptr, nullptr, instance, nullptr);
    ShowWindow(hwnd, show);
    UpdateWindow(hwnd);
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
    return 0;
}
