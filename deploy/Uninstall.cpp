// Index: the state of a value; ownership tests; the registry step; the
// control's unregistration; the files; the record and the kept copy.
#include "deploy/Uninstall.h"

#include <windows.h>

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "base/SysUtils.h"
#include "deploy/ActiveXRegistration.h"
#include "deploy/DeployObserver.h"
#include "deploy/FileHelpers.h"
#include "vcl/WideText.h"

namespace zv {

namespace {

bool Same(const std::string& a, const std::string& b) {
    return AnsiSameText(a, b);
}

// key lies within `outer` (or is it).
bool Within(const std::string& key, const std::string& outer) {
    if (key.size() < outer.size() || !Same(key.substr(0, outer.size()), outer)) return false;
    return key.size() == outer.size() || key[outer.size()] == '\\';
}

std::string Parent(const std::string& key) {
    const std::size_t slash = key.rfind('\\');
    return slash == std::string::npos ? std::string() : key.substr(0, slash);
}

// Keys, names and texts are UTF-8 here and go to the registry through its
// wide functions, as the install wrote them: a path in any script compares
// equal to what the install recorded.
bool KeyExists(HKEY root, const std::string& key) {
    HKEY k = nullptr;
    if (RegOpenKeyExW(root, ToWide(key).c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
    RegCloseKey(k);
    return true;
}

// The state of a value as the install saw it: nullopt when absent. A value
// that is not a string counts as a state the install never wrote.
struct TValueState {
    bool isString = true;
    std::optional<std::string> text;
};

TValueState ReadState(HKEY root, const std::string& key, const std::string& name) {
    HKEY k = nullptr;
    if (RegOpenKeyExW(root, ToWide(key).c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return {};
    const std::wstring wideName = ToWide(name);
    DWORD type = 0;
    DWORD size = 0;
    TValueState state;
    if (RegQueryValueExW(k, wideName.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
        if (type != REG_SZ && type != REG_EXPAND_SZ) {
            state.isString = false;
        } else {
            // The size is in bytes; an odd one leaves a half unit, dropped.
            std::wstring data(size / sizeof(wchar_t) + 1, L'\0');
            DWORD got = static_cast<DWORD>(data.size() * sizeof(wchar_t));
            if (RegQueryValueExW(k, wideName.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()),
                                 &got) == ERROR_SUCCESS) {
                data.resize(std::min<std::size_t>(got / sizeof(wchar_t), data.size()));
                state.text = FromWide(data.substr(0, data.find(L'\0')));
            }
        }
    }
    RegCloseKey(k);
    return state;
}

bool Holds(HKEY root, const TRecordedValue& v) {
    const TValueState now = ReadState(root, v.key, v.name);
    return now.isString && now.text == v.after;
}

bool SetState(HKEY root, const std::string& key, const std::string& name,
              const std::optional<std::string>& text) {
    HKEY k = nullptr;
    if (RegOpenKeyExW(root, ToWide(key).c_str(), 0, KEY_SET_VALUE, &k) != ERROR_SUCCESS) return false;
    LONG rc;
    if (text) {
        const std::wstring wide = ToWide(*text);
        rc = RegSetValueExW(k, ToWide(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()),
                            static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
    } else {
        rc = RegDeleteValueW(k, ToWide(name).c_str());
        if (rc == ERROR_FILE_NOT_FOUND) rc = ERROR_SUCCESS;
    }
    RegCloseKey(k);
    return rc == ERROR_SUCCESS;
}

// Deletes key with everything below it; true when it is gone.
bool DeleteTree(HKEY root, const std::string& key) {
    HKEY k = nullptr;
    const std::wstring wideKey = ToWide(key);
    if (RegOpenKeyExW(root, wideKey.c_str(), 0, KEY_ALL_ACCESS, &k) == ERROR_SUCCESS) {
        for (;;) {
            wchar_t name[MAX_PATH + 1];
            DWORD len = MAX_PATH + 1;
            if (RegEnumKeyExW(k, 0, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
            if (!DeleteTree(k, FromWide({name, len}))) break;
        }
        RegCloseKey(k);
    }
    const LONG rc = RegDeleteKeyW(root, wideKey.c_str());
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

bool Exists(const std::string& path) {
    return GetFileAttributesW(ToWide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string Quoted(const std::optional<std::string>& text) {
    return text ? "\"" + *text + "\"" : std::string("(none)");
}

class TUninstaller {
public:
    TUninstaller(const TInstallRecord& record, const TUninstallNote& note) : m_record(record), m_note(note) {}

    TUninstallResult Run() {
        RemoveKeys();
        RestoreValues();
        Unregister();
        RemoveFiles();
        if (m_result.failures.empty()) {
            FinishRecord();
        } else {
            m_result.remaining.installerCopy = m_record.installerCopy;
            if (!m_result.remaining.Save()) Fail("The record of what is left could not be written.");
        }
        return m_result;
    }

private:
    void Note(const std::string& line) {
        if (m_note) m_note(line);
    }
    void Fail(const std::string& line) {
        m_result.failures.push_back(line);
        Note(line);
    }

    [[nodiscard]] bool IsRecordedFile(const std::string& path) const {
        return std::any_of(m_record.files.begin(), m_record.files.end(),
                           [&](const TRecordedFile& f) { return Same(f.path, path); });
    }

    // The control's class belongs to this product while it names one of the
    // files this install put in place, or nothing.
    [[nodiscard]] bool ClassIsOurs(std::string& registered) const {
        registered = GetInprocServerPath(ActiveXClassId);
        return registered.empty() || IsRecordedFile(registered);
    }

    [[nodiscard]] bool InsideCreatedKey(const TRecordedValue& v) const {
        return std::any_of(m_record.keys.begin(), m_record.keys.end(), [&](const TRecordedKey& k) {
            return k.root == v.root && Within(v.key, k.outermost);
        });
    }

    // Nothing but recorded values left in the key, and no subkeys.
    [[nodiscard]] bool OnlyOursLeft(HKEY root, const std::string& rootName, const std::string& key) const {
        HKEY k = nullptr;
        if (RegOpenKeyExW(root, ToWide(key).c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
        DWORD subKeys = 1;
        bool ours = RegQueryInfoKeyW(k, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, nullptr,
                                     nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
                    subKeys == 0;
        for (DWORD i = 0; ours; ++i) {
            std::vector<wchar_t> buffer(16384);
            auto len = static_cast<DWORD>(buffer.size());
            if (RegEnumValueW(k, i, buffer.data(), &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            const std::string name = FromWide({buffer.data(), len});
            ours = std::any_of(m_record.values.begin(), m_record.values.end(), [&](const TRecordedValue& v) {
                return v.root == rootName && Same(v.key, key) && Same(v.name, name);
            });
        }
        RegCloseKey(k);
        return ours;
    }

    void RemoveKeys() {
        // The keys themselves first, then the parents the install created
        // along with them, deepest first: whichever record made a parent,
        // it goes once nothing but what the install wrote is left in it.
        std::vector<std::pair<HKEY, TRecordedKey>> parents;
        for (const TRecordedKey& k : m_record.keys) {
            const HKEY root = RootKeyOf(k.root);
            const std::string shown = k.root + "\\" + k.key;
            if (!root || !Within(k.key, k.outermost)) continue;
            if (!KeyExists(root, k.key)) {
                Note("Registry key " + shown + " is already gone.");
            } else if (!MayRemove(root, k)) {
                continue;
            } else if (!DeleteTree(root, k.key)) {
                Fail("Registry key " + shown + " could not be removed.");
                m_result.remaining.AddKey(k.root, k.key, k.outermost);
                continue;
            } else {
                Note("Removed registry key " + shown + ".");
            }
            for (std::string key = Parent(k.key); !key.empty() && Within(key, k.outermost); key = Parent(key))
                parents.push_back({root, {k.root, key, k.outermost}});
        }
        std::stable_sort(parents.begin(), parents.end(), [](const auto& a, const auto& b) {
            return std::count(a.second.key.begin(), a.second.key.end(), '\\') >
                   std::count(b.second.key.begin(), b.second.key.end(), '\\');
        });
        for (const auto& [root, p] : parents) {
            if (!KeyExists(root, p.key) || !OnlyOursLeft(root, p.root, p.key)) continue;
            if (DeleteTree(root, p.key)) Note("Removed registry key " + p.root + "\\" + p.key + ".");
        }
    }

    // The key still holds what the install wrote, and the control's class
    // is still this product's.
    bool MayRemove(HKEY root, const TRecordedKey& k) {
        const std::string shown = k.root + "\\" + k.key;
        std::string registered;
        if (root == HKEY_CLASSES_ROOT && Within(k.key, std::string("CLSID\\") + ActiveXClassId) &&
            !ClassIsOurs(registered)) {
            Note("Registry key " + shown + " left alone: the control is now registered as " + registered +
                 ".");
            return false;
        }
        // Values of keys that are gone (removed with another record)
        // contradict nothing.
        const auto changed = std::find_if(m_record.values.begin(), m_record.values.end(), [&](const auto& v) {
            return v.root == k.root && Within(v.key, k.outermost) && KeyExists(root, v.key) &&
                   !Holds(root, v);
        });
        if (changed == m_record.values.end()) return true;
        Note("Registry key " + shown + " left alone: " + changed->root + "\\" + changed->key + " \"" +
             changed->name + "\" no longer holds what the install wrote.");
        return false;
    }

    void RestoreValues() {
        for (const TRecordedValue& v : m_record.values) {
            if (InsideCreatedKey(v)) continue;  // went, or stayed, with its key
            const HKEY root = RootKeyOf(v.root);
            const std::string shown = v.root + "\\" + v.key + " \"" + v.name + "\"";
            if (!root || !KeyExists(root, v.key)) continue;
            if (!Holds(root, v)) {
                Note("Registry value " + shown + " left alone: it no longer holds what the install wrote.");
                continue;
            }
            if (!SetState(root, v.key, v.name, v.before)) {
                Fail("Registry value " + shown + " could not be put back to " + Quoted(v.before) + ".");
                m_result.remaining.values.push_back(v);
                continue;
            }
            Note("Put registry value " + shown + " back to " + Quoted(v.before) + ".");
        }
    }

    void Unregister() {
        for (const TRecordedFile& f : m_record.files) {
            if (!Same(ExtractFileName(f.path), ActiveXFileName)) continue;
            if (!Exists(f.path) || GetFileVersionString(f.path, "ProductVersion") != f.version)
                continue;                                                      // the file step says why
            if (!Same(GetInprocServerPath(ActiveXClassId), f.path)) continue;  // not registered as ours
            if (UnregisterServerSilently(f.path)) {
                Note("Unregistered the control " + f.path + ".");
            } else {
                Fail("The control " + f.path + " could not be unregistered (regsvr32 /u).");
                m_unregisterFailed.push_back(f.path);
            }
        }
    }

    void RemoveFiles() {
        for (const TRecordedFile& f : m_record.files) {
            if (!Exists(f.path)) {
                Note("File " + f.path + " is already gone.");
                continue;
            }
            const std::string version = GetFileVersionString(f.path, "ProductVersion");
            if (version != f.version) {
                Note("File " + f.path + " left alone: its version is " + version + ", not " + f.version +
                     ".");
                continue;
            }
            if (std::any_of(m_unregisterFailed.begin(), m_unregisterFailed.end(),
                            [&](const std::string& p) { return Same(p, f.path); })) {
                // Still registered: removing it would leave a registration
                // that names no file.
                m_result.remaining.AddFile(f.path, f.version);
                continue;
            }
            ClearReadOnlyHidden(f.path);
            if (DeleteFileW(ToWide(f.path).c_str())) {
                Note("Removed " + f.path + ".");
            } else if (MoveFileExW(ToWide(f.path).c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) {
                m_result.scheduled.push_back(f.path);
                Note(f.path + " is in use: it will be removed when Windows restarts.");
            } else {
                Fail("File " + f.path + " could not be removed.");
                m_result.remaining.AddFile(f.path, f.version);
            }
        }
    }

    void FinishRecord() {
        if (!RemoveUninstallEntry()) Fail("The \"Add or remove programs\" entry could not be removed.");
        const std::string& copy = m_record.installerCopy;
        if (!copy.empty() && Exists(copy)) {
            const std::string folder = ExcludeTrailingBackslash(ExtractFilePath(copy));
            if (DeleteFileW(ToWide(copy).c_str())) {
                Note("Removed the kept copy of the installer " + copy + ".");
                if (RemoveDirectoryW(ToWide(folder).c_str())) Note("Removed the folder " + folder + ".");
            } else if (MoveFileExW(ToWide(copy).c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) {
                // The running program is that copy (started from "Add or
                // remove programs"); its folder follows it at restart.
                MoveFileExW(ToWide(folder).c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
                Note("The kept copy of the installer " + copy +
                     " is running: it and its folder will be removed "
                     "when Windows restarts.");
            } else {
                Fail("The kept copy of the installer " + copy + " could not be removed.");
            }
        }
        if (!m_result.failures.empty()) {
            m_result.remaining.installerCopy = copy;
            if (!m_result.remaining.Save()) Fail("The record of what is left could not be written.");
            return;
        }
        if (TInstallRecord::Erase())
            Note("Removed the record of the installation.");
        else
            Fail("The record of the installation could not be removed.");
    }

    const TInstallRecord& m_record;
    const TUninstallNote& m_note;
    TUninstallResult m_result;
    std::vector<std::string> m_unregisterFailed;
};

}  // namespace

TUninstallResult Uninstall(const TInstallRecord& record, const TUninstallNote& note) {
    return TUninstaller(record, note).Run();
}

}  // namespace zv
