// Test programs of the drawing layers draw text and read and write images without an application: they
// get the toolkit's fonts and image files before their first test.
#include "platform/gui/qt/gdi_toolkit.h"

namespace {

[[maybe_unused]] const bool installed = (pw::gui::qt::InstallGdiToolkit(), true);

} // namespace
