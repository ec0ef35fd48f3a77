#include <gtest/gtest.h>

#include "platform/gui/message_loop.h"
#include "platform/gui/message_views.h"
#include "platform/gui/window.h"
#include "vcl_test_support.h"

using namespace vcl_test;

namespace {

// A subclassed window that records what its text goes through.
class TTextWindow : public TWinControl {
public:
    using TWinControl::TWinControl;
    std::vector<std::string> Log;
    void WndProc(TMessage& Message) override {
        if (Message.Msg == WM_SETTEXT) Log.push_back("WM_SETTEXT " + TWMSetText(Message).String());
        if (Message.Msg == CM_TEXTCHANGED) Log.push_back("CM_TEXTCHANGED " + Text());
        TWinControl::WndProc(Message);
    }

protected:
    void CreateParams(TCreateParams& Params) override {
        TWinControl::CreateParams(Params);
        CreateSubClass(Params, "VclTestText");
    }
};

LRESULT TextProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

} // namespace

TEST(WindowText, TheTextOfAControlWithAWindowIsTheWindows) {
    WNDCLASS wc;
    wc.lpfnWndProc = TextProc;
    wc.lpszClassName = "VclTestText";
    RegisterClass(wc);
    TForm* form = MakeForm();
    auto* c = new TTextWindow(form);
    c->SetText("made");
    EXPECT_EQ(c->Log, std::vector<std::string>{"CM_TEXTCHANGED made"});
    c->SetParent(form);
    ShowAndPump(form);
    EXPECT_EQ(GetWindowText(c->Handle()), "made");
    // The window gets the text once, before the control hears of the change.
    c->Log.clear();
    c->SetText("set");
    EXPECT_EQ(c->Log, (std::vector<std::string>{"WM_SETTEXT set", "CM_TEXTCHANGED set"}));
    c->Log.clear();
    c->SetText("set");
    EXPECT_TRUE(c->Log.empty());
    // Text given to the window some other way is the control's, and outlives the window.
    SetWindowText(c->Handle(), "direct");
    EXPECT_EQ(c->Text(), "direct");
    c->RecreateWnd();
    EXPECT_EQ(GetWindowText(c->Handle()), "direct");
    EXPECT_EQ(c->Text(), "direct");
    delete form;
}
