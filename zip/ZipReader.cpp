// TZipReader: settings, the archive stream, and reading the directory.
//
//   construction, ZipName, SortMode, SetSourceStream, ClearDirectory
//   ReadDirectory            cursor, incomplete-archive handling
//   ReadDirectoryFromStream  the walk over the central headers, with the
//                            one retry and the fall-back to scanning
//   FindEndCentral           the end-record search in the stream's tail
//   ReadCentralHeader        one central header
//   RebuildByScanning        recovery from the local headers
#include "zip/ZipReader.h"

#include <algorithm>
#include <limits>

#include "base/SysUtils.h"
#include "zip/ZipPlatform.h"

namespace zv {

namespace {

constexpr std::int64_t kEndCentralSize = 22;
constexpr std::int64_t kCentralHeaderSize = 46;
constexpr std::int64_t kLocalHeaderSize = 30;
// The end record plus the longest comment it can announce.
constexpr std::int64_t kEndSearchWindow = kEndCentralSize + 65535;
// The stub of a self-extracting archive the scan steps over.
constexpr std::int64_t kSfxStubSize = 14000;
constexpr std::int64_t kScanMessageInterval = 10240;

bool HasExeExtension(const std::string& name) {
    const auto dot = name.rfind('.');
    if (dot == std::string::npos || name.find_first_of("\\/:", dot) != std::string::npos) return false;
    return SameText(name.substr(dot), ".EXE");
}

std::uint32_t ClampU32(std::int64_t v) {
    return static_cast<std::uint32_t>(
        std::clamp<std::int64_t>(v, 0, std::numeric_limits<std::uint32_t>::max()));
}

}  // namespace

TZipReader::TZipReader(TComponent* owner)
    : TComponent(owner),
      m_filesList(std::make_unique<TStringList>()),
      m_working(std::make_unique<TZipEntryInfo>()) {}

TZipReader::~TZipReader() {
    // An attached stream belongs to the caller and is only forgotten.
    ClearDirectory();
    m_source = nullptr;
}

void TZipReader::SetZipName(const std::string& name) {
    if (SameText(name, m_zipName)) return;
    m_zipName = name;
    m_view.reset();
    m_entries.reset();
    m_endCentral.Clear();
    // The attached stream (if any) stays the source; only the flag that
    // keeps the name alive across ClearDirectory goes.
    m_archiveIsStream = false;
}

void TZipReader::SetSortMode(TZipSortMode mode) {
    if (mode == m_sortMode) return;
    m_sortMode = mode;
    if (m_entries) BuildViewList();
}

void TZipReader::SetSourceStream(TStream* stream) {
    ClearDirectory();
    m_source = stream;
    m_archiveIsStream = stream != nullptr;
    if (stream) KeepZipOpen = true;
}

void TZipReader::ClearDirectory() {
    m_view.reset();
    m_entries.reset();
    m_endCentral.Clear();
    m_rebuilt = false;
    m_scannedCount = 0;
    m_currentDisk = 0;
    if (!m_archiveIsStream) m_zipName.clear();
}

const TZipEntryInfo& TZipReader::Entry(int index) const {
    if (!m_entries) throw EListError(Format(SListIndexError, index));
    return m_view ? *m_view->Items(index) : *m_entries->Items(index);
}

void TZipReader::BuildViewList() {
    m_view.reset();
    if (m_sortMode == TZipSortMode::ByNone || !m_entries) return;
    auto view = std::make_unique<TZipEntryList>(m_sortMode, false, TListDuplicates::dupAccept);
    for (int i = 0; i < m_entries->Count(); ++i) view->Add(m_entries->Items(i));
    m_view = std::move(view);
}

void TZipReader::CheckCancel() {
    TStream* const source = m_source;
    ZipProcessMessages();
    // Detaching or replacing the archive while it is being read cancels too.
    if (m_cancel || m_source != source) {
        m_cancel = false;
        throw EUserCanceled(SUserAborted);
    }
}

void TZipReader::FailBadZip() {
    ClearDirectory();
    throw EBadZipFile(SNotAZipFile);
}

// ---- ReadDirectory ---------------------------------------------------------------

void TZipReader::EnsureDirectory() {
    if (m_entries || !m_source) return;
    try {
        ReadDirectoryFromStream();
    } catch (const EIncompleteZip&) {
        throw;
    } catch (...) {
        ClearDirectory();
        throw;
    }
}

void TZipReader::ReadDirectory() {
    m_cancel = false;
    // A handler of OnInCompleteZip gets one more attempt (it may have changed
    // IncompleteZipMode or supplied the rest of the data); retrying for as
    // long as it leaves the mode alone would never end on a stream.
    bool retried = false;
    for (;;) {
        const int savedCursor = ZipGetCursor();
        ZipSetCursor(crHourGlass);
        try {
            EnsureDirectory();
        } catch (const EIncompleteZip&) {
            ZipSetCursor(savedCursor);
            if (OnInCompleteZip && !retried) {
                retried = true;
                continue;
            }
            return;
        } catch (...) {
            ClearDirectory();
            ZipSetCursor(savedCursor);
            throw;
        }
        ZipSetCursor(savedCursor);
        return;
    }
}

void TZipReader::ReadDirectoryFromStream() {
    m_view.reset();
    m_entries.reset();
    m_rebuilt = false;
    m_scannedCount = 0;
    if (!FindEndCentral()) {
        if (OnInCompleteZip) {
            TStream* const source = m_source;
            OnInCompleteZip(*this, IncompleteZipMode);
            // A handler that swapped the archive gets the retry of ReadDirectory.
            if (m_source != source || !m_source) throw EIncompleteZip(SIncompleteZip);
        }
        switch (IncompleteZipMode) {
            case TIncompleteZipMode::izAssumeNotAZip: throw ENotAZipFile(SNotAZipFile);
            case TIncompleteZipMode::izAssumeMulti: throw EIncompleteZip(SIncompleteZip);
            case TIncompleteZipMode::izAssumeBad:
                if (!RebuildByScanning()) FailBadZip();
                break;
        }
    }
    m_currentDisk = m_endCentral.ThisDiskNumber;

restart:
    if (!m_entries)
        m_entries = std::make_unique<TZipEntryList>(TZipSortMode::ByNone, true, TListDuplicates::dupError);
    const int total = m_rebuilt ? m_scannedCount : m_endCentral.TotalEntries;
    if (total != 0) m_source->SetPosition(m_endCentral.CentralDirOffset);

    TZipEntryInfo* previous = nullptr;
    std::uint16_t previousExtra = 0;
    // In scanning mode each record is completed by one central header only: a
    // second header naming the same local header would give one entry the
    // name and sizes of another.
    std::vector<char> completed(m_rebuilt ? static_cast<size_t>(m_entries->Count()) : 0, 0);
    for (int i = 0; i < total; ++i) {
        auto record = std::make_unique<TZipEntryInfo>(OEMConvert);
        bool ok = ReadCentralHeader(*record);
        if (!ok && previousExtra != 0) {
            // Writers have been seen to announce an extra field they did not
            // store: step back over it once and look again.
            if (previous) previous->ExtraFieldLength = 0;
            m_source->Seek(-static_cast<std::int64_t>(previousExtra), TSeekOrigin::soCurrent);
            ok = ReadCentralHeader(*record);
        }
        if (!ok) {
            if (m_rebuilt) break;
            if (m_currentDisk != 0 || !RebuildByScanning()) FailBadZip();
            goto restart;
        }
        const std::uint16_t extra = record->ExtraFieldLength;
        const std::uint16_t comment = record->CommentLength;
        if (m_rebuilt) {
            // The scan found the entries; the central header only completes
            // the record of the local header it points at.
            const int found = m_entries->IndexOf(*record);
            previous = nullptr;
            if (found >= 0 && !completed[static_cast<size_t>(found)]) {
                completed[static_cast<size_t>(found)] = 1;
                TZipEntryInfo* target = m_entries->Items(found);
                const std::uint32_t offset = target->RelativeOffset;
                const std::uint16_t localExtra = target->LocalExtraFieldLength;
                target->Assign(*record);
                target->RelativeOffset = offset;
                target->LocalExtraFieldLength = localExtra;
                previous = target;
            }
        } else {
            try {
                m_entries->Add(record.get());
            } catch (const EListError&) {
                // Two headers for one local header: the directory cannot be
                // trusted.
                if (m_currentDisk != 0 || !RebuildByScanning()) FailBadZip();
                goto restart;
            }
            previous = record.release();
        }
        m_source->Seek(static_cast<std::int64_t>(extra) + comment, TSeekOrigin::soCurrent);
        previousExtra = extra;
    }
    BuildViewList();
}

bool TZipReader::FindEndCentral() {
    m_endCentral.Clear();
    const std::int64_t size = m_source->Size();
    if (size < kEndCentralSize) {
        // An empty stream is an archive without entries.
        if (size == 0) m_endCentral.Signature = EndCentralDirSig;
        return size == 0;
    }
    const std::int64_t window = std::min(kEndSearchWindow, size);
    std::vector<std::uint8_t> tail(static_cast<size_t>(window));
    m_source->SetPosition(size - window);
    if (m_source->Read(tail.data(), window) != window) return false;
    for (std::int64_t i = window - kEndCentralSize; i >= 0; --i) {
        const std::uint8_t* p = tail.data() + i;
        if (p[0] != 0x50 || ReadU32LE(p) != EndCentralDirSig) continue;
        const std::uint16_t thisDisk = ReadU16LE(p + 4);
        const std::uint16_t startDisk = ReadU16LE(p + 6);
        const std::uint32_t offset = ReadU32LE(p + 16);
        if (thisDisk > 999 || startDisk > 999 || thisDisk < startDisk ||
            offset > static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max()))
            return false;
        m_endCentral.Signature = EndCentralDirSig;
        m_endCentral.ThisDiskNumber = thisDisk;
        m_endCentral.CentralDirDiskNumber = startDisk;
        m_endCentral.EntriesOnThisDisk = ReadU16LE(p + 8);
        m_endCentral.TotalEntries = ReadU16LE(p + 10);
        m_endCentral.CentralDirSize = ReadU32LE(p + 12);
        m_endCentral.CentralDirOffset = offset;
        m_endCentral.ZipCommentLength = ReadU16LE(p + 20);
        m_endCentral.ZipCommentPos = ClampU32(size - window + i + kEndCentralSize);
        return true;
    }
    return false;
}

bool TZipReader::ReadCentralHeader(TZipEntryInfo& entry) {
    const std::int64_t start = m_source->Position();
    const std::int64_t size = m_source->Size();
    std::uint8_t h[kCentralHeaderSize];
    if (start < 0 || m_source->Read(h, kCentralHeaderSize) != kCentralHeaderSize ||
        ReadU32LE(h) != CentralFileHeaderSig) {
        m_source->SetPosition(start);
        return false;
    }
    const std::uint16_t nameLength = ReadU16LE(h + 28);
    std::string name;
    if (nameLength != 0) {
        // Checked against the stream before anything is allocated for it.
        if (start + kCentralHeaderSize + nameLength > size) {
            m_source->SetPosition(start);
            return false;
        }
        name.resize(nameLength);
        if (m_source->Read(name.data(), nameLength) != nameLength) {
            m_source->SetPosition(start);
            return false;
        }
    }
    entry.VersionMadeBy = ReadU16LE(h + 4);
    entry.VersionNeeded = ReadU16LE(h + 6);
    entry.Flags = ReadU16LE(h + 8);
    entry.CompressionMethod = ReadU16LE(h + 10);
    entry.DateTime = FixDosDateTime(ReadU32LE(h + 12));
    entry.CRC32 = ReadU32LE(h + 16);
    entry.CompressedSize = ReadU32LE(h + 20);
    entry.UnCompressedSize = ReadU32LE(h + 24);
    entry.ExtraFieldLength = ReadU16LE(h + 30);
    entry.CommentLength = ReadU16LE(h + 32);
    entry.DiskNumberStart = ReadU16LE(h + 34);
    entry.InternalAttributes = ReadU16LE(h + 36);
    entry.ExternalAttributes = ReadU32LE(h + 38);
    entry.RelativeOffset = ReadU32LE(h + 42);
    entry.CentralOffset = ClampU32(start);
    const bool msDosHost = (entry.VersionMadeBy >> 8) == 0;
    SetEntryName(entry, std::move(name), msDosHost && OEMConvert);
    entry.ClearComment();
    return true;
}

// ---- rebuilding from the local headers ---------------------------------------------

bool TZipReader::RebuildByScanning() {
    m_rebuilt = true;
    m_view.reset();
    m_entries.reset();
    const std::int64_t start = HasExeExtension(m_zipName) ? kSfxStubSize : 0;
    std::int64_t headerPos = 0;
    m_source->SetPosition(start);
    if (!ScanForLocalHeader(headerPos)) return false;
    ReadLocalHeaders(headerPos);
    if (m_entries->Count() == 0) {
        m_entries.reset();
        return false;
    }
    m_scannedCount = m_entries->Count();
    m_endCentral.ThisDiskNumber = 0;
    m_endCentral.CentralDirOffset = ClampU32(m_source->Position());
    m_endCentral.TotalEntries = static_cast<std::uint16_t>(std::min(m_scannedCount, 65535));
    return true;
}

bool TZipReader::ScanForLocalHeader(std::int64_t& headerPos) {
    static constexpr std::uint8_t kSig[4] = {0x50, 0x4B, 0x03, 0x04};
    std::uint8_t chunk[4096];
    std::int64_t pos = m_source->Position();  // stream position of chunk[0]
    std::int64_t sinceMessages = 0;
    int matched = 0;
    for (;;) {
        const std::int64_t got = m_source->Read(chunk, sizeof chunk);
        if (got <= 0) return false;
        bool moved = false;
        for (std::int64_t i = 0; i < got; ++i) {
            if (++sinceMessages >= kScanMessageInterval) {
                sinceMessages = 0;
                if (DoProcessMessages) CheckCancel();
            }
            const std::uint8_t b = chunk[i];
            // No proper prefix of the signature recurs inside it, so a
            // mismatch only needs to be tried as a new first byte.
            matched = b == kSig[matched] ? matched + 1 : (b == kSig[0] ? 1 : 0);
            if (matched < 4) continue;
            matched = 0;
            const std::int64_t sigPos = pos + i - 3;
            std::uint8_t version[2];
            m_source->SetPosition(sigPos + 4);
            if (m_source->Read(version, 2) != 2) return false;
            if (version[1] < 10) {
                headerPos = sigPos;
                return true;
            }
            // Not a plausible header: go on after its version bytes.
            pos = sigPos + 6;
            moved = true;
            break;
        }
        if (!moved) pos += got;
    }
}

void TZipReader::ReadLocalHeaders(std::int64_t firstHeader) {
    m_entries = std::make_unique<TZipEntryList>(TZipSortMode::ByNone, true, TListDuplicates::dupError);
    const std::int64_t size = m_source->Size();
    std::int64_t pos = firstHeader;
    for (;;) {
        if (pos > std::numeric_limits<std::uint32_t>::max() || pos + kLocalHeaderSize > size) break;
        m_source->SetPosition(pos);
        std::uint8_t h[kLocalHeaderSize];
        if (m_source->Read(h, kLocalHeaderSize) != kLocalHeaderSize || ReadU32LE(h) != LocalFileHeaderSig)
            break;
        const std::uint16_t nameLength = ReadU16LE(h + 26);
        if (pos + kLocalHeaderSize + nameLength > size) break;
        std::string name(nameLength, '\0');
        if (nameLength != 0 && m_source->Read(name.data(), nameLength) != nameLength) break;
        auto record = std::make_unique<TZipEntryInfo>(OEMConvert);
        record->VersionNeeded = ReadU16LE(h + 4);
        record->Flags = ReadU16LE(h + 6);
        record->CompressionMethod = ReadU16LE(h + 8);
        record->DateTime = FixDosDateTime(ReadU32LE(h + 10));
        record->CRC32 = ReadU32LE(h + 14);
        record->CompressedSize = ReadU32LE(h + 18);
        record->UnCompressedSize = ReadU32LE(h + 22);
        record->LocalExtraFieldLength = ReadU16LE(h + 28);
        record->RelativeOffset = static_cast<std::uint32_t>(pos);
        SetEntryName(*record, std::move(name), OEMConvert);
        const std::int64_t next = pos + kLocalHeaderSize + nameLength + record->LocalExtraFieldLength +
                                  record->CompressedSize + ((record->Flags & 8) != 0 ? 16 : 0);
        try {
            m_entries->Add(record.get());
        } catch (const EListError&) {
            break;
        }
        (void)record.release();  // now owned by the list
        pos = next;
    }
    m_source->SetPosition(pos);
}

std::string TZipReader::ZipComment() {
    if (!m_source || m_endCentral.ZipCommentLength == 0) return std::string();
    if (!m_endCentral.HasComment()) {
        const std::int64_t size = m_source->Size();
        const std::int64_t pos = m_endCentral.ZipCommentPos;
        const std::int64_t length =
            std::min<std::int64_t>(m_endCentral.ZipCommentLength, std::max<std::int64_t>(0, size - pos));
        std::string text(static_cast<size_t>(length), '\0');
        m_source->SetPosition(pos);
        const std::int64_t got = length > 0 ? m_source->Read(text.data(), length) : 0;
        text.resize(static_cast<size_t>(std::max<std::int64_t>(0, got)));
        m_endCentral.SetZipComment(text);
    }
    return m_endCentral.ZipComment();
}

}  // namespace zv
