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
    const std::vector<std::string>& Segments() const {
        MakeLists();
        return segments_;
    }
    const std::vector<std::string>& Prefixes() const {
        MakeLists();
        return prefixes_;
    }
    bool HasFile() const { return hasFile_; }

    bool HasQuery() const { return uri_.HasQuery(); }
    std::string FolderOf() const;
    std::string FileAddress() const;
    std::string FullAddress() const;

private:
    std::string Root() const;
    void Split();
    // The segments and prefixes, made when first asked for: a link filter asks only whether there is a
    // file and its name.
    void MakeLists() const;

    TDIUri uri_;
    std::string url_;
    std::string path_;
    std::string fileName_;
    mutable std::vector<std::string> segments_;
    mutable std::vector<std::string> prefixes_;
    mutable bool listsMade_ = false;
    bool hasFile_ = false;
    bool parsed_ = false;
};
