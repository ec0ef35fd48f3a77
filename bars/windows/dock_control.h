#pragma once
// A dock site: a window along an edge of the form that holds docked toolbar windows in rows of columns,
// packs each row (squeezing toolbars that do not fit), sizes itself to its rows and answers the drag
// loop's questions: is a point in its docking zone, which row and which place in the row it means.
#include <memory>
#include <vector>

#include "bars/core/bar_views.h"
#include "bars/painters/paint_views.h"
#include "platform/vcl/custom_control.h"

class TBitmap;

namespace bars {

class TdxBarControl;
class TdxDockControl;

class TdxDockCol {
public:
    TdxBarControl* BarControl = nullptr;
    // The toolbar's last place in the site (client coordinates).
    POINT Pos{0, 0};
    // Measured by the realign.
    int MinLength = 0;
    int FullLength = 0;
};

class TdxDockRow {
public:
    std::vector<std::unique_ptr<TdxDockCol>> Columns;
};

class TdxDockControl : public TCustomControl, public DockControl, public DockPaintView {
public:
    TdxDockControl(TComponent* AOwner, TdxBarManager* AManager, TdxBarDockingStyle ASide);
    ~TdxDockControl() override;
    std::string ClassName() const override { return "TdxDockControl"; }

    // What the model asks.
    TComponent* Component() override { return this; }
    TdxBarManager* BarManager() const override { return manager_; }
    // The manager's own sites keep their side; a placed one takes its style from its alignment.
    TdxBarDockingStyle DockingStyle() const override;
    bool IsFormEdge() const override { return side_ != dsNone; }
    HWND Handle() const override;
    bool IsVisible() const override { return Visible(); }
    int Width() const override { return TControl::Width(); }
    int Height() const override { return TControl::Height(); }
    void SetWidth(int Value) override { TControl::SetWidth(Value); }
    void SetHeight(int Value) override { TControl::SetHeight(Value); }
    void InsertBarControl(BarControl* Control, POINT ScreenPoint) override;
    void RemoveBarControl(BarControl* Control) override;
    void RealignBars() override;
    void BarManagerChanged() override {
        ResetBackgroundCache();
        Invalidate();
    }
    void Invalidate() override { TCustomControl::Invalidate(); }
    void SetParentColor(bool Value) override { TControl::SetParentColor(Value); }
    void RecreateFrame() override;

    bool Horizontal() const { return DockingStyle() == dsTop || DockingStyle() == dsBottom; }
    bool Near() const { return DockingStyle() == dsLeft || DockingStyle() == dsTop; }
    bool CanDockBar(TdxBar* Bar, TdxBarDockingStyle Style) override;
    bool AllowDocking() const { return allowDocking_; }
    void SetAllowDocking(bool Value) { allowDocking_ = Value; }
    // The picture tiled behind the toolbars (its own, else the manager's), kept painted for the whole
    // client area until the site's size or the picture changes.
    TBitmap* BackgroundBitmap() const { return backgroundBitmap_.get(); }
    void SetBackgroundBitmap(TBitmap* Value);
    bool HasBackgroundBitmap() const;
    // It paints a picture or colour of its own, which its toolbars show through.
    bool HasCustomBackground() const;
    void ResetBackgroundCache();
    virtual bool GetSunkenBorder() const;
    void UpdateColor() override;
    void RepaintBars();
    // Fills R (client coordinates of DC, whose origin lies at Origin in the site) with the background.
    void DrawBackground(HDC DC, const RECT& R, POINT Origin, HBRUSH Brush);
    int RowCount() const override { return static_cast<int>(rows_.size()); }
    // What the painter reads.
    TdxBarDockingStyle Side() const override { return DockingStyle(); }
    SIZE SiteSize() const override;
    void RowExtent(int Index, int& From, int& To) const override;
    bool RowBorderless(int Index) const override;
    TBitmap* PainterCache() override;
    TdxDockRow* Rows(int Index) const { return rows_.at(static_cast<size_t>(Index)).get(); }
    virtual int GetRowsSize() const;
    // The row a toolbar dropped at a screen point goes to, and whether it makes a new row there.
    int GetRowAtPos(POINT ScreenPoint, bool& NewRow) const;
    int GetColumnAtPos(int Row, POINT ScreenPoint) const;
    void GetRowPoint(int Row, bool NewRow, POINT& ScreenPoint) const;
    // The screen rectangle in which a dragged toolbar docks here.
    RECT GetDockingZone() const;
    // Nothing lies on the site where a pointer at the screen point meets it: no other control of its
    // parent, and no other top-level window (the customizing window, a dialog) in front of its form.
    // Dragged is the window of the toolbar being dragged, which follows the pointer and hides nothing.
    bool UncoveredAt(POINT ScreenPoint, HWND Dragged = nullptr) const;
    // Docks a toolbar window at a screen point.
    void AddBarControl(TdxBarControl* Control, POINT ScreenPoint, bool DoRealign);
    void MoveBarControl(TdxBarControl* Control, POINT ScreenPoint);
    // The row and column that hold a toolbar window, -1 when none.
    bool FindBarControl(const TdxBarControl* Control, int& Row, int& Col) const;
    void PaintBackgroundOf(HDC DC, const RECT& R, POINT Origin, HBRUSH Brush);
    // While locked the site does not realign (its toolbars leave it with the form's window).
    void LockRealign(bool Value) { realigning_ = Value; }

protected:
    // A site placed on a form: no manager yet, its style from its alignment.
    explicit TdxDockControl(TComponent* AOwner);
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
    void WndProc(TMessage& Message) override;

private:
    // The band [A, B) around boundary Index (-1 before the first row).
    void RowBand(int Index, int& A, int& B) const;
    int RowThickness(const TdxDockRow& Row) const;
    int RowStart(int Index) const;
    void RealignRow(TdxDockRow& Row, int Start, int Length);
    // The site changed its size: an open chain of menus closes, unless it is in use or elsewhere.
    void CloseMenusOnResize();

    // The bitmap the background was tiled into, or empty.
    TBitmap* BackgroundCacheFor(TBitmap* Picture);
    void WatchBackgroundBitmap();

protected:
    TdxBarManager* manager_;

private:
    TdxBarDockingStyle side_;
    bool allowDocking_ = true;
    std::unique_ptr<TBitmap> backgroundBitmap_;
    std::unique_ptr<TBitmap> backgroundCache_;
    // The picture the cache holds tiled; nullptr while it is empty or holds the painter's drawing.
    const TBitmap* cachedPicture_ = nullptr;
    std::vector<std::unique_ptr<TdxDockRow>> rows_;
    bool realigning_ = false;
};

// The docking zone's width beyond a site's edges.
inline constexpr int DockingZoneSize = 23;

// Makes the bar windows, item controls, dock sites and painters of the library the ones the model
// uses.
void RegisterBarWindows();

// Moves a toolbar window with the mouse, grabbed at the screen point Start, until the button is
// released: docked into the site under the pointer, or floating.
void DragBar(TdxBarControl* Control, POINT Start);

} // namespace bars
