#include "bars/core/bar_views.h"

#include <map>

#include "bars/core/bar_manager.h"

namespace bars {

namespace {

struct Factories {
    BarControlFactory barControls = nullptr;
    DockControlFactory dockControls = nullptr;
    FloatingBarsUpdater floatingBars = nullptr;
    std::map<TdxBarManagerStyle, const Painter*> painters;
};

Factories& Registered() {
    static auto* factories = new Factories;
    return *factories;
}

} // namespace

int Painter::CalcButtonArrowWidth(const TdxBarManager* Manager) const {
    int width = Manager->ButtonArrowWidth();
    if (Manager->LargeIcons()) width *= 2;
    return width % 2 == 0 ? width + 1 : width;
}

void SetFloatingBarsUpdater(FloatingBarsUpdater Updater) {
    Registered().floatingBars = Updater;
}

FloatingBarsUpdater GetFloatingBarsUpdater() {
    return Registered().floatingBars;
}

void SetBarControlFactory(BarControlFactory Factory) {
    Registered().barControls = Factory;
}

BarControlFactory GetBarControlFactory() {
    return Registered().barControls;
}

void SetDockControlFactory(DockControlFactory Factory) {
    Registered().dockControls = Factory;
}

DockControlFactory GetDockControlFactory() {
    return Registered().dockControls;
}

void RegisterPainter(TdxBarManagerStyle Style, const Painter* Painter) {
    if (Painter == nullptr)
        Registered().painters.erase(Style);
    else
        Registered().painters[Style] = Painter;
}

const Painter* FindPainter(TdxBarManagerStyle Style) {
    auto& painters = Registered().painters;
    auto it = painters.find(Style);
    return it == painters.end() ? nullptr : it->second;
}

} // namespace bars
