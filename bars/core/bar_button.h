#pragma once
// Buttons: push buttons, check buttons (down or up, in groups that exclude each other) and buttons with
// a drop-down menu.
#include "bars/core/bar_item.h"

class TdxBarPopupMenu;

class TdxBarButton : public TdxBarItem {
public:
    explicit TdxBarButton(TComponent* AOwner);
    ~TdxBarButton() override;
    std::string ClassName() const override { return "TdxBarButton"; }
    static const TPropertyTable& Table();
    const TPropertyTable* PublishedProperties() const override { return &Table(); }
    void Notification(TComponent* AComponent, TOperation Operation) override;

    bool AllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool Value);
    TdxBarButtonStyle ButtonStyle() const { return buttonStyle_; }
    void SetButtonStyle(TdxBarButtonStyle Value);
    bool CloseSubMenuOnClick() const { return closeSubMenuOnClick_; }
    void SetCloseSubMenuOnClick(bool Value) { closeSubMenuOnClick_ = Value; }
    bool Down() const { return down_; }
    // A lone down button of a group without AllowAllUp refuses to go up.
    void SetDown(bool Value);
    bool DropDownEnabled() const { return dropDownEnabled_; }
    void SetDropDownEnabled(bool Value);
    TdxBarPopupMenu* DropDownMenu() const { return dropDownMenu_; }
    void SetDropDownMenu(TdxBarPopupMenu* Value);
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int Value);
    bool Lowered() const { return lowered_; }
    void SetLowered(bool Value);
    TdxBarPaintStyle PaintStyle() const { return paintStyle_; }
    void SetPaintStyle(TdxBarPaintStyle Value);

    // A check button toggles first.
    void Click() override;
    bool HasAccel(TdxBarItemLink* ALink) const override;
    virtual void ButtonStyleChanged();
    virtual bool CanBeDown() const { return true; }
    virtual void DownChanged();
    virtual void DropDownEnabledChanged();
    virtual void PaintStyleChanged();
    // Opens the drop-down menu under the control (with the menu windows of the library).
    virtual void DropDown(bars::ItemControl* AControl, int X, int Y, bool ByMouse);

private:
    // The other check buttons of the manager with the same group index.
    std::vector<TdxBarButton*> GroupMates() const;

    bool allowAllUp_ = false;
    TdxBarButtonStyle buttonStyle_ = bsDefault;
    bool closeSubMenuOnClick_ = true;
    bool down_ = false;
    bool dropDownEnabled_ = true;
    TdxBarPopupMenu* dropDownMenu_ = nullptr;
    int groupIndex_ = 0;
    bool lowered_ = false;
    TdxBarPaintStyle paintStyle_ = psStandard;
};
