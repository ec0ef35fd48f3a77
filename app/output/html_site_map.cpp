#include "app/output/html_site_map.h"

#include "app/core/data_rec.h"
#include "app/core/map_profile.h"
#include "app/output/html_escape.h"
#include "app/output/output_texts.h"
#include "platform/gdi/syscolors.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace {
constexpr std::string_view kCrLf = "\r\n";
// The text goes to the sink in pieces of about this size: a page of deep paths runs to gigabytes.
constexpr size_t kListPiece = 1 << 16;

class ListWriter {
public:
    explicit ListWriter(const TSiteMapSink& sink) : sink_(sink) { text_.reserve(kListPiece + 4096); }

    // CR LF and the indent; a negative indent (the last closing lines) writes none.
    std::string& Line() {
        if (text_.size() >= kListPiece) Flush();
        text_ += kCrLf;
        if (indent_ > 0) text_.append(static_cast<size_t>(indent_), ' ');
        return text_;
    }

    // Closes the lists deeper than level and takes its indent.
    void MoveTo(int level) {
        if (level < previous_) {
            indent_ -= 2;
            for (int k = previous_ - level; k > 0; --k) {
                Line() += "</ul>";
                indent_ -= 2;
            }
        }
        previous_ = level;
        indent_ = 2 * level;
    }

    void Finish() {
        indent_ -= 2;
        for (int k = previous_; k > 0; --k) {
            Line() += "</ul>";
            indent_ -= 2;
        }
        Flush();
    }

private:
    void Flush() {
        if (!text_.empty()) sink_(text_);
        text_.clear();
    }

    const TSiteMapSink& sink_;
    std::string text_;
    int indent_ = 0;
    int previous_ = 0;
};

std::string_view Location(const TSiteMapNode& node) {
    return node.Data ? std::string_view(node.Data->Loc) : std::string_view();
}

std::string ImageTag(const char* name) {
    return std::string("<img src=\"") + name + "\">&nbsp;";
}
} // namespace

std::string_view LinkText(const TSiteMapNode& node) {
    if (node.Data && !node.Data->Text.empty()) return node.Data->Text;
    return node.Caption;
}

TSiteMapImagesShown ComposeHtmlSiteMap(const TMapProfile& Profile, std::span<const TSiteMapNode> Nodes,
                                       const TSiteMapSink& Sink, const TSiteMapProgress& OnProgress) {
    const std::string sectionClass = Profile.ClassAttribs() ? " class=\"mapsection\"" : "";
    const std::string itemClass = Profile.ClassAttribs() ? " class=\"mapitem\"" : "";
    const bool images = Profile.AddImages();
    const std::string folderImage =
        images && !Profile.NoFolderImages() ? ImageTag(output_text::FolderImage) : std::string();
    const std::string fileImage = images ? ImageTag(output_text::FileImage) : std::string();
    const std::string pictureImage = images ? ImageTag(output_text::PictureImage) : std::string();

    TSiteMapImagesShown shown;
    ListWriter list(Sink);
    for (size_t i = 0; i < Nodes.size(); ++i) {
        const TSiteMapNode& node = Nodes[i];
        if (OnProgress) OnProgress(static_cast<int>(i), node);
        const std::string_view location = Location(node);
        if (node.ImageIndex == kFolderImage) {
            list.MoveTo(node.Level);
            const bool link = !Profile.NoFolderLinks() && !location.empty();
            std::string& line = list.Line();
            line += "<ul>";
            line += folderImage;
            shown.Folder |= !folderImage.empty();
            line += "<b";
            line += sectionClass;
            line += '>';
            if (link) {
                line += "<a href=\"";
                AppendHrefValue(line, location);
                line += "\">";
            }
            AppendHtmlEscaped(line, LinkText(node));
            if (link) line += "</a>";
            line += "</b>";
            if (!node.HasChildren) line += "</ul>";
        } else if (node.ImageIndex == kPageImage || node.ImageIndex == kPictureImage) {
            list.MoveTo(node.Level);
            std::string& line = list.Line();
            line += "<dt>&nbsp;&nbsp;";
            const bool picture = node.ImageIndex == kPictureImage;
            line += picture ? pictureImage : fileImage;
            (picture ? shown.Picture : shown.File) |= images;
            line += "<a href=\"";
            AppendHrefValue(line, location);
            line += '"';
            line += itemClass;
            line += '>';
            AppendHtmlEscaped(line, LinkText(node));
            line += "</a></dt>";
        }
    }
    list.Finish();
    return shown;
}

size_t HtmlSiteMapRoom(const TMapProfile& Profile, std::span<const TSiteMapNode> Nodes) {
    const size_t classes = Profile.ClassAttribs() ? std::string_view(" class=\"mapsection\"").size() : 0;
    const size_t images = Profile.AddImages() ? ImageTag(output_text::FolderImage).size() : 0;
    const size_t lineRoom = 48 + classes + images;
    size_t room = 4096;
    for (const TSiteMapNode& node : Nodes)
        room += lineRoom + 4 * static_cast<size_t>(std::max(node.Level, 0) + 1) + Location(node).size() +
                LinkText(node).size();
    return room;
}

std::string BuildHtmlSiteMap(const TMapProfile& Profile, std::span<const TSiteMapNode> Nodes,
                             const TSiteMapProgress& OnProgress) {
    // Pieces longer than the room foreseen (escapes) add room for themselves and an eighth more, instead
    // of doubling a list of megabytes.
    std::string text;
    text.reserve(HtmlSiteMapRoom(Profile, Nodes));
    ComposeHtmlSiteMap(
        Profile, Nodes,
        [&text](std::string_view piece) {
            if (text.capacity() - text.size() < piece.size()) {
                std::string grown;
                grown.reserve(text.size() + std::max(piece.size(), text.size() / 8));
                grown += text;
                text.swap(grown);
            }
            text += piece;
        },
        OnProgress);
    return text;
}

std::string ColorToHtml(TColor Color) {
    uint32_t rgb;
    if (Color < 0) {
        // System colours carry the high bit; -1 and other negative values are no colour.
        const auto value = static_cast<uint32_t>(Color);
        if ((value & 0xFFFFFF00u) != static_cast<uint32_t>(clSystemColor)) return "";
        const int index = static_cast<int>(value & 0xFF);
        if (index >= kSysColorCount) return "";
        rgb = static_cast<uint32_t>(GetSysColor(index));
    } else {
        if (Color > 0xFFFFFF) return "";
        rgb = static_cast<uint32_t>(Color);
    }
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string out = "#";
    for (const uint32_t byte : {rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF}) {
        out += hex[byte >> 4];
        out += hex[byte & 0x0F];
    }
    return out;
}

std::string SiteMapStyleBlock(const TMapProfile& Profile) {
    if (!Profile.ClassAttribs()) return "";
    return "  <style type=\"text/css\">\r\n"
           "  <!--\r\n"
           "    .mapsection {font-family: Tahoma;font-size: 12px;}\r\n"
           "    .mapitem {font-family: Tahoma;font-size: 10px;}\r\n"
           "  -->\r\n"
           "  </style>\r\n";
}

std::string SiteMapBodyTag(const TMapProfile& Profile) {
    return "<body bgcolor=\"" + ColorToHtml(Profile.clrBackground()) + "\"text=\"" +
           ColorToHtml(Profile.clrText()) + "\"link=\"" + ColorToHtml(Profile.clrLink()) + "\"vlink=\"" +
           ColorToHtml(Profile.clrVisited()) + "\"alink=\"" + ColorToHtml(Profile.clrActive()) + "\">\r\n";
}

namespace {

std::string PageHead(const TMapProfile& Profile) {
    std::string head = "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\"><html>\r\n"
                       "<head>\r\n"
                       "  <meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\r\n"
                       "  <title>Site Map</title>\r\n";
    head += SiteMapStyleBlock(Profile);
    head += "</head>\r\n";
    head += SiteMapBodyTag(Profile);
    return head;
}

std::string PageTail() {
    std::string tail(kCrLf);
    tail +=
        "<div style=\"font:normal 11px arial,sans-serif;text-align:center; margin:1em auto;\">::: Made with "
        "Quillmark : <a href=\"";
    tail += output_text::MakerAddress;
    tail += "\" title=\"HTML - FTP - Flash\" style=\"text-decoration: none\"> Web Design Software </a> "
            ":::</div>\r\n";
    tail += "</body>\r\n</html>";
    return tail;
}

} // namespace

std::string WrapSiteMapPage(const TMapProfile& Profile, const std::string& ListText) {
    std::string page = PageHead(Profile);
    const std::string tail = PageTail();
    page.reserve(page.size() + ListText.size() + tail.size());
    page += ListText;
    page += tail;
    return page;
}

TSiteMapImagesShown ComposeSiteMapPage(const TMapProfile& Profile, std::span<const TSiteMapNode> Nodes,
                                       const TSiteMapSink& Sink, const TSiteMapProgress& OnProgress) {
    Sink(PageHead(Profile));
    const TSiteMapImagesShown shown = ComposeHtmlSiteMap(Profile, Nodes, Sink, OnProgress);
    Sink(PageTail());
    return shown;
}
