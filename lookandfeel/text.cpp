#include "lookandfeel/text.h"

#include "platform/gdi/fonts.h"
#include "platform/gdi/text.h"

namespace {
int Clamp(const std::string& text, int count) {
    const int length = static_cast<int>(text.size());
    return count < 0 || count > length ? length : count;
}
} // namespace

int DrawStringText(HDC DC, const std::string& Text, int Count, RECT& Rect, UINT Format) {
    return DrawText(DC, Text.c_str(), Clamp(Text, Count), &Rect, Format);
}

BOOL ExtTextOutString(HDC DC, int X, int Y, UINT Options, const RECT* Rect, const std::string& Text) {
    return ExtTextOut(DC, X, Y, Options, Rect, Text.c_str(), static_cast<UINT>(Text.size()), nullptr);
}

BOOL GetStringTextExtent(HDC DC, const std::string& Text, int Count, SIZE& Size) {
    return GetTextExtentPoint32(DC, Text.c_str(), Clamp(Text, Count), &Size);
}
