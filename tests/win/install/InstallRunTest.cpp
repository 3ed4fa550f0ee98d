// The install command as the unattended modes and the administrator see it:
// the banner's progress while the window repaints, a second click while the
// registration tool runs, the log, and the record that uninstall takes back.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <regex>
#include <set>
#include <sstream>

#include "app/InstallLog.h"
#include "app/InstallRun.h"
#include "app/KvSkinDialogs.h"
#include "app/SetupRun.h"
#include "app/frmMain.h"
#include "deploy/ToolProcess.h"
#include "deploy/Uninstall.h"
#include "tests/win/deploy2/Deploy2Support.h"
#include "tests/win/install/DialogWatcher.h"
#include "tests/win/support/WinTestSupport.h"

using namespace zv;
using namespace deploy2;
using namespace installtest;
using Dialogs = std::vector<TShownDialog>;

namespace {

// Browsers under one temporary tree, registered in the sandbox.
struct TMachine {
    zvtest::TTempDir root;
    std::string Opera() { return root / "Opera\\Program\\Plugins"; }
    std::string Netscape(const std::string& name = "Nav") { return root / (name + "\\Program\\Plugins"); }
    std::string Mozilla() { return root / "Moz\\Plugins"; }
    std::string IE() { return root / "IE\\Plugins"; }
    void AddOpera() {
        zvtest::MakeDirs(Opera());
        zvtest::SetRegString(HKEY_LOCAL_MACHINE,
                             "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Opera.exe", "Path",
                             root / "Opera\\");
    }
    void AddNetscape(const std::string& name = "Nav") {
        zvtest::MakeDirs(Netscape(name));
        zvtest::SetRegString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Netscape\\Netscape Navigator\\4.8 (en)\\Main",
                             "Install Directory", root / name);
    }
    void AddMozilla() {
        zvtest::MakeDirs(Mozilla());
        zvtest::SetRegString(HKEY_LOCAL_MACHINE, "SOFTWARE\\mozilla.org\\Mozilla\\1.7 (en)\\Main",
                             "Install Directory", root / "Moz");
    }
    void AddIE() {
        zvtest::MakeDirs(root / "IE");
        zvtest::WriteFile(root / "IE\\iexplore.exe", "MZ");
        zvtest::SetRegString(HKEY_CLASSES_ROOT,
                             "CLSID\\{0002DF01-0000-0000-C000-000000000046}\\LocalServer32", "",
                             root / "IE\\iexplore.exe");
    }
};

struct TWindow {
    std::unique_ptr<TMainForm> form;
    TWindow() {
        Session() = TSessionState();
        form = std::make_unique<TMainForm>(nullptr);
        form->AfterConstruction();
        form->OnClose = [](TObject*, TCloseAction& action) { action = TCloseAction::caHide; };
        form->Show();
        zvtest::Pump(200);
    }
    Dialogs Install() {
        TDialogWatcher watch;
        form->InstallButton->ButtonClick();
        return watch.Shown();
    }
};

// Hears what the install run passes on, after the run has handled it.
struct TListener : TDeployObserver {
    std::function<void(const std::string&)> onDeploying;
    std::function<void()> onTool;
    int deploying = 0;
    void Deploying(const std::string& file) override {
        ++deploying;
        if (onDeploying) onDeploying(file);
    }
    void RegistrationToolRan(const std::string&, bool, const TToolRun&) override {
        if (onTool) onTool();
    }
};

std::string Progress(const std::string& dir, int step, int steps) {
    return "Installing into " + dir + " (" + std::to_string(step) + " of " + std::to_string(steps) + ")";
}

}  // namespace

TEST(InstallRun, TheBannerShowsEachDirectoryAsItIsServedAndTheWindowRepaints) {
    zvtest::TRegistrySandbox sandbox;
    TMachine m;
    m.AddOpera();
    m.AddNetscape();
    m.AddMozilla();
    TWindow w;
    ASSERT_TRUE(CopyFileA(NewerDll().c_str(), (m.Opera() + "\\NPZRVN32.dll").c_str(), FALSE));
    const HWND banner = w.form->TopPanel->Handle();
    std::vector<std::string> shown;
    std::vector<bool> pending;
    zv::TPixelBuffer second;
    TListener listener;
    listener.onDeploying = [&](const std::string&) {
        shown.push_back(w.form->TopLabel->Caption());
        pending.push_back(GetUpdateRect(banner, nullptr, FALSE) ||
                          GetUpdateRect(w.form->Handle(), nullptr, FALSE));
        if (shown.size() == 2) second = zvtest::CaptureClient(banner);
    };
    {
        TDeployObserverScope listening(&listener);
        // Lines in alphabetical order: Moz, Nav, Opera. Opera is served
        // while the lines are walked, the groups after.
        const Dialogs newer{
            {"error", "Error...",
             "Installed Plugin for Opera is newer than the version you are trying to install !"}};
        EXPECT_EQ(w.Install(), newer);
    }
    const std::vector<std::string> expected{Progress(m.Opera(), 1, 3), Progress(m.Mozilla(), 2, 3),
                                            Progress(m.Netscape(), 3, 3)};
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(pending, std::vector<bool>(3, false)) << "the window was not repainted before the step";
    EXPECT_EQ(w.form->TopLabel->Caption(), TMainForm::FoundText) << "the banner is given back";

    // What the screen showed at the second step is that text, drawn as the
    // banner draws it.
    zvtest::Pump(200);
    const zv::TPixelBuffer found = zvtest::CaptureClient(banner);
    EXPECT_NE(found, second);
    w.form->TopLabel->SetCaption(expected[1]);
    RedrawWindow(w.form->Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    EXPECT_EQ(zvtest::CaptureClient(banner), second);
    EXPECT_EQ(InstallExitCode(false), ecFailed);
}

namespace {

TMainForm* g_form = nullptr;
bool g_toolRunning = false;
bool g_clickedWhileToolRan = false;

void CALLBACK ClickAgain(HWND, UINT, UINT_PTR id, DWORD) {
    if (!g_toolRunning || g_clickedWhileToolRan) return;
    g_clickedWhileToolRan = true;
    KillTimer(nullptr, id);
    g_form->InstallButton->ButtonClick();
}

}  // namespace

TEST(InstallRun, ASecondClickWhileTheRegistrationToolRunsStartsNothing) {
    TMachine m;
    TUnregisterGuard unregister(m.IE() + "\\ZorvaneActiveX.ocx");
    zvtest::TRegistrySandbox sandbox;
    m.AddIE();
    TWindow w;
    g_form = w.form.get();
    g_toolRunning = false;
    g_clickedWhileToolRan = false;
    TListener listener;
    // The tool starts after the control is in place; the timer runs only
    // while the wait pumps messages.
    listener.onDeploying = [](const std::string&) { g_toolRunning = true; };
    listener.onTool = [] { g_toolRunning = false; };
    const UINT_PTR timer = SetTimer(nullptr, 0, 5, ClickAgain);
    Dialogs shown;
    {
        TDeployObserverScope listening(&listener);
        shown = w.Install();
    }
    KillTimer(nullptr, timer);
    EXPECT_TRUE(g_clickedWhileToolRan) << "the wait did not run the message loop";
    EXPECT_EQ(listener.deploying, 1) << "the second click started another install";
    const Dialogs installed{{"info", "Info...", "Zorvane Player installed."}};
    EXPECT_EQ(shown, installed);
    EXPECT_EQ(InstallExitCode(false), ecInstalled);
}

TEST(InstallRun, TheLogTellsEveryStepInUtf8AndAppends) {
    zvtest::TRegistrySandbox sandbox;
    TMachine m;
    m.AddOpera();
    m.AddNetscape("Nav\xC3\x9C");  // U with diaeresis
    zvtest::TTempDir logDir;
    const std::string logFile = logDir / "setup.log";
    zvtest::WriteFile(logFile, "an earlier run\r\n");
    TWindow w;
    ASSERT_TRUE(CopyFileA(NewerDll().c_str(), (m.Opera() + "\\NPZRVN32.dll").c_str(), FALSE));
    ASSERT_TRUE(InstallLog().Open(logFile));
    TCommandLine verySilent;
    verySilent.verySilent = true;
    ApplyRunMode(verySilent);
    const Dialogs shown = w.Install();
    InstallLog().Close();
    SetDialogPolicy(TDialogPolicy::dpShowAll);
    SetDialogListener(nullptr);
    Application->OnException = nullptr;

    EXPECT_TRUE(shown.empty()) << "a dialog showed in the very silent mode";
    std::istringstream lines(zvtest::ReadFile(logFile));
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "an earlier run\r");
    std::vector<std::string> texts;
    const std::regex stamped(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3}  (.*)\r$)");
    while (std::getline(lines, line)) {
        std::smatch match;
        ASSERT_TRUE(std::regex_match(line, match, stamped)) << line;
        texts.push_back(match[1]);
    }
    const std::string nav = m.Netscape("Nav\xC3\x9C");
    const std::vector<std::string> expected{
        "Install started: 2 deployment(s) for the checked lines.",
        Progress(m.Opera(), 1, 2),
        "Opera (" + m.Opera() + "): failed, code -3 (a newer version is installed).",
        "Error message \"Error...\": Installed Plugin for Opera is newer than the version you are trying to "
        "install ! (not shown)",
        Progress(nav, 2, 2),
        "Put " + nav + "\\NPZRVN32.dll (version 1.7.9.174) in place.",
        "Netscape (" + nav + "): succeeded, code 0 (no failure).",
        "Install finished: some deployments failed.",
    };
    EXPECT_EQ(texts, expected);
}

TEST(InstallRun, KeepsARecordThatUninstallTakesBack) {
    zvtest::TRegistrySandbox sandbox;
    TMachine m;
    m.AddOpera();
    m.AddNetscape();
    zvtest::TTempDir programFiles;
    TWindow w;
    Session().keepRecord = true;
    Session().installFolder = programFiles / "Zorvane Player";
    const Dialogs installed{{"info", "Info...", "Zorvane Player installed."}};
    ASSERT_EQ(w.Install(), installed);
    // A second install writes nothing new; the record stays as it was.
    ASSERT_EQ(w.Install(), installed);

    TInstallRecord record;
    ASSERT_TRUE(TInstallRecord::Load(record));
    std::set<std::string> files;
    for (const auto& f : record.files) files.insert(f.path + " " + f.version);
    EXPECT_EQ(files, (std::set<std::string>{m.Opera() + "\\NPZRVN32.dll 1.7.9.174",
                                            m.Netscape() + "\\NPZRVN32.dll 1.7.9.174"}));
    const std::string copy = programFiles / "Zorvane Player\\ZorvaneSetup.exe";
    EXPECT_EQ(record.installerCopy, copy);
    EXPECT_TRUE(zvtest::FileExists(copy));
    char value[512] = {};
    DWORD size = sizeof value;
    EXPECT_EQ(RegGetValueA(HKEY_LOCAL_MACHINE, UninstallEntryKey, "UninstallString", RRF_RT_REG_SZ, nullptr,
                           value, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::string(value), "\"" + copy + "\" /UNINSTALL");

    const TUninstallResult result = Uninstall(record, nullptr);
    EXPECT_TRUE(result.failures.empty());
    EXPECT_TRUE(Listing(m.Opera()).empty());
    EXPECT_TRUE(Listing(m.Netscape()).empty());
    EXPECT_FALSE(zvtest::DirExists(programFiles / "Zorvane Player")) << "the kept copy and its folder went";
    EXPECT_FALSE(TInstallRecord::Load(record));
    HKEY k;
    EXPECT_NE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, UninstallEntryKey, 0, KEY_READ, &k), ERROR_SUCCESS);
}
