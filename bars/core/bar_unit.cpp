#include "bars/core/bar_unit.h"

#include <algorithm>
#include <memory>

#include "bars/core/bar_cursors.h"
#include "bars/core/bar_group.h"
#include "bars/core/bar_item.h"
#include "bars/core/bar_manager.h"
#include "bars/core/item_registry.h"
#include "bars/core/popup_menu.h"
#include "bars/core/window_services.h"
#include "platform/gdi/bitmaps.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/scoped.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/syscolors.h"
#include "platform/gui/paint.h"
#include "platform/rtl/component.h"

namespace {

struct UnitState {
    std::unique_ptr<TdxBarManagerList> managers = std::make_unique<TdxBarManagerList>();
    std::vector<TdxBarItem*> tempItems;
    std::vector<bars::BarControl*> barControls;
    TdxUser32Procs user32;
    HBRUSH patternBrush = nullptr;
    int screenBitsPerPixel = 32;
    bool readingDesignState = false;
};

// The library's state is the process's: the managers of every form, the bar windows of every manager
// and the brush they share, started once and counted down by ShutdownBarUnit.
int startCount = 0;
UnitState* state = nullptr;

int ReadScreenBits() {
    HDC screen = GetDC(nullptr);
    const int bits = GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(nullptr, screen);
    return bits > 0 ? bits : 32;
}

HBRUSH MakePatternBrush() {
    // Button-face pixels where x and y are both even or both odd, highlight pixels elsewhere.
    const pw::gdi::OwnedObject<HBITMAP> bitmap(CreateBitmap(8, 8, 1, 32, nullptr));
    {
        const pw::gdi::MemoryDC dc(nullptr, bitmap.Get());
        const COLORREF face = GetSysColor(COLOR_BTNFACE);
        const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                SetPixelV(dc.Get(), x, y, (x % 2) == (y % 2) ? face : light);
    }
    return CreatePatternBrush(bitmap.Get());
}

UnitState& Start() {
    if (state != nullptr) return *state;
    state = new UnitState;
    // Every entry point the window system offers here is there.
    state->user32.TrackMouseEvent = &::TrackMouseEvent;
    state->user32.UpdateLayeredWindow = &::UpdateLayeredWindow;
    state->user32.AnimateWindow = &::AnimateWindow;
    state->user32.SetLayeredWindowAttributes = &::SetLayeredWindowAttributes;
    state->screenBitsPerPixel = ReadScreenBits();
    state->patternBrush = MakePatternBrush();
    // The stream makes managers and popup menus of forms by their class names.
    RegisterComponentClass<TdxBarManager>("TdxBarManager");
    RegisterComponentClass<TdxBarPopupMenu>("TdxBarPopupMenu");
    RegisterComponentClass<TdxBarGroup>("TdxBarGroup");
    bars::RegisterStandardItemClasses();
    bars::LoadBarCursors();
    return *state;
}

void FinishBarUnit() {
    if (state == nullptr) return;
    // Managers still alive go first, while the lists, the registry and the brush they use still exist.
    state->managers->FreeManagers();
    state->managers.reset();
    for (TdxBarItem* item : std::vector<TdxBarItem*>(state->tempItems))
        delete item;
    state->tempItems.clear();
    state->barControls.clear();
    bars::UnregisterStandardItemClasses();
    bars::FreeBarCursors();
    UnRegisterClass("TdxBarGroup");
    UnRegisterClass("TdxBarPopupMenu");
    UnRegisterClass("TdxBarManager");
    if (state->patternBrush != nullptr) DeleteObject(state->patternBrush);
    delete state;
    state = nullptr;
}

} // namespace

TdxBarManagerList::~TdxBarManagerList() {
    FreeManagers();
}

void TdxBarManagerList::FreeManagers() {
    while (!list_.empty()) {
        TdxBarManager* manager = list_.back();
        delete manager;
        // A manager leaves the list as it goes; one that did not is not freed twice.
        if (!list_.empty() && list_.back() == manager) list_.pop_back();
    }
}

TdxBarManager* TdxBarManagerList::Items(int Index) const {
    if (Index < 0 || Index >= Count()) return nullptr;
    return list_[static_cast<size_t>(Index)];
}

TdxBarManager* TdxBarManagerList::GetCustomizingManager() const {
    for (TdxBarManager* manager : list_)
        if (manager->IsCustomizingOrDesigning()) return manager;
    return nullptr;
}

void TdxBarManagerList::Add(TdxBarManager* Manager) {
    list_.push_back(Manager);
    bars::Windows().ManagerAdded(Manager);
}

void TdxBarManagerList::Remove(TdxBarManager* Manager) {
    auto it = std::find(list_.begin(), list_.end(), Manager);
    if (it == list_.end()) return;
    list_.erase(it);
    bars::Windows().ManagerRemoved(Manager);
}

void StartBarUnit() {
    if (startCount++ == 0) Start();
}

void ShutdownBarUnit() {
    if (startCount > 0 && --startCount > 0) return;
    startCount = 0;
    FinishBarUnit();
}

bool BarUnitStarted() {
    return state != nullptr;
}

TdxBarManagerList& BarManagerList() {
    return *Start().managers;
}

std::vector<TdxBarItem*>& TempItems() {
    return Start().tempItems;
}

std::vector<bars::BarControl*>& BarControls() {
    return Start().barControls;
}

TdxUser32Procs& User32Procs() {
    return Start().user32;
}

HBRUSH PatternBrush() {
    return Start().patternBrush;
}

int ScreenBitsPerPixel() {
    return Start().screenBitsPerPixel;
}

void RefreshBarUnitColors() {
    UnitState& s = Start();
    s.screenBitsPerPixel = ReadScreenBits();
    if (s.patternBrush != nullptr) DeleteObject(s.patternBrush);
    s.patternBrush = MakePatternBrush();
}

bool FadeInactiveGlyphs() {
    return true;
}

namespace bars {

bool ReadingDesignState() {
    return Start().readingDesignState;
}

void SetReadingDesignState(bool Value) {
    Start().readingDesignState = Value;
}

} // namespace bars
