#pragma once
// Texts and names the profile, settings and placement files use.
namespace profile_text {
inline constexpr const char* UntitledName = "Untitled.qpw";
inline constexpr const char* ProfilesFolder = "Profiles/";
inline constexpr const char* DefaultExt = "qpw";
inline constexpr const char* DialogFilter = "Quillmark Pathweaver Profile (*.qpw)|*.qpw";
inline constexpr const char* DefaultOutputName = "sitemap.html";
inline constexpr const char* DefaultFileTypes =
    "*.htm;*.html;*.shtm;*.shtml;*.txt;*.php;*.php4;*.php5;*.pdf;*.swf;*.asp;*.cfm;";
inline constexpr const char* NewWebsite = "http://";
inline constexpr const char* SaveCaption = "Save Profile";
inline constexpr const char* SaveQuestion =
    "The settings for the current profile have changed.\n\nDo you wish to save this profile?";
inline constexpr const char* SettingsFileName = "SiteMap.dat";
inline constexpr const char* PlacementFileName = "forminfo.ini";
inline constexpr const char* PlacementSectionSuffix = "Position";
} // namespace profile_text
