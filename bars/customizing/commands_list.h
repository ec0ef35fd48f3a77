#pragma once
// The customizing window's list of commands: one 22-pixel row per item of the selected category, drawn
// by the customizing painter of the bars' style so that the list looks like the bars.
#include <string>

#include "platform/gui/message_views.h"
#include "platform/stdctrls/list_controls.h"

class TdxBarItem;
class TdxBarManager;
class TdxBarPopupMenu;

namespace bars {

class TCommandsListBox : public TListBox {
public:
    explicit TCommandsListBox(TComponent* AOwner);
    std::string ClassName() const override { return "TCommandsListBox"; }
    TdxBarManager* BarManager() const { return manager_; }
    void SetBarManager(TdxBarManager* Value);
    // The item a row stands for.
    TdxBarItem* ItemOf(int Index);
    void WndProc(TMessage& Message) override;
    // What a right click pops up while the form is designed.
    TdxBarPopupMenu* DesignPopupMenu = nullptr;

protected:
    void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) override;
    // While customizing, a command pulled from its row is dragged onto the bars.
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    // Only the room below the last row takes the list's colour.
    void EraseBelowRows(TWMEraseBkgnd Message);
    // A press that activates the window chooses the row under it first.
    void SelectRowUnderCursor();

    TdxBarManager* manager_ = nullptr;
};

// An item's caption as a row shows it: without its accelerator marks.
std::string CommandCaption(const std::string& Caption);

} // namespace bars
