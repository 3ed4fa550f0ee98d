// Shared by the deployment and install-command tests: where the build put
// the payloads and version DLLs, payload archives changed in memory, a
// directory listing, undoing a regsvr32 registration, directories of an exact
// length, and the small file system that can be filled up for real.
#pragma once

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "base/Streams.h"
#include "deploy/FileHelpers.h"
#include "deploy/PayloadFile.h"
#include "tests/win/support/WinTestSupport.h"
#include "vcl/ResourceStream.h"
#include "vcl/WideText.h"
#include "vcl/Win32Handles.h"

namespace deploy2 {

// The build gives Unix paths; Wine shows the Unix root as drive Z:.
inline std::string WinPath(const char* unixPath) {
    std::string p = unixPath;
    for (char& c : p)
        if (c == '/') c = '\\';
    return "Z:" + p;
}

inline std::string OlderDll() {
    return WinPath(ZV_TEST_OLDER);
}  // 1.7.9
inline std::string NewerDll() {
    return WinPath(ZV_TEST_NEWER);
}  // 1.8.0.1
inline std::string BadDll() {
    return WinPath(ZV_TEST_BAD);
}  // 1.7.9.17a
// The version being installed, and nothing to register.
inline std::string SameVersionDll() {
    return WinPath(ZV_TEST_SAME);
}
inline std::string CommasDll() {
    return WinPath(ZV_TEST_COMMAS);
}  // "1, 7, 9, 174"
inline std::string NoVersionDll() {
    return WinPath(ZV_TEST_NO_VERSION);
}
inline std::string PluginDll() {
    return WinPath(ZV_TEST_PLUGIN);
}
inline std::string ActiveXOcx() {
    return WinPath(ZV_TEST_ACTIVEX);
}

// The bytes of a file (empty when it cannot be read); the name is UTF-8.
inline std::string ReadBytes(const std::string& path) {
    std::string bytes;
    FILE* f = _wfopen(zv::ToWide(path).c_str(), L"rb");
    if (!f) return bytes;
    char buf[65536];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) bytes.append(buf, n);
    std::fclose(f);
    return bytes;
}

inline std::string PluginArchive() {
    return ReadBytes(WinPath(ZV_TEST_PLUGIN_ZIP));
}
inline std::string ActiveXArchive() {
    return ReadBytes(WinPath(ZV_TEST_ACTIVEX_ZIP));
}

// The archive with one byte of the compressed data changed: the entry no
// longer inflates to its CRC.
inline std::string DamagedData(std::string zip) {
    const auto nameLength = static_cast<unsigned char>(zip[26]) | (static_cast<unsigned char>(zip[27]) << 8);
    const auto extraLength = static_cast<unsigned char>(zip[28]) | (static_cast<unsigned char>(zip[29]) << 8);
    const size_t data = 30 + nameLength + extraLength;
    zip[data + 200] = static_cast<char>(zip[data + 200] ^ 0x55);
    return zip;
}

// Serves RCDATA id from `bytes` (the others from the test binary's own
// resources) while it lives.
class TArchiveOverride {
public:
    TArchiveOverride(int id, std::string bytes) : m_bytes(std::make_shared<std::string>(std::move(bytes))) {
        auto bytesRef = m_bytes;
        zv::SetPayloadArchiveOpener([id, bytesRef](int wanted) -> std::unique_ptr<zv::TStream> {
            if (wanted != id)
                return std::make_unique<zv::TResourceStream>(GetModuleHandleA(nullptr), wanted, RT_RCDATA);
            auto s = std::make_unique<zv::TMemoryStream>();
            s->WriteBuffer(bytesRef->data(), static_cast<std::int64_t>(bytesRef->size()));
            s->SetPosition(0);
            return s;
        });
    }
    ~TArchiveOverride() { zv::SetPayloadArchiveOpener(nullptr); }
    TArchiveOverride(const TArchiveOverride&) = delete;
    TArchiveOverride& operator=(const TArchiveOverride&) = delete;

private:
    std::shared_ptr<std::string> m_bytes;
};

// The names in a directory (without "." and ".."); UTF-8 as the program's.
inline std::set<std::string> Listing(const std::string& dir) {
    std::set<std::string> names;
    WIN32_FIND_DATAW fd;
    zv::TFindHandle h(FindFirstFileW(zv::ToWide(dir + "\\*").c_str(), &fd));
    if (!h) return names;
    do {
        const std::string n = zv::FromWide(fd.cFileName);
        if (n != "." && n != "..") names.insert(n);
    } while (FindNextFileW(h.Get(), &fd));
    return names;
}

inline std::string Version(const std::string& file) {
    return zv::GetFileVersionString(file, "ProductVersion");
}

inline DWORD Attributes(const std::string& file) {
    return GetFileAttributesW(zv::ToWide(file).c_str());
}

// Every key and value below a root, as "path|name=value" lines.
inline void Dump(HKEY key, const std::string& path, std::map<std::string, std::string>& out) {
    out[path] = "";
    char name[512];
    BYTE data[2048];
    for (DWORD i = 0;; ++i) {
        DWORD nameLen = sizeof name, dataLen = sizeof data, type = 0;
        if (RegEnumValueA(key, i, name, &nameLen, nullptr, &type, data, &dataLen) != ERROR_SUCCESS) break;
        out[path + "|" + name] =
            std::string(reinterpret_cast<char*>(data), dataLen) + "#" + std::to_string(type);
    }
    for (DWORD i = 0;; ++i) {
        DWORD nameLen = sizeof name;
        if (RegEnumKeyExA(key, i, name, &nameLen, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        HKEY sub;
        if (RegOpenKeyExA(key, name, 0, KEY_READ, &sub) == ERROR_SUCCESS) {
            Dump(sub, path + "\\" + name, out);
            RegCloseKey(sub);
        }
    }
}

// HKEY_CLASSES_ROOT and HKEY_LOCAL_MACHINE whole (meant for a sandbox).
inline std::map<std::string, std::string> DumpAll() {
    std::map<std::string, std::string> out;
    Dump(HKEY_CLASSES_ROOT, "HKCR", out);
    Dump(HKEY_LOCAL_MACHINE, "HKLM", out);
    return out;
}

// Undoes what regsvr32 wrote into the prefix's real registry for the control
// at path. Destroy it after any registry sandbox of the test, so that the
// control's unregistration reaches the real registry.
class TUnregisterGuard {
public:
    explicit TUnregisterGuard(std::string path = {}) : m_path(std::move(path)) {}
    void Set(const std::string& path) { m_path = path; }
    ~TUnregisterGuard() {
        if (m_path.empty()) return;
        using Fn = HRESULT(STDAPICALLTYPE*)();
        // Even when the file was never written, the copy from the build
        // unregisters the same class.
        for (const std::string& p : {m_path, ActiveXOcx()}) {
            zv::TLibrary lib(LoadLibraryW(zv::ToWide(p).c_str()));
            if (!lib) continue;
            const auto unreg = reinterpret_cast<Fn>(
                reinterpret_cast<void (*)()>(GetProcAddress(lib.Get(), "DllUnregisterServer")));
            if (unreg) unreg();
            break;
        }
    }
    TUnregisterGuard(const TUnregisterGuard&) = delete;
    TUnregisterGuard& operator=(const TUnregisterGuard&) = delete;

private:
    std::string m_path;
};

// A directory below `base` whose path is exactly `length` characters long,
// made with every parent (components of at most 200 characters).
inline std::string MakeDirOfLength(const std::string& base, size_t length) {
    std::string path = base;
    while (path.size() < length) {
        const size_t room = length - path.size() - 1;
        // Leave no remainder too short for a component of its own.
        size_t n = room > 200 ? (room - 200 < 2 ? 150 : 200) : room;
        path.append(1, '\\').append(n, static_cast<char>('a' + path.size() % 26));
        CreateDirectoryA(path.c_str(), nullptr);
    }
    return path;
}

// The small file system the test fixture mounts (ZV_TEST_TINY_DISK, a tmpfs
// of 512 KiB with 64 inodes): a directory of its own on it, and ways to use
// up its room or its file slots. Everything made here goes with the object.
class TTinyDisk {
public:
    TTinyDisk() {
        ULARGE_INTEGER total{};
        // Anything bigger is the disk below, left over when the mount failed.
        m_ready = GetDiskFreeSpaceExA((m_root + "\\").c_str(), nullptr, &total, nullptr) &&
                  total.QuadPart < (1u << 20);
        if (!m_ready) return;
        m_dir = m_root + "\\t" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(m_dir.c_str(), nullptr);
    }
    ~TTinyDisk() {
        Free();
        if (m_ready) zvtest::RemoveTree(m_dir);
    }
    TTinyDisk(const TTinyDisk&) = delete;
    TTinyDisk& operator=(const TTinyDisk&) = delete;

    [[nodiscard]] bool Ready() const { return m_ready; }
    [[nodiscard]] const std::string& Dir() const { return m_dir; }

    // One file that takes every byte the disk still has.
    void FillSpace() {
        const std::string path = NextFiller();
        zv::TFileHandle h(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
        const std::string block(4096, 'f');
        DWORD written = 0;
        while (h && ::WriteFile(h.Get(), block.data(), static_cast<DWORD>(block.size()), &written, nullptr) &&
               written > 0) {
        }
    }
    // Empty files until no more can be made; the disk keeps its bytes.
    void FillSlots() {
        for (int i = 0; i < 1000; ++i) {
            const std::string path = NextFiller();
            zv::TFileHandle h(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
            if (!h) return;
        }
    }
    void Free() {
        for (const std::string& f : m_fillers) DeleteFileA(f.c_str());
        m_fillers.clear();
    }
    [[nodiscard]] std::uint64_t FreeBytes() const {
        ULARGE_INTEGER available{};
        GetDiskFreeSpaceExA((m_dir + "\\").c_str(), &available, nullptr, nullptr);
        return available.QuadPart;
    }

private:
    // Beside the test's directory, so that its listing shows only what the
    // deployment left.
    std::string NextFiller() {
        m_fillers.push_back(m_root + "\\filler" + std::to_string(m_fillers.size()));
        return m_fillers.back();
    }

    const std::string m_root = WinPath(ZV_TEST_TINY_DISK);
    bool m_ready = false;
    std::string m_dir;
    std::vector<std::string> m_fillers;
};

}  // namespace deploy2
