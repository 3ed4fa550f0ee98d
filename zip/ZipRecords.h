// The records of a ZIP archive as they lie in the stream, for the directory
// read and the extraction alike.
//
//   LocalHeader, CentralHeader, EndCentral, DataDescriptor
//                        each record's field offsets and fixed size
//   general-purpose flag bits
//   T...Fields           a record's fixed part as plain little-endian values;
//                        THeaderFields is what both headers share
//   Parse...             bytes -> fields; false when the bytes are too few
//   Read...              the same from a stream's current position
//   ReadRecordName       the name that follows a local or central header
//
// Offsets count from the record's signature. The variable parts (name, extra
// field, comment) follow the fixed part in that order. Signature values live
// with the directory model (zip/ZipDirectory.h); the parsers do not check
// them, as the extraction reads a local header without looking at its
// signature.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "base/Streams.h"

namespace zv {

// Local file header: in front of every entry's data.
struct LocalHeader {
    static constexpr std::int64_t kSignature = 0;
    static constexpr std::int64_t kVersionNeeded = 4;
    static constexpr std::int64_t kFlags = 6;
    static constexpr std::int64_t kMethod = 8;
    static constexpr std::int64_t kDateTime = 10;
    static constexpr std::int64_t kCRC32 = 14;
    static constexpr std::int64_t kCompressedSize = 18;
    static constexpr std::int64_t kUnCompressedSize = 22;
    static constexpr std::int64_t kNameLength = 26;
    static constexpr std::int64_t kExtraLength = 28;
    static constexpr std::int64_t kSize = 30;
};

// Central file header: one per entry in the central directory.
struct CentralHeader {
    static constexpr std::int64_t kSignature = 0;
    static constexpr std::int64_t kVersionMadeBy = 4;
    static constexpr std::int64_t kVersionNeeded = 6;
    static constexpr std::int64_t kFlags = 8;
    static constexpr std::int64_t kMethod = 10;
    static constexpr std::int64_t kDateTime = 12;
    static constexpr std::int64_t kCRC32 = 16;
    static constexpr std::int64_t kCompressedSize = 20;
    static constexpr std::int64_t kUnCompressedSize = 24;
    static constexpr std::int64_t kNameLength = 28;
    static constexpr std::int64_t kExtraLength = 30;
    static constexpr std::int64_t kCommentLength = 32;
    static constexpr std::int64_t kDiskNumberStart = 34;
    static constexpr std::int64_t kInternalAttributes = 36;
    static constexpr std::int64_t kExternalAttributes = 38;
    static constexpr std::int64_t kLocalHeaderOffset = 42;
    static constexpr std::int64_t kSize = 46;
};

// End of central directory record: the last record, before the archive
// comment.
struct EndCentral {
    static constexpr std::int64_t kSignature = 0;
    static constexpr std::int64_t kThisDisk = 4;
    static constexpr std::int64_t kCentralDirDisk = 6;
    static constexpr std::int64_t kEntriesOnThisDisk = 8;
    static constexpr std::int64_t kTotalEntries = 10;
    static constexpr std::int64_t kCentralDirSize = 12;
    static constexpr std::int64_t kCentralDirOffset = 16;
    static constexpr std::int64_t kCommentLength = 20;
    static constexpr std::int64_t kSize = 22;
    // The record plus the longest comment it can announce: how far from
    // the end of the stream its signature can lie.
    static constexpr std::int64_t kSearchWindow = kSize + 65535;
};

// Data descriptor: after the data of an entry whose sizes and CRC were not
// known when its local header was written (flag bit 3). Only stepped over;
// its values are repeated in the central header.
struct DataDescriptor {
    static constexpr std::int64_t kSignature = 0;
    static constexpr std::int64_t kCRC32 = 4;
    static constexpr std::int64_t kCompressedSize = 8;
    static constexpr std::int64_t kUnCompressedSize = 12;
    static constexpr std::int64_t kSize = 16;
};

// General-purpose flag bits of the local and central headers.
inline constexpr std::uint16_t kFlagEncrypted = 0x0001;
inline constexpr std::uint16_t kFlagImplodeBigWindow = 0x0002;    // 8 KB dictionary, else 4 KB
inline constexpr std::uint16_t kFlagImplodeLiteralTree = 0x0004;  // literals are coded
inline constexpr std::uint16_t kFlagDataDescriptor = 0x0008;

// The fields both headers hold, in the same order: in the central header
// they follow the version made by.
struct THeaderFields {
    std::uint16_t VersionNeeded = 0;
    std::uint16_t Flags = 0;
    std::uint16_t Method = 0;
    std::uint32_t DateTime = 0;
    std::uint32_t CRC32 = 0;
    std::uint32_t CompressedSize = 0;
    std::uint32_t UnCompressedSize = 0;
    std::uint16_t NameLength = 0;
    std::uint16_t ExtraLength = 0;
};

struct TLocalHeaderFields : THeaderFields {
    std::uint32_t Signature = 0;
};

struct TCentralHeaderFields : THeaderFields {
    std::uint32_t Signature = 0;
    std::uint16_t VersionMadeBy = 0;
    std::uint16_t CommentLength = 0;
    std::uint16_t DiskNumberStart = 0;
    std::uint16_t InternalAttributes = 0;
    std::uint32_t ExternalAttributes = 0;
    std::uint32_t LocalHeaderOffset = 0;
};

struct TEndCentralFields {
    std::uint32_t Signature = 0;
    std::uint16_t ThisDisk = 0;
    std::uint16_t CentralDirDisk = 0;
    std::uint16_t EntriesOnThisDisk = 0;
    std::uint16_t TotalEntries = 0;
    std::uint32_t CentralDirSize = 0;
    std::uint32_t CentralDirOffset = 0;
    std::uint16_t CommentLength = 0;
};

// Fill fields from the start of bytes; false (fields untouched) when bytes
// is shorter than the record's fixed part.
[[nodiscard]] bool ParseLocalHeader(std::span<const std::uint8_t> bytes, TLocalHeaderFields& fields);
[[nodiscard]] bool ParseCentralHeader(std::span<const std::uint8_t> bytes, TCentralHeaderFields& fields);
[[nodiscard]] bool ParseEndCentral(std::span<const std::uint8_t> bytes, TEndCentralFields& fields);

// Read a record's fixed part at the stream's position and parse it; false
// when the stream ends first. The stream is left after what was read.
[[nodiscard]] bool ReadLocalHeaderFields(TStream& stream, TLocalHeaderFields& fields);
[[nodiscard]] bool ReadCentralHeaderFields(TStream& stream, TCentralHeaderFields& fields);

// Reads the length bytes of a name from the stream's position, which is at:
// false when the stream is shorter, which is checked before anything is
// allocated for it.
[[nodiscard]] bool ReadRecordName(TStream& stream, std::int64_t at, std::uint16_t length, std::string& name);

}  // namespace zv
