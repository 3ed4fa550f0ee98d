// Peer check: archives made here by Info-ZIP zip, every entry unpacked by
// TZipReader compared byte for byte with what `unzip -p` writes.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

#include "tests/host/zip/ZipTestSupport.h"

using namespace zv;
using namespace zvtest;
namespace fs = std::filesystem;

namespace {

bool HaveTools() {
    return std::system("command -v zip >/dev/null 2>&1 && command -v unzip >/dev/null 2>&1") == 0;
}

void WriteFile(const fs::path& p, const Bytes& data) {
    fs::create_directories(p.parent_path());
    std::ofstream f(p, std::ios::binary);
    f.write(data.data(), static_cast<std::streamsize>(data.size()));
}

Bytes ReadFile(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

int Shell(const std::string& cmd) {
    return std::system(cmd.c_str());
}

class PeerCheck : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HaveTools()) GTEST_SKIP() << "Info-ZIP zip/unzip not installed";
        dir = fs::temp_directory_path() / ("zv_zip_peer_" + std::to_string(::getpid()) + "_" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir / "src");
        // Contents of different kinds: compressible text, noise that deflate
        // stores in blocks, an empty file, a file of one byte.
        WriteFile(dir / "src/text.txt", SampleData(300000, 21));
        Bytes noise;
        std::uint32_t x = 99;
        for (int i = 0; i < 120000; ++i) {
            x = x * 1664525u + 1013904223u;
            noise += static_cast<char>(x >> 24);
        }
        WriteFile(dir / "src/noise.bin", noise);
        WriteFile(dir / "src/empty.dat", "");
        WriteFile(dir / "src/one.dat", "1");
        WriteFile(dir / "src/sub/deeper/nested.txt", SampleData(70000, 22));
    }
    void TearDown() override {
        if (!dir.empty()) fs::remove_all(dir);
    }

    // Unpacks every non-folder entry of the archive with both tools and
    // compares; returns the number of entries compared.
    int CompareAll(const fs::path& archive) {
        TMemoryStream zipBytes;
        zipBytes.LoadFromFile(archive.string());
        TZipReader reader;
        reader.DoProcessMessages = false;
        reader.SetSourceStream(&zipBytes);
        reader.ReadDirectory();
        EXPECT_FALSE(reader.RebuiltByScanning()) << archive;
        int compared = 0;
        for (int i = 0; i < reader.EntryCount(); ++i) {
            const TZipEntryInfo& e = reader.Entry(i);
            if (e.FileName().empty()) continue;
            const std::string name = e.FullName();
            std::string zipName = name;
            for (char& c : zipName)
                if (c == '\\') c = '/';
            const fs::path expected = dir / "expected.bin";
            const int rc =
                Shell("unzip -p '" + archive.string() + "' '" + zipName + "' > '" + expected.string() + "'");
            EXPECT_EQ(rc, 0) << zipName;
            TMemoryStream out;
            EXPECT_EQ(reader.ExtractToStream(&out, name), 1) << archive << " " << name;
            EXPECT_TRUE(ContentOf(out) == ReadFile(expected)) << archive << " " << name;
            ++compared;
        }
        reader.SetSourceStream(nullptr);
        return compared;
    }

    fs::path dir;
};

}  // namespace

TEST_F(PeerCheck, StoredAndEveryLevel) {
    for (int level = 0; level <= 9; ++level) {
        const fs::path archive = dir / ("level" + std::to_string(level) + ".zip");
        ASSERT_EQ(Shell("cd '" + (dir / "src").string() + "' && zip -q -r -" + std::to_string(level) + " '" +
                        archive.string() + "' ."),
                  0);
        EXPECT_EQ(CompareAll(archive), 5) << level;
    }
}

TEST_F(PeerCheck, DirectoriesAndNamesWithSlashes) {
    const fs::path archive = dir / "dirs.zip";
    ASSERT_EQ(
        Shell("cd '" + (dir / "src").string() + "' && zip -q -r '" + archive.string() + "' sub text.txt"), 0);
    TMemoryStream zipBytes;
    zipBytes.LoadFromFile(archive.string());
    TZipReader reader;
    reader.SetSourceStream(&zipBytes);
    reader.ReadDirectory();
    std::vector<std::string> names;
    for (int i = 0; i < reader.EntryCount(); ++i) names.push_back(reader.Entry(i).FullName());
    reader.SetSourceStream(nullptr);
    EXPECT_EQ(names,
              (std::vector<std::string>{"sub\\", "sub\\deeper\\", "sub\\deeper\\nested.txt", "text.txt"}));
    EXPECT_EQ(CompareAll(archive), 2);
}

TEST_F(PeerCheck, ArchiveAndEntryComments) {
    const fs::path archive = dir / "comments.zip";
    const std::string src = (dir / "src").string();
    ASSERT_EQ(Shell("cd '" + src + "' && zip -q '" + archive.string() + "' text.txt one.dat"), 0);
    // Entry comments: one line per file on standard input; then the archive
    // comment, ended by a line with a single dot.
    ASSERT_EQ(Shell("cd '" + src + "' && printf 'first entry comment\\nsecond\\n' | zip -q -c '" +
                    archive.string() + "' text.txt one.dat"),
              0);
    ASSERT_EQ(Shell("printf 'the archive comment\\n.\\n' | zip -q -z '" + archive.string() + "'"), 0);
    EXPECT_EQ(CompareAll(archive), 2);
    TMemoryStream zipBytes;
    zipBytes.LoadFromFile(archive.string());
    TZipReader reader;
    reader.SetSourceStream(&zipBytes);
    reader.ReadDirectory();
    EXPECT_EQ(reader.ZipComment().substr(0, 19), "the archive comment");
    EXPECT_GT(reader.Entry(0).CommentLength, 0);
    reader.SetSourceStream(nullptr);
}

TEST_F(PeerCheck, StreamedInputWithDataDescriptors) {
    for (const char* file : {"text.txt", "noise.bin", "empty.dat"}) {
        const fs::path archive = dir / (std::string(file) + ".streamed.zip");
        // Through a pipe zip cannot seek back, so sizes and CRC follow the data.
        ASSERT_EQ(
            Shell("zip -q - - < '" + (dir / "src" / file).string() + "' | cat > '" + archive.string() + "'"),
            0);
        TMemoryStream zipBytes;
        zipBytes.LoadFromFile(archive.string());
        TZipReader reader;
        reader.SetSourceStream(&zipBytes);
        reader.ReadDirectory();
        ASSERT_EQ(reader.EntryCount(), 1);
        EXPECT_NE(reader.Entry(0).Flags & 8, 0) << "expected a data descriptor";
        reader.SetSourceStream(nullptr);
        EXPECT_EQ(CompareAll(archive), 1) << file;
    }
}

TEST_F(PeerCheck, PayloadStyleArchive) {
    // The way the payloads are packed: one entry, -X -j -9.
    const fs::path archive = dir / "payload.zip";
    ASSERT_EQ(Shell("zip -q -X -j -9 '" + archive.string() + "' '" + (dir / "src/text.txt").string() + "'"),
              0);
    TMemoryStream zipBytes;
    zipBytes.LoadFromFile(archive.string());
    TZipReader reader;
    reader.DoProcessMessages = false;
    reader.SetZipName("");
    reader.SetSourceStream(&zipBytes);
    reader.ReadDirectory();
    ASSERT_EQ(reader.EntryCount(), 1);
    EXPECT_EQ(reader.Entry(0).CompressionMethod, 8);
    EXPECT_EQ(reader.Entry(0).ExtraFieldLength, 0);
    TMemoryStream out;
    EXPECT_EQ(reader.ExtractToStream(&out, "TEXT.TXT"), 1);
    EXPECT_EQ(out.Size(), reader.Entry(0).UnCompressedSize);
    reader.SetSourceStream(nullptr);
    EXPECT_EQ(CompareAll(archive), 1);
}

TEST_F(PeerCheck, ShrunkEntriesAgreeWithUnzip) {
    // zip no longer writes Shrink, but unzip still reads it: archives from
    // the tests' own encoder, unpacked by both.
    const Bytes text = ReadFile(dir / "src/text.txt");
    const Bytes noise = ReadFile(dir / "src/noise.bin");
    std::vector<EntryPlan> entries;
    for (bool clear : {false, true}) {
        // Without clears the data must stay small enough for one table.
        const Bytes t = clear ? text : text.substr(0, 6000);
        const Bytes n = clear ? noise : noise.substr(0, 3000);
        for (const auto& [name, data] : {std::pair<std::string, Bytes>{"text", t}, {"noise", n}}) {
            auto e = Entry(name + (clear ? "-cleared" : "") + ".shr", data, 1);
            e.payload = ShrinkEncoder::Encode(data, clear);
            e.payloadSet = true;
            entries.push_back(e);
        }
    }
    WriteFile(dir / "shrunk.zip", BuildZip(entries).bytes);
    EXPECT_EQ(CompareAll(dir / "shrunk.zip"), 4);
}

TEST_F(PeerCheck, ImplodedEntriesAgreeWithUnzip) {
    const Bytes text = ReadFile(dir / "src/text.txt");
    const Bytes noise = ReadFile(dir / "src/noise.bin").substr(0, 20000);
    std::vector<EntryPlan> entries;
    for (int v = 0; v < 4; ++v) {
        for (const auto& [name, data] : {std::pair<std::string, Bytes>{"text", text}, {"noise", noise}}) {
            auto e = Entry(name + std::to_string(v) + ".imp", data, 6);
            e.payload = ImplodeEncoder::Encode(data, (v & 1) != 0, (v & 2) != 0, e.flags);
            e.payloadSet = true;
            entries.push_back(e);
        }
    }
    WriteFile(dir / "imploded.zip", BuildZip(entries).bytes);
    EXPECT_EQ(CompareAll(dir / "imploded.zip"), 8);
}
