// Parsing the fixed parts of the ZIP records, from bytes and from a stream.
#include "zip/ZipRecords.h"

namespace zv {

namespace {

// The record's fixed part, or an empty view when bytes hold less of it.
std::span<const std::uint8_t> FixedPart(std::span<const std::uint8_t> bytes, std::int64_t size) {
    const auto need = static_cast<std::size_t>(size);
    return bytes.size() < need ? std::span<const std::uint8_t>() : bytes.first(need);
}

// Every field lies inside its record's fixed part, which FixedPart checked.
std::uint16_t U16(std::span<const std::uint8_t> record, std::int64_t at) {
    return ReadU16LE(record.data() + at);
}

std::uint32_t U32(std::span<const std::uint8_t> record, std::int64_t at) {
    return ReadU32LE(record.data() + at);
}

// The fields of either header that THeaderFields holds.
template <class Layout>
void ParseSharedFields(std::span<const std::uint8_t> r, THeaderFields& fields) {
    fields.VersionNeeded = U16(r, Layout::kVersionNeeded);
    fields.Flags = U16(r, Layout::kFlags);
    fields.Method = U16(r, Layout::kMethod);
    fields.DateTime = U32(r, Layout::kDateTime);
    fields.CRC32 = U32(r, Layout::kCRC32);
    fields.CompressedSize = U32(r, Layout::kCompressedSize);
    fields.UnCompressedSize = U32(r, Layout::kUnCompressedSize);
    fields.NameLength = U16(r, Layout::kNameLength);
    fields.ExtraLength = U16(r, Layout::kExtraLength);
}

static_assert(LocalHeader::kExtraLength + 2 == LocalHeader::kSize);
static_assert(CentralHeader::kLocalHeaderOffset + 4 == CentralHeader::kSize);
static_assert(EndCentral::kCommentLength + 2 == EndCentral::kSize);
static_assert(DataDescriptor::kUnCompressedSize + 4 == DataDescriptor::kSize);

// Reads up to size bytes into buffer; the view covers what arrived.
std::span<const std::uint8_t> ReadFixedPart(TStream& stream, std::uint8_t* buffer, std::int64_t size) {
    const std::int64_t got = stream.Read(buffer, size);
    return {buffer, static_cast<std::size_t>(got > 0 ? got : 0)};
}

}  // namespace

bool ParseLocalHeader(std::span<const std::uint8_t> bytes, TLocalHeaderFields& fields) {
    const auto r = FixedPart(bytes, LocalHeader::kSize);
    if (r.empty()) return false;
    fields.Signature = U32(r, LocalHeader::kSignature);
    ParseSharedFields<LocalHeader>(r, fields);
    return true;
}

bool ParseCentralHeader(std::span<const std::uint8_t> bytes, TCentralHeaderFields& fields) {
    using C = CentralHeader;
    const auto r = FixedPart(bytes, C::kSize);
    if (r.empty()) return false;
    fields.Signature = U32(r, C::kSignature);
    fields.VersionMadeBy = U16(r, C::kVersionMadeBy);
    ParseSharedFields<C>(r, fields);
    fields.CommentLength = U16(r, C::kCommentLength);
    fields.DiskNumberStart = U16(r, C::kDiskNumberStart);
    fields.InternalAttributes = U16(r, C::kInternalAttributes);
    fields.ExternalAttributes = U32(r, C::kExternalAttributes);
    fields.LocalHeaderOffset = U32(r, C::kLocalHeaderOffset);
    return true;
}

bool ParseEndCentral(std::span<const std::uint8_t> bytes, TEndCentralFields& fields) {
    using E = EndCentral;
    const auto r = FixedPart(bytes, E::kSize);
    if (r.empty()) return false;
    fields.Signature = U32(r, E::kSignature);
    fields.ThisDisk = U16(r, E::kThisDisk);
    fields.CentralDirDisk = U16(r, E::kCentralDirDisk);
    fields.EntriesOnThisDisk = U16(r, E::kEntriesOnThisDisk);
    fields.TotalEntries = U16(r, E::kTotalEntries);
    fields.CentralDirSize = U32(r, E::kCentralDirSize);
    fields.CentralDirOffset = U32(r, E::kCentralDirOffset);
    fields.CommentLength = U16(r, E::kCommentLength);
    return true;
}

bool ReadLocalHeaderFields(TStream& stream, TLocalHeaderFields& fields) {
    std::uint8_t buffer[LocalHeader::kSize];
    return ParseLocalHeader(ReadFixedPart(stream, buffer, LocalHeader::kSize), fields);
}

bool ReadCentralHeaderFields(TStream& stream, TCentralHeaderFields& fields) {
    std::uint8_t buffer[CentralHeader::kSize];
    return ParseCentralHeader(ReadFixedPart(stream, buffer, CentralHeader::kSize), fields);
}

bool ReadRecordName(TStream& stream, std::int64_t at, std::uint16_t length, std::string& name) {
    if (at + length > stream.Size()) return false;
    name.assign(length, '\0');
    return length == 0 || stream.Read(name.data(), length) == length;
}

}  // namespace zv
