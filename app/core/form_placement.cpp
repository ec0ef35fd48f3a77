#include "app/core/form_placement.h"

#include "app/core/profile_texts.h"
#include "platform/rtl/files.h"
#include "platform/rtl/ini_file.h"
#include "platform/rtl/paths.h"

#include <algorithm>

namespace {
constexpr int kNothingStored = -1;
constexpr int kSmallestSize = 10;
// Far beyond any screen, and small enough that sums and differences of stored edges cannot overflow.
constexpr int kCoordinateLimit = 1 << 20;

bool InRange(int value) {
    return value >= -kCoordinateLimit && value <= kCoordinateLimit;
}

LONG Width(const RECT& r) {
    return r.right - r.left;
}
LONG Height(const RECT& r) {
    return r.bottom - r.top;
}

void PrepareFolder(const std::string& fileName) {
    const std::string dir = ExtractFileDir(fileName);
    if (!dir.empty()) ForceDirectories(dir);
}
} // namespace

std::string PlacementFilePath() {
    return UserConfigDir() + profile_text::PlacementFileName;
}

std::string PlacementSection(const std::string& FormName) {
    return FormName + profile_text::PlacementSectionSuffix;
}

int ReadIniInt(const std::string& FileName, const std::string& Section, const std::string& Key, int Default) {
    TMemIniFile ini(FileName);
    return ini.ReadInteger(Section, Key, Default);
}

bool WriteIniInt(const std::string& FileName, const std::string& Section, const std::string& Key, int Value) {
    PrepareFolder(FileName);
    TMemIniFile ini(FileName);
    ini.WriteInteger(Section, Key, Value);
    ini.UpdateFile();
    return true;
}

void SaveFormPlacement(const std::string& FileName, const std::string& FormName,
                       const TFormPlacement& Placement) {
    PrepareFolder(FileName);
    TMemIniFile ini(FileName);
    const std::string section = PlacementSection(FormName);
    ini.WriteInteger(section, "State", Placement.State);
    ini.WriteInteger(section, "Top", Placement.NormalBounds.top);
    ini.WriteInteger(section, "Left", Placement.NormalBounds.left);
    ini.WriteInteger(section, "Right", Placement.NormalBounds.right);
    ini.WriteInteger(section, "Bottom", Placement.NormalBounds.bottom);
    ini.UpdateFile();
}

std::optional<TFormPlacement> ReadFormPlacement(const std::string& FileName, const std::string& FormName) {
    TMemIniFile ini(FileName);
    const std::string section = PlacementSection(FormName);
    const int left = ini.ReadInteger(section, "Left", kNothingStored);
    if (left == kNothingStored) return std::nullopt;
    TFormPlacement placement;
    placement.NormalBounds.left = left;
    placement.NormalBounds.top = ini.ReadInteger(section, "Top", kNothingStored);
    placement.NormalBounds.right = ini.ReadInteger(section, "Right", kNothingStored);
    placement.NormalBounds.bottom = ini.ReadInteger(section, "Bottom", kNothingStored);
    const RECT& b = placement.NormalBounds;
    // A damaged or hostile file: the window is placed as if nothing were stored. Inverted or empty
    // bounds would be fitted by their left and top edges alone, off the screen.
    if (!InRange(b.left) || !InRange(b.top) || !InRange(b.right) || !InRange(b.bottom)) return std::nullopt;
    if (b.right <= b.left || b.bottom <= b.top) return std::nullopt;
    placement.State = ini.ReadInteger(section, "State", psNormal);
    if (placement.State < psNormal || placement.State > psMinimized) placement.State = psNormal;
    return placement;
}

RECT PlacementWorkArea(const std::vector<TMonitorArea>& Monitors, int MainMonitor, bool IsMainWindow,
                       POINT StoredTopLeft) {
    if (Monitors.empty()) return RECT{};
    const auto count = static_cast<int>(Monitors.size());
    const bool haveMain = MainMonitor >= 0 && MainMonitor < count;
    if (!haveMain) return Monitors.front().WorkArea;
    if (IsMainWindow) {
        const auto holder = std::find_if(Monitors.begin(), Monitors.end(), [&](const TMonitorArea& monitor) {
            return PtInRect(monitor.Bounds, StoredTopLeft);
        });
        if (holder != Monitors.end()) return holder->WorkArea;
    }
    return Monitors[static_cast<size_t>(MainMonitor)].WorkArea;
}

RECT FitIntoWorkArea(RECT Bounds, const RECT& WorkArea) {
    const LONG width = Width(Bounds);
    const LONG height = Height(Bounds);
    if (Bounds.right > WorkArea.right) Bounds.left = WorkArea.right - width;
    if (Bounds.bottom > WorkArea.bottom) Bounds.top = WorkArea.bottom - height;
    if (Bounds.left < WorkArea.left) Bounds.left = WorkArea.left;
    if (Bounds.top < WorkArea.top) Bounds.top = WorkArea.top;
    Bounds.right = Bounds.left + width;
    Bounds.bottom = Bounds.top + height;
    return Bounds;
}

RECT FitFramedIntoWorkArea(const RECT& Bounds, const RECT& Frame, const RECT& WorkArea) {
    const RECT outer = FitIntoWorkArea(RECT{Bounds.left - Frame.left, Bounds.top - Frame.top,
                                            Bounds.right + Frame.right, Bounds.bottom + Frame.bottom},
                                       WorkArea);
    return RECT{outer.left + Frame.left, outer.top + Frame.top, outer.right - Frame.right,
                outer.bottom - Frame.bottom};
}

RECT RestoredBounds(const RECT& Current, const RECT& Fitted, bool SkipSize) {
    LONG width = Width(Current);
    LONG height = Height(Current);
    if (!SkipSize) {
        if (Height(Fitted) > kSmallestSize) height = Height(Fitted);
        if (Width(Fitted) > kSmallestSize) width = Width(Fitted);
    }
    return RECT{Fitted.left, Fitted.top, Fitted.left + width, Fitted.top + height};
}

RECT CenteredBounds(const RECT& Current, const RECT& WorkArea) {
    const LONG left = WorkArea.left + (Width(WorkArea) - Width(Current)) / 2;
    const LONG top = WorkArea.top + (Height(WorkArea) - Height(Current)) / 2;
    return RECT{left, top, left + Width(Current), top + Height(Current)};
}
