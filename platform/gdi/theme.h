#pragma once
// Visual styles. The desktop has none: unless a theme layer is installed (tests and pictures install
// one that draws its parts plainly), every call answers so that callers take their classic fallback.
#include "platform/gdi/gdi_defs.h"

using HTHEME = void*;
using HRESULT = LONG;
inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
inline constexpr int TS_MIN = 0, TS_TRUE = 1, TS_DRAW = 2;
inline constexpr int TMT_FILLCOLOR = 3802, TMT_TEXTCOLOR = 3803;

// Parts and states of the classes the bars draw through.
inline constexpr int TP_BUTTON = 1, TP_SPLITBUTTON = 3, TP_SPLITBUTTONDROPDOWN = 4, TP_SEPARATOR = 5,
                     TP_SEPARATORVERT = 6;
inline constexpr int TS_NORMAL = 1, TS_HOT = 2, TS_PRESSED = 3, TS_DISABLED = 4, TS_CHECKED = 5;
inline constexpr int RP_GRIPPER = 1, RP_GRIPPERVERT = 2;
inline constexpr int WP_MDIMINBUTTON = 16, WP_SMALLCLOSEBUTTON = 19, WP_MDICLOSEBUTTON = 20,
                     WP_MDIRESTOREBUTTON = 22;
inline constexpr int CP_DROPDOWNBUTTON = 1;
inline constexpr int EP_EDITTEXT = 1;
inline constexpr int ETS_NORMAL = 1, ETS_DISABLED = 4, ETS_READONLY = 6;
inline constexpr int SP_GRIPPER = 3;
inline constexpr int SBP_SIZEBOX = 10;

inline constexpr int SP_PANE = 1, SP_GRIPPERPANE = 2;
inline constexpr int SPNP_UP = 1, SPNP_DOWN = 2, SPNP_UPHORZ = 3, SPNP_DOWNHORZ = 4;
inline constexpr int PP_BAR = 1, PP_BARVERT = 2, PP_CHUNK = 3, PP_CHUNKVERT = 4;
inline constexpr int BP_PUSHBUTTON = 1;

namespace pw::gdi {

// What answers the theme calls while it is installed: a theme handle per class it knows (0 for the
// others), its parts' drawing and measures. Every call of a layer returns S_OK or a failure code.
class ThemeLayer {
public:
    virtual ~ThemeLayer() = default;
    virtual HTHEME Open(const char* ClassList) = 0;
    virtual HRESULT DrawBackground(HTHEME Theme, HDC DC, int Part, int State, const RECT& R,
                                   const RECT* Clip) = 0;
    virtual HRESULT PartSize(HTHEME Theme, HDC DC, int Part, int State, const RECT* R, int SizeKind,
                             SIZE& Size) = 0;
    virtual HRESULT ContentRect(HTHEME Theme, HDC DC, int Part, int State, const RECT& Bounds,
                                RECT& Content) = 0;
    virtual HRESULT Color(HTHEME Theme, int Part, int State, int Property, COLORREF& Value) = 0;
    virtual bool PartiallyTransparent(HTHEME, int /*Part*/, int /*State*/) { return false; }
};

// Installs a layer (nullptr: none, visual styles unavailable again); the caller keeps it alive while it
// is installed. Whoever caches theme handles is told separately.
void SetThemeLayer(ThemeLayer* Layer);
ThemeLayer* GetThemeLayer();

} // namespace pw::gdi

BOOL IsThemeActive();
BOOL IsAppThemed();
BOOL AreVisualStylesAvailable();
// 0 without a theme layer, and for a class the layer does not know.
HTHEME OpenThemeData(HWND hwnd, const char* classList);
HRESULT CloseThemeData(HTHEME theme);
HRESULT DrawThemeBackground(HTHEME theme, HDC hdc, int part, int state, const RECT* rect, const RECT* clip);
HRESULT DrawThemeParentBackground(HWND hwnd, HDC hdc, const RECT* rect);
HRESULT DrawThemeText(HTHEME theme, HDC hdc, int part, int state, const char* text, int count, DWORD flags,
                      DWORD flags2, const RECT* rect);
HRESULT GetThemePartSize(HTHEME theme, HDC hdc, int part, int state, const RECT* rect, int sizeKind,
                         SIZE* size);
HRESULT GetThemeBackgroundContentRect(HTHEME theme, HDC hdc, int part, int state, const RECT* bounds,
                                      RECT* content);
HRESULT GetThemeColor(HTHEME theme, int part, int state, int property, COLORREF* color);
BOOL IsThemeBackgroundPartiallyTransparent(HTHEME theme, int part, int state);
