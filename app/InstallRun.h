// What the program's run has come to (the exit code is made from it), and
// one run of the install command: the progress in the banner, the log's
// lines for each step, and the record of what the install put where.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "deploy/DeployObserver.h"
#include "deploy/InstallRecord.h"

namespace zv {

class TMainForm;

// The program's exit codes (documented in the README).
enum TExitCode : int {
    ecInstalled = 0,        // installed everywhere chosen (uninstall: removed)
    ecNothingFound = 1,     // no browser found (uninstall: nothing recorded)
    ecClosed = 2,           // closed without installing
    ecFailed = 3,           // some deployments failed (uninstall: something left)
    ecCannotStart = 4,      // damaged payload or skin, unusable log file
    ecBadCommandLine = 87,  // ERROR_INVALID_PARAMETER
};
std::string ExitCodeMeaning(int code);

enum class TInstallOutcome { ioNone, ioSucceeded, ioFailed };

struct TSessionState {
    // Whether installs keep a record for /UNINSTALL, an "Add or remove
    // programs" entry and a copy of the installer in installFolder. The
    // program's entry turns it on; the install command alone does not.
    bool keepRecord = false;
    std::string installFolder;
    // While true, an error reported goes down as a start problem.
    bool starting = false;
    bool startProblem = false;
    // The last install command's outcome.
    TInstallOutcome outcome = TInstallOutcome::ioNone;
};
TSessionState& Session();

// The exit code of an installing run: the last install's outcome, else 4
// after a start problem, 1 when nothing was found, 2 otherwise.
int InstallExitCode(bool nothingFound);

// What a DeployResult code means, for the log.
std::string DeployResultMeaning(int code);
// The log's line for a run of the registration tool.
std::string RegistrationToolText(const std::string& file, bool unregister, const TToolRun& run);

// One press of "Install". Only one runs at a time: a run made while another
// is active is inactive and does nothing. While active, it listens to the
// deployments: each directory served shows in the banner as
// "Installing into <dir> (k of n)" with the window repainted, and every step
// goes to the log. Finish (or the end of the command without it) records
// what was put in place, when the session keeps a record. A listener that
// was there before the run hears everything after the run has handled it.
class TInstallRun : public TDeployObserver {
public:
    TInstallRun(TMainForm& form, int steps);
    ~TInstallRun() override;
    TInstallRun(const TInstallRun&) = delete;
    TInstallRun& operator=(const TInstallRun&) = delete;

    [[nodiscard]] bool Active() const { return m_active; }
    // The deployment just made for `browser` ended with code.
    void Deployed(const std::string& browser, bool succeeded, int code);
    // All deployments are made; before the final message.
    void Finish(bool allSucceeded);
    // What this run recorded so far.
    [[nodiscard]] const TInstallRecord& Record() const { return m_record; }

    void Deploying(const std::string& file) override;
    void FileInstalled(const std::string& file) override;
    void KeyCreated(HKEY root, const std::string& key, const std::string& outermost) override;
    void ValueChanged(HKEY root, const std::string& key, const std::string& name,
                      const std::optional<std::string>& before,
                      const std::optional<std::string>& after) override;
    void RegistrationToolRan(const std::string& file, bool unregister, const TToolRun& run) override;

private:
    void ShowProgress(const std::string& text);
    void KeepRecord();

    TMainForm& m_form;
    const int m_steps;
    int m_step = 0;
    bool m_active = false;
    bool m_finished = false;
    int m_deployments = 0;
    std::vector<std::string> m_targets;  // served since the last Deployed
    std::string m_banner;
    TInstallRecord m_record;
    TDeployObserver* m_next = nullptr;
    std::optional<TDeployObserverScope> m_listening;
};

}  // namespace zv
