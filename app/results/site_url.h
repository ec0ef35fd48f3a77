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

} // namespace results
