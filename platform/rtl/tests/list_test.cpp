#include "platform/rtl/exception.h"
#include "platform/rtl/list.h"

#include "tests/support/thrown_message.h"

#include <gtest/gtest.h>
#include <vector>

using testsupport::ThrownMessage;

namespace {
// Records notifications the way an owning list would use them to free items.
class TRecordingList : public TList {
public:
    std::vector<std::pair<intptr_t, TListNotification>> log;

protected:
    void Notify(void* item, TListNotification action) override {
        log.emplace_back(reinterpret_cast<intptr_t>(item), action);
    }
};

void* P(intptr_t v) {
    return reinterpret_cast<void*>(v);
}
intptr_t V(void* p) {
    return reinterpret_cast<intptr_t>(p);
}
} // namespace

TEST(List, EditsKeepOrderAndRejectBadIndexesWithTheIndexInTheMessage) {
    TList list;
    EXPECT_EQ(list.Add(P(1)), 0);
    EXPECT_EQ(list.Add(P(3)), 1);
    list.Insert(1, P(2));
    list.Insert(3, P(4)); // inserting at Count appends
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(V(list.First()), 1);
    EXPECT_EQ(V(list.Last()), 4);
    list.Move(0, 3);
    EXPECT_EQ(V(list[3]), 1);
    list.Exchange(0, 3);
    EXPECT_EQ(V(list[0]), 1);
    EXPECT_EQ(V(list[3]), 2);
    EXPECT_EQ(list.IndexOf(P(4)), 2);
    EXPECT_EQ(list.Remove(P(4)), 2);
    EXPECT_EQ(list.Remove(P(4)), -1);
    list.Add(nullptr);
    list.Pack();
    EXPECT_EQ(list.Count(), 3);

    EXPECT_EQ(ThrownMessage<EListError>([&] { list.Items(3); }), "List index out of bounds (3)");
    EXPECT_THROW(list.Items(-1), EListError);
    EXPECT_THROW(list.Insert(5, nullptr), EListError);
    EXPECT_THROW(list.Delete(3), EListError);
    EXPECT_THROW(list.Exchange(0, 7), EListError);
    EXPECT_THROW(list.Move(-1, 0), EListError);
    EXPECT_THROW(TList().First(), EListError);
    EXPECT_EQ(list.Count(), 3); // failed calls changed nothing
}

TEST(List, SortIsStableAndSurvivesAnInconsistentComparison) {
    TList list;
    // High digit is the key, low digit the original position.
    for (intptr_t v : {31, 12, 33, 14, 25, 16, 37, 28, 19})
        list.Add(P(v));
    list.Sort([](void* a, void* b) { return static_cast<int>(V(a) / 10 - V(b) / 10); });
    std::vector<intptr_t> got;
    for (int i = 0; i < list.Count(); ++i)
        got.push_back(V(list[i]));
    EXPECT_EQ(got, (std::vector<intptr_t>{12, 14, 16, 19, 25, 28, 31, 33, 37}));

    TList noisy;
    for (intptr_t v = 1; v <= 200; ++v)
        noisy.Add(P(v));
    int calls = 0;
    noisy.Sort([&](void*, void*) { return (++calls % 3) - 1; });
    EXPECT_EQ(noisy.Count(), 200);
    std::vector<bool> seen(201);
    for (int i = 0; i < noisy.Count(); ++i)
        seen[static_cast<size_t>(V(noisy[i]))] = true;
    EXPECT_EQ(std::count(seen.begin() + 1, seen.end(), true), 200); // a permutation, nothing lost
}

TEST(List, NotifiesAdditionsRemovalsAndExtractions) {
    TRecordingList list;
    list.Add(P(1));
    list.Add(nullptr); // nil entries are not announced
    list.Insert(0, P(2));
    list.SetItems(0, P(3));
    list.Extract(P(1));
    list.Delete(1);
    list.Clear();
    const std::vector<std::pair<intptr_t, TListNotification>> expected = {
        {1, lnAdded}, {2, lnAdded}, {2, lnDeleted}, {3, lnAdded}, {1, lnExtracted}, {3, lnDeleted}};
    EXPECT_EQ(list.log, expected);
    EXPECT_EQ(list.Count(), 0);
}
