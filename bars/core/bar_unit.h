#pragma once
// The toolbar library's process-wide state, from start-up to shutdown: the managers alive, the bar
// windows alive, the registered item classes, the temporary items, the checker brush, the screen depth
// and the window-system entry points that may be missing. Shutdown is an explicit call, made before the
// program ends; nothing here is freed by static destructors.
#include <string>
#include <vector>

#include "platform/gdi/gdi_defs.h"
#include "platform/gui/input.h"
#include "platform/gui/layered.h"
#include "platform/gui/window.h"

class TdxBarItem;
class TdxBarItemLink;
class TdxBarManager;

namespace bars {
class BarControl;
}

// Every manager alive, in creation order; the window library hears of each that joins or leaves.
class TdxBarManagerList {
public:
    TdxBarManagerList() = default;
    // Frees every manager still alive (each leaves the list as it goes).
    ~TdxBarManagerList();
    TdxBarManagerList(const TdxBarManagerList&) = delete;
    TdxBarManagerList& operator=(const TdxBarManagerList&) = delete;

    int Count() const { return static_cast<int>(list_.size()); }
    // nullptr outside 0..Count-1.
    TdxBarManager* Items(int Index) const;
    // The first manager that is customizing or designed.
    TdxBarManager* GetCustomizingManager() const;
    void Add(TdxBarManager* Manager);
    void Remove(TdxBarManager* Manager);
    // Frees every manager still alive, last first; each leaves the list as it goes.
    void FreeManagers();

private:
    std::vector<TdxBarManager*> list_;
};

// The entry points that an older window system may lack; nullptr makes the callers fall back.
struct TdxUser32Procs {
    BOOL (*TrackMouseEvent)(TRACKMOUSEEVENT& Event) = nullptr;
    decltype(&::UpdateLayeredWindow) UpdateLayeredWindow = nullptr;
    BOOL (*AnimateWindow)(HWND Window, DWORD Time, DWORD Flags) = nullptr;
    BOOL (*SetLayeredWindowAttributes)(HWND Window, COLORREF Key, BYTE Alpha, DWORD Flags) = nullptr;
};

// Counted: the first call starts the unit, and each call needs a matching ShutdownBarUnit. The state is
// also started on first use, for code that runs before the program's own start-up call.
void StartBarUnit();
// The last call frees the managers still alive first, then the lists, the registry and the brush.
void ShutdownBarUnit();
bool BarUnitStarted();

TdxBarManagerList& BarManagerList();
std::vector<TdxBarItem*>& TempItems();
std::vector<bars::BarControl*>& BarControls();
TdxUser32Procs& User32Procs();
// An 8 x 8 checker of the button highlight and face colours; made again on a system-colour change.
HBRUSH PatternBrush();
int ScreenBitsPerPixel();
// Re-reads the screen depth and re-makes the checker brush.
void RefreshBarUnitColors();
// Whether disabled glyphs that are not hot are drawn lighter in the flat style.
bool FadeInactiveGlyphs();

namespace bars {
// Set while a copy of a form as designed is read: managers read in that copy load no stored layout.
// Process-wide, as the stream that reads the copy makes its managers without a word to them.
bool ReadingDesignState();
void SetReadingDesignState(bool Value);
} // namespace bars
