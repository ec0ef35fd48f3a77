#pragma once
// The drop shadow of a menu on its right and bottom sides: up to five small top-level strip windows
// behind the menu. When the menu hangs from an item (a menu-bar entry, a toolbar button, a menu line)
// the outline covers item and menu together. With per-pixel alpha the strips are 4 pixels wide and
// fade outward; without, they are solid 2-pixel bands in the button-shadow colour. Strips never take
// the pointer or the activation.
#include <memory>
#include <vector>

#include "platform/gdi/scoped.h"
#include "platform/rtl/wintypes.h"

namespace bars {

inline constexpr int kShadowFadeLeft = 1;
inline constexpr int kShadowFadeRight = 2;
inline constexpr int kShadowFadeTop = 4;

struct ShadowStrip {
    RECT Bounds;
    bool Vertical;
    int FadeEnds;
};

// Per-pixel alpha is there and the screen has more than 256 colours.
bool ShadowLayeredMode();
// 4 with per-pixel alpha, 2 without.
int ShadowSize(bool Layered);

// The two rectangles in the order the strips are computed: Rect1 above (or left of) Rect2.
struct ShadowOutline {
    RECT Rect1;
    RECT Rect2;
    // The rectangles meet along a horizontal edge, or there is no owner rectangle.
    bool VerticalJoin;
};
ShadowOutline OrderShadowRects(const RECT& OwnerRect, const RECT& WindowRect);
// The non-empty strips of the outline, in the order they are made.
std::vector<ShadowStrip> ShadowStrips(const ShadowOutline& Outline, int Size);
// A strip with fading ends must be at least Size wide and high to be shown at all.
bool ShadowStripShowable(const ShadowStrip& Strip, int Size);
// The alpha of each pixel, rows from the top: darkest at the window's edge, fading outward, and toward
// the fading ends.
std::vector<BYTE> ShadowStripAlpha(const ShadowStrip& Strip, int Size);

class TdxBarShadow;

// One strip window.
class TdxBarShadowPart {
public:
    TdxBarShadowPart(TdxBarShadow* AShadow, const ShadowStrip& Strip);
    ~TdxBarShadowPart();
    TdxBarShadowPart(const TdxBarShadowPart&) = delete;
    TdxBarShadowPart& operator=(const TdxBarShadowPart&) = delete;

    HWND Handle() const { return handle_; }
    const ShadowStrip& Strip() const { return strip_; }
    bool Vertical() const { return strip_.Vertical; }
    int FadeEnds() const { return strip_.FadeEnds; }
    bool Showable() const { return showable_; }
    // Shows the strip directly behind the owner window; a strip that cannot be shown stays hidden.
    void Show();
    void Hide();

private:
    friend LRESULT ShadowPartWindowProc(HWND, UINT, WPARAM, LPARAM);
    void Paint();

    TdxBarShadow* shadow_;
    ShadowStrip strip_;
    HWND handle_ = nullptr;
    pw::gdi::OwnedObject<HBITMAP> bitmap_;
    bool showable_ = false;
};

class TdxBarShadow {
public:
    // Owner is the menu window that casts the shadow; its strips are owned by it.
    explicit TdxBarShadow(HWND Owner, bool Layered = ShadowLayeredMode());
    ~TdxBarShadow();
    TdxBarShadow(const TdxBarShadow&) = delete;
    TdxBarShadow& operator=(const TdxBarShadow&) = delete;

    HWND Owner() const { return owner_; }
    // A window made again gets its shadow made again by the next SetRects.
    void SetOwner(HWND Value) { owner_ = Value; }
    bool Layered() const { return layered_; }
    int Size() const { return ShadowSize(layered_); }
    // Screen rectangles of the owning item (empty for none) and of the window; rebuilds every strip.
    void SetRects(const RECT& OwnerRect, const RECT& WindowRect);
    bool Visible() const { return visible_; }
    void SetVisible(bool Value);
    bool VerticalJoin() const { return outline_.VerticalJoin; }
    const RECT& Rect1() const { return outline_.Rect1; }
    const RECT& Rect2() const { return outline_.Rect2; }
    int PartCount() const { return static_cast<int>(parts_.size()); }
    TdxBarShadowPart* Parts(int Index) const;

private:
    HWND owner_;
    bool layered_;
    bool visible_ = false;
    ShadowOutline outline_{RECT{0, 0, 0, 0}, RECT{0, 0, 0, 0}, true};
    std::vector<std::unique_ptr<TdxBarShadowPart>> parts_;
};

} // namespace bars
