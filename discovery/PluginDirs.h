// Plug-in directory discovery: where the installed browsers keep their
// plug-ins, read from the registry.
//
//   GetIEPluginDir          Internet Explorer's "Plugins" directory (created when missing)
//   GetIEProgramDir         directory of the registered Internet Explorer program
//   GetLongPathForm         a path with every existing component spelled as stored on disk
//   GetOperaPluginDir       Opera's plug-in directory (not tested for existence)
//   GetNetscapePluginDirs   the five Netscape sources, in order, appended to a list
//   GetMozillaPluginDirs    installed Mozilla versions, appended to a list
//   GetFirefoxPluginDirs    installed Mozilla Firefox versions, appended to a list
//   AddDirIfNew             appends unless an entry is equal under ASCII upper case
//   plugindirs::            the join, existence and create-with-parents helpers
//
// A registry value of a non-string type ends only the source that read it
// (one browser, or one of the five Netscape sources); the others still run.
// With a problem list, each such value adds one line to it that names the
// value and its key ("Invalid data type for 'Path' in
// HKEY_LOCAL_MACHINE\SOFTWARE\...\Opera.exe"), and nothing is raised.
// Without one, the first problem is raised as ERegistryException ("Invalid
// data type for '<name>'") once every source has run. Entries appended by
// the sources stay either way. Paths stored as REG_EXPAND_SZ are expanded.
//
// Paths are UTF-8 and reach the registry and the file system through their
// wide functions: a directory whose name the machine's ANSI code page cannot
// spell is found like any other.
#pragma once

#include <string>

#include "base/Strings.h"

namespace zv {

[[nodiscard]] std::string GetIEPluginDir(TStrings* problems = nullptr);
[[nodiscard]] std::string GetIEProgramDir(TStrings* problems = nullptr);
[[nodiscard]] std::string GetLongPathForm(const std::string& path);
[[nodiscard]] std::string GetOperaPluginDir(TStrings* problems = nullptr);
void GetNetscapePluginDirs(TStrings& list, TStrings* problems = nullptr);
void GetMozillaPluginDirs(TStrings& list, TStrings* problems = nullptr);
void GetFirefoxPluginDirs(TStrings& list, TStrings* problems = nullptr);

// Appends path in its own spelling unless an entry of list equals it with
// the letters a-z compared regardless of case (all other bytes as they are).
void AddDirIfNew(TStrings& list, const std::string& path);

namespace plugindirs {

// value (non-empty) + "\" unless it already ends with "/" or "\" + suffix.
[[nodiscard]] std::string JoinDir(const std::string& value, const std::string& suffix);
// True when path names an existing directory.
[[nodiscard]] bool DirExists(const std::string& path);
// Creates dir and every missing parent; true when dir exists afterwards.
bool ForceDirectories(const std::string& dir);

}  // namespace plugindirs

}  // namespace zv
