// The install command on a main window made from seeded registries: which
// deployments run for the checked lines, the messages and their order, the
// hourglass, and the end of the program on full success.
#include <gtest/gtest.h>

#include <memory>

#include "app/frmMain.h"
#include "tests/win/deploy2/Deploy2Support.h"
#include "tests/win/install/DialogWatcher.h"
#include "tests/win/support/WinTestSupport.h"

using namespace zv;
using namespace deploy2;
using namespace installtest;
using Dialogs = std::vector<TShownDialog>;

namespace {

// Browsers installed under one temporary tree; each plug-in directory is
// created so that discovery reports it.
struct TMachine {
    zvtest::TTempDir root;
    std::string Opera() { return root / "Opera\\Program\\Plugins"; }
    std::string Netscape(const std::string& name = "Nav") { return root / (name + "\\Program\\Plugins"); }
    std::string Mozilla() { return root / "Moz\\Plugins"; }
    std::string Firefox() { return root / "Firefox\\Plugins"; }
    std::string IE() { return root / "IE\\Plugins"; }

    void AddOpera() {
        zvtest::MakeDirs(Opera());
        zvtest::SetRegString(HKEY_LOCAL_MACHINE,
                             "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Opera.exe", "Path",
                             root / "Opera\\");
    }
    void AddNetscape(const std::string& name = "Nav", const std::string& version = "4.8 (en)") {
        zvtest::MakeDirs(Netscape(name));
        zvtest::SetRegString(HKEY_LOCAL_MACHINE,
                             "SOFTWARE\\Netscape\\Netscape Navigator\\" + version + "\\Main",
                             "Install Directory", root / name);
    }
    void AddMozilla() {
        zvtest::MakeDirs(Mozilla());
        zvtest::SetRegString(HKEY_LOCAL_MACHINE, "SOFTWARE\\mozilla.org\\Mozilla\\1.7 (en)\\Main",
                             "Install Directory", root / "Moz");
    }
    void AddFirefox(const std::string& installDir = {}) {
        const std::string dir = installDir.empty() ? root / "Firefox" : installDir;
        zvtest::MakeDirs(dir + "\\Plugins");
        zvtest::SetRegString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Mozilla\\Mozilla Firefox\\1.5 (en-US)\\Main",
                             "Install Directory", dir);
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
    bool closed = false;
    bool hiddenDuringInfo = false;
    int cursorDuringDialogs = 0;

    TWindow() {
        form = std::make_unique<TMainForm>(nullptr);
        form->AfterConstruction();
        form->OnClose = [this](TObject*, TCloseAction&) { closed = true; };
        form->Show();
    }
    // Presses Install with the dialogs answered; returns what they showed.
    Dialogs Install() {
        TDialogWatcher watch;
        OnDialog() = [this](TKvSkinMessageForm& d) {
            cursorDuringDialogs = Screen->Cursor();
            if (dynamic_cast<TKvSkinInfoForm*>(&d)) hiddenDuringInfo = !IsWindowVisible(form->Handle());
            return false;
        };
        form->InstallButton->ButtonClick();
        return watch.Shown();
    }
    int Line(const std::string& text) const { return form->LB->Items().IndexOf(text); }
};

const TShownDialog kInstalled{"info", "Info...", "Zorvane Player installed."};

TShownDialog Error(const std::string& message) {
    return {"error", "Error...", message};
}

std::string Target(const std::string& dir) {
    return dir + "\\NPZRVN32.dll";
}

}  // namespace

TEST(InstallCommand, NothingCheckedOnlyAsksForASelection) {
    zvtest::TRegistrySandbox sandbox;
    TMachine m;
    m.AddOpera();
    m.AddNetscape();
    TWindow w;
    for (int i = 0; i < w.form->LB->Items().Count(); ++i) w.form->LB->SetChecked(i, false);
    EXPECT_EQ(w.Install(), Dialogs{Error("Please select an item !")});
    EXPECT_FALSE(zvtest::FileExists(Target(m.Opera())));
    EXPECT_FALSE(zvtest::FileExists(Target(m.Netscape())));
    EXPECT_FALSE(w.closed);
    EXPECT_EQ(Screen->Cursor(), crDefault);
}

TEST(InstallCommand, FullSuccessHidesTheWindowTellsAndCloses) {
    zvtest::TRegistrySandbox sandbox;
    TMachine m;
    m.AddOpera();
    m.AddNetscape();
    m.AddMozilla();
    m.AddFirefox();
    TWindow w;
    ASSERT_EQ(w.form->LB->Items().Count(), 4);
    EXPECT_EQ(w.Install(), Dialogs{kInstalled});
    EXPECT_TRUE(w.hiddenDuringInfo);
    EXPECT_EQ(w.cursorDuringDialogs, crHourGlass);
    EXPECT_TRUE(w.closed);
    EXPECT_EQ(Screen->Cursor(), crDefault);
    for (const std::string& d : {m.Opera(), m.Netscape(), m.Mozilla(), m.Firefox()})
        EXPECT_EQ(Version(Target(d)), "1.7.9.174") << d;
}

TEST(InstallCommand, UncheckedLinesAreLeftOut) {
    zvtest::TRegistrySandbox sandbox;
    TMachine m;
    m.AddOpera();
    m.AddNetscape();
    TWindow w;
    w.form->LB->SetChecked(w.Line(m.Opera()), false);
    EXPECT_EQ(w.Install(), Dialogs{kInstalled});
    EXPECT_FALSE(zvtest::FileExists(Target(m.Opera())));
    EXPECT_TRUE(zvtest::FileExists(Target(m.Netscape())));
}

TEST(InstallCommand, EachBrowserIsNamedAndTheGroupsComeAfterTheLines) {
    zvtest::TRegistrySandbox sandbox;
    TMachine m;
    m.AddOpera();
    m.AddNetscape();
    m.AddMozilla();
    m.AddFirefox();
    TWindow w;
    // Opera holds a newer plug-in, Firefox's directory has gone, Netscape's
    // file is in use.
    ASSERT_TRUE(CopyFileA(NewerDll().c_str(), Target(m.Opera()).c_str(), FALSE));
    ASSERT_TRUE(zvtest::RemoveTree(m.Firefox()));
    ASSERT_TRUE(CopyFileA(OlderDll().c_str(), Target(m.Netscape()).c_str(), FALSE));
    TFileHandle held(
        CreateFileA(Target(m.Netscape()).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    const Dialogs expected{
        Error("Installed Plugin for Opera is newer than the version you are trying to install !"),
        Error("Insufficient directory rights to install the software for Mozilla !"),
        Error("Insufficient directory rights to install the software for Netscape !"),
    };
    EXPECT_EQ(w.Install(), expected);
    EXPECT_FALSE(w.closed);
    EXPECT_TRUE(IsWindowVisible(w.form->Handle()));
    EXPECT_EQ(Version(Target(m.Mozilla())), "1.7.9.174") << "the group's other directory got its file";
    EXPECT_EQ(Screen->Cursor(), crDefault);
}

TEST(InstallCommand, DamagedPayloadReportsEveryPluginBrowserAsLoaded) {
    zvtest::TRegistrySandbox sandbox;
    TMachine m;
    m.AddOpera();
    m.AddNetscape();
    m.AddFirefox();
    TWindow w;
    TArchiveOverride damaged(1, DamagedData(PluginArchive()));
    const Dialogs expected{
        Error("Opera loaded ! Please close Opera and try again."),
        Error("Mozilla loaded ! Please close Mozilla and try again."),
        Error("Netscape loaded ! Please close Netscape and try again."),
    };
    EXPECT_EQ(w.Install(), expected);
    for (const std::string& d : {m.Opera(), m.Netscape(), m.Firefox()}) EXPECT_TRUE(Listing(d).empty()) << d;
}

TEST(InstallCommand, LaterSuccessAfterAFailureShowsNothingMore) {
    zvtest::TRegistrySandbox sandbox;
    TMachine m;
    m.AddOpera();
    m.AddNetscape();
    m.AddMozilla();
    TWindow w;
    ASSERT_TRUE(CopyFileA(NewerDll().c_str(), Target(m.Opera()).c_str(), FALSE));
    EXPECT_EQ(
        w.Install(),
        Dialogs{Error("Installed Plugin for Opera is newer than the version you are trying to install !")});
    EXPECT_FALSE(w.closed);
    EXPECT_EQ(Version(Target(m.Netscape())), "1.7.9.174");
    EXPECT_EQ(Version(Target(m.Mozilla())), "1.7.9.174");
}

TEST(InstallCommand, TwoNetscapeDirectoriesGiveAtMostOneMessage) {
    zvtest::TRegistrySandbox sandbox;
    TMachine m;
    m.AddNetscape("Nav", "4.8 (en)");
    m.AddNetscape("Nav7", "7.2 (en)");
    TWindow w;
    ASSERT_EQ(w.form->LB->Items().Count(), 2);
    ASSERT_TRUE(zvtest::RemoveTree(m.Netscape("Nav")));
    ASSERT_TRUE(zvtest::RemoveTree(m.Netscape("Nav7")));
    EXPECT_EQ(w.Install(),
              Dialogs{Error("Insufficient directory rights to install the software for Netscape !")});
}

TEST(InstallCommand, DirectoryOfNetscapeAndFirefoxIsDeployedForBoth) {
    zvtest::TRegistrySandbox sandbox;
    TMachine m;
    m.AddNetscape("Shared", "4.8 (en)");
    // Firefox reports the same directory (Netscape's layout is Program\Plugins).
    m.AddFirefox(m.root / "Shared\\Program");
    TWindow w;
    ASSERT_EQ(w.form->LB->Items().Count(), 1);
    EXPECT_EQ(w.Install(), Dialogs{kInstalled});
    EXPECT_EQ(Version(Target(m.Netscape("Shared"))), "1.7.9.174");
}

TEST(InstallCommand, InternetExplorerLineLosesItsStalePluginAndGetsTheControl) {
    TMachine m;
    TUnregisterGuard unregister(m.IE() + "\\ZorvaneActiveX.ocx");
    zvtest::TRegistrySandbox sandbox;
    m.AddIE();
    TWindow w;
    ASSERT_EQ(w.form->IEPluginDir(), m.IE());
    ASSERT_TRUE(CopyFileA(OlderDll().c_str(), Target(m.IE()).c_str(), FALSE));
    EXPECT_EQ(w.Install(), Dialogs{kInstalled});
    EXPECT_FALSE(zvtest::FileExists(Target(m.IE())));
    EXPECT_EQ(Version(m.IE() + "\\ZorvaneActiveX.ocx"), "1.7.9.174");
}

// Only a directory that discovery reported, written as a full path, is ever
// installed into. Any other checked line is a failure with its own message,
// so that nothing can pass for "installed" without a file written.
TEST(InstallCommand, LinesThatAreNoDiscoveredFullPathFailWithTheirMessage) {
    zvtest::TRegistrySandbox sandbox;
    TMachine m;
    m.AddFirefox();
    // Opera's own setting holds a relative path; taken as it stands it would
    // name a directory below wherever the program was started.
    zvtest::SetRegString(HKEY_CURRENT_USER, "SOFTWARE\\Opera Software", "Plugin Path", "plugins");
    zvtest::TTempDir startDir;
    zvtest::MakeDirs(startDir / "plugins");
    char saved[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, saved);
    ASSERT_TRUE(SetCurrentDirectoryA(startDir.Path().c_str()));
    TWindow w;
    ASSERT_EQ(w.form->OperaPluginDir(), "plugins");
    // A line that discovery never reported, as the template's placeholders.
    w.form->LB->Items().Add("item1");
    w.form->LB->SetChecked(w.Line("item1"), true);
    const Dialogs shown = w.Install();
    SetCurrentDirectoryA(saved);
    EXPECT_EQ(shown, (Dialogs{Error("No such plug-in directory: plugins !"),
                              Error("No such plug-in directory: item1 !")}));
    EXPECT_FALSE(w.closed);
    EXPECT_TRUE(Listing(startDir / "plugins").empty());
    EXPECT_EQ(Version(Target(m.Firefox())), "1.7.9.174") << "the discovered directory was served";
}

// A full disk and a directory past the system's path limit each say what is
// wrong and where, instead of "loaded" or "insufficient rights".
TEST(InstallCommand, FullDiskAndOverlongDirectoryAreNamedWithTheirDirectories) {
    TTinyDisk disk;
    if (!disk.Ready()) GTEST_SKIP() << "no small file system at " ZV_TEST_TINY_DISK " (mount refused?)";
    zvtest::TRegistrySandbox sandbox;
    TMachine m;
    const std::string opera = disk.Dir() + "\\Opera\\Program\\Plugins";
    zvtest::MakeDirs(opera);
    zvtest::SetRegString(HKEY_LOCAL_MACHINE,
                         "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Opera.exe", "Path",
                         disk.Dir() + "\\Opera");
    // "<install>\Program\Plugins\NPZRVN32.dll" one character too long.
    const std::string navigator = MakeDirOfLength(m.root.Path(), MAX_PATH - 13 - 16);
    const std::string navigatorPlugins = navigator + "\\Program\\Plugins";
    zvtest::MakeDirs(navigatorPlugins);
    zvtest::SetRegString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Netscape\\Netscape Navigator\\4.8 (en)\\Main",
                         "Install Directory", navigator);
    TWindow w;
    ASSERT_EQ(w.form->LB->Items().Count(), 2);
    disk.FillSpace();
    const Dialogs expected{
        Error("Not enough disk space to install the software for Opera in " + opera + " !"),
        Error("Directory name too long to install the software for Netscape in " + navigatorPlugins + " !"),
    };
    EXPECT_EQ(w.Install(), expected);
    EXPECT_FALSE(w.closed);
    EXPECT_TRUE(Listing(opera).empty());
    EXPECT_TRUE(Listing(navigatorPlugins).empty());
}

// Browsers installed under names that the ANSI code page cannot spell are
// listed as they are spelled and installed into; the registry entries and
// the file name the install uses stay as they are.
TEST(InstallCommand, DirectoriesNamedInAnyScriptAreListedAndInstalledInto) {
    ASSERT_TRUE(zvtest::AnsiCodePageLacks(zvtest::kScripts) || GetACP() == CP_UTF8);
    zvtest::TRegistrySandbox sandbox;
    TMachine m;
    const std::string firefox = m.root / (zvtest::kJapanese + "\\Mozilla Firefox");
    m.AddFirefox(firefox);
    m.AddNetscape(zvtest::kCyrillic + " " + zvtest::kGreek);
    TWindow w;
    const std::string netscape = m.Netscape(zvtest::kCyrillic + " " + zvtest::kGreek);
    ASSERT_EQ(w.form->LB->Items().Count(), 2);
    EXPECT_GE(w.Line(firefox + "\\Plugins"), 0);
    EXPECT_GE(w.Line(netscape), 0);
    for (int i = 0; i < 2; ++i) EXPECT_TRUE(w.form->LB->IsChecked(i));
    EXPECT_EQ(w.Install(), Dialogs{kInstalled});
    EXPECT_TRUE(w.closed);
    for (const std::string& d : {firefox + "\\Plugins", netscape}) {
        EXPECT_EQ(Version(Target(d)), "1.7.9.174") << d;
        EXPECT_EQ(ReadBytes(Target(d)), ReadBytes(PluginDll())) << d;
        EXPECT_EQ(Listing(d), std::set<std::string>{"NPZRVN32.dll"}) << d;
    }
}
