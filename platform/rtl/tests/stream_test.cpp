#include "platform/rtl/exception.h"
#include "platform/rtl/file_stream.h"
#include "platform/rtl/stream.h"

#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

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
    testsupport::TempDir dir("pw-stream");
    const std::string missing = dir.File("missing.bin");
    try {
        TFileStream f(missing, fmOpenRead);
        FAIL();
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message(), "Cannot open file " + missing);
    }
    EXPECT_THROW(TFileStream(dir.File("no/such/x"), fmCreate), EFCreateError);
    EXPECT_THROW(TFileStream(dir.Path(), fmOpenRead), EFOpenError); // a folder is not a file

    TMemoryStream m;
    m.WriteBuffer("abc", 3);
    m.SaveToFile(dir.File("data.bin"));
    TMemoryStream back;
    back.LoadFromFile(dir.File("data.bin"));
    EXPECT_EQ(back.Bytes(), (std::vector<uint8_t>{'a', 'b', 'c'}));
}
