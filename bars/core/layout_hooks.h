#pragma once
// Where the manager hands its stored layout over: the storage part of the library registers the two
// calls, which read the layout as the manager finishes loading and write it as its form goes. Without
// that part nothing is read or written.

class TdxBarManager;

namespace bars {

struct LayoutStorage {
    // Reads the registry and then the INI file, each when the manager stores there.
    void (*Load)(TdxBarManager* Manager) = nullptr;
    // Writes both; a write failure reaches the caller.
    void (*Save)(TdxBarManager* Manager) = nullptr;
};
void SetLayoutStorage(const LayoutStorage& Storage);
const LayoutStorage& GetLayoutStorage();

// Set while a copy of a form as designed is read: managers read in that copy load no stored layout.
bool ReadingDesignState();
void SetReadingDesignState(bool Value);

} // namespace bars
