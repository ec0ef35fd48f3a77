#include "bars/windows/drop_down_list.h"

#include <algorithm>

#include "bars/core/bar_manager.h"
#include "bars/core/item_links.h"
#include "bars/painters/painter.h"
#include "bars/windows/combo_control.h"
#include "lookandfeel/object_links.h"
#include "platform/commctrl/std_controls.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/edges.h"
#include "platform/gdi/scoped.h"
#include "platform/graphics/canvas.h"
#include "platform/gui/input.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/message_views.h"
#include "platform/gui/window.h"
#include "platform/gui/window_dc.h"
#include "platform/rtl/wintypes.h"
#include "platform/stdctrls/list_controls.h"
#include "platform/vcl/form.h"

namespace bars {

namespace {

// The combo list that shows now: one in the process at a time, as the edited control is.
HWND& ShownList() {
    static HWND shown = nullptr;
    return shown;
}

// The combo control being edited, which the list belongs to while it shows.
TdxBarComboControl* EditingControl(TdxBarCustomCombo* Combo) {
    TdxBarItemLink* link = Combo != nullptr ? Combo->EditingLink() : nullptr;
    return link != nullptr ? dynamic_cast<TdxBarComboControl*>(link->Control()) : nullptr;
}

class TdxBarDropDownListBox : public TListBox {
public:
    explicit TdxBarDropDownListBox(TdxBarCustomCombo* Combo) : TListBox(nullptr), combo_(Combo) {
        SetStyle(lbOwnerDrawFixed);
        SetVisible(false);
    }
    std::string ClassName() const override { return "TdxBarDropDownListBox"; }

    bool Tracking = false;
    // Set while the rows draw: the combo's drawing then uses the list's canvas.
    bool Drawing = false;

    void WndProc(TMessage& Message) override;
    void Click() override;

protected:
    void CreateParams(TCreateParams& Params) override {
        TListBox::CreateParams(Params);
        Params.Style &= ~WS_BORDER;
        Params.ExStyle |= WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
        Params.WindowClass.style |= CS_SAVEBITS;
    }
    void CreateWnd() override {
        TListBox::CreateWnd();
        // Out on the desktop, so that it may reach past the form's edges.
        ::SetParent(Handle(), nullptr);
    }
    void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) override;

private:
    const TdxBarItemControlPainter& Painter() const {
        return TdxBarItemControlPainter::Of(combo_->BarManager());
    }
    void TakeSelection();

    TdxBarCustomCombo* combo_;
};

void TdxBarDropDownListBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) {
    Drawing = true;
    if (combo_->OnDrawItem) {
        combo_->DrawItem(Index, Rect, State);
    } else {
        TCanvas& canvas = Canvas();
        HDC dc = canvas.Handle();
        const RECT r{Rect.left, Rect.top, Rect.right, Rect.bottom};
        const std::string text =
            Index >= 0 && Index < combo_->Items()->Count() ? combo_->Items()->Strings(Index) : combo_->Text();
        Painter().DrawComboListItem(dc, text, r, false);
        if (State.Contains(odFocused)) DrawFocusRect(dc, &r);
    }
    Drawing = false;
}

// The entry chosen goes into the combo's edit (Enter or a click then takes it).
void TdxBarDropDownListBox::Click() {
    if (TdxBarComboControl* control = EditingControl(combo_)) control->SetCurItemIndex(ItemIndex());
}

// A click on an entry: the combo takes it and the list closes.
void TdxBarDropDownListBox::TakeSelection() {
    const int index = ItemIndex();
    TdxBarComboControl* control = EditingControl(combo_);
    const TcxObjectLinkPtr controlLink = MakeObjectLink(control);
    if (TdxBarItemLink* link = combo_->EditingLink()) link->Use(true);
    if (index < 0 || index >= combo_->Items()->Count()) return;
    if (control != nullptr) {
        control->SetCurItemIndex(index);
        if (controlLink->Ref != nullptr) control->SetDroppedDown(false);
    }
    combo_->SetItemIndex(index);
}

void TdxBarDropDownListBox::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_MOUSEACTIVATE:
        Message.Result = MA_NOACTIVATE;
        return;
    case WM_ERASEBKGND:
        Message.Result = 1;
        return;
    case WM_NCCALCSIZE: {
        TListBox::WndProc(Message);
        if (RECT* r = TWMNCCalcSize(Message).ClientRect()) {
            const int border = Painter().GetDropDownListBorderSize();
            *r = RECT{r->left + border, r->top + border, r->right - border, r->bottom - border};
        }
        return;
    }
    case WM_NCPAINT: {
        TListBox::WndProc(Message);
        const pw::gui::WindowDC dc(Handle(), pw::gui::WindowDC::Area::Window);
        RECT r{};
        GetWindowRect(Handle(), r);
        Painter().DrawDropDownListBorder(dc.Get(), RECT{0, 0, r.right - r.left, r.bottom - r.top});
        return;
    }
    case WM_SHOWWINDOW:
        // It draws as the focused list it stands for, the combo's edit keeping the real focus.
        if (TWMFlag(Message).On()) SendMessage(Handle(), WM_SETFOCUS, 0, 0);
        break;
    case WM_MOUSEMOVE: {
        const POINT p = TWMMouse(Message).Pos();
        RECT client{};
        GetClientRect(Handle(), client);
        if (PtInRect(client, p)) {
            const int index = ItemAtPos(TPoint{p.x, p.y}, true);
            if (index >= 0 && index != ItemIndex()) SetItemIndex(index);
        }
        Message.Result = 0;
        return;
    }
    case WM_LBUTTONDOWN: {
        const POINT p = TWMMouse(Message).Pos();
        RECT client{};
        GetClientRect(Handle(), client);
        if (Tracking && GetCapture() == Handle() && PtInRect(client, p)) {
            // The press that still tracks belongs to the combo's edit, which decides on the list.
            Tracking = false;
            ReleaseCapture();
            TdxBarComboControl* control = EditingControl(combo_);
            if (HWND edit = control != nullptr ? control->EditHandle() : nullptr) {
                POINT at = p;
                MapWindowPoints(Handle(), edit, &at, 1);
                PostMessage(edit, WM_LBUTTONDOWN, TWMMouse(Message).Keys(), PackPoint(at));
            }
        }
        // No focus taken: the entry under the pointer is chosen, the release takes it.
        if (PtInRect(client, p)) {
            const int index = ItemAtPos(TPoint{p.x, p.y}, true);
            if (index >= 0) SetItemIndex(index);
        } else if (GetCapture() == Handle()) {
            ReleaseCapture();
        }
        Message.Result = 0;
        return;
    }
    case WM_LBUTTONUP:
        if (Tracking) {
            ReleaseCapture();
        } else {
            const POINT p = TWMMouse(Message).Pos();
            RECT client{};
            GetClientRect(Handle(), client);
            if (PtInRect(client, p)) TakeSelection();
        }
        Message.Result = 0;
        return;
    case WM_CAPTURECHANGED:
        Tracking = false;
        break;
    default:
        break;
    }
    TListBox::WndProc(Message);
}

class DropDownList : public TdxBarComboListBox {
public:
    explicit DropDownList(TdxBarCustomCombo* Combo)
        : combo_(Combo), box_(std::make_unique<TdxBarDropDownListBox>(Combo)), measureDC_(nullptr) {
        measure_.SetHandle(measureDC_.Get());
    }
    ~DropDownList() override {
        if (box_->HandleAllocated() && ShownList() == box_->Handle()) ShownList() = nullptr;
        measure_.SetHandle(nullptr);
    }

    HWND Handle() const override {
        return box_->HandleAllocated() || box_->ParentWindow() != nullptr ? box_->Handle() : nullptr;
    }
    void SetItems(const TStringList& Items) override {
        box_->Items().Assign(Items);
        TakeFont();
        box_->SetItemHeight(RowHeight());
    }
    void SetItemIndex(int Index) override { box_->SetItemIndex(Index); }
    void SetTopIndex(int Index) override { box_->SetTopIndex(Index); }
    void SetParentForm(TCustomForm* Form) override {
        if (Form == nullptr) {
            // The window stays made for the next time; it only hides.
            if (box_->HandleAllocated()) {
                ShowWindow(box_->Handle(), SW_HIDE);
                if (ShownList() == box_->Handle()) ShownList() = nullptr;
            }
            box_->Tracking = false;
            return;
        }
        if (box_->ParentWindow() == nullptr && Form->HandleAllocated()) box_->SetParentWindow(Form->Handle());
        ShownList() = box_->Handle();
    }
    bool DroppedDown() const override {
        return box_->HandleAllocated() && IsWindowVisible(const_cast<TdxBarDropDownListBox&>(*box_).Handle());
    }
    void CaptureMouse(bool Tracking) override {
        box_->Tracking = Tracking;
        if (Tracking && box_->HandleAllocated()) SetCapture(box_->Handle());
    }
    TCanvas* Canvas() override { return box_->Drawing ? &box_->Canvas() : &measure_; }

private:
    void TakeFont() {
        TdxBarManager* manager = combo_->BarManager();
        if (manager == nullptr || manager->Font() == nullptr) return;
        box_->Font().Assign(manager->Font());
        box_->Font().SetColor(clWindowText);
        measure_.Font().Assign(manager->Font());
    }
    int RowHeight() {
        int height = 0;
        combo_->MeasureItem(0, height);
        return std::max(1, height);
    }

    TdxBarCustomCombo* combo_;
    std::unique_ptr<TdxBarDropDownListBox> box_;
    pw::gdi::MemoryDC measureDC_;
    TCanvas measure_;
};

} // namespace

std::unique_ptr<TdxBarComboListBox> CreateDropDownList(TdxBarCustomCombo* Combo) {
    return std::make_unique<DropDownList>(Combo);
}

HWND ShownDropDownList() {
    HWND shown = ShownList();
    return shown != nullptr && IsWindowVisible(shown) ? shown : nullptr;
}

} // namespace bars
