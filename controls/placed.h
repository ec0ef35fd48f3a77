#pragma once
// Building a window's controls in code as its form resource would: each control named, put on its
// parent and given its bounds in one call.
#include <string>

#include "platform/stdctrls/buttons.h"
#include "platform/stdctrls/label.h"
#include "platform/vcl/win_control.h"

template <class T>
T* Placed(TComponent* Owner, TWinControl* Parent, const char* Name, int Left, int Top, int Width,
          int Height) {
    auto* control = new T(Owner);
    control->SetName(Name);
    control->SetParent(Parent);
    control->SetBounds(Left, Top, Width, Height);
    return control;
}

// A label of one line that keeps its width.
inline TLabel* PlacedLabel(TComponent* Owner, TWinControl* Parent, const char* Name,
                           const std::string& Caption, int Left, int Top, int Width) {
    auto* label = Placed<TLabel>(Owner, Parent, Name, Left, Top, Width, 17);
    label->SetAutoSize(false);
    label->SetCaption(Caption);
    return label;
}

// A push button of the standard height.
inline TButton* PlacedButton(TComponent* Owner, TWinControl* Parent, const char* Name, const char* Caption,
                             int Left, int Top, int Width = 75) {
    auto* button = Placed<TButton>(Owner, Parent, Name, Left, Top, Width, 25);
    button->SetCaption(Caption);
    return button;
}
