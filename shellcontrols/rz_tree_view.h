#pragma once
// The framed multi-select tree view: the class library's tree view with the frame of the framed
// controls, a Selected that answers nothing until the window exists, and a context menu event that
// names the node under the pointer.
#include <functional>
#include <vector>

#include "controls/frame_link.h"
#include "platform/rtl/wintypes.h"
#include "platform/stdctrls/tree_view.h"

// One node type for every tree: the framed view's nodes are the class library's.
using TRzTreeNode = TTreeNode;
using TRzTreeNodes = TTreeNodes;

// MousePos is in the view's client coordinates; Handled stops the plain context popup.
using TRzTVContextMenuEvent =
    std::function<void(TObject* Sender, TTreeNode* Node, POINT& MousePos, bool& Handled)>;

class TRzCustomTreeView : public TRzFramed<TTreeView> {
public:
    explicit TRzCustomTreeView(TComponent* AOwner = nullptr);
    std::string ClassName() const override { return "TRzCustomTreeView"; }

    using TRzFramed<TTreeView>::Items;
    // Reading the nodes changes nothing, so a const view may be walked.
    const TTreeNodes& Items() const { return const_cast<TRzCustomTreeView*>(this)->Items(); }

    // The focused node (in multi-select mode the one the control keeps); nothing without a window,
    // even when one was chosen before the window was made.
    TTreeNode* Selected();
    void SetSelected(TTreeNode* Value) { TTreeView::SetSelected(Value); }

    void WndProc(TMessage& Message) override;

    TRzTVContextMenuEvent OnNodeContextMenu;

private:
    // The node a context menu request is about and where to show the menu; nothing when the
    // pointer is not on a node.
    TTreeNode* ContextNode(TWMContextMenu Message, POINT& Where);
    void WMContextMenu(TWMContextMenu Message);
    void WMLButtonDown(TWMMouse Message);
    std::vector<TTreeNode*> Selection();
};

class TRzTreeView : public TRzCustomTreeView {
public:
    explicit TRzTreeView(TComponent* AOwner = nullptr);
    std::string ClassName() const override { return "TRzTreeView"; }
};
