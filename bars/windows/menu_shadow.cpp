// The shadow strips: their outline, their alpha pictures and their windows.
#include "bars/windows/menu_shadow.h"

#include <algorithm>
#include <utility>

#include "bars/core/bar_unit.h"
#include "platform/gdi/bitmaps.h"
#include "platform/gdi/muldiv.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/syscolors.h"
#include "platform/gui/layered.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/paint.h"
#include "platform/gui/window.h"

namespace bars {

LRESULT ShadowPartWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

namespace {

bool IsEmpty(const RECT& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

int Width(const RECT& r) {
    return r.right - r.left;
}

int Height(const RECT& r) {
    return r.bottom - r.top;
}

void AddStrip(std::vector<ShadowStrip>& Strips, RECT Bounds, bool Vertical, int FadeEnds) {
    if (!IsEmpty(Bounds)) Strips.push_back(ShadowStrip{Bounds, Vertical, FadeEnds});
}

// Rect1 above Rect2 (or none).
void VerticalJoinStrips(std::vector<ShadowStrip>& out, const RECT& r1, const RECT& r2, int s) {
    const bool owner = !IsEmpty(r1);
    if (owner) AddStrip(out, RECT{r1.right, r1.top + s, r1.right + s, r1.bottom}, true, kShadowFadeTop);
    AddStrip(out, RECT{r2.left + s, r2.bottom, r2.right + s, r2.bottom + s}, false,
             kShadowFadeLeft | kShadowFadeRight);
    if (owner && r1.left + s < r2.left)
        AddStrip(out, RECT{r1.left + s, r1.bottom, r2.left, r1.bottom + s}, false, kShadowFadeLeft);
    if (owner && r2.right < r1.right)
        AddStrip(out, RECT{r2.right, r1.bottom, r1.right + s, r1.bottom + s}, false, kShadowFadeRight);
    if (owner && r1.right >= r2.right)
        AddStrip(out, RECT{r2.right, r2.top, r2.right + s, r2.bottom}, true, 0);
    else
        AddStrip(out, RECT{r2.right, r2.top + s, r2.right + s, r2.bottom}, true, kShadowFadeTop);
}

// Rect1 left of Rect2.
void SideJoinStrips(std::vector<ShadowStrip>& out, const RECT& r1, const RECT& r2, int s) {
    AddStrip(out, RECT{r2.right, r2.top + s, r2.right + s, r2.bottom}, true, kShadowFadeTop);
    if (r1.top + s < r2.top)
        AddStrip(out, RECT{r1.right, r1.top + s, r1.right + s, r2.top}, true, kShadowFadeTop);
    if (r1.bottom <= r2.bottom) {
        AddStrip(out, RECT{r1.left + s, r1.bottom, r1.right, r1.bottom + s}, false, kShadowFadeLeft);
    } else {
        AddStrip(out, RECT{r1.left + s, r1.bottom, r1.right + s, r1.bottom + s}, false,
                 kShadowFadeLeft | kShadowFadeRight);
        AddStrip(out, RECT{r1.right, r2.bottom, r1.right + s, r1.bottom}, true, 0);
    }
    if (r2.bottom > r1.bottom)
        AddStrip(out, RECT{r2.left + s, r2.bottom, r2.right + s, r2.bottom + s}, false,
                 kShadowFadeLeft | kShadowFadeRight);
    else
        AddStrip(out, RECT{r2.left, r2.bottom, r2.right + s, r2.bottom + s}, false, kShadowFadeRight);
}

const char* ShadowClassName() {
    static const char* name = [] {
        WNDCLASS wc;
        wc.style = 0;
        wc.lpfnWndProc = &ShadowPartWindowProc;
        wc.lpszClassName = "TdxBarShadowPart";
        RegisterClass(wc);
        return "TdxBarShadowPart";
    }();
    return name;
}

} // namespace

bool ShadowLayeredMode() {
    // Per-pixel alpha also needs a desktop that blends it; elsewhere it would show as black bands.
    return User32Procs().UpdateLayeredWindow != nullptr && ScreenBitsPerPixel() > 8 &&
           pw::gui::DesktopComposesTranslucency();
}

int ShadowSize(bool Layered) {
    return Layered ? 4 : 2;
}

ShadowOutline OrderShadowRects(const RECT& OwnerRect, const RECT& WindowRect) {
    ShadowOutline o{OwnerRect, WindowRect, false};
    const bool noOwner = IsEmpty(o.Rect1);
    o.VerticalJoin = noOwner || o.Rect1.bottom == o.Rect2.top || o.Rect1.top == o.Rect2.bottom;
    if (noOwner) return o;
    if (o.VerticalJoin ? o.Rect1.top == o.Rect2.bottom : o.Rect1.left == o.Rect2.right)
        std::swap(o.Rect1, o.Rect2);
    return o;
}

std::vector<ShadowStrip> ShadowStrips(const ShadowOutline& Outline, int Size) {
    std::vector<ShadowStrip> strips;
    if (Outline.VerticalJoin)
        VerticalJoinStrips(strips, Outline.Rect1, Outline.Rect2, Size);
    else
        SideJoinStrips(strips, Outline.Rect1, Outline.Rect2, Size);
    return strips;
}

bool ShadowStripShowable(const ShadowStrip& Strip, int Size) {
    return Strip.FadeEnds == 0 || (Width(Strip.Bounds) >= Size && Height(Strip.Bounds) >= Size);
}

std::vector<BYTE> ShadowStripAlpha(const ShadowStrip& Strip, int Size) {
    const int w = Width(Strip.Bounds), h = Height(Strip.Bounds);
    if (w <= 0 || h <= 0 || !ShadowStripShowable(Strip, Size)) return {};
    std::vector<BYTE> alpha(static_cast<size_t>(w) * static_cast<size_t>(h));
    auto at = [&](int x, int y) -> BYTE& {
        return alpha[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)];
    };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            at(x, y) = static_cast<BYTE>(std::min(255, (Strip.Vertical ? w - x : h - y) * 15));
    // The square at each fading end grows lighter toward the end.
    for (int i = 0; i < Size; ++i) {
        for (int j = 0; j < Size; ++j) {
            if ((Strip.FadeEnds & kShadowFadeLeft) != 0 && i < w && j < h)
                at(i, j) = static_cast<BYTE>(MulDiv(at(i, j), i + 1, Size + 1));
            if ((Strip.FadeEnds & kShadowFadeRight) != 0 && i < w && j < h)
                at(w - 1 - i, j) = static_cast<BYTE>(MulDiv(at(w - 1 - i, j), i + 1, Size + 1));
            if ((Strip.FadeEnds & kShadowFadeTop) != 0 && i < h && j < w)
                at(j, i) = static_cast<BYTE>(MulDiv(at(j, i), i + 1, Size + 1));
        }
    }
    return alpha;
}

LRESULT ShadowPartWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* part = reinterpret_cast<TdxBarShadowPart*>(GetWindowLongPtr(hwnd, GWLP_USERDATA));
    switch (msg) {
    case WM_NCHITTEST:
        // Clicks fall through to the windows below.
        return HTTRANSPARENT;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        if (part != nullptr) {
            part->Paint();
            return 0;
        }
        break;
    default:
        break;
    }
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

TdxBarShadowPart::TdxBarShadowPart(TdxBarShadow* AShadow, const ShadowStrip& Strip)
    : shadow_(AShadow), strip_(Strip), showable_(ShadowStripShowable(Strip, AShadow->Size())) {
    const HWND owner = shadow_->Owner();
    DWORD exStyle = WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TRANSPARENT;
    if (shadow_->Layered()) exStyle |= WS_EX_LAYERED;
    if (owner != nullptr && (GetWindowLong(owner, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0)
        exStyle |= WS_EX_TOPMOST;
    const RECT& b = strip_.Bounds;
    handle_ = CreateWindowEx(exStyle, ShadowClassName(), "", WS_POPUP, b.left, b.top, Width(b), Height(b),
                             owner, nullptr, nullptr, nullptr);
    if (handle_ != nullptr) SetWindowLongPtr(handle_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    if (!shadow_->Layered() || !showable_) return;
    // Black with the strip's alpha, premultiplied: only the alpha byte is set.
    const std::vector<BYTE> alpha = ShadowStripAlpha(strip_, shadow_->Size());
    std::vector<uint32_t> pixels(alpha.size());
    for (size_t i = 0; i < alpha.size(); ++i)
        pixels[i] = static_cast<uint32_t>(alpha[i]) << 24;
    bitmap_.Reset(CreateBitmap(Width(b), Height(b), 1, 32, pixels.data()));
}

TdxBarShadowPart::~TdxBarShadowPart() {
    if (handle_ != nullptr && IsWindow(handle_)) {
        SetWindowLongPtr(handle_, GWLP_USERDATA, 0);
        DestroyWindow(handle_);
    }
}

void TdxBarShadowPart::Show() {
    if (!showable_ || handle_ == nullptr || !IsWindow(handle_)) return;
    if (shadow_->Layered() && bitmap_) {
        const pw::gdi::MemoryDC source(nullptr, bitmap_.Get());
        const SIZE size{Width(strip_.Bounds), Height(strip_.Bounds)};
        const POINT origin{0, 0};
        BLENDFUNCTION blend;
        blend.BlendOp = AC_SRC_OVER;
        blend.SourceConstantAlpha = 255;
        blend.AlphaFormat = AC_SRC_ALPHA;
        User32Procs().UpdateLayeredWindow(handle_, nullptr, nullptr, &size, source.Get(), &origin, 0, &blend,
                                          ULW_ALPHA);
    }
    // Directly behind the menu in z-order.
    SetWindowPos(handle_, shadow_->Owner(), 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void TdxBarShadowPart::Hide() {
    if (handle_ != nullptr && IsWindow(handle_)) ShowWindow(handle_, SW_HIDE);
}

void TdxBarShadowPart::Paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(handle_, ps);
    RECT r{0, 0, Width(strip_.Bounds), Height(strip_.Bounds)};
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNSHADOW));
    EndPaint(handle_, ps);
}

TdxBarShadow::TdxBarShadow(HWND Owner, bool Layered) : owner_(Owner), layered_(Layered) {}

TdxBarShadow::~TdxBarShadow() = default;

TdxBarShadowPart* TdxBarShadow::Parts(int Index) const {
    if (Index < 0 || Index >= PartCount()) return nullptr;
    return parts_[static_cast<size_t>(Index)].get();
}

void TdxBarShadow::SetRects(const RECT& OwnerRect, const RECT& WindowRect) {
    outline_ = OrderShadowRects(OwnerRect, WindowRect);
    parts_.clear();
    for (const ShadowStrip& strip : ShadowStrips(outline_, Size())) {
        parts_.push_back(std::make_unique<TdxBarShadowPart>(this, strip));
        if (visible_) parts_.back()->Show();
    }
}

void TdxBarShadow::SetVisible(bool Value) {
    if (Value == visible_) return;
    visible_ = Value;
    for (const auto& part : parts_)
        if (Value)
            part->Show();
        else
            part->Hide();
}

} // namespace bars
