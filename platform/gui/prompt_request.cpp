#include "platform/gui/prompt_request.h"

#include "platform/rtl/strings.h"

namespace pw::gui {

std::vector<std::string> ToolkitNameFilters(const std::string& filter) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        size_t bar = filter.find('|', start);
        parts.push_back(filter.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
        if (bar == std::string::npos) break;
        start = bar + 1;
    }
    std::vector<std::string> out;
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        std::string patterns;
        size_t from = 0;
        const std::string& list = parts[i + 1];
        while (from <= list.size()) {
            size_t semi = list.find(';', from);
            std::string p =
                Trim(list.substr(from, semi == std::string::npos ? std::string::npos : semi - from));
            if (p == "*.*") p = "*";
            if (!p.empty()) patterns += (patterns.empty() ? "" : " ") + p;
            if (semi == std::string::npos) break;
            from = semi + 1;
        }
        if (patterns.empty()) continue;
        // Descriptions usually name their patterns already ("Profile (*.qpw)"); the toolkit shows the
        // description as it is and reads the patterns from its last parentheses, so those are ours.
        std::string description = parts[i];
        if (!description.empty() && description.back() == ')') {
            const size_t open = description.rfind('(');
            if (open != std::string::npos) description = TrimRight(description.substr(0, open));
        }
        out.push_back(description + " (" + patterns + ")");
    }
    return out;
}

} // namespace pw::gui
