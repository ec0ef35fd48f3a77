#pragma once
// Item links: each places one item on one toolbar, menu, popup menu or sub-item, with the settings of
// that placement and its own recent-use data. A collection of links belongs to one owner, derives the
// lists its window shows, orders its links by recent use, finds accelerators and shortcuts, and owns
// the window that shows it.
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "bars/core/bar_types.h"
#include "bars/core/bar_views.h"
#include "platform/rtl/collection.h"
#include "platform/vcl/control_types.h"
#include "platform/vcl/shortcut.h"

class TBitmap;
class TPropertyTable;

class TdxBarItemLink : public TCollectionItem {
public:
    explicit TdxBarItemLink(TCollection* Collection);
    ~TdxBarItemLink() override;
    std::string ClassName() const override { return "TdxBarItemLink"; }
    static const TPropertyTable& Table();
    const TPropertyTable* PublishedProperties() const override { return &Table(); }
    void Assign(TPersistent* Source) override;

    TdxBarItemLinks* Links() const;
    TdxBarManager* BarManager() const;
    TObject* Owner() const;
    bars::BarControl* BarControl() const;
    bars::ItemControl* Control() const { return control_.get(); }

    TdxBarItem* Item() const { return item_; }
    // None frees the link (through its collection). A sub-item may not hold itself: the link is then
    // left without an item and EInvalidOperation 65164 is raised.
    void SetItem(TdxBarItem* Value);
    // The stored flag.
    bool StoredBeginGroup() const { return beginGroup_; }
    // The separator a window draws: a hidden link's separator moves to the next shown link.
    bool BeginGroup() const;
    void SetBeginGroup(bool Value);
    bool MostRecentlyUsed() const { return mostRecentlyUsed_; }
    void SetMostRecentlyUsed(bool Value);
    const std::string& UserCaption() const { return userCaption_; }
    void SetUserCaption(const std::string& Value);
    TdxBarUserDefines UserDefine() const { return userDefine_; }
    void SetUserDefine(TdxBarUserDefines Value);
    TBitmap* UserGlyph() const { return userGlyph_.get(); }
    void SetUserGlyph(TBitmap* Value);
    TdxBarPaintStyle UserPaintStyle() const { return userPaintStyle_; }
    void SetUserPaintStyle(TdxBarPaintStyle Value);
    int UserWidth() const { return userWidth_; }
    void SetUserWidth(int Value);
    bool Visible() const { return visible_; }
    void SetVisible(bool Value);
    bool LoadedVisible() const { return loadedVisible_; }
    void SetLoadedVisible(bool Value) { loadedVisible_ = Value; }
    int UseCount() const { return useCount_; }
    void SetUseCount(int Value) { useCount_ = Value; }
    int Data() const { return data_; }
    void SetData(int Value) { data_ = Value; }
    RECT ItemRect() const { return itemRect_; }
    void SetItemRect(const RECT& Value) { itemRect_ = Value; }
    TdxBarItemLink* MasterLink() const { return masterLink_; }
    void SetMasterLink(TdxBarItemLink* Value) { masterLink_ = Value; }
    // What a stored layout read for this link, applied later.
    int LoadedRecentIndex() const { return loadedRecentIndex_; }
    void SetLoadedRecentIndex(int Value) { loadedRecentIndex_ = Value; }
    int LoadedUseCount() const { return loadedUseCount_; }
    void SetLoadedUseCount(int Value) { loadedUseCount_ = Value; }

    // Effective values.
    std::string Caption() const;
    TBitmap* Glyph() const;
    TdxBarPaintStyle PaintStyle() const;
    int Width() const;

    int AvailableIndex() const;
    int VisibleIndex() const;
    int ShownIndex() const;
    int RecentIndex() const;
    void SetRecentIndex(int Value);
    bool CanVisible() const;
    bool ContainsItem(const TdxBarItem* AItem) const;

    void Use(bool Increment);
    void ResetUsage();
    void MoveToRecentEnd();
    void CopyRecentFrom(TdxBarItemLink* ALink);
    void SaveRecentIndex();
    void RestoreRecentIndex();
    void CreateControl();
    void FreeControl();
    void Changed();

private:
    friend class TdxBarItemLinks;
    void SetItemField(TdxBarItem* Value);
    TComponent* ItemComponent() const;
    void SetItemComponent(TdxBarItem* Value);
    int64_t UserDefineBits() const { return userDefine_.Bits(); }
    void SetUserDefineBits(int64_t Value) {
        SetUserDefine(TdxBarUserDefines::FromBits(static_cast<uint32_t>(Value)));
    }

    bool beginGroup_ = false;
    std::unique_ptr<bars::ItemControl> control_;
    int data_ = 0;
    TdxBarItem* item_ = nullptr;
    RECT itemRect_{0, 0, 0, 0};
    int loadedRecentIndex_ = -1;
    int loadedUseCount_ = 0;
    bool loadedVisible_ = true;
    bool mostRecentlyUsed_ = true;
    int savedRecentIndex_ = 0;
    int useCount_ = 0;
    std::string userCaption_;
    TdxBarUserDefines userDefine_;
    std::unique_ptr<TBitmap> userGlyph_;
    TdxBarPaintStyle userPaintStyle_ = psStandard;
    int userWidth_ = 0;
    bool visible_ = true;
    TdxBarItemLink* masterLink_ = nullptr;
};

class TdxBarItemLinks : public TCollection {
public:
    // Owner: the toolbar, popup menu, sub-item or other holder of the collection (nullptr: the manager).
    TdxBarItemLinks(TdxBarManager* ABarManager, TObject* AOwner);
    ~TdxBarItemLinks() override;
    std::string ClassName() const override { return "TdxBarItemLinks"; }
    void Assign(TPersistent* Source) override;

    TdxBarItemLink* Items(int Index) const { return static_cast<TdxBarItemLink*>(TCollection::Items(Index)); }
    TdxBarItemLink* Add() { return static_cast<TdxBarItemLink*>(TCollection::Add()); }
    TdxBarManager* BarManager() const { return barManager_; }
    void SetBarManager(TdxBarManager* Value) { barManager_ = Value; }
    TObject* LinksOwner() const { return owner_; }

    const std::vector<TdxBarItemLink*>& AvailableLinks() const { return available_; }
    const std::vector<TdxBarItemLink*>& VisibleLinks() const { return visible_; }
    const std::vector<TdxBarItemLink*>& ShownLinks() const { return shown_; }
    int AvailableItemCount() const { return static_cast<int>(available_.size()); }
    int VisibleItemCount() const { return static_cast<int>(visible_.size()); }
    int CanVisibleItemCount() const { return static_cast<int>(shown_.size()); }
    const std::vector<TdxBarItemLink*>& RecentOrder() const { return recentOrder_; }

    bars::BarControl* BarControl() const { return barControl_.get(); }
    // Makes the owner's window (a toolbar window for a bar, a menu window for others); none when no
    // window library is there.
    bars::BarControl* CreateBarControl();
    void FreeBarControl();
    // Hands the window over to the caller (which frees it), the collection keeping none.
    std::unique_ptr<bars::BarControl> ReleaseBarControl() { return std::move(barControl_); }
    // Takes a window made elsewhere as the one that shows these links.
    void SetBarControl(std::unique_ptr<bars::BarControl> Control) { barControl_ = std::move(Control); }

    int RecentItemCount() const { return recentItemCount_; }
    void SetRecentItemCount(int Value);
    void RestoreRecentItemCount();
    int GetRecentItemCount() const;
    bool UseRecentItems() const { return useRecentItems_; }
    void SetUseRecentItems(bool Value) { useRecentItems_ = Value; }
    bool UseRecentItemsEffective() const;
    bool Assigning() const { return assigning_; }

    void RebuildLists();
    void ClearItemRects();
    int FitCount() const;
    TdxBarItemLink* FirstSelectable() const;
    TdxBarItemLink* LastSelectable() const;
    TdxBarItemLink* NextSelectable(TdxBarItemLink* ALink) const;
    TdxBarItemLink* PrevSelectable(TdxBarItemLink* ALink) const;

    bool ExecuteShortCut(TShortCut ShortCut);
    // The link whose caption's accelerator answers Key with Shift, after Current.
    TdxBarItemLink* FindAccelLink(WORD Key, TShiftState Shift, TdxBarItemLink* Current) const;
    void UpdateItemActions();
    bool ContainsItem(const TdxBarItem* AItem) const;

    void RestoreRecentState(bool RestoreVisible);
    // While one lives the links take back a state read from a stored layout or copied: adding them,
    // resetting and showing them is no use of the menu that holds them, so the bar that menu hangs
    // from keeps its own recent-use order.
    class Restoring {
    public:
        explicit Restoring(TdxBarItemLinks* Links)
            : links_(Links), was_(std::exchange(Links->restoringRecentState_, true)) {}
        ~Restoring() { links_->restoringRecentState_ = was_; }
        Restoring(const Restoring&) = delete;
        Restoring& operator=(const Restoring&) = delete;

    private:
        TdxBarItemLinks* links_;
        bool was_;
    };
    void AssignRecentState(TdxBarItemLinks* Source);
    // The same, each link taking the mark of the source link of the same item name (by index would
    // pair a link with another item's once the user has moved, added or removed links).
    void AssignRecentStateByName(TdxBarItemLinks* Source);

    TNotifyEvent OnChange;

    // Moves a link within the recent-use order (clamped to the last place) without counting a use.
    void MoveInRecentOrder(TdxBarItemLink* Link, int Position);

protected:
    TPersistent* GetOwner() const override;
    void Update(TCollectionItem* Item) override;

private:
    friend class TdxBarItemLink;
    void RemoveFromLists(TdxBarItemLink* Link);
    // The links that are fully made and not yet freed, in collection order.
    std::vector<TdxBarItemLink*> LiveLinks() const;
    bool IsDesignRelevant() const;
    bool OwnerIsDestroying() const;
    bool OwnerIsLoading() const;
    void ReportDesignChange();
    // A stored layout keeps these links and what the user does with them: a toolbar's (not a hidden
    // bar's, such as the quick customizing drop-down's) or a named sub-item's.
    bool InStoredLayout() const;
    // In customizing mode a change of these links is the user's.
    void NoteCustomizingChange();
    std::vector<TdxBarItemLink*> Selectable() const;

    TdxBarManager* barManager_;
    TObject* owner_;
    std::vector<TdxBarItemLink*> available_;
    std::vector<TdxBarItemLink*> visible_;
    std::vector<TdxBarItemLink*> shown_;
    std::unique_ptr<bars::BarControl> barControl_;
    int prevRecentItemCount_ = -1;
    std::vector<TdxBarItemLink*> recentOrder_;
    int recentItemCount_ = -1;
    bool useRecentItems_ = true;
    bool assigning_ = false;
    bool restoringRecentState_ = false;
};

// Where Link stands in List; -1 when it is not there.
int IndexOfLink(const std::vector<TdxBarItemLink*>& List, const TdxBarItemLink* Link);

// Whether the caption's accelerator (the character after its last single "&") answers Key with Shift.
bool CaptionAcceptsKey(const std::string& Caption, WORD Key, TShiftState Shift);
