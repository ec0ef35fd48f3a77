#pragma once
// The entry of a sub-item ("&File" on the menu bar, a cascading line in a menu): it opens the item's
// links as a menu window. On a menu bar in menu mode the menu opens at once; inside a menu it opens
// when the pointer has rested on the line for a while and closes a while after the pointer moved on.
// All those delayed opens and closes share one pending timer.
#include <string>

#include "bars/windows/item_control.h"

class TCustomdxBarSubItem;

namespace bars {

class TdxBarSubMenuControl;

class TdxBarSubItemControl : public TdxBarItemControl {
public:
    using TdxBarItemControl::TdxBarItemControl;
    ~TdxBarSubItemControl() override;

    TCustomdxBarSubItem* SubItem() const;
    bool IsSubItem() const override { return true; }
    void GlyphChanged() override;
    // Its item is clicked when the menu opens, not by a click of the line.
    bool IsClickable() const override { return false; }
    void ControlActivate(bool Immediately) override;
    void ControlInactivate(bool Immediately) override;
    void BeforeClick(bool ByMouse) override;
    // The release of the press that opened the menu is no second click: the menu stays open.
    void ControlClick(bool ByMouse) override;
    void KeyDown(WORD Key) override;
    bool WantsKey(WORD Key) const override;
    int GetHeight() const override;
    int GetWidth() const override;
    TCustomdxBarControl* GetChildBarControl() const override;
    bool CloseMenusOnClick() const override { return false; }
    bool IsExpandable() const override { return true; }
    bool ShowsCaption() const override;
    bool IsMenuJoinedToItem() const override;
    void Draw(HDC DC, const RECT& R, int PaintType) override;

    // The menu window of the item's links, nullptr when it has none.
    TdxBarSubMenuControl* GetSubMenuControl() const;
    virtual TdxBarSubMenuControl* CreateSubMenuControl();
    virtual bool CanOpen() const { return true; }
    // Its menu is open for this control.
    bool MenuOpen() const;

    // Set when the bar selects the control by mouse, cleared by keyboard: only menus opened by the
    // mouse are animated. Consumed by the next opening.
    bool AnimateOpen = false;

    // The shared timer's routines, and its cancelling for one control.
    static void OpenTimerProc();
    static void CloseTimerProc();
    void CancelPendingTimer();

    static constexpr unsigned Delay = 400;

private:
    void StartPendingTimer(bool Open);
    void OpenMenu();

    // The menu opened on the mouse press whose release is still to come.
    bool openedByPress_ = false;
};

// The entry of a container item (a list item, a container item) on a toolbar: it opens a menu of the
// links the container generates. Inside a menu a container expands in place instead; a container
// with nothing to show there is drawn as "(caption)".
class TdxBarContainerItemControl : public TdxBarSubItemControl {
public:
    using TdxBarSubItemControl::TdxBarSubItemControl;
    TdxBarSubMenuControl* CreateSubMenuControl() override;
    std::string GetCaption() const override;
    bool IsExpandable() const override;
    void Draw(HDC DC, const RECT& R, int PaintType) override;
};

// The sub-item control waiting for the shared timer, and whether it waits to open (else to close).
TdxBarSubItemControl* PendingSubItem();
bool PendingOpen();

std::unique_ptr<ItemControl> CreateSubItemControl(TdxBarItemLink* Link);
std::unique_ptr<ItemControl> CreateContainerItemControl(TdxBarItemLink* Link);

} // namespace bars
