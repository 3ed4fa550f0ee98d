// The few platform services the portable ZIP reader needs, as hooks the
// Windows program fills at start:
//
//   OemToAnsi        converts an entry name written by an MS-DOS host from the
//                    OEM code page (OemToCharA on Windows); the built-in
//                    default is a code page 437 -> Windows-1252 table
//   ShowNotice       the modal "Unknown Compression Method" box; the default
//                    records the notice so the native tests can see it
//   GetCursor/SetCursor  the screen cursor around a directory read; the
//                    default keeps the value in a variable
//   ProcessMessages  lets the user interface run during long reads (the
//                    default has nothing to run)
//
// Everything runs on the one GUI thread, so the hooks are plain globals.
#pragma once

#include "base/Types.h"

#include <functional>
#include <string>
#include <vector>

namespace zv {


struct TZipNotice {
    std::string text;
    std::string caption;
};

struct TZipPlatformHooks {
    std::function<void(std::string& text)> oemToAnsi;
    std::function<void(const std::string& text, const std::string& caption)> showNotice;
    std::function<int()> getCursor;
    std::function<void(int cursor)> setCursor;
    std::function<void()> processMessages;
};

// The installed hooks; an empty member means "use the portable default".
TZipPlatformHooks& ZipPlatformHooks();

// Converts an OEM name in place through the hook or the built-in table.
void ZipOemToAnsi(std::string& text);
// The built-in table conversion, whatever hook is installed.
void Cp437ToWindows1252(std::string& text);

void ZipShowNotice(const std::string& text, const std::string& caption);
// Notices recorded by the default ShowNotice, oldest first.
std::vector<TZipNotice>& ZipRecordedNotices();

int ZipGetCursor();
void ZipSetCursor(int cursor);
void ZipProcessMessages();

}  // namespace zv
