#pragma once
// The HTML site map: nested lists of the tree's folders and pages, and the page around them.
#include "app/output/site_map_node.h"
#include "platform/rtl/colors.h"

#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>

class TMapProfile;

// Called before each node is written, with its index; the window shows progress and handles input here.
using TSiteMapProgress = std::function<void(int Index, const TSiteMapNode& Node)>;

// The text a node's entry shows: the record's text, else the tree's label.
std::string_view LinkText(const TSiteMapNode& node);
// Receives the text in pieces as it is made, so that a page of any size is never held whole.
using TSiteMapSink = std::function<void(std::string_view Piece)>;
// Which of the three images the lines written show.
struct TSiteMapImagesShown {
    bool Folder = false;
    bool File = false;
    bool Picture = false;
};

// The list text: begins with CR LF, no line break after its last line.
TSiteMapImagesShown ComposeHtmlSiteMap(const TMapProfile& Profile, std::span<const TSiteMapNode> Nodes,
                                       const TSiteMapSink& Sink, const TSiteMapProgress& OnProgress = {});
// The whole page: the list text with the page around it.
TSiteMapImagesShown ComposeSiteMapPage(const TMapProfile& Profile, std::span<const TSiteMapNode> Nodes,
                                       const TSiteMapSink& Sink, const TSiteMapProgress& OnProgress = {});
// Room for the whole page when nothing in it needs escaping, and a little more.
size_t HtmlSiteMapRoom(const TMapProfile& Profile, std::span<const TSiteMapNode> Nodes);
// The list text as one string.
std::string BuildHtmlSiteMap(const TMapProfile& Profile, std::span<const TSiteMapNode> Nodes,
                             const TSiteMapProgress& OnProgress = {});
// The whole page around a list text.
std::string WrapSiteMapPage(const TMapProfile& Profile, const std::string& ListText);
std::string SiteMapStyleBlock(const TMapProfile& Profile);
std::string SiteMapBodyTag(const TMapProfile& Profile);
// "#RRGGBB" (system colours resolved); empty for -1 or any value that is not a colour.
std::string ColorToHtml(TColor Color);
