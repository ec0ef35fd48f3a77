#pragma once
// A dock site a form places where it likes (not one of the manager's four along the form's edges): its
// style follows its alignment, and it may keep a colour and a sunken border of its own instead of the
// manager's, or refuse toolbars.
#include "bars/windows/dock_control.h"

namespace bars {

class TdxBarDockControl : public TdxDockControl {
public:
    explicit TdxBarDockControl(TComponent* AOwner);
    ~TdxBarDockControl() override;
    std::string ClassName() const override { return "TdxBarDockControl"; }
    // What a form's stream holds of it.
    static const TPropertyTable& Table();
    const TPropertyTable* PublishedProperties() const override { return &Table(); }

    // Joins the manager's sites (and leaves the previous one's).
    void SetBarManager(TdxBarManager* Value);
    // Every toolbar in the site takes the docking style of the new alignment.
    void SetAlign(TAlign Value);
    // A colour set here is the site's own; the manager's dock colour no longer reaches it. So is the
    // choice of the parent's colour, when set from outside.
    void SetColor(TColor Value);
    void SetOwnParentColor(bool Value);
    bool UseOwnColor() const { return useOwnColor_; }
    void SetUseOwnColor(bool Value);
    bool SunkenBorder() const { return GetSunkenBorder(); }
    void SetSunkenBorder(bool Value);
    bool UseOwnSunkenBorder() const { return useOwnSunkenBorder_; }
    void SetUseOwnSunkenBorder(bool Value);
    // While the form is designed an empty site stays a thin strip the designer can find, or none.
    bool AllowZeroSizeInDesignTime() const { return allowZeroSizeInDesignTime_; }
    void SetAllowZeroSizeInDesignTime(bool Value);
    // How thick an empty site is while the form is designed (0 when it is not).
    int DesignTimeEmptySize() const;

    bool GetSunkenBorder() const override;
    // While it is read it keeps the size the stream gave it.
    int GetRowsSize() const override;
    bool CanDockBar(TdxBar* Bar, TdxBarDockingStyle Style) override;
    void UpdateColor() override;
    void BarManagerChanged() override;

protected:
    void WndProc(TMessage& Message) override;
    void Paint() override;
    // Its manager going leaves it without one.
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    int64_t AnchorBits() const { return Anchors().Bits(); }
    void SetAnchorBits(int64_t Value) { SetAnchors(TAnchors::FromBits(static_cast<uint32_t>(Value))); }
    // The form's window was made again: the bars that went with this site's old window show again.
    void ShowBarsAgain();

    bool useOwnColor_ = false;
    bool useOwnSunkenBorder_ = false;
    bool sunkenBorder_ = false;
    bool allowZeroSizeInDesignTime_ = false;
};

// The dock site a form's stream names, made by its class name.
void RegisterDockControlClass();

} // namespace bars
