#pragma once
// Placing the controls of the customizing window and its dialogs, each named as the window's code
// refers to it.
#include <string>

#include "platform/stdctrls/buttons.h"
#include "platform/vcl/win_control.h"

namespace bars {

template <class T>
T* Place(TComponent* Owner, TWinControl* Parent, const char* Name, int Left, int Top, int Width, int Height) {
    auto* control = new T(Owner);
    control->SetName(Name);
    control->SetParent(Parent);
    control->SetBounds(Left, Top, Width, Height);
    return control;
}

inline TButton* PlaceButton(TComponent* Owner, TWinControl* Parent, const char* Name,
                            const std::string& Caption, int Left, int Top, int Width) {
    auto* button = Place<TButton>(Owner, Parent, Name, Left, Top, Width, 22);
    button->SetCaption(Caption);
    return button;
}

inline TCheckBox* PlaceCheck(TComponent* Owner, TWinControl* Parent, const char* Name,
                             const std::string& Caption, int Left, int Top) {
    auto* box = Place<TCheckBox>(Owner, Parent, Name, Left, Top, 320 - Left, 17);
    box->SetCaption(Caption);
    return box;
}

} // namespace bars
