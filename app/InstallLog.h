// The log that /LOG="file" asks for: one line per step, each with the local
// date and time, appended to the file in UTF-8 (the program's texts are in
// the system's ANSI code page and are converted on the way).
#pragma once

#include <string>

#include "vcl/Win32Handles.h"

namespace zv {

class TInstallLog {
public:
    // Opens (creating when missing) the file for appending; false when it
    // cannot be opened. Readers may look at it while it is written.
    bool Open(const std::string& path);
    void Close() { m_file.Reset(); }
    [[nodiscard]] bool IsOpen() const { return static_cast<bool>(m_file); }
    // "YYYY-MM-DD hh:mm:ss.mmm  text" and CRLF, written at once; nothing
    // without a file. Line breaks inside text become blanks.
    void Line(const std::string& text);

private:
    TFileHandle m_file;
};

// The program's one log; not open unless /LOG was given.
TInstallLog& InstallLog();

// The local time as the log writes it.
std::string LogTimestamp();

}  // namespace zv
