#include "app/results/page_title.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using results::PageTitle;

std::string Utf16(const std::u16string& text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t u : text) {
        char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
        bytes += bigEndian ? hi : lo;
        bytes += bigEndian ? lo : hi;
    }
    return bytes;
}

TEST(PageTitle, FirstTitleWithLetterCaseIgnored) {
    EXPECT_EQ(PageTitle("<html><TITLE>One</Title><title>Two</title>"), "One");
    EXPECT_EQ(PageTitle("<title>No end"), "");
    EXPECT_EQ(PageTitle("</title> before <title>x"), "");
    EXPECT_EQ(PageTitle("no title at all"), "");
    EXPECT_EQ(PageTitle(""), "");
}

TEST(PageTitle, ReadsTheEncodingOfThePage) {
    EXPECT_EQ(PageTitle("<title>Caf\xC3\xA9</title>"), "Caf\xC3\xA9");
    EXPECT_EQ(PageTitle("\xEF\xBB\xBF<title>Bom</title>"), "Bom");
    EXPECT_EQ(PageTitle(Utf16(u"<title>\u00C5ngstr\u00F6m \u20AC</title>", false)),
              "\xC3\x85ngstr\xC3\xB6m \xE2\x82\xAC");
    EXPECT_EQ(PageTitle(Utf16(u"<TITLE>\u0416</TITLE>", true)), "\xD0\x96");
    // A page that declares its code page.
    EXPECT_EQ(PageTitle("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\">"
                        "<title>\xCF\xF0\xE8\xE2\xE5\xF2</title>"),
              "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82");
    EXPECT_EQ(PageTitle("<meta charset='KOI8-R'><title>\xF0</title>"), "\xD0\x9F");
    // Undeclared 8-bit text is read as windows-1252, including its 0x80 row.
    EXPECT_EQ(PageTitle("<title>Caf\xE9 \x80</title>"), "Caf\xC3\xA9 \xE2\x82\xAC");
    EXPECT_EQ(PageTitle("<meta charset=iso-8859-1><title>\xE9</title>"), "\xC3\xA9");
}

TEST(PageTitle, CharacterReferencesBecomeTheirCharacters) {
    EXPECT_EQ(PageTitle("<title>Fish &amp; Chips &lt;3 &eacute;t&#233; &#x20AC;&#X41;</title>"),
              "Fish & Chips <3 \xC3\xA9t\xC3\xA9 \xE2\x82\xAC"
              "A");
    // What is not a known reference stays as it was typed.
    EXPECT_EQ(PageTitle("<title>A & B &nosuch; &#; &#xZZ; &#55296; &#99999999999; &amp</title>"),
              "A & B &nosuch; &#; &#xZZ; &#55296; &#99999999999; &amp");
    // Decoding happens once: an escaped reference keeps its text.
    EXPECT_EQ(PageTitle("<title>&amp;lt;</title>"), "&lt;");
}

} // namespace
