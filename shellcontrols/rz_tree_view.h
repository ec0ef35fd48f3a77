#pragma once
// The framed multi-select tree view: nodes in absolute tree order, a selection of several nodes,
// in-place label editing and the events the application binds. The nodes live without a window, so
// every operation works headless; Selected answers nothing until a window handle exists.
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/object.h"
#include "platform/rtl/wintypes.h"
#include "platform/vcl/control_types.h"

class TRzTreeNodes;
class TRzCustomTreeView;

class TRzTreeNode {
public:
    const std::string& Text() const { return text_; }
    void SetText(const std::string& Value);
    void* Data() const { return data_; }
    void SetData(void* Value) { data_ = Value; }
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int Value) { imageIndex_ = Value; }
    int SelectedIndex() const { return selectedIndex_; }
    void SetSelectedIndex(int Value) { selectedIndex_ = Value; }

    TRzTreeNode* Parent() const { return parent_; }
    // 0 for a top-level node.
    int Level() const;
    int Count() const { return static_cast<int>(children_.size()); }
    TRzTreeNode* Item(int Index) const { return children_.at(static_cast<size_t>(Index)).get(); }
    bool HasChildren() const { return !children_.empty(); }
    // The position among its siblings.
    int Index() const;
    // The position in tree order over all levels.
    int AbsoluteIndex() const;

    bool Expanded() const { return expanded_; }
    void Expand(bool Recurse);
    void Collapse(bool Recurse);
    bool Selected() const { return selected_; }
    void SetSelected(bool Value);
    // Starts in-place editing of the label; false when the view does not allow it.
    bool EditText();

    TRzTreeNodes* Owner() const { return owner_; }

private:
    friend class TRzTreeNodes;
    friend class TRzCustomTreeView;
    TRzTreeNode(TRzTreeNodes* owner, TRzTreeNode* parent) : owner_(owner), parent_(parent) {}

    TRzTreeNodes* owner_;
    TRzTreeNode* parent_;
    std::vector<std::unique_ptr<TRzTreeNode>> children_;
    std::string text_;
    void* data_ = nullptr;
    int imageIndex_ = -1;
    int selectedIndex_ = -1;
    bool expanded_ = false;
    bool selected_ = false;
};

class TRzTreeNodes {
public:
    explicit TRzTreeNodes(TRzCustomTreeView* view) : view_(view) {}
    ~TRzTreeNodes();
    TRzTreeNodes(const TRzTreeNodes&) = delete;
    TRzTreeNodes& operator=(const TRzTreeNodes&) = delete;

    int Count() const { return count_; }
    // The node at Index in tree order over all levels.
    TRzTreeNode* Item(int Index) const;
    TRzTreeNode* GetFirstNode() const { return roots_.empty() ? nullptr : roots_.front().get(); }

    // Appends at the top level when Sibling is nothing, else as Sibling's last sibling.
    TRzTreeNode* AddObject(TRzTreeNode* Sibling, const std::string& Text, void* Data);
    TRzTreeNode* Add(TRzTreeNode* Sibling, const std::string& Text) {
        return AddObject(Sibling, Text, nullptr);
    }
    // Appends as Parent's last child (at the top level when Parent is nothing).
    TRzTreeNode* AddChildObject(TRzTreeNode* Parent, const std::string& Text, void* Data);
    TRzTreeNode* AddChild(TRzTreeNode* Parent, const std::string& Text) {
        return AddChildObject(Parent, Text, nullptr);
    }
    // Deletes the node and its descendants; OnDeletion hears each of them, children first.
    void Delete(TRzTreeNode* Node);
    void Clear();

    TRzCustomTreeView* Owner() const { return view_; }

private:
    friend class TRzTreeNode;
    using NodeList = std::vector<std::unique_ptr<TRzTreeNode>>;
    TRzTreeNode* Append(TRzTreeNode* parent, const std::string& text, void* data);
    void NotifyDeletion(TRzTreeNode* node);
    const std::vector<TRzTreeNode*>& Flat() const;
    NodeList& SiblingsOf(TRzTreeNode* node);
    const NodeList& SiblingsOf(const TRzTreeNode* node) const;

    TRzCustomTreeView* view_;
    NodeList roots_;
    int count_ = 0;
    // Tree order, rebuilt on the first look-up after a change.
    mutable std::vector<TRzTreeNode*> flat_;
    mutable bool flatValid_ = true;
};

using TRzTVChangedEvent = std::function<void(TObject* Sender, TRzTreeNode* Node)>;
using TRzTVEditedEvent = std::function<void(TObject* Sender, TRzTreeNode* Node, std::string& S)>;
using TRzTVKeyEvent = std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
using TRzTVContextMenuEvent =
    std::function<void(TObject* Sender, TRzTreeNode* Node, POINT& MousePos, bool& Handled)>;

class TRzCustomTreeView : public TObject {
public:
    TRzCustomTreeView();
    ~TRzCustomTreeView() override;

    TRzTreeNodes& Items() { return *items_; }
    const TRzTreeNodes& Items() const { return *items_; }

    bool MultiSelect() const { return multiSelect_; }
    void SetMultiSelect(bool Value);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool Value) { readOnly_ = Value; }
    // The frame around the client; 0 for none.
    int FrameWidth() const { return frameWidth_; }
    void SetFrameWidth(int Value) { frameWidth_ = Value < 0 ? 0 : Value; }

    // Whether the control has its window; without one, Selected answers nothing.
    bool HandleAllocated() const { return handleAllocated_; }
    void HandleNeeded() { handleAllocated_ = true; }

    // The focused selected node (the one kept in multi-select mode).
    TRzTreeNode* Selected() const { return handleAllocated_ ? focused_ : nullptr; }
    void SetSelected(TRzTreeNode* Node);
    int SelectionCount() const { return static_cast<int>(selection_.size()); }
    TRzTreeNode* Selections(int Index) const { return selection_.at(static_cast<size_t>(Index)); }
    // Adds Node to the selection (a click with Ctrl); without multi-select it replaces it.
    void Select(TRzTreeNode* Node, bool AddToSelection);
    void ClearSelection();

    // In-place editing: BeginEdit opens the editor on a node, EndEdit closes it, with the typed text
    // unless Cancel. OnEdited may change the text before the node takes it.
    bool BeginEdit(TRzTreeNode* Node);
    void EndEdit(const std::string& Text, bool Cancel = false);
    TRzTreeNode* EditingNode() const { return editing_; }

    // Input from the window: a key released, a double click, a right click on a node.
    void KeyUp(WORD Key, TShiftState Shift);
    void DblClick();
    void ContextPopup(TRzTreeNode* Node, POINT MousePos);

    TRzTVChangedEvent OnChange;
    TNotifyEvent OnDblClick;
    TRzTVChangedEvent OnDeletion;
    TRzTVEditedEvent OnEdited;
    TRzTVKeyEvent OnKeyUp;
    TRzTVContextMenuEvent OnNodeContextMenu;

private:
    friend class TRzTreeNodes;
    friend class TRzTreeNode;
    void NodeDeleting(TRzTreeNode* node);
    void NodeSelecting(TRzTreeNode* node, bool selected);
    void Changed(TRzTreeNode* node);

    std::unique_ptr<TRzTreeNodes> items_;
    std::vector<TRzTreeNode*> selection_;
    TRzTreeNode* focused_ = nullptr;
    TRzTreeNode* editing_ = nullptr;
    bool multiSelect_ = false;
    bool readOnly_ = false;
    bool handleAllocated_ = false;
    int frameWidth_ = 1;
};

class TRzTreeView : public TRzCustomTreeView {
public:
    TRzTreeView() { SetMultiSelect(true); }
};
