// The customizing window as a window: its frame and class, its activation passed on to the customized
// form, and its command list answering the window system (erasing, activation, dragging commands off).
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "bars/core/bar_button.h"
#include "bars/core/bar_manager.h"
#include "bars/core/bar_routines.h"
#include "bars/core/categories.h"
#include "bars/core/item_links.h"
#include "bars/core/toolbar.h"
#include "bars/core/toolbars.h"
#include "bars/customizing/commands_list.h"
#include "bars/customizing/customizing_form.h"
#include "bars/customizing/item_drag.h"
#include "bars/windows/dock_control.h"
#include "bars/windows/item_control.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/scoped.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/syscolors.h"
#include "platform/graphics/graphics_types.h"
#include "platform/gui/input.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/paint.h"
#include "platform/gui/window.h"
#include "platform/stdctrls/buttons.h"
#include "platform/stdctrls/label.h"
#include "platform/stdctrls/page_control.h"
#include "platform/vcl/form.h"
#include "tests/support/gui/pump.h"

using namespace bars;
using testsupport::Pump;

namespace {

// Counts the activations it is told of, its own and those passed on to it.
class CustomizedForm : public TForm {
public:
    CustomizedForm() : TForm(nullptr) {}
    std::string ClassName() const override { return "TCustomizedTestForm"; }
    std::vector<HWND> activatedFrom;

protected:
    void WndProc(TMessage& Message) override {
        if (Message.Msg == WM_ACTIVATE) {
            const TWMActivate activate(Message);
            if (activate.Active() != WA_INACTIVE) activatedFrom.push_back(activate.Other());
        }
        TForm::WndProc(Message);
    }
};

// The WM_ACTIVATE messages window procedures get (nested ones too) while a window is activated as the
// desktop activates what is clicked.
struct Activation {
    HWND window;
    bool active;
    HWND other;
};
std::vector<Activation> activations;
HHOOK activationHook = nullptr;

LRESULT RecordActivation(int Code, WPARAM WParam, LPARAM LParam) {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(LParam);
    if (Code >= 0 && call->message == WM_ACTIVATE)
        activations.push_back(
            {call->hwnd, LOWORD(call->wParam) != WA_INACTIVE, reinterpret_cast<HWND>(call->lParam)});
    return CallNextHookEx(activationHook, Code, WParam, LParam);
}

std::vector<Activation> ActivationsOf(HWND Clicked) {
    activations.clear();
    activationHook = SetWindowsHookEx(WH_CALLWNDPROC, &RecordActivation, nullptr, GetCurrentThreadId());
    pw::gui::InjectActivation(Clicked, true);
    Pump();
    UnhookWindowsHookEx(activationHook);
    return activations;
}

// Activations of Window from Other (from any window when Other is null and Any is set).
int Activations(const std::vector<Activation>& Seen, HWND Window, HWND Other, bool Any = false) {
    int n = 0;
    for (const Activation& a : Seen)
        n += a.window == Window && a.active && (Any || a.other == Other);
    return n;
}

class OtherForm : public TForm {
public:
    OtherForm() : TForm(nullptr) {}
    std::string ClassName() const override { return "TOtherTestForm"; }
};

class CustomizingWindowTest : public ::testing::Test {
protected:
    CustomizingWindowTest() {
        RegisterBarWindows();
        InstallCustomizingForm();
        form.SetBounds(60, 60, 500, 300);
        manager = new TdxBarManager(&form);
        manager->SetStyle(bmsFlat);
        manager->Categories()->Add("File");
        for (const char* caption : {"Open", "Save", "Print"}) {
            auto* button = new TdxBarButton(&form);
            button->SetCaption(caption);
            button->SetDescription(std::string("Does ") + caption);
            button->SetCategory(0);
            commands.push_back(button);
        }
        bar = manager->Bars()->Add();
        bar->SetCaption("Main");
        bar->ItemLinks()->Add()->SetItem(commands[0]);
        bar->SetDockingStyle(dsTop);
        bar->SetVisible(true);
        form.Show();
        Pump();
        manager->SetIsCustomizing(true);
        window = GetCustomizingForm();
        Pump();
    }
    ~CustomizingWindowTest() override {
        ReleaseCapture();
        pw::gui::ClearKeyState();
        manager->SetIsCustomizing(false);
        delete manager;
        Pump();
    }
    TCommandsListBox* List() const { return window->CommandsListBox; }
    POINT RowPoint(int Row, int Dx = 30) const {
        const TRect r = List()->ItemRect(Row);
        POINT p{r.left + Dx, (r.top + r.bottom) / 2};
        ClientToScreen(List()->Handle(), p);
        return p;
    }
    void ShowCommands() {
        window->PageControl->SetActivePage(window->TabSheet2);
        window->PageControlChange();
        Pump();
    }
    // Runs the steps one per timer tick, the modal loops of a press and a drag turning meanwhile.
    void Play(std::vector<std::function<void()>> play) {
        static std::vector<std::function<void()>> steps;
        static size_t next = 0;
        steps = std::move(play);
        next = 0;
        const UINT_PTR timer = SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR, DWORD) {
            if (next < steps.size()) steps[next++]();
        });
        MSG msg;
        while (next < steps.size() || PeekMessage(msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (GetMessage(msg, nullptr, 0, 0) <= 0) break;
            TranslateMessage(msg);
            DispatchMessage(msg);
        }
        KillTimer(nullptr, timer);
        Pump();
    }
    static std::function<void()> Mouse(pw::gui::MouseAction Action, POINT At) {
        return [Action, At] { pw::gui::SimulateMouse(Action, At, pw::gui::MouseButton::Left); };
    }

    CustomizedForm form;
    TdxBarManager* manager = nullptr;
    std::vector<TdxBarButton*> commands;
    TdxBar* bar = nullptr;
    TdxBarCustomizingForm* window = nullptr;
};

} // namespace

// A dialog frame above the customized form, of a class that keeps the screen under it and its own DC.
TEST_F(CustomizingWindowTest, TheWindowIsADialogOwnedByTheFormWithItsOwnClass) {
    ASSERT_NE(window, nullptr);
    const HWND handle = window->Handle();
    EXPECT_EQ(GetClassLong(handle, GCL_STYLE) & (CS_SAVEBITS | CS_OWNDC), CS_SAVEBITS | CS_OWNDC);
    const DWORD style = GetWindowLong(handle, GWL_STYLE), exStyle = GetWindowLong(handle, GWL_EXSTYLE);
    for (DWORD bit : {WS_POPUP, WS_CLIPSIBLINGS, WS_CAPTION, WS_SYSMENU})
        EXPECT_EQ(style & bit, bit) << std::hex << bit;
    EXPECT_EQ(style & WS_THICKFRAME, 0u);
    EXPECT_EQ(exStyle & (WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE), WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE);
    EXPECT_EQ(GetWindow(handle, GW_OWNER), form.Handle());
}

// The customized form hears the window's activation when another window gave it up, so it keeps its
// active caption; an activation that comes from the form itself is not echoed back to it. The keyboard
// stays with the customizing window.
TEST_F(CustomizingWindowTest, ActivationIsPassedOnToTheCustomizedForm) {
    OtherForm other;
    other.SetBounds(700, 100, 200, 100);
    other.Show();
    Pump();
    SetActiveWindow(other.Handle());
    Pump();
    form.activatedFrom.clear();
    SetActiveWindow(window->Handle());
    Pump();
    ASSERT_EQ(form.activatedFrom.size(), 1u);
    EXPECT_EQ(form.activatedFrom[0], other.Handle());
    EXPECT_EQ(GetActiveWindow(), window->Handle());
    HWND focus = GetFocus();
    while (focus != nullptr && focus != window->Handle())
        focus = GetParent(focus);
    EXPECT_EQ(focus, window->Handle());

    // From the customized form: nothing passed back.
    form.activatedFrom.clear();
    TMessage message{WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(form.Handle()), 0};
    window->WndProc(message);
    EXPECT_TRUE(form.activatedFrom.empty());
}

// The customized form is disabled, yet the desktop activates it when it is clicked: it passes the
// activation on to the customizing window, once, which keeps the activation and the keyboard. The
// message the window passes back goes no further: nothing bounces between the two.
TEST_F(CustomizingWindowTest, TheDisabledFormActivatedPassesItOnToTheCustomizingWindowOnce) {
    const HWND customizing = window->Handle();
    SetActiveWindow(customizing);
    Pump();
    ASSERT_FALSE(IsWindowEnabled(form.Handle()));
    const std::vector<Activation> seen = ActivationsOf(form.Handle());
    // Passed on as the form got it (from the customizing window); the window's own activation, as it
    // takes it back, comes from the form. The form hears its own and the one passed back to it.
    EXPECT_EQ(Activations(seen, customizing, customizing), 1);
    EXPECT_EQ(Activations(seen, customizing, form.Handle()), 1);
    EXPECT_EQ(Activations(seen, form.Handle(), customizing), 2);
    EXPECT_LE(seen.size(), 6u);
    EXPECT_EQ(GetActiveWindow(), customizing);
    HWND focus = GetFocus();
    while (focus != nullptr && focus != customizing)
        focus = GetParent(focus);
    EXPECT_EQ(focus, customizing);
    // The window works on.
    window->PageControl->SetActivePage(window->TabSheet2);
    window->PageControlChange();
    window->LCategories->SetFocus();
    window->LCategories->SetItemIndex(0);
    window->LCategoriesClick();
    EXPECT_EQ(List()->Items().Count(), 3);
}

// Not passed on: the activation of a form the user enabled again, that of another manager's form, and
// any while the customizing window is hidden with its form.
TEST_F(CustomizingWindowTest, OnlyTheActivationOfTheDisabledCustomizedFormIsPassedOn) {
    const HWND customizing = window->Handle();
    auto passedOn = [&](HWND Clicked) {
        SetActiveWindow(customizing);
        Pump();
        const int n = Activations(ActivationsOf(Clicked), customizing, nullptr, true);
        EXPECT_EQ(GetActiveWindow(), n > 0 ? customizing : Clicked);
        return n > 0;
    };
    EnableWindow(form.Handle(), TRUE_);
    EXPECT_FALSE(passedOn(form.Handle()));
    EnableWindow(form.Handle(), FALSE_);
    OtherForm other;
    other.SetBounds(700, 100, 200, 100);
    auto* otherManager = new TdxBarManager(&other);
    other.Show();
    Pump();
    EnableWindow(other.Handle(), FALSE_);
    EXPECT_FALSE(passedOn(other.Handle()));
    delete otherManager;
    SetActiveWindow(customizing);
    ShowWindow(customizing, SW_HIDE);
    EXPECT_EQ(Activations(ActivationsOf(form.Handle()), customizing, nullptr, true), 0);
    ShowWindow(customizing, SW_SHOW);
    EXPECT_TRUE(passedOn(form.Handle()));
}

// A dialog of the customizing window's own (a new toolbar's name) disables it as well: the form's
// activation is not passed on to the disabled window but goes to the dialog, which keeps it.
TEST_F(CustomizingWindowTest, WhileItsDialogShowsTheFormsActivationGoesToTheDialog) {
    OtherForm dialog;
    dialog.SetParentWindow(form.Handle());
    dialog.SetBounds(200, 150, 200, 100);
    dialog.Show();
    Pump();
    ASSERT_EQ(GetWindow(dialog.Handle(), GW_OWNER), form.Handle());
    EnableWindow(window->Handle(), FALSE_);
    const std::vector<Activation> seen = ActivationsOf(form.Handle());
    EXPECT_EQ(Activations(seen, window->Handle(), nullptr, true), 0);
    EXPECT_EQ(Activations(seen, dialog.Handle(), form.Handle()), 1);
    EXPECT_EQ(GetActiveWindow(), dialog.Handle());
    EnableWindow(window->Handle(), TRUE_);
}

// Coming back to the window (or to a page) refreshes the Toolbars page's buttons.
TEST_F(CustomizingWindowTest, TheToolbarsPageIsRefreshedWhenItIsShown) {
    window->BBarRename->SetEnabled(false);
    SendMessage(window->Handle(), WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_TRUE(window->BBarRename->Enabled()); // the bar chosen was made in code, not read with the form
}

// The list erases only below its rows, in its own colour, and says it erased; a press that activates
// the window chooses the row under it.
TEST_F(CustomizingWindowTest, TheCommandListErasesBelowItsRowsAndActivationChoosesTheRow) {
    ShowCommands();
    ASSERT_EQ(List()->Items().Count(), 3);
    const RECT client = List()->ClientRect();
    const HDC screen = GetDC(nullptr);
    const pw::gdi::MemoryDC memory(screen, client.right, client.bottom);
    ReleaseDC(nullptr, screen);
    const COLORREF marker = RGB(1, 2, 3);
    {
        const pw::gdi::OwnedObject<HBRUSH> brush(CreateSolidBrush(marker));
        FillRect(memory.Get(), &client, brush.Get());
    }
    EXPECT_EQ(SendMessage(List()->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory.Get()), 0), 1);
    EXPECT_EQ(GetPixel(memory.Get(), 10, 5), marker);
    EXPECT_EQ(GetPixel(memory.Get(), 10, 3 * 22 - 1), marker);
    EXPECT_EQ(GetPixel(memory.Get(), 10, 3 * 22 + 1), ColorToRGB(List()->Color()));

    List()->SetItemIndex(0);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, RowPoint(2));
    Pump();
    SendMessage(List()->Handle(), WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(window->Handle()),
                MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
    EXPECT_EQ(List()->ItemIndex(), 2);
}

// A command pulled from its row past the system's drag distance is dragged onto the toolbar, whether
// the row was chosen before or is chosen by the press; a press released where it began only chooses it.
TEST_F(CustomizingWindowTest, ACommandPulledFromItsRowIsDroppedOnTheToolbar) {
    ShowCommands();
    List()->SetItemIndex(2);
    Pump();
    const POINT row = RowPoint(2);
    Play({Mouse(pw::gui::MouseAction::Move, row), Mouse(pw::gui::MouseAction::Down, row),
          Mouse(pw::gui::MouseAction::Move, POINT{row.x + 1, row.y}),
          Mouse(pw::gui::MouseAction::Up, POINT{row.x + 1, row.y})});
    EXPECT_EQ(bar->ItemLinks()->Count(), 1);

    const RECT open = bar->ItemLinks()->Items(0)->Control()->ScreenRect();
    const POINT drop{open.right - 2, (open.top + open.bottom) / 2};
    Play({Mouse(pw::gui::MouseAction::Move, row), Mouse(pw::gui::MouseAction::Down, row),
          Mouse(pw::gui::MouseAction::Move, POINT{row.x + 1, row.y}),
          Mouse(pw::gui::MouseAction::Move, POINT{row.x + 10, row.y}),
          Mouse(pw::gui::MouseAction::Move, drop), Mouse(pw::gui::MouseAction::Up, drop)});
    ASSERT_EQ(bar->ItemLinks()->Count(), 2);
    EXPECT_EQ(bar->ItemLinks()->Items(1)->Item(), commands[2]);
    EXPECT_FALSE(manager->DraggingItem());

    const POINT other = RowPoint(1);
    Play({Mouse(pw::gui::MouseAction::Move, other), Mouse(pw::gui::MouseAction::Down, other),
          Mouse(pw::gui::MouseAction::Move, POINT{other.x + 10, other.y}),
          Mouse(pw::gui::MouseAction::Move, drop), Mouse(pw::gui::MouseAction::Up, drop)});
    EXPECT_EQ(List()->ItemIndex(), 1);
    ASSERT_EQ(bar->ItemLinks()->Count(), 3);
    EXPECT_EQ(bar->ItemLinks()->Items(1)->Item(), commands[1]);
}

// Where the window lies in front of a floating toolbar, a command dropped there lands on the toolbar; a
// docked toolbar behind the window takes nothing there.
TEST_F(CustomizingWindowTest, AFloatingToolbarBehindTheWindowTakesACommandDroppedThere) {
    ShowCommands();
    TdxBar* floating = manager->Bars()->Add();
    floating->SetCaption("Floating");
    floating->ItemLinks()->Add()->SetItem(commands[1]);
    floating->SetDockingStyle(dsNone);
    floating->SetFloatLeft(window->Left() - 10);
    floating->SetFloatTop(window->Top() + 40);
    floating->SetVisible(true);
    SetWindowPos(window->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Pump();
    const auto dragTo = [&](POINT Drop) {
        ASSERT_EQ(GetAncestor(FindWindowAtPoint(Drop), GA_ROOT), window->Handle());
        const POINT row = RowPoint(2);
        Play({Mouse(pw::gui::MouseAction::Move, row), Mouse(pw::gui::MouseAction::Down, row),
              Mouse(pw::gui::MouseAction::Move, POINT{row.x + 10, row.y}),
              Mouse(pw::gui::MouseAction::Move, Drop), Mouse(pw::gui::MouseAction::Up, Drop)});
    };
    const RECT save = floating->ItemLinks()->Items(0)->Control()->ScreenRect();
    dragTo(POINT{save.right - 2, (save.top + save.bottom) / 2});
    ASSERT_EQ(floating->ItemLinks()->Count(), 2);
    EXPECT_EQ(floating->ItemLinks()->Items(1)->Item(), commands[2]);

    const RECT open = bar->ItemLinks()->Items(0)->Control()->ScreenRect();
    window->SetBounds(open.left - 20, open.top - 20, window->Width(), window->Height());
    Pump();
    dragTo(POINT{(open.left + open.right) / 2, (open.top + open.bottom) / 2});
    EXPECT_EQ(bar->ItemLinks()->Count(), 1);
}

// A toolbar let go where the customizing window lies over a dock site stays out of it: it would dock
// into a site nobody sees there. Beside the window the same site takes it.
TEST_F(CustomizingWindowTest, AToolbarLetGoOverTheWindowDoesNotDockIntoTheSiteBehindIt) {
    const auto sideBar = [&](const char* Caption) {
        TdxBar* side = manager->Bars()->Add();
        side->SetCaption(Caption);
        side->ItemLinks()->Add()->SetItem(commands[1]);
        side->SetDockingStyle(dsLeft);
        side->SetVisible(true);
        Pump();
        return side;
    };
    TdxBar* side = sideBar("Side");
    TdxBar* other = sideBar("Other");
    TdxDockControl* top = nullptr;
    for (int i = 0; i < manager->DockControlCount(); ++i)
        if (auto* site = dynamic_cast<TdxDockControl*>(manager->DockControls(i));
            site && site->DockingStyle() == dsTop)
            top = site;
    ASSERT_NE(top, nullptr);
    RECT site{};
    GetWindowRect(top->Handle(), site);
    const POINT covered{site.left + 300, (site.top + site.bottom) / 2};
    window->SetBounds(covered.x - 40, site.top + 2, window->Width(), window->Height());
    SetWindowPos(window->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Pump();
    ASSERT_EQ(GetAncestor(WindowFromPoint(covered), GA_ROOT), window->Handle());
    // By the grip at the docked bar's top end, straight onto the top site.
    const auto dragTo = [&](TdxBar* Bar, POINT To) {
        RECT r{};
        GetWindowRect(Bar->Control()->Handle(), r);
        const POINT grip{r.left + 10, r.top + 3};
        Play({Mouse(pw::gui::MouseAction::Move, grip), Mouse(pw::gui::MouseAction::Down, grip),
              Mouse(pw::gui::MouseAction::Move, POINT{grip.x + 2, grip.y + 40}),
              Mouse(pw::gui::MouseAction::Move, To), Mouse(pw::gui::MouseAction::Up, To)});
    };
    dragTo(side, covered);
    EXPECT_NE(side->DockingStyle(), dsTop);
    EXPECT_EQ(bar->DockingStyle(), dsTop);

    const POINT uncovered{site.left + 200, covered.y};
    ASSERT_EQ(GetAncestor(WindowFromPoint(uncovered), GA_ROOT), form.Handle());
    dragTo(other, uncovered);
    EXPECT_EQ(other->DockingStyle(), dsTop);
}
