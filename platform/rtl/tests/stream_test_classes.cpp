#include "stream_test_classes.h"

#include "platform/rtl/strings.h"

#include <bit>
#include <cstdio>

namespace stream_test {

const TPropertyTable& Profile::Table() {
    using P = Profile;
    static const TPropertyTable table(
        &TComponent::Table(),
        {
            BooleanProperty<P>("AddImages", &P::AddImages, &P::AddImages),
            BooleanProperty<P>("NoFolderImages", &P::NoFolderImages, &P::NoFolderImages),
            BooleanProperty<P>("NoFolderLinks", &P::NoFolderLinks, &P::NoFolderLinks),
            BooleanProperty<P>("ClassAttribs", &P::ClassAttribs, &P::ClassAttribs),
            ColorProperty<P>("clrBackground", &P::clrBackground, &P::clrBackground),
            ColorProperty<P>("clrText", &P::clrText, &P::clrText),
            ColorProperty<P>("clrLink", &P::clrLink, &P::clrLink),
            ColorProperty<P>("clrVisited", &P::clrVisited, &P::clrVisited),
            ColorProperty<P>("clrActive", &P::clrActive, &P::clrActive),
            BooleanProperty<P>("ConfirmDelete", &P::ConfirmDelete, &P::ConfirmDelete),
            StringProperty<P>("FileName", &P::FileName, &P::FileName),
            StringProperty<P>("FileTypes", &P::FileTypes, &P::FileTypes),
            StringProperty<P>("IgnoreFolders", &P::IgnoreFolders, &P::IgnoreFolders),
            StringProperty<P>("IgnoreFiles", &P::IgnoreFiles, &P::IgnoreFiles),
            StringProperty<P>("IndexPage", &P::IndexPage, &P::IndexPage),
            BooleanProperty<P>("Modified", &P::Modified, &P::Modified),
            EnumProperty<P>("OutputType", &P::Output, &P::Output,
                            {"moutClipboard", "moutFile", "moutInsert", "moutEditor"}),
            EnumProperty<P>("OutputFormat", &P::Format, &P::Format,
                            {"mfmtList", "mfmtTree", "mfmtParagraph"}),
            StringProperty<P>("OutputFileName", &P::OutputFileName, &P::OutputFileName),
            StringProperty<P>("OutputInsert", &P::OutputInsert, &P::OutputInsert),
            BooleanProperty<P>("Untitled", &P::Untitled, &P::Untitled),
            BooleanProperty<P>("UsePageTitles", &P::UsePageTitles, &P::UsePageTitles),
            BooleanProperty<P>("MakeGoogleSM", &P::MakeGoogleSM, &P::MakeGoogleSM),
            StringProperty<P>("Website", &P::Website, &P::Website),
            EnumProperty<P>("SpiderType", &P::Spider, &P::Spider, {"mstLocal", "mstWebsite"}),
            StringProperty<P>("ServerName", &P::ServerName, &P::ServerName),
            StringProperty<P>("ServerDir", &P::ServerDir, &P::ServerDir),
            BooleanProperty<P>("FtpFiles", &P::FtpFiles, &P::FtpFiles),
            EnumProperty<P>("DefFreq", &P::DefFreq, &P::DefFreq,
                            {"cfNothing", "cfAlways", "cfHourly", "cfDaily", "cfWeekly", "cfMonthly",
                             "cfYearly", "cfNever"}),
            FloatProperty<P>("DefPri", &P::DefPri, &P::DefPri),
            ObjectProperty<P>("FollowQueryParts", &P::FollowQueryParts),
        });
    return table;
}

const TPropertyTable& Settings::Table() {
    using S = Settings;
    static const TPropertyTable table(&TComponent::Table(),
                                      {
                                          StringProperty<S>("LastFile", &S::LastFile, &S::LastFile),
                                          BooleanProperty<S>("LoadLast", &S::LoadLast, &S::LoadLast),
                                          StringProperty<S>("SettingFile", &S::SettingFile, &S::SettingFile),
                                      });
    return table;
}

void SetProfile(Profile& p, const std::string& variant) {
    if (variant == "full") {
        p.AddImages = false;
        p.NoFolderImages = true;
        p.NoFolderLinks = false;
        p.ClassAttribs = false;
        p.clrBackground = 0x123456;
        p.clrText = -1;
        p.clrLink = 200;
        p.clrVisited = clBtnFace;
        p.clrActive = clNone;
        p.ConfirmDelete = false;
        p.FileName = "/tmp/My Site.qpw";
        p.FileTypes = "*.htm;*.html;*.php;";
        p.IgnoreFolders = "http://example.com/private/\r\n" + std::string(290, 'b');
        p.IgnoreFiles = "a.html\r\nb.html";
        p.IndexPage = "/var/www/index.html";
        p.Modified = true;
        p.Output = OutputType::moutEditor;
        p.Format = OutputFormat::mfmtParagraph;
        p.OutputFileName = "/tmp/sitemap-\xC3\xA9t\xC3\xA9.html";
        p.OutputInsert = "/tmp/insert.html";
        p.Untitled = false;
        p.UsePageTitles = false;
        p.MakeGoogleSM = false;
        p.Website = "http://example.com/";
        p.Spider = SpiderType::mstLocal;
        p.ServerName = "My server";
        p.ServerDir = "/public_html";
        p.FtpFiles = true;
        p.DefFreq = ChangeFreq::cfNever;
        p.DefPri = 0.1;
        p.followQueryParts.Add("id=");
        p.followQueryParts.Add("sid=");
        p.followQueryParts.Add(std::string(260, 'q'));
    } else if (variant == "empty") {
        p.clrBackground = 127;
        p.clrText = -128;
        p.clrLink = 32767;
        p.clrVisited = -32769;
        p.clrActive = clDefault;
        p.FileName.clear();
        p.OutputFileName.clear();
        p.Output = OutputType::moutClipboard;
        p.DefFreq = ChangeFreq::cfNothing;
        p.DefPri = 0;
    }
}

void SetSettings(Settings& s, const std::string& variant) {
    s.SettingFile = "/opt/pathweaver/SiteMap.dat";
    if (variant == "full") {
        s.LastFile = "/home/user/Profiles/site.qpw";
        s.LoadLast = true;
        s.SettingFile = "/" + std::string(299, 's');
    }
}

namespace {
std::string Hex(const std::string& s) {
    std::string out;
    for (unsigned char c : s)
        out += IntToHex(c, 2);
    return out;
}

std::string Bool(bool b) {
    return b ? "True" : "False";
}
} // namespace

std::string DumpProfile(Profile& p) {
    std::string out;
    auto line = [&out](const std::string& name, const std::string& value) {
        out += name + "=" + value + "\n";
    };
    line("AddImages", Bool(p.AddImages));
    line("NoFolderImages", Bool(p.NoFolderImages));
    line("NoFolderLinks", Bool(p.NoFolderLinks));
    line("ClassAttribs", Bool(p.ClassAttribs));
    line("clrBackground", IntToStr(p.clrBackground));
    line("clrText", IntToStr(p.clrText));
    line("clrLink", IntToStr(p.clrLink));
    line("clrVisited", IntToStr(p.clrVisited));
    line("clrActive", IntToStr(p.clrActive));
    line("ConfirmDelete", Bool(p.ConfirmDelete));
    line("FileName", Hex(p.FileName));
    line("FileTypes", Hex(p.FileTypes));
    line("IgnoreFolders", Hex(p.IgnoreFolders));
    line("IgnoreFiles", Hex(p.IgnoreFiles));
    line("IndexPage", Hex(p.IndexPage));
    line("Modified", Bool(p.Modified));
    line("OutputType", IntToStr(static_cast<int>(p.Output)));
    line("OutputFormat", IntToStr(static_cast<int>(p.Format)));
    line("OutputFileName", Hex(p.OutputFileName));
    line("OutputInsert", Hex(p.OutputInsert));
    line("Untitled", Bool(p.Untitled));
    line("UsePageTitles", Bool(p.UsePageTitles));
    line("MakeGoogleSM", Bool(p.MakeGoogleSM));
    line("Website", Hex(p.Website));
    line("SpiderType", IntToStr(static_cast<int>(p.Spider)));
    line("ServerName", Hex(p.ServerName));
    line("ServerDir", Hex(p.ServerDir));
    line("FtpFiles", Bool(p.FtpFiles));
    line("DefFreq", IntToStr(static_cast<int>(p.DefFreq)));
    line("DefPri", IntToHex(std::bit_cast<uint64_t>(p.DefPri), 16));
    line("FollowQueryParts", IntToStr(p.followQueryParts.Count()));
    for (int i = 0; i < p.followQueryParts.Count(); ++i)
        out += "  " + Hex(p.followQueryParts.Strings(i)) + "\n";
    return out;
}

std::string DumpSettings(const Settings& s) {
    return "LastFile=" + Hex(s.LastFile) + "\nLoadLast=" + Bool(s.LoadLast) +
           "\nSettingFile=" + Hex(s.SettingFile) + "\n";
}

std::vector<uint8_t> Bytes(const TMemoryStream& stream) {
    return stream.Bytes();
}

std::vector<uint8_t> Bytes(std::string_view text) {
    return {text.begin(), text.end()};
}

std::string HexDump(const std::vector<uint8_t>& bytes) {
    std::string out;
    for (size_t i = 0; i < bytes.size(); ++i) {
        char cell[4];
        std::snprintf(cell, sizeof cell, "%02x", bytes[i]);
        out += cell;
        out += (i % 16 == 15) ? '\n' : ' ';
    }
    return out;
}

} // namespace stream_test
