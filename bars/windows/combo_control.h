#pragma once
// The controls of combo items: an edit control with a drop-down button at the right of its box. The
// button, F4, Alt+Down and Alt+Up open and close the item's drop-down window; while it is open the keys
// it takes go to it. The string-list combo also steps through its entries with Up, Down and the wheel
// while its list is closed, and Enter or Tab on a stepped entry chooses it.
#include <memory>

#include "bars/windows/edit_control.h"

class TCustomdxBarCombo;
class TdxBarCustomCombo;

namespace bars {

class TCustomdxBarComboControl : public TdxBarEditControl {
public:
    using TdxBarEditControl::TdxBarEditControl;

    int ComboButtonWidth() const override;
    void SetFocused(bool Value) override;
    void ControlInactivate(bool Immediately) override;
    void BeforeClick(bool ByMouse) override;

    bool DroppedDown() const { return droppedDown_; }
    void SetDroppedDown(bool Value);
    // The drop-down button as last drawn (bar client coordinates).
    const RECT& ButtonRect() const { return buttonRect_; }

protected:
    TCustomdxBarCombo* Combo() const;
    bool HasEditor() const override;
    void DrawBoxExtras(HDC DC, const ItemState& State, RECT& R) override;
    LRESULT WndProc(TMessage& Message) override;

private:
    bool droppedDown_ = false;
    // Alt+Up or Alt+Down toggled the list: their releases are used up too.
    bool altToggled_ = false;
    RECT buttonRect_{0, 0, 0, 0};
    mutable int buttonWidth_ = -1;
};

class TdxBarComboControl : public TCustomdxBarComboControl {
public:
    using TCustomdxBarComboControl::TCustomdxBarComboControl;

    int ListIndex() const override { return curItemIndex_; }
    void SetListIndex(int Index) override { curItemIndex_ = Index; }
    void SetFocused(bool Value) override;
    // Shows entry Index in the edit (the item's text when there is none).
    void SetCurItemIndex(int Index);

protected:
    LRESULT WndProc(TMessage& Message) override;
    bool LeaveByKey(WORD Key) override;

private:
    TdxBarCustomCombo* CustomCombo() const;
    void Step(int Delta);

    int curItemIndex_ = -1;
};

std::unique_ptr<ItemControl> CreateCustomComboControl(TdxBarItemLink* Link);
std::unique_ptr<ItemControl> CreateComboControl(TdxBarItemLink* Link);

} // namespace bars
