// RAII owners for every kind of Win32 handle the program uses. Each owner
// frees its handle with the matching call; none is copyable.
//
//   TUniqueHandle<Traits>   the general owner
//   TWindowHandle           HWND       DestroyWindow
//   TGdiObject<T>           HGDIOBJ    DeleteObject (fonts, brushes, pens, bitmaps, regions)
//   TMemoryDC               HDC        DeleteDC
//   TWindowDC               HDC        ReleaseDC (remembers its window)
//   TRegKey                 HKEY       RegCloseKey
//   TFileHandle             HANDLE     CloseHandle (INVALID_HANDLE_VALUE is "none")
//   TFindHandle             HANDLE     FindClose
//   TLibrary                HMODULE    FreeLibrary
//   LookUp<Fn>              a function of a library, by name (null when absent)
//   TIconHandle             HICON      DestroyIcon
//   TSelectGuard            SelectObject and restore of the previous object
#pragma once

#include <windows.h>

#include <utility>

namespace zv {

template <typename Traits>
class TUniqueHandle {
public:
    using Handle = typename Traits::Handle;
    TUniqueHandle() = default;
    explicit TUniqueHandle(Handle h) : m_h(h) {}
    ~TUniqueHandle() { Reset(); }
    TUniqueHandle(TUniqueHandle&& o) noexcept : m_h(std::exchange(o.m_h, Traits::Invalid())) {}
    TUniqueHandle& operator=(TUniqueHandle&& o) noexcept {
        if (this != &o) {
            Reset();
            m_h = std::exchange(o.m_h, Traits::Invalid());
        }
        return *this;
    }
    TUniqueHandle(const TUniqueHandle&) = delete;
    TUniqueHandle& operator=(const TUniqueHandle&) = delete;

    [[nodiscard]] Handle Get() const { return m_h; }
    [[nodiscard]] bool Valid() const { return m_h != Traits::Invalid(); }
    explicit operator bool() const { return Valid(); }
    Handle Release() { return std::exchange(m_h, Traits::Invalid()); }
    void Reset(Handle h = Traits::Invalid()) {
        if (m_h != Traits::Invalid()) Traits::Close(m_h);
        m_h = h;
    }

private:
    Handle m_h = Traits::Invalid();
};

namespace handle_traits {
struct Window {
    using Handle = HWND;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { DestroyWindow(h); }
};
template <typename T>
struct GdiObject {
    using Handle = T;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { DeleteObject(h); }
};
struct MemoryDC {
    using Handle = HDC;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { DeleteDC(h); }
};
struct RegKey {
    using Handle = HKEY;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { RegCloseKey(h); }
};
struct File {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { CloseHandle(h); }
};
struct Kernel {
    using Handle = HANDLE;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { CloseHandle(h); }
};
struct Find {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { FindClose(h); }
};
struct Library {
    using Handle = HMODULE;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { FreeLibrary(h); }
};
struct Icon {
    using Handle = HICON;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { DestroyIcon(h); }
};
}  // namespace handle_traits

using TWindowHandle = TUniqueHandle<handle_traits::Window>;
template <typename T>
using TGdiObject = TUniqueHandle<handle_traits::GdiObject<T>>;
using TFontHandle = TGdiObject<HFONT>;
using TBrushHandle = TGdiObject<HBRUSH>;
using TPenHandle = TGdiObject<HPEN>;
using TBitmapHandle = TGdiObject<HBITMAP>;
using TRegionHandle = TGdiObject<HRGN>;
using TMemoryDC = TUniqueHandle<handle_traits::MemoryDC>;
using TRegKey = TUniqueHandle<handle_traits::RegKey>;
using TFileHandle = TUniqueHandle<handle_traits::File>;
using TKernelHandle = TUniqueHandle<handle_traits::Kernel>;
using TFindHandle = TUniqueHandle<handle_traits::Find>;
using TLibrary = TUniqueHandle<handle_traits::Library>;

// GetProcAddress gives a FARPROC; going through the generic function
// pointer type keeps the conversion to the real signature well defined.
template <typename Fn>
Fn LookUp(HMODULE module, const char* name) {
    if (!module) return nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}
using TIconHandle = TUniqueHandle<handle_traits::Icon>;

// A DC obtained with GetDC/GetWindowDC, released to its window.
class TWindowDC {
public:
    TWindowDC() = default;
    TWindowDC(HWND wnd, HDC dc) : m_wnd(wnd), m_dc(dc) {}
    static TWindowDC Client(HWND wnd) { return {wnd, GetDC(wnd)}; }
    static TWindowDC Window(HWND wnd) { return {wnd, GetWindowDC(wnd)}; }
    ~TWindowDC() {
        if (m_dc) ReleaseDC(m_wnd, m_dc);
    }
    TWindowDC(TWindowDC&& o) noexcept : m_wnd(o.m_wnd), m_dc(std::exchange(o.m_dc, nullptr)) {}
    TWindowDC& operator=(TWindowDC&&) = delete;
    TWindowDC(const TWindowDC&) = delete;
    TWindowDC& operator=(const TWindowDC&) = delete;
    [[nodiscard]] HDC Get() const { return m_dc; }
    explicit operator bool() const { return m_dc != nullptr; }

private:
    HWND m_wnd = nullptr;
    HDC m_dc = nullptr;
};

// Selects an object into a DC for a scope and puts the previous one back.
class TSelectGuard {
public:
    TSelectGuard(HDC dc, HGDIOBJ obj) : m_dc(dc), m_old(obj ? SelectObject(dc, obj) : nullptr) {}
    ~TSelectGuard() {
        if (m_old) SelectObject(m_dc, m_old);
    }
    TSelectGuard(const TSelectGuard&) = delete;
    TSelectGuard& operator=(const TSelectGuard&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

// A message-loop timer owned by a window.
class TTimerId {
public:
    TTimerId() = default;
    TTimerId(HWND wnd, UINT_PTR id, UINT ms) : m_wnd(wnd), m_id(SetTimer(wnd, id, ms, nullptr)) {}
    ~TTimerId() { Reset(); }
    TTimerId(TTimerId&& o) noexcept : m_wnd(o.m_wnd), m_id(std::exchange(o.m_id, 0)) {}
    TTimerId& operator=(TTimerId&& o) noexcept {
        if (this != &o) {
            // Re-arming a window's timer under the same id replaced it in
            // place: killing "the old one" would kill the new one.
            if (m_wnd == o.m_wnd && m_id == o.m_id) m_id = 0;
            Reset();
            m_wnd = o.m_wnd;
            m_id = std::exchange(o.m_id, 0);
        }
        return *this;
    }
    TTimerId(const TTimerId&) = delete;
    TTimerId& operator=(const TTimerId&) = delete;
    void Reset() {
        if (m_id) KillTimer(m_wnd, m_id);
        m_id = 0;
    }
    [[nodiscard]] bool Active() const { return m_id != 0; }
    [[nodiscard]] UINT_PTR Id() const { return m_id; }

private:
    HWND m_wnd = nullptr;
    UINT_PTR m_id = 0;
};

}  // namespace zv
