#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/system.h"
#include "platform/gui/window.h"
#include "platform/rtl/sync.h"
#include "test_support.h"

using namespace commctrl_test;

namespace {

constexpr DWORD kTreeStyle =
    TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_EDITLABELS | TVS_SHOWSELALWAYS;

HTREEITEM Next(HWND tree, WPARAM code, HTREEITEM item = nullptr) {
    return reinterpret_cast<HTREEITEM>(Send(tree, TVM_GETNEXTITEM, code, reinterpret_cast<LPARAM>(item)));
}

std::string ItemText(HWND tree, HTREEITEM item) {
    char buffer[64] = {};
    TVITEM tv;
    tv.mask = TVIF_TEXT;
    tv.hItem = item;
    tv.pszText = buffer;
    tv.cchTextMax = sizeof buffer;
    if (!Send(tree, TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&tv))) return "<invalid>";
    return buffer;
}

std::vector<std::string> Children(HWND tree, HTREEITEM parent) {
    std::vector<std::string> out;
    for (HTREEITEM i = Next(tree, TVGN_CHILD, parent); i; i = Next(tree, TVGN_NEXT, i))
        out.push_back(ItemText(tree, i));
    return out;
}

RECT ItemRect(HWND tree, HTREEITEM item, bool textOnly = true) {
    RECT r{};
    std::memcpy(static_cast<void*>(&r), &item, sizeof item); // the item goes in, as Win32 takes it
    Send(tree, TVM_GETITEMRECT, textOnly ? TRUE_ : FALSE_, reinterpret_cast<LPARAM>(&r));
    return r;
}

Notice LastEnd(Host& host) {
    Notice last;
    for (const Notice& n : host.Notices())
        if (n.code == TVN_ENDLABELEDIT) last = n;
    return last;
}

void ClickItem(HWND tree, HTREEITEM item, bool twice = false) {
    const RECT r = ItemRect(tree, item);
    Click(tree, r.left + 3, (r.top + r.bottom) / 2, twice);
}

} // namespace

TEST(TreeView, InsertOrderNavigationAndItemFields) {
    Host host;
    HWND tree = host.Add(WC_TREEVIEW, "", kTreeStyle, RECT{10, 10, 250, 250}, WS_EX_CLIENTEDGE);
    HTREEITEM site = Insert(tree, TVI_ROOT, "site", TVI_LAST, 7);
    HTREEITEM b = Insert(tree, site, "b.html");
    Insert(tree, site, "a.html", TVI_FIRST);
    Insert(tree, site, "c.html", b);
    Insert(tree, site, "B2.html", TVI_SORT);
    EXPECT_EQ(Children(tree, site), (std::vector<std::string>{"a.html", "b.html", "B2.html", "c.html"}));
    EXPECT_EQ(Insert(tree, TVI_ROOT, "bad", b), nullptr); // not a child of the root
    EXPECT_EQ(Send(tree, TVM_GETCOUNT), 5);
    EXPECT_EQ(Next(tree, TVGN_ROOT), site);
    EXPECT_EQ(Next(tree, TVGN_PARENT, b), site);
    EXPECT_EQ(Next(tree, TVGN_PARENT, site), nullptr);
    EXPECT_EQ(Next(tree, TVGN_NEXTVISIBLE, site), nullptr); // collapsed
    EXPECT_EQ(Next(tree, TVGN_LASTVISIBLE), site);

    TVITEM tv;
    tv.mask = TVIF_PARAM | TVIF_STATE | TVIF_CHILDREN | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    tv.hItem = site;
    tv.stateMask = 0xFF;
    ASSERT_TRUE(Send(tree, TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&tv)));
    EXPECT_EQ(tv.lParam, 7);
    EXPECT_EQ(tv.cChildren, 1);
    EXPECT_EQ(tv.iSelectedImage, 1);
    EXPECT_EQ(tv.state & TVIS_EXPANDED, 0u);
    // Multi-selection marks belong to the caller: TVIS_SELECTED sticks on any item.
    tv.mask = TVIF_STATE | TVIF_TEXT;
    tv.hItem = b;
    tv.state = TVIS_SELECTED | TVIS_BOLD;
    tv.stateMask = TVIS_SELECTED | TVIS_BOLD;
    tv.pszText = const_cast<char*>("renamed.html");
    Send(tree, TVM_SETITEM, 0, reinterpret_cast<LPARAM>(&tv));
    EXPECT_EQ(Send(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(b), TVIS_SELECTED | TVIS_BOLD),
              static_cast<LRESULT>(TVIS_SELECTED | TVIS_BOLD));
    EXPECT_EQ(ItemText(tree, b), "renamed.html");
    // A short buffer gets a cut, terminated text.
    char small[4] = {};
    tv.mask = TVIF_TEXT;
    tv.pszText = small;
    tv.cchTextMax = sizeof small;
    Send(tree, TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&tv));
    EXPECT_STREQ(small, "ren");
    Send(tree, TVM_SORTCHILDREN, FALSE_, reinterpret_cast<LPARAM>(site));
    EXPECT_EQ(Children(tree, site),
              (std::vector<std::string>{"a.html", "B2.html", "c.html", "renamed.html"}));
}

TEST(TreeView, ExpandNotifiesOnceByMessageAndAlwaysByUser) {
    Host host;
    HWND tree = host.Add(WC_TREEVIEW, "", kTreeStyle, RECT{10, 10, 250, 250});
    HTREEITEM site = Insert(tree, TVI_ROOT, "site");
    HTREEITEM page = Insert(tree, site, "page");
    HTREEITEM leaf = Insert(tree, TVI_ROOT, "leaf");
    EXPECT_FALSE(Send(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(leaf))); // no children
    EXPECT_TRUE(Send(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(site)));
    EXPECT_EQ(Next(tree, TVGN_NEXTVISIBLE, site), page);
    EXPECT_TRUE(Send(tree, TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(site)));
    EXPECT_TRUE(Send(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(site)));
    EXPECT_EQ(host.Codes(tree), (std::vector<UINT>{TVN_ITEMEXPANDING, TVN_ITEMEXPANDED}));
    EXPECT_EQ(host.Notices()[0].itemNew, site);
    EXPECT_EQ(host.Notices()[0].action, TVE_EXPAND);
    // The user's click on the button always asks; a refusal keeps the item as it is.
    host.Notices().clear();
    host.Answer(TVN_ITEMEXPANDING, TRUE_);
    const RECT r = ItemRect(tree, site);
    Click(tree, r.left - 12, (r.top + r.bottom) / 2);
    EXPECT_EQ(Send(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(site), TVIS_EXPANDED),
              static_cast<LRESULT>(TVIS_EXPANDED));
    host.Answer(TVN_ITEMEXPANDING, FALSE_);
    Click(tree, r.left - 12, (r.top + r.bottom) / 2);
    EXPECT_EQ(Send(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(site), TVIS_EXPANDED), 0);
    EXPECT_EQ(host.Codes(tree, {TVN_ITEMEXPANDING, TVN_ITEMEXPANDED}),
              (std::vector<UINT>{TVN_ITEMEXPANDING, TVN_ITEMEXPANDING, TVN_ITEMEXPANDED}));
    // Collapsing around the caret moves it to the collapsed item.
    Send(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(site));
    Send(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(page));
    Send(tree, TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(site));
    EXPECT_EQ(Next(tree, TVGN_CARET), site);
}

TEST(TreeView, SelectionByMouseAndKeyboardWithVeto) {
    Host host;
    HWND tree = host.Add(WC_TREEVIEW, "", kTreeStyle, RECT{10, 10, 250, 250});
    HTREEITEM site = Insert(tree, TVI_ROOT, "site");
    HTREEITEM a = Insert(tree, site, "a");
    HTREEITEM a1 = Insert(tree, a, "a1");
    HTREEITEM b = Insert(tree, site, "b");
    Send(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(site));
    host.Notices().clear();
    ClickItem(tree, a);
    EXPECT_EQ(Next(tree, TVGN_CARET), a);
    EXPECT_EQ(host.Codes(tree), (std::vector<UINT>{NM_SETFOCUS, NM_CLICK, TVN_SELCHANGING, TVN_SELCHANGED}));
    EXPECT_EQ(host.Notices()[2].action, TVC_BYMOUSE);
    EXPECT_EQ(host.Notices()[3].itemNew, a);
    host.Notices().clear();
    Key(VK_DOWN);
    EXPECT_EQ(Next(tree, TVGN_CARET), b);
    Key(VK_UP);
    Key(VK_RIGHT); // expands a
    EXPECT_EQ(Next(tree, TVGN_NEXTVISIBLE, a), a1);
    Key(VK_RIGHT); // into its child
    EXPECT_EQ(Next(tree, TVGN_CARET), a1);
    Key(VK_LEFT); // to the parent
    Key(VK_LEFT); // collapses it
    EXPECT_EQ(Next(tree, TVGN_CARET), a);
    EXPECT_EQ(Next(tree, TVGN_NEXTVISIBLE, a), b);
    Key(VK_HOME);
    EXPECT_EQ(Next(tree, TVGN_CARET), site);
    Key(VK_RETURN);
    EXPECT_EQ(host.Codes(tree).back(), NM_RETURN);
    EXPECT_EQ(host.Codes(tree).front(), TVN_KEYDOWN);
    // The parent may refuse a change.
    host.Answer(TVN_SELCHANGING, TRUE_);
    Key(VK_END);
    EXPECT_EQ(Next(tree, TVGN_CARET), site);
    EXPECT_FALSE(Send(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(b)));
    host.Answer(TVN_SELCHANGING, FALSE_);
    // Selecting a hidden item opens the way to it.
    Send(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(a1));
    EXPECT_EQ(Next(tree, TVGN_CARET), a1);
    EXPECT_NE(Send(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(a), TVIS_EXPANDED), 0);
    // Right clicks ask the parent, then offer the context menu; they do not move the caret.
    host.Notices().clear();
    const RECT rb = ItemRect(tree, b);
    RightClick(tree, rb.left + 2, (rb.top + rb.bottom) / 2);
    EXPECT_EQ(host.Codes(tree), std::vector<UINT>{NM_RCLICK});
    EXPECT_EQ(Next(tree, TVGN_CARET), a1);
}

TEST(TreeView, DeletingNotifiesEachItemAndMovesTheCaretFirst) {
    Host host;
    HWND tree = host.Add(WC_TREEVIEW, "", kTreeStyle, RECT{10, 10, 250, 250});
    HTREEITEM site = Insert(tree, TVI_ROOT, "site");
    HTREEITEM dir = Insert(tree, site, "dir");
    HTREEITEM x = Insert(tree, dir, "x");
    HTREEITEM y = Insert(tree, dir, "y");
    HTREEITEM after = Insert(tree, site, "after");
    Send(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(y));
    host.Notices().clear();
    EXPECT_TRUE(Send(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(dir)));
    std::vector<UINT> codes = host.Codes(tree);
    ASSERT_EQ(codes, (std::vector<UINT>{TVN_SELCHANGING, TVN_SELCHANGED, TVN_DELETEITEM, TVN_DELETEITEM,
                                        TVN_DELETEITEM}));
    EXPECT_EQ(host.Notices()[1].itemNew, after);
    EXPECT_EQ(host.Notices()[2].itemOld, x);
    EXPECT_EQ(host.Notices()[3].itemOld, y);
    EXPECT_EQ(host.Notices()[4].itemOld, dir);
    EXPECT_EQ(Send(tree, TVM_GETCOUNT), 2);
    EXPECT_EQ(Next(tree, TVGN_CARET), after);
    // Handles of deleted items are refused, not followed.
    EXPECT_FALSE(Send(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(dir)));
    EXPECT_EQ(ItemText(tree, x), "<invalid>");
    EXPECT_EQ(Next(tree, TVGN_NEXT, y), nullptr);
    EXPECT_FALSE(Send(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(x)));
    host.Notices().clear();
    Send(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    EXPECT_EQ(Send(tree, TVM_GETCOUNT), 0);
    EXPECT_EQ(host.Codes(tree, {TVN_DELETEITEM}).size(), 2u);
    EXPECT_EQ(Next(tree, TVGN_CARET), nullptr);
    (void)site;
}

TEST(TreeView, LabelEditingAcceptsOrRejectsByTheParentsAnswer) {
    Host host;
    HWND tree = host.Add(WC_TREEVIEW, "", kTreeStyle, RECT{10, 10, 250, 250});
    HTREEITEM item = Insert(tree, TVI_ROOT, "old name");
    host.Notices().clear();
    HWND edit = reinterpret_cast<HWND>(Send(tree, TVM_EDITLABEL, 0, reinterpret_cast<LPARAM>(item)));
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(reinterpret_cast<HWND>(Send(tree, TVM_GETEDITCONTROL)), edit);
    EXPECT_EQ(GetFocus(), edit);
    EXPECT_EQ(Text(edit), "old name");
    Type("new name");
    host.Answer(TVN_ENDLABELEDIT, TRUE_);
    Key(VK_RETURN);
    EXPECT_FALSE(IsWindow(edit));
    EXPECT_EQ(GetFocus(), tree);
    EXPECT_EQ(ItemText(tree, item), "new name");
    EXPECT_EQ(host.Codes(tree, {TVN_BEGINLABELEDIT, TVN_ENDLABELEDIT}),
              (std::vector<UINT>{TVN_BEGINLABELEDIT, TVN_ENDLABELEDIT}));
    EXPECT_EQ(LastEnd(host).text, "new name");

    // Escape cancels: the parent hears of it with no text.
    host.Notices().clear();
    Send(tree, TVM_EDITLABEL, 0, reinterpret_cast<LPARAM>(item));
    Type("zzz");
    Key(VK_ESCAPE);
    EXPECT_EQ(ItemText(tree, item), "new name");
    EXPECT_EQ(LastEnd(host).code, TVN_ENDLABELEDIT);
    EXPECT_EQ(LastEnd(host).text, "");
    // A refusing parent keeps the old text; a refused beginning gives no edit.
    host.Answer(TVN_ENDLABELEDIT, FALSE_);
    Send(tree, TVM_EDITLABEL, 0, reinterpret_cast<LPARAM>(item));
    Type("x");
    Send(tree, TVM_ENDEDITLABELNOW, FALSE_);
    EXPECT_EQ(ItemText(tree, item), "new name");
    host.Answer(TVN_BEGINLABELEDIT, TRUE_);
    EXPECT_EQ(Send(tree, TVM_EDITLABEL, 0, reinterpret_cast<LPARAM>(item)), 0);
    host.Answer(TVN_BEGINLABELEDIT, FALSE_);
    // Deleting the item under edit ends the edit, writing nothing.
    edit = reinterpret_cast<HWND>(Send(tree, TVM_EDITLABEL, 0, reinterpret_cast<LPARAM>(item)));
    Send(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item));
    EXPECT_FALSE(IsWindow(edit));
    // A slow second click on the selected label starts editing, once the double-click time has passed.
    HTREEITEM other = Insert(tree, TVI_ROOT, "click me");
    {
        ScopedDoubleClickTime quick(50);
        ClickItem(tree, other);
        LetDoubleClickTimePass();
        ClickItem(tree, other);
        EXPECT_TRUE(PumpUntil([&] { return Send(tree, TVM_GETEDITCONTROL) != 0; }));
    }
    Send(tree, TVM_ENDEDITLABELNOW, TRUE_);
}

TEST(TreeView, HitTestAndItemRectsFollowScrolling) {
    Host host;
    HWND tree = host.Add(WC_TREEVIEW, "", kTreeStyle, RECT{10, 10, 250, 110});
    std::vector<HTREEITEM> items;
    for (int i = 0; i < 30; ++i)
        items.push_back(Insert(tree, TVI_ROOT, ("item " + std::to_string(i)).c_str()));
    const RECT r0 = ItemRect(tree, items[0]);
    const int h = r0.bottom - r0.top;
    ASSERT_GT(h, 0);
    TVHITTESTINFO hit;
    hit.pt = POINT{r0.left + 2, h + h / 2};
    EXPECT_EQ(reinterpret_cast<HTREEITEM>(Send(tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit))),
              items[1]);
    EXPECT_EQ(hit.flags, TVHT_ONITEMLABEL);
    hit.pt = POINT{2, h / 2};
    Send(tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    EXPECT_EQ(hit.flags, TVHT_ONITEMINDENT);
    hit.pt = POINT{5, 500};
    EXPECT_EQ(Send(tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)), 0);
    EXPECT_EQ(hit.flags, TVHT_BELOW);
    Send(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(items[29]));
    const HTREEITEM top = Next(tree, TVGN_FIRSTVISIBLE);
    EXPECT_NE(top, items[0]);
    EXPECT_EQ(ItemRect(tree, top).top, 0);
    EXPECT_EQ(ItemRect(tree, items[29]).bottom / h, static_cast<LONG>(Send(tree, TVM_GETVISIBLECOUNT)));
    EXPECT_EQ(ScrollInfo(tree, SB_VERT).nMax, 29);
    Send(tree, WM_VSCROLL, SB_TOP);
    EXPECT_EQ(Next(tree, TVGN_FIRSTVISIBLE), items[0]);
}

TEST(TreeView, TenThousandItemsInsertScrollAndDelete) {
    Host host;
    HWND tree = host.Add(WC_TREEVIEW, "", kTreeStyle, RECT{10, 10, 250, 250});
    HIMAGELIST images = ImageList_Create(12, 12, ILC_COLOR32 | ILC_MASK, 3, 0);
    Send(tree, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images));
    HTREEITEM root = Insert(tree, TVI_ROOT, "http://example.test/");
    HTREEITEM folder = root;
    for (int i = 0; i < 10000; ++i) {
        if (i % 100 == 0) folder = Insert(tree, root, ("dir" + std::to_string(i)).c_str());
        Insert(tree, folder, ("page" + std::to_string(i) + ".html").c_str());
        if (i % 100 == 0) {
            Send(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(folder));
            Send(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(root));
        }
        if (i % 500 == 0) Pump(); // the crawl paints as it goes
    }
    Send(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(Next(tree, TVGN_LASTVISIBLE)));
    Pump();
    EXPECT_EQ(Send(tree, TVM_GETCOUNT), 10101);
    EXPECT_EQ(ItemText(tree, Next(tree, TVGN_LASTVISIBLE)), "page9999.html");
    Send(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    EXPECT_EQ(Send(tree, TVM_GETCOUNT), 0);
    Send(tree, TVM_SETIMAGELIST, TVSIL_NORMAL, 0);
    ImageList_Destroy(images);
}

TEST(TreeView, CallbackTextsAndChildrenComeFromTheParent) {
    Host host;
    HWND tree = host.Add(WC_TREEVIEW, "", kTreeStyle, RECT{10, 10, 250, 250});
    TVINSERTSTRUCT in;
    in.hParent = TVI_ROOT;
    in.hInsertAfter = TVI_LAST;
    in.item.mask = TVIF_TEXT | TVIF_CHILDREN | TVIF_PARAM;
    in.item.pszText = LPSTR_TEXTCALLBACK;
    in.item.cChildren = I_CHILDRENCALLBACK;
    in.item.lParam = 5;
    auto item = reinterpret_cast<HTREEITEM>(Send(tree, TVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&in)));
    ASSERT_NE(item, nullptr);
    host.Notices().clear();
    // The test parent answers nothing, so the text stays empty and there are no children to expand.
    EXPECT_EQ(ItemText(tree, item), "");
    EXPECT_FALSE(Send(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item)));
    std::vector<UINT> codes = host.Codes(tree);
    ASSERT_GE(codes.size(), 2u);
    EXPECT_EQ(codes[0], TVN_GETDISPINFO);
    EXPECT_EQ(host.Notices()[0].itemNew, item);
    TVITEM tv;
    tv.mask = TVIF_CHILDREN;
    tv.hItem = item;
    Send(tree, TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&tv));
    EXPECT_EQ(tv.cChildren, I_CHILDRENCALLBACK);
}

// An edit ends cancelled when its item is renamed or deleted another way, so the box never writes its
// text back; it ends taking its text when the selection moves or the tree, holding the focus the box
// never took, loses it.
TEST(TreeView, AnEditEndsWhenItsItemChangesOrTheSelectionOrFocusMoves) {
    Host host;
    HWND tree = host.Add(WC_TREEVIEW, "", kTreeStyle, RECT{10, 10, 250, 250});
    HWND button = host.Add("BUTTON", "button", BS_PUSHBUTTON, RECT{260, 10, 350, 40}, 0, 2);
    HTREEITEM item = Insert(tree, TVI_ROOT, "old name");
    HTREEITEM other = Insert(tree, TVI_ROOT, "other");
    host.Answer(TVN_ENDLABELEDIT, TRUE_);
    auto edit = [&](HTREEITEM target) {
        return reinterpret_cast<HWND>(Send(tree, TVM_EDITLABEL, 0, reinterpret_cast<LPARAM>(target)));
    };
    HWND box = edit(item);
    Type("typed");
    TVITEM tv;
    tv.mask = TVIF_IMAGE; // no new text: the edit goes on
    tv.hItem = item;
    Send(tree, TVM_SETITEM, 0, reinterpret_cast<LPARAM>(&tv));
    EXPECT_TRUE(IsWindow(box));
    tv.mask = TVIF_TEXT;
    tv.pszText = const_cast<char*>("renamed");
    Send(tree, TVM_SETITEM, 0, reinterpret_cast<LPARAM>(&tv));
    EXPECT_FALSE(IsWindow(box));
    EXPECT_EQ(LastEnd(host).code, TVN_ENDLABELEDIT);
    EXPECT_EQ(LastEnd(host).text, "");
    Key(VK_RETURN);
    edit(other);
    Key(VK_RETURN);
    EXPECT_EQ(ItemText(tree, item), "renamed");

    for (HTREEITEM doomed : {item, TVI_ROOT}) {
        const HTREEITEM target = doomed == TVI_ROOT ? other : item;
        box = edit(target);
        Type("typed");
        host.Notices().clear();
        Send(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(doomed));
        EXPECT_FALSE(IsWindow(box));
        EXPECT_EQ(host.Codes(tree, {TVN_ENDLABELEDIT, TVN_DELETEITEM}).at(0), TVN_ENDLABELEDIT);
        EXPECT_EQ(LastEnd(host).itemNew, target);
        EXPECT_EQ(LastEnd(host).text, "");
    }

    item = Insert(tree, TVI_ROOT, "old name");
    other = Insert(tree, TVI_ROOT, "other");
    box = edit(item);
    Type("first");
    Send(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(other));
    EXPECT_FALSE(IsWindow(box));
    EXPECT_EQ(ItemText(tree, item), "first");
    EnableWindow(host.Hwnd(), FALSE_);
    box = edit(item);
    EnableWindow(host.Hwnd(), TRUE_);
    SetFocus(tree);
    SetWindowText(box, "second");
    SetFocus(button);
    EXPECT_FALSE(IsWindow(box));
    EXPECT_EQ(ItemText(tree, item), "second");
}
