#pragma once
// Look-and-feel settings: a drawing kind and whether to draw natively through the visual styles. A
// value not set here comes from the master settings, and at the end of the chain from the defaults
// that every settings object without a master follows.
#include <functional>
#include <string>
#include <vector>

#include "platform/graphics/graphics_types.h"
#include "platform/rtl/persistent.h"

class TPropertyTable;

enum TcxLookAndFeelKind { lfFlat, lfStandard, lfUltraFlat, lfOffice11 };
enum TcxLookAndFeelValue { lfvKind, lfvNativeStyle };
using TcxLookAndFeelValues = TSet<TcxLookAndFeelValue>;

class TcxLookAndFeel;
using TcxLookAndFeelChangedEvent = std::function<void(TcxLookAndFeel* Sender, TcxLookAndFeelValues Changed)>;

class TcxLookAndFeel : public TPersistent {
public:
    explicit TcxLookAndFeel(TPersistent* AOwner);
    ~TcxLookAndFeel() override;
    TcxLookAndFeel(const TcxLookAndFeel&) = delete;
    TcxLookAndFeel& operator=(const TcxLookAndFeel&) = delete;
    std::string ClassName() const override { return "TcxLookAndFeel"; }
    static const TPropertyTable& Table();
    const TPropertyTable* PublishedProperties() const override { return &Table(); }

    // Effective values.
    TcxLookAndFeelKind Kind() const;
    bool NativeStyle() const;
    // Setting a value makes it this object's own.
    void SetKind(TcxLookAndFeelKind Value);
    void SetNativeStyle(bool Value);
    TcxLookAndFeelValues AssignedValues() const { return assigned_; }
    // Values left out return to the master's.
    void SetAssignedValues(TcxLookAndFeelValues Value);
    void Reset() { SetAssignedValues(TcxLookAndFeelValues()); }

    // nullptr: the defaults.
    TcxLookAndFeel* MasterLookAndFeel() const { return master_; }
    void SetMasterLookAndFeel(TcxLookAndFeel* Value);

    // Copies another settings object's own values.
    void Assign(TPersistent* Source) override;

    // Told whenever an effective value changes.
    TcxLookAndFeelChangedEvent OnChanged;

protected:
    TPersistent* GetOwner() const override { return owner_; }

private:
    friend TcxLookAndFeel& RootLookAndFeel();
    struct RootTag {};
    explicit TcxLookAndFeel(RootTag);
    TcxLookAndFeel* Parent() const;
    void Change(TcxLookAndFeelKind OldKind, bool OldNativeStyle);
    void ParentChanged(TcxLookAndFeelKind OldKind, bool OldNativeStyle);

    TPersistent* owner_;
    TcxLookAndFeel* master_ = nullptr;
    std::vector<TcxLookAndFeel*> followers_;
    TcxLookAndFeelValues assigned_;
    TcxLookAndFeelKind kind_ = lfStandard;
    bool nativeStyle_ = false;
    bool isRoot_ = false;
};

// The defaults that settings without a master follow; changing them tells every such object.
TcxLookAndFeel& RootLookAndFeel();
