#include "bars/windows/system_menu_item_control.h"

#include "bars/core/bar_manager.h"
#include "bars/core/item_links.h"
#include "bars/core/system_menu_item.h"
#include "bars/windows/bar_control.h"
#include "platform/gdi/bitmaps.h"
#include "platform/gdi/gdi_defs.h"
#include "platform/gdi/icons.h"
#include "platform/gdi/metrics.h"
#include "platform/gui/menus.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/window.h"

namespace bars {

std::unique_ptr<ItemControl> CreateSystemMenuSubItemControl(TdxBarItemLink* Link) {
    return std::make_unique<TSystemMenuSubItemControl>(Link);
}

bool TSystemMenuSubItemControl::CanSelect() const {
    TdxBarManager* manager = Link() != nullptr ? Link()->BarManager() : nullptr;
    return manager == nullptr || !manager->IsCustomizingOrDesigning();
}

int TSystemMenuSubItemControl::GetHeight() const {
    return GetSystemMetrics(SM_CYSMICON);
}

int TSystemMenuSubItemControl::GetWidth() const {
    return GetSystemMetrics(SM_CXSMICON);
}

void TSystemMenuSubItemControl::Draw(HDC DC, const RECT& R, int) {
    if (TCustomdxBarControl* bar = ParentBar()) bar->PaintBackground(DC, R, bar->BkBrush());
    auto* item = dynamic_cast<TSystemMenuSubItem*>(Item());
    if (item == nullptr || item->Window() == nullptr) return;
    auto icon = reinterpret_cast<HICON>(SendMessage(item->Window(), WM_GETICON, ICON_SMALL, 0));
    if (icon == nullptr) icon = reinterpret_cast<HICON>(SendMessage(item->Window(), WM_GETICON, ICON_BIG, 0));
    if (icon == nullptr) return;
    // A copy at the small size, drawn stretched into the entry and let go.
    if (auto copy = static_cast<HICON>(CopyImage(icon, IMAGE_ICON, 16, 16, LR_COPYFROMRESOURCE))) {
        DrawIconEx(DC, R.left, R.top, copy, R.right - R.left, R.bottom - R.top, 0, nullptr, DI_NORMAL);
        DestroyIcon(copy);
    }
}

bool TSystemMenuSubItemControl::DoubleClicked() {
    auto* item = dynamic_cast<TSystemMenuSubItem*>(Item());
    if (item == nullptr || item->Window() == nullptr) return false;
    const HWND window = item->Window();
    if (TCustomdxBarControl* bar = ParentBar()) bar->HideAll();
    // The menus are closed: this control may be gone, only the window handle is used from here.
    const UINT command = GetMenuDefaultItem(GetSystemMenu(window, FALSE_), FALSE_, 0);
    if (command != static_cast<UINT>(-1)) SendMessage(window, WM_SYSCOMMAND, command, 0);
    return true;
}

} // namespace bars
