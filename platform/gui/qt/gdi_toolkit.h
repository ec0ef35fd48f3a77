#pragma once
// The toolkit's fonts and image files, given to the GDI.

namespace pw::gui::qt {

// For the rest of the process; any thread, any number of times. GuiApplication installs them; whatever
// draws text or reads or writes images without one (tools, tests of the drawing layers) calls this first.
void InstallGdiToolkit();

} // namespace pw::gui::qt
