#pragma once
// The context menu of a link while the bars are customized: reset, delete, its caption, its paint
// style, the group line before it, its visibility and its recent-use mark; while the form is designed
// also adding items after it and deleting its toolbar. The menu works as a menu (its lines click)
// although the bars around it are being customized.
#include "platform/rtl/wintypes.h"

class TdxBarItemLink;

namespace bars {

class TCustomdxBarControl;

// The tags of the menu's entries, which say what each does.
enum CustomizingPopupTag {
    cpAddItem = -2,
    cpAddButton = -3,
    cpAddSubItem = -4,
    cpDeleteBar = -1,
    cpReset = 0,
    cpDelete = 1,
    cpCaption = 2,
    cpDefaultStyle = 3,
    cpTextOnlyAlways = 4,
    cpTextOnlyInMenus = 5,
    cpImageAndText = 6,
    cpBeginGroup = 7,
    cpVisible = 8,
    cpMostRecentlyUsed = 9,
    // "Add Item" lists the registered item classes as -100 - their index.
    cpAddItemClassBase = -100,
};

// Opens the menu for Link (none: only the design-time entries) shown on Bar, at the screen point, and
// returns once it has closed; what the chosen entry does runs after the menu has gone, and only while
// the link and its bar still exist.
void ShowCustomizingPopup(TCustomdxBarControl* Bar, TdxBarItemLink* Link, POINT Screen);
// The same from the message loop, after the handler of the click that asked for it has returned.
void PostCustomizingPopup(TCustomdxBarControl* Bar, TdxBarItemLink* Link, POINT Screen);
// The link whose menu is open, nullptr when none.
TdxBarItemLink* CustomizingLink();

} // namespace bars
