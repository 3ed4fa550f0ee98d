// Plug-in directory discovery.
//
//   helpers       OpenChain (reopen from the root), ReadPath (expands REG_EXPAND_SZ),
//                 TSources (a wrong-typed value ends one source), AddCandidate,
//                 EnumerateVersions
//   plugindirs::  JoinDir, DirExists, ForceDirectories
//   AddDirIfNew
//   GetLongPathForm, GetIEProgramDir, GetIEPluginDir
//   GetOperaPluginDir
//   GetNetscapePluginDirs (sources A to E), GetMozillaPluginDirs, GetFirefoxPluginDirs
#include "discovery/PluginDirs.h"

#include <windows.h>

#include <algorithm>
#include <exception>
#include <initializer_list>
#include <vector>

#include "base/Exceptions.h"
#include "base/SysUtils.h"
#include "vcl/Registry.h"
#include "vcl/WideText.h"
#include "vcl/Win32Handles.h"

namespace zv {

namespace {

using TChain = std::initializer_list<const char*>;

constexpr const char* kIEServerClass = "{0002DF01-0000-0000-C000-000000000046}";

// Opens the chain from the root, each name relative to the one before it.
// Also used to reopen a chain after a subkey was visited.
bool OpenChain(TRegistry& reg, HKEY root, TChain chain) {
    reg.CloseKey();
    reg.SetRootKey(root);
    return std::all_of(chain.begin(), chain.end(),
                       [&reg](const char* name) { return reg.OpenKeyReadOnly(name); });
}

std::string ExpandEnvironment(const std::string& text) {
    const std::wstring source = ToWide(text);
    std::vector<wchar_t> buf(source.size() + 256);
    // Only an answer below the buffer size counts as complete (the ANSI call
    // has been seen to want one more than it reports; the wide one is taken
    // the same way).
    for (int attempt = 0; attempt < 4; ++attempt) {
        const DWORD n = ExpandEnvironmentStringsW(source.c_str(), buf.data(), static_cast<DWORD>(buf.size()));
        if (n == 0) return text;
        if (n < buf.size()) return FromWide(buf.data());
        buf.resize(static_cast<size_t>(n) + 1);
    }
    return text;
}

// A value that names a path. Installers write "%ProgramFiles%\..." as
// REG_EXPAND_SZ; unexpanded it names no directory at all.
std::string ReadPath(const TRegistry& reg, const std::string& name) {
    std::string text = reg.ReadString(name);
    TRegDataInfo info;
    if (text.empty() || !reg.GetDataInfo(name, info) || info.RegData != TRegDataType::rdExpandString)
        return text;
    return ExpandEnvironment(text);
}

std::string RootKeyName(HKEY root) {
    if (root == HKEY_CLASSES_ROOT) return "HKEY_CLASSES_ROOT";
    if (root == HKEY_CURRENT_USER) return "HKEY_CURRENT_USER";
    if (root == HKEY_LOCAL_MACHINE) return "HKEY_LOCAL_MACHINE";
    if (root == HKEY_USERS) return "HKEY_USERS";
    return "HKEY";
}

// Runs the sources of one operation. A value of the wrong type ends only the
// source that read it, so that one damaged entry of one browser does not hide
// all the others. The accessor still stands on the key the value was read
// from, which names it for the user; without a list to note it in, the first
// problem is raised by Finish once every source has run.
class TSources {
public:
    TSources(const TRegistry& reg, TStrings* problems) : m_reg(reg), m_problems(problems) {}

    template <typename Source>
    void Run(Source&& source) {
        try {
            source();
        } catch (const ERegistryException& e) {
            if (m_problems) {
                std::string key = RootKeyName(m_reg.RootKey());
                if (!m_reg.CurrentPath().empty()) key += "\\" + m_reg.CurrentPath();
                m_problems->Add(e.Message() + " in " + key);
            } else if (!m_first) {
                m_first = std::current_exception();
            }
        }
    }
    void Finish() const {
        if (m_first) std::rethrow_exception(m_first);
    }

private:
    const TRegistry& m_reg;
    TStrings* m_problems;
    std::exception_ptr m_first;
};

void AddCandidate(TStrings& list, const std::string& value, const char* suffix) {
    if (value.empty()) return;
    const std::string path = plugindirs::JoinDir(value, suffix);
    if (plugindirs::DirExists(path)) AddDirIfNew(list, path);
}

// Each version subkey holds Main\"Install Directory". The names are read up
// front because the accessor leaves the browser key for every visit.
void EnumerateVersions(TRegistry& reg, HKEY root, TChain chain, const char* suffix, bool skipUsers,
                       TStrings& list) {
    if (!OpenChain(reg, root, chain)) return;
    TStringList names;
    reg.GetKeyNames(names);
    const int count = names.Count();
    for (int i = 0; i < count; ++i) {
        const std::string name = names[i];
        // Netscape keeps its profiles beside the versions under this exact name.
        if (skipUsers && name == "Users") continue;
        if (reg.OpenKeyReadOnly(name) && reg.OpenKeyReadOnly("Main"))
            AddCandidate(list, ReadPath(reg, "Install Directory"), suffix);
        if (!OpenChain(reg, root, chain)) break;
    }
}

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// Length of the "\\server\share" head of a UNC path (the whole path when it
// has no more), 0 for other paths. That head is no directory one could look
// up, and taking it apart would lose one of its leading backslashes.
size_t UncRootLength(const std::string& path) {
    if (path.size() < 2 || path[0] != '\\' || path[1] != '\\') return 0;
    const size_t serverEnd = path.find('\\', 2);
    if (serverEnd == std::string::npos) return path.size();
    const size_t shareEnd = path.find('\\', serverEnd + 1);
    return shareEnd == std::string::npos ? path.size() : shareEnd;
}

// The name dir + component is stored under, or component when there is
// none. A component that FindFirstFile would read as a pattern or as more
// than one name ("*", "?", "/", "." and "..") would answer with some other
// entry's name, so it keeps its spelling.
std::string StoredName(const std::string& dir, const std::string& component) {
    if (component == "." || component == ".." || component.find_first_of("*?/") != std::string::npos)
        return component;
    WIN32_FIND_DATAW data{};
    const TFindHandle find(FindFirstFileW(ToWide(dir + component).c_str(), &data));
    if (!find) return component;
    return FromWide(data.cFileName);
}

}  // namespace

// ---- shared rules -----------------------------------------------------------------

namespace plugindirs {

std::string JoinDir(const std::string& value, const std::string& suffix) {
    std::string path = value;
    if (!path.empty() && !IsSeparator(path.back())) path += '\\';
    return path + suffix;
}

bool DirExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(ToWide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool ForceDirectories(const std::string& dir) {
    std::string target = dir;
    while (!target.empty() && IsSeparator(target.back())) target.pop_back();
    if (target.empty()) return false;
    if (DirExists(target)) return true;
    // Every prefix that ends before a separator is a parent, from the top
    // down. Drives, roots and UNC heads cannot be created and need not be:
    // their failures are harmless, only the last step decides.
    for (size_t i = 1; i < target.size(); ++i) {
        if (!IsSeparator(target[i]) || IsSeparator(target[i - 1]) || target[i - 1] == ':') continue;
        const std::string parent = target.substr(0, i);
        if (!DirExists(parent)) CreateDirectoryW(ToWide(parent).c_str(), nullptr);
    }
    CreateDirectoryW(ToWide(target).c_str(), nullptr);
    return DirExists(target);
}

}  // namespace plugindirs

void AddDirIfNew(TStrings& list, const std::string& path) {
    const std::string key = UpperCase(path);
    for (int i = 0; i < list.Count(); ++i)
        if (UpperCase(list[i]) == key) return;
    list.Add(path);
}

// ---- Internet Explorer ------------------------------------------------------------

std::string GetLongPathForm(const std::string& path) {
    // Taken apart from the end, then resolved from the root down; the parts
    // are kept in a list rather than by recursion so that a long value from
    // the registry cannot exhaust the stack.
    const size_t uncRoot = UncRootLength(path);
    std::string head = path;
    std::vector<std::string> components;
    while (uncRoot == 0 || head.size() > uncRoot) {
        const size_t cut = head.find_last_of("\\:");
        const size_t start = cut == std::string::npos ? 0 : cut + 1;
        if (start == head.size()) break;  // a drive, a root or a trailing "\"
        components.push_back(head.substr(start));
        head.resize(start);
        if (!head.empty() && head.back() == '\\') head.pop_back();
    }
    std::string result = head;
    for (auto it = components.rbegin(); it != components.rend(); ++it) {
        if (!result.empty() && result.back() != '\\') result += '\\';
        result += StoredName(result, *it);
    }
    return result;
}

std::string GetIEProgramDir(TStrings* problems) {
    std::string text;
    {
        TRegistry reg;
        TSources sources(reg, problems);
        sources.Run([&] {
            if (OpenChain(reg, HKEY_CLASSES_ROOT, {"CLSID", kIEServerClass, "LocalServer32"}))
                text = ReadPath(reg, "");
        });
        sources.Finish();
    }
    if (!text.empty() && text.front() == '"') text.erase(0, 1);
    if (!text.empty() && text.back() == '"') text.pop_back();
    if (text.empty()) return {};
    return ExtractFilePath(GetLongPathForm(text));
}

std::string GetIEPluginDir(TStrings* problems) {
    std::string dir = GetIEProgramDir(problems);
    if (dir.empty()) return {};
    dir += "Plugins";
    // A failure shows later, when the control cannot be written there.
    plugindirs::ForceDirectories(dir);
    return dir;
}

// ---- Opera -----------------------------------------------------------------------------

std::string GetOperaPluginDir(TStrings* problems) {
    TRegistry reg;
    TSources sources(reg, problems);
    std::string text;
    sources.Run([&] {
        if (OpenChain(reg, HKEY_LOCAL_MACHINE,
                      {"SOFTWARE", "Microsoft", "Windows", "CurrentVersion", "App Paths", "Opera.exe"})) {
            const std::string path = ReadPath(reg, "Path");
            if (!path.empty()) text = plugindirs::JoinDir(path, "Program\\Plugins");
        }
    });
    // The user's own setting also stands in for an application path that
    // could not be read.
    sources.Run([&] {
        if (text.empty() && OpenChain(reg, HKEY_CURRENT_USER, {"SOFTWARE", "Opera Software"}))
            text = ReadPath(reg, "Plugin Path");
    });
    sources.Finish();
    return text;
}

// ---- Netscape and Mozilla ------------------------------------------------------------

void GetNetscapePluginDirs(TStrings& list, TStrings* problems) {
    TRegistry reg;
    TSources sources(reg, problems);

    // A. Navigator 4.x, one subkey per version.
    sources.Run([&] {
        EnumerateVersions(reg, HKEY_LOCAL_MACHINE, {"SOFTWARE", "Netscape", "Netscape Navigator"},
                          "Program\\Plugins", true, list);
    });

    // B. Navigator installed for the current user only.
    sources.Run([&] {
        if (OpenChain(reg, HKEY_CURRENT_USER, {"Software", "Netscape", "Netscape Navigator", "Main"}))
            AddCandidate(list, ReadPath(reg, "Install Directory"), "Program\\Plugins");
    });

    // C. Netscape 6 names its installed version.
    sources.Run([&] {
        if (!OpenChain(reg, HKEY_LOCAL_MACHINE, {"SOFTWARE", "Netscape", "Netscape 6"})) return;
        std::string version;
        try {
            version = reg.ReadString("CurrentVersion");
        } catch (const ERegistryException&) {
            // Some setups store it as a number; then there is no version to follow.
            version.clear();
        }
        if (!version.empty() && reg.OpenKeyReadOnly(version) && reg.OpenKeyReadOnly("Main"))
            AddCandidate(list, ReadPath(reg, "Install Directory"), "Plugins");
    });

    // D. Netscape 7 and later, one subkey per version.
    sources.Run([&] {
        EnumerateVersions(reg, HKEY_LOCAL_MACHINE, {"SOFTWARE", "Netscape", "Netscape"}, "Plugins", true,
                          list);
    });

    // E. The plug-in directory setting itself.
    sources.Run([&] {
        if (!OpenChain(reg, HKEY_LOCAL_MACHINE, {"SOFTWARE", "Netscape", "Netscape"})) return;
        std::string dir = ReadPath(reg, "Plugins");
        if (!dir.empty()) {
            if (!IsSeparator(dir.back())) dir += '\\';
            if (plugindirs::DirExists(dir)) AddDirIfNew(list, dir);
        }
    });
    sources.Finish();
}

void GetMozillaPluginDirs(TStrings& list, TStrings* problems) {
    TRegistry reg;
    TSources sources(reg, problems);
    sources.Run([&] {
        EnumerateVersions(reg, HKEY_LOCAL_MACHINE, {"SOFTWARE", "mozilla.org", "Mozilla"}, "Plugins", false,
                          list);
    });
    sources.Finish();
}

void GetFirefoxPluginDirs(TStrings& list, TStrings* problems) {
    TRegistry reg;
    TSources sources(reg, problems);
    sources.Run([&] {
        EnumerateVersions(reg, HKEY_LOCAL_MACHINE, {"SOFTWARE", "Mozilla", "Mozilla Firefox"}, "Plugins",
                          false, list);
    });
    sources.Finish();
}

}  // namespace zv
