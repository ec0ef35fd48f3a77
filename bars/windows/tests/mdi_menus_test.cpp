// The main menu bar of an MDI frame: a maximized child's system menu first on it and the child's own
// menu merged after the frame's entries, taken away again as the child is restored, switched or goes.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "bar_windows_fixture.h"
#include "bars/core/bar_button.h"
#include "bars/core/bar_manager.h"
#include "bars/core/bar_routines.h"
#include "bars/core/bar_unit.h"
#include "bars/core/customizing_notify.h"
#include "bars/core/item_links.h"
#include "bars/core/sub_item.h"
#include "bars/core/system_menu_item.h"
#include "bars/core/toolbar.h"
#include "bars/core/toolbars.h"
#include "bars/windows/floating_bars.h"
#include "bars/windows/toolbar_control.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/syscolors.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/paint.h"
#include "platform/gui/window.h"
#include "platform/vcl/application.h"
#include "platform/vcl/form.h"
#include "tests/support/gui/pump.h"

namespace bars_windows_test {
namespace {

using testsupport::Pump;

TdxBar* MainMenu(TForm* Form, const std::string& Entry) {
    auto* manager = new TdxBarManager(Form);
    manager->SetStyle(bmsFlat);
    TdxBar* bar = manager->Bars()->Add();
    bar->SetIsMainMenu(true);
    auto* sub = new TdxBarSubItem(Form);
    sub->SetCaption(Entry);
    bar->ItemLinks()->Add()->SetItem(sub);
    bar->SetDockingStyle(dsTop);
    bar->SetVisible(true);
    return bar;
}

void ReleaseSoon(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    POINT p{0, 0};
    GetCursorPos(p);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Up, p, pw::gui::MouseButton::Left);
}

class MdiMenusTest : public ::testing::Test {
protected:
    MdiMenusTest() {
        Application->CreateForm(frame);
        frame->SetFormStyle(fsMDIForm);
        frame->SetBounds(40, 40, 640, 480);
        menu = MainMenu(frame, "&File");
        frame->Show();
        Pump();
    }
    ~MdiMenusTest() override {
        delete frame;
        Pump();
    }
    TForm* Child(const std::string& Entry, TdxBar*& ChildMenu) {
        auto* child = new TForm(frame);
        child->SetFormStyle(fsMDIChild);
        child->SetBounds(10, 10, 300, 200);
        ChildMenu = MainMenu(child, Entry);
        child->Show();
        Pump();
        return child;
    }
    std::vector<std::string> Entries() const {
        std::vector<std::string> entries;
        for (int i = 0; i < menu->ItemLinks()->Count(); ++i) {
            TdxBarItem* item = menu->ItemLinks()->Items(i)->Item();
            entries.push_back(dynamic_cast<TSystemMenuSubItem*>(item) != nullptr ? "(system)"
                                                                                 : item->Caption());
        }
        return entries;
    }
    RECT ClientPlace() const {
        RECT r{0, 0, 0, 0};
        GetWindowRect(frame->ClientHandle(), r);
        return r;
    }

    bars::TdxBarControl* MenuWindow() const { return dynamic_cast<bars::TdxBarControl*>(menu->Control()); }
    // A click on a caption button: its press holds the mouse in a loop of its own until the release.
    void ClickButton(int Index) {
        const RECT r = MenuWindow()->MDIButtonRect(Index);
        POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        ClientToScreen(MenuWindow()->Handle(), p);
        pw::gui::SimulateMouse(pw::gui::MouseAction::Move, p);
        SetTimer(nullptr, 0, 10, &ReleaseSoon);
        pw::gui::SimulateMouse(pw::gui::MouseAction::Down, p, pw::gui::MouseButton::Left);
        Pump();
    }

    TForm* frame = nullptr;
    TdxBar* menu = nullptr;
};

TEST_F(MdiMenusTest, AMaximizedChildsMenusJoinTheFramesMainMenu) {
    TdxBar* editMenu = nullptr;
    TdxBar* viewMenu = nullptr;
    TForm* edit = Child("&Edit", editMenu);
    TForm* view = Child("&View", viewMenu);
    using Names = std::vector<std::string>;
    EXPECT_EQ(Entries(), Names{"&File"});
    const RECT place = ClientPlace();

    view->SetWindowState(wsMaximized);
    Pump();
    EXPECT_EQ(Entries(), (Names{"(system)", "&File", "&View"}));
    EXPECT_FALSE(viewMenu->Visible());
    EXPECT_TRUE(EqualRect(ClientPlace(), place));
    auto* system = dynamic_cast<TSystemMenuSubItem*>(menu->ItemLinks()->Items(0)->Item());
    ASSERT_NE(system, nullptr);
    EXPECT_EQ(system->Window(), view->Handle());

    // Another child activated comes maximized: its menus stand in for the first one's.
    SendMessage(frame->ClientHandle(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(edit->Handle()), 0);
    Pump();
    EXPECT_EQ(Entries(), (Names{"(system)", "&File", "&Edit"}));
    EXPECT_TRUE(viewMenu->Visible());
    EXPECT_FALSE(editMenu->Visible());

    edit->SetWindowState(wsNormal);
    Pump();
    EXPECT_EQ(Entries(), Names{"&File"});
    EXPECT_TRUE(editMenu->Visible());

    // With AlwaysMerge the active child's menu is merged whatever its state; a child that goes takes
    // its entries along.
    TdxBarManager* manager = menu->BarManager();
    manager->SetAlwaysMerge(true);
    SendMessage(frame->ClientHandle(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(view->Handle()), 0);
    Pump();
    EXPECT_EQ(Entries(), (Names{"&File", "&View"}));
    delete view;
    Pump();
    EXPECT_EQ(Entries(), (Names{"&File", "&Edit"}));
}

// Showing or hiding a child's own menu bar puts the frame's client back where it was, the frame
// forgetting its client meanwhile so that no alignment of its own moves it; it knows it again after.
TEST_F(MdiMenusTest, TheClientIsPutBackWhileTheFrameForgetsIt) {
    TdxBar* viewMenu = nullptr;
    TForm* view = Child("&View", viewMenu);
    static TForm* watched = nullptr;
    static HWND client = nullptr;
    static std::vector<HWND> known;
    static HHOOK hook = nullptr;
    watched = frame;
    client = frame->ClientHandle();
    known.clear();
    hook = SetWindowsHookEx(
        WH_CALLWNDPROC,
        [](int code, WPARAM w, LPARAM l) -> LRESULT {
            const auto* call = reinterpret_cast<const CWPSTRUCT*>(l);
            if (code >= 0 && call->hwnd == client && call->message == WM_WINDOWPOSCHANGING)
                known.push_back(watched->ClientHandle());
            return CallNextHookEx(hook, code, w, l);
        },
        nullptr, GetCurrentThreadId());
    const RECT place = ClientPlace();
    view->SetWindowState(wsMaximized);
    Pump();
    EXPECT_FALSE(viewMenu->Visible());
    view->SetWindowState(wsNormal);
    Pump();
    UnhookWindowsHookEx(hook);
    EXPECT_TRUE(viewMenu->Visible());
    EXPECT_NE(std::find(known.begin(), known.end(), nullptr), known.end());
    EXPECT_EQ(frame->ClientHandle(), client);
    const RECT after = ClientPlace();
    EXPECT_EQ(after.top, place.top);
    EXPECT_EQ(after.bottom, place.bottom);
}

// A maximized child's minimize, restore and close buttons stand at the end of the frame's main menu
// bar and send their commands to the child; without one the manager's lone close button shows.
TEST_F(MdiMenusTest, CaptionButtonsOfTheMaximizedChild) {
    TdxBar* childMenu = nullptr;
    TForm* child = Child("&Edit", childMenu);
    child->SetBorderIcons(TBorderIcons{biSystemMenu, biMaximize});
    child->SetWindowState(wsMaximized);
    Pump();
    bars::TdxBarControl* window = MenuWindow();
    ASSERT_EQ(window->MDIButtonCount(), 3);
    EXPECT_FALSE(window->MDIButtonEnabled(0)); // no minimize box
    EXPECT_TRUE(window->MDIButtonEnabled(1) && window->MDIButtonEnabled(2));
    const RECT close = window->MDIButtonRect(2), entry = menu->ItemLinks()->Items(2)->ItemRect();
    EXPECT_EQ(close.right, window->ClientRect().right - (window->IsMarkVisible() ? bars::MarkSize : 0));
    EXPECT_GE(window->MDIButtonRect(0).left, entry.right);
    // The flat style draws the close glyph in the button's middle.
    HDC dc = GetDC(window->Handle());
    EXPECT_EQ(GetPixel(dc, (close.left + close.right) / 2, (close.top + close.bottom) / 2), RGB(0, 0, 0));
    ReleaseDC(window->Handle(), dc);

    ClickButton(1);
    EXPECT_FALSE(IsZoomed(child->Handle()));
    EXPECT_EQ(Entries(), std::vector<std::string>{"&File"});
    EXPECT_EQ(MenuWindow()->MDIButtonCount(), 0);

    int closeClicks = 0;
    menu->BarManager()->OnCloseButtonClick = [&](TObject*) { ++closeClicks; };
    menu->BarManager()->SetShowCloseButton(true);
    Pump();
    ASSERT_EQ(MenuWindow()->MDIButtonCount(), 1);
    ClickButton(0);
    EXPECT_EQ(closeClicks, 1);

    child->OnClose = [](TObject*, TCloseAction& action) { action = caFree; };
    child->SetWindowState(wsMaximized);
    Pump();
    ASSERT_EQ(MenuWindow()->MDIButtonCount(), 3);
    ClickButton(2); // quickly after the last click, on the same spot
    Pump();
    EXPECT_EQ(frame->ActiveMDIChild(), nullptr);
    EXPECT_EQ(Entries(), std::vector<std::string>{"&File"});
    EXPECT_EQ(MenuWindow()->MDIButtonCount(), 1);
}

// The active child's keys reach the frame's menu bar and its own shortcuts, and its menus and floating
// bars follow the frame's activation; the frame's bars hot-track while any window of the program is.
TEST_F(MdiMenusTest, TheActiveChildWorksThroughTheFrame) {
    TdxBar* childMenu = nullptr;
    TForm* child = Child("&Edit", childMenu);
    auto* print = new TdxBarButton(child);
    print->SetShortCut(VK_F2);
    int prints = 0;
    print->SetOnClick([&](TObject*) { ++prints; });
    childMenu->ItemLinks()->Add()->SetItem(print);
    childMenu->SetDockingStyle(dsNone);
    EXPECT_TRUE(IsWindowVisible(childMenu->Control()->Handle())); // the active child's, in the active frame
    // The child's focused control lets go of the mouse when the frame's menu bar takes the keyboard.
    auto* edit = new CancelCountingEdit(child);
    edit->SetParent(child);
    edit->SetFocus();
    for (BYTE key : {VK_MENU, VK_ESCAPE, VK_F2}) {
        pw::gui::SimulateKeyStroke(key);
        Pump();
        EXPECT_EQ(MenuWindow()->InKeyboardMode(), key == VK_MENU);
    }
    EXPECT_EQ(prints, 1);
    EXPECT_EQ(edit->cancels, 1);

    dynamic_cast<bars::TdxBarControl*>(childMenu->Control())->EnterKeyboardMode(nullptr);
    bars::UpdateFloatingBars(menu->BarManager(), false, false, nullptr);
    EXPECT_EQ(GetActiveBarControl(), nullptr);
    for (WPARAM state : {WA_INACTIVE, WA_ACTIVE}) {
        SendMessage(frame->Handle(), WM_ACTIVATE, state, 0);
        EXPECT_EQ(IsWindowVisible(childMenu->Control()->Handle()) != 0, state == WA_ACTIVE);
    }

    WNDCLASS wc;
    wc.lpfnWndProc = &DefWindowProc;
    wc.lpszClassName = "MdiMenusTestOther";
    RegisterClass(wc);
    HWND other = CreateWindowEx(0, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0, 9, 9, nullptr, nullptr,
                                nullptr, nullptr);
    SetActiveWindow(other);
    EXPECT_FALSE(MenuWindow()->IsMouseStill(POINT{3, 3}));
    DestroyWindow(other);
}

// While the customizing window disables the forms, the window system reports the mouse over the
// customized MDI child as an error hit on the frame: the hooks hand it to the child's bar under it.
TEST_F(MdiMenusTest, WhileCustomizingTheFramesReportOverTheChildReachesItsBar) {
    TdxBar* childMenu = nullptr;
    TForm* child = Child("&Edit", childMenu);
    // A window stands for the customizing window; the test's hook is the one the bars' hook follows.
    static HWND customizing = nullptr;
    static HHOOK first = nullptr;
    WNDCLASS wc;
    wc.lpfnWndProc = &DefWindowProc;
    wc.lpszClassName = "MdiMenusTestCustomizing";
    RegisterClass(wc);
    customizing = CreateWindowEx(0, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0, 9, 9, nullptr, nullptr,
                                 nullptr, nullptr);
    struct CustomizingWindow : bars::CustomizingReceiver {
        HWND FormWindow() const override { return customizing; }
    };
    const CustomizingWindow receiver;
    bars::SetCustomizingReceiver(&receiver);
    first = SetWindowsHookEx(
        WH_MOUSE, [](int C, WPARAM W, LPARAM L) { return CallNextHookEx(first, C, W, L); }, nullptr,
        GetCurrentThreadId());
    auto overFrame = [this](UINT Msg, POINT Screen) {
        MOUSEHOOKSTRUCT info{Screen, frame->Handle(), static_cast<UINT>(HTCLIENT), 0};
        return CallNextHookEx(first, HC_ACTION, Msg, reinterpret_cast<LPARAM>(&info));
    };
    const RECT r = childMenu->ItemLinks()->Items(0)->Control()->ScreenRect();
    const POINT entry{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    EXPECT_EQ(overFrame(WM_LBUTTONDOWN, entry), 0) << "nothing is redirected while nobody customizes";
    childMenu->BarManager()->SetIsCustomizing(true);
    EXPECT_EQ(overFrame(WM_LBUTTONDOWN, entry), 1);
    EXPECT_EQ(overFrame(WM_LBUTTONUP, entry), 1);
    EXPECT_EQ(childMenu->BarManager()->SelectedItem(), childMenu->ItemLinks()->Items(0)->Control());
    POINT below{5, 150}; // beside the bar nothing takes it
    ClientToScreen(child->Handle(), below);
    EXPECT_EQ(overFrame(WM_LBUTTONDOWN, below), 0);
    childMenu->BarManager()->SetIsCustomizing(false);
    UnhookWindowsHookEx(first);
    bars::SetCustomizingReceiver(nullptr);
    DestroyWindow(customizing);
}

// Only the frame is a top-level window: its children's managers hear of a colour change through it.
TEST_F(MdiMenusTest, TheFramesColourChangeReachesItsChildrensBars) {
    TdxBar* childMenu = nullptr;
    Child("&Edit", childMenu);
    const int index = COLOR_BTNSHADOW;
    const COLORREF old = GetSysColor(index), changed = RGB(200, 100, 50);
    SetSysColors(1, &index, &changed);
    SendMessage(frame->Handle(), WM_SYSCOLORCHANGE, 0, 0);
    LOGBRUSH shadow{};
    GetObject(childMenu->BarManager()->FlatBrush(0), sizeof(shadow), &shadow);
    SetSysColors(1, &index, &old);
    SendMessage(frame->Handle(), WM_SYSCOLORCHANGE, 0, 0);
    EXPECT_EQ(shadow.lbColor, RGB(160, 80, 40)); // the flat shadow is the system's at 80 %
}

} // namespace
} // namespace bars_windows_test
