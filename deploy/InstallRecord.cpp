// Index: merging rules; the record in the registry (Load, Save, Erase); the
// "Add or remove programs" entry; the kept copy of the installer.
#include "deploy/InstallRecord.h"

#include <shlobj.h>
#include <windows.h>

#include <algorithm>

#include "ProductVersion.h"
#include "base/Strings.h"
#include "base/SysUtils.h"
#include "vcl/Registry.h"
#include "vcl/WideText.h"

namespace zv {

namespace {

const std::string kProduct = std::string("\\") + ProductKey;

bool SameKey(const std::string& a, const std::string& b) {
    return AnsiSameText(a, b);
}

// A string value of the current key; nullopt when absent or not a string.
std::optional<std::string> ReadOptional(const TRegistry& reg, const std::string& name) {
    if (!reg.ValueExists(name)) return std::nullopt;
    try {
        return reg.ReadString(name);
    } catch (...) {
        return std::nullopt;
    }
}

std::string ProgramPath() {
    std::wstring buf(MAX_PATH + 1, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n == 0) return {};
        if (n < buf.size()) return FromWide(std::wstring_view(buf).substr(0, n));
        if (buf.size() > 32768) return {};
        buf.resize(buf.size() * 2);
    }
}

void MakeDirectories(const std::string& path) {
    for (std::size_t i = 0; i <= path.size(); ++i)
        if (i == path.size() || (path[i] == '\\' && i > 0 && path[i - 1] != ':'))
            CreateDirectoryW(ToWide(path.substr(0, i)).c_str(), nullptr);
}

}  // namespace

void TInstallRecord::AddFile(const std::string& path, const std::string& version) {
    const auto known =
        std::find_if(files.begin(), files.end(), [&](const auto& f) { return SameKey(f.path, path); });
    if (known != files.end())
        known->version = version;
    else
        files.push_back({path, version});
}

void TInstallRecord::AddKey(const std::string& root, const std::string& key, const std::string& outermost) {
    if (std::none_of(keys.begin(), keys.end(),
                     [&](const auto& k) { return k.root == root && SameKey(k.key, key); }))
        keys.push_back({root, key, outermost});
}

void TInstallRecord::AddValue(const std::string& root, const std::string& key, const std::string& name,
                              const std::optional<std::string>& before,
                              const std::optional<std::string>& after) {
    for (auto it = values.begin(); it != values.end(); ++it) {
        if (it->root != root || !SameKey(it->key, key) || !SameKey(it->name, name)) continue;
        it->after = after;
        if (it->before == it->after) values.erase(it);
        return;
    }
    if (before != after) values.push_back({root, key, name, before, after});
}

void TInstallRecord::Merge(const TInstallRecord& later) {
    for (const auto& f : later.files) AddFile(f.path, f.version);
    for (const auto& k : later.keys) AddKey(k.root, k.key, k.outermost);
    for (const auto& v : later.values) AddValue(v.root, v.key, v.name, v.before, v.after);
    if (!later.installerCopy.empty()) installerCopy = later.installerCopy;
}

bool TInstallRecord::Load(TInstallRecord& record) {
    record = TInstallRecord();
    TRegistry reg(KEY_READ);
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    if (!reg.OpenKeyReadOnly(kProduct)) return false;
    record.installerCopy = ReadOptional(reg, "InstallerCopy").value_or("");

    TStringList names;
    if (reg.OpenKeyReadOnly(kProduct + "\\Files")) {
        reg.GetValueNames(names);
        for (int i = 0; i < names.Count(); ++i)
            if (const auto version = ReadOptional(reg, names[i]))
                record.files.push_back({names[i], *version});
    }
    if (reg.OpenKeyReadOnly(kProduct + "\\Keys")) {
        reg.GetValueNames(names);
        for (int i = 0; i < names.Count(); ++i) {
            const std::string& name = names[i];
            const std::size_t split = name.find('\\');
            const auto outermost = ReadOptional(reg, name);
            if (split == std::string::npos || !outermost) continue;
            record.keys.push_back({name.substr(0, split), name.substr(split + 1), *outermost});
        }
    }
    if (reg.OpenKeyReadOnly(kProduct + "\\Values")) {
        reg.GetKeyNames(names);
        names.Sort();  // numbered in the order they were recorded
        for (int i = 0; i < names.Count(); ++i) {
            if (!reg.OpenKeyReadOnly(kProduct + "\\Values\\" + names[i])) continue;
            const auto root = ReadOptional(reg, "Root");
            const auto key = ReadOptional(reg, "Key");
            const auto name = ReadOptional(reg, "Name");
            if (!root || !key || !name) continue;
            record.values.push_back(
                {*root, *key, *name, ReadOptional(reg, "Before"), ReadOptional(reg, "After")});
        }
    }
    return true;
}

bool TInstallRecord::Save() const {
    try {
        TRegistry reg(KEY_ALL_ACCESS);
        reg.SetRootKey(HKEY_LOCAL_MACHINE);
        for (const char* part : {"\\Files", "\\Keys", "\\Values"}) reg.DeleteKey(kProduct + part);
        if (!reg.OpenKey(kProduct, true)) return false;
        reg.WriteString("Version", ZV_PRODUCT_VERSION_STRING);
        reg.WriteString("InstallerCopy", installerCopy);

        if (!reg.OpenKey(kProduct + "\\Files", true)) return false;
        for (const auto& f : files) reg.WriteString(f.path, f.version);
        if (!reg.OpenKey(kProduct + "\\Keys", true)) return false;
        for (const auto& k : keys) reg.WriteString(k.root + "\\" + k.key, k.outermost);
        if (!reg.OpenKey(kProduct + "\\Values", true)) return false;
        for (std::size_t i = 0; i < values.size(); ++i) {
            const TRecordedValue& v = values[i];
            if (!reg.OpenKey(kProduct + Format("\\Values\\%04u", static_cast<unsigned>(i + 1)), true))
                return false;
            reg.WriteString("Root", v.root);
            reg.WriteString("Key", v.key);
            reg.WriteString("Name", v.name);
            if (v.before) reg.WriteString("Before", *v.before);
            if (v.after) reg.WriteString("After", *v.after);
        }
        return true;
    } catch (...) {
        return false;
    }
}

bool TInstallRecord::Erase() {
    TRegistry reg(KEY_ALL_ACCESS);
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    reg.DeleteKey(kProduct);
    // The vendor's key goes too, unless something else lives in it.
    HKEY vendor = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Zorvane", 0, KEY_READ, &vendor) == ERROR_SUCCESS) {
        DWORD subKeys = 1;
        DWORD values = 1;
        RegQueryInfoKeyA(vendor, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values, nullptr,
                         nullptr, nullptr, nullptr);
        RegCloseKey(vendor);
        if (subKeys == 0 && values == 0) RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Zorvane");
    }
    return !reg.KeyExists(kProduct);
}

bool WriteUninstallEntry(const std::string& copy) {
    try {
        TRegistry reg(KEY_ALL_ACCESS);
        reg.SetRootKey(HKEY_LOCAL_MACHINE);
        if (!reg.OpenKey(std::string("\\") + UninstallEntryKey, true)) return false;
        const std::string quoted = "\"" + copy + "\"";
        reg.WriteString("DisplayName", ProductName);
        reg.WriteString("DisplayVersion", ZV_PRODUCT_VERSION_STRING);
        reg.WriteString("Publisher", ProductPublisher);
        reg.WriteString("DisplayIcon", copy + ",0");
        reg.WriteString("InstallLocation", ExcludeTrailingBackslash(ExtractFilePath(copy)));
        reg.WriteString("UninstallString", quoted + " /UNINSTALL");
        reg.WriteString("QuietUninstallString", quoted + " /UNINSTALL /VERYSILENT");
        reg.WriteInteger("NoModify", 1);
        reg.WriteInteger("NoRepair", 1);
        return true;
    } catch (...) {
        return false;
    }
}

bool RemoveUninstallEntry() {
    TRegistry reg(KEY_ALL_ACCESS);
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    const std::string key = std::string("\\") + UninstallEntryKey;
    reg.DeleteKey(key);
    return !reg.KeyExists(key);
}

std::string KeepInstallerCopy(const std::string& folder) {
    const std::string self = ProgramPath();
    if (self.empty() || folder.empty()) return {};
    const std::string copy = IncludeTrailingBackslash(folder) + InstallerCopyName;
    if (AnsiSameText(self, copy)) return copy;
    MakeDirectories(ExcludeTrailingBackslash(folder));
    if (!CopyFileW(ToWide(self).c_str(), ToWide(copy).c_str(), FALSE)) return {};
    return copy;
}

std::string DefaultInstallFolder() {
    wchar_t buf[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, buf)) || !buf[0])
        return {};
    return IncludeTrailingBackslash(FromWide(buf)) + ProductName;
}

}  // namespace zv
