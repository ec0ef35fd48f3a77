#include "bars/windows/customizing_redirect.h"

#include "bars/core/bar_manager.h"
#include "bars/core/bar_routines.h"
#include "bars/core/bar_unit.h"
#include "bars/core/customizing_notify.h"
#include "bars/core/item_links.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/messages.h"
#include "platform/gui/window.h"
#include "platform/vcl/form.h"

namespace bars {

namespace {

// Client mouse messages and their non-client twins lie this far apart.
constexpr UINT ClientToNonClient = WM_MOUSEMOVE - WM_NCMOUSEMOVE;

// The form the window is, or the form it stands on.
TCustomForm* FormHolding(HWND Window) {
    TWinControl* control = FindVCLControlOfWindow(Window);
    if (auto* form = dynamic_cast<TCustomForm*>(control)) return form;
    return control != nullptr ? GetParentForm(control) : nullptr;
}

// The frame reports the mouse over its disabled children as its own: over the customized MDI child it
// is the child's.
void FrameToCustomizedChild(TdxBarManager* Customizing, UINT& Msg, MOUSEHOOKSTRUCT& Info) {
    TCustomForm* child =
        Customizing != nullptr && !Customizing->Designing() ? Customizing->ParentForm() : nullptr;
    if (child == nullptr || child->FormStyle() != fsMDIChild || !child->HandleAllocated()) return;
    auto* frame = dynamic_cast<TCustomForm*>(FindVCLControlOfWindow(Info.hwnd));
    if (frame == nullptr || frame->FormStyle() != fsMDIForm || frame->ClientHandle() == nullptr) return;
    POINT p = Info.pt;
    ScreenToClient(frame->ClientHandle(), p);
    if (ChildWindowFromPointEx(frame->ClientHandle(), p, CWP_SKIPINVISIBLE) != child->Handle()) return;
    if (Msg >= WM_MOUSEMOVE && Msg <= WM_MBUTTONDBLCLK) Msg -= ClientToNonClient;
    Info.hwnd = child->Handle();
    Info.wHitTestCode = HTERROR;
}

} // namespace

bool RedirectToCustomizedBar(UINT& Msg, MOUSEHOOKSTRUCT& Info) {
    const HWND customizing = CustomizingFormWindow();
    if (customizing == nullptr || !IsWindowVisible(customizing)) return false;
    FrameToCustomizedChild(BarManagerList().GetCustomizingManager(), Msg, Info);
    if (Info.wHitTestCode != static_cast<UINT>(HTERROR)) return false;
    TCustomForm* form = FormHolding(Info.hwnd);
    if (form == nullptr) return false;
    TdxBarManager* manager = FindBarManagerOfForm(form);
    if (manager == nullptr || !manager->IsCustomizing()) manager = BarManagerList().GetCustomizingManager();
    if (manager == nullptr || !manager->IsCustomizing() || !IsWindowEnabled(customizing)) return false;
    for (BarControl* bar : BarControls()) {
        const HWND window = bar->Handle();
        if (window == nullptr || !IsWindowVisible(window) || bar->ItemLinks() == nullptr ||
            bar->ItemLinks()->BarManager() != manager)
            continue;
        RECT r{0, 0, 0, 0};
        GetWindowRect(window, r);
        if (!PtInRect(r, Info.pt)) continue;
        Info.hwnd = window;
        Info.wHitTestCode = static_cast<UINT>(SendMessage(window, WM_NCHITTEST, 0, PackPoint(Info.pt)));
        SendMessage(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window),
                    MAKELPARAM(static_cast<WORD>(Info.wHitTestCode), static_cast<WORD>(Msg)));
        return true;
    }
    return false;
}

void DeliverRedirected(UINT Msg, const MOUSEHOOKSTRUCT& Info) {
    if (Msg >= WM_NCMOUSEMOVE && Msg <= WM_NCMBUTTONDBLCLK) Msg += ClientToNonClient;
    POINT p = Info.pt;
    ScreenToClient(Info.hwnd, p);
    if (Msg != WM_MOUSEMOVE)
        if (HWND customizing = CustomizingFormWindow()) SetForegroundWindow(customizing);
    WPARAM keys = 0;
    if (GetKeyState(VK_CONTROL) < 0) keys |= MK_CONTROL;
    if (IsLeftButtonDown()) keys |= MK_LBUTTON;
    if (GetKeyState(VK_MBUTTON) < 0) keys |= MK_MBUTTON;
    if (IsRightButtonDown()) keys |= MK_RBUTTON;
    if (GetKeyState(VK_SHIFT) < 0) keys |= MK_SHIFT;
    SendMessage(Info.hwnd, Msg, keys, PackPoint(p));
}

} // namespace bars
