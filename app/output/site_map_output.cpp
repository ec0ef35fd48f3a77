#include "app/output/site_map_output.h"

#include <algorithm>
#include <functional>
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
// Whether the page shows the image. A page of many thousand lines has a "<" every few bytes, so the
// search skips along the whole tag rather than stopping at each of them.
bool ShowsImage(std::string_view Page, const char* Name) {
    const std::string tag = std::string("<img src=\"") + Name + '"';
    return std::search(Page.begin(), Page.end(),
                       std::boyer_moore_horspool_searcher(tag.begin(), tag.end())) != Page.end();
}

bool EndsWithXml(const std::string& name) {
    return name.size() >= 4 && SameText(name.substr(name.size() - 4), ".xml");
}

// Only the images the page shows, so that the upload list names no file the page does not need.
void AppendCopiedImages(const TMapProfile& Profile, const std::string& FileName, const std::string& ListText,
                        const std::string& ProgramFolder, TSiteMapResult& Result) {
    for (std::string& copied : CopySiteMapImages(Profile, FileName, ProgramFolder, &ListText))
        Result.FilesWritten.push_back(std::move(copied));
}
} // namespace

std::vector<std::string> CopySiteMapImages(const TMapProfile& Profile, const std::string& FileName,
                                           const std::string& ProgramFolder, const std::string* ListText) {
    std::vector<std::string> copied;
    if (!Profile.AddImages()) return copied;
    const std::string target = ExtractFilePath(FileName);
    std::string source = IncludeTrailingPathDelimiter(ProgramFolder) + output_text::ImagesFolder;
    if (!FileExists(source + output_text::FolderImage)) source = IncludeTrailingPathDelimiter(ProgramFolder);
    for (const char* name : {output_text::FolderImage, output_text::FileImage, output_text::PictureImage}) {
        if (ListText && !ShowsImage(*ListText, name)) continue;
        const std::string from = source + name;
        const std::string to = target + name;
        if (FileExists(from) && !FileExists(to) && CopyFile(from, to)) copied.push_back(to);
    }
    return copied;
}

namespace {
// Throws when the profile's file output cannot be written at all, before anything is.
void CheckFileOutput(const TMapProfile& Profile) {
    const std::string& fileName = Profile.OutputFileName();
    if (fileName.empty()) throw ESiteMapOutputError(output_text::NoOutputFile);
    // The sitemap would replace the page itself.
    if (XmlSitemapWanted(Profile) && EndsWithXml(fileName))
        throw ESiteMapOutputError(Format(output_text::XmlOverPage, fileName.c_str()));
}

// Writes the page around ListText, then commits the sitemap Xml has written meanwhile, then copies the
// images. Each file is replaced whole or not at all. Raises on failure; Result then lists what was
// written so far. The list text becomes the page in Result.GeneratedHtml.
void SaveSiteMapFile(const TMapProfile& Profile, TXmlSitemapJob* Xml, std::string ListText,
                     const std::string& ProgramFolder, TSiteMapResult& Result) {
    const std::string& fileName = Profile.OutputFileName();
    Result.GeneratedHtml = std::move(ListText);
    WrapSiteMapPageInPlace(Profile, Result.GeneratedHtml);
    // The page holds the list and nothing else that names an image.
    const std::string& page = Result.GeneratedHtml;
    WriteFileAtomically(fileName, page);
    Result.FilesWritten.push_back(fileName);
    if (Xml) {
        Xml->Commit();
        Result.XmlFileName = XmlFileNameFor(fileName);
        Result.FilesWritten.push_back(Result.XmlFileName);
    }
    AppendCopiedImages(Profile, fileName, page, ProgramFolder, Result);
    Result.UploadList = Result.FilesWritten;
    if (!Profile.AddImages()) return;
    for (const char* name : {output_text::FolderImage, output_text::FileImage, output_text::PictureImage}) {
        const std::string image = ExtractFilePath(fileName) + name;
        if (ShowsImage(page, name) && FileExists(image) &&
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
        result.GeneratedHtml = BuildHtmlSiteMap(Profile, Nodes, Context.OnProgress);
        if (toFile)
            SaveSiteMapFile(Profile, xml ? &*xml : nullptr, std::move(result.GeneratedHtml),
                            Context.ProgramFolder, result);
        else
            (Context.Clipboard ? *Context.Clipboard : Clipboard()).SetAsText(result.GeneratedHtml);
        result.Success = true;
        result.Message = output_text::Complete;
    } catch (const Exception& e) {
        result.Message = e.Message();
    }
    return result;
}
