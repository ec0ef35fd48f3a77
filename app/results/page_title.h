#pragma once
// The title of a page file on disk, whatever encoding the page is written in.
#include <string>
#include <string_view>

namespace results {

// The text between the first "<title>" and the first "</title>" (letter case ignored) as UTF-8; empty
// when there is none. UTF-16 pages are recognised by their byte-order mark; other pages are UTF-8 when
// the title is valid UTF-8, else decoded with the code page the page declares (windows-1252 when it
// declares none the tables know).
std::string PageTitle(std::string_view FileBytes);

} // namespace results
