// Text drawn from cached character masks must be the toolkit's own drawing of the whole text, pixel for
// pixel, and its width summed from single characters the toolkit's own measure, in every face, weight,
// slant and size the program uses.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/gui/qt/font_engine.h"

namespace {

LOGFONT Font(int height, int weight, bool italic, const char* face) {
    LOGFONT lf{};
    lf.lfHeight = height;
    lf.lfWeight = weight;
    lf.lfItalic = italic ? 1 : 0;
    std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    return lf;
}

// Every printable ASCII character after every other, then text as the program shows it.
std::u16string Samples() {
    std::u16string s;
    for (char16_t a = 32; a < 127; ++a)
        for (char16_t b = 32; b < 127; ++b) {
            s += a;
            s += b;
        }
    s += u" http://127.0.0.1:8080/f1/g0/p1.html?q=a&b=%20 fi fl ffi \u00e9t\u00e9 \u00c5ngstr\u00f6m \u00a9 "
         u"\u2014";
    return s;
}

TEST(Glyphs, TextFromCharacterMasksIsTheToolkitsOwnDrawingAndWidth) {
    const std::u16string all = Samples();
    for (const LOGFONT& lf :
         {Font(-11, 400, false, "Tahoma"), Font(-11, 700, false, "Tahoma"), Font(-13, 400, true, "Arial"),
          Font(-16, 700, true, "Times New Roman"), Font(-12, 400, false, "Courier New"),
          Font(-24, 400, false, "Tahoma"), Font(-8, 400, false, "Tahoma")}) {
        const pw::gui::qt::FontInfo info = pw::gui::qt::Metrics(lf);
        const int height = info.ascent + info.descent, pad = info.pixelSize;
        for (size_t at = 0; at < all.size(); at += 160) {
            const std::u16string_view text = std::u16string_view(all).substr(at, 160);
            const std::vector<int> pos = pw::gui::qt::CharPositions(lf, text);
            ASSERT_EQ(pw::gui::qt::TextWidth(lf, text), pw::gui::qt::TextWidthWhole(lf, text))
                << lf.lfFaceName << " " << -lf.lfHeight << "px, characters from " << at;
            const int width = pos.back() + 2 * pad;
            // Cut off on both sides too, as a clipped label draws it.
            for (int origin : {pad, -7}) {
                const auto cached = pw::gui::qt::RenderText(lf, text, width, height, origin, info.ascent);
                const auto whole = pw::gui::qt::RenderTextWhole(lf, text, width, height, origin, info.ascent);
                ASSERT_EQ(cached.bits, whole.bits)
                    << lf.lfFaceName << " " << -lf.lfHeight << "px weight " << lf.lfWeight
                    << (lf.lfItalic ? " italic" : "") << ", characters from " << at << ", origin " << origin;
            }
        }
    }
}

// Names holding "fi" and "fl" (ligatures in most faces) and kerned pairs are summed from short runs, not
// shaped whole, and still measure what the toolkit measures.
TEST(Glyphs, LigaturesAndKernedPairsAreSummedToTheToolkitsWidth) {
    const std::u16string names[] = {u"C:\\work\\profiling\\flags\\file01.txt",
                                    u"  /srv/office/fluffy/ffi_AV_To.log",
                                    u"Profile of the filesystem: WAVE, Type, affluent, fjord"};
    for (const LOGFONT& lf : {Font(-11, 400, false, "DejaVu Sans"), Font(-11, 400, false, "Tahoma"),
                              Font(-11, 700, false, "Tahoma"), Font(-13, 400, true, "Arial"),
                              Font(-16, 700, true, "Times New Roman"), Font(-12, 400, false, "Courier New")})
        for (const std::u16string& text : names) {
            const int summed = pw::gui::qt::SummedTextWidth(lf, text);
            ASSERT_GE(summed, 0) << lf.lfFaceName << " " << -lf.lfHeight << "px: shaped whole";
            EXPECT_EQ(summed, pw::gui::qt::TextWidthWhole(lf, text)) << lf.lfFaceName << " " << -lf.lfHeight;
            EXPECT_EQ(pw::gui::qt::TextWidth(lf, text), summed);
        }
}

} // namespace
