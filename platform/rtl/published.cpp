#include "platform/rtl/published.h"

#include "platform/rtl/strings.h"

TPropertyTable::TPropertyTable(const TPropertyTable* base, std::vector<TPropInfo> own) {
    if (base != nullptr) all_ = base->all_;
    for (auto& info : own)
        all_.push_back(std::move(info));
}

const TPropInfo* TPropertyTable::Find(std::string_view name) const {
    for (const auto& info : all_)
        if (SameText(info.Name, name)) return &info;
    return nullptr;
}
