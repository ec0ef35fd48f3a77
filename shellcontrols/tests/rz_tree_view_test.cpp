#include "shellcontrols/rz_tree_view.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> TreeOrder(const TRzTreeView& tv) {
    std::vector<std::string> texts;
    for (int i = 0; i < tv.Items().Count(); ++i)
        texts.push_back(tv.Items().Item(i)->Text());
    return texts;
}

// root
//   a
//     a1
//   b
// top
struct Sample {
    TRzTreeView tv;
    TRzTreeNode* root = tv.Items().AddObject(nullptr, "root", nullptr);
    TRzTreeNode* a = tv.Items().AddChildObject(root, "a", nullptr);
    TRzTreeNode* b = tv.Items().AddChildObject(root, "b", nullptr);
    TRzTreeNode* top = tv.Items().AddObject(root, "top", nullptr);
    // Added last, in the middle of the order: the absolute order must still place it under a.
    TRzTreeNode* a1 = tv.Items().AddChildObject(a, "a1", nullptr);
};

TEST(RzTreeView, ItemsRunInTreeOrderOverAllLevels) {
    Sample s;
    EXPECT_EQ(TreeOrder(s.tv), (std::vector<std::string>{"root", "a", "a1", "b", "top"}));
    EXPECT_EQ(s.tv.Items().Count(), 5);
    EXPECT_EQ(s.a1->Level(), 2);
    EXPECT_EQ(s.top->Level(), 0);
    EXPECT_EQ(s.b->Index(), 1);
    EXPECT_EQ(s.b->AbsoluteIndex(), 3);
    EXPECT_EQ(s.tv.Items().Item(5), nullptr);
    EXPECT_EQ(s.tv.Items().Item(-1), nullptr);
    EXPECT_EQ(s.tv.Items().GetFirstNode(), s.root);
    // Appends at the very end keep working after a cached order was built.
    TRzTreeNode* b1 = s.tv.Items().AddChildObject(s.b, "b1", nullptr);
    s.tv.Items().AddChildObject(b1, "b11", nullptr);
    s.tv.Items().AddChildObject(s.top, "t1", nullptr);
    EXPECT_EQ(TreeOrder(s.tv), (std::vector<std::string>{"root", "a", "a1", "b", "b1", "b11", "top", "t1"}));
}

TEST(RzTreeView, DeleteHearsEveryDescendantOnceAndFreesTheSubtree) {
    Sample s;
    std::vector<std::string> heard;
    s.tv.OnDeletion = [&](TObject*, TRzTreeNode* n) {
        heard.push_back(n->Text());
        // The node is still whole while its handler runs.
        EXPECT_NE(n->Owner(), nullptr);
    };
    s.tv.Items().Delete(s.root);
    EXPECT_EQ(heard, (std::vector<std::string>{"b", "a1", "a", "root"}));
    EXPECT_EQ(TreeOrder(s.tv), (std::vector<std::string>{"top"}));
    EXPECT_EQ(s.tv.Items().Count(), 1);
    heard.clear();
    s.tv.Items().Clear();
    EXPECT_EQ(heard, (std::vector<std::string>{"top"}));
    EXPECT_EQ(s.tv.Items().Count(), 0);
    EXPECT_EQ(s.tv.Items().GetFirstNode(), nullptr);
}

TEST(RzTreeView, MultiSelectionFollowsClicksAndDeletions) {
    Sample s;
    int changes = 0;
    s.tv.OnChange = [&](TObject*, TRzTreeNode*) { ++changes; };
    EXPECT_TRUE(s.tv.MultiSelect());
    s.tv.Select(s.a, false);
    s.tv.Select(s.b, true);
    s.tv.Select(s.a1, true);
    EXPECT_EQ(s.tv.SelectionCount(), 3);
    EXPECT_EQ(changes, 3);
    // Without a window handle nothing is "the" selected node.
    EXPECT_EQ(s.tv.Selected(), nullptr);
    s.tv.HandleNeeded();
    EXPECT_EQ(s.tv.Selected(), s.a1);
    // Deleting a selected subtree takes its nodes out of the selection.
    s.tv.Items().Delete(s.a);
    ASSERT_EQ(s.tv.SelectionCount(), 1);
    EXPECT_EQ(s.tv.Selections(0), s.b);
    EXPECT_EQ(s.tv.Selected(), s.b);
    // A plain click replaces the selection.
    s.tv.Select(s.top, false);
    EXPECT_EQ(s.tv.SelectionCount(), 1);
    EXPECT_FALSE(s.b->Selected());
    s.tv.ClearSelection();
    EXPECT_EQ(s.tv.SelectionCount(), 0);
    EXPECT_EQ(s.tv.Selected(), nullptr);
}

TEST(RzTreeView, EditingPassesTheTextThroughOnEdited) {
    Sample s;
    s.tv.OnEdited = [](TObject*, TRzTreeNode*, std::string& text) { text += "!"; };
    ASSERT_TRUE(s.b->EditText());
    EXPECT_EQ(s.tv.EditingNode(), s.b);
    s.tv.EndEdit("renamed");
    EXPECT_EQ(s.b->Text(), "renamed!");
    ASSERT_TRUE(s.b->EditText());
    s.tv.EndEdit("dropped", true);
    EXPECT_EQ(s.b->Text(), "renamed!");
    // The node being edited goes away: the editor no longer refers to it.
    ASSERT_TRUE(s.a1->EditText());
    s.tv.Items().Delete(s.a);
    EXPECT_EQ(s.tv.EditingNode(), nullptr);
    s.tv.EndEdit("late");
    s.tv.SetReadOnly(true);
    EXPECT_FALSE(s.b->EditText());
}

TEST(RzTreeView, ContextMenuAndKeysReachTheirEvents) {
    Sample s;
    TRzTreeNode* menuNode = nullptr;
    POINT where{};
    s.tv.OnNodeContextMenu = [&](TObject*, TRzTreeNode* n, POINT& p, bool& handled) {
        menuNode = n;
        where = p;
        handled = true;
    };
    s.tv.ContextPopup(s.b, POINT{10, 20});
    EXPECT_EQ(menuNode, s.b);
    EXPECT_EQ(where.y, 20);
    WORD seen = 0;
    s.tv.OnKeyUp = [&](TObject*, WORD& key, TShiftState shift) { seen = shift.Contains(ssAlt) ? key : 0; };
    s.tv.KeyUp(13, TShiftState{ssAlt});
    EXPECT_EQ(seen, 13);
}

} // namespace
