#pragma once
// Captions and messages of the options, item-properties, about and exit windows.
namespace dialog_text {
inline constexpr const char* ChangeFrequencies =
    "unspecified\nalways\nhourly\ndaily\nweekly\nmonthly\nyearly\nnever";
inline constexpr const char* MultipleFilesSelected = "Multiple Files Selected";
inline constexpr const char* AppName = "Quillmark Pathweaver";
inline constexpr const char* AppVersion = "Version 4.5";
inline constexpr const char* ProductPage = "https://www.quillmark.com/pathweaver/";
inline constexpr const char* MakerDetails =
    "Quillmark Software\n100 Harbour Street, Suite 4\nKingsport KP1 2AB\nTelephone: 555-0142";
// The exit window's own addresses, and those the main window hands it.
inline constexpr const char* HostingRedirect = "https://www.quillmark.com/redirect/hosting/";
inline constexpr const char* SalesPage = "https://www.quillmark.com/store/pathweaver/";
inline constexpr const char* SubmitPage = "https://www.quillmark.com/pathweaver/submit/";
inline constexpr const char* ExitHostingRedirect = "https://www.quillmark.com/redirect/pathweaver-hosting/";
inline constexpr const char* ExitSalesPage = "https://www.quillmark.com/store/pathweaver/?from=exit";
// The profile options window.
inline constexpr const char* ResetFileTypesCaption = "Reset File Types";
inline constexpr const char* ResetFileTypesQuestion =
    "Do you wish to reset the File Types to include to the following default?\n\n";
inline constexpr const char* IndexFirstCaption = "Select Index File First";
inline constexpr const char* IndexFirst =
    "Folders to ignore is based on the path of the index file, please select "
    "the index file before selecting folders to ignore.";
inline constexpr const char* SelectIgnoreFolder = "Select a Folder to Ignore";
inline constexpr const char* FolderInList = "The folder you selected is already in the list.";
inline constexpr const char* IgnoreFolderCaption = "Enter Folder to Ignore";
inline constexpr const char* IgnoreFolderPrompt =
    "Enter the full path of the folder to ignore (IE: http://www.example.com/private/)";
inline constexpr const char* IgnoreFileCaption = "Enter File to Ignore";
inline constexpr const char* IgnoreFilePrompt =
    "Enter the full path of the file to ignore (IE: http://www.example.com/private/page.html)";
inline constexpr const char* NotWebAddress =
    "Please enter the full address, beginning with \"http://\" or \"https://\" and the site's name.";
inline constexpr const char* QueryInfo =
    "Links whose address holds a query (the part after \"?\") are followed, without the query. A link whose "
    "query contains one of the texts below is not followed at all (IE: http://www.example.com/"
    "list.php?sort=name is ignored for the text \"sort=\").";
} // namespace dialog_text
