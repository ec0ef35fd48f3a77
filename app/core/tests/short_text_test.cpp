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
