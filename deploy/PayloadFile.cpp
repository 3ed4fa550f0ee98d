// Index: archive opener and notice box; the version rule; the write stream
// over a Win32 file handle; ReplaceWithEntry (fresh file, unpack, check,
// swap); TPayloadReader.
#include "deploy/PayloadFile.h"


#include <windows.h>

#include "base/Exceptions.h"
#include "base/SysUtils.h"
#include "deploy/DeployObserver.h"
#include "deploy/FileHelpers.h"
#include "vcl/Forms.h"
#include "vcl/ResourceStream.h"
#include "vcl/Win32Handles.h"
#include "zip/ZipPlatform.h"

namespace zv {

namespace {

TPayloadArchiveOpener& Opener() {
    static TPayloadArchiveOpener opener;
    return opener;
}

// Writes straight to a file handle, so that every refused write and the
// final flush are seen (a C stream would keep them in its buffer).
class THandleWriteStream : public TStream {
public:
    explicit THandleWriteStream(HANDLE h) : m_h(h) {}
    std::int64_t Read(void*, std::int64_t) override { return 0; }
    std::int64_t Write(const void* buffer, std::int64_t count) override {
        const auto* p = static_cast<const char*>(buffer);
        std::int64_t done = 0;
        while (done < count) {
            const DWORD chunk = static_cast<DWORD>(std::min<std::int64_t>(count - done, 1 << 20));
            DWORD written = 0;
            if (!WriteFile(m_h, p + done, chunk, &written, nullptr) || written == 0) break;
            done += written;
        }
        m_size += done;
        return done;
    }
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override {
        LARGE_INTEGER to;
        to.QuadPart = offset;
        LARGE_INTEGER now{};
        const DWORD method = origin == TSeekOrigin::soBeginning ? FILE_BEGIN
                             : origin == TSeekOrigin::soCurrent ? FILE_CURRENT
                                                                : FILE_END;
        if (!SetFilePointerEx(m_h, to, &now, method)) return -1;
        return now.QuadPart;
    }
    [[nodiscard]] std::int64_t Written() const { return m_size; }

private:
    HANDLE m_h;
    std::int64_t m_size = 0;
};

// A name beside the target that no other file has; the file is created here
// (CREATE_NEW), so two installers never share one.
TFileHandle CreateFreshFile(const std::string& target, std::string& path) {
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        path = target + Format(".%lx-%x.new", static_cast<unsigned long>(GetCurrentProcessId()), ++counter);
        TFileHandle h(
            CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (h) return h;
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    path.clear();
    return TFileHandle();
}

// True when nothing stops the target from being replaced: it is missing, or
// it can be opened for writing and deleting with nobody sharing it (a file in
// use, a running module or a read-only file cannot).
bool TargetReplaceable(const std::string& target) {
    if (GetFileAttributesA(target.c_str()) == INVALID_FILE_ATTRIBUTES) return true;
    TFileHandle h(CreateFileA(target.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    return static_cast<bool>(h);
}

}  // namespace

std::unique_ptr<TStream> OpenPayloadArchive(int id) {
    if (Opener()) return Opener()(id);
    return std::make_unique<TResourceStream>(GetModuleHandleA(nullptr), id, RT_RCDATA);
}

void SetPayloadArchiveOpener(TPayloadArchiveOpener opener) {
    Opener() = std::move(opener);
}

void InstallZipPlatformHooks() {
    auto& hooks = ZipPlatformHooks();
    if (!hooks.showNotice) {
        hooks.showNotice = [](const std::string& text, const std::string& caption) {
            MessageBoxA(GetActiveWindow(), text.c_str(), caption.c_str(), MB_OK | MB_TASKMODAL);
        };
    }
    if (!hooks.oemToAnsi) {
        // Names written by MS-DOS hosts are in the OEM code page.
        hooks.oemToAnsi = [](std::string& text) {
            if (!text.empty()) OemToCharBuffA(text.data(), text.data(), static_cast<DWORD>(text.size()));
        };
    }
    if (Screen && !hooks.getCursor) {
        hooks.getCursor = [] { return Screen ? Screen->Cursor() : 0; };
        hooks.setCursor = [](int cursor) {
            if (Screen) Screen->SetCursor(cursor);
        };
    }
    if (Application && !hooks.processMessages) {
        hooks.processMessages = [] {
            if (Application) Application->ProcessMessages();
        };
    }
}

bool TargetNeedsUpdate(const std::string& target) {
    if (GetFileAttributesA(target.c_str()) == INVALID_FILE_ATTRIBUTES) return true;
    return VersionToNumber(GetFileVersionString(target, "ProductVersion")) < VersionToNumber(PayloadVersion);
}

bool TargetIsNewer(const std::string& target) {
    if (GetFileAttributesA(target.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
    return VersionToNumber(GetFileVersionString(target, "ProductVersion")) > VersionToNumber(PayloadVersion);
}

int ReplaceWithEntry(TZipReader& reader, const std::string& entry, const std::string& target) {
    std::string fresh;
    TFileHandle file = CreateFreshFile(target, fresh);
    if (!file) return drCannotCreate;
    // However this ends short of the swap, the fresh file goes (closed
    // first: an open file cannot be deleted).
    struct TRemoveFresh {
        TFileHandle& file;
        std::string path;
        ~TRemoveFresh() {
            file.Reset();
            if (!path.empty()) DeleteFileA(path.c_str());
        }
    } removeFresh{file, fresh};

    int unpacked = 0;
    std::int64_t written = 0;
    try {
        THandleWriteStream out(file.Get());
        unpacked = reader.ExtractToStream(&out, entry);
        written = out.Written();
    } catch (...) {
        return drCannotWrite;
    }
    // A bad CRC, an unknown method or a missing entry leave the count at 0;
    // the payload is one entry, so anything but exactly one is no payload.
    if (unpacked != 1 || written <= 0) return drCannotWrite;
    const bool flushed = FlushFileBuffers(file.Get()) != FALSE;
    if (!CloseHandle(file.Release()) || !flushed) return drCannotWrite;

    if (!TargetReplaceable(target)) return drCannotCreate;
    if (!MoveFileExA(fresh.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return drCannotCreate;
    removeFresh.path.clear();
    if (auto* observer = DeployObserver()) observer->FileInstalled(target);
    return drOk;
}

TPayloadReader::TPayloadReader(TStream& archive) {
    InstallZipPlatformHooks();
    m_reader.DoProcessMessages = false;
    m_reader.SetZipName("");
    m_reader.SetSourceStream(&archive);
    m_reader.ReadDirectory();
}

TPayloadReader::~TPayloadReader() {
    m_reader.SetSourceStream(nullptr);
}

}  // namespace zv
