#include "lookandfeel/monitor.h"

#include "platform/gdi/metrics.h"
#include "platform/gui/system.h"

RECT GetMonitorWorkArea(POINT Point) {
    MONITORINFO info;
    if (HMONITOR monitor = MonitorFromPoint(Point, MONITOR_DEFAULTTONEAREST))
        if (GetMonitorInfo(monitor, info)) return info.rcWork;
    RECT area{0, 0, 0, 0};
    SystemParametersInfo(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}
