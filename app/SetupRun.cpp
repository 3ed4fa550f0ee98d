// Index: the dialogs of the command line; payload check; the modes'
// settings (dialogs, error reports, ZIP notices); the install; the
// uninstall; RunSetup.
#include "app/SetupRun.h"

#include <windows.h>

#include "ProductVersion.h"
#include "app/InstallLog.h"
#include "app/InstallRun.h"
#include "app/KvSkinDialogs.h"
#include "app/PlatformServices.h"
#include "app/frmMain.h"
#include "base/Streams.h"
#include "base/SysUtils.h"
#include "deploy/ActiveXRegistration.h"
#include "deploy/DeployObserver.h"
#include "deploy/DeployPlugin.h"
#include "deploy/PayloadFile.h"
#include "deploy/Uninstall.h"
#include "vcl/Forms.h"
#include "vcl/PixelsPerInch.h"
#include "vcl/WideText.h"
#include "zip/ZipPlatform.h"

namespace zv {

namespace {

void Message(const std::string& text, UINT icon) {
    MessageBoxW(nullptr, ToWide(text).c_str(),
                ToWide(Application ? Application->Title() : std::string("Player Installer")).c_str(),
                MB_OK | icon | MB_TASKMODAL);
}

bool PayloadIntact(int id, const char* entry) {
    try {
        const std::unique_ptr<TStream> archive = OpenPayloadArchive(id);
        TPayloadReader payload(*archive);
        TMemoryStream out;
        return payload.Reader().EntryCount() == 1 && payload.Reader().ExtractToStream(&out, entry) == 1 &&
               out.Size() > 0;
    } catch (...) {
        return false;
    }
}

}  // namespace

void ApplyRunMode(const TCommandLine& options) {
    const bool verySilent = options.verySilent;
    SetDialogPolicy(verySilent       ? TDialogPolicy::dpNone
                    : options.silent ? TDialogPolicy::dpErrorsOnly
                                     : TDialogPolicy::dpShowAll);
    SetDialogListener([](bool error, const std::string& caption, const std::string& message, bool shown) {
        InstallLog().Line(std::string(error ? "Error" : "Information") + " message \"" + caption +
                          "\": " + message + (shown ? "" : " (not shown)"));
    });
    Application->OnException = [verySilent](const std::exception& e) {
        InstallLog().Line(std::string("Error: ") + e.what());
        if (Session().starting) Session().startProblem = true;
        if (!verySilent) Application->ShowException(e);
    };
    if (verySilent) {
        ZipPlatformHooks().showNotice = [](const std::string& text, const std::string& caption) {
            InstallLog().Line("Notice \"" + caption + "\": " + text);
        };
    }
}

namespace {

void LogFound(const TMainForm& form) {
    auto& log = InstallLog();
    bool any = false;
    auto found = [&](const char* source, const std::string& dir) {
        log.Line(std::string("Found plug-in directory (") + source + "): " + dir);
        any = true;
    };
    if (!form.IEPluginDir().empty()) found("Internet Explorer", form.IEPluginDir());
    if (!form.OperaPluginDir().empty()) found("Opera", form.OperaPluginDir());
    if (const TStringList* dirs = form.NetscapePluginDirs())
        for (int i = 0; i < dirs->Count(); ++i) found("Netscape", (*dirs)[i]);
    if (const TStringList* dirs = form.MozillaPluginDirs())
        for (int i = 0; i < dirs->Count(); ++i) found("Mozilla or Firefox", (*dirs)[i]);
    if (!any) log.Line("No browser plug-in directory found.");
}

}  // namespace

bool PayloadsIntact() {
    return PayloadIntact(PluginArchiveId, PluginFileName) && PayloadIntact(ActiveXArchiveId, ActiveXFileName);
}

int RunInstall(const TCommandLine& options) {
    Session().starting = true;
    Application->CreateForm(MainForm);
    Session().starting = false;
    LogFound(*MainForm);
    const bool nothingFound = MainForm->LB->Items().Count() == 0;

    if (!options.silent && !options.verySilent) {
        Application->Run();
        return InstallExitCode(nothingFound);
    }
    if (Session().startProblem) {
        InstallLog().Line("Nothing installed: the program could not start its work.");
        return ecCannotStart;
    }
    if (nothingFound) {
        InstallLog().Line("Nothing installed: there is nothing to install into.");
        return ecNothingFound;
    }
    if (!PayloadsIntact()) {
        ShowSkinErrorDialog("Error...", "The installer is damaged: nothing was installed.");
        return ecCannotStart;
    }
    if (!options.verySilent) {
        MainForm->Show();
        Application->ProcessMessages();
    }
    MainForm->InstallButtonClick(MainForm->InstallButton);
    return InstallExitCode(false);
}

int RunUninstall(const TCommandLine& options) {
    // The dialogs paint with the main window's skin; the window itself is
    // not created (no discovery, no window).
    if (!options.verySilent && !MainForm) MainForm = new TMainForm(Application);
    TInstallRecord record;
    if (!TInstallRecord::Load(record)) {
        InstallLog().Line(std::string("Nothing to remove: no record under HKLM\\") + ProductKey + ".");
        ShowSkinErrorDialog("Error...", "Zorvane Player is not installed.");
        return ecNothingFound;
    }
    InstallLog().Line(
        Format("Uninstall started: %u file(s), %u created key(s), %u changed value(s) recorded.",
               static_cast<unsigned>(record.files.size()), static_cast<unsigned>(record.keys.size()),
               static_cast<unsigned>(record.values.size())));
    struct TToolLog : TDeployObserver {
        void RegistrationToolRan(const std::string& file, bool unregister, const TToolRun& run) override {
            InstallLog().Line(RegistrationToolText(file, unregister, run));
        }
    } toolLog;
    const TDeployObserverScope listening(&toolLog);
    const TUninstallResult result =
        Uninstall(record, [](const std::string& line) { InstallLog().Line(line); });
    if (!result.failures.empty()) {
        ShowSkinErrorDialog("Error...", "Zorvane Player could not be removed completely.");
        return ecFailed;
    }
    ShowSkinInfoDialog("Info...", result.scheduled.empty() ? "Zorvane Player removed."
                                                           : "Removed; restart Windows to finish.");
    return ecInstalled;
}

int RunSetup(const std::string& commandLine) {
    const TCommandLine options = ParseCommandLine(commandLine);
    InstallPlatformServices();
    // Every window the program shows draws at its monitor's density (the
    // manifest declares it aware, so the system no longer stretches it).
    SetDisplayScaling(true);
    InitApplication();
    Application->Initialize();
    Application->SetTitle("Player Installer");
    int code = ecInstalled;
    if (!options.logFile.empty() && !InstallLog().Open(options.logFile)) {
        if (!options.verySilent)
            Message("The log file " + options.logFile + " cannot be written.", MB_ICONERROR);
        code = ecCannotStart;
    } else {
        InstallLog().Line(std::string("Zorvane Player installer " ZV_PRODUCT_VERSION_STRING " started: ") +
                          commandLine);
        if (!options.error.empty()) {
            InstallLog().Line("Bad command line: " + options.error);
            if (!options.verySilent) Message(options.error + "\n\n" + CommandLineUsage(), MB_ICONERROR);
            code = ecBadCommandLine;
        } else if (options.help) {
            if (!options.verySilent) Message(CommandLineUsage(), MB_ICONINFORMATION);
        } else {
            ApplyRunMode(options);
            Session().keepRecord = true;
            Session().installFolder = DefaultInstallFolder();
            code = options.uninstall ? RunUninstall(options) : RunInstall(options);
        }
    }
    InstallLog().Line(Format("Finished with exit code %d (", code) + ExitCodeMeaning(code) + ").");
    InstallLog().Close();
    DoneApplication();
    return code;
}

}  // namespace zv
