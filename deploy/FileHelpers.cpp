#include "deploy/FileHelpers.h"

#include <cstring>
#include <vector>

#include "base/SysUtils.h"
#include "deploy/DeployObserver.h"
#include "deploy/ToolProcess.h"
#include "vcl/Registry.h"
#include "vcl/WideText.h"
#include "vcl/Win32Handles.h"

namespace zv {

namespace {

// GetProcAddress gives a FARPROC; going through the generic function
// pointer type keeps the cast free of function-type warnings.
template <typename Fn>
Fn GetProc(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

using TSetDefaultDllDirectories = BOOL(WINAPI*)(DWORD);
using TSetDllDirectoryA = BOOL(WINAPI*)(LPCSTR);

// SetDefaultDllDirectories and the LOAD_LIBRARY_SEARCH_* flags come
// together (Windows 8, or Vista/7 with KB2533623), so its presence says
// whether LoadLibraryEx understands the flags.
TSetDefaultDllDirectories FindSetDefaultDllDirectories() {
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    return kernel ? GetProc<TSetDefaultDllDirectories>(kernel, "SetDefaultDllDirectories") : nullptr;
}

// version.dll, entered by name at run time (never from the import table, which
// the loader would satisfy from the program's own directory first).
using TGetFileVersionInfoSizeW = DWORD(WINAPI*)(LPCWSTR, LPDWORD);
using TGetFileVersionInfoW = BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID);
using TVerQueryValueW = BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT);

// The text of a value found by VerQueryValueW, read no further than the
// value's own length (in characters) and the end of the block it points into.
std::string ValueText(const std::vector<char>& block, const void* value, UINT length) {
    const char* p = static_cast<const char*>(value);
    const char* begin = block.data();
    const char* end = begin + block.size();
    if (!p || p < begin || p >= end) return {};
    const std::size_t room = static_cast<std::size_t>(end - p) / sizeof(wchar_t);
    const std::size_t limit = length < room ? length : room;
    std::wstring text;
    for (std::size_t n = 0; n < limit; ++n) {
        wchar_t c;
        std::memcpy(&c, p + n * sizeof(wchar_t), sizeof c);  // the block need not be aligned for it
        if (c == L'\0') break;
        text += c;
    }
    return FromWide(text);
}

std::string QueryVersionValue(const std::string& file, const std::string& name) {
    TLibrary version(LoadSystemLibrary("version.dll"));
    if (!version) return "n/a";
    const auto getSize = GetProc<TGetFileVersionInfoSizeW>(version.Get(), "GetFileVersionInfoSizeW");
    const auto getInfo = GetProc<TGetFileVersionInfoW>(version.Get(), "GetFileVersionInfoW");
    const auto query = GetProc<TVerQueryValueW>(version.Get(), "VerQueryValueW");
    if (!getSize || !getInfo || !query) return "n/a";

    const std::wstring path = ToWide(file);
    DWORD handle = 0;
    const DWORD size = getSize(path.c_str(), &handle);
    if (size == 0) return "n/a";
    std::vector<char> block(size);
    if (!getInfo(path.c_str(), 0, size, block.data())) return "n/a";

    std::string subBlock = name;
    void* translation = nullptr;
    UINT translationLength = 0;
    if (query(block.data(), L"\\VarFileInfo\\Translation", &translation, &translationLength) && translation &&
        translationLength >= 4) {
        WORD langAndCodePage[2];
        std::memcpy(langAndCodePage, translation, sizeof langAndCodePage);
        subBlock =
            Format("\\StringFileInfo\\%04x%04x\\%s", langAndCodePage[0], langAndCodePage[1], name.c_str());
    }

    void* value = nullptr;
    UINT valueLength = 0;
    if (query(block.data(), ToWide(subBlock).c_str(), &value, &valueLength))
        return ValueText(block, value, valueLength);
    return "n/a";
}

// SetFileAttributes takes 0 as "no attributes" on some systems only; the
// documented way to say it is FILE_ATTRIBUTE_NORMAL.
void WriteAttributes(const std::string& file, WORD attributes) {
    SetFileAttributesW(ToWide(file).c_str(), attributes ? attributes : FILE_ATTRIBUTE_NORMAL);
}

}  // namespace

bool MakeDllSearchSafe() {
    if (const auto setDefault = FindSetDefaultDllDirectories())
        return setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32) != FALSE;
    // Older systems: at least take the current directory out of the search.
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (const auto setDir = kernel ? GetProc<TSetDllDirectoryA>(kernel, "SetDllDirectoryA") : nullptr)
        setDir("");
    return false;
}

std::string SystemDirectory() {
    std::vector<wchar_t> buf(MAX_PATH + 1);
    for (;;) {
        const UINT n = GetSystemDirectoryW(buf.data(), static_cast<UINT>(buf.size()));
        if (n == 0) return {};
        if (n < buf.size()) return ExcludeTrailingBackslash(FromWide({buf.data(), n}));
        buf.resize(n + 1);  // n is the size needed, terminator included
    }
}

HMODULE LoadSystemLibrary(const std::string& name) {
    if (FindSetDefaultDllDirectories()) {
        if (HMODULE h = LoadLibraryExW(ToWide(name).c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) return h;
    }
    const std::string dir = SystemDirectory();
    if (dir.empty()) return nullptr;
    return LoadLibraryW(ToWide(dir + "\\" + name).c_str());
}

std::string GetModuleDir(HMODULE module) {
    // GetModuleFileNameW answers the buffer size when the path was cut (and
    // on XP leaves it unterminated), so grow until the whole path fits, up to
    // the system's limit of 32767 units.
    std::vector<wchar_t> buf(MAX_PATH + 1);
    for (;;) {
        const DWORD n = GetModuleFileNameW(module, buf.data(), static_cast<DWORD>(buf.size()));
        if (n == 0) return {};
        if (n < buf.size()) return ExtractFilePath(FromWide({buf.data(), n}));
        if (buf.size() > 32768) return {};
        buf.resize(buf.size() * 2);
    }
}

std::string GetProgramDir() {
    return GetModuleDir(nullptr);
}

std::string GetFileVersionString(const std::string& file, const std::string& name) {
    std::string result;
    try {
        result = QueryVersionValue(file, name);
    } catch (...) {
        return "n/a";
    }
    std::string cleaned;
    cleaned.reserve(result.size());
    for (char c : result) {
        if (c == ',') c = '.';
        if (c != ' ') cleaned += c;
    }
    return cleaned;
}

void ClearReadOnlyHidden(const std::string& file) {
    const DWORD found = GetFileAttributesW(ToWide(file).c_str());
    if (found == INVALID_FILE_ATTRIBUTES || (found & FILE_ATTRIBUTE_DIRECTORY)) return;
    auto attributes = static_cast<WORD>(found);
    if (attributes & FILE_ATTRIBUTE_READONLY) {
        attributes = static_cast<WORD>(attributes & ~FILE_ATTRIBUTE_READONLY);
        WriteAttributes(file, attributes);
    }
    if (attributes & FILE_ATTRIBUTE_HIDDEN) {
        attributes = static_cast<WORD>(attributes & ~FILE_ATTRIBUTE_HIDDEN);
        WriteAttributes(file, attributes);
    }
}

namespace {

bool RunRegistrationTool(const std::string& file, bool unregister) {
    // By its full path: a bare "regsvr32" would be looked for in the
    // current and the program's directory before the system's.
    const std::string dir = SystemDirectory();
    TToolRun run;
    if (!dir.empty()) {
        const std::string parameters = std::string(unregister ? "/u /s" : "/s") + " \"" + file + "\"";
        run = RunToolAndWait(dir + "\\regsvr32.exe", parameters, RegistrationToolTimeoutMs);
    }
    if (auto* observer = DeployObserver()) observer->RegistrationToolRan(file, unregister, run);
    return run.Succeeded();
}

}  // namespace

bool RegisterServerSilently(const std::string& file) {
    return RunRegistrationTool(file, false);
}

bool UnregisterServerSilently(const std::string& file) {
    return RunRegistrationTool(file, true);
}

std::string GetInprocServerPath(const std::string& clsid) {
    std::string result;
    try {
        TRegistry reg;
        reg.SetRootKey(HKEY_CLASSES_ROOT);
        // Read access is all a lookup needs; asking for full access would fail
        // for a user who may not write the machine's classes.
        if (reg.OpenKeyReadOnly("\\CLSID\\" + clsid + "\\InprocServer32")) {
            try {
                result = reg.ReadString("");
            } catch (...) {
                result.clear();
            }
            result = Trim(result);
            reg.CloseKey();
        }
    } catch (...) {
        return {};
    }
    return result;
}

std::string GetDefaultBrowserPath() {
    TRegistry reg;
    reg.SetRootKey(HKEY_CLASSES_ROOT);
    std::string command;
    if (reg.OpenKeyReadOnly("\\http\\shell\\open\\command") && reg.ValueExists(""))
        command = reg.ReadString("");  // a non-string value raises to the caller
    if (command.size() < 2) return {};
    const std::size_t quote = command.find('"', 1);
    return command.substr(1, quote == std::string::npos ? std::string::npos : quote - 1);
}

}  // namespace zv
