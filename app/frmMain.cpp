#include "app/frmMain.h"

#include "discovery/PluginDirs.h"

namespace zv {

TMainForm* MainForm = nullptr;

TMainForm::TMainForm(TComponent* owner) : TForm(owner) {
    // The window template.
    SetName("MainForm");
    BeginLoading();
    SetCaption("Zorvane Player Installation");
    SetBorderStyle(TFormBorderStyle::bsSingle);
    // The skinned frame will draw the caption bar and its buttons; until it
    // takes over, the system menu gives the window its close button.
    SetBorderIcons(biSystemMenu);
    SetClientSize(415, 246);
    SetColor(2960685);
    Font().SetName("MS Sans Serif");
    Font().SetHeight(-11);
    SetPosition(TPosition::poScreenCenter);

    ksSkinData = new TksSkinData(this);
    ksSkinData->SetName("ksSkinData");
    ksSkinData->SetEnableSkinEffects(true);

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

    ksCompressedStoredSkin = new TksCompressedStoredSkin(this);
    ksCompressedStoredSkin->SetName("ksCompressedStoredSkin");
    ksCompressedStoredSkin->SetFileName("skin.ini");

    // The placeholder lines of the template; FormCreate replaces them.
    for (int i = 1; i <= 15; ++i) LB->Items().Add("item" + std::to_string(i));

    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnDestroy = [this](TObject* s) { FormDestroy(s); };
    EndLoading();
}

void TMainForm::FormCreate(TObject*) {
    m_netscapeDirs = std::make_unique<TStringList>();
    m_mozillaDirs = std::make_unique<TStringList>();
    // Sorted, duplicates ignored, both by the locale's case-insensitive
    // comparison: a directory reported twice shows once, in the spelling of
    // its first report.
    TStringList mergedDirs;
    mergedDirs.SetSorted(true);
    mergedDirs.SetDuplicates(TDuplicates::dupIgnore);
    {
        TCursorGuard busy(crHourGlass);
        m_ieDir = GetIEPluginDir();
        if (!m_ieDir.empty()) mergedDirs.Add(m_ieDir);
        m_operaDir = GetOperaPluginDir();
        if (!m_operaDir.empty()) mergedDirs.Add(m_operaDir);
        GetNetscapePluginDirs(*m_netscapeDirs);
        if (m_netscapeDirs->Count() > 0) mergedDirs.AddStrings(*m_netscapeDirs);
        GetMozillaPluginDirs(*m_mozillaDirs);
        GetFirefoxPluginDirs(*m_mozillaDirs);
        if (m_mozillaDirs->Count() > 0) mergedDirs.AddStrings(*m_mozillaDirs);
        LB->Items().Assign(mergedDirs);
        for (int i = 0; i < LB->Items().Count(); ++i) LB->SetChecked(i, true);
    }
    if (LB->Items().Count() > 0) {
        TopLabel->SetCaption(FoundText);
    } else {
        TopLabel->Font().SetColor(clRed);
        TopLabel->SetCaption(NotFoundText);
    }
}

void TMainForm::FormDestroy(TObject*) {
    m_mozillaDirs.reset();
    m_netscapeDirs.reset();
}

}  // namespace zv
