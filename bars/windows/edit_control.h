#pragma once
// The control of an edit item: painted like the other controls, with a real edit window shown over its
// box while the user edits. Enter and Tab keep the typed text, Escape drops it, and losing the focus
// keeps it only when the manager asks for that.
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
    std::string EditText() const override;
    bool IsClickable() const override { return false; }
    bool CloseMenusOnClick() const override { return false; }
    void ControlInactivate(bool Immediately) override;
    void BeforeClick(bool ByMouse) override;
    int GetHeight() const override;
    int GetWidth() const override;
    void Draw(HDC DC, const RECT& R, int PaintType) override;

    // The edit window (nullptr until the first edit).
    HWND EditHandle() const { return edit_; }
    void SetFocused(bool Value);

private:
    static LRESULT EditProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
    LRESULT WndProc(TMessage& Message);
    bool LeaveByKey(WORD Key);
    TdxBarEdit* EditItem() const;
    int CaptionWidth() const;
    bool ShowsCaption() const override;
    // The box part of the control, in the bar's client coordinates.
    RECT EditRect() const;
    void CreateEditWindow();
    // Writes the whole edit text to the item; false when that freed this control.
    bool SaveText();

    HWND edit_ = nullptr;
    WNDPROC previous_ = nullptr;
    HWND prevFocus_ = nullptr;
    bool focused_ = false;
    bool escaping_ = false;
};

std::unique_ptr<ItemControl> CreateEditControl(TdxBarItemLink* Link);

} // namespace bars
