// TZipReader: settings, the archive stream, and reading the directory.
//
//   construction, ZipName, SortMode, SetSourceStream, ClearDirectory
//   ReadDirectory            cursor, incomplete-archive handling
//   ReadDirectoryFromStream  end record -> central directory -> recovery by
//                            scanning -> merge of the central headers
//   RecoverWithoutEndRecord  the incomplete-archive modes
//   ReadCentralDirectory     the central headers into the main list
//   MergeCentralHeaders      completing scanned entries from central headers
//   WalkCentralHeaders       the walk both share, with the one retry
//   FindEndCentral           the end-record search in the stream's tail
//   ReadCentralHeader        one central header
//   RebuildByScanning        recovery from the local headers
#include "zip/ZipReader.h"

#include <algorithm>
#include <limits>

#include "base/SysUtils.h"
#include "zip/ZipPlatform.h"
#include "zip/ZipRecords.h"

namespace zv {

namespace {

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

// The values an entry takes from either of its headers.
void TakeHeaderFields(TZipEntryInfo& entry, const THeaderFields& h) {
    entry.VersionNeeded = h.VersionNeeded;
    entry.Flags = h.Flags;
    entry.CompressionMethod = h.Method;
    entry.DateTime = FixDosDateTime(h.DateTime);
    entry.CRC32 = h.CRC32;
    entry.CompressedSize = h.CompressedSize;
    entry.UnCompressedSize = h.UnCompressedSize;
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

// The directory is read in up to three steps: the central directory as the
// end record describes it; when that cannot be trusted, the entries found by
// scanning the local headers instead; and then the central headers that
// follow the last local header, merged into the scanned entries.
void TZipReader::ReadDirectoryFromStream() {
    m_view.reset();
    m_entries.reset();
    m_rebuilt = false;
    if (!FindEndCentral()) RecoverWithoutEndRecord();
    m_currentDisk = m_endCentral.ThisDiskNumber;
    if (!m_rebuilt && !ReadCentralDirectory()) {
        // A header that cannot be read, or two headers for one local header:
        // the central directory cannot be trusted. A spanned set cannot be
        // scanned from this one stream.
        if (m_currentDisk != 0 || !RebuildByScanning()) FailBadZip();
    }
    if (m_rebuilt) MergeCentralHeaders();
    BuildViewList();
}

void TZipReader::RecoverWithoutEndRecord() {
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

template <class Sink>
bool TZipReader::WalkCentralHeaders(int count, Sink&& take) {
    if (count != 0) m_source->SetPosition(m_endCentral.CentralDirOffset);
    TZipEntryInfo* previous = nullptr;
    std::uint16_t previousExtra = 0;
    for (int i = 0; i < count; ++i) {
        auto record = std::make_unique<TZipEntryInfo>(OEMConvert);
        bool ok = ReadCentralHeader(*record);
        if (!ok && previousExtra != 0) {
            // Writers have been seen to announce an extra field they did not
            // store: step back over it once and look again.
            if (previous) previous->ExtraFieldLength = 0;
            m_source->Seek(-static_cast<std::int64_t>(previousExtra), TSeekOrigin::soCurrent);
            ok = ReadCentralHeader(*record);
        }
        if (!ok) return false;
        const std::uint16_t extra = record->ExtraFieldLength;
        const std::uint16_t comment = record->CommentLength;
        if (!take(std::move(record), previous)) return false;
        m_source->Seek(static_cast<std::int64_t>(extra) + comment, TSeekOrigin::soCurrent);
        previousExtra = extra;
    }
    return true;
}

bool TZipReader::ReadCentralDirectory() {
    m_entries = std::make_unique<TZipEntryList>(TZipSortMode::ByNone, true, TListDuplicates::dupError);
    const auto add = [this](std::unique_ptr<TZipEntryInfo> record, TZipEntryInfo*& kept) {
        try {
            m_entries->Add(record.get());
        } catch (const EListError&) {
            // Two headers for one local header: the directory cannot be
            // trusted.
            return false;
        }
        kept = record.release();  // now owned by the list
        return true;
    };
    return WalkCentralHeaders(m_endCentral.TotalEntries, add);
}

void TZipReader::MergeCentralHeaders() {
    // Each scanned record is completed by one central header only: a second
    // header naming the same local header would give one entry the name and
    // sizes of another.
    std::vector<char> completed(static_cast<size_t>(m_entries->Count()), 0);
    const auto complete = [&](std::unique_ptr<TZipEntryInfo> record, TZipEntryInfo*& kept) {
        const int found = m_entries->IndexOf(*record);
        kept = nullptr;
        if (found < 0 || completed[static_cast<size_t>(found)]) return true;
        completed[static_cast<size_t>(found)] = 1;
        TZipEntryInfo* target = m_entries->Items(found);
        const std::uint32_t offset = target->RelativeOffset;
        const std::uint16_t localExtra = target->LocalExtraFieldLength;
        target->Assign(*record);
        target->RelativeOffset = offset;
        target->LocalExtraFieldLength = localExtra;
        kept = target;
        return true;
    };
    // The scan found the entries: a header that cannot be read only ends the
    // completion, whatever it leaves incomplete.
    (void)WalkCentralHeaders(m_entries->Count(), complete);
}

bool TZipReader::FindEndCentral() {
    m_endCentral.Clear();
    const std::int64_t size = m_source->Size();
    if (size < EndCentral::kSize) {
        // An empty stream is an archive without entries.
        if (size == 0) m_endCentral.Signature = EndCentralDirSig;
        return size == 0;
    }
    const std::int64_t window = std::min(EndCentral::kSearchWindow, size);
    std::vector<std::uint8_t> tail(static_cast<size_t>(window));
    m_source->SetPosition(size - window);
    if (m_source->Read(tail.data(), window) != window) return false;
    const auto firstSigByte = static_cast<std::uint8_t>(EndCentralDirSig & 0xFF);
    const std::span<const std::uint8_t> bytes(tail);
    TEndCentralFields f;
    for (std::int64_t i = window - EndCentral::kSize; i >= 0; --i) {
        const auto at = bytes.subspan(static_cast<size_t>(i));
        if (at[0] != firstSigByte || !ParseEndCentral(at, f) || f.Signature != EndCentralDirSig) continue;
        if (f.ThisDisk > 999 || f.CentralDirDisk > 999 || f.ThisDisk < f.CentralDirDisk ||
            f.CentralDirOffset > static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max()))
            return false;
        m_endCentral.Signature = EndCentralDirSig;
        m_endCentral.ThisDiskNumber = f.ThisDisk;
        m_endCentral.CentralDirDiskNumber = f.CentralDirDisk;
        m_endCentral.EntriesOnThisDisk = f.EntriesOnThisDisk;
        m_endCentral.TotalEntries = f.TotalEntries;
        m_endCentral.CentralDirSize = f.CentralDirSize;
        m_endCentral.CentralDirOffset = f.CentralDirOffset;
        m_endCentral.ZipCommentLength = f.CommentLength;
        m_endCentral.ZipCommentPos = ClampU32(size - window + i + EndCentral::kSize);
        return true;
    }
    return false;
}

bool TZipReader::ReadCentralHeader(TZipEntryInfo& entry) {
    const std::int64_t start = m_source->Position();
    TCentralHeaderFields h;
    std::string name;
    if (start < 0 || !ReadCentralHeaderFields(*m_source, h) || h.Signature != CentralFileHeaderSig ||
        !ReadRecordName(*m_source, start + CentralHeader::kSize, h.NameLength, name)) {
        m_source->SetPosition(start);
        return false;
    }
    entry.VersionMadeBy = h.VersionMadeBy;
    TakeHeaderFields(entry, h);
    entry.ExtraFieldLength = h.ExtraLength;
    entry.CommentLength = h.CommentLength;
    entry.DiskNumberStart = h.DiskNumberStart;
    entry.InternalAttributes = h.InternalAttributes;
    entry.ExternalAttributes = h.ExternalAttributes;
    entry.RelativeOffset = h.LocalHeaderOffset;
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
    const int found = m_entries->Count();
    if (found == 0) {
        m_entries.reset();
        return false;
    }
    m_endCentral.ThisDiskNumber = 0;
    m_endCentral.CentralDirOffset = ClampU32(m_source->Position());
    m_endCentral.TotalEntries = static_cast<std::uint16_t>(std::min(found, 65535));
    return true;
}

bool TZipReader::ScanForLocalHeader(std::int64_t& headerPos) {
    std::uint8_t sig[4];
    WriteU32LE(sig, LocalFileHeaderSig);
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
            matched = b == sig[matched] ? matched + 1 : (b == sig[0] ? 1 : 0);
            if (matched < 4) continue;
            matched = 0;
            const std::int64_t sigPos = pos + i - 3;
            // Only the version needed is looked at before the header is taken.
            std::uint8_t version[2];
            m_source->SetPosition(sigPos + LocalHeader::kVersionNeeded);
            if (m_source->Read(version, sizeof version) != sizeof version) return false;
            if ((ReadU16LE(version) >> 8) < 10) {
                headerPos = sigPos;
                return true;
            }
            // Not a plausible header: go on after its version bytes.
            pos = sigPos + LocalHeader::kVersionNeeded + static_cast<std::int64_t>(sizeof version);
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
        if (pos > std::numeric_limits<std::uint32_t>::max() || pos + LocalHeader::kSize > size) break;
        m_source->SetPosition(pos);
        TLocalHeaderFields h;
        std::string name;
        if (!ReadLocalHeaderFields(*m_source, h) || h.Signature != LocalFileHeaderSig ||
            !ReadRecordName(*m_source, pos + LocalHeader::kSize, h.NameLength, name))
            break;
        auto record = std::make_unique<TZipEntryInfo>(OEMConvert);
        TakeHeaderFields(*record, h);
        record->LocalExtraFieldLength = h.ExtraLength;
        record->RelativeOffset = static_cast<std::uint32_t>(pos);
        SetEntryName(*record, std::move(name), OEMConvert);
        const std::int64_t next = pos + LocalHeader::kSize + h.NameLength + h.ExtraLength + h.CompressedSize +
                                  ((h.Flags & kFlagDataDescriptor) != 0 ? DataDescriptor::kSize : 0);
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
