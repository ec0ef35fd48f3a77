#pragma once
// List boxes and combo boxes over the "LISTBOX" and "COMBOBOX" window classes; their Items are string
// lists that live in the window.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/string_list.h"
#include "platform/vcl/win_control.h"

// Items of a list or combo box: strings and objects held by the window, kept in a plain list while the
// window is away so that a re-created window gets them back.
class TWindowStrings : public TStrings {
public:
    struct Messages {
        UINT add, insert, remove, reset, count, getText, getTextLen, getData, setData;
    };
    TWindowStrings(TWinControl& Owner, const Messages& Msgs) : owner_(Owner), msgs_(Msgs) {}
    std::string ClassName() const override { return "TWindowStrings"; }
    int Count() const override;
    int Add(const std::string& s) override;
    int AddObject(const std::string& s, TObject* object) override;
    void Insert(int index, const std::string& s) override;
    void Delete(int index) override;
    void Clear() override;
    int IndexOf(const std::string& s) const override;
    // Hands the kept items to a new window, and keeps the window's items when it goes.
    void WindowCreated();
    void WindowDestroying();
    bool Sorted() const { return sorted_; }
    void SetSorted(bool Value) { sorted_ = Value; }

protected:
    std::string Get(int index) const override;
    TObject* GetObject(int index) const override;
    void PutObject(int index, TObject* object) override;
    void SetUpdateState(bool updating) override;

private:
    bool Live() const { return owner_.HandleAllocated(); }
    HWND Wnd() const { return const_cast<TWinControl&>(owner_).Handle(); }
    struct Item {
        std::string text;
        TObject* object = nullptr;
    };
    TWinControl& owner_;
    Messages msgs_;
    std::vector<Item> kept_;
    bool sorted_ = false;
};

enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable };
enum TOwnerDrawStateFlag { odSelected, odGrayed, odDisabled, odChecked, odFocused };
using TOwnerDrawState = TSet<TOwnerDrawStateFlag>;
class TCanvas;
using TDrawItemEvent =
    std::function<void(TWinControl* Control, int Index, const TRect& Rect, TOwnerDrawState State)>;

class TListBox : public TWinControl {
public:
    explicit TListBox(TComponent* AOwner);
    ~TListBox() override;
    std::string ClassName() const override { return "TListBox"; }

    TStrings& Items() { return *items_; }
    void SetItems(const TStrings& Value) { items_->Assign(Value); }
    int Count() { return items_->Count(); }
    // Writing selects without firing OnClick.
    int ItemIndex();
    void SetItemIndex(int Value);
    bool MultiSelect() const { return multiSelect_; }
    void SetMultiSelect(bool Value);
    bool ExtendedSelect() const { return extendedSelect_; }
    void SetExtendedSelect(bool Value);
    bool Selected(int Index);
    void SetSelected(int Index, bool Value);
    int SelCount();
    bool Sorted() const { return sorted_; }
    void SetSorted(bool Value);
    int TopIndex();
    void SetTopIndex(int Value);
    // The item at a client point, or -1 (with Existing false, the count when below the last one).
    int ItemAtPos(TPoint Pos, bool Existing);
    TRect ItemRect(int Index);
    void Clear() { items_->Clear(); }
    void ClearSelection();
    void SelectAll();
    void DeleteSelected();
    // Owner-drawn rows (all of one height here, ItemHeight): DrawItem paints each on the Canvas, which
    // comes with the list's font and, for a selected row, the highlight colours.
    TListBoxStyle Style() const { return style_; }
    void SetStyle(TListBoxStyle Value);
    int ItemHeight() const { return itemHeight_; }
    void SetItemHeight(int Value);
    TCanvas& Canvas() { return *canvas_; }
    TDrawItemEvent OnDrawItem;
    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    virtual void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State);

private:
    void CNCommand(TWMCommand Message);
    void CNDrawItem(TWMDrawItem Message);
    std::unique_ptr<TWindowStrings> items_;
    bool multiSelect_ = false;
    bool extendedSelect_ = true;
    bool sorted_ = false;
    // Kept across a re-creation of the window.
    int savedIndex_ = -1;
    int savedTop_ = 0;
    std::unique_ptr<TCanvas> canvas_;
    TListBoxStyle style_ = lbStandard;
    int itemHeight_ = 16;
};

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };

class TComboBox : public TWinControl {
public:
    explicit TComboBox(TComponent* AOwner);
    ~TComboBox() override;
    std::string ClassName() const override { return "TComboBox"; }

    TStrings& Items() { return *items_; }
    void SetItems(const TStrings& Value) { items_->Assign(Value); }
    TComboBoxStyle Style() const { return style_; }
    void SetStyle(TComboBoxStyle Value);
    // Writing selects without firing OnChange or OnSelect.
    int ItemIndex();
    void SetItemIndex(int Value);
    int DropDownCount() const { return dropDownCount_; }
    void SetDropDownCount(int Value) { dropDownCount_ = Value; }
    bool Sorted() const { return sorted_; }
    void SetSorted(bool Value);
    bool DroppedDown();
    void SetDroppedDown(bool Value);
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int Value);
    void Clear();
    void WndProc(TMessage& Message) override;

    TNotifyEvent OnChange;
    TNotifyEvent OnSelect;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void SetTextValue(const std::string& Value) override;
    virtual void Change();
    virtual void Select();

private:
    void CNCommand(TWMCommand Message);
    void SelectionChanged();
    std::unique_ptr<TWindowStrings> items_;
    TComboBoxStyle style_ = csDropDown;
    int dropDownCount_ = 8;
    bool sorted_ = false;
    int maxLength_ = 0;
    int savedIndex_ = -1;
    int settingText_ = 0;
};
