#include "platform/gui/qt/image_files.h"

#include <QImage>
#include <QString>
#include <cstring>

#include "platform/gdi/surface.h"

namespace pw::gui::qt {

bool SavePng(const Surface& surface, const std::string& path) {
    if (surface.Width() <= 0 || surface.Height() <= 0) return false;
    // Surfaces are 0xAARRGGBB words, which is QImage's ARGB32 layout.
    const QImage image(reinterpret_cast<const uchar*>(surface.Bits()), surface.Width(), surface.Height(),
                       surface.Width() * 4, QImage::Format_ARGB32);
    return image.save(QString::fromStdString(path), "PNG");
}

bool LoadPng(Surface& surface, const std::string& path) {
    QImage image;
    if (!image.load(QString::fromStdString(path), "PNG")) return false;
    image = image.convertToFormat(QImage::Format_ARGB32);
    surface.Resize(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(surface.Bits() + static_cast<size_t>(y) * image.width(), image.constScanLine(y),
                    static_cast<size_t>(image.width()) * 4);
    return true;
}

} // namespace pw::gui::qt
