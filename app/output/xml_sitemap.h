#pragma once
// The XML sitemap of the sitemap protocol 0.9 for search engines.
#include "app/output/site_map_node.h"

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

class TMapProfile;
class TStream;

// The profile asks for a sitemap and names a site ("http://" and at least one more character).
bool XmlSitemapWanted(const TMapProfile& Profile);
// The whole file: one url element per distinct address. Nodes without a usable address are left out.
std::string BuildXmlSitemap(std::span<const TSiteMapNode> Nodes);
// The same text written to Out piece by piece, so that a large sitemap is never held whole. Returns how
// many nodes were left out for an address longer than the protocol allows (2,048 characters).
size_t WriteXmlSitemap(std::span<const TSiteMapNode> Nodes, TStream& Out);

// Fixed notation within 0..1 ("0.5", "1", "0.000001"); a value that is no number gives the protocol's 0.5.
std::string PriorityText(double Priority);
// A date ("2024-01-31") or a date-time with seconds and a zone ("2024-01-31T12:00:00+01:00", "...Z").
bool IsW3CDateTime(std::string_view Text);
// The address as compared for duplicates: scheme and host without regard to letter case, the rest exactly.
std::string SitemapAddressKey(std::string_view EncodedAddress);
