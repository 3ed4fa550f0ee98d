#include "app/CommandLine.h"

#include <vector>

#include "base/SysUtils.h"

namespace zv {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// The program's name ends at the first blank outside quotes; the system does
// not treat backslashes before quotes specially there.
std::size_t SkipProgramName(const std::string& line) {
    std::size_t i = 0;
    while (i < line.size() && IsBlank(line[i])) ++i;
    bool quoted = false;
    for (; i < line.size(); ++i) {
        if (line[i] == '"')
            quoted = !quoted;
        else if (!quoted && IsBlank(line[i]))
            break;
    }
    return i;
}

std::vector<std::string> SplitArguments(const std::string& line, std::size_t from) {
    std::vector<std::string> args;
    std::size_t i = from;
    for (;;) {
        while (i < line.size() && IsBlank(line[i])) ++i;
        if (i >= line.size()) return args;
        std::string arg;
        bool quoted = false;
        for (; i < line.size() && (quoted || !IsBlank(line[i])); ++i) {
            if (line[i] == '"')
                quoted = !quoted;
            else
                arg += line[i];
        }
        args.push_back(arg);
    }
}

}  // namespace

TCommandLine ParseCommandLine(const std::string& commandLine) {
    TCommandLine result;
    // Every argument is looked at, so that /VERYSILENT and /LOG decide how a
    // bad one is told wherever it stands; the first bad one is named.
    auto bad = [&](const std::string& error) {
        if (result.error.empty()) result.error = error;
    };
    for (const std::string& arg : SplitArguments(commandLine, SkipProgramName(commandLine))) {
        if (arg.size() < 2 || (arg[0] != '/' && arg[0] != '-')) {
            bad("Unknown argument: " + arg);
            continue;
        }
        const std::string option = UpperCase(arg.substr(1));
        if (option == "SILENT") {
            result.silent = true;
        } else if (option == "VERYSILENT") {
            result.verySilent = true;
        } else if (option == "UNINSTALL") {
            result.uninstall = true;
        } else if (option == "?") {
            result.help = true;
        } else if (option.rfind("LOG=", 0) == 0 && arg.size() > 5) {
            result.logFile = arg.substr(5);
        } else if (option == "LOG" || option == "LOG=") {
            const std::string name = arg.substr(0, 4);
            std::string error = "The option ";
            error.append(name).append(" needs a file name: ").append(name).append("=\"file\"");
            bad(error);
        } else {
            bad("Unknown option: " + arg);
        }
    }
    return result;
}

std::string CommandLineUsage() {
    return "ZorvaneSetup [options]\n"
           "\n"
           "/SILENT\tthe window shows and the installation runs at once; messages only on failure\n"
           "/VERYSILENT\tno window and no message at all\n"
           "/LOG=\"file\"\tappend one line per step to file (UTF-8, with times)\n"
           "/UNINSTALL\tremove what the installation put in place\n"
           "/?\tthis list\n"
           "\n"
           "Options may also start with \"-\"; case does not matter.\n"
           "Exit codes: 0 installed (or removed), 1 nothing to install into (or nothing installed), "
           "2 closed without installing, 3 something failed (the log says what), 4 the program could not "
           "start its work, 87 bad command line.";
}

}  // namespace zv
