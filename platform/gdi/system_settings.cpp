#include <array>
#include <cstring>
#include <map>
#include <mutex>

#include "platform/gdi/metrics.h"
#include "platform/gdi/syscolors.h"
#include "platform/gdi/test_settings.h"

namespace pw::gdi {
namespace {

// The classic (Windows 2000 standard) scheme.
constexpr std::array<COLORREF, kSysColorCount> kClassicColors = {
    RGB(212, 208, 200), RGB(58, 110, 165),  RGB(10, 36, 106),   RGB(128, 128, 128), RGB(212, 208, 200),
    RGB(255, 255, 255), RGB(0, 0, 0),       RGB(0, 0, 0),       RGB(0, 0, 0),       RGB(255, 255, 255),
    RGB(212, 208, 200), RGB(212, 208, 200), RGB(128, 128, 128), RGB(10, 36, 106),   RGB(255, 255, 255),
    RGB(212, 208, 200), RGB(128, 128, 128), RGB(128, 128, 128), RGB(0, 0, 0),       RGB(212, 208, 200),
    RGB(255, 255, 255), RGB(64, 64, 64),    RGB(212, 208, 200), RGB(0, 0, 0),       RGB(255, 255, 225),
    RGB(181, 181, 181), RGB(0, 0, 128),     RGB(166, 202, 240), RGB(192, 192, 192), RGB(10, 36, 106),
    RGB(212, 208, 200)};

const std::map<int, int>& ClassicMetrics() {
    static const std::map<int, int> m = {{SM_CXVSCROLL, 16},
                                         {SM_CYHSCROLL, 16},
                                         {SM_CYCAPTION, 19},
                                         {SM_CXBORDER, 1},
                                         {SM_CYBORDER, 1},
                                         {SM_CXDLGFRAME, 3},
                                         {SM_CYDLGFRAME, 3},
                                         {SM_CYVTHUMB, 16},
                                         {SM_CXHTHUMB, 16},
                                         {SM_CXICON, 32},
                                         {SM_CYICON, 32},
                                         {SM_CXCURSOR, 32},
                                         {SM_CYCURSOR, 32},
                                         {SM_CYMENU, 19},
                                         {SM_MOUSEPRESENT, 1},
                                         {SM_CYVSCROLL, 16},
                                         {SM_CXHSCROLL, 16},
                                         {SM_SWAPBUTTON, 0},
                                         {SM_CXMIN, 112},
                                         {SM_CYMIN, 27},
                                         {SM_CXSIZE, 18},
                                         {SM_CYSIZE, 18},
                                         {SM_CXFRAME, 4},
                                         {SM_CYFRAME, 4},
                                         {SM_CXMINTRACK, 112},
                                         {SM_CYMINTRACK, 27},
                                         {SM_CXDOUBLECLK, 4},
                                         {SM_CYDOUBLECLK, 4},
                                         {SM_CXICONSPACING, 75},
                                         {SM_CYICONSPACING, 75},
                                         {SM_MENUDROPALIGNMENT, 0},
                                         {SM_CMOUSEBUTTONS, 3},
                                         {SM_CXEDGE, 2},
                                         {SM_CYEDGE, 2},
                                         {SM_CXSMICON, 16},
                                         {SM_CYSMICON, 16},
                                         {SM_CYSMCAPTION, 15},
                                         {SM_CXSMSIZE, 12},
                                         {SM_CYSMSIZE, 14},
                                         {SM_CXMENUSIZE, 18},
                                         {SM_CYMENUSIZE, 18},
                                         {SM_CXMINIMIZED, 160},
                                         {SM_CYMINIMIZED, 24},
                                         {SM_CXDRAG, 4},
                                         {SM_CYDRAG, 4},
                                         {SM_CXMENUCHECK, 13},
                                         {SM_CYMENUCHECK, 13},
                                         {SM_MOUSEWHEELPRESENT, 1},
                                         {SM_XVIRTUALSCREEN, 0},
                                         {SM_YVIRTUALSCREEN, 0},
                                         {SM_CMONITORS, 1},
                                         {SM_SAMEDISPLAYFORMAT, 1},
                                         {SM_CXFOCUSBORDER, 1},
                                         {SM_CYFOCUSBORDER, 1},
                                         {SM_DEBUG, 0},
                                         {SM_REMOTESESSION, 0}};
    return m;
}

const std::map<UINT, bool>& DefaultFlags() {
    static const std::map<UINT, bool> m = {{SPI_GETBEEP, true},
                                           {SPI_GETDRAGFULLWINDOWS, true},
                                           {SPI_GETKEYBOARDPREF, false},
                                           {SPI_GETFONTSMOOTHING, false},
                                           {SPI_GETMENUANIMATION, false},
                                           {SPI_GETCOMBOBOXANIMATION, false},
                                           {SPI_GETLISTBOXSMOOTHSCROLLING, false},
                                           {SPI_GETGRADIENTCAPTIONS, false},
                                           {SPI_GETKEYBOARDCUES, false},
                                           {SPI_GETHOTTRACKING, true},
                                           {SPI_GETMENUFADE, false},
                                           {SPI_GETSELECTIONFADE, false},
                                           {SPI_GETTOOLTIPANIMATION, false},
                                           {SPI_GETTOOLTIPFADE, false},
                                           {SPI_GETCURSORSHADOW, false},
                                           {SPI_GETFLATMENU, false},
                                           {SPI_GETDROPSHADOW, false},
                                           {SPI_GETUIEFFECTS, false},
                                           {SPI_GETMENUDROPALIGNMENT, false},
                                           {SPI_GETSHOWIMEUI, false}};
    return m;
}

const std::map<UINT, UINT>& DefaultValues() {
    static const std::map<UINT, UINT> m = {
        {SPI_GETMOUSEHOVERTIME, 400},  {SPI_GETMOUSEHOVERWIDTH, 4},  {SPI_GETMOUSEHOVERHEIGHT, 4},
        {SPI_GETWHEELSCROLLLINES, 3},  {SPI_GETMENUSHOWDELAY, 400},  {SPI_GETKEYBOARDDELAY, 1},
        {SPI_GETKEYBOARDSPEED, 31},    {SPI_GETBORDER, 1},           {SPI_GETFOCUSBORDERWIDTH, 1},
        {SPI_GETFOCUSBORDERHEIGHT, 1}, {SPI_GETSCREENSAVETIMEOUT, 0}};
    return m;
}

LOGFONT SystemLogFont(int weight) {
    LOGFONT lf;
    lf.lfHeight = -11;
    lf.lfWeight = weight;
    lf.lfCharSet = DEFAULT_CHARSET;
    std::strncpy(lf.lfFaceName, "DejaVu Sans", LF_FACESIZE - 1);
    return lf;
}

struct Settings {
    std::mutex mutex;
    std::array<COLORREF, kSysColorCount> colors = kClassicColors;
    std::map<int, int> metrics = ClassicMetrics();
    std::map<UINT, bool> flags = DefaultFlags();
    int screenWidth = 1024, screenHeight = 768;
    int colorDepth = 32;
    RECT workArea{};
    NONCLIENTMETRICS ncm = DefaultNonClientMetrics();
};

Settings& TheSettings() {
    static Settings* s = new Settings; // process-wide; outlives every static user
    return *s;
}

RECT WorkAreaLocked(const Settings& s) {
    return IsRectEmpty(s.workArea) ? RECT{0, 0, s.screenWidth, s.screenHeight} : s.workArea;
}

} // namespace

NONCLIENTMETRICS DefaultNonClientMetrics() {
    NONCLIENTMETRICS m;
    m.iBorderWidth = 1;
    m.iScrollWidth = 16;
    m.iScrollHeight = 16;
    m.iCaptionWidth = 18;
    m.iCaptionHeight = 18;
    m.lfCaptionFont = SystemLogFont(FW_BOLD);
    m.iSmCaptionWidth = 12;
    m.iSmCaptionHeight = 15;
    m.lfSmCaptionFont = SystemLogFont(FW_BOLD);
    m.iMenuWidth = 18;
    m.iMenuHeight = 18;
    m.lfMenuFont = SystemLogFont(FW_NORMAL);
    m.lfStatusFont = SystemLogFont(FW_NORMAL);
    m.lfMessageFont = SystemLogFont(FW_NORMAL);
    return m;
}

void SetScreenSize(int width, int height) {
    Settings& s = TheSettings();
    std::lock_guard lock(s.mutex);
    s.screenWidth = width;
    s.screenHeight = height;
}

void SetScreenColorDepth(int bits) {
    Settings& s = TheSettings();
    std::lock_guard lock(s.mutex);
    s.colorDepth = bits;
}

int ScreenColorDepth() {
    Settings& s = TheSettings();
    std::lock_guard lock(s.mutex);
    return s.colorDepth;
}

void SetWorkArea(const RECT& area) {
    Settings& s = TheSettings();
    std::lock_guard lock(s.mutex);
    s.workArea = area;
}

RECT WorkArea() {
    Settings& s = TheSettings();
    std::lock_guard lock(s.mutex);
    return WorkAreaLocked(s);
}

void SetSystemMetric(int index, int value) {
    Settings& s = TheSettings();
    std::lock_guard lock(s.mutex);
    s.metrics[index] = value;
}

void SetSystemParameterFlag(UINT action, bool value) {
    Settings& s = TheSettings();
    std::lock_guard lock(s.mutex);
    s.flags[action] = value;
}

void SetNonClientMetrics(const NONCLIENTMETRICS& metrics) {
    Settings& s = TheSettings();
    std::lock_guard lock(s.mutex);
    s.ncm = metrics;
    s.ncm.cbSize = sizeof(NONCLIENTMETRICS);
}

void ResetSystemSettings() {
    Settings& s = TheSettings();
    std::lock_guard lock(s.mutex);
    s.colors = kClassicColors;
    s.metrics = ClassicMetrics();
    s.flags = DefaultFlags();
    s.screenWidth = 1024;
    s.screenHeight = 768;
    s.colorDepth = 32;
    s.workArea = RECT{};
    s.ncm = DefaultNonClientMetrics();
}

} // namespace pw::gdi

using namespace pw::gdi;

COLORREF GetSysColor(int index) {
    if (index < 0 || index >= kSysColorCount) return 0;
    Settings& s = TheSettings();
    std::lock_guard lock(s.mutex);
    return s.colors[index];
}

BOOL SetSysColors(int count, const int* indices, const COLORREF* colors) {
    if (count < 0 || (count > 0 && (!indices || !colors))) return 0;
    Settings& s = TheSettings();
    std::lock_guard lock(s.mutex);
    for (int i = 0; i < count; ++i)
        if (indices[i] >= 0 && indices[i] < kSysColorCount) s.colors[indices[i]] = colors[i] & 0x00FFFFFF;
    return 1;
}

int GetSystemMetrics(int index) {
    Settings& s = TheSettings();
    std::lock_guard lock(s.mutex);
    if (auto it = s.metrics.find(index); it != s.metrics.end()) return it->second;
    const RECT wa = WorkAreaLocked(s);
    const int edge = 2 * s.metrics[SM_CXFRAME];
    switch (index) {
    case SM_CXSCREEN:
    case SM_CXVIRTUALSCREEN:
        return s.screenWidth;
    case SM_CYSCREEN:
    case SM_CYVIRTUALSCREEN:
        return s.screenHeight;
    case SM_CXFULLSCREEN:
        return wa.right - wa.left;
    case SM_CYFULLSCREEN:
        return wa.bottom - wa.top - s.metrics[SM_CYCAPTION];
    case SM_CXMAXTRACK:
        return s.screenWidth + 12;
    case SM_CYMAXTRACK:
        return s.screenHeight + 12;
    case SM_CXMAXIMIZED:
        return wa.right - wa.left + edge;
    case SM_CYMAXIMIZED:
        return wa.bottom - wa.top + edge;
    default:
        return 0;
    }
}

BOOL SystemParametersInfo(UINT action, UINT, void* pv, UINT) {
    if (!pv) return 0;
    Settings& s = TheSettings();
    std::lock_guard lock(s.mutex);
    if (auto it = s.flags.find(action); it != s.flags.end()) {
        *static_cast<BOOL*>(pv) = it->second ? 1 : 0;
        return 1;
    }
    if (auto it = DefaultValues().find(action); it != DefaultValues().end()) {
        *static_cast<UINT*>(pv) = it->second;
        return 1;
    }
    switch (action) {
    case SPI_GETWORKAREA:
        *static_cast<RECT*>(pv) = WorkAreaLocked(s);
        return 1;
    case SPI_GETNONCLIENTMETRICS: {
        auto* out = static_cast<NONCLIENTMETRICS*>(pv);
        if (out->cbSize != sizeof(NONCLIENTMETRICS)) return 0;
        *out = s.ncm;
        return 1;
    }
    case SPI_GETICONTITLELOGFONT:
        *static_cast<LOGFONT*>(pv) = SystemLogFont(FW_NORMAL);
        return 1;
    default:
        return 0;
    }
}
