#pragma once
// Toolbar and menu layouts in the registry (under HKEY_CURRENT_USER) and in INI files: which bars there
// are, where each docks or floats, the links of every bar and named sub-item with the user's changes to
// them, their usage data, and six manager options. Both formats are shared with other builds.
#include <string>

class TComponent;
class TdxBarManager;

namespace bars {

// An empty path (also one that is empty once made absolute, such as "\") reads and writes nothing: a
// save never clears the store's root. Reading throws nothing: a value stored as another type reads as
// the INI layout reads a missing key (a count as one too large). A layout whose store's file was cut
// short inside it is not applied at all, and stays in the store until the user changes the bars.
void LoadLayoutFromRegistry(TdxBarManager* Manager, const std::string& RegistryPath);
// Registry failures while writing reach the caller.
void SaveLayoutToRegistry(TdxBarManager* Manager, const std::string& RegistryPath);
// An empty file name, or a file that cannot be read, reads nothing; a number that is no number reads
// as its default (a count as one too large).
void LoadLayoutFromIni(TdxBarManager* Manager, const std::string& FileName);
// Only the sections of this manager's form and name are replaced; the file is written even when
// writing the sections failed part-way, and the failure then reaches the caller.
void SaveLayoutToIni(TdxBarManager* Manager, const std::string& FileName);

// The key the registry layout lives under: "\" in front, no "\" at the end; empty for no key at all.
std::string LayoutRegistryKey(const std::string& RegistryPath);
// The component's name behind its owners' names ("Form.Panel.Dock"), up to the first owner without one.
std::string GetComponentPath(const TComponent* Component);

// What the manager reads as it finishes loading and writes as its form goes: the registry layout, then
// the INI one, each where the manager stores. Reading throws nothing (a failure is reported on stderr);
// a write failure reaches the caller.
void LoadStoredLayout(TdxBarManager* Manager);
void SaveStoredLayout(TdxBarManager* Manager);

} // namespace bars
