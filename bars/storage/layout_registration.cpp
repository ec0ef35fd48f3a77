#include "bars/core/bar_manager.h"
#include "bars/core/layout_hooks.h"
#include "bars/storage/layout_storing.h"

namespace bars {
namespace {

void LoadStoredLayout(TdxBarManager* Manager) {
    if (Manager->StoreInRegistry()) LoadLayoutFromRegistry(Manager, Manager->RegistryPath());
    if (Manager->StoreInIniFile()) LoadLayoutFromIni(Manager, Manager->IniFileName());
}

void SaveStoredLayout(TdxBarManager* Manager) {
    if (Manager->StoreInRegistry()) SaveLayoutToRegistry(Manager, Manager->RegistryPath());
    if (Manager->StoreInIniFile()) SaveLayoutToIni(Manager, Manager->IniFileName());
}

} // namespace

void RegisterLayoutStorage() {
    SetLayoutStorage(LayoutStorage{&LoadStoredLayout, &SaveStoredLayout});
}

} // namespace bars
