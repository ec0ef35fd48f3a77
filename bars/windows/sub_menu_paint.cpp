// The menu window's layout and painting: its lines, the rarely used ones, the side bar and the mark.
#include "bars/windows/sub_menu_control.h"

#include <vector>

#include "bars/core/bar_manager.h"
#include "bars/core/bar_routines.h"
#include "bars/core/bar_unit.h"
#include "bars/core/container_item.h"
#include "bars/core/item_links.h"
#include "bars/core/popup_menu.h"
#include "bars/core/sub_item.h"
#include "bars/core/toolbar.h"
#include "bars/core/toolbars.h"
#include "bars/painters/painter.h"
#include "bars/windows/dock_control.h"
#include "bars/windows/item_control.h"
#include "bars/windows/sub_item_control.h"
#include "bars/windows/toolbar_control.h"
#include "platform/gdi/palettes.h"
#include "platform/gdi/regions.h"
#include "platform/gdi/scoped.h"
#include "platform/gdi/shapes.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"
#include "platform/gui/input.h"
#include "platform/gui/layered.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/message_views.h"
#include "platform/gui/paint.h"
#include "platform/gui/system.h"
#include "platform/gui/window.h"
#include "platform/gui/window_dc.h"
#include "platform/rtl/scope_guard.h"
#include "platform/rtl/wintypes.h"
#include "platform/vcl/form.h"

namespace bars {

namespace {

bool Touches(const RECT& a, const RECT& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

} // namespace

void TdxBarSubMenuControl::CalcLayout() {
    topArrow_ = bottomArrow_ = RECT{0, 0, 0, 0};
    visibleCount_ = 0;
    if (links_ == nullptr || handle_ == nullptr) return;
    const auto& shown = links_->ShownLinks();
    MarkRarelyUsed(topIndex_);
    int maxBottom = 0;
    const RECT items = Painter().CalcSubMenuItemsRect(*this, false, IsMarkVisible(), maxBottom);
    int y = items.top;
    // Where the line before the last one laid out ends: above a bottom arrow the frame owns the rest.
    int previousEnd = y;
    bool full = false;
    for (size_t i = 0; i < shown.size(); ++i) {
        TdxBarItemLink* link = shown[i];
        auto* control = dynamic_cast<TdxBarItemControl*>(link->Control());
        const int index = static_cast<int>(i);
        if (index < topIndex_ || full || control == nullptr) {
            link->SetItemRect(RECT{0, 0, 0, 0});
            continue;
        }
        const int end = y;
        y += RunStartGap(control);
        if (SeparatedAbove(link, index)) y += GetSeparatorSize();
        const int height = control->GetHeightInBar();
        if (y + height > maxBottom && visibleCount_ > 0) {
            full = true;
            link->SetItemRect(RECT{0, 0, 0, 0});
            continue;
        }
        previousEnd = end;
        link->SetItemRect(RECT{items.left, y, items.right, y + height});
        y += height;
        ++visibleCount_;
    }
    linesBottom_ = y;
    // The arrows take the first and the last row; the lines under them are not shown.
    if (HasTopArrow() && topIndex_ < static_cast<int>(shown.size())) {
        topArrow_ = shown[static_cast<size_t>(topIndex_)]->ItemRect();
        shown[static_cast<size_t>(topIndex_)]->SetItemRect(RECT{0, 0, 0, 0});
    }
    if (HasBottomArrow() && visibleCount_ > 0) {
        TdxBarItemLink* last = shown[static_cast<size_t>(topIndex_ + visibleCount_ - 1)];
        bottomArrow_ = last->ItemRect();
        last->SetItemRect(RECT{0, 0, 0, 0});
        linesBottom_ = previousEnd;
    }
    layoutValid_ = true;
}

bool TdxBarSubMenuControl::SeparatedAbove(const TdxBarItemLink* Link, int Index) const {
    return Link->BeginGroup() && Index > topIndex_ && !(Index == topIndex_ + 1 && HasTopArrow());
}

void TdxBarSubMenuControl::MarkRarelyUsed(int First) {
    const auto& shown = links_->ShownLinks();
    // Only an expanded menu of recent-items mode shows its rarely used lines.
    const int recent = RecentItemsInForce() && MenusExpanded() ? links_->GetRecentItemCount() : -1;
    bool before = false;
    for (size_t i = 0; i < shown.size(); ++i) {
        auto* control = dynamic_cast<TdxBarItemControl*>(shown[i]->Control());
        if (control == nullptr) continue;
        control->RarelyUsed = recent >= 0 && shown[i]->RecentIndex() >= recent;
        const int index = static_cast<int>(i);
        // The first line counts as following a recent one; the top line starts no run unless a detach
        // strip lies above it.
        control->RarelyUsedStart =
            index >= First && control->RarelyUsed != before && (index != First || HasDetachBar());
        before = control->RarelyUsed;
    }
}

int TdxBarSubMenuControl::RunStartGap(const TdxBarItemControl* Control) const {
    return Control->RarelyUsedStart && Painter().HasSubMenuSideStrip() ? 1 : 0;
}

SubMenuParts TdxBarSubMenuControl::Parts() const {
    SubMenuParts parts;
    int maxBottom = 0;
    parts.Items = Painter().CalcSubMenuItemsRect(const_cast<TdxBarSubMenuControl&>(*this), false,
                                                 IsMarkVisible(), maxBottom);
    parts.Items.bottom = linesBottom_;
    parts.TopArrow = topArrow_;
    parts.BottomArrow = bottomArrow_;
    // The line the bottom arrow stands on.
    const int under = topIndex_ + visibleCount_ - 1;
    if (!IsRectEmpty(bottomArrow_) && links_ != nullptr && under >= 0 &&
        under < static_cast<int>(links_->ShownLinks().size())) {
        TdxBarItemLink* link = links_->ShownLinks()[static_cast<size_t>(under)];
        auto* control = dynamic_cast<TdxBarItemControl*>(link->Control());
        parts.BottomArrowSeparator = SeparatedAbove(link, under);
        parts.BottomArrowRarelyUsed = control != nullptr && control->RarelyUsed;
    }
    parts.LinesBottom = linesBottom_;
    const RECT mark = MarkRect();
    parts.SpaceBottom = IsRectEmpty(mark) ? ClientHeight() : mark.top;
    parts.Mark = mark;
    parts.MarkState = markState_;
    return parts;
}

int TdxBarSubMenuControl::ShownIndex(const TdxBarItemControl* Control) const {
    if (links_ == nullptr || Control == nullptr) return -1;
    const auto& shown = links_->ShownLinks();
    for (size_t i = 0; i < shown.size(); ++i)
        if (shown[i]->Control() == Control) return static_cast<int>(i);
    return -1;
}

bool TdxBarSubMenuControl::CanCustomizeItems() const {
    if (TCustomdxBarControl::CanCustomizeItems()) return true;
    TObject* owner = links_ != nullptr ? links_->LinksOwner() : nullptr;
    if (auto* subItem = dynamic_cast<TdxBarSubItem*>(owner)) return subItem->AllowCustomizing();
    return dynamic_cast<TdxBarPopupMenu*>(owner) != nullptr;
}

void TdxBarSubMenuControl::DrawLine(HDC DC, TdxBarItemControl* Control, bool Last) {
    TdxBarItemLink* link = Control->Link();
    const RECT r = link->ItemRect();
    if (IsRectEmpty(r)) return;
    const int index = ShownIndex(Control);
    const TdxBarItemControlPainter& painter = Painter();
    const bool separator = SeparatedAbove(link, index);
    const int separatorSize = separator ? GetSeparatorSize() : 0;
    // The row a run of lines starts with keeps the menu's own background.
    if (const int gap = RunStartGap(Control); gap > 0)
        PaintBackground(DC, RECT{r.left, r.top - separatorSize - gap, r.right, r.top - separatorSize},
                        nullptr);
    TdxBarItemControl* const outer = drawingLine_;
    drawingLine_ = Control;
    const ScopeGuard restore([this, outer] { drawingLine_ = outer; });
    if (separator)
        painter.DrawMenuSeparator(*Control, DC, RECT{r.left, r.top - separatorSize, r.right, r.top});
    if (painter.HasSubMenuSideStrip()) {
        SideStripLine line;
        line.BeginGroup = separator;
        line.RarelyUsed = Control->RarelyUsed;
        line.Last = Last;
        painter.DrawSubMenuSideStrip(*this, *Control, r.left - SideBarWidth(), index, line, r, DC);
    }
    Control->Draw(DC, r, 1);
    DrawCustomizingFrame(DC, Control);
    ++linesDrawn_;
}

void TdxBarSubMenuControl::Paint(HDC DC) {
    if (animating_ || freeing_) return;
    if (!layoutValid_) CalcLayout();
    const RECT client = ClientRect();
    if (links_ == nullptr || links_->ShownLinks().empty()) {
        PaintBackground(DC, client, nullptr);
        PaintSideBar(DC);
        return;
    }
    RECT dirty{0, 0, 0, 0};
    GetClipBox(DC, &dirty);
    Painter().DrawSubMenuFrame(*this, DC, Parts());
    // The lines shown, top to bottom (the rows under the scroll arrows have empty rectangles).
    std::vector<TdxBarItemControl*> lines;
    for (TdxBarItemLink* link : std::vector<TdxBarItemLink*>(links_->ShownLinks())) {
        auto* control = dynamic_cast<TdxBarItemControl*>(link->Control());
        if (control == nullptr) continue;
        const bool inView = !IsRectEmpty(link->ItemRect());
        control->SetInView(inView);
        if (inView) lines.push_back(control);
    }
    HPALETTE oldPalette = nullptr;
    if (rarelyUsedPalette_ != nullptr) {
        oldPalette = SelectPalette(DC, rarelyUsedPalette_, FALSE_);
        RealizePalette(DC);
    }
    const int separator = GetSeparatorSize();
    for (TdxBarItemControl* control : lines) {
        control->IsLastInView = false;
        const bool last = control == lines.back();
        RECT r = control->Link()->ItemRect();
        r.top -= separator + RunStartGap(control);
        // A rarely used last line carries its band down to the menu's bottom.
        if (last && control->RarelyUsed) r.bottom = client.bottom;
        // Lines outside the part to paint cost nothing.
        if (!Touches(r, dirty)) continue;
        DrawLine(DC, control, last && !HasBottomArrow());
        if (links_ == nullptr) return;
    }
    if (rarelyUsedPalette_ != nullptr) SelectPalette(DC, oldPalette, FALSE_);
    if (!lines.empty()) lines.back()->IsLastInView = true;
    PaintSideBar(DC);
}

void TdxBarSubMenuControl::PaintSideBar(HDC DC) {
    const int side = SideBarWidth();
    if (side <= 0) return;
    const RECT band{0, 0, side, ClientHeight()};
    FillRect(DC, &band, Painter().GetFaceBrush(*this));
    // The owner paints the band; at design time it stays plain.
    if (manager_ == nullptr || manager_->Designing()) return;
    TObject* owner = links_ != nullptr ? links_->LinksOwner() : nullptr;
    auto* subItem = dynamic_cast<TCustomdxBarSubItem*>(owner);
    auto* popup = dynamic_cast<TdxBarPopupMenu*>(owner);
    if (subItem == nullptr && popup == nullptr) return;
    const pw::gdi::SavedDC saved(DC);
    TCanvas canvas;
    canvas.SetHandle(DC);
    const ScopeGuard detach([&canvas] { canvas.SetHandle(nullptr); });
    if (subItem != nullptr)
        subItem->DoPaintBar(&canvas, band);
    else
        popup->DoPaintBar(&canvas, band);
}

void TdxBarSubMenuControl::RepaintControl(TdxBarItemControl* Control) {
    if (handle_ == nullptr || Control == nullptr || freeing_) return;
    const RECT r = GetItemRect(Control);
    if (IsRectEmpty(r)) return;
    InvalidateRect(handle_, &r, FALSE_);
    if (!InvalidateOnSelect()) UpdateWindow(handle_);
}

void TdxBarSubMenuControl::InvalidateMark() {
    if (handle_ == nullptr) return;
    const RECT mark = MarkRect();
    if (!IsRectEmpty(mark)) InvalidateRect(handle_, &mark, FALSE_);
}

} // namespace bars
