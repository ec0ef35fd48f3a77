#include "lookandfeel/themes.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {

constexpr int kTypeCount = totWindow + 1;

const char* const kClassNames[kTypeCount] = {
    "BUTTON",   "CLOCK",    "COMBOBOX", "EDIT",      "EXPLORERBAR", "HEADER",     "LISTVIEW", "MENU",
    "PAGE",     "PROGRESS", "REBAR",    "SCROLLBAR", "SPIN",        "STARTPANEL", "STATUS",   "TAB",
    "TASKBAND", "TASKBAR",  "TOOLBAR",  "TOOLTIP",   "TRACKBAR",    "TRAYNOTIFY", "TREEVIEW", "WINDOW"};

struct ThemeCache {
    std::array<HTHEME, kTypeCount> handles{};
    std::array<bool, kTypeCount> opened{};
    std::vector<TdxThemeChangedNotificator*> notificators;
};

// Lives for the whole run; notificators that outlive static destruction still find it.
ThemeCache& Cache() {
    static auto* cache = new ThemeCache;
    return *cache;
}

void CloseCache() {
    ThemeCache& cache = Cache();
    for (int i = 0; i < kTypeCount; ++i) {
        if (cache.handles[i] != nullptr) CloseThemeData(cache.handles[i]);
        cache.handles[i] = nullptr;
        cache.opened[i] = false;
    }
}

} // namespace

HTHEME OpenTheme(TdxThemeObjectType ThemeObject) {
    ThemeCache& cache = Cache();
    const int i = static_cast<int>(ThemeObject);
    if (i < 0 || i >= kTypeCount) return nullptr;
    if (!cache.opened[i]) {
        cache.opened[i] = true;
        if (IsThemeActive()) cache.handles[i] = OpenThemeData(nullptr, kClassNames[i]);
    }
    return cache.handles[i];
}

bool AreVisualStylesAvailable(TdxThemeObjectTypes Types) {
    if (!IsThemeActive()) return false;
    for (int i = 0; i < kTypeCount; ++i)
        if (Types.Contains(static_cast<TdxThemeObjectType>(i)) &&
            OpenTheme(static_cast<TdxThemeObjectType>(i)) == nullptr)
            return false;
    return true;
}

TdxThemeChangedNotificator::TdxThemeChangedNotificator() {
    Cache().notificators.push_back(this);
}

TdxThemeChangedNotificator::~TdxThemeChangedNotificator() {
    auto& list = Cache().notificators;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

void NotifyThemeChanged() {
    CloseCache();
    // A notificator may free another, or itself, while it is told.
    const std::vector<TdxThemeChangedNotificator*> snapshot = Cache().notificators;
    for (TdxThemeChangedNotificator* notificator : snapshot) {
        const auto& live = Cache().notificators;
        if (std::find(live.begin(), live.end(), notificator) == live.end()) continue;
        if (notificator->OnThemeChanged) notificator->OnThemeChanged(notificator);
    }
}
