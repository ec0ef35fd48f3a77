// The manager's published properties, in the order the stream stores them.
#include "bars/core/bar_manager.h"

#include "bars/core/backgrounds.h"
#include "bars/core/categories.h"
#include "bars/core/popup_menu.h"
#include "bars/core/toolbars.h"
#include "lookandfeel/look_and_feel.h"
#include "platform/graphics/image_list.h"
#include "platform/rtl/published.h"

TPersistent* TdxBarManager::FontObject() const {
    return font_.get();
}
TPersistent* TdxBarManager::BackgroundsObject() const {
    return backgrounds_.get();
}
TPersistent* TdxBarManager::BarsObject() const {
    return bars_.get();
}
TPersistent* TdxBarManager::CategoriesObject() const {
    return categories_.get();
}
TPersistent* TdxBarManager::LookAndFeelObject() const {
    return lookAndFeel_.get();
}
TPersistent* TdxBarManager::PopupMenuLinksObject() const {
    return popupMenuLinks_.get();
}

const TPropertyTable& TdxBarManager::Table() {
    using M = TdxBarManager;
    static const TPropertyTable table(&TComponent::Table(), [] {
        TPropInfo dockColor = ColorProperty<M>("DockColor", &M::DockColor, &M::SetDockColor, clBtnFace);
        // The form's colour is not the manager's own while it follows the form.
        dockColor.Stored = [](const TPersistent& o) { return !static_cast<const M&>(o).AutoDockColor(); };
        dockColor.Default.reset();
        std::vector<TPropInfo> own = {
            BooleanProperty<M>("AllowCallFromAnotherForm", &M::AllowCallFromAnotherForm,
                               &M::SetAllowCallFromAnotherForm, false),
            BooleanProperty<M>("AllowReset", &M::AllowReset, &M::SetAllowReset, true),
            BooleanProperty<M>("AlwaysMerge", &M::AlwaysMerge, &M::SetAlwaysMerge, false),
            BooleanProperty<M>("AlwaysSaveText", &M::AlwaysSaveText, &M::SetAlwaysSaveText, false),
            BooleanProperty<M>("AutoDockColor", &M::AutoDockColor, &M::SetAutoDockColor, true),
            BooleanProperty<M>("AutoHideEmptyBars", &M::AutoHideEmptyBars, &M::SetAutoHideEmptyBars, false),
            BooleanProperty<M>("Scaled", &M::Scaled, &M::SetScaled, true),
            ObjectProperty<M>("Font", &M::FontObject),
            ObjectProperty<M>("Backgrounds", &M::BackgroundsObject),
            ObjectProperty<M>("Bars", &M::BarsObject),
            IntegerProperty<M>("ButtonArrowWidth", &M::ButtonArrowWidth, &M::SetButtonArrowWidth, 11),
            BooleanProperty<M>("CanCustomize", &M::CanCustomize, &M::SetCanCustomize, true),
            ObjectProperty<M>("Categories", &M::CategoriesObject),
            dockColor,
            BooleanProperty<M>("FlatCloseButton", &M::FlatCloseButton, &M::SetFlatCloseButton, false),
            IntegerProperty<M>("HelpContext", &M::HelpContext, &M::SetHelpContext, 0),
            BooleanProperty<M>("HideFloatingBarsWhenInactive", &M::HideFloatingBarsWhenInactive,
                               &M::SetHideFloatingBarsWhenInactive, true),
            ComponentProperty<M, TCustomImageList>("HotImages", &M::HotImages, &M::SetHotImages),
            ColorProperty<M>("ImageListBkColor", &M::ImageListBkColor, &M::SetImageListBkColor, clFuchsia),
            ComponentProperty<M, TCustomImageList>("Images", &M::Images, &M::SetImages),
            ComponentProperty<M, TCustomImageList>("DisabledImages", &M::DisabledImages,
                                                   &M::SetDisabledImages),
            ComponentProperty<M, TCustomImageList>("DisabledLargeImages", &M::DisabledLargeImages,
                                                   &M::SetDisabledLargeImages),
            StringProperty<M>("IniFileName", &M::IniFileName, &M::SetIniFileName),
            ComponentProperty<M, TCustomImageList>("LargeImages", &M::LargeImages, &M::SetLargeImages),
            IntegerProperty<M>("LargeButtonArrowWidth", &M::LargeButtonArrowWidth,
                               &M::SetLargeButtonArrowWidth, 13),
            BooleanProperty<M>("LargeIcons", &M::LargeIcons, &M::SetLargeIcons, false),
            ObjectProperty<M>("LookAndFeel", &M::LookAndFeelObject),
            BooleanProperty<M>("MakeDisabledImagesFaded", &M::MakeDisabledImagesFaded,
                               &M::SetMakeDisabledImagesFaded, false),
            EnumProperty<M>("MenuAnimations", &M::MenuAnimations, &M::SetMenuAnimations,
                            {"maNone", "maRandom", "maUnfold", "maSlide", "maFade"}, maNone),
            BooleanProperty<M>("MenusShowRecentItemsFirst", &M::MenusShowRecentItemsFirst,
                               &M::SetMenusShowRecentItemsFirst, true),
            IntegerProperty<M>("MostRecentItemsPercents", &M::MostRecentItemsPercents,
                               &M::SetMostRecentItemsPercents, 95),
            SetProperty<M>("NotDocking", &M::NotDockingBits, &M::SetNotDockingBits,
                           {"dsNone", "dsLeft", "dsTop", "dsRight", "dsBottom"}, 0),
            ObjectProperty<M>("PopupMenuLinks", &M::PopupMenuLinksObject),
            StringProperty<M>("RegistryPath", &M::RegistryPath, &M::SetRegistryPath),
            BooleanProperty<M>("ShowCloseButton", &M::ShowCloseButton, &M::SetShowCloseButton, false),
            BooleanProperty<M>("ShowFullMenusAfterDelay", &M::ShowFullMenusAfterDelay,
                               &M::SetShowFullMenusAfterDelay, true),
            BooleanProperty<M>("ShowHelpButton", &M::ShowHelpButton, &M::SetShowHelpButton, false),
            BooleanProperty<M>("ShowHint", &M::ShowHint, &M::SetShowHint, true),
            BooleanProperty<M>("ShowHintForDisabledItems", &M::ShowHintForDisabledItems,
                               &M::SetShowHintForDisabledItems, true),
            BooleanProperty<M>("ShowShortCutInHint", &M::ShowShortCutInHint, &M::SetShowShortCutInHint,
                               false),
            BooleanProperty<M>("StoreInIniFile", &M::StoreInIniFile, &M::SetStoreInIniFile, false),
            BooleanProperty<M>("StoreInRegistry", &M::StoreInRegistry, &M::SetStoreInRegistry, false),
            BooleanProperty<M>("StretchGlyphs", &M::StretchGlyphs, &M::SetStretchGlyphs, true),
            EnumProperty<M>(
                "Style", &M::Style, &M::SetStyle,
                {"bmsStandard", "bmsEnhanced", "bmsFlat", "bmsXP", "bmsOffice11", "bmsUseLookAndFeel"},
                bmsEnhanced),
            BooleanProperty<M>("SunkenBorder", &M::SunkenBorder, &M::SetSunkenBorder, false),
            BooleanProperty<M>("UseF10ForMenu", &M::UseF10ForMenu, &M::SetUseF10ForMenu, true),
            BooleanProperty<M>("UseFullReset", &M::UseFullReset, &M::SetUseFullReset, false),
            BooleanProperty<M>("UseLargeImagesForLargeIcons", &M::UseLargeImagesForLargeIcons,
                               &M::SetUseLargeImagesForLargeIcons, false),
            BooleanProperty<M>("UseSystemFont", &M::UseSystemFont, &M::SetUseSystemFont),
            IntegerProperty<M>("WaitForDockingTime", &M::WaitForDockingTime, &M::SetWaitForDockingTime, 21),
        };
        for (const char* event :
             {"OnBarAdd", "OnBarAfterReset", "OnBarBeforeReset", "OnBarClose", "OnBarDelete",
              "OnBarDockingStyleChange", "OnBarVisibleChange", "OnClickItem", "OnCloseButtonClick",
              "OnDocking", "OnHelpButtonClick", "OnHideCustomizingForm", "OnItemLinkAdd", "OnItemLinkChange",
              "OnItemLinkDelete", "OnMenuMerge", "OnShowCustomizingForm", "OnShowCustomizingPopup",
              "OnShowToolbarsPopup"})
            own.push_back(MethodProperty(event));
        return own;
    }());
    return table;
}
