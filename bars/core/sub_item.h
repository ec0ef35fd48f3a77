#pragma once
// Sub-items: items that hold their own links and open them as a menu (the "&File" menu of a menu bar);
// a detachable one tears off into the toolbar it names.
#include "bars/core/bar_item.h"

class TdxBarItemLinks;

class TCustomdxBarSubItem : public TdxBarItem {
public:
    explicit TCustomdxBarSubItem(TComponent* AOwner);
    ~TCustomdxBarSubItem() override;
    std::string ClassName() const override { return "TCustomdxBarSubItem"; }
    static const TPropertyTable& Table();
    const TPropertyTable* PublishedProperties() const override { return &Table(); }

    TdxBarItemLinks* ItemLinks() const { return itemLinks_.get(); }
    void SetItemLinks(TdxBarItemLinks* Value);
    int BarSize() const { return barSize_; }
    void SetBarSize(int Value) { barSize_ = Value < 0 ? 0 : Value; }
    bool Detachable() const { return detachable_; }
    void SetDetachable(bool Value) { detachable_ = Value; }
    // The index of the toolbar the menu detaches into, -1 for none.
    int DetachingBar() const;
    void SetDetachingBar(int Value);
    bool ShowCaption() const { return showCaption_; }
    void SetShowCaption(bool Value);

    void Loaded() override;
    void BarManagerChanged() override;
    bool CanClicked() const override { return false; }
    void BarNotification(TOperation Operation, TdxBar* ABar) override;
    virtual bool IsDesignRelevant() const { return true; }
    bool ExecuteShortCut(TShortCut ShortCut);
    // Whether a link to AItem may stand in this sub-item's links without the menu holding itself.
    bool CanContainItem(const TdxBarItem* AItem) const;

    TNotifyEvent OnCloseUp, OnDetaching, OnPopup;
    TdxBarPaintSubMenuBarEvent OnPaintBar;
    // Fires OnPaintBar for the band of the sub-item's menu.
    virtual void DoPaintBar(TCanvas* Canvas, const RECT& R);
    virtual void DoCloseUp();
    virtual void DoDetaching();
    virtual void DoPopup();

private:
    std::unique_ptr<TdxBarItemLinks> itemLinks_;
    int barSize_ = 0;
    bool detachable_ = false;
    TdxBar* detachingBar_ = nullptr;
    int loadedDetachingBar_ = -1;
    bool showCaption_ = true;
};

class TdxBarSubItem : public TCustomdxBarSubItem {
public:
    explicit TdxBarSubItem(TComponent* AOwner) : TCustomdxBarSubItem(AOwner) {}
    std::string ClassName() const override { return "TdxBarSubItem"; }
    static const TPropertyTable& Table();
    const TPropertyTable* PublishedProperties() const override { return &Table(); }

    bool AllowCustomizing() const { return allowCustomizing_; }
    void SetAllowCustomizing(bool Value) { allowCustomizing_ = Value; }
    // Made by the quick-customization popup for itself, not part of the form's design.
    bool Temporary() const { return temporary_; }
    void SetTemporary(bool Value) { temporary_ = Value; }
    bool IsDesignRelevant() const override { return !temporary_; }

private:
    bool allowCustomizing_ = true;
    bool temporary_ = false;
};
