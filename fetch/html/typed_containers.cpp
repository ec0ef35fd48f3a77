#include "fetch/html/typed_containers.h"

#include "fetch/html/typed_handlers.h"

TDIWideStringHash::TDIWideStringHash(TDIKeyHandler* keyHandler)
    : TDIHash(DIWideStringItemHandler(), keyHandler) {}

const std::u16string& TDIWideStringHash::Value(const void* item) {
    return DISlotString(static_cast<const TDIWideStringItem*>(item)->value);
}

void TDIWideStringHash::SetValue(void* item, const std::u16string& value) {
    DISetSlotString(static_cast<TDIWideStringItem*>(item)->value, value);
}

TDICardinalHash::TDICardinalHash(TDIKeyHandler* keyHandler) : TDIHash(DICardinalItemHandler(), keyHandler) {}

uint32_t TDICardinalHash::FindBufValue(const char16_t* buf, size_t length) {
    const void* item = FindBuf(buf, length);
    return item ? *static_cast<const uint32_t*>(item) : 0;
}

TDIWideStringVector::TDIWideStringVector() : TDIVector(DIWideStringItemHandler()) {}

const std::u16string& TDIWideStringVector::Str(int32_t index) const {
    return DISlotString(static_cast<const TDIWideStringItem*>(Item(index))->value);
}

void* TDIWideStringVector::AddStr(const std::u16string& s) {
    void* item = Add();
    DISetSlotString(static_cast<TDIWideStringItem*>(item)->value, s);
    return item;
}

int32_t TDIWideStringVector::IndexOfStr(const std::u16string& s, int32_t startIndex) const {
    if (startIndex != 0 && (startIndex < 0 || startIndex >= Count())) ListIndexError(startIndex);
    for (int32_t i = startIndex; i < Count(); ++i)
        if (Str(i) == s) return i;
    return -1;
}

TDIWideString2Vector::TDIWideString2Vector() : TDIWideStringVector(DIWideString2ItemHandler()) {}

const std::u16string& TDIWideString2Vector::Str2(int32_t index) const {
    return DISlotString(static_cast<const TDIWideString2Item*>(Item(index))->second);
}

void* TDIWideString2Vector::AddStr2(const std::u16string& s1, const std::u16string& s2) {
    auto* item = static_cast<TDIWideString2Item*>(Add());
    DISetSlotString(item->first, s1);
    DISetSlotString(item->second, s2);
    return item;
}

TDIWideString2CardinalVector::TDIWideString2CardinalVector()
    : TDIWideString2Vector(DIWideString2CardinalItemHandler()) {}

uint32_t TDIWideString2CardinalVector::Number(int32_t index) const {
    return static_cast<const TDIWideString2CardinalItem*>(Item(index))->number;
}

void* TDIWideString2CardinalVector::AddStr2Number(const std::u16string& s1, const std::u16string& s2,
                                                  uint32_t number) {
    auto* item = static_cast<TDIWideString2CardinalItem*>(AddStr2(s1, s2));
    item->number = number;
    return item;
}

void* TDIWideString2CardinalVector::FindNumber(uint32_t number, int32_t startIndex) {
    return FindItem(
        &number,
        [](TDIContainer*, const void* item, const void* key, void*) {
            return static_cast<const TDIWideString2CardinalItem*>(item)->number ==
                   *static_cast<const uint32_t*>(key);
        },
        startIndex, nullptr);
}

std::u16string TDIWideString2CardinalVector::Str2OfNumber(uint32_t number, int32_t startIndex) {
    auto* item = static_cast<const TDIWideString2CardinalItem*>(FindNumber(number, startIndex));
    return item ? DISlotString(item->second) : std::u16string();
}
