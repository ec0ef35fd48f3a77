#pragma once
// The window of one toolbar: docked, a child of its dock site; floating, a popup owned by the form with
// a caption, a close button and a sizing frame. It lays its item controls out in rows, draws its frame,
// grip and end mark, enters keyboard mode for the menu keys, and starts a move by its grip or caption.
#include <functional>

#include "bars/windows/bar_control.h"
#include "lookandfeel/object_links.h"
#include "platform/gdi/scoped.h"

class TdxBar;
class TCustomForm;

namespace bars {

class TdxDockControl;
class TdxBarQuickControl;

// The room a docked toolbar's end mark takes along the bar.
inline constexpr int MarkSize = 11;

class TdxBarControl : public TCustomdxBarControl {
public:
    TdxBarControl(TdxBarManager* AOwner, TdxBar* ABar);
    ~TdxBarControl() override;

    TdxBar* Bar() const override { return bar_; }
    bool IsToolbar() const override { return true; }
    void RepaintBar() override;
    void SetLockUpdate(bool Value) override;
    void SetLockFlag(bool Value) override { lockFlag_ = Value; }
    void Recalculate() override { RepaintBar(); }
    void SavePosition() override;
    void SetDocked(TdxBarDockingStyle Style, TComponent* DockControl) override;
    SIZE FloatingSize() override;
    void FontChanged() override { RepaintBar(); }
    void CaptionChanged() override;
    void RepaintBackground() override;
    void RepaintFrame() override;

    // What the painter reads.
    bool MarkVisible() const override { return IsMarkVisible(); }
    bool ItemsHidden() const override { return itemsHidden_; }
    int CloseButtonState() const override { return closeButtonState_; }
    RECT CloseButtonRect() const override;
    RECT CaptionMarkRect() const override;
    RECT MarkDroppedDownJoint() const override;
    bool DockSiteRect(RECT& R) const override;
    DockPaintView* PaintDockSite() const override;

    // Overrides of the base.
    bool IsLastControl(TdxBarItemControl* Control) const override;
    bool IsDockedOrNotFlat() const override;
    bool CanCustomizeItems() const override;
    int GetSeparatorSize() const override;
    HFONT GetFontHandle() const override;
    // Docked at a side with its bar turning captions: the bar's font turned a quarter down.
    HFONT PaintFont() const override;
    RECT GetItemRect(TdxBarItemControl* Control) const override;
    HBRUSH GetBkBrush() const override;
    bool IsMouseStill(POINT Client) override;
    void RepaintControl(TdxBarItemControl* Control) override;
    void SetActive(bool Value) override;
    void SelectControlByKey(TdxBarItemControl* Control) override;
    void SetMarkState(int Value) override;
    // Besides the controls themselves, the empty end of a row takes a drop after its last control.
    TdxBarItemControl* GetDropTarget(POINT P, bool& OutsideMain, bool& Vertical, bool& Before) override;
    // Its own picture, the manager's toolbar picture, its own colour, else the site's background.
    void DrawBackground(HDC DC, const RECT& R, HBRUSH Brush) override;
    // A floating toolbar takes its bar's transparency; a docked one is opaque.
    void UpdateAlpha() override;
    void HideAll() override;

    bool IsMarkVisible() const;
    // The caption buttons on a main menu bar: minimize, restore and close of a maximized MDI child, or
    // the manager's lone close button; how many show (0, 1 or 3), each one's client rectangle, its kind
    // (0 minimize, 1 restore, 2 close) and whether it may be pressed.
    int MDIButtonCount() const;
    RECT MDIButtonRect(int Index) const;
    int MDIButtonKind(int Index) const { return MDIButtonCount() == 1 ? 2 : Index; }
    bool MDIButtonEnabled(int Index) const;
    // The mark's place on the screen, in the frame of a floating toolbar.
    RECT MarkScreenRect();
    TdxDockControl* DockSite() const { return dockSite_; }
    DockControl* CurrentDockControl() const override;
    int NCHitCode() const { return ncHitCode_; }
    bool Locked() const { return lockUpdate_ || lockCount_ > 0; }
    void SetItemsHidden(bool Value) { itemsHidden_ = Value; }
    // The drop-down its mark opened, nullptr while the mark is up.
    TdxBarQuickControl* QuickControl() const { return quickControl_; }
    // The drop-down is freed without the mark coming up (the manager frees its hidden bar first): the
    // toolbar forgets it.
    void QuickControlGone(const TdxBarQuickControl* Quick) {
        if (quickControl_ == Quick) quickControl_ = nullptr;
    }
    // False for the drop-down of a mark: no caption and no close button.
    bool HasCaption() const { return hasCaption_; }

    // Keyboard (menu) mode.
    void EnterKeyboardMode(TdxBarItemControl* Control);
    void LeaveKeyboardMode();
    bool InKeyboardMode() const { return keyboardMode_; }
    // A menu was opened from keyboard mode (a click or Enter): moving along the bar opens the next.
    bool MenuOpened() const { return menuOpened_; }
    void SetMenuOpened(bool Value) { menuOpened_ = Value; }
    // Its dock site goes: the window goes with it.
    void SiteDestroying();

    // Docked, it goes into Site with Style; floating (dsNone), it becomes a popup of the form. The window
    // is made again for the new style, except while the toolbar moves: then it only changes over to the
    // other of its two windows.
    void ChangeDockingStyle(TdxBarDockingStyle Style, TdxDockControl* Site);
    // A move by the mouse keeps a docked and a floating window ready, so that the toolbar changes from
    // one to the other without making a window each time; the one not in use at the end goes.
    void SetMoving(bool Value);
    bool Moving() const { return moving_; }
    HWND DockedWnd() const { return dockedWnd_; }
    HWND FloatingWnd() const { return floatingWnd_; }
    // The window of its bar whose dock site lies on (docked) or which owns it (floating).
    TCustomForm* GetDockingForm() const;
    // The strip of a docked toolbar's frame before its client area, in client coordinates, that moves
    // it (empty when floating or borderless).
    RECT GetGripZone() const;

    // Layout (the extents include no frame).
    int GetMinWidth(TdxBarDockingStyle Style);
    int GetMinHeight(TdxBarDockingStyle Style);
    int GetFullWidth(TdxBarDockingStyle Style);
    int GetFullHeight(TdxBarDockingStyle Style);
    void WrapRows(TdxBarDockingStyle Style, int Limit, SIZE& Size);
    void CalcSize(TdxBarDockingStyle Style, int Width, SIZE& Size);
    void CalcColumnSize(TdxBarDockingStyle Style, int Height, SIZE& Size);
    // The window's size in a style, frame included.
    SIZE GetSizeForDockingStyle(TdxBarDockingStyle Style);
    void CalcControlsPositions();
    // The client size a floating toolbar takes for a wanted client height: the narrowest wrap whose
    // height does not pass it, searched down to the smallest width.
    SIZE FloatingSizeForHeight(int Height);
    // The client width a floating window needs for its caption to show whole.
    int FloatingCaptionRoom();
    // Gives the floating window a place and a size the toolbar worked out from its bar's stored width.
    // Saving the position then keeps that width: only a size the user gives the window replaces it.
    void SetFloatingBounds(POINT TopLeft, SIZE Size);

    // A move by the mouse is running; where the pointer grabbed the window when it began, and how far
    // the drag moves the pointer across the rows so that it stands for the row the toolbar was in.
    bool Dragging = false;
    POINT GrabOffset{0, 0};
    SIZE GrabSize{0, 0};
    POINT DockGrabOffset{0, 0};
    // Where the pointer holds a window of this size during the move: the grab point keeps its place
    // relative to the window's size.
    POINT GrabOffsetFor(SIZE Size) const;

protected:
    LRESULT WndProc(TMessage& Message) override;
    void Paint(HDC DC) override;
    // Lets go of the bar and its links before they go (the drop-down of a mark frees its own bar).
    void ForgetBar();

    bool hasCaption_ = true;
    void WMKeyDown(TWMKey Message) override;
    void WMLButtonDown(TWMMouse Message) override;
    void WMMouseMove(TWMMouse Message) override;
    void WMMouseLeave(TMessage& Message) override;
    void WMLButtonUp(TWMMouse Message) override;

private:
    void CreateForStyle();
    // Takes Wnd as its window (the other one keeps no way back here).
    void TakeOverHandle(HWND Wnd);
    // The room the caption buttons take along and across a row (0 when none show).
    struct MDIExtent {
        int along = 0;
        int across = 0;
    };
    MDIExtent MDIArea(bool Vertical) const;
    // The press of a caption button: held while the pointer stays on it, run when released there.
    void MDIButtonPress(int Index);
    // A pressed button's own capture loop (the caption buttons', the floating close button's): Move gets
    // each pointer move (non-client ones too when NonClient), Release the release that ends it. False when
    // the control went meanwhile.
    bool TrackPress(bool NonClient, const std::function<void(const MSG&)>& Move,
                    const std::function<void()>& Release);
    void SetMDIHot(int Index);
    bool IsVertical(TdxBarDockingStyle Style) const { return Style == dsLeft || Style == dsRight; }
    bool IsHorizontalDocked(TdxBarDockingStyle Style) const { return Style == dsTop || Style == dsBottom; }
    bool IsMultiLine(TdxBarDockingStyle Style) const;
    // Single-row measure of the shown links up to Limit; Overflow tells whether a link past the first
    // would have passed it.
    SIZE MeasureRow(bool Vertical, int Limit, bool& Overflow);
    RECT WindowBorders() const;
    void NCCalcSize(TWMNCCalcSize Message);
    LRESULT NCHitTest(TWMNCHitTest Message);
    void NCPaint();
    void NCLButtonDown(TWMNCHitMessage Message);
    void NCMouseMove(TWMNCHitMessage Message);
    void Sizing(TWMSizing Message);
    void CaptionDoubleClick();
    // The window procedure's longer cases, each given the message whole and returning its result.
    LRESULT ChooseCursor(TMessage& Message);
    LRESULT EnterSizeMove(TMessage& Message);
    LRESULT ExitSizeMove(TMessage& Message);
    LRESULT GetMinMaxInfo(TMessage& Message);
    LRESULT WindowPosChanged(TMessage& Message);
    LRESULT RButtonDown(TMessage& Message);
    LRESULT LButtonDblClk(TMessage& Message);
    // The window goes from under the toolbar (its form's window is made again): the bar shows again
    // with the form's next window.
    void WMDestroy();
    void MarkTimer();
    // Customizing: the client point lies on an end strip of the selected control whose width can be
    // dragged; RightEdge tells which end.
    bool OnEditSizingEdge(POINT Client, bool& RightEdge) const;
    // The frame of the width shown so far, drawn and taken away again by inverting it.
    RECT EditSizingFrame() const;
    void InvertEditSizingFrame();
    void EndEditSizing(bool Apply);
    RECT MarkRect();
    void InvalidateMark();

    TdxBar* bar_;
    TdxDockControl* dockSite_ = nullptr;
    int closeButtonState_ = 0;
    // Where the caption buttons stand (client), and which one is hot or held down (-1: none).
    RECT mdiArea_{0, 0, 0, 0};
    int mdiHot_ = -1;
    int mdiPressed_ = -1;
    int ncHitCode_ = 0;
    int lockCount_ = 0;
    TdxBarQuickControl* quickControl_ = nullptr;
    bool moving_ = false;
    HWND dockedWnd_ = nullptr;
    HWND floatingWnd_ = nullptr;
    bool lockUpdate_ = false;
    bool lockFlag_ = false;
    // Where the floating window's last size came from: the toolbar, which works it out from the stored
    // width; the user, by the window's edge; or the window system, which may report an earlier size of
    // the window (the toolkit's default before the first) after the toolbar has given it another.
    // Only the user's size is stored as the width, and the window system's as nothing.
    enum class SizeSource { Toolbar, User, WindowSystem };
    SizeSource sizeSource_ = SizeSource::User;
    bool settingOwnSize_ = false;
    // Where the floating window stood as the user's move or size of it began.
    RECT sizeMoveStart_{0, 0, 0, 0};
    // The window's sizing loop runs, or it asked for the size that comes next (WM_SIZING).
    bool userSizing_ = false;
    bool sizingAsked_ = false;
    bool itemsHidden_ = false;
    bool menuOpened_ = false;
    bool keyboardMode_ = false;
    HWND savedFocus_ = nullptr;
    bool markTimer_ = false;
    bool editSizing_ = false;
    bool editSizingRightEdge_ = false;
    int editSizeWidth_ = 0;
    // Where the press took the end, and the width then: the end moves as far as the pointer does.
    int editSizingStartX_ = 0;
    int editSizingStartWidth_ = 0;
    // The control being sized; it may go (its bar rebuilt) while the button is held.
    TcxObjectLinkPtr editSizingLink_;
    TdxBarItemControl* SizingControl() const {
        return editSizingLink_ != nullptr ? static_cast<TdxBarItemControl*>(editSizingLink_->Ref) : nullptr;
    }
    // The turned font, and the font it was made from.
    mutable pw::gdi::OwnedObject<HFONT> turnedFont_;
    mutable HFONT turnedFrom_ = nullptr;
};

} // namespace bars
