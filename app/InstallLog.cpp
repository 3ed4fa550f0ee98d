#include "app/InstallLog.h"

#include <windows.h>

#include <algorithm>

#include "base/SysUtils.h"
#include "vcl/WideText.h"

namespace zv {

std::string LogTimestamp() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return Format("%04u-%02u-%02u %02u:%02u:%02u.%03u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
                  t.wSecond, t.wMilliseconds);
}

bool TInstallLog::Open(const std::string& path) {
    // FILE_APPEND_DATA without FILE_WRITE_DATA: every write goes to the end,
    // also when another run appends to the same file meanwhile.
    m_file.Reset(CreateFileW(ToWide(path).c_str(), FILE_APPEND_DATA | SYNCHRONIZE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                             nullptr));
    return IsOpen();
}

void TInstallLog::Line(const std::string& text) {
    if (!m_file) return;
    std::string clean = text;
    std::replace_if(
        clean.begin(), clean.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    const std::string line = LogTimestamp() + "  " + clean + "\r\n";
    LARGE_INTEGER none{};
    SetFilePointerEx(m_file.Get(), none, nullptr, FILE_END);
    DWORD written = 0;
    WriteFile(m_file.Get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

TInstallLog& InstallLog() {
    static TInstallLog log;
    return log;
}

}  // namespace zv
