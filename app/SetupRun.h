// The program's run as its command line asks for it: the install with its
// window (no option), at once with the window and only failure dialogs
// (/SILENT) or without any window (/VERYSILENT), the uninstall (/UNINSTALL),
// the options dialog (/?); the log (/LOG=); and the exit code.
#pragma once

#include <string>

#include "app/CommandLine.h"

namespace zv {

// Runs the program for `commandLine` (GetCommandLine: the program's name
// first) and returns its exit code (TExitCode). Initialises and frees the
// application object itself.
int RunSetup(const std::string& commandLine);

// The parts of the run, for a caller that has made the application object
// and opened the log already.
int RunInstall(const TCommandLine& options);
int RunUninstall(const TCommandLine& options);

// Dialogs, error reports and the ZIP reader's notice as the mode wants them
// (/SILENT: only failures show; /VERYSILENT: nothing shows); every one of
// them goes to the log as well.
void ApplyRunMode(const TCommandLine& options);

// Both payload archives open, hold their file and unpack it whole.
bool PayloadsIntact();

}  // namespace zv
