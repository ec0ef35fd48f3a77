#include "controls/edit_buttons.h"

#include <algorithm>
#include <utility>

#include "platform/gdi/dc.h"
#include "platform/gdi/edges.h"
#include "platform/gdi/gdi_defs.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/scoped.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/syscolors.h"
#include "platform/gui/input.h"
#include "platform/gui/message_views.h"
#include "platform/gui/messages.h"
#include "platform/gui/paint.h"
#include "platform/gui/window.h"
#include "platform/gui/window_dc.h"
#include "platform/vcl/win_control.h"

namespace rz {

namespace {
constexpr UINT kNcMouseLeave = 0x02A2;
}

EditButtons::EditButtons(TWinControl& Control, int Width, std::vector<EditButtonKind> Kinds)
    : control_(Control), width_(Width), kinds_(std::move(Kinds)) {}

RECT EditButtons::Strip() const {
    if (!control_.HandleAllocated()) return RECT{};
    HWND h = const_cast<TWinControl&>(control_).Handle();
    RECT window, client;
    GetWindowRect(h, window);
    GetClientRect(h, client);
    POINT origin{0, 0};
    ClientToScreen(h, origin);
    const int left = origin.x - window.left + client.right;
    const int top = origin.y - window.top;
    return RECT{left, top, left + width_, top + client.bottom};
}

RECT EditButtons::ButtonRect(int Index) const {
    RECT strip = Strip();
    const int count = static_cast<int>(kinds_.size());
    if (Index < 0 || Index >= count || IsRectEmpty(strip)) return RECT{};
    const int height = strip.bottom - strip.top;
    return RECT{strip.left, strip.top + height * Index / count, strip.right,
                strip.top + height * (Index + 1) / count};
}

int EditButtons::ButtonAt(POINT Screen) const {
    if (!control_.HandleAllocated()) return -1;
    RECT window;
    GetWindowRect(const_cast<TWinControl&>(control_).Handle(), window);
    const POINT p{Screen.x - window.left, Screen.y - window.top};
    for (int i = 0; i < static_cast<int>(kinds_.size()); ++i)
        if (PtInRect(ButtonRect(i), p)) return i;
    return -1;
}

bool EditButtons::Before(TMessage& Message) {
    switch (Message.Msg) {
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
        return Press(TWMNCHitMessage(Message));
    case WM_NCMOUSEMOVE:
        return Hover(ButtonAt(TWMNCHitMessage(Message).Pos()));
    case kNcMouseLeave:
    case WM_MOUSEMOVE:
        return Hover(-1);
    default:
        return false;
    }
}

void EditButtons::After(TMessage& Message) {
    switch (Message.Msg) {
    case WM_NCCALCSIZE:
        return MakeRoom(TWMNCCalcSize(Message).ClientRect());
    case WM_NCHITTEST:
        return HitTest(TWMNCHitTest(Message));
    case WM_NCPAINT:
    case WM_ENABLE:
        return Paint();
    default:
        return;
    }
}

// A press on a button is the buttons', not the edit's.
bool EditButtons::Press(TWMNCHitMessage Message) {
    const int index = ButtonAt(Message.Pos());
    if (index < 0) return false;
    if (control_.CanFocus() && !control_.Focused()) control_.SetFocus();
    if (OnPress) OnPress(index);
    Message.Result = 0;
    return true;
}

// The button under the pointer (-1 for none) lights up; leaving the frame is watched for.
bool EditButtons::Hover(int index) {
    if (index == hover_) return false;
    hover_ = index;
    if (index >= 0) {
        TRACKMOUSEEVENT track{};
        track.cbSize = sizeof(track);
        track.dwFlags = TME_LEAVE | TME_NONCLIENT;
        track.hwndTrack = control_.Handle();
        TrackMouseEvent(track);
    }
    if (OnHover) OnHover(index);
    return false;
}

void EditButtons::MakeRoom(RECT* client) const {
    if (client) client->right = std::max(client->left, client->right - width_);
}

// The buttons are part of the frame, where clicks reach the non-client messages.
void EditButtons::HitTest(TWMNCHitTest Message) const {
    if (ButtonAt(Message.Pos()) >= 0) Message.Result = HTBORDER;
}

void EditButtons::Paint() {
    if (!control_.HandleAllocated()) return;
    const pw::gui::WindowDC window(control_.Handle(), pw::gui::WindowDC::Area::Window);
    HDC dc = window.Get();
    if (!dc) return;
    const UINT inactive = control_.Enabled() ? 0 : DFCS_INACTIVE;
    for (int i = 0; i < static_cast<int>(kinds_.size()); ++i) {
        RECT r = ButtonRect(i);
        if (IsRectEmpty(r)) continue;
        switch (kinds_[static_cast<size_t>(i)]) {
        case EditButtonKind::Up:
            DrawFrameControl(dc, &r, DFC_SCROLL, DFCS_SCROLLUP | inactive);
            break;
        case EditButtonKind::Down:
            DrawFrameControl(dc, &r, DFC_SCROLL, DFCS_SCROLLDOWN | inactive);
            break;
        case EditButtonKind::Ellipsis: {
            DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | inactive);
            // Three dots, centred.
            const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2 + 1;
            const COLORREF dot = GetSysColor(control_.Enabled() ? COLOR_BTNTEXT : COLOR_GRAYTEXT);
            for (int d = -3; d <= 3; d += 3) {
                RECT p{cx + d - 1, cy, cx + d + 1, cy + 2};
                const pw::gdi::OwnedObject<HBRUSH> brush(CreateSolidBrush(dot));
                FillRect(dc, &p, brush.Get());
            }
            break;
        }
        }
    }
}

} // namespace rz
