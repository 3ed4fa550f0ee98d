// TZipReader: unpacking entries into a stream, and the name matcher.
//
//   WildcardMatch     literals, "?", "*", "<...>" sets and "*<...>" runs
//   ExtractToStream   entry point: to-stream mode around one run
//   TRun              one extraction run: selection, events, the block
//                     reader, stored copy, raw Deflate through zlib, Shrink
//                     (dynamic LZW), Reduce (follower sets and DLE-coded
//                     copies), Implode (Shannon-Fano coded LZ77), the size
//                     guard and the CRC check
#include <zlib.h>

#include <algorithm>
#include <vector>

#include "base/SysUtils.h"
#include "zip/ZipPlatform.h"
#include "zip/ZipReader.h"
#include "zip/ZipRecords.h"

namespace zv {

// ---- WildcardMatch ---------------------------------------------------------------

namespace {

struct TPatternToken {
    enum Kind { Literal, AnyOne, Set, Star, StarSet } kind = Literal;
    unsigned char ch = 0;
    bool negated = false;
    std::vector<std::pair<unsigned char, unsigned char>> ranges;  // single characters as [c, c]

    [[nodiscard]] bool SetAccepts(unsigned char c) const {
        bool in = false;
        for (const auto& [lo, hi] : ranges)
            if (c >= lo && c <= hi) in = true;
        return in != negated;
    }
};

// Parses the set that opens at pattern[at] ('<'); returns the index after its
// '>' or npos when the set is empty or not closed.
size_t ParseSet(const std::string& pattern, size_t at, TPatternToken& token) {
    size_t k = at + 1;
    if (k < pattern.size() && (pattern[k] == '!' || pattern[k] == '^')) {
        token.negated = true;
        ++k;
    }
    while (k < pattern.size() && pattern[k] != '>') {
        const auto first = static_cast<unsigned char>(pattern[k]);
        if (k + 2 < pattern.size() && pattern[k + 1] == '-' && pattern[k + 2] != '>') {
            // A range whose ends are reversed matches nothing.
            const auto last = static_cast<unsigned char>(pattern[k + 2]);
            if (first <= last) token.ranges.emplace_back(first, last);
            k += 3;
            continue;
        }
        token.ranges.emplace_back(first, first);
        ++k;
    }
    if (k >= pattern.size() || k == at + 1 + (token.negated ? 1 : 0)) return std::string::npos;
    return k + 1;
}

bool ParsePattern(const std::string& pattern, std::vector<TPatternToken>& tokens) {
    size_t i = 0;
    while (i < pattern.size()) {
        TPatternToken token;
        const char c = pattern[i];
        if (c == '*' && i + 1 < pattern.size() && pattern[i + 1] == '<') {
            token.kind = TPatternToken::StarSet;
            i = ParseSet(pattern, i + 1, token);
        } else if (c == '*') {
            token.kind = TPatternToken::Star;
            ++i;
        } else if (c == '?') {
            token.kind = TPatternToken::AnyOne;
            ++i;
        } else if (c == '<') {
            token.kind = TPatternToken::Set;
            i = ParseSet(pattern, i, token);
        } else {
            token.ch = static_cast<unsigned char>(c);
            ++i;
        }
        if (i == std::string::npos) return false;
        tokens.push_back(std::move(token));
    }
    return true;
}

}  // namespace

bool WildcardMatch(const std::string& pattern, const std::string& text) {
    const std::string p = LowerCase(pattern);
    const std::string t = LowerCase(text);
    if (p == "*") return true;
    std::vector<TPatternToken> tokens;
    if (!ParsePattern(p, tokens)) return false;

    // The pattern as a small automaton: state j waits before token j. Walking
    // all states at once keeps names with many stars linear in each length.
    const size_t count = tokens.size();
    std::vector<char> current(count + 1, 0);
    std::vector<char> next(count + 1, 0);
    auto closeOverStars = [&](std::vector<char>& states) {
        for (size_t j = 0; j < count; ++j)
            if (states[j] && tokens[j].kind == TPatternToken::Star) states[j + 1] = 1;
    };
    current[0] = 1;
    closeOverStars(current);
    for (const char ch : t) {
        const auto c = static_cast<unsigned char>(ch);
        std::fill(next.begin(), next.end(), 0);
        bool any = false;
        for (size_t j = 0; j < count; ++j) {
            if (!current[j]) continue;
            const TPatternToken& token = tokens[j];
            switch (token.kind) {
                case TPatternToken::Literal:
                    if (c == token.ch) next[j + 1] = 1;
                    break;
                case TPatternToken::AnyOne: next[j + 1] = 1; break;
                case TPatternToken::Set:
                    if (token.SetAccepts(c)) next[j + 1] = 1;
                    break;
                case TPatternToken::Star: next[j] = 1; break;
                case TPatternToken::StarSet:
                    // The run the star swallows and the one character after it
                    // must all belong to the set.
                    if (token.SetAccepts(c)) next[j] = next[j + 1] = 1;
                    break;
            }
        }
        closeOverStars(next);
        for (const char s : next) any = any || s;
        if (!any) return false;
        current.swap(next);
    }
    return current[count] != 0;
}

// ---- the extraction run ---------------------------------------------------------------

class TZipReader::TRun {
public:
    // The archive stream is taken once: an event handler that detaches it
    // from the reader does not pull it from under a running decoder.
    TRun(TZipReader& reader, TStream& dest) : r(reader), m_source(reader.m_source), m_dest(dest) {}
    ~TRun() {
        if (m_inflateReady) inflateEnd(&m_zs);
    }
    TRun(const TRun&) = delete;
    TRun& operator=(const TRun&) = delete;

    int Execute();
    [[nodiscard]] int Unpacked() const { return m_unpacked; }

private:
    void Select();
    void UnpackEntry(int index, const TZipEntryInfo& entry);
    std::int64_t ReadBlock();
    void Flush(const std::uint8_t* data, std::int64_t count);
    void CopyStored();
    void Inflate();
    void Unshrink();
    void PartialClear(int lastUsed);
    struct TSfTree;
    void Unreduce(int factor);
    void Explode();
    bool ReadSfTree(TSfTree& tree, int symbols);
    bool DecodeSf(const TSfTree& tree, int& symbol);
    bool ReadBits(int n, std::uint32_t& value) {
        while (m_bitCount < n) {
            std::uint8_t b = 0;
            if (!NextByte(b)) return false;
            m_bitBuffer |= static_cast<std::uint32_t>(b) << m_bitCount;
            m_bitCount += 8;
        }
        value = m_bitBuffer & ((1u << n) - 1);
        m_bitBuffer >>= n;
        m_bitCount -= n;
        return true;
    }
    // Byte-wise input and output for the decoders that work byte by byte.
    bool NextByte(std::uint8_t& b) {
        if (m_inPos == m_inLen) {
            if (m_remaining <= 0) return false;
            m_inLen = ReadBlock();
            m_inPos = 0;
        }
        b = m_in[static_cast<size_t>(m_inPos++)];
        return true;
    }
    void PutByte(std::uint8_t b) {
        m_out[static_cast<size_t>(m_outFill++)] = b;
        if (m_outFill == BlockSize) {
            Flush(m_out.data(), BlockSize);
            m_outFill = 0;
        }
    }
    static int Percent(std::int64_t done, std::int64_t total);

    TZipReader& r;
    TStream* m_source;
    TStream& m_dest;
    std::vector<std::uint8_t> m_in;
    std::vector<std::uint8_t> m_out;
    z_stream m_zs{};
    bool m_inflateReady = false;
    int m_toDo = 0;
    int m_unpacked = 0;
    std::int64_t m_totalBytes = 0;
    std::int64_t m_totalWritten = 0;
    std::uint32_t m_crc = 0;  // zlib keeps the conditioned (finished) value
    std::int64_t m_remaining = 0;
    std::int64_t m_written = 0;
    std::int64_t m_inPos = 0;
    std::int64_t m_inLen = 0;
    std::int64_t m_outFill = 0;
    // Shrink tables, allocated on the first shrunk entry of the run.
    std::vector<std::int16_t> m_parent;
    std::vector<std::uint8_t> m_value;
    std::vector<std::uint8_t> m_stack;
    std::vector<char> m_hasChild;
    // Implode state: the bit reader and the 8 KB sliding dictionary.
    std::uint32_t m_bitBuffer = 0;
    int m_bitCount = 0;
    std::vector<std::uint8_t> m_window;
    // Reduce follower sets: 256 sets of up to 63 bytes each.
    std::vector<std::uint8_t> m_followers;
    std::uint8_t m_followerCount[256] = {};
};

int TZipReader::TRun::Percent(std::int64_t done, std::int64_t total) {
    if (total <= 0) return 0;
    return static_cast<int>(std::min<std::int64_t>(100, DivRoundHalfEven(done * 100, total)));
}

void TZipReader::TRun::Select() {
    const int count = r.EntryCount();
    for (int i = 0; i < count; ++i) {
        auto& entry = const_cast<TZipEntryInfo&>(r.Entry(i));
        entry.Selected = r.DoAll;
        if (entry.FileName().empty() && !r.RecreateDirs) {
            entry.Selected = false;
            continue;
        }
        if (!entry.Selected) {
            const std::string key = LowerCase(entry.FullName());
            for (int p = 0; p < r.m_filesList->Count() && !entry.Selected; ++p)
                entry.Selected = WildcardMatch(LowerCase(r.m_filesList->Get(p)), key);
        }
        if (entry.Selected) {
            ++m_toDo;
            m_totalBytes += entry.UnCompressedSize;
        }
    }
}

int TZipReader::TRun::Execute() {
    m_in.resize(static_cast<size_t>(BlockSize));
    m_out.resize(static_cast<size_t>(BlockSize));
    Select();
    bool stop = false;
    if (r.OnStartUnZipInfo) r.OnStartUnZipInfo(r, m_toDo, m_totalBytes, stop);
    if (stop || m_toDo <= 0 || m_source == nullptr) return m_unpacked;
    for (int i = 0; i < r.EntryCount(); ++i) {
        const TZipEntryInfo& entry = r.Entry(i);
        if (entry.Selected) UnpackEntry(i, entry);
    }
    return m_unpacked;
}

std::int64_t TZipReader::TRun::ReadBlock() {
    if (r.DoProcessMessages) r.CheckCancel();
    const std::int64_t want = std::min(BlockSize, m_remaining);
    const std::int64_t got = m_source->Read(m_in.data(), want);
    m_remaining -= want;
    if (got != want) throw EFatalUnzipError(SPrematureEnd);
    return want;
}

void TZipReader::TRun::Flush(const std::uint8_t* data, std::int64_t count) {
    const TZipEntryInfo& w = *r.m_working;
    // The guard counts the destination's position, so it also stops output
    // that would follow earlier data in the same stream.
    if (m_dest.Position() + count > static_cast<std::int64_t>(w.UnCompressedSize))
        throw EOutputTooLarge(SOutputTooLarge);
    if (m_dest.Write(data, count) != count) throw ECantWriteOutput(SCantWriteOutput);
    m_crc = static_cast<std::uint32_t>(crc32(m_crc, data, static_cast<uInt>(count)));
    m_written += count;
    if (r.OnFilePercentDone) r.OnFilePercentDone(r, Percent(m_written, w.UnCompressedSize));
    m_totalWritten += count;
    if (r.OnTotalPercentDone) r.OnTotalPercentDone(r, Percent(m_totalWritten, m_totalBytes));
}

void TZipReader::TRun::CopyStored() {
    while (m_remaining > 0) {
        const std::int64_t n = ReadBlock();
        Flush(m_in.data(), n);
    }
}

void TZipReader::TRun::Inflate() {
    if (!m_inflateReady) {
        if (inflateInit2(&m_zs, -MAX_WBITS) != Z_OK) throw EOutOfMemory("Out of memory");
        m_inflateReady = true;
    } else {
        inflateReset(&m_zs);
    }
    m_zs.next_in = m_in.data();
    m_zs.avail_in = 0;
    m_zs.next_out = m_out.data();
    m_zs.avail_out = static_cast<uInt>(BlockSize);
    for (;;) {
        if (m_zs.avail_in == 0 && m_remaining > 0) {
            m_zs.avail_in = static_cast<uInt>(ReadBlock());
            m_zs.next_in = m_in.data();
        }
        const int rc = inflate(&m_zs, Z_NO_FLUSH);
        const bool full = m_zs.avail_out == 0;
        if (full) {
            Flush(m_out.data(), BlockSize);
            m_zs.next_out = m_out.data();
            m_zs.avail_out = static_cast<uInt>(BlockSize);
        }
        // Damaged data ends the entry like the end of its input: what was
        // decoded is written and the CRC check reports the rest.
        if (rc == Z_STREAM_END || (rc != Z_OK && rc != Z_BUF_ERROR)) break;
        if (!full && m_zs.avail_in == 0 && m_remaining == 0) break;
    }
    const std::int64_t pending = BlockSize - m_zs.avail_out;
    if (pending > 0) Flush(m_out.data(), pending);
}

// Shrink: LZW with codes of 9 to 13 bits, least significant bit first. Code
// 256 escapes a control code: 1 widens the codes by one bit, 2 frees every
// table entry that is no other entry's prefix. New entries take the next free
// code above the last one assigned (from 257 again after a clear); a free
// code in the input stands for the previous string plus its own first
// character. Damaged input ends the entry (the CRC reports it), as does a
// table that runs full, which the reference decoder rejects too.
namespace {
constexpr int kShrinkTable = 1 << 13;
constexpr std::int16_t kShrinkFree = -1;
constexpr std::int16_t kShrinkRoot = -2;
}  // namespace

void TZipReader::TRun::PartialClear(int lastUsed) {
    // Like the reference decoder, only the codes up to the last one assigned
    // are looked at.
    std::fill(m_hasChild.begin(), m_hasChild.end(), 0);
    for (int c = 257; c <= lastUsed; ++c)
        if (m_parent[c] > 256) m_hasChild[static_cast<size_t>(m_parent[c])] = 1;
    for (int c = 257; c <= lastUsed; ++c)
        if (m_parent[c] != kShrinkFree && !m_hasChild[static_cast<size_t>(c)]) m_parent[c] = kShrinkFree;
}

void TZipReader::TRun::Unshrink() {
    if (m_parent.empty()) {
        m_parent.resize(kShrinkTable);
        m_value.resize(kShrinkTable);
        m_stack.resize(kShrinkTable + 4);
        m_hasChild.resize(kShrinkTable);
    }
    for (int c = 0; c < kShrinkTable; ++c) {
        m_parent[static_cast<size_t>(c)] = c <= 256 ? kShrinkRoot : kShrinkFree;
        m_value[static_cast<size_t>(c)] = static_cast<std::uint8_t>(c);
    }
    int codeSize = 9;
    std::uint32_t bits = 0;
    int bitCount = 0;
    auto readCode = [&](int& code) {
        while (bitCount < codeSize) {
            std::uint8_t b = 0;
            if (!NextByte(b)) return false;
            bits |= static_cast<std::uint32_t>(b) << bitCount;
            bitCount += 8;
        }
        code = static_cast<int>(bits & ((1u << codeSize) - 1));
        bits >>= codeSize;
        bitCount -= codeSize;
        return true;
    };

    int oldCode = 0;
    if (!readCode(oldCode)) return;
    std::uint8_t finalValue = static_cast<std::uint8_t>(oldCode);
    PutByte(finalValue);
    int lastFree = 256;
    const size_t top = m_stack.size();
    for (;;) {
        int code = 0;
        if (!readCode(code)) return;
        if (code == 256) {
            if (!readCode(code)) return;
            if (code == 1) {
                if (codeSize == 13) return;
                ++codeSize;
            } else if (code == 2) {
                PartialClear(lastFree);
                lastFree = 256;
            }
            continue;
        }
        size_t sp = top;
        int c = code;
        if (m_parent[static_cast<size_t>(c)] == kShrinkFree) {
            m_stack[--sp] = finalValue;
            c = oldCode;
        }
        int steps = 0;
        while (c > 256) {
            // A chain through a freed entry, or longer than the table, cannot
            // come from a well-formed stream.
            if (m_parent[static_cast<size_t>(c)] == kShrinkFree || ++steps > kShrinkTable) return;
            m_stack[--sp] = m_value[static_cast<size_t>(c)];
            c = m_parent[static_cast<size_t>(c)];
        }
        if (c == 256) return;
        m_stack[--sp] = static_cast<std::uint8_t>(c);
        finalValue = m_stack[sp];
        for (size_t i = sp; i < top; ++i) PutByte(m_stack[i]);

        // The free code is searched upwards from the last one assigned; a
        // writer must clear before that search runs off the table.
        int freeCode = lastFree + 1;
        while (freeCode < kShrinkTable && m_parent[static_cast<size_t>(freeCode)] != kShrinkFree) ++freeCode;
        if (freeCode >= kShrinkTable) return;
        m_value[static_cast<size_t>(freeCode)] = finalValue;
        m_parent[static_cast<size_t>(freeCode)] = static_cast<std::int16_t>(oldCode);
        lastFree = freeCode;
        oldCode = code;
    }
}

// Reduce with compression factor 1 to 4: the stream starts with a follower
// set for every byte value (255 down to 0: a 6-bit count, then the bytes);
// each following byte is read as an index into the set of the byte before it
// (a 0 bit, then as many bits as the set's largest index needs, at least
// one) or as 8 plain bits (a 1 bit, or always when the set is empty). The
// byte 144 (DLE) starts a copy: DLE 0 is a plain DLE; DLE V gives a length in
// V's low 8 - factor bits (its top value announces one more length byte) and
// the high bits of the distance, whose low byte follows.
namespace {
int FollowerIndexBits(int count) {
    int bits = 1;
    while ((1 << bits) < count) ++bits;
    return bits;
}
}  // namespace

void TZipReader::TRun::Unreduce(int factor) {
    const TZipEntryInfo& w = *r.m_working;
    constexpr std::uint8_t kDle = 144;
    constexpr std::uint32_t kWindow = 8192;
    m_bitBuffer = 0;
    m_bitCount = 0;
    m_followers.resize(256 * 64);
    for (int x = 255; x >= 0; --x) {
        std::uint32_t count = 0;
        if (!ReadBits(6, count)) return;
        m_followerCount[x] = static_cast<std::uint8_t>(count);
        for (std::uint32_t i = 0; i < count; ++i) {
            std::uint32_t v = 0;
            if (!ReadBits(8, v)) return;
            m_followers[static_cast<size_t>(x) * 64 + i] = static_cast<std::uint8_t>(v);
        }
    }
    m_window.assign(kWindow, 0);
    const std::uint32_t lengthMask = 0xFFu >> factor;
    std::uint32_t pos = 0;
    std::int64_t left = w.UnCompressedSize;
    auto emit = [&](std::uint8_t c) {
        m_window[pos & (kWindow - 1)] = c;
        ++pos;
        --left;
        PutByte(c);
    };
    std::uint8_t last = 0;
    int state = 0;
    std::uint32_t v = 0;
    std::uint32_t length = 0;
    while (left > 0) {
        std::uint32_t c = 0;
        const int count = m_followerCount[last];
        if (count == 0) {
            if (!ReadBits(8, c)) return;
        } else {
            std::uint32_t plain = 0;
            if (!ReadBits(1, plain)) return;
            if (plain) {
                if (!ReadBits(8, c)) return;
            } else {
                std::uint32_t index = 0;
                if (!ReadBits(FollowerIndexBits(count), index) || index >= static_cast<std::uint32_t>(count))
                    return;
                c = m_followers[static_cast<size_t>(last) * 64 + index];
            }
        }
        last = static_cast<std::uint8_t>(c);
        switch (state) {
            case 0:
                if (c != kDle)
                    emit(static_cast<std::uint8_t>(c));
                else
                    state = 1;
                break;
            case 1:
                if (c != 0) {
                    v = c;
                    length = v & lengthMask;
                    state = length == lengthMask ? 2 : 3;
                } else {
                    emit(kDle);
                    state = 0;
                }
                break;
            case 2:
                length += c;
                state = 3;
                break;
            default: {
                const std::uint32_t distance = (v >> (8 - factor)) * 256 + c + 1;
                for (std::uint32_t k = 0; k < length + 3 && left > 0; ++k)
                    emit(m_window[(pos - distance) & (kWindow - 1)]);
                state = 0;
                break;
            }
        }
    }
}

// Implode: LZ77 over a 4 KB or 8 KB dictionary (flag bit 1) with Shannon-Fano
// coded lengths and distances, and coded literals when flag bit 2 says a
// third tree is present. Each tree is stored as run-length coded bit lengths;
// codes are read first bit first with every bit inverted, which makes them
// the canonical codes of those lengths (shorter codes first, equal lengths
// in symbol order). The stream has no end code: decoding stops at the
// recorded uncompressed size or when the input or a code runs out.
struct TZipReader::TRun::TSfTree {
    std::uint16_t count[17] = {};
    std::uint16_t symbol[256] = {};
};

bool TZipReader::TRun::ReadSfTree(TSfTree& tree, int symbols) {
    std::uint8_t bytes = 0;
    if (!NextByte(bytes)) return false;
    std::uint8_t lengths[256] = {};
    int filled = 0;
    for (int i = 0; i <= bytes; ++i) {
        std::uint8_t b = 0;
        if (!NextByte(b)) return false;
        const int length = (b & 0x0F) + 1;
        const int repeat = (b >> 4) + 1;
        if (filled + repeat > symbols) return false;
        for (int k = 0; k < repeat; ++k) lengths[filled++] = static_cast<std::uint8_t>(length);
    }
    if (filled != symbols) return false;
    for (auto& c : tree.count) c = 0;
    for (int s = 0; s < symbols; ++s) ++tree.count[lengths[s]];
    // Reject a set of lengths with more codes than the bits allow.
    int left = 1;
    for (int len = 1; len <= 16; ++len) {
        left = left * 2 - tree.count[len];
        if (left < 0) return false;
    }
    std::uint16_t offset[18] = {};
    for (int len = 1; len <= 16; ++len)
        offset[len + 1] = static_cast<std::uint16_t>(offset[len] + tree.count[len]);
    for (int s = 0; s < symbols; ++s) tree.symbol[offset[lengths[s]]++] = static_cast<std::uint16_t>(s);
    return true;
}

bool TZipReader::TRun::DecodeSf(const TSfTree& tree, int& symbol) {
    int code = 0;
    int first = 0;
    int index = 0;
    for (int len = 1; len <= 16; ++len) {
        std::uint32_t bit = 0;
        if (!ReadBits(1, bit)) return false;
        code |= static_cast<int>(bit ^ 1u);
        const int count = tree.count[len];
        if (code - first < count) {
            symbol = tree.symbol[index + code - first];
            return true;
        }
        index += count;
        first = (first + count) << 1;
        code <<= 1;
    }
    return false;
}

void TZipReader::TRun::Explode() {
    const TZipEntryInfo& w = *r.m_working;
    const bool bigWindow = (w.Flags & kFlagImplodeBigWindow) != 0;
    const bool literalTree = (w.Flags & kFlagImplodeLiteralTree) != 0;
    m_bitBuffer = 0;
    m_bitCount = 0;
    constexpr std::uint32_t kWindow = 8192;
    m_window.assign(kWindow, 0);  // bytes before the start read as zeros
    TSfTree literals;
    TSfTree lengths;
    TSfTree distances;
    if (literalTree && !ReadSfTree(literals, 256)) return;
    if (!ReadSfTree(lengths, 64) || !ReadSfTree(distances, 64)) return;
    const int lowBits = bigWindow ? 7 : 6;
    const int minMatch = literalTree ? 3 : 2;
    std::uint32_t pos = 0;
    std::int64_t left = w.UnCompressedSize;
    auto emit = [&](std::uint8_t c) {
        m_window[pos & (kWindow - 1)] = c;
        ++pos;
        --left;
        PutByte(c);
    };
    while (left > 0) {
        std::uint32_t isLiteral = 0;
        if (!ReadBits(1, isLiteral)) return;
        if (isLiteral) {
            int c = 0;
            std::uint32_t raw = 0;
            if (literalTree) {
                if (!DecodeSf(literals, c)) return;
            } else {
                if (!ReadBits(8, raw)) return;
                c = static_cast<int>(raw);
            }
            emit(static_cast<std::uint8_t>(c));
            continue;
        }
        std::uint32_t low = 0;
        int high = 0;
        int length = 0;
        if (!ReadBits(lowBits, low) || !DecodeSf(distances, high) || !DecodeSf(lengths, length)) return;
        if (length == 63) {
            std::uint32_t extra = 0;
            if (!ReadBits(8, extra)) return;
            length += static_cast<int>(extra);
        }
        length += minMatch;
        const std::uint32_t distance = ((static_cast<std::uint32_t>(high) << lowBits) | low) + 1;
        for (int k = 0; k < length && left > 0; ++k) emit(m_window[(pos - distance) & (kWindow - 1)]);
    }
}

void TZipReader::TRun::UnpackEntry(int index, const TZipEntryInfo& entry) {
    TZipEntryInfo& w = *r.m_working;
    w.Assign(entry);
    TStream& source = *m_source;
    source.SetPosition(w.RelativeOffset);
    // The local header only says how far its name and extra field reach; the
    // entry's record describes the data, and the signature is not checked.
    TLocalHeaderFields local;
    if (!ReadLocalHeaderFields(source, local)) throw EFatalUnzipError(SPrematureEnd);

    std::string fileName;  // no file name when unpacking into a stream
    bool skip = false;
    if (r.OnStartUnZip) r.OnStartUnZip(r, index, fileName, skip);
    if (skip) return;
    if ((w.Flags & kFlagEncrypted) != 0) {
        // Encrypted, and this reader has no password to try: decoding the
        // cipher text would only write garbage into the caller's stream.
        if (r.OnSkippingFile) r.OnSkippingFile(r, TZipSkipReason::srBadPassword, w.FullName(), index);
        return;
    }

    m_crc = 0;
    m_written = 0;
    m_inPos = m_inLen = m_outFill = 0;
    m_remaining = w.CompressedSize;
    source.SetPosition(static_cast<std::int64_t>(w.RelativeOffset) + LocalHeader::kSize + local.NameLength +
                       local.ExtraLength);
    bool decoded = true;
    try {
        switch (w.CompressionMethod) {
            case 0: CopyStored(); break;
            case 1:
                Unshrink();
                if (m_outFill > 0) Flush(m_out.data(), m_outFill);
                break;
            case 2:
            case 3:
            case 4:
            case 5:
                Unreduce(w.CompressionMethod - 1);
                if (m_outFill > 0) Flush(m_out.data(), m_outFill);
                break;
            case 6:
                Explode();
                if (m_outFill > 0) Flush(m_out.data(), m_outFill);
                break;
            case 8: Inflate(); break;
            default:
                ZipShowNotice(SUnknownMethod, SZipErrorCaption);
                decoded = false;
                break;
        }
    } catch (const EOutputTooLarge&) {
        return;
    }
    if (m_crc == w.CRC32) {
        // An entry that could not be decoded is never reported as unpacked,
        // even when its stored CRC is that of no data.
        if (!decoded) return;
        if (r.OnEndUnZip) r.OnEndUnZip(r, index, fileName);
        ++m_unpacked;
    } else {
        if (r.OnBadCRC) r.OnBadCRC(r, m_crc, w.CRC32, index);
        --m_toDo;
    }
}

// ---- ExtractToStream ------------------------------------------------------------------

int TZipReader::ExtractToStream(TStream* stream, const std::string& name) {
    if (stream == nullptr || Trim(name).empty()) return 0;
    m_toStream = true;
    m_cancel = false;
    struct TLeave {
        TZipReader& reader;
        ~TLeave() {
            reader.m_toStream = false;
            reader.m_cancel = false;
        }
    } leave{*this};
    EnsureDirectory();
    m_filesList->Clear();
    m_filesList->Add(name);

    m_cancel = false;
    const bool keepOpen = KeepZipOpen;
    KeepZipOpen = true;
    int unpacked = 0;
    auto finish = [&] {
        m_filesList->Clear();
        if (OnUnZipComplete) OnUnZipComplete(*this, unpacked);
        KeepZipOpen = keepOpen;
    };
    try {
        // The run's buffers and decoder state live in `run` and are freed
        // before the clean-up below reports completion.
        {
            TRun run(*this, *stream);
            try {
                run.Execute();
            } catch (...) {
                unpacked = run.Unpacked();
                throw;
            }
            unpacked = run.Unpacked();
        }
    } catch (...) {
        finish();
        throw;
    }
    finish();
    return unpacked;
}

}  // namespace zv
