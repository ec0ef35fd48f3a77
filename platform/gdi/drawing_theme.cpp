#include "platform/gdi/drawing_theme.h"

#include <cctype>

#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/regions.h"
#include "platform/gdi/scoped.h"
#include "platform/gdi/shapes.h"

namespace pw::gdi {

namespace {

const char* const kClasses[DrawingThemeLayer::kClassCount] = {
    "BUTTON",   "CLOCK",    "COMBOBOX", "EDIT",      "EXPLORERBAR", "HEADER",     "LISTVIEW", "MENU",
    "PAGE",     "PROGRESS", "REBAR",    "SCROLLBAR", "SPIN",        "STARTPANEL", "STATUS",   "TAB",
    "TASKBAND", "TASKBAR",  "TOOLBAR",  "TOOLTIP",   "TRACKBAR",    "TRAYNOTIFY", "TREEVIEW", "WINDOW"};

enum { kComboBox = 2, kEdit = 3, kRebar = 10, kSpin = 12, kStatus = 14, kToolBar = 18, kWindow = 23 };

int IndexOfName(const std::string& name) {
    std::string upper;
    for (char c : name)
        upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (int i = 0; i < DrawingThemeLayer::kClassCount; ++i)
        if (upper == kClasses[i]) return i;
    return -1;
}

COLORREF ColorOf(int cls, int part, int state) {
    return RGB(40 + (37 * cls + 53 * part + 7 * state) % 200, 40 + (61 * state + 17 * part + 5 * cls) % 200,
               40 + (29 * cls + 11 * state + 23 * part) % 200);
}

void Fill(HDC dc, const RECT& r, COLORREF color) {
    const OwnedObject<HBRUSH> brush(CreateSolidBrush(color));
    FillRect(dc, &r, brush.Get());
}

} // namespace

HTHEME DrawingThemeLayer::Open(const char* ClassList) {
    const int i = IndexOfName(ClassList);
    return i < 0 ? nullptr : static_cast<HTHEME>(&slots_[static_cast<size_t>(i)]);
}

int DrawingThemeLayer::ClassOf(HTHEME Theme) const {
    for (int i = 0; i < kClassCount; ++i)
        if (Theme == &slots_[static_cast<size_t>(i)]) return i;
    return -1;
}

COLORREF DrawingThemeLayer::PartColor(const std::string& ClassName, int Part, int State) {
    return ColorOf(IndexOfName(ClassName), Part, State);
}

COLORREF DrawingThemeLayer::FrameColor(COLORREF Fill) {
    return RGB(GetRValue(Fill) / 2, GetGValue(Fill) / 2, GetBValue(Fill) / 2);
}

HRESULT DrawingThemeLayer::DrawBackground(HTHEME Theme, HDC DC, int Part, int State, const RECT& R,
                                          const RECT* Clip) {
    const int cls = ClassOf(Theme);
    if (cls < 0) return E_FAIL;
    const SavedDC saved(DC);
    if (Clip != nullptr) IntersectClipRect(DC, Clip->left, Clip->top, Clip->right, Clip->bottom);
    const COLORREF fill = ColorOf(cls, Part, State);
    Fill(DC, R, fill);
    if (Part != 0) {
        const OwnedObject<HBRUSH> frame(CreateSolidBrush(FrameColor(fill)));
        FrameRect(DC, &R, frame.Get());
    }
    return S_OK;
}

HRESULT DrawingThemeLayer::PartSize(HTHEME Theme, HDC, int Part, int, const RECT*, int, SIZE& Size) {
    const int cls = ClassOf(Theme);
    if (cls < 0) return E_FAIL;
    Size = SIZE{16, 16};
    switch (cls) {
    case kToolBar:
        if (Part == TP_SEPARATOR || Part == TP_SEPARATORVERT) Size = SIZE{6, 6};
        if (Part == TP_BUTTON) Size = SIZE{23, 22};
        break;
    case kRebar:
        if (Part == RP_GRIPPER) Size = SIZE{5, 20};
        if (Part == RP_GRIPPERVERT) Size = SIZE{20, 5};
        break;
    case kWindow:
        Size = Part == WP_SMALLCLOSEBUTTON ? SIZE{13, 13} : SIZE{16, 14};
        break;
    case kComboBox:
        Size = SIZE{17, 20};
        break;
    case kStatus:
        if (Part == SP_GRIPPER) Size = SIZE{14, 14};
        break;
    case kSpin:
        Size = SIZE{15, 10};
        break;
    default:
        break;
    }
    return S_OK;
}

HRESULT DrawingThemeLayer::ContentRect(HTHEME Theme, HDC, int Part, int, const RECT& Bounds, RECT& Content) {
    const int cls = ClassOf(Theme);
    if (cls < 0) return E_FAIL;
    int inset = 1;
    if (cls == kEdit && Part == EP_EDITTEXT) inset = 2;
    if (cls == kToolBar && (Part == TP_BUTTON || Part == TP_SPLITBUTTON)) inset = 3;
    Content = RECT{Bounds.left + inset, Bounds.top + inset, Bounds.right - inset, Bounds.bottom - inset};
    return S_OK;
}

HRESULT DrawingThemeLayer::Color(HTHEME Theme, int Part, int State, int Property, COLORREF& Value) {
    const int cls = ClassOf(Theme);
    if (cls < 0) return E_FAIL;
    if (Property == TMT_FILLCOLOR) {
        Value = ColorOf(cls, Part, State);
        return S_OK;
    }
    if (Property == TMT_TEXTCOLOR && cls == kEdit) {
        Value = State == ETS_DISABLED ? RGB(109, 109, 109) : RGB(0, 0, 64);
        return S_OK;
    }
    return E_FAIL;
}

} // namespace pw::gdi
