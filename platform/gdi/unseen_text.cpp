#include "platform/gdi/unseen_text.h"

#include <algorithm>
#include <cstring>

#include "platform/gdi/gdi_defs.h"
#include "platform/gdi/toolkit.h"

namespace pw::gdi {
namespace {

// lfHeight < 0 is the em height, > 0 the cell height (ascent and descent), 0 the default.
int EmHeight(const LOGFONT& font) {
    if (font.lfHeight < 0) return -font.lfHeight;
    if (font.lfHeight > 0) return std::max(1, static_cast<int>(font.lfHeight) * 4 / 5);
    return 11;
}

int Advance(const LOGFONT& font) {
    return font.lfWidth > 0 ? static_cast<int>(font.lfWidth) : std::max(1, EmHeight(font) / 2);
}

class UnseenText : public Toolkit {
public:
    explicit UnseenText(Toolkit& images) : images_(images) {}

    FontInfo Metrics(const LOGFONT& font) override {
        FontInfo info;
        const int em = EmHeight(font);
        info.pixelSize = em;
        info.ascent = em;
        info.descent = std::max(1, em / 4);
        info.aveCharWidth = Advance(font);
        info.maxCharWidth = std::max(em, info.aveCharWidth);
        info.underlinePos = 1;
        info.strikeOutPos = std::max(1, em / 3);
        info.lineWidth = std::max(1, em / 12);
        info.fixedPitch = (font.lfPitchAndFamily & 3) == FIXED_PITCH;
        info.family.assign(font.lfFaceName, strnlen(font.lfFaceName, LF_FACESIZE));
        if (info.family.empty()) info.family = "DejaVu Sans";
        return info;
    }
    std::vector<int> CharPositions(const LOGFONT& font, std::u16string_view text) override {
        std::vector<int> positions(text.size() + 1);
        for (size_t i = 0; i < positions.size(); ++i)
            positions[i] = static_cast<int>(i) * Advance(font);
        return positions;
    }
    int TextWidth(const LOGFONT& font, std::u16string_view text) override {
        return static_cast<int>(text.size()) * Advance(font);
    }
    GlyphMask RenderText(const LOGFONT&, std::u16string_view, int width, int height, int, int) override {
        GlyphMask mask;
        if (width <= 0 || height <= 0) return mask;
        mask.width = width;
        mask.height = height;
        mask.bits.assign(static_cast<size_t>(width) * height, 0);
        return mask;
    }
    bool SavePng(const Surface& surface, const std::string& path) override {
        return images_.SavePng(surface, path);
    }
    bool LoadPng(Surface& surface, const std::string& path) override {
        return images_.LoadPng(surface, path);
    }

private:
    Toolkit& images_;
};

} // namespace

void InstallUnseenText() {
    // Never destroyed, as the toolkit it stands in for.
    static auto* const unseen = new UnseenText(CurrentToolkit());
    InstallToolkit(*unseen);
}

} // namespace pw::gdi
