#include "fetch/html/tag.h"

#include "fetch/html/binary_filer.h"
#include "fetch/html/entity_table.h"
#include "fetch/html/typed_handlers.h"

namespace {
// Enough for the attributes of any usual tag; longer strings than this are not worth their room.
constexpr size_t kSpareStrings = 32;
constexpr size_t kSpareCapacity = 256;
} // namespace

void TDITag::Clear() {
    const int32_t count = Count();
    if (count == 0) {
        // Most tags have no attributes to let go: nothing to free.
        tagId_ = 0;
        tagName_.clear();
        tagType_ = ttStart;
        return;
    }
    for (int32_t i = 0; i < count; ++i) {
        auto* item = static_cast<TDIWideString2CardinalItem*>(ItemOf(i));
        for (TDIStringSlot* slot : {&item->first, &item->second}) {
            if (*slot == nullptr || spare_.size() >= kSpareStrings || (*slot)->capacity() > kSpareCapacity)
                continue;
            spare_.emplace_back(*slot);
            *slot = nullptr;
        }
    }
    TDIWideString2CardinalVector::Clear();
    tagId_ = 0;
    tagName_.clear();
    tagType_ = ttStart;
}

std::u16string* TDITag::TakeString(const char16_t* text, size_t length) {
    // An empty string is a null slot, as DISetSlotString leaves it.
    if (length == 0) return nullptr;
    if (spare_.empty()) return new std::u16string(text, length);
    std::u16string* s = spare_.back().release();
    spare_.pop_back();
    s->clear();
    s->append(text, length);
    return s;
}

void TDITag::AddAttribute(const char16_t* name, size_t nameLength, const char16_t* value, size_t valueLength,
                          uint32_t attributeId) {
    auto* item = static_cast<TDIWideString2CardinalItem*>(Add());
    item->first = TakeString(name, nameLength);
    item->second = TakeString(value, valueLength);
    item->number = attributeId;
}

void TDITag::Assign(TPersistent* source) {
    TDIWideString2CardinalVector::Assign(source);
    if (auto* tag = dynamic_cast<TDIHtmlTag*>(source); tag && tag != this) {
        tagId_ = tag->tagId_;
        tagName_ = tag->tagName_;
        tagType_ = tag->tagType_;
    }
}

void TDITag::WriteData(TDIBinaryWriter& writer, uint32_t flags, void* data) {
    TDIWideString2CardinalVector::WriteData(writer, flags, data);
    writer.WriteWideString(tagName_);
    writer.WriteByte(tagType_);
    writer.WriteCardinal(tagId_);
}

void TDITag::ReadData(TDIBinaryReader& reader, uint32_t flags, void* data) {
    TDIWideString2CardinalVector::ReadData(reader, flags, data);
    tagName_ = reader.ReadWideString();
    uint8_t type = reader.ReadByte();
    tagType_ = type <= ttEmpty ? static_cast<TDITagType>(type) : ttStart;
    tagId_ = reader.ReadCardinal();
}

bool TDITag::EscapesAmpersand(const std::u16string&, size_t) const {
    return true;
}

bool TDIHtmlTag::EscapesAmpersand(const std::u16string& value, size_t i) const {
    return i + 1 >= value.size() || value[i + 1] != u'{';
}

bool TDITag::WriteAttributeValue(const std::u16string& value, std::u16string& out, int quoting) const {
    if (value.empty()) return false;
    out += u'=';
    bool plain = false;
    if (quoting == 1) {
        plain = true;
        for (char16_t c : value)
            plain = plain && IsNameChar(c);
    } else if (quoting == 2) {
        plain = value[0] != u'"' && value[0] != u'\'';
        for (char16_t c : value)
            plain = plain && c > 0x20 && c != u'>';
    }
    if (plain) {
        out += value;
        return true;
    }
    size_t doubles = 0, singles = 0, amps = 0;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] == u'"')
            ++doubles;
        else if (value[i] == u'\'')
            ++singles;
        else if (value[i] == u'&' && EscapesAmpersand(value, i))
            ++amps;
    }
    if (doubles == 0) {
        out += u'"' + value + u'"';
        return false;
    }
    if (singles == 0) {
        out += u'\'' + value + u'\'';
        return false;
    }
    const char16_t quote = doubles > singles ? u'\'' : u'"';
    const char16_t* escaped = quote == u'\'' ? u"&apos;" : u"&quot;";
    out.reserve(out.size() + value.size() + 4 * amps + 5 * (quote == u'\'' ? singles : doubles) + 2);
    out += quote;
    for (size_t i = 0; i < value.size(); ++i) {
        char16_t c = value[i];
        if (c == quote)
            out += escaped;
        else if (c == u'&' && EscapesAmpersand(value, i))
            out += u"&amp;";
        else
            out += c;
    }
    out += quote;
    return false;
}

std::u16string TDIHtmlTag::TagText() const {
    std::u16string out;
    if (TagType() == ttEnd) return u"</" + TagName() + u">";
    out = u"<" + TagName();
    bool lastUnquoted = false;
    for (int32_t i = 0; i < Count(); ++i) {
        out += u' ';
        out += Str(i);
        lastUnquoted = WriteAttributeValue(Str2(i), out, 1);
    }
    if (TagType() == ttEmpty)
        out += lastUnquoted ? u" />" : u"/>";
    else
        out += u'>';
    return out;
}
