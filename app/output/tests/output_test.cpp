#include "app/core/map_profile.h"
#include "app/output/html_site_map.h"
#include "app/output/output_error.h"
#include "app/output/site_map_output.h"
#include "app/output/tests/output_fixture.h"
#include "app/output/xml_sitemap.h"
#include "platform/vcl/application.h"
#include "platform/vcl/clipboard.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace output_test;
namespace fs = std::filesystem;
using Files = std::vector<std::string>;

namespace {

const std::string kProgramDir = PW_PROGRAM_DIR;

struct OutputRun {
    TMapProfile profile;
    Tree tree = SampleTree();
    std::string programDir = kProgramDir;

    explicit OutputRun(const std::string& output) {
        profile.SetWebsite("http://example.com");
        profile.SetOutputFileName(output);
    }
    TSiteMapResult Go() { return GenerateSiteMapOutput(profile, tree.Nodes(), {programDir, {}, nullptr}); }
};
} // namespace

TEST(SiteMapOutput, WritesPageSitemapAndTheImagesItShowsAndListsExactlyThose) {
    TempDir out;
    WriteAll(out / "smfile.gif", "the user's own image");
    OutputRun run(out / "map.html");
    TSiteMapResult result = run.Go();
    ASSERT_TRUE(result.Success) << result.Message;
    EXPECT_EQ(result.FilesWritten,
              (Files{out / "map.html", out / "map.xml", out / "smfolder.gif", out / "smimg.gif"}));
    EXPECT_EQ(result.XmlFileName, out / "map.xml");
    EXPECT_EQ(ReadAll(out / "map.html"), result.GeneratedHtml);
    EXPECT_EQ(ReadAll(out / "smfile.gif"), "the user's own image");
    EXPECT_EQ(ReadAll(out / "smimg.gif"), ReadAll(kProgramDir + "smimages/smimg.gif"));
    EXPECT_FALSE(fs::exists(out / "smimages"));
    // Images already beside the page are not copied again, so they are not in this run's list; the
    // upload still sends every image the page shows, or a second run's page would lack them online.
    EXPECT_EQ(result.UploadList, (Files{out / "map.html", out / "map.xml", out / "smfolder.gif",
                                        out / "smimg.gif", out / "smfile.gif"}));
    result = run.Go();
    EXPECT_EQ(result.FilesWritten, (Files{out / "map.html", out / "map.xml"}));
    EXPECT_EQ(result.UploadList, (Files{out / "map.html", out / "map.xml", out / "smfolder.gif",
                                        out / "smfile.gif", out / "smimg.gif"}));

    TempDir bare;
    run.profile.SetOutputFileName(bare / "site.map");
    run.profile.SetAddImages(false);
    run.profile.SetWebsite("http://");
    result = run.Go();
    EXPECT_EQ(result.FilesWritten, Files{bare / "site.map"});
    EXPECT_EQ(result.XmlFileName, "");

    // No folder images and no pictures in the tree: only the page image.
    TempDir used;
    run.profile.SetOutputFileName(used / "map.html");
    run.profile.SetAddImages(true);
    run.profile.SetNoFolderImages(true);
    run.tree = Tree();
    run.tree.Add(kFolderImage, 0, true, "Home", "http://example.com/")
        .Add(kPageImage, 1, false, "A", "http://a.b/c");
    EXPECT_EQ(run.Go().FilesWritten, (Files{used / "map.html", used / "smfile.gif"}));
}

TEST(SiteMapOutput, ImagesComeFromTheProgramFolderWhenItHasNoImageFolder) {
    TempDir program, out;
    const std::string programDir = program.path().string();
    fs::create_directory(program / "smimages");
    WriteAll(program / "smimages/smfile.gif", "in the image folder");
    for (const char* name : {"smfolder.gif", "smfile.gif", "smimg.gif"})
        WriteAll(program / name, name);
    OutputRun run(out / "map.html");
    run.programDir = programDir;
    run.profile.SetMakeGoogleSM(false);
    const TSiteMapResult result = run.Go();
    ASSERT_TRUE(result.Success) << result.Message;
    EXPECT_EQ(result.FilesWritten.size(), 4u);
    EXPECT_EQ(ReadAll(out / "smfile.gif"), "smfile.gif");

    // With the folder image present, the image folder is the source, and what it lacks is skipped.
    WriteAll(program / "smimages/smfolder.gif", "folder");
    TempDir second;
    run.profile.SetOutputFileName(second / "x.html");
    EXPECT_EQ(run.Go().FilesWritten,
              (Files{second / "x.html", second / "smfolder.gif", second / "smfile.gif"}));
    EXPECT_EQ(ReadAll(second / "smfile.gif"), "in the image folder");
}

TEST(SiteMapOutput, FailuresAreReportedAndLeaveThePreviousFiles) {
    TempDir out;
    WriteAll(out / "map.html", "previous page");
    WriteAll(out / "map.xml", "previous sitemap");
    OutputRun run(out / "map.XML");

    // The page's own name ends in ".xml": the sitemap would replace it, so nothing is written.
    WriteAll(out / "map.XML", "a page named .XML");
    TSiteMapResult result = run.Go();
    EXPECT_FALSE(result.Success);
    EXPECT_NE(result.Message.find("would replace the site map page"), std::string::npos) << result.Message;
    EXPECT_TRUE(result.FilesWritten.empty());
    EXPECT_EQ(ReadAll(out / "map.XML"), "a page named .XML");
    run.profile.SetMakeGoogleSM(false);
    EXPECT_TRUE(run.Go().Success) << "without a sitemap the name is harmless";
    run.profile.SetMakeGoogleSM(true);

    WriteAll(out / "blocker", "a file where the folder should be");
    run.profile.SetOutputFileName(out / "blocker/map.html");
    EXPECT_EQ(run.Go().Message, "Cannot create file " + out / "blocker/map.html");

    // The page is written but the sitemap cannot be: the run fails and lists only the page.
    TempDir half;
    fs::create_directory(half / "map.xml");
    run.profile.SetOutputFileName(half / "map.html");
    result = run.Go();
    EXPECT_FALSE(result.Success);
    EXPECT_EQ(result.FilesWritten, Files{half / "map.html"});
    EXPECT_EQ(result.XmlFileName, "");
    EXPECT_FALSE(fs::exists(half / "smfolder.gif"));

    // A full disk, as the file-size limit makes it: the old files survive and no temporary one is left.
    run.profile.SetOutputFileName(out / "map.html");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{100, 100};
        setrlimit(RLIMIT_FSIZE, &limit);
        const TSiteMapResult inChild = run.Go();
        _exit(inChild.Success ? 1 : inChild.FilesWritten.empty() ? 0 : 2);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(ReadAll(out / "map.html"), "previous page");
    EXPECT_EQ(ReadAll(out / "map.xml"), "previous sitemap");
    for (const auto& entry : fs::directory_iterator(out.path()))
        EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();

    Tree empty;
    result = GenerateSiteMapOutput(run.profile, empty.Nodes(), {kProgramDir, {}, nullptr});
    EXPECT_EQ(result.Message, "The site map has no pages to write.");
    run.profile.SetOutputFileName("");
    result = run.Go();
    EXPECT_FALSE(result.Success);
    EXPECT_EQ(result.Message, "Please choose the file to save the site map to.");
}

TEST(SiteMapOutput, AnInsertChoiceWritesTheFileAndLeavesThePageAlone) {
    // A profile from an older version may still name a page to insert into: nothing splices it.
    TempDir out;
    const std::string page = "<html><!-- sitemap -->keep<!-- sitemap end --></html>";
    WriteAll(out / "index.html", page);
    OutputRun run(out / "map.html");
    run.profile.SetOutputType(moutInsert);
    run.profile.SetOutputInsert(out / "index.html");
    const TSiteMapResult result = run.Go();
    ASSERT_TRUE(result.Success) << result.Message;
    EXPECT_EQ(ReadAll(out / "index.html"), page);
    EXPECT_EQ(ReadAll(out / "map.html"), result.GeneratedHtml);
    EXPECT_EQ(result.FilesWritten.front(), out / "map.html");
}

TEST(SiteMapOutput, ClipboardGetsTheListText) {
    TempDir out;
    OutputRun run(out / "map.html");
    run.profile.SetOutputType(moutClipboard);
    Clipboard().SetAsText("before");
    const TSiteMapResult result = run.Go();
    ASSERT_TRUE(result.Success) << result.Message;
    EXPECT_EQ(Clipboard().AsText(), BuildHtmlSiteMap(run.profile, run.tree.Nodes()));
    EXPECT_TRUE(result.FilesWritten.empty());
    EXPECT_FALSE(fs::exists(out / "map.html"));
    Clipboard().Clear();
}

TEST(SiteMapOutput, ASitemapWrittenBesideAFailedPageIsNeverCommitted) {
    // The sitemap is written while the page is built; only a written page lets it replace the old one.
    TempDir out;
    WriteAll(out / "map.xml", "previous sitemap");
    fs::create_directory(out / "map.html");
    OutputRun run(out / "map.html");
    const TSiteMapResult result = run.Go();
    EXPECT_FALSE(result.Success);
    EXPECT_EQ(result.Message, "Cannot create file " + out / "map.html");
    EXPECT_TRUE(result.FilesWritten.empty());
    EXPECT_EQ(ReadAll(out / "map.xml"), "previous sitemap");
    for (const auto& entry : fs::directory_iterator(out.path()))
        EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();

    // Written, the sitemap is the one the writer makes alone.
    fs::remove(out / "map.html");
    ASSERT_TRUE(run.Go().Success);
    EXPECT_EQ(ReadAll(out / "map.xml"), BuildXmlSitemap(run.tree.Nodes()));
}

TEST(SiteMapOutput, APageTooLongToShowIsWrittenWholeAndShownUpToALine) {
    // A path 3,000 folders deep with a picture at its bottom: every folder line carries its address and
    // an indent that grow with the depth, some 18 MB in all.
    TempDir out;
    WriteAll(out / "map.html", "previous page");
    OutputRun run(out / "map.html");
    run.profile.SetNoFolderImages(true);
    run.tree = Tree();
    std::string address = "http://example.com/";
    for (int level = 0; level < 3000; ++level, address += "d/")
        run.tree.Add(kFolderImage, level, true, "d", address);
    run.tree.Add(kPictureImage, 3000, false, "bottom", address + "bottom.png");
    const std::string whole = WrapSiteMapPage(run.profile, BuildHtmlSiteMap(run.profile, run.tree.Nodes()));
    ASSERT_GT(whole.size(), kShownPageLimit + (1u << 20));

    const TSiteMapResult result = run.Go();
    ASSERT_TRUE(result.Success) << result.Message;
    EXPECT_EQ(ReadAll(out / "map.html"), whole);
    // The images its lines show, found while they were written: no folder image, the picture's one.
    EXPECT_EQ(result.FilesWritten, (Files{out / "map.html", out / "map.xml", out / "smimg.gif"}));
    const std::string& shown = result.GeneratedHtml;
    ASSERT_LE(shown.size(), kShownPageLimit + 1024);
    const std::string notice = "\r\n\r\n[The site map is " + std::to_string(whole.size()) +
                               " bytes long, more than is shown here. The whole of it is in " +
                               out / "map.html" + ".]";
    ASSERT_GT(shown.size(), notice.size() + (kShownPageLimit - 64 * 1024));
    const size_t cut = shown.size() - notice.size();
    EXPECT_EQ(shown.substr(cut), notice);
    // Whole lines only: the next byte of the page begins a line.
    EXPECT_EQ(whole.compare(0, cut, shown, 0, cut), 0);
    EXPECT_EQ(whole.substr(cut, 2), "\r\n");

    // A page within the limit is shown whole, as the file holds it.
    run.tree = SampleTree();
    const std::string small = run.Go().GeneratedHtml;
    EXPECT_EQ(small, ReadAll(out / "map.html"));
}
