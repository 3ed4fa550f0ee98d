// What the two deployments share: the payload constants, the result codes,
// opening an embedded payload archive, and putting one archive entry in the
// place of a target file.
//
//   PayloadVersion, DeployResult codes
//   OpenPayloadArchive     RCDATA 1 / 2 of the program as a read-only stream
//   SetPayloadArchiveOpener   replaces the source of the archives (tests)
//   TargetNeedsUpdate      the version rule against PayloadVersion
//   ReplaceWithEntry       unpack beside the target, check, swap in one step
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "base/Streams.h"
#include "zip/ZipReader.h"

namespace zv {

inline constexpr const char* PayloadVersion = "1.7.9.174";
inline constexpr int PluginArchiveId = 1;
inline constexpr int ActiveXArchiveId = 2;

// DeployResult: the last failure met by a deployment call.
enum : int {
    drOk = 0,
    drCannotCreate = -1,    // the file cannot be created or the target cannot be replaced
    drCannotWrite = -2,     // unpacking or writing the new file failed
    drNewerInstalled = -3,  // the installed file's version is higher
    drRegistration = -4,    // the ActiveX registration failed
    drUndefined = -5,       // the archive or anything outside the per-file handling
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

// Unpacks `entry` of the reader's archive into a fresh file beside `target`,
// and only when it came out whole with a good CRC puts it in the target's
// place in one step. On any failure the previous target is untouched and the
// fresh file is removed. Returns drOk, drCannotCreate (no file can be made in
// the directory, or the target cannot be replaced: missing directory, no
// rights, file in use) or drCannotWrite (unpacking or writing failed, bad CRC,
// nothing unpacked).
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
