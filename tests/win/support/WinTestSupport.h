// Support for the Windows tests that run under Wine.
//
//   TRegistrySandbox   HKLM, HKCU and HKCR redirected onto scratch keys for
//                      the life of the object (RegOverridePredefKey)
//   TTempDir           a fresh directory, removed with everything in it
//   Pump / PumpUntil   runs the message loop for a while or until a condition
//   WindowPixel, CaptureClient   reading back what a window shows
//   Click, MouseMoveTo, PressKey, KeyDown, KeyUp   real input through SendInput
//   FindWindowOfThread the first visible top-level window with a given caption
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>

#include "base/PixelBuffer.h"

namespace zvtest {

class TRegistrySandbox {
public:
    TRegistrySandbox();
    ~TRegistrySandbox();
    TRegistrySandbox(const TRegistrySandbox&) = delete;
    TRegistrySandbox& operator=(const TRegistrySandbox&) = delete;
    // Path of the scratch key under the real HKEY_CURRENT_USER.
    [[nodiscard]] const std::string& Root() const { return m_root; }

private:
    std::string m_root;
    HKEY m_keys[3] = {};
};

class TTempDir {
public:
    TTempDir();
    ~TTempDir();
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;
    // Without a trailing backslash.
    [[nodiscard]] const std::string& Path() const { return m_path; }
    [[nodiscard]] std::string operator/(const std::string& name) const { return m_path + "\\" + name; }

private:
    std::string m_path;
};

// File helpers take UTF-8 paths, as the program does.
// Recursive delete of a directory tree; true when it is gone.
bool RemoveTree(const std::string& path);
// Creates a directory and every missing one above it.
void MakeDirs(const std::string& path);
// Writes bytes to a file (created or truncated).
void WriteFile(const std::string& path, const std::string& bytes);

// Registry values as a test sets up a machine; the key is made when
// missing, and a value that cannot be written throws. SetRegString takes
// UTF-8 and stores UTF-16, as the registry holds text; SetRegValue stores
// the bytes as given through the ANSI call (a value of the wrong type or
// size, a text in the code page).
void SetRegValue(HKEY root, const std::string& path, const std::string& name, DWORD type, const void* data,
                 DWORD size);
void SetRegString(HKEY root, const std::string& path, const std::string& name, const std::string& value,
                  DWORD type = REG_SZ);
void SetRegDword(HKEY root, const std::string& path, const std::string& name, DWORD value);
// The whole file; "<missing>" when it cannot be read.
[[nodiscard]] std::string ReadFile(const std::string& path);
[[nodiscard]] bool FileExists(const std::string& path);
[[nodiscard]] bool DirExists(const std::string& path);

// Folder names in scripts that no single ANSI code page holds together, in
// UTF-8 as the program keeps its text.
inline const std::string kJapanese = "\xE6\x97\xA5\xE6\x9C\xAC";                       // two kanji
inline const std::string kGreek = "\xCE\x95\xCE\xBB\xCE\xBB\xCE\xAC\xCE\xB4\xCE\xB1";  // Greece
inline const std::string kGreekUpper =
    "\xCE\x95\xCE\x9B\xCE\x9B\xCE\x86\xCE\x94\xCE\x91";  // the same in capitals
inline const std::string kCyrillic = "\xD0\xA0\xD0\xBE\xD1\x81\xD1\x81\xD0\xB8\xD1\x8F";  // Russia
inline const std::string kScripts = kJapanese + " " + kGreek + " " + kCyrillic;
// True when the machine's ANSI code page cannot spell `utf8`: the ANSI calls
// would turn it into "?" (never so where that code page is UTF-8).
[[nodiscard]] bool AnsiCodePageLacks(const std::string& utf8);

// Runs the message loop of this thread for `ms` milliseconds.
void Pump(int ms);
// Runs the message loop until `done` is true or `timeoutMs` passed; returns done().
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 5000);

[[nodiscard]] COLORREF WindowPixel(HWND hwnd, int x, int y);  // client coordinates
[[nodiscard]] zv::TPixelBuffer CaptureClient(HWND hwnd);
[[nodiscard]] zv::TPixelBuffer CaptureScreenRect(const RECT& r);

void MouseMoveTo(int screenX, int screenY);
void MouseButton(bool down, bool right = false);
void Click(int screenX, int screenY);
void ClickClient(HWND hwnd, int x, int y);
void KeyDown(WORD vk);
void KeyUp(WORD vk);
void PressKey(WORD vk);

// A visible top-level window of this process with exactly this caption.
[[nodiscard]] HWND FindProcessWindow(const std::string& caption);
// Text of a window (GetWindowText), as UTF-8.
[[nodiscard]] std::string WindowText(HWND hwnd);
// Texts of the static and button children of a window, in z-order.
[[nodiscard]] std::string ChildTexts(HWND hwnd);

// Saves a capture as a 24-bit BMP (for looking at failures).
void SaveBmp(const zv::TPixelBuffer& pixels, const std::string& path);

}  // namespace zvtest
