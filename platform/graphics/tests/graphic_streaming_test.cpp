// A graphic held by a component goes through the component stream as the bytes of its own stream.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/graphics/bitmap.h"
#include "platform/graphics/tests/graphics_test_support.h"
#include "platform/rtl/component.h"
#include "platform/rtl/component_stream.h"
#include "platform/rtl/object_text.h"
#include "platform/rtl/published.h"
#include "platform/rtl/stream.h"
#include "platform/rtl/string_stream.h"

namespace {

using graphics_test::Colours, graphics_test::Fill;

class TPictureHolder : public TComponent {
public:
    explicit TPictureHolder(TComponent* AOwner = nullptr) : TComponent(AOwner) {}
    std::string ClassName() const override { return "TPictureHolder"; }
    static const TPropertyTable& Table() {
        using H = TPictureHolder;
        static const TPropertyTable table(&TComponent::Table(), [] {
            return std::vector<TPropInfo>{
                ObjectProperty<H>("Picture", [](H& h) -> TPersistent* { return &h.picture; }),
                IntegerProperty<H>("Number", &H::Number, &H::SetNumber, 0)};
        }());
        return table;
    }
    const TPropertyTable* PublishedProperties() const override { return &Table(); }
    int Number() const { return number_; }
    void SetNumber(int Value) { number_ = Value; }

    TBitmap picture;

private:
    int number_ = 0;
};

std::string AsText(TMemoryStream& binary) {
    binary.SetPosition(0);
    TStringStream text;
    ObjectBinaryToText(binary, text);
    binary.SetPosition(0);
    return text.DataString();
}

TEST(GraphicStreaming, ABitmapComesBackPixelForPixelAndAnEmptyOneWritesNothing) {
    TPictureHolder holder;
    holder.SetName("Holder");
    holder.SetNumber(7);
    TMemoryStream empty;
    WriteComponent(empty, &holder);
    EXPECT_EQ(AsText(empty).find("Picture.Data"), std::string::npos) << AsText(empty);

    holder.picture.SetSize(5, 3);
    Fill(holder.picture, clBlue);
    holder.picture.Canvas().SetPixel(0, 0, clRed);
    holder.picture.Canvas().SetPixel(4, 2, clLime);
    TMemoryStream binary;
    WriteComponent(binary, &holder);
    const std::string text = AsText(binary);
    EXPECT_NE(text.find("Picture.Data = {"), std::string::npos) << text;
    // What follows it is read as well: the data's length is kept.
    EXPECT_NE(text.find("Number = 7"), std::string::npos) << text;

    TPictureHolder copy;
    // The stream's picture replaces one the reader had.
    copy.picture.SetSize(9, 9);
    int changes = 0;
    copy.picture.OnChange = [&changes](TObject*) { ++changes; };
    ReadComponent(binary, &copy);
    EXPECT_EQ(copy.Number(), 7);
    ASSERT_EQ(copy.picture.Width(), 5);
    ASSERT_EQ(copy.picture.Height(), 3);
    EXPECT_GE(changes, 1);
    EXPECT_EQ(Colours(copy.picture, {{0, 0}, {4, 2}, {2, 1}, {4, 0}}),
              (std::vector<TColor>{clRed, clLime, clBlue, clBlue}));
    EXPECT_TRUE(copy.picture.Equals(&holder.picture));
}

TEST(GraphicStreaming, AnIndexedBitmapKeepsItsColourTable) {
    TPictureHolder holder;
    holder.picture.SetSize(4, 2);
    holder.picture.SetPixelFormat(pf8bit);
    std::vector<RGBQUAD> table(256, RGBQUAD{0, 0, 0, 0});
    table[1] = RGBQUAD{0x10, 0x20, 0x30, 0};
    holder.picture.SetColorTable(table);
    static_cast<uint8_t*>(holder.picture.ScanLine(1))[3] = 1;
    holder.picture.SetModified(true);
    TMemoryStream binary;
    WriteComponent(binary, &holder);
    binary.SetPosition(0);
    TPictureHolder copy;
    ReadComponent(binary, &copy);
    EXPECT_EQ(copy.picture.PixelFormat(), pf8bit);
    ASSERT_GE(copy.picture.ColorTable().size(), 2u);
    EXPECT_EQ(copy.picture.ColorTable()[1].rgbRed, 0x30);
    EXPECT_EQ(copy.picture.ColorTable()[1].rgbBlue, 0x10);
    EXPECT_EQ(static_cast<uint8_t*>(copy.picture.ScanLine(1))[3], 1);
    EXPECT_EQ(static_cast<uint8_t*>(copy.picture.ScanLine(0))[3],
              static_cast<uint8_t*>(holder.picture.ScanLine(0))[3]);
}

} // namespace
