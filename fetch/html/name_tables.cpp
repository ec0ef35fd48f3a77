#include "fetch/html/name_tables.h"

#include <cstring>
#include <iterator>

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

namespace {

// The names of a table in lower case, by a hash of their letters: every tag and attribute of a page is
// looked up, and nearly all are plain ASCII. A name with any other character goes to the table itself,
// whose Unicode case folding may still match it.
class AsciiNameIndex {
public:
    static constexpr size_t kLongest = 16;

    AsciiNameIndex(const html_tables::NameId* names, size_t count) {
        for (size_t i = 0; i < count; ++i) {
            Entry e{};
            const char16_t* n = names[i].name;
            while (n[e.length] != 0)
                ++e.length;
            for (size_t k = 0; k < e.length; ++k)
                e.name.bytes[k] = static_cast<char>(n[k] >= u'A' && n[k] <= u'Z' ? n[k] + 32 : n[k]);
            e.id = names[i].id;
            size_t slot = Hash(e.name, e.length);
            while (slots_[slot].length != 0)
                slot = (slot + 1) & (kSlots - 1);
            slots_[slot] = e;
        }
    }

    // The id, 0 when unknown; false when the name is not plain ASCII.
    bool Find(const char16_t* name, size_t length, uint32_t& id) const {
        id = 0;
        Name lower{};
        char16_t any = 0;
        if (length > kLongest) {
            for (size_t k = 0; k < length; ++k)
                any |= name[k];
            return any < 0x80; // no known name is this long
        }
        for (size_t k = 0; k < length; ++k) {
            const char16_t c = name[k];
            any |= c;
            lower.bytes[k] = static_cast<char>(c | ((c >= u'A' && c <= u'Z') ? 0x20 : 0));
        }
        if (any >= 0x80) return false;
        for (size_t slot = Hash(lower, length);; slot = (slot + 1) & (kSlots - 1)) {
            const Entry& e = slots_[slot];
            if (e.length == 0) return true;
            if (e.length == length && std::memcmp(e.name.bytes, lower.bytes, kLongest) == 0) {
                id = e.id;
                return true;
            }
        }
    }

private:
    static constexpr size_t kSlots = 1024;
    // A name in lower case, padded with zeros: compared whole.
    struct Name {
        char bytes[kLongest];
    };
    struct Entry {
        Name name;
        size_t length;
        uint32_t id;
    };
    // Length, first, second and last letters tell the known names apart well enough for a short probe.
    static size_t Hash(const Name& n, size_t length) {
        const auto byte = [&](size_t k) { return static_cast<uint32_t>(static_cast<uint8_t>(n.bytes[k])); };
        const uint32_t h = static_cast<uint32_t>(length) * 0x9E3779B1u ^ byte(0) * 0x85EBCA77u ^
                           byte(1) * 0xC2B2AE3Du ^ (length ? byte(length - 1) : 0) * 0x27D4EB2Fu;
        return (h ^ (h >> 16)) & (kSlots - 1);
    }
    Entry slots_[kSlots] = {};
};

const AsciiNameIndex& TagIndex() {
    static const AsciiNameIndex index(html_tables::kTagNames, std::size(html_tables::kTagNames));
    return index;
}

const AsciiNameIndex& AttributeIndex() {
    static const AsciiNameIndex index(html_tables::kAttributeNames, std::size(html_tables::kAttributeNames));
    return index;
}

} // namespace

uint32_t HtmlTagId(const char16_t* name, size_t length) {
    uint32_t id;
    if (TagIndex().Find(name, length, id)) return id;
    return HtmlTagNameTable().FindBufValue(name, length);
}

uint32_t HtmlAttributeId(const char16_t* name, size_t length) {
    uint32_t id;
    if (AttributeIndex().Find(name, length, id)) return id;
    return HtmlAttributeNameTable().FindBufValue(name, length);
}

char16_t HtmlEntityChar(const char16_t* name, size_t length) {
    const void* item = HtmlEntityNameTable().FindBuf(name, length);
    if (item == nullptr) return 0;
    const std::u16string& value = TDIWideStringHash::Value(item);
    return value.empty() ? 0 : value[0];
}
