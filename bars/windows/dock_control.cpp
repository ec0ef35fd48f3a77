// Dock sites: rows of docked toolbars, their packing, the site's own size and the drag loop's tests.
#include "bars/windows/dock_control.h"

#include <algorithm>
#include <numeric>

#include "bars/core/backgrounds.h"
#include "bars/core/bar_drawing.h"
#include "bars/core/bar_manager.h"
#include "bars/core/bar_routines.h"
#include "bars/core/item_links.h"
#include "bars/core/toolbar.h"
#include "bars/core/toolbars.h"
#include "bars/painters/painter.h"
#include "bars/windows/toolbar_control.h"
#include "bars/windows/toolbars_popup.h"
#include "lookandfeel/colors.h"
#include "platform/gdi/blit.h"
#include "platform/gdi/edges.h"
#include "platform/gdi/shapes.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"
#include "platform/gui/input.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/message_views.h"
#include "platform/gui/paint.h"
#include "platform/gui/window.h"
#include "platform/gui/window_dc.h"
#include "platform/vcl/form.h"

namespace bars {

namespace {

// The middle band of a row boundary, where a dropped toolbar makes a new row.
constexpr int NewRowBand = 5;

} // namespace

TdxDockControl::TdxDockControl(TComponent* AOwner)
    : TCustomControl(AOwner), manager_(nullptr), side_(dsNone),
      backgroundBitmap_(std::make_unique<TBitmap>()), backgroundCache_(std::make_unique<TBitmap>()) {
    WatchBackgroundBitmap();
    SetParentColor(true);
    SetAlign(alTop);
}

TdxDockControl::TdxDockControl(TComponent* AOwner, TdxBarManager* AManager, TdxBarDockingStyle ASide)
    : TCustomControl(AOwner), manager_(AManager), side_(ASide),
      backgroundBitmap_(std::make_unique<TBitmap>()), backgroundCache_(std::make_unique<TBitmap>()) {
    WatchBackgroundBitmap();
    switch (ASide) {
    case dsLeft:
        SetAlign(alLeft);
        break;
    case dsRight:
        SetAlign(alRight);
        break;
    case dsBottom:
        SetAlign(alBottom);
        break;
    default:
        SetAlign(alTop);
        break;
    }
    if (Horizontal())
        SetHeight(0);
    else
        SetWidth(0);
    SetParentColor(true);
    if (manager_ != nullptr) manager_->RegisterDockControl(this);
    UpdateColor();
}

TdxDockControl::~TdxDockControl() {
    Destroying();
    // The toolbar windows are its children: they go first. A site that dies before its manager (with
    // its form's windows) leaves the manager's table of form-edge sites.
    for (auto& row : rows_)
        for (auto& col : row->Columns)
            if (col->BarControl != nullptr) col->BarControl->SiteDestroying();
    rows_.clear();
    if (manager_ != nullptr) manager_->UnregisterDockControl(this);
}

HWND TdxDockControl::Handle() const {
    return const_cast<TdxDockControl*>(this)->TWinControl::Handle();
}

void TdxDockControl::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.Style |= WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
}

TdxBarDockingStyle TdxDockControl::DockingStyle() const {
    if (side_ != dsNone) return side_;
    switch (Align()) {
    case alLeft:
        return dsLeft;
    case alRight:
        return dsRight;
    case alBottom:
        return dsBottom;
    default:
        return dsTop;
    }
}

bool TdxDockControl::CanDockBar(TdxBar*, TdxBarDockingStyle) {
    return allowDocking_;
}

bool TdxDockControl::GetSunkenBorder() const {
    return manager_ != nullptr && manager_->SunkenBorder();
}

void TdxDockControl::UpdateColor() {
    if (manager_ == nullptr || manager_->AutoDockColor())
        SetParentColor(true);
    else
        SetColor(manager_->DockColor());
    Invalidate();
}

void TdxDockControl::SetBackgroundBitmap(TBitmap* Value) {
    backgroundBitmap_->Assign(Value);
}

// However the picture changes (assigned, drawn on, read from the form's stream), the site and its
// toolbars show the new one.
void TdxDockControl::WatchBackgroundBitmap() {
    backgroundBitmap_->OnChange = [this](TObject*) {
        ResetBackgroundCache();
        Invalidate();
        RepaintBars();
    };
}

bool TdxDockControl::HasBackgroundBitmap() const {
    return !backgroundBitmap_->Empty();
}

bool TdxDockControl::HasCustomBackground() const {
    if (HasBackgroundBitmap()) return true;
    return manager_ != nullptr && manager_->Backgrounds() != nullptr &&
           manager_->Backgrounds()->Bar() != nullptr && !manager_->Backgrounds()->Bar()->Empty();
}

void TdxDockControl::ResetBackgroundCache() {
    backgroundCache_ = std::make_unique<TBitmap>();
    cachedPicture_ = nullptr;
}

TBitmap* TdxDockControl::BackgroundCacheFor(TBitmap* Picture) {
    const RECT client = ClientRect();
    if (client.right <= 0 || client.bottom <= 0) return nullptr;
    if (cachedPicture_ != Picture || backgroundCache_->Width() != client.right ||
        backgroundCache_->Height() != client.bottom) {
        backgroundCache_->SetSize(client.right, client.bottom);
        FillRectWithBitmap(backgroundCache_->Canvas().Handle(), client, client, Picture, Color(), nullptr);
        cachedPicture_ = Picture;
    }
    return backgroundCache_.get();
}

TBitmap* TdxDockControl::PainterCache() {
    // A picture tiled into the cache is not the painter's drawing.
    if (cachedPicture_ != nullptr) ResetBackgroundCache();
    return backgroundCache_.get();
}

void TdxDockControl::DrawBackground(HDC DC, const RECT& R, POINT Origin, HBRUSH Brush) {
    TBitmap* picture = HasBackgroundBitmap() ? backgroundBitmap_.get() : nullptr;
    if (picture == nullptr && manager_ != nullptr && manager_->Backgrounds() != nullptr &&
        manager_->Backgrounds()->Bar() != nullptr && !manager_->Backgrounds()->Bar()->Empty())
        picture = manager_->Backgrounds()->Bar();
    if (picture != nullptr) {
        // Tiled once for the whole site; every paint (the site's or a toolbar's) copies its part.
        if (TBitmap* cache = BackgroundCacheFor(picture)) {
            BitBlt(DC, R.left, R.top, R.right - R.left, R.bottom - R.top, cache->Canvas().Handle(),
                   R.left + Origin.x, R.top + Origin.y, SRCCOPY);
            return;
        }
    }
    if (manager_ != nullptr && !IsRectEmpty(R) && Brush == nullptr) {
        const RECT origin{-Origin.x, -Origin.y, -Origin.x + ClientRect().right,
                          -Origin.y + ClientRect().bottom};
        TdxBarItemControlPainter::Of(manager_).DrawDockBackground(DC, R, origin, Color(), nullptr,
                                                                  DockingStyle(), this);
        return;
    }
    if (Brush != nullptr)
        FillRect(DC, &R, Brush);
    else
        FillRectByColor(DC, R, Color());
}

void TdxDockControl::RepaintBars() {
    for (auto& row : rows_)
        for (auto& col : row->Columns)
            if (col->BarControl != nullptr && col->BarControl->Handle() != nullptr) {
                col->BarControl->RepaintFrame();
                InvalidateRect(col->BarControl->Handle(), nullptr, FALSE_);
            }
}

void TdxDockControl::RecreateFrame() {
    if (HandleAllocated())
        SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    for (auto& row : rows_)
        for (auto& col : row->Columns)
            if (col->BarControl != nullptr && col->BarControl->Handle() != nullptr)
                SetWindowPos(col->BarControl->Handle(), nullptr, 0, 0, 0, 0,
                             SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    RealignBars();
}

void TdxDockControl::Paint() {
    DrawBackground(Canvas().Handle(), ClientRect(), POINT{0, 0}, nullptr);
}

void TdxDockControl::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_ERASEBKGND:
        Message.Result = 1;
        return;
    case WM_MOUSEACTIVATE:
        Message.Result = MA_NOACTIVATE;
        return;
    case WM_RBUTTONDOWN: {
        TCustomControl::WndProc(Message);
        POINT screen = TWMMouse(Message).Pos();
        ::ClientToScreen(Handle(), screen);
        if (manager_ != nullptr && !manager_->IsCustomizing()) PostToolbarsPopup(manager_, screen);
        return;
    }
    case WM_DESTROY:
        // Its toolbars go with the window; the list of those to show again is there for them.
        if (manager_ != nullptr && !manager_->IsDestroying()) manager_->CreateBarsToShow();
        TCustomControl::WndProc(Message);
        return;
    case WM_NCCALCSIZE:
        TCustomControl::WndProc(Message);
        if (GetSunkenBorder()) {
            if (RECT* r = TWMNCCalcSize(Message).ClientRect()) InflateRect(*r, -1, -1);
        }
        return;
    case WM_NCPAINT:
        TCustomControl::WndProc(Message);
        if (GetSunkenBorder()) {
            const pw::gui::WindowDC dc(Handle(), pw::gui::WindowDC::Area::Window);
            RECT r{0, 0, Width(), Height()};
            DrawEdge(dc.Get(), &r, BDR_SUNKENOUTER, BF_RECT);
        }
        return;
    case WM_SIZE: {
        ResetBackgroundCache();
        TCustomControl::WndProc(Message);
        if (!realigning_) RealignBars();
        return;
    }
    default:
        TCustomControl::WndProc(Message);
    }
}

void TdxDockControl::PaintBackgroundOf(HDC DC, const RECT& R, POINT Origin, HBRUSH Brush) {
    // A site with a picture of its own shows it through its toolbars.
    if (HasCustomBackground())
        DrawBackground(DC, R, Origin, nullptr);
    else
        FillRect(DC, &R, Brush);
}

int TdxDockControl::RowThickness(const TdxDockRow& Row) const {
    int thickness = 0;
    for (const auto& col : Row.Columns) {
        if (col->BarControl == nullptr || col->BarControl->Handle() == nullptr) continue;
        RECT r{0, 0, 0, 0};
        GetWindowRect(col->BarControl->Handle(), r);
        thickness = std::max(thickness, static_cast<int>(Horizontal() ? r.bottom - r.top : r.right - r.left));
    }
    return thickness;
}

SIZE TdxDockControl::SiteSize() const {
    return SIZE{TControl::Width(), TControl::Height()};
}

void TdxDockControl::RowExtent(int Index, int& From, int& To) const {
    From = RowStart(Index);
    To = From + RowThickness(*rows_.at(static_cast<size_t>(Index)));
}

bool TdxDockControl::RowBorderless(int Index) const {
    for (const auto& col : rows_.at(static_cast<size_t>(Index))->Columns) {
        TdxBar* bar = col->BarControl != nullptr ? col->BarControl->Bar() : nullptr;
        if (bar != nullptr && bar->BorderStyle() != bbsNone) return false;
    }
    return true;
}

int TdxDockControl::GetRowsSize() const {
    int size = 0;
    for (const auto& row : rows_)
        size += RowThickness(*row);
    return size;
}

int TdxDockControl::RowStart(int Index) const {
    int start = 0;
    for (int i = 0; i < Index && i < RowCount(); ++i)
        start += RowThickness(*rows_[static_cast<size_t>(i)]);
    if (Near()) return start;
    // Far sites stack their rows from the far edge.
    const int size = Horizontal() ? TControl::Height() : TControl::Width();
    return size - GetRowsSize() + start;
}

void TdxDockControl::RowBand(int Index, int& A, int& B) const {
    const int size = Horizontal() ? TControl::Height() : TControl::Width();
    if (Index < 0) {
        A = Near() ? -DockingZoneSize : size - GetRowsSize() - DockingZoneSize;
        B = A + DockingZoneSize;
    } else if (Index >= RowCount()) {
        A = Near() ? GetRowsSize() : size;
        B = A + DockingZoneSize;
    } else {
        A = RowStart(Index);
        B = A + RowThickness(*rows_[static_cast<size_t>(Index)]);
    }
}

int TdxDockControl::GetRowAtPos(POINT ScreenPoint, bool& NewRow) const {
    NewRow = true;
    if (rows_.empty()) return 0;
    POINT p = ScreenPoint;
    ::ScreenToClient(Handle(), p);
    const int c = Horizontal() ? p.y : p.x;
    int result = -1;
    bool found = false;
    for (int r = -1; r < RowCount() && !found; ++r) {
        int A = 0, B = 0;
        RowBand(r, A, B);
        const int m = Near() ? A + (DockingZoneSize - NewRowBand) / 2
                             : B - (DockingZoneSize - NewRowBand) / 2 - NewRowBand;
        if (c >= A && c < m) {
            result = r;
            NewRow = false;
            found = true;
        } else if (c >= m && c < m + NewRowBand) {
            result = r + 1;
            NewRow = true;
            found = true;
        } else if (c >= m + NewRowBand && c < B) {
            result = r + 1;
            NewRow = false;
            found = true;
        }
    }
    if (!found || result == -1) {
        NewRow = true;
        result = c < GetRowsSize() ? 0 : RowCount();
    }
    if (result >= RowCount()) NewRow = true;
    return result;
}

void TdxDockControl::GetRowPoint(int Row, bool NewRow, POINT& ScreenPoint) const {
    if (Row == RowCount()) NewRow = false;
    POINT p = ScreenPoint;
    ::ScreenToClient(Handle(), p);
    int& c = Horizontal() ? p.y : p.x;
    int A = 0, B = 0;
    RowBand(Row - 1, A, B);
    const auto split = [&](int a, int b) {
        return Near() ? a + (DockingZoneSize - NewRowBand) / 2
                      : b - (DockingZoneSize - NewRowBand) / 2 - NewRowBand;
    };
    const int m = split(A, B);
    if (NewRow) {
        c = m + NewRowBand / 2;
    } else {
        int S = m + NewRowBand;
        int A2 = 0, B2 = 0;
        RowBand(Row, A2, B2);
        const int S2 = A2, E2 = split(A2, B2);
        if (E2 - S2 < S2 - S) S = S2 - (E2 - S2);
        c = (S + E2) / 2;
    }
    ::ClientToScreen(Handle(), p);
    ScreenPoint = p;
}

int TdxDockControl::GetColumnAtPos(int Row, POINT ScreenPoint) const {
    if (Row < 0 || Row >= RowCount()) return 0;
    const TdxDockRow& row = *rows_[static_cast<size_t>(Row)];
    POINT p = ScreenPoint;
    ::ScreenToClient(Handle(), p);
    const int c = Horizontal() ? p.x : p.y;
    for (size_t i = 0; i < row.Columns.size(); ++i)
        if ((Horizontal() ? row.Columns[i]->Pos.x : row.Columns[i]->Pos.y) >= c) return static_cast<int>(i);
    return static_cast<int>(row.Columns.size());
}

RECT TdxDockControl::GetDockingZone() const {
    RECT r = BoundsRect();
    if (Parent() != nullptr) MapWindowPoints(Parent()->Handle(), nullptr, r);
    r.left -= DockingZoneSize;
    r.right += DockingZoneSize;
    if (Horizontal()) {
        r.top -= DockingZoneSize;
        r.bottom += DockingZoneSize;
    }
    return r;
}

bool TdxDockControl::UncoveredAt(POINT ScreenPoint, HWND Dragged) const {
    TWinControl* parent = Parent();
    const TRect r = BoundsRect();
    // A site without rows shows nothing that could be covered.
    if (parent == nullptr || !HandleAllocated() || r.right <= r.left || r.bottom <= r.top) return true;
    // The docking zone reaches past the site: the pointer there meets the site's nearest pixel.
    POINT p = ScreenPoint;
    ::ScreenToClient(parent->Handle(), p);
    p.x = std::clamp<decltype(p.x)>(p.x, r.left, r.right - 1);
    p.y = std::clamp<decltype(p.y)>(p.y, r.top, r.bottom - 1);
    if (ChildWindowFromPointEx(parent->Handle(), p, CWP_SKIPINVISIBLE) != Handle()) return false;
    // A window in front of the form there (the customizing window) hides the site: a toolbar let go on
    // it would dock into a site nobody sees.
    ::ClientToScreen(parent->Handle(), p);
    return pw::gui::TopLevelAt(p, Dragged) == GetAncestor(Handle(), GA_ROOT);
}

bool TdxDockControl::FindBarControl(const TdxBarControl* Control, int& Row, int& Col) const {
    for (size_t r = 0; r < rows_.size(); ++r)
        for (size_t c = 0; c < rows_[r]->Columns.size(); ++c)
            if (rows_[r]->Columns[c]->BarControl == Control) {
                Row = static_cast<int>(r);
                Col = static_cast<int>(c);
                return true;
            }
    Row = Col = -1;
    return false;
}

void TdxDockControl::InsertBarControl(BarControl* Control, POINT ScreenPoint) {
    auto* toolbar = dynamic_cast<TdxBarControl*>(Control);
    if (toolbar == nullptr) return;
    AddBarControl(toolbar, ScreenPoint, true);
}

void TdxDockControl::AddBarControl(TdxBarControl* Control, POINT ScreenPoint, bool DoRealign) {
    if (manager_ == nullptr || Control == nullptr) return;
    TdxBar* bar = Control->Bar();
    int row = 0;
    bool newRow = true;
    if (Control->Dragging) {
        row = GetRowAtPos(ScreenPoint, newRow);
    } else {
        row = bar->Row();
        newRow = bar->OneOnRow();
    }
    if (bar->WholeRow()) newRow = true;
    if (row > RowCount()) row = newRow ? RowCount() : RowCount() - 1;
    row = std::max(row, 0);
    if (row >= RowCount()) newRow = true;
    // A row that holds a whole-row bar is never shared.
    if (!newRow) {
        for (const auto& col : rows_[static_cast<size_t>(row)]->Columns)
            if (col->BarControl != Control && col->BarControl->Bar()->WholeRow()) newRow = true;
    }
    // Where the toolbar's leading edge comes. During a drag the point stands for the grab point moved
    // across the rows; the grab point keeps its relative place in the toolbar as it shows here.
    POINT p = ScreenPoint;
    if (Control->Dragging) {
        const POINT grab = Control->GrabOffsetFor(Control->GetSizeForDockingStyle(DockingStyle()));
        p.x -= Control->DockGrabOffset.x + grab.x;
        p.y -= Control->DockGrabOffset.y + grab.y;
    }
    auto col = std::make_unique<TdxDockCol>();
    col->BarControl = Control;
    TdxDockCol* placed = col.get();
    if (newRow) {
        auto fresh = std::make_unique<TdxDockRow>();
        fresh->Columns.push_back(std::move(col));
        rows_.insert(rows_.begin() + row, std::move(fresh));
    } else {
        auto& columns = rows_[static_cast<size_t>(row)]->Columns;
        const int at = GetColumnAtPos(row, p);
        columns.insert(columns.begin() + at, std::move(col));
    }
    ::ScreenToClient(Handle(), p);
    p.x = std::max<int>(p.x, 0);
    p.y = std::max<int>(p.y, 0);
    placed->Pos = p;
    if (DoRealign) RealignBars();
}

void TdxDockControl::RemoveBarControl(BarControl* Control) {
    for (size_t r = 0; r < rows_.size(); ++r) {
        auto& columns = rows_[r]->Columns;
        for (size_t c = 0; c < columns.size(); ++c) {
            if (columns[c]->BarControl != Control) continue;
            columns.erase(columns.begin() + static_cast<std::ptrdiff_t>(c));
            if (columns.empty()) rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(r));
            if (!realigning_ && !ComponentState().Contains(csDestroying)) RealignBars();
            return;
        }
    }
}

void TdxDockControl::MoveBarControl(TdxBarControl* Control, POINT ScreenPoint) {
    for (size_t r = 0; r < rows_.size(); ++r) {
        auto& columns = rows_[r]->Columns;
        for (size_t c = 0; c < columns.size(); ++c)
            if (columns[c]->BarControl == Control) {
                columns.erase(columns.begin() + static_cast<std::ptrdiff_t>(c));
                if (columns.empty()) rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(r));
                AddBarControl(Control, ScreenPoint, true);
                return;
            }
    }
    AddBarControl(Control, ScreenPoint, true);
}

void TdxDockControl::RealignRow(TdxDockRow& Row, int Start, int Length) {
    const bool horizontal = Horizontal();
    int total = 0;
    for (auto& col : Row.Columns) {
        TdxBarControl* ctl = col->BarControl;
        TdxBar* bar = ctl->Bar();
        ctl->SetItemsHidden(false);
        ctl->ItemLinks()->SetRecentItemCount(-1);
        const int border =
            horizontal ? bar->GetNonClientWidth(DockingStyle()) : bar->GetNonClientHeight(DockingStyle());
        col->MinLength =
            (horizontal ? ctl->GetMinWidth(DockingStyle()) : ctl->GetMinHeight(DockingStyle())) + border;
        col->FullLength =
            (horizontal ? ctl->GetFullWidth(DockingStyle()) : ctl->GetFullHeight(DockingStyle())) + border;
        // Room for the mark that shows once items are hidden.
        if (!ctl->IsMarkVisible() && col->MinLength != col->FullLength) col->MinLength += MarkSize;
        total += col->FullLength;
    }
    const size_t n = Row.Columns.size();
    std::vector<int> position(n, 0), length(n, 0);
    std::vector<bool> hidden(n, false);
    auto sumBefore = [&](size_t i, bool full) {
        int s = 0;
        for (size_t k = 0; k < i; ++k)
            s += full ? Row.Columns[k]->FullLength : Row.Columns[k]->MinLength;
        return s;
    };
    auto along = [&](const POINT& p) { return horizontal ? p.x : p.y; };
    auto multiLine = [&](TdxBarControl* ctl) { return ctl->Bar()->MultiLine(); };
    if (n >= 1 && Row.Columns[0]->BarControl->Bar()->WholeRow()) {
        TdxDockCol& col = *Row.Columns[0];
        length[0] = std::max(Length, col.MinLength);
        hidden[0] = !multiLine(col.BarControl) && length[0] < col.FullLength;
    } else if (Length < total) {
        // Squeezed from the last column to the first; each keeps at least its smallest length.
        int remaining = Length;
        for (size_t i = n; i-- > 0;) {
            TdxDockCol& col = *Row.Columns[i];
            const int lo = sumBefore(i, false), hi = sumBefore(i, true);
            const int p = std::clamp(along(col.Pos), lo, std::max(lo, hi));
            const int room = remaining - p;
            if (col.FullLength > room) {
                hidden[i] = !multiLine(col.BarControl) && col.MinLength != col.FullLength;
                length[i] = std::max(col.MinLength, room);
            } else {
                length[i] = col.FullLength;
            }
            if (i == 0) length[i] = std::max(length[i], remaining);
            position[i] = std::clamp(remaining - length[i], lo, std::max(lo, hi));
            if (i == 0) position[i] = 0;
            remaining = position[i];
        }
    } else {
        int next = Length;
        for (size_t i = n; i-- > 0;) {
            TdxDockCol& col = *Row.Columns[i];
            length[i] = col.FullLength;
            int p = std::min(along(col.Pos), next - length[i]);
            p = std::max(p, sumBefore(i, true));
            position[i] = p;
            next = p;
        }
    }
    if (n >= 1 && hidden[n - 1])
        length[n - 1] = std::max(Length - position[n - 1], Row.Columns[n - 1]->MinLength);
    // Sizes across follow the lengths; the row is as thick as its thickest toolbar.
    std::vector<SIZE> sizes(n);
    int thickness = 0;
    for (size_t i = 0; i < n; ++i) {
        TdxBarControl* ctl = Row.Columns[i]->BarControl;
        TdxBar* bar = ctl->Bar();
        ctl->SetItemsHidden(hidden[i]);
        SIZE s{0, 0};
        if (horizontal) {
            ctl->CalcSize(DockingStyle(), length[i] - bar->GetNonClientWidth(DockingStyle()), s);
            sizes[i] = SIZE{length[i], s.cy + bar->GetNonClientHeight(DockingStyle())};
        } else {
            ctl->CalcColumnSize(DockingStyle(), length[i] - bar->GetNonClientHeight(DockingStyle()), s);
            sizes[i] = SIZE{s.cx + bar->GetNonClientWidth(DockingStyle()), length[i]};
        }
        thickness = std::max(thickness, static_cast<int>(horizontal ? sizes[i].cy : sizes[i].cx));
    }
    for (size_t i = 0; i < n; ++i) {
        TdxBarControl* ctl = Row.Columns[i]->BarControl;
        if (ctl->Handle() == nullptr) continue;
        RECT want = horizontal ? RECT{position[i], Start, position[i] + sizes[i].cx, Start + thickness}
                               : RECT{Start, position[i], Start + thickness, position[i] + sizes[i].cy};
        RECT now{0, 0, 0, 0};
        GetWindowRect(ctl->Handle(), now);
        MapWindowPoints(nullptr, Handle(), now);
        if (!EqualRect(now, want))
            SetWindowPos(ctl->Handle(), nullptr, want.left, want.top, want.right - want.left,
                         want.bottom - want.top, SWP_NOZORDER | SWP_NOACTIVATE);
        ctl->CalcControlsPositions();
        Row.Columns[i]->Pos = POINT{want.left, want.top};
    }
}

void TdxDockControl::RealignBars() {
    if (realigning_ || manager_ == nullptr || manager_->LockUpdate() || manager_->IsDestroying()) return;
    if (ComponentState().Contains(csDestroying)) return;
    TCustomForm* form = manager_->ParentForm();
    if (form == nullptr || form->ComponentState().Contains(csDestroying)) return;
    realigning_ = true;
    const int sizeBefore = Horizontal() ? TControl::Height() : TControl::Width();
    // Sizing the site may change its length too (the form aligns it): then once more.
    for (int pass = 0; pass < 2; ++pass) {
        const RECT client = ClientRect();
        // A site without rows is as thin as its frame and has no client area; its length is there all
        // the same, for the first toolbar's place.
        const int length = !IsRectEmpty(client) ? (Horizontal() ? client.right : client.bottom)
                                                : (Horizontal() ? TControl::Width() : TControl::Height()) -
                                                      (GetSunkenBorder() ? 2 : 0);
        int start = 0;
        for (auto& row : rows_) {
            RealignRow(*row, start, length);
            start += RowThickness(*row);
        }
        // The rows take the client area; a sunken border is added around them, not cut from them.
        const int old = Horizontal() ? TControl::Height() : TControl::Width();
        const int size = GetRowsSize() + old - (Horizontal() ? client.bottom : client.right);
        if (size != old) {
            // A site at the form's bottom or right edge grows towards the middle, keeping its far edge,
            // so that the form's alignment keeps it inside what else stands at that edge (the status
            // bar below the bottom site).
            const int grown = size - old;
            if (Horizontal())
                TControl::SetBounds(Left(), Align() == alBottom ? Top() - grown : Top(), Width(), size);
            else
                TControl::SetBounds(Align() == alRight ? Left() - grown : Left(), Top(), size, Height());
        }
        const RECT after = ClientRect();
        if ((Horizontal() ? after.right : after.bottom) == length) break;
    }
    realigning_ = false;
    Invalidate();
    if ((Horizontal() ? TControl::Height() : TControl::Width()) != sizeBefore) CloseMenusOnResize();
}

void TdxDockControl::CloseMenusOnResize() {
    auto* active = dynamic_cast<TCustomdxBarControl*>(GetActiveBarControl());
    if (active == nullptr) return;
    // A menu open under the moving edge would stand apart from its entry; one that holds the mouse
    // is being used, and a menu from the form's own edges does not care about a site placed elsewhere.
    if (active->Handle() != nullptr && GetCapture() == active->Handle()) return;
    TCustomdxBarControl* root = active;
    for (int guard = 0; root->ParentBar() != nullptr && guard < 64; ++guard)
        root = root->ParentBar();
    if (!IsFormEdge()) {
        auto* toolbar = dynamic_cast<TdxBarControl*>(root);
        if (toolbar != nullptr && toolbar->DockSite() != nullptr && toolbar->DockSite()->IsFormEdge()) return;
    }
    active->HideAll();
}

} // namespace bars
