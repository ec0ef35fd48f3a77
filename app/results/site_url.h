#pragma once
// Web addresses of local files: the site address joined to a path relative to the scanned folder.
#include <string>
#include <string_view>

namespace results {

// One path segment percent-encoded as UTF-8 bytes: unreserved and sub-delimiter characters, ":" and
// "@" stay, a valid "%XX" stays, everything else (blank included) becomes "%XX".
std::string EncodePathSegment(std::string_view Segment);
// Website, exactly one "/", then RelativePath ("/"-separated, a trailing "/" kept) with each segment
// encoded. An empty RelativePath gives the site address with its trailing "/".
std::string SiteUrl(std::string_view Website, std::string_view RelativePath);
// The address the scanned folder stands for. A site address whose last part names a file (IndexName, the
// index page's file name, or any name with a file type) stands for that file's folder, up to its last "/";
// any other address is taken as it is.
std::string SiteFolder(std::string_view Website, std::string_view IndexName);

} // namespace results
