#include "bars/storage/kept_layout.h"

#include "bars/core/bar_manager.h"

namespace bars {

void KeepStoredLayout(TdxBarManager* Manager, const std::string& Key) {
    Manager->SetKeptLayoutKey(Key);
    Manager->ForgetUserChanges();
}

void ForgetKeptLayout(TdxBarManager* Manager) {
    Manager->SetKeptLayoutKey("");
}

bool StoredLayoutKept(TdxBarManager* Manager, const std::string& Key) {
    if (Key.empty() || Manager->KeptLayoutKey() != Key) return false;
    if (!Manager->ChangedByUser()) return true;
    ForgetKeptLayout(Manager);
    return false;
}

} // namespace bars
