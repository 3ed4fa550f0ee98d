// A tool run as a child process whose end the installer waits for: its exit
// code comes back, the thread's windows are served meanwhile (posted
// messages, paints, timers) while mouse and keyboard input is dropped, the
// bound ends the wait, and a quit request survives it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "deploy/ToolProcess.h"
#include "tests/win/deploy/DeployTestPaths.h"
#include "tests/win/support/WinTestSupport.h"

using namespace zv;
using namespace deploytest;

namespace {

constexpr UINT kPosted = WM_APP + 7;

std::vector<UINT>& Seen() {
    static std::vector<UINT> seen;
    return seen;
}

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case kPosted:
        case WM_TIMER:
        case WM_LBUTTONDOWN:
        case WM_KEYDOWN:
        case WM_NCLBUTTONDOWN: Seen().push_back(msg); return 0;
        case WM_PAINT: {
            Seen().push_back(msg);
            PAINTSTRUCT ps;
            BeginPaint(hwnd, &ps);
            EndPaint(hwnd, &ps);
            return 0;
        }
        default: return DefWindowProcA(hwnd, msg, wp, lp);
    }
}

bool Saw(UINT msg) {
    for (UINT m : Seen())
        if (m == msg) return true;
    return false;
}

// A visible window of this thread that records what reaches it.
struct TRecordingWindow {
    HWND hwnd = nullptr;
    TRecordingWindow() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = RecordingProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "ZvToolWaitProbe";
        RegisterClassA(&wc);
        hwnd = CreateWindowExA(0, wc.lpszClassName, "probe", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200,
                               100, nullptr, nullptr, wc.hInstance, nullptr);
        zvtest::Pump(100);
        Seen().clear();
    }
    ~TRecordingWindow() { DestroyWindow(hwnd); }
    TRecordingWindow(const TRecordingWindow&) = delete;
    TRecordingWindow& operator=(const TRecordingWindow&) = delete;
};

std::string Args(int code, int sleepMs, const std::string& marker) {
    return std::to_string(code) + " " + std::to_string(sleepMs) + " \"" + marker + "\"";
}

}  // namespace

TEST(RunToolAndWait, GivesTheExitCodeAndServesTheWindowsButNotTheirInput) {
    zvtest::TTempDir temp;
    TRecordingWindow window;
    ASSERT_NE(window.hwnd, nullptr);
    PostMessageA(window.hwnd, kPosted, 0, 0);
    PostMessageA(window.hwnd, WM_LBUTTONDOWN, 0, 0);
    PostMessageA(window.hwnd, WM_KEYDOWN, VK_RETURN, 0);
    PostMessageA(window.hwnd, WM_NCLBUTTONDOWN, HTCLOSE, 0);
    InvalidateRect(window.hwnd, nullptr, TRUE);
    SetTimer(window.hwnd, 1, 20, nullptr);

    const std::string marker = temp / "ended";
    const TToolRun run = RunToolAndWait(ExitToolExe(), Args(7, 400, marker), 60000);
    KillTimer(window.hwnd, 1);
    EXPECT_TRUE(run.started);
    EXPECT_TRUE(run.ended);
    EXPECT_EQ(run.exitCode, 7u);
    EXPECT_FALSE(run.Succeeded()) << "a non-zero exit code is a failure";
    EXPECT_TRUE(zvtest::FileExists(marker)) << "the wait ended before the tool did";

    EXPECT_TRUE(Saw(kPosted));
    EXPECT_TRUE(Saw(WM_PAINT)) << "the window was not painted while waiting";
    EXPECT_TRUE(Saw(WM_TIMER));
    EXPECT_FALSE(Saw(WM_LBUTTONDOWN));
    EXPECT_FALSE(Saw(WM_KEYDOWN));
    EXPECT_FALSE(Saw(WM_NCLBUTTONDOWN));

    const TToolRun ok = RunToolAndWait(ExitToolExe(), Args(0, 0, temp / "ok"), 60000);
    EXPECT_TRUE(ok.Succeeded());
}

TEST(RunToolAndWait, TheBoundEndsTheWaitAndAQuitRequestSurvivesIt) {
    zvtest::TTempDir temp;
    const std::string marker = temp / "late";
    PostQuitMessage(5);
    const TToolRun run = RunToolAndWait(ExitToolExe(), Args(0, 3000, marker), 300);
    EXPECT_TRUE(run.started);
    EXPECT_FALSE(run.ended);
    EXPECT_FALSE(run.Succeeded()) << "a tool that outlives the bound counts as failed";
    EXPECT_FALSE(zvtest::FileExists(marker)) << "the wait went on to the tool's end";

    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the quit request was lost";
    EXPECT_EQ(msg.wParam, 5u);
    // The tool still ends on its own (before the directory goes).
    EXPECT_TRUE(zvtest::PumpUntil([&] { return zvtest::FileExists(marker); }, 20000));
    zvtest::Pump(300);
}

TEST(RunToolAndWait, AToolThatCannotBeStartedIsReported) {
    zvtest::TTempDir temp;
    const TToolRun run = RunToolAndWait(temp / "missing.exe", "", 60000);
    EXPECT_FALSE(run.started);
    EXPECT_FALSE(run.Succeeded());
    EXPECT_NE(run.error, 0u);
}
