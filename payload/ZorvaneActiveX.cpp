// The Zorvane Player ActiveX control for Internet Explorer: a
// self-registering in-process COM server with one class.
//
//   TZorvaneActiveForm   the control object (IUnknown)
//   TClassFactory        creates it; counted like the objects
//   registry entries     what DllRegisterServer writes and DllUnregisterServer removes
//   exported entries     DllGetClassObject, DllCanUnloadNow, DllRegisterServer, DllUnregisterServer
//
// Plain Win32 only: the control must load in any host without the
// installer's framework. Registration goes to HKEY_CLASSES_ROOT, which the
// system maps to the machine's classes when the caller may write them.
#include <olectl.h>
#include <windows.h>

#include <new>
#include <string>
#include <vector>

namespace {

// {B77F4487-9ABE-11D5-AFDD-00500460AA49}
const CLSID CLSID_ZorvaneActiveForm = {
    0xB77F4487, 0x9ABE, 0x11D5, {0xAF, 0xDD, 0x00, 0x50, 0x04, 0x60, 0xAA, 0x49}};

const wchar_t kClsidKey[] = L"CLSID\\{B77F4487-9ABE-11D5-AFDD-00500460AA49}";
const wchar_t kClsidText[] = L"{B77F4487-9ABE-11D5-AFDD-00500460AA49}";
const wchar_t kProgId[] = L"ZorvaneActiveX.ZorvaneActiveForm";
const wchar_t kDescription[] = L"ZorvaneActiveForm Control";

HINSTANCE g_module = nullptr;
// Live objects and class factories, and LockServer locks: the module may be
// unloaded only when both are zero.
volatile LONG g_objects = 0;
volatile LONG g_locks = 0;

bool SameGuid(REFGUID a, REFGUID b) {
    return IsEqualGUID(a, b) != FALSE;
}

class TZorvaneActiveForm final : public IUnknown {
public:
    TZorvaneActiveForm() { InterlockedIncrement(&g_objects); }
    ~TZorvaneActiveForm() { InterlockedDecrement(&g_objects); }
    TZorvaneActiveForm(const TZorvaneActiveForm&) = delete;
    TZorvaneActiveForm& operator=(const TZorvaneActiveForm&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        if (SameGuid(riid, IID_IUnknown)) {
            *out = static_cast<IUnknown*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&m_refs)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG refs = InterlockedDecrement(&m_refs);
        if (refs == 0) delete this;
        return static_cast<ULONG>(refs);
    }

private:
    volatile LONG m_refs = 1;
};

class TClassFactory final : public IClassFactory {
public:
    TClassFactory() { InterlockedIncrement(&g_objects); }
    ~TClassFactory() { InterlockedDecrement(&g_objects); }
    TClassFactory(const TClassFactory&) = delete;
    TClassFactory& operator=(const TClassFactory&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        if (SameGuid(riid, IID_IUnknown) || SameGuid(riid, IID_IClassFactory)) {
            *out = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&m_refs)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG refs = InterlockedDecrement(&m_refs);
        if (refs == 0) delete this;
        return static_cast<ULONG>(refs);
    }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        auto* object = new (std::nothrow) TZorvaneActiveForm;
        if (!object) return E_OUTOFMEMORY;
        const HRESULT hr = object->QueryInterface(riid, out);
        object->Release();  // the interface asked for holds the object, or nothing does
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock)
            InterlockedIncrement(&g_locks);
        else
            InterlockedDecrement(&g_locks);
        return S_OK;
    }

private:
    volatile LONG m_refs = 1;
};

// ---- registry entries ------------------------------------------------------

std::wstring ModulePath() {
    std::vector<wchar_t> buf(MAX_PATH + 1);
    for (;;) {
        const DWORD n = GetModuleFileNameW(g_module, buf.data(), static_cast<DWORD>(buf.size()));
        if (n == 0) return {};
        if (n < buf.size()) return std::wstring(buf.data(), n);
        if (buf.size() > 32768) return {};
        buf.resize(buf.size() * 2);
    }
}

std::wstring Sub(const wchar_t* key, const wchar_t* sub) {
    return std::wstring(key) + L"\\" + sub;
}

// Creates `path` under HKEY_CLASSES_ROOT and, with a value, sets `name` to it.
LONG WriteKey(const std::wstring& path, const wchar_t* name = nullptr, const std::wstring* value = nullptr) {
    HKEY key = nullptr;
    LONG rc = RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_SET_VALUE, nullptr, &key, nullptr);
    if (rc != ERROR_SUCCESS) return rc;
    if (value)
        rc = RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value->c_str()),
                            static_cast<DWORD>((value->size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return rc;
}

bool Gone(LONG rc) {
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

LONG RemoveValue(const std::wstring& path, const wchar_t* name) {
    HKEY key = nullptr;
    LONG rc = RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_SET_VALUE, &key);
    if (rc != ERROR_SUCCESS) return rc;
    rc = RegDeleteValueW(key, name);
    RegCloseKey(key);
    return rc;
}

// A key goes only when nothing but our own entries were in it: values or
// subkeys that others added (the installer's EnableFullPage, DefaultIcon,
// shell keys) keep it.
LONG RemoveKeyIfEmpty(const std::wstring& path) {
    HKEY key = nullptr;
    LONG rc = RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_QUERY_VALUE, &key);
    if (rc != ERROR_SUCCESS) return rc;
    DWORD subKeys = 0;
    DWORD values = 0;
    rc = RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values, nullptr,
                          nullptr, nullptr, nullptr);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS) return rc;
    if (subKeys != 0 || values != 0) return ERROR_SUCCESS;
    return RegDeleteKeyW(HKEY_CLASSES_ROOT, path.c_str());
}

HRESULT Unregister() {
    const std::wstring inproc = Sub(kClsidKey, L"InprocServer32");
    const std::wstring progIdOfClass = Sub(kClsidKey, L"ProgID");
    const std::wstring control = Sub(kClsidKey, L"Control");
    const std::wstring classOfProgId = Sub(kProgId, L"CLSID");
    bool ok = true;
    for (LONG rc :
         {RemoveValue(inproc, nullptr), RemoveValue(inproc, L"ThreadingModel"), RemoveKeyIfEmpty(inproc),
          RemoveValue(progIdOfClass, nullptr), RemoveKeyIfEmpty(progIdOfClass), RemoveKeyIfEmpty(control),
          RemoveValue(kClsidKey, nullptr), RemoveKeyIfEmpty(kClsidKey), RemoveValue(classOfProgId, nullptr),
          RemoveKeyIfEmpty(classOfProgId), RemoveValue(kProgId, nullptr), RemoveKeyIfEmpty(kProgId)})
        ok = ok && Gone(rc);
    return ok ? S_OK : SELFREG_E_CLASS;
}

HRESULT Register() {
    const std::wstring path = ModulePath();
    if (path.empty()) return SELFREG_E_CLASS;
    const std::wstring description = kDescription;
    const std::wstring apartment = L"Apartment";
    const std::wstring progId = kProgId;
    const std::wstring clsid = kClsidText;
    const std::wstring inproc = Sub(kClsidKey, L"InprocServer32");
    bool ok = true;
    for (LONG rc :
         {WriteKey(kClsidKey, nullptr, &description), WriteKey(inproc, nullptr, &path),
          WriteKey(inproc, L"ThreadingModel", &apartment),
          WriteKey(Sub(kClsidKey, L"ProgID"), nullptr, &progId), WriteKey(Sub(kClsidKey, L"Control")),
          WriteKey(kProgId, nullptr, &description), WriteKey(Sub(kProgId, L"CLSID"), nullptr, &clsid)})
        ok = ok && rc == ERROR_SUCCESS;
    if (ok) return S_OK;
    Unregister();  // no half registration left behind
    return SELFREG_E_CLASS;
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!SameGuid(rclsid, CLSID_ZorvaneActiveForm)) return CLASS_E_CLASSNOTAVAILABLE;
    auto* factory = new (std::nothrow) TClassFactory;
    if (!factory) return E_OUTOFMEMORY;
    const HRESULT hr = factory->QueryInterface(riid, out);
    factory->Release();
    return hr;
}

STDAPI DllCanUnloadNow() {
    return (g_objects == 0 && g_locks == 0) ? S_OK : S_FALSE;
}

STDAPI DllRegisterServer() {
    return Register();
}

STDAPI DllUnregisterServer() {
    return Unregister();
}

}  // extern "C"
