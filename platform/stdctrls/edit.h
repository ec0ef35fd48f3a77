#pragma once
// Single-line edits and memos over the "EDIT" window class.
#include <memory>
#include <string>

#include "platform/rtl/string_list.h"
#include "platform/vcl/win_control.h"

enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

class TCustomEdit : public TWinControl {
public:
    explicit TCustomEdit(TComponent* AOwner);
    std::string ClassName() const override { return "TCustomEdit"; }

    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int Value);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool Value);
    char PasswordChar() const { return passwordChar_; }
    void SetPasswordChar(char Value);
    TEditCharCase CharCase() const { return charCase_; }
    void SetCharCase(TEditCharCase Value);
    bool AutoSelect() const { return autoSelect_; }
    void SetAutoSelect(bool Value) { autoSelect_ = Value; }
    // bsSingle (the default) frames the edit; bsNone leaves it bare, a block of text on its parent.
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle Value);
    bool Modified();
    void SetModified(bool Value);

    // Byte offsets into the UTF-8 text.
    int SelStart();
    void SetSelStart(int Value);
    int SelLength();
    void SetSelLength(int Value);
    std::string SelText();
    void SetSelText(const std::string& Value);
    // Sets the text by taking Value over, leaving it empty: a long text is not copied.
    void TakeText(std::string& Value);
    void SelectAll();
    void ClearSelection() { SetSelText(""); }
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();

    void WndProc(TMessage& Message) override;

    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    virtual void Change();
    // The styles of the kind of edit (multi-line, scroll bars, wrapping).
    virtual DWORD EditStyle() const;
    void DoEnter() override;

private:
    void CNCommand(TWMCommand Message);
    void CMTextChanged(TMessage& Message);
    int maxLength_ = 0;
    bool readOnly_ = false;
    char passwordChar_ = 0;
    TEditCharCase charCase_ = ecNormal;
    bool autoSelect_ = true;
    TBorderStyle borderStyle_ = bsSingle;
    // Kept while the window is away (before it is made, and across a re-creation).
    bool modified_ = false;
    int savedSelStart_ = 0, savedSelLength_ = 0;
    bool creating_ = false;
};

class TEdit : public TCustomEdit {
public:
    explicit TEdit(TComponent* AOwner);
    std::string ClassName() const override { return "TEdit"; }
};

class TMemo;

// A memo's lines, read from and written to its window.
class TMemoStrings : public TStrings {
public:
    explicit TMemoStrings(TMemo& Memo) : memo_(Memo) {}
    std::string ClassName() const override { return "TMemoStrings"; }
    int Count() const override;
    // At the end, asking the window only what the end needs: a log of many lines is added to often.
    int Add(const std::string& s) override;
    void Insert(int index, const std::string& s) override;
    void Delete(int index) override;
    void Clear() override;
    void SetText(std::string_view text) override;

protected:
    std::string Get(int index) const override;
    void Put(int index, const std::string& s) override;
    void SetUpdateState(bool updating) override;

private:
    TMemo& memo_;
};

class TMemo : public TCustomEdit {
public:
    explicit TMemo(TComponent* AOwner);
    ~TMemo() override;
    std::string ClassName() const override { return "TMemo"; }

    TStrings& Lines() { return *lines_; }
    void SetLines(const TStrings& Value) { lines_->Assign(Value); }
    TScrollStyle ScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle Value);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool Value);
    bool WantReturns() const { return wantReturns_; }
    void SetWantReturns(bool Value) { wantReturns_ = Value; }
    bool WantTabs() const { return wantTabs_; }
    void SetWantTabs(bool Value) { wantTabs_ = Value; }
    // The line the caret is on and its offset in that line.
    TPoint CaretPos();
    void WndProc(TMessage& Message) override;

protected:
    DWORD EditStyle() const override;

private:
    void WMGetDlgCode(TMessage& Message);
    void WMChar(TWMChar Message);
    std::unique_ptr<TMemoStrings> lines_;
    TScrollStyle scrollBars_ = ssNone;
    bool wordWrap_ = true;
    bool wantReturns_ = true;
    bool wantTabs_ = false;
};
