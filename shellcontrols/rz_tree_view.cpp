#include "shellcontrols/rz_tree_view.h"

#include "platform/gui/messages.h"

TRzCustomTreeView::TRzCustomTreeView(TComponent* AOwner) : TRzFramed<TTreeView>(AOwner) {}

TTreeNode* TRzCustomTreeView::Selected() {
    return HandleAllocated() ? TTreeView::Selected() : nullptr;
}

TTreeNode* TRzCustomTreeView::ContextNode(const TMessage& Message, POINT& Where) {
    const TPoint screen{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
    if (screen.x == -1 && screen.y == -1) {
        // From the keyboard: the menu opens below the focused node's label.
        TTreeNode* node = Selected();
        if (node == nullptr) return nullptr;
        const TRect r = node->DisplayRect(true);
        Where = POINT{r.left, r.bottom};
        return node;
    }
    const TPoint client = ScreenToClient(screen);
    Where = POINT{client.x, client.y};
    return GetNodeAt(client.x, client.y);
}

void TRzCustomTreeView::WndProc(TMessage& Message) {
    if (Message.Msg == WM_CONTEXTMENU && OnNodeContextMenu && HandleAllocated()) {
        POINT where{};
        if (TTreeNode* node = ContextNode(Message, where)) {
            bool handled = false;
            auto alive = AliveToken();
            OnNodeContextMenu(this, node, where, handled);
            if (alive.expired()) return;
            if (handled) {
                Message.Result = 1;
                return;
            }
        }
    }
    if ((Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK) &&
        (Message.WParam & (MK_CONTROL | MK_SHIFT)) && MultiSelect() && HandleAllocated()) {
        // A Ctrl or Shift click changes the selection without moving the focused node, so the
        // window reports no change; the owner still has to hear of it.
        const TTreeNode* kept = Selected();
        const std::vector<TTreeNode*> before = Selection();
        auto alive = AliveToken();
        TRzFramed<TTreeView>::WndProc(Message);
        if (alive.expired() || !HandleAllocated()) return;
        if (Selected() == kept && Selection() != before && OnChange)
            OnChange(this, GetNodeAt(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)));
        return;
    }
    TRzFramed<TTreeView>::WndProc(Message);
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
