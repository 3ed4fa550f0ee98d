#include "deploy/ActiveXRegistration.h"

#include <windows.h>

#include <initializer_list>
#include <string_view>

#include "base/Exceptions.h"
#include "deploy/FileHelpers.h"
#include "vcl/Registry.h"

namespace zv {

bool RemoveOldIEPluginKeys() {
    try {
        TRegistry reg(KEY_ALL_ACCESS);
        reg.SetRootKey(HKEY_CLASSES_ROOT);
        reg.DeleteKey("\\CLSID\\{06DD38D3-D187-11CF-A80D-00C04FD74AD8}\\EnableFullPage\\.ZRVN");
        reg.SetRootKey(HKEY_LOCAL_MACHINE);
        reg.DeleteKey("\\SOFTWARE\\Microsoft\\Internet Explorer\\Plugins\\MIME\\application/x-Zorvane");
        reg.DeleteKey("\\SOFTWARE\\Microsoft\\Internet Explorer\\Plugins\\Extension\\.ZRVN");
        reg.DeleteKey("\\SOFTWARE\\Microsoft\\Internet Explorer\\Plugins\\MIME\\application/x-Zorvanes");
        reg.DeleteKey("\\SOFTWARE\\Microsoft\\Internet Explorer\\Plugins\\Extension\\.ZRVNS");
        return true;
    } catch (...) {
        return false;
    }
}

namespace {

// Joins texts by appending (GCC 12 misreads chains of operator+ on string
// literals as overlapping copies).
std::string Cat(std::initializer_list<std::string_view> parts) {
    std::string s;
    for (std::string_view p : parts) s.append(p);
    return s;
}

class TRegistration {
public:
    explicit TRegistration(TRegistry& reg) : m_reg(reg) {}
    bool result = true;

    void Ensure(const std::string& key) {
        if (m_reg.KeyExists(key)) return;
        // The accessor raises for a refused creation; here that is a failure
        // to record, not the end of the registration.
        try {
            m_reg.CreateKey(key);
        } catch (const ERegistryException&) {
            result = false;
        }
    }

    // Opens key (already ensured); false when it does not open.
    bool Open(const std::string& key) {
        m_reg.CloseKey();
        return m_reg.OpenKey(key, false);
    }

    void VerifyWrite(const std::string& name, const std::string& value) {
        if (m_reg.ReadString(name) == value) return;
        m_reg.WriteString(name, value);
        if (m_reg.ReadString(name) != value) result = false;
    }

private:
    TRegistry& m_reg;
};

}  // namespace

bool RegisterActiveX(const std::string& mime, const std::string& ext1, const std::string& ext2,
                     const std::string& clsid, const std::string& progid, const std::string& dir) {
    TRegistry reg(KEY_ALL_ACCESS);
    TRegistration r(reg);
    try {
        reg.SetRootKey(HKEY_CLASSES_ROOT);
        const std::string classKey = Cat({"\\CLSID\\", clsid});
        r.Ensure(Cat({classKey, "\\Control"}));
        r.Ensure(Cat({classKey, "\\EnableFullPage\\", ext1}));
        r.Ensure(Cat({classKey, "\\EnableFullPage\\", ext2}));
        r.Ensure(Cat({"\\", progid, "\\DefaultIcon"}));
        if (r.Open(Cat({"\\", progid, "\\DefaultIcon"})))
            reg.WriteString("", Cat({dir, ActiveXFileName, ",0"}));
        r.Ensure(Cat({"\\", progid, "\\shell\\open\\command"}));
        if (r.Open(Cat({"\\", progid, "\\shell"}))) reg.WriteString("", "open");
        if (r.Open(Cat({"\\", progid, "\\shell\\open\\command"})))
            reg.WriteString("", Cat({"\"", GetDefaultBrowserPath(), "\" %1"}));
        const std::string mimeKey = Cat({"\\MIME\\DataBase\\Content Type\\", mime});
        r.Ensure(mimeKey);
        if (r.Open(mimeKey)) {
            reg.DeleteValue("Extension");
            r.VerifyWrite("CLSID", clsid);
        }
        for (const std::string& ext : {ext1, ext2}) {
            r.Ensure(Cat({"\\", ext}));
            if (r.Open(Cat({"\\", ext}))) {
                r.VerifyWrite("", progid);
                r.VerifyWrite("Content Type", mime);
            }
        }
        reg.CloseKey();

        reg.SetRootKey(HKEY_LOCAL_MACHINE);
        if (reg.OpenKey(Cat({"\\SOFTWARE\\Microsoft\\Active Setup\\Installed Components\\", clsid}), true)) {
            reg.WriteInteger("IsInstalled", 1);
            std::string version = GetFileVersionString(Cat({dir, ActiveXFileName}), "ProductVersion");
            for (char& c : version)
                if (c == '.') c = ',';
            reg.WriteString("Version", version);
        }
        reg.CloseKey();
    } catch (...) {
        return false;
    }
    return r.result;
}

}  // namespace zv
