#pragma once
// The customizing window's list of toolbars: a check box per row shows and hides the toolbar; a bar
// that may not be closed (the menu bar) keeps its box greyed and beeps instead.
#include <string>

#include "platform/stdctrls/list_controls.h"

class TdxBar;
class TdxBarManager;

namespace bars {

class TCheckListBox : public TListBox {
public:
    explicit TCheckListBox(TComponent* AOwner);
    std::string ClassName() const override { return "TCheckListBox"; }
    TdxBarManager* BarManager() const { return manager_; }
    void SetBarManager(TdxBarManager* Value) { manager_ = Value; }
    // The width of the check box column: the row height, as last drawn.
    int CheckWidth() const { return checkWidth_; }
    TdxBar* BarOf(int Row);
    // Shows or hides the row's bar (a bar that may not be closed only beeps).
    void ToggleBar(int Row);
    void WndProc(TMessage& Message) override;

protected:
    void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) override;

private:
    // The row under a client point whose x lies on the check box, or -1.
    int CheckAt(POINT P);
    TdxBarManager* manager_ = nullptr;
    int checkWidth_ = 0;
};

} // namespace bars
