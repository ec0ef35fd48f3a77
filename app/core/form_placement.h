#pragma once
// A window's position, size and state in "forminfo.ini", and the rules that bring stored bounds back
// onto a screen.
#include "platform/rtl/wintypes.h"

#include <optional>
#include <string>
#include <vector>

enum TPlacementState { psNormal = 0, psMaximized = 1, psMinimized = 2 };

struct TFormPlacement {
    int State = psNormal;
    // The bounds of the window in the normal state, whatever its state now.
    RECT NormalBounds{};
};

struct TMonitorArea {
    RECT Bounds{};
    RECT WorkArea{};
};

// UserConfigDir() + "forminfo.ini".
std::string PlacementFilePath();
// The window's section: its component name followed by "Position".
std::string PlacementSection(const std::string& FormName);

// Default when the file, section or key is missing or the value is not a number.
int ReadIniInt(const std::string& FileName, const std::string& Section, const std::string& Key, int Default);
bool WriteIniInt(const std::string& FileName, const std::string& Section, const std::string& Key, int Value);

// Writes "State", "Top", "Left", "Right" and "Bottom" at once, through a temporary file.
void SaveFormPlacement(const std::string& FileName, const std::string& FormName,
                       const TFormPlacement& Placement);
// Nothing when no placement is stored ("Left" missing or -1), an edge lies more than 2^20 pixels from
// the origin, or the bounds are inverted or empty.
std::optional<TFormPlacement> ReadFormPlacement(const std::string& FileName, const std::string& FormName);

// The work area to restore into: the monitor that holds the stored top-left corner, else the main
// window's monitor (MainMonitor, -1 when there is no main window), else the primary one (index 0).
// Windows other than the main window always use the main window's monitor.
RECT PlacementWorkArea(const std::vector<TMonitorArea>& Monitors, int MainMonitor, bool IsMainWindow,
                       POINT StoredTopLeft);
// Moves Bounds into WorkArea without changing its size: right and bottom edges first, then left and top,
// so a window larger than the work area lines up with its left and top edges.
RECT FitIntoWorkArea(RECT Bounds, const RECT& WorkArea);
// Bounds moved as FitIntoWorkArea moves them with the frame round them (Frame: its width on the left, top,
// right and bottom), so that the title bar as well lies on the work area.
RECT FitFramedIntoWorkArea(const RECT& Bounds, const RECT& Frame, const RECT& WorkArea);
// The window's new bounds: the fitted position, and unless SkipSize the stored width and height where
// they exceed 10 pixels.
RECT RestoredBounds(const RECT& Current, const RECT& Fitted, bool SkipSize);
// Current's size in the middle of WorkArea.
RECT CenteredBounds(const RECT& Current, const RECT& WorkArea);
