// Start-up benchmark: starts two programs in turn (the installer and a bare
// window), polls the screen every millisecond from the moment each is
// started, and reports when each window's contents became final, when the
// whole window (caption included, so the caption's fade) did, and its peak
// memory. Medians over interleaved runs, and the ratio of the first program
// to the second. (CPU while idle is measured from the Linux side by
// run-startup-bench: Wine does not report another process's times.)
//
//   startup_launcher [--runs N] FIRST.exe SECOND.exe
//   startup_launcher --park-cursor      moves the mouse to the screen's corner
//
// "Final" is measured backwards: the picture the window shows once nothing
// has changed for a while is the final one, and a window is final from the
// first sample after which every sample equals it. The top 30 rows (the
// caption bar) are left out of "contents".
#include <windows.h>

#include <mmsystem.h>
#include <psapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kCaptionRows = 30;

double Now() {
    static LARGE_INTEGER freq = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(freq.QuadPart);
}

struct TFind {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindWindowOf(HWND hwnd, LPARAM lp) {
    auto* f = reinterpret_cast<TFind*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    RECT r;
    if (pid == f->pid && IsWindowVisible(hwnd) && GetWindowRect(hwnd, &r) && r.right - r.left > 300) {
        f->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

struct TSample {
    double ms;
    std::uint64_t all;
    std::uint64_t contents;
};

// FNV-1a over the window's pixels as the screen shows them.
bool Capture(HWND hwnd, std::uint64_t& all, std::uint64_t& contents) {
    RECT r;
    if (!GetWindowRect(hwnd, &r)) return false;
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return false;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    const auto* px = static_cast<const std::uint32_t*>(bits);
    std::uint64_t ha = 1469598103934665603ull, hc = 1469598103934665603ull;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::uint32_t v = px[y * w + x] & 0xFFFFFF;
            ha = (ha ^ v) * 1099511628211ull;
            if (y >= kCaptionRows) hc = (hc ^ v) * 1099511628211ull;
        }
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    all = ha;
    contents = hc;
    return true;
}

double FinalSince(const std::vector<TSample>& s, bool contents) {
    const std::uint64_t last = contents ? s.back().contents : s.back().all;
    size_t i = s.size();
    while (i > 0 && (contents ? s[i - 1].contents : s[i - 1].all) == last) --i;
    return s[i < s.size() ? i : s.size() - 1].ms;
}

struct TRun {
    double contents = -1, all = -1, peakMb = -1;
};

TRun RunOnce(const std::string& exe) {
    TRun run;
    SetCursorPos(0, 0);  // the mouse stays off the window: nothing hovers
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::string cmd = "\"" + exe + "\"";
    const double t0 = Now();
    if (!CreateProcessA(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        std::fprintf(stderr, "cannot start %s (%lu)\n", exe.c_str(), GetLastError());
        return run;
    }
    std::vector<TSample> samples;
    TFind f{pi.dwProcessId, nullptr};
    double lastChange = 0;
    for (;;) {
        const double t = Now() - t0;
        if (t > 20000) break;
        if (!f.found) EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(&f));
        std::uint64_t all = 0, contents = 0;
        if (f.found && Capture(f.found, all, contents)) {
            if (samples.empty() || samples.back().all != all) lastChange = t;
            samples.push_back({t, all, contents});
            // Settled: two seconds without a change, and at least three
            // seconds after the start.
            if (t > 3000 && t - lastChange > 2000) break;
        }
        Sleep(1);
    }
    if (!samples.empty()) {
        run.contents = FinalSince(samples, true);
        run.all = FinalSince(samples, false);
    }
    PROCESS_MEMORY_COUNTERS pmc{};
    pmc.cb = sizeof pmc;
    if (K32GetProcessMemoryInfo(pi.hProcess, &pmc, sizeof pmc))
        run.peakMb = static_cast<double>(pmc.PeakWorkingSetSize) / (1024.0 * 1024.0);
    if (f.found) PostMessageA(f.found, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    Sleep(500);
    return run;
}

double Median(std::vector<double> v) {
    v.erase(std::remove(v.begin(), v.end(), -1.0), v.end());
    if (v.empty()) return -1;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 9;
    std::vector<std::string> exes;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--park-cursor") return SetCursorPos(0, 0) ? 0 : 1;
        if (a == "--runs" && i + 1 < argc)
            runs = std::atoi(argv[++i]);
        else
            exes.push_back(a);
    }
    if (exes.size() != 2) {
        std::fprintf(stderr, "usage: startup_launcher [--runs N] FIRST.exe SECOND.exe\n");
        return 2;
    }
    timeBeginPeriod(1);
    std::vector<TRun> results[2];
    for (int r = 0; r < runs; ++r)
        for (int k = 0; k < 2; ++k) {
            const int which = (r % 2 == 0) ? k : 1 - k;  // interleaved, alternating who goes first
            const TRun run = RunOnce(exes[static_cast<size_t>(which)]);
            results[which].push_back(run);
            std::printf("run %d %-6s contents %7.1f ms  whole window %7.1f ms\n", r + 1,
                        which == 0 ? "first" : "second", run.contents, run.all);
            std::fflush(stdout);
        }
    timeEndPeriod(1);
    double medContents[2], medAll[2], peak[2];
    for (int k = 0; k < 2; ++k) {
        std::vector<double> c, a, p;
        for (const auto& run : results[k]) {
            c.push_back(run.contents);
            a.push_back(run.all);
            p.push_back(run.peakMb);
        }
        medContents[k] = Median(c);
        medAll[k] = Median(a);
        peak[k] = Median(p);
        std::printf("%s: %s\n  contents final %.1f ms, whole window final %.1f ms, peak memory %.1f MB",
                    k ? "second" : "first", exes[static_cast<size_t>(k)].c_str(), medContents[k], medAll[k],
                    peak[k]);
        std::printf("\n");
    }
    std::printf("ratio first/second: contents %.2f, whole window %.2f (medians of %d interleaved runs)\n",
                medContents[0] / medContents[1], medAll[0] / medAll[1], runs);
    return 0;
}
