#pragma once
// Items shown as an edit window on a bar: the text, its change and key events, and the edit box.
#include "bars/core/bar_item.h"

class TdxBarWindowItem : public TdxBarItem {
public:
    explicit TdxBarWindowItem(TComponent* AOwner) : TdxBarItem(AOwner) {}
    std::string ClassName() const override { return "TdxBarWindowItem"; }
    static const TPropertyTable& Table();
    const TPropertyTable* PublishedProperties() const override { return &Table(); }

    bool CanClicked() const override { return false; }
    const std::string& Text() const { return text_; }
    virtual void SetText(const std::string& Value);
    // The text being edited in the first shown edit control, else Text.
    std::string CurText() const;
    // The first shown link whose control is being edited.
    TdxBarItemLink* EditingLink() const;
    // The first link with an edit control (a visible one with VisibleOnly) enters editing.
    virtual void Focus(bool VisibleOnly);

    bool EditorHidden() const { return editorHidden_; }
    void SetEditorHidden(bool Value) { editorHidden_ = Value; }

    TNotifyEvent OnChange, OnCurChange, OnEnter, OnExit;
    TKeyEvent OnKeyDown, OnKeyUp;
    TKeyPressEvent OnKeyPress;

    virtual void DoChange();
    virtual void DoCurChange();
    virtual void DoEnter();
    virtual void DoExit();
    virtual void DoKeyDown(WORD& Key, TShiftState Shift);
    virtual void DoKeyPress(char& Key);
    virtual void DoKeyUp(WORD& Key, TShiftState Shift);

protected:
    void StoreText(const std::string& Value) { text_ = Value; }

private:
    bool editorHidden_ = false;
    std::string text_;
};

class TCanvas;

class TdxBarEdit : public TdxBarWindowItem {
public:
    explicit TdxBarEdit(TComponent* AOwner) : TdxBarWindowItem(AOwner) {}
    std::string ClassName() const override { return "TdxBarEdit"; }
    static const TPropertyTable& Table();
    const TPropertyTable* PublishedProperties() const override { return &Table(); }

    int MaxLength() const { return maxLength_; }
    // Values below 1 mean no limit (0).
    void SetMaxLength(int Value) { maxLength_ = Value < 1 ? 0 : Value; }
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool Value) { readOnly_ = Value; }
    bool ShowCaption() const { return showCaption_; }
    void SetShowCaption(bool Value);
    int Width() const { return width_; }
    // At least 20.
    void SetWidth(int Value);

    bool HasAccel(TdxBarItemLink* ALink) const override;
    // Draws the item's value into ARect on the canvas the way the manager's painter shows an edit's text
    // (AState: the entry shown, for items that list entries; ALink: the link drawn).
    virtual void DrawCustomizingImage(int AState, TCanvas* ACanvas, TdxBarItemLink* ALink, const RECT& ARect);
    virtual void WidthChanged();

private:
    int maxLength_ = 0;
    bool readOnly_ = false;
    bool showCaption_ = false;
    int width_ = 100;
};
