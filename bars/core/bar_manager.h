#pragma once
// The bar manager: one per form. It owns the toolbars, the categories, the popup-menu links, fonts,
// brushes and look-and-feel settings; the form's items, groups, popup menus and dock sites register
// with it; it chooses the painter every bar window draws with.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "bars/core/bar_types.h"
#include "bars/core/bar_views.h"
#include "platform/graphics/graphics_objects.h"
#include "platform/rtl/component.h"

class TBitmap;
class TChangeLink;
class TCustomForm;
class TCustomImageList;
class TcxLookAndFeel;
class TdxBarBackgrounds;
class TdxBarManagerCategories;
class TdxBarPopupMenu;
class TdxBarPopupMenuLinks;
class TdxBars;
class TdxThemeChangedNotificator;
class TFiler;
class TPropertyTable;
class TReader;
class TStrings;

class TdxBarManager : public TComponent {
public:
    // EInvalidOperation with text 65159 when the owner (or, for none, the application's main form) is
    // not a form, 65158 when that form has a manager already.
    explicit TdxBarManager(TComponent* AOwner);
    ~TdxBarManager() override;
    std::string ClassName() const override { return "TdxBarManager"; }
    static const TPropertyTable& Table();
    const TPropertyTable* PublishedProperties() const override { return &Table(); }

    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void ReadState(TReader& Reader) override;
    void SetName(const std::string& NewName) override;
    void DefineProperties(TFiler& Filer) override;
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

    TCustomForm* ParentForm() const { return parentForm_; }
    bool Designing() const { return designing_; }
    bool IsLoading() const { return ComponentState().Contains(csLoading); }
    bool IsDestroying() const { return ComponentState().Contains(csDestroying); }

    // Published properties.
    bool AllowCallFromAnotherForm() const { return allowCallFromAnotherForm_; }
    void SetAllowCallFromAnotherForm(bool Value) { allowCallFromAnotherForm_ = Value; }
    bool AllowReset() const { return allowReset_; }
    void SetAllowReset(bool Value) { allowReset_ = Value; }
    bool AlwaysMerge() const { return alwaysMerge_; }
    void SetAlwaysMerge(bool Value) { alwaysMerge_ = Value; }
    bool AlwaysSaveText() const { return alwaysSaveText_; }
    void SetAlwaysSaveText(bool Value) { alwaysSaveText_ = Value; }
    bool AutoDockColor() const { return autoDockColor_; }
    void SetAutoDockColor(bool Value);
    bool AutoHideEmptyBars() const { return autoHideEmptyBars_; }
    void SetAutoHideEmptyBars(bool Value);
    bool Scaled() const { return scaled_; }
    void SetScaled(bool Value);
    TFont* Font() const { return font_.get(); }
    void SetFont(TFont* Value) { font_->Assign(Value); }
    TdxBarBackgrounds* Backgrounds() const { return backgrounds_.get(); }
    TdxBars* Bars() const { return bars_.get(); }
    int ButtonArrowWidth() const { return buttonArrowWidth_; }
    void SetButtonArrowWidth(int Value);
    bool CanCustomize() const { return canCustomize_; }
    void SetCanCustomize(bool Value) { canCustomize_ = Value; }
    TdxBarManagerCategories* Categories() const { return categories_.get(); }
    void SetCategories(TStrings* Value);
    // The parent form's colour while AutoDockColor holds.
    TColor DockColor() const;
    void SetDockColor(TColor Value);
    bool FlatCloseButton() const { return flatCloseButton_; }
    void SetFlatCloseButton(bool Value);
    TBitmap* HelpButtonGlyph() const { return helpButtonGlyph_.get(); }
    int HelpContext() const { return helpContext_; }
    void SetHelpContext(int Value) { helpContext_ = Value; }
    bool HideFloatingBarsWhenInactive() const { return hideFloatingBarsWhenInactive_; }
    void SetHideFloatingBarsWhenInactive(bool Value);
    TCustomImageList* HotImages() const { return hotImages_; }
    void SetHotImages(TCustomImageList* Value);
    TColor ImageListBkColor() const { return imageListBkColor_; }
    void SetImageListBkColor(TColor Value);
    TCustomImageList* Images() const { return images_; }
    void SetImages(TCustomImageList* Value);
    TCustomImageList* DisabledImages() const { return disabledImages_; }
    void SetDisabledImages(TCustomImageList* Value);
    TCustomImageList* DisabledLargeImages() const { return disabledLargeImages_; }
    void SetDisabledLargeImages(TCustomImageList* Value);
    const std::string& IniFileName() const { return iniFileName_; }
    void SetIniFileName(const std::string& Value) { iniFileName_ = Value; }
    TCustomImageList* LargeImages() const { return largeImages_; }
    void SetLargeImages(TCustomImageList* Value);
    // The large pictures made small (the image size), for toolbar buttons that have no small picture
    // while large icons are off: made once from LargeImages and kept while that list stays as it is.
    // nullptr without large pictures.
    TCustomImageList* SmallImagesFromLarge();
    int LargeButtonArrowWidth() const { return largeButtonArrowWidth_; }
    void SetLargeButtonArrowWidth(int Value);
    bool LargeIcons() const { return largeIcons_; }
    void SetLargeIcons(bool Value);
    TcxLookAndFeel* LookAndFeel() const { return lookAndFeel_.get(); }
    bool MakeDisabledImagesFaded() const { return makeDisabledImagesFaded_; }
    void SetMakeDisabledImagesFaded(bool Value);
    TdxBarMenuAnimations MenuAnimations() const { return menuAnimations_; }
    void SetMenuAnimations(TdxBarMenuAnimations Value);
    bool MenusShowRecentItemsFirst() const { return menusShowRecentItemsFirst_; }
    void SetMenusShowRecentItemsFirst(bool Value);
    int MostRecentItemsPercents() const { return mostRecentItemsPercents_; }
    void SetMostRecentItemsPercents(int Value);
    TdxBarDockingStyles NotDocking() const { return notDocking_; }
    void SetNotDocking(TdxBarDockingStyles Value);
    TdxBarPopupMenuLinks* PopupMenuLinks() const { return popupMenuLinks_.get(); }
    const std::string& RegistryPath() const { return registryPath_; }
    void SetRegistryPath(const std::string& Value) { registryPath_ = Value; }
    bool ShowCloseButton() const { return showCloseButton_; }
    void SetShowCloseButton(bool Value);
    bool ShowFullMenusAfterDelay() const { return showFullMenusAfterDelay_; }
    void SetShowFullMenusAfterDelay(bool Value);
    bool ShowHelpButton() const { return showHelpButton_; }
    void SetShowHelpButton(bool Value);
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool Value);
    bool ShowHintForDisabledItems() const { return showHintForDisabledItems_; }
    void SetShowHintForDisabledItems(bool Value) { showHintForDisabledItems_ = Value; }
    bool ShowShortCutInHint() const { return showShortCutInHint_; }
    void SetShowShortCutInHint(bool Value);
    bool StoreInIniFile() const { return storeInIniFile_; }
    void SetStoreInIniFile(bool Value) { storeInIniFile_ = Value; }
    bool StoreInRegistry() const { return storeInRegistry_; }
    void SetStoreInRegistry(bool Value) { storeInRegistry_ = Value; }
    bool StretchGlyphs() const { return stretchGlyphs_; }
    void SetStretchGlyphs(bool Value) { stretchGlyphs_ = Value; }
    TdxBarManagerStyle Style() const { return style_; }
    void SetStyle(TdxBarManagerStyle Value);
    bool SunkenBorder() const { return sunkenBorder_; }
    void SetSunkenBorder(bool Value);
    bool UseF10ForMenu() const { return useF10ForMenu_; }
    void SetUseF10ForMenu(bool Value) { useF10ForMenu_ = Value; }
    bool UseFullReset() const { return useFullReset_; }
    void SetUseFullReset(bool Value) { useFullReset_ = Value; }
    bool UseLargeImagesForLargeIcons() const { return useLargeImagesForLargeIcons_; }
    void SetUseLargeImagesForLargeIcons(bool Value);
    bool UseSystemFont() const { return useSystemFont_; }
    void SetUseSystemFont(bool Value);
    int WaitForDockingTime() const { return waitForDockingTime_; }
    void SetWaitForDockingTime(int Value);

    // Events.
    TdxBarEvent OnBarAdd, OnBarDelete, OnBarAfterReset, OnBarBeforeReset, OnBarClose, OnBarDockingStyleChange;
    TdxBarVisibleChangeEvent OnBarVisibleChange;
    TdxBarItemLinkEvent OnItemLinkAdd, OnItemLinkChange, OnItemLinkDelete;
    TNotifyEvent OnCloseButtonClick, OnHelpButtonClick, OnHideCustomizingForm, OnShowCustomizingForm;
    TdxBarCanDockingEvent OnDocking;
    TdxBarMenuMergeEvent OnMenuMerge;
    TdxBarShowPopupEvent OnShowCustomizingPopup, OnShowToolbarsPopup;
    TdxBarClickItemEvent OnClickItem;

    // Virtual operations.
    virtual void DoClickItem(TdxBarItem* Item);
    virtual bool CanDocking(TdxBar* Bar, TdxBarDockingStyle Style, bars::DockControl* DockControl);
    virtual const bars::Painter* GetPainterClass();
    virtual void DoBarAfterReset(TdxBar* Bar);
    virtual void DoBarBeforeReset(TdxBar* Bar);
    virtual void DoBarClose(TdxBar* Bar);
    virtual void DoBarDockingStyleChange(TdxBar* Bar);
    virtual void DoCloseButtonClick();
    virtual void DoHelpButtonClick();
    virtual void DoShowCustomizingPopup(TdxBarItemLinks* ItemLinks);
    virtual void DoShowToolbarsPopup(TdxBarItemLinks* ItemLinks);
    // A copy of the parent form as designed, read from the form class's stored definition (the
    // manager's part only, without events), which the resets read; nullptr when the form has no stored
    // definition or it names no such manager. Read failures reach the caller.
    virtual std::unique_ptr<TCustomForm> CreateDesignStateForm();
    // Asks (Yes/No, No the default) and then forgets the usage data: every link gets back its designed
    // most-recently-used mark, bars and links matched with the design by name.
    void ConfirmResetToDesignState();
    void ResetToDesignState();

    // Style and painter.
    TdxBarManagerStyle GetEffectivePaintStyle() const;
    bool IsNotStandardStyle() const { return GetEffectivePaintStyle() != bmsStandard; }
    bool UseRecentItems() const { return IsNotStandardStyle() && menusShowRecentItemsFirst_; }
    // Never nullptr: without a registered painter, the metrics of the base painter.
    const bars::Painter* PainterClass() const;
    bool ThemesAvailable() const { return themesAvailable_; }
    bool StyleChanging() const { return styleChanging_; }
    void StyleChanged();
    void UpdatePainter();
    void CalcImageMetrics();
    void RefreshAll();
    void FontChanged();
    void ReadSystemFont();
    void RecreateBrushes();
    HFONT FontHandle() const { return fontHandle_; }
    // The five brushes of the flat and Office 2003 painters, and the XP toolbar brush (0 without themes).
    HBRUSH FlatBrush(int Index) const { return Index >= 0 && Index < 5 ? flatBrushes_[Index] : nullptr; }
    HBRUSH XPBrush() const { return xpBrush_; }

    // Metrics.
    int ImageSize() const { return imageSize_; }
    int ButtonWidth() const { return buttonWidth_; }
    int ButtonHeight() const { return buttonHeight_; }
    int ButtonArrowWidthMetric() const { return arrowWidthMetric_; }
    int BeforeGripSize() const { return beforeGripSize_; }
    int GripAreaSize() const { return gripAreaSize_; }
    int SeparatorMargin() const { return separatorMargin_; }
    int RecentItemsThreshold() const { return recentItemsThreshold_; }

    // Redraw lock: callers save the old value and restore it, so locks nest.
    bool LockUpdate() const { return lockUpdate_; }
    void SetLockUpdate(bool Value);
    void DesignerModified();
    bool NotifyDesigner() const { return notifyDesigner_; }
    void SetNotifyDesigner(bool Value) { notifyDesigner_ = Value; }
    // The customizing window is open (it comes with the customizing part of the library).
    bool IsCustomizing() const { return isCustomizing_; }
    // Enters or leaves customizing mode: the bars rebuild their controls and the customizing window
    // opens or closes (where the customizing window is installed). Entering does nothing while the window
    // is open already.
    void SetIsCustomizing(bool Value);
    bool IsCustomizingOrDesigning() const { return isCustomizing_ || designing_; }
    // The user changed what a stored layout of the bars holds: docked, floated, moved, sized, shown,
    // hidden, reset or customized a bar, or used a command whose use the layout keeps. Noted where the
    // user's action lands (not while the manager loads, reads a layout or goes); a store that left a
    // layout it could not read whole in place writes over it only once this is set.
    bool ChangedByUser() const { return changedByUser_; }
    void NoteUserChange();
    // While the customizing window is open the bars change at the user's hand only: the window's and
    // the customizing popups' edits of bars, links and options are the user's.
    void NoteCustomizingChange() {
        if (isCustomizing_) NoteUserChange();
    }
    void ForgetUserChanges() { changedByUser_ = false; }
    // The registry key of a stored layout that could not be read whole, which stays in its store as it
    // is until the user changes the bars; empty for none.
    const std::string& KeptLayoutKey() const { return keptLayoutKey_; }
    void SetKeptLayoutKey(const std::string& Value) { keptLayoutKey_ = Value; }
    bool DraggingItem() const { return draggingItem_; }
    void SetDraggingItem(bool Value) { draggingItem_ = Value; }
    // The item being dragged in customizing mode and its link (none for a command of the customizing
    // window); set from the press that may start a drag until the drag ends. A link that goes clears it.
    TdxBarItem* DragItem() const { return dragItem_; }
    TdxBarItemLink* DragLink() const { return dragLink_; }
    void SetDragged(TdxBarItem* Item, TdxBarItemLink* Link) {
        dragItem_ = Item;
        dragLink_ = Link;
    }
    // A menu window closed while one of its lines was being dragged: hidden, it keeps the mouse for the
    // drag, which destroys it at its end.
    HWND DragWindow() const { return dragWindow_; }
    void SetDragWindow(HWND Value) { dragWindow_ = Value; }
    bool InMenuLoop() const { return inMenuLoop_; }
    void SetInMenuLoop(bool Value) { inMenuLoop_ = Value; }
    bool ParentFormActive() const { return parentFormActive_; }
    void SetParentFormActive(bool Value) { parentFormActive_ = Value; }
    bool RealigningDockControls() const { return realigningDockControls_; }
    int ReadStateCount() const { return readStateCount_; }
    bool CanReset() const { return readStateCount_ == 1 && allowReset_; }
    // A customizing popup is writing an item's caption: the changes it makes are its own.
    bool CustomizingPopupEditing() const { return customizingPopupEditing_; }
    void SetCustomizingPopupEditing(bool Value) { customizingPopupEditing_ = Value; }
    // The link being moved while customizing.
    TdxBarItemLink* MovingLink() const { return movingLink_; }
    void SetMovingLink(TdxBarItemLink* Value) { movingLink_ = Value; }
    // A bar is being reset to its design state.
    bool IsResetting() const { return resetting_; }
    void SetResetting(bool Value) { resetting_ = Value; }

    bars::ItemControl* SelectedItem() const { return selectedItem_; }
    void SetSelectedItem(bars::ItemControl* Control);
    // A control, link or bar window that goes lets go of the selection it holds, without the other
    // bars' selections or menus being touched.
    void ForgetSelectedItem(bars::ItemControl* Control) {
        if (selectedItem_ == Control) selectedItem_ = nullptr;
    }
    // The toolbar window in keyboard mode, nullptr when none: its keys are its own, not shortcuts.
    bars::BarControl* FocusedBarControl() const { return focusedBarControl_; }
    void SetFocusedBarControl(bars::BarControl* Value) { focusedBarControl_ = Value; }
    TdxBar* MainMenuBar() const { return mainMenuBar_; }
    // The MDI child whose menus the main menu bar shows, whether it is maximized, and whether its own
    // main menu bar showed before its menus were merged.
    HWND LastActiveMDIChild() const { return lastActiveMDIChild_; }
    void SetLastActiveMDIChild(HWND Value) { lastActiveMDIChild_ = Value; }
    bool MDIChildZoomed() const { return mdiChildZoomed_; }
    void SetMDIChildZoomed(bool Value) { mdiChildZoomed_ = Value; }
    bool ChildMenuWasVisible() const { return childMenuWasVisible_; }
    void SetChildMenuWasVisible(bool Value) { childMenuWasVisible_ = Value; }
    void SetMainMenuBar(TdxBar* Value) { mainMenuBar_ = Value; }
    HWND GetParentHandle() const;

    // Items, groups, popup menus, dock sites.
    int ItemCount() const { return static_cast<int>(items_.size()); }
    TdxBarItem* Items(int Index) const;
    int IndexOfItem(const TdxBarItem* Item) const;
    void AddItem(TdxBarItem* Item);
    void RemoveItem(TdxBarItem* Item);
    int GroupCount() const { return static_cast<int>(groups_.size()); }
    TComponent* Groups(int Index) const;
    void RegisterGroup(TComponent* Group);
    void UnregisterGroup(TComponent* Group);
    // Puts a registered group at NewIndex (clamped to the list).
    void MoveGroup(TComponent* Group, int NewIndex);
    int PopupMenuCount() const { return static_cast<int>(popupMenus_.size()); }
    TdxBarPopupMenu* PopupMenus(int Index) const;
    void AddPopupMenu(TdxBarPopupMenu* Menu);
    void RemovePopupMenu(TdxBarPopupMenu* Menu);
    int DockControlCount() const { return static_cast<int>(dockControls_.size()); }
    bars::DockControl* DockControls(int Index) const;
    void RegisterDockControl(bars::DockControl* DockControl);
    void UnregisterDockControl(bars::DockControl* DockControl);
    // "Form.Name" is looked up on that form, a name without a dot on the parent form.
    bars::DockControl* FindDockControl(const std::string& Name) const;

    // Categories.
    TdxBarItemVisible CategoryItemsVisible(int Index) const;
    bool CategoryVisible(int Index) const;
    void SetCategoryItemsVisible(int Index, TdxBarItemVisible Value);
    void SetCategoryVisible(int Index, bool Value);
    int CategoryIndexOfVisible(int N) const;
    // Fills List with the items of category Index, in item order; answers their number.
    int GetItemsByCategory(int Index, std::vector<TdxBarItem*>& List) const;

    // Lookups: bars by name or caption with letter case, items by name without.
    TdxBar* BarByName(const std::string& Name) const;
    TdxBar* BarByCaption(const std::string& Caption) const;
    TdxBarItem* ItemByName(const std::string& Name) const;
    // As GetItemsByCategory, but at run time only the items that show.
    int GetVisibleItemsByCategory(int Index, std::vector<TdxBarItem*>& List) const;
    // Reorders the item list (indexes outside it change nothing), then tells the item list changed.
    void MoveItem(int CurIndex, int NewIndex);
    void ExchangeItems(int Index1, int Index2);

    // The painter's floating border; the grip area of a bar that can dock somewhere, else the
    // painter's extra size of a bar that only floats.
    int GetBarFloatingBorderWidth() const;
    int GetBarFloatingBorderHeight() const;
    int GetBarGripSize(const TdxBar* Bar) const;
    // Closes the chain of the toolbar or menu in keyboard or menu mode, when there is one.
    static void HideActiveBarControl();
    // An item with a category changed while the form is designed: the customizing window's command list
    // shows it anew (not while the manager loads or goes, nor while a customizing popup edits an item).
    void NotifyItemChangedInDesign(TdxBarItem* Item);
    // A blend of the button face, highlight and window colours by the percentages given.
    static TColor MakeFlatColor(int FacePercent, int HighlightPercent, int WindowPercent);

    // Adds to ItemLinks a checked button for each toolbar the user may show or hide (its Tag the bar's
    // index) and, when the manager can be customized, the customize entry; the buttons go to Made, which
    // the caller frees after the links. Then OnShowToolbarsPopup fires. Answers the number of toolbars.
    int FillToolbarsPopup(TdxBarItemLinks* ItemLinks, std::vector<std::unique_ptr<TdxBarItem>>& Made);

    // Bars whose windows went with the form's window, to be shown again when the form has a new one;
    // the list exists from the first dock site's or toolbar's loss until the form's new window.
    bool HasBarsToShow() const { return barsToShow_ != nullptr; }
    const std::vector<TdxBar*>* BarsToShow() const { return barsToShow_.get(); }
    void CreateBarsToShow();
    void AddBarToShow(TdxBar* Bar);
    void RemoveBarToShow(const TdxBar* Bar);
    void FreeBarsToShow() { barsToShow_.reset(); }

    // The entry that a toolbars popup gets last (only when CanCustomize), and the popup's clicks.
    bool ToolbarsPopupHasCustomize() const { return canCustomize_; }
    void ToolbarsPopupClick(int Tag);

private:
    std::unique_ptr<std::vector<TdxBar*>> barsToShow_;
    friend class TdxBarManagerCategories;
    void CheckOwner(TComponent* AOwner);
    void Construct();
    void FreeBrushes();
    void CreateBrushes();
    enum class ImageListKind { Images, Large, Hot, Disabled, DisabledLarge };
    // One of the five image lists changed: the items that take their pictures from it are told.
    void ImageListChanged(ImageListKind Kind);
    void SetImageList(ImageListKind Kind, TCustomImageList* Value);
    void ForEachBarControl(const std::function<void(bars::BarControl&)>& Each) const;
    void RepaintBars();
    // The main menu bar shows its close button differently: its window drops a selection and rebuilds.
    void MainMenuButtonsChanged();
    void RefreshCustomizingForm();
    void RefreshCustomizingHelpButton();
    void CategoriesChanged();
    void ReadDockControlHeights(TReader& Reader);
    int64_t NotDockingBits() const { return notDocking_.Bits(); }
    void SetNotDockingBits(int64_t Value) {
        SetNotDocking(TdxBarDockingStyles::FromBits(static_cast<uint32_t>(Value)));
    }
    TPersistent* FontObject() const;
    TPersistent* BackgroundsObject() const;
    TPersistent* BarsObject() const;
    TPersistent* CategoriesObject() const;
    TPersistent* LookAndFeelObject() const;
    TPersistent* PopupMenuLinksObject() const;

    bool notInitialized_ = true;
    TCustomForm* parentForm_ = nullptr;
    bool designing_ = false;

    bool allowCallFromAnotherForm_ = false;
    bool allowReset_ = true;
    bool alwaysMerge_ = false;
    bool alwaysSaveText_ = false;
    bool autoDockColor_ = true;
    bool autoHideEmptyBars_ = false;
    bool scaled_ = true;
    std::unique_ptr<TFont> font_;
    std::unique_ptr<TdxBarBackgrounds> backgrounds_;
    std::unique_ptr<TdxBars> bars_;
    int buttonArrowWidth_ = 11;
    bool canCustomize_ = true;
    std::unique_ptr<TdxBarManagerCategories> categories_;
    TColor dockColor_ = clBtnFace;
    bool flatCloseButton_ = false;
    std::unique_ptr<TBitmap> helpButtonGlyph_;
    int helpContext_ = 0;
    bool hideFloatingBarsWhenInactive_ = true;
    TCustomImageList* hotImages_ = nullptr;
    TColor imageListBkColor_ = clFuchsia;
    TCustomImageList* images_ = nullptr;
    TCustomImageList* disabledImages_ = nullptr;
    TCustomImageList* disabledLargeImages_ = nullptr;
    std::string iniFileName_;
    TCustomImageList* largeImages_ = nullptr;
    std::unique_ptr<TCustomImageList> smallFromLarge_;
    const TCustomImageList* smallFromLargeSource_ = nullptr;
    uint64_t smallFromLargeStamp_ = 0;
    int largeButtonArrowWidth_ = 13;
    bool largeIcons_ = false;
    std::unique_ptr<TcxLookAndFeel> lookAndFeel_;
    bool makeDisabledImagesFaded_ = false;
    TdxBarMenuAnimations menuAnimations_ = maNone;
    bool menusShowRecentItemsFirst_ = true;
    int mostRecentItemsPercents_ = 95;
    TdxBarDockingStyles notDocking_;
    std::unique_ptr<TdxBarPopupMenuLinks> popupMenuLinks_;
    std::string registryPath_;
    bool showCloseButton_ = false;
    bool showFullMenusAfterDelay_ = true;
    bool showHelpButton_ = false;
    bool showHint_ = true;
    bool showHintForDisabledItems_ = true;
    bool showShortCutInHint_ = false;
    bool storeInIniFile_ = false;
    bool storeInRegistry_ = false;
    bool stretchGlyphs_ = true;
    TdxBarManagerStyle style_ = bmsEnhanced;
    bool sunkenBorder_ = false;
    bool useF10ForMenu_ = true;
    bool useFullReset_ = false;
    bool useLargeImagesForLargeIcons_ = false;
    bool useSystemFont_ = false;
    int waitForDockingTime_ = 21;

    std::vector<TdxBarItem*> items_;
    std::vector<TComponent*> groups_;
    std::vector<TdxBarPopupMenu*> popupMenus_;
    std::vector<bars::DockControl*> dockControls_;
    std::unique_ptr<TChangeLink> imagesLink_, largeImagesLink_, hotImagesLink_, disabledImagesLink_,
        disabledLargeImagesLink_;
    std::unique_ptr<TdxThemeChangedNotificator> themeNotificator_;
    TdxBar* mainMenuBar_ = nullptr;
    HWND lastActiveMDIChild_ = nullptr;
    bool mdiChildZoomed_ = false;
    bool childMenuWasVisible_ = false;
    bars::ItemControl* selectedItem_ = nullptr;
    bars::BarControl* focusedBarControl_ = nullptr;
    TdxBarItemLink* movingLink_ = nullptr;
    TdxBarItem* dragItem_ = nullptr;
    HWND dragWindow_ = nullptr;
    TdxBarItemLink* dragLink_ = nullptr;

    bool lockUpdate_ = false;
    bool styleChanging_ = false;
    bool notifyDesigner_ = false;
    bool isCustomizing_ = false;
    bool changedByUser_ = false;
    bool customizingPopupEditing_ = false;
    std::string keptLayoutKey_;
    bool draggingItem_ = false;
    bool inMenuLoop_ = false;
    bool parentFormActive_ = false;
    bool realigningDockControls_ = false;
    bool internalFontChange_ = false;
    bool resetting_ = false;
    int readStateCount_ = 0;

    const bars::Painter* painter_ = nullptr;
    bool themesAvailable_ = false;
    int imageSize_ = 16;
    int buttonWidth_ = 0;
    int buttonHeight_ = 0;
    int arrowWidthMetric_ = 0;
    int beforeGripSize_ = 0;
    int gripAreaSize_ = 0;
    int separatorMargin_ = 0;
    int recentItemsThreshold_ = 0;
    HFONT fontHandle_ = nullptr;
    HBRUSH flatBrushes_[5] = {};
    HBRUSH xpBrush_ = nullptr;
};
