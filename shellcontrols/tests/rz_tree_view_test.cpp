#include "shellcontrols/rz_tree_view.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/gdi/shapes.h"
#include "platform/gdi/syscolors.h"
#include "platform/gui/keys.h"
#include "platform/gui/paint.h"
#include "tree_test_support.h"

using namespace tree_test;

namespace {

// root
//   a
//     a1
//   b
// top
struct Sample : TreeForm {
    TRzTreeNodes& items = tree->Items();
    TRzTreeNode* root = items.AddObject(nullptr, "root", nullptr);
    TRzTreeNode* a = items.AddChildObject(root, "a", nullptr);
    TRzTreeNode* a1 = items.AddChildObject(a, "a1", nullptr);
    TRzTreeNode* b = items.AddChildObject(root, "b", nullptr);
    TRzTreeNode* top = items.AddObject(root, "top", nullptr);
};

TEST(RzTreeView, SelectedIsNothingUntilTheWindowExists) {
    auto* alone = new TRzTreeView;
    EXPECT_TRUE(alone->MultiSelect());
    TRzTreeNode* first = alone->Items().AddObject(nullptr, "first", nullptr);
    TRzTreeNode* second = alone->Items().AddObject(nullptr, "second", nullptr);
    alone->SetSelected(second);
    alone->Select({first, second});
    ASSERT_FALSE(alone->HandleAllocated());
    EXPECT_EQ(alone->Selected(), nullptr);
    // The plain view's answer is the one kept for the window to come.
    EXPECT_EQ(static_cast<TTreeView*>(alone)->Selected(), second);
    EXPECT_EQ(alone->SelectionCount(), 2);

    TreeForm f;
    alone->SetParent(f.form);
    f.Show();
    ASSERT_TRUE(alone->HandleAllocated());
    EXPECT_EQ(alone->Selected(), second);
    EXPECT_EQ(alone->SelectionCount(), 2);
    delete alone;
}

TEST(RzTreeView, CtrlClicksSelectSeveralNodesAndEachChangeIsHeard) {
    Sample s;
    std::vector<std::string> changes;
    s.tree->OnChange = [&](TObject*, TRzTreeNode* n) { changes.push_back(n ? n->Text() : "-"); };
    s.Show();
    s.root->Expand(true);
    Pump();
    ClickAt(s.tree, s.Label(s.b), pw::gui::MouseButton::Left);
    changes.clear();
    ClickAt(s.tree, s.Label(s.root), pw::gui::MouseButton::Left);
    ClickAt(s.tree, s.Label(s.a1), pw::gui::MouseButton::Left, VK_CONTROL);
    ClickAt(s.tree, s.Label(s.top), pw::gui::MouseButton::Left, VK_CONTROL);
    // Every click that changed the selection was heard, once.
    EXPECT_EQ(changes, (std::vector<std::string>{"root", "a1", "top"}));
    ASSERT_EQ(s.tree->SelectionCount(), 3);
    EXPECT_EQ(s.tree->Selections(0), s.root);
    EXPECT_EQ(s.tree->Selections(2), s.top);
    // Ctrl-clicks leave the kept node where the plain click put it.
    EXPECT_EQ(s.tree->Selected(), s.root);
}

TEST(RzTreeView, ContextMenuNamesTheNodeUnderThePointerOrTheFocusedOne) {
    Sample s;
    std::vector<std::string> log;
    bool handle = true;
    POINT where{};
    s.tree->OnNodeContextMenu = [&](TObject* sender, TRzTreeNode* n, POINT& p, bool& handled) {
        EXPECT_EQ(sender, s.tree);
        log.push_back("node " + n->Text());
        where = p;
        handled = handle;
    };
    s.tree->OnContextPopup = [&](TObject*, TPoint, bool&) { log.push_back("popup"); };
    s.Show();
    s.root->Expand(true);
    Pump();

    const TPoint onB = s.Label(s.b);
    ClickAt(s.tree, onB, pw::gui::MouseButton::Right);
    EXPECT_EQ(log, std::vector<std::string>{"node b"});
    EXPECT_EQ(where.x, onB.x);
    EXPECT_EQ(where.y, onB.y);
    // Not handled: the plain popup follows.
    log.clear();
    handle = false;
    ClickAt(s.tree, onB, pw::gui::MouseButton::Right);
    EXPECT_EQ(log, (std::vector<std::string>{"node b", "popup"}));
    // Below the last node there is no node to name.
    log.clear();
    ClickAt(s.tree, TPoint{10, 390}, pw::gui::MouseButton::Right);
    EXPECT_EQ(log, std::vector<std::string>{"popup"});

    // From the keyboard the menu is about the focused node and opens at its label.
    log.clear();
    handle = true;
    s.tree->SetSelected(s.a1);
    Key(VK_APPS);
    EXPECT_EQ(log, std::vector<std::string>{"node a1"});
    const TRect r = s.a1->DisplayRect(true);
    EXPECT_EQ(where.x, r.left);
    EXPECT_EQ(where.y, r.bottom);

    // A handler that deletes the node it was given leaves a sound tree.
    s.tree->OnNodeContextMenu = [&](TObject*, TRzTreeNode* n, POINT&, bool& handled) {
        n->Delete();
        handled = true;
    };
    ClickAt(s.tree, s.Label(s.top), pw::gui::MouseButton::Right);
    EXPECT_EQ(s.items.Count(), 4);
    EXPECT_EQ(s.items.Item(3), s.b);
}

// While a node's context menu is open, what the menu is about looks selected and nothing else: the node
// alone when it lies outside the selection, the selection when the node is in it. The selection shows
// again once the menu has closed.
TEST(RzTreeView, WhileAContextMenuIsOpenOnlyWhatItActsOnLooksSelected) {
    Sample s;
    s.Show();
    s.root->Expand(true);
    Pump();
    // The nodes whose labels are mostly in the colour of a selection.
    const auto looksSelected = [&] {
        s.tree->Repaint();
        std::string names;
        HDC dc = GetDC(s.tree->Handle());
        for (TRzTreeNode* node : {s.root, s.a, s.a1, s.b, s.top}) {
            const TRect r = node->DisplayRect(true);
            int marked = 0;
            for (int y = r.top; y < r.bottom; ++y)
                for (int x = r.left; x < r.right; ++x)
                    marked += GetPixel(dc, x, y) == GetSysColor(COLOR_HIGHLIGHT);
            if (marked * 2 > (r.right - r.left) * (r.bottom - r.top))
                names += (names.empty() ? "" : " ") + node->Text();
        }
        ReleaseDC(s.tree->Handle(), dc);
        return names;
    };
    std::string during;
    s.tree->OnNodeContextMenu = [&](TObject*, TRzTreeNode*, POINT&, bool& handled) {
        during = looksSelected();
        handled = true;
    };
    ClickAt(s.tree, s.Label(s.a1), pw::gui::MouseButton::Left);
    ClickAt(s.tree, s.Label(s.top), pw::gui::MouseButton::Left, VK_CONTROL);
    ASSERT_EQ(looksSelected(), "a1 top");
    ClickAt(s.tree, s.Label(s.b), pw::gui::MouseButton::Right);
    EXPECT_EQ(during, "b");
    EXPECT_EQ(looksSelected(), "a1 top");
    ClickAt(s.tree, s.Label(s.a1), pw::gui::MouseButton::Right);
    EXPECT_EQ(during, "a1 top");
    EXPECT_EQ(s.tree->SelectionCount(), 2);
}

} // namespace
