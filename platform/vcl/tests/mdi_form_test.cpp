#include <gtest/gtest.h>

#include "platform/gui/window.h"
#include "platform/vcl/application.h"
#include "vcl_test_support.h"

using namespace vcl_test;

// An MDI main form's client window takes the room its aligned controls leave; MDI child forms go into
// it, the last one shown is the active one, and when it goes the one before it is active again.
TEST(MdiForms, ChildrenLiveInTheMainFormsClient) {
    TForm* main = nullptr;
    Application->CreateForm(main);
    main->SetFormStyle(fsMDIForm);
    main->SetBounds(20, 20, 500, 400);
    auto* strip = Place<TTestBox>(main, TRect{0, 0, 100, 40});
    strip->SetAlign(alTop);
    ShowAndPump(main);
    ASSERT_NE(main->ClientHandle(), nullptr);
    RECT area{0, 0, 0, 0};
    GetWindowRect(main->ClientHandle(), area);
    MapWindowPoints(nullptr, main->Handle(), area);
    EXPECT_EQ(area.top, 40);
    EXPECT_EQ(area.bottom, main->ClientHeight());

    auto* first = new TForm(Application);
    first->SetFormStyle(fsMDIChild);
    first->SetBounds(10, 10, 200, 150);
    ShowAndPump(first);
    auto* second = new TForm(Application);
    second->SetFormStyle(fsMDIChild);
    ShowAndPump(second);
    EXPECT_EQ(GetParent(first->Handle()), main->ClientHandle());
    EXPECT_EQ(main->ActiveMDIChild(), second);

    second->SetWindowState(wsMaximized);
    EXPECT_TRUE(IsZoomed(second->Handle()));
    delete second;
    Pump();
    EXPECT_EQ(main->ActiveMDIChild(), first);
    // The client stays in maximized mode: the child left comes maximized.
    EXPECT_TRUE(IsZoomed(first->Handle()));
    delete first;
    EXPECT_EQ(main->ActiveMDIChild(), nullptr);
    delete main;
}
