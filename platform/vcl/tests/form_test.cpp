#include <gtest/gtest.h>

#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/vcl/application.h"
#include "platform/vcl/screen.h"
#include "platform/vcl/timer.h"
#include "vcl_test_support.h"

using namespace vcl_test;

namespace {

POINT CenterOf(TControl* c) {
    return c->ClientToScreen(TPoint{c->Width() / 2, c->Height() / 2});
}

// Answers Enter and Escape as the standard buttons will: through CM_DIALOGKEY.
class TTestDefaultBox : public TTestBox {
public:
    using TTestBox::TTestBox;
    TModalResult OnEnter_ = mrOk;
    void WndProc(TMessage& Message) override {
        if (Message.Msg == CM_DIALOGKEY && (Message.WParam == VK_RETURN || Message.WParam == VK_ESCAPE)) {
            if (auto* form = GetParentForm(this))
                form->SetModalResult(Message.WParam == VK_RETURN ? OnEnter_ : mrCancel);
            Message.Result = 1;
            return;
        }
        TTestBox::WndProc(Message);
    }
};

} // namespace

TEST(Form, ModalResultsEndTheLocalLoopAndTheOwnerIsActivatedAgain) {
    TForm* main = MakeForm(300, 200);
    int activations = 0;
    main->OnActivate = [&](TObject*) { ++activations; };
    main->Show();
    Pump();
    EXPECT_EQ(activations, 1);
    EXPECT_EQ(Screen->ActiveForm(), main);

    TForm* dialog = MakeForm(200, 100);
    dialog->SetPosition(poScreenCenter);
    auto* keys = new TTestDefaultBox(dialog);
    keys->SetParent(dialog);
    std::vector<std::string> events;
    dialog->OnShow = [&](TObject*) { events.push_back("show"); };
    dialog->OnActivate = [&](TObject*) {
        events.push_back("activate");
        // Typed while the dialog runs its own loop.
        pw::gui::SimulateKeyStroke(VK_RETURN);
    };
    dialog->OnClose = [&](TObject*, TCloseAction& action) {
        events.push_back("close " + std::to_string(action));
    };
    EXPECT_EQ(dialog->ShowModal(), mrOk);
    EXPECT_EQ(events, (std::vector<std::string>{"show", "activate", "close 1"}));
    EXPECT_FALSE(dialog->Visible());
    EXPECT_TRUE(IsWindowEnabled(main->Handle()));
    Pump();
    EXPECT_EQ(activations, 2);
    // Centred on the screen's work area.
    TRect work = Screen->WorkAreaRect();
    EXPECT_NEAR(dialog->Left() + dialog->Width() / 2, (work.left + work.right) / 2, 1);

    // Escape cancels; OnCloseQuery may veto one attempt.
    int queries = 0;
    dialog->OnCloseQuery = [&](TObject*, bool& canClose) { canClose = ++queries > 1; };
    dialog->OnActivate = [&](TObject*) {
        pw::gui::SimulateKeyStroke(VK_ESCAPE);
        pw::gui::SimulateKeyStroke(VK_ESCAPE);
    };
    EXPECT_EQ(dialog->ShowModal(), mrCancel);
    EXPECT_EQ(queries, 2);
    // A visible form cannot be made modal.
    dialog->Show();
    EXPECT_THROW(dialog->ShowModal(), EInvalidOperation);
    delete dialog;
    delete main;
}

TEST(Form, CloseAsksOnCloseQueryAndFollowsTheCloseAction) {
    TForm* form = MakeForm();
    form->Show();
    Pump();
    bool allow = false;
    TCloseAction wanted = caHide;
    int closes = 0;
    form->OnCloseQuery = [&](TObject*, bool& canClose) { canClose = allow; };
    form->OnClose = [&](TObject*, TCloseAction& action) {
        ++closes;
        action = wanted;
    };
    // The window's close button goes the same way.
    pw::gui::InjectClose(form->Handle());
    Pump();
    EXPECT_TRUE(form->Visible());
    EXPECT_EQ(closes, 0);
    allow = true;
    wanted = caNone;
    form->Close();
    EXPECT_TRUE(form->Visible());
    wanted = caHide;
    form->Close();
    EXPECT_FALSE(form->Visible());
    EXPECT_FALSE(IsWindowVisible(form->Handle()));
    form->Show();
    wanted = caFree;
    auto alive = form->AliveToken();
    form->Close();
    // Freed later, from the loop.
    EXPECT_FALSE(alive.expired());
    Pump();
    EXPECT_TRUE(alive.expired());
}

TEST(Form, ReleaseWaitsForTheHandlersOfTheFormToEnd) {
    TForm* form = MakeForm();
    auto* box = new TTestBox(form);
    box->SetParent(form);
    form->Show();
    Pump();
    auto alive = form->AliveToken();
    bool survivedNestedLoop = false;
    box->OnClick = [&](TObject*) {
        form->Release();
        // A long operation lets the loop run; the form must outlive this handler.
        Application->ProcessMessages();
        Application->ProcessMessages();
        survivedNestedLoop = !alive.expired();
        box->SetCaption("still here");
    };
    pw::gui::SimulateClick(CenterOf(box));
    Pump();
    EXPECT_TRUE(survivedNestedLoop);
    EXPECT_TRUE(alive.expired());
}

TEST(Form, AControlFreedInItsOwnClickHandlerDoesNotCrash) {
    TForm* form = MakeForm();
    auto* box = new TTestBox(form);
    box->SetParent(form);
    auto* glyph = new TTestGlyph(form);
    glyph->SetBounds(100, 100, 30, 30);
    glyph->SetParent(form);
    int ups = 0;
    box->OnClick = [&](TObject* sender) { delete static_cast<TControl*>(sender); };
    box->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { ++ups; };
    glyph->OnClick = [&](TObject* sender) { delete static_cast<TControl*>(sender); };
    form->Show();
    Pump();
    POINT boxAt = CenterOf(box), glyphAt = CenterOf(glyph);
    pw::gui::SimulateClick(boxAt);
    Pump();
    pw::gui::SimulateClick(glyphAt);
    Pump();
    EXPECT_EQ(form->ControlCount(), 0);
    EXPECT_EQ(ups, 0);
    delete form;
}

TEST(Form, ExceptionsFromHandlersGoToTheApplicationAndTheWindowStays) {
    TForm* form = MakeForm();
    auto* box = new TTestBox(form);
    box->SetParent(form);
    std::vector<std::string> seen;
    Application->OnException = [&](TObject*, const Exception& e) { seen.push_back(e.Message()); };
    box->OnClick = [](TObject*) { throw EConvertError("'x' is not a valid integer value"); };
    auto* timer = new TTimer(form);
    timer->SetInterval(10);
    timer->OnTimer = [&](TObject* sender) {
        static_cast<TTimer*>(sender)->SetEnabled(false);
        throw std::runtime_error("timer failed");
    };
    form->Show();
    Pump();
    pw::gui::SimulateClick(CenterOf(box));
    PumpFor(100);
    Application->OnException = nullptr;
    EXPECT_EQ(seen, (std::vector<std::string>{"'x' is not a valid integer value", "timer failed"}));
    EXPECT_TRUE(IsWindow(form->Handle()));
    EXPECT_TRUE(form->Visible());
    // Without OnException and nobody at the screen, the default handler writes the text on stderr.
    testing::internal::CaptureStderr();
    try {
        throw Exception("Cannot open file x");
    } catch (...) {
        Application->HandleException(form);
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Cannot open file x.\n");
    delete form;
}

TEST(Form, WindowStateAndNormalBoundsAreReadWithoutChangingTheState) {
    TForm* form = MakeForm();
    form->SetBounds(50, 60, 300, 200);
    form->Show();
    Pump();
    form->SetWindowState(wsMaximized);
    Pump();
    EXPECT_EQ(form->WindowState(), wsMaximized);
    EXPECT_EQ(form->NormalBounds(), (TRect{50, 60, 350, 260}));
    EXPECT_EQ(form->WindowState(), wsMaximized);
    EXPECT_NE(form->BoundsRect(), (TRect{50, 60, 350, 260}));
    form->SetWindowState(wsNormal);
    Pump();
    EXPECT_EQ(form->BoundsRect(), (TRect{50, 60, 350, 260}));
    delete form;
}

TEST(Form, TimersFireFromTheLoopWhileEnabled) {
    TTimer timer(nullptr);
    int ticks = 0;
    timer.SetInterval(20);
    timer.OnTimer = [&](TObject*) { ++ticks; };
    PumpFor(150);
    EXPECT_GE(ticks, 3);
    timer.SetEnabled(false);
    int stopped = ticks;
    PumpFor(60);
    EXPECT_EQ(ticks, stopped);
}
