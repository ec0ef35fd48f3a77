#pragma once
// What the GDI takes from the toolkit that shows its windows: font metrics, advances and glyphs, and
// image files. The toolkit's host installs its implementation; the GDI itself links no toolkit. Text is
// aliased and unkerned, as GDI draws it, so pixels are deterministic for a given font file.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gdi/gdi_structs.h"

class Surface;

namespace pw::gdi {

struct FontInfo {
    int ascent = 0;
    int descent = 0;
    int pixelSize = 0; // the em height
    int externalLeading = 0;
    int aveCharWidth = 0;
    int maxCharWidth = 0;
    int underlinePos = 0; // below the baseline
    int strikeOutPos = 0; // above the baseline
    int lineWidth = 1;
    bool fixedPitch = false;
    std::string family;
};

struct GlyphMask {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> bits; // 1 per covered pixel, rows top-down
};

// Any thread may call it once installed.
class Toolkit {
public:
    virtual ~Toolkit() = default;
    virtual FontInfo Metrics(const LOGFONT& font) = 0;
    // x positions of each UTF-16 unit's left edge, plus the total advance as the last entry.
    virtual std::vector<int> CharPositions(const LOGFONT& font, std::u16string_view text) = 0;
    virtual int TextWidth(const LOGFONT& font, std::u16string_view text) = 0;
    // The text drawn with its baseline at y = baseline and its start at x = originX, in a box of the given
    // size, including the font's underline and strike-out.
    virtual GlyphMask RenderText(const LOGFONT& font, std::u16string_view text, int width, int height,
                                 int originX, int baseline) = 0;
    // False when the file cannot be written or read.
    virtual bool SavePng(const Surface& surface, const std::string& path) = 0;
    virtual bool LoadPng(Surface& surface, const std::string& path) = 0;
};

// For the rest of the process: the toolkit must outlive every use.
void InstallToolkit(Toolkit& toolkit);
// The installed toolkit; throws when no host installed one, as text cannot be measured without it.
Toolkit& CurrentToolkit();

} // namespace pw::gdi
