#include "base/Streams.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

#include "base/Exceptions.h"
#include "base/SysUtils.h"
#include "base/Utf16.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace zv {

std::int64_t TStream::Size() {
    const std::int64_t pos = Seek(0, TSeekOrigin::soCurrent);
    const std::int64_t size = Seek(0, TSeekOrigin::soEnd);
    Seek(pos, TSeekOrigin::soBeginning);
    return size;
}

void TStream::SetSize(std::int64_t) {
    throw EStreamError("Stream does not support resizing");
}

void TStream::ReadBuffer(void* buffer, std::int64_t count) {
    if (count != 0 && Read(buffer, count) != count) throw EReadError(SReadError);
}

void TStream::WriteBuffer(const void* buffer, std::int64_t count) {
    if (count != 0 && Write(buffer, count) != count) throw EWriteError(SWriteError);
}

std::int64_t TStream::CopyFrom(TStream& source, std::int64_t count) {
    if (count == 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    const std::int64_t total = count;
    constexpr std::int64_t kBlock = 61440;
    std::vector<std::uint8_t> buf(static_cast<size_t>(std::min(count, kBlock)));
    while (count > 0) {
        const std::int64_t n = std::min(count, kBlock);
        source.ReadBuffer(buf.data(), n);
        WriteBuffer(buf.data(), n);
        count -= n;
    }
    return total;
}

// ---- TCustomMemoryStream --------------------------------------------------

std::int64_t TCustomMemoryStream::Read(void* buffer, std::int64_t count) {
    if (count <= 0 || m_position < 0 || m_position >= m_size) return 0;
    const std::int64_t n = std::min(count, m_size - m_position);
    std::memcpy(buffer, Memory() + m_position, static_cast<size_t>(n));
    m_position += n;
    return n;
}

std::int64_t TCustomMemoryStream::Write(const void*, std::int64_t) {
    return 0;
}

std::int64_t TCustomMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin) {
    switch (origin) {
        case TSeekOrigin::soBeginning: m_position = offset; break;
        case TSeekOrigin::soCurrent: m_position += offset; break;
        case TSeekOrigin::soEnd: m_position = m_size + offset; break;
    }
    return m_position;
}

void TCustomMemoryStream::SaveToStream(TStream& dest) {
    dest.WriteBuffer(Memory(), m_size);
}

void TCustomMemoryStream::SaveToFile(const std::string& fileName) {
    TFileStream f(fileName, fmCreate);
    SaveToStream(f);
}

// ---- TMemoryStream ---------------------------------------------------------

void TMemoryStream::Reserve(std::int64_t capacity) {
    if (capacity < 0 || static_cast<std::uint64_t>(capacity) > m_buffer.max_size())
        throw EOutOfMemory("Out of memory");
    if (static_cast<size_t>(capacity) > m_buffer.size()) {
        try {
            size_t grown = std::max(static_cast<size_t>(capacity), m_buffer.size() + m_buffer.size() / 4);
            m_buffer.resize(grown);
        } catch (const std::bad_alloc&) {
            throw EOutOfMemory("Out of memory");
        }
        m_memory = m_buffer.data();
    }
}

std::int64_t TMemoryStream::Write(const void* buffer, std::int64_t count) {
    if (count <= 0 || m_position < 0) return 0;
    const std::int64_t end = m_position + count;
    if (end > m_size) {
        Reserve(end);
        m_size = end;
    }
    std::memcpy(Memory() + m_position, buffer, static_cast<size_t>(count));
    m_position = end;
    return count;
}

void TMemoryStream::SetSize(std::int64_t newSize) {
    if (newSize < 0) newSize = 0;
    Reserve(newSize);
    m_size = newSize;
    if (m_position > newSize) m_position = newSize;
}

void TMemoryStream::Clear() {
    m_buffer.clear();
    m_buffer.shrink_to_fit();
    m_memory = nullptr;
    m_size = 0;
    m_position = 0;
}

void TMemoryStream::LoadFromStream(TStream& source) {
    source.SetPosition(0);
    const std::int64_t count = source.Size();
    SetSize(count);
    if (count != 0) source.ReadBuffer(Memory(), count);
    m_position = 0;
}

void TMemoryStream::LoadFromFile(const std::string& fileName) {
    TFileStream f(fileName, fmOpenRead);
    LoadFromStream(f);
}

// ---- TFileStream -------------------------------------------------------------

TFileStream::TFileStream(const std::string& fileName, unsigned mode) : m_fileName(fileName) {
    const char* how = "rb";
    if (mode == fmCreate)
        how = "w+b";
    else if ((mode & 3) == fmOpenWrite || (mode & 3) == fmOpenReadWrite)
        how = "r+b";
#ifdef _WIN32
    // The name is UTF-8; the C library's narrow open would read it in the
    // ANSI code page.
    const std::u16string name = Utf8ToUtf16(fileName);
    const std::wstring wideName(name.begin(), name.end());
    const std::wstring wideHow(how, how + std::strlen(how));
    m_file = _wfopen(wideName.c_str(), wideHow.c_str());
#else
    m_file = std::fopen(fileName.c_str(), how);
#endif
    if (!m_file) {
        const std::string reason = std::strerror(errno);
        if (mode == fmCreate)
            throw EFCreateError(Format("Cannot create file \"%s\". %s", fileName.c_str(), reason.c_str()));
        throw EFOpenError(Format("Cannot open file \"%s\". %s", fileName.c_str(), reason.c_str()));
    }
}

TFileStream::~TFileStream() {
    if (m_file) std::fclose(m_file);
}

std::int64_t TFileStream::Read(void* buffer, std::int64_t count) {
    if (count <= 0) return 0;
    return static_cast<std::int64_t>(std::fread(buffer, 1, static_cast<size_t>(count), m_file));
}

std::int64_t TFileStream::Write(const void* buffer, std::int64_t count) {
    if (count <= 0) return 0;
    const size_t n = std::fwrite(buffer, 1, static_cast<size_t>(count), m_file);
    // A write that the C library only buffered can still fail later; flush
    // so that a full disk is reported by the call that filled it.
    if (std::fflush(m_file) != 0) return 0;
    return static_cast<std::int64_t>(n);
}

std::int64_t TFileStream::Seek(std::int64_t offset, TSeekOrigin origin) {
    const int whence = origin == TSeekOrigin::soBeginning ? SEEK_SET
                       : origin == TSeekOrigin::soCurrent ? SEEK_CUR
                                                          : SEEK_END;
#ifdef _WIN32
    if (_fseeki64(m_file, offset, whence) != 0) return -1;
    return _ftelli64(m_file);
#else
    if (fseeko(m_file, static_cast<off_t>(offset), whence) != 0) return -1;
    return static_cast<std::int64_t>(ftello(m_file));
#endif
}

void TFileStream::SetSize(std::int64_t newSize) {
    std::fflush(m_file);
#ifdef _WIN32
    const int rc = _chsize_s(_fileno(m_file), newSize);
#else
    const int rc = ftruncate(fileno(m_file), static_cast<off_t>(newSize));
#endif
    if (rc != 0) throw EStreamError(Format("Cannot resize file \"%s\"", m_fileName.c_str()));
    if (Position() > newSize) SetPosition(newSize);
}

}  // namespace zv
