#include "bars/customizing/item_drag.h"

#include "bars/core/bar_cursors.h"
#include "bars/core/bar_manager.h"
#include "bars/core/bar_routines.h"
#include "bars/core/bar_unit.h"
#include "bars/core/item_links.h"
#include "bars/windows/bar_control.h"
#include "bars/windows/item_control.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/message_views.h"
#include "platform/vcl/screen.h"

namespace bars {

namespace {

// The bar window of the manager under a screen point. Bar windows come and go during the loop (a
// dispatched message may rebuild one), so the target is held by its handle and found again here
// among the live bar windows each time, never kept as a pointer.
TCustomdxBarControl* BarWindowAt(TdxBarManager* Manager, POINT Screen) {
    HWND window = FindWindowAtPoint(Screen);
    if (window == nullptr) return nullptr;
    for (BarControl* control : BarControls()) {
        if (control->Handle() != window) continue;
        auto* bar = dynamic_cast<TCustomdxBarControl*>(control);
        return bar != nullptr && bar->Manager() == Manager && bar->Alive() ? bar : nullptr;
    }
    return nullptr;
}

struct DropPlace {
    HWND window = nullptr;
    TdxBarItemLink* link = nullptr;
    bool before = false;
};

DropPlace DropPlaceAt(TdxBarManager* Manager, POINT Screen) {
    DropPlace place;
    TCustomdxBarControl* bar = BarWindowAt(Manager, Screen);
    if (bar == nullptr) return place;
    POINT client = Screen;
    ScreenToClient(bar->Handle(), client);
    bool outsideMain = false, vertical = false, before = false;
    TdxBarItemControl* control = bar->GetDropTarget(client, outsideMain, vertical, before);
    place.window = bar->Handle();
    place.link = control != nullptr ? control->Link() : nullptr;
    place.before = before;
    return place;
}

} // namespace

bool DragNewItem(TdxBarManager* Manager, TdxBarItem* Item, HWND Source) {
    Manager->SetDraggingItem(true);
    const TCursor oldCursor = Screen->Cursor();
    SetCapture(Source);
    bool dropped = false;
    DropPlace place;
    MSG msg;
    while (GetCapture() == Source) {
        if (!GetMessage(msg, nullptr, 0, 0)) {
            PostQuitMessage(QuitExitCode(msg));
            break;
        }
        if (msg.message == WM_KEYDOWN && KeyCode(msg) == VK_ESCAPE) break;
        if (msg.message == WM_LBUTTONUP) {
            dropped = true;
            break;
        }
        if (msg.message == WM_MOUSEMOVE) {
            POINT p;
            GetCursorPos(p);
            place = DropPlaceAt(Manager, p);
            Screen->SetCursor(place.window != nullptr ? crdxBarDragCopy : crdxBarDragNoDrop);
            continue;
        }
        TranslateMessage(msg);
        DispatchMessage(msg);
    }
    if (GetCapture() == Source) ReleaseCapture();
    Screen->SetCursor(oldCursor);
    Manager->SetDraggingItem(false);
    if (!dropped) return false;
    POINT p;
    GetCursorPos(p);
    place = DropPlaceAt(Manager, p);
    TCustomdxBarControl* bar = place.window != nullptr ? BarWindowAt(Manager, p) : nullptr;
    if (bar == nullptr) return false;
    TdxBarItemLinks* links = bar->ItemLinks();
    int index = links->Count();
    if (place.link != nullptr && place.link->Collection() == links)
        index = place.link->Index() + (place.before ? 0 : 1);
    TdxBarItemLink* link = links->Add();
    link->SetItem(Item);
    link->SetIndex(index);
    return true;
}

} // namespace bars
