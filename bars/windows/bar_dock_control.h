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

    // Joins the manager's sites (and leaves the previous one's).
    void SetBarManager(TdxBarManager* Value);
    // Every toolbar in the site takes the docking style of the new alignment.
    void SetAlign(TAlign Value);
    // A colour set here is the site's own; the manager's dock colour no longer reaches it.
    void SetColor(TColor Value);
    bool UseOwnColor() const { return useOwnColor_; }
    void SetUseOwnColor(bool Value);
    bool SunkenBorder() const { return GetSunkenBorder(); }
    void SetSunkenBorder(bool Value);
    bool UseOwnSunkenBorder() const { return useOwnSunkenBorder_; }
    void SetUseOwnSunkenBorder(bool Value);

    bool GetSunkenBorder() const override;
    bool CanDockBar(TdxBar* Bar, TdxBarDockingStyle Style) override;
    void UpdateColor() override;
    void BarManagerChanged() override;

protected:
    void WndProc(TMessage& Message) override;
    // Its manager going leaves it without one.
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    // The form's window was made again: the bars that went with this site's old window show again.
    void ShowBarsAgain();

    bool useOwnColor_ = false;
    bool useOwnSunkenBorder_ = false;
    bool sunkenBorder_ = false;
};

} // namespace bars
