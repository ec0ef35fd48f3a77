#include <gtest/gtest.h>

#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/window.h"
#include "test_support.h"

using namespace commctrl_test;

TEST(Button, AutoCheckBoxTogglesByClickSpaceAndBmClickAndNotifiesEachTime) {
    Host host;
    HWND box = host.Add("BUTTON", "Check", BS_AUTOCHECKBOX | WS_TABSTOP, RECT{10, 10, 110, 30});
    EXPECT_EQ(Send(box, WM_GETDLGCODE), DLGC_BUTTON);
    Click(box, 5, 10);
    EXPECT_EQ(Send(box, BM_GETCHECK), static_cast<LRESULT>(BST_CHECKED));
    EXPECT_EQ(GetFocus(), box);
    Key(VK_SPACE);
    EXPECT_EQ(Send(box, BM_GETCHECK), static_cast<LRESULT>(BST_UNCHECKED));
    Send(box, BM_CLICK);
    EXPECT_EQ(Send(box, BM_GETCHECK), static_cast<LRESULT>(BST_CHECKED));
    EXPECT_EQ(host.Codes(box), (std::vector<UINT>{BN_CLICKED, BN_CLICKED, BN_CLICKED}));
    // A press released outside the button is no click.
    Drag(box, POINT{5, 10}, POINT{300, 200});
    EXPECT_EQ(Send(box, BM_GETCHECK), static_cast<LRESULT>(BST_CHECKED));
    EXPECT_EQ(host.Codes(box).size(), 3u);
    EXPECT_EQ(GetCapture(), nullptr);
    // BM_SETCHECK is silent; a plain check box keeps an indeterminate request as checked.
    Send(box, BM_SETCHECK, BST_INDETERMINATE);
    EXPECT_EQ(Send(box, BM_GETCHECK), static_cast<LRESULT>(BST_CHECKED));
    EXPECT_EQ(host.Codes(box).size(), 3u);
}

TEST(Button, ThreeStateCyclesAndManualCheckBoxOnlyNotifies) {
    Host host;
    HWND tri = host.Add("BUTTON", "Tri", BS_AUTO3STATE, RECT{10, 10, 110, 30});
    HWND manual = host.Add("BUTTON", "Manual", BS_CHECKBOX, RECT{10, 40, 110, 60});
    std::vector<LRESULT> states;
    for (int i = 0; i < 3; ++i) {
        Send(tri, BM_CLICK);
        states.push_back(Send(tri, BM_GETCHECK));
    }
    EXPECT_EQ(states, (std::vector<LRESULT>{1, 2, 0}));
    Click(manual, 5, 10);
    EXPECT_EQ(Send(manual, BM_GETCHECK), 0);
    EXPECT_EQ(host.Codes(manual), std::vector<UINT>{BN_CLICKED});
}

TEST(Button, AutoRadioButtonsUncheckTheirGroupOnly) {
    Host host;
    HWND a = host.Add("BUTTON", "A", BS_AUTORADIOBUTTON | WS_GROUP, RECT{10, 10, 110, 30}, 0, 1);
    HWND b = host.Add("BUTTON", "B", BS_AUTORADIOBUTTON, RECT{10, 40, 110, 60}, 0, 2);
    HWND c = host.Add("BUTTON", "C", BS_AUTORADIOBUTTON | WS_GROUP, RECT{10, 70, 110, 90}, 0, 3);
    HWND d = host.Add("BUTTON", "D", BS_AUTORADIOBUTTON, RECT{10, 100, 110, 120}, 0, 4);
    EXPECT_EQ(Send(a, WM_GETDLGCODE), DLGC_BUTTON | DLGC_RADIOBUTTON);
    Send(c, BM_CLICK);
    Click(a, 5, 10);
    EXPECT_EQ(Send(a, BM_GETCHECK), 1);
    Click(b, 5, 10);
    EXPECT_EQ(Send(a, BM_GETCHECK), 0);
    EXPECT_EQ(Send(b, BM_GETCHECK), 1);
    EXPECT_EQ(Send(c, BM_GETCHECK), 1);
    EXPECT_EQ(Send(d, BM_GETCHECK), 0);
    Send(d, BM_CLICK);
    EXPECT_EQ(Send(c, BM_GETCHECK), 0);
    EXPECT_EQ(Send(b, BM_GETCHECK), 1);
}

TEST(Button, PushButtonsReportTheirKindAndStateAndClickOnlyWhenEnabled) {
    Host host;
    HWND ok = host.Add("BUTTON", "OK", BS_DEFPUSHBUTTON, RECT{10, 10, 90, 35});
    HWND cancel = host.Add("BUTTON", "Cancel", BS_PUSHBUTTON, RECT{100, 10, 180, 35});
    EXPECT_EQ(Send(ok, WM_GETDLGCODE), DLGC_BUTTON | DLGC_DEFPUSHBUTTON);
    EXPECT_EQ(Send(cancel, WM_GETDLGCODE), DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON);
    Send(ok, BM_SETSTYLE, BS_PUSHBUTTON, TRUE_);
    EXPECT_EQ(Send(ok, WM_GETDLGCODE), DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON);
    Send(cancel, BM_SETSTATE, TRUE_);
    EXPECT_EQ(Send(cancel, BM_GETSTATE) & BST_PUSHED, BST_PUSHED);
    Send(cancel, BM_SETSTATE, FALSE_);
    EnableWindow(cancel, FALSE_);
    Send(cancel, BM_CLICK);
    Click(cancel, 10, 10);
    EXPECT_TRUE(host.Codes(cancel).empty());
    EnableWindow(cancel, TRUE_);
    Click(cancel, 10, 10);
    EXPECT_EQ(host.Codes(cancel), std::vector<UINT>{BN_CLICKED});
}
