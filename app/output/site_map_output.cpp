#include "app/output/site_map_output.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>

#include "app/core/lm_files.h"
#include "app/core/map_profile.h"
#include "app/core/output_names.h"
#include "app/output/output_error.h"
#include "app/output/output_texts.h"
#include "app/output/xml_sitemap.h"
#include "app/output/xml_sitemap_job.h"
#include "platform/rtl/atomic_file.h"
#include "platform/rtl/files.h"
#include "platform/rtl/format.h"
#include "platform/rtl/strings.h"
#include "platform/vcl/clipboard.h"

namespace {
bool EndsWithXml(const std::string& name) {
    return name.size() >= 4 && SameText(name.substr(name.size() - 4), ".xml");
}

bool Shown(const TSiteMapImagesShown& Shown, std::string_view Name) {
    return Name == output_text::FolderImage ? Shown.Folder
           : Name == output_text::FileImage ? Shown.File
                                            : Shown.Picture;
}

// The first part of a page, for the window: the file holds the whole page, which can run to gigabytes.
class ShownPart {
public:
    // Room foreseen for the page: a part grown by doubling would take twice what it holds.
    explicit ShownPart(size_t room) { text_.reserve(std::min(room, kShownPageLimit)); }
    void Take(std::string_view piece) {
        total_ += piece.size();
        if (text_.size() < kShownPageLimit) text_.append(piece.substr(0, kShownPageLimit - text_.size()));
    }
    // The text, cut after its last whole line and saying so when the page is longer.
    std::string Finish(const std::string& FileName) {
        if (total_ <= kShownPageLimit) return std::move(text_);
        const size_t lineEnd = text_.rfind("\r\n");
        text_.resize(lineEnd == std::string::npos ? 0 : lineEnd);
        text_ +=
            Format(output_text::PageCut, IntToStr(static_cast<int64_t>(total_)).c_str(), FileName.c_str());
        return std::move(text_);
    }

private:
    std::string text_;
    size_t total_ = 0;
};

// Only the images the page shows, so that the upload list names no file the page does not need.
std::vector<std::string> CopyImages(const TMapProfile& Profile, const std::string& FileName,
                                    const std::string& ProgramFolder, const TSiteMapImagesShown& Images) {
    std::vector<std::string> copied;
    if (!Profile.AddImages()) return copied;
    const std::string target = ExtractFilePath(FileName);
    std::string source = IncludeTrailingPathDelimiter(ProgramFolder) + output_text::ImagesFolder;
    if (!FileExists(source + output_text::FolderImage)) source = IncludeTrailingPathDelimiter(ProgramFolder);
    for (const char* name : {output_text::FolderImage, output_text::FileImage, output_text::PictureImage}) {
        if (!Shown(Images, name)) continue;
        const std::string from = source + name;
        const std::string to = target + name;
        if (FileExists(from) && !FileExists(to) && CopyFile(from, to)) copied.push_back(to);
    }
    return copied;
}

// Throws when the profile's file output cannot be written at all, before anything is.
void CheckFileOutput(const TMapProfile& Profile) {
    const std::string& fileName = Profile.OutputFileName();
    if (fileName.empty()) throw ESiteMapOutputError(output_text::NoOutputFile);
    // The sitemap would replace the page itself.
    if (XmlSitemapWanted(Profile) && EndsWithXml(fileName))
        throw ESiteMapOutputError(Format(output_text::XmlOverPage, fileName.c_str()));
}

// Writes the page as it is made, then commits the sitemap Xml has written meanwhile, then copies the
// images. Each file is replaced whole or not at all. Raises on failure; Result then lists what was
// written so far. Result.GeneratedHtml gets what the window shows of the page.
void SaveSiteMapFile(const TMapProfile& Profile, std::span<const TSiteMapNode> Nodes, TXmlSitemapJob* Xml,
                     const TSiteMapOutputContext& Context, TSiteMapResult& Result) {
    const std::string& fileName = Profile.OutputFileName();
    ShownPart shown(HtmlSiteMapRoom(Profile, Nodes));
    TAtomicFileStream page(fileName);
    const TSiteMapImagesShown images = ComposeSiteMapPage(
        Profile, Nodes,
        [&](std::string_view piece) {
            page.WriteBuffer(piece.data(), static_cast<int64_t>(piece.size()));
            shown.Take(piece);
        },
        Context.OnProgress);
    page.Commit();
    Result.GeneratedHtml = shown.Finish(fileName);
    Result.FilesWritten.push_back(fileName);
    if (Xml) {
        Xml->Commit();
        Result.XmlTooLong = Xml->TooLong();
        Result.XmlFileName = XmlFileNameFor(fileName);
        Result.FilesWritten.push_back(Result.XmlFileName);
    }
    for (std::string& copied : CopyImages(Profile, fileName, Context.ProgramFolder, images))
        Result.FilesWritten.push_back(std::move(copied));
    Result.UploadList = Result.FilesWritten;
    if (!Profile.AddImages()) return;
    for (const char* name : {output_text::FolderImage, output_text::FileImage, output_text::PictureImage}) {
        const std::string image = ExtractFilePath(fileName) + name;
        if (Shown(images, name) && FileExists(image) &&
            std::find(Result.UploadList.begin(), Result.UploadList.end(), image) == Result.UploadList.end())
            Result.UploadList.push_back(image);
    }
}
} // namespace

TSiteMapResult GenerateSiteMapOutput(const TMapProfile& Profile, std::span<const TSiteMapNode> Nodes,
                                     const TSiteMapOutputContext& Context) {
    TSiteMapResult result;
    try {
        if (Nodes.empty()) throw ESiteMapOutputError(output_text::NoPages);
        // Every output type but the clipboard writes the page to its own file (an insert is never
        // spliced into a page).
        const bool toFile = Profile.OutputType() != moutClipboard;
        if (toFile) CheckFileOutput(Profile);
        // The sitemap is written while the page is built.
        std::optional<TXmlSitemapJob> xml;
        if (toFile && XmlSitemapWanted(Profile)) xml.emplace(XmlFileNameFor(Profile.OutputFileName()), Nodes);
        if (toFile) {
            SaveSiteMapFile(Profile, Nodes, xml ? &*xml : nullptr, Context, result);
        } else {
            const std::string list = BuildHtmlSiteMap(Profile, Nodes, Context.OnProgress);
            (Context.Clipboard ? *Context.Clipboard : Clipboard()).SetAsText(list);
            ShownPart shown(list.size());
            shown.Take(list);
            result.GeneratedHtml = shown.Finish(output_text::ClipboardName);
        }
        result.Success = true;
        result.Message = output_text::Complete;
    } catch (const Exception& e) {
        result.Message = e.Message();
    }
    return result;
}
