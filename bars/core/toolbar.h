#pragma once
// A toolbar or menu bar: its caption, its links, where it docks or floats, and what the user may do
// with it. Its window exists only while it is visible.
#include <memory>
#include <string>
#include <vector>

#include "bars/core/bar_types.h"
#include "bars/core/bar_views.h"
#include "platform/graphics/graphics_objects.h"
#include "platform/rtl/collection.h"
#include "platform/vcl/shortcut.h"

class TBitmap;
class TPropertyTable;
class TCustomdxBarSubItem;

class TdxBar : public TCollectionItem {
public:
    explicit TdxBar(TCollection* Collection);
    ~TdxBar() override;
    std::string ClassName() const override { return "TdxBar"; }
    static const TPropertyTable& Table();
    const TPropertyTable* PublishedProperties() const override { return &Table(); }
    std::string DisplayName() const override { return caption_; }
    void Assign(TPersistent* Source) override;

    TdxBars* Bars() const;
    TdxBarManager* BarManager() const;
    bars::BarControl* Control() const;

    bool AllowClose() const { return allowClose_; }
    void SetAllowClose(bool Value);
    bool AllowCustomizing() const { return allowCustomizing_; }
    void SetAllowCustomizing(bool Value) { allowCustomizing_ = Value; }
    bool AllowQuickCustomizing() const { return allowQuickCustomizing_; }
    void SetAllowQuickCustomizing(bool Value);
    bool AllowReset() const { return allowReset_; }
    void SetAllowReset(bool Value) { allowReset_ = Value; }
    int AlphaBlendValue() const { return alphaBlendValue_; }
    void SetAlphaBlendValue(int Value);
    TBitmap* BackgroundBitmap() const { return backgroundBitmap_.get(); }
    void SetBackgroundBitmap(TBitmap* Value);
    TdxBarBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TdxBarBorderStyle Value);
    const std::string& Caption() const { return caption_; }
    // Ignored when another bar of the manager has that caption.
    void SetCaption(const std::string& Value);
    TColor Color() const { return color_; }
    void SetColor(TColor Value);
    bars::DockControl* DockControl() const { return dockControl_; }
    void SetDockControl(bars::DockControl* Value);
    bars::DockControl* DockedDockControl() const { return dockedDockControl_; }
    void SetDockedDockControl(bars::DockControl* Value);
    TdxBarDockingStyle DockedDockingStyle() const;
    void SetDockedDockingStyle(TdxBarDockingStyle Value);
    int DockedLeft() const { return dockedLeft_; }
    void SetDockedLeft(int Value);
    int DockedTop() const { return dockedTop_; }
    void SetDockedTop(int Value);
    TdxBarDockingStyle DockingStyle() const;
    void SetDockingStyle(TdxBarDockingStyle Value);
    int FloatLeft() const { return floatLeft_; }
    void SetFloatLeft(int Value);
    int FloatTop() const { return floatTop_; }
    void SetFloatTop(int Value);
    int FloatClientWidth() const { return floatClientWidth_; }
    void SetFloatClientWidth(int Value);
    int FloatClientHeight() const { return floatClientHeight_; }
    void SetFloatClientHeight(int Value);
    TFont* Font() const { return font_.get(); }
    void SetFont(TFont* Value) { font_->Assign(Value); }
    HFONT FontHandle() const { return fontHandle_; }
    bool Hidden() const { return hidden_; }
    void SetHidden(bool Value);
    bool HiddenWhenEmpty() const { return hiddenWhenEmpty_; }
    void SetHiddenWhenEmpty(bool Value) { hiddenWhenEmpty_ = Value; }
    bool IsMainMenu() const { return isMainMenu_; }
    void SetIsMainMenu(bool Value);
    TdxBarItemLinks* ItemLinks() const { return itemLinks_.get(); }
    void SetItemLinks(TdxBarItemLinks* Value);
    bool MultiLine() const { return multiLine_; }
    // A main-menu bar stays multi-line.
    void SetMultiLine(bool Value);
    const std::string& Name() const { return name_; }
    void SetName(const std::string& Value);
    TdxBarDockingStyles NotDocking() const { return notDocking_; }
    void SetNotDocking(TdxBarDockingStyles Value);
    bool OneOnRow() const { return oneOnRow_; }
    void SetOneOnRow(bool Value) { oneOnRow_ = Value; }
    bool RotateWhenVertical() const { return rotateWhenVertical_; }
    void SetRotateWhenVertical(bool Value);
    int Row() const { return row_; }
    void SetRow(int Value) { row_ = Value < 0 ? 0 : Value; }
    bool ShowMark() const { return showMark_; }
    void SetShowMark(bool Value);
    bool SizeGrip() const { return sizeGrip_; }
    void SetSizeGrip(bool Value);
    bool UseOwnFont() const { return useOwnFont_; }
    void SetUseOwnFont(bool Value);
    bool UseRecentItems() const { return useRecentItems_; }
    void SetUseRecentItems(bool Value);
    bool UseRestSpace() const { return useRestSpace_; }
    void SetUseRestSpace(bool Value);
    // The streamed value while the manager loads.
    bool Visible() const;
    void SetVisible(bool Value);
    bool WholeRow() const { return wholeRow_; }
    void SetWholeRow(bool Value);

    bool CreatedFromStream() const { return createdFromStream_; }
    bool RebuildLocked() const { return rebuildLocked_; }
    void SetRebuildLocked(bool Value);
    void SetDocking(TdxBarDockingStyle Style, bars::DockControl* ADockControl);
    // DockControl, or for a docked style the site along that edge of the form.
    bars::DockControl* RealDockControl() const;
    bool CanClose() const;
    bool CanMove() const;
    bool CanReset() const { return createdFromStream_ && allowReset_; }
    bool ExecuteShortCut(TShortCut ShortCut);
    // Asks, then resets the bar to its counterpart in a copy of the form as designed.
    void Reset();
    // The reset itself, from the bar's counterpart in the copy.
    void ResetToDesign(TdxBar* DesignBar);
    // The manager's font changed: a bar without its own font takes it.
    void ManagerFontChanged();
    int GetNonClientWidth(TdxBarDockingStyle Style) const;
    int GetNonClientHeight(TdxBarDockingStyle Style) const;
    // The bar shows a size grip (a borderless, whole-row bar along the form's bottom edge).
    bool ShowsSizeGrip() const;

    // Sub-items whose menus detach into this bar.
    void AddDetachedItem(TCustomdxBarSubItem* Item);
    void RemoveDetachedItem(TCustomdxBarSubItem* Item);

    // The manager finished loading: the streamed docking and visibility take effect.
    void ApplyLoadedState();

private:
    friend class TdxBars;
    void Rebuild();
    void RebuildWhenDocked();
    void DesignChanged();
    // The customizing window shows the bar's caption and state.
    void CustomizingChanged();
    void FontChanged();
    void ShowWindow();
    TComponent* DockControlComponent() const;
    void SetDockControlComponent(TComponent* Value);
    TComponent* DockedDockControlComponent() const;
    void SetDockedDockControlComponent(TComponent* Value);
    bool IsDocked() const { return DockingStyle() != dsNone; }
    void ReportDockingStyleChange();
    void ResetSubItems(TdxBarItemLinks* Links, TCustomForm* DesignForm, int Depth);
    int64_t NotDockingBits() const { return notDocking_.Bits(); }
    void SetNotDockingBits(int64_t Value) {
        SetNotDocking(TdxBarDockingStyles::FromBits(static_cast<uint32_t>(Value)));
    }
    TPersistent* ItemLinksObject() const;

    bool allowClose_ = true;
    bool allowCustomizing_ = true;
    bool allowQuickCustomizing_ = true;
    bool allowReset_ = true;
    int alphaBlendValue_ = 255;
    std::unique_ptr<TBitmap> backgroundBitmap_;
    TdxBarBorderStyle borderStyle_ = bbsSingle;
    std::string caption_;
    TColor color_ = clDefault;
    bool changingDocking_ = false;
    bars::DockControl* dockControl_ = nullptr;
    bars::DockControl* dockedDockControl_ = nullptr;
    TdxBarDockingStyle dockedDockingStyle_ = dsTop;
    int dockedLeft_ = 0;
    int dockedTop_ = 0;
    TdxBarDockingStyle dockingStyle_ = dsNone;
    HFONT fontHandle_ = nullptr;
    int floatLeft_ = 0;
    int floatTop_ = 0;
    int floatClientWidth_ = 0;
    int floatClientHeight_ = 0;
    std::unique_ptr<TFont> font_;
    std::vector<TCustomdxBarSubItem*> detachedItems_;
    bool hidden_ = false;
    bool hiddenWhenEmpty_ = false;
    bool isMainMenu_ = false;
    bool createdFromStream_ = false;
    bool fontChanging_ = false;
    std::unique_ptr<TdxBarItemLinks> itemLinks_;
    bars::DockControl* loadedDockControl_ = nullptr;
    TdxBarDockingStyle loadedDockingStyle_ = dsNone;
    bool loadedVisible_ = false;
    bool rebuildLocked_ = false;
    std::string name_;
    TdxBarDockingStyles notDocking_;
    bool multiLine_ = false;
    bool oneOnRow_ = false;
    bool rotateWhenVertical_ = true;
    int row_ = 0;
    bool showMark_ = true;
    bool sizeGrip_ = true;
    bool useOwnFont_ = false;
    bool useRecentItems_ = true;
    bool useRestSpace_ = false;
    bool visible_ = false;
    bool wholeRow_ = false;
};

namespace bars {

// Where a floating toolbar of Size stored at Stored (screen) is shown: moved, as little as it takes, into
// the work area of the monitor nearest that place.
POINT FloatingPlace(POINT Stored, SIZE Size);

} // namespace bars
