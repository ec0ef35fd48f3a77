#include "app/results/result_tree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "app/core/data_rec.h"
#include "app/output/site_map_walk.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/system.h"
#include "platform/vcl/dialogs.h"
#include "platform/vcl/prompt.h"
#include "results_test.h"

namespace {

using results::NodeProperties;
using results::TResultTree;
using tree_test::Key;

// Answers every question with one button and keeps what was asked.
struct ScriptedPrompter : pw::vcl::Prompter {
    explicit ScriptedPrompter(int answer) {
        reply.result = answer;
        pw::vcl::SetPrompter(this);
    }
    ~ScriptedPrompter() override { pw::vcl::SetPrompter(nullptr); }
    pw::vcl::PromptAnswer Ask(const pw::vcl::PromptRequest& request) override {
        asked.push_back(request);
        return reply;
    }
    pw::vcl::PromptAnswer reply;
    std::vector<pw::vcl::PromptRequest> asked;
};

class ResultTreeTest : public results_test::TreeTest {
protected:
    ResultTreeTest() {
        tree.OnOutputReset = [this] { ++outputResets; };
        home = Add(nullptr, "/s/", "Home");
        a = Add(home, "/s/a/", "a");
        p1 = Add(a, "/s/a/p1.html");
        deep = Add(a, "/s/a/deep/", "deep");
        p2 = Add(deep, "/s/a/deep/p2.html");
        b = Add(home, "/s/b/", "b");
        p3 = Add(b, "/s/b/p3.html");
        view.Show();
        tv.FullExpand();
        tree_test::Pump();
    }

    // A folder when Path ends in "/", a page named by its file name otherwise.
    TTreeNode* Add(TTreeNode* parent, const std::string& path, const std::string& folderText = "") {
        auto* rec = new TDataRec(NewDataRec(profile));
        rec->URL = path;
        rec->Folder = path.substr(0, path.rfind('/') + 1);
        rec->IsFolder = path.back() == '/';
        rec->Text = rec->IsFolder ? folderText : path.substr(path.rfind('/') + 1);
        rec->Loc = "http://site" + path.substr(2);
        return tree.AddNode(parent, rec, rec->Text,
                            rec->IsFolder ? results::kFolderImage : results::kPageImage);
    }
    void Pick(TTreeNode* node) { tree_test::ClickAt(&tv, view.Label(node), pw::gui::MouseButton::Left); }
    // A Ctrl click: adds the node to the selection, or takes it out.
    void AddPick(TTreeNode* node) {
        tree_test::ClickAt(&tv, view.Label(node), pw::gui::MouseButton::Left, VK_CONTROL);
    }
    // The commands the node's context menu offers, by name.
    std::string ContextMenuOn(TTreeNode* node) {
        POINT at{1, 2};
        bool handled = false;
        tree.tvMapNodeContextMenu(nullptr, node, at, handled);
        EXPECT_TRUE(handled);
        return Offered(tree.MenuState());
    }
    static std::string Offered(const results::ResultMenuState& s) {
        const std::string names = std::string(s.AddFolderToIgnoreList ? " folder" : "") +
                                  (s.AddFileToIgnoreList ? " file" : "") + (s.Delete ? " delete" : "") +
                                  (s.EditText ? " edit" : "");
        return names.empty() ? names : names.substr(1);
    }

    int outputResets = 0;
    TTreeNode *home, *a, *p1, *deep, *p2, *b, *p3;
};

TEST_F(ResultTreeTest, FolderLookupIsExactAndForgetsDeletedNodes) {
    EXPECT_EQ(tree.FindNodeByFolder("/s/a/"), a);
    EXPECT_EQ(tree.FindNodeByFolder("/s/"), home);
    // File paths compare exactly; a page is never taken for its folder.
    EXPECT_EQ(tree.FindNodeByFolder("/s/A/"), nullptr);
    EXPECT_EQ(tree.FindNodeByFolder("/s/a"), nullptr);
    tv.Items().Delete(a);
    EXPECT_EQ(tree.FindNodeByFolder("/s/a/"), nullptr);
    EXPECT_EQ(tree.FindNodeByFolder("/s/a/deep/"), nullptr);
    EXPECT_EQ(tree.FindNodeByFolder("/s/b/"), b);
    EXPECT_EQ(TResultTree::LastSegment("http://site/a/b/"), "b");
    EXPECT_EQ(TResultTree::LastSegment("http://site/a/page.html"), "page.html");
    EXPECT_EQ(TResultTree::LastSegment("nothing"), "");
    EXPECT_EQ(TResultTree::LastSegment(""), "");
}

// A folder key met under two parents keeps both nodes, the first made found first; once the first goes
// (and its record with it) the later one is found by the same text, and once both go, neither is.
TEST_F(ResultTreeTest, AFolderUnderTwoParentsIsFoundInTheOrderMadeUntilBothGo) {
    TTreeNode* again = Add(b, "/s/a/", "a again");
    TTreeNode* third = Add(deep, "/s/a/", "a third");
    EXPECT_EQ(tree.FindNodeByFolder("/s/a/"), a);
    tv.Items().Delete(third);
    EXPECT_EQ(tree.FindNodeByFolder("/s/a/"), a) << "a later node goes without changing the first";
    tv.Items().Delete(a);
    EXPECT_EQ(tree.FindNodeByFolder(std::string("/s/a/")), again);
    tree.RemoveEmptyFolders();
    EXPECT_EQ(tree.FindNodeByFolder("/s/a/"), nullptr) << "the empty folder left goes as well";
    EXPECT_EQ(tree.FindNodeByFolder("/s/b/"), b);
}

TEST_F(ResultTreeTest, DeleteAsksFirstAndNeverRemovesTheRoot) {
    profile.SetConfirmDelete(true);
    Pick(home);
    AddPick(a);
    AddPick(p3);
    {
        ScriptedPrompter no(IDNO);
        Key(VK_DELETE);
        ASSERT_EQ(no.asked.size(), 1u);
        EXPECT_EQ(no.asked[0].caption, "Confirm Removal");
        EXPECT_EQ(no.asked[0].text, "Do you wish to remove the selected site map nodes from the tree?");
        EXPECT_EQ(no.asked[0].icon, MB_ICONQUESTION);
        EXPECT_EQ(tv.Items().Count(), 7);
    }
    {
        ScriptedPrompter yes(IDYES);
        Key(VK_DELETE);
        EXPECT_EQ(yes.asked.size(), 1u);
    }
    EXPECT_EQ(Shape(), (std::vector<std::string>{"Home", "  b"}));
    // Only the root is selected now: nothing to remove, nothing to ask.
    ScriptedPrompter never(IDYES);
    Pick(home);
    Key(VK_DELETE);
    tree.miDeleteClick(nullptr);
    EXPECT_TRUE(never.asked.empty());
    EXPECT_EQ(tv.Items().Count(), 2);
}

TEST_F(ResultTreeTest, DeleteWithoutConfirmationAndContextNodeCleared) {
    profile.SetConfirmDelete(false);
    ScriptedPrompter prompter(IDNO);
    ContextMenuOn(deep);
    EXPECT_EQ(tree.ContextNode(), deep);
    Pick(a);
    Key(VK_DELETE);
    EXPECT_TRUE(prompter.asked.empty());
    EXPECT_EQ(Shape(), (std::vector<std::string>{"Home", "  b", "    p3.html"}));
    // The context menu's node went with its parent: its commands act on nothing.
    EXPECT_EQ(tree.ContextNode(), nullptr);
    tree.miAddIgnoreFolderClick(nullptr);
    tree.miRenameClick(nullptr);
    EXPECT_EQ(ignoreFolders.Count(), 0);
}

TEST_F(ResultTreeTest, ContextMenuRulesAndIgnoreLists) {
    EXPECT_EQ(ContextMenuOn(home), "edit");
    // The root is refused even if a caller reaches the command.
    tree.miAddIgnoreFolderClick(nullptr);
    EXPECT_EQ(tv.Items().Count(), 7);

    // A right click on a node reaches the menu through the view.
    POINT shownAt{};
    results::ResultMenuState shown;
    tree.OnPopupMenu = [&](POINT where, const results::ResultMenuState& s) {
        shown = s;
        shownAt = where;
    };
    const TPoint onDeep = view.Label(deep);
    tree_test::ClickAt(&tv, onDeep, pw::gui::MouseButton::Right);
    EXPECT_EQ(tree.ContextNode(), deep);
    EXPECT_EQ(shownAt.y, onDeep.y);
    EXPECT_EQ(Offered(shown), "folder delete edit");
    tree.miAddIgnoreFolderClick(nullptr);
    ASSERT_EQ(ignoreFolders.Count(), 1);
    EXPECT_EQ(ignoreFolders[0], "/s/a/deep/");
    EXPECT_EQ(profile.IgnoreFolders(), ignoreFolders.Text());
    EXPECT_EQ(tree.FindNodeByFolder("/s/a/deep/"), nullptr);
    EXPECT_EQ(tree.ContextNode(), nullptr);

    EXPECT_EQ(ContextMenuOn(Add(b, "/s/b/Mixed Case.HTML")), "file delete edit");
    tree.miIgnoreFileClick(nullptr);
    ASSERT_EQ(ignoreFiles.Count(), 1);
    EXPECT_EQ(ignoreFiles[0], "/s/b/Mixed Case.HTML");
    EXPECT_EQ(profile.IgnoreFiles(), ignoreFiles.Text());

    // With several nodes selected only removal stays on offer.
    Pick(p1);
    AddPick(p3);
    EXPECT_EQ(ContextMenuOn(p1), "delete");
}

// A menu opened on a node outside the selection acts on that node alone, the one it shows selected; one
// opened on a selected node acts on the whole selection.
TEST_F(ResultTreeTest, TheMenuActsOnItsNodeOrOnTheSelectionThatHoldsIt) {
    profile.SetConfirmDelete(false);
    std::vector<std::string> propertiesOf;
    tree.OnShowProperties = [&](NodeProperties& props, bool multiple) {
        propertiesOf.push_back(multiple ? "several" : props.URL);
        return false;
    };
    std::string offered;
    tree.OnPopupMenu = [&](POINT, const results::ResultMenuState& s) {
        offered = Offered(s);
        tree.miPropertiesClick(nullptr);
        tree.miDeleteClick(nullptr);
    };
    Pick(p1);
    AddPick(p3);
    tree_test::ClickAt(&tv, view.Label(p2), pw::gui::MouseButton::Right);
    EXPECT_EQ(offered, "file delete edit");
    EXPECT_EQ(propertiesOf, std::vector<std::string>{"/s/a/deep/p2.html"});
    EXPECT_EQ(Shape(),
              (std::vector<std::string>{"Home", "  a", "    p1.html", "    deep", "  b", "    p3.html"}));
    EXPECT_EQ(tv.SelectionCount(), 2);

    tree_test::ClickAt(&tv, view.Label(p3), pw::gui::MouseButton::Right);
    EXPECT_EQ(offered, "delete");
    EXPECT_EQ(propertiesOf, (std::vector<std::string>{"/s/a/deep/p2.html", "several"}));
    EXPECT_EQ(Shape(), (std::vector<std::string>{"Home", "  a", "    deep", "  b"}));
}

TEST_F(ResultTreeTest, RenameThroughTheEditorAndF2) {
    Pick(p1);
    Key(VK_F1 + 1);
    ASSERT_TRUE(tv.IsEditing());
    tree_test::Type("First page");
    Key(VK_RETURN);
    EXPECT_EQ(p1->Text(), "First page");
    EXPECT_EQ(TResultTree::Rec(p1)->Text, "First page");
    EXPECT_EQ(outputResets, 1);
    ContextMenuOn(b);
    tree.miRenameClick(nullptr);
    ASSERT_TRUE(tv.IsEditing());
    tree_test::Type("x");
    Key(VK_RETURN);
    EXPECT_EQ(TResultTree::Rec(b)->Text, "x");
    // The root is renamed like any node.
    Pick(home);
    Key(VK_F1 + 1);
    EXPECT_TRUE(tv.IsEditing());
    Key(VK_ESCAPE);
    EXPECT_EQ(home->Text(), "Home");
}

TEST_F(ResultTreeTest, PropertiesOfOneNode) {
    NodeProperties seen;
    bool accept = false;
    tree.OnShowProperties = [&](NodeProperties& props, bool multiple) {
        EXPECT_FALSE(multiple);
        seen = props;
        props.Text = "Section A";
        props.Loc = "http://site/a-index/";
        props.ChangeFreq = cfWeekly;
        props.Priority = 0.9;
        props.ApplyToChildren = true;
        props.OnlyDefaults = true;
        return accept;
    };
    TResultTree::Rec(p2)->Priority = 0.2; // set by hand: "only defaults" keeps it
    tree.ShowNodeProperties(p1);
    EXPECT_EQ(seen.URL, "/s/a/p1.html");
    EXPECT_EQ(TResultTree::Rec(p1)->Text, "p1.html");
    EXPECT_EQ(outputResets, 0);

    accept = true;
    tree.ShowNodeProperties(p1);
    EXPECT_EQ(p1->Text(), "Section A");
    EXPECT_EQ(TResultTree::Rec(p1)->Loc, "http://site/a-index/");
    EXPECT_EQ(p1->ImageIndex(), results::kFolderImage);
    EXPECT_EQ(outputResets, 1);

    // Applied to the children, the grandchild below a's second child included.
    tree.ShowNodeProperties(a);
    EXPECT_EQ(TResultTree::Rec(a)->ChangeFreq, cfWeekly);
    EXPECT_EQ(TResultTree::Rec(p1)->Priority, 0.9); // was still the default
    EXPECT_EQ(TResultTree::Rec(deep)->ChangeFreq, cfWeekly);
    EXPECT_EQ(TResultTree::Rec(p2)->Priority, 0.2);
    EXPECT_EQ(TResultTree::Rec(p2)->ChangeFreq, cfWeekly);
    EXPECT_EQ(TResultTree::Rec(p3)->ChangeFreq, profile.DefFreq());
}

TEST_F(ResultTreeTest, PropertiesOfSeveralNodesKeepTheirTexts) {
    TResultTree::Rec(p1)->ChangeFreq = cfDaily;
    TResultTree::Rec(p1)->Priority = 0.7;
    Pick(p1);
    AddPick(b);
    tree.OnShowProperties = [&](NodeProperties& props, bool multiple) {
        EXPECT_TRUE(multiple);
        EXPECT_EQ(props.Text, "Multiple Files Selected");
        EXPECT_EQ(props.URL, "Multiple Files Selected");
        EXPECT_EQ(props.Loc, "Multiple Files Selected");
        EXPECT_EQ(props.ChangeFreq, cfDaily);
        EXPECT_EQ(props.Priority, 0.7);
        props.ChangeFreq = cfYearly;
        props.Priority = 0.1;
        props.ApplyToChildren = true;
        return true;
    };
    Key(VK_RETURN, VK_MENU);
    EXPECT_EQ(TResultTree::Rec(p1)->Text, "p1.html");
    EXPECT_EQ(TResultTree::Rec(b)->Text, "b");
    EXPECT_EQ(TResultTree::Rec(p1)->Loc, "http://site/a/p1.html");
    for (TTreeNode* n : {p1, b, p3}) {
        EXPECT_EQ(TResultTree::Rec(n)->ChangeFreq, cfYearly);
        EXPECT_EQ(TResultTree::Rec(n)->Priority, 0.1);
    }
    EXPECT_EQ(TResultTree::Rec(a)->ChangeFreq, profile.DefFreq());
    EXPECT_EQ(outputResets, 1);
}

TEST_F(ResultTreeTest, StatusLineAndEmptyFolderRemoval) {
    std::string status;
    tree.OnStatusText = [&](const std::string& s) { status = s; };
    TResultTree::Rec(p3)->ChangeFreq = cfWeekly;
    TResultTree::Rec(p3)->Priority = 0.25;
    Pick(p3);
    EXPECT_EQ(status, "/s/b/p3.html  [Change Freq: Weekly Pri: 0.25]");
    AddPick(p1);
    EXPECT_EQ(status, "Multiple Files Selected");
    AddPick(p1);
    EXPECT_EQ(status, "/s/b/p3.html  [Change Freq: Weekly Pri: 0.25]");
    AddPick(p3);
    EXPECT_EQ(status, "");

    // A chain of folders that hold nothing goes, down to the first folder that holds a page.
    Add(Add(Add(b, "/s/b/x/", "x"), "/s/b/x/y/", "y"), "/s/b/x/y/z/", "z");
    tv.Items().Delete(p2);
    tree.RemoveEmptyFolders();
    EXPECT_EQ(Shape(), (std::vector<std::string>{"Home", "  a", "    p1.html", "  b", "    p3.html"}));
    EXPECT_EQ(tree.FindNodeByFolder("/s/b/x/"), nullptr);
    tree.ReleaseTree();
    EXPECT_EQ(tv.Items().Count(), 0);
    EXPECT_EQ(tree.FindNodeByFolder("/s/"), nullptr);
}

TEST_F(ResultTreeTest, StatusLineNeverNamesARemovedNode) {
    std::string status;
    tree.OnStatusText = [&](const std::string& s) { status = s; };
    profile.SetConfirmDelete(false);
    Pick(p3);
    ASSERT_NE(status.find("/s/b/p3.html"), std::string::npos);
    Key(VK_DELETE);
    EXPECT_EQ(status.find("p3.html"), std::string::npos) << status;
    EXPECT_EQ(status, tree.StatusText());
    EXPECT_EQ(outputResets, 1) << "a changed tree makes the output due again";

    Pick(deep);
    ASSERT_NE(status.find("/s/a/deep/"), std::string::npos);
    ContextMenuOn(deep);
    tree.miAddIgnoreFolderClick(nullptr);
    EXPECT_EQ(status.find("deep"), std::string::npos) << status;
    Pick(p1);
    ContextMenuOn(p1);
    tree.miIgnoreFileClick(nullptr);
    EXPECT_EQ(status.find("p1.html"), std::string::npos) << status;
    EXPECT_EQ(outputResets, 3);
}

// Crawled pages, on an empty tree.
using CrawlNodesTest = results_test::TreeTest;

TEST_F(CrawlNodesTest, PagesHangUnderFolderNodesBuiltFromTheirPath) {
    profile.SetUsePageTitles(false);
    results_test::ScopedTz tz("UTC");
    tree.AddRootNode("", "http://site/", "Start", 1704110400);
    EXPECT_EQ(TResultTree::Rec(tree.Root())->LastMod, "2024-01-01T12:00:00+00:00");
    TTreeNode* page = tree.AddPageNode("http://site/a/b/page.html", "Page", "Title", std::nullopt);
    ASSERT_NE(page, nullptr);
    // A folder's own page gives the folder its name and makes no node.
    EXPECT_EQ(tree.AddPageNode("http://site/a/", "A", "Section A", std::nullopt), nullptr);
    tree.AddPageNode("http://site/a/list.php?page=2", "Second", "", std::nullopt);
    EXPECT_EQ(Shape(true), (std::vector<std::string>{"Home 0", "  a 0", "    b 0", "      page.html 1",
                                                     "    list.php?page=2 1"}));
    EXPECT_EQ(TResultTree::Rec(tree.FindNodeByFolder("http://site/a/"))->Text, "a");
    EXPECT_EQ(TResultTree::Rec(page)->Folder, "http://site/a/b/");
    EXPECT_EQ(TResultTree::Rec(page)->Loc, "http://site/a/b/page.html");
    EXPECT_EQ(TResultTree::Rec(tree.Root())->Text, "");
    // Refused: a path that climbs, an address too short to hold a host.
    EXPECT_EQ(tree.AddPageNode("http://site/a/../x.html", "x", "", std::nullopt), nullptr);
    EXPECT_EQ(tree.FindOrCreateFolderPath("http://", ""), nullptr);
    EXPECT_EQ(tree.FindOrCreateFolderPath("http://site", ""), nullptr);
    EXPECT_EQ(tv.Items().Count(), 5);
}

TEST_F(CrawlNodesTest, TitlesNameTheRootAndTheFolders) {
    profile.SetUsePageTitles(true);
    // A start page without a title still gets a visible name.
    tree.AddRootNode("http://referrer/", "http://site/", "", std::nullopt);
    EXPECT_EQ(TResultTree::Rec(tree.Root())->Text, "Home");
    EXPECT_EQ(TResultTree::Rec(tree.Root())->Referrer, "http://referrer/");
    tree.AddPageNode("http://site/docs/guide.html", "Guide", "Guide", std::nullopt);
    tree.AddPageNode("http://site/docs/", "docs", "The Docs", std::nullopt);
    // An address outside the root's folder starts a top-level node named by its raw address.
    tree.AddPageNode("https://other/y/x.html", "X", "X", std::nullopt);
    EXPECT_EQ(Shape(true), (std::vector<std::string>{"Home 0", "  The Docs 0", "    Guide 1",
                                                     "https://other/ 0", "  y 0", "    X 1"}));
    EXPECT_EQ(TResultTree::Rec(tree.FindNodeByFolder("http://site/docs/"))->Text, "The Docs");
}

// Messages sent to Window while Work runs.
HWND countedWindow = nullptr;
int counted = 0;
HHOOK countingHook = nullptr;
int MessagesTo(HWND Window, const std::function<void()>& Work) {
    countedWindow = Window;
    counted = 0;
    countingHook = SetWindowsHookEx(
        WH_CALLWNDPROC,
        [](int code, WPARAM wParam, LPARAM lParam) {
            if (reinterpret_cast<const CWPSTRUCT*>(lParam)->hwnd == countedWindow) ++counted;
            return CallNextHookEx(countingHook, code, wParam, lParam);
        },
        nullptr, GetCurrentThreadId());
    Work();
    UnhookWindowsHookEx(countingHook);
    return counted;
}

TEST_F(CrawlNodesTest, EveryFolderOfAPathIsExpandedWithoutWalkingWhatIsAlreadyOpen) {
    view.Show();
    tree.AddRootNode("", "http://site/", "Start", std::nullopt);
    std::string path = "http://site/";
    auto addDeeper = [&] {
        path += "d/";
        tree.AddPageNode(path + "page.html", "Page", "", std::nullopt);
    };
    // One more page at the bottom of a deep path costs the window about what it costs at a shallow
    // one: expanding each folder of the path with all its descendants once cost the whole path's
    // subtree per folder, cubic time over a deep site.
    for (int i = 0; i < 20; ++i)
        addDeeper();
    const int shallow = MessagesTo(tv.Handle(), addDeeper);
    for (int i = 0; i < 300; ++i)
        addDeeper();
    const int deep = MessagesTo(tv.Handle(), addDeeper);
    EXPECT_LE(deep, 2 * shallow + 20) << "at depth 21: " << shallow;

    // Each folder of the path is open, but for the one that has just been given its first page: that
    // one opens when the next page below it passes. The root is left to the end of the crawl.
    const TTreeNode* deepest = tree.FindNodeByFolder(path);
    ASSERT_NE(deepest, nullptr);
    for (TTreeNode* n = tree.Root()->GetNext(); n != nullptr; n = n->GetNext())
        if (n->HasChildren()) {
            EXPECT_EQ(n->Expanded(), n != deepest) << n->Level();
        }

    // Folders the person closed meanwhile open again when the next page of the path arrives, those
    // of another branch stay as they are.
    tree.AddPageNode("http://site/other/x/y.html", "Y", "", std::nullopt);
    tree.AddPageNode("http://site/other/x/z.html", "Z", "", std::nullopt);
    TTreeNode* other = tree.FindNodeByFolder("http://site/other/");
    TTreeNode* d1 = tree.FindNodeByFolder("http://site/d/");
    TTreeNode* d5 = tree.FindNodeByFolder("http://site/d/d/d/d/d/");
    TTreeNode* d6 = tree.FindNodeByFolder("http://site/d/d/d/d/d/d/");
    ASSERT_TRUE(other != nullptr && d1 != nullptr && d5 != nullptr && d6 != nullptr);
    d1->Collapse(false);
    d5->Collapse(true);
    other->Collapse(false);
    ASSERT_FALSE(d1->Expanded() || d5->Expanded() || d6->Expanded());
    addDeeper();
    EXPECT_TRUE(d1->Expanded() && d5->Expanded() && d6->Expanded());
    EXPECT_FALSE(other->Expanded());
    EXPECT_TRUE(other->GetFirstChild()->Expanded());
}

// Questions and orders about opening nodes sent to Window while Work runs.
int expansionsAsked = 0;
HHOOK expansionHook = nullptr;
int ExpansionMessagesTo(HWND Window, const std::function<void()>& Work) {
    countedWindow = Window;
    expansionsAsked = 0;
    expansionHook = SetWindowsHookEx(
        WH_CALLWNDPROC,
        [](int code, WPARAM wParam, LPARAM lParam) {
            const auto* cwp = reinterpret_cast<const CWPSTRUCT*>(lParam);
            if (cwp->hwnd == countedWindow &&
                (cwp->message == TVM_GETITEMSTATE || cwp->message == TVM_EXPAND))
                ++expansionsAsked;
            return CallNextHookEx(expansionHook, code, wParam, lParam);
        },
        nullptr, GetCurrentThreadId());
    Work();
    UnhookWindowsHookEx(expansionHook);
    return expansionsAsked;
}

TEST_F(CrawlNodesTest, FoldersStayOpenAsPagesComeAndOpenAgainOnceClosed) {
    view.Show();
    tree.AddRootNode("", "http://site/", "Start", std::nullopt);
    tree.AddPageNode("http://site/a/p0.html", "P0", "", std::nullopt);
    tree.AddPageNode("http://site/b/p0.html", "B0", "", std::nullopt);
    TTreeNode* a = tree.FindNodeByFolder("http://site/a/");
    TTreeNode* b = tree.FindNodeByFolder("http://site/b/");
    ASSERT_TRUE(a != nullptr && b != nullptr);
    tree.AddPageNode("http://site/a/p1.html", "P1", "", std::nullopt);
    ASSERT_TRUE(a->Expanded());

    // Pages for folders already open leave them open without a word to the window about it.
    const int asked = ExpansionMessagesTo(tv.Handle(), [&] {
        for (int i = 2; i < 12; ++i)
            tree.AddPageNode("http://site/a/p" + std::to_string(i) + ".html", "P", "", std::nullopt);
    });
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(a->Count(), 12);
    EXPECT_TRUE(a->Expanded());

    // One the person closed, with many pages in it, opens again with the next page for it.
    tree.AddPageNode("http://site/b/p1.html", "B1", "", std::nullopt);
    a->Collapse(false);
    b->Collapse(false);
    ASSERT_FALSE(a->Expanded() || b->Expanded());
    tree.AddPageNode("http://site/b/p2.html", "B2", "", std::nullopt);
    EXPECT_TRUE(b->Expanded());
    EXPECT_FALSE(a->Expanded());
    tree.AddPageNode("http://site/a/q.html", "Q", "", std::nullopt);
    EXPECT_TRUE(a->Expanded());
    EXPECT_EQ(b->Count(), 3);
}

TEST_F(CrawlNodesTest, DeepPathsMakeEachFolderOnceAndOpenAsShallowOnesDo) {
    view.Show();
    tree.AddRootNode("", "http://site/", "Start", std::nullopt);
    // The folder at Depth of branch B: "b<B>/" at depth 1, then "d/" on down.
    const auto key = [](int b, int depth) {
        std::string k = "http://site/b" + std::to_string(b) + "/";
        for (int i = 1; i < depth; ++i)
            k += "d/";
        return k;
    };
    const auto page = [&](int b, int depth, const std::string& name) {
        tree.AddPageNode(key(b, depth) + name, name, "", std::nullopt);
    };
    // Depths From to To of branch B are there, each under the one above, open or closed.
    const auto branch = [&](int b, int from, int to, bool open) {
        for (int d = from; d <= to; ++d) {
            TTreeNode* n = tree.FindNodeByFolder(key(b, d));
            ASSERT_NE(n, nullptr) << b << " " << d;
            EXPECT_EQ(n->Parent(), d == 1 ? tree.Root() : tree.FindNodeByFolder(key(b, d - 1)))
                << b << " " << d;
            EXPECT_EQ(n->Expanded(), open) << b << " " << d;
        }
    };
    const auto eachFolderOnce = [&](size_t count) {
        std::set<std::string> keys;
        size_t folders = 0;
        for (TTreeNode* n = tree.Root(); n != nullptr; n = n->GetNext())
            if (const TDataRec* rec = TResultTree::Rec(n); rec->IsFolder) {
                ++folders;
                keys.insert(std::string(rec->Folder.View()));
            }
        EXPECT_EQ(folders, count);
        EXPECT_EQ(keys.size(), count);
    };

    // New deep paths stay closed until a later page passes them; one that does opens its whole branch.
    for (int b = 1; b <= 3; ++b)
        page(b, 40, "page.html");
    eachFolderOnce(1 + 3 * 40);
    branch(1, 1, 40, false);
    page(2, 20, "other.html");
    branch(2, 1, 40, true);
    branch(1, 1, 40, false);
    branch(3, 1, 40, false);
    EXPECT_FALSE(tree.Root()->Expanded());

    // A closed folder, and a removed part of a path just walked, are found again by the next page that
    // passes them, the removed folders made anew.
    tree.FindNodeByFolder(key(2, 10))->Collapse(false);
    page(1, 40, "again.html");
    tv.Items().Delete(tree.FindNodeByFolder(key(1, 30)));
    page(1, 35, "after.html");
    eachFolderOnce(1 + 3 * 40 - 11 + 6);
    branch(1, 1, 29, true);
    branch(1, 30, 35, false);
    branch(2, 10, 10, false);
    page(2, 5, "up.html");
    branch(2, 1, 40, true);
    branch(3, 1, 40, false);
    // So is the removed part of a closed path; the folder left without children has nothing to open.
    tv.Items().Delete(tree.FindNodeByFolder(key(3, 20)));
    page(3, 25, "last.html");
    eachFolderOnce(1 + 3 * 40 - 11 + 6 - 21 + 6);
    branch(3, 1, 18, true);
    branch(3, 19, 25, false);
}

// A page reuses the folder nodes its path shares with the page before it, and only those: a folder whose
// name begins the name of the one walked before ("a" after "ab", "c" after "cd") is a folder of its own,
// at the top and further down.
TEST_F(CrawlNodesTest, OnlyTheFoldersAPathSharesWithThePathBeforeItAreReused) {
    tree.AddRootNode("", "http://site/", "Start", std::nullopt);
    const std::vector<std::pair<std::string, std::string>> pages = {
        {"http://site/ab/c/", "x.html"}, {"http://site/a/c/", "y.html"},   {"http://site/a/cd/", "z.html"},
        {"http://site/a/c/", "w.html"},  {"http://site/a/c/e/", "v.html"}, {"http://site/ab/", "u.html"}};
    std::vector<TTreeNode*> added;
    for (const auto& [folder, name] : pages)
        added.push_back(tree.AddPageNode(folder + name, name, "", std::nullopt));
    for (size_t i = 0; i < pages.size(); ++i) {
        const std::string& folder = pages[i].first;
        ASSERT_NE(added[i], nullptr) << pages[i].second;
        TTreeNode* node = tree.FindNodeByFolder(folder);
        ASSERT_NE(node, nullptr) << folder;
        EXPECT_EQ(added[i]->Parent(), node) << pages[i].second;
        // Each folder of the path under the one above it, up to the root.
        for (std::string key = folder; key != "http://site/";) {
            const std::string above = TResultTree::FolderOf(key.substr(0, key.size() - 1));
            EXPECT_EQ(node->Parent(), tree.FindNodeByFolder(above)) << key;
            EXPECT_EQ(std::string(TResultTree::Rec(node)->Folder.View()), key);
            key = above;
            node = node->Parent();
        }
        EXPECT_EQ(node, tree.Root());
    }
    size_t folders = 0;
    for (TTreeNode* n = tree.Root(); n != nullptr; n = n->GetNext())
        folders += TResultTree::Rec(n)->IsFolder;
    EXPECT_EQ(folders, 7u) << "the root, ab, ab/c, a, a/c, a/cd, a/c/e";
    // The folders a page's path made keep their addresses in one text, its deepest folder's.
    const std::string_view deepest = TResultTree::Rec(tree.FindNodeByFolder("http://site/ab/c/"))->Folder;
    const TDataRec* ab = TResultTree::Rec(tree.FindNodeByFolder("http://site/ab/"));
    EXPECT_EQ(ab->Folder.View().data(), deepest.data());
    EXPECT_EQ(ab->Loc.View().data(), deepest.data());
    EXPECT_EQ(ab->URL, "http://site/ab/");
}

// Within a room of folders: a page whose path needs more new folders than the room is left out whole, the
// folders its path shares with those made before cost nothing, and the walk goes on from what it found.
TEST_F(CrawlNodesTest, APageWhosePathNeedsMoreFoldersThanTheRoomIsLeftOutWhole) {
    profile.SetUsePageTitles(false);
    tree.AddRootNode("", "http://site/", "Start", std::nullopt);
    const auto add = [&](const std::string& page, int room) {
        const results::TPageAdded added = tree.AddPageNodeWithin(page, page, "", std::nullopt, room);
        EXPECT_EQ(added.NoRoom, added.Node == nullptr) << page;
        return added.NoRoom ? -1 : added.FoldersMade;
    };
    EXPECT_EQ(add("http://site/a/b/c/p.html", 2), -1);
    EXPECT_EQ(tv.Items().Count(), 1);
    EXPECT_EQ(add("http://site/a/b/p.html", 2), 2);
    EXPECT_EQ(add("http://site/a/b/c/x/y/p.html", 2), -1) << "c, x and y, with the room for two";
    EXPECT_EQ(add("http://site/a/b/c/q.html", 1), 1);
    EXPECT_EQ(add("http://site/a/b/c/x/y/z/p.html", 2), -1);
    EXPECT_EQ(add("http://site/a/b/c/r.html", 0), 0);
    // Another host: its top folder is new too.
    EXPECT_EQ(add("http://other/x/p.html", 1), -1);
    EXPECT_EQ(add("http://other/x/p.html", 2), 2);
    EXPECT_EQ(Shape(false),
              (std::vector<std::string>{"Home", "  a", "    b", "      p.html", "      c", "        q.html",
                                        "        r.html", "http://other/", "  x", "    p.html"}));
}

// The writers' node list keeps the level as it walks: down a path deeper than a byte counts, back up
// one, two and many levels at once, and on to a second top-level folder (a page of another host). Each node
// gets the level its place in the tree gives it, in the tree's order.
TEST_F(CrawlNodesTest, TheWritersNodeListGivesEachNodeItsLevelAfterAnyClimb) {
    tree.AddRootNode("", "http://site/", "Start", std::nullopt);
    std::string deep = "http://site/";
    for (int i = 0; i < 300; ++i)
        deep += "d/";
    for (const std::string& page : std::vector<std::string>{
             deep + "bottom.html", "http://site/a/b/c/d/e.html", "http://site/a/b/c/f.html",
             "http://site/a/b/g.html", "http://site/a/h.html", "http://site/i.html",
             "http://other/x/y/z.html", "http://other/w.html"})
        ASSERT_NE(tree.AddPageNode(page, page, "", std::nullopt), nullptr) << page;
    tree.Root()->Collapse(true);
    const std::vector<TSiteMapNode> nodes = SiteMapNodesOf(tv.Items());
    ASSERT_EQ(nodes.size(), static_cast<size_t>(tv.Items().Count()));
    size_t i = 0;
    int deepest = 0;
    for (TTreeNode* n = tv.Items().GetFirstNode(); n != nullptr; n = n->GetNext(), ++i) {
        ASSERT_LT(i, nodes.size());
        EXPECT_EQ(nodes[i].Data, TResultTree::Rec(n)) << i;
        EXPECT_EQ(nodes[i].Level, n->Level()) << i << " " << n->Text();
        deepest = std::max(deepest, nodes[i].Level);
    }
    EXPECT_EQ(deepest, 301);
    EXPECT_NE(tv.Items().GetFirstNode()->GetNextSibling(), nullptr) << "two top-level folders";
}

TEST(CrawlNodes, FolderOfUsesThePathOnly) {
    EXPECT_EQ(TResultTree::FolderOf("http://site/a/b.html"), "http://site/a/");
    EXPECT_EQ(TResultTree::FolderOf("http://site/a?x=1/2"), "http://site/");
    EXPECT_EQ(TResultTree::FolderOf("http://site/a/#top/x"), "http://site/a/");
    EXPECT_EQ(TResultTree::FolderOf("http://site"), "http://site/");
    EXPECT_EQ(TResultTree::FolderOf("http://site?q"), "http://site/");
}

TEST_F(ResultTreeTest, AfterDeleteTheNextNodeIsSelectedNamedAndDeletedByTheNextDelete) {
    std::string status;
    tree.OnStatusText = [&](const std::string& s) { status = s; };
    profile.SetConfirmDelete(false);
    Pick(p1);
    AddPick(p2);
    ASSERT_EQ(status, "Multiple Files Selected");
    Key(VK_DELETE);
    // The node the tree moved to is the selection: named on the status line, and the next Delete's.
    ASSERT_EQ(tv.SelectionCount(), 1);
    EXPECT_EQ(tv.Selections(0), deep);
    EXPECT_EQ(status.rfind("/s/a/deep/", 0), 0u) << status;
    Key(VK_DELETE);
    EXPECT_EQ(Shape(), (std::vector<std::string>{"Home", "  a", "  b", "    p3.html"}));
    EXPECT_EQ(tv.Selections(0), a);
    EXPECT_EQ(status.rfind("/s/a/", 0), 0u) << status;
}
} // namespace
