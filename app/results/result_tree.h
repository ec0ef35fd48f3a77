#pragma once
// The result tree: one page record per node of the framed tree view, folder nodes found by their
// folder key, and the edits of the results page (rename, remove, ignore, properties).
#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/core/change_freq.h"
#include "app/core/short_text.h"
#include "app/results/folder_index.h"
#include "app/results/unexpanded_nodes.h"
#include "platform/rtl/wintypes.h"
#include "platform/vcl/control_types.h"

class TMapProfile;
class TObject;
class TTreeNode;
class TRzTreeView;
class TStringList;
struct TDataRec;

namespace results {

// Node images of the 12 x 12 list.
inline constexpr int kFolderImage = 0;
inline constexpr int kPageImage = 1;
inline constexpr int kImageFileImage = 2;

// What the item-properties window shows and hands back.
struct NodeProperties {
    std::string URL;
    std::string Text;
    std::string Loc;
    ChangeFreqType ChangeFreq = cfMonthly;
    double Priority = 0.5;
    bool ApplyToChildren = false;
    bool OnlyDefaults = false;
};

// Which commands of the node context menu are enabled.
struct ResultMenuState {
    bool AddFolderToIgnoreList = false;
    bool AddFileToIgnoreList = false;
    bool Delete = false;
    bool EditText = false;
};

inline const char kMultipleFilesSelected[] = "Multiple Files Selected";

// What adding a crawled page within a room of folders did.
struct TPageAdded {
    // The page's node; none for a folder's own page, a path that cannot be placed, or a page left out.
    TTreeNode* Node = nullptr;
    // The folder nodes made for the page's path.
    int FoldersMade = 0;
    // Left out: its path needed more new folders than the room given, and none of them was made.
    bool NoRoom = false;
};

class TResultTree {
public:
    // Binds the view's events; the lists are the main window's ignore lists, kept in the profile.
    TResultTree(TRzTreeView& View, TMapProfile& Profile, TStringList& IgnoreFolderList,
                TStringList& IgnoreFileList);
    ~TResultTree();
    TResultTree(const TResultTree&) = delete;
    TResultTree& operator=(const TResultTree&) = delete;

    TRzTreeView& View() const { return view_; }
    TMapProfile& Profile() const { return profile_; }
    static TDataRec* Rec(const TTreeNode* Node);

    // Appends a node owning Rec as Parent's last child (top level without a parent).
    TTreeNode* AddNode(TTreeNode* Parent, TDataRec* Rec, std::string_view Shown, int Image);
    // The first folder node whose record Folder is exactly Folder; nothing when none.
    TTreeNode* FindNodeByFolder(std::string_view Folder) const;
    // The root: the first node of the tree.
    TTreeNode* Root() const;
    // Nodes deleted so far: a node held since an earlier count is still in the tree while it is unchanged.
    uint64_t Deletions() const { return deletions_; }

    // The root for the start page of a crawl: Address is the fetched address, Title its title and
    // LastModified its date when the server gave one.
    TTreeNode* AddRootNode(const std::string& Referrer, const std::string& Address, const std::string& Title,
                           std::optional<std::time_t> LastModified);
    // One fetched page of a crawl under its folder nodes; a folder's own page gives the folder its text
    // instead of a node. Title is the page's title.
    TTreeNode* AddPageNode(const std::string& URL, const std::string& Text, const std::string& Title,
                           std::optional<std::time_t> LastModified);
    // The same, making at most FolderRoom new folder nodes: a crawl bounds its tree so. A page whose
    // path needs more is left out whole.
    TPageAdded AddPageNodeWithin(const std::string& URL, const std::string& Text, const std::string& Title,
                                 std::optional<std::time_t> LastModified, int FolderRoom);
    TTreeNode* FindOrCreateFolderPath(const std::string& FolderAddress, const std::string& Text);
    // Address, when given, is FolderAddress as a shared text the new folder's record keeps.
    TTreeNode* FindOrCreateFolder(const std::string& ParentAddress, const std::string& FolderAddress,
                                  const std::string& Text, const TSharedText& Address = {});
    // Expands Node and every descendant that holds children, as Expand(true) does, but visits only the
    // nodes that gained children or were collapsed since: a crawl expands each folder of a page's path
    // for every page, and walking whole subtrees each time made a deep site cost cubic time.
    void ExpandWithDescendants(TTreeNode* Node);
    // The address up to and including the last "/" of its path, without query or fragment.
    static std::string FolderOf(const std::string& Address);

    // "http://site/a/b/" gives "b"; empty when there is no "/" left.
    static std::string LastSegment(const std::string& Address);
    void RemoveEmptyFolders();
    void RemoveSelectedNodes();
    void ShowNodeProperties(TTreeNode* Node);
    void ApplyToChildren(TTreeNode* Node, bool OnlyDefaults, double Priority, ChangeFreqType ChangeFreq);
    void ReleaseTree();
    // Empties the tree for a program about to end: the nodes and their records are left to the ending
    // process rather than freed one by one.
    void AbandonTree();

    TTreeNode* ContextNode() const { return contextNode_; }
    // What the context menu acts on: the selection when it was opened on a selected node, else that
    // node alone, which is then the one shown selected while the menu is open.
    std::vector<TTreeNode*> MenuNodes() const;
    ResultMenuState MenuState() const { return menuState_; }
    // The status line's text for the current selection.
    std::string StatusText() const;

    // Handlers bound to the view and to the context menu's items.
    void tvMapChange(TObject* Sender, TTreeNode* Node);
    void tvMapDblClick(TObject* Sender);
    void tvMapDeletion(TObject* Sender, TTreeNode* Node);
    void tvMapEdited(TObject* Sender, TTreeNode* Node, std::string& S);
    void tvMapKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void tvMapKeyUp(TObject* Sender, WORD& Key, TShiftState Shift);
    void tvMapNodeContextMenu(TObject* Sender, TTreeNode* Node, POINT& MousePos, bool& Handled);
    void miAddIgnoreFolderClick(TObject* Sender);
    void miIgnoreFileClick(TObject* Sender);
    void miDeleteClick(TObject* Sender);
    void miRenameClick(TObject* Sender);
    void miPropertiesClick(TObject* Sender);

    // The item-properties window: shows Props, answers true on OK with the edited values in Props.
    // Multiple says whether several nodes are being edited.
    std::function<bool(NodeProperties& Props, bool Multiple)> OnShowProperties;
    // The output written so far no longer matches the tree.
    std::function<void()> OnOutputReset;
    std::function<void()> OnProcessMessages;
    // lblLinkFileName.
    std::function<void(const std::string&)> OnStatusText;
    // Shows the context menu at the mouse position with the given enabled commands.
    std::function<void(POINT, const ResultMenuState&)> OnPopupMenu;

private:
    void ProcessMessages() const;
    void OutputReset() const;
    // After nodes were removed: the status line and the output state follow.
    void TreeChanged();
    std::vector<TTreeNode*> Selection() const;
    // Removes the nodes (never the root) with their children, asking first when the profile says so.
    void RemoveNodes(const std::vector<TTreeNode*>& Nodes);
    void Unindex(TTreeNode* node);
    TDataRec* NewRec() const;
    // FindOrCreateFolderPath, making no folder at all when the path needs more than *Room new ones
    // (*Room then becomes -1); without Room, as many as it needs.
    TTreeNode* WalkFolderPath(const std::string& FolderAddress, const std::string& Text, int* Room);
    void AddToIgnoreList(TStringList& list, const std::string& entry, bool folders);

    TRzTreeView& view_;
    TMapProfile& profile_;
    TStringList& ignoreFolderList_;
    TStringList& ignoreFileList_;
    FolderIndex folders_;
    // Nodes that may hold children without being expanded: each node once it is given its first child,
    // and each one collapsed (by the person or the program). Every other node with children is expanded.
    UnexpandedNodes unexpanded_;
    // The folder path walked last: the key of its deepest folder, its folder nodes from the top, and
    // the count of deletions then.
    std::string walkedKeys_;
    std::vector<TTreeNode*> walkedNodes_;
    uint64_t walkedDeletions_ = 0;
    // Folder nodes made for crawled pages' paths so far.
    int foldersMade_ = 0;
    TTreeNode* contextNode_ = nullptr;
    // Nodes are being removed from a list of them taken before: the message loop must not run meanwhile.
    bool removing_ = false;
    // Enter went down with Alt held: its release is Alt+Enter, even after Alt's own release.
    bool altEnter_ = false;
    ResultMenuState menuState_;
    uint64_t deletions_ = 0;
};

} // namespace results
