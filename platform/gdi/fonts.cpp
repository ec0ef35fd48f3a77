#include "platform/gdi/fonts.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "platform/gdi/text_layout.h"
#include "platform/rtl/unicode.h"

using namespace pw::gdi;

namespace pw::gdi {

DcFont FontOf(const DeviceContext& dc) {
    DcFont f;
    if (dc.st.font) f.lf = dc.st.font->lf;
    f.info = CurrentToolkit().Metrics(f.lf);
    return f;
}

std::u16string ToUtf16(const char* text, int count) {
    if (!text) return {};
    const size_t n = count < 0 ? std::strlen(text) : static_cast<size_t>(count);
    return Utf8ToUtf16(std::string_view(text, n));
}

} // namespace pw::gdi

HFONT CreateFontIndirect(const LOGFONT* font) {
    if (!font) return nullptr;
    auto f = std::make_shared<FontObject>();
    f->lf = *font;
    f->lf.lfFaceName[LF_FACESIZE - 1] = 0;
    return static_cast<HFONT>(Register(f));
}

HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                 DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision,
                 DWORD quality, DWORD pitchAndFamily, const char* faceName) {
    LOGFONT lf;
    lf.lfHeight = height;
    lf.lfWidth = width;
    lf.lfEscapement = escapement;
    lf.lfOrientation = orientation;
    lf.lfWeight = weight;
    lf.lfItalic = static_cast<BYTE>(italic != 0);
    lf.lfUnderline = static_cast<BYTE>(underline != 0);
    lf.lfStrikeOut = static_cast<BYTE>(strikeOut != 0);
    lf.lfCharSet = static_cast<BYTE>(charSet);
    lf.lfOutPrecision = static_cast<BYTE>(outPrecision);
    lf.lfClipPrecision = static_cast<BYTE>(clipPrecision);
    lf.lfQuality = static_cast<BYTE>(quality);
    lf.lfPitchAndFamily = static_cast<BYTE>(pitchAndFamily);
    if (faceName) std::strncpy(lf.lfFaceName, faceName, LF_FACESIZE - 1);
    return CreateFontIndirect(&lf);
}

BOOL GetTextMetrics(HDC hdc, TEXTMETRIC* tm) {
    auto dc = LookupDc(hdc);
    if (!dc || !tm) return 0;
    const DcFont f = FontOf(*dc);
    *tm = TEXTMETRIC{};
    tm->tmHeight = f.Height();
    tm->tmAscent = f.info.ascent;
    tm->tmDescent = f.info.descent;
    tm->tmInternalLeading = std::max(0, f.Height() - f.info.pixelSize);
    tm->tmExternalLeading = f.info.externalLeading;
    tm->tmAveCharWidth = f.info.aveCharWidth;
    tm->tmMaxCharWidth = f.info.maxCharWidth;
    tm->tmWeight = f.lf.lfWeight ? f.lf.lfWeight : FW_NORMAL;
    tm->tmDigitizedAspectX = 96;
    tm->tmDigitizedAspectY = 96;
    tm->tmFirstChar = 0x1E;
    tm->tmLastChar = 0xFF;
    tm->tmDefaultChar = 0x1F;
    tm->tmBreakChar = 0x20;
    tm->tmItalic = f.lf.lfItalic ? 1 : 0;
    tm->tmUnderlined = f.lf.lfUnderline ? 1 : 0;
    tm->tmStruckOut = f.lf.lfStrikeOut ? 1 : 0;
    // TMPF_FIXED_PITCH set means variable pitch.
    tm->tmPitchAndFamily = static_cast<BYTE>((f.info.fixedPitch ? 0 : TMPF_FIXED_PITCH) | TMPF_VECTOR |
                                             TMPF_TRUETYPE | (f.info.fixedPitch ? FF_MODERN : FF_SWISS));
    tm->tmCharSet = f.lf.lfCharSet;
    return 1;
}

namespace {
std::atomic<long long> textsMeasured{0};
} // namespace

long long pw::gdi::TextsMeasured() {
    return textsMeasured;
}

BOOL GetTextExtentPoint32(HDC hdc, const char* text, int count, SIZE* size) {
    auto dc = LookupDc(hdc);
    if (!dc || !size || (!text && count != 0)) return 0;
    ++textsMeasured;
    const DcFont f = FontOf(*dc);
    size->cx = f.Width(ToUtf16(text, count));
    size->cy = f.Height();
    return 1;
}

BOOL GetTextExtentPoint32(HDC hdc, std::string_view text, SIZE* size) {
    return GetTextExtentPoint32(hdc, text.data(), static_cast<int>(text.size()), size);
}

BOOL GetTextExtentExPoint(HDC hdc, const char* text, int count, int maxExtent, int* fit, int* partialWidths,
                          SIZE* size) {
    auto dc = LookupDc(hdc);
    if (!dc || !size || (!text && count != 0)) return 0;
    ++textsMeasured;
    const DcFont f = FontOf(*dc);
    const std::u16string s = ToUtf16(text, count);
    const std::vector<int> pos = CurrentToolkit().CharPositions(f.lf, s);
    int n = 0;
    for (size_t i = 1; i < pos.size(); ++i) {
        if (partialWidths) partialWidths[i - 1] = pos[i];
        if (pos[i] <= maxExtent) n = static_cast<int>(i);
    }
    if (fit) *fit = n;
    size->cx = pos.back();
    size->cy = f.Height();
    return 1;
}

int GetTextFace(HDC hdc, int count, char* faceName) {
    auto dc = LookupDc(hdc);
    if (!dc) return 0;
    const DcFont f = FontOf(*dc);
    std::string face(dc->st.font ? dc->st.font->lf.lfFaceName : "");
    if (face.empty()) face = f.info.family;
    if (!faceName) return static_cast<int>(face.size()) + 1;
    if (count <= 0) return 0;
    const size_t n = std::min(face.size(), static_cast<size_t>(count - 1));
    std::memcpy(faceName, face.data(), n);
    faceName[n] = 0;
    return static_cast<int>(n);
}
