#pragma once
// Captions and messages of the wizard main window.
namespace main_text {
inline constexpr const char* AppTitle = "Quillmark Pathweaver";
inline constexpr const char* CaptionPrefix = "Quillmark Pathweaver 4.5 - ";
inline constexpr const char* VersionText = "Quillmark Pathweaver 4.5";
inline constexpr const char* NoDisplay =
    "pathweaver: no display to show the window on (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
    "Run a profile without a display with: pathweaver -auto profile.qpw\n";
inline constexpr const char* ProfileCannotOpenCaption = "Profile Not Opened";
inline constexpr const char* ProfileCannotOpen = "The profile \"%s\" cannot be opened: %s.";
inline constexpr const char* NoProfileToRun =
    "-auto needs the profile file to run: pathweaver -auto profile.qpw";
inline constexpr const char* HeaderInformation = "Gathering Information";
inline constexpr const char* HeaderStatus = "Processing Files";
inline constexpr const char* HeaderResults = "Site Map Results";
inline constexpr const char* HeaderOutput = "Site Map Output File Creation";
inline constexpr const char* Next = "&Next";
inline constexpr const char* Save = "&Save";
inline constexpr const char* Close = "&Close";
inline constexpr const char* Cancel = "&Cancel";
inline constexpr const char* Done = "Done";
inline constexpr const char* Searching = "Searching for files, please wait....";
inline constexpr const char* SearchComplete = "Search Complete! Press Next to View Results.";
inline constexpr const char* StartPageFailed = "The start page could not be loaded.";
inline constexpr const char* TotalFilesFound = "Total Files Found: ";
inline constexpr const char* TotalFiles = "Total Files: ";
inline constexpr const char* FileLabel = "File:";
inline constexpr const char* FilesFoundLabel = "Files Found:";
inline constexpr const char* UrlLabel = "URL:";
inline constexpr const char* UrlsFoundLabel = "URLs Found:";
inline constexpr const char* CreatingSiteMap = "Creating Site Map...";
inline constexpr const char* GeneratingToFile = "Generating Site Map to specified file...";
inline constexpr const char* Generating = "Generating: ";
inline constexpr const char* GeneratingFile = "File: ";
inline constexpr const char* SavedToFile = "Your generated Site Map was saved to the following file:";
inline constexpr const char* SiteMapComplete = "Site Map Complete!";
inline constexpr const char* XmlTooLong =
    "Entries left out of the XML sitemap, as their addresses are longer "
    "than the 2,048 characters a sitemap takes: %s";
inline constexpr const char* FolderUnreadable =
    "The folder %s could not be read (%s): it is left out of the site map.";
inline constexpr const char* FoldersUnreadable =
    "Folders left out of the site map, as they could not be read: %s";
inline constexpr const char* FoldersUnreadableMore = "and %s more.";
inline constexpr const char* GoogleCreated = "Your Google Site Map file has now been created. ";
inline constexpr const char* SiteMapFailed = "The site map could not be written: ";
inline constexpr const char* IndexFolderMissing =
    "The Index Page folder cannot be found, please enter a valid path.";
inline constexpr const char* EnterWebsite = "Please enter your website address.";
inline constexpr const char* WebsiteScheme =
    "The website address must begin with \"http://\" or \"https://\".";
inline constexpr const char* UndefinedAction = "Button Action Undefined for Control \"%s\"\n\nPlease report "
                                               "this error.\n\nPress CTRL-C to copy this message.";
inline constexpr const char* SubfoldersInvalidCaption = "Subfolders Invalid";
inline constexpr const char* SubfoldersInvalid =
    "One or more the subfolders in the folder ignore list is no longer valid for the index file path.\r\n\r\n"
    "Keeping these in the list won't affect the output.\r\n\r\nWould you like to remove the invalid entries?";
inline constexpr const char* HelpMissingCaption = "File Not Found";
inline constexpr const char* HelpMissing = "The help file could not be found:\n\n";
inline constexpr const char* HelpFile = "help/index.html";
inline constexpr const char* HelpOnlineAddress = "https://www.quillmark.com/pathweaver/help/";
inline constexpr const char* SupportAddress = "https://www.quillmark.com/support/";
inline constexpr const char* IndexFilter =
    "HTML Files (*.htm, *.html, *.shtm, *.shtml, *.php, *.php4, *.php5, *.asp, *.pdf, *.swf)|"
    "*.htm;*.html;*.shtm;*.shtml;*.php;*.php4;*.php5;*.asp;*.pdf;*.swf;|All Files (*.*)|*.*";
inline constexpr const char* OutputFilter = "HTML Files (*.htm, *.html)|*.htm;*.html";
inline constexpr const char* Uploaded = "Site Map Complete! The files were uploaded to the server.";
inline constexpr const char* UploadFailed = "Site Map Complete, but the upload did not finish.";
inline constexpr const char* NoServerForAuto =
    "The profile names no FTP server profile: the files were written and nothing was uploaded. Choose a "
    "server in the profile's options to upload unattended.";
inline constexpr const char* ReplaceProfileQuestion =
    "The profile file %s already exists.\n\nDo you want to replace it with the current profile?";
inline constexpr const char* StatusNotice = "Quillmark Pathweaver 4.5 - builds site maps of your web site";
inline constexpr const char* PlacementName = "frmSiteMapMain";
// A settings file that cannot be read, with the reader's message in front.
inline constexpr const char* SettingsIgnored = "%s. The program goes on with its default settings.";
// The settings store that cannot be read, with why in front: nothing is written over it.
inline constexpr const char* StoreUnreadable =
    "The server profiles and the toolbar layout could not be read. %s. "
    "The program goes on without them and leaves the file as it is.";
} // namespace main_text
