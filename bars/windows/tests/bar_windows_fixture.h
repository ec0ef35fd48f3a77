#pragma once
// A shown form with a flat-style manager whose toolbars are real windows, and the means to drive them
// with the pointer and the keyboard as a person would.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bars/core/bar_button.h"
#include "bars/core/bar_manager.h"
#include "bars/core/item_links.h"
#include "bars/core/toolbar.h"
#include "bars/core/toolbars.h"
#include "bars/windows/dock_control.h"
#include "bars/windows/item_control.h"
#include "bars/windows/toolbar_control.h"
#include "platform/stdctrls/edit.h"
#include "platform/vcl/form.h"
#include "tests/support/gui/pump.h"

namespace bars_windows_test {

using testsupport::Pump;

// An edit that counts the requests to let go of the mouse (CM_CANCELMODE).
class CancelCountingEdit : public TEdit {
public:
    using TEdit::TEdit;
    int cancels = 0;

protected:
    void WndProc(TMessage& Message) override {
        cancels += Message.Msg == CM_CANCELMODE;
        TEdit::WndProc(Message);
    }
};

class BarsForm : public TForm {
public:
    BarsForm() : TForm(nullptr) {}
    std::string ClassName() const override { return "TBarsWindowsTestForm"; }
};

class BarWindowsTest : public ::testing::Test {
protected:
    BarWindowsTest();
    ~BarWindowsTest() override;

    // A button with an OnClick that counts.
    TdxBarButton* Button(const std::string& caption);
    // A toolbar docked at the top (or with the style given) holding links to the items.
    TdxBar* Toolbar(const std::string& caption, std::initializer_list<TdxBarItem*> items,
                    TdxBarDockingStyle style = dsTop, int row = 0, int dockedLeft = 0);
    bars::TdxBarControl* Window(TdxBar* bar) const;
    bars::TdxBarItemControl* Control(TdxBarItem* item, TdxBar* bar) const;
    bars::TdxDockControl* Site(TdxBarDockingStyle style) const;
    // The centre of an item's control on the screen.
    POINT Centre(TdxBarItem* item, TdxBar* bar) const;
    void MoveTo(POINT p);
    void Press(POINT p);
    void Release(POINT p);
    int Clicks(TdxBarItem* item) const;
    // A thread timer that goes with the test, whether it passes or not: a callback that outlived its
    // test would reach into the next one's freed bars.
    UINT_PTR StartTimer(UINT Interval, TIMERPROC Callback);

    BarsForm form;
    TdxBarManager* manager = nullptr;
    std::map<const TdxBarItem*, int> clicks;
    std::vector<UINT_PTR> timers;
};

} // namespace bars_windows_test
