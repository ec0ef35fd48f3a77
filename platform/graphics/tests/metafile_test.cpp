// The metafile graphic: what its steps cover is drawn, stretched into the rectangle, and nothing else;
// its own stream format keeps every step.
#include <gtest/gtest.h>

#include "platform/graphics/graphics_errors.h"
#include "platform/graphics/metafile.h"
#include "platform/graphics/tests/graphics_test_support.h"
#include "tests/support/thrown_message.h"

namespace {

using graphics_test::Colours, graphics_test::Fill, graphics_test::Save, graphics_test::Load;

void Record(TMetafile& m) {
    m.SetWidth(20);
    m.SetHeight(10);
    m.FillRect(Rect(0, 0, 10, 5), clRed);
    m.Ellipse(Rect(10, 0, 20, 10), clBlue, clLime);
    m.Line(Point(0, 9), Point(9, 9), clBlack);
}

TEST(Metafile, PlaysOnlyWhatItsStepsCoverStretchedIntoTheRectangle) {
    TMetafile m;
    Record(m);
    EXPECT_FALSE(m.Empty());
    EXPECT_TRUE(m.Transparent());
    TBitmap target;
    target.SetSize(40, 20);
    Fill(target, clYellow);
    target.Canvas().StretchDraw(Rect(0, 0, 40, 20), &m);
    // Twice the size: the filled quarter, the ellipse's centre and outline, the line, and the background
    // where nothing was drawn.
    EXPECT_EQ(Colours(target, {Point(0, 0), Point(19, 9), Point(20, 0), Point(30, 10), Point(5, 18),
                               Point(15, 13), Point(39, 19)}),
              (std::vector<TColor>{clRed, clRed, clYellow, clLime, clBlack, clYellow, clYellow}));
    EXPECT_EQ(target.Canvas().Pixel(20, 10), clBlue) << "the ellipse's outline";
    // At its own size, drawn at an offset.
    Fill(target, clWhite);
    target.Canvas().Draw(5, 3, &m);
    EXPECT_EQ(Colours(target, {Point(5, 3), Point(14, 7), Point(15, 3), Point(4, 3), Point(5, 12)}),
              (std::vector<TColor>{clRed, clRed, clWhite, clWhite, clBlack}));
}

TEST(Metafile, ItsStreamKeepsSizeAndStepsAndRefusesOtherData) {
    TMetafile m;
    Record(m);
    TMetafile copy;
    Load(copy, Save(m));
    EXPECT_EQ(copy.Width(), 20);
    EXPECT_EQ(copy.Height(), 10);
    EXPECT_EQ(copy.Records(), m.Records());
    TMetafile assigned;
    assigned.Assign(&m);
    EXPECT_EQ(assigned.Records(), m.Records());

    std::vector<uint8_t> bytes = Save(m);
    const std::vector<uint8_t> good = bytes;
    bytes[0] = 'X';
    EXPECT_EQ(testsupport::ThrownMessage<EInvalidGraphic>([&] { Load(copy, bytes); }),
              graphics_text::InvalidMetafile);
    bytes = good;
    bytes.pop_back(); // the last step cut short
    EXPECT_THROW(Load(copy, bytes), EInvalidGraphic);
    bytes = good;
    bytes[16] = 9; // no such step
    EXPECT_THROW(Load(copy, bytes), EInvalidGraphic);
    EXPECT_EQ(copy.Records(), m.Records()) << "a failed load keeps the picture";
    TMetafile empty;
    EXPECT_TRUE(empty.Empty());
    Load(copy, Save(empty));
    EXPECT_TRUE(copy.Empty());
}

} // namespace
