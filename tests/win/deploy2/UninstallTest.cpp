// The record an install keeps and the uninstall that takes it back, on a
// sandboxed registry: what the registration wrote goes and what it took
// over gets its earlier state back, only where it still holds what the
// install wrote; files go only at the version installed, or at restart
// when they are in use.
#include <gtest/gtest.h>

#include <cstdio>

#include "deploy/ActiveXRegistration.h"
#include "deploy/DeployObserver.h"
#include "deploy/DeployPlugin.h"
#include "deploy/InstallRecord.h"
#include "deploy/Uninstall.h"
#include "tests/win/deploy2/Deploy2Support.h"
#include "tests/win/support/WinTestSupport.h"

using namespace zv;
using namespace deploy2;

namespace {

// Records what the deployments report, the way the install command does.
struct TRecording : TDeployObserver {
    TInstallRecord record;
    void FileInstalled(const std::string& file) override { record.AddFile(file, Version(file)); }
    void KeyCreated(HKEY root, const std::string& key, const std::string& outermost) override {
        record.AddKey(RootKeyName(root), key, outermost);
    }
    void ValueChanged(HKEY root, const std::string& key, const std::string& name,
                      const std::optional<std::string>& before,
                      const std::optional<std::string>& after) override {
        record.AddValue(RootKeyName(root), key, name, before, after);
    }
};

void SetValue(HKEY root, const std::string& path, const char* name, const std::string& v) {
    HKEY k;
    ASSERT_EQ(RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(k, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(v.c_str()),
                   static_cast<DWORD>(v.size() + 1));
    RegCloseKey(k);
}

std::string Value(HKEY root, const std::string& path, const char* name = "") {
    char buf[1024] = {};
    DWORD size = sizeof buf - 1;
    if (RegGetValueA(root, path.c_str(), name, RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS)
        return "<missing>";
    return buf;
}

bool KeyExists(HKEY root, const std::string& path) {
    HKEY k;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
    RegCloseKey(k);
    return true;
}

const std::string kMimeKey = std::string("MIME\\DataBase\\Content Type\\") + ActiveXMimeType;

// A machine where another player had the extension .zrvn and the MIME type.
void SeedOtherPlayer() {
    SetValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows", "", "");
    SetValue(HKEY_CLASSES_ROOT, "http\\shell\\open\\command", "", "\"C:\\Web\\browser.exe\" \"%1\"");
    SetValue(HKEY_CLASSES_ROOT, ".zrvn", "", "Other.Player");
    SetValue(HKEY_CLASSES_ROOT, ".zrvn", "Content Type", "audio/x-other");
    SetValue(HKEY_CLASSES_ROOT, kMimeKey, "Extension", ".zrvn");
    SetValue(HKEY_CLASSES_ROOT, kMimeKey, "CLSID", "{00000000-0000-0000-0000-000000000000}");
}

TInstallRecord Register(const std::string& dir) {
    TRecording recording;
    TDeployObserverScope listening(&recording);
    EXPECT_TRUE(RegisterActiveX(ActiveXMimeType, ".zrvn", ".mp3zrvn", ActiveXClassId, ActiveXProgId, dir));
    return recording.record;
}

std::vector<std::string> g_notes;
TUninstallResult RunUninstall(const TInstallRecord& record) {
    g_notes.clear();
    return Uninstall(record, [](const std::string& line) { g_notes.push_back(line); });
}

bool Noted(const std::string& part) {
    for (const auto& n : g_notes)
        if (n.find(part) != std::string::npos) return true;
    return false;
}

}  // namespace

TEST(Uninstall, PutsTheRegistryBackAsItWasBeforeTheRegistration) {
    zvtest::TRegistrySandbox sandbox;
    SeedOtherPlayer();
    const auto before = DumpAll();
    zvtest::TTempDir dir;
    const TInstallRecord record = Register(dir.Path() + "\\");
    ASSERT_NE(DumpAll(), before);
    // What the registration took over is recorded with its earlier state.
    bool tookExtension = false;
    for (const auto& v : record.values)
        if (v.key == ".zrvn" && v.name.empty())
            tookExtension =
                v.before == std::optional<std::string>("Other.Player") && v.after == ActiveXProgId;
    EXPECT_TRUE(tookExtension);

    // Kept in the registry and read back as it was written.
    ASSERT_TRUE(record.Save());
    TInstallRecord stored;
    ASSERT_TRUE(TInstallRecord::Load(stored));
    ASSERT_EQ(stored.keys.size(), record.keys.size());
    ASSERT_EQ(stored.values.size(), record.values.size());
    for (size_t i = 0; i < record.values.size(); ++i) {
        EXPECT_EQ(stored.values[i].key, record.values[i].key);
        EXPECT_EQ(stored.values[i].before, record.values[i].before) << record.values[i].key;
        EXPECT_EQ(stored.values[i].after, record.values[i].after) << record.values[i].key;
    }

    const TUninstallResult result = RunUninstall(stored);
    EXPECT_TRUE(result.failures.empty());
    EXPECT_EQ(DumpAll(), before) << "the record itself is gone too, and SOFTWARE\\Zorvane with it";
    for (const auto& n : g_notes) std::printf("%s\n", n.c_str());
    EXPECT_TRUE(Noted("Put registry value HKCR\\.zrvn \"\" back to \"Other.Player\""));
    EXPECT_FALSE(TInstallRecord::Load(stored));
}

TEST(Uninstall, EntriesThatNoLongerHoldWhatTheInstallWroteAreLeftAlone) {
    zvtest::TRegistrySandbox sandbox;
    SeedOtherPlayer();
    zvtest::TTempDir dir;
    const TInstallRecord record = Register(dir.Path() + "\\");
    // Afterwards another player takes .mp3zrvn (a key the install created)
    // and the default of .zrvn (a key it took over), and a third program
    // registers the control's class for a file of its own.
    SetValue(HKEY_CLASSES_ROOT, ".mp3zrvn", "", "Third.Player");
    SetValue(HKEY_CLASSES_ROOT, ".zrvn", "", "Third.Player");
    SetValue(HKEY_CLASSES_ROOT, std::string("CLSID\\") + ActiveXClassId + "\\InprocServer32", "",
             "C:\\Other\\Control.ocx");

    const TUninstallResult result = RunUninstall(record);
    EXPECT_TRUE(result.failures.empty());
    EXPECT_EQ(Value(HKEY_CLASSES_ROOT, ".mp3zrvn"), "Third.Player");
    EXPECT_EQ(Value(HKEY_CLASSES_ROOT, ".mp3zrvn", "Content Type"), ActiveXMimeType) << "the key stays whole";
    EXPECT_EQ(Value(HKEY_CLASSES_ROOT, ".zrvn"), "Third.Player");
    EXPECT_EQ(Value(HKEY_CLASSES_ROOT, ".zrvn", "Content Type"), "audio/x-other")
        << "this one still was ours";
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, std::string("CLSID\\") + ActiveXClassId + "\\EnableFullPage"))
        << "the class is someone else's now";
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, std::string(ActiveXProgId) + "\\DefaultIcon"));
    EXPECT_EQ(Value(HKEY_CLASSES_ROOT, kMimeKey, "CLSID"), "{00000000-0000-0000-0000-000000000000}");
    EXPECT_EQ(Value(HKEY_CLASSES_ROOT, kMimeKey, "Extension"), ".zrvn");
    EXPECT_TRUE(Noted("HKCR\\.mp3zrvn left alone"));
    EXPECT_TRUE(Noted("C:\\Other\\Control.ocx"));
}

namespace {

// PendingFileRenameOperations lives in the real registry (the system's own
// path, past any sandbox): the pairs naming `file` are taken out again.
std::vector<std::string> TakePendingRemovals(const std::string& file) {
    const char* key = "System\\CurrentControlSet\\Control\\Session Manager";
    std::vector<std::string> found;
    HKEY k;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_ALL_ACCESS, &k) != ERROR_SUCCESS) return found;
    std::vector<char> data(65536);
    DWORD size = static_cast<DWORD>(data.size());
    DWORD type = 0;
    if (RegQueryValueExA(k, "PendingFileRenameOperations", nullptr, &type,
                         reinterpret_cast<BYTE*>(data.data()), &size) == ERROR_SUCCESS) {
        std::vector<std::string> items;
        for (size_t i = 0; i < size;) {
            const std::string s(data.data() + i);
            items.push_back(s);
            i += s.size() + 1;
        }
        std::string kept;
        for (size_t i = 0; i + 1 < items.size(); i += 2) {
            if (CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, items[i].c_str(), -1,
                               ("\\??\\" + file).c_str(), -1) == CSTR_EQUAL) {
                found.push_back(items[i] + " -> " + items[i + 1]);
                continue;
            }
            kept += items[i] + '\0' + items[i + 1] + '\0';
        }
        if (kept.empty()) {
            RegDeleteValueA(k, "PendingFileRenameOperations");
        } else {
            kept += '\0';
            RegSetValueExA(k, "PendingFileRenameOperations", 0, REG_MULTI_SZ,
                           reinterpret_cast<const BYTE*>(kept.data()), static_cast<DWORD>(kept.size()));
        }
    }
    RegCloseKey(k);
    return found;
}

}  // namespace

TEST(Uninstall, RemovesFilesOnlyAtTheInstalledVersionAndLeavesFilesInUseForTheRestart) {
    zvtest::TTempDir root;
    const std::string kept = root / "kept", newer = root / "newer", gone = root / "gone",
                      readOnly = root / "ro", busy = root / "busy";
    TInstallRecord record;
    {
        zvtest::TRegistrySandbox sandbox;
        TRecording recording;
        TDeployObserverScope listening(&recording);
        for (const std::string& d : {kept, newer, gone, readOnly, busy}) {
            ASSERT_TRUE(CreateDirectoryA(d.c_str(), nullptr));
            int code = 9;
            ASSERT_TRUE(DeployPluginToDir(d, code)) << d;
        }
        record = recording.record;
    }
    ASSERT_EQ(record.files.size(), 5u);
    EXPECT_EQ(record.files[0].version, "1.7.9.174");
    const auto file = [](const std::string& d) { return d + "\\NPZRVN32.dll"; };
    // Since the install: someone put a newer plug-in in place, one file
    // was deleted, one made read-only, and one is held open by a browser.
    ASSERT_TRUE(CopyFileA(NewerDll().c_str(), file(newer).c_str(), FALSE));
    ASSERT_TRUE(DeleteFileA(file(gone).c_str()));
    SetFileAttributesA(file(readOnly).c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    TFileHandle held(
        CreateFileA(file(busy).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);

    TUninstallResult result;
    {
        zvtest::TRegistrySandbox sandbox;
        ASSERT_TRUE(record.Save());
        result = RunUninstall(record);
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, ProductKey)) << "nothing failed: the record is gone";
    }
    const std::vector<std::string> pending = TakePendingRemovals(file(busy));
    EXPECT_TRUE(result.failures.empty());
    EXPECT_TRUE(Listing(kept).empty());
    EXPECT_TRUE(Listing(readOnly).empty());
    EXPECT_EQ(Version(file(newer)), "1.8.0.1");
    EXPECT_TRUE(Noted("left alone: its version is 1.8.0.1, not 1.7.9.174"));
    EXPECT_TRUE(Noted(file(gone) + " is already gone"));
    EXPECT_EQ(result.scheduled, std::vector<std::string>{file(busy)});
    EXPECT_TRUE(zvtest::FileExists(file(busy))) << "removed only at restart";
    EXPECT_EQ(pending.size(), 1u) << "no removal at restart was scheduled";
    held.Reset();
}

TEST(InstallRecord, MergesLaterInstallsAndKeepsTheProductsEntries) {
    TInstallRecord first;
    first.AddFile("C:\\A\\NPZRVN32.dll", "1.7.9.174");
    first.AddKey("HKCR", ".zrvn", ".zrvn");
    first.AddValue("HKCR", ".other", "", std::string("Other"), std::string("Ours"));
    TInstallRecord later;
    later.AddFile("c:\\a\\npzrvn32.dll", "1.8.0.0");
    later.AddFile("C:\\B\\NPZRVN32.dll", "1.8.0.0");
    later.AddKey("HKCR", ".ZRVN", ".zrvn");
    later.AddValue("HKCR", ".OTHER", "", std::string("Ours"), std::string("Ours again"));
    later.AddValue("HKCR", ".new", "Content Type", std::nullopt, std::string("x"));
    first.Merge(later);
    ASSERT_EQ(first.files.size(), 2u);
    EXPECT_EQ(first.files[0].path, "C:\\A\\NPZRVN32.dll");
    EXPECT_EQ(first.files[0].version, "1.8.0.0") << "the later install's version counts";
    EXPECT_EQ(first.keys.size(), 1u);
    ASSERT_EQ(first.values.size(), 2u);
    EXPECT_EQ(first.values[0].before, std::optional<std::string>("Other")) << "the first earlier state stays";
    EXPECT_EQ(first.values[0].after, std::optional<std::string>("Ours again"));
    // A value written back to what it was before is no change any more.
    first.AddValue("HKCR", ".new", "Content Type", std::string("x"), std::nullopt);
    EXPECT_EQ(first.values.size(), 1u);

    zvtest::TRegistrySandbox sandbox;
    zvtest::TTempDir folder;
    first.installerCopy = KeepInstallerCopy(folder / "Zorvane Player");
    ASSERT_EQ(first.installerCopy, folder / "Zorvane Player\\ZorvaneSetup.exe");
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    EXPECT_EQ(ReadBytes(first.installerCopy), ReadBytes(self));
    ASSERT_TRUE(first.Save());
    ASSERT_TRUE(WriteUninstallEntry(first.installerCopy));
    const std::string entry = UninstallEntryKey;
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, entry, "DisplayName"), "Zorvane Player");
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, entry, "DisplayVersion"), PayloadVersion);
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, entry, "Publisher"), "Zorvane");
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, entry, "UninstallString"),
              "\"" + first.installerCopy + "\" /UNINSTALL");
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, entry, "InstallLocation"), folder / "Zorvane Player");
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, ProductKey, "Version"), PayloadVersion);

    // Another product of the vendor keeps the vendor's key.
    SetValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Zorvane\\Other", "", "x");
    EXPECT_TRUE(TInstallRecord::Erase());
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, ProductKey));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Zorvane\\Other"));
    EXPECT_TRUE(RemoveUninstallEntry());
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, entry));
    TInstallRecord none;
    EXPECT_FALSE(TInstallRecord::Load(none));
}

// What went into a directory named in scripts that the ANSI code page lacks
// is recorded under its own name and taken back completely: the file, and
// the registration whose values name that directory.
TEST(Uninstall, TakesBackWhatWentIntoADirectoryNamedInAnyScript) {
    ASSERT_TRUE(zvtest::AnsiCodePageLacks(zvtest::kScripts) || GetACP() == CP_UTF8);
    zvtest::TTempDir root;
    const std::string dir = root / zvtest::kScripts;
    ASSERT_TRUE(CreateDirectoryW(ToWide(dir).c_str(), nullptr));
    zvtest::TRegistrySandbox sandbox;
    SeedOtherPlayer();
    const auto before = DumpAll();
    TInstallRecord record;
    {
        TRecording recording;
        TDeployObserverScope listening(&recording);
        int code = 9;
        ASSERT_TRUE(DeployPluginToDir(dir, code));
        record = recording.record;
    }
    record.Merge(Register(dir + "\\"));
    ASSERT_EQ(record.files.size(), 1u);
    EXPECT_EQ(record.files[0].path, dir + "\\NPZRVN32.dll");
    ASSERT_TRUE(record.Save());
    TInstallRecord stored;
    ASSERT_TRUE(TInstallRecord::Load(stored));
    ASSERT_EQ(stored.files.size(), 1u);
    EXPECT_EQ(stored.files[0].path, record.files[0].path);
    EXPECT_EQ(stored.files[0].version, "1.7.9.174");

    const TUninstallResult result = RunUninstall(stored);
    for (const auto& n : g_notes) std::printf("%s\n", n.c_str());
    EXPECT_TRUE(result.failures.empty());
    EXPECT_TRUE(Listing(dir).empty());
    EXPECT_TRUE(Noted("Removed " + dir + "\\NPZRVN32.dll."));
    EXPECT_EQ(DumpAll(), before);
}
