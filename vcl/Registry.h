// The registry accessor: a root key, one current key, and paths opened
// relative to the current key (or to the root when they start with "\").
//
// Reads of a value of the wrong type raise ERegistryException
// "Invalid data type for '<name>'"; a missing value reads as empty / fails
// quietly as the framework's accessor does. Writes that the system refuses
// raise ERegistryException. The current key is closed by CloseKey, by opening
// another key and by the destructor.
//
// Key names, value names and texts are UTF-8 and go through the system's
// wide functions, so a path that the ANSI code page cannot spell reads and
// writes as it is stored.
#pragma once

#include <windows.h>

#include <string>

#include "base/Object.h"
#include "base/Strings.h"
#include "vcl/Win32Handles.h"

namespace zv {

enum class TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

struct TRegDataInfo {
    TRegDataType RegData = TRegDataType::rdUnknown;
    DWORD DataSize = 0;
};

class TRegistry : public TObject {
public:
    TRegistry();
    explicit TRegistry(REGSAM access);
    ~TRegistry() override;

    [[nodiscard]] HKEY RootKey() const { return m_rootKey; }
    void SetRootKey(HKEY key);
    [[nodiscard]] HKEY CurrentKey() const { return m_currentKey.Get(); }
    [[nodiscard]] const std::string& CurrentPath() const { return m_currentPath; }
    [[nodiscard]] REGSAM Access() const { return m_access; }
    void SetAccess(REGSAM access) { m_access = access; }

    // Opens key (relative unless it starts with "\"); with canCreate the key
    // is created when missing. Returns false when the system refuses.
    bool OpenKey(const std::string& key, bool canCreate);
    bool OpenKeyReadOnly(const std::string& key);
    void CloseKey();

    // Creates key (relative as above) without opening it; raises
    // ERegistryException "Failed to create key <key>" when refused.
    bool CreateKey(const std::string& key);
    // Deletes key and all its subkeys; false when it could not be deleted.
    bool DeleteKey(const std::string& key);
    bool DeleteValue(const std::string& name);
    [[nodiscard]] bool KeyExists(const std::string& key);
    [[nodiscard]] bool ValueExists(const std::string& name) const;
    [[nodiscard]] bool HasSubKeys() const;
    bool GetDataInfo(const std::string& name, TRegDataInfo& info) const;

    void GetKeyNames(TStrings& strings) const;
    void GetValueNames(TStrings& strings) const;

    [[nodiscard]] std::string ReadString(const std::string& name) const;
    [[nodiscard]] int ReadInteger(const std::string& name) const;
    void WriteString(const std::string& name, const std::string& value);
    void WriteExpandString(const std::string& name, const std::string& value);
    void WriteInteger(const std::string& name, int value);

private:
    [[nodiscard]] HKEY BaseKey(bool relative) const;
    void ChangeKey(HKEY key, const std::string& path);
    void PutString(const std::string& name, const std::string& value, DWORD type);
    [[noreturn]] static void ReadError(const std::string& name);

    HKEY m_rootKey = HKEY_CURRENT_USER;
    TRegKey m_currentKey;
    std::string m_currentPath;
    REGSAM m_access = KEY_ALL_ACCESS;
};

}  // namespace zv
