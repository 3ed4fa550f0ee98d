#include "base/Streams.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "base/Exceptions.h"

using namespace zv;

TEST(TMemoryStream, WriteSeekReadAndGrow) {
    TMemoryStream m;
    const char data[] = "hello";
    m.WriteBuffer(data, 5);
    EXPECT_EQ(m.Size(), 5);
    EXPECT_EQ(m.Position(), 5);
    m.SetPosition(1);
    char buf[4] = {};
    EXPECT_EQ(m.Read(buf, 10), 4);
    EXPECT_EQ(std::string(buf, 4), "ello");
    EXPECT_EQ(m.Read(buf, 1), 0);
    m.SetPosition(8);  // past the end: writing fills the gap
    m.WriteBuffer("!", 1);
    EXPECT_EQ(m.Size(), 9);
    m.SetPosition(0);
    EXPECT_NO_THROW(m.ReadBuffer(buf, 0));
}

TEST(TMemoryStream, ReadBufferRaisesStreamReadError) {
    TMemoryStream m;
    m.WriteBuffer("ab", 2);
    m.SetPosition(0);
    char buf[3];
    try {
        m.ReadBuffer(buf, 3);
        FAIL();
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), "Stream read error");
    }
}

TEST(TCustomMemoryStream, IsAReadOnlyView) {
    const unsigned char bytes[] = {1, 2, 3};
    TCustomMemoryStream s(bytes, 3);
    EXPECT_EQ(s.Write("x", 1), 0);
    EXPECT_EQ(s.Seek(-1, TSeekOrigin::soEnd), 2);
    unsigned char b = 0;
    s.ReadBuffer(&b, 1);
    EXPECT_EQ(b, 3);
    EXPECT_THROW(s.SetSize(10), EStreamError);
}

TEST(TFileStream, CreateWriteReopenAndCopy) {
    const auto path = (std::filesystem::temp_directory_path() / "zv_stream_test.bin").string();
    {
        TFileStream f(path, fmCreate);
        f.WriteBuffer("0123456789", 10);
        f.SetSize(4);
        EXPECT_EQ(f.Size(), 4);
    }
    TFileStream f(path, fmOpenRead);
    TMemoryStream m;
    EXPECT_EQ(m.CopyFrom(f, 0), 4);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(m.Memory()), 4), "0123");
    std::remove(path.c_str());
    EXPECT_THROW(TFileStream("/nonexistent/dir/x", fmOpenRead), EFOpenError);
    EXPECT_THROW(TFileStream("/nonexistent/dir/x", fmCreate), EFCreateError);
}

TEST(LittleEndian, ReadsAndWrites) {
    std::uint8_t b[4];
    WriteU32LE(b, 0x06054b50u);
    EXPECT_EQ(b[0], 0x50);
    EXPECT_EQ(ReadU32LE(b), 0x06054b50u);
    EXPECT_EQ(ReadU16LE(b + 2), 0x0605);
}
