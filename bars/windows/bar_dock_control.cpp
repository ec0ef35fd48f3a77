// The dock site a form places: its own manager, alignment, colour and sunken border.
#include "bars/windows/bar_dock_control.h"

#include <vector>

#include "bars/core/bar_manager.h"
#include "bars/core/toolbar.h"
#include "bars/windows/toolbar_control.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/scoped.h"
#include "platform/gdi/shapes.h"
#include "platform/graphics/bitmap.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/message_views.h"
#include "platform/gui/window.h"
#include "platform/rtl/published.h"

namespace bars {

namespace {

// The empty site the designer keeps visible.
constexpr int DesignTimeSize = 3;

} // namespace

TdxBarDockControl::TdxBarDockControl(TComponent* AOwner) : TdxDockControl(AOwner) {}

const TPropertyTable& TdxBarDockControl::Table() {
    using D = TdxBarDockControl;
    static const TPropertyTable table(&TComponent::Table(), [] {
        TPropInfo color = ColorProperty<D>("Color", &D::Color, &D::SetColor);
        color.Stored = [](const TPersistent& o) {
            const auto& site = static_cast<const D&>(o);
            return site.UseOwnColor() && !site.ParentColor();
        };
        TPropInfo sunken = BooleanProperty<D>("SunkenBorder", &D::SunkenBorder, &D::SetSunkenBorder);
        sunken.Stored = [](const TPersistent& o) { return static_cast<const D&>(o).UseOwnSunkenBorder(); };
        return std::vector<TPropInfo>{
            IntegerProperty<D>("Left", &D::Left, &D::SetLeft),
            IntegerProperty<D>("Top", &D::Top, &D::SetTop),
            IntegerProperty<D>("Width", &D::Width, &D::SetWidth),
            IntegerProperty<D>("Height", &D::Height, &D::SetHeight),
            EnumProperty<D>("Align", &D::Align, &D::SetAlign,
                            {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"}, alTop),
            BooleanProperty<D>("AllowDocking", &D::AllowDocking, &D::SetAllowDocking, true),
            BooleanProperty<D>("AllowZeroSizeInDesignTime", &D::AllowZeroSizeInDesignTime,
                               &D::SetAllowZeroSizeInDesignTime, false),
            ComponentProperty<D, TdxBarManager>("BarManager", &D::BarManager, &D::SetBarManager),
            ObjectProperty<D>("BackgroundBitmap", [](D& d) -> TPersistent* { return d.BackgroundBitmap(); }),
            color,
            BooleanProperty<D>("ParentColor", &D::ParentColor, &D::SetOwnParentColor, true),
            sunken,
            BooleanProperty<D>("UseOwnColor", &D::UseOwnColor, &D::SetUseOwnColor, false),
            BooleanProperty<D>("UseOwnSunkenBorder", &D::UseOwnSunkenBorder, &D::SetUseOwnSunkenBorder,
                               false),
            SetProperty<D>("Anchors", &D::AnchorBits, &D::SetAnchorBits,
                           {"akLeft", "akTop", "akRight", "akBottom"},
                           static_cast<int64_t>(TAnchors{akLeft, akTop}.Bits())),
            BooleanProperty<D>("Visible", &D::Visible, &D::SetVisible, true),
            MethodProperty("OnClick"),
            MethodProperty("OnDblClick"),
            MethodProperty("OnMouseDown"),
            MethodProperty("OnMouseMove"),
            MethodProperty("OnMouseUp"),
            MethodProperty("OnResize")};
    }());
    return table;
}

void RegisterDockControlClass() {
    RegisterComponentClass<TdxBarDockControl>("TdxBarDockControl");
}

TdxBarDockControl::~TdxBarDockControl() {
    // Its toolbars go first, and the site does not realign for each.
    Destroying();
    SetBarManager(nullptr);
}

void TdxBarDockControl::SetBarManager(TdxBarManager* Value) {
    if (Value == manager_) return;
    if (manager_ != nullptr) {
        manager_->UnregisterDockControl(this);
        manager_->RemoveFreeNotification(this);
    }
    manager_ = Value;
    if (manager_ != nullptr) {
        manager_->RegisterDockControl(this);
        manager_->FreeNotification(this);
    }
    BarManagerChanged();
}

void TdxBarDockControl::Notification(TComponent* AComponent, TOperation Operation) {
    TdxDockControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == manager_ && manager_ != nullptr) {
        manager_ = nullptr;
        ResetBackgroundCache();
        UpdateColor();
    }
}

void TdxBarDockControl::BarManagerChanged() {
    ResetBackgroundCache();
    UpdateColor();
    RecreateFrame();
}

void TdxBarDockControl::SetAlign(TAlign Value) {
    if (Value == Align()) return;
    // The toolbars leave with the old style and come back with the new one.
    std::vector<TdxBar*> bars;
    for (int r = 0; r < RowCount(); ++r)
        for (const auto& col : Rows(r)->Columns)
            if (col->BarControl != nullptr && col->BarControl->Bar() != nullptr)
                bars.push_back(col->BarControl->Bar());
    const bool locked = manager_ != nullptr && manager_->LockUpdate();
    if (manager_ != nullptr) manager_->SetLockUpdate(true);
    for (TdxBar* bar : bars)
        bar->SetVisible(false);
    TControl::SetAlign(Value);
    if (manager_ != nullptr) manager_->SetLockUpdate(locked);
    for (TdxBar* bar : bars)
        bar->SetVisible(true);
    RealignBars();
    if (Parent() != nullptr) Parent()->Invalidate();
}

void TdxBarDockControl::SetColor(TColor Value) {
    TdxDockControl::SetColor(Value);
    if (!ComponentState().Contains(csLoading) && !(manager_ != nullptr && manager_->IsLoading()))
        useOwnColor_ = true;
    ResetBackgroundCache();
    Invalidate();
    RepaintBars();
}

void TdxBarDockControl::SetOwnParentColor(bool Value) {
    TControl::SetParentColor(Value);
    if (!ComponentState().Contains(csLoading) && !(manager_ != nullptr && manager_->IsLoading()))
        useOwnColor_ = true;
}

void TdxBarDockControl::SetUseOwnColor(bool Value) {
    if (Value == useOwnColor_) return;
    useOwnColor_ = Value;
    if (!Value) UpdateColor();
}

void TdxBarDockControl::UpdateColor() {
    if (useOwnColor_) return;
    TdxDockControl::UpdateColor();
    ResetBackgroundCache();
    RepaintBars();
}

bool TdxBarDockControl::GetSunkenBorder() const {
    return useOwnSunkenBorder_ ? sunkenBorder_ : TdxDockControl::GetSunkenBorder();
}

void TdxBarDockControl::SetSunkenBorder(bool Value) {
    if (Value == GetSunkenBorder()) return;
    sunkenBorder_ = Value;
    useOwnSunkenBorder_ = true;
    RecreateFrame();
}

void TdxBarDockControl::SetUseOwnSunkenBorder(bool Value) {
    if (Value == useOwnSunkenBorder_) return;
    const bool current = GetSunkenBorder();
    useOwnSunkenBorder_ = Value;
    // Turned on it keeps what it shows; turned off it shows the manager's again.
    if (Value)
        sunkenBorder_ = current;
    else if (current != GetSunkenBorder())
        RecreateFrame();
}

void TdxBarDockControl::SetAllowZeroSizeInDesignTime(bool Value) {
    allowZeroSizeInDesignTime_ = Value;
    if (HandleAllocated()) SendMessage(Handle(), WM_SIZE, 0, 0);
}

int TdxBarDockControl::GetRowsSize() const {
    if (!ComponentState().Contains(csLoading)) return TdxDockControl::GetRowsSize();
    const TRect client = const_cast<TdxBarDockControl*>(this)->ClientRect();
    return Horizontal() ? client.bottom : client.right;
}

int TdxBarDockControl::DesignTimeEmptySize() const {
    if (!ComponentState().Contains(csDesigning) || RowCount() > 0 || allowZeroSizeInDesignTime_) return 0;
    return DesignTimeSize;
}

void TdxBarDockControl::Paint() {
    TdxDockControl::Paint();
    if (!ComponentState().Contains(csDesigning)) return;
    // The designer's dashed outline of the site.
    HDC dc = Canvas().Handle();
    const pw::gdi::SavedDC saved(dc);
    const pw::gdi::OwnedObject<HPEN> pen(CreatePen(PS_DASH, 1, RGB(0, 0, 0)));
    SelectObject(dc, pen.Get());
    const RECT r = ClientRect();
    if (r.right <= r.left || r.bottom <= r.top) return;
    const POINT outline[5] = {{r.left, r.top},
                              {r.right - 1, r.top},
                              {r.right - 1, r.bottom - 1},
                              {r.left, r.bottom - 1},
                              {r.left, r.top}};
    Polyline(dc, outline, 5);
}

bool TdxBarDockControl::CanDockBar(TdxBar* Bar, TdxBarDockingStyle Style) {
    if (!TdxDockControl::CanDockBar(Bar, Style)) return false;
    // A toolbar that holds this site cannot dock in it.
    BarControl* window = Bar != nullptr ? Bar->Control() : nullptr;
    if (window == nullptr || window->Handle() == nullptr || !HandleAllocated()) return true;
    return window->Handle() != TWinControl::Handle() && !IsChild(window->Handle(), TWinControl::Handle());
}

void TdxBarDockControl::ShowBarsAgain() {
    if (manager_ == nullptr || !manager_->HasBarsToShow()) return;
    const std::vector<TdxBar*> bars = *manager_->BarsToShow();
    for (TdxBar* bar : bars)
        if (bar->DockedDockControl() == this && bar->DockingStyle() != dsNone) {
            manager_->RemoveBarToShow(bar);
            bar->SetVisible(true);
        }
}

void TdxBarDockControl::WndProc(TMessage& Message) {
    TdxDockControl::WndProc(Message);
    if (Message.Msg == WM_CREATE) ShowBarsAgain();
    if (Message.Msg != WM_SIZE || !ComponentState().Contains(csDesigning) || RowCount() > 0) return;
    // An empty site the form is designed with keeps its thin strip (or none) across.
    const int size = DesignTimeEmptySize();
    if (Horizontal() ? TControl::Height() != size : TControl::Width() != size) {
        if (Horizontal())
            TControl::SetHeight(size);
        else
            TControl::SetWidth(size);
    }
}

} // namespace bars
