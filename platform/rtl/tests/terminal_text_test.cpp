#include "platform/rtl/terminal_text.h"

#include <gtest/gtest.h>

#include <string>

TEST(TerminalText, ControlCharactersAreShownEscapedAndTextStaysAsItIs) {
    using namespace std::string_literals;
    const std::pair<std::string, std::string> cases[] = {
        {"site map written OK", "site map written OK"},
        {"\x1b[2J\x1b[Hsite map written OK", "\\x1B[2J\\x1B[Hsite map written OK"},
        {"fake\rline\nnext\ttab", "fake\\rline\\nnext\\ttab"},
        {"nul\0bell\a del\x7f"s, "nul\\x00bell\\x07 del\\x7F"},
        // C1 controls: U+009B is a CSI of its own to many terminals, U+0085 a line break.
        {"\xC2\x9B"
         "2J \xC2\x85 \xC2\x80",
         "\\u009B2J \\u0085 \\u0080"},
        // Bytes that are no UTF-8: a lone 0x9B is a CSI to 8-bit terminals.
        {"\x9b"
         "2J \xC3 \xE2\x82 \xC0\xAF \xED\xA0\x80",
         "\\x9B2J \\xC3 \\xE2\\x82 \\xC0\\xAF \\xED\\xA0\\x80"},
        {"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80 \xC2\xA0 back\\slash",
         "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80 \xC2\xA0 back\\slash"},
    };
    for (const auto& [text, shown] : cases)
        EXPECT_EQ(EscapeControlCharacters(text), shown) << text;
}
