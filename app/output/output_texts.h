#pragma once
// Fixed names and texts of the site-map outputs.
namespace output_text {
inline constexpr const char* MakerAddress = "https://www.quillmark.com/";
inline constexpr const char* SitemapNamespace = "http://www.sitemaps.org/schemas/sitemap/0.9";
inline constexpr const char* SchemaInstanceNamespace = "http://www.w3.org/2001/XMLSchema-instance";
inline constexpr const char* ImagesFolder = "smimages/";
inline constexpr const char* FolderImage = "smfolder.gif";
inline constexpr const char* FileImage = "smfile.gif";
inline constexpr const char* PictureImage = "smimg.gif";

inline constexpr const char* XmlOverPage = "The XML sitemap would replace the site map page \"%s\". Please "
                                           "choose a page name that does not end in \".xml\".";
inline constexpr const char* NoPages = "The site map has no pages to write.";
inline constexpr const char* NoOutputFile = "Please choose the file to save the site map to.";
// Ends what the window shows of a page too long to show whole: its size in bytes and where it is.
inline constexpr const char* PageCut = "\r\n\r\n[The site map is %s bytes long, more than is shown here. The "
                                       "whole of it is in %s.]";
inline constexpr const char* ClipboardName = "the clipboard";
inline constexpr const char* Complete = "Site Map Complete!";
} // namespace output_text
