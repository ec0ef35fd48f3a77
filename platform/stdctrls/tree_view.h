#pragma once
// The tree view: nodes kept by the control itself (so they outlive a re-created window) and mirrored
// into a "SysTreeView32" window, with selection of several nodes done here.
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/commctrl/common_controls.h"
#include "platform/vcl/win_control.h"

struct TWMNotifyTV;

class TCustomImageList;
class TTreeNode;
class TTreeNodes;
class TTreeView;

// The children of a node (or the top-level nodes): linked, so adding at either end and removing cost the
// same however many siblings there are; positions are numbered again only when asked after a change.
struct TTreeSiblings {
    TTreeNode* first = nullptr;
    TTreeNode* last = nullptr;
    int count = 0;

private:
    // Beside the count, so that every node's list of children takes no room for padding.
    mutable bool numbered_ = true;

public:
    bool empty() const { return count == 0; }
    // Before null: at the end.
    void Insert(TTreeNode* Node, TTreeNode* Before);
    void Remove(TTreeNode* Node);
    TTreeNode* At(int Index) const;
    int IndexOf(const TTreeNode* Node) const;
    std::vector<TTreeNode*> ToVector() const;
    // Relinks the same nodes in this order.
    void Assign(const std::vector<TTreeNode*>& Nodes);

private:
    void Number() const;
    // Made with the first child: the many nodes that hold none carry no list.
    std::vector<TTreeNode*>& ByIndex() const;
    mutable std::unique_ptr<std::vector<TTreeNode*>> byIndex_;
};

class TTreeNode {
public:
    ~TTreeNode();
    TTreeNode(const TTreeNode&) = delete;
    TTreeNode& operator=(const TTreeNode&) = delete;

    TTreeNodes* Owner() const { return owner_; }
    TTreeView* TreeView() const;
    HTREEITEM ItemId() const { return item_; }

    const std::string& Text() const { return text_; }
    void SetText(const std::string& Value);
    void* Data() const { return data_; }
    void SetData(void* Value) { data_ = Value; }
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int Value);
    int SelectedIndex() const { return selectedIndex_; }
    void SetSelectedIndex(int Value);
    int StateIndex() const { return stateIndex_; }
    void SetStateIndex(int Value);

    TTreeNode* Parent() const { return parent_; }
    int Count() const { return children_.count; }
    TTreeNode* Item(int Index) const;
    int Index() const;
    // Position among all nodes in tree order.
    int AbsoluteIndex() const;
    int Level() const;
    bool HasChildren() const { return hasChildren_ || !children_.empty(); }
    void SetHasChildren(bool Value);
    bool IsVisible() const;
    bool HasAsParent(const TTreeNode* Value) const;

    bool Expanded() const;
    void SetExpanded(bool Value);
    void Expand(bool Recurse);
    void Collapse(bool Recurse);
    bool Selected() const;
    // Makes the node the selected one (with several selected, adds it to the selection).
    void SetSelected(bool Value);
    bool Focused() const;
    void SetFocused(bool Value);

    // The class library spells these three with a small first letter.
    // NOLINTBEGIN(readability-identifier-naming)
    TTreeNode* getFirstChild() const { return children_.first; }
    TTreeNode* GetLastChild() const { return children_.last; }
    TTreeNode* getNextSibling() const { return next_; }
    TTreeNode* getPrevSibling() const { return prev_; }
    // NOLINTEND(readability-identifier-naming)
    TTreeNode* GetNextSibling() const { return getNextSibling(); }
    TTreeNode* GetPrevSibling() const { return getPrevSibling(); }
    TTreeNode* GetFirstChild() const { return getFirstChild(); }
    // Next and previous in tree order.
    TTreeNode* GetNext() const;
    TTreeNode* GetPrev() const;
    TTreeNode* GetNextVisible() const;
    TTreeNode* GetPrevVisible() const;
    TTreeNode* GetNextChild(const TTreeNode* Value) const {
        return Value ? Value->getNextSibling() : nullptr;
    }

    // Frees the node and its subtree (OnDeletion hears each, children first).
    void Delete();
    void DeleteChildren();
    // Starts editing the label in place; false when refused.
    bool EditText();
    void EndEdit(bool Cancel);
    void MakeVisible();
    bool AlphaSort(bool Recurse = false);
    void MoveTo(TTreeNode* Destination, int Mode);
    TRect DisplayRect(bool TextOnly) const;

private:
    friend class TTreeNodes;
    friend class TTreeView;
    friend struct TTreeSiblings;
    explicit TTreeNode(TTreeNodes* Owner) : owner_(Owner) {}
    void PushImages();

    TTreeNodes* owner_;
    TTreeNode* parent_ = nullptr;
    TTreeNode* prev_ = nullptr;
    TTreeNode* next_ = nullptr;
    TTreeSiblings children_;
    HTREEITEM item_ = nullptr;
    std::string text_;
    void* data_ = nullptr;
    // Position among the siblings, right while they are numbered.
    int index_ = 0;
    int imageIndex_ = -1;
    int selectedIndex_ = -1;
    int stateIndex_ = -1;
    bool hasChildren_ = false;
    // Kept for a window made later or again.
    bool expanded_ = false;
    bool deleting_ = false;
};

enum TNodeAttachMode { naAdd, naAddFirst, naAddChild, naAddChildFirst, naInsert };

class TTreeNodes {
public:
    explicit TTreeNodes(TTreeView& Owner) : owner_(Owner) {}
    ~TTreeNodes();
    TTreeNodes(const TTreeNodes&) = delete;
    TTreeNodes& operator=(const TTreeNodes&) = delete;

    TTreeView& Owner() const { return owner_; }
    int Count() const { return count_; }
    // Nodes in tree order.
    TTreeNode* Item(int Index) const;
    TTreeNode* operator[](int Index) const { return Item(Index); }
    TTreeNode* GetFirstNode() const { return roots_.first; }

    // Add and AddObject put the node after the last sibling of Sibling (at the top level without one);
    // AddFirst before the first; AddChild as the last child of Parent; Insert before Sibling.
    TTreeNode* Add(TTreeNode* Sibling, const std::string& S) { return AddObject(Sibling, S, nullptr); }
    TTreeNode* AddObject(TTreeNode* Sibling, const std::string& S, void* Ptr);
    TTreeNode* AddFirst(TTreeNode* Sibling, const std::string& S) {
        return AddObjectFirst(Sibling, S, nullptr);
    }
    TTreeNode* AddObjectFirst(TTreeNode* Sibling, const std::string& S, void* Ptr);
    TTreeNode* AddChild(TTreeNode* Parent, const std::string& S) {
        return AddChildObject(Parent, S, nullptr);
    }
    TTreeNode* AddChildObject(TTreeNode* Parent, const std::string& S, void* Ptr);
    // As AddChildObject, the node entering the window with its images already: no message follows
    // to set them.
    TTreeNode* AddChildObject(TTreeNode* Parent, std::string_view S, void* Ptr, int ImageIndex,
                              int SelectedIndex);
    TTreeNode* AddChildFirst(TTreeNode* Parent, const std::string& S) {
        return AddChildObjectFirst(Parent, S, nullptr);
    }
    TTreeNode* AddChildObjectFirst(TTreeNode* Parent, const std::string& S, void* Ptr);
    TTreeNode* Insert(TTreeNode* Sibling, const std::string& S) { return InsertObject(Sibling, S, nullptr); }
    TTreeNode* InsertObject(TTreeNode* Sibling, const std::string& S, void* Ptr);
    void Delete(TTreeNode* Node);
    void Clear();
    // Empties the list without freeing its nodes or telling OnDeletion: for a program about to end, whose
    // memory goes with it at once, where freeing a large tree node by node costs more than building it.
    // The nodes (and what their Data holds) stay reachable, so no leak checker counts them as lost.
    void Abandon();
    void BeginUpdate();
    void EndUpdate();
    bool Updating() const { return updateCount_ > 0; }

private:
    friend class TTreeNode;
    friend class TTreeView;
    // Before null: after the last sibling.
    TTreeNode* InternalAdd(TTreeNode* Parent, TTreeNode* Before, std::string_view S, void* Ptr,
                           int ImageIndex = -1, int SelectedIndex = -1);
    TTreeSiblings& SiblingsOf(TTreeNode* Parent) { return Parent ? Parent->children_ : roots_; }
    // Links the node into the window (and its subtree).
    void InsertIntoWindow(TTreeNode* Node);
    // Links the siblings First to Last, none of them in the window yet, in one message (and their subtrees).
    void InsertRun(TTreeNode* First, TTreeNode* Last);
    // Hands the window the nodes added while it was being filled; whatever needs a node's window item
    // settles first.
    void Settle();
    void SettleChildren(const TTreeSiblings& Siblings);
    void Changed() { orderValid_ = false; }
    void Unlink(TTreeNode* Node);
    // The window has let go of the node and its subtree.
    static void ForgetItems(TTreeNode* Node);
    void DeleteNode(TTreeNode* Node);

    // The nodes live in blocks of growing size, freed places reused: a large tree costs no allocation per
    // node, and walks over it in the order it was filled read neighbouring memory.
    class NodeStore {
    public:
        void* Take();
        void Give(void* Place);

    private:
        std::vector<std::unique_ptr<std::byte[]>> blocks_;
        size_t blockSize_ = 0;
        size_t made_ = 0;
        void* free_ = nullptr;
    };
    TTreeNode* NewNode();
    void FreeNode(TTreeNode* Node);

    TTreeView& owner_;
    std::unique_ptr<NodeStore> store_ = std::make_unique<NodeStore>();
    TTreeSiblings roots_;
    int count_ = 0;
    int updateCount_ = 0;
    mutable std::vector<TTreeNode*> order_;
    mutable bool orderValid_ = false;
    // Clear has emptied the window: the nodes it deletes send it nothing.
    bool windowCleared_ = false;
    // Nodes were added that the window has not been given yet.
    bool unsettled_ = false;
};

enum TMultiSelectStyles { msControlSelect, msShiftSelect, msVisibleOnly, msSiblingOnly };
using TMultiSelectStyle = TSet<TMultiSelectStyles>;
enum TSortType { stNone, stData, stText, stBoth };

using TTVChangedEvent = std::function<void(TObject* Sender, TTreeNode* Node)>;
using TTVChangingEvent = std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowChange)>;
using TTVEditingEvent = std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowEdit)>;
using TTVEditedEvent = std::function<void(TObject* Sender, TTreeNode* Node, std::string& S)>;
using TTVExpandingEvent = std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowExpansion)>;
using TTVCollapsingEvent = std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowCollapse)>;
using TTVExpandedEvent = std::function<void(TObject* Sender, TTreeNode* Node)>;
using TTVCompareEvent =
    std::function<void(TObject* Sender, TTreeNode* Node1, TTreeNode* Node2, int Data, int& Compare)>;

class TTreeView : public TWinControl {
public:
    explicit TTreeView(TComponent* AOwner);
    ~TTreeView() override;
    std::string ClassName() const override { return "TTreeView"; }

    TTreeNodes& Items() { return *items_; }
    TTreeNode* Selected();
    // Selecting fires OnChanging and OnChange, as a click does.
    void SetSelected(TTreeNode* Value);
    TCustomImageList* Images() const { return images_; }
    void SetImages(TCustomImageList* Value);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool Value);
    bool HideSelection() const { return hideSelection_; }
    void SetHideSelection(bool Value);
    bool ShowLines() const { return showLines_; }
    void SetShowLines(bool Value);
    bool ShowButtons() const { return showButtons_; }
    void SetShowButtons(bool Value);
    bool ShowRoot() const { return showRoot_; }
    void SetShowRoot(bool Value);
    bool RowSelect() const { return rowSelect_; }
    void SetRowSelect(bool Value) { rowSelect_ = Value; }
    bool AutoExpand() const { return autoExpand_; }
    void SetAutoExpand(bool Value) { autoExpand_ = Value; }
    TSortType SortType() const { return sortType_; }
    void SetSortType(TSortType Value);
    bool MultiSelect() const { return multiSelect_; }
    void SetMultiSelect(bool Value);
    TMultiSelectStyle MultiSelectStyle() const { return multiSelectStyle_; }
    void SetMultiSelectStyle(TMultiSelectStyle Value) { multiSelectStyle_ = Value; }
    int SelectionCount();
    TTreeNode* Selections(int Index);
    // Selects exactly these nodes (the last becomes the focused one).
    void Select(const std::vector<TTreeNode*>& Nodes);
    void ClearSelection();
    bool IsEditing() const { return editing_; }
    TTreeNode* GetNodeAt(int X, int Y);
    TTreeNode* TopItem();
    void FullExpand();
    void FullCollapse();
    bool AlphaSort(bool Recurse = true);
    void WndProc(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;

    TTVChangedEvent OnChange;
    TTVChangingEvent OnChanging;
    TTVEditingEvent OnEditing;
    TTVEditedEvent OnEdited;
    TTVChangedEvent OnDeletion;
    TTVExpandingEvent OnExpanding;
    TTVExpandedEvent OnExpanded;
    TTVCollapsingEvent OnCollapsing;
    TTVExpandedEvent OnCollapsed;
    TTVExpandedEvent OnGetImageIndex;
    TTVExpandedEvent OnGetSelectedIndex;
    TTVCompareEvent OnCompare;

protected:
    void CreateParams(TCreateParams& Params) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void CreateWnd() override;
    void DestroyWnd() override;

private:
    friend class TTreeNode;
    friend class TTreeNodes;
    static TTreeNode* NodeOf(const TVITEM& Item) { return reinterpret_cast<TTreeNode*>(Item.lParam); }
    void CNNotify(TWMNotifyTV Message);
    void TVNSelChanging(TWMNotifyTV Message);
    void TVNSelChanged(const NMTREEVIEW& Notice);
    void TVNItemExpanding(TWMNotifyTV Message);
    void TVNItemExpanded(const NMTREEVIEW& Notice);
    void TVNBeginLabelEdit(TWMNotifyTV Message);
    void TVNEndLabelEdit(TWMNotifyTV Message);
    void TVNGetDispInfo(NMTVDISPINFO& Info);
    void WMLButtonDown(TWMMouse Message);
    void WMLButtonDblClk(TWMMouse Message);
    void WMLButtonUp(TMessage& Message);
    bool MultiClick(TWMMouse Message);
    void MarkSelected(TTreeNode* Node, bool Value);
    void SetSelection(std::vector<TTreeNode*> Nodes);
    void NodeGoing(TTreeNode* Node);
    // The window moved its selection off nodes that went: the selection and OnChange follow it.
    void CaretMovedByDeletion();
    // Every node went at once (abandoned): nothing may point at one any more.
    void NodesAbandoned();
    void UpdateImageList();
    void SortSiblings(TTreeSiblings& Siblings, bool Recurse);
    void ChangeStyle(DWORD Flag, bool On);

    std::unique_ptr<TTreeNodes> items_;
    TCustomImageList* images_ = nullptr;
    HIMAGELIST imageHandle_ = nullptr;
    bool readOnly_ = false;
    bool hideSelection_ = true;
    bool showLines_ = true;
    bool showButtons_ = true;
    bool showRoot_ = true;
    bool rowSelect_ = false;
    bool autoExpand_ = false;
    bool multiSelect_ = false;
    TMultiSelectStyle multiSelectStyle_{msControlSelect};
    TSortType sortType_ = stNone;
    std::vector<TTreeNode*> selections_;
    TTreeNode* shiftAnchor_ = nullptr;
    TTreeNode* savedSelected_ = nullptr;
    TTreeNode* savedTop_ = nullptr;
    bool editing_ = false;
    bool swallowUp_ = false;
    // The double click the window has already taken, while the events for it run.
    TMessage* windowHad_ = nullptr;
    // The window's own changes of selection while this control sets several at once.
    int selecting_ = 0;
    // Expansion this control asks of the window; it tells the events itself.
    int expanding_ = 0;
};
