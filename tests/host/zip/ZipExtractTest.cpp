// Extraction into a stream: selection, stored and deflated data, the size
// guard, short archives, CRC failures, the unknown-method notice, events and
// their percentages, cancel and the clean-up around failures.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tests/host/zip/ZipTestSupport.h"
#include "zip/ZipPlatform.h"

using namespace zv;
using namespace zvtest;

namespace {

// A destination that takes only a limited number of bytes.
class TLimitedStream : public TMemoryStream {
public:
    explicit TLimitedStream(std::int64_t limit) : m_limit(limit) {}
    std::int64_t Write(const void* buffer, std::int64_t count) override {
        const std::int64_t room = std::max<std::int64_t>(0, m_limit - Position());
        return TMemoryStream::Write(buffer, std::min(count, room));
    }

private:
    std::int64_t m_limit;
};

struct EventLog {
    std::vector<std::string> events;
    std::vector<int> filePercents;
    std::vector<int> totalPercents;

    void Attach(TZipReader& r) {
        r.OnStartUnZipInfo = [this](TObject&, int n, std::int64_t bytes, bool&) {
            events.push_back("info " + std::to_string(n) + " " + std::to_string(bytes));
        };
        r.OnStartUnZip = [this](TObject&, int i, std::string& name, bool&) {
            events.push_back("start " + std::to_string(i) + " '" + name + "'");
        };
        r.OnEndUnZip = [this](TObject&, int i, const std::string&) {
            events.push_back("end " + std::to_string(i));
        };
        r.OnBadCRC = [this](TObject&, std::uint32_t calc, std::uint32_t stored, int i) {
            events.push_back("badcrc " + std::to_string(i) + " " + std::to_string(calc) + " " +
                             std::to_string(stored));
        };
        r.OnUnZipComplete = [this](TObject&, int n) { events.push_back("complete " + std::to_string(n)); };
        r.OnFilePercentDone = [this](TObject&, int p) { filePercents.push_back(p); };
        r.OnTotalPercentDone = [this](TObject&, int p) { totalPercents.push_back(p); };
    }
};

template <class E, class F>
std::string MessageOf(F&& f) {
    try {
        f();
    } catch (const E& e) {
        return e.Message();
    }
    ADD_FAILURE() << "no exception";
    return {};
}

}  // namespace

TEST(ExtractToStream, UnpacksDeflatedAndStoredEntries) {
    const Bytes dll = SampleData(200000, 11);
    const Bytes ocx = SampleData(70000, 12);
    const auto z = BuildZip({Entry("NPZRVN32.dll", dll), Entry("ZorvaneActiveX.ocx", ocx, 0)});
    ReaderOver o(z.bytes);
    o.reader.ReadDirectory();
    EventLog log;
    log.Attach(o.reader);
    int count = 0;
    EXPECT_EQ(o.Extract("NPZRVN32.dll", &count), dll);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(log.events, (std::vector<std::string>{"info 1 200000", "start 0 ''", "end 0", "complete 1"}));
    EXPECT_EQ(o.Extract("ZorvaneActiveX.ocx", &count), ocx);
    EXPECT_EQ(count, 1);
    // The run leaves nothing behind but the selected flags.
    EXPECT_EQ(o.reader.FilesList().Count(), 0);
    EXPECT_TRUE(o.reader.KeepZipOpen);
    EXPECT_FALSE(o.reader.Entry(0).Selected);
    EXPECT_TRUE(o.reader.Entry(1).Selected);
}

TEST(ExtractToStream, EmptyNameOrNoStreamDoesNothing) {
    const auto z = BuildZip({Entry("a.txt", "alpha")});
    ReaderOver o(z.bytes);
    EventLog log;
    log.Attach(o.reader);
    TMemoryStream out;
    EXPECT_EQ(o.reader.ExtractToStream(&out, ""), 0);
    EXPECT_EQ(o.reader.ExtractToStream(&out, " \t\r\n "), 0);
    EXPECT_EQ(o.reader.ExtractToStream(nullptr, "a.txt"), 0);
    EXPECT_EQ(out.Size(), 0);
    EXPECT_TRUE(log.events.empty());
    EXPECT_EQ(o.reader.EntryCount(), 0);  // not even the directory was read
}

TEST(ExtractToStream, ExtractsWithoutAnExplicitDirectoryRead) {
    const auto z = BuildZip({Entry("a.txt", "alpha")});
    ReaderOver o(z.bytes);
    EXPECT_EQ(o.Extract("A.TXT"), "alpha");
    EXPECT_EQ(o.reader.EntryCount(), 1);
}

TEST(ExtractToStream, SelectionByCaseInsensitiveNameAndPattern) {
    const auto z = BuildZip(
        {Entry("plugins/NPZRVN32.dll", "dll bytes"), Entry("readme.txt", "text"), Entry("plugins/", "", 0)});
    ReaderOver o(z.bytes);
    o.reader.ReadDirectory();
    int count = 0;
    EXPECT_EQ(o.Extract("PLUGINS\\npzrvn32.DLL", &count), "dll bytes");
    EXPECT_EQ(count, 1);
    EXPECT_EQ(o.Extract("*.dll", &count), "dll bytes");
    EXPECT_EQ(count, 1);
    EXPECT_EQ(o.Extract("plugins/npzrvn32.dll", &count), "");  // names are listed with "\"
    EXPECT_EQ(count, 0);
    EXPECT_EQ(o.Extract("missing.dll", &count), "");
    EXPECT_EQ(count, 0);
    // Folder entries are never selected while RecreateDirs is off.
    o.Extract("plugins\\", &count);
    EXPECT_EQ(count, 0);
    EXPECT_FALSE(o.reader.Entry(2).Selected);
}

TEST(ExtractToStream, StartInfoCanStopAndStartUnZipCanSkip) {
    const auto z = BuildZip({Entry("a.txt", "alpha"), Entry("b.txt", "beta")});
    ReaderOver o(z.bytes);
    int completes = -1;
    o.reader.OnUnZipComplete = [&](TObject&, int n) { completes = n; };
    o.reader.OnStartUnZipInfo = [](TObject&, int n, std::int64_t bytes, bool& stop) {
        EXPECT_EQ(n, 2);
        EXPECT_EQ(bytes, 9);
        stop = true;
    };
    int count = -1;
    EXPECT_EQ(o.Extract("?.txt", &count), "");
    EXPECT_EQ(count, 0);
    EXPECT_EQ(completes, 0);
    o.reader.OnStartUnZipInfo = nullptr;
    o.reader.OnStartUnZip = [](TObject&, int index, std::string&, bool& skip) { skip = index == 0; };
    EXPECT_EQ(o.Extract("?.txt", &count), "beta");
    EXPECT_EQ(count, 1);
}

TEST(ExtractToStream, SizeGuardCountsTheDestinationPosition) {
    const Bytes data = SampleData(40000, 5);
    const auto z = BuildZip({Entry("a.bin", data), Entry("b.bin", "tail")});
    ReaderOver o(z.bytes);
    EventLog log;
    log.Attach(o.reader);
    TMemoryStream out;
    out.WriteBuffer("0123456789", 10);
    // First block fits at position 10; the last would end at 40010.
    EXPECT_EQ(o.reader.ExtractToStream(&out, "a.bin"), 0);
    EXPECT_EQ(out.Size(), 10 + 32768);
    EXPECT_EQ(ContentOf(out).substr(10), data.substr(0, 32768));
    EXPECT_EQ(log.events, (std::vector<std::string>{"info 1 40000", "start 0 ''", "complete 0"}));

    // The second of several matching entries lands behind the first.
    TMemoryStream both;
    const auto twins = BuildZip({Entry("x1", "same size"), Entry("x2", "same size")});
    ReaderOver t(twins.bytes);
    EXPECT_EQ(t.reader.ExtractToStream(&both, "x?"), 1);
    EXPECT_EQ(ContentOf(both), "same size");
}

TEST(ExtractToStream, DataLargerThanRecordedKeepsEarlierBlocksAndGoesOn) {
    const Bytes data = SampleData(100000, 6);
    auto big = Entry("big.bin", data);
    big.usizeSet = true;
    big.usize = 70000;
    const auto z = BuildZip({big, Entry("next.txt", "next")});
    ReaderOver o(z.bytes);
    TMemoryStream out;
    EXPECT_EQ(o.reader.ExtractToStream(&out, "big.bin"), 0);
    EXPECT_EQ(ContentOf(out), data.substr(0, 65536));
    EXPECT_EQ(o.Extract("next.txt"), "next");
}

TEST(ExtractToStream, ArchiveEndingInsideTheDataRaisesAfterWholeBlocks) {
    const Bytes data = SampleData(100000, 7);
    auto e = Entry("cut.bin", data, 0);
    auto z = BuildZip({e});
    // Claim more stored data than the stream holds after the entry.
    Patch32(z.bytes, z.centralOffsets[0] + 20, 300000);
    Patch32(z.bytes, z.centralOffsets[0] + 24, 300000);
    ReaderOver o(z.bytes);
    EventLog log;
    log.Attach(o.reader);
    TMemoryStream out;
    EXPECT_EQ(MessageOf<EFatalUnzipError>([&] { o.reader.ExtractToStream(&out, "cut.bin"); }),
              "Premature end of file reached");
    EXPECT_EQ(ContentOf(out), data.substr(0, 3 * 32768));
    // The clean-up ran before the exception left.
    EXPECT_EQ(log.events.back(), "complete 0");
    EXPECT_EQ(o.reader.FilesList().Count(), 0);
    EXPECT_EQ(o.reader.EntryCount(), 1);
}

TEST(ExtractToStream, LocalHeaderPastTheEndRaisesPrematureEnd) {
    auto e = Entry("a.txt", "alpha");
    e.centralOffsetSet = true;
    e.centralOffset = 0x7FFFFFF0;
    ReaderOver o(BuildZip({e}).bytes);
    TMemoryStream out;
    EXPECT_THROW(o.reader.ExtractToStream(&out, "a.txt"), EFatalUnzipError);
}

TEST(ExtractToStream, HugeClaimedSizesAreStreamedInBlocks) {
    // 4 GB announced, a few bytes present: no buffer of the claimed size.
    auto e = Entry("huge.bin", SampleData(1000), 0);
    auto z = BuildZip({e});
    Patch32(z.bytes, z.centralOffsets[0] + 20, 0xFFFFFFFF);
    Patch32(z.bytes, z.centralOffsets[0] + 24, 0xFFFFFFFF);
    ReaderOver o(z.bytes);
    TMemoryStream out;
    EXPECT_THROW(o.reader.ExtractToStream(&out, "huge.bin"), EFatalUnzipError);
    EXPECT_EQ(out.Size(), 0);
}

TEST(ExtractToStream, CrcMismatchIsReportedAndNotCounted) {
    auto e = Entry("bad.txt", "payload bytes");
    e.crcSet = true;
    e.crc = 0x12345678;
    ReaderOver o(BuildZip({e, Entry("good.txt", "fine")}).bytes);
    EventLog log;
    log.Attach(o.reader);
    TMemoryStream out;
    EXPECT_EQ(o.reader.ExtractToStream(&out, "*.txt"), 0);  // good.txt fails the position guard
    EXPECT_EQ(log.events[2],
              "badcrc 0 " + std::to_string(Crc("payload bytes")) + " " + std::to_string(0x12345678));
    EXPECT_EQ(ContentOf(out), "payload bytes");  // what was written stays
}

TEST(ExtractToStream, DamagedDeflateDataEndsTheEntryAndTheRunGoesOn) {
    auto e = Entry("broken.bin", SampleData(5000));
    e.payload = RawDeflate(e.data);
    e.payload[0] = static_cast<char>(0xFF);  // reserved block type
    e.payloadSet = true;
    ReaderOver o(BuildZip({e, Entry("ok.txt", "ok")}).bytes);
    EventLog log;
    log.Attach(o.reader);
    int count = -1;
    o.Extract("broken.bin", &count);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(log.events[2].substr(0, 7), "badcrc ");
    EXPECT_EQ(o.Extract("ok.txt"), "ok");
}

TEST(ExtractToStream, DeflateStreamCutShortIsCaughtByTheCrc) {
    const Bytes data = SampleData(50000, 9);
    auto e = Entry("short.bin", data);
    e.payload = RawDeflate(data).substr(0, 2000);
    e.payloadSet = true;
    ReaderOver o(BuildZip({e}).bytes);
    int count = -1;
    const Bytes got = o.Extract("short.bin", &count);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(got, data.substr(0, got.size()));
}

TEST(ExtractToStream, UnknownMethodShowsTheNoticeAndIsNeverCounted) {
    ZipRecordedNotices().clear();
    auto m9 = Entry("deflate64.bin", "whatever", 9);
    auto emptyCrc = Entry("zero.bin", "", 7);  // stored CRC 0: the CRC of no data
    auto tokenized = Entry("old.bin", "data", 7);
    ReaderOver o(BuildZip({m9, emptyCrc, tokenized}).bytes);
    EventLog log;
    log.Attach(o.reader);
    int count = -1;
    EXPECT_EQ(o.Extract("*.bin", &count), "");
    EXPECT_EQ(count, 0);
    ASSERT_EQ(ZipRecordedNotices().size(), 3u);
    EXPECT_EQ(ZipRecordedNotices()[0].text, "Unknown Compression Method");
    EXPECT_EQ(ZipRecordedNotices()[0].caption, "Zip Error");
    EXPECT_EQ(std::count_if(log.events.begin(), log.events.end(),
                            [](const std::string& s) { return s.rfind("badcrc", 0) == 0; }),
              2);
    EXPECT_EQ(std::count_if(log.events.begin(), log.events.end(),
                            [](const std::string& s) { return s.rfind("end", 0) == 0; }),
              0);
    // On Windows the notice is a message box.
    std::vector<std::string> shown;
    ZipPlatformHooks().showNotice = [&](const std::string& text, const std::string& caption) {
        shown.push_back(caption + ": " + text);
    };
    o.Extract("deflate64.bin");
    ZipPlatformHooks().showNotice = nullptr;
    EXPECT_EQ(shown, (std::vector<std::string>{"Zip Error: Unknown Compression Method"}));
    ZipRecordedNotices().clear();
}

TEST(ExtractToStream, EncryptedEntriesAreSkipped) {
    auto e = Entry("secret.txt", "cipher text");
    e.flags = 1;
    ReaderOver o(BuildZip({e}).bytes);
    std::string skipped;
    o.reader.OnSkippingFile = [&](TObject&, TZipSkipReason reason, const std::string& name, int) {
        EXPECT_EQ(reason, TZipSkipReason::srBadPassword);
        skipped = name;
    };
    int count = -1;
    EXPECT_EQ(o.Extract("secret.txt", &count), "");
    EXPECT_EQ(count, 0);
    EXPECT_EQ(skipped, "secret.txt");
}

TEST(ExtractToStream, PercentEventsRoundHalvesToEven) {
    // 262144 bytes flushed in 32768-byte blocks: 12.5 %, 25 %, 37.5 % ...
    const Bytes data = SampleData(262144, 8);
    for (int method : {0, 8}) {
        ReaderOver o(
            BuildZip({Entry("p.bin", data, method), Entry("q.bin", Bytes(262144, 'q'), method)}).bytes);
        EventLog log;
        log.Attach(o.reader);
        EXPECT_EQ(o.Extract("p.bin"), data);
        EXPECT_EQ(log.filePercents, (std::vector<int>{12, 25, 38, 50, 62, 75, 88, 100})) << method;
        EXPECT_EQ(log.totalPercents, log.filePercents);
    }
}

TEST(ExtractToStream, TotalPercentCoversEverySelectedEntry) {
    // Two selected entries of 65536 bytes: the second fails the position
    // guard at once, so the total stops at one half.
    const auto z = BuildZip({Entry("a.bin", Bytes(65536, 'a'), 0), Entry("b.bin", Bytes(65536, 'b'), 0)});
    ReaderOver o(z.bytes);
    EventLog log;
    log.Attach(o.reader);
    o.Extract("*");
    EXPECT_EQ(log.totalPercents, (std::vector<int>{25, 50}));
    EXPECT_EQ(log.filePercents, (std::vector<int>{50, 100}));
}

TEST(ExtractToStream, CancelWhileMessagesAreProcessed) {
    const auto z = BuildZip({Entry("a.bin", SampleData(100000), 0)});
    ReaderOver o(z.bytes);
    o.reader.DoProcessMessages = true;
    int rounds = 0;
    ZipPlatformHooks().processMessages = [&] {
        if (++rounds == 2) o.reader.Cancel();
    };
    EventLog log;
    log.Attach(o.reader);
    TMemoryStream out;
    EXPECT_EQ(MessageOf<EUserCanceled>([&] { o.reader.ExtractToStream(&out, "a.bin"); }),
              "User Aborted Operation");
    ZipPlatformHooks().processMessages = nullptr;
    EXPECT_EQ(out.Size(), 32768);
    EXPECT_FALSE(o.reader.CancelRequested());
    EXPECT_EQ(log.events.back(), "complete 0");
}

TEST(ExtractToStream, DestinationThatTakesTooLittleEndsTheRun) {
    const auto z = BuildZip({Entry("a.bin", SampleData(50000), 0)});
    ReaderOver o(z.bytes);
    TLimitedStream out(40000);
    EXPECT_EQ(MessageOf<ECantWriteOutput>([&] { o.reader.ExtractToStream(&out, "a.bin"); }),
              "Cant write uncompressed file");
    EXPECT_EQ(o.reader.FilesList().Count(), 0);
}

TEST(ExtractToStream, DataStartsAfterTheLocalNameAndExtraField) {
    auto e = Entry("a.txt", "alpha");
    e.localExtra = Bytes(17, '\x01');  // local extra differs from the central one
    auto z = BuildZip({e});
    ReaderOver o(z.bytes);
    EXPECT_EQ(o.Extract("a.txt"), "alpha");
}

TEST(ExtractToStream, KeepZipOpenIsRestoredAfterTheRun) {
    const auto z = BuildZip({Entry("a.txt", "alpha")});
    ReaderOver o(z.bytes);
    o.reader.KeepZipOpen = false;
    bool during = false;
    o.reader.OnStartUnZip = [&](TObject&, int, std::string&, bool&) { during = o.reader.KeepZipOpen; };
    EXPECT_EQ(o.Extract("a.txt"), "alpha");
    EXPECT_TRUE(during);
    EXPECT_FALSE(o.reader.KeepZipOpen);
}

namespace {

EntryPlan Shrunk(const std::string& name, const Bytes& data, bool clearWhenFull) {
    auto e = Entry(name, data, 1);
    e.payload = ShrinkEncoder::Encode(data, clearWhenFull);
    e.payloadSet = true;
    return e;
}

Bytes Codes9(std::initializer_list<int> codes) {
    Bytes out;
    std::uint32_t bits = 0;
    int count = 0;
    for (int c : codes) {
        bits |= static_cast<std::uint32_t>(c) << count;
        count += 9;
        while (count >= 8) {
            out += static_cast<char>(bits & 0xFF);
            bits >>= 8;
            count -= 8;
        }
    }
    if (count > 0) out += static_cast<char>(bits & 0xFF);
    return out;
}

}  // namespace

TEST(ExtractToStream, ShrunkEntriesWithWideningAndPartialClears) {
    const Bytes text = SampleData(400000, 31);
    Bytes runs;  // long runs make long chains
    for (int i = 0; i < 300; ++i)
        runs += Bytes(static_cast<size_t>(i % 97 + 1), static_cast<char>('a' + i % 5));
    const Bytes small = text.substr(0, 6000);
    const auto z = BuildZip({Shrunk("plain.txt", small, false), Shrunk("cleared.txt", text, true),
                             Shrunk("runs.txt", runs, true), Shrunk("empty.txt", "", true)});
    ReaderOver o(z.bytes);
    int count = 0;
    EXPECT_EQ(o.Extract("plain.txt", &count), small);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(o.Extract("cleared.txt", &count), text);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(o.Extract("runs.txt", &count), runs);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(o.Extract("empty.txt", &count), "");
    EXPECT_EQ(count, 1);
}

TEST(ExtractToStream, ShrinkCodeNotYetInTheTable) {
    // 'a', then 257 before it exists ("a" + "a"), then 'a': "aaaa".
    auto e = Entry("kwk.txt", "aaaa", 1);
    e.payload = Codes9({'a', 257, 'a'});
    e.payloadSet = true;
    ReaderOver o(BuildZip({e}).bytes);
    int count = 0;
    EXPECT_EQ(o.Extract("kwk.txt", &count), "aaaa");
    EXPECT_EQ(count, 1);
}

TEST(ExtractToStream, DamagedShrinkDataEndsTheEntry) {
    // Widening past 13 bits, a code chained through a freed entry, and an
    // escape as the last code: each ends the entry with a CRC failure.
    for (const Bytes& payload : {Codes9({'a', 256, 1, 256, 1, 256, 1, 256, 1, 256, 1, 'b'}),
                                 Codes9({'a', 'b', 256, 2, 300, 258}), Codes9({'x', 256})}) {
        auto e = Entry("bad.txt", "expected content", 1);
        e.payload = payload;
        e.payloadSet = true;
        ReaderOver o(BuildZip({e}).bytes);
        int badCrc = 0;
        o.reader.OnBadCRC = [&](TObject&, std::uint32_t, std::uint32_t, int) { ++badCrc; };
        int count = -1;
        o.Extract("bad.txt", &count);
        EXPECT_EQ(count, 0);
        EXPECT_EQ(badCrc, 1);
    }
}

namespace {

EntryPlan Imploded(const std::string& name, const Bytes& data, bool bigWindow, bool literalTree) {
    auto e = Entry(name, data, 6);
    e.payload = ImplodeEncoder::Encode(data, bigWindow, literalTree, e.flags);
    e.payloadSet = true;
    return e;
}

}  // namespace

TEST(ExtractToStream, ImplodedEntriesInEveryVariant) {
    Bytes data = SampleData(150000, 41);
    data += Bytes(2000, 'z');  // matches longer than the length code alone
    std::vector<EntryPlan> entries;
    for (int v = 0; v < 4; ++v)
        entries.push_back(Imploded("v" + std::to_string(v), data, (v & 1) != 0, (v & 2) != 0));
    ReaderOver o(BuildZip(entries).bytes);
    for (int v = 0; v < 4; ++v) {
        int count = 0;
        EXPECT_EQ(o.Extract("v" + std::to_string(v), &count), data) << v;
        EXPECT_EQ(count, 1);
    }
}

TEST(ExtractToStream, DamagedImplodeDataEndsTheEntry) {
    std::uint16_t flags = 0;
    const Bytes good = ImplodeEncoder::Encode(SampleData(3000, 42), true, true, flags);
    Bytes overfull = good;
    overfull[1] = static_cast<char>(0xF0);  // 16 literal codes of 1 bit: too many
    Bytes shortTree = good.substr(0, 3);
    Bytes cut = good.substr(0, good.size() / 2);
    for (const Bytes& payload : {overfull, shortTree, cut}) {
        auto e = Entry("bad.bin", SampleData(3000, 42), 6);
        e.flags = flags;
        e.payload = payload;
        e.payloadSet = true;
        ReaderOver o(BuildZip({e}).bytes);
        int count = -1;
        const Bytes got = o.Extract("bad.bin", &count);
        EXPECT_EQ(count, 0);
        EXPECT_LE(got.size(), 3000u);
    }
}

TEST(ExtractToStream, ReducedEntriesWithEveryFactor) {
    Bytes data = SampleData(50000, 51);
    for (int i = 0; i < 300; ++i) data += static_cast<char>(144);  // DLE bytes as data
    data += Bytes(3000, 'r');
    std::vector<EntryPlan> entries;
    for (int factor = 1; factor <= 4; ++factor) {
        auto e = Entry("f" + std::to_string(factor), data, factor + 1);
        e.payload = ReduceEncoder::Encode(data, factor);
        e.payloadSet = true;
        entries.push_back(e);
    }
    ReaderOver o(BuildZip(entries).bytes);
    for (int factor = 1; factor <= 4; ++factor) {
        int count = 0;
        EXPECT_EQ(o.Extract("f" + std::to_string(factor), &count), data) << factor;
        EXPECT_EQ(count, 1);
    }
}

TEST(ExtractToStream, ReducedBytesWrittenByHand) {
    // Every follower set empty except that of 'A' (one member, 'B'): 'A',
    // then 'B' as index 0 of that set, DLE 0 (a plain DLE), then DLE V=1 Y=1:
    // length 1 + 3 from distance 2.
    BitWriter b;
    for (int x = 255; x >= 0; --x) {
        b.Put(x == 'A' ? 1 : 0, 6);
        if (x == 'A') b.Put('B', 8);
    }
    b.Put('A', 8);
    b.Put(0, 1);  // from the follower set of 'A'
    b.Put(0, 1);  // index 0 (one index bit even for one member)
    for (int c : {144, 0, 144, 1, 1}) b.Put(static_cast<std::uint32_t>(c), 8);
    auto e = Entry("hand.bin",
                   "AB\x90"
                   "B\x90"
                   "B\x90",
                   2);
    e.payload = b.Finish();
    e.payloadSet = true;
    ReaderOver o(BuildZip({e}).bytes);
    int count = 0;
    EXPECT_EQ(o.Extract("hand.bin", &count),
              "AB\x90"
              "B\x90"
              "B\x90");
    EXPECT_EQ(count, 1);
}

TEST(ExtractToStream, ReduceIndexOutsideTheFollowerSetEndsTheEntry) {
    BitWriter b;
    for (int x = 255; x >= 0; --x) {
        b.Put(x == 0 ? 3 : 0, 6);
        if (x == 0) b.Put(0x41424300, 24);  // three members; two index bits
    }
    b.Put(0, 1);
    b.Put(3, 2);  // index 3 of a set of three
    auto e = Entry("bad.bin", "x", 2);
    e.payload = b.Finish();
    e.payloadSet = true;
    ReaderOver o(BuildZip({e}).bytes);
    int count = -1;
    EXPECT_EQ(o.Extract("bad.bin", &count), "");
    EXPECT_EQ(count, 0);
}

TEST(ExtractToStream, HandlerThatDetachesTheArchiveDoesNotBreakTheRun) {
    const Bytes data = SampleData(70000, 61);
    ReaderOver o(BuildZip({Entry("a.bin", data), Entry("b.bin", data)}).bytes);
    o.reader.OnStartUnZip = [&](TObject&, int, std::string&, bool&) { o.reader.SetSourceStream(nullptr); };
    TMemoryStream out;
    // The entry being started is still unpacked from the stream the run took;
    // the directory is gone afterwards, so the run ends there.
    EXPECT_EQ(o.reader.ExtractToStream(&out, "*"), 1);
    EXPECT_EQ(ContentOf(out), data);
    EXPECT_EQ(o.reader.EntryCount(), 0);
}

TEST(ExtractToStream, ArchiveWithoutEndRecordRaisesIncompleteWhenExtracting) {
    // ReadDirectory swallows the incomplete archive; a later extraction reads
    // the directory again and passes the error on.
    ReaderOver o(SampleData(500));
    o.reader.ReadDirectory();
    EXPECT_EQ(o.reader.EntryCount(), 0);
    TMemoryStream out;
    EXPECT_EQ(MessageOf<EIncompleteZip>([&] { o.reader.ExtractToStream(&out, "a.txt"); }),
              "Incomplete Zip File");
    EXPECT_EQ(o.reader.FilesList().Count(), 0);
}
