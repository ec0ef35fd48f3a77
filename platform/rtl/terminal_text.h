#pragma once
// Text for a terminal. Names in messages can come from anywhere (a profile, a web page), and a terminal
// acts on the control characters among them: it clears the screen, moves the cursor, overwrites a line.
#include <string>
#include <string_view>

// text with every control character shown escaped: LF, CR and tab as \n, \r and \t, the other C0 controls,
// DEL and bytes that are not UTF-8 as \xHH, the C1 controls (U+0080 to U+009F) as \u0080 to \u009F.
// Everything else, the backslash included, stays as it is.
std::string EscapeControlCharacters(std::string_view text);
