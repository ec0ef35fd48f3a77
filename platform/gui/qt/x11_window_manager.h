#pragma once
// What a window tells the X11 window manager beyond the toolkit's own hints. Openbox draws the minimize
// and maximize buttons on every normal, dialog or utility window whatever its Motif hints and size hints
// say; only on its helper kinds (toolbars and torn-off menus) does it leave them out. Other window
// managers read the dialog type and the Motif hints the toolkit sets.
#include <optional>
#include <string>

#include <QMargins>
#include <QPoint>

class QWidget;

namespace pw::gui::qt {

// The name the running window manager gives itself (_NET_WM_NAME of its check window); empty without
// one, or off X11.
std::string RunningWindowManager();

// Before the widget's window is first shown: a window with neither a minimize nor a maximize box gets
// none from the window manager that runs now.
void MarkWithoutBoxes(QWidget* widget);

// Puts the shown top-level window directly behind the shown top-level window front: asked of the window
// manager as a pager asks it, or done at once when none runs. False off X11.
bool PlaceWindowBehind(QWidget* window, QWidget* front);

// The frame the window manager puts round the widget's window (_NET_FRAME_EXTENTS), asked of it
// (_NET_REQUEST_FRAME_EXTENTS) before the window is first shown. None off X11, without a window manager
// that tells, or when it does not answer within a second.
std::optional<QMargins> FrameExtents(QWidget* widget);

// Where the X server has the top-left of the widget's window now, on the screen; none off X11 or when it
// cannot say. The toolkit's own idea may be a late report of an earlier place.
std::optional<QPoint> ServerPlace(const QWidget* widget);

} // namespace pw::gui::qt
