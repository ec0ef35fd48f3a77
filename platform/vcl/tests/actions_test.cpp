#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/gui/keys.h"
#include "platform/vcl/actions.h"
#include "platform/vcl/form.h"
#include "platform/vcl/shortcut.h"
#include "vcl_test_support.h"

namespace {

// A client that records what its link gives it.
class RecordingLink : public TActionLink {
public:
    std::vector<std::string> log;
    bool followsHandler = true;
    void SetCaption(const std::string& v) override { log.push_back("caption " + v); }
    void SetEnabled(bool v) override { log.push_back(v ? "enabled" : "disabled"); }
    void SetShortCut(TShortCut v) override { log.push_back("shortcut " + std::to_string(v)); }
    void SetVisible(bool v) override { log.push_back(v ? "shown" : "hidden"); }
    bool IsOnExecuteLinked() override { return followsHandler; }
    void SetOnExecute(const TNotifyEvent& v) override { log.push_back(v ? "handler" : "no handler"); }
};

TEST(Actions, LinksFollowTheActionAndRunItUntilEitherGoes) {
    auto action = std::make_unique<TCustomAction>(nullptr);
    RecordingLink link;
    link.SetAction(action.get());
    EXPECT_EQ(action->ClientCount(), 1);
    EXPECT_TRUE(link.IsCaptionLinked());
    int changes = 0;
    link.OnChange = [&](TObject*) { ++changes; };

    action->SetCaption("&Open");
    action->SetCaption("&Open");
    action->SetEnabled(false);
    action->SetShortCut(ShortCut('O', TShiftState{ssCtrl}));
    action->SetVisible(false);
    EXPECT_EQ(link.log, (std::vector<std::string>{"caption &Open", "disabled", "shortcut 16463", "hidden"}));
    EXPECT_EQ(changes, 4);

    EXPECT_FALSE(link.Execute());
    int runs = 0;
    action->SetOnExecute([&](TObject* sender) {
        ++runs;
        EXPECT_EQ(sender, action.get());
    });
    EXPECT_EQ(link.log.back(), "handler");
    EXPECT_TRUE(link.Execute());
    EXPECT_EQ(runs, 1);

    // An action freed first leaves its links without an action.
    action.reset();
    EXPECT_EQ(link.Action(), nullptr);
    EXPECT_FALSE(link.IsCaptionLinked());
    EXPECT_FALSE(link.Execute());
    {
        // A link freed first leaves the action.
        TCustomAction other(nullptr);
        auto transient = std::make_unique<RecordingLink>();
        transient->SetAction(&other);
        transient.reset();
        EXPECT_EQ(other.ClientCount(), 0);
    }
}

TEST(ShortCuts, KeyAndShiftStateRoundTrip) {
    WORD key = 0;
    TShiftState shift;
    const TShortCut s = ShortCut('S', TShiftState{ssCtrl, ssShift});
    EXPECT_EQ(s, 0x6053);
    ShortCutToKey(s, key, shift);
    EXPECT_EQ(key, 'S');
    EXPECT_EQ(shift, (TShiftState{ssCtrl, ssShift}));
    EXPECT_EQ(ShortCut(0x100, TShiftState{}), scNone);
}

TEST(ShortCuts, TextNamesTheShiftStatesInMenuOrderThenTheKey) {
    EXPECT_EQ(ShortCutToText(ShortCut('O', TShiftState{ssCtrl})), "Ctrl+O");
    EXPECT_EQ(ShortCutToText(ShortCut('S', TShiftState{ssAlt, ssCtrl, ssShift})), "Shift+Ctrl+Alt+S");
    EXPECT_EQ(ShortCutToText(ShortCut(VK_F1 + 11, TShiftState{})), "F12");
    EXPECT_EQ(ShortCutToText(ShortCut(VK_DELETE, TShiftState{ssShift})), "Shift+Del");
    EXPECT_EQ(ShortCutToText(ShortCut(VK_OEM_COMMA, TShiftState{ssCtrl})), "Ctrl+,");
    // Nothing, or a key without a name, has no text even with shift states.
    EXPECT_EQ(ShortCutToText(scNone), "");
    EXPECT_EQ(ShortCutToText(ShortCut(VK_SHIFT, TShiftState{ssCtrl})), "");
}

// A component without a parent, as non-visual components of a form are.
class Plain : public TComponent {
public:
    using TComponent::TComponent;
    std::string ClassName() const override { return "TPlainForFormTest"; }
};

TEST(FormStream, AFormStoresItsComponentsThatHaveNoParent) {
    TForm form(nullptr);
    auto* label = new vcl_test::TTestBox(&form);
    label->SetParent(&form);
    auto* plain = new Plain(&form);
    plain->SetName("Plain1");
    EXPECT_TRUE(label->HasParent());
    EXPECT_EQ(label->GetParentComponent(), &form);
    std::vector<TComponent*> stored;
    form.GetChildren([&](TComponent* c) { stored.push_back(c); }, &form);
    EXPECT_EQ(stored, (std::vector<TComponent*>{plain}));
    stored.clear();
    form.GetChildren([&](TComponent* c) { stored.push_back(c); }, nullptr);
    EXPECT_TRUE(stored.empty());
}

} // namespace
