// The real installer under Wine. Browsers of every family are registered in
// the prefix's real registry (the child process does not see a sandbox),
// pointing at directories of the build tree; "Install" is pressed with the
// mouse, the dialogs are answered with the mouse, and the files, versions
// and registry entries are checked afterwards. Everything registered is
// removed again, whatever the outcome. Each step is captured to e2e-shots.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "deploy/FileHelpers.h"
#include "deploy/InstallRecord.h"
#include "deploy/PayloadFile.h"
#include "tests/e2e/E2EProcess.h"
#include "tests/win/support/AccTestSupport.h"
#include "tests/win/support/WinTestSupport.h"
#include "vcl/Win32Handles.h"

namespace {

std::string WinPath(const std::string& unixPath) {
    std::string p = unixPath;
    for (char& c : p)
        if (c == '/') c = '\\';
    return "Z:" + p;
}

// The installer under test: the build's own, or another build of it (the
// signed release) named by ZV_E2E_EXE_OVERRIDE.
std::string InstallerPath() {
    const char* other = std::getenv("ZV_E2E_EXE_OVERRIDE");
    return WinPath(other && *other ? other : ZV_E2E_EXE);
}

const std::string kExe = InstallerPath();
const std::string kWork = WinPath(ZV_E2E_WORK);
const std::string kShots = WinPath(ZV_E2E_SHOTS);
const char* const kClsid = "{B77F4487-9ABE-11D5-AFDD-00500460AA49}";
const char* const kProgId = "ZorvaneActiveX.ZorvaneActiveForm";
const char* const kIEClass = "CLSID\\{0002DF01-0000-0000-C000-000000000046}\\LocalServer32";

bool ReadValue(HKEY root, const std::string& path, const char* name, std::string& out) {
    char buf[2048] = {};
    DWORD size = sizeof buf - 1;
    DWORD type = 0;
    HKEY k;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
    const LONG rc = RegQueryValueExA(k, name, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size);
    RegCloseKey(k);
    if (rc != ERROR_SUCCESS) return false;
    out = type == REG_DWORD ? "<dword " + std::to_string(*reinterpret_cast<DWORD*>(buf)) + ">"
                            : std::string(buf);
    return true;
}

std::string Value(HKEY root, const std::string& path, const char* name = "") {
    std::string v = "<missing>";
    ReadValue(root, path, name, v);
    return v;
}

// The browsers of one scenario in the real registry, and everything the
// installer writes there, removed when the object goes. The one value that
// Wine itself has (its own Internet Explorer) is put back as it was.
class TRegisteredBrowsers {
public:
    TRegisteredBrowsers() { m_hadIE = ReadValue(HKEY_CLASSES_ROOT, kIEClass, "", m_savedIE); }
    ~TRegisteredBrowsers() {
        // The control's own registration made by regsvr32.
        using Fn = HRESULT(STDAPICALLTYPE*)();
        zv::TLibrary control(LoadLibraryA(WinPath(ZV_E2E_ACTIVEX).c_str()));
        if (control) {
            if (auto unreg = reinterpret_cast<Fn>(
                    reinterpret_cast<void (*)()>(GetProcAddress(control.Get(), "DllUnregisterServer"))))
                unreg();
        }
        for (const auto& [root, k] : m_created) RegDeleteTreeA(root, k.c_str());
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
        // What an install keeps for its uninstall.
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Zorvane");
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, zv::UninstallEntryKey);
        zvtest::RemoveTree(zv::DefaultInstallFolder());
    }
    TRegisteredBrowsers(const TRegisteredBrowsers&) = delete;
    TRegisteredBrowsers& operator=(const TRegisteredBrowsers&) = delete;

    // installDir gets the browser's layout below it; the plug-in directory
    // is returned.
    std::string Netscape(const std::string& installDir) {
        Add(HKEY_LOCAL_MACHINE, "SOFTWARE\\Netscape\\Netscape Navigator\\4.8 (en)\\Main", "Install Directory",
            installDir, "SOFTWARE\\Netscape");
        return installDir + "\\Program\\Plugins";
    }
    // Navigator installed for the current user only.
    std::string NavigatorOfUser(const std::string& installDir) {
        Add(HKEY_CURRENT_USER, "Software\\Netscape\\Netscape Navigator\\Main", "Install Directory",
            installDir, "Software\\Netscape");
        return installDir + "\\Program\\Plugins";
    }
    std::string Netscape6(const std::string& installDir) {
        Add(HKEY_LOCAL_MACHINE, "SOFTWARE\\Netscape\\Netscape 6", "CurrentVersion", "6.2.3 (en)",
            "SOFTWARE\\Netscape");
        Add(HKEY_LOCAL_MACHINE, "SOFTWARE\\Netscape\\Netscape 6\\6.2.3 (en)\\Main", "Install Directory",
            installDir, "SOFTWARE\\Netscape");
        return installDir + "\\Plugins";
    }
    std::string Netscape7(const std::string& installDir) {
        Add(HKEY_LOCAL_MACHINE, "SOFTWARE\\Netscape\\Netscape\\7.2 (en)\\Main", "Install Directory",
            installDir, "SOFTWARE\\Netscape");
        return installDir + "\\Plugins";
    }
    std::string Mozilla(const std::string& installDir) {
        Add(HKEY_LOCAL_MACHINE, "SOFTWARE\\mozilla.org\\Mozilla\\1.7 (en)\\Main", "Install Directory",
            installDir, "SOFTWARE\\mozilla.org");
        return installDir + "\\Plugins";
    }
    std::string Firefox(const std::string& installDir) {
        Add(HKEY_LOCAL_MACHINE, kFirefoxKey, "Install Directory", installDir, "SOFTWARE\\Mozilla");
        return installDir + "\\Plugins";
    }
    // Firefox's install directory stored as a number, as a damaged registry
    // has it. The key it is in is returned.
    std::string DamagedFirefox() {
        Own(HKEY_LOCAL_MACHINE, "SOFTWARE\\Mozilla");
        HKEY k;
        EXPECT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kFirefoxKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k,
                                  nullptr),
                  ERROR_SUCCESS);
        const DWORD number = 15;
        RegSetValueExA(k, "Install Directory", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                       sizeof number);
        RegCloseKey(k);
        return kFirefoxKey;
    }
    std::string Opera(const std::string& installDir) {
        Add(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Opera.exe", "Path",
            installDir + "\\", "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Opera.exe");
        return installDir + "\\Program\\Plugins";
    }
    std::string InternetExplorer(const std::string& installDir) {
        zvtest::MakeDirs(installDir);
        zvtest::WriteFile(installDir + "\\iexplore.exe", "MZ");
        zvtest::SetRegString(HKEY_CLASSES_ROOT, kIEClass, "", installDir + "\\iexplore.exe");
        return installDir + "\\Plugins";
    }

private:
    static constexpr const char* kFirefoxKey = "SOFTWARE\\Mozilla\\Mozilla Firefox\\1.5 (en-US)\\Main";

    // The top key of a browser belongs to this run: it must not be there
    // before (the first time), and it goes with everything below it.
    void Own(HKEY root, const std::string& top) {
        for (const auto& [r, k] : m_created)
            if (r == root && k == top) return;
        HKEY k;
        const bool existed = RegOpenKeyExA(root, top.c_str(), 0, KEY_READ, &k) == ERROR_SUCCESS;
        if (existed) RegCloseKey(k);
        ASSERT_FALSE(existed) << top << " is registered already: this run would not own it";
        m_created.emplace_back(root, top);
    }
    void Add(HKEY root, const std::string& key, const char* name, const std::string& value,
             const std::string& top) {
        Own(root, top);
        zvtest::SetRegString(root, key, name, value);
    }

    std::vector<std::pair<HKEY, std::string>> m_created;
    bool m_hadIE = false;
    std::string m_savedIE;
};

// The installer as a child process, without options.
class TInstaller : public e2e::TChildProcess {
public:
    TInstaller() : TChildProcess(kExe, "", kWork) {}
};

struct TFind {
    DWORD pid;
    std::string text;
    HWND found = nullptr;
};

BOOL CALLBACK FindTopLevel(HWND hwnd, LPARAM lp) {
    auto* f = reinterpret_cast<TFind*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == f->pid && IsWindowVisible(hwnd) && zvtest::WindowText(hwnd) == f->text) {
        f->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindChild(HWND hwnd, LPARAM lp) {
    auto* f = reinterpret_cast<TFind*>(lp);
    if (IsWindowVisible(hwnd) && zvtest::WindowText(hwnd) == f->text) {
        f->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// A visible top-level window of the process with this caption, once the
// process has handled what it had to and waits for input: the emulated
// 32-bit program on a loaded machine may show a window seconds before it has
// painted it or can take a click.
HWND WaitForWindow(DWORD pid, const std::string& caption, int timeoutMs = 30000) {
    TFind f{pid, caption};
    zvtest::PumpUntil(
        [&] {
            f.found = nullptr;
            EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&f));
            return f.found != nullptr;
        },
        timeoutMs);
    if (f.found) {
        if (HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE, pid)) {
            WaitForInputIdle(process, 30000);
            CloseHandle(process);
        }
    }
    return f.found;
}

// The application's standard error report: a message box of the process
// titled with the application title.
HWND WaitForReport(DWORD pid, int timeoutMs) {
    HWND found = nullptr;
    zvtest::PumpUntil(
        [&] {
            found = nullptr;
            for (HWND h = GetTopWindow(nullptr); h && !found; h = GetWindow(h, GW_HWNDNEXT)) {
                DWORD owner = 0;
                GetWindowThreadProcessId(h, &owner);
                char cls[64] = {};
                GetClassNameA(h, cls, sizeof cls);
                if (owner == pid && IsWindowVisible(h) && std::string(cls) == "#32770" &&
                    zvtest::WindowText(h) == "Player Installer")
                    found = h;
            }
            return found != nullptr;
        },
        timeoutMs);
    return found;
}

// The main window's check list (it sits inside a panel: the whole tree is
// searched by class).
BOOL CALLBACK FindCheckList(HWND w, LPARAM lp) {
    char cls[64] = {};
    GetClassNameA(w, cls, sizeof cls);
    if (std::string(cls) != "ZvCheckListBox") return TRUE;
    *reinterpret_cast<HWND*>(lp) = w;
    return FALSE;
}

// How many lines the main window's check list holds, asked of its list box.
// -1 when there is no list or no answer.
int ListLineCount(HWND main) {
    HWND list = nullptr;
    EnumChildWindows(main, FindCheckList, reinterpret_cast<LPARAM>(&list));
    DWORD_PTR count = 0;
    if (!list || !SendMessageTimeoutA(list, LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 5000, &count)) return -1;
    return static_cast<int>(static_cast<LRESULT>(count));
}

bool KeyExists(HKEY root, const std::string& path) {
    HKEY k;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
    RegCloseKey(k);
    return true;
}

HWND ChildWithText(HWND parent, const std::string& text) {
    TFind f{0, text};
    EnumChildWindows(parent, FindChild, reinterpret_cast<LPARAM>(&f));
    return f.found;
}

// A real click in the middle of the control, once its window is in front
// and the point really lies on the control: a window that a program before
// left on the screen, or one that is slow to come forward, would take it.
void ClickCentre(HWND hwnd) {
    HWND top = GetAncestor(hwnd, GA_ROOT);
    SetForegroundWindow(top);
    RECT r;
    GetWindowRect(hwnd, &r);
    const POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    zvtest::PumpUntil(
        [&] {
            const HWND at = WindowFromPoint(centre);
            return GetForegroundWindow() == top && (at == hwnd || IsChild(hwnd, at));
        },
        10000);
    zvtest::Click(centre.x, centre.y);
}

void Shot(HWND hwnd, const std::string& name) {
    zvtest::Pump(300);
    RECT r;
    GetWindowRect(hwnd, &r);
    zvtest::SaveBmp(zvtest::CaptureScreenRect(r), kShots + "\\" + name + ".bmp");
}

// The program's windows carry the skinned frame: their outer size is the one
// the template's client size gave, their client area what the skin leaves,
// and the skin's mask shapes them (a window region).
void ExpectSkinnedWindow(HWND hwnd, int width, int height, int clientWidth, int clientHeight) {
    RECT r;
    GetWindowRect(hwnd, &r);
    EXPECT_EQ(r.right - r.left, width);
    EXPECT_EQ(r.bottom - r.top, height);
    GetClientRect(hwnd, &r);
    EXPECT_EQ(r.right, clientWidth);
    EXPECT_EQ(r.bottom, clientHeight);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(hwnd, region), COMPLEXREGION);
    DeleteObject(region);
    EXPECT_EQ(GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_CAPTION, 0);
}

std::string Version(const std::string& file) {
    return zv::GetFileVersionString(file, "ProductVersion");
}

}  // namespace

TEST(InstallerE2E, EveryBrowserGetsItsFileAndTheProgramEnds) {
    const std::string root = kWork + "\\all";
    zvtest::RemoveTree(root);  // a run before this one left its files
    TRegisteredBrowsers browsers;
    const std::vector<std::string> pluginDirs{
        browsers.Netscape(root + "\\Navigator"), browsers.Mozilla(root + "\\Mozilla"),
        browsers.Firefox(root + "\\Firefox"), browsers.Opera(root + "\\Opera")};
    for (const auto& d : pluginDirs) zvtest::MakeDirs(d);
    const std::string ieDir = browsers.InternetExplorer(root + "\\IE");

    TInstaller installer;
    ASSERT_TRUE(installer.Started()) << kExe;
    HWND main = WaitForWindow(installer.ProcessId(), "Zorvane Player Installation");
    ASSERT_NE(main, nullptr);
    ExpectSkinnedWindow(main, 421, 271, 411, 242);
    Shot(main, "1-all-main-window");
    HWND install = ChildWithText(main, "Install");
    ASSERT_NE(install, nullptr);
    ClickCentre(install);

    HWND info = WaitForWindow(installer.ProcessId(), "Info...", 30000);
    ASSERT_NE(info, nullptr) << "no information dialog";
    ExpectSkinnedWindow(info, 333, 168, 323, 139);
    Shot(info, "2-all-info-dialog");
    EXPECT_FALSE(IsWindowVisible(main)) << "the main window is hidden behind the final message";
    HWND ok = ChildWithText(info, "OK");
    ASSERT_NE(ok, nullptr);
    ClickCentre(ok);

    DWORD exitCode = 1;
    ASSERT_TRUE(installer.WaitForExit(60000, exitCode)) << "the program did not end";
    EXPECT_EQ(exitCode, 0u);

    for (const auto& d : pluginDirs) EXPECT_EQ(Version(d + "\\NPZRVN32.dll"), "1.7.9.174") << d;
    const std::string ocx = ieDir + "\\ZorvaneActiveX.ocx";
    EXPECT_EQ(Version(ocx), "1.7.9.174");
    // A release build's payload files (signed before they were packed) are
    // what lands in the directories, byte for byte.
    if (const char* payloads = std::getenv("ZV_E2E_PAYLOAD_DIR"); payloads && *payloads) {
        const std::string dir = WinPath(payloads);
        for (const auto& d : pluginDirs)
            EXPECT_EQ(zvtest::ReadFile(d + "\\NPZRVN32.dll"), zvtest::ReadFile(dir + "\\NPZRVN32.dll")) << d;
        EXPECT_EQ(zvtest::ReadFile(ocx), zvtest::ReadFile(dir + "\\ZorvaneActiveX.ocx"));
    }
    EXPECT_FALSE(zvtest::FileExists(ieDir + "\\NPZRVN32.dll"));
    // regsvr32's registration, and the installer's own entries.
    EXPECT_EQ(CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, zv::GetInprocServerPath(kClsid).c_str(), -1,
                             ocx.c_str(), -1),
              CSTR_EQUAL)
        << zv::GetInprocServerPath(kClsid);
    const std::string exeDir = kExe.substr(0, kExe.rfind('\\') + 1);
    EXPECT_EQ(Value(HKEY_CLASSES_ROOT, std::string(kProgId) + "\\DefaultIcon"),
              exeDir + "ZorvaneActiveX.ocx,0");
    EXPECT_EQ(Value(HKEY_CLASSES_ROOT, std::string(kProgId) + "\\shell"), "open");
    EXPECT_NE(Value(HKEY_CLASSES_ROOT, std::string(kProgId) + "\\shell\\open\\command"), "<missing>");
    EXPECT_EQ(Value(HKEY_CLASSES_ROOT, ".zrvn"), kProgId);
    EXPECT_EQ(Value(HKEY_CLASSES_ROOT, ".mp3zrvn", "Content Type"), "application/x-Zorvane");
    EXPECT_EQ(Value(HKEY_CLASSES_ROOT, "MIME\\DataBase\\Content Type\\application/x-Zorvane", "CLSID"),
              kClsid);
    for (const char* sub : {"\\Control", "\\EnableFullPage\\.zrvn", "\\EnableFullPage\\.mp3zrvn"}) {
        HKEY k;
        EXPECT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, (std::string("CLSID\\") + kClsid + sub).c_str(), 0,
                                KEY_READ, &k),
                  ERROR_SUCCESS)
            << sub;
        RegCloseKey(k);
    }
    const std::string setup =
        std::string("SOFTWARE\\Microsoft\\Active Setup\\Installed Components\\") + kClsid;
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, setup, "IsInstalled"), "<dword 1>");
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, setup, "Version"), "n/a")
        << "the installer's directory holds no control";
}

TEST(InstallerE2E, ReadOnlyNetscapeDirectoryIsReportedAndTheWindowStays) {
    const std::string root = kWork + "\\readonly";
    const std::string readOnly = WinPath(ZV_E2E_READONLY);
    TRegisteredBrowsers browsers;
    ASSERT_EQ(browsers.Netscape(root + "\\Navigator"), readOnly);
    const std::string firefox = browsers.Firefox(root + "\\Firefox");
    zvtest::MakeDirs(firefox);
    // The directory exists but takes no new file (made so by the fixture).
    ASSERT_TRUE(zvtest::DirExists(readOnly));
    {
        HANDLE h =
            CreateFileA((readOnly + "\\probe").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        const bool writable = h != INVALID_HANDLE_VALUE;
        if (writable) {
            CloseHandle(h);
            DeleteFileA((readOnly + "\\probe").c_str());
        }
        ASSERT_FALSE(writable) << "the fixture could not make the directory read-only";
    }

    TInstaller installer;
    ASSERT_TRUE(installer.Started());
    HWND main = WaitForWindow(installer.ProcessId(), "Zorvane Player Installation");
    ASSERT_NE(main, nullptr);
    Shot(main, "3-readonly-main-window");
    HWND install = ChildWithText(main, "Install");
    ASSERT_NE(install, nullptr);
    ClickCentre(install);

    HWND error = WaitForWindow(installer.ProcessId(), "Error...", 30000);
    ASSERT_NE(error, nullptr) << "no error dialog";
    Shot(error, "4-readonly-netscape-message");
    HWND ok = ChildWithText(error, "OK");
    ASSERT_NE(ok, nullptr);
    ClickCentre(ok);

    // One message only (Firefox succeeded), and the window stays open.
    zvtest::Pump(1500);
    EXPECT_EQ(WaitForWindow(installer.ProcessId(), "Error...", 500), nullptr);
    EXPECT_EQ(WaitForWindow(installer.ProcessId(), "Info...", 500), nullptr);
    EXPECT_TRUE(installer.Running());
    EXPECT_TRUE(IsWindowVisible(main));
    Shot(main, "5-readonly-window-stays");
    EXPECT_FALSE(zvtest::FileExists(readOnly + "\\NPZRVN32.dll"));
    EXPECT_EQ(Version(firefox + "\\NPZRVN32.dll"), "1.7.9.174");

    // Closing the window ends the program.
    PostMessageA(main, WM_CLOSE, 0, 0);
    DWORD exitCode = 1;
    EXPECT_TRUE(installer.WaitForExit(60000, exitCode));
}

// The skinned frame of the real program: its system menu opens from the
// system-menu button and Esc closes only the menu; a press on the close
// button released elsewhere does nothing; pressed and released over it, the
// window closes and the program ends without installing anything.
TEST(InstallerE2E, FrameButtonsOfTheRealProgram) {
    TInstaller installer;
    ASSERT_TRUE(installer.Started());
    HWND main = WaitForWindow(installer.ProcessId(), "Zorvane Player Installation");
    ASSERT_NE(main, nullptr);
    SetForegroundWindow(main);
    zvtest::PumpUntil([&] { return GetForegroundWindow() == main; }, 10000);
    zvtest::Pump(300);
    RECT w;
    GetWindowRect(main, &w);

    // System-menu button (6, 5, 20, 19): a one-entry skinned menu below it.
    zvtest::Click(w.left + 13, w.top + 12);
    const bool menuShown = zvtest::PumpUntil(
        [&] {
            for (HWND h = GetTopWindow(nullptr); h; h = GetWindow(h, GW_HWNDNEXT)) {
                DWORD pid = 0;
                GetWindowThreadProcessId(h, &pid);
                RECT r;
                GetWindowRect(h, &r);
                if (pid == installer.ProcessId() && h != main && IsWindowVisible(h) &&
                    r.bottom - r.top == 24 && r.top >= w.top + 19 && r.left == w.left + 6)
                    return true;
            }
            return false;
        },
        10000);
    EXPECT_TRUE(menuShown) << "no skinned system menu below the button";
    Shot(main, "6-system-menu");
    zvtest::PressKey(VK_ESCAPE);
    zvtest::Pump(300);
    EXPECT_TRUE(installer.Running());

    // Close button (399, 5, 413, 19): released outside, nothing happens.
    zvtest::MouseMoveTo(w.left + 406, w.top + 12);
    zvtest::MouseButton(true);
    zvtest::Pump(100);
    zvtest::MouseMoveTo(w.left + 200, w.top + 150);
    zvtest::MouseButton(false);
    zvtest::Pump(500);
    EXPECT_TRUE(installer.Running());
    EXPECT_TRUE(IsWindowVisible(main));

    zvtest::Click(w.left + 406, w.top + 12);
    DWORD exitCode = 1;
    EXPECT_TRUE(installer.WaitForExit(60000, exitCode)) << "the close button did not end the program";
    EXPECT_EQ(exitCode, 2u) << "closed without installing";
}

// One damaged registry value (Firefox's install directory stored as a
// number) costs Firefox alone: the user is told once, by value and key; the
// seven other browsers are listed, and installing them succeeds and ends the
// program.
TEST(InstallerE2E, DamagedValueCostsOnlyItsOwnBrowser) {
    const std::string root = kWork + "\\damaged";
    TRegisteredBrowsers browsers;
    const std::vector<std::string> pluginDirs{
        browsers.Netscape(root + "\\Navigator"),  browsers.NavigatorOfUser(root + "\\NavUser"),
        browsers.Netscape6(root + "\\Netscape6"), browsers.Netscape7(root + "\\Netscape"),
        browsers.Mozilla(root + "\\Mozilla"),     browsers.Opera(root + "\\Opera")};
    for (const auto& d : pluginDirs) zvtest::MakeDirs(d);
    const std::string firefox = root + "\\Firefox\\Plugins";
    zvtest::MakeDirs(firefox);
    const std::string damagedKey = browsers.DamagedFirefox();
    const std::string ieDir = browsers.InternetExplorer(root + "\\IE");

    TInstaller installer;
    ASSERT_TRUE(installer.Started());
    HWND report = WaitForReport(installer.ProcessId(), 20000);
    ASSERT_NE(report, nullptr) << "no error report";
    const std::string expected =
        "Invalid data type for 'Install Directory' in HKEY_LOCAL_MACHINE\\" + damagedKey;
    EXPECT_NE(zvtest::ChildTexts(report).find(expected), std::string::npos) << zvtest::ChildTexts(report);
    Shot(report, "7-damaged-error-report");
    PostMessageA(report, WM_COMMAND, IDOK, 0);

    HWND main = WaitForWindow(installer.ProcessId(), "Zorvane Player Installation");
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(WaitForReport(installer.ProcessId(), 500), nullptr) << "told once";
    // Every one of them is installed below, so all seven are listed.
    EXPECT_EQ(ListLineCount(main), 7);
    Shot(main, "8-damaged-main-window");
    HWND install = ChildWithText(main, "Install");
    ASSERT_NE(install, nullptr);
    ClickCentre(install);

    HWND info = WaitForWindow(installer.ProcessId(), "Info...", 30000);
    ASSERT_NE(info, nullptr) << "no information dialog";
    HWND ok = ChildWithText(info, "OK");
    ASSERT_NE(ok, nullptr);
    ClickCentre(ok);
    DWORD exitCode = 1;
    ASSERT_TRUE(installer.WaitForExit(60000, exitCode)) << "the program did not end";
    EXPECT_EQ(exitCode, 0u);
    for (const auto& d : pluginDirs) EXPECT_EQ(Version(d + "\\NPZRVN32.dll"), "1.7.9.174") << d;
    EXPECT_EQ(Version(ieDir + "\\ZorvaneActiveX.ocx"), "1.7.9.174");
    EXPECT_FALSE(zvtest::FileExists(firefox + "\\NPZRVN32.dll"));
}

// Internet Explorer's plug-in directory takes no file (made so by the
// fixture): the control cannot be written, so nothing of it is registered:
// no extension bound to it, no class key, no Active Setup entry. The other
// browser is still served and the window stays.
TEST(InstallerE2E, ControlThatCannotBeWrittenIsNotRegistered) {
    const std::string root = kWork + "\\noie";
    const std::string locked = WinPath(ZV_E2E_IE_READONLY);
    TRegisteredBrowsers browsers;
    ASSERT_EQ(browsers.InternetExplorer(root + "\\IE"), locked);
    const std::string firefox = browsers.Firefox(root + "\\Firefox");
    zvtest::MakeDirs(firefox);
    {
        HANDLE h =
            CreateFileA((locked + "\\probe").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        const bool writable = h != INVALID_HANDLE_VALUE;
        if (writable) {
            CloseHandle(h);
            DeleteFileA((locked + "\\probe").c_str());
        }
        ASSERT_FALSE(writable) << "the fixture could not make the directory read-only";
    }
    const std::string setup =
        std::string("SOFTWARE\\Microsoft\\Active Setup\\Installed Components\\") + kClsid;
    const std::vector<std::string> classesKeys{".zrvn", ".mp3zrvn", std::string("CLSID\\") + kClsid, kProgId,
                                               "MIME\\DataBase\\Content Type\\application/x-Zorvane"};
    for (const auto& k : classesKeys) ASSERT_FALSE(KeyExists(HKEY_CLASSES_ROOT, k)) << k << " left over";
    ASSERT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, setup));

    TInstaller installer;
    ASSERT_TRUE(installer.Started());
    HWND main = WaitForWindow(installer.ProcessId(), "Zorvane Player Installation");
    ASSERT_NE(main, nullptr);
    HWND install = ChildWithText(main, "Install");
    ASSERT_NE(install, nullptr);
    ClickCentre(install);

    // Under the emulated 32-bit runner a synthetic click is now and then
    // lost; a click that started the install shows as the dialog or as the
    // other browser's file. Only when neither came is it given again.
    HWND error = WaitForWindow(installer.ProcessId(), "Error...", 30000);
    if (error == nullptr && !zvtest::FileExists(firefox + "\\NPZRVN32.dll")) {
        ClickCentre(install);
        error = WaitForWindow(installer.ProcessId(), "Error...", 60000);
    }
    ASSERT_NE(error, nullptr) << "no error dialog";
    Shot(error, "9-locked-ie-message");
    HWND ok = ChildWithText(error, "OK");
    ASSERT_NE(ok, nullptr);
    ClickCentre(ok);
    zvtest::Pump(1500);
    EXPECT_EQ(WaitForWindow(installer.ProcessId(), "Error...", 500), nullptr) << "one message";
    EXPECT_EQ(WaitForWindow(installer.ProcessId(), "Info...", 500), nullptr);
    EXPECT_TRUE(installer.Running());

    EXPECT_FALSE(zvtest::FileExists(locked + "\\ZorvaneActiveX.ocx"));
    for (const auto& k : classesKeys) EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, k)) << k;
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, setup));
    EXPECT_EQ(zv::GetInprocServerPath(kClsid), "");
    EXPECT_EQ(Version(firefox + "\\NPZRVN32.dll"), "1.7.9.174");

    PostMessageA(main, WM_CLOSE, 0, 0);
    DWORD exitCode = 1;
    EXPECT_TRUE(installer.WaitForExit(60000, exitCode));
}

// ---- the shipped 32-bit program on 64-bit Windows ------------------------------------
//
// In a WoW64 prefix the installer lives in the platform's 32-bit view: its
// registry reads go to Wow6432Node, its Program Files is "Program Files
// (x86)", and 32-bit browsers register there. The browsers below exist in
// that view only, Internet Explorer is the prefix's own 32-bit one, and one
// directory already holds a newer plug-in.

namespace {

bool RunningOnWow64() {
    BOOL wow64 = FALSE;
    return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

std::string Expand(const char* text) {
    char buf[MAX_PATH] = {};
    ExpandEnvironmentStringsA(text, buf, sizeof buf);
    return buf;
}

// Whether the key exists in the given view (KEY_WOW64_32KEY or _64KEY).
bool KeyInView(HKEY root, const std::string& path, REGSAM view) {
    HKEY k;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ | view, &k) != ERROR_SUCCESS) return false;
    RegCloseKey(k);
    return true;
}

// The lines of the main window's check list, read from outside the process.
std::vector<std::string> ListLines(HWND main) {
    HWND list = nullptr;
    EnumChildWindows(main, FindCheckList, reinterpret_cast<LPARAM>(&list));
    std::vector<std::string> lines;
    if (!list) return lines;
    // Across processes the text comes back whole only through the wide call.
    const auto count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t wide[1024] = {};
        char buf[2048] = {};
        if (SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0) < 1024) {
            SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(wide));
            WideCharToMultiByte(CP_ACP, 0, wide, -1, buf, sizeof buf, nullptr, nullptr);
        }
        lines.emplace_back(buf);
    }
    return lines;
}

}  // namespace

TEST(InstallerE2E, ThirtyTwoBitProgramOnSixtyFourBitWindows) {
    if (!RunningOnWow64()) GTEST_SKIP() << "only the 32-bit build runs in the platform's 32-bit view";
    const std::string programFiles = Expand("%ProgramFiles%");
    ASSERT_EQ(programFiles, "C:\\Program Files (x86)") << "a 32-bit process sees the 32-bit Program Files";
    ASSERT_EQ(Expand("%ProgramW6432%"), "C:\\Program Files");

    const std::string root = programFiles + "\\Zorvane E2E";
    zvtest::RemoveTree(root);
    const std::string ieDir = programFiles + "\\Internet Explorer\\Plugins";
    const bool ieDirExisted = zvtest::DirExists(ieDir);
    struct TCleanup {
        std::string root, ieDir;
        bool ieDirExisted;
        ~TCleanup() {
            zvtest::RemoveTree(root);
            if (!ieDirExisted)
                zvtest::RemoveTree(ieDir);
            else
                DeleteFileA((ieDir + "\\ZorvaneActiveX.ocx").c_str());
        }
    } cleanup{root, ieDir, ieDirExisted};

    // Internet Explorer is the prefix's own 32-bit one: its class is
    // registered in the 32-bit view, so the TRegisteredBrowsers override is
    // not used here; the rest are written by this 32-bit test program and so
    // land in Wow6432Node, as a 32-bit browser's installer would put them.
    std::string ieServer;
    ASSERT_TRUE(ReadValue(HKEY_CLASSES_ROOT, kIEClass, "", ieServer));
    ASSERT_NE(ieServer.find(programFiles), std::string::npos) << ieServer;
    TRegisteredBrowsers browsers;
    const std::vector<std::string> pluginDirs{
        browsers.Netscape(root + "\\Netscape"), browsers.Mozilla(root + "\\Mozilla"),
        browsers.Firefox(root + "\\Mozilla Firefox"), browsers.Opera(root + "\\Opera")};
    for (const auto& d : pluginDirs) zvtest::MakeDirs(d);
    for (const char* key : {"SOFTWARE\\Netscape", "SOFTWARE\\mozilla.org", "SOFTWARE\\Mozilla"}) {
        EXPECT_TRUE(KeyInView(HKEY_LOCAL_MACHINE, key, KEY_WOW64_32KEY)) << key;
        EXPECT_FALSE(KeyInView(HKEY_LOCAL_MACHINE, key, KEY_WOW64_64KEY)) << key << " in the 64-bit view";
    }
    // Someone installed a newer plug-in for Opera.
    const std::string opera = pluginDirs[3];
    ASSERT_TRUE(CopyFileA(WinPath(ZV_E2E_NEWER).c_str(), (opera + "\\NPZRVN32.dll").c_str(), FALSE));

    TInstaller installer;
    ASSERT_TRUE(installer.Started()) << kExe;
    HWND main = WaitForWindow(installer.ProcessId(), "Zorvane Player Installation", 60000);
    ASSERT_NE(main, nullptr);
    ExpectSkinnedWindow(main, 421, 271, 411, 242);
    Shot(main, "10-wow64-main-window");
    const std::vector<std::string> expected{ieDir, pluginDirs[0], pluginDirs[1], pluginDirs[2],
                                            pluginDirs[3]};
    const std::vector<std::string> lines = ListLines(main);
    std::string listed;
    for (const auto& line : lines) listed += "\n  " + line;
    for (const auto& dir : expected)
        EXPECT_NE(std::find(lines.begin(), lines.end(), dir), lines.end())
            << dir << " is not listed in" << listed;
    EXPECT_EQ(lines.size(), expected.size());

    HWND install = ChildWithText(main, "Install");
    ASSERT_NE(install, nullptr);
    ClickCentre(install);

    // The newer plug-in is refused, everything else is installed, and the
    // window stays for the user to read the message.
    HWND error = WaitForWindow(installer.ProcessId(), "Error...", 60000);
    ASSERT_NE(error, nullptr) << "the newer plug-in for Opera was not reported";
    Shot(error, "11-wow64-newer-opera");
    HWND ok = ChildWithText(error, "OK");
    ASSERT_NE(ok, nullptr);
    ClickCentre(ok);
    zvtest::Pump(1500);
    EXPECT_EQ(WaitForWindow(installer.ProcessId(), "Error...", 500), nullptr) << "one message only";
    EXPECT_EQ(WaitForWindow(installer.ProcessId(), "Info...", 500), nullptr);
    EXPECT_TRUE(installer.Running());

    EXPECT_EQ(Version(opera + "\\NPZRVN32.dll"), "1.8.0.1") << "the newer plug-in was replaced";
    for (size_t i = 0; i < 3; ++i)
        EXPECT_EQ(Version(pluginDirs[i] + "\\NPZRVN32.dll"), "1.7.9.174") << pluginDirs[i];
    const std::string ocx = ieDir + "\\ZorvaneActiveX.ocx";
    EXPECT_EQ(Version(ocx), "1.7.9.174");

    // The 32-bit regsvr32 registered the 32-bit control in the 32-bit view of
    // the classes, and the installer's own entries went there too.
    const std::string clsid = std::string("CLSID\\") + kClsid;
    EXPECT_TRUE(KeyInView(HKEY_CLASSES_ROOT, clsid + "\\InprocServer32", KEY_WOW64_32KEY));
    EXPECT_FALSE(KeyInView(HKEY_CLASSES_ROOT, clsid, KEY_WOW64_64KEY)) << "the control is in the 64-bit view";
    EXPECT_EQ(CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, zv::GetInprocServerPath(kClsid).c_str(), -1,
                             ocx.c_str(), -1),
              CSTR_EQUAL)
        << zv::GetInprocServerPath(kClsid);
    EXPECT_EQ(Value(HKEY_CLASSES_ROOT, ".zrvn"), kProgId);
    EXPECT_EQ(Value(HKEY_CLASSES_ROOT, "MIME\\DataBase\\Content Type\\application/x-Zorvane", "CLSID"),
              kClsid);
    const std::string setup =
        std::string("SOFTWARE\\Microsoft\\Active Setup\\Installed Components\\") + kClsid;
    EXPECT_TRUE(KeyInView(HKEY_LOCAL_MACHINE, setup, KEY_WOW64_32KEY));
    EXPECT_FALSE(KeyInView(HKEY_LOCAL_MACHINE, setup, KEY_WOW64_64KEY));

    PostMessageA(main, WM_CLOSE, 0, 0);
    DWORD exitCode = 1;
    EXPECT_TRUE(installer.WaitForExit(60000, exitCode));
}

// The installer's version resource and manifest carry the version of the
// files it installs (one place in the build sets all of them).
TEST(InstallerE2E, TheProgramCarriesTheVersionItInstalls) {
    EXPECT_EQ(Version(kExe), zv::PayloadVersion);
    zv::TLibrary exe(LoadLibraryExA(kExe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(exe);
    HRSRC res = FindResourceA(exe.Get(), MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
    ASSERT_NE(res, nullptr);
    HGLOBAL data = LoadResource(exe.Get(), res);
    const std::string manifest(static_cast<const char*>(LockResource(data)), SizeofResource(exe.Get(), res));
    EXPECT_NE(manifest.find(std::string("version=\"") + zv::PayloadVersion + "\""), std::string::npos)
        << manifest;
}

// What a screen reader in another process gets of the real program: the
// window's title bar and buttons, the banner, each line as a check button
// named by its path with its state; the default actions work across the
// process boundary, the error dialog's message is read, and Esc ends it.
TEST(InstallerE2E, AScreenReaderInAnotherProcessReadsAndDrivesTheWindows) {
    const std::string root = kWork + "\\reader";
    zvtest::RemoveTree(root);
    TRegisteredBrowsers browsers;
    const std::string dir = browsers.Mozilla(root + "\\Mozilla");
    zvtest::MakeDirs(dir);
    TInstaller installer;
    ASSERT_TRUE(installer.Started()) << kExe;
    HWND main = WaitForWindow(installer.ProcessId(), "Zorvane Player Installation");
    ASSERT_NE(main, nullptr);

    std::vector<zvtest::TAccEntry> all = zvtest::Flatten(zvtest::WindowObject(main));
    ASSERT_FALSE(all.empty()) << "no accessible object for the main window";
    EXPECT_EQ(all[0].Props.Role, ROLE_SYSTEM_WINDOW);
    EXPECT_TRUE(zvtest::FindEntry(all, ROLE_SYSTEM_TITLEBAR, "Zorvane Player Installation"));
    EXPECT_TRUE(zvtest::FindEntry(all, ROLE_SYSTEM_PUSHBUTTON, "Close"));
    EXPECT_TRUE(zvtest::FindEntry(all, ROLE_SYSTEM_PUSHBUTTON, "System menu"));
    bool banner = false;
    for (const auto& e : all)
        banner = banner || (e.Props.Role == ROLE_SYSTEM_STATICTEXT &&
                            e.Props.Name.rfind("The Player Installer collected", 0) == 0);
    EXPECT_TRUE(banner);
    const zvtest::TAccProps* line = zvtest::FindEntry(all, ROLE_SYSTEM_CHECKBUTTON, dir);
    ASSERT_NE(line, nullptr) << "the line of " << dir;
    EXPECT_TRUE(line->State & STATE_SYSTEM_CHECKED);
    const zvtest::TAccProps* install = zvtest::FindEntry(all, ROLE_SYSTEM_PUSHBUTTON, "Install");
    ASSERT_NE(install, nullptr);
    EXPECT_TRUE(install->State & STATE_SYSTEM_DEFAULT);

    // Unchecking the line through the reader, then pressing Install through
    // it: the program asks for a line.
    HWND list = nullptr;
    EnumChildWindows(main, FindCheckList, reinterpret_cast<LPARAM>(&list));
    ASSERT_NE(list, nullptr);
    zvtest::TAccRef listObject = zvtest::ClientObject(list);
    ASSERT_TRUE(listObject);
    const long lines = zvtest::ChildCount(listObject);
    ASSERT_GE(lines, 1);
    for (long i = 1; i <= lines; ++i) {
        if (!(zvtest::Props(listObject, i).State & STATE_SYSTEM_CHECKED)) continue;
        EXPECT_EQ(listObject->accDoDefaultAction(zvtest::ChildId(i)), S_OK);
        EXPECT_TRUE(zvtest::PumpUntil(
            [&] { return !(zvtest::Props(listObject, i).State & STATE_SYSTEM_CHECKED); }, 5000))
            << zvtest::Props(listObject, i).Name;
    }
    HWND installWindow = ChildWithText(main, "Install");
    ASSERT_NE(installWindow, nullptr);
    zvtest::TAccRef button = zvtest::ClientObject(installWindow);
    ASSERT_TRUE(button);
    EXPECT_EQ(button->accDoDefaultAction(zvtest::ChildId(CHILDID_SELF)), S_OK);
    HWND error = WaitForWindow(installer.ProcessId(), "Error...", 30000);
    ASSERT_NE(error, nullptr);
    all = zvtest::Flatten(zvtest::WindowObject(error));
    EXPECT_TRUE(zvtest::FindEntry(all, ROLE_SYSTEM_STATICTEXT, "Please select an item !"));
    EXPECT_TRUE(zvtest::FindEntry(all, ROLE_SYSTEM_GRAPHIC, "Error"));
    EXPECT_TRUE(zvtest::FindEntry(all, ROLE_SYSTEM_PUSHBUTTON, "OK"));
    Shot(error, "reader-error-dialog");
    SetForegroundWindow(error);
    zvtest::Pump(200);
    zvtest::PressKey(VK_ESCAPE);
    EXPECT_TRUE(zvtest::PumpUntil([&] { return !IsWindow(error) || !IsWindowVisible(error); }, 10000))
        << "Esc ends the error dialog";
    EXPECT_TRUE(IsWindowVisible(main)) << "and only the dialog";
}
