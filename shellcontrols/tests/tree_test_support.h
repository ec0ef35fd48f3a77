#pragma once
// What tests of the framed tree view and of its users share: the shared pump, a
// shown form holding a view, and input through the window system's injection entry.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/gui/input.h"
#include "platform/gui/message_loop.h"
#include "platform/vcl/application.h"
#include "platform/vcl/form.h"
#include "shellcontrols/rz_tree_view.h"
#include "tests/support/gui/pump.h"

namespace tree_test {

using testsupport::Pump;

// A click at a point of the control's client area, with a modifier key held when one is given.
inline void ClickAt(TControl* Control, TPoint At, pw::gui::MouseButton Button, BYTE Modifier = 0) {
    const TPoint p = Control->ClientToScreen(At);
    if (Modifier) pw::gui::SimulateKey(Modifier, true);
    pw::gui::SimulateClick(POINT{p.x, p.y}, Button);
    if (Modifier) pw::gui::SimulateKey(Modifier, false);
    Pump();
}

inline void Key(BYTE VK, BYTE Modifier = 0) {
    if (Modifier) pw::gui::SimulateKey(Modifier, true);
    pw::gui::SimulateKeyStroke(VK);
    if (Modifier) pw::gui::SimulateKey(Modifier, false);
    Pump();
}

// Types ASCII text as key strokes.
inline void Type(const std::string& Text) {
    for (char c : Text) {
        const BYTE vk = (c >= 'a' && c <= 'z') ? static_cast<BYTE>(c - 32) : static_cast<BYTE>(c);
        pw::gui::SimulateKey(vk, true, static_cast<char32_t>(c));
        pw::gui::SimulateKey(vk, false);
    }
    Pump();
}

// A form with a framed tree view filling it; the view has no window until Show.
struct TreeForm {
    TForm* form = new TForm(nullptr);
    TRzTreeView* tree = new TRzTreeView(form);
    TreeForm() {
        form->SetBounds(100, 100, 200, 200);
        form->SetClientWidth(300);
        form->SetClientHeight(400);
        tree->SetParent(form);
        tree->SetBounds(0, 0, 300, 400);
    }
    ~TreeForm() { delete form; }
    TreeForm(const TreeForm&) = delete;
    TreeForm& operator=(const TreeForm&) = delete;
    void Show() {
        form->Show();
        Pump();
        tree->SetFocus();
        Pump();
    }
    // The middle of the node's label, in the view's client coordinates.
    TPoint Label(TTreeNode* node) const {
        const TRect r = node->DisplayRect(true);
        return TPoint{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
};

} // namespace tree_test
