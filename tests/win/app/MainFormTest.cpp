// The main window's creation: discovery merged into the check list, the
// check marks, the banner and the failure path, with prepared registries.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/frmMain.h"
#include "tests/win/support/AccTestSupport.h"
#include "tests/win/support/WinTestSupport.h"

using namespace zv;
using Lines = std::vector<std::string>;

namespace {

const char* const kIEServer = "CLSID\\{0002DF01-0000-0000-C000-000000000046}\\LocalServer32";

struct Created {
    std::unique_ptr<TMainForm> form;
    std::string reported;
    int reports = 0;
};

// Creates the window as the program does: template, then FormCreate.
Created CreateMainForm() {
    Created c;
    Application->OnException = [&c](const std::exception& e) {
        c.reported = e.what();
        ++c.reports;
    };
    c.form = std::make_unique<TMainForm>(nullptr);
    c.form->AfterConstruction();
    Application->OnException = nullptr;
    return c;
}

// WM_NCPAINTs and WM_SIZEs per window, counted by a hook on the thread
// while installed.
std::map<HWND, int>* g_ncPaints = nullptr;
std::map<HWND, int>* g_sizes = nullptr;

LRESULT CALLBACK CountNcPaints(int code, WPARAM w, LPARAM l) {
    if (code == HC_ACTION && g_ncPaints != nullptr) {
        const auto* m = reinterpret_cast<const CWPSTRUCT*>(l);
        if (m->message == WM_NCPAINT) ++(*g_ncPaints)[m->hwnd];
        if (m->message == WM_SIZE) ++(*g_sizes)[m->hwnd];
    }
    return CallNextHookEx(nullptr, code, w, l);
}

Lines ListLines(TMainForm& f) {
    return f.LB->Items().ToVector();
}

}  // namespace

TEST(MainForm, TemplateGivesThreeBandsWithoutGapsInsideTheSkinnedFrame) {
    zvtest::TRegistrySandbox sandbox;
    auto c = CreateMainForm();
    TMainForm& f = *c.form;
    // Shown, the window and each of its child windows get their frame
    // painted once: the skin is in place before the first picture, and
    // showing lays nothing out a second time. The controls are made in
    // their places: showing moves none of them, not even there and back.
    std::map<HWND, int> ncPaints;
    std::map<HWND, int> sizes;
    g_ncPaints = &ncPaints;
    g_sizes = &sizes;
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, CountNcPaints, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    f.Show();
    zvtest::Pump(200);
    UnhookWindowsHookEx(hook);
    g_ncPaints = nullptr;
    g_sizes = nullptr;
    EXPECT_EQ(ncPaints[f.Handle()], 1);
    for (HWND child : {f.TopPanel->Handle(), f.ClientPanel->Handle(), f.LB->Handle(), f.BottomPanel->Handle(),
                       f.InstallButton->Handle()})
        EXPECT_EQ(ncPaints[child], 1);
    for (const auto& [window, count] : ncPaints) EXPECT_EQ(count, 1) << window;
    sizes.erase(f.Handle());
    for (const auto& [window, count] : sizes) EXPECT_EQ(count, 0) << window;
    // The program carries its skin: the frame is skinned and keeps the outer
    // size the template's 415 x 246 client area gave with the default frame.
    ASSERT_FALSE(f.ksSkinData->Empty());
    EXPECT_TRUE(f.ksMainSkinFrame->Skinned());
    EXPECT_EQ(f.Width(), 421);
    EXPECT_EQ(f.Height(), 271);
    EXPECT_EQ(f.ClientWidth(), 411);
    EXPECT_EQ(f.ClientHeight(), 242);
    // The middle band takes what the other two leave.
    EXPECT_EQ(f.TopPanel->BoundsRect(), Rect(0, 0, 411, 58));
    EXPECT_EQ(f.ClientPanel->BoundsRect(), Rect(0, 58, 411, 209));
    EXPECT_EQ(f.BottomPanel->BoundsRect(), Rect(0, 209, 411, 242));
    // Children fill their panels' client areas, which the skin's panel
    // section leaves 2 pixels in from every edge.
    EXPECT_EQ(f.LB->BoundsRect(), Rect(2, 2, 409, 149));
    EXPECT_EQ(f.TopLabel->BoundsRect(), Rect(2, 2, 409, 56));
    EXPECT_EQ(f.InstallButton->Top(), 4);
    EXPECT_EQ(f.InstallButton->Caption(), "Install");
    EXPECT_EQ(zvtest::WindowText(f.Handle()), "Zorvane Player Installation");
    EXPECT_EQ(f.Color(), 2960685);
    // Every visible control paints from the one skin data component.
    EXPECT_EQ(f.TopPanel->SkinData(), f.ksSkinData);
    EXPECT_EQ(f.LB->SkinData(), f.ksSkinData);
    EXPECT_EQ(f.InstallButton->SkinData(), f.ksSkinData);
    EXPECT_NE(f.InstallButton->DataIndex(), -1);
    EXPECT_NE(f.LB->DataIndex(), -1);
}

TEST(MainForm, EveryFamilyListedOnceSortedCaseInsensitivelyAndChecked) {
    zvtest::TRegistrySandbox sandbox;
    zvtest::TTempDir tmp;
    for (const char* d :
         {"IE", "Nav\\Program\\Plugins", "moz\\Plugins", "Firefox\\Plugins", "b-Opera\\Program\\Plugins"})
        zvtest::MakeDirs(tmp / d);
    zvtest::WriteFile(tmp / "IE\\iexplore.exe", "MZ");
    zvtest::SetRegString(HKEY_CLASSES_ROOT, kIEServer, "", tmp / "IE\\iexplore.exe");
    zvtest::SetRegString(HKEY_LOCAL_MACHINE,
                         "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Opera.exe", "Path",
                         tmp / "b-Opera\\");
    zvtest::SetRegString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Netscape\\Netscape Navigator\\4.8 (en)\\Main",
                         "Install Directory", tmp / "Nav");
    zvtest::SetRegString(HKEY_LOCAL_MACHINE, "SOFTWARE\\mozilla.org\\Mozilla\\1.7 (en)\\Main",
                         "Install Directory", tmp / "moz");
    zvtest::SetRegString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Mozilla\\Mozilla Firefox\\1.5 (en-US)\\Main",
                         "Install Directory", tmp / "Firefox");

    auto c = CreateMainForm();
    TMainForm& f = *c.form;
    EXPECT_EQ(c.reported, "");
    // Case-insensitive order: "b-Opera" < "Firefox" < "IE" < "moz" < "Nav".
    const Lines expected{tmp / "b-Opera\\Program\\Plugins", tmp / "Firefox\\Plugins", f.IEPluginDir(),
                         tmp / "moz\\Plugins", tmp / "Nav\\Program\\Plugins"};
    EXPECT_EQ(ListLines(f), expected);
    for (int i = 0; i < f.LB->Items().Count(); ++i) EXPECT_TRUE(f.LB->IsChecked(i)) << i;
    EXPECT_EQ(f.TopLabel->Caption(), TMainForm::FoundText);
    EXPECT_NE(f.TopLabel->Font().Color(), clRed);
    EXPECT_EQ(f.OperaPluginDir(), tmp / "b-Opera\\Program\\Plugins");
    EXPECT_EQ(f.NetscapePluginDirs()->ToVector(), Lines{tmp / "Nav\\Program\\Plugins"});
    EXPECT_EQ(f.MozillaPluginDirs()->ToVector(), (Lines{tmp / "moz\\Plugins", tmp / "Firefox\\Plugins"}));
    EXPECT_TRUE(zvtest::DirExists(f.IEPluginDir()));
    EXPECT_EQ(Screen->Cursor(), crDefault);
}

TEST(MainForm, SamePathInOtherLetterCaseShowsOnceInTheFirstSpelling) {
    zvtest::TRegistrySandbox sandbox;
    zvtest::TTempDir tmp;
    zvtest::MakeDirs(tmp / "Dir\\Plugins");
    // Netscape (merged before the Mozilla family) and Firefox report the same
    // directory in different letter case.
    zvtest::SetRegString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Netscape\\Netscape\\7.2 (en)\\Main",
                         "Install Directory", tmp / "Dir");
    std::string lower = tmp / "dir";
    for (char& ch : lower) ch = static_cast<char>(tolower(static_cast<unsigned char>(ch)));
    zvtest::SetRegString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Mozilla\\Mozilla Firefox\\2.0\\Main",
                         "Install Directory", lower);
    auto c = CreateMainForm();
    TMainForm& f = *c.form;
    ASSERT_EQ(f.LB->Items().Count(), 1);
    EXPECT_EQ(f.LB->Items()[0], tmp / "Dir\\Plugins");
    EXPECT_EQ(f.MozillaPluginDirs()->ToVector(), Lines{lower + "\\Plugins"});
    EXPECT_EQ(f.NetscapePluginDirs()->Count(), 1);
}

TEST(MainForm, NothingFoundGivesTheSecondBannerInRed) {
    zvtest::TRegistrySandbox sandbox;
    auto c = CreateMainForm();
    TMainForm& f = *c.form;
    EXPECT_EQ(f.LB->Items().Count(), 0);
    EXPECT_EQ(f.TopLabel->Caption(), TMainForm::NotFoundText);
    EXPECT_EQ(f.TopLabel->Font().Color(), 255);
    EXPECT_TRUE(f.IEPluginDir().empty());
}

// A damaged registry value no longer leaves the template's placeholder lines
// under an empty banner: it costs its own browser only, and the user is told
// once, by value and key, of every such value.
TEST(MainForm, DiscoveryErrorsAreReportedOnceAndEveryOtherBrowserIsListed) {
    zvtest::TRegistrySandbox sandbox;
    zvtest::TTempDir tmp;
    zvtest::MakeDirs(tmp / "Opera\\Program\\Plugins");
    zvtest::MakeDirs(tmp / "Moz\\Plugins");
    const DWORD number = 7;
    zvtest::SetRegValue(HKEY_CLASSES_ROOT, kIEServer, "", REG_DWORD, &number, sizeof number);
    zvtest::SetRegString(HKEY_LOCAL_MACHINE,
                         "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Opera.exe", "Path",
                         tmp / "Opera");
    zvtest::SetRegString(HKEY_LOCAL_MACHINE, "SOFTWARE\\mozilla.org\\Mozilla\\1.7 (en)\\Main",
                         "Install Directory", tmp / "Moz");
    zvtest::SetRegValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Mozilla\\Mozilla Firefox\\2.0\\Main",
                        "Install Directory", REG_BINARY, "abc", 3);
    auto c = CreateMainForm();
    TMainForm& f = *c.form;
    EXPECT_EQ(c.reports, 1);
    EXPECT_EQ(c.reported, "Invalid data type for '' in HKEY_CLASSES_ROOT\\" + std::string(kIEServer) +
                              "\nInvalid data type for 'Install Directory' in "
                              "HKEY_LOCAL_MACHINE\\SOFTWARE\\Mozilla\\Mozilla Firefox\\2.0\\Main");
    EXPECT_EQ(ListLines(f), (Lines{tmp / "Moz\\Plugins", tmp / "Opera\\Program\\Plugins"}));
    for (int i = 0; i < f.LB->Items().Count(); ++i) EXPECT_TRUE(f.LB->IsChecked(i)) << i;
    EXPECT_EQ(f.TopLabel->Caption(), TMainForm::FoundText);
    EXPECT_TRUE(f.IEPluginDir().empty());
    EXPECT_EQ(Screen->Cursor(), crDefault);
    f.Show();
    EXPECT_TRUE(IsWindowVisible(f.Handle()));

    // Only damaged values: no line at all rather than the placeholders.
    zvtest::SetRegValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\mozilla.org\\Mozilla\\1.7 (en)\\Main",
                        "Install Directory", REG_DWORD, &number, sizeof number);
    zvtest::SetRegValue(HKEY_LOCAL_MACHINE,
                        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Opera.exe", "Path",
                        REG_DWORD, &number, sizeof number);
    auto none = CreateMainForm();
    EXPECT_EQ(none.reports, 1);
    EXPECT_EQ(none.form->LB->Items().Count(), 0);
    EXPECT_EQ(none.form->TopLabel->Caption(), TMainForm::NotFoundText);
}

TEST(MainForm, CheckMarksFollowTheUserAndTheListsStay) {
    zvtest::TRegistrySandbox sandbox;
    zvtest::TTempDir tmp;
    zvtest::MakeDirs(tmp / "A\\Plugins");
    zvtest::MakeDirs(tmp / "B\\Plugins");
    zvtest::SetRegString(HKEY_LOCAL_MACHINE, "SOFTWARE\\mozilla.org\\Mozilla\\1\\Main", "Install Directory",
                         tmp / "A");
    zvtest::SetRegString(HKEY_LOCAL_MACHINE, "SOFTWARE\\mozilla.org\\Mozilla\\2\\Main", "Install Directory",
                         tmp / "B");
    auto c = CreateMainForm();
    TMainForm& f = *c.form;
    f.Show();
    SetForegroundWindow(f.Handle());
    zvtest::Pump(100);
    ASSERT_EQ(f.LB->Items().Count(), 2);
    // A press in the check box area of the second line (x < 20) unchecks it.
    TksCheckListBox& list = f.LB->ListBox();
    const TRect second = list.ItemRect(1);
    zvtest::ClickClient(list.Handle(), 8, second.Top + second.Height() / 2);
    ASSERT_TRUE(zvtest::PumpUntil([&] { return !f.LB->IsChecked(1); }, 2000));
    EXPECT_TRUE(f.LB->IsChecked(0));
    EXPECT_EQ(f.MozillaPluginDirs()->Count(), 2);
}

// A damaged stored skin is reported and the window goes on with its default
// looks: no skinned frame, every control back to its plain drawing.
TEST(MainForm, DamagedStoredSkinIsReportedAndTheWindowKeepsItsDefaultLooks) {
    zvtest::TRegistrySandbox sandbox;
    auto c = CreateMainForm();
    TMainForm& f = *c.form;
    f.Show();
    ASSERT_TRUE(f.ksMainSkinFrame->Skinned());

    // The template's form: the length, then bytes that are no zlib stream.
    TMemoryStream damaged;
    const std::uint8_t bytes[] = {8, 0, 0, 0, 'n', 'o', 't', ' ', 'z', 'l', 'i', 'b'};
    damaged.WriteBuffer(bytes, sizeof bytes);
    damaged.SetPosition(0);
    std::string reported;
    Application->OnException = [&reported](const std::exception& e) { reported = e.what(); };
    f.LoadStoredSkin(damaged);
    Application->OnException = nullptr;

    EXPECT_EQ(reported, "compression error");
    EXPECT_TRUE(f.ksSkinData->Empty());
    EXPECT_FALSE(f.ksMainSkinFrame->Skinned());
    EXPECT_EQ(f.InstallButton->DataIndex(), -1);
    EXPECT_EQ(f.LB->DataIndex(), -1);
    // The window stays whole and usable: same outer size, default frame.
    EXPECT_EQ(f.Width(), 421);
    EXPECT_EQ(f.Height(), 271);
    EXPECT_TRUE(IsWindowVisible(f.Handle()));
    EXPECT_EQ(f.TopLabel->Caption(), TMainForm::NotFoundText);
    zvtest::Pump(100);
}

// The window as keyboard and screen-reader users meet it: the banner, the
// list with its named, checked lines, "Install" as the default button that
// Enter in the list presses, and the frame's buttons.
TEST(MainForm, ReadersGetTheWholeWindowAndEnterInTheListPressesInstall) {
    zvtest::TRegistrySandbox sandbox;
    zvtest::TTempDir tmp;
    zvtest::MakeDirs(tmp / "A\\Plugins");
    zvtest::MakeDirs(tmp / "B\\Plugins");
    zvtest::SetRegString(HKEY_LOCAL_MACHINE, "SOFTWARE\\mozilla.org\\Mozilla\\1\\Main", "Install Directory",
                         tmp / "A");
    zvtest::SetRegString(HKEY_LOCAL_MACHINE, "SOFTWARE\\mozilla.org\\Mozilla\\2\\Main", "Install Directory",
                         tmp / "B");
    auto c = CreateMainForm();
    TMainForm& f = *c.form;
    int presses = 0;
    f.InstallButton->OnClick = [&](TObject*) { ++presses; };
    f.LB->SetChecked(1, false);
    f.Show();
    SetForegroundWindow(f.Handle());
    zvtest::Pump(150);

    const auto all = zvtest::Flatten(zvtest::WindowObject(f.Handle()));
    EXPECT_TRUE(zvtest::FindEntry(all, ROLE_SYSTEM_TITLEBAR, "Zorvane Player Installation"));
    EXPECT_TRUE(zvtest::FindEntry(all, ROLE_SYSTEM_PUSHBUTTON, "Close"));
    EXPECT_TRUE(zvtest::FindEntry(all, ROLE_SYSTEM_PUSHBUTTON, "System menu"));
    EXPECT_TRUE(zvtest::FindEntry(all, ROLE_SYSTEM_STATICTEXT, TMainForm::FoundText));
    EXPECT_TRUE(zvtest::FindEntry(all, ROLE_SYSTEM_LIST, "Plug-in directories"));
    const zvtest::TAccProps* a = zvtest::FindEntry(all, ROLE_SYSTEM_CHECKBUTTON, tmp / "A\\Plugins");
    const zvtest::TAccProps* b = zvtest::FindEntry(all, ROLE_SYSTEM_CHECKBUTTON, tmp / "B\\Plugins");
    ASSERT_TRUE(a);
    ASSERT_TRUE(b);
    EXPECT_TRUE(a->State & STATE_SYSTEM_CHECKED);
    EXPECT_FALSE(b->State & STATE_SYSTEM_CHECKED);
    const zvtest::TAccProps* install = zvtest::FindEntry(all, ROLE_SYSTEM_PUSHBUTTON, "Install");
    ASSERT_TRUE(install);
    EXPECT_TRUE(install->State & STATE_SYSTEM_DEFAULT);
    for (const auto& e : all) {
        EXPECT_NE(e.Props.Name, "Panel");
        EXPECT_NE(e.Props.Name.rfind("item", 0), 0u) << "no placeholder line: " << e.Props.Name;
    }

    f.LB->ListBox().SetFocus();
    ASSERT_TRUE(zvtest::PumpUntil([&] { return f.LB->ListBox().Focused(); }, 2000));
    zvtest::PressKey(VK_RETURN);
    EXPECT_TRUE(zvtest::PumpUntil([&] { return presses == 1; }, 2000));
    EXPECT_TRUE(f.LB->ListBox().Focused()) << "Enter presses, it does not move the focus";
}
