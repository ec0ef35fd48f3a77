#pragma once
// The rules of the entries a person types into the profile's lists.
#include <string>

// A folder or file address typed for an ignore list in website mode, as the crawl compares it: trimmed,
// a folder ending in "/". Empty when the text is not an http or https address (or is empty).
std::string WebsiteIgnoreEntry(const std::string& Typed, bool Folder);

// File types typed as "*.htm; *.html": each entry trimmed and followed by ";", empty entries dropped.
std::string NormalFileTypes(const std::string& Text);
