// The main window (unit frmMain): three bands (banner, directory check list,
// "Install" button) over the skin data that every control paints from.
#pragma once

#include <memory>
#include <string>

#include "base/Streams.h"
#include "base/Strings.h"
#include "skin/SkinData.h"
#include "skinui/SkinControls.h"
#include "skinui/SkinFrame.h"
#include "skinui/SkinListControls.h"
#include "vcl/Forms.h"

namespace zv {

class TMainForm : public TForm {
public:
    explicit TMainForm(TComponent* owner);
    // OnDestroy (FormDestroy) runs while the whole window object is alive.
    ~TMainForm() override { BeforeDestruction(); }

    // Template members, in declaration order.
    TksSkinFrame* ksMainSkinFrame;
    TksSkinData* ksSkinData;
    TksSkinPanel* TopPanel;
    TksSkinStdLabel* TopLabel;
    TksSkinPanel* ClientPanel;
    TksSkinCheckListBox* LB;
    TksSkinPanel* BottomPanel;
    TksSkinButton* InstallButton;
    TksCompressedStoredSkin* ksCompressedStoredSkin;

    void FormCreate(TObject* sender);
    void FormDestroy(TObject* sender);
    // The install command: deploys to the checked lines, reports failures per
    // browser, and on full success ends the program.
    void InstallButtonClick(TObject* sender);

    // What discovery found at start; the install command tells the browser
    // of each checked line by comparing its text with these.
    [[nodiscard]] const std::string& IEPluginDir() const { return m_ieDir; }
    [[nodiscard]] const std::string& OperaPluginDir() const { return m_operaDir; }
    [[nodiscard]] TStringList* NetscapePluginDirs() const { return m_netscapeDirs.get(); }
    [[nodiscard]] TStringList* MozillaPluginDirs() const { return m_mozillaDirs.get(); }

    static constexpr const char* FoundText =
        "The Player Installer collected the location of your Web-Browser plugin-directories. Press on "
        "\"Install\" in order to install the player component(s) in the corresponding directories.";
    static constexpr const char* NotFoundText =
        "The Player Installer tried to collect the location of your Web-Browser plugin-directories. However "
        "it didn't succeed in finding any.";

    // Reads a stored skin (the template's bytes: length, then the zlib
    // stream) into ksCompressedStoredSkin and hands it to ksSkinData. A
    // damaged one goes to the standard error report and leaves the windows
    // in their default looks.
    void LoadStoredSkin(TStream& stream);

private:
    // The skin the program carries, the resource SKIN.
    void LoadStoredSkin();

    std::string m_ieDir;
    std::string m_operaDir;
    std::unique_ptr<TStringList> m_netscapeDirs;
    std::unique_ptr<TStringList> m_mozillaDirs;
};

extern TMainForm* MainForm;

}  // namespace zv
