#pragma once
// The class library's clipboard object, as far as the program uses it (text), over the window system's
// clipboard.
#include <string>

#include "platform/rtl/exception.h"
#include "platform/rtl/object.h"

PW_DECLARE_EXCEPTION(EClipboardException, Exception)

class TClipboard : public TObject {
public:
    std::string ClassName() const override { return "TClipboard"; }
    std::string AsText() const;
    // EClipboardException when another window has the clipboard open.
    void SetAsText(const std::string& Value);
    void Clear();
    bool HasText() const { return !AsText().empty(); }
};

TClipboard& Clipboard();
