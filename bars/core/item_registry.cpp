#include "bars/core/item_registry.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "bars/core/bar_button.h"
#include "bars/core/bar_combo.h"
#include "bars/core/bar_edit.h"
#include "bars/core/sub_item.h"
#include "platform/rtl/strings.h"

namespace {

// The registry of the design, process-wide as the stream's classes are; never freed, as records may be
// looked up while the program ends.
std::vector<TRegItemRecord>& Records() {
    static auto* records = new std::vector<TRegItemRecord>;
    return *records;
}

// The item classes registered at start-up, in order. The others of the library (list, container,
// quick-customization and system-menu items) register with the parts that make them.
const char* const kStandardClasses[] = {"TdxBarButton", "TdxBarEdit", "TCustomdxBarCombo", "TdxBarCombo",
                                        "TdxBarSubItem"};

} // namespace

void RegisterBarItemClass(const std::string& ItemClassName, TComponentClass ItemClass,
                          bars::ItemControlFactory ItemControlClass, bool ShowInAddList) {
    Records().push_back(TRegItemRecord{ItemClassName, ItemClass, ItemControlClass, ShowInAddList});
    RegisterClass(ItemClassName, ItemClass);
}

void UnRegisterBarItemClass(const std::string& ItemClassName) {
    auto& records = Records();
    auto it = std::find_if(records.begin(), records.end(),
                           [&](const TRegItemRecord& r) { return SameText(r.ItemClassName, ItemClassName); });
    if (it == records.end()) return;
    records.erase(it);
    UnRegisterClass(ItemClassName);
}

void SetBarItemControlClass(const std::string& ItemClassName, bars::ItemControlFactory ItemControlClass) {
    for (TRegItemRecord& record : Records())
        if (SameText(record.ItemClassName, ItemClassName)) record.ItemControlClass = ItemControlClass;
}

int RegisteredItemClassCount() {
    return static_cast<int>(Records().size());
}

const TRegItemRecord* RegisteredItemClass(int Index) {
    if (Index < 0 || Index >= RegisteredItemClassCount()) return nullptr;
    return &Records()[static_cast<size_t>(Index)];
}

const TRegItemRecord* FindRegisteredItemClass(const std::string& ItemClassName) {
    for (const TRegItemRecord& record : Records())
        if (SameText(record.ItemClassName, ItemClassName)) return &record;
    return nullptr;
}

int GetAddListItemClassCount() {
    return static_cast<int>(std::count_if(Records().begin(), Records().end(),
                                          [](const TRegItemRecord& r) { return r.ShowInAddList; }));
}

const TRegItemRecord* GetAddListItemClass(int Index) {
    if (Index < 0) return nullptr;
    for (const TRegItemRecord& record : Records())
        if (record.ShowInAddList && Index-- == 0) return &record;
    return nullptr;
}

namespace bars {

void RegisterStandardItemClasses() {
    RegisterBarItemClass<TdxBarButton>("TdxBarButton", nullptr, true);
    RegisterBarItemClass<TdxBarEdit>("TdxBarEdit", nullptr, true);
    RegisterBarItemClass<TCustomdxBarCombo>("TCustomdxBarCombo", nullptr, true);
    RegisterBarItemClass<TdxBarCombo>("TdxBarCombo", nullptr, true);
    RegisterBarItemClass<TdxBarSubItem>("TdxBarSubItem", nullptr, true);
}

void UnregisterStandardItemClasses() {
    for (size_t i = std::size(kStandardClasses); i > 0; --i)
        UnRegisterBarItemClass(kStandardClasses[i - 1]);
}

} // namespace bars
