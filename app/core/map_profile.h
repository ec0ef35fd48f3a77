#pragma once
// Every per-site setting of a site map, streamed whole as a profile file.
#include "app/core/change_freq.h"
#include "platform/rtl/colors.h"
#include "platform/rtl/component.h"
#include "platform/rtl/string_list.h"

#include <string>

class TWriter;

enum TMapOutputType { moutClipboard, moutFile, moutInsert, moutEditor };
enum TMapOutputFormat { mfmtList, mfmtTree, mfmtParagraph };
enum TMapSpiderType { mstLocal, mstWebsite };

class TMapProfile : public TComponent {
public:
    explicit TMapProfile(TComponent* AOwner = nullptr);
    std::string ClassName() const override { return "TMapProfile"; }
    static const TPropertyTable& Table();
    const TPropertyTable* PublishedProperties() const override { return &Table(); }
    // Copies every setting of another profile as it stands, without setters.
    void Assign(TPersistent* Source) override;
    // Writes DefPri even when it is 0, so that a priority of 0 reads back as 0.
    void WriteState(TWriter& Writer) override;

    bool AddImages() const { return v_.AddImages; }
    void SetAddImages(bool Value) { Store(v_.AddImages, Value); }
    bool NoFolderImages() const { return v_.NoFolderImages; }
    void SetNoFolderImages(bool Value) { Store(v_.NoFolderImages, Value); }
    bool NoFolderLinks() const { return v_.NoFolderLinks; }
    void SetNoFolderLinks(bool Value) { Store(v_.NoFolderLinks, Value); }
    bool ClassAttribs() const { return v_.ClassAttribs; }
    void SetClassAttribs(bool Value) { Store(v_.ClassAttribs, Value); }
    // The colour properties carry the profile's field names (clrText...), small letters first.
    // NOLINTBEGIN(readability-identifier-naming)
    TColor clrBackground() const { return v_.clrBackground; }
    void SetclrBackground(TColor Value) { Store(v_.clrBackground, Value); }
    TColor clrText() const { return v_.clrText; }
    void SetclrText(TColor Value) { Store(v_.clrText, Value); }
    TColor clrLink() const { return v_.clrLink; }
    void SetclrLink(TColor Value) { Store(v_.clrLink, Value); }
    TColor clrVisited() const { return v_.clrVisited; }
    void SetclrVisited(TColor Value) { Store(v_.clrVisited, Value); }
    TColor clrActive() const { return v_.clrActive; }
    void SetclrActive(TColor Value) { Store(v_.clrActive, Value); }
    // NOLINTEND(readability-identifier-naming)
    bool ConfirmDelete() const { return v_.ConfirmDelete; }
    void SetConfirmDelete(bool Value) { Store(v_.ConfirmDelete, Value); }
    const std::string& FileName() const { return v_.FileName; }
    // Naming the profile makes it titled; it does not count as a change of its settings.
    void SetFileName(const std::string& Value);
    const std::string& FileTypes() const { return v_.FileTypes; }
    void SetFileTypes(const std::string& Value) { Store(v_.FileTypes, Value); }
    const std::string& IgnoreFolders() const { return v_.IgnoreFolders; }
    void SetIgnoreFolders(const std::string& Value) { Store(v_.IgnoreFolders, Value); }
    const std::string& IgnoreFiles() const { return v_.IgnoreFiles; }
    void SetIgnoreFiles(const std::string& Value) { Store(v_.IgnoreFiles, Value); }
    const std::string& IndexPage() const { return v_.IndexPage; }
    void SetIndexPage(const std::string& Value) { Store(v_.IndexPage, Value); }
    bool Modified() const { return v_.Modified; }
    void SetModified(bool Value) { v_.Modified = Value; }
    TMapOutputType OutputType() const { return v_.OutputType; }
    void SetOutputType(TMapOutputType Value) { Store(v_.OutputType, Value); }
    TMapOutputFormat OutputFormat() const { return v_.OutputFormat; }
    void SetOutputFormat(TMapOutputFormat Value) { Store(v_.OutputFormat, Value); }
    const std::string& OutputFileName() const { return v_.OutputFileName; }
    void SetOutputFileName(const std::string& Value) { Store(v_.OutputFileName, Value); }
    const std::string& OutputInsert() const { return v_.OutputInsert; }
    void SetOutputInsert(const std::string& Value) { Store(v_.OutputInsert, Value); }
    bool Untitled() const { return v_.Untitled; }
    void SetUntitled(bool Value) { v_.Untitled = Value; }
    bool UsePageTitles() const { return v_.UsePageTitles; }
    void SetUsePageTitles(bool Value) { Store(v_.UsePageTitles, Value); }
    bool MakeGoogleSM() const { return v_.MakeGoogleSM; }
    void SetMakeGoogleSM(bool Value) { Store(v_.MakeGoogleSM, Value); }
    const std::string& Website() const { return v_.Website; }
    void SetWebsite(const std::string& Value) { Store(v_.Website, Value); }
    TMapSpiderType SpiderType() const { return v_.SpiderType; }
    void SetSpiderType(TMapSpiderType Value) { Store(v_.SpiderType, Value); }
    const std::string& ServerName() const { return v_.ServerName; }
    void SetServerName(const std::string& Value) { Store(v_.ServerName, Value); }
    const std::string& ServerDir() const { return v_.ServerDir; }
    void SetServerDir(const std::string& Value) { Store(v_.ServerDir, Value); }
    bool FtpFiles() const { return v_.FtpFiles; }
    void SetFtpFiles(bool Value) { Store(v_.FtpFiles, Value); }
    ChangeFreqType DefFreq() const { return v_.DefFreq; }
    void SetDefFreq(ChangeFreqType Value) { Store(v_.DefFreq, Value); }
    double DefPri() const { return v_.DefPri; }
    void SetDefPri(double Value) { Store(v_.DefPri, Value); }

    TStringList* FollowQueryParts() { return &followQueryParts_; }
    const TStringList& FollowQueryPartsList() const { return followQueryParts_; }
    // Takes Text as the list's lines when it differs from the list's whole text.
    void SetFollowQueryText(const std::string& Text);

private:
    template <class V> void Store(V& field, const V& value) {
        if (field == value) return;
        field = value;
        v_.Modified = true;
    }

    struct Values {
        bool AddImages = true;
        bool NoFolderImages = false;
        bool NoFolderLinks = true;
        bool ClassAttribs = true;
        TColor clrBackground = clWhite;
        TColor clrText = clBlack;
        TColor clrLink = clBlue;
        TColor clrVisited = clPurple;
        TColor clrActive = clRed;
        bool ConfirmDelete = true;
        std::string FileName;
        std::string FileTypes;
        std::string IgnoreFolders;
        std::string IgnoreFiles;
        std::string IndexPage;
        bool Modified = false;
        TMapOutputType OutputType = moutFile;
        TMapOutputFormat OutputFormat = mfmtList;
        std::string OutputFileName;
        std::string OutputInsert;
        bool Untitled = true;
        bool UsePageTitles = true;
        bool MakeGoogleSM = true;
        std::string Website;
        TMapSpiderType SpiderType = mstWebsite;
        std::string ServerName;
        std::string ServerDir;
        bool FtpFiles = false;
        ChangeFreqType DefFreq = cfMonthly;
        double DefPri = 0.5;
    };
    Values v_;
    TStringList followQueryParts_;
};
