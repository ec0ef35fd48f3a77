#pragma once
// Popup menus built from bar items, and the links that tie popup menus to the form's controls. A popup
// menu shows its links in a menu window at a point and runs its own message loop until the menu closes.
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "bars/core/bar_types.h"
#include "platform/graphics/graphics_objects.h"
#include "platform/rtl/collection.h"
#include "platform/rtl/component.h"
#include "platform/vcl/shortcut.h"

class TBitmap;
struct TMessage;
class TPropertyTable;
class TWinControl;

namespace bars {
class BarControl;
class ItemControl;
} // namespace bars

class TdxBarPopupMenu : public TComponent {
public:
    // EInvalidOperation 65160 when no manager exists anywhere.
    explicit TdxBarPopupMenu(TComponent* AOwner);
    ~TdxBarPopupMenu() override;
    std::string ClassName() const override { return "TdxBarPopupMenu"; }
    static const TPropertyTable& Table();
    const TPropertyTable* PublishedProperties() const override { return &Table(); }
    void Loaded() override;

    TdxBarManager* BarManager() const { return barManager_; }
    void SetBarManager(TdxBarManager* Value);
    TdxBarItemLinks* ItemLinks() const { return itemLinks_.get(); }
    void SetItemLinks(TdxBarItemLinks* Value);
    int BarSize() const { return barSize_; }
    void SetBarSize(int Value) { barSize_ = Value < 0 ? 0 : Value; }
    // The picture the menu's window is tiled with, in place of the manager's menu picture.
    TBitmap* BackgroundBitmap() const { return backgroundBitmap_.get(); }
    void SetBackgroundBitmap(TBitmap* Value);
    TFont* Font() const { return font_.get(); }
    void SetFont(TFont* Value) { font_->Assign(Value); }
    HFONT FontHandle() const { return fontHandle_; }
    bool UseOwnFont() const { return useOwnFont_; }
    void SetUseOwnFont(bool Value);
    bool UseRecentItems() const { return useRecentItems_; }
    void SetUseRecentItems(bool Value);
    // From the window's popup notification to its close-up notification.
    bool IsShowing() const { return isShowing_; }
    void SetShowing(bool Value);

    bool ExecuteShortCut(TShortCut ShortCut);
    // A key message (WM_KEYDOWN, WM_SYSKEYDOWN) as a shortcut of one of the menu's items, which then
    // runs: Shift and Ctrl as the keyboard holds them now, Alt as the message carries it.
    bool IsShortCut(TMessage& Message);
    // The manager's font changed: a menu without its own font takes it.
    void ManagerFontChanged();
    void DesignChanged();

    // Shows the menu with its top left at the screen point and returns once it has closed (at once with
    // NoModalLoop). Nothing happens while the menu is open already.
    void Popup(int X, int Y);
    void PopupAtCursor();
    // For a drop-down caller: the menu keeps out of ExcludeRect and is placed along its owner's size.
    void PopupEx(int X, int Y, std::optional<RECT> ExcludeRect, bool Animate, int OwnerWidth,
                 int OwnerHeight);

    // What the menu window takes over when it is made.
    std::optional<RECT> ExcludeRect() const { return excludeRect_; }
    int OwnerWidth() const { return ownerWidth_; }
    int OwnerHeight() const { return ownerHeight_; }
    bool Animate() const { return animate_; }
    // The bar window of a drop-down caller, which runs its own loop.
    bars::BarControl* ParentBarControl() const { return parentBarControl_; }
    void SetParentBarControl(bars::BarControl* Value) { parentBarControl_ = Value; }
    // The control of a drop-down caller, and whether the mouse opened it (else the keyboard: the menu
    // then selects its first line).
    bars::ItemControl* OpenerControl() const { return openerControl_; }
    bool OpenedByMouse() const { return openedByMouse_; }
    void SetOpener(bars::ItemControl* Control, bool ByMouse) {
        openerControl_ = Control;
        openedByMouse_ = ByMouse;
    }
    bool NoModalLoop = false;
    // Where the menu window of the size given goes (its screen top-left), for a caller that places it
    // beside something of its own; without it the menu opens at the point asked, kept on the screen.
    std::function<POINT(SIZE Size)> Placement;
    // The menu and the menus it opens work as menus while the bars are customized (their lines click).
    bool IgnoresCustomizing = false;

    TNotifyEvent OnCloseUp, OnPopup;
    TdxBarPaintSubMenuBarEvent OnPaintBar;
    // Fires OnPaintBar for the band of the menu's window.
    virtual void DoPaintBar(TCanvas* Canvas, const RECT& R);

private:
    void FontChanged();
    void RunModalLoop();

    TdxBarManager* barManager_ = nullptr;
    int barSize_ = 0;
    std::unique_ptr<TBitmap> backgroundBitmap_;
    std::unique_ptr<TFont> font_;
    HFONT fontHandle_ = nullptr;
    bool fontChanging_ = false;
    std::unique_ptr<TdxBarItemLinks> itemLinks_;
    bool isShowing_ = false;
    bool useOwnFont_ = false;
    bool useRecentItems_ = false;
    std::optional<RECT> excludeRect_;
    int ownerWidth_ = 0;
    int ownerHeight_ = 0;
    bool animate_ = true;
    bars::BarControl* parentBarControl_ = nullptr;
    bars::ItemControl* openerControl_ = nullptr;
    bool openedByMouse_ = true;
};

class TdxBarPopupMenuLink;
using TdxBarPopupMenuLinkActionEvent =
    std::function<void(TdxBarPopupMenuLink* Sender, int& X, int& Y, bool ClickedByMouse, bool& AllowPopup)>;

// Ties a popup menu to a control of the form (and, with ProcessChildren, to the control's children).
class TdxBarPopupMenuLink : public TCollectionItem {
public:
    explicit TdxBarPopupMenuLink(TCollection* Collection) : TCollectionItem(Collection) {}
    ~TdxBarPopupMenuLink() override;
    std::string ClassName() const override { return "TdxBarPopupMenuLink"; }
    static const TPropertyTable& Table();
    const TPropertyTable* PublishedProperties() const override { return &Table(); }
    void Assign(TPersistent* Source) override;

    TdxBarManager* BarManager() const;
    TWinControl* Control() const { return control_; }
    // A control of another manager's form is stored as none.
    void SetControl(TWinControl* Value);
    TdxBarPopupMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(TdxBarPopupMenu* Value);
    bool ProcessChildren() const { return processChildren_; }
    void SetProcessChildren(bool Value) { processChildren_ = Value; }
    bool ExecuteShortCut(TShortCut ShortCut);
    // A WM_CONTEXTMENU for Wnd at the screen point Pos ((-1, -1) from the keyboard): answers whether the
    // link served it.
    bool DoContextPopup(HWND Wnd, POINT Pos);

    TdxBarPopupMenuLinkActionEvent OnAction;

private:
    TWinControl* control_ = nullptr;
    TdxBarPopupMenu* popupMenu_ = nullptr;
    bool processChildren_ = true;
};

class TdxBarPopupMenuLinks : public TCollection {
public:
    explicit TdxBarPopupMenuLinks(TdxBarManager* ABarManager);
    std::string ClassName() const override { return "TdxBarPopupMenuLinks"; }
    TdxBarManager* BarManager() const { return barManager_; }
    TdxBarPopupMenuLink* Items(int Index) const {
        return static_cast<TdxBarPopupMenuLink*>(TCollection::Items(Index));
    }
    TdxBarPopupMenuLink* Add() { return static_cast<TdxBarPopupMenuLink*>(TCollection::Add()); }
    // The links of AControl try first, then those of its parents that serve their children.
    bool ExecuteShortCut(TWinControl* AControl, TShortCut ShortCut);
    // The same search for a context menu asked for on Wnd (a window of AControl).
    bool ContextPopup(TWinControl* AControl, HWND Wnd, POINT Pos);

private:
    TdxBarManager* barManager_;
};
