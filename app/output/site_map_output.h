#pragma once
// Writing a finished site map: the page, the XML sitemap beside it, the images, or the clipboard text.
#include "app/output/html_site_map.h"
#include "app/output/site_map_node.h"

#include <cstddef>
#include <span>
#include <string>
#include <vector>

class TMapProfile;
class TClipboard;

// The most of a page the window is given to show.
inline constexpr size_t kShownPageLimit = size_t{16} << 20;

// What the main window shows after an output run.
struct TSiteMapResult {
    bool Success = false;
    // "Site Map Complete!", or the reason of the failure.
    std::string Message;
    // The list text; after a file output the whole page. What the window shows: a page longer than
    // kShownPageLimit is cut after a whole line and says where the rest is.
    std::string GeneratedHtml;
    // The XML sitemap written in this run; empty when none was.
    std::string XmlFileName;
    // The entries it left out for an address longer than a sitemap takes.
    size_t XmlTooLong = 0;
    // Exactly the files written or copied in this run, page first.
    std::vector<std::string> FilesWritten;
    // What an upload sends: the files written, and the images the page shows that were beside it
    // already (copied by an earlier run, so not copied again), which the server needs as much.
    std::vector<std::string> UploadList;
};

struct TSiteMapOutputContext {
    // The program's folder with a trailing "/": the images come from its "smimages/" folder.
    std::string ProgramFolder;
    TSiteMapProgress OnProgress;
    // Where a clipboard output goes; the system clipboard when none is given.
    TClipboard* Clipboard = nullptr;
};

// Builds the site map and delivers it as the profile's output type asks. Never raises: a failure is
// reported in the result.
TSiteMapResult GenerateSiteMapOutput(const TMapProfile& Profile, std::span<const TSiteMapNode> Nodes,
                                     const TSiteMapOutputContext& Context);
