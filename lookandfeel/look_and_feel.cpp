#include "lookandfeel/look_and_feel.h"

#include <algorithm>

#include "platform/rtl/published.h"

TcxLookAndFeel& RootLookAndFeel() {
    // Kept for the whole run, so that settings freed at any time can still leave it.
    static auto* root = new TcxLookAndFeel(TcxLookAndFeel::RootTag{});
    return *root;
}

TcxLookAndFeel::TcxLookAndFeel(RootTag)
    : owner_(nullptr), assigned_{lfvKind, lfvNativeStyle}, isRoot_(true) {}

TcxLookAndFeel::TcxLookAndFeel(TPersistent* AOwner) : owner_(AOwner) {
    RootLookAndFeel().followers_.push_back(this);
}

TcxLookAndFeel::~TcxLookAndFeel() {
    if (TcxLookAndFeel* parent = isRoot_ ? nullptr : Parent()) {
        auto& list = parent->followers_;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
    // Followers fall back to the defaults.
    for (TcxLookAndFeel* follower : std::vector<TcxLookAndFeel*>(followers_))
        follower->SetMasterLookAndFeel(nullptr);
}

const TPropertyTable& TcxLookAndFeel::Table() {
    using L = TcxLookAndFeel;
    static const TPropertyTable table(
        nullptr, {[] {
                      TPropInfo kind = EnumProperty<L>("Kind", &L::Kind, &L::SetKind,
                                                       {"lfFlat", "lfStandard", "lfUltraFlat", "lfOffice11"});
                      kind.Stored = [](const TPersistent& o) {
                          return static_cast<const L&>(o).AssignedValues().Contains(lfvKind);
                      };
                      return kind;
                  }(),
                  [] {
                      TPropInfo native =
                          BooleanProperty<L>("NativeStyle", &L::NativeStyle, &L::SetNativeStyle);
                      native.Stored = [](const TPersistent& o) {
                          return static_cast<const L&>(o).AssignedValues().Contains(lfvNativeStyle);
                      };
                      return native;
                  }()});
    return table;
}

TcxLookAndFeel* TcxLookAndFeel::Parent() const {
    if (isRoot_) return nullptr;
    return master_ != nullptr ? master_ : &RootLookAndFeel();
}

TcxLookAndFeelKind TcxLookAndFeel::Kind() const {
    if (assigned_.Contains(lfvKind) || Parent() == nullptr) return kind_;
    return Parent()->Kind();
}

bool TcxLookAndFeel::NativeStyle() const {
    if (assigned_.Contains(lfvNativeStyle) || Parent() == nullptr) return nativeStyle_;
    return Parent()->NativeStyle();
}

void TcxLookAndFeel::SetKind(TcxLookAndFeelKind Value) {
    const TcxLookAndFeelKind oldKind = Kind();
    const bool oldNative = NativeStyle();
    kind_ = Value;
    assigned_.Include(lfvKind);
    Change(oldKind, oldNative);
}

void TcxLookAndFeel::SetNativeStyle(bool Value) {
    const TcxLookAndFeelKind oldKind = Kind();
    const bool oldNative = NativeStyle();
    nativeStyle_ = Value;
    assigned_.Include(lfvNativeStyle);
    Change(oldKind, oldNative);
}

void TcxLookAndFeel::SetAssignedValues(TcxLookAndFeelValues Value) {
    if (Value == assigned_) return;
    const TcxLookAndFeelKind oldKind = Kind();
    const bool oldNative = NativeStyle();
    assigned_ = Value;
    Change(oldKind, oldNative);
}

void TcxLookAndFeel::SetMasterLookAndFeel(TcxLookAndFeel* Value) {
    if (isRoot_ || Value == master_ || Value == this) return;
    for (TcxLookAndFeel* up = Value; up != nullptr; up = up->master_)
        if (up == this) return; // a master chain may not loop
    const TcxLookAndFeelKind oldKind = Kind();
    const bool oldNative = NativeStyle();
    auto& oldList = Parent()->followers_;
    oldList.erase(std::remove(oldList.begin(), oldList.end(), this), oldList.end());
    master_ = Value;
    Parent()->followers_.push_back(this);
    Change(oldKind, oldNative);
}

void TcxLookAndFeel::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TcxLookAndFeel*>(Source);
    if (source == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    const TcxLookAndFeelKind oldKind = Kind();
    const bool oldNative = NativeStyle();
    kind_ = source->kind_;
    nativeStyle_ = source->nativeStyle_;
    assigned_ = source->assigned_;
    Change(oldKind, oldNative);
}

void TcxLookAndFeel::Change(TcxLookAndFeelKind OldKind, bool OldNativeStyle) {
    TcxLookAndFeelValues changed;
    if (Kind() != OldKind) changed.Include(lfvKind);
    if (NativeStyle() != OldNativeStyle) changed.Include(lfvNativeStyle);
    if (changed.Empty()) return;
    if (OnChanged) OnChanged(this, changed);
    for (TcxLookAndFeel* follower : std::vector<TcxLookAndFeel*>(followers_))
        follower->ParentChanged(OldKind, OldNativeStyle);
}

void TcxLookAndFeel::ParentChanged(TcxLookAndFeelKind OldKind, bool OldNativeStyle) {
    // What this object sets itself did not change.
    Change(assigned_.Contains(lfvKind) ? kind_ : OldKind,
           assigned_.Contains(lfvNativeStyle) ? nativeStyle_ : OldNativeStyle);
}
