// Dragging while customizing: a command from the customizing window onto a toolbar adds a link where it
// is dropped; a link on a bar moves, copies with Ctrl, goes when dropped beside every bar, toggles its
// separator when dragged a little along its bar, and goes into a menu that opens under it. Esc or a drop
// with no place changes nothing.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bars/core/bar_button.h"
#include "bars/core/bar_cursors.h"
#include "bars/core/bar_manager.h"
#include "bars/core/bar_routines.h"
#include "bars/core/item_links.h"
#include "bars/core/sub_item.h"
#include "bars/core/toolbar.h"
#include "bars/core/toolbars.h"
#include "bars/customizing/item_drag.h"
#include "bars/windows/bar_control.h"
#include "bars/windows/dock_control.h"
#include "bars/windows/item_control.h"
#include "bars/windows/sub_item_control.h"
#include "bars/windows/sub_menu_control.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/window.h"
#include "platform/vcl/form.h"
#include "platform/vcl/screen.h"
#include "tests/support/gui/pump.h"

using namespace bars;
using testsupport::Pump;

namespace {

class DragForm : public TForm {
public:
    DragForm() : TForm(nullptr) {}
    std::string ClassName() const override { return "TItemDragTestForm"; }
};

class ItemDragTest : public ::testing::Test {
protected:
    ItemDragTest() {
        RegisterBarWindows();
        form.SetBounds(50, 50, 500, 300);
        manager = new TdxBarManager(&form);
        open = new TdxBarButton(&form);
        open->SetCaption("Open");
        save = new TdxBarButton(&form);
        save->SetCaption("Save");
        bar = manager->Bars()->Add();
        bar->SetCaption("Main");
        bar->ItemLinks()->Add()->SetItem(open);
        bar->SetDockingStyle(dsTop);
        bar->SetVisible(true);
        form.Show();
        Pump();
    }
    ~ItemDragTest() override {
        ReleaseCapture();
        pw::gui::ClearKeyState();
        delete manager;
        Pump();
    }
    RECT OpenRect() { return bar->ItemLinks()->Items(0)->Control()->ScreenRect(); }
    // Moves to the point and, unless an Esc comes first, lets the button go there; then drags.
    bool DragTo(POINT p, bool escape = false) {
        pw::gui::SimulateMouse(pw::gui::MouseAction::Move, p);
        if (escape) pw::gui::SimulateKey(VK_ESCAPE, true);
        pw::gui::SimulateMouse(pw::gui::MouseAction::Up, p, pw::gui::MouseButton::Left);
        return DragNewItem(manager, save, form.Handle());
    }

    DragForm form;
    TdxBarManager* manager = nullptr;
    TdxBarButton* open = nullptr;
    TdxBarButton* save = nullptr;
    TdxBar* bar = nullptr;
};

TEST_F(ItemDragTest, ACommandDroppedOnAToolbarLandsBeforeOrAfterTheButtonUnderIt) {
    RECT r = OpenRect();
    ASSERT_TRUE(DragTo(POINT{r.left + 2, (r.top + r.bottom) / 2}));
    ASSERT_EQ(bar->ItemLinks()->Count(), 2);
    EXPECT_EQ(bar->ItemLinks()->Items(0)->Item(), save);
    EXPECT_FALSE(manager->DraggingItem());
    Pump();
    r = bar->ItemLinks()->Items(1)->Control()->ScreenRect();
    ASSERT_TRUE(DragTo(POINT{r.right - 2, (r.top + r.bottom) / 2}));
    ASSERT_EQ(bar->ItemLinks()->Count(), 3);
    EXPECT_EQ(bar->ItemLinks()->Items(2)->Item(), save);
}

TEST_F(ItemDragTest, EscOrADropBesideEveryBarAddsNothing) {
    const RECT r = OpenRect();
    EXPECT_FALSE(DragTo(POINT{r.left + 2, (r.top + r.bottom) / 2}, true));
    EXPECT_FALSE(DragTo(POINT{300, 250}));
    EXPECT_EQ(bar->ItemLinks()->Count(), 1);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_FALSE(manager->DraggingItem());
}

} // namespace

namespace {

// Links already on the bars, dragged while customizing: the press, the moves and the release come from
// a timer while the drag's own loop runs, as a hand would give them.
class LinkDragTest : public ::testing::Test {
protected:
    LinkDragTest() {
        RegisterBarWindows();
        bars_detail::InstallItemDrag();
        form.SetBounds(50, 50, 500, 300);
        manager = new TdxBarManager(&form);
        open = Button("Open");
        save = Button("Save");
        print = Button("Print");
        file = new TdxBarSubItem(&form);
        file->SetCaption("File");
        file->ItemLinks()->Add()->SetItem(Button("New"));
        main = Bar("Main", dsTop, {file, open, save});
        second = Bar("Second", dsBottom, {print});
        form.Show();
        Pump();
        manager->SetIsCustomizing(true);
        Pump();
    }
    ~LinkDragTest() override {
        ReleaseCapture();
        pw::gui::ClearKeyState();
        delete manager;
        Pump();
    }
    TdxBarButton* Button(const char* Caption) {
        auto* button = new TdxBarButton(&form);
        button->SetCaption(Caption);
        return button;
    }
    TdxBar* Bar(const char* Caption, TdxBarDockingStyle Side, std::initializer_list<TdxBarItem*> Items) {
        TdxBar* bar = manager->Bars()->Add();
        bar->SetCaption(Caption);
        for (TdxBarItem* item : Items)
            bar->ItemLinks()->Add()->SetItem(item);
        bar->SetDockingStyle(Side);
        bar->SetVisible(true);
        return bar;
    }
    static RECT RectOf(TdxBarItemLinks* Links, int Index) {
        return Links->Items(Index)->Control()->ScreenRect();
    }
    static POINT At(const RECT& R, int Dx = 4) { return POINT{R.left + Dx, (R.top + R.bottom) / 2}; }
    static POINT Moved(POINT P, int Dx) { return POINT{P.x + Dx, P.y}; }
    static std::string Captions(TdxBarItemLinks* Links) {
        std::string s;
        for (int i = 0; i < Links->Count(); ++i)
            s += (i > 0 ? " " : "") + Links->Items(i)->Item()->Caption();
        return s;
    }

    // Presses at From, leaves the drag rectangle, runs the steps given (each after a move of its own
    // choosing) and lets go where the last step left the pointer.
    using Step = std::function<void()>;
    void Play(std::vector<Step> play) {
        static std::vector<Step> steps;
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
    static Step Move(std::function<POINT()> To) {
        return [To] { pw::gui::SimulateMouse(pw::gui::MouseAction::Move, To()); };
    }
    // The drag starts with a move of 5 pixels; To is asked where the release goes when the steps are done.
    void Drag(POINT From, std::function<POINT()> To, std::vector<Step> Between = {}) {
        auto release = std::make_shared<POINT>();
        std::vector<Step> play{
            [From] {
                pw::gui::SimulateMouse(pw::gui::MouseAction::Move, From);
                pw::gui::SimulateMouse(pw::gui::MouseAction::Down, From, pw::gui::MouseButton::Left);
            },
            Move([From] { return Moved(From, 1); }), Move([From] { return Moved(From, 5); })};
        for (Step& s : Between)
            play.push_back(std::move(s));
        play.push_back([To, release] {
            *release = To();
            pw::gui::SimulateMouse(pw::gui::MouseAction::Move, *release);
        });
        play.push_back([release] {
            pw::gui::SimulateMouse(pw::gui::MouseAction::Up, *release, pw::gui::MouseButton::Left);
        });
        Play(std::move(play));
    }
    void Drag(POINT From, POINT To, std::vector<Step> Between = {}) {
        Drag(
            From, [To] { return To; }, std::move(Between));
    }

    // Over the top half of the first line of File's menu; none while it is closed.
    POINT MenuLine() const {
        auto* entry = dynamic_cast<TdxBarSubItemControl*>(main->ItemLinks()->Items(0)->Control());
        TdxBarSubMenuControl* menu = entry != nullptr ? entry->GetSubMenuControl() : nullptr;
        if (menu == nullptr) return POINT{0, 0};
        const RECT line = RectOf(menu->ItemLinks(), 0);
        return POINT{line.left + 10, line.top + 2};
    }

    DragForm form;
    TdxBarManager* manager = nullptr;
    TdxBarButton *open = nullptr, *save = nullptr, *print = nullptr;
    TdxBarSubItem* file = nullptr;
    TdxBar *main = nullptr, *second = nullptr;
};

TEST_F(LinkDragTest, AButtonMovesToAnotherBarAndCtrlCopiesItTheCursorFollowingCtrlAtOnce) {
    TCursor moving = crDefault, copying = crDefault;
    Drag(At(RectOf(main->ItemLinks(), 2)), At(RectOf(second->ItemLinks(), 0)),
         {Move([this] { return At(RectOf(second->ItemLinks(), 0)); }), [&] { moving = Screen->Cursor(); },
          [] { pw::gui::SimulateKey(VK_CONTROL, true); }, [&] { copying = Screen->Cursor(); },
          [] { pw::gui::SimulateKey(VK_CONTROL, false); }});
    EXPECT_EQ(moving, crdxBarDrag);
    EXPECT_EQ(copying, crdxBarDragCopy);
    EXPECT_EQ(Captions(main->ItemLinks()), "File Open");
    EXPECT_EQ(Captions(second->ItemLinks()), "Save Print");
    // The moved link stays selected through its bar's rebuild.
    auto* window = dynamic_cast<TCustomdxBarControl*>(second->ItemLinks()->BarControl());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->Selected(), second->ItemLinks()->Items(0)->Control());
    EXPECT_FALSE(manager->DraggingItem());
    EXPECT_EQ(manager->DragLink(), nullptr);

    // Copied after the button under the pointer, Ctrl held at the release.
    const RECT print = RectOf(second->ItemLinks(), 1);
    pw::gui::SetKeyDown(VK_CONTROL, true);
    Drag(At(RectOf(main->ItemLinks(), 1)), At(print, print.right - print.left - 3));
    pw::gui::SetKeyDown(VK_CONTROL, false);
    EXPECT_EQ(Captions(main->ItemLinks()), "File Open");
    EXPECT_EQ(Captions(second->ItemLinks()), "Save Print Open");
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(LinkDragTest, ALinkDroppedBesideEveryBarGoesUnlessCtrlIsHeldAndEscLeavesItWhereItWas) {
    const POINT away{350, 200};
    Drag(At(RectOf(main->ItemLinks(), 1)), away, {[] { pw::gui::SimulateKey(VK_ESCAPE, true); }});
    EXPECT_EQ(Captions(main->ItemLinks()), "File Open Save");
    pw::gui::SetKeyDown(VK_CONTROL, true);
    Drag(At(RectOf(main->ItemLinks(), 1)), away);
    pw::gui::SetKeyDown(VK_CONTROL, false);
    EXPECT_EQ(Captions(main->ItemLinks()), "File Open Save");
    Drag(At(RectOf(main->ItemLinks(), 1)), away);
    EXPECT_EQ(Captions(main->ItemLinks()), "File Save");
    // The command stays, to be dragged back from the customizing window.
    EXPECT_GE(manager->IndexOfItem(open), 0);
    EXPECT_EQ(open->LinkCount(), 0);
}

TEST_F(LinkDragTest, AShortDragAlongTheBarGivesTheLinkASeparatorOrTakesItAway) {
    TdxBarItemLink* link = main->ItemLinks()->Items(2);
    const POINT p = At(RectOf(main->ItemLinks(), 2));
    Drag(p, Moved(p, 3));
    EXPECT_FALSE(link->BeginGroup());
    Drag(p, Moved(p, 4));
    ASSERT_EQ(main->ItemLinks()->Items(2), link);
    EXPECT_TRUE(link->BeginGroup());
    const POINT q = At(RectOf(main->ItemLinks(), 2));
    Drag(q, Moved(q, -4));
    ASSERT_EQ(main->ItemLinks()->Items(2), link);
    EXPECT_FALSE(link->BeginGroup());
    EXPECT_EQ(Captions(main->ItemLinks()), "File Open Save");
}

TEST_F(LinkDragTest, AMenuOpensUnderTheDraggedLinkWhichDropsIntoIt) {
    auto menuLine = [this] { return MenuLine(); };
    POINT into{0, 0};
    Drag(At(RectOf(second->ItemLinks(), 0)), [&] { return into; },
         {Move([this] { return At(RectOf(main->ItemLinks(), 0)); }), [&] { into = menuLine(); }});
    ASSERT_NE(into.x, 0) << "the menu did not open under the dragged link";
    EXPECT_EQ(Captions(file->ItemLinks()), "Print New");
    EXPECT_EQ(Captions(second->ItemLinks()), "");
}

// The menu a drop leaves its link in stays open; once the selection goes to a link of another bar (its
// item dragged out of the menu there), the menu the drag began in closes.
TEST_F(LinkDragTest, AMenuOpenWhileCustomizingStaysWithItsSelectionAndClosesWhenItGoes) {
    // Floating, the other bar changes no dock site's size under the menu when it changes.
    second->SetDockingStyle(dsNone);
    Pump();
    POINT into{0, 0};
    Drag(At(RectOf(second->ItemLinks(), 0)), [&] { return into; },
         {Move([this] { return At(RectOf(main->ItemLinks(), 0)); }), [&] { into = MenuLine(); }});
    ASSERT_NE(into.x, 0);
    EXPECT_EQ(Captions(file->ItemLinks()), "Print New");
    ASSERT_NE(file->ItemLinks()->BarControl(), nullptr);
    EXPECT_EQ(manager->SelectedItem(), file->ItemLinks()->Items(0)->Control());

    RECT empty{0, 0, 0, 0};
    GetWindowRect(second->Control()->Handle(), empty);
    // On its way out it passes the menu's other line, which the menu's rebuild must not select again.
    Drag(MenuLine(), At(empty, 10), {Move([this] { return At(RectOf(file->ItemLinks(), 1), 10); })});
    EXPECT_EQ(Captions(file->ItemLinks()), "New");
    EXPECT_EQ(Captions(second->ItemLinks()), "Print");
    EXPECT_EQ(file->ItemLinks()->BarControl(), nullptr);
    EXPECT_EQ(manager->SelectedItem(), second->ItemLinks()->Items(0)->Control());
}

// The drop moves or copies as the cursor last showed it: Ctrl that comes down only with the release,
// after the pointer's last place was taken, does not make the move a copy.
TEST_F(LinkDragTest, TheDropTakesCtrlFromThePointersLastPlace) {
    const POINT from = At(RectOf(main->ItemLinks(), 2)), to = At(RectOf(second->ItemLinks(), 0));
    Play({[from] {
              pw::gui::SimulateMouse(pw::gui::MouseAction::Move, from);
              pw::gui::SimulateMouse(pw::gui::MouseAction::Down, from, pw::gui::MouseButton::Left);
          },
          Move([from] { return Moved(from, 1); }), Move([from] { return Moved(from, 5); }),
          Move([to] { return to; }),
          [to] {
              pw::gui::SetKeyDown(VK_CONTROL, true);
              pw::gui::SimulateMouse(pw::gui::MouseAction::Up, to, pw::gui::MouseButton::Left);
          }});
    pw::gui::SetKeyDown(VK_CONTROL, false);
    EXPECT_EQ(Captions(main->ItemLinks()), "File Open");
    EXPECT_EQ(Captions(second->ItemLinks()), "Save Print");
}

// A window over a bar hides it from the pointer, not from the drop: with no bar window under the
// pointer, the bar whose window holds the point takes the link, which is therefore not deleted.
TEST_F(LinkDragTest, ABarUnderAnotherWindowStillTakesTheDrop) {
    const RECT print = RectOf(second->ItemLinks(), 0);
    WNDCLASS wc;
    wc.lpfnWndProc = &DefWindowProc;
    wc.lpszClassName = "ItemDragTestCover";
    RegisterClass(wc);
    const HWND cover = CreateWindowEx(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, wc.lpszClassName, "",
                                      WS_POPUP | WS_VISIBLE, print.left, print.top, print.right - print.left,
                                      print.bottom - print.top, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(cover, nullptr);
    Pump();
    const POINT to = At(print);
    ASSERT_EQ(FindWindowAtPoint(to), cover);
    Drag(At(RectOf(main->ItemLinks(), 2)), to);
    DestroyWindow(cover);
    EXPECT_EQ(Captions(main->ItemLinks()), "File Open");
    EXPECT_EQ(Captions(second->ItemLinks()), "Save Print");
}

} // namespace

namespace {

// A menu that closes while one of its lines is dragged keeps its window, hidden, for the drag: the
// drag goes on and drops, and its end destroys the window.
TEST_F(LinkDragTest, AMenuClosedWhileItsLineIsDraggedLeavesItsWindowToTheDragUntilTheDrop) {
    auto* entry = dynamic_cast<TdxBarSubItemControl*>(main->ItemLinks()->Items(0)->Control());
    ASSERT_NE(entry, nullptr);
    entry->ControlActivate(true);
    Pump();
    ASSERT_NE(entry->GetSubMenuControl(), nullptr);
    const HWND menuWindow = entry->GetSubMenuControl()->Handle();
    HWND parked = nullptr;
    bool hidden = false, captured = false;
    Drag(MenuLine(), [this] { return At(RectOf(second->ItemLinks(), 0)); },
         {[&] {
              fprintf(stderr, "at step capture %p dragging %d\n", (void*)GetCapture(),
                      manager->DraggingItem());
              // The entry's menu closes (as a second press on File would close it).
              if (auto* e = dynamic_cast<TdxBarSubItemControl*>(main->ItemLinks()->Items(0)->Control()))
                  e->ControlInactivate(true);
              fprintf(stderr, "before close capture %p menu %p\n", (void*)GetCapture(), (void*)menuWindow);
              parked = manager->DragWindow();
              hidden = parked != nullptr && !IsWindowVisible(parked);
              captured = parked != nullptr && GetCapture() == parked;
          },
          Move([this] { return At(RectOf(second->ItemLinks(), 0)); })});
    EXPECT_EQ(parked, menuWindow);
    EXPECT_TRUE(hidden);
    EXPECT_TRUE(captured);
    EXPECT_EQ(file->ItemLinks()->BarControl(), nullptr);
    // The drag went on to its drop, and took the window with it.
    EXPECT_EQ(Captions(second->ItemLinks()), "New Print");
    EXPECT_EQ(Captions(file->ItemLinks()), "");
    EXPECT_EQ(manager->DragWindow(), nullptr);
    EXPECT_FALSE(IsWindow(menuWindow));
    EXPECT_FALSE(manager->DraggingItem());
}

} // namespace
