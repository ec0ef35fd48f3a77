#include <cstdio>
#include <exception>

#include "bars/core/bar_manager.h"
#include "bars/storage/layout_storing.h"

namespace bars {

// The form finishing its loading has no one to hand a failure to, and a layout is the user's comfort,
// never a reason not to start: the failure goes to stderr and the bars stay as they are.
void LoadStoredLayout(TdxBarManager* Manager) {
    try {
        if (Manager->StoreInRegistry()) LoadLayoutFromRegistry(Manager, Manager->RegistryPath());
        if (Manager->StoreInIniFile()) LoadLayoutFromIni(Manager, Manager->IniFileName());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "The toolbar layout could not be read: %s\n", e.what());
    }
}

void SaveStoredLayout(TdxBarManager* Manager) {
    if (Manager->StoreInRegistry()) SaveLayoutToRegistry(Manager, Manager->RegistryPath());
    if (Manager->StoreInIniFile()) SaveLayoutToIni(Manager, Manager->IniFileName());
}

} // namespace bars
