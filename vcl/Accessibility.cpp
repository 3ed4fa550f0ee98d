// The COM side of the accessibility nodes.
//
//   interface ids       spelled out
//   TAccessibleObject   IAccessible and IEnumVARIANT over a node: child
//                       checks, texts as BSTRs, children as VARIANTs,
//                       navigation, disconnection
//   TAccNode            the object made on first use, disconnected at the end
//   TAccWindowNode      the window object: frame nodes and the client
//   AnswerGetObject     COM for the GUI thread, LresultFromObject
//   NotifyAccEvent      NotifyWinEvent
#include "vcl/Accessibility.h"

#include <ole2.h>
#include <oleacc.h>

#include <algorithm>
#include <string>

#include "vcl/WideText.h"

namespace zv {

namespace {

// A static oleacc import library once carried a wrong IID_IAccessible; the
// identifiers are the interfaces' published ones.
constexpr GUID kIIDUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr GUID kIIDDispatch = {0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr GUID kIIDEnumVariant = {
    0x00020404, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr GUID kIIDAccessible = {
    0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

constexpr long kNavUp = 1, kNavDown = 2, kNavLeft = 3, kNavRight = 4, kNavNext = 5, kNavPrevious = 6,
               kNavFirstChild = 7, kNavLastChild = 8;

bool SameGuid(REFIID a, const GUID& b) {
    return IsEqualGUID(a, b) != FALSE;
}

// Texts are the program's UTF-8 strings; readers get them as UTF-16.
BSTR ToBstr(const std::string& text) {
    const std::wstring wide = ToWide(text);
    return SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

// A text answer: S_FALSE (and no string) for an empty one, as the
// interface asks.
HRESULT TextAnswer(const std::string& text, BSTR* out) {
    if (text.empty()) return S_FALSE;
    *out = ToBstr(text);
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

void SetI4(VARIANT* v, long value) {
    v->vt = VT_I4;
    v->lVal = value;
}

// The IDispatch of a child object (AddRef'd), null for a simple element.
IDispatch* ObjectOf(const TAccChild& c) {
    IDispatch* d = nullptr;
    if (c.Node != nullptr) {
        c.Node->AccObject()->QueryInterface(kIIDDispatch, reinterpret_cast<void**>(&d));
    } else if (c.Window != nullptr && IsWindow(c.Window)) {
        if (FAILED(AccessibleObjectFromWindow(c.Window, static_cast<DWORD>(c.ObjectId), kIIDDispatch,
                                              reinterpret_cast<void**>(&d))))
            d = nullptr;
    }
    return d;
}

}  // namespace

class TAccessibleObject final : public IAccessible, public IEnumVARIANT {
public:
    explicit TAccessibleObject(TAccNode* node) : m_node(node) {}

    void Disconnect() {
        m_node = nullptr;
        // Remote clients' proxies are let go of now, not when they ask.
        CoDisconnectObject(static_cast<IAccessible*>(this), 0);
    }

    // ---- IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        if (SameGuid(riid, kIIDUnknown) || SameGuid(riid, kIIDDispatch) || SameGuid(riid, kIIDAccessible))
            *out = static_cast<IAccessible*>(this);
        else if (SameGuid(riid, kIIDEnumVariant))
            *out = static_cast<IEnumVARIANT*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&m_refs)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG n = InterlockedDecrement(&m_refs);
        if (n == 0) delete this;
        return static_cast<ULONG>(n);
    }

    // ---- IDispatch: clients call the interface's own methods.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count == nullptr) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

    // ---- IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        if (parent == nullptr) return E_POINTER;
        *parent = nullptr;
        if (m_node == nullptr) return RPC_E_DISCONNECTED;
        *parent = ObjectOf(m_node->AccParent());
        return *parent != nullptr ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
        if (count == nullptr) return E_POINTER;
        if (m_node == nullptr) return RPC_E_DISCONNECTED;
        *count = m_node->AccChildCount();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT id, IDispatch** child) override {
        if (child == nullptr) return E_POINTER;
        *child = nullptr;
        int c = 0;
        if (const HRESULT hr = Check(id, c); FAILED(hr)) return hr;
        if (c == 0) return E_INVALIDARG;
        *child = ObjectOf(m_node->AccChild(c));
        return *child != nullptr ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT id, BSTR* name) override {
        return Text(id, name, [](const TAccInfo& i) { return i.Name; });
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT id, BSTR* value) override {
        return Text(id, value, [](const TAccInfo& i) { return i.Value; });
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT id, BSTR* description) override {
        return Text(id, description, [](const TAccInfo&) { return std::string(); });
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT id, BSTR* help) override {
        return Text(id, help, [](const TAccInfo&) { return std::string(); });
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT id, BSTR* shortcut) override {
        return Text(id, shortcut, [](const TAccInfo& i) { return i.KeyboardShortcut; });
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT id, BSTR* action) override {
        return Text(id, action, [](const TAccInfo& i) { return i.DefaultAction; });
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, LONG* topic) override {
        if (file != nullptr) *file = nullptr;
        if (topic != nullptr) *topic = -1;
        return m_node == nullptr ? RPC_E_DISCONNECTED : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT id, VARIANT* role) override {
        if (role == nullptr) return E_POINTER;
        VariantInit(role);
        int c = 0;
        if (const HRESULT hr = Check(id, c); FAILED(hr)) return hr;
        SetI4(role, m_node->AccDescribe(c).Role);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT id, VARIANT* state) override {
        if (state == nullptr) return E_POINTER;
        VariantInit(state);
        int c = 0;
        if (const HRESULT hr = Check(id, c); FAILED(hr)) return hr;
        SetI4(state, m_node->AccDescribe(c).State);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
        return ChildAnswer(focus, m_node != nullptr ? m_node->AccFocus() : -1);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        return ChildAnswer(selection, m_node != nullptr ? m_node->AccSelection() : -1);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT id) override {
        int c = 0;
        if (const HRESULT hr = Check(id, c); FAILED(hr)) return hr;
        return m_node->AccSelect(c, flags) ? S_OK : DISP_E_MEMBERNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                          VARIANT id) override {
        if (left == nullptr || top == nullptr || width == nullptr || height == nullptr) return E_POINTER;
        int c = 0;
        if (const HRESULT hr = Check(id, c); FAILED(hr)) return hr;
        TRect r = m_node->AccDescribe(c).Bounds;
        if (!m_node->AccChild(c).Simple() && c != 0) {
            // An object child says where it is itself.
            if (IDispatch* d = ObjectOf(m_node->AccChild(c))) {
                IAccessible* a = nullptr;
                VARIANT self;
                VariantInit(&self);
                SetI4(&self, CHILDID_SELF);
                HRESULT hr = E_FAIL;
                if (SUCCEEDED(d->QueryInterface(kIIDAccessible, reinterpret_cast<void**>(&a)))) {
                    hr = a->accLocation(left, top, width, height, self);
                    a->Release();
                }
                d->Release();
                return hr;
            }
        }
        *left = r.Left;
        *top = r.Top;
        *width = r.Width();
        *height = r.Height();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
        if (end == nullptr) return E_POINTER;
        VariantInit(end);
        int c = 0;
        if (const HRESULT hr = Check(start, c); FAILED(hr)) return hr;
        const int count = m_node->AccChildCount();
        int target = -1;
        switch (direction) {
            case kNavFirstChild:
                if (c == 0 && count > 0) target = 1;
                break;
            case kNavLastChild:
                if (c == 0 && count > 0) target = count;
                break;
            case kNavNext:
            case kNavDown:
            case kNavRight:
                if (c > 0 && c < count) target = c + 1;
                break;
            case kNavPrevious:
            case kNavUp:
            case kNavLeft:
                if (c > 1) target = c - 1;
                break;
            default: return E_INVALIDARG;
        }
        if (target < 0) return S_FALSE;
        return ChildAnswer(end, target);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* hit) override {
        return ChildAnswer(hit, m_node != nullptr ? m_node->AccHitTest({x, y}) : -1);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT id) override {
        int c = 0;
        if (const HRESULT hr = Check(id, c); FAILED(hr)) return hr;
        return m_node->AccDoDefaultAction(c) ? S_OK : DISP_E_MEMBERNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

    // ---- IEnumVARIANT: the children in order, simple ones by id, the
    // others as their objects.
    HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* out, ULONG* fetched) override {
        if (fetched != nullptr) *fetched = 0;
        if (out == nullptr) return E_POINTER;
        if (m_node == nullptr) return RPC_E_DISCONNECTED;
        const int total = m_node->AccChildCount();
        ULONG n = 0;
        while (n < count && m_cursor < total) {
            VARIANT& v = out[n];
            VariantInit(&v);
            const int child = ++m_cursor;
            if (IDispatch* d = ObjectOf(m_node->AccChild(child))) {
                v.vt = VT_DISPATCH;
                v.pdispVal = d;
            } else {
                SetI4(&v, child);
            }
            ++n;
        }
        if (fetched != nullptr) *fetched = n;
        return n == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
        if (m_node == nullptr) return RPC_E_DISCONNECTED;
        const int total = m_node->AccChildCount();
        const long long wanted = static_cast<long long>(m_cursor) + count;
        m_cursor = static_cast<int>(std::min<long long>(wanted, total));
        return wanted <= total ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override {
        m_cursor = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** out) override {
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        return E_NOTIMPL;
    }

private:
    ~TAccessibleObject() = default;

    // The child an id names: VT_I4 (or an empty variant for the object
    // itself) within 0 .. count.
    HRESULT Check(const VARIANT& id, int& child) const {
        if (m_node == nullptr) return RPC_E_DISCONNECTED;
        if (id.vt == VT_EMPTY) {
            child = 0;
            return S_OK;
        }
        if (id.vt != VT_I4 && id.vt != VT_I2) return E_INVALIDARG;
        const long c = id.vt == VT_I4 ? id.lVal : id.iVal;
        if (c < 0 || c > m_node->AccChildCount()) return E_INVALIDARG;
        child = static_cast<int>(c);
        return S_OK;
    }

    template <typename TPick>
    HRESULT Text(const VARIANT& id, BSTR* out, TPick pick) {
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        int c = 0;
        if (const HRESULT hr = Check(id, c); FAILED(hr)) return hr;
        return TextAnswer(pick(m_node->AccDescribe(c)), out);
    }

    // Child `child` as an answer: empty (S_FALSE) for none, the object for
    // an object child, else the id.
    HRESULT ChildAnswer(VARIANT* out, int child) {
        if (out == nullptr) return E_POINTER;
        VariantInit(out);
        if (m_node == nullptr) return RPC_E_DISCONNECTED;
        if (child < 0) return S_FALSE;
        if (child > 0) {
            if (IDispatch* d = ObjectOf(m_node->AccChild(child))) {
                out->vt = VT_DISPATCH;
                out->pdispVal = d;
                return S_OK;
            }
        }
        SetI4(out, child);
        return S_OK;
    }

    LONG m_refs = 1;
    TAccNode* m_node;
    int m_cursor = 0;
};

// ---- TAccNode -----------------------------------------------------------------------

TAccNode::~TAccNode() {
    AccDisconnect();
}

IAccessible* TAccNode::AccObject() {
    if (m_accObject == nullptr) m_accObject = new TAccessibleObject(this);
    return m_accObject;
}

void TAccNode::AccDisconnect() {
    TAccessibleObject* o = m_accObject;
    if (o == nullptr) return;
    m_accObject = nullptr;
    o->Disconnect();
    o->Release();
}

// ---- TAccWindowNode -------------------------------------------------------------------

int TAccWindowNode::AccChildCount() {
    return static_cast<int>(NonClient.size()) + 1;
}

TAccChild TAccWindowNode::AccChild(int child) {
    if (child >= 1 && child <= static_cast<int>(NonClient.size()))
        return {NonClient[static_cast<size_t>(child - 1)], nullptr};
    return {&m_client, nullptr};
}

TAccInfo TAccWindowNode::AccDescribe(int child) {
    (void)child;  // every child is an object
    TAccInfo info = m_client.AccDescribe(0);
    info.Role = accRoleWindow;
    info.Value.clear();
    info.DefaultAction.clear();
    HWND window = m_client.AccWindowHandle();
    RECT r{};
    if (window != nullptr) GetWindowRect(window, &r);
    info.Bounds = {r.left, r.top, r.right, r.bottom};
    info.State &= accStateInvisible | accStateUnavailable | accStateFocusable | accStateFocused;
    if (window == nullptr || !IsWindowVisible(window)) info.State |= accStateInvisible;
    return info;
}

int TAccWindowNode::AccHitTest(TPoint screen) {
    for (size_t i = 0; i < NonClient.size(); ++i)
        if (NonClient[i]->AccHitTest(screen) >= 0) return static_cast<int>(i) + 1;
    if (m_client.AccHitTest(screen) >= 0) return AccChildCount();
    HWND window = m_client.AccWindowHandle();
    RECT r{};
    if (window == nullptr || !GetWindowRect(window, &r)) return -1;
    const TRect wr{r.left, r.top, r.right, r.bottom};
    return wr.Contains(screen) ? 0 : -1;
}

int TAccWindowNode::AccFocus() {
    return m_client.AccFocus() >= 0 ? AccChildCount() : -1;
}

TAccChild TAccWindowNode::AccParent() {
    // A child window sits in its parent's client area; a top-level one on
    // the desktop.
    HWND window = m_client.AccWindowHandle();
    HWND parent = (window != nullptr && (GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD)) ? GetParent(window)
                                                                                           : nullptr;
    if (parent == nullptr) parent = GetDesktopWindow();
    return {nullptr, parent, accObjClient};
}

// ---- captions ---------------------------------------------------------------------------

std::string AccCaptionText(const std::string& caption) {
    std::string text;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&') {
            if (i + 1 >= caption.size()) break;
            ++i;
        }
        text += caption[i];
    }
    return text;
}

std::string AccAccessKey(const std::string& caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        char key = caption[i + 1];
        if (key >= 'a' && key <= 'z') key = static_cast<char>(key - 'a' + 'A');
        return std::string("Alt+") + key;
    }
    return {};
}

// ---- WM_GETOBJECT and events -------------------------------------------------------------

LRESULT AnswerGetObject(TAccNode& node, WPARAM wParam) {
    // The object is marshalled for the asking process from this thread's
    // apartment; the first request brings the apartment.
    static thread_local bool comReady = false;
    if (!comReady) {
        const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        comReady = SUCCEEDED(hr) || hr == RPC_E_CHANGED_MODE;
        if (!comReady) return 0;
    }
    const LRESULT r = LresultFromObject(kIIDAccessible, wParam, node.AccObject());
    return r > 0 ? r : 0;
}

void NotifyAccEvent(DWORD event, HWND window, long objectId, long child) {
    if (window != nullptr) NotifyWinEvent(event, window, objectId, child);
}

}  // namespace zv
