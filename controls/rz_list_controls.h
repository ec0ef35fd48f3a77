#pragma once
// Framed list and combo boxes. Writing ItemIndex selects without a change event.
#include <string>

#include "controls/frame_link.h"
#include "platform/stdctrls/list_controls.h"

class TRzListBox : public TRzFramed<TListBox> {
public:
    explicit TRzListBox(TComponent* AOwner) : TRzFramed<TListBox>(AOwner) {}
    std::string ClassName() const override { return "TRzListBox"; }
    // The first item equal to Text regardless of letter case, or -1.
    int IndexOf(const std::string& Text);
};

class TRzComboBox : public TRzFramed<TComboBox, FramePlace::Client> {
public:
    explicit TRzComboBox(TComponent* AOwner) : TRzFramed<TComboBox, FramePlace::Client>(AOwner) {}
    std::string ClassName() const override { return "TRzComboBox"; }
};
