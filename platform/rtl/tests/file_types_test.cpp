#include "platform/rtl/file_types.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace {

// The rule as a search of the whole list: "*" + lower-case extension + ";" anywhere in the lower-cased
// list, which gets a ";" when its last entry has none.
bool SearchOfTheList(std::string path, std::string list) {
    for (char& c : path)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (char& c : list)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (!list.empty() && list.back() != ';') list += ';';
    const size_t slash = path.find_last_of("/\\");
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = name.rfind('.');
    return list.find("*" + (dot == std::string::npos ? std::string() : name.substr(dot)) + ";") !=
           std::string::npos;
}

// The listed extensions answer as the search of the list does, odd lists and names included.
TEST(FileTypes, AnswersAsTheSearchOfTheList) {
    const char* lists[] = {"*.htm;*.html;*.php4;", "*.gif;**.jpg;*;*.a;b;", "*.txt",  "",
                           "*.;*.x;*.y",           "*.HTML;*.Htm",          "*.htm;*"};
    const char* paths[] = {"/s/a.htm", "/s/A.HTML",  "/s/a.htm.bak", "/s/a.ht",    "/s/a.php4",
                           "/s/a.php", "/s/a.jpg",   "/s/noext",     "/s.d/noext", "/s/a.",
                           "/s/a.a;b", "/s/a.x;*.y", "/s/a.txt",     "/s/a.GIF",   "relative.Htm"};
    for (const char* list : lists)
        for (const char* path : paths)
            EXPECT_EQ(IsFileTypeInList(path, list), SearchOfTheList(path, list)) << list << " " << path;
    EXPECT_TRUE(IsFileTypeInList("/s/Page.HTM", "*.htm;*.html;"));
    EXPECT_FALSE(IsFileTypeInList("/s.htm/page", "*.htm;*.html;"));
    EXPECT_TRUE(IsFileTypeInList("/s/x.a;b", "*.gif;*.a;b;"));
}

// A profile may hold its list without the last ";": the last entry counts all the same, and only whole.
TEST(FileTypes, TheLastEntryCountsWithOrWithoutItsSemicolon) {
    EXPECT_TRUE(IsFileTypeInList("http://h/a.htm", "*.html;*.htm"));
    EXPECT_TRUE(IsFileTypeInList("http://h/a.HTM", "*.html;*.htm;"));
    EXPECT_TRUE(IsFileTypeInList("http://h/a.html", "*.html;*.htm"));
    EXPECT_FALSE(IsFileTypeInList("http://h/a.ht", "*.html;*.htm"));
    EXPECT_FALSE(IsFileTypeInList("http://h/a.htmx", "*.html;*.htm"));
    EXPECT_TRUE(IsFileTypeInList("http://h/folder/", "*.htm;*"));
    EXPECT_FALSE(IsFileTypeInList("a.htm", ""));
    EXPECT_FALSE(IsFileTypeInList("a.htm", "*.htmx"));
}

} // namespace
