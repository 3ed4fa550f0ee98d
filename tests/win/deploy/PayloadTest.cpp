// The two payload files loaded for real: the plug-in's entry points and
// instance functions, the control's class factory and object counts, its
// registration in process (sandboxed) and through regsvr32 started by
// RegisterServerSilently (the real registry of the scratch prefix).
#include <gtest/gtest.h>
#include <objbase.h>
#include <olectl.h>
#include <shellapi.h>

#include <cstring>
#include <string>

#include "deploy/FileHelpers.h"
#include "payload/NpApi.h"
#include "tests/win/deploy/DeployTestPaths.h"
#include "tests/win/support/WinTestSupport.h"
#include "vcl/Win32Handles.h"

using namespace zv;
using namespace deploytest;

namespace {

template <typename Fn>
Fn Proc(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

const CLSID kClassId = {0xB77F4487, 0x9ABE, 0x11D5, {0xAF, 0xDD, 0x00, 0x50, 0x04, 0x60, 0xAA, 0x49}};

using DllGetClassObjectFunc = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using DllSimpleFunc = HRESULT(STDAPICALLTYPE*)();

struct TControl {
    TLibrary module;
    DllGetClassObjectFunc getClassObject = nullptr;
    DllSimpleFunc canUnloadNow = nullptr;
    DllSimpleFunc registerServer = nullptr;
    DllSimpleFunc unregisterServer = nullptr;

    explicit TControl(const std::string& path) : module(LoadLibraryA(path.c_str())) {
        if (!module) return;
        getClassObject = Proc<DllGetClassObjectFunc>(module.Get(), "DllGetClassObject");
        canUnloadNow = Proc<DllSimpleFunc>(module.Get(), "DllCanUnloadNow");
        registerServer = Proc<DllSimpleFunc>(module.Get(), "DllRegisterServer");
        unregisterServer = Proc<DllSimpleFunc>(module.Get(), "DllUnregisterServer");
    }
    [[nodiscard]] bool Complete() const {
        return module && getClassObject && canUnloadNow && registerServer && unregisterServer;
    }
};

std::string ReadDefault(HKEY root, const std::string& path, const char* name = nullptr,
                        bool* found = nullptr) {
    char buf[1024] = {};
    DWORD size = sizeof buf - 1;
    DWORD type = 0;
    const LONG rc = RegGetValueA(root, path.c_str(), name, RRF_RT_REG_SZ, &type, buf, &size);
    if (found) *found = rc == ERROR_SUCCESS;
    return rc == ERROR_SUCCESS ? std::string(buf) : std::string();
}

bool KeyExists(HKEY root, const std::string& path) {
    HKEY k;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
    RegCloseKey(k);
    return true;
}

std::string ModulePath(HMODULE module) {
    char buf[MAX_PATH * 2];
    const DWORD n = GetModuleFileNameA(module, buf, sizeof buf);
    return std::string(buf, n);
}

const std::string kClassKey = std::string("CLSID\\") + kClsid;

}  // namespace

// ---- the plug-in --------------------------------------------------------------------

TEST(PluginPayload, EntryPointsFillAWorkingFunctionTable) {
    using namespace np;
    TLibrary plugin(LoadLibraryA(PluginDll().c_str()));
    ASSERT_TRUE(plugin);
    const auto getEntryPoints = Proc<NP_GetEntryPointsFunc>(plugin.Get(), "NP_GetEntryPoints");
    const auto initialize = Proc<NP_InitializeFunc>(plugin.Get(), "NP_Initialize");
    const auto shutdown = Proc<NP_ShutdownFunc>(plugin.Get(), "NP_Shutdown");
    ASSERT_TRUE(getEntryPoints && initialize && shutdown);

    NPNetscapeFuncs browser{sizeof(NPNetscapeFuncs), (NP_VERSION_MAJOR << 8) | NP_VERSION_MINOR};
    NPNetscapeFuncs future{sizeof(NPNetscapeFuncs), 1 << 8};
    EXPECT_EQ(initialize(&future), NPERR_INCOMPATIBLE_VERSION_ERROR);
    EXPECT_EQ(initialize(nullptr), NPERR_INVALID_FUNCTABLE_ERROR);
    ASSERT_EQ(initialize(&browser), NPERR_NO_ERROR);

    NPPluginFuncs small{};
    small.size = sizeof(NPPluginFuncs) - 1;
    EXPECT_EQ(getEntryPoints(&small), NPERR_INVALID_FUNCTABLE_ERROR);
    NPPluginFuncs funcs{};
    funcs.size = sizeof funcs;
    ASSERT_EQ(getEntryPoints(&funcs), NPERR_NO_ERROR);
    ASSERT_TRUE(funcs.newp && funcs.destroy && funcs.setwindow && funcs.newstream && funcs.destroystream &&
                funcs.asfile && funcs.writeready && funcs.write && funcs.print && funcs.event &&
                funcs.urlnotify && funcs.getvalue && funcs.setvalue);

    const char* name = nullptr;
    ASSERT_EQ(funcs.getvalue(nullptr, NPPVpluginNameString, &name), NPERR_NO_ERROR);
    EXPECT_STREQ(name, "Zorvane Player");

    // One instance through a whole embedded document.
    char mime[] = "application/x-Zorvane";
    NPP_t instance{nullptr, nullptr};
    ASSERT_EQ(funcs.newp(mime, &instance, NP_EMBED, 0, nullptr, nullptr, nullptr), NPERR_NO_ERROR);
    ASSERT_NE(instance.pdata, nullptr);
    NPWindow window{};
    window.width = 320;
    window.height = 40;
    window.type = NPWindowTypeWindow;
    EXPECT_EQ(funcs.setwindow(&instance, &window), NPERR_NO_ERROR);
    NPStream stream{};
    stream.url = "http://example.invalid/song.zrvn";
    std::uint16_t type = 0;
    ASSERT_EQ(funcs.newstream(&instance, mime, &stream, 0, &type), NPERR_NO_ERROR);
    EXPECT_EQ(type, NP_NORMAL);
    EXPECT_GT(funcs.writeready(&instance, &stream), 0);
    char data[100] = {};
    EXPECT_EQ(funcs.write(&instance, &stream, 0, sizeof data, data), static_cast<std::int32_t>(sizeof data));
    EXPECT_EQ(funcs.destroystream(&instance, &stream, NPRES_DONE), NPERR_NO_ERROR);
    NPPrint print{};
    print.mode = NP_FULL;
    print.print.fullPrint.pluginPrinted = 1;
    funcs.print(&instance, &print);
    EXPECT_EQ(print.print.fullPrint.pluginPrinted, 0) << "full-page printing is left to the browser";
    EXPECT_EQ(funcs.setwindow(&instance, nullptr), NPERR_NO_ERROR);
    NPSavedData* saved = reinterpret_cast<NPSavedData*>(1);
    EXPECT_EQ(funcs.destroy(&instance, &saved), NPERR_NO_ERROR);
    EXPECT_EQ(instance.pdata, nullptr);
    EXPECT_EQ(saved, nullptr);

    // Calls on a destroyed or missing instance are refused, not followed.
    EXPECT_EQ(funcs.destroy(&instance, nullptr), NPERR_INVALID_INSTANCE_ERROR);
    EXPECT_EQ(funcs.write(&instance, &stream, 0, 1, data), -1);
    EXPECT_EQ(funcs.newp(mime, nullptr, NP_EMBED, 0, nullptr, nullptr, nullptr),
              NPERR_INVALID_INSTANCE_ERROR);
    EXPECT_EQ(shutdown(), NPERR_NO_ERROR);
}

// ---- the control -------------------------------------------------------------------

TEST(ActiveXPayload, ClassFactoryCreatesObjectsAndCountsThem) {
    TControl control(ActiveXOcx());
    ASSERT_TRUE(control.Complete());
    EXPECT_EQ(control.canUnloadNow(), S_OK);

    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(control.getClassObject(IID_IClassFactory, IID_IClassFactory, &out), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(out, nullptr);

    IClassFactory* factory = nullptr;
    ASSERT_EQ(control.getClassObject(kClassId, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
    ASSERT_NE(factory, nullptr);
    EXPECT_EQ(control.canUnloadNow(), S_FALSE) << "a factory is held";

    IUnknown* object = nullptr;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&object)), S_OK);
    ASSERT_NE(object, nullptr);
    IUnknown* outer = object;
    IUnknown* aggregated = nullptr;
    EXPECT_EQ(factory->CreateInstance(outer, IID_IUnknown, reinterpret_cast<void**>(&aggregated)),
              CLASS_E_NOAGGREGATION);
    IClassFactory* notOffered = nullptr;
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IClassFactory, reinterpret_cast<void**>(&notOffered)),
              E_NOINTERFACE);
    EXPECT_EQ(notOffered, nullptr);

    EXPECT_EQ(factory->Release(), 0u);
    EXPECT_EQ(control.canUnloadNow(), S_FALSE) << "an object is alive";
    IUnknown* again = nullptr;
    ASSERT_EQ(object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&again)), S_OK);
    EXPECT_EQ(again->Release(), 1u);
    EXPECT_EQ(object->Release(), 0u);
    EXPECT_EQ(control.canUnloadNow(), S_OK);

    ASSERT_EQ(control.getClassObject(kClassId, IID_IUnknown, reinterpret_cast<void**>(&factory)), S_OK);
    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    factory->Release();
    EXPECT_EQ(control.canUnloadNow(), S_FALSE) << "locked";
    ASSERT_EQ(control.getClassObject(kClassId, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
    EXPECT_EQ(factory->LockServer(FALSE), S_OK);
    factory->Release();
    EXPECT_EQ(control.canUnloadNow(), S_OK);
}

TEST(ActiveXPayload, RegistersAndRemovesExactlyItsOwnEntries) {
    zvtest::TRegistrySandbox sandbox;
    TControl control(ActiveXOcx());
    ASSERT_TRUE(control.Complete());
    ASSERT_EQ(control.registerServer(), S_OK);

    EXPECT_EQ(ReadDefault(HKEY_CLASSES_ROOT, kClassKey + "\\InprocServer32"),
              ModulePath(control.module.Get()));
    EXPECT_EQ(ReadDefault(HKEY_CLASSES_ROOT, kClassKey + "\\InprocServer32", "ThreadingModel"), "Apartment");
    EXPECT_EQ(ReadDefault(HKEY_CLASSES_ROOT, kClassKey + "\\ProgID"), kProgId);
    EXPECT_FALSE(ReadDefault(HKEY_CLASSES_ROOT, kClassKey).empty());
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, kClassKey + "\\Control"));
    EXPECT_EQ(ReadDefault(HKEY_CLASSES_ROOT, std::string(kProgId) + "\\CLSID"), kClsid);
    EXPECT_EQ(GetInprocServerPath(kClsid), ModulePath(control.module.Get()));
    ASSERT_EQ(control.registerServer(), S_OK) << "registering again is harmless";

    // What the installer adds beside the control's own entries survives the
    // control's unregistration.
    HKEY k;
    ASSERT_EQ(RegCreateKeyA(HKEY_CLASSES_ROOT, (kClassKey + "\\EnableFullPage\\.zrvn").c_str(), &k),
              ERROR_SUCCESS);
    RegCloseKey(k);
    ASSERT_EQ(RegCreateKeyA(HKEY_CLASSES_ROOT, (std::string(kProgId) + "\\DefaultIcon").c_str(), &k),
              ERROR_SUCCESS);
    RegCloseKey(k);
    ASSERT_EQ(control.unregisterServer(), S_OK);
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kClassKey + "\\InprocServer32"));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kClassKey + "\\ProgID"));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, std::string(kProgId) + "\\CLSID"));
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, kClassKey + "\\EnableFullPage\\.zrvn"));
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, std::string(kProgId) + "\\DefaultIcon"));
    EXPECT_EQ(GetInprocServerPath(kClsid), "");

    // On its own, the registration leaves nothing behind.
    RegDeleteTreeA(HKEY_CLASSES_ROOT, kClassKey.c_str());
    RegDeleteTreeA(HKEY_CLASSES_ROOT, kProgId);
    ASSERT_EQ(control.registerServer(), S_OK);
    ASSERT_EQ(control.unregisterServer(), S_OK);
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kClassKey));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kProgId));
    EXPECT_EQ(control.unregisterServer(), S_OK) << "unregistering twice is no error";
}

namespace {

// Undoes a registration made by regsvr32 in the real registry of the
// prefix, whatever the test's outcome.
class TUnregisterGuard {
public:
    explicit TUnregisterGuard(std::string path) : m_path(std::move(path)) {}
    ~TUnregisterGuard() {
        TControl control(m_path);
        if (control.Complete()) control.unregisterServer();
    }
    TUnregisterGuard(const TUnregisterGuard&) = delete;
    TUnregisterGuard& operator=(const TUnregisterGuard&) = delete;

private:
    std::string m_path;
};

}  // namespace

TEST(RegisterServerSilently, RegistersTheControlThroughRegsvr32) {
    zvtest::TTempDir temp;
    const std::string ocx = temp / "ZorvaneActiveX.ocx";
    ASSERT_TRUE(CopyFileA(ActiveXOcx().c_str(), ocx.c_str(), FALSE));
    ASSERT_EQ(GetInprocServerPath(kClsid), "") << "left over from an earlier run";
    {
        TUnregisterGuard guard(ocx);
        ASSERT_TRUE(RegisterServerSilently(ocx));
        // The call waited for the tool: the registration is there at once.
        EXPECT_FALSE(GetInprocServerPath(kClsid).empty());
        EXPECT_EQ(CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, GetInprocServerPath(kClsid).c_str(), -1,
                                 ocx.c_str(), -1),
                  CSTR_EQUAL)
            << GetInprocServerPath(kClsid);
        EXPECT_EQ(ReadDefault(HKEY_CLASSES_ROOT, kClassKey + "\\InprocServer32", "ThreadingModel"),
                  "Apartment");
        EXPECT_EQ(ReadDefault(HKEY_CLASSES_ROOT, std::string(kProgId) + "\\CLSID"), kClsid);

        // COM itself finds the control through what was registered.
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        CLSID fromProgId{};
        EXPECT_EQ(CLSIDFromProgID(L"ZorvaneActiveX.ZorvaneActiveForm", &fromProgId), S_OK);
        EXPECT_TRUE(IsEqualCLSID(fromProgId, kClassId));
        IUnknown* object = nullptr;
        EXPECT_EQ(CoCreateInstance(kClassId, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                   reinterpret_cast<void**>(&object)),
                  S_OK);
        if (object) object->Release();
        CoFreeUnusedLibraries();
        CoUninitialize();
    }
    EXPECT_EQ(GetInprocServerPath(kClsid), "") << "unregistered again";
}

TEST(RegisterServerSilently, AMissingFileIsAFailedRegistration) {
    zvtest::TTempDir temp;
    // The tool runs and ends with its failure code, which the helper reports.
    EXPECT_FALSE(RegisterServerSilently(temp / "missing.ocx"));
    EXPECT_EQ(GetInprocServerPath(kClsid), "");
}

TEST(RegisterServerSilently, UnregisteringTakesTheRegistrationAway) {
    zvtest::TTempDir temp;
    const std::string ocx = temp / "ZorvaneActiveX.ocx";
    ASSERT_TRUE(CopyFileA(ActiveXOcx().c_str(), ocx.c_str(), FALSE));
    TUnregisterGuard guard(ocx);
    ASSERT_TRUE(RegisterServerSilently(ocx));
    ASSERT_FALSE(GetInprocServerPath(kClsid).empty());
    EXPECT_TRUE(UnregisterServerSilently(ocx));
    EXPECT_EQ(GetInprocServerPath(kClsid), "");
    EXPECT_FALSE(UnregisterServerSilently(temp / "missing.ocx")) << "nothing to load: the tool fails";
}

TEST(RegisterServerSilently, IgnoresARegsvr32PlantedInTheCurrentDirectory) {
    zvtest::TTempDir temp;
    ASSERT_TRUE(CopyFileA(ProbeExe().c_str(), (temp / "regsvr32.exe").c_str(), FALSE));
    char saved[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, saved);
    ASSERT_TRUE(SetCurrentDirectoryA(temp.Path().c_str()));

    // The planted program writes into the file named last on its command
    // line, here the "control" path: proof that it ran.
    const std::string bare = temp / "bare.ocx";
    const std::string params = " /s \"" + bare + "\"";
    const auto started = reinterpret_cast<INT_PTR>(
        ShellExecuteA(nullptr, nullptr, "regsvr32", params.c_str(), nullptr, SW_SHOWNORMAL));
    const bool bareRanPlanted = started > 32 && zvtest::PumpUntil([&] { return zvtest::FileExists(bare); }, 5000);

    const std::string full = temp / "full.ocx";
    // The system's tool finds no control there and says so; the planted one
    // would have written the file and ended with 0.
    EXPECT_FALSE(RegisterServerSilently(full));
    zvtest::Pump(1000);
    SetCurrentDirectoryA(saved);
    EXPECT_TRUE(bareRanPlanted) << "a bare name is looked up in the current directory first";
    EXPECT_FALSE(zvtest::FileExists(full)) << "the planted regsvr32.exe was started";
}
