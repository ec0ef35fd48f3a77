#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/commctrl/tree_model.h"

namespace {

using pw::commctrl::TreeModel;

TEST(TreeModel, HandlesOfLiveItemsOnlyAreValidAcrossManyBlocksAndAfterDeletion) {
    TreeModel model;
    std::vector<TreeNode*> folders, pages;
    // Enough items to fill many blocks of the store.
    for (int f = 0; f < 100; ++f) {
        TreeNode* folder = model.Insert(model.Root(), TVI_LAST, "folder " + std::to_string(f));
        folders.push_back(folder);
        for (int p = 0; p < 100; ++p)
            pages.push_back(model.Insert(folder, TVI_LAST, "page " + std::to_string(p)));
    }
    EXPECT_EQ(model.Count(), 100 + 100 * 100);
    for (TreeNode* n : pages)
        ASSERT_TRUE(model.Valid(n));
    EXPECT_EQ(pages.back()->text, "page 99");
    EXPECT_EQ(pages.back()->parent, folders.back());

    // Pointers that are no item: none, the root, something else, the middle of an item.
    TreeNode stranger;
    EXPECT_FALSE(model.Valid(nullptr));
    EXPECT_FALSE(model.Valid(model.Root()));
    EXPECT_FALSE(model.Valid(&stranger));
    EXPECT_FALSE(model.Valid(reinterpret_cast<TreeNode*>(reinterpret_cast<char*>(pages[5]) + 8)));

    // A deleted folder takes its pages; their handles are refused, the others' stay.
    std::vector<TreeNode*> visited;
    model.Delete(folders[3], [&visited](TreeNode* n) { visited.push_back(n); });
    ASSERT_EQ(visited.size(), 101u);
    EXPECT_EQ(visited.front(), pages[300]);
    EXPECT_EQ(visited.back(), folders[3]);
    EXPECT_FALSE(model.Valid(folders[3]));
    EXPECT_FALSE(model.Valid(pages[350]));
    EXPECT_TRUE(model.Valid(pages[400]));
    EXPECT_EQ(model.Count(), 99 + 99 * 100);
    EXPECT_EQ(folders[2]->next, folders[4]);

    // Freed places are used again for new items.
    TreeNode* again = model.Insert(folders[0], TVI_FIRST, "again");
    EXPECT_TRUE(model.Valid(again));
    EXPECT_EQ(again->text, "again");
    EXPECT_EQ(again->first, nullptr);
    EXPECT_EQ(folders[0]->first, again);

    // Emptied, nothing of before is valid, and the tree fills again.
    model.Delete(model.Root(), [](TreeNode*) {});
    EXPECT_EQ(model.Count(), 0);
    EXPECT_FALSE(model.Valid(pages[400]));
    EXPECT_FALSE(model.Valid(again));
    EXPECT_EQ(model.TotalRows(), 0);
    TreeNode* fresh = model.Insert(model.Root(), TVI_LAST, "fresh");
    EXPECT_TRUE(model.Valid(fresh));
    EXPECT_EQ(model.Count(), 1);
    EXPECT_EQ(model.TotalRows(), 1);
}

TEST(TreeModel, LabelsSortInsertedAndSortedItemsAndReadBackWholeReplacedOrEmpty) {
    TreeModel model;
    TreeNode* root = model.Root();
    const std::string longLabel(1000, 'm');
    for (const char* text : {"delta", "Bravo", "", "alpha", "Charlie"})
        model.Insert(root, TVI_SORT, text);
    TreeNode* middle = model.Insert(root, TVI_SORT, longLabel);
    std::vector<std::string> order;
    for (TreeNode* n = root->first; n; n = n->next)
        order.emplace_back(n->text.View());
    EXPECT_EQ(order, (std::vector<std::string>{"", "alpha", "Bravo", "Charlie", "delta", longLabel}));
    EXPECT_EQ(middle->text, longLabel);

    middle->text = "able";
    root->first->text = "zulu";
    model.SortChildren(root, false);
    order.clear();
    for (TreeNode* n = root->first; n; n = n->next)
        order.emplace_back(n->text.View());
    EXPECT_EQ(order, (std::vector<std::string>{"able", "alpha", "Bravo", "Charlie", "delta", "zulu"}));
    middle->text = "";
    EXPECT_TRUE(middle->text.View().empty());
}

} // namespace
