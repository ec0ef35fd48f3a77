#pragma once
// Splits a web address into its folder prefixes and its file part.
#include <string>
#include <vector>

#include "fetch/html/uri.h"
#include "platform/rtl/object.h"

class TURLparts : public TObject {
public:
    std::string ClassName() const override { return "TURLparts"; }

    const std::string& URL() const { return url_; }
    void SetURL(const std::string& url);

    const TDIUri& Uri() const { return uri_; }
    // False when the address did not parse (Uri() is then not to be relied on).
    bool Parsed() const { return parsed_; }
    const std::string& FileName() const { return fileName_; }
    const std::vector<std::string>& Segments() const { return segments_; }
    const std::vector<std::string>& Prefixes() const { return prefixes_; }
    bool HasFile() const { return hasFile_; }

    bool HasQuery() const { return uri_.HasQuery(); }
    std::string FolderOf() const;
    std::string FileAddress() const;
    std::string FullAddress() const;

private:
    std::string Root() const;
    void Split();

    TDIUri uri_;
    std::string url_;
    std::string fileName_;
    std::vector<std::string> segments_;
    std::vector<std::string> prefixes_;
    bool hasFile_ = false;
    bool parsed_ = false;
};
