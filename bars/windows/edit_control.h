#pragma once
// The control of an edit item: painted like the other controls, with a real edit window shown over its
// box while the user edits. Enter and Tab keep the typed text, Escape drops it, and losing the focus
// keeps it only when the manager asks for that. The item hears the keys typed, the focus coming and
// going and every change of the text being edited.
#include <memory>
#include <string>

#include "bars/windows/item_control.h"
#include "platform/gui/window.h"

class TdxBarEdit;

namespace bars {

class TdxBarEditControl : public TdxBarItemControl {
public:
    using TdxBarItemControl::TdxBarItemControl;
    ~TdxBarEditControl() override;

    bool IsWindowControl() const override { return true; }
    bool IsEditing() const override { return focused_; }
    bool IsStartingEdit() const override { return startingEdit_; }
    std::string EditText() const override;
    bool IsClickable() const override { return false; }
    bool IsSelected() const override;
    bool CloseMenusOnClick() const override { return false; }
    bool IsReadOnly() const override;
    void ControlInactivate(bool Immediately) override;
    void BeforeClick(bool ByMouse) override;
    int GetHeight() const override;
    int GetWidth() const override;
    void Draw(HDC DC, const RECT& R, int PaintType) override;
    // The item's own drawing of its value, on a canvas in the bar's font and the colours given.
    bool DrawItemValue(HDC DC, const RECT& R, COLORREF Text, COLORREF Back) override;

    // The edit window (nullptr until the first edit).
    HWND EditHandle() const { return edit_; }
    virtual void SetFocused(bool Value);
    // Puts S into the edit window (its change notice held back) and has the painter select it.
    void SetEditText(const std::string& S);

protected:
    TdxBarEdit* EditItem() const;
    // The caption's width beside the box (0 when no caption shows).
    int CaptionWidth() const;
    bool ShowsCaption() const override;
    // The user types into the box (a combo without an editor only steps and drops down: its edit
    // window, hidden from sight, only takes the keys).
    virtual bool HasEditor() const { return true; }
    // What lies right of the text in the box (a combo's button); R is the inside of the box and loses it.
    virtual void DrawBoxExtras(HDC, const ItemState&, RECT&) {}
    // The edit window's procedure; the combo takes its keys and clicks before the edit does.
    virtual LRESULT WndProc(TMessage& Message);
    // The rectangle the edit window covers (bar client coordinates), empty until the control is drawn.
    const RECT& WindowRect() const { return windowRect_; }
    bool SettingText() const { return settingText_; }
    // The state the control is drawn in.
    ItemState PaintState(int PaintType) const;
    // Leaves editing by Enter, Tab or Escape; true when the key is used up.
    virtual bool LeaveByKey(WORD Key);
    // Writes the whole edit text to the item; false when that freed this control.
    bool SaveText();
    HWND edit_ = nullptr;

private:
    static LRESULT EditProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
    LRESULT BaseWndProc(TMessage& Message);
    // A key message offered to the item's key events first; false when a handler used it up.
    bool OfferKey(TMessage& Message);
    void CreateEditWindow();
    void SetWindowRect(const RECT& R);
    // Where the edit window goes in the edit part R: its one line of text centred as the painter centres
    // the value, so that the text does not move when editing starts.
    RECT WindowBounds(const RECT& R) const;
    // The edit part as the control last drew it, computed when it was not drawn yet.
    RECT EditPartRect();
    void PurgeChars() const;

    WNDPROC previous_ = nullptr;
    HWND prevFocus_ = nullptr;
    RECT windowRect_{0, 0, 0, 0};
    // The rows the edit window keeps above its text (and below it).
    int textInset_ = 1;
    int sysKeyDepth_ = 0;
    bool focused_ = false;
    bool startingEdit_ = false;
    bool settingText_ = false;
    bool escaping_ = false;
};

std::unique_ptr<ItemControl> CreateEditControl(TdxBarItemLink* Link);

} // namespace bars
