#include "fetch/html/binary_filer.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/rtl/exception.h"
#include "platform/rtl/stream.h"
#include "tests/support/thrown_message.h"

namespace {

template <typename F> std::vector<uint8_t> Written(F write, uint32_t bufferSize = 4096) {
    TMemoryStream m;
    {
        TDIBinaryWriter w(m, bufferSize);
        write(w);
        w.FlushBuffer();
    }
    return m.Bytes();
}

void Load(TMemoryStream& m, std::vector<uint8_t> bytes) {
    m.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    m.SetPosition(0);
}

std::string ErrorOf(std::vector<uint8_t> bytes, void (*read)(TDIBinaryReader&)) {
    TMemoryStream m;
    Load(m, std::move(bytes));
    TDIBinaryReader r(m, 4096);
    return testsupport::ThrownMessage<EReadError>([&] { read(r); });
}

using Bytes = std::vector<uint8_t>;

} // namespace

TEST(BinaryFiler, WritesTheSmallestTaggedForm) {
    EXPECT_EQ(Written([](auto& w) { w.WriteCardinal(0); }), (Bytes{0x02, 0x00}));
    EXPECT_EQ(Written([](auto& w) { w.WriteCardinal(255); }), (Bytes{0x03, 0xFF}));
    EXPECT_EQ(Written([](auto& w) { w.WriteCardinal(256); }), (Bytes{0x05, 0x00, 0x01}));
    EXPECT_EQ(Written([](auto& w) { w.WriteCardinal(0x10000); }), (Bytes{0x08, 0x00, 0x00, 0x01}));
    EXPECT_EQ(Written([](auto& w) { w.WriteCardinal(0x80000000u); }), (Bytes{0x0C, 0, 0, 0, 0x80}));
    EXPECT_EQ(Written([](auto& w) { w.WriteInteger(-1); }), (Bytes{0x01, 0xFF}));
    EXPECT_EQ(Written([](auto& w) { w.WriteInteger(-129); }), (Bytes{0x04, 0x7F, 0xFF}));
    EXPECT_EQ(Written([](auto& w) { w.WriteInteger(-128); }), (Bytes{0x01, 0x80}));
    EXPECT_EQ(Written([](auto& w) { w.WriteInteger(INT32_MIN); }), (Bytes{0x0A, 0, 0, 0, 0x80}));
    EXPECT_EQ(Written([](auto& w) { w.WriteWideString(u"A"); }), (Bytes{0x23, 0x02, 0x41, 0x00}));
    EXPECT_EQ(Written([](auto& w) { w.WriteWideString(u""); }), (Bytes{0x22}));
    EXPECT_EQ(Written([](auto& w) { w.WriteByte(7); }), (Bytes{0x03, 0x07}));
    EXPECT_EQ(Written([](auto& w) { w.WriteWideChar(u'\uFFFD'); }), (Bytes{0x06, 0xFD, 0xFF}));
}

TEST(BinaryFiler, RoundTripsAcrossBufferRefills) {
    const std::vector<int32_t> ints = {0,     1,      -1,       127,       128,       -128,      -129,
                                       65535, -65536, 0x7FFFFF, -0x800000, 0x1000000, INT32_MAX, INT32_MIN};
    const std::vector<uint32_t> cards = {0, 0xFF, 0x100, 0xFFFF, 0xFFFFFF, 0x1000000, 0xFFFFFFFF};
    std::u16string text(300, u'\u00E9');
    TMemoryStream m;
    {
        TDIBinaryWriter w(m, 5); // tiny buffers split every value
        for (int32_t v : ints)
            w.WriteInteger(v);
        for (uint32_t v : cards)
            w.WriteCardinal(v);
        w.WriteWideString(text);
        w.WriteWideChar(u'x');
        w.WriteBuffer("raw", 3);
    }
    m.SetPosition(0);
    TDIBinaryReader r(m, 3);
    for (int32_t v : ints)
        EXPECT_EQ(r.ReadInteger(), v);
    for (uint32_t v : cards)
        EXPECT_EQ(r.ReadCardinal(), v);
    EXPECT_EQ(r.ReadWideString(), text);
    EXPECT_EQ(r.ReadWideChar(), u'x');
    char raw[3];
    r.ReadBuffer(raw, 3);
    EXPECT_EQ(std::string(raw, 3), "raw");
    EXPECT_EQ(r.BytesLeft(), 0);
}

TEST(BinaryFiler, RejectsWrongTagsAndTruncatedOrCorruptData) {
    EXPECT_EQ(ErrorOf({0x01, 0xFF}, [](auto& r) { r.ReadCardinal(); }), "Invalid Element Type");
    EXPECT_EQ(ErrorOf({0x0C, 0, 0, 0, 0x80}, [](auto& r) { r.ReadInteger(); }), "Invalid Element Type");
    EXPECT_EQ(ErrorOf({0x08, 0, 0, 1}, [](auto& r) { r.ReadWideChar(); }), "Invalid Element Type");
    EXPECT_EQ(ErrorOf({0x05, 0, 1}, [](auto& r) { r.ReadByte(); }), "Invalid Element Type");
    EXPECT_EQ(ErrorOf({0x00}, [](auto& r) { r.ReadWideString(); }), "Invalid Element Type");
    EXPECT_EQ(ErrorOf({0x05, 0x00}, [](auto& r) { r.ReadCardinal(); }), "Stream read error");
    EXPECT_EQ(ErrorOf({}, [](auto& r) { r.ReadInteger(); }), "Stream read error");
    // A length of 4 GB with 2 bytes behind it, and an odd byte count.
    EXPECT_EQ(ErrorOf({0x26, 0xFF, 0xFF, 0xFF, 0xFF, 0x41, 0}, [](auto& r) { r.ReadWideString(); }),
              "Stream read error");
    EXPECT_EQ(ErrorOf({0x23, 0x03, 0x41, 0, 0}, [](auto& r) { r.ReadWideString(); }), "Invalid Element Type");
    EXPECT_EQ(ErrorOf({0x04, 0x7F, 0xFF},
                      [](auto& r) {
                          if (r.ReadInteger() != -129) throw EReadError("wrong");
                      }),
              "");
    TMemoryStream m;
    Load(m, {0x1F, 0x02, 0x00, 'h', 'i'});
    TDIBinaryReader r(m, 4096);
    EXPECT_EQ(r.ReadWideString(), u"hi");
}
