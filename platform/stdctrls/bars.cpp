#include "platform/stdctrls/bars.h"

#include <algorithm>

#include "platform/commctrl/common_controls.h"
#include "platform/gui/message_loop.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/format.h"

// Panels.

void TStatusPanel::SetText(const std::string& Value) {
    if (text_ == Value) return;
    text_ = Value;
    owner_.UpdatePanel(Index());
}

void TStatusPanel::SetWidth(int Value) {
    width_ = Value;
    owner_.panels_->Changed();
}

void TStatusPanel::SetStyle(TStatusPanelStyle Value) {
    style_ = Value;
    owner_.UpdatePanel(Index());
}

void TStatusPanel::SetBevel(TStatusPanelBevel Value) {
    bevel_ = Value;
    owner_.UpdatePanel(Index());
}

int TStatusPanel::Index() const {
    const auto& items = owner_.panels_->items_;
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i].get() == this) return static_cast<int>(i);
    return -1;
}

TStatusPanel* TStatusPanels::Items(int Index) const {
    if (Index < 0 || Index >= Count()) throw EListError(Format("List index out of bounds (%d)", Index));
    return items_[static_cast<size_t>(Index)].get();
}

TStatusPanel* TStatusPanels::Add() {
    items_.push_back(std::make_unique<TStatusPanel>(owner_));
    Changed();
    return items_.back().get();
}

void TStatusPanels::Delete(int Index) {
    Items(Index);
    items_.erase(items_.begin() + Index);
    Changed();
}

void TStatusPanels::Clear() {
    items_.clear();
    Changed();
}

void TStatusPanels::EndUpdate() {
    if (updateCount_ > 0 && --updateCount_ == 0) Changed();
}

void TStatusPanels::Changed() {
    if (updateCount_ == 0) owner_.UpdatePanels();
}

// Status bar.

TStatusBar::TStatusBar(TComponent* AOwner)
    : TWinControl(AOwner), panels_(std::make_unique<TStatusPanels>(*this)) {
    InitCommonControls();
    controlStyle_ = TControlStyle{csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque};
    SetBounds(0, 0, 200, 19);
    SetColor(clBtnFace);
    SetAlign(alBottom);
}

TStatusBar::~TStatusBar() = default;

void TStatusBar::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, STATUSCLASSNAME);
    // The control keeps its own place (Align); the window must not move itself to the parent's foot.
    Params.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE;
    if (sizeGrip_) Params.Style |= SBARS_SIZEGRIP;
}

void TStatusBar::CreateWnd() {
    TWinControl::CreateWnd();
    UpdatePanels();
    if (simplePanel_) SetSimpleText(simpleText_);
}

void TStatusBar::UpdatePanels() {
    if (!HandleAllocated()) return;
    std::vector<int> edges;
    int right = 0;
    for (int i = 0; i < panels_->Count(); ++i) {
        right += (*panels_)[i]->Width();
        edges.push_back(i + 1 == panels_->Count() ? -1 : right);
    }
    if (edges.empty()) edges.push_back(-1);
    SendMessage(Handle(), SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
    for (int i = 0; i < panels_->Count(); ++i)
        UpdatePanel(i);
    SendMessage(Handle(), SB_SIMPLE, simplePanel_ ? 1 : 0, 0);
}

void TStatusBar::UpdatePanel(int Index) {
    if (!HandleAllocated() || Index < 0 || Index >= panels_->Count()) return;
    const TStatusPanel* panel = (*panels_)[Index];
    WPARAM flags = static_cast<WPARAM>(Index);
    if (panel->Bevel() == pbNone) flags |= SBT_NOBORDERS;
    if (panel->Bevel() == pbRaised) flags |= SBT_POPOUT;
    SendMessage(Handle(), SB_SETTEXT, flags, reinterpret_cast<LPARAM>(panel->Text().c_str()));
}

void TStatusBar::SetSimplePanel(bool Value) {
    if (simplePanel_ == Value) return;
    simplePanel_ = Value;
    if (!HandleAllocated()) return;
    SendMessage(Handle(), SB_SIMPLE, Value ? 1 : 0, 0);
    if (Value) SendMessage(Handle(), SB_SETTEXT, SB_SIMPLEID, reinterpret_cast<LPARAM>(simpleText_.c_str()));
}

void TStatusBar::SetSimpleText(const std::string& Value) {
    simpleText_ = Value;
    if (HandleAllocated() && simplePanel_)
        SendMessage(Handle(), SB_SETTEXT, SB_SIMPLEID, reinterpret_cast<LPARAM>(simpleText_.c_str()));
}

void TStatusBar::SetSizeGrip(bool Value) {
    if (sizeGrip_ == Value) return;
    sizeGrip_ = Value;
    RecreateWnd();
}

// Progress bar.

TProgressBar::TProgressBar(TComponent* AOwner) : TWinControl(AOwner) {
    InitCommonControls();
    SetBounds(0, 0, 150, 16);
}

void TProgressBar::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, PROGRESS_CLASS);
    if (smooth_) Params.Style |= PBS_SMOOTH;
}

void TProgressBar::CreateWnd() {
    TWinControl::CreateWnd();
    SendMessage(Handle(), PBM_SETRANGE32, static_cast<WPARAM>(min_), max_);
    SendMessage(Handle(), PBM_SETSTEP, static_cast<WPARAM>(step_), 0);
    SendMessage(Handle(), PBM_SETPOS, static_cast<WPARAM>(position_), 0);
}

void TProgressBar::DestroyWnd() {
    if (HandleAllocated()) position_ = Position();
    TWinControl::DestroyWnd();
}

void TProgressBar::SetRange(int AMin, int AMax) {
    if (AMax < AMin) throw EInvalidOperation(Format("%s property out of range", ClassName().c_str()));
    min_ = AMin;
    max_ = AMax;
    position_ = std::clamp(position_, min_, max_);
    if (HandleAllocated()) SendMessage(Handle(), PBM_SETRANGE32, static_cast<WPARAM>(min_), max_);
}

int TProgressBar::Position() {
    if (!HandleAllocated()) return position_;
    return static_cast<int>(SendMessage(Handle(), PBM_GETPOS, 0, 0));
}

void TProgressBar::SetPosition(int Value) {
    position_ = std::clamp(Value, min_, max_);
    if (HandleAllocated()) SendMessage(Handle(), PBM_SETPOS, static_cast<WPARAM>(position_), 0);
}

void TProgressBar::SetStep(int Value) {
    step_ = Value;
    if (HandleAllocated()) SendMessage(Handle(), PBM_SETSTEP, static_cast<WPARAM>(Value), 0);
}

void TProgressBar::StepIt() {
    if (HandleAllocated()) {
        SendMessage(Handle(), PBM_STEPIT, 0, 0);
        position_ = Position();
        return;
    }
    // The window wraps to the start past the end; so does the kept position.
    position_ += step_;
    if (position_ > max_) position_ = min_ + (position_ - max_);
}

void TProgressBar::StepBy(int Delta) {
    SetPosition(Position() + Delta);
}

void TProgressBar::SetSmooth(bool Value) {
    if (smooth_ == Value) return;
    smooth_ = Value;
    RecreateWnd();
}
