#include "bars/storage/layout_common.h"

#include <algorithm>
#include <climits>

#include "bars/core/bar_manager.h"
#include "bars/core/bar_views.h"
#include "bars/core/item_links.h"
#include "bars/core/sub_item.h"
#include "bars/core/toolbar.h"
#include "bars/core/toolbars.h"
#include "bars/storage/layout_storing.h"
#include "platform/rtl/scope_guard.h"
#include "platform/rtl/strings.h"
#include "platform/vcl/application.h"
#include "platform/vcl/form.h"

namespace bars {

std::string GetComponentPath(const TComponent* Component) {
    if (Component == nullptr) return {};
    std::string path = Component->Name();
    for (const TComponent* owner = Component->Owner(); owner != nullptr && !owner->Name().empty();
         owner = owner->Owner())
        path = owner->Name() + "." + path;
    return path;
}

std::string LayoutRegistryKey(const std::string& RegistryPath) {
    std::string key = RegistryPath;
    if (key.empty() || key.front() != '\\') key.insert(key.begin(), '\\');
    if (key.size() > 1 && key.back() == '\\') key.pop_back();
    // Nothing but the root is left: there is no key of this layout.
    if (key.find_first_not_of('\\') == std::string::npos) return {};
    return key;
}

std::string DockControlPath(DockControl* Site) {
    return Site != nullptr ? GetComponentPath(Site->Component()) : std::string();
}

DockControl* ResolveDockControlPath(TdxBarManager* Manager, const std::string& Path) {
    if (Path.empty() || Manager == nullptr || Manager->ParentForm() == nullptr) return nullptr;
    TCustomForm* parentForm = Manager->ParentForm();
    std::vector<std::string> names;
    size_t start = 0;
    for (size_t dot = Path.find('.'); dot != std::string::npos; dot = Path.find('.', start)) {
        names.push_back(Path.substr(start, dot - start));
        start = dot + 1;
    }
    names.push_back(Path.substr(start));
    TComponent* found = nullptr;
    if (names.size() == 1) {
        found = parentForm->FindComponent(names[0]);
    } else {
        TComponent* owner = SameText(names[0], parentForm->Name()) ? parentForm : nullptr;
        if (owner == nullptr && Application != nullptr) owner = Application->FindComponent(names[0]);
        // Each further name is owned by the one before it, as the path was written.
        for (size_t i = 1; owner != nullptr && i < names.size(); ++i)
            owner = owner->FindComponent(names[i]);
        found = owner;
    }
    if (found == nullptr) return nullptr;
    auto* site = dynamic_cast<DockControl*>(found);
    if (site == nullptr) throw ELayoutValueError("'" + Path + "' names no dock site");
    return site;
}

std::vector<TCustomdxBarSubItem*> StoredSubItems(TdxBarManager* Manager) {
    std::vector<TCustomdxBarSubItem*> result;
    for (int i = 0; i < Manager->ItemCount(); ++i)
        if (auto* subItem = dynamic_cast<TCustomdxBarSubItem*>(Manager->Items(i));
            subItem != nullptr && !subItem->Name().empty())
            result.push_back(subItem);
    return result;
}

bool StoresMenuOptions(TdxBarManager* Manager) {
    return Manager->IsNotStandardStyle();
}

bool StoresUsage(TdxBarManager* Manager, TdxBarItemLinks* Links) {
    return StoresMenuOptions(Manager) && Links->UseRecentItems();
}

bool IsToolbarLinks(TdxBarItemLinks* Links) {
    return dynamic_cast<TdxBar*>(Links->LinksOwner()) != nullptr;
}

NumberedNames::NumberedNames(const std::vector<std::string>& Names) {
    for (const std::string& name : Names) {
        const size_t digits = name.find_last_not_of("0123456789") + 1;
        const size_t length = name.size() - digits;
        // The readers ask for the decimal number without leading zeros: other spellings are never read.
        if (digits == 0 || length == 0 || length > 10 || (length > 1 && name[digits] == '0')) continue;
        const long long n = std::stoll(name.substr(digits));
        if (n > INT_MAX) continue;
        int& last = last_.try_emplace(UpperCase(name.substr(0, digits)), -1).first->second;
        last = std::max(last, static_cast<int>(n));
    }
}

int NumberedNames::Count(const std::string& Prefix, int Count) const {
    const auto found = last_.find(UpperCase(Prefix));
    const int there = found != last_.end() ? found->second + 1 : 0;
    return std::clamp(there, 0, std::max(Count, 0));
}

void SetStoredVisible(TdxBarManager* Manager, TdxBar* Bar, bool Visible) {
    TdxBars* bars = Manager->Bars();
    const bool loading = bars->Loading();
    bars->SetLoading(true);
    const ScopeGuard restore([bars, loading] { bars->SetLoading(loading); });
    Bar->SetVisible(Visible);
}

LockUpdateScope::LockUpdateScope(TdxBarManager* Manager) : manager_(Manager), old_(Manager->LockUpdate()) {
    manager_->SetLockUpdate(true);
}

LockUpdateScope::~LockUpdateScope() {
    manager_->SetLockUpdate(old_);
}

LayoutReadScope::LayoutReadScope(TdxBarManager* Manager)
    : manager_(Manager), changedByUser_(Manager->ChangedByUser()) {}

LayoutReadScope::~LayoutReadScope() {
    if (!changedByUser_) manager_->ForgetUserChanges();
}

} // namespace bars
