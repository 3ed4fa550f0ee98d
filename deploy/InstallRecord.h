// What an install put where, kept in the registry so that /UNINSTALL can take
// back exactly that; the "Add or remove programs" entry; the kept copy of the
// installer that the entry runs.
//
// The record lives under the product's own key, in the program's view of
// HKEY_LOCAL_MACHINE (on 64-bit Windows the 32-bit program's is Wow6432Node):
//
//   SOFTWARE\Zorvane\Player
//     Version         the product version that wrote the record last
//     InstallerCopy   the kept copy of the installer (empty: none)
//     Files\          one value per payload file: name = its path, data = its version
//     Keys\           one value per created key: name = "HKCR\<key>", data = the
//                     outermost key of its path that the install created
//     Values\<n>\     one key per changed string value: Root, Key, Name, and
//                     Before / After (each missing when the value was absent)
//
//   TInstallRecord        the record in memory; merging; Load / Save / Erase
//   WriteUninstallEntry   SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Zorvane Player
//   KeepInstallerCopy     the running program copied into a folder of its own
//   DefaultInstallFolder  <Program Files>\Zorvane Player
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zv {

inline constexpr const char* ProductName = "Zorvane Player";
inline constexpr const char* ProductPublisher = "Zorvane";
inline constexpr const char* ProductKey = "SOFTWARE\\Zorvane\\Player";
inline constexpr const char* UninstallEntryKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Zorvane Player";
inline constexpr const char* InstallerCopyName = "ZorvaneSetup.exe";

struct TRecordedFile {
    std::string path;
    std::string version;
};

struct TRecordedKey {
    std::string root;       // "HKCR", "HKLM"
    std::string key;        // the key the install asked for, no leading "\"
    std::string outermost;  // the first key of its path that did not exist
};

struct TRecordedValue {
    std::string root;
    std::string key;
    std::string name;
    std::optional<std::string> before;  // nullopt: the value was absent
    std::optional<std::string> after;
};

class TInstallRecord {
public:
    std::vector<TRecordedFile> files;
    std::vector<TRecordedKey> keys;
    std::vector<TRecordedValue> values;
    std::string installerCopy;

    // A file recorded again (same path, any case) takes the later version.
    void AddFile(const std::string& path, const std::string& version);
    void AddKey(const std::string& root, const std::string& key, const std::string& outermost);
    // A value changed again keeps its first "before" and takes the later
    // "after"; a change back to its first state drops the entry.
    void AddValue(const std::string& root, const std::string& key, const std::string& name,
                  const std::optional<std::string>& before, const std::optional<std::string>& after);
    // What `later` recorded, added to this record by the rules above.
    void Merge(const TInstallRecord& later);
    [[nodiscard]] bool Empty() const { return files.empty() && keys.empty() && values.empty(); }

    // The stored record; false when there is none (nothing installed).
    // Entries that cannot be read are left out.
    static bool Load(TInstallRecord& record);
    // Replaces the stored record with this one; false when the registry
    // refuses.
    [[nodiscard]] bool Save() const;
    // Removes the stored record, and "SOFTWARE\Zorvane" when nothing else is
    // in it; true when no record is left.
    static bool Erase();
};

// The "Add or remove programs" entry: name, version, publisher, and the
// uninstall commands running `copy` with /UNINSTALL. False when refused.
bool WriteUninstallEntry(const std::string& copy);
// True when no entry is left.
bool RemoveUninstallEntry();

// Copies the running program into `folder` (created when missing) as
// ZorvaneSetup.exe and returns the copy's path; empty when it cannot be made.
// A program that already runs from there is its own copy.
std::string KeepInstallerCopy(const std::string& folder);
// "<Program Files>\Zorvane Player"; empty when the system names no Program
// Files.
std::string DefaultInstallFolder();

}  // namespace zv
