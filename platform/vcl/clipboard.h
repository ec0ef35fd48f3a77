#pragma once
// The class library's clipboard object over the window system's clipboard: text, and pictures (a
// graphic gives its own formats; a picture takes the first format a graphic class reads).
#include <string>

#include "platform/rtl/exception.h"
#include "platform/rtl/persistent.h"
#include "platform/rtl/wintypes.h"

PW_DECLARE_EXCEPTION(EClipboardException, Exception)

class TClipboard : public TPersistent {
public:
    std::string ClassName() const override { return "TClipboard"; }
    std::string AsText() const;
    // EClipboardException when another window has the clipboard open.
    void SetAsText(const std::string& Value);
    void Clear();
    bool HasText() const { return !AsText().empty(); }
    bool HasFormat(UINT Format) const;
    // The clipboard's own handle of the format (not to be deleted); null when it holds none.
    HANDLE GetAsHandle(UINT Format) const;
    // Empties the clipboard and hands it the handle.
    void SetAsHandle(UINT Format, HANDLE Value);
    // A graphic or a picture: the clipboard is emptied and holds what the graphic gives, with its
    // palette. Anything else as the base does.
    void Assign(TPersistent* Source) override;

protected:
    // A picture takes the first format, in the clipboard's order, that a registered graphic class
    // reads (EInvalidGraphic "Unsupported clipboard format" when none); a bitmap takes CF_BITMAP.
    void AssignTo(TPersistent* Dest) override;
};

TClipboard& Clipboard();
