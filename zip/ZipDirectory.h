// The ZIP reader's directory model.
//
//   signatures          the three record signatures the reader compares
//   TZipSortMode, TIncompleteZipMode
//   TZipEntryInfo       one entry of the archive directory
//   TEndCentralRecord   the end-of-central-directory record
//   FixDosDateTime      the clamp applied to stored MS-DOS date-times
//   SplitEntryName      "/" -> "\", OEM conversion, directory / file split
//   TSortedList         an ordered object list with a duplicates policy
//   TZipEntryList       a TSortedList of entries ordered by a TZipSortMode
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/Object.h"

namespace zv {

// Process-wide signature values, compared as 32-bit little-endian numbers.
extern const std::uint32_t CentralFileHeaderSig;  // "PK\1\2"
extern const std::uint32_t LocalFileHeaderSig;    // "PK\3\4"
extern const std::uint32_t EndCentralDirSig;      // "PK\5\6"

enum class TZipSortMode {
    ByName,
    ByFileName,
    ByDirectoryName,
    ByDate,
    ByCompressedSize,
    ByUnCompressedSize,
    ByRate,
    ByNone
};

enum class TIncompleteZipMode { izAssumeMulti, izAssumeBad, izAssumeNotAZip };

class TZipEntryInfo : public TObject {
public:
    explicit TZipEntryInfo(bool oemConvert = true) : m_oemConvert(oemConvert) {}

    std::uint16_t VersionMadeBy = 20;
    std::uint16_t VersionNeeded = 20;
    std::uint16_t Flags = 0;
    std::uint16_t CompressionMethod = 8;
    std::uint32_t DateTime = 0;
    std::uint32_t CRC32 = 0xFFFFFFFF;
    std::uint32_t CompressedSize = 0;
    std::uint32_t UnCompressedSize = 0;
    std::uint16_t ExtraFieldLength = 0;
    std::uint16_t LocalExtraFieldLength = 0;
    std::uint16_t CommentLength = 0;
    std::uint16_t DiskNumberStart = 0;
    std::uint16_t InternalAttributes = 1;
    std::uint32_t ExternalAttributes = 32;
    std::uint32_t RelativeOffset = 0;  // local header offset on its disk
    std::uint32_t CentralOffset = 0;   // where the central header was read
    bool Selected = false;
    bool MatchFlag = false;   // used only by selection modes this reader does not offer
    bool SearchFlag = false;  // likewise

    [[nodiscard]] std::uint16_t FileNameLength() const { return m_fileNameLength; }
    [[nodiscard]] const std::string& FileName() const { return m_fileName; }
    [[nodiscard]] const std::string& Directory() const { return m_directory; }
    [[nodiscard]] std::string FullName() const { return m_directory + m_fileName; }
    [[nodiscard]] bool OEMConvert() const { return m_oemConvert; }
    [[nodiscard]] bool HasComment() const { return m_comment != nullptr; }
    [[nodiscard]] std::string Comment() const { return m_comment ? *m_comment : std::string(); }
    void SetComment(const std::string& text) { m_comment = std::make_unique<std::string>(text); }
    void ClearComment() { m_comment.reset(); }

    void SetFileName(const std::string& name);
    // Appends "\" to a non-empty directory that does not end in one.
    void SetDirectory(const std::string& dir);
    // Copies every field, the comment included.
    void Assign(const TZipEntryInfo& other);

private:
    std::uint16_t m_fileNameLength = 0;
    std::string m_fileName;
    std::string m_directory;
    std::unique_ptr<std::string> m_comment;
    bool m_oemConvert;
};

class TEndCentralRecord : public TObject {
public:
    std::uint32_t Signature = 0;
    std::uint16_t ThisDiskNumber = 0;
    std::uint16_t CentralDirDiskNumber = 0;
    std::uint16_t EntriesOnThisDisk = 0;
    std::uint16_t TotalEntries = 0;
    std::uint32_t CentralDirSize = 0;
    std::uint32_t CentralDirOffset = 0;
    std::uint16_t ZipCommentLength = 0;
    std::uint32_t ZipCommentPos = 0;
    bool ModifiedComment = false;

    [[nodiscard]] bool HasComment() const { return m_comment != nullptr; }
    [[nodiscard]] std::string ZipComment() const { return m_comment ? *m_comment : std::string(); }
    void SetZipComment(const std::string& text) { m_comment = std::make_unique<std::string>(text); }
    void Clear();

private:
    std::unique_ptr<std::string> m_comment;
};

// Clamps the fields of an MS-DOS date-time (time in the low word, date in the
// high word) to a valid value; returns the input unchanged when nothing was
// out of range.
std::uint32_t FixDosDateTime(std::uint32_t dateTime);

// Turns a stored name into the entry's directory and file name: every "/"
// becomes "\", then the OEM conversion runs when asked for.
void SetEntryName(TZipEntryInfo& entry, std::string rawName, bool oemConvert);

enum class TListDuplicates { dupIgnore = 0, dupAccept = 1, dupError = 2 };

// An ordered list of objects that keeps itself sorted by Compare on every
// insert (binary search for the place; among equal keys a new object goes
// last). Owns its objects unless created with ownsObjects = false.
class TSortedList : public TObject {
public:
    explicit TSortedList(bool ownsObjects = true, TListDuplicates duplicates = TListDuplicates::dupAccept)
        : m_ownsObjects(ownsObjects), m_duplicates(duplicates) {}
    ~TSortedList() override;
    TSortedList(const TSortedList&) = delete;
    TSortedList& operator=(const TSortedList&) = delete;

    [[nodiscard]] int Count() const { return static_cast<int>(m_items.size()); }
    // Raises EListError "List index out of bounds (%d)" outside the list.
    [[nodiscard]] TObject* Get(int index) const;
    [[nodiscard]] bool OwnsObjects() const { return m_ownsObjects; }
    [[nodiscard]] TListDuplicates Duplicates() const { return m_duplicates; }

    // Inserts in sorted position and returns the index; -1 when a duplicate
    // was ignored (an ignored object the list owns is freed). Raises
    // EListError "Duplicate Object index" for a duplicate under dupError; the
    // caller then still owns the object.
    int Add(TObject* item);
    // Storing by position would break the order: always refused.
    [[noreturn]] void Put(int index, TObject* item);
    // Binary search for an object comparing equal to key; -1 when none.
    [[nodiscard]] int IndexOf(const TObject& key) const;
    void Delete(int index);
    void Clear();

protected:
    // < 0, 0, > 0 as a orders before, equal to or after b.
    [[nodiscard]] virtual int Compare(const TObject& a, const TObject& b) const = 0;

private:
    // First index whose object orders after key (upper bound).
    [[nodiscard]] int UpperBound(const TObject& key) const;

    std::vector<TObject*> m_items;
    bool m_ownsObjects;
    TListDuplicates m_duplicates;
};

class TZipEntryList : public TSortedList {
public:
    explicit TZipEntryList(TZipSortMode mode, bool ownsObjects = true,
                           TListDuplicates duplicates = TListDuplicates::dupAccept)
        : TSortedList(ownsObjects, duplicates), m_mode(mode) {}
    [[nodiscard]] TZipSortMode SortMode() const { return m_mode; }
    [[nodiscard]] TZipEntryInfo* Items(int index) const { return static_cast<TZipEntryInfo*>(Get(index)); }

protected:
    [[nodiscard]] int Compare(const TObject& a, const TObject& b) const override;

private:
    TZipSortMode m_mode;
};

// The compression rate ByRate orders by: per mille of the size saved.
int CompressionRate(const TZipEntryInfo& entry);

}  // namespace zv
