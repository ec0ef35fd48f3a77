#pragma once
// Profile files: loading, saving and the decisions around the file dialogs, without the dialogs.
#include <functional>
#include <optional>
#include <string>

class TMapProfile;
class TSiteMapSettings;

// UserConfigDir() + "Profiles/".
std::string DefaultProfilesFolder();
// The values the main window gives a new profile on top of the class defaults: the file types, the
// address "http://" and the XML sitemap switch.
void ApplyNewProfileDefaults(TMapProfile& Profile);

// Reads a profile file into Profile. What the file does not hold takes the value of a new profile, and
// FileName becomes the path opened. A file that cannot be read raises and leaves Profile and Settings
// as they were; on success Settings (when given) records the file as the last one used.
void LoadProfileFile(TMapProfile& Profile, const std::string& FileName, TSiteMapSettings* Settings);
// What showing a profile changes in it: only the file output is offered, and the shown profile is clean.
void ApplyShownProfile(TMapProfile& Profile);
// Writes Profile to its FileName through a temporary file; raises EFCreateError and keeps the old file
// when that fails. On success the profile is clean and Settings records the file.
void SaveProfileFile(TMapProfile& Profile, TSiteMapSettings* Settings);

// Where a profile file dialog starts.
struct TProfileDialogStart {
    std::string InitialDir;
    std::string FileName;
};
TProfileDialogStart SaveAsDialogStart(const TMapProfile& Profile);
TProfileDialogStart OpenDialogStart(const TMapProfile& Profile);

// The name the user chose in the save dialog, or nothing for Cancel.
using TAskProfileName = std::function<std::optional<std::string>(const TProfileDialogStart&)>;
// Names the profile and saves it; false (and nothing changed) when no name was chosen.
bool SaveProfileAs(TMapProfile& Profile, TSiteMapSettings* Settings,
                   const std::optional<std::string>& ChosenName);
// Save As for an untitled profile, else a plain save.
bool SaveCurrentProfile(TMapProfile& Profile, TSiteMapSettings* Settings, const TAskProfileName& AskName);

enum class TSaveAnswer { Yes, No, Cancel };
// Whether the current profile may be replaced or closed: asks only when it is modified; Yes goes on
// only when the save succeeds, No goes on, Cancel stops.
bool ResolveModifiedProfile(const TMapProfile& Profile, const std::function<TSaveAnswer()>& Ask,
                            const std::function<bool()>& SaveCurrent);
// Answers whether an untitled profile may replace the existing profile file of that name.
using TAskReplaceProfile = std::function<bool(const std::string& FileName)>;
// After a file output: a titled profile is saved; an untitled one is saved beside the output file
// under the output's name with ".qpw" — over an existing file only when AskReplace agrees (without
// AskReplace, as in an unattended run, an existing file is left alone and the profile stays untitled).
void SaveProfileAfterOutput(TMapProfile& Profile, TSiteMapSettings* Settings,
                            const TAskReplaceProfile& AskReplace = nullptr);
