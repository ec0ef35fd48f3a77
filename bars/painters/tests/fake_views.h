#pragma once
// A toolbar or menu window and an item as a painter sees them, for drawing on a bitmap in tests.
#include <string>

#include "bars/core/bar_manager.h"
#include "bars/painters/painter.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/scoped.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/syscolors.h"
#include "platform/vcl/form.h"

namespace bars::paint_test {

class PainterTestForm : public TForm {
public:
    PainterTestForm() : TForm(nullptr) {}
    std::string ClassName() const override { return "TPainterTestForm2"; }
};

// One system colour changed for the life of the object.
class ScopedSysColor {
public:
    ScopedSysColor(int index, COLORREF value) : index_(index), saved_(GetSysColor(index)) {
        SetSysColors(1, &index_, &value);
    }
    ~ScopedSysColor() { SetSysColors(1, &index_, &saved_); }
    ScopedSysColor(const ScopedSysColor&) = delete;
    ScopedSysColor& operator=(const ScopedSysColor&) = delete;

private:
    int index_;
    COLORREF saved_;
};

inline COLORREF BrushColor(HBRUSH brush) {
    pw::gdi::MemoryDC dc(nullptr, 1, 1);
    const RECT r{0, 0, 1, 1};
    FillRect(dc.Get(), &r, brush);
    return GetPixel(dc.Get(), 0, 0);
}

// Its background is the brush of the manager's painter for a toolbar (or a menu).
class FakeBarView : public BarPaintView {
public:
    FakeBarView(TdxBarManager* manager, TdxBar* bar, TdxBarDockingStyle style, int width = 200,
                int height = 30)
        : manager_(manager), bar_(bar), style_(style), width_(width), height_(height) {}
    TdxBarManager* Manager() const override { return manager_; }
    TdxBar* Bar() const override { return bar_; }
    TdxBarDockingStyle PaintDockingStyle() const override { return style_; }
    int LineHeight() const override { return 20; }
    HFONT PaintFont() const override { return manager_->FontHandle(); }
    HBRUSH BkBrush() const override {
        const auto& painter = TdxBarItemControlPainter::Of(manager_);
        auto& self = const_cast<FakeBarView&>(*this);
        return subMenu ? painter.GetSubMenuBkBrush() : painter.GetToolbarBrush(self);
    }
    void PaintBackground(HDC DC, const RECT& R, HBRUSH Brush) override {
        FillRect(DC, &R, Brush != nullptr ? Brush : BkBrush());
    }
    int ClientWidth() const override { return width_; }
    int ClientHeight() const override { return height_; }
    int MarkState() const override { return markState; }
    bool MarkVisible() const override { return markVisible; }
    bool ItemsHidden() const override { return itemsHidden; }
    int CloseButtonState() const override { return closeState; }
    RECT CloseButtonRect() const override { return closeRect; }
    RECT CaptionMarkRect() const override { return RECT{135, 4, 150, 19}; }
    bool IsSubMenu() const override { return subMenu; }
    bool HasDetachBar() const override { return detachBar; }
    bool DetachHot() const override { return detachHot; }
    int SideBarWidth() const override { return sideBar; }
    int ExtraWidth() const override { return extraWidth; }
    bool ShowsRarelyUsedItems() const override { return rarelyUsedShown; }
    int MarkLineHeight() const override { return markLineHeight > 0 ? markLineHeight : MenuLineHeight(); }
    HWND PaintWindow() const override { return window; }
    int MinWidth() const override { return minWidth; }
    bool detachHot = false;
    int sideBar = 0;
    int extraWidth = 0;
    bool rarelyUsedShown = false;
    int markLineHeight = 0;
    HWND window = nullptr;
    int minWidth = 0;
    int markState = 0;
    bool markVisible = false;
    bool itemsHidden = false;
    int closeState = 0;
    RECT closeRect{150, 4, 165, 19};
    bool subMenu = false;
    bool detachBar = false;

private:
    TdxBarManager* manager_;
    TdxBar* bar_;
    TdxBarDockingStyle style_;
    int width_, height_;
};

class FakeItemView : public ItemPaintView {
public:
    explicit FakeItemView(BarPaintView& bar) : bar_(bar) {}
    BarPaintView& ParentView() const override { return bar_; }
    bool PaintEnabled() const override { return enabled; }
    bool PaintSelected() const override { return selected; }
    std::string PaintCaption() const override { return caption; }
    bool IsCheckItem() const override { return check; }
    bool IsRarelyUsed() const override { return rarelyUsed; }
    bool IsSubItem() const override { return subItem; }
    bool IsReadOnly() const override { return readOnly; }
    bool subItem = false;
    bool readOnly = false;
    bool enabled = true;
    bool selected = false;
    bool check = false;
    bool rarelyUsed = false;
    std::string caption = "&Open";

private:
    BarPaintView& bar_;
};

} // namespace bars::paint_test
