// File, version and path helpers that the deployment and the ActiveX
// registration share. None shows anything to the user; each answers an empty
// string or "n/a" when it finds nothing, unless stated otherwise.
//
//   MakeDllSearchSafe       restrict the process's DLL search to the system directory
//   SystemDirectory         the system directory, without a trailing backslash
//   LoadSystemLibrary       load a system DLL from the system directory only
//   GetModuleDir            directory of a loaded module, ending in "\"
//   GetProgramDir           directory of the program module
//   GetFileVersionString    a version-resource text, "," -> "." and blanks removed
//   ClearReadOnlyHidden     clear the bits that stop a file from being overwritten
//   RegisterServerSilently  run regsvr32 /s on a file, wait for its end, check its outcome
//   UnregisterServerSilently  the same with /u
//   GetInprocServerPath     the registered server file of a COM class
//   GetDefaultBrowserPath   the program of the default web browser
// VersionToNumber lives in deploy/VersionNumber.h (portable).
//
// Paths are UTF-8 and go to the system's wide functions, whatever the
// machine's ANSI code page can spell.
#pragma once

#include <windows.h>

#include <string>

#include "deploy/VersionNumber.h"

namespace zv {

// Called first thing at program start. Where the system knows
// SetDefaultDllDirectories (looked up at run time), DLLs loaded by name come
// from the system directory only, so that a DLL planted next to the
// installer (a downloads folder) is never picked up. True when that
// restriction is in force; on older systems the current directory is at
// least taken out of the search (SetDllDirectory("")) and the answer is false.
bool MakeDllSearchSafe();

std::string SystemDirectory();

// Loads `name` (a bare file name such as "version.dll") from the system
// directory and nowhere else: LOAD_LIBRARY_SEARCH_SYSTEM32 where the system
// supports it, otherwise the full path in the system directory. nullptr when
// it cannot be loaded; the caller frees the module.
HMODULE LoadSystemLibrary(const std::string& name);

// Directory of a loaded module (nullptr: the program), ending in "\"; the
// whole module path is read, however long it is. Empty when the system
// cannot name the module.
std::string GetModuleDir(HMODULE module);
std::string GetProgramDir();

// "n/a" when the file is missing, has no version information or lacks the
// value; never raises.
std::string GetFileVersionString(const std::string& file, const std::string& name);

// Missing files and refused changes are ignored.
void ClearReadOnlyHidden(const std::string& file);

// Runs "<system directory>\regsvr32.exe" with " /s "<file>"" and waits for
// it to end (at most RegistrationToolTimeoutMs, the windows kept painted:
// RunToolAndWait). True only when the tool ended with exit code 0; a tool
// that cannot be started, fails or does not end in time is a failed
// registration. The run is told to the deployment's observer.
bool RegisterServerSilently(const std::string& file);
// The same with " /u /s "<file>"": the control takes its registration away.
bool UnregisterServerSilently(const std::string& file);

// HKEY_CLASSES_ROOT\CLSID\<clsid>\InprocServer32 default value, trimmed;
// empty when anything is missing. clsid is given in braces.
std::string GetInprocServerPath(const std::string& clsid);

// The program of HKEY_CLASSES_ROOT\http\shell\open\command: the command line
// without its first character (the opening quote), up to the next double
// quote. Empty when nothing is registered. A default value that is not a
// string raises ERegistryException.
std::string GetDefaultBrowserPath();

}  // namespace zv
