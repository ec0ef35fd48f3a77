#pragma once
// What the registry and INI layouts share: the dock-site paths, the sub-items that are stored, and the
// conditions under which usage data is kept.
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "bars/core/bar_types.h"
#include "platform/rtl/exception.h"

class TCustomdxBarSubItem;
class TdxBar;
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

// The number of values of each stored enumeration.
inline constexpr int kDockingStyles = dsBottom + 1;
inline constexpr int kMenuAnimations = maFade + 1;
inline constexpr int kPaintStyles = psCaptionGlyph + 1;

// A stored ordinal of an enumeration of Count values; a number outside it (a store edited by hand or
// damaged) reads as Fallback, as a missing value would.
template <class E> E StoredOrdinal(int Value, int Count, E Fallback) {
    return Value >= 0 && Value < Count ? static_cast<E>(Value) : Fallback;
}
// A stored position, size or row: within what a window coordinate can be, so that no arithmetic on it
// (a window's far edge, a point made screen-relative) overflows.
inline int StoredCoordinate(int Value) {
    return Value < -32768 ? -32768 : Value > 32767 ? 32767 : Value;
}
// The set of the user's changes to a link holds four flags; other bits of the stored byte mean nothing.
inline uint32_t StoredUserDefineBits(int Value) {
    return static_cast<uint32_t>(Value) & 0xFu;
}

// The numbered entries a store holds ("Bar0", "MainForm.Bars.Bar2.ItemLink13"): for each text before
// the number, the last number there is. Readers ask for a stored count of entries only up to the last
// one there is, so that a count far beyond the store's content ends where the content does.
class NumberedNames {
public:
    explicit NumberedNames(const std::vector<std::string>& Names);
    // How many of Count entries Prefix + "0", Prefix + "1"... to look for; never more than Count,
    // never below 0.
    int Count(const std::string& Prefix, int Count) const;

private:
    std::unordered_map<std::string, int> last_; // upper-cased text before the number -> last number
};

// The bar's stored visibility, assigned as the stream assigns it (with the bars' loading flag set,
// which is put back however the assignment ends).
void SetStoredVisible(TdxBarManager* Manager, TdxBar* Bar, bool Visible);

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

// What a layout read changes is not the user's change: the manager's note of one stays as it was.
class LayoutReadScope {
public:
    explicit LayoutReadScope(TdxBarManager* Manager);
    ~LayoutReadScope();
    LayoutReadScope(const LayoutReadScope&) = delete;
    LayoutReadScope& operator=(const LayoutReadScope&) = delete;

private:
    TdxBarManager* manager_;
    bool changedByUser_;
};

} // namespace bars
