#pragma once
// Containers typed by their shared handlers, with typed accessors.
#include <cstdint>
#include <string>

#include "fetch/html/hash.h"
#include "fetch/html/sequences.h"

class TDIWideStringHash : public TDIHash {
public:
    explicit TDIWideStringHash(TDIKeyHandler* keyHandler);
    std::string ClassName() const override { return "TDIWideStringHash"; }
    // The stored string of an item pointer that Find, Locate or Insert returned.
    static const std::u16string& Value(const void* item);
    static void SetValue(void* item, const std::u16string& value);
};

class TDICardinalHash : public TDIHash {
public:
    explicit TDICardinalHash(TDIKeyHandler* keyHandler);
    std::string ClassName() const override { return "TDICardinalHash"; }
    // The stored number, or 0 when the key is absent (indistinguishable from a stored 0).
    uint32_t FindBufValue(const char16_t* buf, size_t length);
};

class TDIWideStringVector : public TDIVector {
public:
    TDIWideStringVector();
    std::string ClassName() const override { return "TDIWideStringVector"; }
    const std::u16string& Str(int32_t index) const;
    void* AddStr(const std::u16string& s);
    // Index of the first item at or after startIndex equal to s, or -1.
    int32_t IndexOfStr(const std::u16string& s, int32_t startIndex = 0) const;

protected:
    explicit TDIWideStringVector(TDIItemHandler* handler) : TDIVector(handler) {}
};

class TDIWideString2Vector : public TDIWideStringVector {
public:
    TDIWideString2Vector();
    std::string ClassName() const override { return "TDIWideString2Vector"; }
    const std::u16string& Str2(int32_t index) const;
    void* AddStr2(const std::u16string& s1, const std::u16string& s2);

protected:
    explicit TDIWideString2Vector(TDIItemHandler* handler) : TDIWideStringVector(handler) {}
};

class TDIWideString2CardinalVector : public TDIWideString2Vector {
public:
    TDIWideString2CardinalVector();
    std::string ClassName() const override { return "TDIWideString2CardinalVector"; }
    uint32_t Number(int32_t index) const;
    void* AddStr2Number(const std::u16string& s1, const std::u16string& s2, uint32_t number);
    // The first triple at or after startIndex whose number matches; null when none.
    void* FindNumber(uint32_t number, int32_t startIndex = 0);
    // The second string of that triple, or empty.
    std::u16string Str2OfNumber(uint32_t number, int32_t startIndex = 0);
};
