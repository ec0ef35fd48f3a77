#pragma once
// The pictures behind the manager's toolbars and menus.
#include <memory>

#include "platform/rtl/persistent.h"

class TBitmap;
class TdxBarManager;

class TdxBarBackgrounds : public TPersistent {
public:
    explicit TdxBarBackgrounds(TdxBarManager* ABarManager);
    ~TdxBarBackgrounds() override;
    std::string ClassName() const override { return "TdxBarBackgrounds"; }
    void Assign(TPersistent* Source) override;

    TBitmap* Bar() const { return bar_.get(); }
    TBitmap* SubMenu() const { return subMenu_.get(); }

protected:
    TPersistent* GetOwner() const override;

private:
    TdxBarManager* barManager_;
    std::unique_ptr<TBitmap> bar_;
    std::unique_ptr<TBitmap> subMenu_;
};
