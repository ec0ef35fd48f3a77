#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "bars/core/bar_button.h"
#include "bars/core/bar_manager.h"
#include "bars/core/bar_unit.h"
#include "bars/core/item_links.h"
#include "bars/core/sub_item.h"
#include "bars/core/toolbar.h"
#include "bars/core/toolbars.h"
#include "bars_test_support.h"
#include "platform/gui/system.h"
#include "platform/rtl/component.h"
#include "platform/rtl/object_text.h"
#include "platform/rtl/resource_stream.h"
#include "platform/rtl/stream.h"
#include "platform/rtl/string_stream.h"

using namespace bars_test;

namespace {

// Each test's form class has a stored definition of its own.
class DesignedForm : public TestForm {
public:
    explicit DesignedForm(std::string className) : className_(std::move(className)) {}
    std::string ClassName() const override { return className_; }

private:
    std::string className_;
};

// The stored definition lives for the whole run, as the program's own resources do.
void Store(const std::string& className, std::vector<uint8_t> bytes) {
    static std::vector<std::unique_ptr<std::vector<uint8_t>>> kept;
    kept.push_back(std::make_unique<std::vector<uint8_t>>(std::move(bytes)));
    RegisterResource(className.c_str(), RT_RCDATA, kept.back()->data(), kept.back()->size());
}

std::vector<uint8_t> Binary(const std::string& text) {
    TStringStream in(text);
    TMemoryStream out;
    ObjectTextToBinary(in, out);
    return out.Bytes();
}

struct Design {
    TdxBarManager* manager = nullptr;
    TdxBar* main = nullptr;
    TdxBarButton *open = nullptr, *save = nullptr, *print = nullptr;
    TdxBarSubItem* file = nullptr;
};

// A manager with a named toolbar and a named sub-item; Save is not among the recently used.
Design Build(TestForm& form) {
    Design d;
    form.SetName("ResetForm");
    d.manager = new TdxBarManager(&form);
    d.manager->SetName("dxBarManager1");
    d.manager->SetStyle(bmsFlat);
    d.open = AddButton(&form, "OpenButton", "Open");
    d.save = AddButton(&form, "SaveButton", "Save");
    d.print = AddButton(&form, "PrintButton", "Print");
    d.file = AddSubItem(&form, "FileMenu", "&File");
    d.main = d.manager->Bars()->Add();
    d.main->SetName("MainBar");
    d.main->SetCaption("Main");
    d.main->SetOneOnRow(true);
    for (TdxBarItem* item : {d.open, d.save, d.print})
        d.main->ItemLinks()->Add()->SetItem(item);
    d.main->ItemLinks()->Items(1)->SetMostRecentlyUsed(false);
    for (TdxBarItem* item : {d.open, d.save})
        d.file->ItemLinks()->Add()->SetItem(item);
    d.file->ItemLinks()->Items(1)->SetMostRecentlyUsed(false);
    d.manager->SetStoreInIniFile(true);
    d.manager->SetIniFileName("/nonexistent/layout.ini");
    return d;
}

bool MarkOf(TdxBarItemLinks* links, TdxBarItem* item) {
    for (int i = 0; i < links->Count(); ++i)
        if (links->Items(i)->Item() == item) return links->Items(i)->MostRecentlyUsed();
    ADD_FAILURE() << "no link";
    return false;
}

} // namespace

// The copy holds the manager as designed, without event or OneOnRow lines (both begin with "On"), and
// stores nothing when it goes.
TEST(UsageReset, TheDesignStateCopyIsTheManagerAsDesigned) {
    FakeWindows windows;
    DesignedForm form("TUsageResetForm1");
    Design d = Build(form);
    Store(form.ClassName(), Stream(form));

    std::unique_ptr<TCustomForm> copy = d.manager->CreateDesignStateForm();
    ASSERT_NE(copy, nullptr);
    auto* manager = dynamic_cast<TdxBarManager*>(copy->FindComponent("dxBarManager1"));
    ASSERT_NE(manager, nullptr);
    EXPECT_FALSE(manager->StoreInIniFile());
    EXPECT_FALSE(manager->StoreInRegistry());
    ASSERT_EQ(manager->Bars()->Count(), 1);
    EXPECT_FALSE(manager->Bars()->Items(0)->OneOnRow());
    EXPECT_EQ(manager->Bars()->Items(0)->ItemLinks()->Count(), 3);
    EXPECT_FALSE(bars::ReadingDesignState());

    // A form class without a stored definition has no copy.
    DesignedForm other("TUsageResetFormWithout");
    Design o = Build(other);
    EXPECT_EQ(o.manager->CreateDesignStateForm(), nullptr);
}

// The manager's class, registered by the program, stays registered after the copy was read.
TEST(UsageReset, TheCopyLeavesTheProgramsClassRegistrationAlone) {
    FakeWindows windows;
    DesignedForm form("TUsageResetForm2");
    Design d = Build(form);
    Store(form.ClassName(), Stream(form));
    const bool before = FindClass("TdxBarManager") != nullptr;
    if (!before) RegisterComponentClass<TdxBarManager>("TdxBarManager");
    ASSERT_NE(d.manager->CreateDesignStateForm(), nullptr);
    EXPECT_NE(FindClass("TdxBarManager"), nullptr);
    if (!before) UnRegisterClass("TdxBarManager");
    // Registered only for the copy, it goes afterwards.
    ASSERT_NE(d.manager->CreateDesignStateForm(), nullptr);
    EXPECT_EQ(FindClass("TdxBarManager") != nullptr, before);
}

// A definition whose manager comes right after the form's header is found: forms here store no
// properties of their own, so that is where every manager stands.
TEST(UsageReset, TheManagerIsFoundRightAfterTheFormsHeader) {
    FakeWindows windows;
    DesignedForm form("TUsageResetForm3");
    Design d = Build(form);
    Store(form.ClassName(), Binary("object ResetForm: TUsageResetForm3\n"
                                   "  object dxBarManager1: TdxBarManager\n"
                                   "    Style = bmsFlat\n"
                                   "  end\n"
                                   "end\n"));
    std::unique_ptr<TCustomForm> copy = d.manager->CreateDesignStateForm();
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy->FindComponent("dxBarManager1"), nullptr);
}

// No leaves the usage data; Yes gives every link its designed mark, matching bars and links by name: a
// bar the user added in front and links the user reordered take no other bar's or link's mark.
TEST(UsageReset, YesRestoresTheDesignedMarksByName) {
    FakeWindows windows;
    DesignedForm form("TUsageResetForm4");
    Design d = Build(form);
    Store(form.ClassName(), Stream(form));
    // The user's changes: everything used, Save moved to the front, a new bar before the designed one.
    for (TdxBarItemLinks* links : {d.main->ItemLinks(), d.file->ItemLinks()})
        for (int i = 0; i < links->Count(); ++i)
            links->Items(i)->SetMostRecentlyUsed(true);
    d.main->ItemLinks()->Items(1)->SetIndex(0);
    TdxBar* added = d.manager->Bars()->Add();
    added->SetName("UserBar");
    added->SetIndex(0);
    added->ItemLinks()->Add()->SetItem(d.print);
    added->ItemLinks()->Add()->SetItem(d.save);

    {
        ScriptedPrompter no(IDNO);
        d.manager->ConfirmResetToDesignState();
        ASSERT_EQ(no.texts.size(), 1u);
        EXPECT_NE(no.texts[0].find("record of the commands you've used"), std::string::npos);
    }
    EXPECT_TRUE(MarkOf(d.main->ItemLinks(), d.save));

    ScriptedPrompter yes(IDYES);
    d.manager->ConfirmResetToDesignState();
    EXPECT_FALSE(MarkOf(d.main->ItemLinks(), d.save));
    EXPECT_TRUE(MarkOf(d.main->ItemLinks(), d.open));
    EXPECT_TRUE(MarkOf(d.main->ItemLinks(), d.print));
    EXPECT_FALSE(MarkOf(d.file->ItemLinks(), d.save));
    EXPECT_TRUE(MarkOf(d.file->ItemLinks(), d.open));
    // The user's own bar has no design: it keeps its marks.
    EXPECT_TRUE(MarkOf(added->ItemLinks(), d.save));
    EXPECT_TRUE(MarkOf(added->ItemLinks(), d.print));
    EXPECT_FALSE(d.manager->LockUpdate());
}

// A reset the user confirms, of the usage data or of a bar, is the user's change of the bars; one the
// user declines is none.
TEST(UsageReset, OnlyAConfirmedResetIsTheUsersChange) {
    FakeWindows windows;
    DesignedForm form("TUsageResetForm5");
    Design d = Build(form);
    Store(form.ClassName(), Stream(form));
    d.manager->ForgetUserChanges();
    {
        ScriptedPrompter no(IDNO);
        d.manager->ConfirmResetToDesignState();
        ScriptedPrompter cancel(IDCANCEL);
        d.main->Reset();
    }
    EXPECT_FALSE(d.manager->ChangedByUser());
    {
        ScriptedPrompter yes(IDYES);
        d.manager->ConfirmResetToDesignState();
    }
    EXPECT_TRUE(d.manager->ChangedByUser());
    d.manager->ForgetUserChanges();
    ScriptedPrompter ok(IDOK);
    d.main->Reset();
    EXPECT_TRUE(d.manager->ChangedByUser());
}
