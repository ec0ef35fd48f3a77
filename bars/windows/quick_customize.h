#pragma once
// The drop-down of a toolbar's end mark: the toolbar's buttons that did not fit, then "&Add or Remove
// Buttons", a menu with a check line per link of the toolbar that shows or hides it at once and keeps
// the menu open, and "&Reset Toolbar" when the bar may be reset.
#include <memory>

#include "bars/core/bar_button.h"
#include "bars/core/sub_item.h"
#include "bars/windows/item_control.h"
#include "platform/rtl/wintypes.h"

class TdxBarItemLink;

namespace bars {

class TdxBarControl;

// A check line standing for one link of the source toolbar.
class TdxBarQuickCustItem : public TdxBarButton {
public:
    explicit TdxBarQuickCustItem(TComponent* AOwner) : TdxBarButton(AOwner) {}
    std::string ClassName() const override { return "TdxBarQuickCustItem"; }
    TdxBarItemLink* SourceLink() const { return sourceLink_; }
    void SetSourceLink(TdxBarItemLink* Value) { sourceLink_ = Value; }

private:
    TdxBarItemLink* sourceLink_ = nullptr;
};

// "&Add or Remove Buttons": the drop-down's sub-item whose menu fills as it opens.
class TdxBarQuickSubItem : public TdxBarSubItem {
public:
    explicit TdxBarQuickSubItem(TComponent* AOwner) : TdxBarSubItem(AOwner) {}
    std::string ClassName() const override { return "TdxBarQuickSubItem"; }
};

// "&Reset Toolbar" at the end of that menu.
class TdxBarQuickCustExtButton : public TdxBarButton {
public:
    explicit TdxBarQuickCustExtButton(TComponent* AOwner) : TdxBarButton(AOwner) {}
    std::string ClassName() const override { return "TdxBarQuickCustExtButton"; }
};

// A line like the check lines, without the check. It closes the menus: the reset it runs rebuilds the
// links those lines stand for.
class TdxBarQuickCustExtButtonControl : public TdxBarButtonControl {
public:
    using TdxBarButtonControl::TdxBarButtonControl;
};
std::unique_ptr<ItemControl> CreateQuickCustExtButtonControl(TdxBarItemLink* Link);

// Its control toggles the source link without closing the menu.
class TdxBarQuickCustItemControl : public TdxBarButtonControl {
public:
    using TdxBarButtonControl::TdxBarButtonControl;
    bool CloseMenusOnClick() const override { return false; }
    void ControlClick(bool ByMouse) override;
};
std::unique_ptr<ItemControl> CreateQuickCustItemControl(TdxBarItemLink* Link);

// Where a drop-down of Size opens beside a toolbar's Mark (screen), inside the Work area: to the right
// of a vertical toolbar's mark (to its left when the screen ends), right-aligned under a docked
// horizontal toolbar's mark, left-aligned under a floating one's, and above the mark when there is no
// room below.
POINT QuickControlPlace(const RECT& Mark, SIZE Size, bool Vertical, bool Floating, const RECT& Work);

// Opens the drop-down under the toolbar's mark and returns once it has closed; the mark then comes
// back up.
void ShowQuickCustomization(TdxBarControl* Source);
// Whether a toolbar's drop-down is open (the question the model asks before it locks redrawing).
bool QuickControlShown();
// The same from the message loop, so that nothing the drop-down does touches the toolbar's handler
// that asked for it. A toolbar gone by then opens none.
void PostQuickCustomization(TdxBarControl* Source);

} // namespace bars
