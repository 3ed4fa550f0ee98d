// Byte streams with the framework's semantics.
//
//   TStream               abstract: Read/Write/Seek, Position, Size,
//                         ReadBuffer/WriteBuffer (raise on short transfer),
//                         CopyFrom
//   TCustomMemoryStream   a stream over a block of memory it does not own
//                         (read-only views, resources)
//   TMemoryStream         a growable stream that owns its memory
//   TFileStream           a stream over a file (portable; fopen-based)
//   little-endian reads   ReadU16LE ... helpers over byte spans
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "base/Object.h"

namespace zv {

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream : public TObject {
public:
    // Reads up to count bytes; returns how many were read (0 at the end).
    virtual std::int64_t Read(void* buffer, std::int64_t count) = 0;
    // Writes up to count bytes; returns how many were written.
    virtual std::int64_t Write(const void* buffer, std::int64_t count) = 0;
    // Moves the position and returns the new one.
    virtual std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) = 0;

    [[nodiscard]] std::int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
    void SetPosition(std::int64_t pos) { Seek(pos, TSeekOrigin::soBeginning); }
    [[nodiscard]] virtual std::int64_t Size();
    virtual void SetSize(std::int64_t newSize);

    // Raise EReadError "Stream read error" / EWriteError when fewer bytes move.
    void ReadBuffer(void* buffer, std::int64_t count);
    void WriteBuffer(const void* buffer, std::int64_t count);
    // Copies count bytes from source's current position; count 0 copies the
    // whole source from its start. Returns the number of bytes copied.
    std::int64_t CopyFrom(TStream& source, std::int64_t count);
};

class TCustomMemoryStream : public TStream {
public:
    TCustomMemoryStream() = default;
    TCustomMemoryStream(const void* data, std::int64_t size) { SetPointer(const_cast<void*>(data), size); }

    std::int64_t Read(void* buffer, std::int64_t count) override;
    std::int64_t Write(const void* buffer, std::int64_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    std::int64_t Size() override { return m_size; }

    [[nodiscard]] const std::uint8_t* Memory() const { return static_cast<const std::uint8_t*>(m_memory); }
    [[nodiscard]] std::uint8_t* Memory() { return static_cast<std::uint8_t*>(m_memory); }
    void SaveToStream(TStream& dest);
    void SaveToFile(const std::string& fileName);

protected:
    void SetPointer(void* data, std::int64_t size) {
        m_memory = data;
        m_size = size;
    }
    void* m_memory = nullptr;
    std::int64_t m_size = 0;
    std::int64_t m_position = 0;
};

class TMemoryStream : public TCustomMemoryStream {
public:
    TMemoryStream() = default;
    std::int64_t Write(const void* buffer, std::int64_t count) override;
    void SetSize(std::int64_t newSize) override;
    void Clear();
    void LoadFromStream(TStream& source);
    void LoadFromFile(const std::string& fileName);

private:
    void Reserve(std::int64_t capacity);
    std::vector<std::uint8_t> m_buffer;
};

enum : unsigned {
    fmOpenRead = 0x0000,
    fmOpenWrite = 0x0001,
    fmOpenReadWrite = 0x0002,
    fmCreate = 0xFF00,
};

class TFileStream : public TStream {
public:
    // Raises EFCreateError "Cannot create file "%s". <reason>" or
    // EFOpenError "Cannot open file "%s". <reason>".
    TFileStream(const std::string& fileName, unsigned mode);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    std::int64_t Read(void* buffer, std::int64_t count) override;
    std::int64_t Write(const void* buffer, std::int64_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    void SetSize(std::int64_t newSize) override;
    [[nodiscard]] const std::string& FileName() const { return m_fileName; }

private:
    std::FILE* m_file = nullptr;
    std::string m_fileName;
};

// Little-endian reads from a byte buffer at a named offset. The caller has
// checked that offset + width is inside the buffer.
inline std::uint16_t ReadU16LE(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t ReadU32LE(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline std::int32_t ReadI32LE(const std::uint8_t* p) {
    return static_cast<std::int32_t>(ReadU32LE(p));
}
inline void WriteU16LE(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void WriteU32LE(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

}  // namespace zv
