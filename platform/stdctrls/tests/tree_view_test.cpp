#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/gdi/shapes.h"
#include "platform/gdi/syscolors.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/image_list.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/paint.h"
#include "platform/gui/window.h"
#include "platform/stdctrls/tree_view.h"
#include "platform/vcl/form.h"
#include "test_support.h"

using namespace stdctrls_test;

namespace {

struct TreeForm {
    TForm* form = MakeForm(300, 400);
    TTreeView* tree = new TTreeView(form);
    TreeForm() {
        tree->SetParent(form);
        tree->SetBounds(0, 0, 300, 400);
    }
    ~TreeForm() { delete form; }
    void Show() {
        form->Show();
        Pump();
    }
    TPoint Label(TTreeNode* node) const {
        const TRect r = node->DisplayRect(true);
        return TPoint{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
};

} // namespace

TEST(TreeView, AThousandNodesReadBackByIndexInTreeOrderAndKeepDataThroughANewWindow) {
    TreeForm f;
    f.Show();
    std::vector<int> data(1000);
    f.tree->Items().BeginUpdate();
    TTreeNode* parent = nullptr;
    for (int i = 0; i < 1000; ++i) {
        data[static_cast<size_t>(i)] = i;
        const std::string text = "node " + std::to_string(i);
        // Every tenth node is a top-level one holding the nine after it.
        if (i % 10 == 0)
            parent = f.tree->Items().AddObject(parent, text, &data[static_cast<size_t>(i)]);
        else
            f.tree->Items().AddChildObject(parent, text, &data[static_cast<size_t>(i)]);
    }
    f.tree->Items().EndUpdate();
    ASSERT_EQ(f.tree->Items().Count(), 1000);
    for (int i = 0; i < 1000; ++i) {
        TTreeNode* n = f.tree->Items()[i];
        ASSERT_EQ(n->Text(), "node " + std::to_string(i));
        ASSERT_EQ(*static_cast<int*>(n->Data()), i);
        ASSERT_EQ(n->AbsoluteIndex(), i);
        ASSERT_EQ(n->Level(), i % 10 == 0 ? 0 : 1);
    }
    EXPECT_EQ(SendMessage(f.tree->Handle(), TVM_GETCOUNT, 0, 0), 1000);
    EXPECT_THROW(f.tree->Items()[1000], EListError);

    TTreeNode* fifty = f.tree->Items()[50];
    EXPECT_EQ(fifty->Count(), 9);
    EXPECT_EQ(fifty->Index(), 5);
    EXPECT_EQ(fifty->getFirstChild()->Text(), "node 51");
    EXPECT_EQ(fifty->getNextSibling()->Text(), "node 60");
    EXPECT_EQ(fifty->getPrevSibling()->Text(), "node 40");
    EXPECT_EQ(fifty->GetPrev()->Text(), "node 49");
    EXPECT_EQ(fifty->GetNext()->Text(), "node 51");
    EXPECT_EQ(f.tree->Items()[59]->GetNext(), fifty->getNextSibling());
    EXPECT_EQ(f.tree->Items()[59]->Parent(), fifty);

    fifty->Expand(false);
    f.tree->Items()[55]->SetImageIndex(2);
    f.tree->SetSelected(f.tree->Items()[55]);
    EXPECT_EQ(f.tree->Selected()->Text(), "node 55");

    // A new window gets the same nodes, data, expansion and selection.
    f.tree->SetShowLines(false);
    f.tree->RecreateWnd();
    EXPECT_EQ(SendMessage(f.tree->Handle(), TVM_GETCOUNT, 0, 0), 1000);
    EXPECT_EQ(f.tree->Items().Count(), 1000);
    EXPECT_EQ(*static_cast<int*>(f.tree->Items()[999]->Data()), 999);
    EXPECT_TRUE(fifty->Expanded());
    EXPECT_FALSE(f.tree->Items()[60]->Expanded());
    EXPECT_EQ(f.tree->Selected(), f.tree->Items()[55]);
    EXPECT_EQ(f.tree->Items()[55]->ImageIndex(), 2);
    TVITEM image;
    image.mask = TVIF_IMAGE | TVIF_HANDLE;
    image.hItem = f.tree->Items()[55]->ItemId();
    SendMessage(f.tree->Handle(), TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&image));
    EXPECT_EQ(image.iImage, 2);

    // Moving keeps the subtree.
    TTreeNode* ten = f.tree->Items()[10];
    ten->MoveTo(f.tree->Items().GetFirstNode(), naAddFirst);
    EXPECT_EQ(f.tree->Items().GetFirstNode(), ten);
    EXPECT_EQ(f.tree->Items()[1]->Text(), "node 11");
    EXPECT_EQ(f.tree->Items()[10]->Text(), "node 0");
    EXPECT_THROW(ten->MoveTo(ten->getFirstChild(), naAddChild), EInvalidOperation);
}

TEST(TreeView, DeletionTellsOnDeletionOfEveryNodeChildrenFirst) {
    TreeForm f;
    std::vector<std::string> gone;
    f.tree->OnDeletion = [&](TObject*, TTreeNode* n) {
        // The node is whole while its handler runs.
        gone.push_back(n->Text() + (n->Parent() ? "<" + n->Parent()->Text() : ""));
    };
    TTreeNodes& items = f.tree->Items();
    TTreeNode* a = items.Add(nullptr, "a");
    TTreeNode* a1 = items.AddChild(a, "a1");
    items.AddChild(a1, "a1x");
    items.AddChild(a, "a2");
    TTreeNode* b = items.Add(nullptr, "b");
    items.AddChild(b, "b1");
    items.AddFirst(a, "first");
    items.Insert(b, "before b");
    f.Show();
    EXPECT_EQ(items.Count(), 8);
    EXPECT_EQ(items[0]->Text(), "first");
    EXPECT_EQ(items[5]->Text(), "before b");

    a->Delete();
    EXPECT_EQ(gone, (std::vector<std::string>{"a1x<a1", "a1<a", "a2<a", "a"}));
    EXPECT_EQ(items.Count(), 4);
    EXPECT_EQ(SendMessage(f.tree->Handle(), TVM_GETCOUNT, 0, 0), 4);
    gone.clear();
    b->DeleteChildren();
    EXPECT_EQ(gone, std::vector<std::string>{"b1<b"});
    EXPECT_FALSE(b->HasChildren());
    gone.clear();
    items.Clear();
    EXPECT_EQ(gone, (std::vector<std::string>{"first", "before b", "b"}));
    EXPECT_EQ(items.Count(), 0);
    EXPECT_EQ(items.GetFirstNode(), nullptr);
    // Nodes left at the end go with the control, and are told of too.
    items.Add(nullptr, "last");
    gone.clear();
    delete f.tree;
    f.tree = nullptr;
    EXPECT_EQ(gone, std::vector<std::string>{"last"});
}

TEST(TreeView, NodesEnterTheWindowWithTheirImagesAndAClearEmptiesItInOneStep) {
    TreeForm f;
    f.Show();
    TTreeNodes& items = f.tree->Items();
    int data = 7;
    TTreeNode* folder = items.AddChildObject(nullptr, "folder", nullptr, 0, 0);
    TTreeNode* page = items.AddChildObject(folder, "page", &data, 1, 2);
    EXPECT_EQ(page->ImageIndex(), 1);
    EXPECT_EQ(page->SelectedIndex(), 2);
    EXPECT_EQ(page->Data(), &data);
    TVITEM it;
    it.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_HANDLE;
    it.hItem = page->ItemId();
    ASSERT_TRUE(SendMessage(f.tree->Handle(), TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&it)));
    EXPECT_EQ(it.iImage, 1);
    EXPECT_EQ(it.iSelectedImage, 2);

    // A clear with a node selected: every node is told of, children first, the selection is gone and
    // the window is empty, and it takes new nodes again.
    for (int i = 0; i < 300; ++i)
        items.AddChildObject(folder, "more " + std::to_string(i), nullptr, 1, 1);
    folder->Expand(false);
    f.tree->SetSelected(page);
    std::vector<std::string> gone;
    int changes = 0;
    f.tree->OnDeletion = [&gone](TObject*, TTreeNode* n) { gone.push_back(n->Text()); };
    f.tree->OnChange = [&changes](TObject*, TTreeNode*) { ++changes; };
    items.Clear();
    ASSERT_EQ(gone.size(), 302u);
    EXPECT_EQ(gone.front(), "page");
    EXPECT_EQ(gone[301], "folder");
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(f.tree->Selected(), nullptr);
    EXPECT_EQ(SendMessage(f.tree->Handle(), TVM_GETCOUNT, 0, 0), 0);
    TTreeNode* again = items.AddChildObject(nullptr, "again", nullptr, 2, 2);
    EXPECT_EQ(SendMessage(f.tree->Handle(), TVM_GETCOUNT, 0, 0), 1);
    f.tree->SetSelected(again);
    EXPECT_EQ(f.tree->Selected(), again);
    f.tree->OnDeletion = nullptr;
    f.tree->OnChange = nullptr;
}

TEST(TreeView, TheWindowReadsEachLabelFromItsNodeWholeAndAfterEveryChange) {
    TreeForm f;
    f.Show();
    // Longer than the window's own text buffer: a label cut there would measure and read back short.
    const std::string longer(400, 'x'), shorter(300, 'x');
    TTreeNode* a = f.tree->Items().Add(nullptr, longer);
    TTreeNode* b = f.tree->Items().Add(nullptr, shorter);
    auto width = [](TTreeNode* n) {
        const TRect r = n->DisplayRect(true);
        return r.right - r.left;
    };
    auto windowText = [&f](TTreeNode* n) {
        std::vector<char> buffer(1024);
        TVITEM it;
        it.mask = TVIF_TEXT | TVIF_HANDLE;
        it.hItem = n->ItemId();
        it.pszText = buffer.data();
        it.cchTextMax = static_cast<int>(buffer.size());
        SendMessage(f.tree->Handle(), TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&it));
        return std::string(buffer.data());
    };
    EXPECT_EQ(windowText(a), longer);
    EXPECT_GT(width(a), width(b));

    a->SetText("ab");
    b->SetText("a");
    EXPECT_EQ(windowText(a), "ab");
    EXPECT_EQ(windowText(b), "a");
    EXPECT_GT(width(a), width(b));
    EXPECT_LT(width(a), 100);
    // Typing a letter finds the node by the text it has now.
    f.tree->SetFocus();
    f.tree->SetSelected(a);
    b->SetText("zeta");
    Type("z");
    EXPECT_EQ(f.tree->Selected(), b);
}

TEST(TreeView, ATreeGoingWithItsFormTellsOfEveryNodeChildrenFirstAndLeavesTheItemsToTheWindow) {
    TreeForm f;
    f.Show();
    TTreeNodes& items = f.tree->Items();
    std::vector<int> data(500);
    for (int folder = 0; folder < 5; ++folder) {
        TTreeNode* parent = items.AddChildObject(nullptr, "folder " + std::to_string(folder), nullptr, 0, 0);
        for (int i = 0; i < 99; ++i)
            items.AddChildObject(parent, "page", &data[static_cast<size_t>(folder * 100 + i)], 1, 1);
        parent->Expand(false);
    }
    f.tree->SetSelected(items[250]);
    std::vector<std::string> gone;
    int pages = 0;
    f.tree->OnDeletion = [&](TObject*, TTreeNode* n) {
        // Whole while its handler runs, its data still there to free.
        if (n->Data()) ++pages;
        gone.push_back(n->Text());
    };
    // As a window's own OnDestroy clears its tree: the controls are being destroyed already.
    f.form->Destroying();
    items.Clear();
    ASSERT_EQ(gone.size(), 500u);
    EXPECT_EQ(pages, 495);
    EXPECT_EQ(gone[99], "folder 0");
    EXPECT_EQ(gone[499], "folder 4");
    EXPECT_EQ(items.Count(), 0);
    EXPECT_EQ(items.GetFirstNode(), nullptr);
}

// The window's children of an item, as nodes, in its order.
std::vector<TTreeNode*> WindowChildren(TTreeView* tree, TTreeNode* parent) {
    std::vector<TTreeNode*> nodes;
    auto item = reinterpret_cast<HTREEITEM>(
        SendMessage(tree->Handle(), TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(parent->ItemId())));
    for (; item; item = reinterpret_cast<HTREEITEM>(SendMessage(tree->Handle(), TVM_GETNEXTITEM, TVGN_NEXT,
                                                                reinterpret_cast<LPARAM>(item)))) {
        TVITEM it;
        it.mask = TVIF_PARAM | TVIF_HANDLE;
        it.hItem = item;
        SendMessage(tree->Handle(), TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&it));
        nodes.push_back(reinterpret_cast<TTreeNode*>(it.lParam));
    }
    return nodes;
}

TEST(TreeView, ALongSiblingListThinnedAndAddedToInTheMiddleKeepsItsOrderEverywhere) {
    TreeForm f;
    f.Show();
    TTreeNodes& items = f.tree->Items();
    TTreeNode* folder = items.Add(nullptr, "folder");
    for (int i = 0; i < 300; ++i)
        items.AddChild(folder, "p" + std::to_string(i));
    folder->Expand(false);
    f.tree->SetSelected(folder->Item(150));
    std::vector<std::string> gone;
    f.tree->OnDeletion = [&](TObject*, TTreeNode* n) { gone.push_back(n->Text()); };

    // Every third page, from the top, one at a time; the selected one among them.
    std::vector<std::string> expectGone, expectLeft;
    for (TTreeNode* n = folder->getFirstChild(); n;) {
        TTreeNode* next = n->getNextSibling();
        if (n->Text() == "p150" || std::stoi(n->Text().substr(1)) % 3 == 0) {
            expectGone.push_back(n->Text());
            n->Delete();
        } else {
            expectLeft.push_back(n->Text());
        }
        n = next;
    }
    f.tree->OnDeletion = nullptr;
    EXPECT_EQ(gone, expectGone);
    EXPECT_EQ(f.tree->Selected()->Text(), "p151");
    ASSERT_EQ(folder->Count(), 200);
    std::vector<TTreeNode*> nodes;
    for (int i = 0; i < folder->Count(); ++i) {
        TTreeNode* n = folder->Item(i);
        ASSERT_EQ(n->Text(), expectLeft[static_cast<size_t>(i)]);
        ASSERT_EQ(n->Index(), i);
        nodes.push_back(n);
    }
    EXPECT_EQ(WindowChildren(f.tree, folder), nodes);

    // Added between, before the first and (kept in text order) among equal texts.
    TTreeNode* mid = items.Insert(folder->Item(100), "mid");
    TTreeNode* top = items.AddChildFirst(folder, "top");
    EXPECT_EQ(mid->Index(), 101);
    EXPECT_EQ(top->Index(), 0);
    EXPECT_EQ(folder->Item(201)->Index(), 201);
    nodes.insert(nodes.begin() + 100, mid);
    nodes.insert(nodes.begin(), top);
    EXPECT_EQ(WindowChildren(f.tree, folder), nodes);
    for (int i = 0; i < folder->Count(); ++i)
        ASSERT_EQ(folder->Item(i), nodes[static_cast<size_t>(i)]);

    TTreeNode* sorted = items.Add(folder, "sorted");
    f.tree->SetSortType(stText);
    TTreeNode* b1 = items.AddChild(sorted, "b");
    TTreeNode* c = items.AddChild(sorted, "c");
    TTreeNode* a = items.AddChild(sorted, "a");
    TTreeNode* b2 = items.AddChild(sorted, "B");
    EXPECT_EQ(WindowChildren(f.tree, sorted), (std::vector<TTreeNode*>{a, b1, b2, c}));
    EXPECT_EQ(b2->Index(), 2);
}

TEST(TreeView, SelectionEventsAndControlAndShiftClicksSelectSeveralNodes) {
    TreeForm f;
    for (int i = 0; i < 6; ++i)
        f.tree->Items().Add(nullptr, "n" + std::to_string(i));
    std::vector<std::string> log;
    f.tree->OnChange = [&](TObject*, TTreeNode* n) { log.push_back("change " + (n ? n->Text() : "-")); };
    bool allow = true;
    f.tree->OnChanging = [&](TObject*, TTreeNode* n, bool& a) {
        log.push_back("changing " + n->Text());
        a = allow;
    };
    f.Show();
    TTreeNodes& items = f.tree->Items();

    f.tree->SetSelected(items[1]);
    EXPECT_EQ(log, (std::vector<std::string>{"changing n1", "change n1"}));
    log.clear();
    allow = false;
    TPoint p = f.Label(items[2]);
    Click(f.tree, p.x, p.y);
    EXPECT_EQ(f.tree->Selected(), items[1]);
    EXPECT_EQ(log, std::vector<std::string>{"changing n2"});
    allow = true;
    log.clear();

    f.tree->SetMultiSelect(true);
    f.tree->SetMultiSelectStyle(TMultiSelectStyle{msControlSelect, msShiftSelect});
    // Off the last click's spot, so that it is no double click.
    Click(f.tree, p.x + 4, p.y);
    EXPECT_EQ(f.tree->Selected(), items[2]);
    EXPECT_EQ(f.tree->SelectionCount(), 1);
    p = f.Label(items[4]);
    ClickWith(VK_CONTROL, f.tree, p.x, p.y);
    EXPECT_EQ(f.tree->SelectionCount(), 2);
    EXPECT_EQ(f.tree->Selections(0), items[2]);
    EXPECT_EQ(f.tree->Selections(1), items[4]);
    EXPECT_TRUE(items[4]->Selected());
    EXPECT_FALSE(items[3]->Selected());
    EXPECT_EQ(SendMessage(f.tree->Handle(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(items[4]->ItemId()),
                          TVIS_SELECTED),
              static_cast<LRESULT>(TVIS_SELECTED));
    // Ctrl on a selected node takes it out again.
    ClickWith(VK_CONTROL, f.tree, p.x + 4, p.y);
    EXPECT_EQ(f.tree->SelectionCount(), 1);
    EXPECT_EQ(SendMessage(f.tree->Handle(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(items[4]->ItemId()),
                          TVIS_SELECTED),
              0);
    // Shift selects the range from the last plain or Ctrl click.
    p = f.Label(items[0]);
    ClickWith(VK_SHIFT, f.tree, p.x, p.y);
    ASSERT_EQ(f.tree->SelectionCount(), 5);
    EXPECT_EQ(f.tree->Selections(4), items[0]);
    // A node that goes leaves the selection.
    items[3]->Delete();
    EXPECT_EQ(f.tree->SelectionCount(), 4);
    // A plain click starts again with one node.
    p = f.Label(items[3]);
    Click(f.tree, p.x, p.y);
    EXPECT_EQ(f.tree->SelectionCount(), 1);
    EXPECT_EQ(f.tree->Selections(0)->Text(), "n4");
    EXPECT_EQ(log.back(), "change n4");
}

TEST(TreeView, LabelEditingGoesThroughOnEditingAndOnEditedWhichMayChangeOrRefuseTheText) {
    TreeForm f;
    TTreeNode* a = f.tree->Items().Add(nullptr, "alpha");
    TTreeNode* b = f.tree->Items().Add(nullptr, "beta");
    bool allowEdit = true;
    f.tree->OnEditing = [&](TObject*, TTreeNode*, bool& allow) { allow = allowEdit; };
    f.tree->OnEdited = [&](TObject*, TTreeNode* n, std::string& s) {
        if (s.empty())
            s = n->Text(); // refused: keep the old text
        else
            s = "[" + s + "]";
    };
    f.Show();
    f.tree->SetFocus();

    ASSERT_TRUE(a->EditText());
    EXPECT_TRUE(f.tree->IsEditing());
    Type("new");
    Key(VK_RETURN);
    EXPECT_FALSE(f.tree->IsEditing());
    EXPECT_EQ(a->Text(), "[new]");
    TVITEM it;
    char buffer[64] = {};
    it.mask = TVIF_TEXT | TVIF_HANDLE;
    it.hItem = a->ItemId();
    it.pszText = buffer;
    it.cchTextMax = sizeof buffer;
    SendMessage(f.tree->Handle(), TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&it));
    EXPECT_STREQ(buffer, "[new]");

    ASSERT_TRUE(b->EditText());
    Key(VK_BACK);
    Key(VK_RETURN);
    EXPECT_EQ(b->Text(), "beta");
    // Escape cancels without asking.
    ASSERT_TRUE(b->EditText());
    Type("zzz");
    Key(VK_ESCAPE);
    EXPECT_EQ(b->Text(), "beta");

    // A handler that deletes the edited node leaves nothing to rename.
    f.tree->OnEdited = [&](TObject*, TTreeNode* n, std::string&) { n->Delete(); };
    ASSERT_TRUE(a->EditText());
    Type("gone");
    Key(VK_RETURN);
    EXPECT_EQ(f.tree->Items().Count(), 1);
    EXPECT_EQ(f.tree->Items()[0], b);

    allowEdit = false;
    EXPECT_FALSE(b->EditText());
    allowEdit = true;
    f.tree->SetReadOnly(true);
    EXPECT_FALSE(b->EditText());
}

TEST(TreeView, ExpansionKeysDoubleClicksAndTheContextMenuReachTheirEvents) {
    TreeForm f;
    TTreeNode* root = f.tree->Items().Add(nullptr, "root");
    f.tree->Items().AddChild(root, "child");
    std::vector<std::string> log;
    bool allowCollapse = false;
    f.tree->OnExpanding = [&](TObject*, TTreeNode* n, bool&) { log.push_back("expanding " + n->Text()); };
    f.tree->OnExpanded = [&](TObject*, TTreeNode* n) { log.push_back("expanded " + n->Text()); };
    f.tree->OnCollapsing = [&](TObject*, TTreeNode*, bool& a) {
        log.push_back("collapsing");
        a = allowCollapse;
    };
    f.tree->OnCollapsed = [&](TObject*, TTreeNode*) { log.push_back("collapsed"); };
    f.tree->OnKeyUp = [&](TObject*, WORD& key, TShiftState) {
        log.push_back("keyup " + std::to_string(key));
    };
    f.tree->OnDblClick = [&](TObject*) { log.push_back("dblclick"); };
    f.tree->OnContextPopup = [&](TObject*, TPoint pos, bool& handled) {
        log.push_back("popup " + std::to_string(pos.x) + "," + std::to_string(pos.y));
        handled = true;
    };
    f.Show();
    root->Expand(false);
    EXPECT_EQ(log, (std::vector<std::string>{"expanding root", "expanded root"}));
    EXPECT_TRUE(root->Expanded());
    log.clear();
    root->Collapse(false);
    EXPECT_TRUE(root->Expanded());
    allowCollapse = true;
    root->Collapse(false);
    EXPECT_FALSE(root->Expanded());
    EXPECT_EQ(log, (std::vector<std::string>{"collapsing", "collapsing", "collapsed"}));
    log.clear();

    f.tree->SetSelected(root);
    f.tree->SetFocus();
    Pump();
    Key(VK_F1 + 1);
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back(), "keyup 113");
    log.clear();
    const TPoint p{10, 5};
    Click(f.tree, p.x, p.y, true);
    EXPECT_NE(std::find(log.begin(), log.end(), "dblclick"), log.end());
    log.clear();
    RightClick(f.tree, 20, 6);
    EXPECT_EQ(log, std::vector<std::string>{"popup 20,6"});

    // An image list freed first is forgotten, and the tree still draws.
    auto* images = new TImageList(12, 12);
    TBitmap b;
    b.SetWidth(12);
    b.SetHeight(12);
    images->Add(&b, nullptr);
    f.tree->SetImages(images);
    EXPECT_NE(SendMessage(f.tree->Handle(), TVM_GETIMAGELIST, TVSIL_NORMAL, 0), 0);
    delete images;
    EXPECT_EQ(f.tree->Images(), nullptr);
    EXPECT_EQ(SendMessage(f.tree->Handle(), TVM_GETIMAGELIST, TVSIL_NORMAL, 0), 0);
    f.tree->Repaint();
    Pump();
}

// The item under a right click shows as the drop target while the menu it asks for is open, so the user
// sees which item the menu acts on; the selection stays as it was.
TEST(TreeView, ARightClickedItemIsTheDropTargetWhileItsMenuIsOpen) {
    TreeForm f;
    TTreeNodes& items = f.tree->Items();
    TTreeNode* a = items.Add(nullptr, "alpha");
    TTreeNode* b = items.Add(nullptr, "beta");
    f.Show();
    f.tree->SetSelected(a);
    const auto dropTarget = [&] {
        return reinterpret_cast<HTREEITEM>(
            SendMessage(f.tree->Handle(), TVM_GETNEXTITEM, TVGN_DROPHILITE, 0));
    };
    std::vector<HTREEITEM> duringMenu;
    bool deleteIt = false;
    bool highlighted = false;
    f.tree->OnContextPopup = [&](TObject*, TPoint, bool& handled) {
        duringMenu.push_back(dropTarget());
        // What the user sees meanwhile: the item in the colours of a selected one.
        f.tree->Repaint();
        const TRect label = b->DisplayRect(true);
        HDC dc = GetDC(f.tree->Handle());
        highlighted = GetPixel(dc, label.left + 1, label.top + 1) == GetSysColor(COLOR_HIGHLIGHT);
        ReleaseDC(f.tree->Handle(), dc);
        if (deleteIt) items.Delete(b);
        handled = true;
    };
    const TPoint at = f.Label(b);
    RightClick(f.tree, at.x, at.y);
    EXPECT_EQ(duringMenu, std::vector<HTREEITEM>{b->ItemId()});
    EXPECT_TRUE(highlighted);
    EXPECT_EQ(dropTarget(), nullptr) << "gone once the menu has closed";
    EXPECT_EQ(f.tree->Selected(), a);

    // Below the items there is none to show; a target the program set is left alone, or comes back.
    duringMenu.clear();
    SendMessage(f.tree->Handle(), TVM_SELECTITEM, TVGN_DROPHILITE, reinterpret_cast<LPARAM>(a->ItemId()));
    RightClick(f.tree, at.x, 300);
    RightClick(f.tree, at.x, at.y);
    EXPECT_EQ(duringMenu, (std::vector<HTREEITEM>{a->ItemId(), b->ItemId()}));
    EXPECT_EQ(dropTarget(), a->ItemId());
    SendMessage(f.tree->Handle(), TVM_SELECTITEM, TVGN_DROPHILITE, 0);

    // The menu may delete the item it was opened on.
    duringMenu.clear();
    deleteIt = true;
    RightClick(f.tree, at.x, at.y);
    ASSERT_EQ(duringMenu.size(), 1u);
    EXPECT_EQ(dropTarget(), nullptr);
    EXPECT_EQ(items.Count(), 1);
}

TEST(TreeView, DeletingTheSelectedNodesSelectsTheNodeTheWindowMovesTo) {
    TreeForm f;
    TTreeNodes& items = f.tree->Items();
    TTreeNode* root = items.Add(nullptr, "root");
    for (int i = 0; i < 4; ++i)
        items.AddChild(root, "c" + std::to_string(i));
    TTreeNode* deep = items.AddChild(root->Item(2), "deep");
    f.tree->SetMultiSelect(true);
    f.Show();
    root->Expand(true);
    std::vector<std::string> log;
    f.tree->OnChange = [&](TObject*, TTreeNode* n) { log.push_back(n ? n->Text() : "-"); };

    // Two nodes selected, the window's own on c1: deleting both leaves the node it moves to selected,
    // highlighted and reported.
    TTreeNode* c1 = root->Item(1);
    TTreeNode* c3 = root->Item(3);
    f.tree->Select({c3, c1});
    log.clear();
    c3->Delete();
    EXPECT_TRUE(log.empty()) << "the window's selection stayed";
    EXPECT_EQ(f.tree->SelectionCount(), 1);
    c1->Delete();
    TTreeNode* c2 = root->Item(1);
    EXPECT_EQ(c2->Text(), "c2");
    EXPECT_EQ(f.tree->Selected(), c2);
    ASSERT_EQ(f.tree->SelectionCount(), 1);
    EXPECT_EQ(f.tree->Selections(0), c2);
    EXPECT_TRUE(c2->Selected());
    EXPECT_EQ(log, std::vector<std::string>{"c2"});

    // The selected node inside a subtree that goes: the selection moves out of it, never into it.
    f.tree->Select({deep});
    log.clear();
    c2->Delete();
    ASSERT_EQ(f.tree->SelectionCount(), 1);
    EXPECT_EQ(f.tree->Selections(0)->Text(), "c0");
    EXPECT_EQ(log, std::vector<std::string>{"c0"});
    // The last node gone: nothing selected, and that is reported too.
    root->Delete();
    EXPECT_EQ(f.tree->SelectionCount(), 0);
    EXPECT_EQ(log.back(), "-") << testing::PrintToString(log);
}

TEST(TreeView, RecursiveExpansionReachesEveryNestedFolderPastItsPagesAndOnlyFoldersRaiseEvents) {
    TreeForm f;
    TTreeNode* root = f.tree->Items().Add(nullptr, "root");
    TTreeNode* a = f.tree->Items().AddChild(root, "a");
    for (int i = 0; i < 5; ++i)
        f.tree->Items().AddChild(root, "page " + std::to_string(i));
    TTreeNode* b = f.tree->Items().AddChild(root, "b");
    TTreeNode* deep = f.tree->Items().AddChild(a, "deep");
    f.tree->Items().AddChild(deep, "leaf");
    f.tree->Items().AddChild(b, "leaf");
    // A node that says it has children before they are there is a folder too.
    TTreeNode* lazy = f.tree->Items().AddChild(b, "lazy");
    lazy->SetHasChildren(true);
    std::vector<std::string> log;
    f.tree->OnExpanding = [&](TObject*, TTreeNode* n, bool&) { log.push_back("expanding " + n->Text()); };
    f.Show();
    root->Expand(true);
    EXPECT_EQ(log, (std::vector<std::string>{"expanding root", "expanding a", "expanding deep", "expanding b",
                                             "expanding lazy"}));
    for (TTreeNode* n : {root, a, deep, b, lazy})
        EXPECT_TRUE(n->Expanded()) << n->Text();
    // Once all is open, expanding again raises nothing; a folder added later under a page is reached.
    log.clear();
    TTreeNode* late = f.tree->Items().AddChild(f.tree->Items().AddChild(root, "page 5"), "late");
    f.tree->Items().AddChild(late, "leaf");
    root->Expand(true);
    EXPECT_EQ(log, (std::vector<std::string>{"expanding page 5", "expanding late"}));
    EXPECT_TRUE(late->Expanded());
}

namespace {
// Counts the insertion messages the tree views of this thread are sent.
struct InsertCounter {
    static inline int items = 0, runs = 0;
    HHOOK hook = SetWindowsHookEx(
        WH_CALLWNDPROC,
        [](int code, WPARAM wParam, LPARAM lParam) {
            const UINT msg = reinterpret_cast<const CWPSTRUCT*>(lParam)->message;
            items += msg == TVM_INSERTITEM;
            runs += msg == TVM_INSERTRUN;
            return CallNextHookEx(nullptr, code, wParam, lParam);
        },
        nullptr, GetCurrentThreadId());
    InsertCounter() { items = runs = 0; }
    ~InsertCounter() { UnhookWindowsHookEx(hook); }
};
} // namespace

TEST(TreeView, NodesAddedWhileTheTreeIsUpdatedEnterTheWindowAFolderAtATimeWhenItEndsOrWhenOneIsNeeded) {
    TreeForm f;
    f.Show();
    TTreeNodes& items = f.tree->Items();
    TTreeNode* top = items.AddChildObject(nullptr, "top", nullptr);
    InsertCounter count;
    items.BeginUpdate();
    std::vector<TTreeNode*> folders;
    for (int i = 0; i < 10; ++i) {
        folders.push_back(items.AddChildObject(top, "folder " + std::to_string(i), nullptr, 0, 0));
        for (int k = 0; k < 99; ++k)
            items.AddChildObject(folders.back(), "page " + std::to_string(k), nullptr, 1, 1);
    }
    // Added in the middle, and a pending folder that goes before the window has seen it.
    items.InsertObject(folders[5], "before 5", nullptr);
    items.Delete(folders[9]);
    folders.pop_back();
    EXPECT_EQ(count.items + count.runs, 0);
    EXPECT_EQ(SendMessage(f.tree->Handle(), TVM_GETCOUNT, 0, 0), 1);
    items.EndUpdate();
    EXPECT_EQ(count.items, 0);
    EXPECT_EQ(count.runs, 1 + 9) << "the top's children, then each folder's pages";
    EXPECT_EQ(SendMessage(f.tree->Handle(), TVM_GETCOUNT, 0, 0), items.Count());
    // The window holds the nodes in the tree's order, each with its own images.
    const auto itemOf = [&f](WPARAM relation, TTreeNode* n) {
        return reinterpret_cast<HTREEITEM>(
            SendMessage(f.tree->Handle(), TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(n->ItemId())));
    };
    for (TTreeNode* n = top; n; n = n->GetNext()) {
        TVITEM it;
        it.mask = TVIF_IMAGE | TVIF_PARAM | TVIF_HANDLE;
        it.hItem = n->ItemId();
        ASSERT_TRUE(SendMessage(f.tree->Handle(), TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&it)))
            << n->Text();
        EXPECT_EQ(reinterpret_cast<TTreeNode*>(it.lParam), n);
        EXPECT_EQ(it.iImage, n->ImageIndex());
        EXPECT_EQ(itemOf(TVGN_NEXT, n), n->GetNextSibling() ? n->GetNextSibling()->ItemId() : nullptr);
        EXPECT_EQ(itemOf(TVGN_CHILD, n), n->GetFirstChild() ? n->GetFirstChild()->ItemId() : nullptr);
    }

    // A node wanted by the window while the update goes on is handed over at once, with what came before.
    items.BeginUpdate();
    TTreeNode* late = items.AddChildObject(folders[2], "late", nullptr);
    f.tree->SetSelected(late);
    EXPECT_EQ(f.tree->Selected(), late);
    items.EndUpdate();
    EXPECT_EQ(count.items, 0);
    EXPECT_EQ(SendMessage(f.tree->Handle(), TVM_GETCOUNT, 0, 0), items.Count());
}

TEST(TreeView, AnAbandonedTreeEmptiesAtOnceTellingNoDeletionAndTheViewGoesOnWithoutItsNodes) {
    TreeForm f;
    f.tree->SetMultiSelect(true);
    f.Show();
    TTreeNodes& items = f.tree->Items();
    std::vector<int> data(300);
    for (int folder = 0; folder < 3; ++folder) {
        TTreeNode* parent = items.AddChildObject(nullptr, "folder", nullptr, 0, 0);
        for (int i = 0; i < 99; ++i)
            items.AddChildObject(parent, "page", &data[static_cast<size_t>(folder * 100 + i)], 1, 1);
        parent->Expand(false);
    }
    f.tree->Select({items[5], items[120]});
    int deletions = 0;
    f.tree->OnDeletion = [&](TObject*, TTreeNode*) { ++deletions; };
    items.Abandon();
    EXPECT_EQ(deletions, 0);
    EXPECT_EQ(items.Count(), 0);
    EXPECT_EQ(items.GetFirstNode(), nullptr);
    EXPECT_EQ(f.tree->SelectionCount(), 0);
    EXPECT_EQ(f.tree->Selected(), nullptr);
    EXPECT_EQ(SendMessage(f.tree->Handle(), TVM_GETCOUNT, 0, 0), 0) << "the window let its items go";
    // The view works on with new nodes, and frees just those when it goes.
    TTreeNode* fresh = items.AddChildObject(nullptr, "fresh", &data[0], 0, 0);
    items.AddChildObject(fresh, "child", &data[1], 1, 1);
    fresh->Expand(false);
    Pump();
    EXPECT_EQ(SendMessage(f.tree->Handle(), TVM_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(items[1]->Text(), "child");
    f.form->Destroying();
    items.Abandon();
    EXPECT_EQ(items.Count(), 0);
    delete f.form;
    f.form = nullptr;
    EXPECT_EQ(deletions, 0);
}

TEST(TreeView, NodesFilledInOrderLieSideBySideAndADeletedNodesPlaceIsTakenAgain) {
    TreeForm f;
    TTreeNodes& items = f.tree->Items();
    TTreeNode* folder = items.AddChildObject(nullptr, "folder", nullptr, 0, 0);
    std::vector<TTreeNode*> pages;
    for (int i = 0; i < 3000; ++i)
        pages.push_back(items.AddChildObject(folder, "page " + std::to_string(i), nullptr, 1, 1));
    int adjacent = 0;
    for (size_t i = 1; i < pages.size(); ++i)
        adjacent += reinterpret_cast<const char*>(pages[i]) - reinterpret_cast<const char*>(pages[i - 1]) ==
                    static_cast<std::ptrdiff_t>(sizeof(TTreeNode));
    EXPECT_GT(adjacent, 2980) << "no allocation of its own per node";
    TTreeNode* gone = pages[1234];
    items.Delete(gone);
    TTreeNode* next = items.AddChildObject(folder, "new page", nullptr, 1, 1);
    EXPECT_EQ(next, gone) << "the freed place is used again";
    EXPECT_EQ(next->Text(), "new page");
    EXPECT_EQ(next->Parent(), folder);
    EXPECT_EQ(folder->Count(), 3000);
    EXPECT_EQ(folder->GetLastChild(), next);
}
