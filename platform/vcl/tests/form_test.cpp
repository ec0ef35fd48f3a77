#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/message_views.h"
#include "platform/vcl/application.h"
#include "platform/vcl/dialogs.h"
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
        if (Message.Msg == CM_DIALOGKEY) return DialogKey(TWMKey(Message));
        TTestBox::WndProc(Message);
    }
    void DialogKey(TWMKey Message) {
        const WORD key = Message.CharCode();
        if (key != VK_RETURN && key != VK_ESCAPE) return TTestBox::WndProc(Message);
        if (auto* form = GetParentForm(this)) form->SetModalResult(key == VK_RETURN ? OnEnter_ : mrCancel);
        Message.Result = 1;
    }
};

// A plain top-level window of this thread that is no form, as a floating toolbar is.
HWND Bystander(DWORD Style) {
    static const char* const kClass = [] {
        WNDCLASS wc;
        wc.lpfnWndProc = DefWindowProc;
        wc.lpszClassName = "ModalBystander";
        RegisterClass(wc);
        return wc.lpszClassName;
    }();
    return CreateWindowEx(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kClass, "", WS_POPUP | Style, 0, 0, 50, 20,
                          nullptr, nullptr, nullptr, nullptr);
}

} // namespace

TEST(Form, ModalResultsEndTheLocalLoopAndTheOwnerIsActivatedAgain) {
    TForm* main = MakeForm(300, 200);
    int activations = 0;
    main->OnActivate = [&](TObject*) { ++activations; };
    ShowAndPump(main);
    EXPECT_EQ(activations, 1);
    EXPECT_EQ(Screen->ActiveForm(), main);
    int formCount = Screen->FormCount();

    TForm* dialog = MakeForm(200, 100);
    EXPECT_EQ(Screen->FormCount(), formCount + 1);
    EXPECT_EQ(Screen->Forms(formCount), dialog);
    dialog->SetPosition(poScreenCenter);
    Place<TTestDefaultBox>(dialog);
    std::vector<std::string> events;
    dialog->OnShow = [&](TObject*) { events.push_back("show"); };
    dialog->OnActivate = [&](TObject*) {
        events.push_back("activate");
        EXPECT_EQ(Screen->ActiveForm(), dialog);
        EXPECT_FALSE(IsWindowEnabled(main->Handle())); // the rest of the program waits
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
    EXPECT_EQ(Screen->FormCount(), formCount);
    delete main;
}

TEST(Form, AModalDialogDisablesEveryOtherShownWindowOfItsThreadAndGivesBackOnlyThose) {
    TForm* main = MakeForm();
    ShowAndPump(main);
    const HWND floating = Bystander(WS_VISIBLE), hidden = Bystander(0);
    const HWND disabled = Bystander(WS_VISIBLE | WS_DISABLED);
    TForm* dialog = MakeForm(200, 100);
    dialog->OnActivate = [&](TObject*) {
        EXPECT_FALSE(IsWindowEnabled(main->Handle()));
        EXPECT_FALSE(IsWindowEnabled(floating));
        EXPECT_TRUE(IsWindowEnabled(hidden));
        EXPECT_TRUE(IsWindowEnabled(dialog->Handle()));
        dialog->SetModalResult(mrOk);
    };
    EXPECT_EQ(dialog->ShowModal(), mrOk);
    for (HWND h : {main->Handle(), floating, hidden})
        EXPECT_TRUE(IsWindowEnabled(h));
    EXPECT_FALSE(IsWindowEnabled(disabled)) << "not disabled by the dialog";

    // A dialog that ends by an exception gives them back as well.
    dialog->OnActivate = nullptr;
    dialog->OnShow = [](TObject*) { throw Exception("cannot show"); };
    EXPECT_THROW(dialog->ShowModal(), Exception);
    EXPECT_TRUE(IsWindowEnabled(main->Handle()));
    EXPECT_TRUE(IsWindowEnabled(floating));
    EXPECT_FALSE(IsWindowEnabled(disabled));
    EXPECT_FALSE(dialog->Visible()) << "the dialog goes too";
    EXPECT_EQ(GetActiveWindow(), main->Handle());
    for (HWND h : {floating, hidden, disabled})
        DestroyWindow(h);
    delete dialog;
    delete main;
}

// Modal dialogs nested in each other end in any order, and every window is given back;
// so it is when a window's handler throws as it is enabled again.
TEST(Form, NestedModalDialogsGiveBackEveryWindowHoweverTheyEnd) {
    TForm* main = MakeForm();
    ShowAndPump(main);
    const HWND floating = Bystander(WS_VISIBLE);
    TForm* outer = MakeForm(200, 100);
    TForm* inner = MakeForm(150, 80);
    auto expectAllEnabled = [&] {
        for (HWND h : {main->Handle(), floating, outer->Handle(), inner->Handle()})
            EXPECT_TRUE(IsWindowEnabled(h));
    };
    // Played once, from the first activation of each dialog.
    enum class Ending { OuterFirst, None } ending = Ending::OuterFirst;
    bool outerActivated = false, innerActivated = false;
    outer->OnActivate = [&](TObject*) {
        if (std::exchange(outerActivated, true)) return;
        inner->ShowModal();
    };
    inner->OnActivate = [&](TObject*) {
        if (std::exchange(innerActivated, true)) return;
        if (ending == Ending::OuterFirst) {
            EXPECT_FALSE(IsWindowEnabled(outer->Handle()));
        }
        EXPECT_FALSE(IsWindowEnabled(floating));
        if (ending == Ending::OuterFirst) outer->SetModalResult(mrOk);
        inner->SetModalResult(mrCancel);
    };
    // The outer one is asked to end first, from inside the inner one.
    EXPECT_EQ(outer->ShowModal(), mrOk);
    expectAllEnabled();

    // Two windows whose handlers throw as they are enabled again: the program's error handler takes each
    // exception, and both are enabled all the same.
    static const char* const kThrowing = [] {
        WNDCLASS wc;
        wc.lpfnWndProc = [](HWND h, UINT msg, WPARAM wParam, LPARAM lParam) -> LRESULT {
            if (msg == WM_ENABLE && wParam != 0) throw Exception("refused");
            return DefWindowProc(h, msg, wParam, lParam);
        };
        wc.lpszClassName = "ModalThrowingBystander";
        RegisterClass(wc);
        return wc.lpszClassName;
    }();
    HWND throwing[2];
    for (HWND& h : throwing)
        h = CreateWindowEx(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kThrowing, "", WS_POPUP | WS_VISIBLE, 0, 0,
                           30, 20, nullptr, nullptr, nullptr, nullptr);
    ending = Ending::None;
    innerActivated = false;
    EXPECT_EQ(inner->ShowModal(), mrCancel);
    for (HWND h : {main->Handle(), floating, throwing[0], throwing[1]})
        EXPECT_TRUE(IsWindowEnabled(h));
    for (HWND h : {floating, throwing[0], throwing[1]})
        DestroyWindow(h);
    delete inner;
    delete main;
}

TEST(Form, CloseAsksOnCloseQueryAndFollowsTheCloseAction) {
    TForm* form = MakeForm();
    ShowAndPump(form);
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
    auto* box = Place<TTestBox>(form);
    ShowAndPump(form);
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

// A control on the form that the form does not own still answers its window's messages while the
// released form goes: that must not free the form a second time.
TEST(Form, AReleasedFormGoesOnceWhileItsControlsAnswerMessages) {
    TForm* form = MakeForm();
    auto* loose = new TTestBox(nullptr);
    loose->SetParent(form);
    ShowAndPump(form);
    auto alive = form->AliveToken();
    form->Release();
    Pump();
    EXPECT_TRUE(alive.expired());
}

TEST(Form, AControlFreedInItsOwnClickHandlerDoesNotCrash) {
    TForm* form = MakeForm();
    auto* box = Place<TTestBox>(form);
    auto* glyph = Place<TTestGlyph>(form, TRect{100, 100, 130, 130});
    int ups = 0;
    box->OnClick = [&](TObject* sender) { delete static_cast<TControl*>(sender); };
    box->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { ++ups; };
    glyph->OnClick = [&](TObject* sender) { delete static_cast<TControl*>(sender); };
    ShowAndPump(form);
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
    auto* box = Place<TTestBox>(form);
    std::vector<std::string> seen;
    std::vector<TObject*> senders;
    Application->OnException = [&](TObject* sender, const Exception& e) {
        seen.push_back(e.Message());
        senders.push_back(sender);
    };
    box->OnClick = [](TObject*) { throw EConvertError("'x' is not a valid integer value"); };
    auto* timer = new TTimer(form);
    timer->SetInterval(10);
    timer->OnTimer = [&](TObject* sender) {
        static_cast<TTimer*>(sender)->SetEnabled(false);
        throw std::runtime_error("timer failed");
    };
    ShowAndPump(form);
    pw::gui::SimulateClick(CenterOf(box));
    PumpUntil([&] { return seen.size() >= 2; });
    Application->OnException = nullptr;
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(seen, (std::vector<std::string>{"'x' is not a valid integer value", "timer failed"}));
    // The sender is the control whose handler failed, or the timer.
    EXPECT_NE(std::find(senders.begin(), senders.end(), static_cast<TObject*>(box)), senders.end());
    EXPECT_NE(std::find(senders.begin(), senders.end(), static_cast<TObject*>(timer)), senders.end());
    EXPECT_TRUE(IsWindow(form->Handle()));
    EXPECT_TRUE(form->Visible());
    // Without OnException and nobody at the screen, the default handler writes the text on stderr.
    auto handle = [form](const auto& raised) {
        try {
            throw raised;
        } catch (...) {
            Application->HandleException(form);
        }
    };
    testing::internal::CaptureStderr();
    handle(Exception("Cannot open file x"));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Cannot open file x.\n");
    // Where someone answers, the text comes in an error box captioned with the title.
    TScriptedPrompter prompter;
    Application->SetTitle("Quillmark Pathweaver");
    handle(EFOpenError("Cannot open file /tmp/x.qpw. No such file or directory"));
    ASSERT_EQ(prompter.Asked.size(), 1u);
    EXPECT_EQ(prompter.Asked[0].caption, "Quillmark Pathweaver");
    EXPECT_EQ(prompter.Asked[0].text, "Cannot open file /tmp/x.qpw. No such file or directory.");
    EXPECT_EQ(prompter.Asked[0].icon, MB_ICONERROR);
    // Called outside any handler there is nothing to handle.
    Application->HandleException(form);
    EXPECT_EQ(prompter.Asked.size(), 1u);
    // EAbort is silent.
    handle(EAbort(""));
    EXPECT_EQ(prompter.Asked.size(), 1u);
    delete form;
}

TEST(Form, WindowStateAndNormalBoundsAreReadWithoutChangingTheState) {
    TForm* form = MakeForm();
    form->SetBounds(50, 60, 300, 200);
    ShowAndPump(form);
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

TEST(Form, BorderChangesRecreateTheWindowWithItsChildrenAndOwnerCentring) {
    TForm* owner = MakeForm(400, 300);
    owner->SetBounds(100, 100, 400, 300);
    owner->Show();
    auto* dialog = new TForm(owner);
    dialog->SetBorderStyle(bsDialog);
    dialog->SetBorderIcons(TBorderIcons{biSystemMenu});
    dialog->SetFormStyle(fsStayOnTop);
    dialog->SetCaption("Options");
    dialog->SetClientWidth(200);
    dialog->SetClientHeight(100);
    dialog->SetPosition(poOwnerFormCenter);
    auto* panel = Place<TTestBox>(dialog);
    // A control that keeps its text in its window, as edits do, saves it when the window goes.
    struct TWindowText : TTestBox {
        using TTestBox::TTestBox;
        std::string saved;
        int destroys = 0;
        std::string GetText() const override { return HandleAllocated() ? ::GetWindowText(handle()) : saved; }
        void SetTextValue(const std::string& v) override {
            saved = v;
            if (HandleAllocated()) SetWindowText(handle(), v);
        }
        void DestroyWnd() override {
            ++destroys;
            saved = ::GetWindowText(handle());
            TTestBox::DestroyWnd();
        }
        HWND handle() const { return const_cast<TWindowText*>(this)->Handle(); }
    };
    auto* box = new TWindowText(dialog);
    box->SetParent(panel);
    box->SetCaption("box");
    SetWindowText(box->Handle(), "typed");
    HWND first = dialog->Handle();
    DWORD style = static_cast<DWORD>(GetWindowLong(first, GWL_STYLE));
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    EXPECT_TRUE(GetWindowLong(first, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(GetWindowText(first), "Options");
    dialog->SetBorderStyle(bsSizeable);
    EXPECT_NE(dialog->Handle(), first);
    EXPECT_TRUE(GetWindowLong(dialog->Handle(), GWL_STYLE) & WS_THICKFRAME);
    EXPECT_EQ(GetParent(panel->Handle()), dialog->Handle());
    EXPECT_EQ(GetParent(box->Handle()), panel->Handle());
    EXPECT_EQ(box->destroys, 1);
    EXPECT_EQ(GetWindowText(box->Handle()), "typed");
    ShowAndPump(dialog);
    EXPECT_NEAR(dialog->Left() + dialog->Width() / 2, owner->Left() + owner->Width() / 2, 1);
    EXPECT_NEAR(dialog->Top() + dialog->Height() / 2, owner->Top() + owner->Height() / 2, 1);
    delete owner; // takes the dialog with it
}

TEST(Form, TimersFireFromTheLoopWhileEnabled) {
    TTimer timer(nullptr);
    int ticks = 0;
    timer.SetInterval(20);
    timer.OnTimer = [&](TObject*) { ++ticks; };
    EXPECT_TRUE(PumpUntil([&] { return ticks >= 3; }));
    timer.SetEnabled(false);
    int stopped = ticks;
    EXPECT_TRUE(PumpTimerTicks(20, 3));
    EXPECT_EQ(ticks, stopped);
}

TEST(Form, TheApplicationHearsOnceWhenItIsActivatedOrDeactivated) {
    TForm* a = MakeForm();
    TForm* b = MakeForm();
    a->Show();
    ShowAndPump(b);
    std::vector<std::string> seen;
    Application->OnActivate = [&](TObject*) { seen.push_back("activate"); };
    Application->OnDeactivate = [&](TObject*) { seen.push_back("deactivate"); };
    pw::gui::InjectAppActivation(false);
    Pump();
    pw::gui::InjectAppActivation(true);
    Pump();
    Application->OnActivate = nullptr;
    Application->OnDeactivate = nullptr;
    EXPECT_EQ(seen, (std::vector<std::string>{"deactivate", "activate"}));
    delete a;
    delete b;
}

namespace {

// Counts the messages its own procedure gets once its owner has begun to go.
class TOwnedBox : public TTestBox {
public:
    using TTestBox::TTestBox;
    int* lateMessages = nullptr;
    void WndProc(TMessage& Message) override {
        if (ComponentState().Contains(csDestroying)) ++*lateMessages;
        TTestBox::WndProc(Message);
    }
};

} // namespace

TEST(Form, ControlsOfAFormBeingDestroyedGetNoMoreMessagesInTheirOwnProcedure) {
    int lateMessages = 0;
    TForm* form = MakeForm();
    auto* box = new TOwnedBox(form);
    box->SetParent(form);
    box->SetBounds(10, 10, 50, 50);
    box->lateMessages = &lateMessages;
    form->Show();
    Pump();
    // While alive it gets the window's messages; once its owner goes, what its window still receives
    // (destruction, focus moves) is answered by the default procedure alone.
    const HWND window = box->Handle();
    box->SetFocus();
    Pump();
    delete form;
    EXPECT_EQ(lateMessages, 0);
    EXPECT_FALSE(IsWindow(window));
}

TEST(Form, AShownFormWhoseWindowIsMadeAgainStaysShownWithItsControls) {
    TForm* form = MakeForm(300, 200);
    auto* box = Place<TTestBox>(form, TRect{10, 10, 60, 30});
    ShowAndPump(form);
    const HWND old = form->Handle();
    form->RecreateWnd();
    Pump();
    EXPECT_NE(form->Handle(), old);
    EXPECT_FALSE(IsWindow(old));
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
    EXPECT_TRUE(IsWindowVisible(box->Handle()));
    EXPECT_EQ(GetParent(box->Handle()), form->Handle());
    // A hidden one stays hidden.
    form->Hide();
    form->RecreateWnd();
    EXPECT_FALSE(IsWindowVisible(form->Handle()));
    delete form;
}
