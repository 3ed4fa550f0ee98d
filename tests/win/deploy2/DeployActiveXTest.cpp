// RegisterActiveX and RemoveOldIEPluginKeys on a sandboxed registry, and
// DeployActiveX end to end in process (regsvr32 writes the prefix's real
// registry, which each test undoes).
#include <gtest/gtest.h>

#include "deploy/ActiveXRegistration.h"
#include "deploy/DeployActiveX.h"
#include "tests/win/deploy2/Deploy2Support.h"
#include "tests/win/support/WinTestSupport.h"

using namespace zv;
using namespace deploy2;

namespace {

const std::string kClsid = ActiveXClassId;
const std::string kProgId = ActiveXProgId;
const std::string kMime = ActiveXMimeType;

bool KeyExists(HKEY root, const std::string& path) {
    HKEY k;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
    RegCloseKey(k);
    return true;
}

// The string value, "<missing>" when absent, "<dword N>" for numbers.
std::string Value(HKEY root, const std::string& path, const char* name = "") {
    char buf[2048] = {};
    DWORD size = sizeof buf - 1;
    DWORD type = 0;
    HKEY k;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return "<missing>";
    const LONG rc = RegQueryValueExA(k, name, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size);
    RegCloseKey(k);
    if (rc != ERROR_SUCCESS) return "<missing>";
    if (type == REG_DWORD) return "<dword " + std::to_string(*reinterpret_cast<DWORD*>(buf)) + ">";
    return std::string(buf);
}

void SetValue(HKEY root, const std::string& path, const char* name, const std::string& v) {
    HKEY k;
    ASSERT_EQ(RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(k, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(v.c_str()),
                   static_cast<DWORD>(v.size() + 1));
    RegCloseKey(k);
}

bool Register(const std::string& dir) {
    return RegisterActiveX(kMime, ".zrvn", ".mp3zrvn", kClsid, kProgId, dir);
}

const std::string kSetupKey = "SOFTWARE\\Microsoft\\Active Setup\\Installed Components\\" + kClsid;

}  // namespace

TEST(RegisterActiveX, WritesEveryEntryAndTwiceGivesTheSameState) {
    zvtest::TRegistrySandbox sandbox;
    SetValue(HKEY_CLASSES_ROOT, "http\\shell\\open\\command", "", "\"C:\\Web\\browser.exe\" -url \"%1\"");
    zvtest::TTempDir dir;
    const std::string d = dir.Path() + "\\";
    ASSERT_TRUE(Register(d));
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, "CLSID\\" + kClsid + "\\Control"));
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, "CLSID\\" + kClsid + "\\EnableFullPage\\.zrvn"));
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, "CLSID\\" + kClsid + "\\EnableFullPage\\.mp3zrvn"));
    EXPECT_EQ(Value(HKEY_CLASSES_ROOT, kProgId + "\\DefaultIcon"), d + "ZorvaneActiveX.ocx,0");
    EXPECT_EQ(Value(HKEY_CLASSES_ROOT, kProgId + "\\shell"), "open");
    EXPECT_EQ(Value(HKEY_CLASSES_ROOT, kProgId + "\\shell\\open\\command"), "\"C:\\Web\\browser.exe\" %1");
    EXPECT_EQ(Value(HKEY_CLASSES_ROOT, "MIME\\DataBase\\Content Type\\" + kMime, "CLSID"), kClsid);
    for (const char* ext : {".zrvn", ".mp3zrvn"}) {
        EXPECT_EQ(Value(HKEY_CLASSES_ROOT, ext), kProgId);
        EXPECT_EQ(Value(HKEY_CLASSES_ROOT, ext, "Content Type"), kMime);
    }
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, kSetupKey, "IsInstalled"), "<dword 1>");
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, kSetupKey, "Version"), "n/a")
        << "the control is not in that directory";

    const auto first = DumpAll();
    ASSERT_TRUE(Register(d));
    EXPECT_EQ(DumpAll(), first);
}

TEST(RegisterActiveX, TakesOverTheExtensionAndTheMimeTypeAndReadsTheControlVersion) {
    zvtest::TRegistrySandbox sandbox;
    SetValue(HKEY_CLASSES_ROOT, ".zrvn", "", "Other.Player");
    SetValue(HKEY_CLASSES_ROOT, ".zrvn", "Content Type", "audio/x-other");
    SetValue(HKEY_CLASSES_ROOT, "MIME\\DataBase\\Content Type\\" + kMime, "Extension", ".zrvn");
    SetValue(HKEY_CLASSES_ROOT, "MIME\\DataBase\\Content Type\\" + kMime, "CLSID",
             "{00000000-0000-0000-0000-000000000000}");
    zvtest::TTempDir dir;
    ASSERT_TRUE(CopyFileA(ActiveXOcx().c_str(), (dir / "ZorvaneActiveX.ocx").c_str(), FALSE));
    ASSERT_TRUE(Register(dir.Path() + "\\"));
    EXPECT_EQ(Value(HKEY_CLASSES_ROOT, ".zrvn"), kProgId);
    EXPECT_EQ(Value(HKEY_CLASSES_ROOT, ".zrvn", "Content Type"), kMime);
    EXPECT_EQ(Value(HKEY_CLASSES_ROOT, "MIME\\DataBase\\Content Type\\" + kMime, "Extension"), "<missing>");
    EXPECT_EQ(Value(HKEY_CLASSES_ROOT, "MIME\\DataBase\\Content Type\\" + kMime, "CLSID"), kClsid);
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, kSetupKey, "Version"), "1,7,9,174");
}

TEST(RegisterActiveX, NoDefaultBrowserGivesEmptyQuotes) {
    zvtest::TRegistrySandbox sandbox;
    ASSERT_TRUE(Register("C:\\Setup\\"));
    EXPECT_EQ(Value(HKEY_CLASSES_ROOT, kProgId + "\\shell\\open\\command"), "\"\" %1");
}

TEST(RegisterActiveX, RaisedErrorEndsTheRegistrationWithFalse) {
    zvtest::TRegistrySandbox sandbox;
    // A browser command that is not a string: the lookup raises.
    HKEY k;
    ASSERT_EQ(RegCreateKeyA(HKEY_CLASSES_ROOT, "http\\shell\\open\\command", &k), ERROR_SUCCESS);
    const DWORD n = 3;
    RegSetValueExA(k, "", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&n), sizeof n);
    RegCloseKey(k);
    EXPECT_FALSE(Register("C:\\Setup\\"));
    EXPECT_EQ(Value(HKEY_CLASSES_ROOT, kProgId + "\\shell"), "open") << "steps before the error stay";
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "MIME\\DataBase\\Content Type\\" + kMime))
        << "later steps skipped";
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kSetupKey));
}

TEST(RemoveOldIEPluginKeys, DeletesTheFiveKeysWithTheirSubkeysAndIsTrueWithoutThem) {
    zvtest::TRegistrySandbox sandbox;
    EXPECT_TRUE(RemoveOldIEPluginKeys());
    const std::string ie = "SOFTWARE\\Microsoft\\Internet Explorer\\Plugins\\";
    SetValue(HKEY_CLASSES_ROOT, "CLSID\\{06DD38D3-D187-11CF-A80D-00C04FD74AD8}\\EnableFullPage\\.ZRVN\\sub",
             "", "x");
    SetValue(HKEY_CLASSES_ROOT, "CLSID\\{06DD38D3-D187-11CF-A80D-00C04FD74AD8}\\EnableFullPage\\.other", "",
             "x");
    for (const char* k : {"MIME\\application/x-Zorvane", "Extension\\.ZRVN", "MIME\\application/x-Zorvanes",
                          "Extension\\.ZRVNS", "Extension\\.kept"})
        SetValue(HKEY_LOCAL_MACHINE, ie + k, "", "x");
    EXPECT_TRUE(RemoveOldIEPluginKeys());
    EXPECT_FALSE(
        KeyExists(HKEY_CLASSES_ROOT, "CLSID\\{06DD38D3-D187-11CF-A80D-00C04FD74AD8}\\EnableFullPage\\.ZRVN"));
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT,
                          "CLSID\\{06DD38D3-D187-11CF-A80D-00C04FD74AD8}\\EnableFullPage\\.other"));
    for (const char* k : {"MIME\\application/x-Zorvane", "Extension\\.ZRVN", "MIME\\application/x-Zorvanes",
                          "Extension\\.ZRVNS"})
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, ie + k)) << k;
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, ie + "Extension\\.kept"));
}

// ---- DeployActiveX ------------------------------------------------------------------

TEST(DeployActiveX, NothingRegisteredAndNoDirectoryTouchesNothing) {
    zvtest::TRegistrySandbox sandbox;
    const auto before = DumpAll();
    const DWORD start = GetTickCount();
    int code = 9;
    EXPECT_TRUE(DeployActiveX("", code));
    EXPECT_EQ(code, 0);
    EXPECT_LT(GetTickCount() - start, 1500u) << "the registration tool was not started";
    EXPECT_EQ(DumpAll(), before);
}

TEST(DeployActiveX, UnpacksIntoTheDirectoryAndRegisters) {
    zvtest::TTempDir dir;
    TUnregisterGuard unregister(dir / "ZorvaneActiveX.ocx");
    zvtest::TRegistrySandbox sandbox;
    int code = 9;
    EXPECT_TRUE(DeployActiveX(dir.Path(), code));
    EXPECT_EQ(code, 0);
    EXPECT_EQ(ReadBytes(dir / "ZorvaneActiveX.ocx"), ReadBytes(ActiveXOcx()));
    EXPECT_EQ(Listing(dir.Path()), std::set<std::string>{"ZorvaneActiveX.ocx"});
    EXPECT_EQ(Value(HKEY_CLASSES_ROOT, ".zrvn"), kProgId);
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, kSetupKey, "IsInstalled"), "<dword 1>");
}

TEST(DeployActiveX, RegisteredFileElsewhereIsTheOneReplaced) {
    zvtest::TTempDir registered, dir;
    TUnregisterGuard unregister(registered / "Control.ocx");
    zvtest::TRegistrySandbox sandbox;
    ASSERT_TRUE(CopyFileA(OlderDll().c_str(), (registered / "Control.ocx").c_str(), FALSE));
    SetValue(HKEY_CLASSES_ROOT, "CLSID\\" + kClsid + "\\InprocServer32", "",
             "  " + (registered / "Control.ocx") + " ");
    int code = 9;
    EXPECT_TRUE(DeployActiveX(dir.Path(), code));
    EXPECT_EQ(code, 0);
    EXPECT_EQ(Version(registered / "Control.ocx"), "1.7.9.174");
    EXPECT_TRUE(Listing(dir.Path()).empty()) << "the directory is not used";
}

TEST(DeployActiveX, NewerControlGivesMinusThreeAndIsStillRegistered) {
    zvtest::TTempDir dir;
    TUnregisterGuard unregister(dir / "ZorvaneActiveX.ocx");
    zvtest::TRegistrySandbox sandbox;
    ASSERT_TRUE(CopyFileA(NewerDll().c_str(), (dir / "ZorvaneActiveX.ocx").c_str(), FALSE));
    SetFileAttributesA((dir / "ZorvaneActiveX.ocx").c_str(), FILE_ATTRIBUTE_READONLY);
    int code = 9;
    EXPECT_FALSE(DeployActiveX(dir.Path(), code));
    EXPECT_EQ(code, -3);
    EXPECT_EQ(Version(dir / "ZorvaneActiveX.ocx"), "1.8.0.1");
    EXPECT_EQ(Attributes(dir / "ZorvaneActiveX.ocx") & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_EQ(Value(HKEY_CLASSES_ROOT, ".mp3zrvn"), kProgId) << "the registration ran";
}

TEST(DeployActiveX, MissingArchiveGivesMinusFiveAndRegistersNothing) {
    zvtest::TTempDir dir;
    TUnregisterGuard unregister(dir / "ZorvaneActiveX.ocx");
    zvtest::TRegistrySandbox sandbox;
    TArchiveOverride missing(2, "");
    const auto before = DumpAll();
    int code = 9;
    EXPECT_FALSE(DeployActiveX(dir.Path(), code));
    EXPECT_EQ(code, -5);
    EXPECT_TRUE(Listing(dir.Path()).empty());
    // No control was put in place, so none is registered.
    EXPECT_EQ(Value(HKEY_CLASSES_ROOT, ".zrvn"), "<missing>");
    EXPECT_EQ(DumpAll(), before);
}

// Whatever keeps the control from being written, the registration of an
// earlier install stays exactly as it was (no key, value or extension
// binding is made, changed or removed), and the tool is not started.
TEST(DeployActiveX, ControlThatIsNotInPlaceLeavesTheRegistryAsItWas) {
    zvtest::TTempDir tmp;
    TUnregisterGuard unregister(tmp / "ZorvaneActiveX.ocx");
    zvtest::TRegistrySandbox sandbox;
    // An earlier install whose control file has gone.
    SetValue(HKEY_CLASSES_ROOT, "CLSID\\" + kClsid + "\\InprocServer32", "", "Q:\\Gone\\ZorvaneActiveX.ocx");
    SetValue(HKEY_CLASSES_ROOT, ".zrvn", "", "Old.Player");
    SetValue(HKEY_CLASSES_ROOT, kProgId + "\\DefaultIcon", "", "Q:\\Gone\\ZorvaneActiveX.ocx,0");
    SetValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Internet Explorer\\Plugins\\Extension\\.ZRVN", "",
             "old");
    const auto before = DumpAll();

    const std::string squatted = tmp / "squatted";
    ASSERT_TRUE(CreateDirectoryA(squatted.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((squatted + "\\ZorvaneActiveX.ocx").c_str(), nullptr));
    const std::string unreadable = tmp / "unreadable";
    ASSERT_TRUE(CreateDirectoryA(unreadable.c_str(), nullptr));
    ASSERT_TRUE(CopyFileA(BadDll().c_str(), (unreadable + "\\ZorvaneActiveX.ocx").c_str(), FALSE));
    const std::string tooLong = MakeDirOfLength(tmp.Path(), MAX_PATH - 19);
    struct Case {
        std::string dir;
        int code;
        const char* what;
    };
    const Case cases[] = {
        {tmp / "missing", -1, "directory missing"},
        {squatted, -1, "a directory holds the control's name"},
        {unreadable, -5, "installed version unreadable"},
        {tooLong, -7, "path too long"},
    };
    for (const Case& c : cases) {
        const DWORD start = GetTickCount();
        int code = 9;
        std::string failed;
        EXPECT_FALSE(DeployActiveX(c.dir, code, &failed)) << c.what;
        EXPECT_EQ(code, c.code) << c.what;
        EXPECT_EQ(failed, c.dir) << c.what;
        EXPECT_LT(GetTickCount() - start, 1500u) << c.what << ": the registration tool was started";
        EXPECT_EQ(DumpAll(), before) << c.what;
    }
    {
        // Refused while being written: no room.
        TTinyDisk disk;
        if (!disk.Ready()) GTEST_SKIP() << "no small file system at " ZV_TEST_TINY_DISK;
        disk.FillSpace();
        int code = 9;
        std::string failed;
        EXPECT_FALSE(DeployActiveX(disk.Dir(), code, &failed));
        EXPECT_EQ(code, -6);
        EXPECT_EQ(failed, disk.Dir());
        EXPECT_TRUE(Listing(disk.Dir()).empty());
        EXPECT_EQ(DumpAll(), before);
    }
}

TEST(DeployActiveX, TheRegistrationToolsFailureIsMinusFourWhenNothingFailedBefore) {
    zvtest::TTempDir dir;
    TUnregisterGuard unregister(dir / "ZorvaneActiveX.ocx");
    zvtest::TRegistrySandbox sandbox;
    // Up to date, so nothing is written, but it has no DllRegisterServer:
    // regsvr32 ends with a failure code.
    ASSERT_TRUE(CopyFileA(SameVersionDll().c_str(), (dir / "ZorvaneActiveX.ocx").c_str(), FALSE));
    int code = 9;
    EXPECT_FALSE(DeployActiveX(dir.Path(), code)) << "a failed registration was reported as success";
    EXPECT_EQ(code, -4);
    EXPECT_EQ(Value(HKEY_CLASSES_ROOT, ".zrvn"), kProgId) << "the entries are written all the same";
}

TEST(DeployActiveX, FailedRegistrationReplacesAnEarlierCodeWithMinusFour) {
    zvtest::TTempDir dir;
    TUnregisterGuard unregister(dir / "ZorvaneActiveX.ocx");
    zvtest::TRegistrySandbox sandbox;
    HKEY k;
    ASSERT_EQ(RegCreateKeyA(HKEY_CLASSES_ROOT, "http\\shell\\open\\command", &k), ERROR_SUCCESS);
    const DWORD n = 3;
    RegSetValueExA(k, "", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&n), sizeof n);
    RegCloseKey(k);
    ASSERT_TRUE(CopyFileA(NewerDll().c_str(), (dir / "ZorvaneActiveX.ocx").c_str(), FALSE));
    int code = 9;
    EXPECT_FALSE(DeployActiveX(dir.Path(), code));
    EXPECT_EQ(code, -4) << "-3 first, then the registration failed";
}
