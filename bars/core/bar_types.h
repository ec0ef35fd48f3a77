#pragma once
// The value types the toolbar library shares: styles, visibility rules, docking sides, paint styles.
#include <functional>

#include "platform/graphics/graphics_types.h"
#include "platform/rtl/object.h"

class TdxBar;
class TdxBarItem;
class TdxBarItemLink;
class TdxBarItemLinks;
class TdxBarManager;
class TCanvas;
class TComponent;

enum TdxBarManagerStyle { bmsStandard, bmsEnhanced, bmsFlat, bmsXP, bmsOffice11, bmsUseLookAndFeel };
// ivInCustomizing: shown only while the manager is designed or its customizing window is open.
enum TdxBarItemVisible { ivNever, ivInCustomizing, ivAlways };
// dsNone: floating.
enum TdxBarDockingStyle { dsNone, dsLeft, dsTop, dsRight, dsBottom };
using TdxBarDockingStyles = TSet<TdxBarDockingStyle>;
enum TdxBarPaintStyle { psStandard, psCaption, psCaptionInMenu, psCaptionGlyph };
enum TdxBarUserDefine { udCaption, udGlyph, udPaintStyle, udWidth };
using TdxBarUserDefines = TSet<TdxBarUserDefine>;
enum TdxBarButtonStyle { bsDefault, bsChecked, bsDropDown };
enum TdxBarBorderStyle { bbsNone, bbsSingle };
enum TdxBarItemAlign { iaLeft, iaCenter, iaRight, iaClient };
enum TdxBarMenuAnimations { maNone, maRandom, maUnfold, maSlide, maFade };

inline constexpr TdxBarDockingStyles AllDockingStyles{dsNone, dsLeft, dsTop, dsRight, dsBottom};
// One of the five styles: a number beyond them names no dock site.
inline constexpr bool IsDockingStyle(TdxBarDockingStyle Style) {
    return Style >= dsNone && Style <= dsBottom;
}

using TdxBarEvent = std::function<void(TdxBarManager* Sender, TdxBar* ABar)>;
using TdxBarVisibleChangeEvent = std::function<void(TdxBarManager* Sender, TdxBar* ABar)>;
using TdxBarItemLinkEvent = std::function<void(TdxBarManager* Sender, TdxBarItemLink* AItemLink)>;
using TdxBarClickItemEvent = std::function<void(TdxBarManager* Sender, TdxBarItem* ClickedItem)>;
using TdxBarShowPopupEvent = std::function<void(TdxBarManager* Sender, TdxBarItemLinks* PopupItemLinks)>;
// Paints the side band of a menu (R, in the menu's client coordinates) on the menu's canvas.
using TdxBarPaintSubMenuBarEvent = std::function<void(TObject* Sender, TCanvas* Canvas, const RECT& R)>;
using TdxBarMenuMergeEvent =
    std::function<void(TdxBarManager* Sender, TdxBarManager* ChildBarManager, bool AddItems)>;
using TdxBarCanDockingEvent =
    std::function<void(TdxBar* Sender, TdxBarDockingStyle Style, TComponent* DockControl, bool& CanDocking)>;
