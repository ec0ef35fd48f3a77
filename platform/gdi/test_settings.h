#pragma once
// Process-wide settings of the GDI that the window system and tests adjust: screen size, work area,
// system colours, metrics, flags and the non-client fonts. Reset restores the fixed classic values.
#include "platform/gdi/gdi_structs.h"

namespace pw::gdi {

void SetScreenSize(int width, int height);
// The bits per pixel the screen reports (GetDeviceCaps BITSPIXEL of the screen and of the colour DCs
// made for it); 32 by default. Pixels are kept at 32 bits whatever it says.
void SetScreenColorDepth(int bits);
int ScreenColorDepth();
// Empty rectangle = the whole screen.
void SetWorkArea(const RECT& area);
RECT WorkArea();
void SetSystemMetric(int index, int value);
// An SPI_GET* flag answered as a BOOL (menu animation, drop shadow, flat menus, keyboard cues...).
void SetSystemParameterFlag(UINT action, bool value);
void SetNonClientMetrics(const NONCLIENTMETRICS& metrics);
NONCLIENTMETRICS DefaultNonClientMetrics();
void ResetSystemSettings();

} // namespace pw::gdi
