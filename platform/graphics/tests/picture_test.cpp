#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "platform/gdi/clipboard_formats.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/icons.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/graphics_errors.h"
#include "platform/graphics/icon.h"
#include "platform/graphics/jpeg_image.h"
#include "platform/graphics/picture.h"
#include "platform/graphics/tests/graphics_test_support.h"
#include "platform/rtl/stream.h"
#include "tests/support/thrown_message.h"

namespace {

using graphics_test::Colours, graphics_test::Fill;
using testsupport::ThrownMessage;

// A graphic class of the test's own, to register under a new extension.
class TPlainGraphic : public TGraphic {
public:
    std::string ClassName() const override { return "TPlainGraphic"; }
    int Width() const override { return static_cast<int>(text.size()); }
    int Height() const override { return 1; }
    void SetWidth(int) override {}
    void SetHeight(int) override {}
    bool Empty() const override { return text.empty(); }
    void LoadFromStream(TStream& s) override {
        text.resize(static_cast<size_t>(s.Size() - s.Position()));
        s.ReadBuffer(text.data(), static_cast<int64_t>(text.size()));
        Changed(this);
    }
    void SaveToStream(TStream& s) override { s.WriteBuffer(text.data(), static_cast<int64_t>(text.size())); }
    void Assign(TPersistent* source) override {
        if (auto* p = dynamic_cast<TPlainGraphic*>(source)) {
            text = p->text;
            Changed(this);
            return;
        }
        TGraphic::Assign(source);
    }
    std::unique_ptr<TGraphic> NewOfSameClass() const override { return std::make_unique<TPlainGraphic>(); }
    std::string text;

protected:
    void Draw(TCanvas&, const TRect&) override {}
};

// Writes half of its data, then fails.
class TFailingGraphic : public TPlainGraphic {
public:
    void SaveToStream(TStream& s) override {
        s.WriteBuffer("half", 4);
        throw EInvalidGraphic("disk full");
    }
};

class PictureFiles : public testing::Test {
protected:
    void SetUp() override {
        dir = testing::TempDir() + "graphics_picture_" + std::to_string(::getpid());
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string dir;
};

} // namespace

TEST_F(PictureFiles, ChoosesTheClassByExtension) {
    TBitmap source(6, 4);
    Fill(source, clRed);
    source.SaveToFile(dir + "/a.bmp");
    TJPEGImage jpeg;
    jpeg.Assign(&source);
    jpeg.SaveToFile(dir + "/b.JPG");
    jpeg.SaveToFile(dir + "/c.jpeg");

    TPicture picture;
    int changes = 0;
    picture.OnChange = [&](TObject*) { ++changes; };
    picture.LoadFromFile(dir + "/a.bmp");
    EXPECT_NE(dynamic_cast<TBitmap*>(picture.Graphic()), nullptr);
    EXPECT_EQ(picture.Width(), 6);
    EXPECT_EQ(changes, 1);
    picture.LoadFromFile(dir + "/b.JPG");
    EXPECT_NE(dynamic_cast<TJPEGImage*>(picture.Graphic()), nullptr);
    picture.LoadFromFile(dir + "/c.jpeg");
    EXPECT_NE(dynamic_cast<TJPEGImage*>(picture.Graphic()), nullptr);
    EXPECT_EQ(picture.Height(), 4);

    // An unknown extension, or none, leaves the picture as it was.
    std::ofstream(dir + "/d.xyz") << "data";
    EXPECT_EQ(ThrownMessage<EInvalidGraphic>([&] { picture.LoadFromFile(dir + "/d.xyz"); }),
              "Unknown picture file extension (.xyz)");
    EXPECT_EQ(ThrownMessage<EInvalidGraphic>([&] { picture.LoadFromFile(dir + "/no.dot/name"); }),
              "Unknown picture file extension (.)");
    // A file that does not decode, likewise.
    std::ofstream(dir + "/e.bmp") << "not a bitmap";
    EXPECT_THROW(picture.LoadFromFile(dir + "/e.bmp"), EInvalidGraphic);
    EXPECT_NE(dynamic_cast<TJPEGImage*>(picture.Graphic()), nullptr);

    picture.SaveToFile(dir + "/f.jpg");
    EXPECT_GT(std::filesystem::file_size(dir + "/f.jpg"), 0u);

    // A save that fails half-way leaves the previous file whole.
    const auto before = std::filesystem::file_size(dir + "/a.bmp");
    TFailingGraphic failing;
    failing.text = "x";
    EXPECT_THROW(failing.SaveToFile(dir + "/a.bmp"), EInvalidGraphic);
    EXPECT_EQ(std::filesystem::file_size(dir + "/a.bmp"), before);
    TBitmap still;
    still.LoadFromFile(dir + "/a.bmp");
    EXPECT_EQ(still.Canvas().Pixel(0, 0), clRed);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 6); // no temporary left
}

TEST_F(PictureFiles, RegisteredClassesServeTheirExtensionsUntilUnregistered) {
    std::ofstream(dir + "/note.TXTG") << "hello";
    TPicture::RegisterFileFormat("txtg", "Plain text graphics", &CreateGraphic<TPlainGraphic>);
    TPicture::RegisterFileFormat(".txtg2", "Plain text graphics", &CreateGraphic<TPlainGraphic>);
    EXPECT_EQ(TPicture::FindGraphicClass(".TXTG"), &CreateGraphic<TPlainGraphic>);
    EXPECT_NE(TPicture::GraphicFilter().find("Plain text graphics (*.txtg)|*.txtg"), std::string::npos);
    TPicture picture;
    picture.LoadFromFile(dir + "/note.TXTG");
    auto* plain = dynamic_cast<TPlainGraphic*>(picture.Graphic());
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->text, "hello");

    // A copy through the picture is its own object of the same class.
    TPicture other;
    other.Assign(&picture);
    auto* copy = dynamic_cast<TPlainGraphic*>(other.Graphic());
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, plain);
    EXPECT_EQ(copy->text, "hello");
    int changes = 0;
    other.OnChange = [&](TObject*) { ++changes; };
    copy->LoadFromStream(*std::make_unique<TMemoryStream>());
    EXPECT_EQ(changes, 1); // the graphic's changes reach the picture

    TPicture::UnregisterGraphicClass(&CreateGraphic<TPlainGraphic>);
    EXPECT_EQ(TPicture::FindGraphicClass("txtg"), nullptr);
    EXPECT_EQ(TPicture::FindGraphicClass("txtg2"), nullptr);
    EXPECT_THROW(picture.LoadFromFile(dir + "/note.TXTG"), EInvalidGraphic);
    EXPECT_EQ(TPicture::FindGraphicClass("bmp"), &CreateGraphic<TBitmap>);
    EXPECT_EQ(TPicture::FindGraphicClass("JPG"), &CreateGraphic<TJPEGImage>);
}

TEST(Picture, StreamsAreRecognisedByTheirSignature) {
    TBitmap source(3, 3);
    TMemoryStream bmp;
    source.SaveToStream(bmp);
    bmp.SetPosition(0);
    TPicture picture;
    picture.LoadFromStream(bmp);
    EXPECT_NE(dynamic_cast<TBitmap*>(picture.Graphic()), nullptr);

    TJPEGImage jpeg;
    jpeg.Assign(&source);
    TMemoryStream jpg;
    jpeg.SaveToStream(jpg);
    jpg.SetPosition(0);
    picture.LoadFromStream(jpg);
    EXPECT_NE(dynamic_cast<TJPEGImage*>(picture.Graphic()), nullptr);

    TMemoryStream junk;
    junk.WriteBuffer("junk data", 9);
    junk.SetPosition(0);
    EXPECT_EQ(ThrownMessage<EInvalidGraphic>([&] { picture.LoadFromStream(junk); }),
              "Unsupported stream format");

    // Bitmap replaces any other graphic; a bitmap assigned from a JPEG takes its pixels.
    TBitmap& b = picture.Bitmap();
    EXPECT_TRUE(b.Empty());
    b.Assign(&jpeg);
    EXPECT_EQ(picture.Width(), 3);
    picture.Assign(nullptr);
    EXPECT_EQ(picture.Graphic(), nullptr);
}

TEST(Icon, LoadsSavesAndDrawsWithItsMask) {
    // A 4 x 4 icon: a red centre, the border transparent (by alpha, and by the mask for the file).
    TBitmap colour;
    colour.SetPixelFormat(pf32bit);
    colour.SetSize(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            static_cast<uint32_t*>(colour.ScanLine(y))[x] = (x % 3 && y % 3) ? 0xFFFF0000u : 0;
    TBitmap mask(4, 4);
    mask.Canvas().Brush().SetColor(clBlack);
    mask.Canvas().FillRect(Rect(1, 1, 3, 3));
    mask.SetMonochrome(true);
    ICONINFO info;
    info.hbmColor = colour.Handle();
    info.hbmMask = mask.Handle();
    TIcon icon;
    icon.SetHandle(CreateIconIndirect(&info));
    EXPECT_EQ(icon.Width(), 4);
    EXPECT_THROW(icon.SetWidth(8), EInvalidGraphicOperation);

    TMemoryStream ico;
    icon.SaveToStream(ico);
    ico.SetPosition(0);
    TPicture picture;
    picture.LoadFromStream(ico);
    auto* back = dynamic_cast<TIcon*>(picture.Graphic());
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->Height(), 4);

    TBitmap target(6, 6);
    Fill(target, clLime);
    target.Canvas().Draw(1, 1, back);
    EXPECT_EQ(Colours(target, {{1, 1}, {2, 2}, {3, 3}, {4, 4}}),
              (std::vector<TColor>{clLime, clRed, clRed, clLime}));

    // An icon file with a 24-bit image: the mask decides what shows.
    TIcon file;
    file.LoadFromFile(std::string(PW_TEST_DATA_DIR) + "/data/mask24.ico");
    ASSERT_EQ(file.Width(), 2);
    target.Canvas().FillRect(Rect(0, 0, 6, 6));
    target.Canvas().Draw(0, 0, &file);
    EXPECT_EQ(Colours(target, {{0, 0}, {1, 0}, {0, 1}, {1, 1}}),
              (std::vector<TColor>{clLime, clWhite, clRed, clLime}));

    TMemoryStream bad;
    bad.WriteBuffer("\0\0\1\0\1\0", 6);
    bad.SetPosition(0);
    TIcon broken;
    EXPECT_THROW(broken.LoadFromStream(bad), EInvalidGraphic);
}

namespace {

TEST(Picture, ClipboardFormatsAreReadByTheClassBoundToThem) {
    // A bitmap gives the clipboard a copy of itself; a picture reads the bitmap format as a bitmap.
    TBitmap source;
    source.SetSize(3, 2);
    Fill(source, clRed);
    source.Canvas().SetPixel(2, 1, clBlue);
    UINT format = 0;
    HANDLE data = nullptr;
    HPALETTE palette = nullptr;
    source.SaveToClipboardFormat(format, data, palette);
    EXPECT_EQ(format, CF_BITMAP);
    ASSERT_NE(data, nullptr);
    EXPECT_NE(data, source.Handle());
    EXPECT_EQ(palette, nullptr) << "a true-colour bitmap has no palette";
    EXPECT_TRUE(TPicture::SupportsClipboardFormat(CF_BITMAP));
    TPicture picture;
    picture.LoadFromClipboardFormat(format, data, palette);
    auto* pasted = dynamic_cast<TBitmap*>(picture.Graphic());
    ASSERT_NE(pasted, nullptr);
    EXPECT_EQ(Colours(*pasted, {Point(0, 0), Point(2, 1)}), (std::vector<TColor>{clRed, clBlue}));
    BITMAP bm;
    EXPECT_NE(GetObject(data, sizeof bm, &bm), 0) << "the clipboard's handle stays the clipboard's";
    DeleteObject(data);

    // An indexed bitmap gives its palette along.
    TBitmap indexed;
    indexed.SetSize(2, 2);
    indexed.SetPixelFormat(pf8bit);
    indexed.SaveToClipboardFormat(format, data, palette);
    EXPECT_NE(palette, nullptr);
    EXPECT_NE(palette, indexed.Palette());
    DeleteObject(data);
    DeleteObject(palette);

    // Other formats, no data, or a format no class is bound to are refused; the picture keeps its graphic.
    TBitmap other;
    EXPECT_EQ(ThrownMessage<EInvalidGraphic>([&] { other.LoadFromClipboardFormat(0xC123, data, nullptr); }),
              graphics_text::UnknownClipboardFormat);
    EXPECT_THROW(other.LoadFromClipboardFormat(CF_BITMAP, nullptr, nullptr), EInvalidGraphic);
    EXPECT_THROW(picture.LoadFromClipboardFormat(0xC123, data, nullptr), EInvalidGraphic);
    EXPECT_EQ(picture.Graphic(), pasted);
    TPlainGraphic plain;
    EXPECT_THROW(plain.SaveToClipboardFormat(format, data, palette), EInvalidGraphic);

    // A class bound to a format of its own reads it; unregistering the class unbinds it.
    TPicture::RegisterClipboardFormat(0xC123, &CreateGraphic<TPlainGraphic>);
    EXPECT_TRUE(TPicture::SupportsClipboardFormat(0xC123));
    EXPECT_THROW(picture.LoadFromClipboardFormat(0xC123, data, nullptr), EInvalidGraphic)
        << "the class reads no clipboard data";
    TPicture::UnregisterGraphicClass(&CreateGraphic<TPlainGraphic>);
    EXPECT_FALSE(TPicture::SupportsClipboardFormat(0xC123));
    EXPECT_TRUE(TPicture::SupportsClipboardFormat(CF_BITMAP));
}

} // namespace
