// Directory reading: the end-record search and its rejection rules,
// central headers (names, OEM names, dates, the retry), the recovery scan,
// incomplete-archive modes, entry lists and their policies, the cursor.
#include <gtest/gtest.h>

#include <vector>

#include "tests/host/zip/ZipTestSupport.h"
#include "zip/ZipPlatform.h"

using namespace zv;
using namespace zvtest;

namespace {

// Gives the expected exception's message or fails.
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

BuiltZip TwoEntries() {
    return BuildZip({Entry("first.txt", SampleData(3000, 1)), Entry("second.bin", SampleData(5000, 2), 0)});
}

}  // namespace

TEST(TZipReader, NewReaderHasTheDocumentedDefaults) {
    TZipReader r;
    EXPECT_EQ(r.ZipName(), "");
    EXPECT_EQ(r.SortMode(), TZipSortMode::ByNone);
    EXPECT_EQ(r.FilesList().Count(), 0);
    EXPECT_FALSE(r.DoAll);
    EXPECT_EQ(r.IncompleteZipMode, TIncompleteZipMode::izAssumeMulti);
    EXPECT_FALSE(r.KeepZipOpen);
    EXPECT_TRUE(r.DoProcessMessages);
    EXPECT_TRUE(r.OEMConvert);
    EXPECT_FALSE(r.RecreateDirs);
    EXPECT_EQ(r.DestDir, "");
    EXPECT_EQ(r.RootDir, "");
    EXPECT_EQ(r.OverwriteMode, TZipOverwriteMode::Prompt);
    EXPECT_TRUE(r.RetainAttributes);
    EXPECT_FALSE(r.ReplaceReadOnly);
    EXPECT_FALSE(r.FlushFilesOnClose);
    EXPECT_EQ(r.ThisVersion(), 223);
    EXPECT_EQ(r.EntryCount(), 0);
    EXPECT_EQ(static_cast<int>(TZipSortMode::ByNone), 7);
    EXPECT_EQ(static_cast<int>(TIncompleteZipMode::izAssumeNotAZip), 2);

    TZipEntryInfo e;
    EXPECT_EQ(e.VersionMadeBy, 20);
    EXPECT_EQ(e.CompressionMethod, 8);
    EXPECT_EQ(e.CRC32, 0xFFFFFFFFu);
    EXPECT_EQ(e.InternalAttributes, 1);
    EXPECT_EQ(e.ExternalAttributes, 32u);
    EXPECT_TRUE(e.OEMConvert());
}

TEST(TZipReader, AttachingAStreamAndDetachingIt) {
    const auto z = TwoEntries();
    TCustomMemoryStream s(z.bytes.data(), static_cast<std::int64_t>(z.bytes.size()));
    TZipReader r;
    r.SetZipName("");
    r.SetSourceStream(&s);
    EXPECT_TRUE(r.KeepZipOpen);
    EXPECT_TRUE(r.ArchiveIsStream());
    r.ReadDirectory();
    EXPECT_EQ(r.EntryCount(), 2);
    r.SetSourceStream(nullptr);
    EXPECT_EQ(r.EntryCount(), 0);
    EXPECT_FALSE(r.ArchiveIsStream());
    EXPECT_EQ(r.SourceStream(), nullptr);
}

TEST(TZipReader, EntryRecordsCarryTheCentralHeaderFields) {
    auto first = Entry("dir/sub/File.TXT", SampleData(3000, 1));
    first.comment = "entry comment";
    first.centralExtra = Bytes("\x55\x54\x01\x00\x00", 5);
    first.versionMadeBy = 0x031E;
    auto folder = Entry("dir/", "", 0);
    const auto z = BuildZip({first, folder});
    ReaderOver o(z.bytes);
    o.reader.ReadDirectory();
    ASSERT_EQ(o.reader.EntryCount(), 2);
    const auto& e = o.reader.Entry(0);
    EXPECT_EQ(e.Directory(), "dir\\sub\\");
    EXPECT_EQ(e.FileName(), "File.TXT");
    EXPECT_EQ(e.FileNameLength(), 16);
    EXPECT_EQ(e.VersionMadeBy, 0x031E);
    EXPECT_EQ(e.CompressionMethod, 8);
    EXPECT_EQ(e.CRC32, Crc(SampleData(3000, 1)));
    EXPECT_EQ(e.UnCompressedSize, 3000u);
    EXPECT_EQ(e.ExtraFieldLength, 5);
    EXPECT_EQ(e.CommentLength, 13);
    EXPECT_EQ(e.RelativeOffset, 0u);
    EXPECT_EQ(e.CentralOffset, z.centralOffsets[0]);
    EXPECT_EQ(e.DateTime, 0x5A8C6B2Eu);
    const auto& d = o.reader.Entry(1);
    EXPECT_EQ(d.FileName(), "");
    EXPECT_EQ(d.Directory(), "dir\\");
    EXPECT_EQ(o.reader.EndCentral().TotalEntries, 2);
    EXPECT_EQ(o.reader.EndCentral().CentralDirOffset, z.centralStart);
    EXPECT_EQ(o.reader.EndCentral().ZipCommentPos, z.endOffset + 22);
}

TEST(TZipReader, EmptyStreamIsAnArchiveWithoutEntries) {
    ReaderOver o("");
    EXPECT_NO_THROW(o.reader.ReadDirectory());
    EXPECT_EQ(o.reader.EntryCount(), 0);
    TMemoryStream out;
    EXPECT_EQ(o.reader.ExtractToStream(&out, "*"), 0);
}

TEST(TZipReader, MissingEndRecordIsSwallowedInTheDefaultMode) {
    for (size_t size : {1u, 5u, 21u}) {
        ReaderOver o(Bytes(size, 'P'));
        EXPECT_NO_THROW(o.reader.ReadDirectory()) << size;
        EXPECT_EQ(o.reader.EntryCount(), 0);
    }
    // The end record is searched only in the last 65557 bytes.
    auto z = TwoEntries();
    for (size_t trailing : {65535u, 65536u}) {
        ReaderOver o(z.bytes + Bytes(trailing, '\0'));
        o.reader.ReadDirectory();
        EXPECT_EQ(o.reader.EntryCount(), trailing == 65535u ? 2 : 0) << trailing;
    }
}

TEST(TZipReader, IncompleteArchiveModes) {
    const Bytes junk = SampleData(2000);
    {
        ReaderOver o(junk);
        o.reader.IncompleteZipMode = TIncompleteZipMode::izAssumeNotAZip;
        EXPECT_EQ(MessageOf<ENotAZipFile>([&] { o.reader.ReadDirectory(); }), "Not a valid zip file!");
        EXPECT_EQ(o.reader.SourceStream(), &o.stream);
    }
    {
        ReaderOver o(junk);
        o.reader.IncompleteZipMode = TIncompleteZipMode::izAssumeBad;
        EXPECT_EQ(MessageOf<EBadZipFile>([&] { o.reader.ReadDirectory(); }), "Not a valid zip file!");
        EXPECT_EQ(o.reader.EntryCount(), 0);
    }
    {
        // The handler sees each attempt; leaving the mode alone ends quietly
        // after one more attempt.
        ReaderOver o(junk);
        int calls = 0;
        o.reader.OnInCompleteZip = [&](TObject&, TIncompleteZipMode& mode) {
            ++calls;
            EXPECT_EQ(mode, TIncompleteZipMode::izAssumeMulti);
        };
        EXPECT_NO_THROW(o.reader.ReadDirectory());
        EXPECT_EQ(calls, 2);
        EXPECT_EQ(o.reader.EntryCount(), 0);
    }
    {
        // Without the end record (cut off) the handler can ask for recovery.
        const auto z = TwoEntries();
        ReaderOver o(z.bytes.substr(0, z.centralStart));
        o.reader.OnInCompleteZip = [](TObject&, TIncompleteZipMode& mode) {
            mode = TIncompleteZipMode::izAssumeBad;
        };
        o.reader.ReadDirectory();
        EXPECT_TRUE(o.reader.RebuiltByScanning());
        EXPECT_EQ(o.Names(), (std::vector<std::string>{"first.txt", "second.bin"}));
        EXPECT_EQ(o.Extract("second.bin"), SampleData(5000, 2));
    }
}

TEST(TZipReader, EndRecordRejectionRules) {
    struct Case {
        std::uint16_t thisDisk, startDisk;
        std::uint32_t offset;
        bool accepted;
    };
    const auto z = TwoEntries();
    for (const Case& c : {Case{1000, 0, 0, false}, Case{0, 1000, 0, false}, Case{1, 2, 0, false},
                          Case{0, 0, 0x80000000u, false}, Case{999, 999, z.centralStart, true},
                          Case{0, 0, 0x7FFFFFFFu, true}}) {
        Bytes b = z.bytes;
        Patch16(b, z.endOffset + 4, c.thisDisk);
        Patch16(b, z.endOffset + 6, c.startDisk);
        Patch32(b, z.endOffset + 16, c.offset);
        ReaderOver o(b);
        o.reader.IncompleteZipMode = TIncompleteZipMode::izAssumeNotAZip;
        if (c.accepted) {
            // Accepted records then fail on the directory itself (a spanned
            // set is never rebuilt) or read normally.
            try {
                o.reader.ReadDirectory();
            } catch (const EBadZipFile&) {
            }
        } else {
            EXPECT_THROW(o.reader.ReadDirectory(), ENotAZipFile) << c.thisDisk << " " << c.startDisk;
        }
    }
    // Disk 999 of a spanned set: its directory is unreadable here and is not
    // rebuilt by scanning.
    Bytes b = z.bytes;
    Patch16(b, z.endOffset + 4, 999);
    Patch16(b, z.endOffset + 6, 999);
    Patch32(b, z.endOffset + 16, 7);
    ReaderOver o(b);
    EXPECT_EQ(MessageOf<EBadZipFile>([&] { o.reader.ReadDirectory(); }), "Not a valid zip file!");
    EXPECT_FALSE(o.reader.RebuiltByScanning());
}

TEST(TZipReader, EndRecordOfAnArchiveWithAFullLengthComment) {
    const auto z = BuildZip({Entry("a.txt", "hello")}, SampleData(65535));
    ReaderOver o(z.bytes);
    o.reader.ReadDirectory();
    EXPECT_EQ(o.reader.EntryCount(), 1);
    EXPECT_EQ(o.reader.EndCentral().ZipCommentLength, 65535);
    EXPECT_EQ(o.reader.ZipComment(), SampleData(65535));
}

TEST(TZipReader, TheEndSignatureNearestTheEndWins) {
    // A comment that holds a second end record (claiming no entries) hides
    // the real one before it.
    Bytes fake;
    Put32(fake, 0x06054B50);
    fake += Bytes(18, '\0');
    const auto z = BuildZip({Entry("a.txt", "hello")}, fake);
    ReaderOver o(z.bytes);
    o.reader.ReadDirectory();
    EXPECT_EQ(o.reader.EntryCount(), 0);
    EXPECT_EQ(o.reader.EndCentral().ZipCommentPos, z.bytes.size());
}

TEST(TZipReader, NamesWithSlashesAndOemNames) {
    auto dos = Entry(
        "dir/\x81"
        "ber\x9E.txt",
        "x", 0);  // u-umlaut, peseta sign in code page 437
    auto unix = Entry(
        "dir/\x81"
        "ber.txt",
        "y", 0);
    unix.versionMadeBy = 0x0314;
    const auto z = BuildZip({dos, unix});
    {
        ReaderOver o(z.bytes);
        o.reader.ReadDirectory();
        EXPECT_EQ(o.Names(), (std::vector<std::string>{"dir\\\xFC"
                                                       "berP.txt",
                                                       "dir\\\x81"
                                                       "ber.txt"}));
    }
    {
        ReaderOver o(z.bytes);
        o.reader.OEMConvert = false;
        o.reader.ReadDirectory();
        EXPECT_EQ(o.reader.Entry(0).FullName(),
                  "dir\\\x81"
                  "ber\x9E.txt");
        EXPECT_FALSE(o.reader.Entry(0).OEMConvert());
    }
    {
        // The Windows program routes the conversion through OemToCharA.
        ZipPlatformHooks().oemToAnsi = [](std::string& s) { s = "[" + s + "]"; };
        ReaderOver o(z.bytes);
        o.reader.ReadDirectory();
        ZipPlatformHooks().oemToAnsi = nullptr;
        EXPECT_EQ(o.reader.Entry(0).FullName(),
                  "[dir\\\x81"
                  "ber\x9E.txt]");
        EXPECT_EQ(o.reader.Entry(1).FullName(),
                  "dir\\\x81"
                  "ber.txt");
    }
}

TEST(Cp437ToWindows1252, KeepsAsciiAndMapsTheUpperHalf) {
    std::string all;
    for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
    std::string converted = all;
    Cp437ToWindows1252(converted);
    EXPECT_EQ(converted.substr(0, 127), all.substr(0, 127));
    for (char c : converted.substr(127)) {
        EXPECT_NE(c, '\\');
        EXPECT_NE(c, '/');
        EXPECT_NE(c, '\0');
    }
    std::string s = "\x80\x8E\x99\x9A\xE1\xF8\xC4\xBA\xDB\xFF";
    Cp437ToWindows1252(s);
    EXPECT_EQ(s, "\xC7\xC4\xD6\xDC\xDF\xB0-|#\xA0");
}

TEST(FixDosDateTime, ClampsOutOfRangeFieldsOnly) {
    EXPECT_EQ(FixDosDateTime(0), 0x00210000u);  // 1 January 1980, 00:00:00
    const std::uint32_t valid = 0x5A8C6B2E;
    EXPECT_EQ(FixDosDateTime(valid), valid);
    // 31:63:62 on day 0 of month 15 of 2107.
    const std::uint32_t wild = (31u << 11) | (63u << 5) | 31u | ((0u | (15u << 5) | (127u << 9)) << 16);
    const std::uint32_t clamped = (23u << 11) | (59u << 5) | 29u | ((1u | (12u << 5) | (119u << 9)) << 16);
    EXPECT_EQ(FixDosDateTime(wild), clamped);
    auto zero = Entry("a", "b", 0);
    zero.dateTime = 0;
    ReaderOver o(BuildZip({zero}).bytes);
    o.reader.ReadDirectory();
    EXPECT_EQ(o.reader.Entry(0).DateTime, 0x00210000u);
}

TEST(TZipReader, CentralHeaderAfterAFalseExtraLengthIsReadOnRetry) {
    auto z = BuildZip({Entry("a.txt", "alpha"), Entry("b.txt", "beta"), Entry("c.txt", "gamma")});
    // The first header claims 9 extra bytes that are not there.
    Patch16(z.bytes, z.centralOffsets[0] + 30, 9);
    ReaderOver o(z.bytes);
    o.reader.ReadDirectory();
    EXPECT_FALSE(o.reader.RebuiltByScanning());
    EXPECT_EQ(o.Names(), (std::vector<std::string>{"a.txt", "b.txt", "c.txt"}));
    EXPECT_EQ(o.reader.Entry(0).ExtraFieldLength, 0);
    EXPECT_EQ(o.Extract("c.txt"), "gamma");
}

TEST(TZipReader, UnreadableCentralHeaderRebuildsFromLocalHeaders) {
    auto a = Entry("a.txt", SampleData(700, 3));
    a.versionMadeBy = 0x031E;
    a.localExtra = Bytes(6, 'x');
    auto z = BuildZip({a, Entry("b/c.txt", SampleData(900, 4))});
    z.bytes[z.centralOffsets[1]] = 'X';  // second central signature broken
    ReaderOver o(z.bytes);
    o.reader.ReadDirectory();
    EXPECT_TRUE(o.reader.RebuiltByScanning());
    ASSERT_EQ(o.reader.EntryCount(), 2);
    // The first record was completed from its central header, the second
    // only knows its local header.
    EXPECT_EQ(o.reader.Entry(0).VersionMadeBy, 0x031E);
    EXPECT_EQ(o.reader.Entry(0).CentralOffset, z.centralOffsets[0]);
    EXPECT_EQ(o.reader.Entry(0).LocalExtraFieldLength, 6);
    EXPECT_EQ(o.reader.Entry(1).VersionMadeBy, 20);
    EXPECT_EQ(o.reader.Entry(1).FullName(), "b\\c.txt");
    EXPECT_EQ(o.reader.Entry(1).RelativeOffset, z.localOffsets[1]);
    EXPECT_EQ(o.reader.EndCentral().TotalEntries, 2);
    EXPECT_EQ(o.reader.EndCentral().CentralDirOffset, z.centralStart);
    EXPECT_EQ(o.Extract("b\\c.txt"), SampleData(900, 4));
}

TEST(TZipReader, DuplicateLocalOffsetsRebuildFromLocalHeaders) {
    auto b = Entry("b.txt", "beta");
    b.centralOffsetSet = true;
    b.centralOffset = 0;  // points at a.txt's local header as well
    const auto z = BuildZip({Entry("a.txt", "alpha"), b});
    ReaderOver o(z.bytes);
    o.reader.ReadDirectory();
    EXPECT_TRUE(o.reader.RebuiltByScanning());
    EXPECT_EQ(o.Names(), (std::vector<std::string>{"a.txt", "b.txt"}));
    EXPECT_EQ(o.Extract("b.txt"), "beta");

    // With no local header to find, the archive is rejected and emptied.
    Bytes broken = z.bytes;
    broken[z.localOffsets[0] + 2] = 'x';
    broken[z.localOffsets[1] + 2] = 'x';
    ReaderOver p(broken);
    EXPECT_EQ(MessageOf<EBadZipFile>([&] { p.reader.ReadDirectory(); }), "Not a valid zip file!");
    EXPECT_EQ(p.reader.EntryCount(), 0);
    EXPECT_EQ(p.reader.SourceStream(), &p.stream);
}

TEST(TZipReader, RecoveryCompletesScannedEntriesFromTheCentralHeadersAfterThem) {
    auto a = Entry("a.txt", "alpha");
    a.versionMadeBy = 0x031E;
    a.comment = "note";
    a.localExtra = Bytes(4, 'x');
    auto c = Entry("c.txt", "gamma");
    c.centralOffsetSet = true;
    c.centralOffset = 0;  // a.txt's local header again: the directory is rebuilt
    auto z = BuildZip({a, Entry("b.txt", "beta"), c});
    // The first central header claims 9 extra bytes that are not there and
    // names its entry in other letters than its local header.
    Patch16(z.bytes, z.centralOffsets[0] + 30, 9);
    z.bytes.replace(z.centralOffsets[0] + 46, 5, "A.TXT");
    ReaderOver o(z.bytes);
    o.reader.ReadDirectory();
    EXPECT_TRUE(o.reader.RebuiltByScanning());
    ASSERT_EQ(o.Names(), (std::vector<std::string>{"A.TXT", "b.txt", "c.txt"}));
    // Completed from its central header (the retry over the false extra
    // length corrects it), keeping where the scan found it.
    const auto& first = o.reader.Entry(0);
    EXPECT_EQ(first.VersionMadeBy, 0x031E);
    EXPECT_EQ(first.CommentLength, 4);
    EXPECT_EQ(first.ExtraFieldLength, 0);
    EXPECT_EQ(first.CentralOffset, z.centralOffsets[0]);
    EXPECT_EQ(first.RelativeOffset, 0u);
    EXPECT_EQ(first.LocalExtraFieldLength, 4);
    EXPECT_EQ(o.reader.Entry(1).CentralOffset, z.centralOffsets[1]);
    // The second header for a.txt's local header completes nothing: c.txt
    // keeps what its local header says.
    const auto& last = o.reader.Entry(2);
    EXPECT_EQ(last.VersionMadeBy, 20);
    EXPECT_EQ(last.CentralOffset, 0u);
    EXPECT_EQ(last.RelativeOffset, z.localOffsets[2]);
    EXPECT_EQ(o.reader.EndCentral().TotalEntries, 3);
    EXPECT_EQ(o.reader.EndCentral().CentralDirOffset, z.centralStart);
    EXPECT_EQ(o.Extract("A.TXT"), "alpha");
    EXPECT_EQ(o.Extract("c.txt"), "gamma");
}

TEST(TZipReader, RecoveryWithoutEndRecordStepsOverDataDescriptors) {
    // a.txt has flag bit 3 and a data descriptor after its data, but its local
    // header carries the sizes as well, so the scan can step over both.
    auto a = Entry("a.txt", SampleData(800, 5));
    a.flags = 8;
    auto z = BuildZip({a, Entry("b.txt", "beta", 0)});
    const std::uint32_t descriptorAt = z.localOffsets[1];
    Bytes descriptor;
    Put32(descriptor, 0x08074B50);
    Put32(descriptor, Crc(a.data));
    Put32(descriptor, static_cast<std::uint32_t>(RawDeflate(a.data).size()));
    Put32(descriptor, static_cast<std::uint32_t>(a.data.size()));
    Bytes b = z.bytes.substr(0, descriptorAt) + descriptor + z.bytes.substr(descriptorAt);
    const std::uint32_t shift = 16;
    Patch32(b, z.centralOffsets[1] + shift + 42, z.localOffsets[1] + shift);
    b[z.endOffset + shift] = 'X';  // no end record
    ReaderOver o(b);
    o.reader.IncompleteZipMode = TIncompleteZipMode::izAssumeBad;
    o.reader.ReadDirectory();
    EXPECT_TRUE(o.reader.RebuiltByScanning());
    ASSERT_EQ(o.Names(), (std::vector<std::string>{"a.txt", "b.txt"}));
    EXPECT_EQ(o.reader.Entry(1).RelativeOffset, z.localOffsets[1] + shift);
    // Both completed from the central headers that follow the last local one.
    EXPECT_EQ(o.reader.Entry(0).CentralOffset, z.centralOffsets[0] + shift);
    EXPECT_EQ(o.reader.Entry(1).CentralOffset, z.centralOffsets[1] + shift);
    EXPECT_EQ(o.reader.EndCentral().ThisDiskNumber, 0);
    EXPECT_EQ(o.reader.EndCentral().TotalEntries, 2);
    EXPECT_EQ(o.reader.EndCentral().CentralDirOffset, z.centralStart + shift);
    EXPECT_EQ(o.Extract("a.txt"), SampleData(800, 5));
    EXPECT_EQ(o.Extract("b.txt"), "beta");
}

TEST(TZipReader, ScanSkipsImplausibleHeadersAndDataInFront) {
    // Bytes in front of the archive make every central offset wrong; the scan
    // passes a signature whose version-needed high byte is 10 or more.
    Bytes prefix = "junk PK\x03\x04\x14\x0A more junk";
    const auto z = BuildZip({Entry("a.txt", "alpha"), Entry("b.txt", "beta")});
    ReaderOver o(prefix + z.bytes);
    o.reader.ReadDirectory();
    EXPECT_TRUE(o.reader.RebuiltByScanning());
    ASSERT_EQ(o.reader.EntryCount(), 2);
    EXPECT_EQ(o.reader.Entry(0).RelativeOffset, prefix.size());
    EXPECT_EQ(o.Extract("a.txt"), "alpha");
    EXPECT_EQ(o.Extract("b.txt"), "beta");
}

TEST(TZipReader, ScanOfASelfExtractorStartsAfterItsStub) {
    // A local header inside the first 14000 bytes of an ".exe" belongs to the
    // stub and is not looked at.
    const auto stub = BuildZip({Entry("stub.txt", "in the stub", 0)});
    Bytes prefix = stub.bytes.substr(0, stub.centralStart) + Bytes(14000 - stub.centralStart, ' ');
    const auto z = BuildZip({Entry("real.txt", "payload")}, Bytes(), prefix);
    Bytes b = z.bytes;
    b[z.centralOffsets[0]] = 'X';
    for (const char* name : {"setup.EXE", "setup.zip"}) {
        ReaderOver o(b);
        o.reader.SetZipName(name);
        o.reader.ReadDirectory();
        const bool exe = std::string(name) == "setup.EXE";
        EXPECT_EQ(o.Names(),
                  exe ? std::vector<std::string>{"real.txt"} : std::vector<std::string>{"stub.txt"});
    }
}

TEST(TZipReader, CancelDuringTheScan) {
    const Bytes junk = SampleData(40000);
    ReaderOver o(junk);
    o.reader.DoProcessMessages = true;
    o.reader.IncompleteZipMode = TIncompleteZipMode::izAssumeBad;
    int rounds = 0;
    ZipPlatformHooks().processMessages = [&] {
        if (++rounds == 2) o.reader.Cancel();
    };
    EXPECT_EQ(MessageOf<EUserCanceled>([&] { o.reader.ReadDirectory(); }), "User Aborted Operation");
    ZipPlatformHooks().processMessages = nullptr;
    EXPECT_EQ(rounds, 2);
    EXPECT_FALSE(o.reader.CancelRequested());
    EXPECT_EQ(o.reader.EntryCount(), 0);
}

TEST(TZipReader, HourglassCursorDuringTheReadIsRestored) {
    std::vector<int> cursors;
    int current = 5;
    ZipPlatformHooks().getCursor = [&] { return current; };
    ZipPlatformHooks().setCursor = [&](int c) {
        cursors.push_back(c);
        current = c;
    };
    {
        ReaderOver o(TwoEntries().bytes);
        o.reader.ReadDirectory();
    }
    {
        ReaderOver o(SampleData(100));
        o.reader.IncompleteZipMode = TIncompleteZipMode::izAssumeNotAZip;
        EXPECT_THROW(o.reader.ReadDirectory(), ENotAZipFile);
    }
    ZipPlatformHooks().getCursor = nullptr;
    ZipPlatformHooks().setCursor = nullptr;
    EXPECT_EQ(cursors, (std::vector<int>{crHourGlass, 5, crHourGlass, 5}));
}

TEST(TZipReader, MainListFollowsThePhysicalOrder) {
    // Central headers in reverse order of their local headers.
    auto z = BuildZip({Entry("a", "1", 0), Entry("b", "2", 0), Entry("c", "3", 0)});
    Bytes central = z.bytes.substr(z.centralStart, z.endOffset - z.centralStart);
    const size_t h0 = z.centralOffsets[1] - z.centralOffsets[0];
    Bytes reversed = central.substr(2 * h0) + central.substr(h0, h0) + central.substr(0, h0);
    Bytes b = z.bytes.substr(0, z.centralStart) + reversed + z.bytes.substr(z.endOffset);
    ReaderOver o(b);
    o.reader.ReadDirectory();
    EXPECT_EQ(o.Names(), (std::vector<std::string>{"a", "b", "c"}));
}

TEST(TZipReader, SortModesOrderTheViewList) {
    auto big = Entry("z\\big.txt", SampleData(9000, 7), 0);
    big.dateTime = 0x5A000000;
    auto small = Entry("a\\small.txt", Bytes(10, 'a'));
    small.dateTime = 0x5B000000;
    auto mid = Entry("M\\mid.txt", Bytes(5000, 'b'));
    mid.dateTime = 0x59000000;
    const auto z = BuildZip({big, small, mid});
    ReaderOver o(z.bytes);
    o.reader.ReadDirectory();
    using V = std::vector<std::string>;
    EXPECT_EQ(o.Names(), (V{"z\\big.txt", "a\\small.txt", "M\\mid.txt"}));
    o.reader.SetSortMode(TZipSortMode::ByName);
    EXPECT_EQ(o.Names(), (V{"a\\small.txt", "M\\mid.txt", "z\\big.txt"}));
    o.reader.SetSortMode(TZipSortMode::ByFileName);
    EXPECT_EQ(o.Names(), (V{"z\\big.txt", "M\\mid.txt", "a\\small.txt"}));
    o.reader.SetSortMode(TZipSortMode::ByDate);
    EXPECT_EQ(o.Names(), (V{"a\\small.txt", "z\\big.txt", "M\\mid.txt"}));
    o.reader.SetSortMode(TZipSortMode::ByUnCompressedSize);
    EXPECT_EQ(o.Names(), (V{"z\\big.txt", "M\\mid.txt", "a\\small.txt"}));
    o.reader.SetSortMode(TZipSortMode::ByRate);  // stored saves nothing
    EXPECT_EQ(o.Names().back(), "z\\big.txt");
    o.reader.SetSortMode(TZipSortMode::ByNone);
    EXPECT_EQ(o.Names(), (V{"z\\big.txt", "a\\small.txt", "M\\mid.txt"}));
}

TEST(TZipEntryList, DuplicatePoliciesAndListErrors) {
    auto make = [](std::uint32_t offset) {
        auto* e = new TZipEntryInfo;
        e->RelativeOffset = offset;
        return e;
    };
    TZipEntryList error(TZipSortMode::ByNone, true, TListDuplicates::dupError);
    EXPECT_EQ(error.Add(make(30)), 0);
    EXPECT_EQ(error.Add(make(10)), 0);
    EXPECT_EQ(error.Add(make(20)), 1);
    std::unique_ptr<TZipEntryInfo> dup(make(20));
    EXPECT_EQ(MessageOf<EListError>([&] { error.Add(dup.get()); }), "Duplicate Object index");
    EXPECT_EQ(error.Count(), 3);
    EXPECT_EQ(error.Items(2)->RelativeOffset, 30u);
    EXPECT_EQ(MessageOf<EListError>([&] { error.Put(0, dup.get()); }),
              "Cannot <Put> an Object in a sorted list!");
    EXPECT_EQ(MessageOf<EListError>([&] { (void)error.Items(3); }), "List index out of bounds (3)");
    EXPECT_EQ(error.IndexOf(*dup), 1);

    TZipEntryList ignore(TZipSortMode::ByNone, true, TListDuplicates::dupIgnore);
    ignore.Add(make(1));
    EXPECT_EQ(ignore.Add(make(1)), -1);  // freed by the list, as it owns its records
    EXPECT_EQ(ignore.Count(), 1);

    TZipEntryList accept(TZipSortMode::ByNone, true, TListDuplicates::dupAccept);
    accept.Add(make(1));
    EXPECT_EQ(accept.Add(make(1)), 1);
    EXPECT_EQ(accept.Count(), 2);

    // Disk number orders before the offset.
    TZipEntryList byDisk(TZipSortMode::ByNone);
    auto* late = make(5);
    late->DiskNumberStart = 1;
    byDisk.Add(late);
    byDisk.Add(make(900));
    EXPECT_EQ(byDisk.Items(1), late);
}

TEST(TZipEntryInfo, NameSettersKeepTheLength) {
    TZipEntryInfo e;
    e.SetDirectory("plugins");
    EXPECT_EQ(e.Directory(), "plugins\\");
    e.SetFileName("a.dll");
    EXPECT_EQ(e.FileNameLength(), 13);
    e.SetDirectory("x\\");
    EXPECT_EQ(e.FullName(), "x\\a.dll");
    EXPECT_EQ(e.FileNameLength(), 7);
    e.SetDirectory("");
    EXPECT_EQ(e.Directory(), "");
}

TEST(TZipReader, HandlersThatDetachTheArchiveDuringARead) {
    {
        ReaderOver o(SampleData(2000));
        o.reader.OnInCompleteZip = [&](TObject&, TIncompleteZipMode& mode) {
            mode = TIncompleteZipMode::izAssumeBad;
            o.reader.SetSourceStream(nullptr);
        };
        EXPECT_NO_THROW(o.reader.ReadDirectory());
        EXPECT_EQ(o.reader.EntryCount(), 0);
    }
    {
        ReaderOver o(SampleData(40000));
        o.reader.DoProcessMessages = true;
        o.reader.IncompleteZipMode = TIncompleteZipMode::izAssumeBad;
        ZipPlatformHooks().processMessages = [&] { o.reader.SetSourceStream(nullptr); };
        EXPECT_THROW(o.reader.ReadDirectory(), EUserCanceled);
        ZipPlatformHooks().processMessages = nullptr;
        EXPECT_EQ(o.reader.EntryCount(), 0);
    }
}
