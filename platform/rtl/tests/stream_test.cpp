#include "platform/rtl/exception.h"
#include "platform/rtl/file_stream.h"
#include "platform/rtl/stream.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

TEST(MemoryStream, ReadsWritesAndSeeksWithinBounds) {
    TMemoryStream s;
    s.WriteBuffer("hello", 5);
    EXPECT_EQ(s.Size(), 5);
    s.SetPosition(3);
    s.WriteBuffer("p!", 2);
    s.Seek(-1, soEnd);
    char c = 0;
    s.ReadBuffer(&c, 1);
    EXPECT_EQ(c, '!');
    EXPECT_EQ(s.Read(&c, 1), 0);
    EXPECT_THROW(s.ReadBuffer(&c, 1), EReadError);
    s.SetPosition(10); // past the end: the next write fills the gap with zeros
    s.WriteBuffer("x", 1);
    EXPECT_EQ(s.Size(), 11);
    EXPECT_EQ(s.Memory()[7], 0);
}

TEST(FileStream, OpenFailuresNameTheFile) {
    const auto dir = std::filesystem::temp_directory_path() / ("pw_stream_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string missing = (dir / "missing.bin").string();
    std::filesystem::remove(missing);
    try {
        TFileStream f(missing, fmOpenRead);
        FAIL();
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message(), "Cannot open file " + missing);
    }
    EXPECT_THROW(TFileStream((dir / "no" / "such" / "x").string(), fmCreate), EFCreateError);
    EXPECT_THROW(TFileStream(dir.string(), fmOpenRead), EFOpenError); // a folder is not a file

    const std::string name = (dir / "data.bin").string();
    {
        TMemoryStream m;
        m.WriteBuffer("abc", 3);
        m.SaveToFile(name);
    }
    TMemoryStream back;
    back.LoadFromFile(name);
    ASSERT_EQ(back.Size(), 3);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(back.Memory()), 3), "abc");
    std::filesystem::remove_all(dir);
}
