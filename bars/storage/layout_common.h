#pragma once
// What the registry and INI layouts share: the dock-site paths, the sub-items that are stored, and the
// conditions under which usage data is kept.
#include <string>
#include <vector>

#include "platform/rtl/exception.h"

class TCustomdxBarSubItem;
class TdxBarItemLinks;
class TdxBarManager;

namespace bars {

class DockControl;

PW_DECLARE_EXCEPTION(ELayoutValueError, Exception)

// The dock site a stored path names: a single name on the manager's form; otherwise the first name is a
// form (the manager's own or one of the application's) and each further name a component owned by the
// one before. nullptr for an empty path or a name not found; ELayoutValueError when the component found
// is no dock site.
DockControl* ResolveDockControlPath(TdxBarManager* Manager, const std::string& Path);
// The path stored for a dock site (its component's path); empty for none.
std::string DockControlPath(DockControl* Site);

// The sub-items whose links are stored: those with a name, in the manager's item order.
std::vector<TCustomdxBarSubItem*> StoredSubItems(TdxBarManager* Manager);

// The two menu options are kept only outside the standard style; a link's usage data only when, in
// addition, its collection uses recent items.
bool StoresMenuOptions(TdxBarManager* Manager);
bool StoresUsage(TdxBarManager* Manager, TdxBarItemLinks* Links);
// The links belong to a toolbar (their shown state is stored).
bool IsToolbarLinks(TdxBarItemLinks* Links);

// Saves the manager's update lock, sets it, and restores it when the scope ends.
class LockUpdateScope {
public:
    explicit LockUpdateScope(TdxBarManager* Manager);
    ~LockUpdateScope();
    LockUpdateScope(const LockUpdateScope&) = delete;
    LockUpdateScope& operator=(const LockUpdateScope&) = delete;

private:
    TdxBarManager* manager_;
    bool old_;
};

} // namespace bars
