#pragma once
// Combo items: an edit with a drop-down window that events supply, one with an owner-drawn list, and
// one with a string list, its order and its selected entry.
#include <memory>

#include "bars/core/bar_edit.h"
#include "platform/stdctrls/list_controls.h"
#include "platform/vcl/control_types.h"

class TStringList;
class TCanvas;
class TCustomForm;
class TCustomdxBarCombo;
class TdxBarCustomCombo;

using TdxBarCheckKeyForDropDownWindowEvent =
    std::function<void(TCustomdxBarCombo* Sender, WORD Key, TShiftState Shift, bool& AcceptKey)>;
using TdxBarGetDropDownWindowEvent = std::function<void(TCustomdxBarCombo* Sender, HWND& Window)>;

class TCustomdxBarCombo : public TdxBarEdit {
public:
    explicit TCustomdxBarCombo(TComponent* AOwner) : TdxBarEdit(AOwner) {}
    std::string ClassName() const override { return "TCustomdxBarCombo"; }
    static const TPropertyTable& Table();
    const TPropertyTable* PublishedProperties() const override { return &Table(); }

    bool ShowEditor() const { return !EditorHidden(); }
    void SetShowEditor(bool Value) { SetEditorHidden(!Value); }

    virtual bool CheckKeyForDropDownWindow(WORD Key, TShiftState Shift);
    virtual HWND GetDropDownWindow();
    virtual void SizeDropDownWindow() {}
    virtual void BeginDropDownTracking() {}
    virtual void CloseUp();
    // Shows the drop-down window at (X, Y), kept within the monitor's work area.
    virtual void DropDown(int X, int Y);
    // Where a window of Size opens for a control of ControlSize at (X, Y): below or beside the control,
    // flipped when the other side has more room, within WorkArea.
    static POINT DropDownPosition(POINT At, SIZE Size, SIZE ControlSize, bool InMenuOrVertical,
                                  const RECT& WorkArea);

    TdxBarCheckKeyForDropDownWindowEvent OnCheckKeyForDropDownWindow;
    TNotifyEvent OnCloseUp, OnDropDown;
    TdxBarGetDropDownWindowEvent OnGetDropDownWindow;

protected:
    // The control the drop-down opens from: the one being edited, else the first shown link's.
    bars::ItemControl* DropDownControl() const;
};

// The drop-down list of a combo item; the window library supplies it.
class TdxBarComboListBox {
public:
    virtual ~TdxBarComboListBox() = default;
    virtual HWND Handle() const = 0;
    virtual void SetItems(const TStringList& Items) = 0;
    virtual void SetItemIndex(int Index) = 0;
    virtual void SetTopIndex(int Index) = 0;
    virtual void SetParentForm(TCustomForm* Form) = 0;
    virtual bool DroppedDown() const = 0;
    virtual void CaptureMouse(bool Tracking) = 0;
    virtual TCanvas* Canvas() = 0;
};

using TdxBarDrawItemEvent =
    std::function<void(TdxBarCustomCombo* Sender, int AIndex, const RECT& ARect, TOwnerDrawState AState)>;
using TdxBarMeasureItemEvent = std::function<void(TdxBarCustomCombo* Sender, int AIndex, int& AHeight)>;

class TdxBarCustomCombo : public TCustomdxBarCombo {
public:
    explicit TdxBarCustomCombo(TComponent* AOwner);
    ~TdxBarCustomCombo() override;
    std::string ClassName() const override { return "TdxBarCustomCombo"; }
    static const TPropertyTable& Table();
    const TPropertyTable* PublishedProperties() const override { return &Table(); }

    int DropDownCount() const { return dropDownCount_; }
    void SetDropDownCount(int Value) { dropDownCount_ = Value; }
    int DropDownWidth() const { return dropDownWidth_; }
    void SetDropDownWidth(int Value) { dropDownWidth_ = Value; }
    int ItemHeight() const { return itemHeight_; }
    void SetItemHeight(int Value) { itemHeight_ = Value; }
    int ItemIndex() const { return itemIndex_; }
    virtual void SetItemIndex(int Value);
    TStringList* Items() const { return items_.get(); }
    void SetItems(TStringList* Value);
    bool Sorted() const { return sorted_; }
    void SetSorted(bool Value);
    TdxBarComboListBox* ListBox() const { return listBox_.get(); }

    void SetText(const std::string& Value) override;
    bool CheckKeyForDropDownWindow(WORD Key, TShiftState Shift) override;
    HWND GetDropDownWindow() override;
    void SizeDropDownWindow() override;
    void BeginDropDownTracking() override;
    void CloseUp() override;
    void DropDown(int X, int Y) override;
    void DoCurChange() override;

    // The entry shown in the box: the one the link's control is at while it is edited, else ItemIndex.
    void DrawCustomizingImage(int AState, TCanvas* ACanvas, TdxBarItemLink* ALink,
                              const RECT& ARect) override;
    virtual void DrawItem(int Index, const RECT& Rect, TOwnerDrawState State);
    virtual TCanvas* GetItemsCanvas();
    virtual int GetDropDownWidth();
    virtual void MeasureItem(int Index, int& Height);
    virtual void GetItemWidth(int Index, int& Width);

    // The first entry with the longest prefix in common with Text (letter case ignored); one that starts
    // with the whole text wins at once.
    int FindItem(const std::string& Text) const;
    void SyncListIndex();

    TdxBarDrawItemEvent OnDrawItem;
    TdxBarMeasureItemEvent OnMeasureItem;

protected:
    void StoreItemIndex(int Value) { itemIndex_ = Value; }

private:
    void ItemsChanged();

    int dropDownCount_ = 8;
    int dropDownWidth_ = 0;
    bool drawingEdit_ = false;
    int itemHeight_ = 0;
    int itemIndex_ = -1;
    std::unique_ptr<TStringList> items_;
    std::unique_ptr<TdxBarComboListBox> listBox_;
    bool sorted_ = false;
    TCanvas* drawCanvas_ = nullptr;
};

class TdxBarCombo : public TdxBarCustomCombo {
public:
    explicit TdxBarCombo(TComponent* AOwner) : TdxBarCustomCombo(AOwner) {}
    std::string ClassName() const override { return "TdxBarCombo"; }
    static const TPropertyTable& Table();
    const TPropertyTable* PublishedProperties() const override { return &Table(); }
    void SetItemIndex(int Value) override;
};
