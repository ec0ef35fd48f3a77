#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#include "bar_windows_fixture.h"
#include "bars/core/bar_unit.h"
#include "platform/gui/input.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/paint.h"
#include "platform/gui/window.h"
#include "platform/vcl/application.h"
#include "tests/support/gui/environment_steps.h"

namespace bars_windows_test {

namespace {

// The toolbar library and its window classes, started once the application runs.
[[maybe_unused]] const bool barsStarted = testsupport::AddEnvironmentStep(
    [] {
        StartBarUnit();
        bars::RegisterBarWindows();
    },
    [] { ShutdownBarUnit(); });

} // namespace

BarWindowsTest::BarWindowsTest() {
    pw::gui::ClearKeyState();
    form.SetBounds(50, 50, 600, 400);
    manager = new TdxBarManager(&form);
    manager->SetStyle(bmsFlat);
    form.Show();
    Pump();
}

BarWindowsTest::~BarWindowsTest() {
    // A test that stopped half way (a failed assertion) may have left a timer, the capture, a held
    // button or floating windows behind: none of them reaches the next test.
    for (UINT_PTR id : timers)
        KillTimer(nullptr, id);
    pw::gui::ClearKeyState();
    ReleaseCapture();
    for (int i = 0; manager != nullptr && i < manager->Bars()->Count(); ++i)
        if (TdxBar* bar = manager->Bars()->Items(i); bar->DockingStyle() == dsNone) bar->SetVisible(false);
    delete manager;
    Pump();
}

UINT_PTR BarWindowsTest::StartTimer(UINT Interval, TIMERPROC Callback) {
    const UINT_PTR id = SetTimer(nullptr, 0, Interval, Callback);
    if (id != 0) timers.push_back(id);
    return id;
}

TdxBarButton* BarWindowsTest::Button(const std::string& caption) {
    auto* button = new TdxBarButton(&form);
    button->SetCaption(caption);
    button->SetOnClick([this, button](TObject*) { ++clicks[button]; });
    return button;
}

TdxBar* BarWindowsTest::Toolbar(const std::string& caption, std::initializer_list<TdxBarItem*> items,
                                TdxBarDockingStyle style, int row, int dockedLeft) {
    TdxBar* bar = manager->Bars()->Add();
    bar->SetCaption(caption);
    for (TdxBarItem* item : items)
        bar->ItemLinks()->Add()->SetItem(item);
    bar->SetDockingStyle(style);
    bar->SetRow(row);
    bar->SetDockedLeft(dockedLeft);
    bar->SetVisible(true);
    Pump();
    return bar;
}

bars::TdxBarControl* BarWindowsTest::Window(TdxBar* bar) const {
    return dynamic_cast<bars::TdxBarControl*>(bar->Control());
}

bars::TdxBarItemControl* BarWindowsTest::Control(TdxBarItem* item, TdxBar* bar) const {
    for (int i = 0; i < bar->ItemLinks()->Count(); ++i)
        if (bar->ItemLinks()->Items(i)->Item() == item)
            return dynamic_cast<bars::TdxBarItemControl*>(bar->ItemLinks()->Items(i)->Control());
    return nullptr;
}

bars::TdxDockControl* BarWindowsTest::Site(TdxBarDockingStyle style) const {
    return dynamic_cast<bars::TdxDockControl*>(manager->Bars()->DockControls(style));
}

POINT BarWindowsTest::Centre(TdxBarItem* item, TdxBar* bar) const {
    const RECT r = Control(item, bar)->ScreenRect();
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void BarWindowsTest::MoveTo(POINT p) {
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, p);
    Pump();
}

void BarWindowsTest::Press(POINT p) {
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, p);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Down, p, pw::gui::MouseButton::Left);
    Pump();
}

void BarWindowsTest::Release(POINT p) {
    pw::gui::SimulateMouse(pw::gui::MouseAction::Up, p, pw::gui::MouseButton::Left);
    Pump();
}

int BarWindowsTest::Clicks(TdxBarItem* item) const {
    auto it = clicks.find(item);
    return it == clicks.end() ? 0 : it->second;
}

} // namespace bars_windows_test
