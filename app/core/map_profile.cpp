#include "app/core/map_profile.h"

#include "app/core/lm_files.h"
#include "app/core/profile_texts.h"
#include "platform/rtl/defined_properties.h"
#include "platform/rtl/published.h"
#include "platform/rtl/writer.h"

TMapProfile::TMapProfile(TComponent* AOwner) : TComponent(AOwner) {
    v_.FileName = profile_text::UntitledName;
    v_.OutputFileName = IncludeBackslash(DesktopFolder()) + profile_text::DefaultOutputName;
}

const TPropertyTable& TMapProfile::Table() {
    using P = TMapProfile;
    static const TPropertyTable table(
        &TComponent::Table(),
        {
            BooleanProperty<P>("AddImages", &P::AddImages, &P::SetAddImages),
            BooleanProperty<P>("NoFolderImages", &P::NoFolderImages, &P::SetNoFolderImages),
            BooleanProperty<P>("NoFolderLinks", &P::NoFolderLinks, &P::SetNoFolderLinks),
            BooleanProperty<P>("ClassAttribs", &P::ClassAttribs, &P::SetClassAttribs),
            ColorProperty<P>("clrBackground", &P::clrBackground, &P::SetclrBackground),
            ColorProperty<P>("clrText", &P::clrText, &P::SetclrText),
            ColorProperty<P>("clrLink", &P::clrLink, &P::SetclrLink),
            ColorProperty<P>("clrVisited", &P::clrVisited, &P::SetclrVisited),
            ColorProperty<P>("clrActive", &P::clrActive, &P::SetclrActive),
            BooleanProperty<P>("ConfirmDelete", &P::ConfirmDelete, &P::SetConfirmDelete),
            StringProperty<P>("FileName", &P::FileName, &P::SetFileName),
            StringProperty<P>("FileTypes", &P::FileTypes, &P::SetFileTypes),
            StringProperty<P>("IgnoreFolders", &P::IgnoreFolders, &P::SetIgnoreFolders),
            StringProperty<P>("IgnoreFiles", &P::IgnoreFiles, &P::SetIgnoreFiles),
            StringProperty<P>("IndexPage", &P::IndexPage, &P::SetIndexPage),
            BooleanProperty<P>("Modified", &P::Modified, &P::SetModified),
            EnumProperty<P>("OutputType", &P::OutputType, &P::SetOutputType,
                            {"moutClipboard", "moutFile", "moutInsert", "moutEditor"}),
            EnumProperty<P>("OutputFormat", &P::OutputFormat, &P::SetOutputFormat,
                            {"mfmtList", "mfmtTree", "mfmtParagraph"}),
            StringProperty<P>("OutputFileName", &P::OutputFileName, &P::SetOutputFileName),
            StringProperty<P>("OutputInsert", &P::OutputInsert, &P::SetOutputInsert),
            BooleanProperty<P>("Untitled", &P::Untitled, &P::SetUntitled),
            BooleanProperty<P>("UsePageTitles", &P::UsePageTitles, &P::SetUsePageTitles),
            BooleanProperty<P>("MakeGoogleSM", &P::MakeGoogleSM, &P::SetMakeGoogleSM),
            StringProperty<P>("Website", &P::Website, &P::SetWebsite),
            EnumProperty<P>("SpiderType", &P::SpiderType, &P::SetSpiderType, {"mstLocal", "mstWebsite"}),
            StringProperty<P>("ServerName", &P::ServerName, &P::SetServerName),
            StringProperty<P>("ServerDir", &P::ServerDir, &P::SetServerDir),
            BooleanProperty<P>("FtpFiles", &P::FtpFiles, &P::SetFtpFiles),
            EnumProperty<P>("DefFreq", &P::DefFreq, &P::SetDefFreq,
                            {"cfNothing", "cfAlways", "cfHourly", "cfDaily", "cfWeekly", "cfMonthly",
                             "cfYearly", "cfNever"}),
            FloatProperty<P>("DefPri", &P::DefPri, &P::SetDefPri),
            ObjectProperty<P>("FollowQueryParts", static_cast<TStringList* (P::*)()>(&P::FollowQueryParts)),
        });
    return table;
}

void TMapProfile::Assign(TPersistent* Source) {
    if (auto* other = dynamic_cast<TMapProfile*>(Source)) {
        v_ = other->v_;
        followQueryParts_.Assign(other->followQueryParts_);
        return;
    }
    TComponent::Assign(Source);
}

void TMapProfile::WriteState(TWriter& Writer) {
    for (const TPropInfo& info : Table().Properties()) {
        if (info.Name == "DefPri" && v_.DefPri == 0) {
            Writer.WritePropName(info.Name);
            Writer.WriteFloat(0);
            continue;
        }
        Writer.WriteProperty(this, info);
    }
    DefineStoredData(Writer, this);
    Writer.WriteListEnd();
    Writer.WriteListEnd();
}

void TMapProfile::SetFileName(const std::string& Value) {
    v_.FileName = Value;
    v_.Untitled = false;
}

void TMapProfile::SetFollowQueryText(const std::string& Text) {
    if (followQueryParts_.Text() == Text) return;
    followQueryParts_.SetText(Text);
    v_.Modified = true;
}
