#pragma once
// The shared handlers for the library's item and key types, and the raw layouts they manage.
#include <cstdint>
#include <string>

class TDIItemHandler;
class TDIKeyHandler;

// A string field of an item or key block: an owned heap string, or null for the empty string.
using TDIStringSlot = std::u16string*;

const std::u16string& DISlotString(const TDIStringSlot& slot);
void DISetSlotString(TDIStringSlot& slot, const std::u16string& value);
void DIFreeSlotString(TDIStringSlot& slot);

struct TDIWideStringItem {
    TDIStringSlot value;
};
struct TDIWideString2Item {
    TDIStringSlot first;
    TDIStringSlot second;
};
struct TDIWideString2CardinalItem {
    TDIStringSlot first;
    TDIStringSlot second;
    uint32_t number;
};

TDIKeyHandler* DIWideCharCSKeyHandler();
TDIKeyHandler* DICardinalKeyHandler();
TDIKeyHandler* DIWideStringCSKeyHandler();
TDIKeyHandler* DIWideStringCIKeyHandler();
TDIItemHandler* DIWideStringItemHandler();
TDIItemHandler* DIWideString2ItemHandler();
TDIItemHandler* DIWideString2CardinalItemHandler();
TDIItemHandler* DICardinalItemHandler();

// The hash of a one-unit key.
uint32_t DIWideCharHash(char16_t c);
