#pragma once
// The drop shadow and the opening animation of the menu windows: shadows in the flat, XP and Office
// 2003 styles, covering the menu and the item it hangs from; the unfold and slide animations played by
// a timer on the GUI thread.
#include <memory>
#include <vector>

#include "bars/windows/sub_menu_control.h"
#include "lookandfeel/object_links.h"

namespace bars {

class TdxBarShadow;

class MenuEffects : public MenuDecorator {
public:
    MenuEffects();
    ~MenuEffects() override;
    void Shown(TdxBarSubMenuControl& Menu) override;
    void Moved(TdxBarSubMenuControl& Menu) override;
    void Hiding(TdxBarSubMenuControl& Menu) override;
    bool StartAnimation(TdxBarSubMenuControl& Menu) override;
    void StopAnimation(TdxBarSubMenuControl& Menu) override;

    // The shadow of a menu while it has one, else nullptr.
    TdxBarShadow* ShadowOf(const TdxBarSubMenuControl& Menu) const;

private:
    struct Entry {
        TcxObjectLinkPtr menu;
        std::unique_ptr<TdxBarShadow> shadow;
    };
    void UpdateShadow(TdxBarSubMenuControl& Menu);
    void DropShadow(const TdxBarSubMenuControl& Menu);
    // Menus that went without a word leave their entries.
    void Prune();

    std::vector<Entry> shadows_;
};

// Whether the manager's style draws menu shadows (flat, XP, Office 2003).
bool StyleHasMenuShadow(const TdxBarSubMenuControl& Menu);
// The effects every menu window gets (installed with the bar windows).
MenuEffects& TheMenuEffects();
void InstallMenuEffects();

} // namespace bars
