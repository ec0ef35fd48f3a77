// The toolbar window's painting: its controls and separators, its background, its frame and caption,
// and the frame shown while a control's width is dragged.
#include "bars/windows/toolbar_control.h"

#include "bars/core/backgrounds.h"
#include "bars/core/bar_drawing.h"
#include "bars/core/bar_manager.h"
#include "bars/core/bar_routines.h"
#include "bars/core/item_links.h"
#include "bars/core/toolbar.h"
#include "bars/core/toolbars.h"
#include "bars/painters/painter.h"
#include "bars/windows/dock_control.h"
#include "bars/windows/item_control.h"
#include "bars/windows/quick_customize.h"
#include "lookandfeel/colors.h"
#include "platform/gdi/fonts.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/gdi_structs.h"
#include "platform/gdi/regions.h"
#include "platform/gdi/scoped.h"
#include "platform/gdi/shapes.h"
#include "platform/graphics/bitmap.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/messages.h"
#include "platform/gui/paint.h"
#include "platform/gui/window.h"
#include "platform/gui/window_dc.h"
#include "platform/rtl/wintypes.h"

namespace bars {

namespace {

// The lines of the frame shown while a control's width is dragged.
constexpr int EditSizingLine = 2;

} // namespace

void TdxBarControl::RepaintBackground() {
    if (handle_ != nullptr) InvalidateRect(handle_, nullptr, FALSE_);
}

void TdxBarControl::RepaintFrame() {
    if (handle_ != nullptr) SendMessage(handle_, WM_NCPAINT, 1, 0);
}

HFONT TdxBarControl::PaintFont() const {
    const HFONT font = GetFontHandle();
    if (font == nullptr || !IsRotatedBarControl(const_cast<TdxBarControl*>(this))) return font;
    if (!turnedFont_ || turnedFrom_ != font) {
        LOGFONT lf;
        if (GetObject(font, sizeof(lf), &lf) != static_cast<int>(sizeof(lf))) return font;
        lf.lfEscapement = -900;
        lf.lfOrientation = -900;
        lf.lfOutPrecision = OUT_TT_ONLY_PRECIS;
        turnedFont_.Reset(CreateFontIndirect(&lf));
        turnedFrom_ = font;
    }
    return turnedFont_ ? turnedFont_.Get() : font;
}

HBRUSH TdxBarControl::GetBkBrush() const {
    return Painter().GetToolbarBrush(const_cast<TdxBarControl&>(*this));
}

void TdxBarControl::RepaintControl(TdxBarItemControl* Control) {
    if (Locked() || handle_ == nullptr || Control == nullptr) return;
    if (InvalidateOnSelect()) {
        TCustomdxBarControl::RepaintControl(Control);
        return;
    }
    // Drawn at once, and only the control reaches the screen.
    const RECT r = GetItemRect(Control);
    if (IsRectEmpty(r)) return;
    InvalidateRect(handle_, &r, FALSE_);
    UpdateWindow(handle_);
}

void TdxBarControl::DrawBackground(HDC DC, const RECT& R, HBRUSH Brush) {
    RECT window{0, 0, 0, 0};
    if (handle_ != nullptr) GetWindowRect(handle_, window);
    POINT origin{0, 0};
    if (handle_ != nullptr) ClientToScreen(handle_, origin);
    // Tiles start at the window's corner, whatever part of it is painted.
    const RECT tiles{window.left - origin.x, window.top - origin.y, window.right - origin.x,
                     window.bottom - origin.y};
    TBitmap* own = bar_->BackgroundBitmap();
    TdxBarBackgrounds* backgrounds = manager_->Backgrounds();
    TBitmap* shared = backgrounds != nullptr ? backgrounds->Bar() : nullptr;
    // A borderless bar across the bottom row stands as the form's status bar and looks like one.
    const bool statusBar = bar_->BorderStyle() == bbsNone && dockingStyle_ == dsBottom && bar_->WholeRow();
    if (own != nullptr && !own->Empty()) {
        FillRectWithBitmap(DC, R, tiles, own, clNone, Brush);
    } else if (statusBar && (shared == nullptr || shared->Empty())) {
        Painter().DrawStatusBarBackground(*this, DC, Brush, tiles, R);
    } else if (shared != nullptr && !shared->Empty()) {
        FillRectWithBitmap(DC, R, tiles, shared, clNone, Brush);
    } else if (bar_->Color() != clDefault) {
        FillRectByColor(DC, R, bar_->Color());
    } else if (dockSite_ != nullptr && dockingStyle_ != dsNone && dockSite_->HasCustomBackground()) {
        // The site's own picture or colour shows through; its origin is where this client lies in it.
        POINT inSite{0, 0};
        if (handle_ != nullptr) MapWindowPoints(handle_, dockSite_->Handle(), &inSite, 1);
        dockSite_->DrawBackground(DC, R, inSite, nullptr);
    } else {
        TCustomdxBarControl::DrawBackground(DC, R, Brush);
    }
}

RECT TdxBarControl::EditSizingFrame() const {
    const TdxBarItemControl* control = SizingControl();
    RECT r = control != nullptr ? control->Bounds() : RECT{0, 0, 0, 0};
    if (editSizingRightEdge_)
        r.right = r.left + editSizeWidth_;
    else
        r.left = r.right - editSizeWidth_;
    return r;
}

void TdxBarControl::InvertEditSizingFrame() {
    if (handle_ == nullptr) return;
    const pw::gui::WindowDC dc(handle_, pw::gui::WindowDC::Area::Client);
    const RECT r = EditSizingFrame();
    const int w = r.right - r.left, h = r.bottom - r.top;
    PatBlt(dc.Get(), r.left, r.top, w, EditSizingLine, PATINVERT);
    PatBlt(dc.Get(), r.left, r.bottom - EditSizingLine, w, EditSizingLine, PATINVERT);
    PatBlt(dc.Get(), r.left, r.top + EditSizingLine, EditSizingLine, h - 2 * EditSizingLine, PATINVERT);
    PatBlt(dc.Get(), r.right - EditSizingLine, r.top + EditSizingLine, EditSizingLine, h - 2 * EditSizingLine,
           PATINVERT);
}

RECT TdxBarControl::MarkDroppedDownJoint() const {
    if (markState_ != 2 || quickControl_ == nullptr || quickControl_->Handle() == nullptr ||
        handle_ == nullptr)
        return RECT{0, 0, 0, 0};
    RECT joint = quickControl_->GetJointRect(true);
    if (IsRectEmpty(joint)) return joint;
    if (dockingStyle_ != dsNone) {
        MapWindowPoints(nullptr, handle_, joint);
        return joint;
    }
    RECT window{0, 0, 0, 0};
    GetWindowRect(handle_, window);
    OffsetRect(joint, -window.left, -window.top);
    return joint;
}

RECT TdxBarControl::MarkRect() {
    return Painter().GetMarkRect(*this);
}

void TdxBarControl::InvalidateMark() {
    if (handle_ != nullptr) Painter().InvalidateMark(*this);
}

bool TdxBarControl::DockSiteRect(RECT& R) const {
    if (dockingStyle_ == dsNone || dockSite_ == nullptr || handle_ == nullptr ||
        dockSite_->Handle() == nullptr)
        return false;
    GetClientRect(dockSite_->Handle(), R);
    MapWindowPoints(dockSite_->Handle(), handle_, R);
    return true;
}

DockPaintView* TdxBarControl::PaintDockSite() const {
    return dockingStyle_ != dsNone ? dockSite_ : nullptr;
}

void TdxBarControl::NCPaint() {
    if (handle_ == nullptr) return;
    const pw::gui::WindowDC dc(handle_, pw::gui::WindowDC::Area::Window);
    RECT window{0, 0, 0, 0};
    GetWindowRect(handle_, window);
    const RECT all{0, 0, window.right - window.left, window.bottom - window.top};
    const RECT b = WindowBorders();
    const RECT inner{b.left, b.top, all.right - b.right, all.bottom - b.bottom};
    const pw::gdi::SavedDC saved(dc.Get());
    ExcludeClipRect(dc.Get(), inner.left, inner.top, inner.right, inner.bottom);
    const HBRUSH brush = GetBkBrush();
    FillRect(dc.Get(), &all, brush);
    const TdxBarItemControlPainter& painter = Painter();
    if (dockingStyle_ != dsNone) {
        if (bar_->BorderStyle() != bbsNone)
            painter.DrawDockedBorder(*this, dc.Get(), brush, all);
        else if (bar_->ShowsSizeGrip())
            painter.DrawSizeGripArea(*this, dc.Get(), brush,
                                     RECT{inner.right, inner.top, all.right, inner.bottom});
        return;
    }
    painter.DrawFloatingBorder(*this, dc.Get(), brush, false, inner, all);
    // A joined style leaves the drop-down's border open where it touches the end mark that opened it.
    if (RECT joint = GetJointRect(false);
        IsQuickControl() && painter.IsMenuJoinedToItem() && !IsRectEmpty(joint)) {
        OffsetRect(joint, -window.left, -window.top);
        FillRect(dc.Get(), &joint, painter.GetManagerBrush(manager_));
    }
    if (!hasCaption_) return;
    const int bw = painter.GetFloatingBorderWidth(), bh = painter.GetFloatingBorderHeight();
    const RECT caption{bw, bh, all.right - bw, bh + painter.GetCaptionHeight()};
    painter.DrawFloatingCaption(*this, dc.Get(), brush, caption);
}

void TdxBarControl::Paint(HDC DC) {
    // The controls were placed when the window took its size or was rebuilt.
    const HBRUSH brush = GetBkBrush();
    const pw::gdi::SavedDC saved(DC);
    const RECT client = ClientRect();
    const bool horizontal = dockingStyle_ != dsLeft && dockingStyle_ != dsRight;
    const int sep = GetSeparatorSize();
    for (TdxBarItemLink* link : std::vector<TdxBarItemLink*>(links_->ShownLinks())) {
        auto* control = dynamic_cast<TdxBarItemControl*>(link->Control());
        const RECT r = link->ItemRect();
        if (control == nullptr || IsRectEmpty(r)) continue;
        // Controls outside the part to paint cost nothing; the part may be two far-apart buttons.
        if (RectVisible(DC, &r)) {
            control->Draw(DC, r, 0);
            DrawCustomizingFrame(DC, control);
            ExcludeClipRect(DC, r.left, r.top, r.right, r.bottom);
        }
        if (!link->BeginGroup()) continue;
        const RECT row = GetItemRect(control);
        RECT s{0, 0, 0, 0};
        const bool startsRow = horizontal ? r.left == 0 : r.top == 0;
        const int markRoom = IsMarkVisible() && dockingStyle_ != dsNone ? MarkSize : 0;
        bool rowsSeparator = false;
        if (startsRow) {
            rowsSeparator = true;
            if (horizontal)
                s = RECT{0, row.top - sep, client.right - markRoom, row.top};
            else
                s = RECT{row.right, 0, row.right + sep, client.bottom - markRoom};
        } else if (horizontal) {
            s = RECT{r.left - sep, row.top, r.left, row.bottom};
        } else {
            s = RECT{row.left, r.top - sep, row.right, r.top};
        }
        control->SeparatorRect = s;
        if (!RectVisible(DC, &s)) continue;
        Painter().DrawSeparator(*this, DC, rowsSeparator ? !horizontal : horizontal, brush, s);
        ExcludeClipRect(DC, s.left, s.top, s.right, s.bottom);
    }
    if (IsMarkVisible() && dockingStyle_ != dsNone) {
        const RECT mark = MarkRect();
        Painter().DrawMark(*this, DC, brush, mark);
        ExcludeClipRect(DC, mark.left, mark.top, mark.right, mark.bottom);
    }
    DrawBackground(DC, client, brush);
    // The caption buttons draw over the bar's background.
    for (int i = 0; i < MDIButtonCount(); ++i)
        Painter().DrawMDIButton(*this, MDIButtonKind(i), !MDIButtonEnabled(i), MDIButtonRect(i), DC,
                                mdiHot_ == i, mdiPressed_ == i);
}

} // namespace bars
