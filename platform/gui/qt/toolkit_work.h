#pragma once
// Work the program hands the toolkit that only a pass through the toolkit's loop carries out (windows
// shown or changed, the clipboard taken, what a dialog's or a drag's own loop leaves behind), noted by the
// host as it calls in, so that the loop can tell when a pass may find something more than posted events.

namespace pw::gui::qt {

void NoteToolkitWork();
bool ToolkitWorkNoted();
// Clears the note, for a pass that is about to run the events.
void TakeToolkitWork();

} // namespace pw::gui::qt
