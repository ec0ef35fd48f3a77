#pragma once
// The pictures behind the manager's toolbars and menus.
#include <memory>

#include "platform/rtl/persistent.h"

class TBitmap;
class TdxBarManager;
class TPropertyTable;

class TdxBarBackgrounds : public TPersistent {
public:
    explicit TdxBarBackgrounds(TdxBarManager* ABarManager);
    ~TdxBarBackgrounds() override;
    std::string ClassName() const override { return "TdxBarBackgrounds"; }
    static const TPropertyTable& Table();
    const TPropertyTable* PublishedProperties() const override { return &Table(); }
    void Assign(TPersistent* Source) override;

    TBitmap* Bar() const { return bar_.get(); }
    // Copies Value (nullptr empties the picture); every bar window repaints.
    void SetBar(TBitmap* Value);
    TBitmap* SubMenu() const { return subMenu_.get(); }
    // Menus read it when they paint: nothing is told.
    void SetSubMenu(TBitmap* Value);

protected:
    TPersistent* GetOwner() const override;

private:
    TPersistent* BarObject() const;
    TPersistent* SubMenuObject() const;

    TdxBarManager* barManager_;
    std::unique_ptr<TBitmap> bar_;
    std::unique_ptr<TBitmap> subMenu_;
};
