// TZipReader: the component that reads the directory of a ZIP archive held
// in a stream and unpacks chosen entries into another stream.
//
//   settings and events      the published properties with their defaults
//   SetSourceStream          attach / detach the archive stream (not owned)
//   ReadDirectory            find the end record, read the central headers,
//                            rebuild from the local headers when needed
//   ExtractToStream          unpack the entries matching a name pattern
//   WildcardMatch            the pattern matcher used for selection
//
// Methods unpacked: stored, Shrink, Reduce (factors 1 to 4), Implode and
// Deflate (through zlib); any other method shows the "Unknown Compression
// Method" notice (zip/ZipPlatform.h) and the entry is not counted.
// Encrypted entries are skipped. Only single-disk archives held in a stream
// are read; archive files by name (ZipName only moves the recovery scan past
// the stub of an ".exe"), spanned sets and the file-output modes are not
// built.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/Component.h"
#include "base/Streams.h"
#include "base/Strings.h"
#include "zip/ZipDirectory.h"
#include "zip/ZipErrors.h"

namespace zv {

enum class TZipOverwriteMode { Prompt, Always, Never };

enum class TZipSkipReason { srBadPassword };

// Matches text against a pattern of literals, "?", "*" and "<...>" sets,
// ignoring the case of ASCII letters.
bool WildcardMatch(const std::string& pattern, const std::string& text);

class TZipReader : public TComponent {
public:
    // Sizes of the run's blocks: input is read and output flushed in blocks
    // of at most BlockSize bytes.
    static constexpr std::int64_t BlockSize = 32768;
    static constexpr int kDefaultVersion = 223;

    explicit TZipReader(TComponent* owner = nullptr);
    ~TZipReader() override;

    // ---- settings ----
    [[nodiscard]] const std::string& ZipName() const { return m_zipName; }
    void SetZipName(const std::string& name);
    [[nodiscard]] TZipSortMode SortMode() const { return m_sortMode; }
    // Rebuilds the view list of a directory already read.
    void SetSortMode(TZipSortMode mode);
    [[nodiscard]] TStringList& FilesList() { return *m_filesList; }
    bool DoAll = false;
    TIncompleteZipMode IncompleteZipMode = TIncompleteZipMode::izAssumeMulti;
    bool KeepZipOpen = false;
    bool DoProcessMessages = true;
    bool OEMConvert = true;
    // File-output settings: kept for the component's interface, unused when
    // unpacking into a stream.
    bool RecreateDirs = false;
    std::string DestDir;
    std::string RootDir;
    TZipOverwriteMode OverwriteMode = TZipOverwriteMode::Prompt;
    bool RetainAttributes = true;
    bool ReplaceReadOnly = false;
    bool FlushFilesOnClose = false;
    [[nodiscard]] int ThisVersion() const { return kDefaultVersion; }

    // Asks a running directory scan or extraction to stop at its next check
    // (the user interface sets it while messages are processed).
    void Cancel() { m_cancel = true; }
    [[nodiscard]] bool CancelRequested() const { return m_cancel; }

    // ---- events (called only when assigned) ----
    std::function<void(TObject& sender, int numFiles, std::int64_t totalBytes, bool& stopNow)>
        OnStartUnZipInfo;
    std::function<void(TObject& sender, int fileIndex, std::string& fileName, bool& skip)> OnStartUnZip;
    std::function<void(TObject& sender, int fileIndex, const std::string& fileName)> OnEndUnZip;
    std::function<void(TObject& sender, std::uint32_t calcCRC, std::uint32_t storedCRC, int fileIndex)>
        OnBadCRC;
    // Raised for an encrypted entry: no password can be set, so it is left out.
    std::function<void(TObject& sender, TZipSkipReason reason, const std::string& name, int fileIndex)>
        OnSkippingFile;
    std::function<void(TObject& sender, int percent)> OnFilePercentDone;
    std::function<void(TObject& sender, int percent)> OnTotalPercentDone;
    std::function<void(TObject& sender, int fileCount)> OnUnZipComplete;
    std::function<void(TObject& sender, TIncompleteZipMode& mode)> OnInCompleteZip;
    // The remaining events of the component belong to modes not built here
    // (passwords, overwriting files on disk, spanned sets, buffer and
    // decryption callbacks); they are never raised by this reader.
    std::function<void(TObject& sender, int fileIndex, std::string& newPassword)> OnBadPassword;
    std::function<void(TObject& sender, std::string& fileName, bool& overwrite)> OnPromptForOverwrite;
    std::function<void(TObject& sender, int diskNumber, bool& cancel)> OnGetNextDisk;
    std::function<void(TObject& sender, std::int64_t& count)> OnGetNextBuffer;
    std::function<void(TObject& sender, std::uint8_t* data, std::int64_t count)> OnDecrypt;

    // ---- archive and directory ----
    // Detaches the previous archive, clears the directory and takes stream
    // (nullptr detaches). The caller keeps ownership of the stream.
    void SetSourceStream(TStream* stream);
    [[nodiscard]] TStream* SourceStream() const { return m_source; }
    [[nodiscard]] bool ArchiveIsStream() const { return m_archiveIsStream; }
    void ReadDirectory();
    void ClearDirectory();
    [[nodiscard]] int EntryCount() const { return m_entries ? m_entries->Count() : 0; }
    // Entries in the view order (SortMode); index as EntryCount.
    [[nodiscard]] const TZipEntryInfo& Entry(int index) const;
    [[nodiscard]] const TEndCentralRecord& EndCentral() const { return m_endCentral; }
    [[nodiscard]] bool RebuiltByScanning() const { return m_rebuilt; }
    // The archive comment, read from the stream on demand (empty when none or
    // when the stream ends before it).
    [[nodiscard]] std::string ZipComment();

    // ---- extraction ----
    // Unpacks every entry whose directory + file name matches name into
    // stream; returns how many passed the CRC check. 0 for an empty name or
    // no stream.
    int ExtractToStream(TStream* stream, const std::string& name);

private:
    class TRun;
    friend class TRun;

    void EnsureDirectory();
    void ReadDirectoryFromStream();
    void RecoverWithoutEndRecord();
    bool ReadCentralDirectory();
    void MergeCentralHeaders();
    // Reads count central headers from the directory offset of the end
    // record and hands each to take(record, kept), which keeps it, setting
    // kept to the record a retry of the next header may correct (or
    // nullptr), or refuses it. False at the first header that cannot be read
    // or is refused.
    template <class Sink>
    bool WalkCentralHeaders(int count, Sink&& take);
    bool FindEndCentral();
    bool ReadCentralHeader(TZipEntryInfo& entry);
    bool RebuildByScanning();
    bool ScanForLocalHeader(std::int64_t& headerPos);
    void ReadLocalHeaders(std::int64_t firstHeader);
    void BuildViewList();
    void CheckCancel();
    [[noreturn]] void FailBadZip();

    std::string m_zipName;
    TZipSortMode m_sortMode = TZipSortMode::ByNone;
    std::unique_ptr<TStringList> m_filesList;
    TStream* m_source = nullptr;
    bool m_archiveIsStream = false;
    TEndCentralRecord m_endCentral;
    std::unique_ptr<TZipEntryList> m_entries;  // main list, owns the records
    std::unique_ptr<TZipEntryList> m_view;     // for modes other than ByNone
    bool m_rebuilt = false;
    int m_currentDisk = 0;
    bool m_cancel = false;
    bool m_toStream = false;
    std::unique_ptr<TZipEntryInfo> m_working;
};

}  // namespace zv
