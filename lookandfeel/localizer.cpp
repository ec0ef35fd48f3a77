#include "lookandfeel/localizer.h"

#include <map>

namespace {

std::map<std::string, std::string>& Replacements() {
    static auto* table = new std::map<std::string, std::string>;
    return *table;
}

} // namespace

std::string LocalizeString(const std::string& Text) {
    const auto& table = Replacements();
    auto it = table.find(Text);
    return it == table.end() ? Text : it->second;
}

void AddLocalizedString(const std::string& Source, const std::string& Replacement) {
    Replacements()[Source] = Replacement;
}

void ClearLocalizedStrings() {
    Replacements().clear();
}
