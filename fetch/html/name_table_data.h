#pragma once
// Names and numbers of the HTML tags and attributes the parser knows.
#include <cstdint>

namespace html_tables {

struct NameId {
    const char16_t* name;
    uint32_t id;
};

extern const NameId kTagNames[92];
extern const NameId kAttributeNames[119];

} // namespace html_tables
