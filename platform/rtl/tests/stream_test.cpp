#include "platform/rtl/exception.h"
#include "platform/rtl/file_stream.h"
#include "platform/rtl/resource_stream.h"
#include "platform/rtl/stream.h"
#include "platform/rtl/string_stream.h"

#include "tests/support/temp_dir.h"
#include "tests/support/thrown_message.h"

#include <gtest/gtest.h>

using testsupport::ThrownMessage;

namespace {
std::string streamBytes(TStream& s) {
    std::string out(static_cast<size_t>(s.Size()), '\0');
    s.SetPosition(0);
    s.ReadBuffer(out.data(), static_cast<int64_t>(out.size()));
    return out;
}
} // namespace

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
    // Across the end: the first bytes replace, the rest are added.
    s.SetPosition(9);
    s.WriteBuffer("yzw", 3);
    EXPECT_EQ(streamBytes(s), std::string("help!\0\0\0\0yzw", 12));
    EXPECT_EQ(s.Position(), 12);
}

TEST(FileStream, OpenFailuresNameTheFile) {
    testsupport::TempDir dir("pw-stream");
    const std::string missing = dir.File("missing.bin");
    EXPECT_EQ(ThrownMessage<EFOpenError>([&] { TFileStream f(missing, fmOpenRead); }),
              "Cannot open file " + missing + ": there is no such file");
    EXPECT_THROW(TFileStream(dir.File("no/such/x"), fmCreate), EFCreateError);

    TMemoryStream m;
    m.WriteBuffer("abc", 3);
    m.SaveToFile(dir.File("data.bin"));
    TMemoryStream back;
    back.LoadFromFile(dir.File("data.bin"));
    EXPECT_EQ(back.Bytes(), (std::vector<uint8_t>{'a', 'b', 'c'}));
}

TEST(ResourceStream, FindsEmbeddedBytesByNameAndTypeWhateverTheirCase) {
    TResourceStream greeting(nullptr, "greeting", "text");
    EXPECT_EQ(streamBytes(greeting), "Hello from inside the program.\n");

    // Every byte value survives embedding, NUL and high bytes included.
    TResourceStream all(nullptr, "ALLBYTES", RT_RCDATA);
    const std::string expected =
        testsupport::ReadFile(std::string(PW_TEST_DATA_DIR) + "/resources/bytes.bin");
    EXPECT_EQ(streamBytes(all), expected);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(all.Memory()), expected.size()), expected);

    TResourceStream empty(nullptr, "Nothing", "RCData");
    EXPECT_EQ(empty.Size(), 0);
    char c;
    EXPECT_EQ(empty.Read(&c, 1), 0);
}

TEST(ResourceStream, MissingResourcesAndWritesAreRefused) {
    EXPECT_EQ(ThrownMessage<EResNotFound>([&] { TResourceStream s(nullptr, "QMPWWORLD0", RT_BITMAP); }),
              "Resource QMPWWORLD0 not found");
    EXPECT_THROW(TResourceStream(nullptr, "GREETING", RT_RCDATA), EResNotFound); // right name, other type

    TResourceStream s(nullptr, "GREETING", "TEXT");
    EXPECT_THROW(s.WriteBuffer("x", 1), EStreamError);
    EXPECT_EQ(s.Seek(-5, soEnd), s.Size() - 5);
    char buf[16] = {};
    EXPECT_EQ(s.Read(buf, sizeof buf), 5);
    EXPECT_EQ(std::string(buf, 5), "ram.\n");
    s.SetPosition(1000); // past the end reads nothing rather than beyond the data
    EXPECT_EQ(s.Read(buf, 1), 0);
    EXPECT_EQ(s.Seek(-2000, soCurrent), 0);

    // The first registration of a name and type wins.
    static const unsigned char other[] = {'x'};
    RegisterResource("Greeting", "Text", other, 1);
    TResourceStream again(nullptr, "GREETING", "TEXT");
    EXPECT_GT(again.Size(), 1);
}

TEST(StringStream, OverwritesInPlaceAndKeepsPositionsInRange) {
    TStringStream s("hello world");
    EXPECT_EQ(s.ReadString(5), "hello");
    s.WriteString("_");
    EXPECT_EQ(s.DataString(), "hello_world"); // the rest is kept, not cut off
    s.Seek(0, soEnd);
    s.WriteString("!");
    EXPECT_EQ(s.DataString(), "hello_world!");
    EXPECT_EQ(s.Seek(5, soEnd), 12);
    EXPECT_EQ(s.Seek(-100, soCurrent), 0);
    EXPECT_EQ(s.ReadString(100), "hello_world!");
    EXPECT_EQ(s.ReadString(-1), "");
    s.SetSize(5);
    EXPECT_EQ(s.Position(), 5);
    EXPECT_EQ(s.DataString(), "hello");

    // Binary data passes through untouched.
    TStringStream bin;
    bin.WriteBuffer("\0\xFF\r\n", 4);
    EXPECT_EQ(bin.DataString(), std::string("\0\xFF\r\n", 4));
    TStringStream copy;
    copy.CopyFrom(bin, 0);
    EXPECT_EQ(copy.DataString(), bin.DataString());
}
