#include "app/crawl/address_index.h"
#include "app/crawl/crawl_queue.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string page(int n) {
    return "http://h/f" + std::to_string(n % 10) + "/p" + std::to_string(n) + ".html";
}

TEST(AddressIndex, NumbersEntriesInOrderAndFindsEveryOneAcrossGrowth) {
    TAddressIndex index;
    EXPECT_EQ(index.Find("http://h/"), -1);
    // Enough to grow the table several times; prefixes of one another must stay apart.
    constexpr int kCount = 5000;
    for (int n = 0; n < kCount; ++n)
        ASSERT_EQ(index.Insert(page(n)), n);
    EXPECT_EQ(index.Insert(page(17)), 17);
    EXPECT_EQ(index.Insert(""), kCount);
    EXPECT_EQ(index.Count(), kCount + 1);
    for (int n = 0; n < kCount; ++n) {
        ASSERT_EQ(index.Find(page(n)), n);
        ASSERT_EQ(index.Entry(n), page(n));
    }
    EXPECT_EQ(index.Find(""), kCount);
    EXPECT_EQ(index.Find("http://h/f1/p1.htm"), -1);
    EXPECT_EQ(index.Find("http://h/f1/p1.html "), -1);
    EXPECT_EQ(index.Find("HTTP://H/F1/P1.HTML"), -1);

    index.Clear();
    EXPECT_EQ(index.Count(), 0);
    EXPECT_EQ(index.Find(page(1)), -1);
    EXPECT_EQ(index.Insert(page(2)), 0);
}

TEST(CrawlQueue, KnownIsQueuedOrVisitedInAnyLetterCase) {
    TCrawlQueue q;
    ASSERT_EQ(q.EnqueueUrl("http://h/a.html", "A", ""), 0);
    EXPECT_TRUE(q.IsKnown("http://h/a.html"));
    // Queued compares exactly: another letter case is not known until visited.
    EXPECT_FALSE(q.IsKnown("http://h/A.html"));

    std::string text, url, referrer;
    ASSERT_TRUE(q.DequeueUrl(text, url, referrer));
    // Taken but not yet visited (the crawl visits it next): neither queued nor known.
    EXPECT_FALSE(q.IsQueued(url));
    EXPECT_FALSE(q.IsKnown(url));
    q.AddVisited(url);
    EXPECT_TRUE(q.IsKnown("http://h/a.html"));
    EXPECT_TRUE(q.IsKnown("HTTP://H/A.HTML"));
    EXPECT_FALSE(q.IsQueued("http://h/a.html"));

    // A redirect's target is visited without ever being queued, under another case than its links.
    q.AddVisited("http://h/Target.html");
    EXPECT_TRUE(q.IsKnown("http://h/target.html"));
    EXPECT_TRUE(q.IsVisited("http://h/TARGET.html"));
    EXPECT_FALSE(q.IsQueued("http://h/Target.html"));
    EXPECT_EQ(q.EnqueueUrl("http://h/target.HTML", "", ""), -1);
    EXPECT_EQ(q.VisitedCount(), 2);

    // Emptying the queue forgets what was queued, not what was visited.
    ASSERT_EQ(q.EnqueueUrl("http://h/b.html", "B", ""), 0);
    q.ClearQueue();
    EXPECT_FALSE(q.IsQueued("http://h/b.html"));
    EXPECT_FALSE(q.IsKnown("http://h/b.html"));
    EXPECT_TRUE(q.IsKnown("http://h/A.html"));
    EXPECT_EQ(q.EnqueueUrl("http://h/b.html", "B again", ""), 0);
    EXPECT_TRUE(q.IsQueued("http://h/b.html"));
    ASSERT_TRUE(q.DequeueUrl(text, url, referrer));
    EXPECT_EQ(text, "B again");
}

} // namespace
