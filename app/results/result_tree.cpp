#include "app/results/result_tree.h"

#include <algorithm>

#include "app/core/data_rec.h"
#include "app/core/map_profile.h"
#include "platform/gui/keys.h"
#include "platform/gui/system.h"
#include "platform/rtl/string_list.h"
#include "platform/rtl/strings.h"
#include "platform/vcl/dialogs.h"
#include "shellcontrols/rz_tree_view.h"

namespace results {

namespace {

constexpr WORD kKeyF2 = 113;

} // namespace

TResultTree::TResultTree(TRzTreeView& View, TMapProfile& Profile, TStringList& IgnoreFolderList,
                         TStringList& IgnoreFileList)
    : view_(View), profile_(Profile), ignoreFolderList_(IgnoreFolderList), ignoreFileList_(IgnoreFileList) {
    view_.OnChange = [this](TObject* s, TTreeNode* n) { tvMapChange(s, n); };
    view_.OnDblClick = [this](TObject* s) { tvMapDblClick(s); };
    view_.OnDeletion = [this](TObject* s, TTreeNode* n) { tvMapDeletion(s, n); };
    view_.OnEdited = [this](TObject* s, TTreeNode* n, std::string& t) { tvMapEdited(s, n, t); };
    view_.OnKeyDown = [this](TObject* s, WORD& k, TShiftState sh) { tvMapKeyDown(s, k, sh); };
    view_.OnKeyUp = [this](TObject* s, WORD& k, TShiftState sh) { tvMapKeyUp(s, k, sh); };
    view_.OnNodeContextMenu = [this](TObject* s, TTreeNode* n, POINT& p, bool& h) {
        tvMapNodeContextMenu(s, n, p, h);
    };
    view_.OnCollapsed = [this](TObject*, TTreeNode* n) { unexpanded_.Add(n); };
}

TResultTree::~TResultTree() {
    ReleaseTree();
    view_.OnChange = nullptr;
    view_.OnDblClick = nullptr;
    view_.OnDeletion = nullptr;
    view_.OnEdited = nullptr;
    view_.OnKeyDown = nullptr;
    view_.OnKeyUp = nullptr;
    view_.OnNodeContextMenu = nullptr;
    view_.OnCollapsed = nullptr;
}

TDataRec* TResultTree::Rec(const TTreeNode* Node) {
    return Node != nullptr ? static_cast<TDataRec*>(Node->Data()) : nullptr;
}

void TResultTree::ProcessMessages() const {
    if (OnProcessMessages) OnProcessMessages();
}

void TResultTree::OutputReset() const {
    if (OnOutputReset) OnOutputReset();
}

TTreeNode* TResultTree::AddNode(TTreeNode* Parent, TDataRec* Rec, std::string_view Shown, int Image) {
    TTreeNode* node = view_.Items().AddChildObject(Parent, Shown, Rec, Image, Image);
    // Only a first child can leave its parent closed: a parent that had children is either open, and
    // stays open for one more, or already among the unexpanded. Marking it again would make the next
    // page's folder walk ask the window about a folder that is open.
    if (Parent != nullptr && Parent->Count() == 1) unexpanded_.Add(Parent);
    if (Rec != nullptr && Rec->IsFolder) folders_.Add(node, Rec->Folder);
    return node;
}

TTreeNode* TResultTree::FindNodeByFolder(std::string_view Folder) const {
    return folders_.First(Folder);
}

TTreeNode* TResultTree::Root() const {
    return view_.Items().GetFirstNode();
}

std::string TResultTree::LastSegment(const std::string& Address) {
    std::string s = Address;
    if (!s.empty() && s.back() == '/') s.pop_back();
    size_t slash = s.rfind('/');
    return slash == std::string::npos ? std::string() : s.substr(slash + 1);
}

void TResultTree::Unindex(TTreeNode* node) {
    const TDataRec* rec = Rec(node);
    if (rec == nullptr || !rec->IsFolder) return;
    folders_.Remove(node, rec->Folder);
}

void TResultTree::tvMapDeletion(TObject*, TTreeNode* Node) {
    // The window keeps no reference to a node that is gone.
    if (contextNode_ == Node) contextNode_ = nullptr;
    ++deletions_;
    unexpanded_.Remove(Node);
    Unindex(Node);
    delete Rec(Node);
    Node->SetData(nullptr);
}

void TResultTree::RemoveEmptyFolders() {
    // Only folder nodes can go, and the folder index has them all: a site of many files is not walked
    // node by node. Deeper folders go first, so a chain of empty folders goes leaf first; deleting a
    // node without children takes no other node with it.
    std::vector<std::pair<int, TTreeNode*>> folders;
    for (TTreeNode* node : folders_.All())
        folders.emplace_back(node->Level(), node);
    std::stable_sort(folders.begin(), folders.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    TTreeNodes& items = view_.Items();
    for (const auto& folder : folders)
        if (!folder.second->HasChildren()) items.Delete(folder.second);
}

std::vector<TTreeNode*> TResultTree::Selection() const {
    std::vector<TTreeNode*> nodes;
    for (int i = 0; i < view_.SelectionCount(); ++i)
        nodes.push_back(view_.Selections(i));
    return nodes;
}

void TResultTree::RemoveSelectedNodes() {
    RemoveNodes(Selection());
}

void TResultTree::RemoveNodes(const std::vector<TTreeNode*>& Nodes) {
    TTreeNode* root = Root();
    std::vector<TTreeNode*> doomed;
    for (TTreeNode* node : Nodes)
        if (node != root) doomed.push_back(node);
    if (doomed.empty()) return;
    if (profile_.ConfirmDelete() &&
        MessageBox(nullptr, "Do you wish to remove the selected site map nodes from the tree?",
                   "Confirm Removal", MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    for (TTreeNode* node : doomed)
        if (TDataRec* rec = Rec(node)) rec->Marked = true;
    TTreeNodes& items = view_.Items();
    std::vector<TTreeNode*> order;
    order.reserve(static_cast<size_t>(items.Count()));
    for (int i = 0; i < items.Count(); ++i)
        order.push_back(items.Item(i));
    // From the last: a marked node's descendants come after it and are gone before it is reached.
    removing_ = true;
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        TDataRec* rec = Rec(*it);
        if (rec != nullptr && rec->Marked) items.Delete(*it);
    }
    removing_ = false;
    TreeChanged();
}

void TResultTree::TreeChanged() {
    if (OnStatusText) OnStatusText(StatusText());
    OutputReset();
}

void TResultTree::ApplyToChildren(TTreeNode* Node, bool OnlyDefaults, double Priority,
                                  ChangeFreqType ChangeFreq) {
    if (Node == nullptr) return;
    for (int i = 0; i < Node->Count(); ++i) {
        TTreeNode* child = Node->Item(i);
        if (TDataRec* rec = Rec(child)) {
            if (!OnlyDefaults || rec->ChangeFreq == profile_.DefFreq()) rec->ChangeFreq = ChangeFreq;
            if (!OnlyDefaults || rec->Priority == profile_.DefPri()) rec->Priority = Priority;
        }
        if (child->HasChildren()) ApplyToChildren(child, OnlyDefaults, Priority, ChangeFreq);
    }
}

void TResultTree::ShowNodeProperties(TTreeNode* Node) {
    if (!OnShowProperties) return;
    if (Node != nullptr) {
        TDataRec* rec = Rec(Node);
        if (rec == nullptr) return;
        NodeProperties props{std::string(rec->URL),
                             std::string(rec->Text.View()),
                             std::string(rec->Loc),
                             rec->ChangeFreq,
                             rec->Priority,
                             false,
                             false};
        if (!OnShowProperties(props, false)) return;
        Node->SetText(props.Text);
        rec->Text = props.Text;
        rec->Loc = props.Loc;
        rec->ChangeFreq = props.ChangeFreq;
        rec->Priority = props.Priority;
        if (props.Loc.size() > 1 && props.Loc.back() == '/') {
            Node->SetImageIndex(kFolderImage);
            Node->SetSelectedIndex(kFolderImage);
        }
        if (props.ApplyToChildren)
            ApplyToChildren(Node, props.OnlyDefaults, props.Priority, props.ChangeFreq);
        OutputReset();
        // The line under the tree describes the selection, which has just changed.
        if (OnStatusText) OnStatusText(StatusText());
        return;
    }
    if (view_.SelectionCount() == 0) return;
    const TDataRec* first = Rec(view_.Selections(0));
    if (first == nullptr) return;
    NodeProperties props{kMultipleFilesSelected,
                         kMultipleFilesSelected,
                         kMultipleFilesSelected,
                         first->ChangeFreq,
                         first->Priority,
                         false,
                         false};
    if (!OnShowProperties(props, true)) return;
    // The texts stand for several nodes: none of them takes them.
    for (int i = 0; i < view_.SelectionCount(); ++i) {
        TTreeNode* node = view_.Selections(i);
        if (TDataRec* rec = Rec(node)) {
            rec->ChangeFreq = props.ChangeFreq;
            rec->Priority = props.Priority;
        }
        if (props.ApplyToChildren)
            ApplyToChildren(node, props.OnlyDefaults, props.Priority, props.ChangeFreq);
    }
    OutputReset();
    if (OnStatusText) OnStatusText(StatusText());
}

void TResultTree::ReleaseTree() {
    view_.Items().Clear();
    folders_.Clear();
    unexpanded_.Clear();
    contextNode_ = nullptr;
}

void TResultTree::AbandonTree() {
    view_.Items().Abandon();
    ++deletions_;
    folders_.Clear();
    unexpanded_.Clear();
    contextNode_ = nullptr;
}

std::string TResultTree::StatusText() const {
    if (view_.SelectionCount() == 1) {
        const TDataRec* rec = Rec(view_.Selections(0));
        if (rec == nullptr) return {};
        return std::string(rec->URL) + "  [Change Freq: " + ChangeFreqName(rec->ChangeFreq) +
               " Pri: " + FloatToStr(rec->Priority) + "]";
    }
    return view_.SelectionCount() > 1 ? std::string(kMultipleFilesSelected) : std::string();
}

void TResultTree::tvMapChange(TObject*, TTreeNode*) {
    if (removing_) return; // the removal tells the status line once it is done
    ProcessMessages();
    if (OnStatusText) OnStatusText(StatusText());
}

void TResultTree::tvMapDblClick(TObject*) {
    ShowNodeProperties(view_.SelectionCount() == 1 ? view_.Selections(0) : nullptr);
}

void TResultTree::tvMapEdited(TObject*, TTreeNode* Node, std::string& S) {
    if (TDataRec* rec = Rec(Node)) rec->Text = S;
    OutputReset();
}

void TResultTree::tvMapKeyDown(TObject*, WORD& Key, TShiftState Shift) {
    if (Key == VK_RETURN) altEnter_ = Shift.Contains(ssAlt);
}

void TResultTree::tvMapKeyUp(TObject*, WORD& Key, TShiftState Shift) {
    if (Key == kKeyF2) {
        TTreeNode* node = view_.Selected();
        if (node == nullptr && view_.SelectionCount() == 1) node = view_.Selections(0);
        if (node != nullptr) node->EditText();
    } else if (Key == VK_DELETE) {
        RemoveSelectedNodes();
    } else if (Key == VK_RETURN && (Shift.Contains(ssAlt) || altEnter_)) {
        altEnter_ = false;
        Key = 0;
        ShowNodeProperties(view_.SelectionCount() == 1 ? view_.Selections(0) : nullptr);
    }
}

std::vector<TTreeNode*> TResultTree::MenuNodes() const {
    if (contextNode_ == nullptr) return {};
    if (!contextNode_->Selected()) return {contextNode_};
    return Selection();
}

void TResultTree::tvMapNodeContextMenu(TObject*, TTreeNode* Node, POINT& MousePos, bool& Handled) {
    contextNode_ = Node;
    if (Node == nullptr) return;
    bool notRoot = Node->Level() > 0;
    bool single = MenuNodes().size() <= 1;
    bool folderImage = Node->ImageIndex() == kFolderImage;
    menuState_.AddFolderToIgnoreList = notRoot && folderImage && single;
    menuState_.AddFileToIgnoreList = notRoot && !folderImage && single;
    menuState_.Delete = notRoot;
    menuState_.EditText = single;
    if (OnPopupMenu) OnPopupMenu(MousePos, menuState_);
    Handled = true;
}

void TResultTree::AddToIgnoreList(TStringList& list, const std::string& entry, bool folders) {
    list.Add(entry);
    if (folders)
        profile_.SetIgnoreFolders(list.Text());
    else
        profile_.SetIgnoreFiles(list.Text());
}

void TResultTree::miAddIgnoreFolderClick(TObject*) {
    TTreeNode* node = contextNode_;
    const TDataRec* rec = Rec(node);
    if (rec == nullptr || node == Root()) return;
    AddToIgnoreList(ignoreFolderList_, std::string(rec->Folder.View()), true);
    view_.Items().Delete(node);
    TreeChanged();
}

void TResultTree::miIgnoreFileClick(TObject*) {
    TTreeNode* node = contextNode_;
    const TDataRec* rec = Rec(node);
    if (rec == nullptr || node == Root()) return;
    // Kept in its own letter case: file paths compare exactly.
    AddToIgnoreList(ignoreFileList_, std::string(rec->URL), false);
    view_.Items().Delete(node);
    TreeChanged();
}

void TResultTree::miDeleteClick(TObject*) {
    RemoveNodes(MenuNodes());
}

void TResultTree::miRenameClick(TObject*) {
    if (contextNode_ != nullptr) contextNode_->EditText();
}

void TResultTree::miPropertiesClick(TObject*) {
    ShowNodeProperties(MenuNodes().size() > 1 ? nullptr : contextNode_);
}

} // namespace results
