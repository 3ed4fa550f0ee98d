// The installer's command line. Portable: no Windows headers, so that the
// parse is checked natively.
//
//   /SILENT        the window shows and the install runs at once; dialogs
//                  only on failure
//   /VERYSILENT    no window and no dialog at all
//   /LOG="file"    one line per step appended to file (UTF-8, timestamps)
//   /UNINSTALL     take back what the install recorded
//   /?             a dialog listing the options
//
// Options are compared without regard to case and may start with "/" or "-".
#pragma once

#include <string>

namespace zv {

struct TCommandLine {
    bool silent = false;
    bool verySilent = false;
    bool uninstall = false;
    bool help = false;
    std::string logFile;
    // Empty when the command line is good; otherwise what is wrong with it,
    // naming the first bad argument. The good ones are parsed all the same.
    std::string error;
};

// Parses the arguments after the program's name. `commandLine` is the
// whole line as the system gives it (GetCommandLine): the program's name
// comes first, quoted or not, and is skipped. Arguments are separated by
// blanks or tabs; double quotes group blanks into an argument anywhere in it
// (/LOG="C:\My Logs\setup.log") and are removed. Every option may be given
// more than once; the last /LOG wins.
TCommandLine ParseCommandLine(const std::string& commandLine);

// The text of the options dialog (/?), lines separated by "\n".
std::string CommandLineUsage();

}  // namespace zv
