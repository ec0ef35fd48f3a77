#include "app/core/profile_file.h"

#include "app/core/map_profile.h"
#include "app/core/profile_texts.h"
#include "app/core/site_map_settings.h"
#include "platform/rtl/atomic_file.h"
#include "platform/rtl/component_stream.h"
#include "platform/rtl/file_stream.h"
#include "platform/rtl/files.h"
#include "platform/rtl/paths.h"
#include "platform/rtl/stream.h"

#include <string_view>

std::string DefaultProfilesFolder() {
    return UserConfigDir() + profile_text::ProfilesFolder;
}

void ApplyNewProfileDefaults(TMapProfile& Profile) {
    Profile.SetFileTypes(profile_text::DefaultFileTypes);
    Profile.SetWebsite(profile_text::NewWebsite);
    Profile.SetMakeGoogleSM(true);
    // What loading and saving give every profile: a new one makes the same page as after its first save.
    Profile.SetNoFolderLinks(false);
    Profile.SetModified(false);
}

void LoadProfileFile(TMapProfile& Profile, const std::string& FileName, TSiteMapSettings* Settings) {
    TMapProfile read;
    ApplyNewProfileDefaults(read);
    read.SetMakeGoogleSM(false);
    {
        TFileStream stream(FileName, fmOpenRead);
        ReadComponent(stream, &read);
    }
    read.SetFileName(FileName);
    read.SetOutputFormat(mfmtList);
    read.SetClassAttribs(true);
    read.SetNoFolderLinks(false);
    read.SetMakeGoogleSM(true);
    Profile.Assign(&read);
    if (Settings) Settings->SetLastFile(FileName);
}

void ApplyShownProfile(TMapProfile& Profile) {
    if (Profile.OutputType() == moutInsert || Profile.OutputType() == moutClipboard)
        Profile.SetOutputType(moutFile);
    Profile.SetModified(false);
}

namespace {

// UnlessSame: a file that holds the same bytes already is left alone (the save after a run, which mostly
// changes nothing); a save the user asks for always writes.
void WriteProfile(TMapProfile& Profile, TSiteMapSettings* Settings, bool UnlessSame) {
    Profile.SetOutputFormat(mfmtList);
    Profile.SetClassAttribs(true);
    // The value a loaded profile gets, so that a save does not change the page the same tree gives.
    Profile.SetNoFolderLinks(false);
    TMemoryStream stream;
    WriteComponent(stream, &Profile);
    const std::vector<uint8_t>& bytes = stream.Bytes();
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (UnlessSame)
        WriteFileAtomicallyIfChanged(Profile.FileName(), text);
    else
        WriteFileAtomically(Profile.FileName(), text);
    Profile.SetModified(false);
    if (Settings) Settings->SetLastFile(Profile.FileName());
}

} // namespace

void SaveProfileFile(TMapProfile& Profile, TSiteMapSettings* Settings) {
    WriteProfile(Profile, Settings, false);
}

TProfileDialogStart SaveAsDialogStart(const TMapProfile& Profile) {
    if (Profile.Untitled()) return {DefaultProfilesFolder(), profile_text::UntitledName};
    const std::string folder = ExtractFilePath(Profile.FileName());
    return {DirectoryExists(folder) ? folder : std::string(), Profile.FileName()};
}

TProfileDialogStart OpenDialogStart(const TMapProfile& Profile) {
    TProfileDialogStart start;
    const std::string folder = ExtractFilePath(Profile.FileName());
    if (!folder.empty() && DirectoryExists(folder))
        start.InitialDir = folder;
    else if (DirectoryExists(DefaultProfilesFolder()))
        start.InitialDir = DefaultProfilesFolder();
    if (FileExists(Profile.FileName())) start.FileName = Profile.FileName();
    return start;
}

bool SaveProfileAs(TMapProfile& Profile, TSiteMapSettings* Settings,
                   const std::optional<std::string>& ChosenName) {
    if (!ChosenName || ChosenName->empty()) return false;
    Profile.SetFileName(*ChosenName);
    SaveProfileFile(Profile, Settings);
    return true;
}

bool SaveCurrentProfile(TMapProfile& Profile, TSiteMapSettings* Settings, const TAskProfileName& AskName) {
    if (Profile.Untitled()) {
        ForceDirectories(DefaultProfilesFolder());
        return SaveProfileAs(Profile, Settings, AskName(SaveAsDialogStart(Profile)));
    }
    SaveProfileFile(Profile, Settings);
    return true;
}

bool ResolveModifiedProfile(const TMapProfile& Profile, const std::function<TSaveAnswer()>& Ask,
                            const std::function<bool()>& SaveCurrent) {
    if (!Profile.Modified()) return true;
    switch (Ask()) {
    case TSaveAnswer::Yes:
        return SaveCurrent();
    case TSaveAnswer::No:
        return true;
    case TSaveAnswer::Cancel:
        return false;
    }
    return false;
}

void SaveProfileAfterOutput(TMapProfile& Profile, TSiteMapSettings* Settings,
                            const TAskReplaceProfile& AskReplace) {
    if (!Profile.Untitled()) {
        WriteProfile(Profile, Settings, true);
        return;
    }
    if (!FileExists(Profile.OutputFileName())) return;
    const std::string target = ChangeFileExt(Profile.OutputFileName(), ".qpw");
    // Another profile of that name is somebody's work: never replaced without a yes.
    if (FileExists(target) && (!AskReplace || !AskReplace(target))) return;
    Profile.SetFileName(target);
    WriteProfile(Profile, Settings, true);
}
