#include "shellcontrols/rz_tree_view.h"

#include "platform/gui/message_views.h"
#include "platform/gui/messages.h"

TRzCustomTreeView::TRzCustomTreeView(TComponent* AOwner) : TRzFramed<TTreeView>(AOwner) {}

TTreeNode* TRzCustomTreeView::Selected() {
    return HandleAllocated() ? TTreeView::Selected() : nullptr;
}

TTreeNode* TRzCustomTreeView::ContextNode(TWMContextMenu Message, POINT& Where) {
    if (Message.FromKeyboard()) {
        // From the keyboard: the menu opens below the focused node's label.
        TTreeNode* node = Selected();
        if (node == nullptr) return nullptr;
        const TRect r = node->DisplayRect(true);
        Where = POINT{r.left, r.bottom};
        return node;
    }
    const TPoint client = ScreenToClient(Message.Pos());
    Where = POINT{client.x, client.y};
    return GetNodeAt(client.x, client.y);
}

void TRzCustomTreeView::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_CONTEXTMENU:
        return WMContextMenu(TWMContextMenu(Message));
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        return WMLButtonDown(TWMMouse(Message));
    default:
        return TRzFramed<TTreeView>::WndProc(Message);
    }
}

// OnNodeContextMenu has the first say over a menu asked for on a node.
void TRzCustomTreeView::WMContextMenu(TWMContextMenu Message) {
    POINT where{};
    TTreeNode* node = OnNodeContextMenu && HandleAllocated() ? ContextNode(Message, where) : nullptr;
    if (node) {
        bool handled = false;
        auto alive = AliveToken();
        OnNodeContextMenu(this, node, where, handled);
        if (alive.expired()) return;
        if (handled) {
            Message.Result = 1;
            return;
        }
    }
    TRzFramed<TTreeView>::WndProc(Message);
}

// A Ctrl or Shift click changes the selection without moving the focused node, so the window reports
// no change; the owner still has to hear of it.
void TRzCustomTreeView::WMLButtonDown(TWMMouse Message) {
    if (!(Message.Keys() & (MK_CONTROL | MK_SHIFT)) || !MultiSelect() || !HandleAllocated())
        return TRzFramed<TTreeView>::WndProc(Message);
    const TTreeNode* kept = Selected();
    const std::vector<TTreeNode*> before = Selection();
    auto alive = AliveToken();
    TRzFramed<TTreeView>::WndProc(Message);
    if (alive.expired() || !HandleAllocated()) return;
    if (Selected() == kept && Selection() != before && OnChange)
        OnChange(this, GetNodeAt(Message.Pos().x, Message.Pos().y));
}

std::vector<TTreeNode*> TRzCustomTreeView::Selection() {
    std::vector<TTreeNode*> nodes;
    for (int i = 0; i < SelectionCount(); ++i)
        nodes.push_back(Selections(i));
    return nodes;
}

TRzTreeView::TRzTreeView(TComponent* AOwner) : TRzCustomTreeView(AOwner) {
    SetMultiSelect(true);
}
