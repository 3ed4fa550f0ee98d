// DeployPlugin against real directories: the version rule, the attributes,
// the codes, and that a failure never loses or half-writes the installed file
// nor leaves a fresh file behind.
#include <gtest/gtest.h>

#include "deploy/DeployPlugin.h"
#include "tests/win/deploy2/Deploy2Support.h"
#include "tests/win/support/WinTestSupport.h"

using namespace zv;
using namespace deploy2;
using Names = std::set<std::string>;

namespace {

const Names kJustPlugin{"NPZRVN32.dll"};

bool Deploy(const std::vector<std::string>& dirs, int& code) {
    TStringList list;
    for (const auto& d : dirs) list.Add(d);
    code = 12345;
    return DeployPlugin(list, code);
}

std::string Target(const std::string& dir) {
    return dir + "\\NPZRVN32.dll";
}

// Answers the ZIP reader's notice box: records its texts and closes it.
std::string g_notice;

void CALLBACK AnswerNotice(HWND, UINT, UINT_PTR, DWORD) {
    HWND box = zvtest::FindProcessWindow("Zip Error");
    if (!box) return;
    g_notice = zvtest::ChildTexts(box);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
}

// The archive with the entry's method changed to 9 in both headers.
std::string UnknownMethod(std::string zip) {
    zip[8] = 9;
    zip[9] = 0;
    const size_t central = zip.find(std::string("PK\x01\x02", 4));
    zip[central + 10] = 9;
    zip[central + 11] = 0;
    return zip;
}

}  // namespace

TEST(DeployPlugin, NewFileIsTheWholePayloadAndNothingElseIsLeft) {
    zvtest::TTempDir tmp;
    int code = 0;
    EXPECT_TRUE(Deploy({tmp.Path()}, code));
    EXPECT_EQ(code, 0);
    EXPECT_EQ(ReadBytes(Target(tmp.Path())), ReadBytes(PluginDll()));
    EXPECT_EQ(Version(Target(tmp.Path())), "1.7.9.174");
    EXPECT_EQ(Listing(tmp.Path()), kJustPlugin);
    // A trailing backslash gives a doubled separator, which the system takes.
    zvtest::TTempDir tmp2;
    EXPECT_TRUE(DeployPluginToDir(tmp2.Path() + "\\", code));
    EXPECT_EQ(Listing(tmp2.Path()), kJustPlugin);
}

TEST(DeployPlugin, EmptyListReadsTheArchiveAndSucceeds) {
    int code = 7;
    TStringList none;
    EXPECT_TRUE(DeployPlugin(none, code));
    EXPECT_EQ(code, 0);
    // The archive is still opened: a missing one fails even for no directory.
    SetPayloadArchiveOpener([](int) -> std::unique_ptr<TStream> {
        return std::make_unique<TResourceStream>(GetModuleHandleA(nullptr), 77, RT_RCDATA);
    });
    EXPECT_FALSE(DeployPlugin(none, code));
    SetPayloadArchiveOpener(nullptr);
    EXPECT_EQ(code, -5);
}

TEST(DeployPlugin, SameVersionIsLeftAloneInEitherSpelling) {
    zvtest::TTempDir dots, commas;
    ASSERT_TRUE(CopyFileA(PluginDll().c_str(), Target(dots.Path()).c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(CommasDll().c_str(), Target(commas.Path()).c_str(), FALSE));
    const std::string before = ReadBytes(Target(commas.Path()));
    int code = 0;
    EXPECT_TRUE(Deploy({dots.Path(), commas.Path()}, code));
    EXPECT_EQ(code, 0);
    EXPECT_EQ(ReadBytes(Target(commas.Path())), before) << "\"1, 7, 9, 174\" is the payload's version";
    EXPECT_EQ(Listing(commas.Path()), kJustPlugin);
}

TEST(DeployPlugin, OlderOrUnversionedHiddenReadOnlyFilesAreReplaced) {
    zvtest::TTempDir older, none;
    ASSERT_TRUE(CopyFileA(OlderDll().c_str(), Target(older.Path()).c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(NoVersionDll().c_str(), Target(none.Path()).c_str(), FALSE));
    SetFileAttributesA(Target(older.Path()).c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesA(Target(none.Path()).c_str(), FILE_ATTRIBUTE_READONLY);
    int code = 0;
    EXPECT_TRUE(Deploy({older.Path(), none.Path()}, code));
    EXPECT_EQ(code, 0);
    for (const auto* d : {&older, &none}) {
        EXPECT_EQ(Version(Target(d->Path())), "1.7.9.174");
        EXPECT_EQ(Attributes(Target(d->Path())) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN), 0u);
        EXPECT_EQ(Listing(d->Path()), kJustPlugin);
    }
}

TEST(DeployPlugin, NewerFileIsKeptWithItsAttributesClearedAndTheOthersAreHandled) {
    zvtest::TTempDir newer, fresh;
    ASSERT_TRUE(CopyFileA(NewerDll().c_str(), Target(newer.Path()).c_str(), FALSE));
    SetFileAttributesA(Target(newer.Path()).c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    int code = 0;
    EXPECT_FALSE(Deploy({newer.Path(), fresh.Path()}, code));
    EXPECT_EQ(code, -3);
    EXPECT_EQ(Version(Target(newer.Path())), "1.8.0.1");
    EXPECT_EQ(Attributes(Target(newer.Path())) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN), 0u);
    EXPECT_EQ(Version(Target(fresh.Path())), "1.7.9.174");
}

TEST(DeployPlugin, MissingDirectoryGivesMinusOneAndTheNextDirectoryStillGetsTheFile) {
    zvtest::TTempDir tmp, good;
    int code = 0;
    EXPECT_FALSE(Deploy({tmp / "missing", good.Path()}, code));
    EXPECT_EQ(code, -1);
    EXPECT_FALSE(zvtest::DirExists(tmp / "missing"));
    EXPECT_EQ(Version(Target(good.Path())), "1.7.9.174");
    // The last failure is what the call reports: a later success keeps it.
    EXPECT_FALSE(Deploy({good.Path(), tmp / "missing"}, code));
    EXPECT_EQ(code, -1);
}

TEST(DeployPlugin, FileInUseKeepsItsContentsAndGivesMinusOne) {
    zvtest::TTempDir tmp;
    ASSERT_TRUE(CopyFileA(OlderDll().c_str(), Target(tmp.Path()).c_str(), FALSE));
    const std::string before = ReadBytes(Target(tmp.Path()));
    {
        // Another program holds the file open without sharing it.
        TFileHandle held(
            CreateFileA(Target(tmp.Path()).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        int code = 0;
        EXPECT_FALSE(Deploy({tmp.Path()}, code));
        EXPECT_EQ(code, -1);
    }
    EXPECT_EQ(ReadBytes(Target(tmp.Path())), before);
    EXPECT_EQ(Listing(tmp.Path()), kJustPlugin) << "no fresh file is left";
}

TEST(DeployPlugin, LoadedModuleIsNotReplaced) {
    zvtest::TTempDir tmp;
    ASSERT_TRUE(CopyFileA(OlderDll().c_str(), Target(tmp.Path()).c_str(), FALSE));
    TLibrary loaded(LoadLibraryA(Target(tmp.Path()).c_str()));
    ASSERT_TRUE(loaded);
    int code = 0;
    EXPECT_FALSE(Deploy({tmp.Path()}, code));
    EXPECT_EQ(code, -1);
    EXPECT_EQ(Version(Target(tmp.Path())), "1.7.9");
    EXPECT_EQ(Listing(tmp.Path()), kJustPlugin);
}

TEST(DeployPlugin, DamagedPayloadIsAWriteFailureAndTheOldFileStays) {
    zvtest::TTempDir old, none;
    ASSERT_TRUE(CopyFileA(OlderDll().c_str(), Target(old.Path()).c_str(), FALSE));
    const std::string before = ReadBytes(Target(old.Path()));
    TArchiveOverride damaged(1, DamagedData(PluginArchive()));
    int code = 0;
    // With and without a file of the target's name: both are failures.
    EXPECT_FALSE(Deploy({old.Path(), none.Path()}, code));
    EXPECT_EQ(code, -2);
    EXPECT_EQ(ReadBytes(Target(old.Path())), before);
    EXPECT_EQ(Listing(old.Path()), kJustPlugin);
    EXPECT_EQ(Listing(none.Path()), Names{});
}

TEST(DeployPlugin, ArchiveWithoutThePayloadEntryIsAWriteFailure) {
    // The ActiveX archive holds an entry, but not the plug-in.
    zvtest::TTempDir tmp;
    TArchiveOverride other(1, ActiveXArchive());
    int code = 0;
    EXPECT_FALSE(Deploy({tmp.Path()}, code));
    EXPECT_EQ(code, -2);
    EXPECT_EQ(Listing(tmp.Path()), Names{});
}

TEST(DeployPlugin, MissingOrUnreadableArchiveGivesMinusFive) {
    zvtest::TTempDir tmp;
    int code = 0;
    {
        TArchiveOverride garbage(1, std::string(300, '\x5a'));
        EXPECT_FALSE(Deploy({tmp.Path()}, code));
        EXPECT_EQ(code, -5);
    }
    {
        SetPayloadArchiveOpener([](int) -> std::unique_ptr<TStream> {
            return std::make_unique<TResourceStream>(GetModuleHandleA(nullptr), 77, RT_RCDATA);
        });
        EXPECT_FALSE(Deploy({tmp.Path()}, code));
        EXPECT_EQ(code, -5);
        SetPayloadArchiveOpener(nullptr);
    }
    EXPECT_EQ(Listing(tmp.Path()), Names{});
}

TEST(DeployPlugin, ArchiveWithoutEndRecord) {
    // Without the end-of-central-directory record the reader finds no
    // directory; no payload means no installation, reported as -5.
    std::string zip = PluginArchive();
    const size_t end = zip.rfind(std::string("PK\x05\x06", 4));
    ASSERT_NE(end, std::string::npos);
    zip.resize(end);
    zvtest::TTempDir tmp;
    TArchiveOverride cut(1, zip);
    int code = 0;
    EXPECT_FALSE(Deploy({tmp.Path()}, code));
    EXPECT_EQ(code, -5);
    EXPECT_TRUE(Listing(tmp.Path()).empty());
    // For no directory at all there is nothing to report.
    TStringList none;
    EXPECT_TRUE(DeployPlugin(none, code));
    EXPECT_EQ(code, 0);
}

TEST(DeployPlugin, UnconvertibleVersionEndsTheCallWithMinusFive) {
    zvtest::TTempDir bad, later;
    ASSERT_TRUE(CopyFileA(BadDll().c_str(), Target(bad.Path()).c_str(), FALSE));
    int code = 0;
    EXPECT_FALSE(Deploy({bad.Path(), later.Path()}, code));
    EXPECT_EQ(code, -5);
    EXPECT_EQ(Version(Target(bad.Path())), "1.7.9.17a");
    EXPECT_EQ(Listing(later.Path()), Names{}) << "later directories are not handled";
}

TEST(DeployPlugin, FirstDirectoryFailingAndSecondSucceedingReportsTheFailure) {
    zvtest::TTempDir tmp, good;
    TStringList dirs;
    dirs.Add(tmp / "no\\such");
    dirs.Add(good.Path());
    int code = 0;
    EXPECT_FALSE(DeployMozillaPlugin(dirs, code));
    EXPECT_EQ(code, -1);
    EXPECT_EQ(Listing(good.Path()), kJustPlugin);
}

TEST(DeployPlugin, UnknownMethodShowsTheNoticeBoxAndIsAWriteFailure) {
    zvtest::TTempDir tmp;
    TArchiveOverride unknown(1, UnknownMethod(PluginArchive()));
    g_notice.clear();
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, AnswerNotice);
    int code = 0;
    EXPECT_FALSE(Deploy({tmp.Path()}, code));
    KillTimer(nullptr, timer);
    EXPECT_EQ(code, -2);
    EXPECT_NE(g_notice.find("Unknown Compression Method"), std::string::npos) << g_notice;
    EXPECT_TRUE(Listing(tmp.Path()).empty());
}

TEST(DeployPlugin, DirectoriesUpToTheSystemsLimitWorkAndLongerOnesAreNamed) {
    // The target (directory + "\NPZRVN32.dll") may have 259 characters; the
    // fresh file beside it has a shorter name, so it never decides the limit.
    zvtest::TTempDir tmp;
    const std::string longest = MakeDirOfLength(tmp.Path(), MAX_PATH - 1 - 13);
    const std::string tooLong = MakeDirOfLength(tmp.Path(), MAX_PATH - 13);
    ASSERT_TRUE(zvtest::DirExists(longest));
    ASSERT_TRUE(zvtest::DirExists(tooLong));
    ASSERT_TRUE(CopyFileA(OlderDll().c_str(), Target(longest).c_str(), FALSE));
    int code = 0;
    std::string failed = "x";
    EXPECT_TRUE(DeployPluginToDir(longest, code, &failed));
    EXPECT_EQ(code, 0);
    EXPECT_EQ(failed, "");
    EXPECT_EQ(Version(Target(longest)), "1.7.9.174");
    EXPECT_EQ(Listing(longest), kJustPlugin);

    TStringList dirs;
    dirs.Add(tooLong);
    dirs.Add(tmp.Path());
    EXPECT_FALSE(DeployPlugin(dirs, code, &failed));
    EXPECT_EQ(code, -7);
    EXPECT_EQ(failed, tooLong);
    EXPECT_TRUE(Listing(tooLong).empty());
    EXPECT_TRUE(zvtest::FileExists(Target(tmp.Path()))) << "the next directory is still handled";
}

TEST(DeployPlugin, FullDiskIsItsOwnFailureAndTheOldFileStays) {
    TTinyDisk disk;
    if (!disk.Ready()) GTEST_SKIP() << "no small file system at " ZV_TEST_TINY_DISK " (mount refused?)";
    const std::string dir = disk.Dir();
    ASSERT_TRUE(CopyFileA(OlderDll().c_str(), Target(dir).c_str(), FALSE));
    const std::string before = ReadBytes(Target(dir));
    auto expectFull = [&](const char* how) {
        int code = 0;
        std::string failed;
        EXPECT_FALSE(DeployPluginToDir(dir, code, &failed)) << how;
        EXPECT_EQ(code, -6) << how;
        EXPECT_EQ(failed, dir) << how;
        EXPECT_EQ(ReadBytes(Target(dir)), before) << how;
        EXPECT_EQ(Listing(dir), kJustPlugin) << how << ": no fresh file is left";
    };

    // Found before anything is written.
    disk.FillSpace();
    ASSERT_LT(disk.FreeBytes(), ReadBytes(PluginDll()).size());
    expectFull("free space asked first");
    // A disk that cannot tell its free space: the writes themselves fail.
    SetFreeSpaceQuery([](const std::string&) { return std::optional<std::uint64_t>(); });
    expectFull("while writing");
    SetFreeSpaceQuery(nullptr);
    // Room for the bytes but none for another file.
    disk.Free();
    disk.FillSlots();
    expectFull("no file can be made");

    // With room again, the same call installs.
    disk.Free();
    int code = 0;
    EXPECT_TRUE(DeployPluginToDir(dir, code));
    EXPECT_EQ(ReadBytes(Target(dir)), ReadBytes(PluginDll()));
}

// A directory named in scripts that the ANSI code page lacks (where the ANSI
// calls see "????") gets the payload under its own name, and a second run
// finds it there at the payload's version.
TEST(DeployPlugin, DirectoryNamedInAnyScriptGetsThePayloadUnderItsOwnName) {
    ASSERT_TRUE(zvtest::AnsiCodePageLacks(zvtest::kScripts) || GetACP() == CP_UTF8);
    zvtest::TTempDir tmp;
    const std::string dir = tmp.Path() + "\\" + zvtest::kScripts + "\\Plugins";
    ASSERT_TRUE(CreateDirectoryW(zv::ToWide(tmp.Path() + "\\" + zvtest::kScripts).c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(zv::ToWide(dir).c_str(), nullptr));
    int code = 7;
    EXPECT_TRUE(Deploy({dir}, code));
    EXPECT_EQ(code, 0);
    EXPECT_EQ(ReadBytes(Target(dir)), ReadBytes(PluginDll()));
    EXPECT_EQ(Version(Target(dir)), "1.7.9.174");
    EXPECT_EQ(Listing(dir), kJustPlugin);
    EXPECT_EQ(Listing(tmp.Path()), std::set<std::string>{zvtest::kScripts});  // nothing beside it
    // Left alone the second time (the same file, not a new one moved over
    // it): the installed file's version is read through its own name too.
    const auto fileIndex = [&] {
        const HANDLE h = CreateFileW(zv::ToWide(Target(dir)).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, 0, nullptr);
        BY_HANDLE_FILE_INFORMATION info{};
        if (h != INVALID_HANDLE_VALUE) {
            GetFileInformationByHandle(h, &info);
            CloseHandle(h);
        }
        return (static_cast<unsigned long long>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    };
    const unsigned long long before = fileIndex();
    ASSERT_NE(before, 0u);
    EXPECT_TRUE(DeployPluginToDir(dir, code));
    EXPECT_EQ(code, 0);
    EXPECT_EQ(fileIndex(), before);
}
