#pragma once
// Captions and messages of the options, item-properties, about and exit windows.
namespace dialog_text {
inline constexpr const char* ChangeFrequencies =
    "unspecified\nalways\nhourly\ndaily\nweekly\nmonthly\nyearly\nnever";
inline constexpr const char* MultipleFilesSelected = "Multiple Files Selected";
} // namespace dialog_text
