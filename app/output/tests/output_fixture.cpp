#include "app/output/tests/output_fixture.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>

namespace output_test {

Tree& Tree::Add(int image, int level, bool children, std::string text, std::string loc) {
    TDataRec& rec = records_.emplace_back();
    rec.URL = loc;
    rec.Text = std::move(text);
    rec.Loc = std::move(loc);
    rec.IsFolder = image == kFolderImage;
    rec.LastMod = "2026-03-01T10:20:30+01:00";
    rec.ChangeFreq = cfMonthly;
    rec.Priority = 0.5;
    nodes_.push_back(TSiteMapNode{image, level, children, "", &rec});
    return *this;
}

Tree SampleTree() {
    Tree t;
    t.Add(kFolderImage, 0, true, "Home", "http://example.com/");
    t.Add(kPageImage, 1, false, "About us", "http://example.com/about.html");
    t.Last().ChangeFreq = cfNothing;
    t.Add(kFolderImage, 1, true, "docs", "http://example.com/docs/");
    t.Last().Priority = 0.8;
    t.Add(kPageImage, 2, false, "Guide", "http://example.com/docs/guide.html");
    t.Last().LastMod = "2025-12-24";
    t.Add(kPictureImage, 2, false, "Diagram", "http://example.com/docs/diagram.png");
    t.Last().ChangeFreq = cfNever;
    t.Add(kFolderImage, 2, false, "empty", "http://example.com/docs/empty/");
    t.Add(kFolderImage, 1, true, "old", "");
    t.Add(kFolderImage, 2, true, "deep", "http://example.com/old/deep/");
    t.Add(kPageImage, 3, false, "Ancient", "http://example.com/old/deep/ancient.html");
    t.Last().ChangeFreq = cfYearly;
    t.Last().Priority = 0.1;
    t.Add(kPageImage, 1, false, "Contact", "http://example.com/contact.html");
    t.Last().ChangeFreq = cfDaily;
    t.Last().Priority = 1;
    return t;
}

Tree HostileTree() {
    Tree t;
    t.Add(kFolderImage, 0, true, "Tom & Jerry \"quoted\" <b>'s", "http://example.com/?a=1&b=2");
    t.Add(kPageImage, 1, false, "<script>alert(1)</script>", "http://example.com/a b.html?q=\"x\"&y=<z>");
    t.Last().Priority = 7.5;
    t.Last().LastMod = "yesterday";
    t.Add(kPageImage, 1, false, "caf\xC3\xA9 \xFF bad", "http://example.com/\"><script>alert(2)</script>");
    t.Last().Priority = 1e-7;
    t.Last().LastMod = "";
    t.Add(kPageImage, 1, false, "Accents", "http://example.com/caf\xC3\xA9/%C3%A9t%C3%A9.html#top");
    t.Last().Priority = -2;
    t.Add(kPageImage, 1, false, "Same page, other host case", "HTTP://EXAMPLE.COM/?a=1&b=2");
    t.Add(kPageImage, 1, false, "Other path case", "http://example.com/A%20B.html?q=%22x%22&y=%3Cz%3E");
    t.Add(kPageImage, 1, false, "Encoded twin", "http://example.com/a%20b.html?q=%22x%22&y=%3Cz%3E");
    t.Add(kPageImage, 1, false, "No address", "");
    t.Add(kPageImage, 1, false, "Line\r\nbreak\x01", "http://example.com/line");
    return t;
}

std::string Golden(const std::string& name, const std::string& actual) {
    const std::string path = std::string(PW_TEST_DATA_DIR) + "/golden/" + name;
    if (std::getenv("PW_UPDATE_GOLDEN")) WriteAll(path, actual);
    return ReadAll(path);
}

namespace {
std::string Run(const std::string& command, int& status) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        status = -1;
        return output;
    }
    std::array<char, 4096> buffer;
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        output.append(buffer.data(), n);
    status = pclose(pipe);
    return output;
}

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}
} // namespace

std::string SchemaErrors(const std::string& xmlFile) {
    int status = 0;
    const std::string out = Run("xmllint --noout --schema " +
                                    Quote(std::string(PW_SOURCE_DIR) + "/app/output/schema/sitemap.xsd") +
                                    " " + Quote(xmlFile) + " 2>&1",
                                status);
    return status == 0 ? std::string() : (out.empty() ? std::string("xmllint failed") : out);
}

std::string HtmlOutline(const std::string& htmlFile) {
    int status = 0;
    std::string out = Run("/usr/bin/python3 " + Quote(std::string(PW_TEST_DATA_DIR) + "/html_outline.py") +
                              " " + Quote(htmlFile) + " 2>&1",
                          status);
    EXPECT_EQ(status, 0) << out;
    return out;
}

} // namespace output_test
