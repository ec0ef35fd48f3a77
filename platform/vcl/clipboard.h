#pragma once
// The system clipboard, as far as the program uses it: text.
#include <string>

#include "platform/rtl/object.h"

class TClipboard : public TObject {
public:
    std::string ClassName() const override { return "TClipboard"; }
    std::string AsText() const;
    void SetAsText(const std::string& Value);
    void Clear();
    bool HasText() const { return !AsText().empty(); }
};

TClipboard& Clipboard();
