#pragma once
// Tag objects: a tag's name, number, type and attributes (name, value, attribute number).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "fetch/html/typed_containers.h"

enum TDITagType : uint8_t { ttStart = 0, ttEnd = 1, ttEmpty = 2 };

class TDITag : public TDIWideString2CardinalVector {
public:
    std::string ClassName() const override { return "TDITag"; }

    uint32_t TagID() const { return tagId_; }
    void SetTagID(uint32_t id) { tagId_ = id; }
    const std::u16string& TagName() const { return tagName_; }
    void SetTagName(const std::u16string& name) { tagName_ = name; }
    // Clear and append: cheaper than assign, which must allow for the source lying inside the string.
    void SetTagName(const char16_t* name, size_t length) {
        tagName_.clear();
        tagName_.append(name, length);
    }
    TDITagType TagType() const { return tagType_; }
    void SetTagType(TDITagType type) { tagType_ = type; }

    void Clear() override;
    void Assign(TPersistent* source) override;
    // Adds an attribute (empty strings allowed), as AddStr2Number would, from characters in a buffer.
    void AddAttribute(const char16_t* name, size_t nameLength, const char16_t* value, size_t valueLength,
                      uint32_t attributeId);
    void ReadData(TDIBinaryReader& reader, uint32_t flags, void* data) override;
    void WriteData(TDIBinaryWriter& writer, uint32_t flags, void* data) override;

    // The value of the first attribute with this number; empty when there is none.
    std::u16string AttributeValue(uint32_t attributeId) { return Str2OfNumber(attributeId); }

    // Appends "=" and the value (nothing for an empty value); true when it went out unquoted.
    // Quoting 1: unquoted when all name characters; 2: unquoted without white space, ">" or a
    // leading quote.
    virtual bool WriteAttributeValue(const std::u16string& value, std::u16string& out, int quoting) const;

protected:
    // Whether "&" at position i is escaped inside a quoted value.
    virtual bool EscapesAmpersand(const std::u16string& value, size_t i) const;

private:
    // The strings of cleared attributes, kept for the next tag's: a parser reuses one tag for every
    // tag of every page.
    std::u16string* TakeString(const char16_t* text, size_t length);
    std::vector<std::unique_ptr<std::u16string>> spare_;

    uint32_t tagId_ = 0;
    std::u16string tagName_;
    TDITagType tagType_ = ttStart;
};

class TDIHtmlTag : public TDITag {
public:
    std::string ClassName() const override { return "TDIHtmlTag"; }
    // The tag as markup: "<name attr=value>", "</name>" or "<name .../>".
    std::u16string TagText() const;

protected:
    bool EscapesAmpersand(const std::u16string& value, size_t i) const override;
};

class TDICustomTag : public TDITag {
public:
    std::string ClassName() const override { return "TDICustomTag"; }
};

class TDISsiTag : public TDITag {
public:
    std::string ClassName() const override { return "TDISsiTag"; }
};
