#include "platform/gui/screenshot.h"

#include <QImage>
#include <QString>

#include "platform/gdi/surface.h"
#include "platform/gui/paint.h"

namespace pw::gui {

bool SaveWindowImage(HWND hwnd, const std::string& path) {
    Surface composed = ComposeWindow(hwnd);
    if (composed.Width() == 0 || composed.Height() == 0) return false;
    QImage image(reinterpret_cast<const uchar*>(composed.Bits()), composed.Width(), composed.Height(),
                 composed.Width() * 4, QImage::Format_ARGB32);
    return image.save(QString::fromUtf8(path.c_str()), "PNG");
}

} // namespace pw::gui
