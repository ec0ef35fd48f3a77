#pragma once
// A theme layer that draws every part plainly, for tests and pictures of themed drawing on a desktop
// without visual styles: a part is a box in a colour of its own (class, part and state), framed in the
// darker half of that colour; the window-sized backgrounds (part 0) are not framed. Its measures are
// fixed and listed in PartSize.
#include <array>
#include <string>

#include "platform/gdi/theme.h"

namespace pw::gdi {

class DrawingThemeLayer : public ThemeLayer {
public:
    // The classes it knows, in the order of their theme handles.
    static constexpr int kClassCount = 24;

    HTHEME Open(const char* ClassList) override;
    HRESULT DrawBackground(HTHEME Theme, HDC DC, int Part, int State, const RECT& R,
                           const RECT* Clip) override;
    HRESULT PartSize(HTHEME Theme, HDC DC, int Part, int State, const RECT* R, int SizeKind,
                     SIZE& Size) override;
    HRESULT ContentRect(HTHEME Theme, HDC DC, int Part, int State, const RECT& Bounds,
                        RECT& Content) override;
    HRESULT Color(HTHEME Theme, int Part, int State, int Property, COLORREF& Value) override;

    // The fill of a part of a class (its name in any letter case), and the frame drawn around it.
    static COLORREF PartColor(const std::string& ClassName, int Part, int State);
    static COLORREF FrameColor(COLORREF Fill);

private:
    // The handle of a class is the address of its slot.
    std::array<int, kClassCount> slots_{};
    int ClassOf(HTHEME Theme) const;
};

} // namespace pw::gdi
