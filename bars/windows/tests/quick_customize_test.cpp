// The drop-down of a toolbar's end mark: a toolbar window of its own with the buttons that did not fit
// and "&Add or Remove Buttons", whose check lines show or hide the toolbar's buttons while the menu
// stays open; what closes it, and when.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "bar_windows_fixture.h"
#include "bars/core/bar_routines.h"
#include "bars/core/bar_unit.h"
#include "bars/core/item_registry.h"
#include "bars/painters/painter.h"
#include "bars/windows/bar_control.h"
#include "bars/windows/quick_customize.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/surface.h"
#include "platform/gdi/syscolors.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/paint.h"
#include "platform/gui/screenshot.h"
#include "platform/gui/system.h"
#include "platform/gui/window.h"

namespace bars_windows_test {
namespace {

// The menu windows that show (the drop-down is a toolbar, not one of them).
std::vector<bars::TCustomdxBarControl*> Menus() {
    std::vector<bars::TCustomdxBarControl*> menus;
    for (bars::BarControl* control : BarControls())
        if (!control->IsToolbar() && control->Handle() != nullptr && IsWindowVisible(control->Handle()))
            menus.push_back(dynamic_cast<bars::TCustomdxBarControl*>(control));
    return menus;
}

bars::TdxBarItemControl* ControlAt(bars::TCustomdxBarControl* Window, int Index) {
    return dynamic_cast<bars::TdxBarItemControl*>(Window->ItemLinks()->Items(Index)->Control());
}

// What each line or button shows, in order.
std::vector<std::string> Captions(bars::TCustomdxBarControl* Window) {
    std::vector<std::string> captions;
    for (int i = 0; i < Window->ItemLinks()->Count(); ++i)
        if (bars::TdxBarItemControl* control = ControlAt(Window, i))
            captions.push_back(control->GetCaption());
    return captions;
}

bars::TdxBarItemControl* Find(bars::TCustomdxBarControl* Window, const std::string& Caption) {
    for (int i = 0; i < Window->ItemLinks()->Count(); ++i)
        if (bars::TdxBarItemControl* control = ControlAt(Window, i);
            control && control->GetCaption() == Caption)
            return control;
    return nullptr;
}

// Any pixel of the line's box that is not the menu's white: the line was drawn.
bool LineDrawn(bars::TCustomdxBarControl* Menu, int Index) {
    const RECT r = Menu->ItemLinks()->Items(Index)->ItemRect();
    HDC dc = GetDC(Menu->Handle());
    bool drawn = false;
    for (int y = r.top; y < r.bottom && !drawn; ++y)
        for (int x = r.left; x < r.right && !drawn; ++x)
            drawn = GetPixel(dc, x, y) != RGB(255, 255, 255);
    ReleaseDC(Menu->Handle(), dc);
    return drawn;
}

class QuickCustomizeTest : public BarWindowsTest {
protected:
    QuickCustomizeTest() {
        form.SetBounds(50, 50, 220, 300);
        Pump();
        for (int i = 1; i <= 6; ++i)
            buttons.push_back(Button("Button " + std::to_string(i)));
        bar = Toolbar("Long", {buttons[0], buttons[1], buttons[2], buttons[3], buttons[4], buttons[5]});
    }
    ~QuickCustomizeTest() override { pw::gui::SetTickSource(nullptr); }
    // The buttons that got no place on the toolbar.
    std::vector<std::string> Hidden() const {
        std::vector<std::string> hidden;
        for (TdxBarItemLink* link : bar->ItemLinks()->VisibleLinks()) {
            const RECT r = link->ItemRect();
            if (link->Control() == nullptr || IsRectEmpty(r)) hidden.push_back(link->Item()->Caption());
        }
        return hidden;
    }
    POINT MarkCentre() {
        const RECT mark = Window(bar)->MarkScreenRect();
        return POINT{(mark.left + mark.right) / 2, (mark.top + mark.bottom) / 2};
    }
    void PressMark() {
        MoveTo(MarkCentre());
        pw::gui::SimulateClick(MarkCentre());
        Pump();
    }
    void Click(bars::TCustomdxBarControl* Window, const std::string& Caption) {
        bars::TdxBarItemControl* control = Find(Window, Caption);
        ASSERT_NE(control, nullptr) << Caption;
        const RECT r = control->ScreenRect();
        const POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        MoveTo(p);
        pw::gui::SimulateClick(p);
        Pump();
    }
    // A click on the form, away from its toolbar and the drop-down, closes them all.
    void ClickElsewhere() {
        pw::gui::SimulateClick(POINT{70, 300});
        Pump();
    }
    void Wait(DWORD ms) {
        now += ms;
        Pump();
    }
    bars::TdxBarQuickControl* Quick() const { return bars::CurrentQuickControl(); }

    std::vector<TdxBarButton*> buttons;
    TdxBar* bar = nullptr;
    DWORD now = 100000;
};

TEST_F(QuickCustomizeTest, TheMarkListsTheHiddenButtonsAndAddOrRemoveTogglesOneInPlace) {
    ASSERT_TRUE(Window(bar)->IsMarkVisible());
    const std::vector<std::string> hidden = Hidden();
    ASSERT_FALSE(hidden.empty());
    PressMark();
    bars::TdxBarQuickControl* quick = Quick();
    ASSERT_NE(quick, nullptr);
    EXPECT_TRUE(QuickControlExists());
    EXPECT_EQ(Window(bar)->QuickControl(), quick);
    EXPECT_EQ(Window(bar)->MarkState(), 2);
    // A toolbar window, not a menu: the buttons stand as buttons, the command after a group line.
    EXPECT_TRUE(quick->IsToolbar());
    EXPECT_TRUE(Menus().empty());
    EXPECT_TRUE(IsWindowVisible(quick->Handle()));
    std::vector<std::string> expected = hidden;
    expected.push_back("&Add or Remove Buttons");
    EXPECT_EQ(Captions(quick), expected);
    TdxBarItemLinks* links = quick->ItemLinks();
    EXPECT_TRUE(links->Items(links->Count() - 1)->BeginGroup());
    // Uses of a hidden button count on the toolbar's own link.
    EXPECT_EQ(links->Items(0)->MasterLink()->Item()->Caption(), hidden.front());
    EXPECT_GE(IndexOfLink(bar->ItemLinks()->VisibleLinks(), links->Items(0)->MasterLink()), 0);

    Click(quick, "&Add or Remove Buttons");
    ASSERT_EQ(Menus().size(), 1u);
    bars::TCustomdxBarControl* menu = Menus()[0];
    EXPECT_TRUE(menu->IsQuickCustomizingMenu());
    EXPECT_FALSE(quick->IsQuickCustomizingMenu());
    // Every button of the toolbar with its check, and no reset for a bar made in code.
    EXPECT_EQ(Captions(menu), (std::vector<std::string>{"Button 1", "Button 2", "Button 3", "Button 4",
                                                        "Button 5", "Button 6"}));
    // The nested menu paints with its manager's painter, not as an empty white box.
    EXPECT_TRUE(LineDrawn(menu, 0));
    // One item stands for them all, each line for its own link of the toolbar.
    auto* line = dynamic_cast<bars::TdxBarQuickCustItemControl*>(ControlAt(menu, 0));
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(menu->ItemLinks()->Items(5)->Item(), menu->ItemLinks()->Items(0)->Item());
    EXPECT_EQ(line->SourceLink(), bar->ItemLinks()->Items(0));
    // Room for a menu line and for the square before it.
    EXPECT_EQ(line->GetWidth(), line->CalcDefaultWidth() + line->CalcDefaultHeight());

    // Moving over the lines of the menu (the drop-down in use) closes nothing, however long it takes.
    pw::gui::SetTickSource([this] { return now; });
    const RECT third = ControlAt(menu, 2)->ScreenRect();
    MoveTo(POINT{(third.left + third.right) / 2, (third.top + third.bottom) / 2});
    Wait(1000);
    ASSERT_EQ(Menus().size(), 1u);
    ASSERT_NE(Quick(), nullptr);
    pw::gui::SetTickSource(nullptr);

    Click(menu, "Button 1");
    // The menu stays open, the toolbar hides the button at once, the line shows it unchecked.
    ASSERT_EQ(Menus().size(), 1u);
    EXPECT_FALSE(bar->ItemLinks()->Items(0)->Visible());
    line = dynamic_cast<bars::TdxBarQuickCustItemControl*>(ControlAt(Menus()[0], 0));
    ASSERT_NE(line, nullptr);
    EXPECT_FALSE(line->SourceLink()->Visible());
    Click(Menus()[0], "Button 1");
    EXPECT_TRUE(bar->ItemLinks()->Items(0)->Visible());

    ClickElsewhere();
    EXPECT_TRUE(Menus().empty());
    EXPECT_EQ(Quick(), nullptr);
    EXPECT_FALSE(QuickControlExists());
    EXPECT_EQ(Window(bar)->QuickControl(), nullptr);
    EXPECT_EQ(Window(bar)->MarkState(), 0);
}

TEST_F(QuickCustomizeTest, WithoutQuickCustomizingAddOrRemoveIsGreyed) {
    bar->SetAllowQuickCustomizing(false);
    Pump();
    ASSERT_TRUE(Window(bar)->IsMarkVisible()); // buttons are still hidden
    PressMark();
    ASSERT_NE(Quick(), nullptr);
    TdxBarItemLinks* links = Quick()->ItemLinks();
    TdxBarItem* addRemove = links->Items(links->Count() - 1)->Item();
    EXPECT_NE(dynamic_cast<bars::TdxBarQuickSubItem*>(addRemove), nullptr);
    EXPECT_FALSE(addRemove->Enabled());
    // A press elsewhere closes a drop-down nobody works in.
    ClickElsewhere();
    EXPECT_EQ(Quick(), nullptr);
    EXPECT_TRUE(Menus().empty());
}

TEST_F(QuickCustomizeTest, TheDropDownOfABarAtTheScreensCornerStaysOnTheScreen) {
    MONITORINFO info;
    GetMonitorInfo(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTONEAREST), info);
    const RECT work = info.rcWork;
    form.SetBounds(work.right - 220, work.bottom - 70, 220, 70);
    Pump();
    ASSERT_TRUE(Window(bar)->IsMarkVisible());
    PressMark();
    ASSERT_NE(Quick(), nullptr);
    RECT shown{0, 0, 0, 0};
    GetWindowRect(Quick()->Handle(), shown);
    const RECT mark = Window(bar)->MarkScreenRect();
    EXPECT_GE(shown.left, work.left);
    EXPECT_LE(shown.right, work.right);
    EXPECT_GE(shown.top, work.top);
    EXPECT_LE(shown.bottom, work.bottom);
    // Right-aligned with the mark, and above it for want of room below.
    EXPECT_EQ(shown.right, mark.right);
    EXPECT_EQ(shown.bottom, mark.top);
    PressMark();
    EXPECT_EQ(Quick(), nullptr);
}

TEST_F(QuickCustomizeTest, TheDropDownIsACaptionlessWindowWhoseFrameNeitherSizesNorMoves) {
    PressMark();
    bars::TdxBarQuickControl* quick = Quick();
    ASSERT_NE(quick, nullptr);
    RECT window{}, client{};
    GetWindowRect(quick->Handle(), window);
    GetClientRect(quick->Handle(), client);
    const auto& painter = bars::TdxBarItemControlPainter::Of(manager);
    const int bw = painter.GetFloatingBorderWidth(), bh = painter.GetFloatingBorderHeight();
    // Its client area is as large as its controls' rows; its frame is the floating border alone, twice
    // across each way: no caption above.
    int right = 0, bottom = 0;
    for (int i = 0; i < quick->ItemLinks()->Count(); ++i) {
        right = std::max<int>(right, quick->ItemLinks()->Items(i)->ItemRect().right);
        bottom = std::max<int>(bottom, quick->ItemLinks()->Items(i)->ItemRect().bottom);
    }
    EXPECT_EQ(client.right, right);
    EXPECT_EQ(client.bottom, bottom);
    EXPECT_FALSE(quick->HasCaption());
    EXPECT_EQ(window.right - window.left, client.right + 2 * bw);
    EXPECT_EQ(window.bottom - window.top, client.bottom + 2 * bh);
    POINT origin{0, 0};
    ClientToScreen(quick->Handle(), origin);
    EXPECT_EQ(origin.y - window.top, bh);
    // The frame answers as a plain border, the controls as the client area.
    EXPECT_EQ(SendMessage(quick->Handle(), WM_NCHITTEST, 0, PackPoint(POINT{window.left, window.top + 5})),
              HTBORDER);
    EXPECT_EQ(
        SendMessage(quick->Handle(), WM_NCHITTEST, 0, PackPoint(POINT{window.right - 1, window.bottom - 1})),
        HTBORDER);
    const RECT first = ControlAt(quick, 0)->ScreenRect();
    EXPECT_EQ(SendMessage(quick->Handle(), WM_NCHITTEST, 0,
                          PackPoint(POINT{(first.left + first.right) / 2, (first.top + first.bottom) / 2})),
              HTCLIENT);
    // The flat style's drop-down is window-coloured.
    EXPECT_EQ(quick->GetBkBrush(), GetSysColorBrush(COLOR_WINDOW));
    // A right click on it opens no toolbars popup.
    pw::gui::SimulateClick(POINT{first.left + 2, first.top + 2}, pw::gui::MouseButton::Right);
    Pump();
    EXPECT_TRUE(Menus().empty());
    ClickElsewhere();
}

// In the flat style the pressed end mark and its drop-down are one shape: neither shows a border along
// the stretch where they touch (the corners keep theirs), docked or on a floating caption. With
// PW_QUICK_SHOTS set, saves end-mark-dropped.png there.
TEST_F(QuickCustomizeTest, TheFlatEndMarkAndItsDropDownShowNoBorderWhereTheyTouch) {
    auto pixel = [](int x, int y) {
        const uint32_t argb = pw::gui::ComposeScreen(RECT{x, y, x + 1, y + 1}).Pixel(0, 0);
        return static_cast<COLORREF>(RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF));
    };
    for (const bool floating : {false, true}) {
        SCOPED_TRACE(floating ? "floating" : "docked");
        if (floating) {
            bar->SetFloatLeft(400);
            bar->SetFloatTop(200);
            bar->SetDockingStyle(dsNone);
            Pump();
        }
        PressMark();
        ASSERT_NE(Quick(), nullptr);
        pw::gui::PaintPendingWindows();
        const RECT mark = Window(bar)->MarkScreenRect();
        RECT drop{};
        GetWindowRect(Quick()->Handle(), drop);
        ASSERT_EQ(drop.top, mark.bottom);
        const int mid = (mark.left + mark.right) / 2;
        const COLORREF border = pixel(mark.left, (mark.top + mark.bottom) / 2);
        const COLORREF face = pixel(mark.left + 1, mark.top + 1);
        ASSERT_NE(border, face);
        EXPECT_EQ(pixel(mid, mark.top), border);
        // The mark's last row and the drop-down's first are open between the corners.
        EXPECT_EQ(pixel(mid, mark.bottom - 1), face);
        EXPECT_EQ(pixel(mark.left + 1, mark.bottom - 1), face);
        EXPECT_EQ(pixel(mark.left, mark.bottom - 1), border);
        EXPECT_EQ(pixel(mid, drop.top), face);
        // Beyond the mark the drop-down's border runs on.
        const int beyond = drop.left < mark.left - 3 ? mark.left - 3 : mark.right + 3;
        EXPECT_NE(pixel(beyond, drop.top), face);
        if (const char* folder = std::getenv("PW_QUICK_SHOTS"); folder != nullptr && !floating)
            pw::gui::SaveScreenImage(RECT{drop.left - 20, mark.top - 20, mark.right + 20, drop.bottom + 20},
                                     std::string(folder) + "/end-mark-dropped.png");
        ClickElsewhere();
        ASSERT_EQ(Quick(), nullptr);
    }
}

TEST_F(QuickCustomizeTest, AHiddenButtonRunsFromTheDropDownWhichThenCloses) {
    const std::vector<std::string> hidden = Hidden();
    ASSERT_FALSE(hidden.empty());
    PressMark();
    ASSERT_NE(Quick(), nullptr);
    TdxBarButton* button = nullptr;
    for (TdxBarButton* b : buttons)
        if (b->Caption() == hidden.front()) button = b;
    ASSERT_NE(button, nullptr);
    Click(Quick(), hidden.front());
    EXPECT_EQ(Clicks(button), 1);
    EXPECT_EQ(Quick(), nullptr);
    EXPECT_EQ(Window(bar)->MarkState() == 2, false);
}

TEST_F(QuickCustomizeTest, TheMarkClosesItsOpenDropDownWithoutOpeningItAgain) {
    PressMark();
    ASSERT_NE(Quick(), nullptr);
    PressMark();
    EXPECT_EQ(Quick(), nullptr);
    EXPECT_EQ(Window(bar)->MarkState(), 1);
    PressMark();
    ASSERT_NE(Quick(), nullptr);
    // With its menu open (the drop-down in use) the press on the mark closes everything and stays a
    // close.
    Click(Quick(), "&Add or Remove Buttons");
    ASSERT_EQ(Menus().size(), 1u);
    ASSERT_TRUE(Quick()->IsActive());
    PressMark();
    EXPECT_EQ(Quick(), nullptr);
    EXPECT_TRUE(Menus().empty());
    // The mark's own left press is left to the mark; a right press there closes it (the toolbar then
    // offers its toolbars), and so does a press on the drop-down's toolbar elsewhere.
    PressMark();
    ASSERT_NE(Quick(), nullptr);
    const HWND toolbar = Window(bar)->Handle();
    bars::CloseQuickControlOnPress(WM_LBUTTONDOWN, Quick()->Handle(), MarkCentre());
    bars::CloseQuickControlOnPress(WM_LBUTTONDOWN, toolbar, MarkCentre());
    bars::CloseQuickControlOnPress(WM_MOUSEMOVE, toolbar, POINT{0, 0});
    ASSERT_NE(Quick(), nullptr);
    bars::CloseQuickControlOnPress(WM_RBUTTONDOWN, toolbar, MarkCentre());
    EXPECT_EQ(Quick(), nullptr);
    PressMark();
    ASSERT_NE(Quick(), nullptr);
    bars::CloseQuickControlOnPress(WM_NCLBUTTONDOWN, toolbar, POINT{0, 0});
    EXPECT_EQ(Quick(), nullptr);
    Pump();
}

TEST_F(QuickCustomizeTest, ADropDownNotInUseClosesAMomentAfterAnotherBarTakesTheMenus) {
    TdxBarButton* find = Button("&Find");
    TdxBar* other = Toolbar("Other", {find}, dsTop, 1);
    pw::gui::SetTickSource([this] { return now; });
    PressMark();
    ASSERT_NE(Quick(), nullptr);
    // Hovering over another bar only selects there: nothing takes the menus, the drop-down stays.
    MoveTo(Centre(find, other));
    Wait(1000);
    EXPECT_NE(Quick(), nullptr);
    // That bar in menu mode: the drop-down goes 200 ms later.
    Window(other)->EnterKeyboardMode(nullptr);
    Window(other)->SelectControlByKey(nullptr);
    Window(other)->SelectControlByKey(Control(find, other));
    Wait(199);
    EXPECT_NE(Quick(), nullptr);
    Wait(1);
    EXPECT_EQ(Quick(), nullptr);
    EXPECT_EQ(Window(bar)->MarkState(), 0);
    Window(other)->LeaveKeyboardMode();
}

// The manager freed while the drop-down is open frees its bars last first: the drop-down goes with its
// hidden bar, and the toolbar that opened it, freed after, lets go of it without touching it.
TEST_F(QuickCustomizeTest, TheManagerGoesWhileTheDropDownIsOpen) {
    PressMark();
    ASSERT_NE(Quick(), nullptr);
    delete manager;
    manager = nullptr;
    EXPECT_EQ(Quick(), nullptr);
    Pump();
}

// Where the drop-down of a 100 x 60 window opens beside an 11 x 20 mark, on a 1000 x 700 work area.
TEST(QuickControlPlace, BesideAVerticalMarkUnderAHorizontalOneAndAlwaysOnTheWorkArea) {
    const RECT work{0, 0, 1000, 700};
    const SIZE size{100, 60};
    auto at = [&](RECT mark, bool vertical, bool floating) {
        const POINT p = bars::QuickControlPlace(mark, size, vertical, floating, work);
        return std::pair<int, int>{p.x, p.y};
    };
    const RECT mark{500, 300, 511, 320};
    // A vertical bar's mark: to its right at its top; to its left where the screen ends.
    EXPECT_EQ(at(mark, true, false), (std::pair<int, int>{511, 300}));
    EXPECT_EQ(at(RECT{950, 300, 961, 320}, true, false), (std::pair<int, int>{850, 300}));
    // Raised to fit the bottom, never above the top.
    EXPECT_EQ(at(RECT{500, 680, 511, 700}, true, false), (std::pair<int, int>{511, 640}));
    EXPECT_EQ(bars::QuickControlPlace(RECT{500, 10, 511, 30}, SIZE{100, 900}, true, false, work).y, 0);
    // A docked horizontal bar: under the mark, its right edge at the mark's; a floating one: its left.
    EXPECT_EQ(at(mark, false, false), (std::pair<int, int>{411, 320}));
    EXPECT_EQ(at(mark, false, true), (std::pair<int, int>{500, 320}));
    // Kept on the work area across (left edge first), and above the mark without room below.
    EXPECT_EQ(at(RECT{20, 300, 31, 320}, false, false), (std::pair<int, int>{0, 320}));
    EXPECT_EQ(at(RECT{960, 300, 971, 320}, false, true), (std::pair<int, int>{900, 320}));
    EXPECT_EQ(at(RECT{500, 630, 511, 650}, false, false), (std::pair<int, int>{411, 570}));
}

} // namespace
// Every item class of the library is known by the time its windows are, in this order, the drop-down's
// own classes not offered for adding; each makes its objects by name, as a stream asks for them.
TEST(ItemClassRegistry, HoldsTheElevenClassesInOrder) {
    const std::vector<std::pair<std::string, bool>> expected{
        {"TdxBarButton", true},         {"TdxBarEdit", true},
        {"TCustomdxBarCombo", true},    {"TdxBarCombo", true},
        {"TdxBarSubItem", true},        {"TdxBarListItem", true},
        {"TdxBarContainerItem", true},  {"TdxBarQuickCustExtButton", false},
        {"TdxBarQuickCustItem", false}, {"TdxBarQuickSubItem", false},
        {"TSystemMenuSubItem", false}};
    std::vector<std::pair<std::string, bool>> registered;
    for (int i = 0; i < RegisteredItemClassCount(); ++i) {
        const TRegItemRecord* record = RegisteredItemClass(i);
        registered.emplace_back(record->ItemClassName, record->ShowInAddList);
        EXPECT_NE(record->ItemControlClass, nullptr) << record->ItemClassName;
        const std::unique_ptr<TComponent> made(record->ItemClass(nullptr));
        EXPECT_EQ(made->ClassName(), record->ItemClassName);
    }
    EXPECT_EQ(registered, expected);
}

} // namespace bars_windows_test
