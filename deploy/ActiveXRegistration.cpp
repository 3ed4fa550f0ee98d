#include "deploy/ActiveXRegistration.h"

#include <windows.h>

#include <initializer_list>
#include <optional>
#include <string_view>

#include "base/Exceptions.h"
#include "deploy/DeployObserver.h"
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

// The steps of the registration over one accessor. Every key it creates and
// every string value it changes is told to the deployment's observer, so
// that an uninstall can take back exactly that.
class TRegistration {
public:
    explicit TRegistration(TRegistry& reg) : m_reg(reg) {}
    bool result = true;

    void Ensure(const std::string& key) {
        if (m_reg.KeyExists(key)) return;
        const std::string created = MissingPart(key);
        // The accessor raises for a refused creation; here that is a failure
        // to record, not the end of the registration.
        try {
            m_reg.CreateKey(key);
            NoteCreated(key, created);
        } catch (const ERegistryException&) {
            result = false;
        }
    }

    // The outermost key of `key` (absolute, "\" first) that does not exist
    // yet, without the leading "\"; empty when the whole key exists.
    std::string MissingPart(const std::string& key) {
        for (std::size_t end = key.find('\\', 1);; end = key.find('\\', end + 1)) {
            const std::string part = key.substr(0, end);
            if (!m_reg.KeyExists(part)) return part.substr(1);
            if (end == std::string::npos) return {};
        }
    }

    // key absolute; outermost as MissingPart gave it (empty: nothing new).
    void NoteCreated(const std::string& key, const std::string& outermost) {
        if (auto* observer = DeployObserver(); observer && !outermost.empty())
            observer->KeyCreated(m_reg.RootKey(), key.substr(1), outermost);
    }

    // Opens key (already ensured); false when it does not open.
    bool Open(const std::string& key) {
        m_reg.CloseKey();
        return m_reg.OpenKey(key, false);
    }

    void Write(const std::string& name, const std::string& value) {
        const auto before = Current(name);
        m_reg.WriteString(name, value);
        NoteChange(name, before, value);
    }

    void VerifyWrite(const std::string& name, const std::string& value) {
        if (m_reg.ReadString(name) == value) return;
        const auto before = Current(name);
        m_reg.WriteString(name, value);
        NoteChange(name, before, value);
        if (m_reg.ReadString(name) != value) result = false;
    }

    // A missing value is no failure.
    void Delete(const std::string& name) {
        const auto before = Current(name);
        if (m_reg.DeleteValue(name)) NoteChange(name, before, std::nullopt);
    }

private:
    // The value as it stands: nullopt when absent. A value that is not a
    // string cannot be put back as one: its change is not told.
    struct TState {
        bool readable = true;
        std::optional<std::string> value;
    };
    TState Current(const std::string& name) const {
        if (!m_reg.ValueExists(name)) return {};
        try {
            return {true, m_reg.ReadString(name)};
        } catch (const ERegistryException&) {
            return {false, std::nullopt};
        }
    }

    void NoteChange(const std::string& name, const TState& before, const std::optional<std::string>& after) {
        if (!before.readable || before.value == after) return;
        if (auto* observer = DeployObserver())
            observer->ValueChanged(m_reg.RootKey(), m_reg.CurrentPath(), name, before.value, after);
    }

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
        if (r.Open(Cat({"\\", progid, "\\DefaultIcon"}))) r.Write("", Cat({dir, ActiveXFileName, ",0"}));
        r.Ensure(Cat({"\\", progid, "\\shell\\open\\command"}));
        if (r.Open(Cat({"\\", progid, "\\shell"}))) r.Write("", "open");
        if (r.Open(Cat({"\\", progid, "\\shell\\open\\command"})))
            r.Write("", Cat({"\"", GetDefaultBrowserPath(), "\" %1"}));
        const std::string mimeKey = Cat({"\\MIME\\DataBase\\Content Type\\", mime});
        r.Ensure(mimeKey);
        if (r.Open(mimeKey)) {
            r.Delete("Extension");
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
        const std::string setupKey =
            Cat({"\\SOFTWARE\\Microsoft\\Active Setup\\Installed Components\\", clsid});
        const std::string created = r.MissingPart(setupKey);
        if (reg.OpenKey(setupKey, true)) {
            r.NoteCreated(setupKey, created);
            reg.WriteInteger("IsInstalled", 1);
            std::string version = GetFileVersionString(Cat({dir, ActiveXFileName}), "ProductVersion");
            for (char& c : version)
                if (c == '.') c = ',';
            r.Write("Version", version);
        }
        reg.CloseKey();
    } catch (...) {
        return false;
    }
    return r.result;
}

}  // namespace zv
