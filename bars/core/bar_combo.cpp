#include "bars/core/bar_combo.h"

#include <algorithm>
#include <cctype>

#include "bars/core/bar_manager.h"
#include "bars/core/bar_routines.h"
#include "bars/core/bar_views.h"
#include "bars/core/item_links.h"
#include "bars/core/window_services.h"
#include "lookandfeel/monitor.h"
#include "platform/gdi/edges.h"
#include "platform/gdi/metrics.h"
#include "platform/graphics/canvas.h"
#include "platform/gui/keys.h"
#include "platform/gui/window.h"
#include "platform/rtl/published.h"
#include "platform/rtl/scope_guard.h"
#include "platform/rtl/string_list.h"
#include "platform/rtl/strings.h"

namespace {

std::string Upper(const std::string& text) {
    std::string result = text;
    for (char& c : result)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return result;
}

} // namespace

// The combo with a drop-down window from events.

bool TCustomdxBarCombo::CheckKeyForDropDownWindow(WORD Key, TShiftState Shift) {
    bool accept = Key != VK_ESCAPE && Key != VK_RETURN && Key != VK_TAB;
    if (OnCheckKeyForDropDownWindow) OnCheckKeyForDropDownWindow(this, Key, Shift, accept);
    return accept;
}

HWND TCustomdxBarCombo::GetDropDownWindow() {
    HWND window = nullptr;
    if (OnGetDropDownWindow) OnGetDropDownWindow(this, window);
    return window;
}

void TCustomdxBarCombo::CloseUp() {
    if (HWND window = GetDropDownWindow()) ShowWindow(window, SW_HIDE);
    if (OnCloseUp) OnCloseUp(this);
}

bars::ItemControl* TCustomdxBarCombo::DropDownControl() const {
    // The control being edited: the same combo may stand on a toolbar and in a menu at once.
    TdxBarItemLink* link = EditingLink();
    if (link == nullptr) link = FirstShownLink();
    return link != nullptr ? link->Control() : nullptr;
}

POINT TCustomdxBarCombo::DropDownPosition(POINT At, SIZE Size, SIZE ControlSize, bool InMenuOrVertical,
                                          const RECT& WorkArea) {
    int x = At.x, y = At.y;
    if (!InMenuOrVertical) {
        if (x + Size.cx > WorkArea.right) x = WorkArea.right - Size.cx;
        if (y + Size.cy > WorkArea.bottom && WorkArea.bottom - y < y - ControlSize.cy - WorkArea.top)
            y -= ControlSize.cy + Size.cy;
    } else {
        if (x + Size.cx > WorkArea.right && WorkArea.right - x < x - ControlSize.cx - WorkArea.left)
            x -= Size.cx + ControlSize.cx;
        if (y + Size.cy > WorkArea.bottom) y = WorkArea.bottom - Size.cy;
    }
    return POINT{std::max(x, static_cast<int>(WorkArea.left)), std::max(y, static_cast<int>(WorkArea.top))};
}

void TCustomdxBarCombo::DropDown(int X, int Y) {
    if (OnDropDown) OnDropDown(this);
    HWND window = GetDropDownWindow();
    if (window == nullptr) return;
    SizeDropDownWindow();
    RECT bounds{};
    GetWindowRect(window, bounds);
    const SIZE size{bounds.right - bounds.left, bounds.bottom - bounds.top};
    SIZE controlSize{0, 0};
    bool inMenuOrVertical = false;
    if (bars::ItemControl* control = DropDownControl()) {
        const RECT r = control->Link()->ItemRect();
        controlSize = SIZE{r.right - r.left, r.bottom - r.top};
        bars::BarControl* parent = control->Parent();
        inMenuOrVertical = parent != nullptr && (!parent->IsToolbar() || IsVerticalBarControl(parent));
    }
    const POINT at =
        DropDownPosition(POINT{X, Y}, size, controlSize, inMenuOrVertical, GetMonitorWorkArea(POINT{X, Y}));
    SetWindowPos(window, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_SHOWWINDOW | SWP_FRAMECHANGED | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    BeginDropDownTracking();
}

const TPropertyTable& TCustomdxBarCombo::Table() {
    using C = TCustomdxBarCombo;
    static const TPropertyTable table(&TdxBarEdit::Table(), [] {
        std::vector<TPropInfo> own{BooleanProperty<C>("ShowEditor", &C::ShowEditor, &C::SetShowEditor, true)};
        for (const char* event :
             {"OnCheckKeyForDropDownWindow", "OnCloseUp", "OnDropDown", "OnGetDropDownWindow"})
            own.push_back(MethodProperty(event));
        return own;
    }());
    return table;
}

// The combo with an owner-drawn list.

TdxBarCustomCombo::TdxBarCustomCombo(TComponent* AOwner) : TCustomdxBarCombo(AOwner) {
    items_ = std::make_unique<TStringList>();
    items_->OnChange = [this](TObject*) { ItemsChanged(); };
    listBox_ = bars::Windows().MakeComboList(this);
}

TdxBarCustomCombo::~TdxBarCustomCombo() {
    Destroying();
    listBox_.reset();
}

void TdxBarCustomCombo::ItemsChanged() {
    if (itemIndex_ <= items_->Count() - 1)
        Update();
    else
        SetItemIndex(-1);
}

void TdxBarCustomCombo::SetItemIndex(int Value) {
    itemIndex_ = Value;
}

void TdxBarCustomCombo::SetItems(TStringList* Value) {
    items_->Assign(Value);
}

void TdxBarCustomCombo::SetSorted(bool Value) {
    if (Value == sorted_) return;
    sorted_ = Value;
    items_->SetSorted(Value);
    itemIndex_ = items_->IndexOf(Text());
}

void TdxBarCustomCombo::SetText(const std::string& Value) {
    if (!(itemIndex_ >= 0 && itemIndex_ < items_->Count() && items_->Strings(itemIndex_) == Value))
        itemIndex_ = items_->IndexOf(Value);
    TCustomdxBarCombo::SetText(Value);
}

bool TdxBarCustomCombo::CheckKeyForDropDownWindow(WORD Key, TShiftState Shift) {
    return (Key == VK_UP || Key == VK_DOWN || Key == VK_PRIOR || Key == VK_NEXT) && Shift.Empty();
}

HWND TdxBarCustomCombo::GetDropDownWindow() {
    if (HWND window = TCustomdxBarCombo::GetDropDownWindow()) return window;
    return listBox_ != nullptr ? listBox_->Handle() : nullptr;
}

void TdxBarCustomCombo::SizeDropDownWindow() {
    if (listBox_ == nullptr) return;
    listBox_->SetItems(*items_);
    int height = 4;
    for (int i = 0; i < std::min(items_->Count(), dropDownCount_); ++i) {
        int h = 0;
        MeasureItem(i, h);
        height += h;
    }
    SetWindowPos(listBox_->Handle(), nullptr, 0, 0, GetDropDownWidth(), height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int TdxBarCustomCombo::GetDropDownWidth() {
    if (dropDownWidth_ >= 1) return dropDownWidth_;
    const bool scrolls = items_->Count() > dropDownCount_;
    const int scrollBar = GetSystemMetrics(SM_CXVSCROLL);
    int width = 0;
    if (bars::ItemControl* control = DropDownControl()) {
        const RECT r = control->Link()->ItemRect();
        const int comboButton = BarManager() != nullptr ? BarManager()->ButtonArrowWidthMetric() : 0;
        width = r.right - r.left - comboButton - 4;
    }
    if (scrolls) width -= scrollBar;
    for (int i = 0; i < items_->Count(); ++i) {
        int itemWidth = 0;
        GetItemWidth(i, itemWidth);
        width = std::max(width, itemWidth);
    }
    width += 4;
    if (scrolls) width += scrollBar;
    return width;
}

void TdxBarCustomCombo::MeasureItem(int Index, int& Height) {
    if (itemHeight_ >= 1)
        Height = itemHeight_;
    else if (TCanvas* canvas = GetItemsCanvas())
        Height = canvas->TextHeight("Qq");
    else
        Height = 16;
    if (OnMeasureItem) OnMeasureItem(this, Index, Height);
}

void TdxBarCustomCombo::GetItemWidth(int Index, int& Width) {
    TCanvas* canvas = GetItemsCanvas();
    Width = (canvas != nullptr ? canvas->TextWidth(items_->Strings(Index)) : 0) + 2;
}

TCanvas* TdxBarCustomCombo::GetItemsCanvas() {
    if (drawCanvas_ != nullptr) return drawCanvas_;
    return listBox_ != nullptr ? listBox_->Canvas() : nullptr;
}

void TdxBarCustomCombo::DrawCustomizingImage(int, TCanvas* ACanvas, TdxBarItemLink* ALink,
                                             const RECT& ARect) {
    int entry = itemIndex_;
    if (ALink != nullptr && ALink == EditingLink() && ALink->Control() != nullptr)
        entry = ALink->Control()->ListIndex();
    drawCanvas_ = ACanvas;
    drawingEdit_ = true;
    const ScopeGuard restore([this] {
        drawingEdit_ = false;
        drawCanvas_ = nullptr;
    });
    DrawItem(entry, ARect, TOwnerDrawState());
}

void TdxBarCustomCombo::DrawItem(int Index, const RECT& Rect, TOwnerDrawState State) {
    TCanvas* canvas = GetItemsCanvas();
    if (OnDrawItem) {
        OnDrawItem(this, Index, Rect, State);
    } else if (canvas != nullptr && Index < items_->Count()) {
        const std::string text = Index >= 0 ? items_->Strings(Index) : Text();
        const bars::Painter* painter = BarManager() != nullptr ? BarManager()->PainterClass() : nullptr;
        // The canvas's brush and font become the DC's before the painter draws on it.
        canvas->FillRect(Rect);
        canvas->TextExtent(text);
        if (painter != nullptr) painter->DrawComboListItem(canvas->Handle(), text, Rect, drawingEdit_);
    }
    if (State.Contains(odFocused))
        if (TCanvas* canvas = GetItemsCanvas()) ::DrawFocusRect(canvas->Handle(), &Rect);
}

void TdxBarCustomCombo::DropDown(int X, int Y) {
    if (listBox_ != nullptr && BarManager() != nullptr) listBox_->SetParentForm(BarManager()->ParentForm());
    TCustomdxBarCombo::DropDown(X, Y);
    SyncListIndex();
}

void TdxBarCustomCombo::CloseUp() {
    TCustomdxBarCombo::CloseUp();
    if (listBox_ != nullptr) listBox_->SetParentForm(nullptr);
}

void TdxBarCustomCombo::BeginDropDownTracking() {
    if (listBox_ != nullptr) listBox_->CaptureMouse(IsLeftButtonDown() || IsRightButtonDown());
}

void TdxBarCustomCombo::DoCurChange() {
    TCustomdxBarCombo::DoCurChange();
    SyncListIndex();
}

int TdxBarCustomCombo::FindItem(const std::string& Text) const {
    const std::string text = Upper(Text);
    if (text.empty()) return -1;
    int best = -1;
    size_t matched = 0;
    for (int i = 0; i < items_->Count(); ++i) {
        const std::string entry = Upper(items_->Strings(i));
        if (entry.compare(0, matched, text, 0, matched) != 0 || entry.size() < matched) continue;
        while (matched < text.size() && matched < entry.size() && entry[matched] == text[matched]) {
            ++matched;
            best = i;
        }
        if (matched == text.size() && entry.compare(0, matched, text) == 0) return i;
    }
    return best;
}

void TdxBarCustomCombo::SyncListIndex() {
    bars::ItemControl* control = DropDownControl();
    if (control == nullptr || !control->IsWindowControl()) return;
    const std::string text = control->EditText();
    int index = control->ListIndex();
    if (!(index >= 0 && index < items_->Count() && items_->Strings(index) == text)) index = FindItem(text);
    control->SetListIndex(index);
    if (listBox_ == nullptr || !listBox_->DroppedDown()) return;
    if (index > -1 && SameText(items_->Strings(index), text)) {
        listBox_->SetItemIndex(index);
    } else {
        listBox_->SetItemIndex(-1);
        listBox_->SetTopIndex(std::max(index, 0));
    }
}

const TPropertyTable& TdxBarCustomCombo::Table() {
    using C = TdxBarCustomCombo;
    static const TPropertyTable table(
        &TCustomdxBarCombo::Table(),
        {
            IntegerProperty<C>("DropDownCount", &C::DropDownCount, &C::SetDropDownCount, 8),
            IntegerProperty<C>("DropDownWidth", &C::DropDownWidth, &C::SetDropDownWidth, 0),
            MethodProperty("OnDrawItem"),
            MethodProperty("OnMeasureItem"),
        });
    return table;
}

void TdxBarCombo::SetItemIndex(int Value) {
    if (Value == ItemIndex()) return;
    if (Value < 0 || Value >= Items()->Count()) Value = -1;
    StoreItemIndex(Value);
    const std::string entry = Value >= 0 ? Items()->Strings(Value) : std::string();
    if (entry == Text()) {
        Update();
        DoChange();
        Update();
    } else {
        SetText(entry);
    }
}

const TPropertyTable& TdxBarCombo::Table() {
    using C = TdxBarCombo;
    static const TPropertyTable table(
        &TdxBarCustomCombo::Table(),
        {
            IntegerProperty<C>("ItemHeight", &C::ItemHeight, &C::SetItemHeight, 0),
            ObjectProperty<C>("Items", [](C& c) -> TPersistent* { return c.Items(); }),
            BooleanProperty<C>("Sorted", &C::Sorted, &C::SetSorted, false),
            IntegerProperty<C>("ItemIndex", &C::ItemIndex, &C::SetItemIndex, -1),
        });
    return table;
}
