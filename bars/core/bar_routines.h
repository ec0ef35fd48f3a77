#pragma once
// Lookups and window helpers the toolbar library shares: managers of forms, live bar windows, windows
// at a point, caption ampersands, unique item names, mouse buttons and tracking, menu sounds, alpha.
#include <functional>
#include <string>

#include "bars/core/bar_types.h"
#include "bars/core/bar_views.h"
#include "platform/rtl/wintypes.h"

class TComponent;
class TCustomForm;
class TWinControl;

// nullptr for nullptr; else the first manager whose parent form is Form.
TdxBarManager* FindBarManagerOfForm(TCustomForm* Form);
bool AnyPopupMenuShown();
// Whether a toolbar's quick-customization drop-down is open (the window library answers).
bool QuickControlExists();

void RegisterBarControl(bars::BarControl* Control);
void UnregisterBarControl(bars::BarControl* Control);
bool IsBarControl(const void* Pointer);
// The toolbar or menu window in keyboard or menu mode, nullptr when none.
bars::BarControl* GetActiveBarControl();
void SetActiveBarControl(bars::BarControl* Control);
// Every menu of the active chain shows all its items: set when a menu expands, and when a chain starts
// while its manager is customizing.
bool MenusExpanded();
void SetMenusExpanded(bool Value);
// Up from a menu to the window of the link that opened it, from any other window to its parent.
bars::BarControl* GetTopBarControl(bars::BarControl* Control);
// The same, nullptr when the top is a menu window.
bars::BarControl* GetTopToolbarControl(bars::BarControl* Control);
bars::BarControl* GetItemControlTopBarControl(bars::ItemControl* Control);
bars::BarControl* GetItemControlTopToolbar(bars::ItemControl* Control);
bool IsVerticalBarControl(bars::BarControl* Control);
bool IsRotatedBarControl(bars::BarControl* Control);

// Frees, last first, every temporary item no link is using.
void FreeUnlinkedTempItems();

// The first window up the parent chain that belongs to a class-library control.
TWinControl* FindVCLControlOfWindow(HWND Window);
// Parent lies up Window's parent chain.
bool IsChildOf(HWND Window, HWND Parent);
// The deepest visible window under a screen point.
HWND FindWindowAtPoint(POINT ScreenPoint);

// Every "&" removed, except one that ends the text; the character after a removed one stays.
std::string StripAmpersands(const std::string& Text);
// The component's class name without its first letter, followed by the first number from 1 that no
// item of the manager has as its name.
std::string GetUniqueItemName(TdxBarManager* Manager, const TComponent* Component);
std::string GetUniqueItemName(TdxBarManager* Manager, const std::string& ClassName);
void MakeMinWidth20(int& Value);

bool IsLeftButtonDown();
bool IsRightButtonDown();
// Dispatches the mouse (or paint) messages waiting in the thread's queue; a quit taken out is posted
// again.
void ProcessMouseMessages();
void ProcessPaintMessages();
// 0: a menu opens; 1: a command runs.
void PlayMenuSound(int Kind);
// Below 255 the window becomes layered with that opacity; 255 makes it plain again.
void SetWindowAlpha(HWND Window, BYTE Alpha);

// WM_MOUSELEAVE for bar windows: with the window system's tracking, or a 50 ms timer when it has none.
bool IsMouseTracked(HWND Window);
void BeginMouseTracking(HWND Window);
void EndMouseTracking(HWND Window);
