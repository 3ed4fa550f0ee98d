#include "deploy/ToolProcess.h"

#include <vector>

#include "vcl/WideText.h"
#include "vcl/Win32Handles.h"

namespace zv {

namespace {

bool IsUserInput(UINT message) {
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
           (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
           (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK) || message == WM_NCMOUSELEAVE ||
           message == WM_MOUSELEAVE;
}

}  // namespace

bool DispatchWaitingMessages(int& quitCode) {
    bool quit = false;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            quit = true;
            quitCode = static_cast<int>(msg.wParam);
            continue;
        }
        if (IsUserInput(msg.message)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return quit;
}

TToolRun RunToolAndWait(const std::string& application, const std::string& parameters, DWORD timeoutMs) {
    TToolRun run;
    // Wide: the control's path may hold characters the ANSI code page lacks.
    const std::wstring commandLine = ToWide("\"" + application + "\" " + parameters);
    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(ToWide(application).c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        run.error = GetLastError();
        return run;
    }
    run.started = true;
    const TKernelHandle processHandle(process.hProcess);
    const TKernelHandle thread(process.hThread);

    bool quit = false;
    int quitCode = 0;
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs) break;
        const HANDLE handles[1] = {processHandle.Get()};
        const DWORD woke =
            MsgWaitForMultipleObjectsEx(1, handles, timeoutMs - elapsed, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woke == WAIT_OBJECT_0) {
            run.ended = GetExitCodeProcess(processHandle.Get(), &run.exitCode) != FALSE;
            break;
        }
        if (woke != WAIT_OBJECT_0 + 1) break;  // the bound, or a failed wait
        int code = 0;
        if (DispatchWaitingMessages(code)) {
            quit = true;
            quitCode = code;
        }
    }
    if (quit) PostQuitMessage(quitCode);
    return run;
}

}  // namespace zv
