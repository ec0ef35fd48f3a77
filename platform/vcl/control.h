#pragma once
// The base of every visual control: position inside its parent, alignment, visibility, text, font and
// colour, mouse handling and the message dispatch that descendants extend.
#include <functional>
#include <memory>
#include <string>

#include "platform/gui/message_views.h"
#include "platform/gui/messages.h"
#include "platform/rtl/component.h"
#include "platform/vcl/control_types.h"

class TFont;
class TWinControl;
class TCustomForm;

// Smallest and largest size of a control; 0 leaves that side free.
class TSizeConstraints : public TPersistent {
public:
    std::string ClassName() const override { return "TSizeConstraints"; }
    void Assign(TPersistent* Source) override;
    int MinWidth() const { return minWidth_; }
    int MinHeight() const { return minHeight_; }
    int MaxWidth() const { return maxWidth_; }
    int MaxHeight() const { return maxHeight_; }
    void SetMinWidth(int Value);
    void SetMinHeight(int Value);
    void SetMaxWidth(int Value);
    void SetMaxHeight(int Value);
    // The size within the limits; a maximum below the minimum loses.
    void Constrain(int& Width, int& Height) const;

    TNotifyEvent OnChange;

private:
    void Changed();
    int minWidth_ = 0, minHeight_ = 0, maxWidth_ = 0, maxHeight_ = 0;
};

// Asked for the control's context menu at MousePos (client coordinates; (-1, -1) when the keyboard
// asked); a handler that shows its own sets Handled.
using TContextPopupEvent = std::function<void(TObject* Sender, TPoint MousePos, bool& Handled)>;

class TControl : public TComponent {
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;
    std::string ClassName() const override { return "TControl"; }

    TWinControl* Parent() const { return parent_; }
    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override;
    virtual void SetParent(TWinControl* AParent);

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetLeft(int Value) { SetBounds(Value, top_, width_, height_); }
    void SetTop(int Value) { SetBounds(left_, Value, width_, height_); }
    void SetWidth(int Value) { SetBounds(left_, top_, Value, height_); }
    void SetHeight(int Value) { SetBounds(left_, top_, width_, Value); }
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    TRect BoundsRect() const { return TRect{left_, top_, left_ + width_, top_ + height_}; }
    void SetBoundsRect(const TRect& R) { SetBounds(R.left, R.top, R.right - R.left, R.bottom - R.top); }
    virtual TRect ClientRect();
    int ClientWidth() { return ClientRect().right; }
    int ClientHeight() { return ClientRect().bottom; }
    void SetClientWidth(int Value);
    void SetClientHeight(int Value);
    // The client area's top-left corner on the screen.
    virtual TPoint ClientOrigin();
    TPoint ClientToScreen(TPoint P);
    TPoint ScreenToClient(TPoint P);

    TAlign Align() const { return align_; }
    void SetAlign(TAlign Value);
    TAnchors Anchors() const { return anchors_; }
    void SetAnchors(TAnchors Value);
    TSizeConstraints& Constraints() { return *constraints_; }

    bool Visible() const { return visible_; }
    void SetVisible(bool Value);
    void Show();
    void Hide() { SetVisible(false); }
    // Visible with every parent up to a top-level window that is visible itself.
    virtual bool Showing() const;
    bool Enabled() const { return enabled_; }
    virtual void SetEnabled(bool Value);

    std::string Caption() const { return GetText(); }
    void SetCaption(const std::string& Value) { SetText(Value); }
    std::string Text() const { return GetText(); }
    void SetText(const std::string& Value);

    TFont& Font() { return *font_; }
    void SetFont(TFont& Value);
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool Value);
    TColor Color() const { return color_; }
    void SetColor(TColor Value);
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool Value);

    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& Value) { hint_ = Value; }
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool Value);
    bool ParentShowHint() const { return parentShowHint_; }
    void SetParentShowHint(bool Value);
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor Value);
    TPopupMenuIntf* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(TPopupMenuIntf* Value) { popupMenu_ = Value; }

    TControlStyle ControlStyle() const { return controlStyle_; }
    void SetControlStyle(TControlStyle Value) { controlStyle_ = Value; }
    TControlState ControlState() const { return controlState_; }
    void SetControlState(TControlState Value) { controlState_ = Value; }

    virtual void Invalidate();
    virtual void Update();
    virtual void Repaint();
    void Refresh() { Repaint(); }
    void BringToFront() { SetZOrder(true); }
    void SendToBack() { SetZOrder(false); }

    LRESULT Perform(UINT Msg, WPARAM WParam, LPARAM LParam);
    // The message dispatch: each class handles its messages and passes the rest to its base's WndProc;
    // what nobody handles reaches DefaultHandler.
    virtual void WndProc(TMessage& Message);
    virtual void DefaultHandler(TMessage& Message);

    // The control's own answer to a context-menu request (OnContextPopup), before any popup menu.
    virtual void DoContextPopup(TPoint MousePos, bool& Handled);

    // Alive while the control exists; handlers that may free the control check it after calling out.
    std::weak_ptr<void> AliveToken() const { return alive_; }

    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnResize;
    TContextPopupEvent OnContextPopup;

protected:
    virtual std::string GetText() const { return text_; }
    virtual void SetTextValue(const std::string& Value);
    virtual void Click();
    virtual void DblClick();
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void Resize();
    virtual void SetZOrder(bool TopMost);
    virtual void VisibleChanging() {}
    // The control's own bounds changed (not yet told to the window).
    virtual void BoundsChanged() {}
    // Sets the fields only, after the window moved by itself.
    void UpdateBoundsFields(int ALeft, int ATop, int AWidth, int AHeight);
    // Remembers the distances to the parent's edges that the anchors keep.
    void UpdateAnchorRules();
    void RequestAlign();

    TCustomForm* ParentFormOf() const;
    TControlStyle controlStyle_;
    TControlState controlState_;

private:
    friend class TWinControl;
    // What a mouse message did, and with which button.
    struct TMouseAction {
        enum Kind { Move, Down, DoubleClick, Up, Other } kind;
        TMouseButton button;
    };
    static TMouseAction MouseActionOf(UINT Msg);
    void HandleMouseMessage(TWMMouse Message);
    void ButtonDown(TMouseAction Action, TShiftState Shift, TPoint P);
    void ButtonUp(TMouseButton Button, TShiftState Shift, TPoint P);
    void RedrawArea();
    void CMParentFontChanged();
    void CMParentColorChanged();
    void CMParentShowHintChanged();
    void CMHitTest(TMessage& Message);
    void WMContextMenu(TWMContextMenu Message);
    void FontChanged();

    TWinControl* parent_ = nullptr;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    TAlign align_ = alNone;
    TAnchors anchors_{akLeft, akTop};
    // Anchor distances to the parent's right and bottom edges and the size the parent had then.
    int anchorRight_ = 0, anchorBottom_ = 0;
    TPoint anchorParentSize_{0, 0};
    bool visible_ = true;
    bool enabled_ = true;
    std::string text_;
    std::unique_ptr<TFont> font_;
    std::unique_ptr<TSizeConstraints> constraints_;
    bool parentFont_ = true;
    TColor color_ = clWindow;
    bool parentColor_ = false;
    std::string hint_;
    bool showHint_ = false;
    bool parentShowHint_ = true;
    TCursor cursor_ = crDefault;
    TPopupMenuIntf* popupMenu_ = nullptr;
    std::shared_ptr<char> alive_ = std::make_shared<char>(0);
};

// The form a control sits on (its topmost parent that is a form), nullptr when none.
TCustomForm* GetParentForm(const TControl* Control);

// CM_BUTTONPRESSED: a grouped button went down; the others of its group come up.
struct TCMButtonPressed : MessageView {
    using MessageView::MessageView;
    int GroupIndex() const { return static_cast<int>(static_cast<intptr_t>(W())); }
    TControl* Sender() const { return Pointer<TControl>(L()); }
};
