#pragma once
// The control of the system-menu entry on a main menu bar: the window's small icon, which opens the
// window's menu and runs its default command on a double click.
#include <memory>

#include "bars/windows/sub_item_control.h"

namespace bars {

class TSystemMenuSubItemControl : public TdxBarSubItemControl {
public:
    using TdxBarSubItemControl::TdxBarSubItemControl;
    bool CanSelect() const override;
    int GetHeight() const override;
    int GetWidth() const override;
    bool IsMenuJoinedToItem() const override { return false; }
    bool IsExpandable() const override { return false; }
    void Draw(HDC DC, const RECT& R, int PaintType) override;
    bool DoubleClicked() override;
};

std::unique_ptr<ItemControl> CreateSystemMenuSubItemControl(TdxBarItemLink* Link);

} // namespace bars
