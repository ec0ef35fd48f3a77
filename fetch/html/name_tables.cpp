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
            size_t length = 0;
            while (names[i].name[length] != 0)
                ++length;
            Key key;
            Pack(names[i].name, length, key);
            size_t slot = Hash(key, length);
            while (slots_[slot].length != 0)
                slot = (slot + 1) & (kSlots - 1);
            slots_[slot] = {key, static_cast<uint32_t>(length), names[i].id};
        }
    }

    // The id, 0 when unknown; false when the name is not plain ASCII.
    bool Find(const char16_t* name, size_t length, uint32_t& id) const {
        id = 0;
        if (length > kLongest) {
            char16_t any = 0;
            for (size_t k = 0; k < length; ++k)
                any |= name[k];
            return any < 0x80; // no known name is this long
        }
        Key key;
        if (!Pack(name, length, key)) return false;
        for (size_t slot = Hash(key, length);; slot = (slot + 1) & (kSlots - 1)) {
            const Entry& e = slots_[slot];
            if (e.length == 0) return true;
            if (e.key.low == key.low && e.key.high == key.high && e.length == length) {
                id = e.id;
                return true;
            }
        }
    }

private:
    static constexpr size_t kSlots = 256;
    // The lower-case letters of a name, eight to a word from the low byte up, padded with zeros.
    struct Key {
        uint64_t low = 0, high = 0;
    };
    struct Entry {
        Key key;
        uint32_t length;
        uint32_t id;
    };
    // False when a character is not ASCII; then the key is of no use.
    static bool Pack(const char16_t* name, size_t length, Key& key) {
        uint64_t any = 0;
        key.low = PackWord(name, length < 8 ? length : 8, any);
        key.high = length > 8 ? PackWord(name + 8, length - 8, any) : 0;
        return (any & 0xFF80FF80FF80FF80u) == 0;
    }
    // Up to eight units as bytes, the first lowest. Setting 0x20 in every unit from 0x40 lowers the
    // letters and turns the other six of that range into characters no known name has.
    static uint64_t PackWord(const char16_t* units, size_t count, uint64_t& any) {
        uint64_t word = 0;
        size_t k = 0;
        if (count >= 4) {
            uint64_t four;
            std::memcpy(&four, units, sizeof four);
            any |= four;
            four |= (four & 0x0040004000400040u) >> 1;
            word = (four & 0xFFu) | ((four >> 8) & 0xFF00u) | ((four >> 16) & 0xFF0000u) |
                   ((four >> 24) & 0xFF000000u);
            k = 4;
        }
        for (; k < count; ++k) {
            const uint64_t c = units[k];
            any |= c;
            word |= ((c | ((c & 0x40) >> 1)) & 0xFF) << (k * 8);
        }
        return word;
    }
    static size_t Hash(const Key& key, size_t length) {
        const uint64_t h = (key.low ^ (key.high * 0x9E3779B97F4A7C15u) ^ length) * 0xFF51AFD7ED558CCDu;
        return static_cast<size_t>(h >> 56) & (kSlots - 1);
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
