#include "tests/win/support/WinTestSupport.h"

#include <cstdio>
#include <stdexcept>
#include <vector>

#include "vcl/Forms.h"
#include "vcl/WideText.h"

using zv::FromWide;
using zv::ToWide;

namespace zvtest {

// ---- registry ------------------------------------------------------------------

TRegistrySandbox::TRegistrySandbox() {
    static int counter = 0;
    m_root =
        "Software\\ZvTestSandbox\\" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++counter);
    const char* names[3] = {"HKLM", "HKCU", "HKCR"};
    // Create every scratch key before HKCU itself is redirected.
    for (int i = 0; i < 3; ++i) {
        const std::string path = m_root + "\\" + names[i];
        if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &m_keys[i], nullptr) != ERROR_SUCCESS)
            throw std::runtime_error("cannot create scratch key " + path);
    }
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, m_keys[0]);
    RegOverridePredefKey(HKEY_CLASSES_ROOT, m_keys[2]);
    RegOverridePredefKey(HKEY_CURRENT_USER, m_keys[1]);
}

TRegistrySandbox::~TRegistrySandbox() {
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
    for (HKEY k : m_keys)
        if (k) RegCloseKey(k);
    RegDeleteTreeA(HKEY_CURRENT_USER, m_root.c_str());
}

// ---- files ------------------------------------------------------------------------

TTempDir::TTempDir() {
    wchar_t base[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, base);
    static int counter = 0;
    for (;;) {
        m_path = FromWide(base) + "zvtest_" + std::to_string(GetCurrentProcessId()) + "_" +
                 std::to_string(++counter);
        if (CreateDirectoryW(ToWide(m_path).c_str(), nullptr)) break;
        if (GetLastError() != ERROR_ALREADY_EXISTS) throw std::runtime_error("cannot create " + m_path);
    }
}

TTempDir::~TTempDir() {
    RemoveTree(m_path);
}

// Paths are UTF-8, as in the program, and go to the wide functions.
bool RemoveTree(const std::string& path) {
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW(ToWide(path + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = FromWide(fd.cFileName);
            if (name == "." || name == "..") continue;
            const std::string full = path + "\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(full);
            } else {
                SetFileAttributesW(ToWide(full).c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(ToWide(full).c_str());
            }
        } while (FindNextFileW(h, &fd));
        FindClose(h);
    }
    const std::wstring wide = ToWide(path);
    SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
    return RemoveDirectoryW(wide.c_str()) || GetFileAttributesW(wide.c_str()) == INVALID_FILE_ATTRIBUTES;
}

void MakeDirs(const std::string& path) {
    for (size_t i = 3; i <= path.size(); ++i)
        if (i == path.size() || path[i] == '\\') CreateDirectoryW(ToWide(path.substr(0, i)).c_str(), nullptr);
}

// ---- registry ---------------------------------------------------------------------

void SetRegValue(HKEY root, const std::string& path, const std::string& name, DWORD type, const void* data,
                 DWORD size) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        throw std::runtime_error("cannot create key " + path);
    const LONG rc = RegSetValueExA(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS) throw std::runtime_error("cannot set " + path + "\\" + name);
}

void SetRegString(HKEY root, const std::string& path, const std::string& name, const std::string& value,
                  DWORD type) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, ToWide(path).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        throw std::runtime_error("cannot create key " + path);
    const std::wstring text = ToWide(value);
    const LONG rc =
        RegSetValueExW(key, ToWide(name).c_str(), 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS) throw std::runtime_error("cannot set " + path + "\\" + name);
}

void SetRegDword(HKEY root, const std::string& path, const std::string& name, DWORD value) {
    SetRegValue(root, path, name, REG_DWORD, &value, sizeof value);
}

void WriteFile(const std::string& path, const std::string& bytes) {
    FILE* f = _wfopen(ToWide(path).c_str(), L"wb");
    if (!f) throw std::runtime_error("cannot write " + path);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

std::string ReadFile(const std::string& path) {
    FILE* f = _wfopen(ToWide(path).c_str(), L"rb");
    if (!f) return "<missing>";
    std::string bytes;
    char buf[65536];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) bytes.append(buf, n);
    std::fclose(f);
    return bytes;
}

bool FileExists(const std::string& path) {
    const DWORD a = GetFileAttributesW(ToWide(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirExists(const std::string& path) {
    const DWORD a = GetFileAttributesW(ToWide(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool AnsiCodePageLacks(const std::string& utf8) {
    const std::wstring wide = ToWide(utf8);
    BOOL usedDefault = FALSE;
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), static_cast<int>(wide.size()), nullptr, 0,
                        nullptr, &usedDefault);
    return usedDefault != FALSE;
}

// ---- message loop --------------------------------------------------------------------

// Through the application's loop when there is one, so that the message
// filter and the dialog keys work as in the program.
static void PumpOnce() {
    if (zv::Application) {
        zv::Application->ProcessMessages();
        return;
    }
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void Pump(int ms) {
    const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
    do {
        PumpOnce();
        Sleep(5);
    } while (static_cast<LONG>(end - GetTickCount()) > 0);
    PumpOnce();
}

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
    const DWORD end = GetTickCount() + static_cast<DWORD>(timeoutMs);
    while (!done()) {
        if (static_cast<LONG>(end - GetTickCount()) <= 0) return done();
        PumpOnce();
        Sleep(5);
    }
    return true;
}

// ---- pixels ------------------------------------------------------------------------

COLORREF WindowPixel(HWND hwnd, int x, int y) {
    HDC dc = GetDC(hwnd);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(hwnd, dc);
    return c;
}

static zv::TPixelBuffer CaptureFromDC(HDC src, int x, int y, int w, int h) {
    zv::TPixelBuffer out(std::max(w, 0), std::max(h, 0));
    if (w <= 0 || h <= 0) return out;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC mem = CreateCompatibleDC(src);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, w, h, src, x, y, SRCCOPY);
    GdiFlush();
    const auto* p = static_cast<const zv::TPixel*>(bits);
    for (int row = 0; row < h; ++row)
        for (int col = 0; col < w; ++col) out.At(col, row) = p[row * w + col] & 0x00FFFFFFu;
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(bmp);
    return out;
}

zv::TPixelBuffer CaptureClient(HWND hwnd) {
    RECT r;
    GetClientRect(hwnd, &r);
    HDC dc = GetDC(hwnd);
    auto out = CaptureFromDC(dc, 0, 0, r.right, r.bottom);
    ReleaseDC(hwnd, dc);
    return out;
}

zv::TPixelBuffer CaptureScreenRect(const RECT& r) {
    HDC dc = GetDC(nullptr);
    auto out = CaptureFromDC(dc, r.left, r.top, r.right - r.left, r.bottom - r.top);
    ReleaseDC(nullptr, dc);
    return out;
}

void SaveBmp(const zv::TPixelBuffer& px, const std::string& path) {
    const int w = px.Width();
    const int h = px.Height();
    const int stride = (w * 3 + 3) & ~3;
    std::vector<unsigned char> data(54 + static_cast<size_t>(stride) * h, 0);
    auto put32 = [&](size_t at, unsigned v) {
        for (int i = 0; i < 4; ++i) data[at + i] = static_cast<unsigned char>(v >> (8 * i));
    };
    data[0] = 'B';
    data[1] = 'M';
    put32(2, static_cast<unsigned>(data.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<unsigned>(w));
    put32(22, static_cast<unsigned>(h));
    data[26] = 1;
    data[28] = 24;
    for (int y = 0; y < h; ++y) {
        unsigned char* row = data.data() + 54 + static_cast<size_t>(h - 1 - y) * stride;
        for (int x = 0; x < w; ++x) {
            const zv::TPixel p = px.At(x, y);
            row[x * 3] = static_cast<unsigned char>(p);
            row[x * 3 + 1] = static_cast<unsigned char>(p >> 8);
            row[x * 3 + 2] = static_cast<unsigned char>(p >> 16);
        }
    }
    WriteFile(path, std::string(data.begin(), data.end()));
}

// ---- input --------------------------------------------------------------------------

void MouseMoveTo(int x, int y) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    const int sw = GetSystemMetrics(SM_CXSCREEN);
    const int sh = GetSystemMetrics(SM_CYSCREEN);
    in.mi.dx = static_cast<LONG>((x * 65536 + sw / 2) / sw);
    in.mi.dy = static_cast<LONG>((y * 65536 + sh / 2) / sh);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof in);
    // Some Wine versions round absolute moves; make sure the pointer is there.
    SetCursorPos(x, y);
}

void MouseButton(bool down, bool right) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = right ? (down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP)
                          : (down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP);
    SendInput(1, &in, sizeof in);
}

void Click(int x, int y) {
    MouseMoveTo(x, y);
    Pump(30);
    MouseButton(true);
    Pump(30);
    MouseButton(false);
    Pump(30);
}

void ClickClient(HWND hwnd, int x, int y) {
    POINT p{x, y};
    ClientToScreen(hwnd, &p);
    Click(p.x, p.y);
}

void KeyDown(WORD vk) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, 0));
    SendInput(1, &in, sizeof in);
}

void KeyUp(WORD vk) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, 0));
    in.ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(1, &in, sizeof in);
}

void PressKey(WORD vk) {
    KeyDown(vk);
    Pump(20);
    KeyUp(vk);
    Pump(20);
}

// ---- windows --------------------------------------------------------------------------

std::string WindowText(HWND hwnd) {
    wchar_t buf[1024] = {};
    GetWindowTextW(hwnd, buf, 1024);
    return FromWide(buf);
}

namespace {

struct TWindowSearch {
    std::string caption;
    HWND found;
};

BOOL CALLBACK FindOwnWindow(HWND w, LPARAM lp) {
    auto* s = reinterpret_cast<TWindowSearch*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid == GetCurrentProcessId() && IsWindowVisible(w) && WindowText(w) == s->caption) {
        s->found = w;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CollectChildText(HWND w, LPARAM lp) {
    auto* out = reinterpret_cast<std::string*>(lp);
    const std::string t = WindowText(w);
    if (!t.empty()) {
        if (!out->empty()) *out += "\n";
        *out += t;
    }
    return TRUE;
}

}  // namespace

HWND FindProcessWindow(const std::string& caption) {
    TWindowSearch s{caption, nullptr};
    EnumWindows(FindOwnWindow, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

std::string ChildTexts(HWND hwnd) {
    std::string out;
    EnumChildWindows(hwnd, CollectChildText, reinterpret_cast<LPARAM>(&out));
    return out;
}

}  // namespace zvtest
