#include <gtest/gtest.h>

#include "platform/graphics/graphics_objects.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/system.h"
#include "platform/vcl/application.h"
#include "platform/vcl/screen.h"
#include "vcl_test_support.h"

using namespace vcl_test;

namespace {

// A stand-in for a standard control's window class: tells its parent about clicks through WM_COMMAND.
LRESULT NotifyingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_LBUTTONUP) {
        SendMessage(GetParent(hwnd), WM_COMMAND, static_cast<WPARAM>(MAKELPARAM(7, 0x1234)),
                    reinterpret_cast<LPARAM>(hwnd));
        return 0;
    }
    if (msg == WM_GETDLGCODE) return DLGC_WANTCHARS;
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

class TNotifying : public TWinControl {
public:
    using TWinControl::TWinControl;
    std::vector<WPARAM> Commands;
    void WndProc(TMessage& Message) override {
        if (Message.Msg == CN_COMMAND) {
            Commands.push_back(Message.WParam);
            return;
        }
        TWinControl::WndProc(Message);
    }

protected:
    void CreateParams(TCreateParams& Params) override {
        TWinControl::CreateParams(Params);
        CreateSubClass(Params, "VclTestNotifying");
    }
};

// A borderless window on the desktop that holds the mouse while it is open, as drop-down lists do.
class TPopupList : public TCustomControl {
public:
    explicit TPopupList(TComponent* AOwner) : TCustomControl(AOwner) { SetVisible(false); }
    std::vector<UINT> Seen;
    void WndProc(TMessage& Message) override {
        if (Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_KILLFOCUS || Message.Msg == CN_KEYDOWN)
            Seen.push_back(Message.Msg);
        TCustomControl::WndProc(Message);
    }

protected:
    void CreateParams(TCreateParams& Params) override {
        TCustomControl::CreateParams(Params);
        Params.Style = WS_CHILD | WS_CLIPSIBLINGS;
        Params.ExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
        Params.WndParent = GetDesktopWindow();
        Params.WindowClass.style = CS_SAVEBITS | CS_DBLCLKS;
    }
};

} // namespace

TEST(Controls, SubclassedStandardWindowsReflectTheirNotificationsBack) {
    WNDCLASS wc;
    wc.lpfnWndProc = NotifyingProc;
    wc.lpszClassName = "VclTestNotifying";
    RegisterClass(wc);
    TForm* form = MakeForm();
    auto* n = Place<TNotifying>(form, TRect{10, 10, 60, 30});
    ShowAndPump(form);
    // The class's own procedure still answers what ours passes on.
    EXPECT_EQ(n->Perform(WM_GETDLGCODE, 0, 0), DLGC_WANTCHARS);
    pw::gui::SimulateClick(n->ClientToScreen(TPoint{5, 5}));
    Pump();
    EXPECT_EQ(n->Commands, (std::vector<WPARAM>{static_cast<WPARAM>(MAKELPARAM(7, 0x1234))}));
    // A foreign window's notification is left to the parent's default handling.
    EXPECT_EQ(form->Perform(WM_COMMAND, 1, reinterpret_cast<LPARAM>(form->Handle())), 0);
    n->RecreateWnd();
    EXPECT_TRUE(IsWindow(n->Handle()));
    EXPECT_EQ(n->Perform(WM_GETDLGCODE, 0, 0), DLGC_WANTCHARS);
    delete form;
}

TEST(Controls, FontColourAndHintFollowTheParentUntilSetOwn) {
    TForm* form = MakeForm();
    auto* panel = Place<TTestBox>(form);
    auto* glyph = Place<TTestGlyph>(panel);
    glyph->SetParentColor(true);
    form->Font().SetName("DejaVu Sans");
    form->Font().SetSize(12);
    EXPECT_EQ(glyph->Font().Name(), "DejaVu Sans");
    EXPECT_EQ(glyph->Font().Size(), 12);
    EXPECT_TRUE(glyph->ParentFont());
    glyph->Font().SetStyle(TFontStyles{fsBold});
    EXPECT_FALSE(glyph->ParentFont());
    form->Font().SetSize(20);
    EXPECT_EQ(panel->Font().Size(), 20);
    EXPECT_EQ(glyph->Font().Size(), 12);
    panel->SetColor(clYellow);
    EXPECT_EQ(glyph->Color(), clYellow);
    glyph->SetColor(clRed);
    panel->SetColor(clLime);
    EXPECT_EQ(glyph->Color(), clRed);
    form->SetShowHint(true);
    EXPECT_TRUE(glyph->ShowHint());
    glyph->SetShowHint(false);
    form->SetShowHint(false);
    form->SetShowHint(true);
    EXPECT_FALSE(glyph->ShowHint());
    delete form;
}

TEST(Controls, WindowlessControlsGetClicksEnterAndLeaveAndKeepTheMouseWhilePressed) {
    TForm* form = MakeForm(300, 200);
    auto* glyph = Place<TTestGlyph>(form, TRect{50, 50, 90, 90});
    std::vector<std::string> log;
    glyph->OnMouseDown = [&](TObject*, TMouseButton b, TShiftState, int x, int y) {
        log.push_back("down " + std::to_string(b) + " " + std::to_string(x) + "," + std::to_string(y));
    };
    glyph->OnMouseMove = [&](TObject*, TShiftState s, int x, int) {
        if (s.Contains(ssLeft)) log.push_back("drag " + std::to_string(x));
    };
    glyph->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int x, int) {
        log.push_back("up " + std::to_string(x));
    };
    glyph->OnClick = [&](TObject*) { log.push_back("click"); };
    glyph->OnDblClick = [&](TObject*) { log.push_back("dblclick"); };
    ShowAndPump(form);
    TPoint inside = glyph->ClientToScreen(TPoint{5, 6});
    TPoint outside = glyph->ClientToScreen(TPoint{100, 6});
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, inside);
    Pump();
    EXPECT_EQ(glyph->Enters, 1);
    // Pressed inside, released outside: the control keeps the mouse and no click comes.
    pw::gui::SimulateMouse(pw::gui::MouseAction::Down, inside, pw::gui::MouseButton::Left);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, outside, pw::gui::MouseButton::Left);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Up, outside, pw::gui::MouseButton::Left);
    Pump();
    EXPECT_EQ(log, (std::vector<std::string>{"down 0 5,6", "drag 100", "up 100"}));
    EXPECT_EQ(GetCapture(), nullptr);
    // Dragging outside the control left it; coming back enters it again.
    EXPECT_EQ(glyph->Leaves, 1);
    log.clear();
    TPoint elsewhere = glyph->ClientToScreen(TPoint{25, 26});
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, elsewhere);
    pw::gui::SimulateClick(elsewhere);
    pw::gui::SimulateClick(elsewhere);
    pw::gui::SimulateClick(elsewhere, pw::gui::MouseButton::Right);
    Pump();
    EXPECT_EQ(glyph->Enters, 2);
    EXPECT_EQ(log, (std::vector<std::string>{"down 0 25,26", "click", "up 25", "dblclick", "down 0 25,26",
                                             "up 25", "down 1 25,26", "up 25"}));
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, glyph->ClientToScreen(TPoint{-20, -20}));
    Pump();
    EXPECT_EQ(glyph->Leaves, 2);
    // The screen's cursor overrides the control's own while set.
    glyph->SetCursor(crHandPoint);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, inside);
    Pump();
    EXPECT_EQ(pw::gui::CursorId(GetCursor()), IDC_HAND);
    Screen->SetCursor(crHourGlass);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, glyph->ClientToScreen(TPoint{7, 7}));
    Pump();
    EXPECT_EQ(pw::gui::CursorId(GetCursor()), IDC_WAIT);
    Screen->SetCursor(crDefault);
    delete form;
}

TEST(Controls, APopupWindowOnTheDesktopTakesTheMouse) {
    TForm* form = MakeForm(300, 200);
    ShowAndPump(form);
    TPopupList popup(nullptr);
    popup.SetBounds(400, 300, 80, 60);
    ASSERT_TRUE(popup.HandleAllocated() == false);
    DWORD style = static_cast<DWORD>(GetWindowLong(popup.Handle(), GWL_STYLE));
    EXPECT_TRUE(style & WS_CHILD);
    EXPECT_TRUE(GetWindowLong(popup.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    SetWindowPos(popup.Handle(), HWND_TOPMOST, 400, 300, 80, 60, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    SetCapture(popup.Handle());
    // A click anywhere arrives at the popup while it holds the capture.
    pw::gui::SimulateClick(form->ClientToScreen(TPoint{10, 10}));
    Pump();
    EXPECT_EQ(popup.Seen, (std::vector<UINT>{WM_LBUTTONDOWN}));
    EXPECT_EQ(popup.BoundsRect(), (TRect{400, 300, 480, 360}));
    ReleaseCapture();
    delete form;
}

namespace {

class TRecordingMenu : public TPopupMenuIntf {
public:
    std::vector<TPoint> At;
    void Popup(int X, int Y) override { At.push_back(TPoint{X, Y}); }
};

} // namespace

TEST(Controls, ContextMenusOpenWhereTheControlUnderThePointerSays) {
    TForm* form = MakeForm(300, 200);
    auto* box = Place<TTestBox>(form, TRect{10, 10, 70, 50});
    auto* glyph = Place<TTestGlyph>(form, TRect{100, 10, 140, 50});
    TRecordingMenu boxMenu, glyphMenu, formMenu;
    box->SetPopupMenu(&boxMenu);
    glyph->SetPopupMenu(&glyphMenu);
    form->SetPopupMenu(&formMenu);
    ShowAndPump(form);
    TPoint onBox = box->ClientToScreen(TPoint{5, 5});
    TPoint onGlyph = glyph->ClientToScreen(TPoint{5, 5});
    TPoint onForm = form->ClientToScreen(TPoint{200, 150});
    pw::gui::SimulateClick(onBox, pw::gui::MouseButton::Right);
    pw::gui::SimulateClick(onGlyph, pw::gui::MouseButton::Right);
    pw::gui::SimulateClick(onForm, pw::gui::MouseButton::Right);
    Pump();
    EXPECT_EQ(boxMenu.At, (std::vector<TPoint>{onBox}));
    EXPECT_EQ(glyphMenu.At, (std::vector<TPoint>{onGlyph}));
    EXPECT_EQ(formMenu.At, (std::vector<TPoint>{onForm}));
    // From the keyboard the menu opens at the middle of the focused control.
    box->SetFocus();
    pw::gui::SimulateKeyStroke(VK_APPS);
    Pump();
    ASSERT_EQ(boxMenu.At.size(), 2u);
    EXPECT_EQ(boxMenu.At[1], box->ClientToScreen(TPoint{30, 20}));
    // Without a menu of its own a control leaves it to its parent.
    box->SetPopupMenu(nullptr);
    pw::gui::SimulateClick(onBox, pw::gui::MouseButton::Right);
    Pump();
    EXPECT_EQ(formMenu.At.size(), 2u);
    delete form;
}
