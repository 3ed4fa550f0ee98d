// Index: archive opener and notice box; the version rule; the write stream
// over a Win32 file handle; path length and free space; ReplaceWithEntry
// (room, fresh file, unpack, check, swap); TPayloadReader.
#include "deploy/PayloadFile.h"

#include <windows.h>

#include "base/Exceptions.h"
#include "base/SysUtils.h"
#include "deploy/DeployObserver.h"
#include "deploy/FileHelpers.h"
#include "vcl/ResourceStream.h"
#include "vcl/WideText.h"
#include "vcl/Win32Handles.h"

namespace zv {

namespace {

TPayloadArchiveOpener& Opener() {
    static TPayloadArchiveOpener opener;
    return opener;
}

TFreeSpaceQuery& FreeSpaceQuery() {
    static TFreeSpaceQuery query;
    return query;
}

std::optional<std::uint64_t> FreeSpace(const std::string& dir) {
    if (FreeSpaceQuery()) return FreeSpaceQuery()(dir);
    // What the user may write, which a quota can make less than the disk has.
    ULARGE_INTEGER available{};
    if (!GetDiskFreeSpaceExW(ToWide(dir).c_str(), &available, nullptr, nullptr)) return std::nullopt;
    return available.QuadPart;
}

// ERROR_DISK_QUOTA_EXCEEDED, which mingw-w64's headers lack.
constexpr DWORD kDiskQuotaExceeded = 1295;

// The codes of the failures that have a cause of their own; every other
// error gives `otherwise`.
int FailureOf(DWORD error, int otherwise) {
    switch (error) {
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
        case kDiskQuotaExceeded: return drDiskFull;
        case ERROR_FILENAME_EXCED_RANGE: return drPathTooLong;
        default: return otherwise;
    }
}

// Bytes the entry unpacks to, as its directory record says.
std::uint64_t EntrySize(const TZipReader& reader, const std::string& entry) {
    std::uint64_t size = 0;
    for (int i = 0; i < reader.EntryCount(); ++i)
        if (SameText(reader.Entry(i).FullName(), entry)) size += reader.Entry(i).UnCompressedSize;
    return size;
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
            if (!WriteFile(m_h, p + done, chunk, &written, nullptr)) {
                m_error = GetLastError();
                break;
            }
            // A write that takes nothing without an error is a full disk as
            // well (some redirectors answer so).
            if (written == 0) {
                m_error = ERROR_DISK_FULL;
                break;
            }
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
    // The system's error of the first refused write; 0 when none was refused.
    [[nodiscard]] DWORD Error() const { return m_error; }

private:
    HANDLE m_h;
    std::int64_t m_size = 0;
    DWORD m_error = 0;
};

// A name in the target's directory that no other file has; the file is
// created here (CREATE_NEW), so two installers never share one. The name is
// shorter than the target's, so a directory that can hold the target can
// hold it too. error: the system's answer when no file could be made.
TFileHandle CreateFreshFile(const std::string& target, std::string& path, DWORD& error) {
    static unsigned counter = 0;
    const std::string dir = ExtractFilePath(target);
    const unsigned start = static_cast<unsigned>(GetCurrentProcessId()) * 40503u + GetTickCount();
    error = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        path = dir + Format("zv%04x.tmp", (start + ++counter) & 0xFFFFu);
        TFileHandle h(CreateFileW(ToWide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
        if (h) return h;
        error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
    }
    path.clear();
    return TFileHandle();
}

// True when nothing stops the target from being replaced: it is missing, or
// it can be opened for writing and deleting with nobody sharing it (a file in
// use, a running module or a read-only file cannot).
bool TargetReplaceable(const std::string& target) {
    const std::wstring path = ToWide(target);
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return true;
    TFileHandle h(CreateFileW(path.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    return static_cast<bool>(h);
}

bool FileExists(const std::string& path) {
    return GetFileAttributesW(ToWide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

bool TargetPathTooLong(const std::string& target) {
    // The limit counts the system's UTF-16 units, which are fewer than the
    // bytes for any name beyond ASCII.
    return ToWide(target).size() >= MAX_PATH;
}

void SetFreeSpaceQuery(TFreeSpaceQuery query) {
    FreeSpaceQuery() = std::move(query);
}

std::unique_ptr<TStream> OpenPayloadArchive(int id) {
    if (Opener()) return Opener()(id);
    return std::make_unique<TResourceStream>(GetModuleHandleA(nullptr), id, RT_RCDATA);
}

void SetPayloadArchiveOpener(TPayloadArchiveOpener opener) {
    Opener() = std::move(opener);
}

bool TargetNeedsUpdate(const std::string& target) {
    if (!FileExists(target)) return true;
    return VersionToNumber(GetFileVersionString(target, "ProductVersion")) < VersionToNumber(PayloadVersion);
}

bool TargetIsNewer(const std::string& target) {
    if (!FileExists(target)) return false;
    return VersionToNumber(GetFileVersionString(target, "ProductVersion")) > VersionToNumber(PayloadVersion);
}

int ReplaceWithEntry(TZipReader& reader, const std::string& entry, const std::string& target) {
    if (TargetPathTooLong(target)) return drPathTooLong;
    // The old file stays until the new one is whole, so the new one needs
    // room of its own. Asking first spares the user a half-written file and
    // names the cause in the common case; a disk that fills meanwhile, or
    // cannot tell its free space, is caught by the writes themselves.
    const std::optional<std::uint64_t> free = FreeSpace(ExtractFilePath(target));
    if (free && *free < EntrySize(reader, entry)) return drDiskFull;

    std::string fresh;
    DWORD createError = 0;
    TFileHandle file = CreateFreshFile(target, fresh, createError);
    if (!file) return FailureOf(createError, drCannotCreate);
    // However this ends short of the swap, the fresh file goes (closed
    // first: an open file cannot be deleted).
    struct TRemoveFresh {
        TFileHandle& file;
        std::string path;
        ~TRemoveFresh() {
            file.Reset();
            if (!path.empty()) DeleteFileW(ToWide(path).c_str());
        }
    } removeFresh{file, fresh};

    THandleWriteStream out(file.Get());
    int unpacked = 0;
    try {
        unpacked = reader.ExtractToStream(&out, entry);
    } catch (...) {
        return FailureOf(out.Error(), drCannotWrite);
    }
    // A bad CRC, an unknown method or a missing entry leave the count at 0;
    // the payload is one entry, so anything but exactly one is no payload.
    if (unpacked != 1 || out.Written() <= 0) return FailureOf(out.Error(), drCannotWrite);
    // Space may only be claimed when the data leaves the cache, and a full
    // disk then shows here.
    DWORD closeError = 0;
    if (!FlushFileBuffers(file.Get())) closeError = GetLastError();
    if (!CloseHandle(file.Release()) && closeError == 0) closeError = GetLastError();
    if (closeError != 0) return FailureOf(closeError, drCannotWrite);

    if (!TargetReplaceable(target)) return drCannotCreate;
    if (!MoveFileExW(ToWide(fresh).c_str(), ToWide(target).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return FailureOf(GetLastError(), drCannotCreate);
    removeFresh.path.clear();
    if (auto* observer = DeployObserver()) observer->FileInstalled(target);
    return drOk;
}

TPayloadReader::TPayloadReader(TStream& archive) {
    m_reader.DoProcessMessages = false;
    m_reader.SetZipName("");
    m_reader.SetSourceStream(&archive);
    m_reader.ReadDirectory();
}

TPayloadReader::~TPayloadReader() {
    m_reader.SetSourceStream(nullptr);
}

}  // namespace zv
