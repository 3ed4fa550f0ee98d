#include "app/frmMain.h"

#include <windows.h>

#include "app/InstallRun.h"
#include "app/KvSkinDialogs.h"
#include "base/Exceptions.h"
#include "base/SysUtils.h"
#include "deploy/DeployActiveX.h"
#include "deploy/DeployPlugin.h"
#include "deploy/PayloadFile.h"
#include "discovery/PluginDirs.h"
#include "vcl/ResourceStream.h"
#include "vcl/WideText.h"

namespace zv {

TMainForm* MainForm = nullptr;

TMainForm::TMainForm(TComponent* owner) : TForm(owner) {
    // The window template.
    SetName("MainForm");
    BeginLoading();
    SetCaption("Zorvane Player Installation");
    SetBorderStyle(TFormBorderStyle::bsSingle);
    // No border icons of its own: the skinned frame draws the caption bar.
    SetBorderIcons(0);
    SetClientSize(415, 246);
    SetColor(2960685);
    Font().SetName("MS Sans Serif");
    Font().SetHeight(-11);
    SetPosition(TPosition::poScreenCenter);

    ksMainSkinFrame = new TksSkinFrame(this);
    ksMainSkinFrame->SetName("ksMainSkinFrame");
    ksMainSkinFrame->SetBorderIcons(biSystemMenu);

    ksSkinData = new TksSkinData(this);
    ksSkinData->SetName("ksSkinData");
    ksSkinData->SetEnableSkinEffects(true);

    // The skin is loaded before the controls exist: each takes it as it is
    // made and is laid out once, in its skinned size, instead of being made
    // plain and then re-laid out and repainted when the skin arrives.
    ksCompressedStoredSkin = new TksCompressedStoredSkin(this);
    ksCompressedStoredSkin->SetName("ksCompressedStoredSkin");
    ksCompressedStoredSkin->SetFileName("skin.ini");
    LoadStoredSkin();
    // The frame takes the skin once it is loaded: its look is worked out
    // once, not first for the empty skin data and again when it is filled.
    ksMainSkinFrame->SetSkinData(ksSkinData);

    TopPanel = new TksSkinPanel(this);
    TopPanel->SetName("TopPanel");
    TopPanel->SetBounds(0, 0, 415, 58);
    TopPanel->SetAlign(TAlign::alTop);
    TopPanel->SetBorderStyle(TksSkinBorderStyle::bvRaised);
    TopPanel->SetSkinData(ksSkinData);
    TopPanel->SetParent(this);

    TopLabel = new TksSkinStdLabel(this);
    TopLabel->SetName("TopLabel");
    TopLabel->SetAutoSize(false);
    TopLabel->SetBounds(1, 1, 413, 56);
    TopLabel->SetAlign(TAlign::alClient);
    TopLabel->SetAlignment(TAlignment::taCenter);
    TopLabel->SetLayout(TTextLayout::tlTop);
    TopLabel->SetWordWrap(true);
    TopLabel->DefaultFont().SetName("MS Sans Serif");
    TopLabel->DefaultFont().SetHeight(-11);
    TopLabel->UseSkinFont = true;
    TopLabel->SetSkinData(ksSkinData);
    TopLabel->SetParent(TopPanel);

    ClientPanel = new TksSkinPanel(this);
    ClientPanel->SetName("ClientPanel");
    ClientPanel->SetBounds(0, 58, 415, 155);
    ClientPanel->SetAlign(TAlign::alClient);
    ClientPanel->SetBorderStyle(TksSkinBorderStyle::bvRaised);
    ClientPanel->SetSkinData(ksSkinData);
    ClientPanel->SetParent(this);

    LB = new TksSkinCheckListBox(this);
    LB->SetName("LB");
    LB->SetBounds(1, 1, 413, 153);
    LB->SetAlign(TAlign::alClient);
    LB->Columns = 0;
    LB->UseSkinItemHeight = true;
    LB->SetDefaultItemHeight(20);
    LB->Font().SetName("Arial");
    LB->Font().SetHeight(14);
    LB->DefaultFont().SetName("Arial");
    LB->DefaultFont().SetHeight(14);
    LB->SetSkinData(ksSkinData);
    LB->SetParent(ClientPanel);
    // Not drawn (no caption band): the list's name for screen readers.
    LB->SetCaption("Plug-in directories");

    BottomPanel = new TksSkinPanel(this);
    BottomPanel->SetName("BottomPanel");
    BottomPanel->SetBounds(0, 213, 415, 33);
    BottomPanel->SetAlign(TAlign::alBottom);
    BottomPanel->SetBorderStyle(TksSkinBorderStyle::bvRaised);
    BottomPanel->SetSkinData(ksSkinData);
    BottomPanel->SetParent(this);

    InstallButton = new TksSkinButton(this);
    InstallButton->SetName("InstallButton");
    InstallButton->SetBounds(148, 4, 97, 25);
    InstallButton->UseSkinSize = true;
    InstallButton->SetCaption("Install");
    InstallButton->SetTabStop(true);
    InstallButton->SetSkinData(ksSkinData);
    InstallButton->SetParent(BottomPanel);
    InstallButton->OnClick = [this](TObject* s) { InstallButtonClick(s); };
    // Enter anywhere in the window (the list has the focus first) installs.
    InstallButton->SetDefault(true);

    // The placeholder lines of the template; FormCreate replaces them. One
    // update of the list for all of them.
    LB->Items().BeginUpdate();
    for (int i = 1; i <= 15; ++i) LB->Items().Add("item" + std::to_string(i));
    LB->Items().EndUpdate();

    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnDestroy = [this](TObject* s) { FormDestroy(s); };
    EndLoading();
}

void TMainForm::LoadStoredSkin() {
    // The skin travels in the program as the resource SKIN (the stored
    // skin's bytes as the template carries them). Loading it sends the skin
    // messages, through which the frame and the controls that use the skin
    // data take it.
    const HINSTANCE instance = ::GetModuleHandleA(nullptr);
    if (::FindResourceA(instance, "SKIN", RT_RCDATA) == nullptr) return;  // default looks
    try {
        TResourceStream stream(instance, "SKIN", RT_RCDATA);
        LoadStoredSkin(stream);
    } catch (const std::exception& e) {
        Application->HandleException(e);
    }
}

void TMainForm::LoadStoredSkin(TStream& stream) {
    try {
        ksCompressedStoredSkin->ReadCompressedData(stream);
        ksSkinData->SetCompressedStoredSkin(ksCompressedStoredSkin);
    } catch (const std::exception& e) {
        // A damaged skin must not keep the installer from doing its job: the
        // windows keep their default looks and the user is told why.
        Application->HandleException(e);
    }
}

void TMainForm::FormCreate(TObject*) {
    // The template's placeholder lines name no directory; whatever happens
    // below, none of them may stay for the install command to find.
    LB->Items().Clear();
    m_netscapeDirs = std::make_unique<TStringList>();
    m_mozillaDirs = std::make_unique<TStringList>();
    // Sorted, duplicates ignored, both by the locale's case-insensitive
    // comparison: a directory reported twice shows once, in the spelling of
    // its first report.
    TStringList mergedDirs;
    mergedDirs.SetSorted(true);
    mergedDirs.SetDuplicates(TDuplicates::dupIgnore);
    // A damaged registry value ends only the source that read it; every
    // other browser is still listed, and the user hears of all such values
    // in one report.
    TStringList problems;
    {
        TCursorGuard busy(crHourGlass);
        m_ieDir = GetIEPluginDir(&problems);
        if (!m_ieDir.empty()) mergedDirs.Add(m_ieDir);
        m_operaDir = GetOperaPluginDir(&problems);
        if (!m_operaDir.empty()) mergedDirs.Add(m_operaDir);
        GetNetscapePluginDirs(*m_netscapeDirs, &problems);
        if (m_netscapeDirs->Count() > 0) mergedDirs.AddStrings(*m_netscapeDirs);
        GetMozillaPluginDirs(*m_mozillaDirs, &problems);
        GetFirefoxPluginDirs(*m_mozillaDirs, &problems);
        if (m_mozillaDirs->Count() > 0) mergedDirs.AddStrings(*m_mozillaDirs);
        // Filled and checked in one update of the list: it is drawn once.
        LB->Items().BeginUpdate();
        LB->Items().Assign(mergedDirs);
        for (int i = 0; i < LB->Items().Count(); ++i) LB->SetChecked(i, true);
        LB->Items().EndUpdate();
    }
    if (LB->Items().Count() > 0) {
        TopLabel->SetCaption(FoundText);
    } else {
        TopLabel->Font().SetColor(clRed);
        TopLabel->SetCaption(NotFoundText);
    }
    if (problems.Count() > 0) {
        std::string text = problems[0];
        for (int i = 1; i < problems.Count(); ++i) text.append("\n").append(problems[i]);
        Application->HandleException(ERegistryException(text));
    }
}

void TMainForm::FormDestroy(TObject*) {
    m_mozillaDirs.reset();
    m_netscapeDirs.reset();
}

namespace {

enum TBrowser { brIE, brOpera, brMozilla, brNetscape };

const char* const kBrowserNames[4] = {"Internet Explorer", "Opera", "Mozilla", "Netscape"};

// Messages by browser for the codes -1 to -7; other codes have none (empty).
// The two later causes name the directory, since the fix is the user's own
// (free some space, choose a shorter path).
std::string FailureMessage(TBrowser browser, int code, const std::string& dir) {
    if (code == drDiskFull)
        return Format("Not enough disk space to install the software for %s in %s !", kBrowserNames[browser],
                      dir.c_str());
    if (code == drPathTooLong)
        return Format("Directory name too long to install the software for %s in %s !",
                      kBrowserNames[browser], dir.c_str());
    static const char* const table[4][5] = {
        {"Insufficient directory rights to install the software for Internet Explorer !",
         "Internet Explorer loaded ! Please close Internet Explorer and try again.",
         "Installed ActiveX for Internet Explorer is newer than the version you are trying to install !",
         "Insufficient user rights to install the software for Internet Explorer !", "Undefined error !"},
        {"Insufficient directory rights to install the software for Opera !",
         "Opera loaded ! Please close Opera and try again.",
         "Installed Plugin for Opera is newer than the version you are trying to install !",
         "Insufficient user rights to install the software for Opera !", "Undefined error !"},
        {"Insufficient directory rights to install the software for Mozilla !",
         "Mozilla loaded ! Please close Mozilla and try again.",
         "Installed Plugin for Mozilla is newer than the version you are trying to install !",
         "Insufficient user rights to install the software for Mozilla !", "Undefined error !"},
        {"Insufficient directory rights to install the software for Netscape !",
         "Netscape loaded ! Please close Netscape and try again.",
         "Installed Plugin for Netscape is newer than the version you are trying to install !",
         "Insufficient user rights to install the software for Netscape !", "Undefined error !"},
    };
    if (code > -1 || code < -5) return {};
    return table[browser][-code - 1];
}

bool ListHolds(const TStrings& list, const std::string& text) {
    for (int i = 0; i < list.Count(); ++i)
        if (AnsiCompareText(list[i], text) == 0) return true;
    return false;
}

// The directories the install command will serve for the checked lines, by
// the same tests it uses: the n of its "k of n" progress.
int DeploymentSteps(const TMainForm& form) {
    int steps = 0;
    for (int i = 0; i < form.LB->Items().Count(); ++i) {
        if (!form.LB->IsChecked(i)) continue;
        const std::string t = form.LB->Items()[i];
        const bool isIE = t == form.IEPluginDir();
        const bool isOpera = t == form.OperaPluginDir();
        steps += static_cast<int>(isIE) + static_cast<int>(isOpera);
        if (!isIE && !isOpera)
            steps += static_cast<int>(ListHolds(*form.MozillaPluginDirs(), t)) +
                     static_cast<int>(ListHolds(*form.NetscapePluginDirs(), t));
    }
    return steps;
}

}  // namespace

void TMainForm::InstallButtonClick(TObject*) {
    // Waiting for the registration tool keeps the window painting; a click
    // that comes meanwhile must not start a second install.
    TInstallRun run(*this, DeploymentSteps(*this));
    if (!run.Active()) return;
    TStringList mozillaGroup;
    TStringList netscapeGroup;
    bool allSucceeded = true;
    TCursorGuard busy(crHourGlass);

    // After the first failure every later call's code is reported; a call
    // that succeeded leaves 0, which has no message.
    auto report = [&](bool succeeded, TBrowser browser, int code, const std::string& dir) {
        run.Deployed(kBrowserNames[browser], succeeded, code);
        if (!succeeded) allSucceeded = false;
        if (allSucceeded) return;
        const std::string message = FailureMessage(browser, code, dir);
        if (!message.empty()) ShowSkinErrorDialog("Error...", message, ksSkinData);
    };

    bool anyChecked = false;
    for (int i = 0; i < LB->Items().Count(); ++i)
        if (LB->IsChecked(i)) anyChecked = true;
    if (!anyChecked) {
        ShowSkinErrorDialog("Error...", "Please select an item !", ksSkinData);
        return;
    }

    for (int i = 0; i < LB->Items().Count(); ++i) {
        if (!LB->IsChecked(i)) continue;
        const std::string t = LB->Items()[i];
        const bool isIE = !t.empty() && t == m_ieDir;
        const bool isOpera = !t.empty() && t == m_operaDir;
        const bool isMozilla = !isIE && !isOpera && ListHolds(*m_mozillaDirs, t);
        const bool isNetscape = !isIE && !isOpera && ListHolds(*m_netscapeDirs, t);
        // Only a directory that discovery reported is ever written to, and
        // only by its full path: a relative one would land wherever the
        // program was started from. Any other line is a failure of its own,
        // never a silent success.
        if (!(isIE || isOpera || isMozilla || isNetscape) || !IsAbsolutePath(t)) {
            allSucceeded = false;
            std::string message = "No such plug-in directory: ";
            message.append(t).append(" !");
            ShowSkinErrorDialog("Error...", message, ksSkinData);
            continue;
        }
        std::string where;
        if (isIE) {
            // A plug-in library left there would make Internet Explorer load
            // the old plug-in instead of the control.
            const std::wstring stale = ToWide(m_ieDir + "\\" + PluginFileName);
            if (GetFileAttributesW(stale.c_str()) != INVALID_FILE_ATTRIBUTES) DeleteFileW(stale.c_str());
            int code = 0;
            const bool ok = DeployActiveX(m_ieDir, code, &where);
            report(ok, brIE, code, where);
        }
        if (isOpera) {
            int code = 0;
            const bool ok = DeployPluginToDir(m_operaDir, code, &where);
            report(ok, brOpera, code, where);
        }
        if (isMozilla) mozillaGroup.Add(t);
        if (isNetscape) netscapeGroup.Add(t);
    }
    if (mozillaGroup.Count() > 0) {
        int code = 0;
        std::string where;
        const bool ok = DeployMozillaPlugin(mozillaGroup, code, &where);
        report(ok, brMozilla, code, where);
    }
    if (netscapeGroup.Count() > 0) {
        int code = 0;
        std::string where;
        const bool ok = DeployPlugin(netscapeGroup, code, &where);
        report(ok, brNetscape, code, where);
    }

    run.Finish(allSucceeded);
    if (allSucceeded) {
        Hide();
        ShowSkinInfoDialog("Info...", "Zorvane Player installed.", ksSkinData);
        Close();
    }
}

}  // namespace zv
