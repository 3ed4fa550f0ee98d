// Helpers of the ZIP reader tests: a byte-level archive builder (so every
// field can be set, broken or left out), raw Deflate through zlib, and small
// conveniences around the reader.
#pragma once

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/Streams.h"
#include "zip/ZipReader.h"

namespace zvtest {

using Bytes = std::string;

inline void Put16(Bytes& b, std::uint16_t v) {
    b += static_cast<char>(v & 0xFF);
    b += static_cast<char>(v >> 8);
}
inline void Put32(Bytes& b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b += static_cast<char>((v >> (8 * i)) & 0xFF);
}
inline void Patch16(Bytes& b, size_t at, std::uint16_t v) {
    b[at] = static_cast<char>(v & 0xFF);
    b[at + 1] = static_cast<char>(v >> 8);
}
inline void Patch32(Bytes& b, size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

inline std::uint32_t Crc(const Bytes& data) {
    return static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
}

inline Bytes RawDeflate(const Bytes& data, int level = 6) {
    z_stream zs{};
    if (deflateInit2(&zs, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("deflateInit2");
    Bytes out(deflateBound(&zs, static_cast<uLong>(data.size())), '\0');
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    zs.avail_in = static_cast<uInt>(data.size());
    zs.next_out = reinterpret_cast<Bytef*>(out.data());
    zs.avail_out = static_cast<uInt>(out.size());
    const int rc = deflate(&zs, Z_FINISH);
    deflateEnd(&zs);
    if (rc != Z_STREAM_END) throw std::runtime_error("deflate");
    out.resize(zs.total_out);
    return out;
}

// Text that compresses but is not trivially repetitive, from a fixed start
// value so every run sees the same bytes.
inline Bytes SampleData(size_t size, std::uint32_t start = 12345) {
    Bytes b;
    b.reserve(size);
    std::uint32_t x = start;
    static const char* words[] = {"zorvane ",   "player ", "plugin ", "archive ",
                                  "stream\r\n", "0123 ",   "ocx "};
    while (b.size() < size) {
        x = x * 1103515245u + 12345u;
        if ((x >> 16) % 5 == 0)
            b += static_cast<char>(x >> 24);
        else
            b += words[(x >> 16) % 7];
    }
    b.resize(size);
    return b;
}

// Shrink (method 1) encoder for the tests. It keeps the table exactly as the
// decoder will (entries are added one code late, at the lowest free code) and
// only emits codes the decoder already knows; with clearWhenFull it issues a
// partial clear whenever the table is full, so the clear path runs.
class ShrinkEncoder {
public:
    static Bytes Encode(const Bytes& data, bool clearWhenFull) {
        ShrinkEncoder e;
        return e.Run(data, clearWhenFull);
    }

private:
    static constexpr int kTable = 1 << 13;
    static constexpr int kFree = -1;

    void Put(int code) {
        m_bits |= static_cast<std::uint64_t>(code) << m_count;
        m_count += m_size;
        while (m_count >= 8) {
            m_out += static_cast<char>(m_bits & 0xFF);
            m_bits >>= 8;
            m_count -= 8;
        }
    }
    void Emit(int code) {
        while (code >= (1 << m_size)) {
            Put(256);
            Put(1);
            ++m_size;
        }
        Put(code);
    }
    void Forget(int code) {
        if (m_usable[code]) m_children.erase({m_parent[code], m_value[code]});
        m_usable[code] = false;
        m_parent[code] = kFree;
    }
    void PartialClear(int lastUsed) {
        std::vector<char> hasChild(kTable, 0);
        for (int c = 257; c <= lastUsed; ++c)
            if (m_parent[c] > 256) hasChild[m_parent[c]] = 1;
        for (int c = 257; c <= lastUsed; ++c)
            if (m_parent[c] != kFree && !hasChild[c]) Forget(c);
    }
    Bytes Run(const Bytes& data, bool clearWhenFull) {
        m_parent.assign(kTable, kFree);
        m_value.assign(kTable, 0);
        m_usable.assign(kTable, false);
        for (int c = 0; c <= 256; ++c) m_parent[c] = -2;
        int previous = -1;
        int lastFree = 256;
        size_t i = 0;
        while (i < data.size()) {
            int code = static_cast<unsigned char>(data[i]);
            size_t j = i + 1;
            while (j < data.size()) {
                auto it = m_children.find({code, static_cast<unsigned char>(data[j])});
                if (it == m_children.end()) break;
                code = it->second;
                ++j;
            }
            Emit(code);
            if (previous >= 0) {
                int f = lastFree + 1;
                while (f < kTable && m_parent[f] != kFree) ++f;
                if (f >= kTable)
                    throw std::runtime_error("shrink table full: use clearWhenFull or less data");
                // An entry hanging off a freed code decodes to garbage: the
                // decoder keeps it, this encoder never uses it.
                const bool usable = previous < 256 || (m_parent[previous] != kFree && m_usable[previous]);
                m_parent[f] = previous;
                m_value[f] = static_cast<unsigned char>(data[i]);
                m_usable[f] = usable;
                if (usable) m_children[{previous, m_value[f]}] = f;
                lastFree = f;
                int next = f + 1;
                while (next < kTable && m_parent[next] != kFree) ++next;
                if (next >= kTable && clearWhenFull) {
                    // The next search would run off the table: clear now.
                    Put(256);
                    Put(2);
                    PartialClear(lastFree);
                    lastFree = 256;
                }
            }
            previous = code;
            i = j;
        }
        if (m_count > 0) m_out += static_cast<char>(m_bits & 0xFF);
        return m_out;
    }

    Bytes m_out;
    std::uint64_t m_bits = 0;
    int m_count = 0;
    int m_size = 9;
    std::vector<int> m_parent;
    std::vector<unsigned char> m_value;
    std::vector<bool> m_usable;
    std::map<std::pair<int, unsigned char>, int> m_children;
};

// Bits packed least significant first, the order of every ZIP method but
// Deflate's Huffman codes.
struct BitWriter {
    Bytes out;
    std::uint32_t acc = 0;
    int count = 0;
    void Put(std::uint32_t value, int n) {
        for (int i = 0; i < n; ++i) {
            acc |= ((value >> i) & 1u) << count;
            if (++count == 8) {
                out += static_cast<char>(acc);
                acc = 0;
                count = 0;
            }
        }
    }
    Bytes Finish() {
        if (count > 0) out += static_cast<char>(acc);
        acc = 0;
        count = 0;
        return out;
    }
};

// Reduce (methods 2 to 5) encoder for the tests: follower sets of the most
// frequent successors, greedy copies within the factor's window.
class ReduceEncoder {
public:
    static Bytes Encode(const Bytes& data, int factor) {
        ReduceEncoder e;
        return e.Run(data, factor);
    }
    static int IndexBits(int count) {
        int bits = 1;
        while ((1 << bits) < count) ++bits;
        return bits;
    }

private:
    void PutC(unsigned char c) {
        const auto& set = m_sets[m_last];
        if (set.empty()) {
            m_bits.Put(c, 8);
        } else {
            size_t i = 0;
            while (i < set.size() && set[i] != c) ++i;
            if (i < set.size()) {
                m_bits.Put(0, 1);
                m_bits.Put(static_cast<std::uint32_t>(i), IndexBits(static_cast<int>(set.size())));
            } else {
                m_bits.Put(1, 1);
                m_bits.Put(c, 8);
            }
        }
        m_last = c;
    }
    Bytes Run(const Bytes& data, int factor) {
        std::vector<std::vector<int>> freq(256, std::vector<int>(256, 0));
        for (size_t i = 1; i < data.size(); ++i)
            ++freq[static_cast<unsigned char>(data[i - 1])][static_cast<unsigned char>(data[i])];
        for (int x = 0; x < 256; ++x) {
            std::vector<int> order;
            for (int y = 0; y < 256; ++y)
                if (freq[x][y] > 0) order.push_back(y);
            std::stable_sort(order.begin(), order.end(),
                             [&](int a, int b) { return freq[x][a] > freq[x][b]; });
            if (order.size() > 32) order.resize(32);
            for (int y : order) m_sets[x].push_back(static_cast<unsigned char>(y));
        }
        for (int x = 255; x >= 0; --x) {
            m_bits.Put(static_cast<std::uint32_t>(m_sets[x].size()), 6);
            for (unsigned char y : m_sets[x]) m_bits.Put(y, 8);
        }
        const unsigned char dle = 144;
        const size_t window = static_cast<size_t>(256) << factor;
        const std::uint32_t mask = 0xFFu >> factor;
        const size_t maxLength = mask + 255 + 3;
        std::map<std::uint32_t, size_t> last;
        auto key = [&](size_t p) {
            return static_cast<std::uint32_t>(static_cast<unsigned char>(data[p])) |
                   static_cast<std::uint32_t>(static_cast<unsigned char>(data[p + 1])) << 8 |
                   static_cast<std::uint32_t>(static_cast<unsigned char>(data[p + 2])) << 16;
        };
        size_t i = 0;
        while (i < data.size()) {
            size_t length = 0;
            size_t distance = 0;
            if (i + 3 <= data.size()) {
                auto it = last.find(key(i));
                if (it != last.end() && i - it->second <= window) {
                    while (i + length < data.size() && length < maxLength &&
                           data[it->second + length] == data[i + length])
                        ++length;
                    distance = i - it->second;
                }
            }
            const std::uint32_t high = static_cast<std::uint32_t>((distance - 1) >> 8);
            // V = 0 would read as a plain DLE: such copies go out as bytes.
            const bool usable = length >= 3 && !(high == 0 && length == 3);
            const size_t step = usable ? length : 1;
            if (usable) {
                const std::uint32_t field = static_cast<std::uint32_t>(std::min<size_t>(length - 3, mask));
                PutC(dle);
                PutC(static_cast<unsigned char>((high << (8 - factor)) | field));
                if (field == mask) PutC(static_cast<unsigned char>(length - 3 - mask));
                PutC(static_cast<unsigned char>((distance - 1) & 0xFF));
            } else {
                const auto c = static_cast<unsigned char>(data[i]);
                PutC(c);
                if (c == dle) PutC(0);
            }
            for (size_t k = 0; k < step; ++k)
                if (i + k + 3 <= data.size()) last[key(i + k)] = i + k;
            i += step;
        }
        return m_bits.Finish();
    }

    BitWriter m_bits;
    std::vector<unsigned char> m_sets[256];
    unsigned char m_last = 0;
};

// Implode (method 6) encoder for the tests: greedy LZ77 with fixed code
// lengths that are complete but not flat, so the trees' order matters. The
// general-purpose flags it needs are returned in flags (bit 1: 8 KB window,
// bit 2: literal tree).
class ImplodeEncoder {
public:
    static Bytes Encode(const Bytes& data, bool bigWindow, bool literalTree, std::uint16_t& flags) {
        flags = static_cast<std::uint16_t>((bigWindow ? 2 : 0) | (literalTree ? 4 : 0));
        ImplodeEncoder e;
        return e.Run(data, bigWindow, literalTree);
    }

private:
    struct Code {
        std::uint32_t bits = 0;
        int length = 0;
    };

    static std::vector<int> LiteralLengths() {
        // 4 codes of 4 bits, 188 of 8, 64 of 12: exactly complete.
        std::vector<int> l(256, 8);
        const unsigned char shortOnes[] = {' ', 'e', 'a', 'o'};
        for (unsigned char c : shortOnes) l[c] = 4;
        for (int c = 0; c < 64; ++c) l[128 + c] = 12;
        return l;
    }
    static std::vector<int> LengthLengths() {
        std::vector<int> l(64, 10);  // 2 of 2 bits, 30 of 6, 32 of 10
        l[0] = l[1] = 2;
        for (int i = 2; i < 32; ++i) l[i] = 6;
        return l;
    }
    static std::vector<int> DistanceLengths() { return std::vector<int>(64, 6); }

    // Canonical codes of the lengths: shorter first, equal lengths by symbol.
    static std::vector<Code> Canonical(const std::vector<int>& lengths) {
        int count[17] = {};
        for (int l : lengths) ++count[l];
        std::uint32_t next[17] = {};
        std::uint32_t code = 0;
        for (int len = 1; len <= 16; ++len) {
            code = (code + static_cast<std::uint32_t>(count[len - 1])) << 1;
            next[len] = code;
        }
        std::vector<Code> codes(lengths.size());
        for (size_t s = 0; s < lengths.size(); ++s) codes[s] = {next[lengths[s]]++, lengths[s]};
        return codes;
    }

    void PutBits(std::uint32_t value, int n) {
        for (int i = 0; i < n; ++i) PutBit((value >> i) & 1);
    }
    void PutBit(std::uint32_t bit) {
        m_acc |= bit << m_count;
        if (++m_count == 8) {
            m_out += static_cast<char>(m_acc);
            m_acc = 0;
            m_count = 0;
        }
    }
    // Codes go first bit first, inverted.
    void PutCode(const Code& c) {
        for (int k = c.length - 1; k >= 0; --k) PutBit(((c.bits >> k) & 1) ^ 1);
    }
    void PutTree(const std::vector<int>& lengths) {
        Bytes runs;
        size_t i = 0;
        while (i < lengths.size()) {
            size_t j = i;
            while (j < lengths.size() && lengths[j] == lengths[i] && j - i < 16) ++j;
            runs += static_cast<char>(((j - i - 1) << 4) | static_cast<size_t>(lengths[i] - 1));
            i = j;
        }
        m_out += static_cast<char>(runs.size() - 1);
        m_out += runs;
    }

    Bytes Run(const Bytes& data, bool bigWindow, bool literalTree) {
        const auto literal = Canonical(LiteralLengths());
        const auto length = Canonical(LengthLengths());
        const auto distance = Canonical(DistanceLengths());
        if (literalTree) PutTree(LiteralLengths());
        PutTree(LengthLengths());
        PutTree(DistanceLengths());
        const int lowBits = bigWindow ? 7 : 6;
        const size_t window = bigWindow ? 8192 : 4096;
        const size_t minMatch = literalTree ? 3 : 2;
        const size_t maxMatch = minMatch + 63 + 255;
        std::map<std::uint32_t, size_t> last;  // last position of each 3-byte prefix
        auto key = [&](size_t p) {
            return static_cast<std::uint32_t>(static_cast<unsigned char>(data[p])) |
                   static_cast<std::uint32_t>(static_cast<unsigned char>(data[p + 1])) << 8 |
                   static_cast<std::uint32_t>(static_cast<unsigned char>(data[p + 2])) << 16;
        };
        size_t i = 0;
        while (i < data.size()) {
            size_t best = 0;
            size_t bestDistance = 0;
            if (i + 3 <= data.size()) {
                auto it = last.find(key(i));
                if (it != last.end() && i - it->second <= window) {
                    size_t n = 0;
                    while (i + n < data.size() && n < maxMatch && data[it->second + n] == data[i + n]) ++n;
                    best = n;
                    bestDistance = i - it->second;
                }
            }
            const size_t step = best >= minMatch ? best : 1;
            if (best >= minMatch) {
                PutBit(0);
                const size_t d = bestDistance - 1;
                PutBits(static_cast<std::uint32_t>(d & ((1u << lowBits) - 1)), lowBits);
                PutCode(distance[d >> lowBits]);
                const size_t l = best - minMatch;
                if (l >= 63) {
                    PutCode(length[63]);
                    PutBits(static_cast<std::uint32_t>(l - 63), 8);
                } else {
                    PutCode(length[l]);
                }
            } else {
                PutBit(1);
                const auto c = static_cast<unsigned char>(data[i]);
                if (literalTree)
                    PutCode(literal[c]);
                else
                    PutBits(c, 8);
            }
            for (size_t k = 0; k < step; ++k)
                if (i + k + 3 <= data.size()) last[key(i + k)] = i + k;
            i += step;
        }
        if (m_count > 0) m_out += static_cast<char>(m_acc);
        return m_out;
    }

    Bytes m_out;
    std::uint32_t m_acc = 0;
    int m_count = 0;
};

struct EntryPlan {
    std::string name;
    Bytes data;      // uncompressed content
    int method = 8;  // 0 stored, 8 deflated, anything else stored as given
    Bytes payload;   // compressed bytes; filled from data unless set
    bool payloadSet = false;
    std::uint16_t flags = 0;
    std::uint16_t versionMadeBy = 20;  // host 0: MS-DOS
    std::uint32_t dateTime = 0x5A8C6B2E;
    Bytes centralExtra;
    Bytes localExtra;
    Bytes comment;
    // Overrides of the recorded values (otherwise computed from data).
    bool crcSet = false;
    std::uint32_t crc = 0;
    bool usizeSet = false;
    std::uint32_t usize = 0;
    bool centralOffsetSet = false;  // local header offset written centrally
    std::uint32_t centralOffset = 0;
    bool descriptor = false;  // zero sizes in the local header, descriptor after the data
};

struct BuiltZip {
    Bytes bytes;
    std::vector<std::uint32_t> localOffsets;
    std::vector<std::uint32_t> centralOffsets;
    std::uint32_t centralStart = 0;
    std::uint32_t endOffset = 0;
};

inline BuiltZip BuildZip(std::vector<EntryPlan> entries, const Bytes& archiveComment = Bytes(),
                         const Bytes& prefix = Bytes()) {
    BuiltZip z;
    z.bytes = prefix;
    for (auto& e : entries) {
        if (!e.payloadSet) e.payload = e.method == 8 ? RawDeflate(e.data) : e.data;
        if (!e.crcSet) e.crc = Crc(e.data);
        if (!e.usizeSet) e.usize = static_cast<std::uint32_t>(e.data.size());
        z.localOffsets.push_back(static_cast<std::uint32_t>(z.bytes.size()));
        Bytes& b = z.bytes;
        Put32(b, 0x04034B50);
        Put16(b, 20);
        Put16(b, e.flags | (e.descriptor ? 8 : 0));
        Put16(b, static_cast<std::uint16_t>(e.method));
        Put32(b, e.dateTime);
        Put32(b, e.descriptor ? 0 : e.crc);
        Put32(b, e.descriptor ? 0 : static_cast<std::uint32_t>(e.payload.size()));
        Put32(b, e.descriptor ? 0 : e.usize);
        Put16(b, static_cast<std::uint16_t>(e.name.size()));
        Put16(b, static_cast<std::uint16_t>(e.localExtra.size()));
        b += e.name;
        b += e.localExtra;
        b += e.payload;
        if (e.descriptor) {
            Put32(b, 0x08074B50);
            Put32(b, e.crc);
            Put32(b, static_cast<std::uint32_t>(e.payload.size()));
            Put32(b, e.usize);
        }
    }
    z.centralStart = static_cast<std::uint32_t>(z.bytes.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        const auto& e = entries[i];
        Bytes& b = z.bytes;
        z.centralOffsets.push_back(static_cast<std::uint32_t>(b.size()));
        Put32(b, 0x02014B50);
        Put16(b, e.versionMadeBy);
        Put16(b, 20);
        Put16(b, e.flags | (e.descriptor ? 8 : 0));
        Put16(b, static_cast<std::uint16_t>(e.method));
        Put32(b, e.dateTime);
        Put32(b, e.crc);
        Put32(b, static_cast<std::uint32_t>(e.payload.size()));
        Put32(b, e.usize);
        Put16(b, static_cast<std::uint16_t>(e.name.size()));
        Put16(b, static_cast<std::uint16_t>(e.centralExtra.size()));
        Put16(b, static_cast<std::uint16_t>(e.comment.size()));
        Put16(b, 0);   // disk number start
        Put16(b, 0);   // internal attributes
        Put32(b, 32);  // external attributes
        Put32(b, e.centralOffsetSet ? e.centralOffset : z.localOffsets[i]);
        b += e.name;
        b += e.centralExtra;
        b += e.comment;
    }
    z.endOffset = static_cast<std::uint32_t>(z.bytes.size());
    Bytes& b = z.bytes;
    Put32(b, 0x06054B50);
    Put16(b, 0);
    Put16(b, 0);
    Put16(b, static_cast<std::uint16_t>(entries.size()));
    Put16(b, static_cast<std::uint16_t>(entries.size()));
    Put32(b, z.endOffset - z.centralStart);
    Put32(b, z.centralStart);
    Put16(b, static_cast<std::uint16_t>(archiveComment.size()));
    b += archiveComment;
    return z;
}

inline EntryPlan Entry(const std::string& name, const Bytes& data, int method = 8) {
    EntryPlan e;
    e.name = name;
    e.data = data;
    e.method = method;
    return e;
}

// A reader over bytes, read the way the deployment uses it.
struct ReaderOver {
    explicit ReaderOver(Bytes archive)
        : bytes(std::move(archive)), stream(bytes.data(), static_cast<std::int64_t>(bytes.size())) {
        reader.DoProcessMessages = false;
        reader.SetSourceStream(&stream);
    }
    ~ReaderOver() { reader.SetSourceStream(nullptr); }
    ReaderOver(const ReaderOver&) = delete;
    ReaderOver& operator=(const ReaderOver&) = delete;

    std::vector<std::string> Names() {
        std::vector<std::string> names;
        for (int i = 0; i < reader.EntryCount(); ++i) names.push_back(reader.Entry(i).FullName());
        return names;
    }
    // Extracts into a fresh memory stream; returns its content.
    Bytes Extract(const std::string& name, int* count = nullptr) {
        zv::TMemoryStream out;
        const int n = reader.ExtractToStream(&out, name);
        if (count) *count = n;
        return Bytes(reinterpret_cast<const char*>(out.Memory()), static_cast<size_t>(out.Size()));
    }

    Bytes bytes;  // the stream is a view of this copy
    zv::TCustomMemoryStream stream;
    zv::TZipReader reader;
};

inline Bytes ContentOf(zv::TMemoryStream& m) {
    return Bytes(reinterpret_cast<const char*>(m.Memory()), static_cast<size_t>(m.Size()));
}

}  // namespace zvtest
