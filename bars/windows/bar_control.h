#pragma once
// The window that shows a collection of item links as item controls: the base of toolbar windows and
// menu windows. It owns the controls of its links' window, knows the selected (hot) and pressed one,
// routes the mouse and the keyboard to them, keeps the chain of active bar windows, and never takes the
// focus or activates.
#include <memory>
#include <string>

#include "bars/core/bar_views.h"
#include "bars/painters/paint_views.h"
#include "platform/gui/message_views.h"

class TdxBarManager;

namespace bars {

class TdxBarItemControl;
class TdxBarItemControlPainter;

class TCustomdxBarControl : public BarControl, public BarPaintView {
public:
    TCustomdxBarControl(TdxBarManager* AOwner, TdxBarItemLinks* ALinks);
    ~TCustomdxBarControl() override;
    TCustomdxBarControl(const TCustomdxBarControl&) = delete;
    TCustomdxBarControl& operator=(const TCustomdxBarControl&) = delete;

    // What the model asks.
    TdxBarItemLinks* ItemLinks() const override { return links_; }
    BarControl* ParentBarControl() const override { return parentBar_; }
    HWND Handle() const override { return handle_; }
    bool IsDestroying() const override { return destroying_; }
    bool IsCustomizing() const override;
    bool IsActive() const override { return active_; }
    bool IsVisible() const override;
    RECT ClientRect() const override;
    TdxBarDockingStyle DockingStyle() const override { return dockingStyle_; }
    ItemControl* SelectedControl() const override;
    void SetSelectedControl(ItemControl* Control) override;
    // Later, from the loop: whoever moved the selection is still on the stack, and closing the menu
    // now would free item controls it may be using.
    void DropSelection() override;
    void CreateControls() override;
    void RecreateItemControls() override;
    void LinksChanged() override;
    void PainterChanged() override;
    void Refresh() override;

    // What the painter reads.
    TdxBarManager* Manager() const override { return manager_; }
    TdxBarDockingStyle PaintDockingStyle() const override { return dockingStyle_; }
    int LineHeight() const override { return textSize_; }
    int ArrowSize() const override { return textIndent_; }
    HFONT PaintFont() const override { return GetFontHandle(); }
    HBRUSH BkBrush() const override { return GetBkBrush(); }
    void PaintBackground(HDC DC, const RECT& R, HBRUSH Brush) override;
    int ClientWidth() const override;
    int ClientHeight() const override;
    int MarkState() const override { return markState_; }
    HWND PaintWindow() const override { return handle_; }

    const TdxBarItemControlPainter& Painter() const;
    TdxBarItemControl* Selected() const { return selected_; }
    TdxBarItemControl* PressedControl() const { return pressed_; }
    // The drop-down menu of Control closed under a press on it: this window holds that press (and the
    // mouse) until its release, which then clicks and opens nothing.
    void TakeOverPress(TdxBarItemControl* Control);
    bool PressedControlHot() const { return pressedHot_; }
    TCustomdxBarControl* PrevActiveBarControl() const { return prevActive_; }
    int TextSize() const { return textSize_; }
    int TextIndent() const { return textIndent_; }
    bool DestroyingControls() const { return destroyingControls_; }
    bool InvalidateOnSelect() const { return invalidateOnSelect_; }

    // The chain of open windows: the window whose control opened this one, and the menu this one opened.
    TCustomdxBarControl* ParentBar() const { return parentBar_; }
    void SetParentBar(TCustomdxBarControl* Value) { parentBar_ = Value; }
    TCustomdxBarControl* ChildBar() const { return childBar_; }
    void SetChildBar(TCustomdxBarControl* Value) { childBar_ = Value; }
    // The item that opened this window (screen coordinates) and the window that holds it.
    RECT OwnerItemRect() const { return ownerItemRect_; }
    void SetOwnerItem(const RECT& ScreenRect, TCustomdxBarControl* Bar) {
        ownerItemRect_ = ScreenRect;
        ownerItemBar_ = Bar;
    }
    TCustomdxBarControl* GetOwnerItemBar() const;
    // The owner item's rectangle shares an edge with this window.
    bool IsOwnerItemAdjacent() const;
    // Where this window's border touches the item that opened it (screen coordinates), empty when it
    // does not; Outward gives the item's own border row there instead.
    RECT GetJointRect(bool Outward) const;
    // Control lies up this window's chain of parents.
    bool IsChildBarControl(const TCustomdxBarControl* Control) const;
    // A menu opened from a control of this window is drawn joined to the control.
    virtual bool IsMenuJoinedToItem() const;

    // Frees a window that was taken from its owner once none of its handlers is running any more, from
    // the message loop: a menu may close itself inside its own handler.
    static void ReleaseLater(std::unique_ptr<BarControl> Control);

    // Virtual operations, in the order of the class.
    virtual void DestroyControls();
    virtual void CalcMetrics();
    virtual bool IsLastControl(TdxBarItemControl*) const { return false; }
    virtual bool IsDockedOrNotFlat() const { return true; }
    // While customizing, the user may rearrange this window's links (and drop items on it).
    virtual bool CanCustomizeItems() const;
    virtual int GetSeparatorSize() const = 0;
    virtual HFONT GetFontHandle() const;
    virtual RECT GetItemRect(TdxBarItemControl* Control) const;
    virtual HBRUSH GetBkBrush() const;
    virtual bool IsMouseStill(POINT Client);
    virtual void RepaintControl(TdxBarItemControl* Control);
    virtual void SelectedControlChanged(TdxBarItemControl* Old);
    virtual void SetActive(bool Value);
    virtual void SelectControlByKey(TdxBarItemControl* Control);
    virtual void SelectControlByMouse(TdxBarItemControl* Control);
    virtual void SetSelectedItemControl(TdxBarItemControl* Control);
    virtual void SetMarkState(int Value) = 0;
    virtual void DrawBackground(HDC DC, const RECT& R, HBRUSH Brush);
    // The control a dragged link dropped at the client point P lands on (nullptr when none); Before
    // when it goes before that control, OutsideMain when P is on the separator before it rather than
    // on it, Vertical when the bar lays its controls out downwards (or P lies above that separator).
    virtual TdxBarItemControl* GetDropTarget(POINT P, bool& OutsideMain, bool& Vertical, bool& Before);
    void HideAll() override;

    // While customizing: the frame around the selected control (around the dragged one during a drag),
    // drawn after the control on its link rectangle.
    void DrawCustomizingFrame(HDC DC, TdxBarItemControl* Control) const;
    // A press on a control while customizing waits for the pointer to leave the drag rectangle.
    bool DragPending() const { return dragPending_; }
    // The press that comes next (and its release) does nothing: it closed what this window opened.
    void IgnoreNextMouseUp() { ignoreMouseUp_ = true; }
    // The menu of "Add or Remove Buttons" in a toolbar's end-mark drop-down.
    bool IsQuickCustomizingMenu() const override;

    // The control of the first shown link whose rectangle holds the client point, nullptr when none.
    TdxBarItemControl* ItemAtPos(POINT P) const;
    // A link of this window still holds the control (a click handler may have rebuilt the window).
    bool FindLinkControl(const TdxBarItemControl* Control) const;
    // Clears every reference this window holds to a control that is going (and its capture).
    void ControlDestroying(TdxBarItemControl* Control);
    // This window is in the chain of active bar windows.
    bool InActiveChain() const;
    bool Alive() const;

protected:
    // Makes the window from the class style, style, extended style, parent and bounds given.
    void CreateWindowHandle(DWORD Style, DWORD ExStyle, HWND Parent, const RECT& Bounds);
    void DestroyWindowHandle();
    // The window procedure; returns the message's result.
    virtual LRESULT WndProc(TMessage& Message);
    LRESULT DefaultHandler(TMessage& Message);
    virtual void Paint(HDC DC) = 0;
    virtual void WMKeyDown(TWMKey Message);
    virtual void WMLButtonDown(TWMMouse Message);
    virtual void WMLButtonUp(TWMMouse Message);
    virtual void WMMouseMove(TWMMouse Message);
    virtual void WMMouseLeave(TMessage& Message);
    void WMLButtonDblClk(TWMMouse Message);
    // While customizing: selects the link under the pointer and opens its customizing popup.
    void WMRButtonDown(TWMMouse Message);
    void CustomizingMouseDown(TdxBarItemControl* Control, POINT P);
    // A press on the selected control while customizing: the customizing window shows its command.
    // False when this window went meanwhile.
    bool ShowItemInCustomizingWindow(TdxBarItemControl* Control);
    // The pointer left the drag rectangle of a pending drag: the link drag runs. Answers false when
    // this window went meanwhile.
    bool StartLinkDrag();
    void WMCaptureChanged(TWMCaptureChanged Message);
    void WMPaint();
    // The next mouse move counts as a move, wherever it is.
    void ForgetCursorPos() { lastCursorPos_ = POINT{-1, -1}; }

    TdxBarManager* manager_;
    TdxBarItemLinks* links_;
    HWND handle_ = nullptr;
    TdxBarDockingStyle dockingStyle_ = dsNone;
    int markState_ = 0;
    bool ignoreMouseUp_ = false;
    bool destroying_ = false;
    // While the window changes its own links (a menu's containers putting in their lines), it does
    // not take that for a change to rebuild from.
    int changingOwnLinks_ = 0;
    int textSize_ = 19;
    int textIndent_ = 4;

private:
    friend LRESULT BarWindowProc(HWND, UINT, WPARAM, LPARAM);
    TdxBarItemControl* ControlOf(TdxBarItemLink* Link) const;
    void SelectLink(TdxBarItemLink* Link);

    friend void ReleaseWaitingBarControls();

    TdxBarItemControl* selected_ = nullptr;
    TCustomdxBarControl* parentBar_ = nullptr;
    TCustomdxBarControl* childBar_ = nullptr;
    RECT ownerItemRect_{0, 0, 0, 0};
    TCustomdxBarControl* ownerItemBar_ = nullptr;
    // How many of this window's message handlers are running.
    int handlerDepth_ = 0;
    TdxBarItemControl* pressed_ = nullptr;
    bool pressedHot_ = false;
    bool pressTakenOver_ = false;
    TCustomdxBarControl* prevActive_ = nullptr;
    bool active_ = false;
    bool destroyingControls_ = false;
    bool invalidateOnSelect_ = false;
    bool rebuildPosted_ = false;
    POINT lastCursorPos_{-1, -1};
    bool dragPending_ = false;
    POINT dragStartPos_{0, 0};
};

// The window class every bar window is made from.
const char* BarWindowClassName();

} // namespace bars
