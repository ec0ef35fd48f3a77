#pragma once
// The window of every drop-down menu: the menus of sub-items, cascades, popup menus and the menus of
// drop-down buttons. It lays its links out as menu lines with group separators, scrolls them with
// arrows when the screen is too low, hides the rarely used ones behind an expand button in recent-items
// mode, places itself inside the monitor's work area (flipping to the other side of its item when there
// is more room there), and never takes the activation: the keyboard reaches it as WM_KEYDOWN sent to
// the active bar window.
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "bars/windows/bar_control.h"
#include "lookandfeel/object_links.h"
#include "platform/rtl/component.h"

namespace bars {

class TdxBarButtonControl;
class TdxBarSubItemControl;
class TdxBarSubMenuControl;

// The background of rarely used menu lines: each channel of the button face 20 lighter, at most 255.
COLORREF RarelyUsedColor();

// What decorates menus beyond their own drawing: the drop shadow and the opening animation. Without a
// decorator menus open at once and without a shadow.
class MenuDecorator {
public:
    virtual ~MenuDecorator() = default;
    // The window became visible, moved or changed size, or is about to be hidden or destroyed.
    virtual void Shown(TdxBarSubMenuControl&) {}
    virtual void Moved(TdxBarSubMenuControl&) {}
    virtual void Hiding(TdxBarSubMenuControl&) {}
    // Starts the opening animation of a menu whose Animating is set and that is placed but not yet
    // visible; false when none runs (the menu then shows at once).
    virtual bool StartAnimation(TdxBarSubMenuControl&) { return false; }
    // Ends a running animation at once (its final frame shown).
    virtual void StopAnimation(TdxBarSubMenuControl&) {}
};
void SetMenuDecorator(MenuDecorator* Decorator);

class TdxBarSubMenuControl : public TCustomdxBarControl {
public:
    TdxBarSubMenuControl(TdxBarManager* AOwner, TdxBarItemLinks* ALinks);
    ~TdxBarSubMenuControl() override;

    // What the model and the painter ask.
    bool IsToolbar() const override { return false; }
    bool IsSubMenu() const override { return true; }
    // A menu that works as a menu while the bars are customized, and every menu it opens.
    bool IsCustomizing() const override;
    void SetIgnoresCustomizing(bool Value) { ignoresCustomizing_ = Value; }
    ItemControl* OpenedBy() const override;
    int SideBarWidth() const override;
    // A popup menu's own picture.
    TBitmap* OwnBackgroundBitmap() const override;
    int MenuLineHeight() const override { return LineHeight(); }
    int MarkLineHeight() const override { return markLineHeight_; }
    bool ShowsRarelyUsedItems() const override;
    void RepaintBar() override;
    void CreateControls() override;

    // Shows the menu at its requested position (its top-left, or the opener's point), making its window.
    void ShowMenu();
    // Closes the menu and frees it (once); a menu freed inside its own handler goes once the handler
    // returned.
    void FreeMenu();
    bool Freeing() const { return freeing_; }
    // Where the menu asks to open (screen), before placement.
    void SetRequestedPos(POINT P) { requested_ = P; }
    POINT RequestedPos() const { return requested_; }
    // The size of the item that opened it, across (beside an item) or along (below an item); 0 for a
    // menu shown at a point.
    int OwnerWidth() const { return ownerWidth_; }
    void SetOwnerWidth(int Value) { ownerWidth_ = Value; }
    int OwnerHeight() const { return ownerHeight_; }
    void SetOwnerHeight(int Value) { ownerHeight_ = Value; }
    // Places the window itself instead of at the requested point (a caller's own rule).
    void SetPlacement(std::function<POINT(SIZE)> Value) { placement_ = std::move(Value); }
    TdxBarSubItemControl* SubItemOwner() const { return subItemOwner_; }
    void SetSubItemOwner(TdxBarSubItemControl* Value) { subItemOwner_ = Value; }
    TdxBarButtonControl* DropDownOwner() const { return dropDownOwner_; }
    void SetDropDownOwner(TdxBarButtonControl* Value) { dropDownOwner_ = Value; }
    // Opened from the keyboard: its first line is selected.
    void SelectFirstLine();
    // The window that owns the popup window; none: the manager's form.
    void SetParentWindow(HWND Value) { parentWindow_ = Value; }
    // Shown at a point rather than from an item (there the right button acts as the left one).
    bool IsFreePopup() const;

    // The next showing is animated (set by the opener); while an animation runs, it is running.
    bool Animating() const { return animating_; }
    void SetAnimating(bool Value) { animating_ = Value; }
    TdxBarMenuAnimations Animation() const { return animation_; }
    void StopAnimation();
    // Placement flipped the menu to the left of its item, or above it.
    bool FlippedLeft() const { return flippedLeft_; }
    bool FlippedUp() const { return flippedUp_; }

    // Scrolling.
    int TopIndex() const { return topIndex_; }
    void SetTopIndex(int Value);
    int VisibleCount() const { return visibleCount_; }
    bool HasTopArrow() const { return topIndex_ >= 1; }
    bool HasBottomArrow() const;
    // Client rectangles of the scroll arrows (empty when not shown).
    RECT TopArrowRect() const { return topArrow_; }
    RECT BottomArrowRect() const { return bottomArrow_; }

    // Recent-items mode: whether it is in force, the expand button, and expanding.
    bool RecentItemsInForce() const;
    bool IsMarkVisible() const;
    RECT MarkRect() const;
    void SetMarkState(int Value) override;
    // Shows every item, re-opening the window (Ctrl+Down, the expand button, its delay).
    void Expand();
    bool Reshowing() const { return reshowing_; }

    // The toolbar a detachable sub-item's menu tears off into, nullptr for a menu without a strip.
    TdxBar* DetachingBar() const;
    bool HasDetachBar() const override { return DetachingBar() != nullptr; }
    bool DetachHot() const override { return detachHot_; }

    // How many menu lines were drawn since the window was made (a measure for repaint work).
    int LinesDrawn() const { return linesDrawn_; }

    // The brush of rarely used lines while the window exists, and on a screen of 256 colours or fewer
    // (in recent-items mode) the one-colour palette realised while lines are drawn.
    HBRUSH RarelyUsedBrush() const { return rarelyUsedBrush_; }
    HPALETTE RarelyUsedPalette() const { return rarelyUsedPalette_; }

    // Overrides of the base.
    int GetSeparatorSize() const override;
    // A popup menu's own font, else the font of the window it opened from.
    HFONT GetFontHandle() const override;
    // Also the menus of sub-items that allow it, and popup menus.
    bool CanCustomizeItems() const override;
    // The rarely used brush while such a line is drawn, unless the style draws flat lines.
    HBRUSH GetBkBrush() const override;
    void CalcMetrics() override;
    void RepaintControl(TdxBarItemControl* Control) override;
    void SetActive(bool Value) override;
    void SetSelectedItemControl(TdxBarItemControl* Control) override;
    void SelectControlByKey(TdxBarItemControl* Control) override;
    void DestroyControls() override;
    void HideAll() override;
    bool IsMenuJoinedToItem() const override { return false; }

    // Before the menu shows, and after its window is gone.
    std::function<void(TdxBarSubMenuControl*Sender)> OnCloseUp, OnPopup;

    // Timer ids on the window.
    static constexpr uintptr_t ScrollTimerId = 1;
    static constexpr uintptr_t ShowMarkTimerId = 2;
    static constexpr uintptr_t ExpandTimerId = 3;
    static constexpr UINT ScrollInterval = 80;
    static constexpr UINT ExpandDelay = 4000;
    static constexpr UINT MarkExpandDelay = 1000;

protected:
    LRESULT WndProc(TMessage& Message) override;
    void Paint(HDC DC) override;
    void WMKeyDown(TWMKey Message) override;
    void WMLButtonDown(TWMMouse Message) override;
    void WMMouseMove(TWMMouse Message) override;

private:
    void CreateWnd();
    // The closing path: timers, the child menu, the opener hand-back, the window.
    void CloseWindow();
    // While a line of this menu is dragged the window outlives the menu, hidden and handed to the
    // manager: the drag runs on its mouse capture. True when it was parked so.
    bool ParkWhileDragged();
    void CreateRarelyUsedBrush();
    void DeleteRarelyUsedBrush();
    // Which lines are rarely used and where runs of them begin, laying out from line First.
    void MarkRarelyUsed(int First);
    // The extra row above a line that starts a run, where the style draws the band's edges.
    int RunStartGap(const TdxBarItemControl* Control) const;
    // A separator gap lies above the shown line Index: it begins a group below the top line.
    bool SeparatedAbove(const TdxBarItemLink* Link, int Index) const;
    // The band at the left that the menu's owner paints (OnPaintBar).
    void PaintSideBar(HDC DC);
    // A drop-down button's menu closed by itself: the button comes up and, unless the close was its
    // own press or a key for this level, the bar it lies on ends its chain.
    void HandBackToDropDownOwner();
    void Place(SIZE Size);
    SIZE CalcSize();
    void CalcLayout();
    // Last: the line is the last one shown above the menu's bottom.
    void DrawLine(HDC DC, TdxBarItemControl* Control, bool Last);
    SubMenuParts Parts() const;
    void InvalidateMark();
    // Into the DC WM_PRINT brings, else onto the window.
    void NCPaint(HDC PrintDC = nullptr);
    // Escape: closes this level of the chain.
    void CloseLevel();
    void SetDetachHot(bool Value);
    // The strip held down: the pointer leaving it tears the menu off into its toolbar, which follows
    // the pointer until the button comes up.
    void DetachDrag();
    int DetachHeight() const;
    void WMTimer(uintptr_t Id);
    void ScrollTick();
    int ShownIndex(const TdxBarItemControl* Control) const;
    void ScrollIntoView(TdxBarItemControl* Control);
    void KillDelayTimer();
    void StartDelayTimer(uintptr_t Id, UINT Elapse);
    // Container items put their generated lines in after themselves for the time the menu is open, and
    // take them out again.
    void ExpandContainers();
    void CollapseContainers();

    POINT requested_{0, 0};
    // Where the window was when it was made (it re-opens there expanded).
    POINT savedPos_{0, 0};
    int ownerWidth_ = 0;
    int ownerHeight_ = 0;
    std::function<POINT(SIZE)> placement_;
    bool ignoresCustomizing_ = false;
    TdxBarSubItemControl* subItemOwner_ = nullptr;
    TdxBarButtonControl* dropDownOwner_ = nullptr;
    HWND parentWindow_ = nullptr;
    int topIndex_ = -1;
    int visibleCount_ = 0;
    RECT topArrow_{0, 0, 0, 0};
    RECT bottomArrow_{0, 0, 0, 0};
    int linesBottom_ = 0;
    uintptr_t delayTimer_ = 0;
    uintptr_t scrollTimer_ = 0;
    POINT scrollCursorPos_{-1, -1};
    bool scrollUp_ = false;
    bool detachHot_ = false;
    bool reshowing_ = false;
    bool animating_ = false;
    TdxBarMenuAnimations animation_ = maNone;
    bool flippedLeft_ = false;
    bool flippedUp_ = false;
    bool freeing_ = false;
    bool layoutValid_ = false;
    int arrowWidth_ = 0;
    int markLineHeight_ = 19;
    int linesDrawn_ = 0;
    HBRUSH rarelyUsedBrush_ = nullptr;
    HPALETTE rarelyUsedPalette_ = nullptr;
    // The line being drawn: its background follows whether it is rarely used.
    TdxBarItemControl* drawingLine_ = nullptr;
    bool expandingContainers_ = false;
    // A container's link, hidden while its generated links stand in for it.
    struct Expansion {
        TdxBarItemLink* Source;
        std::vector<TdxBarItemLink*> Generated;
    };
    std::vector<Expansion> expansions_;
};

// The menu of a container item on a toolbar: it shows the links the container generates for it.
class TContainerItemSubMenuControl : public TdxBarSubMenuControl {
public:
    TContainerItemSubMenuControl(TdxBarManager* AOwner, TdxBarItemLinks* ALinks);
    ~TContainerItemSubMenuControl() override;
    bool IsCustomizing() const override { return false; }
    void CreateControls() override;
    void DestroyControls() override;

private:
    // The container whose links it shows; the link turns to nothing when the container goes first.
    TcxObjectLinkPtr container_;
    bool filled_ = false;
};

// The modal drag of a menu's detach strip, held down on the menu Owner opened: leaving Strip (screen)
// closes the menu and floats Bar under the pointer, coming back hides it and opens the menu again, the
// button's release leaves the toolbar where it is and Escape puts it away.
void DetachStripDrag(TdxBarSubItemControl* Owner, TdxBar* Bar, const RECT& Strip);

// Makes the menu window of a sub-item's, popup menu's or drop-down button's links.
std::unique_ptr<BarControl> CreateSubMenuControl(TdxBarItemLinks* Links);

} // namespace bars
