// Reading what a screen reader gets, for the Windows tests: the objects of
// a window (AccessibleObjectFromWindow, in this process or another), their
// properties as plain values, their children (AccessibleChildren), and the
// accessibility events a window raises (an out-of-context event hook).
//
//   TAccRef            an owned IAccessible pointer
//   ClientObject, WindowObject, ChildObject, ParentObject
//   TAccProps, Props   role, name, state, value, default action, shortcut,
//                      place of the object itself or one of its children
//   Children           AccessibleChildren: ids of simple children, objects
//   TAccEvents         the events of this process or of another one
//   Flatten            an object and everything below it, depth first
#pragma once

#include <ole2.h>
#include <oleacc.h>
#include <windows.h>

#include <string>
#include <vector>

#include "tests/win/support/WinTestSupport.h"
#include "vcl/WideText.h"

namespace zvtest {

// IAccessible spelled out (a static oleacc import library gave a wrong one).
inline const GUID& IIDAccessible() {
    static const GUID id = {0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
    return id;
}

// COM for the calling thread (the object of another process is a proxy).
inline void EnsureCom() {
    static thread_local bool done = false;
    if (!done) {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        done = true;
    }
}

class TAccRef {
public:
    TAccRef() = default;
    explicit TAccRef(IAccessible* p) : m_p(p) {}
    ~TAccRef() { Reset(); }
    TAccRef(TAccRef&& o) noexcept : m_p(o.m_p) { o.m_p = nullptr; }
    TAccRef& operator=(TAccRef&& o) noexcept {
        if (this != &o) {
            Reset();
            m_p = o.m_p;
            o.m_p = nullptr;
        }
        return *this;
    }
    TAccRef(const TAccRef&) = delete;
    TAccRef& operator=(const TAccRef&) = delete;
    void Reset() {
        if (m_p != nullptr) m_p->Release();
        m_p = nullptr;
    }
    [[nodiscard]] IAccessible* Get() const { return m_p; }
    IAccessible* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }

private:
    IAccessible* m_p = nullptr;
};

inline TAccRef ObjectOfWindow(HWND hwnd, long objectId) {
    EnsureCom();
    IAccessible* p = nullptr;
    if (FAILED(AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(objectId), IIDAccessible(),
                                          reinterpret_cast<void**>(&p))))
        p = nullptr;
    return TAccRef(p);
}
inline TAccRef ClientObject(HWND hwnd) {
    return ObjectOfWindow(hwnd, OBJID_CLIENT);
}
inline TAccRef WindowObject(HWND hwnd) {
    return ObjectOfWindow(hwnd, OBJID_WINDOW);
}

inline VARIANT ChildId(long child) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = child;
    return v;
}

inline TAccRef FromDispatch(IDispatch* d) {
    IAccessible* a = nullptr;
    if (d != nullptr) {
        if (FAILED(d->QueryInterface(IIDAccessible(), reinterpret_cast<void**>(&a)))) a = nullptr;
        d->Release();
    }
    return TAccRef(a);
}

// Child `child` as an object of its own (empty for a simple element).
inline TAccRef ChildObject(const TAccRef& o, long child) {
    IDispatch* d = nullptr;
    if (!o || o->get_accChild(ChildId(child), &d) != S_OK) return {};
    return FromDispatch(d);
}

inline TAccRef ParentObject(const TAccRef& o) {
    IDispatch* d = nullptr;
    if (!o || o->get_accParent(&d) != S_OK) return {};
    return FromDispatch(d);
}

inline std::string FromBstr(BSTR b) {
    if (b == nullptr) return {};
    std::string s = zv::FromWide(std::wstring_view(b, SysStringLen(b)));
    SysFreeString(b);
    return s;
}

struct TAccProps {
    long Role = -1;
    std::string Name;
    long State = 0;
    std::string Value;
    std::string DefaultAction;
    std::string Shortcut;
    RECT Place{};
};

inline TAccProps Props(const TAccRef& o, long child = CHILDID_SELF) {
    TAccProps p;
    if (!o) return p;
    const VARIANT id = ChildId(child);
    VARIANT v;
    VariantInit(&v);
    if (o->get_accRole(id, &v) == S_OK && v.vt == VT_I4) p.Role = v.lVal;
    VariantInit(&v);
    if (o->get_accState(id, &v) == S_OK && v.vt == VT_I4) p.State = v.lVal;
    BSTR b = nullptr;
    if (o->get_accName(id, &b) == S_OK) p.Name = FromBstr(b);
    b = nullptr;
    if (o->get_accValue(id, &b) == S_OK) p.Value = FromBstr(b);
    b = nullptr;
    if (o->get_accDefaultAction(id, &b) == S_OK) p.DefaultAction = FromBstr(b);
    b = nullptr;
    if (o->get_accKeyboardShortcut(id, &b) == S_OK) p.Shortcut = FromBstr(b);
    LONG x = 0, y = 0, w = 0, h = 0;
    if (o->accLocation(&x, &y, &w, &h, id) == S_OK) p.Place = {x, y, x + w, y + h};
    return p;
}

inline long ChildCount(const TAccRef& o) {
    LONG n = -1;
    if (o) o->get_accChildCount(&n);
    return n;
}

// AccessibleChildren: for each child, its id (simple) or 0 and its object.
struct TAccKid {
    long Id = 0;
    TAccRef Object;
};
inline std::vector<TAccKid> Children(const TAccRef& o) {
    std::vector<TAccKid> out;
    const long n = ChildCount(o);
    if (n <= 0) return out;
    std::vector<VARIANT> vars(static_cast<size_t>(n));
    for (auto& v : vars) VariantInit(&v);
    LONG got = 0;
    if (FAILED(AccessibleChildren(o.Get(), 0, n, vars.data(), &got))) return out;
    for (LONG i = 0; i < got; ++i) {
        VARIANT& v = vars[static_cast<size_t>(i)];
        TAccKid k;
        if (v.vt == VT_I4)
            k.Id = v.lVal;
        else if (v.vt == VT_DISPATCH)
            k.Object = FromDispatch(v.pdispVal);  // takes the reference
        out.push_back(std::move(k));
    }
    return out;
}

// A VARIANT answer (focus, selection, hit test): the child id, 0 for the
// object itself, -1 for none; an object answer gives -2 and the object.
inline long ChildAnswer(VARIANT v, TAccRef* object = nullptr) {
    if (v.vt == VT_I4) return v.lVal;
    if (v.vt == VT_DISPATCH) {
        TAccRef r = FromDispatch(v.pdispVal);
        if (object != nullptr) *object = std::move(r);
        return -2;
    }
    return -1;
}

// An object and all that lies below it, depth first: objects with their
// properties, simple children with theirs (Depth counts the levels).
struct TAccEntry {
    int Depth = 0;
    TAccProps Props;
};
inline void Flatten(const TAccRef& o, std::vector<TAccEntry>& out, int depth = 0) {
    if (!o || depth > 12) return;
    out.push_back({depth, Props(o)});
    for (TAccKid& k : Children(o)) {
        if (k.Object)
            Flatten(k.Object, out, depth + 1);
        else
            out.push_back({depth + 1, Props(o, k.Id)});
    }
}
inline std::vector<TAccEntry> Flatten(const TAccRef& o) {
    std::vector<TAccEntry> out;
    Flatten(o, out);
    return out;
}
// The first entry with this role and name (null for none).
inline const TAccProps* FindEntry(const std::vector<TAccEntry>& all, long role, const std::string& name) {
    for (const auto& e : all)
        if (e.Props.Role == role && e.Props.Name == name) return &e.Props;
    return nullptr;
}

struct TAccEvent {
    DWORD Event;
    HWND Window;
    LONG Object;
    LONG Child;
};

// The events raised while the object lives (by this process, or by the
// process `pid`); they arrive through the message loop (Pump).
class TAccEvents {
public:
    explicit TAccEvents(DWORD pid = GetCurrentProcessId()) {
        Current() = this;
        m_hook = SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, &Record, pid, 0, WINEVENT_OUTOFCONTEXT);
    }
    ~TAccEvents() {
        if (m_hook != nullptr) UnhookWinEvent(m_hook);
        Current() = nullptr;
    }
    TAccEvents(const TAccEvents&) = delete;
    TAccEvents& operator=(const TAccEvents&) = delete;
    [[nodiscard]] bool Hooked() const { return m_hook != nullptr; }
    std::vector<TAccEvent> Seen;
    void Clear() { Seen.clear(); }
    [[nodiscard]] bool Has(DWORD event, HWND window, LONG object, LONG child) const {
        for (const auto& e : Seen)
            if (e.Event == event && e.Window == window && e.Object == object && e.Child == child) return true;
        return false;
    }
    // Waits (pumping) until the event was seen.
    bool WaitFor(DWORD event, HWND window, LONG object, LONG child, int ms = 2000) {
        return PumpUntil([&] { return Has(event, window, object, child); }, ms);
    }

private:
    static TAccEvents*& Current() {
        static TAccEvents* current = nullptr;
        return current;
    }
    static void CALLBACK Record(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG child, DWORD,
                                DWORD) {
        if (Current() != nullptr) Current()->Seen.push_back({event, hwnd, object, child});
    }
    HWINEVENTHOOK m_hook = nullptr;
};

}  // namespace zvtest
