#include "platform/gui/qt/gdi_toolkit.h"

#include "platform/gdi/toolkit.h"
#include "platform/gui/qt/font_engine.h"
#include "platform/gui/qt/image_files.h"

namespace pw::gui::qt {
namespace {

class QtToolkit : public gdi::Toolkit {
public:
    FontInfo Metrics(const LOGFONT& font) override { return qt::Metrics(font); }
    std::vector<int> CharPositions(const LOGFONT& font, std::u16string_view text) override {
        return qt::CharPositions(font, text);
    }
    int TextWidth(const LOGFONT& font, std::u16string_view text) override {
        return qt::TextWidth(font, text);
    }
    GlyphMask RenderText(const LOGFONT& font, std::u16string_view text, int width, int height, int originX,
                         int baseline) override {
        return qt::RenderText(font, text, width, height, originX, baseline);
    }
    bool SavePng(const Surface& surface, const std::string& path) override {
        return qt::SavePng(surface, path);
    }
    bool LoadPng(Surface& surface, const std::string& path) override { return qt::LoadPng(surface, path); }
};

} // namespace

void InstallGdiToolkit() {
    // Never destroyed: text may still be measured while the process ends.
    static auto* const toolkit = new QtToolkit;
    gdi::InstallToolkit(*toolkit);
}

} // namespace pw::gui::qt
