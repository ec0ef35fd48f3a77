#include "bars/core/item_glyph.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "bars/core/bar_unit.h"
#include "platform/gdi/bitmaps.h"
#include "platform/gdi/blit.h"
#include "platform/gdi/regions.h"
#include "platform/gdi/scoped.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/syscolors.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/graphics_types.h"
#include "platform/graphics/image_list.h"

namespace {

// A picture as colours and a mask of the pixels that show.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels;
    std::vector<bool> opaque;
    COLORREF& At(int x, int y) { return pixels[static_cast<size_t>(y * width + x)]; }
};

// A 32-bit row as colour values 0x00RRGGBB (blue in the lowest byte).
uint32_t* Row(TBitmap& bitmap, int y) {
    return static_cast<uint32_t*>(bitmap.ScanLine(y));
}

COLORREF FromRow(uint32_t v) {
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

// Read through the rows of a 32-bit copy, whatever the bitmap's own format.
Picture ReadPicture(TBitmap& bitmap, COLORREF transparent) {
    Picture picture;
    picture.width = bitmap.Width();
    picture.height = bitmap.Height();
    picture.pixels.resize(static_cast<size_t>(picture.width * picture.height));
    picture.opaque.resize(picture.pixels.size());
    if (picture.width <= 0 || picture.height <= 0) return picture;
    TBitmap copy(picture.width, picture.height);
    copy.SetPixelFormat(pf32bit);
    BitBlt(copy.Canvas().Handle(), 0, 0, picture.width, picture.height, bitmap.Canvas().Handle(), 0, 0,
           SRCCOPY);
    for (int y = 0; y < picture.height; ++y) {
        const uint32_t* row = Row(copy, y);
        for (int x = 0; x < picture.width; ++x) {
            const COLORREF c = FromRow(row[x]);
            picture.At(x, y) = c;
            picture.opaque[static_cast<size_t>(y * picture.width + x)] = c != transparent;
        }
    }
    return picture;
}

int Red(COLORREF c) {
    return static_cast<int>(c & 0xFF);
}
int Green(COLORREF c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
int Blue(COLORREF c) {
    return static_cast<int>((c >> 16) & 0xFF);
}

enum class Look { Colours, Grey, Lighter, Faded, OneColour };

// A picture's colours in one look; Colour is the fade colour, or the one colour of the shape.
COLORREF InLook(COLORREF c, Look look, COLORREF colour) {
    int r = Red(c), g = Green(c), b = Blue(c);
    switch (look) {
    case Look::Colours:
        return c;
    case Look::OneColour:
        return colour;
    case Look::Faded: {
        // The pixel's luminance, lightened, mixed a quarter into the fade colour.
        const int grey = (77 * r + 151 * g + 28 * b) / 256;
        const int light = (grey * 192 + 16320) / 256;
        r = (Red(colour) * 192 + light * 64) / 256;
        g = (Green(colour) * 192 + light * 64) / 256;
        b = (Blue(colour) * 192 + light * 64) / 256;
        break;
    }
    case Look::Grey:
        r = g = b = (r + g + b) / 3;
        break;
    case Look::Lighter:
        r += (255 - r) * 3 / 10;
        g += (255 - g) * 3 / 10;
        b += (255 - b) * 3 / 10;
        break;
    }
    return RGB(r, g, b);
}

// The picture in a look, drawn on a 32-bit bitmap whose showing pixels are opaque and the others wholly
// transparent, to be blended onto whatever lies beneath. A device bitmap, not a DIB: there are no
// caller-visible bits to bring in each time it is drawn from.
struct Rendered {
    Rendered(int w, int h, const std::vector<uint32_t>& pixels)
        : width(w), height(h),
          dc(nullptr, pw::gdi::OwnedObject<HBITMAP>(CreateBitmap(w, h, 1, 32, pixels.data()))) {}
    int width;
    int height;
    pw::gdi::MemoryDC dc;
};

std::unique_ptr<Rendered> Render(const Picture& picture, Look look, COLORREF colour) {
    std::vector<uint32_t> pixels(picture.pixels.size());
    for (size_t i = 0; i < pixels.size(); ++i) {
        const COLORREF c = InLook(picture.pixels[i], look, colour);
        pixels[i] = picture.opaque[i] ? 0xFF000000u | (static_cast<uint32_t>(GetRValue(c)) << 16) |
                                            (static_cast<uint32_t>(GetGValue(c)) << 8) | GetBValue(c)
                                      : 0u;
    }
    return std::make_unique<Rendered>(picture.width, picture.height, pixels);
}

// Where a picture comes from and how it looks: the source object with the stamp of what it held, the
// image's index and transparent colour.
struct LookKey {
    const void* source = nullptr;
    uint64_t stamp = 0;
    int index = -1;
    COLORREF transparent = 0;
    Look look = Look::Colours;
    COLORREF colour = 0;
    bool operator==(const LookKey&) const = default;
};

// The looks drawn lately, kept between paints: a button that turns hot or cold draws its picture again
// in the same look each time, and reading and recolouring it then costs more than all else it draws.
// One cache for the process: the same pictures show on every manager's bars.
class LookCache {
public:
    template <class Read> Rendered* Find(const LookKey& key, Read&& read) {
        ++clock_;
        for (Entry& e : entries_)
            if (e.key == key) {
                e.used = clock_;
                return e.look.get();
            }
        const Picture picture = read();
        if (picture.width <= 0 || picture.height <= 0) return nullptr;
        if (entries_.size() >= kCapacity)
            entries_.erase(std::min_element(entries_.begin(), entries_.end(),
                                            [](const Entry& a, const Entry& b) { return a.used < b.used; }));
        entries_.push_back(Entry{key, Render(picture, key.look, key.colour), clock_});
        return entries_.back().look.get();
    }

private:
    static constexpr size_t kCapacity = 64;
    struct Entry {
        LookKey key;
        std::unique_ptr<Rendered> look;
        uint64_t used = 0;
    };
    std::vector<Entry> entries_;
    uint64_t clock_ = 0;
};

LookCache& Looks() {
    static LookCache cache;
    return cache;
}

RECT Offset(RECT r, int dx, int dy) {
    return RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

bool Inside(const RECT& r, const RECT& bounds) {
    return r.left >= bounds.left && r.top >= bounds.top && r.right <= bounds.right &&
           r.bottom <= bounds.bottom;
}

// Blends the look stretched over Rect.
void Put(HDC dc, const Rendered& look, const RECT& rect) {
    AlphaBlend(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, look.dc.Get(), 0, 0,
               look.width, look.height, BLENDFUNCTION{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA});
}

} // namespace

void DrawItemGlyph(HDC DC, HBRUSH Brush, const RECT& DestRect, const RECT& GlyphRect, TBitmap* Glyph,
                   TCustomImageList* Images, int ImageIndex, bool Enabled, bool Grey, bool Flat, bool Hot,
                   bool Checked, bool Down, bool Shadow, bool CopyBackground, TColor FadeColor,
                   TColor ImageListBkColor) {
    const int width = DestRect.right - DestRect.left, height = DestRect.bottom - DestRect.top;
    if (width <= 0 || height <= 0) return;
    LookKey key;
    std::function<Picture()> read;
    if (Glyph != nullptr && !Glyph->Empty()) {
        key = LookKey{Glyph, Glyph->ContentStamp(), -1, ColorToRGB(Glyph->TransparentColor())};
        read = [Glyph, transparent = key.transparent] { return ReadPicture(*Glyph, transparent); };
    } else if (Images != nullptr && ImageIndex >= 0 && ImageIndex < Images->Count()) {
        key = LookKey{Images, Images->ContentStamp(), ImageIndex, ColorToRGB(ImageListBkColor)};
        read = [Images, ImageIndex, ImageListBkColor] {
            TBitmap image(Images->Width(), Images->Height());
            image.Canvas().Brush().SetColor(ImageListBkColor);
            image.Canvas().FillRect(TRect{0, 0, Images->Width(), Images->Height()});
            Images->Draw(image.Canvas(), 0, 0, ImageIndex);
            return ReadPicture(image, ColorToRGB(ImageListBkColor));
        };
    } else {
        return;
    }
    auto look = [&](Look l, COLORREF colour) {
        LookKey k = key;
        k.look = l;
        k.colour = colour;
        return Looks().Find(k, read);
    };

    // What goes where: (look, rectangle) in drawing order.
    std::pair<Rendered*, RECT> steps[2] = {};
    if (!Enabled && FadeColor == clNone) {
        // Embossed: the shape in the highlight colour one pixel down and right, then in the shadow colour.
        if (!Flat)
            steps[0] = {look(Look::OneColour, GetSysColor(COLOR_BTNHIGHLIGHT)), Offset(GlyphRect, 1, 1)};
        steps[1] = {look(Look::OneColour, GetSysColor(COLOR_BTNSHADOW)), GlyphRect};
    } else {
        const bool lighter =
            Flat && !Hot && !Checked && !Grey && FadeInactiveGlyphs() && ScreenBitsPerPixel() > 8;
        const Look l = !Enabled ? Look::Faded : Grey ? Look::Grey : lighter ? Look::Lighter : Look::Colours;
        Rendered* picture = look(l, l == Look::Faded ? ColorToRGB(FadeColor) : 0);
        if (Flat && Shadow && Hot && !Down) {
            // Raised: the picture one pixel up and left, its shadow two pixels right and down of that.
            steps[0] = {look(Look::OneColour, GetSysColor(COLOR_BTNSHADOW)), Offset(GlyphRect, 1, 1)};
            steps[1] = {picture, Offset(GlyphRect, -1, -1)};
        } else {
            steps[1] = {picture, GlyphRect};
        }
    }

    if (!CopyBackground) FillRect(DC, &DestRect, Brush);
    const bool spills = std::any_of(std::begin(steps), std::end(steps), [&](const auto& s) {
        return s.first != nullptr && !Inside(s.second, DestRect);
    });
    std::optional<pw::gdi::SavedDC> saved;
    if (spills) {
        saved.emplace(DC);
        IntersectClipRect(DC, DestRect.left, DestRect.top, DestRect.right, DestRect.bottom);
    }
    for (const auto& [rendered, rect] : steps)
        if (rendered != nullptr) Put(DC, *rendered, rect);
}
