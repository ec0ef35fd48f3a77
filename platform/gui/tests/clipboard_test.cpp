#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "gui_test_support.h"
#include "platform/gdi/bitmaps.h"
#include "platform/gdi/gdi_defs.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gui/clipboard.h"
#include "platform/rtl/global_memory.h"

using namespace gui_test;

TEST(Clipboard, OneWindowAtATimeChangesItAndTheEmptierOwnsIt) {
    HWND a = MakeTopLevel(RECT{0, 0, 10, 10});
    HWND b = MakeTopLevel(RECT{0, 0, 10, 10});
    EXPECT_FALSE(SetClipboardData(CF_UNICODETEXT, "not open"));
    EXPECT_FALSE(EmptyClipboard());
    EXPECT_FALSE(CloseClipboard());

    ASSERT_TRUE(OpenClipboard(a));
    EXPECT_EQ(GetOpenClipboardWindow(), a);
    EXPECT_FALSE(OpenClipboard(b));
    EXPECT_TRUE(EmptyClipboard());
    EXPECT_EQ(GetClipboardOwner(), a);
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_UNICODETEXT));
    EXPECT_FALSE(SetClipboardData(2 /* a bitmap */, "pixels"));
    // Either text format holds UTF-8.
    EXPECT_TRUE(SetClipboardData(CF_TEXT, "Stra\xC3\x9F"
                                          "e \xE6\x9D\xB1\xE4\xBA\xAC"));
    EXPECT_TRUE(CloseClipboard());
    EXPECT_EQ(GetOpenClipboardWindow(), nullptr);
    EXPECT_EQ(GetClipboardData(CF_UNICODETEXT), "Stra\xC3\x9F"
                                                "e \xE6\x9D\xB1\xE4\xBA\xAC");
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
    EXPECT_EQ(GetClipboardData(2), "");

    ASSERT_TRUE(OpenClipboard(b));
    EXPECT_TRUE(EmptyClipboard());
    EXPECT_TRUE(CloseClipboard());
    EXPECT_EQ(GetClipboardOwner(), b);
    EXPECT_EQ(GetClipboardData(CF_UNICODETEXT), "");
}

namespace {

// A 32-bit bitmap whose pixel (x, y) is colour(x, y).
HBITMAP MakeBitmap(int w, int h, uint32_t (*colour)(int, int)) {
    std::vector<uint32_t> rows(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            rows[static_cast<size_t>(y) * w + x] = colour(x, y);
    return CreateBitmap(w, h, 1, 32, rows.data());
}

uint32_t Pattern(int x, int y) {
    return 0xFF000000u | static_cast<uint32_t>(x * 40) << 16 | static_cast<uint32_t>(y * 50) << 8 | 0x21;
}

std::vector<uint32_t> PixelsOf(HBITMAP bitmap, int w, int h) {
    BITMAPINFO info;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biBitCount = 32;
    std::vector<uint32_t> pixels(static_cast<size_t>(w) * h);
    EXPECT_EQ(GetDIBits(nullptr, bitmap, 0, static_cast<UINT>(h), pixels.data(), &info, DIB_RGB_COLORS), h);
    for (uint32_t& p : pixels)
        p |= 0xFF000000u;
    return pixels;
}

HGLOBAL Block(const std::string& bytes) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
    GlobalUnlock(block);
    return block;
}

std::string BytesOf(HGLOBAL block) {
    const auto* p = static_cast<const char*>(GlobalLock(block));
    std::string out(p, GlobalSize(block));
    GlobalUnlock(block);
    return out;
}

} // namespace

TEST(Clipboard, FormatsRegisteredByNameKeepTheirNumber) {
    const UINT gif = RegisterClipboardFormat("Test Picture Format");
    EXPECT_GE(gif, 0xC000u);
    EXPECT_EQ(RegisterClipboardFormat("test picture FORMAT"), gif);
    const UINT other = RegisterClipboardFormat("Test Other Format");
    EXPECT_NE(other, gif);
    EXPECT_GE(other, 0xC000u);
    EXPECT_EQ(RegisterClipboardFormat(""), 0u);
    EXPECT_EQ(GetClipboardFormatName(gif), "Test Picture Format");
    EXPECT_EQ(GetClipboardFormatName(CF_BITMAP), "");
}

TEST(Clipboard, BitmapsAndBlocksCrossTheDesktopClipboardInTheOrderPut) {
    const UINT own = RegisterClipboardFormat("GIF Image");
    const std::string bytes("GIF89a\0\x01\xFF", 9);
    HBITMAP bitmap = MakeBitmap(5, 3, Pattern);
    HGLOBAL block = Block(bytes);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_TRUE(EmptyClipboard());
    EXPECT_EQ(SetClipboardData(CF_BITMAP, nullptr), nullptr);
    EXPECT_EQ(SetClipboardData(CF_TEXT + 100, block), nullptr) << "not a format of handles";
    EXPECT_EQ(SetClipboardData(own, block), block);
    EXPECT_EQ(SetClipboardData(CF_BITMAP, bitmap), bitmap);
    EXPECT_TRUE(CloseClipboard());
    EXPECT_EQ(SetClipboardData(CF_BITMAP, bitmap), nullptr) << "closed";

    // The desktop's clipboard (the toolkit's) gives back what went in, in the order it went in.
    EXPECT_EQ(EnumClipboardFormats(0), own);
    EXPECT_EQ(EnumClipboardFormats(own), CF_BITMAP);
    EXPECT_EQ(EnumClipboardFormats(CF_BITMAP), 0u);
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_BITMAP));
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE readBlock = GetClipboardDataHandle(own);
    ASSERT_NE(readBlock, nullptr);
    EXPECT_EQ(BytesOf(readBlock), bytes);
    auto readBitmap = static_cast<HBITMAP>(GetClipboardDataHandle(CF_BITMAP));
    ASSERT_NE(readBitmap, nullptr);
    EXPECT_EQ(GetClipboardDataHandle(CF_BITMAP), readBitmap) << "one handle while open";
    EXPECT_EQ(PixelsOf(readBitmap, 5, 3), PixelsOf(bitmap, 5, 3));
    EXPECT_EQ(GetClipboardDataHandle(RegisterClipboardFormat("Test Other Format")), nullptr);
    EXPECT_TRUE(CloseClipboard());

    // Emptying deletes what the clipboard was given.
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_TRUE(EmptyClipboard());
    EXPECT_TRUE(CloseClipboard());
    BITMAP bm;
    EXPECT_EQ(GetObject(bitmap, sizeof bm, &bm), 0);
    EXPECT_EQ(GlobalSize(block), 0u);
    EXPECT_EQ(GetClipboardDataHandle(CF_BITMAP), nullptr);
    EXPECT_EQ(EnumClipboardFormats(0), 0u);
}
