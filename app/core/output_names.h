#pragma once
// Names of the files an output writes.
#include <string>

// The XML sitemap beside the page: the page's name with its extension replaced by ".xml" (or appended).
std::string XmlFileNameFor(const std::string& OutputFileName);
