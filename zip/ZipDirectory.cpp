// Entry and end records, the date clamp, name splitting and the sorted
// entry lists.
#include "zip/ZipDirectory.h"

#include "base/SysUtils.h"
#include "zip/ZipErrors.h"
#include "zip/ZipPlatform.h"

namespace zv {

const std::uint32_t CentralFileHeaderSig = 0x02014B50;
const std::uint32_t LocalFileHeaderSig = 0x04034B50;
const std::uint32_t EndCentralDirSig = 0x06054B50;

// ---- TZipEntryInfo -----------------------------------------------------------

void TZipEntryInfo::SetFileName(const std::string& name) {
    m_fileName = name;
    m_fileNameLength = static_cast<std::uint16_t>(m_directory.size() + m_fileName.size());
}

void TZipEntryInfo::SetDirectory(const std::string& dir) {
    m_directory = dir;
    if (!m_directory.empty() && m_directory.back() != '\\') m_directory += '\\';
    m_fileNameLength = static_cast<std::uint16_t>(m_directory.size() + m_fileName.size());
}

void TZipEntryInfo::Assign(const TZipEntryInfo& other) {
    if (&other == this) return;
    VersionMadeBy = other.VersionMadeBy;
    VersionNeeded = other.VersionNeeded;
    Flags = other.Flags;
    CompressionMethod = other.CompressionMethod;
    DateTime = other.DateTime;
    CRC32 = other.CRC32;
    CompressedSize = other.CompressedSize;
    UnCompressedSize = other.UnCompressedSize;
    ExtraFieldLength = other.ExtraFieldLength;
    LocalExtraFieldLength = other.LocalExtraFieldLength;
    CommentLength = other.CommentLength;
    DiskNumberStart = other.DiskNumberStart;
    InternalAttributes = other.InternalAttributes;
    ExternalAttributes = other.ExternalAttributes;
    RelativeOffset = other.RelativeOffset;
    CentralOffset = other.CentralOffset;
    Selected = other.Selected;
    MatchFlag = other.MatchFlag;
    SearchFlag = other.SearchFlag;
    m_fileNameLength = other.m_fileNameLength;
    m_fileName = other.m_fileName;
    m_directory = other.m_directory;
    m_comment = other.m_comment ? std::make_unique<std::string>(*other.m_comment) : nullptr;
    m_oemConvert = other.m_oemConvert;
}

// ---- TEndCentralRecord -------------------------------------------------------

void TEndCentralRecord::Clear() {
    Signature = 0;
    ThisDiskNumber = 0;
    CentralDirDiskNumber = 0;
    EntriesOnThisDisk = 0;
    TotalEntries = 0;
    CentralDirSize = 0;
    CentralDirOffset = 0;
    ZipCommentLength = 0;
    ZipCommentPos = 0;
    ModifiedComment = false;
    m_comment.reset();
}

// ---- names and dates ----------------------------------------------------------

std::uint32_t FixDosDateTime(std::uint32_t dateTime) {
    unsigned seconds2 = dateTime & 0x1F;
    unsigned minutes = (dateTime >> 5) & 0x3F;
    unsigned hours = (dateTime >> 11) & 0x1F;
    unsigned day = (dateTime >> 16) & 0x1F;
    unsigned month = (dateTime >> 21) & 0x0F;
    unsigned year = (dateTime >> 25) & 0x7F;  // years since 1980
    bool changed = false;
    auto clamp = [&changed](unsigned& v, unsigned lo, unsigned hi) {
        if (v < lo) {
            v = lo;
            changed = true;
        } else if (v > hi) {
            v = hi;
            changed = true;
        }
    };
    clamp(hours, 0, 23);
    clamp(minutes, 0, 59);
    clamp(seconds2, 0, 29);
    clamp(year, 0, 2099 - 1980);
    clamp(month, 1, 12);
    clamp(day, 1, 31);
    if (!changed) return dateTime;
    const std::uint32_t time = seconds2 | (minutes << 5) | (hours << 11);
    const std::uint32_t date = day | (month << 5) | (year << 9);
    return time | (date << 16);
}

void SetEntryName(TZipEntryInfo& entry, std::string rawName, bool oemConvert) {
    for (char& c : rawName)
        if (c == '/') c = '\\';
    if (oemConvert) ZipOemToAnsi(rawName);
    const auto slash = rawName.rfind('\\');
    if (slash == std::string::npos) {
        entry.SetDirectory(std::string());
        entry.SetFileName(rawName);
    } else {
        entry.SetDirectory(rawName.substr(0, slash + 1));
        entry.SetFileName(rawName.substr(slash + 1));
    }
}

// ---- TSortedList --------------------------------------------------------------

TSortedList::~TSortedList() {
    Clear();
}

TObject* TSortedList::Get(int index) const {
    if (index < 0 || index >= Count()) throw EListError(Format(SListIndexError, index));
    return m_items[static_cast<size_t>(index)];
}

int TSortedList::UpperBound(const TObject& key) const {
    int lo = 0;
    int hi = Count();
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (Compare(*m_items[static_cast<size_t>(mid)], key) <= 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

int TSortedList::Add(TObject* item) {
    const int place = UpperBound(*item);
    const bool duplicate = place > 0 && Compare(*m_items[static_cast<size_t>(place - 1)], *item) == 0;
    if (duplicate) {
        if (m_duplicates == TListDuplicates::dupIgnore) {
            if (m_ownsObjects) delete item;
            return -1;
        }
        if (m_duplicates == TListDuplicates::dupError) throw EListError(SDuplicateObject);
    }
    m_items.insert(m_items.begin() + place, item);
    return place;
}

void TSortedList::Put(int, TObject*) {
    throw EListError(SSortedListPut);
}

int TSortedList::IndexOf(const TObject& key) const {
    const int place = UpperBound(key);
    // Step back over equal keys to the first of them.
    int i = place;
    while (i > 0 && Compare(*m_items[static_cast<size_t>(i - 1)], key) == 0) --i;
    return i < place ? i : -1;
}

void TSortedList::Delete(int index) {
    TObject* item = Get(index);
    m_items.erase(m_items.begin() + index);
    if (m_ownsObjects) delete item;
}

void TSortedList::Clear() {
    std::vector<TObject*> items;
    items.swap(m_items);
    if (m_ownsObjects)
        for (TObject* item : items) delete item;
}

// ---- TZipEntryList ------------------------------------------------------------

int CompressionRate(const TZipEntryInfo& entry) {
    if (entry.UnCompressedSize == 0) return 0;
    const std::int64_t saved =
        static_cast<std::int64_t>(entry.UnCompressedSize) - static_cast<std::int64_t>(entry.CompressedSize);
    return static_cast<int>(saved * 1000 / static_cast<std::int64_t>(entry.UnCompressedSize));
}

namespace {

template <class V>
int Ascending(V a, V b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

}  // namespace

int TZipEntryList::Compare(const TObject& aObj, const TObject& bObj) const {
    const auto& a = static_cast<const TZipEntryInfo&>(aObj);
    const auto& b = static_cast<const TZipEntryInfo&>(bObj);
    switch (m_mode) {
        case TZipSortMode::ByName: return AnsiCompareText(a.FullName(), b.FullName());
        case TZipSortMode::ByFileName: return AnsiCompareText(a.FileName(), b.FileName());
        case TZipSortMode::ByDirectoryName: return AnsiCompareText(a.Directory(), b.Directory());
        case TZipSortMode::ByDate: return Ascending(b.DateTime, a.DateTime);
        case TZipSortMode::ByCompressedSize: return Ascending(b.CompressedSize, a.CompressedSize);
        case TZipSortMode::ByUnCompressedSize: return Ascending(b.UnCompressedSize, a.UnCompressedSize);
        case TZipSortMode::ByRate: return Ascending(CompressionRate(b), CompressionRate(a));
        case TZipSortMode::ByNone: break;
    }
    if (const int d = Ascending(a.DiskNumberStart, b.DiskNumberStart)) return d;
    return Ascending(a.RelativeOffset, b.RelativeOffset);
}

}  // namespace zv
