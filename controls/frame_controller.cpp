#include "controls/frame_controller.h"

#include <algorithm>

#include "controls/frame_link.h"

TRzFrameController::TRzFrameController(TComponent* AOwner) : TComponent(AOwner) {}

TRzFrameController::~TRzFrameController() {
    for (TRzFrameLink* link : links_)
        link->ControllerGone();
}

void TRzFrameController::Attach(TRzFrameLink* Link) {
    if (std::find(links_.begin(), links_.end(), Link) == links_.end()) links_.push_back(Link);
    Link->TakeFrom(*this);
}

void TRzFrameController::Detach(TRzFrameLink* Link) {
    links_.erase(std::remove(links_.begin(), links_.end(), Link), links_.end());
}

void TRzFrameController::ApplyAll() {
    for (TRzFrameLink* link : links_)
        link->TakeFrom(*this);
}

void TRzFrameController::SetFrameStyle(TFrameStyle Value) {
    if (frameStyle_ == Value) return;
    frameStyle_ = Value;
    ApplyAll();
}

void TRzFrameController::SetFrameVisible(bool Value) {
    if (frameVisible_ == Value) return;
    frameVisible_ = Value;
    ApplyAll();
}

void TRzFrameController::SetFrameColor(TColor Value) {
    if (frameColor_ == Value) return;
    frameColor_ = Value;
    ApplyAll();
}

void TRzFrameController::SetColor(TColor Value) {
    if (color_ == Value) return;
    color_ = Value;
    ApplyAll();
}

void TRzFrameController::SetFocusColor(TColor Value) {
    if (focusColor_ == Value) return;
    focusColor_ = Value;
    ApplyAll();
}
