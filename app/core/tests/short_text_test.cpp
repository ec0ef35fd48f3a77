#include "app/core/short_text.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

TEST(ShortText, KeepsEveryLengthWholeInsideOrOnTheHeap) {
    // Both sides of the 31 bytes kept inside, a zero byte within, and each way of taking another text.
    std::vector<std::string> texts{"",
                                   "2024-07-01T14:00:00+02:00",
                                   std::string(31, 'a'),
                                   std::string(32, 'b'),
                                   std::string("a\0b", 3),
                                   std::string(300, 'c')};
    for (const std::string& text : texts) {
        TShortText t(text);
        EXPECT_EQ(t, text);
        EXPECT_EQ(t.size(), text.size());
        EXPECT_EQ(t.empty(), text.empty());
        TShortText copy(t);
        EXPECT_EQ(copy, text);
        TShortText moved(std::move(copy));
        EXPECT_EQ(moved, text);
        EXPECT_TRUE(copy.empty());
        for (const std::string& other : texts) {
            TShortText u(other);
            u = t;
            EXPECT_EQ(u, text);
            u = other;
            u = std::move(moved);
            EXPECT_EQ(u, text);
            moved = u;
        }
        EXPECT_EQ(t, text);
    }
}

TEST(ShortText, TakesAPartOfItsOwnText) {
    TShortText inside("2024-07-01T14:00:00+02:00");
    inside = inside.View().substr(11);
    EXPECT_EQ(inside, "14:00:00+02:00");
    TShortText onHeap(std::string(40, 'x') + "tail");
    onHeap = onHeap.View().substr(5);
    EXPECT_EQ(onHeap, std::string(35, 'x') + "tail");
    onHeap = onHeap.View().substr(30);
    EXPECT_EQ(onHeap, "xxxxxtail");
    const TShortText& self = onHeap;
    onHeap = self;
    EXPECT_EQ(onHeap, "xxxxxtail");
}

TEST(RareText, HoldsATextOnlyWhenGivenOne) {
    TRareText t;
    EXPECT_TRUE(t.empty());
    t = std::string("http://referrer/");
    EXPECT_EQ(t, "http://referrer/");
    t = t.View().substr(7);
    EXPECT_EQ(t, "referrer/");
    TRareText copy(t);
    const TRareText& self = copy;
    copy = self;
    EXPECT_EQ(copy, "referrer/");
    TRareText moved(std::move(copy));
    EXPECT_EQ(moved, "referrer/");
    moved = "";
    EXPECT_TRUE(moved.empty());
    EXPECT_EQ(t, "referrer/");
}

TEST(SharedText, CopiesShareOneTextThatOutlivesTheFirst) {
    auto first = std::make_unique<TSharedText>(std::string_view("/site/docs/"));
    TSharedText copy(*first), assigned;
    assigned = copy;
    EXPECT_EQ(copy.View().data(), first->View().data());
    EXPECT_EQ(assigned.View().data(), first->View().data());
    const std::string_view view = first->View();
    first.reset();
    EXPECT_EQ(view, "/site/docs/");
    EXPECT_EQ(assigned, "/site/docs/");
    // A new text is a text of its own, even made from a part of the shared one.
    copy = copy.View().substr(6);
    EXPECT_EQ(copy, "docs/");
    EXPECT_EQ(assigned, "/site/docs/");
    TSharedText moved(std::move(assigned));
    EXPECT_TRUE(assigned.empty());
    EXPECT_EQ(moved, "/site/docs/");
    const TSharedText& self = moved;
    moved = self;
    EXPECT_EQ(moved, "/site/docs/");
    moved = std::string_view();
    EXPECT_TRUE(moved.empty());
    EXPECT_EQ(moved.size(), 0u);
}

TEST(SharedText, APrefixSharesItsWholeTextAndOutlivesIt) {
    auto whole = std::make_unique<TSharedText>(std::string_view("http://site/a/b/c/"));
    TSharedText a = TSharedText::PrefixOf(*whole, 14);
    // A prefix of a prefix begins the same characters; sizes past the end take the whole text.
    TSharedText site = TSharedText::PrefixOf(a, 12);
    EXPECT_EQ(a, "http://site/a/");
    EXPECT_EQ(site, "http://site/");
    EXPECT_EQ(a.View().data(), whole->View().data());
    EXPECT_EQ(site.View().data(), whole->View().data());
    EXPECT_EQ(TSharedText::PrefixOf(*whole, 99).View().data(), whole->View().data());
    EXPECT_EQ(TSharedText::PrefixOf(*whole, 18), "http://site/a/b/c/");
    EXPECT_TRUE(TSharedText::PrefixOf(*whole, 0).empty());
    EXPECT_TRUE(TSharedText::PrefixOf(TSharedText(), 5).empty());
    // The characters stay while any prefix or copy of one does, whatever goes first.
    whole.reset();
    TSharedText copy = a;
    a = std::string_view("other");
    EXPECT_EQ(copy, "http://site/a/");
    EXPECT_EQ(site, "http://site/");
    copy = TSharedText();
    EXPECT_EQ(site, "http://site/");
    EXPECT_EQ(a, "other");
}

TEST(SharedText, AJoinedPathGrowsInPlaceUntilABranchOrItsRoomEnds) {
    // A chain of folders, each joined to the one above it: one allocation holds them all, while the room
    // doubles as the chain outgrows it.
    std::vector<TSharedText> chain{TSharedText::Joined(TSharedText(), "/site/")};
    std::string expected = "/site/";
    size_t moves = 0;
    for (int level = 0; level < 1000; ++level) {
        const std::string name = "folder-" + std::to_string(level) + "/";
        chain.push_back(TSharedText::Joined(chain.back(), name));
        expected += name;
        ASSERT_EQ(chain.back(), expected);
        moves += chain.back().View().data() != chain[chain.size() - 2].View().data();
    }
    EXPECT_LE(moves, 12u) << "a new allocation only when the room is used up";
    for (size_t level = 1; level < chain.size(); ++level)
        EXPECT_TRUE(chain[level].View().starts_with(chain[level - 1].View()));
    // A second branch from the middle is a text of its own; so is the next one of either branch.
    const TSharedText& middle = chain[500];
    const TSharedText other = TSharedText::Joined(middle, "other/");
    EXPECT_EQ(other, std::string(middle.View()) + "other/");
    EXPECT_NE(other.View().data(), middle.View().data());
    EXPECT_EQ(TSharedText::Joined(other, "x/").View().data(), other.View().data());
    EXPECT_EQ(chain[501], std::string(middle.View()) + "folder-500/") << "the first branch is as it was";
    // Nothing is written past the end of a text that is not made to grow, nor for an empty tail.
    const TSharedText plain("/plain/");
    EXPECT_NE(TSharedText::Joined(plain, "a/").View().data(), plain.View().data());
    EXPECT_EQ(TSharedText::Joined(plain, "").View().data(), plain.View().data());
    EXPECT_EQ(TSharedText::Joined(TSharedText::PrefixOf(chain[3], 6), "b/"), "/site/b/");
    // The shared characters outlive every text but the last that holds them.
    TSharedText deepest = chain.back();
    chain.clear();
    EXPECT_EQ(deepest, expected);
}
