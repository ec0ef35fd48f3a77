// Toolbar layout: the extents of a toolbar in each docking style, the wrapping of its links into rows
// (columns when docked at a side) and the placement of each control in its row.
#include <algorithm>

#include "bars/core/bar_manager.h"
#include "bars/core/item_links.h"
#include "bars/core/toolbar.h"
#include "bars/core/toolbars.h"
#include "bars/painters/painter.h"
#include "bars/windows/dock_control.h"
#include "bars/windows/item_control.h"
#include "bars/windows/toolbar_control.h"

namespace bars {

namespace {

TdxBarItemControl* LinkControl(TdxBarItemLink* link) {
    return dynamic_cast<TdxBarItemControl*>(link->Control());
}

int Along(TdxBarItemControl* c, bool vertical) {
    return vertical ? c->GetHeightInBar() : c->GetWidthInBar();
}

int Across(TdxBarItemControl* c, bool vertical) {
    return vertical ? c->GetWidthInBar() : c->GetHeightInBar();
}

int& AlongOf(SIZE& s, bool vertical) {
    return vertical ? s.cy : s.cx;
}

int& AcrossOf(SIZE& s, bool vertical) {
    return vertical ? s.cx : s.cy;
}

// Shows every visible link for the scope and puts the shown count back afterwards.
class AllShown {
public:
    explicit AllShown(TdxBarItemLinks* links) : links_(links), saved_(links->RecentItemCount()) {
        links_->SetRecentItemCount(-1);
    }
    ~AllShown() { links_->SetRecentItemCount(saved_); }
    AllShown(const AllShown&) = delete;
    AllShown& operator=(const AllShown&) = delete;

private:
    TdxBarItemLinks* links_;
    int saved_;
};

} // namespace

bool TdxBarControl::IsMultiLine(TdxBarDockingStyle Style) const {
    return Style == dsNone || bar_->MultiLine();
}

int TdxBarControl::GetMinWidth(TdxBarDockingStyle Style) {
    const bool vertical = IsVertical(Style);
    int width = 0;
    const auto& visible = links_->VisibleLinks();
    if (!vertical && !IsMultiLine(Style)) {
        TdxBarItemControl* first = visible.empty() ? nullptr : LinkControl(visible.front());
        width = first != nullptr ? first->GetWidthInBar() : manager_->ButtonWidth();
    } else {
        width = visible.empty() ? manager_->ButtonWidth() : 0;
        for (TdxBarItemLink* link : visible)
            if (TdxBarItemControl* c = LinkControl(link)) width = std::max(width, c->GetWidthInBar());
    }
    const MDIExtent mdi = MDIArea(false);
    if (!vertical && !IsMultiLine(Style))
        width += mdi.along;
    else
        width = std::max(width, vertical ? MDIArea(true).across : mdi.along);
    if (IsHorizontalDocked(Style) && IsMarkVisible()) width += MarkSize;
    return width;
}

int TdxBarControl::GetMinHeight(TdxBarDockingStyle Style) {
    int height = 0;
    const auto& visible = links_->VisibleLinks();
    if (!IsHorizontalDocked(Style) && !IsMultiLine(Style)) {
        TdxBarItemControl* first = visible.empty() ? nullptr : LinkControl(visible.front());
        height = first != nullptr ? first->GetHeightInBar() : manager_->ButtonHeight();
    } else {
        height = visible.empty() ? manager_->ButtonHeight() : 0;
        for (TdxBarItemLink* link : visible)
            if (TdxBarItemControl* c = LinkControl(link)) height = std::max(height, c->GetHeightInBar());
    }
    if (IsVertical(Style) && !IsMultiLine(Style))
        height += MDIArea(true).along;
    else
        height = std::max(height, IsVertical(Style) ? MDIArea(true).along : MDIArea(false).across);
    if (IsVertical(Style) && IsMarkVisible()) height += MarkSize;
    return height;
}

int TdxBarControl::GetFullWidth(TdxBarDockingStyle Style) {
    if (!IsHorizontalDocked(Style) && !IsMultiLine(Style)) {
        int widest = GetMinWidth(Style);
        for (TdxBarItemLink* link : links_->VisibleLinks())
            if (TdxBarItemControl* c = LinkControl(link)) widest = std::max(widest, c->GetWidthInBar());
        return widest;
    }
    const AllShown all(links_);
    int sum = 0;
    for (TdxBarItemLink* link : links_->ShownLinks())
        if (TdxBarItemControl* c = LinkControl(link))
            sum += (link->BeginGroup() ? GetSeparatorSize() : 0) + c->GetWidthInBar();
    sum += MDIArea(false).along;
    if (IsHorizontalDocked(Style) && IsMarkVisible()) sum += MarkSize;
    return std::max(sum, GetMinWidth(Style));
}

int TdxBarControl::GetFullHeight(TdxBarDockingStyle Style) {
    if (!IsVertical(Style) && !IsMultiLine(Style)) {
        int tallest = GetMinHeight(Style);
        for (TdxBarItemLink* link : links_->VisibleLinks())
            if (TdxBarItemControl* c = LinkControl(link)) tallest = std::max(tallest, c->GetHeightInBar());
        return tallest;
    }
    const AllShown all(links_);
    int sum = 0;
    for (TdxBarItemLink* link : links_->ShownLinks())
        if (TdxBarItemControl* c = LinkControl(link))
            sum += (link->BeginGroup() ? GetSeparatorSize() : 0) + c->GetHeightInBar();
    sum += MDIArea(true).along;
    if (IsVertical(Style) && IsMarkVisible()) sum += MarkSize;
    return std::max(sum, GetMinHeight(Style));
}

void TdxBarControl::WrapRows(TdxBarDockingStyle Style, int Limit, SIZE& Size) {
    const bool vertical = IsVertical(Style);
    int L = std::max(Limit, AlongOf(Size, vertical));
    if (Style != dsNone && IsMarkVisible()) L -= MarkSize;
    const std::vector<TdxBarItemLink*> shown = links_->ShownLinks();
    int R = 0, T = 0, A = 0, M = 0;
    int groupIndex = -1, groupR = 0, groupT = 0;
    bool regroup = false, allowGroup = true;
    // Each link is visited at most twice (a group goes back to its start once).
    const size_t bound = 2 * shown.size() + 2;
    size_t steps = 0;
    for (size_t i = 0; i < shown.size() && steps < bound; ++i, ++steps) {
        TdxBarItemLink* link = shown[i];
        TdxBarItemControl* c = LinkControl(link);
        if (c == nullptr) continue;
        const int S = link->BeginGroup() && R >= 1 ? GetSeparatorSize() : 0;
        if (S > 0) {
            groupIndex = static_cast<int>(i);
            groupR = R;
            groupT = T;
        }
        const int a = Along(c, vertical), across = Across(c, vertical);
        const bool fits = !(R > 0 && R + S + a > L) && !regroup && (S == 0 || allowGroup);
        if (fits) {
            c->StartsRow = false;
            R += S + a;
            T = std::max(T, across);
            continue;
        }
        allowGroup = true;
        c->StartsRow = true;
        if (groupIndex >= 0 && !regroup) {
            // The group moves whole to the next row: its start is taken again.
            i = static_cast<size_t>(groupIndex) - 1;
            R = groupR;
            T = groupT;
            regroup = true;
            continue;
        }
        if (groupIndex >= 0) {
            groupIndex = -1;
            regroup = false;
        } else {
            allowGroup = false;
        }
        A += S + T;
        M = std::max(M, R);
        R = a;
        T = across;
    }
    // The caption buttons end the last row, or take a row of their own.
    if (const MDIExtent mdi = MDIArea(vertical); mdi.along > 0) {
        if (R + mdi.along <= L || shown.empty()) {
            R += mdi.along;
            T = std::max(T, mdi.across);
        } else {
            A += T;
            M = std::max(M, R);
            R = mdi.along;
            T = mdi.across;
        }
    }
    if (!shown.empty() || T > 0) AcrossOf(Size, vertical) = A + T;
    AlongOf(Size, vertical) = std::max({AlongOf(Size, vertical), M, R});
    CalcControlsPositions();
}

SIZE TdxBarControl::MeasureRow(bool Vertical, int Limit, bool& Overflow) {
    Overflow = false;
    int sum = 0, thickness = 0;
    bool first = true;
    for (TdxBarItemLink* link : links_->ShownLinks()) {
        TdxBarItemControl* c = LinkControl(link);
        if (c == nullptr) continue;
        const int step = (link->BeginGroup() ? GetSeparatorSize() : 0) + Along(c, Vertical);
        if (!first && sum + step > Limit) {
            Overflow = true;
            break;
        }
        sum += step;
        thickness = std::max(thickness, Across(c, Vertical));
        first = false;
    }
    return Vertical ? SIZE{thickness, sum} : SIZE{sum, thickness};
}

void TdxBarControl::CalcSize(TdxBarDockingStyle Style, int Width, SIZE& Size) {
    const bool vertical = IsVertical(Style);
    links_->SetRecentItemCount(-1);
    if (!IsMultiLine(Style)) {
        if (vertical) {
            Size = SIZE{GetMinWidth(Style), GetFullHeight(Style)};
            return;
        }
        Size = SIZE{GetMinWidth(Style), GetMinHeight(Style)};
        int width = std::max(Width, static_cast<int>(Size.cx));
        const MDIExtent mdi = MDIArea(false);
        width -= mdi.along;
        if (!links_->VisibleLinks().empty() && IsMarkVisible()) width -= MarkSize;
        bool overflow = false;
        SIZE measured{0, 0};
        if (bar_->UseRecentItems() && links_->UseRecentItemsEffective() && !manager_->Designing()) {
            // As many links as fit, in recent-use order, with no control cut.
            const int count = links_->VisibleItemCount();
            bool cut = false;
            for (int n = 1; n <= count && !cut; ++n) {
                links_->SetRecentItemCount(n);
                measured = MeasureRow(false, width, overflow);
                if (overflow) {
                    links_->SetRecentItemCount(n - 1);
                    measured = MeasureRow(false, width, overflow);
                    cut = true;
                }
            }
            if (!cut) {
                links_->SetRecentItemCount(-1);
                measured = MeasureRow(false, width, overflow);
            }
        } else {
            measured = MeasureRow(false, width, overflow);
        }
        if (IsMarkVisible()) measured.cx += MarkSize;
        measured.cx += mdi.along;
        Size.cx = std::max(Size.cx, measured.cx);
        // A bar that shows nothing keeps its least height, a button's: a bar a few pixels high could be
        // neither seen nor taken by its grip.
        if (!links_->ShownLinks().empty()) Size.cy = measured.cy;
        Size.cy = std::max(Size.cy, static_cast<LONG>(mdi.across));
        return;
    }
    if (!vertical) {
        Size = SIZE{GetMinWidth(Style), GetMinHeight(Style)};
        WrapRows(Style, Width, Size);
        return;
    }
    // Columns: the shortest height whose wrapped width still stays below the wanted width, searched
    // only down to the smallest height a column can have.
    const int full = GetFullHeight(Style), least = GetMinHeight(Style);
    CalcColumnSize(Style, full, Size);
    for (int h = full - 1; h >= least && Size.cx < Width; --h) {
        SIZE next{0, 0};
        CalcColumnSize(Style, h, next);
        if (next.cx >= Width) break;
        Size = next;
    }
}

void TdxBarControl::CalcColumnSize(TdxBarDockingStyle Style, int Height, SIZE& Size) {
    links_->SetRecentItemCount(-1);
    Size = SIZE{GetMinWidth(Style), GetMinHeight(Style)};
    if (!IsMultiLine(Style)) {
        Size.cy = std::max(static_cast<int>(Size.cy), GetFullHeight(Style));
        return;
    }
    WrapRows(IsVertical(Style) ? Style : dsLeft, Height, Size);
}

int TdxBarControl::FloatingCaptionRoom() {
    const TdxBarItemControlPainter& painter = Painter();
    if (painter.UseSystemFloatingFrame()) return 0;
    // The caption strip spans the window less the outer borders; the client less all the borders.
    return painter.GetFloatingCaptionWidth(*this) + 2 * painter.GetFloatingBorderWidth() -
           bar_->GetNonClientWidth(dsNone);
}

SIZE TdxBarControl::FloatingSizeForHeight(int Height) {
    // From one row downwards, a pixel at a time, never below the widest control: the first width whose
    // rows reach the wanted height.
    const int full = GetFullWidth(dsNone), least = GetMinWidth(dsNone);
    SIZE size{0, 0};
    CalcSize(dsNone, full, size);
    SIZE previous = size;
    for (int w = full - 1; w >= least && size.cy < Height; --w) {
        CalcSize(dsNone, w, size);
        if (size.cy == previous.cy && size.cx == previous.cx) continue;
        previous = size;
    }
    return size;
}

SIZE TdxBarControl::GetSizeForDockingStyle(TdxBarDockingStyle Style) {
    const int saved = links_->RecentItemCount();
    const int borderW = bar_->GetNonClientWidth(Style), borderH = bar_->GetNonClientHeight(Style);
    SIZE size{0, 0};
    TdxDockControl* site = dockSite_;
    if (site == nullptr && Style != dsNone && bar_->Bars() != nullptr)
        site = dynamic_cast<TdxDockControl*>(bar_->Bars()->DockControls(Style));
    RECT siteClient{0, 0, 0, 0};
    if (site != nullptr) siteClient = const_cast<TdxDockControl*>(site)->ClientRect();
    switch (Style) {
    case dsNone: {
        const int width = bar_->FloatClientWidth() > 0 ? bar_->FloatClientWidth() : GetFullWidth(dsNone);
        CalcSize(dsNone, width, size);
        // The window is as wide as its caption needs, however few its buttons.
        size.cx = std::max(static_cast<int>(size.cx), FloatingCaptionRoom());
        size.cx += borderW;
        size.cy += borderH;
        break;
    }
    case dsLeft:
    case dsRight: {
        const int height = bar_->WholeRow() ? siteClient.bottom - borderH : GetFullHeight(Style);
        CalcColumnSize(Style, height, size);
        size.cx += borderW;
        size.cy = bar_->WholeRow() ? siteClient.bottom : size.cy + borderH;
        break;
    }
    default: {
        const int width = bar_->WholeRow() ? siteClient.right - borderW : GetFullWidth(Style);
        CalcSize(Style, width, size);
        size.cx = bar_->WholeRow() ? siteClient.right : size.cx + borderW;
        size.cy += borderH;
        break;
    }
    }
    links_->SetRecentItemCount(saved);
    return size;
}

void TdxBarControl::CalcControlsPositions() {
    if (handle_ == nullptr) return;
    links_->ClearItemRects();
    const TdxBarDockingStyle style = dockingStyle_;
    const bool vertical = IsVertical(style), multi = IsMultiLine(style);
    const RECT client = ClientRect();
    const int clientAlong = vertical ? client.bottom : client.right;
    const int clientAcross = vertical ? client.right : client.bottom;
    int L = clientAlong;
    if (IsMarkVisible() && (!multi || style != dsNone)) L -= MarkSize;
    const MDIExtent mdi = MDIArea(vertical);
    const int itemsEnd = L;
    if (!multi) L -= mdi.along;
    int T = multi ? 0 : clientAcross;
    int p = 0, O = 0;
    std::vector<TdxBarItemControl*> row;
    TdxBarItemControl* last = nullptr;
    auto finishRow = [&] {
        if (last != nullptr) last->LastInRow = true;
        for (TdxBarItemControl* c : row) {
            RECT r = c->Link()->ItemRect();
            const int across = vertical ? r.right - r.left : r.bottom - r.top;
            if (vertical)
                OffsetRect(r, -(T - across) / 2, 0);
            else
                OffsetRect(r, 0, (T - across) / 2);
            c->Link()->SetItemRect(r);
            c->RowSize = T;
        }
        row.clear();
    };
    const std::vector<TdxBarItemLink*> shown = links_->ShownLinks();
    for (size_t i = 0; i < shown.size(); ++i) {
        TdxBarItemLink* link = shown[i];
        if (link->Control() == nullptr) link->CreateControl();
        TdxBarItemControl* c = LinkControl(link);
        if (c == nullptr) continue;
        c->LastInRow = false;
        c->SeparatorRect = RECT{0, 0, 0, 0};
        const int a = Along(c, vertical), across = Across(c, vertical);
        int S = link->BeginGroup() && i > 0 ? GetSeparatorSize() : 0;
        if ((p > 0 && p + S + a > L) || (multi && c->StartsRow && p > 0)) {
            if (!multi) break;
            finishRow();
            O += T + S;
            p = 0;
            S = 0;
            T = 0;
        }
        RECT r;
        if (multi && !vertical)
            r = RECT{p + S, O, p + S + a, O + across};
        else if (multi)
            r = RECT{client.right - O - across, p + S, client.right - O, p + S + a};
        else if (!vertical)
            r = RECT{p + S, (T - across) / 2, p + S + a, (T - across) / 2 + across};
        else
            r = RECT{(T - across) / 2, p + S, (T - across) / 2 + across, p + S + a};
        // An aligned last control takes its place at the end of the free room.
        const TdxBarItemAlign align = c->EffectiveAlign();
        if (align != iaLeft) {
            const int free = L - (p + S + a);
            int shift = 0, grow = 0;
            if (align == iaCenter) shift = free / 2;
            if (align == iaRight) shift = free;
            if (align == iaClient) grow = std::max(free, 0);
            if (vertical) {
                OffsetRect(r, 0, std::max(shift, 0));
                r.bottom += grow;
            } else {
                OffsetRect(r, std::max(shift, 0), 0);
                r.right += grow;
            }
        }
        link->SetItemRect(r);
        if (!multi) c->RowSize = T;
        row.push_back(c);
        last = c;
        p += S + a;
        if (multi) T = std::max(T, across);
    }
    if (multi)
        finishRow();
    else if (last != nullptr)
        last->LastInRow = true;
    // The caption buttons at the end of the last row, or on a row of their own below it.
    mdiArea_ = RECT{0, 0, 0, 0};
    if (mdi.along == 0) return;
    int rowStart = multi ? O : 0, rowSize = multi ? T : clientAcross;
    if (multi && p + mdi.along > itemsEnd && p > 0) {
        rowStart = O + T;
        rowSize = mdi.across;
    }
    const int a0 = itemsEnd - mdi.along, c0 = rowStart + (rowSize - mdi.across) / 2;
    mdiArea_ = vertical ? RECT{client.right - c0 - mdi.across, a0, client.right - c0, itemsEnd}
                        : RECT{a0, c0, itemsEnd, c0 + mdi.across};
}

} // namespace bars
