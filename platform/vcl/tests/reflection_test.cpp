#include <gtest/gtest.h>

#include "platform/gui/message_loop.h"
#include "platform/gui/message_views.h"
#include "platform/gui/owner_draw.h"
#include "platform/gui/paint.h"
#include "platform/gui/window.h"
#include "vcl_test_support.h"

using namespace vcl_test;

namespace {

std::vector<std::string> paintLog;

// A stand-in for an owner-drawn standard window: it paints by asking its parent to draw it, on the DC
// the message brings or else on its own.
LRESULT OwnerDrawnProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    TMessage m{msg, wParam, lParam, 0};
    if (msg != WM_PAINT) return DefWindowProc(hwnd, m);
    const HDC given = TWMPaint(m).DC();
    paintLog.push_back(given ? "class on given DC" : "class on own DC");
    PAINTSTRUCT ps;
    HDC dc = given ? given : BeginPaint(hwnd, ps);
    DRAWITEMSTRUCT dis;
    dis.CtlType = ODT_BUTTON;
    dis.itemAction = ODA_DRAWENTIRE;
    dis.hwndItem = hwnd;
    dis.hDC = dc;
    GetClientRect(hwnd, dis.rcItem);
    SendMessage(GetParent(hwnd), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
    if (!given) EndPaint(hwnd, ps);
    return 0;
}

class TOwnerDrawn : public TWinControl {
public:
    using TWinControl::TWinControl;
    std::vector<HWND> Drawn;
    void WndProc(TMessage& Message) override {
        if (Message.Msg == CN_DRAWITEM) {
            Drawn.push_back(TWMDrawItem(Message).DrawItemStruct()->hwndItem);
            Message.Result = 1;
            return;
        }
        TWinControl::WndProc(Message);
    }

protected:
    void CreateParams(TCreateParams& Params) override {
        TWinControl::CreateParams(Params);
        CreateSubClass(Params, "VclTestOwnerDrawn");
    }
};

class TMark : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;

protected:
    void Paint() override { paintLog.push_back("windowless child"); }
};

void RegisterOwnerDrawn() {
    WNDCLASS wc;
    wc.lpfnWndProc = OwnerDrawnProc;
    wc.lpszClassName = "VclTestOwnerDrawn";
    RegisterClass(wc);
}

} // namespace

TEST(Reflection, AChildsDrawItemRequestReachesTheChildControl) {
    RegisterOwnerDrawn();
    TForm* form = MakeForm();
    auto* a = Place<TOwnerDrawn>(form, TRect{10, 10, 60, 30});
    auto* b = Place<TOwnerDrawn>(form, TRect{10, 40, 60, 60});
    ShowAndPump(form);
    a->Drawn.clear();
    b->Drawn.clear();
    DRAWITEMSTRUCT dis;
    dis.hwndItem = b->Handle();
    EXPECT_EQ(SendMessage(form->Handle(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis)), 1);
    EXPECT_TRUE(a->Drawn.empty());
    EXPECT_EQ(b->Drawn, std::vector<HWND>{b->Handle()});
    // A request naming no child of ours is left to the window's default handling.
    dis.hwndItem = form->Handle();
    EXPECT_EQ(SendMessage(form->Handle(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis)), 0);
    delete form;
}

TEST(Reflection, ASubclassedWindowIsPaintedByItsClassUnderItsWindowlessChildren) {
    RegisterOwnerDrawn();
    TForm* form = MakeForm();
    auto* a = Place<TOwnerDrawn>(form, TRect{10, 10, 110, 60});
    ShowAndPump(form);
    paintLog.clear();
    a->Drawn.clear();
    a->Repaint();
    EXPECT_EQ(paintLog, std::vector<std::string>{"class on own DC"});
    EXPECT_EQ(a->Drawn, std::vector<HWND>{a->Handle()});
    Place<TMark>(a, TRect{5, 5, 20, 20});
    paintLog.clear();
    a->Repaint();
    EXPECT_EQ(paintLog, (std::vector<std::string>{"class on given DC", "windowless child"}));
    delete form;
}
