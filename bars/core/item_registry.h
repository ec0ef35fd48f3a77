#pragma once
// The item classes the toolbar library knows, each with the class of control that shows its links and
// whether the add-item dialog offers it. Registering an item class also lets the stream make it.
#include <string>

#include "bars/core/bar_views.h"
#include "platform/rtl/component.h"

struct TRegItemRecord {
    std::string ItemClassName;
    TComponentClass ItemClass = nullptr;
    bars::ItemControlFactory ItemControlClass = nullptr;
    bool ShowInAddList = false;
};

void RegisterBarItemClass(const std::string& ItemClassName, TComponentClass ItemClass,
                          bars::ItemControlFactory ItemControlClass, bool ShowInAddList);
template <class T>
void RegisterBarItemClass(const std::string& ItemClassName, bars::ItemControlFactory ItemControlClass,
                          bool ShowInAddList) {
    RegisterBarItemClass(
        ItemClassName, [](TComponent* AOwner) -> TComponent* { return new T(AOwner); }, ItemControlClass,
        ShowInAddList);
}
// Removes the first record of that class; an unknown class is ignored.
void UnRegisterBarItemClass(const std::string& ItemClassName);
// The window library gives the control class of a registered item class.
void SetBarItemControlClass(const std::string& ItemClassName, bars::ItemControlFactory ItemControlClass);

int RegisteredItemClassCount();
// nullptr outside the list.
const TRegItemRecord* RegisteredItemClass(int Index);
// The record of the item class of that name (letter case ignored), nullptr when none.
const TRegItemRecord* FindRegisteredItemClass(const std::string& ItemClassName);
int GetAddListItemClassCount();
// The Index-th class the add-item dialog offers; nullptr outside.
const TRegItemRecord* GetAddListItemClass(int Index);

namespace bars {
// The start-up registrations, in their order, and their removal in reverse.
void RegisterStandardItemClasses();
void UnregisterStandardItemClasses();
} // namespace bars
