// Running a system tool (regsvr32) as a child process whose end the
// installer waits for, on the GUI thread, without freezing its windows.
#pragma once

#include <windows.h>

#include <string>

namespace zv {

// How long the registration tool may take before its run counts as failed.
inline constexpr DWORD RegistrationToolTimeoutMs = 60000;

struct TToolRun {
    bool started = false;  // the process was created
    bool ended = false;    // it ended within the bound
    DWORD exitCode = 0;    // valid when ended
    DWORD error = 0;       // the system's error when it could not be started
    [[nodiscard]] bool Succeeded() const { return started && ended && exitCode == 0; }
};

// Starts `application` (a full path: nothing is searched) with `parameters`
// and waits until it ends, at most timeoutMs. While waiting, the messages of
// this thread are dispatched so that its windows keep painting and their
// timers run, but mouse and keyboard input is thrown away: the user cannot
// start anything else (a second install, a close) while the tool runs. A quit
// request seen meanwhile is posted again once the wait is over. A tool that
// outlives the bound is left running; only the wait ends.
TToolRun RunToolAndWait(const std::string& application, const std::string& parameters, DWORD timeoutMs);

// Dispatches what is queued for this thread the way RunToolAndWait does
// while it waits (input dropped); true when a quit request was taken out of
// the queue (the caller posts it again when it is done).
bool DispatchWaitingMessages(int& quitCode);

}  // namespace zv
