#include "vcl/Registry.h"

#include <algorithm>
#include <vector>

#include "base/Exceptions.h"
#include "base/SysUtils.h"
#include "vcl/WideText.h"

namespace zv {

namespace {

bool IsRelative(const std::string& key) {
    return key.empty() || key[0] != '\\';
}

std::string StripLeadingBackslash(const std::string& key) {
    return IsRelative(key) ? key : key.substr(1);
}

TRegDataType DataTypeOf(DWORD type) {
    switch (type) {
        case REG_SZ: return TRegDataType::rdString;
        case REG_EXPAND_SZ: return TRegDataType::rdExpandString;
        case REG_DWORD: return TRegDataType::rdInteger;
        case REG_BINARY: return TRegDataType::rdBinary;
        default: return TRegDataType::rdUnknown;
    }
}

// Deletes every subkey of `key` below it, depth first.
void DeleteSubKeys(HKEY key) {
    for (;;) {
        // Key names are at most 255 characters.
        wchar_t name[MAX_PATH + 1];
        DWORD len = MAX_PATH + 1;
        if (RegEnumKeyExW(key, 0, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) return;
        HKEY sub = nullptr;
        if (RegOpenKeyExW(key, name, 0, KEY_ALL_ACCESS, &sub) == ERROR_SUCCESS) {
            TRegKey guard(sub);
            DeleteSubKeys(sub);
        }
        if (RegDeleteKeyW(key, name) != ERROR_SUCCESS) return;  // stop rather than loop forever
    }
}

}  // namespace

TRegistry::TRegistry() = default;
TRegistry::TRegistry(REGSAM access) : m_access(access) {}
TRegistry::~TRegistry() {
    CloseKey();
}

void TRegistry::SetRootKey(HKEY key) {
    if (key == m_rootKey) return;
    CloseKey();
    m_rootKey = key;
}

HKEY TRegistry::BaseKey(bool relative) const {
    return (!m_currentKey || !relative) ? m_rootKey : m_currentKey.Get();
}

void TRegistry::ChangeKey(HKEY key, const std::string& path) {
    CloseKey();
    m_currentKey.Reset(key);
    m_currentPath = path;
}

void TRegistry::CloseKey() {
    m_currentKey.Reset();
    m_currentPath.clear();
}

bool TRegistry::OpenKey(const std::string& key, bool canCreate) {
    const bool relative = IsRelative(key);
    std::string s = StripLeadingBackslash(key);
    HKEY temp = nullptr;
    LONG rc;
    if (!canCreate || s.empty()) {
        rc = RegOpenKeyExW(BaseKey(relative), ToWide(s).c_str(), 0, m_access, &temp);
    } else {
        DWORD disposition = 0;
        rc = RegCreateKeyExW(BaseKey(relative), ToWide(s).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                             m_access, nullptr, &temp, &disposition);
    }
    if (rc != ERROR_SUCCESS) return false;
    if (m_currentKey && relative) s = m_currentPath + '\\' + s;
    ChangeKey(temp, s);
    return true;
}

bool TRegistry::OpenKeyReadOnly(const std::string& key) {
    const REGSAM saved = m_access;
    bool ok = false;
    for (REGSAM access : {static_cast<REGSAM>(KEY_READ),
                          static_cast<REGSAM>(KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS | KEY_NOTIFY),
                          static_cast<REGSAM>(KEY_QUERY_VALUE)}) {
        m_access = access;
        if (OpenKey(key, false)) {
            ok = true;
            break;
        }
    }
    // The accessor keeps the access it succeeded with, so that later opens
    // relative to this key ask for no more than it got.
    if (!ok) m_access = saved;
    return ok;
}

bool TRegistry::CreateKey(const std::string& key) {
    const bool relative = IsRelative(key);
    const std::string s = StripLeadingBackslash(key);
    HKEY temp = nullptr;
    DWORD disposition = 0;
    const LONG rc = RegCreateKeyExW(BaseKey(relative), ToWide(s).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                    KEY_ALL_ACCESS, nullptr, &temp, &disposition);
    if (rc != ERROR_SUCCESS) throw ERegistryException(Format("Failed to create key %s", key.c_str()));
    RegCloseKey(temp);
    return true;
}

bool TRegistry::DeleteKey(const std::string& key) {
    const bool relative = IsRelative(key);
    const std::wstring s = ToWide(StripLeadingBackslash(key));
    const HKEY base = BaseKey(relative);
    HKEY temp = nullptr;
    if (RegOpenKeyExW(base, s.c_str(), 0, KEY_ALL_ACCESS, &temp) == ERROR_SUCCESS) {
        TRegKey guard(temp);
        DeleteSubKeys(temp);
    }
    return RegDeleteKeyW(base, s.c_str()) == ERROR_SUCCESS;
}

bool TRegistry::DeleteValue(const std::string& name) {
    return RegDeleteValueW(m_currentKey.Get(), ToWide(name).c_str()) == ERROR_SUCCESS;
}

bool TRegistry::KeyExists(const std::string& key) {
    bool result = false;
    // Ask for as little as possible: existence is what matters.
    const bool relative = IsRelative(key);
    const std::wstring s = ToWide(StripLeadingBackslash(key));
    HKEY temp = nullptr;
    if (RegOpenKeyExW(BaseKey(relative), s.c_str(), 0, STANDARD_RIGHTS_READ | KEY_QUERY_VALUE, &temp) ==
        ERROR_SUCCESS) {
        RegCloseKey(temp);
        result = true;
    }
    return result;
}

bool TRegistry::GetDataInfo(const std::string& name, TRegDataInfo& info) const {
    DWORD type = 0;
    DWORD size = 0;
    info = {};
    if (!m_currentKey) return false;
    if (RegQueryValueExW(m_currentKey.Get(), ToWide(name).c_str(), nullptr, &type, nullptr, &size) !=
        ERROR_SUCCESS)
        return false;
    info.RegData = DataTypeOf(type);
    info.DataSize = size;
    return true;
}

bool TRegistry::ValueExists(const std::string& name) const {
    TRegDataInfo info;
    return GetDataInfo(name, info);
}

bool TRegistry::HasSubKeys() const {
    DWORD subKeys = 0;
    if (!m_currentKey) return false;
    if (RegQueryInfoKeyW(m_currentKey.Get(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, nullptr,
                         nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return false;
    return subKeys > 0;
}

void TRegistry::GetKeyNames(TStrings& strings) const {
    strings.Clear();
    if (!m_currentKey) return;
    DWORD count = 0;
    DWORD maxLen = 0;
    if (RegQueryInfoKeyW(m_currentKey.Get(), nullptr, nullptr, nullptr, &count, &maxLen, nullptr, nullptr,
                         nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return;
    std::vector<wchar_t> buf(maxLen + 2);
    for (DWORD i = 0; i < count; ++i) {
        DWORD len = static_cast<DWORD>(buf.size());
        if (RegEnumKeyExW(m_currentKey.Get(), i, buf.data(), &len, nullptr, nullptr, nullptr, nullptr) ==
            ERROR_SUCCESS)
            strings.Add(FromWide({buf.data(), len}));
    }
}

void TRegistry::GetValueNames(TStrings& strings) const {
    strings.Clear();
    if (!m_currentKey) return;
    DWORD count = 0;
    DWORD maxLen = 0;
    if (RegQueryInfoKeyW(m_currentKey.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                         &maxLen, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return;
    std::vector<wchar_t> buf(maxLen + 2);
    for (DWORD i = 0; i < count; ++i) {
        DWORD len = static_cast<DWORD>(buf.size());
        if (RegEnumValueW(m_currentKey.Get(), i, buf.data(), &len, nullptr, nullptr, nullptr, nullptr) ==
            ERROR_SUCCESS)
            strings.Add(FromWide({buf.data(), len}));
    }
}

void TRegistry::ReadError(const std::string& name) {
    throw ERegistryException(Format(SInvalidRegType, name.c_str()));
}

std::string TRegistry::ReadString(const std::string& name) const {
    TRegDataInfo info;
    if (!GetDataInfo(name, info) || info.DataSize == 0) {
        // A missing value, or one with no data, reads as empty - whatever its
        // type, as the framework's accessor does.
        return {};
    }
    if (info.RegData != TRegDataType::rdString && info.RegData != TRegDataType::rdExpandString)
        ReadError(name);
    // The size is in bytes; a text stored with an odd count has a half unit
    // at its end, which is dropped.
    std::vector<wchar_t> buf(info.DataSize / sizeof(wchar_t) + 2, L'\0');
    DWORD type = 0;
    DWORD size = static_cast<DWORD>((buf.size() - 1) * sizeof(wchar_t));
    if (RegQueryValueExW(m_currentKey.Get(), ToWide(name).c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(buf.data()), &size) != ERROR_SUCCESS)
        throw ERegistryException(Format("Failed to get data for '%s'", name.c_str()));
    if (type != REG_SZ && type != REG_EXPAND_SZ) ReadError(name);
    // The stored text may or may not carry its terminating zero.
    std::wstring_view s(buf.data(), std::min<size_t>(size / sizeof(wchar_t), buf.size()));
    const auto nul = s.find(L'\0');
    if (nul != std::wstring_view::npos) s = s.substr(0, nul);
    return FromWide(s);
}

int TRegistry::ReadInteger(const std::string& name) const {
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    const LONG rc = m_currentKey ? RegQueryValueExW(m_currentKey.Get(), ToWide(name).c_str(), nullptr, &type,
                                                    reinterpret_cast<BYTE*>(&value), &size)
                                 : ERROR_INVALID_HANDLE;
    if (rc == ERROR_MORE_DATA || (rc == ERROR_SUCCESS && type != REG_DWORD)) ReadError(name);
    if (rc != ERROR_SUCCESS) throw ERegistryException(Format("Failed to get data for '%s'", name.c_str()));
    return static_cast<int>(value);
}

void TRegistry::PutString(const std::string& name, const std::string& value, DWORD type) {
    const std::wstring text = ToWide(value);
    const LONG rc = m_currentKey ? RegSetValueExW(m_currentKey.Get(), ToWide(name).c_str(), 0, type,
                                                  reinterpret_cast<const BYTE*>(text.c_str()),
                                                  static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)))
                                 : ERROR_INVALID_HANDLE;
    if (rc != ERROR_SUCCESS) throw ERegistryException(Format("Failed to set data for '%s'", name.c_str()));
}

void TRegistry::WriteString(const std::string& name, const std::string& value) {
    PutString(name, value, REG_SZ);
}

void TRegistry::WriteExpandString(const std::string& name, const std::string& value) {
    PutString(name, value, REG_EXPAND_SZ);
}

void TRegistry::WriteInteger(const std::string& name, int value) {
    const auto v = static_cast<DWORD>(value);
    const LONG rc = m_currentKey ? RegSetValueExW(m_currentKey.Get(), ToWide(name).c_str(), 0, REG_DWORD,
                                                  reinterpret_cast<const BYTE*>(&v), sizeof v)
                                 : ERROR_INVALID_HANDLE;
    if (rc != ERROR_SUCCESS) throw ERegistryException(Format("Failed to set data for '%s'", name.c_str()));
}

}  // namespace zv
