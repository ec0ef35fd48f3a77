#pragma once
// A stored layout that could not be read whole (its store's file was cut short) stays in the store as
// it is: the bars stay as the form made them, and they are not saved over it until the user has changed
// them. What the user may have changed is told by what a save would write: it is noted as the user first
// touches the program (a key or the mouse), and a save that would write the same is left out.
#include <string>

class TdxBarManager;

namespace bars {

// What a save of the manager's layout under the key would write.
using LayoutRecorder = std::string (*)(TdxBarManager* Manager, const std::string& Key);

// The layout under the key (in the manager's store) is kept.
void KeepStoredLayout(TdxBarManager* Manager, const std::string& Key, LayoutRecorder Record);
// A layout was read whole for the manager: nothing is kept any more.
void ForgetKeptLayout(TdxBarManager* Manager);
// True while the layout under the key is kept: the user has not touched the program since, or has
// changed nothing a save would write. Once a save would write something else, it is kept no longer.
bool StoredLayoutKept(TdxBarManager* Manager, const std::string& Key);

} // namespace bars
