// Groups: switching members together, nesting, the recursion check and the member names in the stream.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "bars/core/bar_button.h"
#include "bars/core/bar_errors.h"
#include "bars/core/bar_group.h"
#include "bars/core/bar_manager.h"
#include "bars/core/bar_routines.h"
#include "bars/core/item_links.h"
#include "bars/core/toolbars.h"
#include "bars_test_support.h"

using namespace bars_test;

namespace {

// A button that notes whether the manager's redraw was locked each time it changed.
class LockWatchingButton : public TdxBarButton {
public:
    using TdxBarButton::TdxBarButton;
    void EnabledChanged() override {
        TdxBarButton::EnabledChanged();
        locked.push_back(BarManager() != nullptr && BarManager()->LockUpdate());
    }
    void VisibleChanged() override {
        TdxBarButton::VisibleChanged();
        locked.push_back(BarManager() != nullptr && BarManager()->LockUpdate());
    }
    std::vector<bool> locked;
};

class GroupsTest : public ::testing::Test {
protected:
    void SetUp() override {
        manager = new TdxBarManager(form.get());
        manager->SetName("BarManager");
        toolbar = manager->Bars()->Add();
        toolbar->SetCaption("Main Toolbar");
        open = AddButton(form.get(), "miOpen", "&Open");
        save = AddButton(form.get(), "miSave", "&Save");
        print = AddButton(form.get(), "miPrint", "&Print");
        for (TdxBarItem* item : {static_cast<TdxBarItem*>(open), static_cast<TdxBarItem*>(save),
                                 static_cast<TdxBarItem*>(print)})
            toolbar->ItemLinks()->Add()->SetItem(item);
        toolbar->SetVisible(true);
        files = Group("grpFiles");
        output = Group("grpOutput");
        Log().clear();
    }

    TdxBarGroup* Group(const std::string& name) {
        auto* group = new TdxBarGroup(form.get());
        group->SetName(name);
        group->SetParentComponent(manager);
        return group;
    }

    FakeWindows windows;
    std::unique_ptr<TestForm> form = std::make_unique<TestForm>();
    TdxBarManager* manager = nullptr;
    TdxBar* toolbar = nullptr;
    TdxBarButton* open = nullptr;
    TdxBarButton* save = nullptr;
    TdxBarButton* print = nullptr;
    TdxBarGroup* files = nullptr;
    TdxBarGroup* output = nullptr;
};

TEST_F(GroupsTest, OneAssignmentReachesNestedMembersUnderOneRedrawAndTheLockComesBack) {
    auto* watcher = new LockWatchingButton(form.get());
    watcher->SetName("miWatch");
    watcher->SetCaption("&Watch");
    watcher->SetCategory(0);
    output->Add(watcher);
    output->Add(print);
    files->Add(open);
    files->Add(output);
    EXPECT_EQ(manager->GroupCount(), 2);
    EXPECT_EQ(files->Index(), 0);

    files->SetEnabled(false);
    EXPECT_FALSE(open->Enabled());
    EXPECT_FALSE(print->Enabled());
    EXPECT_TRUE(save->Enabled());
    EXPECT_FALSE(output->Enabled());
    EXPECT_FALSE(manager->LockUpdate());

    files->SetVisible(ivNever);
    EXPECT_EQ(open->Visible(), ivNever);
    EXPECT_EQ(print->Visible(), ivNever);
    EXPECT_EQ(watcher->Visible(), ivNever);
    EXPECT_EQ(save->Visible(), ivAlways);
    // Every member changed under the redraw lock, which was let go afterwards.
    EXPECT_EQ(watcher->locked, (std::vector<bool>{true, true}));
    EXPECT_FALSE(manager->LockUpdate());

    // A lock held by the caller stays held.
    manager->SetLockUpdate(true);
    files->SetEnabled(true);
    EXPECT_TRUE(open->Enabled());
    EXPECT_TRUE(manager->LockUpdate());
    manager->SetLockUpdate(false);

    // Moving a group among the manager's groups.
    output->SetIndex(0);
    EXPECT_EQ(manager->Groups(0), output);
    EXPECT_EQ(files->Index(), 1);
}

TEST_F(GroupsTest, EveryAssignmentBringsBackAMemberChangedOnItsOwn) {
    files->Add(open);
    files->Add(output);
    output->Add(print);
    // The group is enabled and visible already; its members were changed one by one since.
    open->SetEnabled(false);
    print->SetEnabled(false);
    files->SetEnabled(true);
    EXPECT_TRUE(open->Enabled());
    EXPECT_TRUE(print->Enabled());
    files->SetEnabled(false);
    open->SetEnabled(true);
    files->SetEnabled(false);
    EXPECT_FALSE(open->Enabled());

    print->SetVisible(ivNever);
    files->SetVisible(ivAlways);
    EXPECT_EQ(print->Visible(), ivAlways);
    files->SetVisible(ivInCustomizing);
    open->SetVisible(ivAlways);
    files->SetVisible(ivInCustomizing);
    EXPECT_EQ(open->Visible(), ivInCustomizing);
    EXPECT_EQ(print->Visible(), ivInCustomizing);
}

TEST_F(GroupsTest, NoRedrawLockWhileAQuickCustomizationDropDownShowsOrTheGroupLoads) {
    auto* watcher = new LockWatchingButton(form.get());
    watcher->SetName("miWatch");
    watcher->SetCategory(0);
    files->Add(watcher);
    windows.quickControlShown = true;
    files->SetEnabled(false);
    // Visibility takes the lock all the same.
    files->SetVisible(ivNever);
    windows.quickControlShown = false;
    EXPECT_EQ(watcher->locked, (std::vector<bool>{false, true}));
    EXPECT_FALSE(watcher->Enabled());

    // A group being read gives its members the value too, without the lock.
    watcher->locked.clear();
    auto* reading = new TdxBarGroup(form.get());
    reading->SetParentComponent(manager);
    reading->Add(watcher);
    reading->Loading();
    reading->SetEnabled(true);
    reading->SetVisible(ivAlways);
    reading->Loaded();
    EXPECT_EQ(watcher->locked, (std::vector<bool>{false, false}));
    EXPECT_TRUE(watcher->Enabled());
}

TEST_F(GroupsTest, RecursionIsRefusedAndFreedMembersLeave) {
    files->Add(output);
    EXPECT_THROW(files->Add(files), EdxBarError);
    EXPECT_THROW(output->Add(files), EdxBarError);
    TdxBarGroup* inner = Group("grpInner");
    output->Add(inner);
    // A group at any depth below counts.
    EXPECT_THROW(inner->Add(files), EdxBarError);
    try {
        inner->Add(output);
        ADD_FAILURE() << "no error";
    } catch (const EdxBarError& e) {
        EXPECT_EQ(std::string(e.what()), "You cannot create recursive groups");
    }
    EXPECT_EQ(inner->Count(), 0);
    // Neither a twice-added member nor something that is no item or group is taken.
    files->Add(open);
    files->Add(open);
    files->Add(form.get());
    EXPECT_EQ(files->Count(), 2);

    delete open;
    EXPECT_EQ(files->Count(), 1);
    EXPECT_EQ(files->IndexOf(output), 0);
    delete inner;
    EXPECT_EQ(output->Count(), 0);
    EXPECT_EQ(manager->GroupCount(), 2);
}

TEST_F(GroupsTest, MembersAreStreamedByNameAndFoundAgainOnceTheFormIsRead) {
    files->Add(open);
    files->Add(output);
    output->Add(print);
    files->SetEnabled(false);
    const std::string text = StreamText(*form);
    EXPECT_NE(text.find("Items = (\r\n        'miOpen'\r\n        'grpOutput')"), std::string::npos) << text;
    // A group without members writes no list.
    Group("grpEmpty");
    const std::string withEmpty = StreamText(*form);
    const size_t empty = withEmpty.find("grpEmpty");
    ASSERT_NE(empty, std::string::npos);
    EXPECT_EQ(withEmpty.find("Items", empty), std::string::npos) << withEmpty;

    std::unique_ptr<TestForm> copy = ReadForm(Stream(*form));
    auto* readManager = dynamic_cast<TdxBarManager*>(copy->FindComponent("BarManager"));
    auto* readFiles = dynamic_cast<TdxBarGroup*>(copy->FindComponent("grpFiles"));
    auto* readOutput = dynamic_cast<TdxBarGroup*>(copy->FindComponent("grpOutput"));
    ASSERT_NE(readFiles, nullptr);
    ASSERT_NE(readOutput, nullptr);
    EXPECT_EQ(readFiles->BarManager(), readManager);
    EXPECT_EQ(readManager->GroupCount(), 3);
    ASSERT_EQ(readFiles->Count(), 2);
    EXPECT_EQ(readFiles->Items(0), copy->FindComponent("miOpen"));
    EXPECT_EQ(readFiles->Items(1), readOutput);
    EXPECT_EQ(readOutput->Items(0), copy->FindComponent("miPrint"));
    EXPECT_FALSE(readFiles->Enabled());
}

} // namespace
