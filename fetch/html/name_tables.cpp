#include "fetch/html/name_tables.h"

#include "fetch/html/entity_table.h"
#include "fetch/html/name_table_data.h"
#include "fetch/html/typed_containers.h"
#include "fetch/html/typed_handlers.h"

namespace {

TDICardinalHash* MakeIdTable(const html_tables::NameId* names, size_t count) {
    auto* table = new TDICardinalHash(DIWideStringCIKeyHandler());
    table->SetHashCount(static_cast<int32_t>(count));
    for (size_t i = 0; i < count; ++i) {
        std::u16string name = names[i].name;
        *static_cast<uint32_t*>(table->Locate(&name)) = names[i].id;
    }
    return table;
}

template <size_t N>
void AddEntities(TDIWideStringHash& names, TDIWideStringHash& chars, const THtmlEntity (&group)[N]) {
    for (const THtmlEntity& e : group) {
        std::u16string name = e.Name;
        std::u16string ch(1, static_cast<char16_t>(e.CodePoint));
        TDIWideStringHash::SetValue(names.Locate(&name), ch);
        char16_t unit = static_cast<char16_t>(e.CodePoint);
        TDIWideStringHash::SetValue(chars.Locate(&unit), name);
    }
}

struct EntityTables {
    TDIWideStringHash* names;
    TDIWideStringHash* chars;
};

// Built once and kept for the whole run, like the handlers they use.
const EntityTables& Entities() {
    static const EntityTables tables = [] {
        EntityTables t{new TDIWideStringHash(DIWideStringCSKeyHandler()),
                       new TDIWideStringHash(DIWideCharCSKeyHandler())};
        t.names->SetHashCount(253);
        t.chars->SetHashCount(253);
        AddEntities(*t.names, *t.chars, HtmlLat1Entities);
        AddEntities(*t.names, *t.chars, HtmlSpecialEntities);
        AddEntities(*t.names, *t.chars, HtmlSymbolEntities);
        return t;
    }();
    return tables;
}

} // namespace

TDICardinalHash& HtmlTagNameTable() {
    static TDICardinalHash* table = MakeIdTable(html_tables::kTagNames, 92);
    return *table;
}

TDICardinalHash& HtmlAttributeNameTable() {
    static TDICardinalHash* table = MakeIdTable(html_tables::kAttributeNames, 119);
    return *table;
}

TDIWideStringHash& HtmlEntityNameTable() {
    return *Entities().names;
}
TDIWideStringHash& HtmlCharEntityTable() {
    return *Entities().chars;
}

uint32_t HtmlTagId(const char16_t* name, size_t length) {
    return HtmlTagNameTable().FindBufValue(name, length);
}

uint32_t HtmlAttributeId(const char16_t* name, size_t length) {
    return HtmlAttributeNameTable().FindBufValue(name, length);
}

char16_t HtmlEntityChar(const char16_t* name, size_t length) {
    const void* item = HtmlEntityNameTable().FindBuf(name, length);
    if (item == nullptr) return 0;
    const std::u16string& value = TDIWideStringHash::Value(item);
    return value.empty() ? 0 : value[0];
}
