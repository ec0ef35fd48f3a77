#pragma once
// Lists of file types as a profile holds them: "*.htm;*.html;", extensions after "*", each entry
// ended by ";" (the last one may do without).
#include <string_view>

// Whether "*" + the extension of FileName (its last "." after the last "/" or "\", empty when there
// is none) + ";" stands in FileTypes, without regard to ASCII letter case. The end of the list ends
// its last entry too.
bool IsFileTypeInList(std::string_view FileName, std::string_view FileTypes);
