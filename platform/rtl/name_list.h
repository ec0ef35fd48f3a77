#pragma once
// Fills a caller's list of names: a string list of the class library (Clear/Add) or a std::vector.
#include <string>
#include <vector>

namespace rtl_detail {

template <class List> void FillNameList(List& list, const std::vector<std::string>& names) {
    if constexpr (requires { list.Add(std::string()); }) {
        if constexpr (requires { list.BeginUpdate(); }) list.BeginUpdate();
        list.Clear();
        for (const std::string& name : names)
            list.Add(name);
        if constexpr (requires { list.EndUpdate(); }) list.EndUpdate();
    } else {
        list.assign(names.begin(), names.end());
    }
}

} // namespace rtl_detail
