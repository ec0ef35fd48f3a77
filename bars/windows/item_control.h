#pragma once
// Item controls: the view of one link on one bar window. The base answers what every control shares
// (its caption, picture, enabled state, selection, the click path); buttons measure and draw
// themselves as toolbar buttons; sub-items show their caption on a toolbar or menu bar.
#include <memory>
#include <string>

#include "bars/core/bar_views.h"
#include "bars/painters/paint_views.h"
#include "platform/vcl/shortcut.h"

class TdxBarButton;

namespace bars {

class TCustomdxBarControl;
class TdxBarItemControlPainter;

class TdxBarItemControl : public ItemControl, public ItemPaintView {
public:
    explicit TdxBarItemControl(TdxBarItemLink* ALink);
    ~TdxBarItemControl() override;
    TdxBarItemControl(const TdxBarItemControl&) = delete;
    TdxBarItemControl& operator=(const TdxBarItemControl&) = delete;

    // What the model asks.
    TdxBarItemLink* Link() const override { return link_; }
    BarControl* Parent() const override;
    bool IsSelected() const override;
    bool CanSelect() const override;
    RECT ScreenRect() const override;
    void Repaint() override;
    void EnabledChanged() override;
    void CaptionChanged() override;
    void GlyphChanged() override;
    void VisibleChanged() override;
    void BeginGroupChanged() override;
    void Realign() override;
    void Remeasure() override;
    void ButtonStyleChanged() override;
    void DownChanged() override;
    void DropDownEnabledChanged() override;
    void PaintStyleChanged() override;
    void Click() override { ControlClick(false); }

    // What the painter reads.
    BarPaintView& ParentView() const override;
    bool PaintEnabled() const override { return GetEnabled(); }
    bool PaintSelected() const override { return IsSelected(); }
    std::string PaintCaption() const override { return GetCaption(); }
    TBitmap* PaintGlyph() const override;
    RECT DroppedDownJoint() const override;
    TCustomImageList* PaintImages() const override;
    int PaintImageIndex() const override;
    bool HasPicture() const override;
    bool IsRarelyUsed() const override { return RarelyUsed; }

    TCustomdxBarControl* ParentBar() const { return parent_; }
    const TdxBarItemControlPainter& Painter() const;
    TdxBarItem* Item() const;
    bool Active() const { return active_; }
    bool Clicking() const { return clicking_; }
    bool SelectedByMouse() const { return selectedByMouse_; }
    void SetSelectedByMouse(bool Value) { selectedByMouse_ = Value; }
    // Where the control lies on its bar (the link's rectangle).
    RECT Bounds() const;
    bool OnToolbar() const;

    // Virtual operations, in the order of the class.
    virtual bool IsClickable() const { return true; }
    virtual bool CanFocus() const { return CanSelect(); }
    // The one entry for clicks of the mouse, Enter on a selected control and shortcut keys.
    virtual void ControlClick(bool ByMouse);
    virtual void ControlActivate(bool Immediately);
    virtual void ControlInactivate(bool Immediately);
    virtual void BeforeClick(bool ByMouse);
    virtual void PerformClick(bool ByMouse);
    virtual void KeyDown(WORD) {}
    virtual bool WantsKey(WORD) const { return false; }
    virtual std::string GetCaption() const;
    virtual bool GetEnabled() const;
    virtual std::string GetHint() const;
    // The shortcut the control shows (in its menu line and its hint): its item's, none without a link.
    virtual TShortCut GetShortCut() const;
    virtual int GetHeight() const { return 0; }
    virtual int GetWidth() const { return 0; }
    virtual int GetClientWidth() const { return 1; }
    virtual int GetClientHeight() const { return 1; }
    virtual bool CloseMenusOnClick() const { return true; }
    virtual bool CanClickWhilePressed() const { return false; }
    virtual bool IsExpandable() const { return false; }
    // While customizing its width can be dragged at either end (edit items), never below this.
    virtual bool CanSizeWidth() const { return false; }
    virtual int MinSizingWidth() const { return 0; }
    // The menu this control opened (a sub-menu, a drop-down menu), nullptr when none.
    virtual TCustomdxBarControl* GetChildBarControl() const { return nullptr; }
    // PaintType 1: a menu line; anything else: on a toolbar.
    virtual void Draw(HDC DC, const RECT& R, int PaintType) = 0;
    // A double click on the control; false lets the bar take it as a second press.
    virtual bool DoubleClicked() { return false; }
    // Told by its menu as it paints whether the line lies in the part shown (not scrolled away or under
    // a scroll arrow); no control here needs to know.
    virtual void SetInView(bool) {}

    // The extents the bar lays out (a client-aligned control on a toolbar takes its client size).
    int GetWidthInBar() const;
    int GetHeightInBar() const;
    void SetClicking(bool Value);
    // The pointer is over the control with the left button down.
    bool IsMouseOverAndPressed() const;
    TdxBarItemAlign EffectiveAlign() const;

    // Layout state written by the toolbar's layout.
    bool StartsRow = false;
    bool LastInRow = false;
    // The thickness of the row (column) that holds the control.
    int RowSize = 0;
    // The group separator drawn before the control, in the bar's client coordinates.
    RECT SeparatorRect{0, 0, 0, 0};
    // Written by a menu's layout: the line is not among the recent ones of an expanded recent-items menu
    // (it is drawn on the rarely used background), and it starts a run of such lines or of recent ones.
    bool RarelyUsed = false;
    bool RarelyUsedStart = false;
    // Written by a menu's painting: the last line drawn in the part shown.
    bool IsLastInView = false;

protected:
    TdxBarItemLink* link_;
    TCustomdxBarControl* parent_;
    bool active_ = false;
    bool clicking_ = false;
    bool selectedByMouse_ = false;
};

class TdxBarButtonControl : public TdxBarItemControl {
public:
    using TdxBarItemControl::TdxBarItemControl;
    ~TdxBarButtonControl() override;
    TdxBarButton* Button() const;

    void GlyphChanged() override;
    void CaptionChanged() override {
        captionWidth_ = -1;
        TdxBarItemControl::CaptionChanged();
    }
    void ControlInactivate(bool Immediately) override;
    void BeforeClick(bool ByMouse) override;
    void PerformClick(bool ByMouse) override;
    bool IsSelected() const override;
    void KeyDown(WORD Key) override;
    bool WantsKey(WORD Key) const override;
    int GetHeight() const override;
    int GetWidth() const override;
    bool CloseMenusOnClick() const override;
    bool CanClickWhilePressed() const override { return !droppedDown_; }
    TCustomdxBarControl* GetChildBarControl() const override;
    bool ShowsCaption() const override;
    bool IsCheckItem() const override;
    void Draw(HDC DC, const RECT& R, int PaintType) override;

    int GetDropDownArrowWidth() const;
    int CalcDefaultHeight() const;
    int CalcDefaultWidth() const;
    TdxBarPaintStyle EffectivePaintStyle() const;
    bool DroppedDown() const { return droppedDown_; }
    // Opens the item's drop-down menu beside or below the button; its menu gives it back by CloseUp.
    void DropDown(bool ByMouse);
    void CloseUp();

    // The item's shortcut as a menu line shows it ("Ctrl+O"), empty without one.
    virtual std::string ShortCutText() const;

protected:
    void DrawMenuLine(HDC DC, const RECT& R);

private:
    // The window of the item's drop-down menu while it shows, nullptr otherwise.
    TCustomdxBarControl* DropDownWindow() const;
    // The caption's width in the bar's font, measured once: a change of caption or font makes the
    // control again.
    int CaptionWidth() const;

    bool droppedDown_ = false;
    mutable int captionWidth_ = -1;
};

std::unique_ptr<ItemControl> CreateButtonControl(TdxBarItemLink* Link);

} // namespace bars
