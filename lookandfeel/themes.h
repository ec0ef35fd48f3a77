#pragma once
// The visual-styles classes the bars ask for, a cache of their theme handles, and the objects told
// when the theme changes. Drawing through a theme uses the window system's theme calls directly; on
// this system no theme is ever active, so every handle is 0 and callers take their classic fallback.
#include <functional>

#include "platform/gdi/theme.h"
#include "platform/graphics/graphics_types.h"
#include "platform/rtl/object.h"

enum TdxThemeObjectType {
    totButton,
    totClock,
    totComboBox,
    totEdit,
    totExplorerBar,
    totHeader,
    totListView,
    totMenu,
    totPage,
    totProgress,
    totRebar,
    totScrollBar,
    totSpin,
    totStartPanel,
    totStatus,
    totTab,
    totTaskBand,
    totTaskBar,
    totToolBar,
    totToolTip,
    totTrackBar,
    totTrayNotify,
    totTreeView,
    totWindow
};
using TdxThemeObjectTypes = TSet<TdxThemeObjectType>;

// The cached handle of the type's theme, opened on first use; 0 when none can be opened. Callers never
// close it.
HTHEME OpenTheme(TdxThemeObjectType ThemeObject);
// A theme is active and every type of the set has one; an empty set asks only whether themes are on.
bool AreVisualStylesAvailable(TdxThemeObjectTypes Types);

// Hears theme changes for as long as it lives.
class TdxThemeChangedNotificator : public TObject {
public:
    TdxThemeChangedNotificator();
    ~TdxThemeChangedNotificator() override;
    TdxThemeChangedNotificator(const TdxThemeChangedNotificator&) = delete;
    TdxThemeChangedNotificator& operator=(const TdxThemeChangedNotificator&) = delete;
    std::string ClassName() const override { return "TdxThemeChangedNotificator"; }

    TNotifyEvent OnThemeChanged;
};

// The window system reported a theme change: the cache is closed and every notificator is told.
void NotifyThemeChanged();
