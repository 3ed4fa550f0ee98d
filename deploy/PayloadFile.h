// What the two deployments share: the payload constants, the result codes,
// opening an embedded payload archive, and putting one archive entry in the
// place of a target file.
//
//   PayloadVersion, DeployResult codes
//   OpenPayloadArchive     RCDATA 1 / 2 of the program as a read-only stream
//   SetPayloadArchiveOpener   replaces the source of the archives (tests)
//   TargetNeedsUpdate      the version rule against PayloadVersion
//   TargetPathTooLong      a target the system's file functions cannot name
//   SetFreeSpaceQuery      replaces the free-space query (tests)
//   ReplaceWithEntry       unpack beside the target, check, swap in one step
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "ProductVersion.h"
#include "base/Streams.h"
#include "zip/ZipReader.h"

namespace zv {

inline constexpr const char* PayloadVersion = ZV_PRODUCT_VERSION_STRING;
inline constexpr int PluginArchiveId = 1;
inline constexpr int ActiveXArchiveId = 2;

// DeployResult: the last failure met by a deployment call. -6 and -7 were
// added after the first five: before them a full disk read as -2 ("<browser>
// loaded !") and a path past the system's limit as -1 ("Insufficient
// directory rights"), which sent the user after the wrong cause. The
// deployments name the directory of the last failure beside the code.
enum : int {
    drOk = 0,
    drCannotCreate = -1,    // the file cannot be created or the target cannot be replaced
    drCannotWrite = -2,     // unpacking or writing the new file failed
    drNewerInstalled = -3,  // the installed file's version is higher
    drRegistration = -4,    // the ActiveX registration failed
    drUndefined = -5,       // the archive or anything outside the per-file handling
    drDiskFull = -6,        // not enough room on the disk (or in the user's quota) for the new file
    drPathTooLong = -7,     // the target's path is longer than the system's file functions take
};

using TPayloadArchiveOpener = std::function<std::unique_ptr<TStream>(int id)>;

// The archive RCDATA `id` of the program module (or what the installed opener
// gives). Raises EResNotFound when there is no such resource.
std::unique_ptr<TStream> OpenPayloadArchive(int id);
// An empty function goes back to the program's resources.
void SetPayloadArchiveOpener(TPayloadArchiveOpener opener);

// A missing target needs the payload; an existing one when its version number
// is lower. Raises EConvertError for an installed version text that does not
// convert.
bool TargetNeedsUpdate(const std::string& target);
// The installed version is higher than the payload's (never raises for
// missing files: they are not newer).
bool TargetIsNewer(const std::string& target);

// True when `target` has more characters than the system's file functions
// take (MAX_PATH, the terminating zero included). Nothing can be written
// there, and the failure must not read as a lack of rights.
bool TargetPathTooLong(const std::string& target);

// Bytes the user may still write on the disk of `dir` (a directory ending in
// "\"); no value when the system cannot tell.
using TFreeSpaceQuery = std::function<std::optional<std::uint64_t>(const std::string& dir)>;
// An empty function goes back to GetDiskFreeSpaceEx.
void SetFreeSpaceQuery(TFreeSpaceQuery query);

// Unpacks `entry` of the reader's archive into a fresh file beside `target`
// (a short name ending in ".tmp", so that it fits wherever the target fits),
// and only when it came out whole with a good CRC puts it in the target's
// place in one step. On any failure the previous target is untouched and the
// fresh file is removed. Both files need room at once; when the disk says it
// has less than the entry's size, nothing is written. Returns drOk,
// drCannotCreate (no file can be made in the directory, or the target cannot
// be replaced: missing directory, no rights, file in use), drCannotWrite
// (unpacking or writing failed, bad CRC, nothing unpacked), drDiskFull (no
// room for the new file, found before or while writing) or drPathTooLong.
int ReplaceWithEntry(TZipReader& reader, const std::string& entry, const std::string& target);

// The reader with the settings both deployments use, over `archive`; its
// directory read. The stream stays the caller's.
class TPayloadReader {
public:
    explicit TPayloadReader(TStream& archive);
    ~TPayloadReader();
    TPayloadReader(const TPayloadReader&) = delete;
    TPayloadReader& operator=(const TPayloadReader&) = delete;
    TZipReader& Reader() { return m_reader; }

private:
    TZipReader m_reader;
};

}  // namespace zv
