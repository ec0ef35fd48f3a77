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

// Told when a manager joins the list (as it is made) and when it leaves it (as it goes): the window part
// of the library keeps its thread hooks while any manager lives.
using TdxBarManagerListObserver = void (*)(TdxBarManager* Manager, bool Added);
void SetBarManagerListObserver(TdxBarManagerListObserver Observer);

// Every manager alive, in creation order.
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
// The customizing window lives in a library above this one, which installs how the window is opened
// and closed for a manager; without it no bar enters customizing mode.
using CustomizingFormShower = void (*)(TdxBarManager* Manager, bool Show);
void SetCustomizingFormShower(CustomizingFormShower Shower);
CustomizingFormShower GetCustomizingFormShower();
// Whether the customizing window is open (for any manager).
using CustomizingFormQuery = bool (*)();
void SetCustomizingFormQuery(CustomizingFormQuery Query);
bool CustomizingFormExists();
// The customizing window's window, nullptr while it has none.
using CustomizingFormWindowQuery = HWND (*)();
void SetCustomizingFormWindowQuery(CustomizingFormWindowQuery Query);
HWND CustomizingFormWindow();
// Refreshes the open customizing window's command list (installed with the window).
using CustomizingCommandsRefresher = void (*)();
void SetCustomizingCommandsRefresher(CustomizingCommandsRefresher Refresher);
void RefreshCustomizingCommands();
// The selection left the menu the sub-menu editor holds open: the editor frees that menu (from the loop,
// once whoever moved the selection has returned) when Menu is it. Installed with the editor.
using SubMenuEditorMenuCloser = void (*)(bars::BarControl* Menu);
void SetSubMenuEditorMenuCloser(SubMenuEditorMenuCloser Closer);
void CloseSubMenuEditorMenu(bars::BarControl* Menu);
// A customizing popup is writing an item's caption: the changes it makes are its own.
bool CustomizingPopupEditing();
void SetCustomizingPopupEditing(bool Value);
// Dragging a link in customizing mode runs a loop of the customizing library, which installs it here:
// Source is the bar window that held the mouse, Press the screen point where the button went down.
using LinkDragLoop = void (*)(TdxBarManager* Manager, TdxBarItem* Item, TdxBarItemLink* Link, HWND Source,
                              POINT Press);
void SetLinkDragLoop(LinkDragLoop Loop);
LinkDragLoop GetLinkDragLoop();

// Told when a manager starts going: it has left the manager list and nothing of it is freed yet. The
// window library stops its hint timers here and, with the last manager, frees the shared hint window.
using ManagerGoingHandler = void (*)(TdxBarManager* Manager);
void AddManagerGoingHandler(ManagerGoingHandler Handler);
void NotifyManagerGoing(TdxBarManager* Manager);
} // namespace bars
