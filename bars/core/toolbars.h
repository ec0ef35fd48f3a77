#pragma once
// The manager's toolbars, and the four dock sites along the edges of its form.
#include <string>

#include "bars/core/toolbar.h"

class TdxBars : public TCollection {
public:
    explicit TdxBars(TdxBarManager* ABarManager);
    ~TdxBars() override;
    std::string ClassName() const override { return "TdxBars"; }

    TdxBar* Items(int Index) const { return static_cast<TdxBar*>(TCollection::Items(Index)); }
    TdxBar* Add() { return static_cast<TdxBar*>(TCollection::Add()); }
    TdxBarManager* BarManager() const { return barManager_; }
    // Base followed by 1, 2, ...: the first that no bar has as its name.
    std::string GetUniqueName(const std::string& Base) const;
    // The site along the form's edge for a docked style; nullptr for dsNone or before the sites exist.
    bars::DockControl* DockControls(TdxBarDockingStyle Style) const;
    // A form-edge site that leaves the manager leaves this table too.
    void ForgetDockControl(bars::DockControl* Site);
    bool IsFormEdge(const bars::DockControl* Site) const;
    void DockBarControl(TdxBarDockingStyle Style, bars::DockControl* ADockControl, POINT ScreenPoint,
                        bars::BarControl* AControl);
    void UndockBarControl(TdxBarDockingStyle Style, bars::DockControl* ADockControl,
                          bars::BarControl* AControl);

    // While the manager loads, the bars keep their streamed docking and visibility for later.
    bool Loading() const { return loading_; }
    void SetLoading(bool Value) { loading_ = Value; }

protected:
    void Update(TCollectionItem* Item) override;

private:
    TdxBarManager* barManager_;
    bars::DockControl* edgeSites_[5] = {};
    bool loading_ = false;
};
