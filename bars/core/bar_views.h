#pragma once
// What the model asks of the windows and painters that show it. The bar windows (toolbars and menus),
// the item controls on them, the dock sites and the painters implement these; the model holds them
// through these interfaces only, and has them made by the window library's services (window_services.h).
// Until that library hands its services in, bars and menus have no windows.
#include <memory>
#include <string>

#include "bars/core/bar_types.h"
#include "platform/rtl/wintypes.h"

class TCanvas;
class TComponent;
class TCustomForm;
class TdxBarEdit;
class TdxBars;

namespace bars {

class BarControl;
class DockControl;

// The view of one link on one bar window.
class ItemControl {
public:
    virtual ~ItemControl() = default;
    virtual TdxBarItemLink* Link() const = 0;
    // The bar window that shows it.
    virtual BarControl* Parent() const = 0;

    virtual bool IsSelected() const { return false; }
    virtual bool CanSelect() const { return true; }
    // It shows its caption on a toolbar (a button in a caption paint style).
    virtual bool ShowsCaption() const { return false; }
    // Its window draws an opened menu joined to it.
    virtual bool IsMenuJoinedToItem() const { return false; }
    // A control with an edit window (edit and combo items), and what it holds while being edited.
    virtual bool IsWindowControl() const { return false; }
    virtual bool IsEditing() const { return false; }
    // Its edit window is taking the focus (which moves the activation about).
    virtual bool IsStartingEdit() const { return false; }
    virtual std::string EditText() const { return {}; }
    // The list entry a combo control remembers.
    virtual int ListIndex() const { return -1; }
    virtual void SetListIndex(int) {}
    // Starts editing, or clicks the control.
    virtual void Click() {}
    // Where it lies on the screen.
    virtual RECT ScreenRect() const { return RECT{0, 0, 0, 0}; }

    // What changed of its item or its link.
    virtual void Repaint() {}
    virtual void EnabledChanged() {}
    virtual void CaptionChanged() {}
    virtual void GlyphChanged() {}
    virtual void ShortCutChanged() {}
    virtual void VisibleChanged() {}
    virtual void BeginGroupChanged() {}
    virtual void Realign() {}
    virtual void Remeasure() {}
    virtual void ButtonStyleChanged() {}
    virtual void DownChanged() {}
    virtual void DropDownEnabledChanged() {}
    virtual void PaintStyleChanged() {}
};

// A toolbar window or a menu window; the collection of links it shows owns it.
class BarControl {
public:
    virtual ~BarControl() = default;
    virtual TdxBarItemLinks* ItemLinks() const = 0;
    // A toolbar window rather than a menu window.
    virtual bool IsToolbar() const = 0;
    // 0 until its window exists.
    virtual HWND Handle() const = 0;
    virtual bool IsDestroying() const { return false; }
    virtual bool IsCustomizing() const { return false; }
    // In keyboard or menu mode.
    virtual bool IsActive() const { return false; }
    virtual bool IsVisible() const { return false; }
    virtual RECT ClientRect() const { return RECT{0, 0, 0, 0}; }
    virtual TdxBarDockingStyle DockingStyle() const { return dsNone; }
    // The site a toolbar window lies in now (during a drag before its bar hears of it); none floating.
    virtual DockControl* CurrentDockControl() const { return nullptr; }
    // The menu window this menu opened from, or the bar window that holds this one.
    virtual BarControl* ParentBarControl() const { return nullptr; }
    // The item control whose menu this window is.
    virtual ItemControl* OpenedBy() const { return nullptr; }
    virtual ItemControl* SelectedControl() const { return nullptr; }
    virtual void SetSelectedControl(ItemControl*) {}
    // The manager's selection moved to another bar while customizing: this one lets go of its own as
    // the pointer leaving it would, closing the menu its selected control opened.
    virtual void DropSelection() { SetSelectedControl(nullptr); }

    // Closes the chain of menus this window belongs to and leaves keyboard mode.
    virtual void HideAll() {}
    // Makes the item controls of the links it shows (once its collection holds it).
    virtual void CreateControls() {}
    // Rebuilds its item controls and layout.
    virtual void RepaintBar() {}
    // A link was added, moved or given another item: a shown window rebuilds (once, from the loop).
    virtual void LinksChanged() {}
    // Holds back or lets go its updates (a floating toolbar's own lock).
    virtual void SetLockUpdate(bool) {}
    // A docked toolbar's lock flag.
    virtual void SetLockFlag(bool) {}
    virtual void RecreateItemControls() {}
    virtual void Recalculate() {}
    // Drawing objects and sizes made again after a style or colour change.
    virtual void Refresh() {}
    virtual void PainterChanged() {}
    // Toolbar windows: their bar's place and docking.
    virtual void SavePosition() {}
    virtual void SetDocked(TdxBarDockingStyle, TComponent* /*DockControl*/) {}
    virtual SIZE FloatingSize() { return SIZE{0, 0}; }
    virtual void FontChanged() {}
    virtual void CaptionChanged() {}
    virtual void UpdateAlpha() {}
    virtual void RepaintBackground() {}
    virtual void RepaintFrame() {}
};

// A site toolbars dock in: the four along the form's edges, or one placed on the form.
class DockControl {
public:
    virtual ~DockControl() = default;
    virtual TComponent* Component() = 0;
    virtual TdxBarManager* BarManager() const = 0;
    virtual TdxBarDockingStyle DockingStyle() const = 0;
    // One of the four sites along the form's edges.
    virtual bool IsFormEdge() const = 0;
    virtual HWND Handle() const { return nullptr; }
    virtual bool IsVisible() const { return false; }
    // A site placed on the form decides itself which bars it takes.
    virtual bool CanDockBar(TdxBar*, TdxBarDockingStyle) { return true; }
    virtual int Width() const { return 0; }
    virtual int Height() const { return 0; }
    virtual void SetWidth(int) {}
    virtual void SetHeight(int) {}
    virtual void SetParentColor(bool) {}

    virtual void InsertBarControl(BarControl*, POINT /*ScreenPoint*/) {}
    virtual void RemoveBarControl(BarControl*) {}
    virtual void UpdateColor() {}
    virtual void RecreateFrame() {}
    virtual void RealignBars() {}
    virtual void BarManagerChanged() {}
    virtual void UpdateDoubleBuffered() {}
    virtual void Invalidate() {}
};

// The painter operations the model itself asks for (its metrics); one object per style lives for the
// whole run.
class Painter {
public:
    virtual ~Painter() = default;
    virtual int GetBeforeGripSize() const { return 0; }
    virtual int GetGripAreaSize() const { return 0; }
    virtual int GetSeparatorMargin() const { return 0; }
    virtual int GetButtonWidthMargin() const { return 7; }
    virtual int GetButtonHeightMargin() const { return 6; }
    // The manager's arrow width, doubled with large icons, made odd.
    virtual int CalcButtonArrowWidth(const TdxBarManager* Manager) const;
    virtual int GetFloatingBorderWidth() const { return 0; }
    virtual int GetFloatingBorderHeight() const { return 0; }
    virtual int GetFloatingSideBorder() const { return 0; }
    virtual int GetFloatingTopBorder() const { return 0; }
    virtual int GetFloatingBottomBorder() const { return 0; }
    virtual int GetFloatingCaptionAreaHeight(const TdxBar*) const { return 0; }
    virtual int GetFloatingExtraSize() const { return 0; }
    virtual RECT GetDockedBorders(const TdxBar*, TdxBarDockingStyle) const { return RECT{0, 0, 0, 0}; }
    virtual int GetSizeGripSize(const TdxBar*) const { return 0; }
    virtual int GetDockedTopExtra(const TdxBar*) const { return 0; }
    // What the items draw of themselves through the painter: an edit item's text in the customizing
    // window's list (Index: the entry shown, Control: the item's control being edited, if any), and
    // one entry of a combo's list (Indented: the entry shown in the combo's own box).
    virtual void DrawEditInCustomizing(TdxBarEdit*, TCanvas*, int /*Index*/, const RECT&,
                                       ItemControl* /*Control*/) const {}
    virtual void DrawComboListItem(HDC, const std::string&, const RECT&, bool /*Indented*/) const {}
};

using ItemControlFactory = std::unique_ptr<ItemControl> (*)(TdxBarItemLink* Link);

} // namespace bars
