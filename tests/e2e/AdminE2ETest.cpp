// The real installer under Wine as an administrator runs it: /SILENT with a
// log, /VERYSILENT with a directory that fails, /UNINSTALL through the "Add
// or remove programs" entry, and bad command lines. Browsers are registered
// in the prefix's real registry (the child process sees no sandbox); the
// registry keys the product touches and the plug-in directories are compared
// before the install and after the uninstall. Everything is removed again,
// whatever the outcome.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "deploy/FileHelpers.h"
#include "deploy/InstallRecord.h"
#include "deploy/PayloadFile.h"
#include "tests/e2e/E2EProcess.h"
#include "tests/win/support/WinTestSupport.h"
#include "vcl/Win32Handles.h"

namespace {

std::string WinPath(const std::string& unixPath) {
    std::string p = unixPath;
    for (char& c : p)
        if (c == '/') c = '\\';
    return "Z:" + p;
}

const std::string kExe = WinPath(ZV_E2E_EXE);
const std::string kWork = WinPath(ZV_E2E_WORK);
const char* const kClsid = "{B77F4487-9ABE-11D5-AFDD-00500460AA49}";
const char* const kProgId = "ZorvaneActiveX.ZorvaneActiveForm";
const char* const kIEClass = "CLSID\\{0002DF01-0000-0000-C000-000000000046}\\LocalServer32";
constexpr int kRunTimeoutMs = 180000;  // the emulated 32-bit program on a loaded machine

bool KeyExists(HKEY root, const std::string& path) {
    HKEY k;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
    RegCloseKey(k);
    return true;
}

std::string Value(HKEY root, const std::string& path, const char* name = "") {
    char buf[2048] = {};
    DWORD size = sizeof buf - 1;
    if (RegGetValueA(root, path.c_str(), name, RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS)
        return "<missing>";
    return buf;
}

// Every key and value below root\path as "path|name=data#type" lines;
// "<missing>" for a key that is not there.
void Dump(HKEY key, const std::string& path, std::map<std::string, std::string>& out) {
    out[path] = "";
    char name[1024];
    BYTE data[4096];
    for (DWORD i = 0;; ++i) {
        DWORD nameLen = sizeof name, dataLen = sizeof data, type = 0;
        if (RegEnumValueA(key, i, name, &nameLen, nullptr, &type, data, &dataLen) != ERROR_SUCCESS) break;
        out[path + "|" + name] =
            std::string(reinterpret_cast<char*>(data), dataLen) + "#" + std::to_string(type);
    }
    for (DWORD i = 0;; ++i) {
        DWORD nameLen = sizeof name;
        if (RegEnumKeyExA(key, i, name, &nameLen, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        HKEY sub;
        if (RegOpenKeyExA(key, name, 0, KEY_READ, &sub) == ERROR_SUCCESS) {
            Dump(sub, path + "\\" + name, out);
            RegCloseKey(sub);
        }
    }
}

// The keys the product and the scenario touch.
std::map<std::string, std::string> RegistryExport() {
    const std::vector<std::pair<HKEY, std::string>> keys{
        {HKEY_CLASSES_ROOT, std::string("CLSID\\") + kClsid},
        {HKEY_CLASSES_ROOT, kProgId},
        {HKEY_CLASSES_ROOT, ".zrvn"},
        {HKEY_CLASSES_ROOT, ".mp3zrvn"},
        {HKEY_CLASSES_ROOT, "MIME\\DataBase\\Content Type"},
        {HKEY_CLASSES_ROOT, kIEClass},
        {HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Active Setup\\Installed Components"},
        {HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Internet Explorer\\Plugins"},
        {HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall"},
        {HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths"},
        {HKEY_LOCAL_MACHINE, "SOFTWARE\\Zorvane"},
        {HKEY_LOCAL_MACHINE, "SOFTWARE\\Netscape"},
        {HKEY_LOCAL_MACHINE, "SOFTWARE\\Mozilla"},
    };
    std::map<std::string, std::string> out;
    for (const auto& [root, path] : keys) {
        const std::string shown = (root == HKEY_CLASSES_ROOT ? "HKCR\\" : "HKLM\\") + path;
        HKEY k;
        if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) {
            out[shown] = "<missing>";
            continue;
        }
        Dump(k, shown, out);
        RegCloseKey(k);
    }
    return out;
}

// Names and versions of what a directory holds ("<missing>" when it does
// not exist).
std::string Listing(const std::string& dir) {
    if (GetFileAttributesA(dir.c_str()) == INVALID_FILE_ATTRIBUTES) return "<missing>";
    std::string out;
    WIN32_FIND_DATAA fd;
    zv::TFindHandle h(FindFirstFileA((dir + "\\*").c_str(), &fd));
    if (!h) return out;
    do {
        const std::string n = fd.cFileName;
        if (n != "." && n != "..")
            out += n + " " + zv::GetFileVersionString(dir + "\\" + n, "ProductVersion") + ";";
    } while (FindNextFileA(h.Get(), &fd));
    return out;
}

std::string Version(const std::string& file) {
    return zv::GetFileVersionString(file, "ProductVersion");
}

// The log's lines without their time stamps; every line must carry one.
std::vector<std::string> LogLines(const std::string& file) {
    std::istringstream in(zvtest::ReadFile(file));
    std::vector<std::string> lines;
    const std::regex stamped(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3}  (.*)\r$)");
    std::string line;
    while (std::getline(in, line)) {
        std::smatch m;
        EXPECT_TRUE(std::regex_match(line, m, stamped)) << line;
        lines.push_back(m.size() > 1 ? m[1].str() : line);
    }
    return lines;
}

// Each of `wanted` appears in `lines`, in this order (other lines between).
void ExpectInOrder(const std::vector<std::string>& lines, const std::vector<std::string>& wanted) {
    size_t at = 0;
    for (const std::string& w : wanted) {
        while (at < lines.size() && lines[at] != w) ++at;
        if (at == lines.size()) {
            std::string all;
            for (const auto& l : lines) all += "\n  " + l;
            ADD_FAILURE() << "not in the log (in this order): " << w << "\nlog:" << all;
            return;
        }
        ++at;
    }
}

// What the installer writes for itself, wherever a run before left it.
std::string InstallFolder() {
    return zv::DefaultInstallFolder();
}

void WipeProduct() {
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Zorvane");
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, zv::UninstallEntryKey);
    zvtest::RemoveTree(InstallFolder());
}

// PendingFileRenameOperations entries for files below `prefix` are taken
// out again (Wine would carry them out at the prefix's next start); their
// sources are returned.
std::vector<std::string> TakePendingRemovals(const std::string& prefix) {
    const char* key = "System\\CurrentControlSet\\Control\\Session Manager";
    std::vector<std::string> found;
    HKEY k;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_ALL_ACCESS, &k) != ERROR_SUCCESS) return found;
    std::vector<char> data(65536);
    DWORD size = static_cast<DWORD>(data.size());
    if (RegQueryValueExA(k, "PendingFileRenameOperations", nullptr, nullptr,
                         reinterpret_cast<BYTE*>(data.data()), &size) == ERROR_SUCCESS) {
        std::vector<std::string> items;
        for (size_t i = 0; i < size && data[i];) {
            const std::string s(data.data() + i);
            items.push_back(s);
            i += s.size() + 1;
            if (i < size && !data[i] && items.size() % 2 == 1) {  // empty target
                items.emplace_back();
                ++i;
            }
        }
        std::string kept;
        const std::string wanted = "\\??\\" + prefix;
        for (size_t i = 0; i + 1 < items.size(); i += 2) {
            if (CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, items[i].c_str(),
                               static_cast<int>(std::min(items[i].size(), wanted.size())), wanted.c_str(),
                               -1) == CSTR_EQUAL) {
                found.push_back(items[i].substr(4));
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

// The browsers of one scenario in the real registry, and anything the
// installer left there, removed when the object goes.
class TMachine {
public:
    explicit TMachine(const std::string& root) : m_root(root) {
        WipeProduct();
        zvtest::RemoveTree(m_root);
        m_hadIE = RegGetValueA(HKEY_CLASSES_ROOT, kIEClass, "", RRF_RT_REG_SZ, nullptr, nullptr, nullptr) ==
                  ERROR_SUCCESS;
        if (m_hadIE) m_savedIE = Value(HKEY_CLASSES_ROOT, kIEClass);
    }
    ~TMachine() {
        using Fn = HRESULT(STDAPICALLTYPE*)();
        zv::TLibrary control(LoadLibraryA(WinPath(ZV_E2E_ACTIVEX).c_str()));
        if (control) {
            if (auto unreg = reinterpret_cast<Fn>(
                    reinterpret_cast<void (*)()>(GetProcAddress(control.Get(), "DllUnregisterServer"))))
                unreg();
        }
        for (const std::string& k : m_created) RegDeleteTreeA(HKEY_LOCAL_MACHINE, k.c_str());
        for (const std::string& k :
             {std::string("CLSID\\") + kClsid, std::string(kProgId), std::string(".zrvn"),
              std::string(".mp3zrvn"), std::string("MIME\\DataBase\\Content Type\\application/x-Zorvane")})
            RegDeleteTreeA(HKEY_CLASSES_ROOT, k.c_str());
        RegDeleteTreeA(
            HKEY_LOCAL_MACHINE,
            (std::string("SOFTWARE\\Microsoft\\Active Setup\\Installed Components\\") + kClsid).c_str());
        if (m_hadIE)
            zvtest::SetRegString(HKEY_CLASSES_ROOT, kIEClass, "", m_savedIE);
        else
            RegDeleteTreeA(HKEY_CLASSES_ROOT, "CLSID\\{0002DF01-0000-0000-C000-000000000046}");
        TakePendingRemovals(InstallFolder());
        WipeProduct();
        zvtest::RemoveTree(m_root);
    }
    TMachine(const TMachine&) = delete;
    TMachine& operator=(const TMachine&) = delete;

    std::string Netscape(const std::string& installDir) {
        Add("SOFTWARE\\Netscape\\Netscape Navigator\\4.8 (en)\\Main", "Install Directory", installDir,
            "SOFTWARE\\Netscape");
        return installDir + "\\Program\\Plugins";
    }
    std::string Firefox(const std::string& installDir) {
        Add("SOFTWARE\\Mozilla\\Mozilla Firefox\\1.5 (en-US)\\Main", "Install Directory", installDir,
            "SOFTWARE\\Mozilla");
        return installDir + "\\Plugins";
    }
    std::string Opera(const std::string& installDir) {
        Add("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Opera.exe", "Path", installDir + "\\",
            "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Opera.exe");
        return installDir + "\\Program\\Plugins";
    }
    // With its plug-in directory in place, as an installed Internet
    // Explorer has it.
    std::string InternetExplorer(const std::string& installDir) {
        zvtest::MakeDirs(installDir + "\\Plugins");
        zvtest::WriteFile(installDir + "\\iexplore.exe", "MZ");
        zvtest::SetRegString(HKEY_CLASSES_ROOT, kIEClass, "", installDir + "\\iexplore.exe");
        return installDir + "\\Plugins";
    }

private:
    void Add(const std::string& key, const char* name, const std::string& installDir,
             const std::string& top) {
        ASSERT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, top))
            << top << " is registered already: this run would not own it";
        m_created.push_back(top);
        zvtest::SetRegString(HKEY_LOCAL_MACHINE, key, name, installDir);
    }

    std::string m_root;
    std::vector<std::string> m_created;
    bool m_hadIE = false;
    std::string m_savedIE;
};

// The installer as a child process with a command line.
class TRun : public e2e::TChildProcess {
public:
    TRun(const std::string& exe, const std::string& args) : TChildProcess(exe, args, kWork) {}
    // The exit code, or -1 when the program did not end in time.
    long ExitCode(int timeoutMs = kRunTimeoutMs) {
        DWORD code = 0;
        return WaitForExit(timeoutMs, code) ? static_cast<long>(code) : -1;
    }
};

struct TFind {
    DWORD pid;
    std::string caption;  // empty: any visible window
    HWND found = nullptr;
};

BOOL CALLBACK FindVisible(HWND hwnd, LPARAM lp) {
    auto* f = reinterpret_cast<TFind*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != f->pid || !IsWindowVisible(hwnd)) return TRUE;
    if (!f->caption.empty() && zvtest::WindowText(hwnd) != f->caption) return TRUE;
    f->found = hwnd;
    return FALSE;
}

HWND VisibleWindow(DWORD pid, const std::string& caption = {}) {
    TFind f{pid, caption};
    EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&f));
    return f.found;
}

BOOL CALLBACK ListVisible(HWND hwnd, LPARAM lp) {
    auto* f = reinterpret_cast<TFind*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == f->pid) {
        char cls[128] = {};
        GetClassNameA(hwnd, cls, sizeof cls);
        f->caption += std::string(cls) + " '" + zvtest::WindowText(hwnd) +
                      "' visible=" + std::to_string(IsWindowVisible(hwnd)) + "\n";
    }
    return TRUE;
}

// The top-level windows of a process, for a failure message.
std::string WindowsOf(DWORD pid) {
    TFind f{pid, ""};
    EnumWindows(ListVisible, reinterpret_cast<LPARAM>(&f));
    return f.caption;
}

HWND WaitForWindow(TRun& run, const std::string& caption) {
    HWND found = nullptr;
    zvtest::PumpUntil(
        [&] {
            found = VisibleWindow(run.ProcessId(), caption);
            return found != nullptr || run.Ended();
        },
        kRunTimeoutMs);
    return found;
}

// Waits for the end of the run, noting every caption of a visible window it
// showed meanwhile.
long ExitCodeWatchingWindows(TRun& run, std::vector<std::string>& captions) {
    zvtest::PumpUntil(
        [&] {
            if (HWND w = VisibleWindow(run.ProcessId())) {
                const std::string c = zvtest::WindowText(w);
                if (std::find(captions.begin(), captions.end(), c) == captions.end()) captions.push_back(c);
            }
            return run.Ended();
        },
        kRunTimeoutMs);
    return run.ExitCode(1000);
}

// The texts of a message box of another process (its static children).
BOOL CALLBACK CollectText(HWND hwnd, LPARAM lp) {
    wchar_t wide[2048] = {};
    char text[4096] = {};
    SendMessageW(hwnd, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(wide));
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    *reinterpret_cast<std::string*>(lp) += std::string(text) + "\n";
    return TRUE;
}

std::string BoxText(HWND box) {
    std::string out;
    EnumChildWindows(box, CollectText, reinterpret_cast<LPARAM>(&out));
    return out;
}

std::string Quoted(const std::string& s) {
    return "\"" + s + "\"";
}

}  // namespace

TEST(AdminE2E, SilentInstallWithItsLogThenUninstallLeavesTheMachineAsItWas) {
    const std::string root = kWork + "\\admin-silent";
    TMachine machine(root);
    const std::vector<std::string> dirs{machine.Netscape(root + "\\Navigator"),
                                        machine.Firefox(root + "\\Firefox"), machine.Opera(root + "\\Opera")};
    for (const auto& d : dirs) zvtest::MakeDirs(d);
    const std::string ie = machine.InternetExplorer(root + "\\IE");
    // Another player had the extension .zrvn: the install takes it over and
    // the uninstall gives it back.
    zvtest::SetRegString(HKEY_CLASSES_ROOT, ".zrvn", "", "Other.Player");
    const std::string log = root + "\\setup.log";

    const auto registryBefore = RegistryExport();
    std::vector<std::string> listingsBefore;
    for (const auto& d : dirs) listingsBefore.push_back(Listing(d));
    listingsBefore.push_back(Listing(ie));

    {
        TRun install(kExe, "/SILENT /LOG=" + Quoted(log));
        ASSERT_TRUE(install.Started()) << kExe;
        EXPECT_NE(WaitForWindow(install, "Zorvane Player Installation"), nullptr)
            << "/SILENT shows the window";
        std::vector<std::string> captions;
        EXPECT_EQ(ExitCodeWatchingWindows(install, captions), 0);
        for (const auto& c : captions) EXPECT_EQ(c, "Zorvane Player Installation") << "a dialog showed";
    }
    for (const auto& d : dirs) EXPECT_EQ(Version(d + "\\NPZRVN32.dll"), "1.7.9.174") << d;
    const std::string ocx = ie + "\\ZorvaneActiveX.ocx";
    EXPECT_EQ(Version(ocx), "1.7.9.174");
    EXPECT_EQ(Value(HKEY_CLASSES_ROOT, ".zrvn"), kProgId);
    const std::string entry = zv::UninstallEntryKey;
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, entry, "DisplayName"), "Zorvane Player");
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, entry, "DisplayVersion"), zv::PayloadVersion);
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, entry, "Publisher"), "Zorvane");
    const std::string copy = InstallFolder() + "\\ZorvaneSetup.exe";
    const std::string uninstall = Value(HKEY_LOCAL_MACHINE, entry, "UninstallString");
    ASSERT_EQ(uninstall, Quoted(copy) + " /UNINSTALL");
    EXPECT_EQ(zvtest::ReadFile(copy), zvtest::ReadFile(kExe)) << "the kept copy is the installer itself";

    const std::vector<std::string> installLog = LogLines(log);
    ASSERT_FALSE(installLog.empty());
    EXPECT_EQ(installLog.front(),
              "Zorvane Player installer 1.7.9.174 started: " + Quoted(kExe) + " /SILENT /LOG=" + Quoted(log));
    ExpectInOrder(installLog, {
                                  "Found plug-in directory (Internet Explorer): " + ie,
                                  "Found plug-in directory (Opera): " + dirs[2],
                                  "Found plug-in directory (Netscape): " + dirs[0],
                                  "Found plug-in directory (Mozilla or Firefox): " + dirs[1],
                                  "Install started: 4 deployment(s) for the checked lines.",
                              });
    ExpectInOrder(installLog,
                  {
                      "Registration tool regsvr32 /s " + Quoted(ocx) + " ended with exit code 0 (succeeded).",
                      "Internet Explorer (" + ie + "): succeeded, code 0 (no failure).",
                  });
    for (const auto& [browser, dir] : std::vector<std::pair<std::string, std::string>>{
             {"Opera", dirs[2]}, {"Mozilla", dirs[1]}, {"Netscape", dirs[0]}})
        ExpectInOrder(installLog, {"Put " + dir + "\\NPZRVN32.dll (version 1.7.9.174) in place.",
                                   browser + " (" + dir + "): succeeded, code 0 (no failure)."});
    ExpectInOrder(installLog, {"Install finished: everything chosen is installed.",
                               "\"Add or remove programs\" entry: " + Quoted(copy) + " /UNINSTALL.",
                               "Finished with exit code 0 (done)."});

    // Uninstall as "Add or remove programs" would start it, unattended.
    {
        TRun remove(copy, "/UNINSTALL /VERYSILENT /LOG=" + Quoted(log));
        ASSERT_TRUE(remove.Started()) << copy;
        std::vector<std::string> captions;
        EXPECT_EQ(ExitCodeWatchingWindows(remove, captions), 0);
        EXPECT_TRUE(captions.empty()) << captions.front();
    }
    const std::vector<std::string> fullLog = LogLines(log);
    ASSERT_GT(fullLog.size(), installLog.size());
    EXPECT_EQ(
        std::vector<std::string>(fullLog.begin(), fullLog.begin() + static_cast<long>(installLog.size())),
        installLog)
        << "the uninstall appends to the log";
    ExpectInOrder(fullLog,
                  {"Put registry value HKCR\\.zrvn \"\" back to \"Other.Player\".",
                   "Registration tool regsvr32 /u /s " + Quoted(ocx) + " ended with exit code 0 (succeeded).",
                   "Unregistered the control " + ocx + ".", "Removed " + ocx + ".",
                   "Removed the record of the installation.", "Finished with exit code 0 (done)."});

    // The running copy cannot always remove itself: then it and its folder
    // go at the next start of Windows.
    const std::vector<std::string> pending = TakePendingRemovals(InstallFolder());
    if (zvtest::FileExists(copy)) {
        EXPECT_NE(std::find(pending.begin(), pending.end(), copy), pending.end())
            << "the kept copy stays and is not scheduled for removal";
        zvtest::RemoveTree(InstallFolder());
    }
    EXPECT_EQ(RegistryExport(), registryBefore);
    std::vector<std::string> listingsAfter;
    for (const auto& d : dirs) listingsAfter.push_back(Listing(d));
    listingsAfter.push_back(Listing(ie));
    EXPECT_EQ(listingsAfter, listingsBefore);
}

TEST(AdminE2E, VerySilentWithAFailingDirectoryThenUninstallLeavesOthersNewerPlugins) {
    const std::string root = kWork + "\\admin-verysilent";
    const std::string readOnly = WinPath(ZV_E2E_READONLY);
    TMachine machine(root);
    // Netscape's directory takes no new file (made so by the fixture); Opera
    // holds a newer plug-in of someone else already.
    ASSERT_EQ(machine.Netscape(kWork + "\\readonly\\Navigator"), readOnly);
    const std::string firefox = machine.Firefox(root + "\\Firefox");
    const std::string opera = machine.Opera(root + "\\Opera");
    zvtest::MakeDirs(firefox);
    zvtest::MakeDirs(opera);
    ASSERT_TRUE(CopyFileA(WinPath(ZV_E2E_NEWER).c_str(), (opera + "\\NPZRVN32.dll").c_str(), FALSE));
    const std::string log = root + "\\setup.log";

    {
        TRun install(kExe, "-verysilent -log=" + Quoted(log));
        ASSERT_TRUE(install.Started());
        std::vector<std::string> captions;
        EXPECT_EQ(ExitCodeWatchingWindows(install, captions), 3);
        EXPECT_TRUE(captions.empty()) << "a window showed: " << captions.front();
    }
    EXPECT_FALSE(zvtest::FileExists(readOnly + "\\NPZRVN32.dll"));
    EXPECT_EQ(Version(firefox + "\\NPZRVN32.dll"), "1.7.9.174");
    EXPECT_EQ(Version(opera + "\\NPZRVN32.dll"), "1.8.0.1");
    ExpectInOrder(
        LogLines(log),
        {"Opera (" + opera + "): failed, code -3 (a newer version is installed).",
         "Error message \"Error...\": Installed Plugin for Opera is newer than the version you are trying "
         "to install ! (not shown)",
         "Mozilla (" + firefox + "): succeeded, code 0 (no failure).",
         "Netscape (" + readOnly +
             "): failed, code -1 (the file could not be created or replaced (directory rights, file in "
             "use)).",
         "Install finished: some deployments failed.", "Finished with exit code 3 (something failed)."});

    // Someone else has since put a newer plug-in into Firefox's directory.
    ASSERT_TRUE(CopyFileA(WinPath(ZV_E2E_NEWER).c_str(), (firefox + "\\NPZRVN32.dll").c_str(), FALSE));
    {
        TRun remove(kExe, "/UNINSTALL /VERYSILENT /LOG=" + Quoted(log));
        ASSERT_TRUE(remove.Started());
        std::vector<std::string> captions;
        EXPECT_EQ(ExitCodeWatchingWindows(remove, captions), 0);
        EXPECT_TRUE(captions.empty());
    }
    EXPECT_EQ(Version(firefox + "\\NPZRVN32.dll"), "1.8.0.1") << "someone else's newer plug-in was removed";
    EXPECT_EQ(Version(opera + "\\NPZRVN32.dll"), "1.8.0.1");
    ExpectInOrder(LogLines(log), {"File " + firefox +
                                      "\\NPZRVN32.dll left alone: its version is 1.8.0.1, not "
                                      "1.7.9.174.",
                                  "Removed the record of the installation."});
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, zv::ProductKey));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, zv::UninstallEntryKey));
    EXPECT_FALSE(zvtest::DirExists(InstallFolder()))
        << "run from elsewhere, the uninstall removes the copy at once";

    // Nothing recorded any more: a second uninstall has nothing to do.
    TRun again(kExe, "/UNINSTALL /VERYSILENT");
    EXPECT_EQ(again.ExitCode(), 1);
}

TEST(AdminE2E, ABadCommandLineInstallsNothingAndTheOptionsAreListed) {
    const std::string root = kWork + "\\admin-options";
    TMachine machine(root);
    const std::string firefox = machine.Firefox(root + "\\Firefox");
    zvtest::MakeDirs(firefox);
    const std::string log = root + "\\setup.log";

    {
        TRun quiet(kExe, "/VERYSILENT /BOGUS /LOG=" + Quoted(log));
        std::vector<std::string> captions;
        EXPECT_EQ(ExitCodeWatchingWindows(quiet, captions), 87);
        EXPECT_TRUE(captions.empty());
    }
    ExpectInOrder(LogLines(log), {"Bad command line: Unknown option: /BOGUS",
                                  "Finished with exit code 87 (bad command line)."});

    {
        TRun shown(kExe, "-bogus");
        HWND box = WaitForWindow(shown, "Player Installer");
        ASSERT_NE(box, nullptr) << "no dialog for the bad option; windows:\n" << WindowsOf(shown.ProcessId());
        EXPECT_NE(BoxText(box).find("Unknown option: -bogus"), std::string::npos) << BoxText(box);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        EXPECT_EQ(shown.ExitCode(), 87);
    }
    {
        TRun help(kExe, "/?");
        HWND box = WaitForWindow(help, "Player Installer");
        ASSERT_NE(box, nullptr) << "no dialog listing the options; windows:\n" << WindowsOf(help.ProcessId());
        const std::string text = BoxText(box);
        for (const char* option : {"/SILENT", "/VERYSILENT", "/LOG=\"file\"", "/UNINSTALL", "/?"})
            EXPECT_NE(text.find(option), std::string::npos) << option << " is not listed:\n" << text;
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        EXPECT_EQ(help.ExitCode(), 0);
    }
    EXPECT_FALSE(zvtest::FileExists(firefox + "\\NPZRVN32.dll"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, zv::ProductKey));
}

TEST(AdminE2E, NothingToInstallIntoEndsWithOne) {
    const std::string root = kWork + "\\admin-nothing";
    TMachine machine(root);
    // Not even Wine's own Internet Explorer (put back by the machine).
    RegDeleteTreeA(HKEY_CLASSES_ROOT, kIEClass);
    {
        TRun window(kExe, "");
        HWND main = WaitForWindow(window, "Zorvane Player Installation");
        ASSERT_NE(main, nullptr);
        PostMessageA(main, WM_CLOSE, 0, 0);
        EXPECT_EQ(window.ExitCode(), 1);
    }
    const std::string log = root + "\\setup.log";
    zvtest::MakeDirs(root);
    TRun quiet(kExe, "/VERYSILENT /LOG=" + Quoted(log));
    EXPECT_EQ(quiet.ExitCode(), 1);
    ExpectInOrder(
        LogLines(log),
        {"No browser plug-in directory found.", "Nothing installed: there is nothing to install into.",
         "Finished with exit code 1 (nothing to install into, or nothing installed to remove)."});
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, zv::ProductKey));
}
