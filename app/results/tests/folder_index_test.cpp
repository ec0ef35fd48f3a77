#include "app/results/folder_index.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

using results::FolderIndex;

// The index only hands the nodes back: distinct addresses stand in for them.
TTreeNode* NodeAt(std::vector<char>& places, size_t i) {
    return reinterpret_cast<TTreeNode*>(&places[i]);
}

// The keys are the records' own texts: each node's key is freed with it, and the index must then find
// the others by a text of its own that it never saw.
TEST(FolderIndex, KeysLiveInTheRecordsAndMoveToTheNextNodeWhenTheFirstGoes) {
    std::vector<char> places(4);
    TTreeNode *first = NodeAt(places, 0), *second = NodeAt(places, 1), *third = NodeAt(places, 2),
              *other = NodeAt(places, 3);
    auto firstKey = std::make_unique<std::string>("http://site/a/");
    auto secondKey = std::make_unique<std::string>("http://site/a/");
    auto thirdKey = std::make_unique<std::string>("http://site/a/");
    const std::string otherKey = "http://site/b/";
    FolderIndex index;
    index.Add(first, *firstKey);
    index.Add(second, *secondKey);
    index.Add(third, *thirdKey);
    index.Add(other, otherKey);
    const std::string asked = "http://site/a/";
    EXPECT_EQ(index.First(asked), first);
    EXPECT_EQ(index.Find(asked, [&](TTreeNode* n) { return n != first; }), second) << "in the order made";
    EXPECT_EQ(index.Find(asked, [](TTreeNode*) { return false; }), nullptr);
    EXPECT_EQ(index.First("http://site/A/"), nullptr) << "compared exactly";
    std::vector<TTreeNode*> all = index.All();
    std::sort(all.begin(), all.end());
    EXPECT_EQ(all, (std::vector<TTreeNode*>{first, second, third, other}));

    index.Remove(first, *firstKey);
    firstKey.reset();
    EXPECT_EQ(index.First(asked), second);
    index.Remove(third, *thirdKey);
    thirdKey.reset();
    EXPECT_EQ(index.First(asked), second);
    index.Remove(first, asked);
    EXPECT_EQ(index.First(asked), second) << "a node no longer there changes nothing";
    index.Remove(second, *secondKey);
    secondKey.reset();
    EXPECT_EQ(index.First(asked), nullptr);
    EXPECT_EQ(index.All(), std::vector<TTreeNode*>{other});
    index.Clear();
    EXPECT_EQ(index.First(otherKey), nullptr);
}

} // namespace
