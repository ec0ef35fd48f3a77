#pragma once
// Captions of the main window's menus, toolbar and the result tree's popup menu.
namespace menu_text {
inline constexpr const char* MainMenu = "Main Menu";
inline constexpr const char* MainToolbar = "Main Toolbar";
inline constexpr const char* File = "&File";
inline constexpr const char* Open = "&Open...";
inline constexpr const char* Save = "&Save";
inline constexpr const char* SaveAs = "Sa&ve As...";
inline constexpr const char* Exit = "E&xit";
inline constexpr const char* Tools = "&Tools";
inline constexpr const char* Options = "&Options...";
inline constexpr const char* FtpUpload = "FTP Upload...";
inline constexpr const char* Help = "&Help";
inline constexpr const char* HelpContents = "Help...";
inline constexpr const char* HelpOnline = "Help Online...";
inline constexpr const char* Support = "Support...";
inline constexpr const char* About = "About...";
inline constexpr const char* AddFolderToIgnoreList = "Add Folder to Ignore List";
inline constexpr const char* AddFileToIgnoreList = "Add File to Ignore List";
inline constexpr const char* DeleteItem = "Delete Item and SubItems";
inline constexpr const char* EditItemText = "Edit Item Text";
inline constexpr const char* Properties = "Properties...";
} // namespace menu_text
