#pragma once
// The first entry of a main menu bar while a child window is maximized in the frame: the child's
// system menu (restore, move, size, minimize, maximize, close) mirrored as a bar sub-item, drawn as the
// child's small icon. Its entries are made from the window's menu each time it opens.
#include "bars/core/sub_item.h"
#include "platform/rtl/wintypes.h"

class TdxBarManager;

class TSystemMenuSubItem : public TCustomdxBarSubItem {
public:
    explicit TSystemMenuSubItem(TComponent* AOwner) : TCustomdxBarSubItem(AOwner) {}
    std::string ClassName() const override { return "TSystemMenuSubItem"; }
    // Its entries are made again from the window's menu, then the menu opens with them.
    void DirectClick() override;

    HWND Window() const { return window_; }
    void SetWindow(HWND Value) { window_ = Value; }

private:
    HWND window_ = nullptr;
};

namespace bars {

// Frees the generated items no longer shown, then fills Item with the entries of the system menu of
// its window.
void BuildSystemMenuItems(TSystemMenuSubItem* Item);
// Fills Item with one item per entry of Menu: buttons that send their command as WM_SYSCOMMAND to the
// item's window, sub-items for nested menus (made the same way), separators as group lines; text after
// a tab is the shortcut. The items are temporary items of the library.
void BuildMenuItems(TSystemMenuSubItem* Owner, TCustomdxBarSubItem* Item, HMENU Menu);
// Puts the window's system menu first on the manager's main menu bar (when the window has one), or
// takes it away again.
void AddSystemMenuItem(TdxBarManager* Manager, HWND Child);
void RemoveSystemMenuItem(TdxBarManager* Manager);

} // namespace bars
