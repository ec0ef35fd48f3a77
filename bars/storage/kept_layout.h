#pragma once
// A stored layout that could not be read whole (its store's file was cut short) stays in the store as it
// is: the bars stay as the form made them, and they are not saved over it until the user has changed
// them, which the manager notes as the user docks, moves, shows, hides or customizes a bar.
#include <string>

class TdxBarManager;

namespace bars {

// The layout under the key (in the manager's store) is kept; what the user changed before is forgotten.
void KeepStoredLayout(TdxBarManager* Manager, const std::string& Key);
// A layout was read whole for the manager: nothing is kept any more.
void ForgetKeptLayout(TdxBarManager* Manager);
// True while the layout under the key is kept and the user has changed nothing since; once the user
// has, it is kept no longer.
bool StoredLayoutKept(TdxBarManager* Manager, const std::string& Key);

} // namespace bars
