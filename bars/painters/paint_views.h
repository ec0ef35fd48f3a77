#pragma once
// What a painter reads of the windows it draws: a bar window (toolbar or menu) and an item control on
// it. The windows implement these; painters only read them and draw.
#include <string>

#include "bars/core/bar_types.h"
#include "platform/gdi/gdi_defs.h"

class TBitmap;
class TCustomImageList;

namespace bars {

class DockPaintView;

class BarPaintView {
public:
    virtual ~BarPaintView() = default;
    virtual TdxBarManager* Manager() const = 0;
    // The toolbar's bar; nullptr for a menu window.
    virtual TdxBar* Bar() const { return nullptr; }
    // dsNone for a floating toolbar and a menu.
    virtual TdxBarDockingStyle PaintDockingStyle() const = 0;
    // The height of one text line ("0" + 6) and the arrow size drawn from it.
    virtual int LineHeight() const = 0;
    virtual int ArrowSize() const { return LineHeight() / 5 < 4 ? 4 : LineHeight() / 5; }
    virtual HFONT PaintFont() const = 0;
    virtual HBRUSH BkBrush() const = 0;
    // Fills R (client coordinates of the DC given) with the window's own background.
    virtual void PaintBackground(HDC DC, const RECT& R, HBRUSH Brush) = 0;
    virtual int ClientWidth() const = 0;
    virtual int ClientHeight() const = 0;
    // The end mark: 0 normal, 1 hot, 2 dropped down.
    virtual int MarkState() const { return 0; }
    virtual bool MarkVisible() const { return false; }
    virtual bool ItemsHidden() const { return false; }
    // The floating close button: 0 normal, 1 hot, 2 pressed.
    virtual int CloseButtonState() const { return 0; }
    // Window coordinates of the floating caption's close button and mark.
    virtual RECT CloseButtonRect() const { return RECT{0, 0, 0, 0}; }
    virtual RECT CaptionMarkRect() const { return RECT{0, 0, 0, 0}; }
    virtual bool IsSubMenu() const { return false; }
    // A menu window: the width of the side band its owner paints, and the height of one menu line.
    virtual int SideBarWidth() const { return 0; }
    virtual int MenuLineHeight() const { return LineHeight(); }
    // A menu window: the width of a band it keeps right of its glyph band (0 when none).
    virtual int ExtraWidth() const { return 0; }
    // The strip at the top of a menu that tears it off into a toolbar, and the pointer over it.
    virtual bool HasDetachBar() const { return false; }
    virtual bool DetachHot() const { return false; }
    // A docked toolbar: the client rectangle of the site it lies in, in the toolbar's client coordinates,
    // and the site.
    virtual bool DockSiteRect(RECT&) const { return false; }
    virtual DockPaintView* PaintDockSite() const { return nullptr; }
    // The drop-down of a toolbar's end mark, and the menu of its "Add or Remove Buttons" entry.
    virtual bool IsQuickControl() const { return false; }
    virtual bool IsQuickCustomizingMenu() const { return false; }
    // Its window (0 until it has one).
    virtual HWND PaintWindow() const { return nullptr; }
    // A size the window keeps for whoever asks (its smallest width).
    virtual int MinWidth() const { return 0; }
    // What of the non-client area the outer border ring leaves, in window coordinates.
    virtual RECT NonClientRect() const { return RECT{0, 0, 0, 0}; }
    // A menu window of an expanded recent-items menu while it paints the background of a rarely used line
    // (such lines get a background of their own).
    virtual bool ShowsRarelyUsedItems() const { return false; }
    // The height of the menu's line with the button that shows every item.
    virtual int MarkLineHeight() const { return MenuLineHeight(); }
    // A menu window's own picture (a popup menu's), which it shows in place of the manager's menu
    // picture; nullptr when it has none.
    virtual TBitmap* OwnBackgroundBitmap() const { return nullptr; }
    // Where the drop-down the end mark opened touches the mark, in the coordinates the mark is drawn in
    // (client for a docked toolbar, window for a floating one's caption); empty when they do not touch.
    virtual RECT MarkDroppedDownJoint() const { return RECT{0, 0, 0, 0}; }
};

// A dock site as the painter sees it: its side, its size and the rows of toolbars in it.
class DockPaintView {
public:
    virtual ~DockPaintView() = default;
    virtual TdxBarDockingStyle Side() const = 0;
    // Client size of the site.
    virtual SIZE SiteSize() const = 0;
    virtual int RowCount() const = 0;
    // Where row Index starts and ends across the site (y on a top or bottom site, x on a side one).
    virtual void RowExtent(int Index, int& From, int& To) const = 0;
    // Every toolbar of the row has no border.
    virtual bool RowBorderless(int Index) const = 0;
    // A bitmap the painter may keep the site's drawn background in, to copy on every paint; the site
    // empties it whenever it needs drawing anew (its size or its colours changed). nullptr: none.
    virtual TBitmap* PainterCache() { return nullptr; }
};

// The parts of a menu window that are not lines, laid out by the window (client coordinates); empty
// rectangles for the parts it does not show.
struct SubMenuParts {
    // Where the lines go; the space around them inside the client area belongs to the frame.
    RECT Items{0, 0, 0, 0};
    RECT TopArrow{0, 0, 0, 0};
    RECT BottomArrow{0, 0, 0, 0};
    // The line under the bottom arrow begins a group: a one-pixel separator row above the arrow, lighter
    // than the menu when that line is recent, darker when it is rarely used.
    bool BottomArrowSeparator = false;
    bool BottomArrowRarelyUsed = false;
    // Where the last displayed line ends, and where the space below it ends (a bottom arrow and the gap
    // above it lie in that space).
    int LinesBottom = 0;
    int SpaceBottom = 0;
    // The button that shows every item (the menu's mark) and its state: 0 normal, 1 hot.
    RECT Mark{0, 0, 0, 0};
    int MarkState = 0;
};

class ItemPaintView {
public:
    virtual ~ItemPaintView() = default;
    virtual BarPaintView& ParentView() const = 0;
    virtual bool PaintEnabled() const = 0;
    // It is its bar window's selected (hot) control.
    virtual bool PaintSelected() const { return false; }
    virtual std::string PaintCaption() const = 0;
    virtual TBitmap* PaintGlyph() const { return nullptr; }
    virtual TCustomImageList* PaintImages() const { return nullptr; }
    virtual int PaintImageIndex() const { return -1; }
    // It has a picture to show (a glyph, or an image of its list).
    virtual bool HasPicture() const { return false; }
    // A line of a recent-items menu that is not recent.
    virtual bool IsRarelyUsed() const { return false; }
    // A check item (a down check button draws its check mark when it has no picture).
    virtual bool IsCheckItem() const { return false; }
    // Where its open menu's border meets it (the stretch its own frame leaves open), in the client
    // coordinates of its bar window; empty when no joined menu is open.
    virtual RECT DroppedDownJoint() const { return RECT{0, 0, 0, 0}; }
    // An edit or combo item: the width of its drop-down button (0 without one), whether its text may
    // not be changed.
    virtual int ComboButtonWidth() const { return 0; }
    virtual bool IsReadOnly() const { return false; }
    // A sub-item (a control that opens a menu of its own).
    virtual bool IsSubItem() const { return false; }
    // Its item draws the value it shows into R, in the colours given and the bar font selected; false
    // when it has no drawing of its own.
    virtual bool DrawItemValue(HDC, const RECT&, COLORREF /*Text*/, COLORREF /*Back*/) { return false; }
};

// What the band behind rarely used menu lines needs of one line.
struct SideStripLine {
    bool BeginGroup = false;
    bool RarelyUsed = false;
    // The last line the menu shows.
    bool Last = false;
};

// The state an item is drawn in.
struct ItemState {
    bool Selected = false;
    bool Down = false;
    bool Pressed = false;
    bool Enabled = true;
    bool DroppedDown = false;
    // Drawn as a menu line rather than on a toolbar.
    bool InMenu = false;
};

} // namespace bars
