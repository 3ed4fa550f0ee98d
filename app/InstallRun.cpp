// Index: the session and the exit codes; the meanings the log gives; the
// install run (progress, log lines, the record).
#include "app/InstallRun.h"

#include <windows.h>

#include "app/InstallLog.h"
#include "app/frmMain.h"
#include "base/SysUtils.h"
#include "deploy/FileHelpers.h"
#include "deploy/ToolProcess.h"

namespace zv {

namespace {

bool& RunActive() {
    static bool active = false;
    return active;
}

std::string Shown(const std::optional<std::string>& text) {
    return text ? "\"" + *text + "\"" : std::string("(none)");
}

}  // namespace

TSessionState& Session() {
    static TSessionState state;
    return state;
}

int InstallExitCode(bool nothingFound) {
    switch (Session().outcome) {
        case TInstallOutcome::ioSucceeded: return ecInstalled;
        case TInstallOutcome::ioFailed: return ecFailed;
        case TInstallOutcome::ioNone: break;
    }
    if (Session().startProblem) return ecCannotStart;
    return nothingFound ? ecNothingFound : ecClosed;
}

std::string ExitCodeMeaning(int code) {
    switch (code) {
        case ecInstalled: return "done";
        case ecNothingFound: return "nothing to install into, or nothing installed to remove";
        case ecClosed: return "closed without installing";
        case ecFailed: return "something failed";
        case ecCannotStart: return "the program could not start its work";
        case ecBadCommandLine: return "bad command line";
        default: return "unknown";
    }
}

std::string DeployResultMeaning(int code) {
    switch (code) {
        case 0: return "no failure";
        case -1: return "the file could not be created or replaced (directory rights, file in use)";
        case -2: return "writing the file failed (the browser may be running)";
        case -3: return "a newer version is installed";
        case -4: return "the registration failed (user rights or the registration tool)";
        case -5: return "undefined error (payload or archive)";
        case -6: return "not enough disk space for the new file";
        case -7: return "the directory's name is too long for the file";
        default: return "unknown code";
    }
}

TInstallRun::TInstallRun(TMainForm& form, int steps) : m_form(form), m_steps(steps) {
    if (RunActive()) {
        InstallLog().Line("Install pressed again while an install runs: ignored.");
        return;
    }
    RunActive() = true;
    m_active = true;
    m_banner = m_form.TopLabel->Caption();
    m_next = DeployObserver();
    m_listening.emplace(this);
    InstallLog().Line(Format("Install started: %d deployment(s) for the checked lines.", steps));
}

TInstallRun::~TInstallRun() {
    if (!m_active) return;
    m_listening.reset();
    if (!m_finished && m_deployments > 0) {
        // An error ended the command before its end: what was put in place
        // is recorded all the same.
        Session().outcome = TInstallOutcome::ioFailed;
        try {
            KeepRecord();
        } catch (...) {
        }
    }
    try {
        m_form.TopLabel->SetCaption(m_banner);
    } catch (...) {
    }
    RunActive() = false;
}

void TInstallRun::ShowProgress(const std::string& text) {
    m_form.TopLabel->SetCaption(text);
    // The window paints now: the deployments keep the message loop waiting.
    if (m_form.HandleAllocated())
        RedrawWindow(m_form.HandleOrNull(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void TInstallRun::Deploying(const std::string& file) {
    ++m_deployments;
    const std::string dir = ExcludeTrailingBackslash(ExtractFilePath(file));
    m_targets.push_back(dir);
    ++m_step;
    const std::string text =
        Format("Installing into %s (%d of %d)", dir.c_str(), m_step, m_step > m_steps ? m_step : m_steps);
    InstallLog().Line(text);
    ShowProgress(text);
    if (m_next) m_next->Deploying(file);
}

void TInstallRun::FileInstalled(const std::string& file) {
    const std::string version = GetFileVersionString(file, "ProductVersion");
    m_record.AddFile(file, version);
    InstallLog().Line("Put " + file + " (version " + version + ") in place.");
    if (m_next) m_next->FileInstalled(file);
}

void TInstallRun::KeyCreated(HKEY root, const std::string& key, const std::string& outermost) {
    m_record.AddKey(RootKeyName(root), key, outermost);
    InstallLog().Line("Created registry key " + RootKeyName(root) + "\\" + key + ".");
    if (m_next) m_next->KeyCreated(root, key, outermost);
}

void TInstallRun::ValueChanged(HKEY root, const std::string& key, const std::string& name,
                               const std::optional<std::string>& before,
                               const std::optional<std::string>& after) {
    m_record.AddValue(RootKeyName(root), key, name, before, after);
    InstallLog().Line("Registry value " + RootKeyName(root) + "\\" + key + " \"" + name +
                      "\": " + Shown(before) + " -> " + Shown(after) + ".");
    if (m_next) m_next->ValueChanged(root, key, name, before, after);
}

std::string RegistrationToolText(const std::string& file, bool unregister, const TToolRun& run) {
    const std::string tool =
        std::string("Registration tool regsvr32 ") + (unregister ? "/u /s" : "/s") + " \"" + file + "\"";
    if (!run.started) return tool + " could not be started (system error " + IntToStr(run.error) + ").";
    if (!run.ended)
        return tool + Format(" did not end within %lu s: counted as failed.",
                             static_cast<unsigned long>(RegistrationToolTimeoutMs / 1000));
    return tool + " ended with exit code " + IntToStr(run.exitCode) +
           (run.exitCode == 0 ? " (succeeded)." : " (failed).");
}

void TInstallRun::RegistrationToolRan(const std::string& file, bool unregister, const TToolRun& run) {
    InstallLog().Line(RegistrationToolText(file, unregister, run));
    if (m_next) m_next->RegistrationToolRan(file, unregister, run);
}

void TInstallRun::Deployed(const std::string& browser, bool succeeded, int code) {
    if (!m_active) return;
    std::string dirs;
    for (const auto& d : m_targets) dirs += (dirs.empty() ? "" : "; ") + d;
    m_targets.clear();
    InstallLog().Line(browser + " (" + (dirs.empty() ? std::string("nothing served") : dirs) +
                      "): " + (succeeded ? "succeeded" : "failed") + ", code " + IntToStr(code) + " (" +
                      DeployResultMeaning(code) + ").");
}

void TInstallRun::Finish(bool allSucceeded) {
    if (!m_active) return;
    m_finished = true;
    Session().outcome = allSucceeded ? TInstallOutcome::ioSucceeded : TInstallOutcome::ioFailed;
    InstallLog().Line(allSucceeded ? "Install finished: everything chosen is installed."
                                   : "Install finished: some deployments failed.");
    KeepRecord();
}

void TInstallRun::KeepRecord() {
    if (!Session().keepRecord) return;
    TInstallRecord stored;
    TInstallRecord::Load(stored);
    stored.Merge(m_record);
    if (stored.Empty()) {
        InstallLog().Line("Nothing was put in place: no record kept for uninstall.");
        return;
    }
    const std::string copy = KeepInstallerCopy(Session().installFolder);
    if (copy.empty())
        InstallLog().Line("The copy of the installer for uninstall could not be made in " +
                          Session().installFolder + ".");
    else
        stored.installerCopy = copy;
    if (!stored.Save()) {
        InstallLog().Line(std::string("The record for uninstall could not be written under HKLM\\") +
                          ProductKey + ".");
        return;
    }
    InstallLog().Line(
        Format("Recorded %u file(s), %u created key(s) and %u changed value(s) for uninstall under ",
               static_cast<unsigned>(stored.files.size()), static_cast<unsigned>(stored.keys.size()),
               static_cast<unsigned>(stored.values.size())) +
        "HKLM\\" + ProductKey + ".");
    if (stored.installerCopy.empty()) return;
    if (WriteUninstallEntry(stored.installerCopy))
        InstallLog().Line("\"Add or remove programs\" entry: \"" + stored.installerCopy + "\" /UNINSTALL.");
    else
        InstallLog().Line("The \"Add or remove programs\" entry could not be written.");
}

}  // namespace zv
