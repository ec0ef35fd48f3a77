#include "controls/rz_list_controls.h"

#include "platform/rtl/strings.h"

int TRzListBox::IndexOf(const std::string& Text) {
    TStrings& items = Items();
    for (int i = 0; i < items.Count(); ++i)
        if (SameText(items[i], Text)) return i;
    return -1;
}
