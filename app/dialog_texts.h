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
} // namespace dialog_text
