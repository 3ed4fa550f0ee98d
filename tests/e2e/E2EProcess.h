// A program started by an end-to-end test as a child process in the test's
// working directory; ended by force if it still runs when the test lets go.
#pragma once

#include <windows.h>

#include <string>

namespace e2e {

class TChildProcess {
public:
    TChildProcess(const std::string& exe, const std::string& args, const std::string& workDir) {
        STARTUPINFOA si{};
        si.cb = sizeof si;
        std::string cmd = "\"" + exe + "\"";
        if (!args.empty()) cmd += " " + args;
        m_started = CreateProcessA(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   workDir.c_str(), &si, &m_pi) != FALSE;
    }
    ~TChildProcess() {
        if (!m_started) return;
        if (WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(m_pi.hProcess, 1);
            WaitForSingleObject(m_pi.hProcess, 5000);
        }
        CloseHandle(m_pi.hThread);
        CloseHandle(m_pi.hProcess);
    }
    TChildProcess(const TChildProcess&) = delete;
    TChildProcess& operator=(const TChildProcess&) = delete;

    [[nodiscard]] bool Started() const { return m_started; }
    [[nodiscard]] DWORD ProcessId() const { return m_pi.dwProcessId; }
    [[nodiscard]] bool Running() const { return WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT; }
    [[nodiscard]] bool Ended() const { return WaitForSingleObject(m_pi.hProcess, 0) == WAIT_OBJECT_0; }
    // False when the program did not end within ms.
    bool WaitForExit(int ms, DWORD& exitCode) {
        if (WaitForSingleObject(m_pi.hProcess, static_cast<DWORD>(ms)) != WAIT_OBJECT_0) return false;
        GetExitCodeProcess(m_pi.hProcess, &exitCode);
        return true;
    }

private:
    PROCESS_INFORMATION m_pi{};
    bool m_started = false;
};

}  // namespace e2e
