#pragma once
// Page controls whose pages may all hide their tabs, so that the program alone moves between them.
#include "platform/stdctrls/page_control.h"

class TRzTabSheet : public TTabSheet {
public:
    explicit TRzTabSheet(TComponent* AOwner) : TTabSheet(AOwner) {}
    std::string ClassName() const override { return "TRzTabSheet"; }
};

class TRzPageControl : public TPageControl {
public:
    explicit TRzPageControl(TComponent* AOwner) : TPageControl(AOwner) {}
    std::string ClassName() const override { return "TRzPageControl"; }
};
