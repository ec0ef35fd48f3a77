#include "app/results/type_list.h"

#include <gtest/gtest.h>

namespace {

using results::TypeInList;
using results::TypeList;

// The listed extensions answer as the search of the list does, odd lists and names included.
TEST(TypeList, AnswersAsTheSearchOfTheList) {
    const char* lists[] = {"*.htm;*.html;*.php4;", "*.gif;**.jpg;*;*.a;b;", "*.txt", "", "*.;*.x;*.y"};
    const char* paths[] = {"/s/a.htm", "/s/A.HTML",  "/s/a.htm.bak", "/s/a.ht",    "/s/a.php4",
                           "/s/a.php", "/s/a.jpg",   "/s/noext",     "/s.d/noext", "/s/a.",
                           "/s/a.a;b", "/s/a.x;*.y", "/s/a.txt",     "/s/a.GIF",   "relative.Htm"};
    for (const char* list : lists) {
        const TypeList types(list);
        for (const char* path : paths)
            EXPECT_EQ(types.Has(path), TypeInList(path, list)) << list << " " << path;
    }
    EXPECT_TRUE(TypeList("*.htm;*.html;").Has("/s/Page.HTM"));
    EXPECT_FALSE(TypeList("*.htm;*.html;").Has("/s.htm/page"));
    EXPECT_TRUE(TypeList("*.gif;*.a;b;").Has("/s/x.a;b"));
}

} // namespace
