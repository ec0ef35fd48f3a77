#pragma once
// A bar item: one command (a button, an edit box, a sub-menu ...) that links place on any number of
// toolbars, menus and popup menus. The item holds what every placement shares; it belongs to the bar
// manager of its form.
#include <memory>
#include <string>
#include <vector>

#include "bars/core/bar_types.h"
#include "bars/core/bar_views.h"
#include "platform/rtl/component.h"
#include "platform/vcl/actions.h"

class TBitmap;
class TBasicAction;
class TCustomImageList;
class TdxBarItemActionLink;
class TPropertyTable;
struct TPropInfo;

class TdxBarItem : public TComponent {
public:
    explicit TdxBarItem(TComponent* AOwner);
    ~TdxBarItem() override;
    std::string ClassName() const override { return "TdxBarItem"; }
    static const TPropertyTable& Table();
    const TPropertyTable* PublishedProperties() const override { return &Table(); }

    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void ReadState(TReader& Reader) override;
    void SetName(const std::string& NewName) override;
    bool HasParent() const override { return category_ > -1; }
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* Value) override;

    // Being read while its manager loads (or while it has no manager).
    bool IsLoading() const;
    bool IsDestroying() const { return ComponentState().Contains(csDestroying); }
    TdxBarManager* BarManager() const { return barManager_; }
    // Leaves the old manager's items and joins the new one's.
    void SetBarManager(TdxBarManager* Value);

    TBasicAction* Action() const;
    void SetAction(TBasicAction* Value);
    TdxBarItemActionLink* ActionLink() const { return actionLink_.get(); }
    TdxBarItemAlign Align() const { return align_; }
    void SetAlign(TdxBarItemAlign Value);
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& Value);
    int Category() const { return category_; }
    void SetCategory(int Value);
    // Written without any notification (categories renumber their items so).
    void SetCategoryField(int Value) { category_ = Value; }
    const std::string& Description() const { return description_; }
    void SetDescription(const std::string& Value);
    // True while the customizing window is open for an item with a category; else the stored value.
    bool Enabled() const;
    bool StoredEnabled() const { return enabled_; }
    void SetEnabled(bool Value);
    TBitmap* Glyph() const { return glyph_.get(); }
    void SetGlyph(TBitmap* Value);
    int HelpContext() const { return helpContext_; }
    void SetHelpContext(int Value) { helpContext_ = Value; }
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& Value) { hint_ = Value; }
    int ImageIndex() const { return imageIndex_; }
    TShortCut ShortCut() const { return shortCut_; }
    void SetShortCut(TShortCut Value);
    bool UnclickAfterDoing() const { return unclickAfterDoing_; }
    void SetUnclickAfterDoing(bool Value) { unclickAfterDoing_ = Value; }
    // The streamed value while loading.
    TdxBarItemVisible Visible() const { return IsLoading() ? loadedVisible_ : visible_; }
    void SetVisible(TdxBarItemVisible Value);
    TdxBarItemVisible LoadedVisible() const { return loadedVisible_; }
    // Whether it shows now: by its rule, its content and the manager's customizing or design state.
    bool IsVisibleNow() const;

    const TNotifyEvent& OnClick() const { return onClick_; }
    void SetOnClick(const TNotifyEvent& Value);
    TNotifyEvent OnLoaded;
    TNotifyEvent OnDestroy;

    // Links.
    int LinkCount() const { return static_cast<int>(links_.size()); }
    TdxBarItemLink* Links(int Index) const;
    void AddLink(TdxBarItemLink* Link);
    void RemoveLink(TdxBarItemLink* Link);
    TdxBarItemLink* FirstShownLink() const;
    bool HasControls() const;
    int Index() const;
    const bars::Painter* GetPainter() const;
    bool HasImageInList() const;

    // Clicks the item when it can be clicked (not a sub-item or an edit).
    virtual void Click();
    virtual void DirectClick();

    // Virtual operations, in the order of the class.
    virtual void BarManagerChanged() {}
    virtual bool CanClicked() const { return true; }
    virtual void CaptionChanged();
    virtual void EnabledChanged();
    virtual int GetImageIndex() const { return imageIndex_; }
    virtual void SetImageIndexFromAction(int Value) { SetImageIndex(Value); }
    virtual void GlyphChanged();
    // Whether the caption's accelerator works at this link.
    virtual bool HasAccel(TdxBarItemLink* ALink) const;
    virtual bool HasContent() const { return true; }
    virtual void BarNotification(TOperation, TdxBar*) {}
    virtual void SetImageIndex(int Value);
    virtual void ShortCutChanged();
    // Repaints every control; UpdateBars rebuilds every window that shows one.
    virtual void Update();
    virtual void UpdateBars();
    virtual void VisibleChanged();
    virtual TCustomImageList* GetImages() const;
    // Hooks for images taken from the hot and large lists; no item class of the library uses them.
    virtual void HotImagesChanged() {}
    virtual void LargeImagesChanged() {}

    virtual void ActionChange(TObject* Sender, bool CheckDefaults);
    virtual void AlignChanged();

    // The properties subclasses publish from the base: "ImageIndex", "ShortCut", "OnClick" and
    // "UnclickAfterDoing".
    static TPropInfo SharedProperty(const std::string& Name);

protected:
    void AssignTo(TPersistent* Dest) override;
    virtual std::unique_ptr<TdxBarItemActionLink> CreateActionLink();
    virtual void DoClick();
    // Tells every shown control of the item; skips the selected control of an active window.
    void ForEachControl(const std::function<void(bars::ItemControl&)>& Each,
                        bool SkipActiveSelection = false);
    // Enabled as written, whatever the customizing state.
    void StoreEnabled(bool Value) { enabled_ = Value; }
    void DesignChanged();

private:
    friend class TdxBarItemActionLink;
    void DeleteAllLinks();
    void SetCaptionFromAction(const std::string& Value);

    std::unique_ptr<TdxBarItemActionLink> actionLink_;
    TdxBarItemAlign align_ = iaLeft;
    TdxBarManager* barManager_ = nullptr;
    std::string caption_;
    int category_ = -1;
    bool changingFromAction_ = false;
    std::string description_;
    bool enabled_ = true;
    std::unique_ptr<TBitmap> glyph_;
    int helpContext_ = 0;
    std::string hint_;
    int imageIndex_ = -1;
    std::vector<TdxBarItemLink*> links_;
    TdxBarItemVisible loadedVisible_ = ivAlways;
    TShortCut shortCut_ = scNone;
    bool unclickAfterDoing_ = false;
    TdxBarItemVisible visible_ = ivAlways;
    TNotifyEvent onClick_;
    // OnClick came from the action (or its link) and runs as the action.
    bool onClickIsAction_ = false;
};

// The link through which an action reaches an item.
class TdxBarItemActionLink : public TActionLink {
public:
    explicit TdxBarItemActionLink(TdxBarItem* Client) : client_(Client) {}
    std::string ClassName() const override { return "TdxBarItemActionLink"; }
    TdxBarItem* Client() const { return client_; }

    bool IsCaptionLinked() override;
    bool IsCheckedLinked() override;
    bool IsEnabledLinked() override;
    bool IsHelpContextLinked() override;
    bool IsHintLinked() override;
    bool IsImageIndexLinked() override;
    bool IsShortCutLinked() override;
    bool IsVisibleLinked() override;
    bool IsOnExecuteLinked() override;

    void SetCaption(const std::string& Value) override;
    void SetChecked(bool Value) override;
    void SetEnabled(bool Value) override;
    void SetHelpContext(int Value) override;
    void SetHint(const std::string& Value) override;
    void SetImageIndex(int Value) override;
    void SetShortCut(TShortCut Value) override;
    void SetVisible(bool Value) override;
    void SetOnExecute(const TNotifyEvent& Value) override;

private:
    TdxBarItem* client_;
};

TdxBarItemVisible VisibleToItemVisible(bool Value);
