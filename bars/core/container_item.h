#pragma once
// Items that expand, inside the menu that shows them, into links made on the fly: a list item into one
// button per string of its list ("&1 first", "&2 second"...), a container item into copies of its own
// links.
#include <memory>
#include <string>
#include <vector>

#include "bars/core/sub_item.h"

class TStringList;
class TdxBarButton;

class TCustomdxBarContainerItem : public TCustomdxBarSubItem {
public:
    explicit TCustomdxBarContainerItem(TComponent* AOwner);
    ~TCustomdxBarContainerItem() override;
    std::string ClassName() const override { return "TCustomdxBarContainerItem"; }

    bool HasContent() const override { return static_cast<bool>(OnGetData); }
    // OnGetData is running (it may fill the list without every change refreshing the bars).
    bool Filling() const { return filling_; }
    bool Expanded() const { return expanded_; }
    void SetExpanded(bool Value) { expanded_ = Value; }

    // Puts the generated links into ALinks from AIndex on, each a copy of ASourceLink's recent state;
    // FireGetData asks OnGetData for the data first.
    virtual void ExpandInto(TdxBarItemLinks* ALinks, int AIndex, TdxBarItemLink* ASourceLink,
                            bool FireGetData);
    // Frees the links ExpandInto put in at AIndex.
    virtual void CollapseFrom(TdxBarItemLinks*, int) {}
    virtual void ClearExpansion() { expanded_ = false; }
    virtual bool FirstLinkBeginsGroup() const { return true; }
    // How many links ExpandInto puts in.
    virtual int ExpandedCount() const { return 0; }
    // Its own links changed.
    virtual void LinksChanged();

    TNotifyEvent OnGetData;

protected:
    // Set while the generated links go in, so that their coming does not refresh the bars.
    void SetFilling(bool Value) { filling_ = Value; }

private:
    bool filling_ = false;
    bool expanded_ = false;
};

class TdxBarListItem : public TCustomdxBarContainerItem {
public:
    explicit TdxBarListItem(TComponent* AOwner);
    ~TdxBarListItem() override;
    std::string ClassName() const override { return "TdxBarListItem"; }
    static const TPropertyTable& Table();
    const TPropertyTable* PublishedProperties() const override { return &Table(); }

    bool HasContent() const override;
    TStringList* Items() const { return items_.get(); }
    void SetItems(TStringList* Value);
    int ItemIndex() const { return itemIndex_; }
    void SetItemIndex(int Value) { itemIndex_ = Value; }
    bool ShowCheck() const { return showCheck_; }
    void SetShowCheck(bool Value) { showCheck_ = Value; }
    bool ShowNumbers() const { return showNumbers_; }
    void SetShowNumbers(bool Value) { showNumbers_ = Value; }
    // The selected entry counted among the entries that are not separators ("-"); -1 for none.
    int DataIndex() const;
    void SetDataIndex(int Value);
    const std::vector<TdxBarButton*>& Buttons() const { return buttons_; }

    void ExpandInto(TdxBarItemLinks* ALinks, int AIndex, TdxBarItemLink* ASourceLink,
                    bool FireGetData) override;
    void CollapseFrom(TdxBarItemLinks* ALinks, int AIndex) override;
    void ClearExpansion() override;
    int ExpandedCount() const override;
    void DirectClick() override;
    // The text a line shows for an entry.
    virtual std::string GetDisplayText(const std::string& Text) const { return Text; }
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void ButtonClick(TObject* Sender);
    void FreeButtons();

    std::unique_ptr<TStringList> items_;
    int itemIndex_ = -1;
    bool showCheck_ = false;
    bool showNumbers_ = true;
    std::vector<TdxBarButton*> buttons_;
};

class TdxBarContainerItem : public TCustomdxBarContainerItem {
public:
    explicit TdxBarContainerItem(TComponent* AOwner) : TCustomdxBarContainerItem(AOwner) {}
    std::string ClassName() const override { return "TdxBarContainerItem"; }
    static const TPropertyTable& Table();
    const TPropertyTable* PublishedProperties() const override { return &Table(); }

    bool HasContent() const override;
    void ExpandInto(TdxBarItemLinks* ALinks, int AIndex, TdxBarItemLink* ASourceLink,
                    bool FireGetData) override;
    void CollapseFrom(TdxBarItemLinks* ALinks, int AIndex) override;
    int ExpandedCount() const override;
};
