#pragma once
// The drop-down of a toolbar's end mark: a small toolbar window of its own, under the mark, that shows
// the toolbar's buttons that did not fit, then "&Add or Remove Buttons", whose menu has a check line
// per link of the toolbar that shows or hides it at once and keeps the menu open, and "&Reset Toolbar"
// when the bar may be reset.
#include <map>
#include <memory>

#include "bars/core/bar_button.h"
#include "bars/core/sub_item.h"
#include "bars/windows/item_control.h"
#include "bars/windows/toolbar_control.h"
#include "lookandfeel/object_links.h"
#include "platform/rtl/wintypes.h"

class TdxBarItemLink;

namespace bars {

// One item whose every link stands for a link of the source toolbar.
class TdxBarQuickCustItem : public TdxBarButton {
public:
    explicit TdxBarQuickCustItem(TComponent* AOwner) : TdxBarButton(AOwner) {}
    std::string ClassName() const override { return "TdxBarQuickCustItem"; }
    // The toolbar's link a link of this item stands for.
    TdxBarItemLink* SourceLink(const TdxBarItemLink* Link) const;
    void SetSourceLink(const TdxBarItemLink* Link, TdxBarItemLink* Source);
    void ClearSourceLinks() { sources_.clear(); }

private:
    std::map<const TdxBarItemLink*, TdxBarItemLink*> sources_;
};

// "&Add or Remove Buttons": the drop-down's sub-item whose menu fills as it opens.
class TdxBarQuickSubItem : public TdxBarSubItem {
public:
    explicit TdxBarQuickSubItem(TComponent* AOwner) : TdxBarSubItem(AOwner) { SetTemporary(true); }
    std::string ClassName() const override { return "TdxBarQuickSubItem"; }
};

// "&Reset Toolbar" at the end of that menu.
class TdxBarQuickCustExtButton : public TdxBarButton {
public:
    explicit TdxBarQuickCustExtButton(TComponent* AOwner) : TdxBarButton(AOwner) {}
    std::string ClassName() const override { return "TdxBarQuickCustExtButton"; }
};

// A check line: a square with a check while the source link shows, then the source item's picture,
// caption and shortcut as a menu line. Its click shows or hides the source link and keeps the menu
// open.
class TdxBarQuickCustItemControl : public TdxBarButtonControl {
public:
    using TdxBarButtonControl::TdxBarButtonControl;
    // The toolbar's link the line stands for (nullptr for the reset line).
    TdxBarItemLink* SourceLink() const;
    std::string GetCaption() const override;
    std::string GetHint() const override;
    TBitmap* PaintGlyph() const override;
    int PaintImageIndex() const override;
    std::string ShortCutText() const override;
    bool IsCheckItem() const override { return false; }
    // A menu line's width and room for the square.
    int GetWidth() const override;
    bool CloseMenusOnClick() const override { return false; }
    void ControlClick(bool ByMouse) override;
    void Draw(HDC DC, const RECT& R, int PaintType) override;

protected:
    // The reset line has no check square.
    virtual bool HasCheck() const { return true; }
};

// The reset line: drawn like a check line without its check. It closes the menus: the reset it runs
// rebuilds the links the check lines stand for.
class TdxBarQuickCustExtButtonControl : public TdxBarQuickCustItemControl {
public:
    using TdxBarQuickCustItemControl::TdxBarQuickCustItemControl;
    bool CloseMenusOnClick() const override { return true; }
    void ControlClick(bool ByMouse) override { TdxBarItemControl::ControlClick(ByMouse); }

protected:
    bool HasCheck() const override { return false; }
};

std::unique_ptr<ItemControl> CreateQuickCustExtButtonControl(TdxBarItemLink* Link);
std::unique_ptr<ItemControl> CreateQuickCustItemControl(TdxBarItemLink* Link);

// The drop-down window: a floating toolbar without caption over a hidden bar of its own, which it
// frees with itself once its toolbar has let go of it.
class TdxBarQuickControl : public TdxBarControl {
public:
    TdxBarQuickControl(TdxBarControl* Source, TdxBar* HiddenBar);
    ~TdxBarQuickControl() override;

    // The toolbar whose mark opened it; nullptr once that toolbar has let go of it.
    TdxBarControl* SourceBar() const { return source_; }
    TdxBarQuickSubItem* QuickSubItem() const;
    TdxBarQuickCustItem* QuickCustItem() const;

    bool IsQuickControl() const override { return true; }
    HBRUSH GetBkBrush() const override;
    void HideAll() override;
    // Its size for its links, frame included.
    SIZE WindowSize();
    // The menu of "&Add or Remove Buttons", filled as it opens.
    void FillAddRemove();
    // A manager goes: the drop-downs of its toolbars let go of the bars it frees.
    static void ManagerGoing(TdxBarManager* Manager);

protected:
    LRESULT WndProc(TMessage& Message) override;

private:
    friend TdxBarQuickControl* ShowQuickControl(TdxBarControl* Source);
    friend void ReleaseQuickControl(TdxBarQuickControl* Control);

    TdxBarControl* source_;
    TdxBarQuickSubItem* quickSubItem_ = nullptr;
    TdxBarQuickCustItem* quickCustItem_ = nullptr;
    // The items are the manager's too: it may free them first.
    TcxObjectLinkPtr subItemAlive_;
    TcxObjectLinkPtr custItemAlive_;
    // Once its toolbar has let go of it, the hidden bar is this window's to free.
    bool ownsBar_ = false;
};

// Where a drop-down of Size opens beside a toolbar's Mark (screen), inside the Work area: to the right
// of a vertical toolbar's mark (to its left when the screen ends), right-aligned under a docked
// horizontal toolbar's mark, left-aligned under a floating one's, and above the mark when there is no
// room below.
POINT QuickControlPlace(const RECT& Mark, SIZE Size, bool Vertical, bool Floating, const RECT& Work);

// Makes and shows the drop-down of the toolbar's mark; the toolbar owns it until its mark comes up.
TdxBarQuickControl* ShowQuickControl(TdxBarControl* Source);
// Hides the drop-down and frees it once none of its handlers runs any more.
void ReleaseQuickControl(TdxBarQuickControl* Control);
// The drop-down open now, nullptr when none.
TdxBarQuickControl* CurrentQuickControl();
// Whether a toolbar's drop-down is open (the question the model asks before it locks redrawing).
bool QuickControlShown();
// Another bar window selected a control while the drop-down is open and not in use: it closes a moment
// later when that window has taken the menus over meanwhile.
void QuickControlSelectionElsewhere(const TCustomdxBarControl* Bar);
// A press anywhere but on the drop-down (or on the mark that opened it) closes a drop-down not in use;
// Window is the window under the pointer, P the pointer on the screen.
void CloseQuickControlOnPress(UINT Msg, HWND Window, POINT P);

} // namespace bars
