#pragma once
// The Office 2003 colour scheme: colours by role, the brushes the painters share, and the fills and
// small glyphs drawn in it. The scheme exists while it has users (acquire and release count them).
#include "platform/gdi/gdi_defs.h"
#include "platform/rtl/colors.h"

// The states that have their own end-mark colours.
enum TOffice11MarkState { omsNormal, omsHot, omsDroppedDown };

struct TOffice11Colors {
    TColor DockColor1, DockColor2;
    TColor BarColor1, BarColor2;
    TColor BarBorderColor;
    TColor MarkColor1[3], MarkColor2[3];
    TColor SeparatorColor1, SeparatorColor2;
    TColor MarkArrowColor, MarkArrowShadowColor;
    TColor FloatingBorderColor1, FloatingBorderColor2, FloatingCaptionColor;
    TColor CaptionTextColor, CloseGlyphHotColor, CloseGlyphDownColor;
    TColor MenuColor;
    TColor MenuStripColor1, MenuStripColor2, MenuStripDarkColor1, MenuStripDarkColor2;
    TColor FrameColor;
    TColor SelectedColor;
    TColor HotColor1, HotColor2;
    TColor DownColor1, DownColor2;
    TColor CheckedColor;
    TColor PressedColor;
    TColor LightBarColor;
    TColor DetachColor;
    TColor TextColor, DisabledTextColor, DownTextColor;
};

struct TOffice11Brushes {
    HBRUSH Separator1, Separator2, Menu, Frame, Selected, LightBar, Checked, Pressed, Detach, Mark;
};

void AcquireOffice11Colors();
void ReleaseOffice11Colors();
// Re-detects the scheme and, while it has users, makes its colours and brushes again.
void RefreshOffice11Colors();
int Office11ColorsUsers();
// The blue, olive or silver scheme of the XP visual styles is active (never on this system).
bool IsOffice11XPScheme();
// The picture of a menu's button that shows every item, in the scheme's arrow colour on a transparent
// colour (valid while the scheme has users), and its size.
HBITMAP Office11ExpandBitmap();
SIZE Office11ExpandBitmapSize();
COLORREF Office11ExpandBitmapKey();

// The scheme's colours and brushes; valid while the scheme has users.
const TOffice11Colors& Office11Colors();
const TOffice11Brushes& Office11Brushes();

// Frames with the scheme's frame brush (with the highlight-text colour on a black button face).
void FrameOffice11Rect(HDC DC, const RECT& Rect);
// The dotted drag grip of a toolbar; Vertical for a bar docked at the left or right.
void DrawOffice11Grip(HDC DC, const RECT& Rect, bool Vertical);

// Arrow flags: the direction, the disabled look, and white (on a selected part of a white face).
inline constexpr UINT Office11ArrowDown = 0x0, Office11ArrowRight = 0x1, Office11ArrowDisabled = 0x2,
                      Office11ArrowWhite = 0x4;
void DrawOffice11ArrowInRect(HDC DC, const RECT& Rect, UINT Flags);
// An arrow Size pixels deep, centred in Rect.
void DrawOffice11Arrow(HDC DC, const RECT& Rect, int Size, UINT Flags);
