#include <gtest/gtest.h>

#include "tests/win/support/WinTestSupport.h"
#include "vcl/Win32Handles.h"

using namespace zv;

namespace {

int g_ticks = 0;

LRESULT CALLBACK CountTicks(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_TIMER && wp == 7) ++g_ticks;
    return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

// Restarting a running window timer under its own id (to change its
// interval) must leave it running.
TEST(TimerId, RearmingTheSameWindowTimerKeepsItRunning) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = CountTicks;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "ZvTimerProbe";
    RegisterClassA(&wc);
    HWND h =
        CreateWindowA("ZvTimerProbe", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(h, nullptr);
    {
        TTimerId timer(h, 7, 500);
        timer = TTimerId(h, 7, 10);
        EXPECT_TRUE(timer.Active());
        g_ticks = 0;
        zvtest::PumpUntil([] { return g_ticks >= 3; }, 3000);
        EXPECT_GE(g_ticks, 3);
        // Giving it up stops it.
        timer.Reset();
        zvtest::Pump(50);
        const int after = g_ticks;
        zvtest::Pump(100);
        EXPECT_EQ(g_ticks, after);
    }
    DestroyWindow(h);
}
