#include "fetch/html/typed_handlers.h"

#include <bit>
#include <cstring>
#include <vector>

#include "fetch/html/binary_filer.h"
#include "fetch/html/container.h"
#include "fetch/html/wide_string.h"
#include "platform/rtl/format.h"

static_assert(std::endian::native == std::endian::little, "key buffers are hashed as UTF-16LE bytes");

const std::u16string& DISlotString(const TDIStringSlot& slot) {
    static const std::u16string empty;
    return slot ? *slot : empty;
}

void DISetSlotString(TDIStringSlot& slot, const std::u16string& value) {
    if (value.empty()) {
        DIFreeSlotString(slot);
    } else if (slot) {
        *slot = value;
    } else {
        slot = new std::u16string(value);
    }
}

void DIFreeSlotString(TDIStringSlot& slot) {
    delete slot;
    slot = nullptr;
}

uint32_t DIWideCharHash(char16_t c) {
    uint32_t x = c;
    x *= 4097;
    x ^= x >> 22;
    x *= 17;
    x ^= x >> 9;
    x *= 1025;
    x ^= x >> 2;
    x *= 129;
    x ^= x >> 12;
    return x;
}

namespace {

TDIStringSlot& SlotAt(void* p) {
    return *static_cast<TDIStringSlot*>(p);
}
const TDIStringSlot& SlotAt(const void* p) {
    return *static_cast<const TDIStringSlot*>(p);
}

// Items longer than their typed part carry the rest as raw bytes.
void WriteRest(TDIContainer* c, TDIBinaryWriter& w, const void* item, size_t typed) {
    int32_t size = c->ItemHandler()->ItemSize();
    if (static_cast<size_t>(size) > typed)
        w.WriteBuffer(static_cast<const uint8_t*>(item) + typed, size - typed);
}

void ReadRest(TDIContainer* c, TDIBinaryReader& r, void* item, size_t typed) {
    int32_t size = c->ItemHandler()->ItemSize();
    if (static_cast<size_t>(size) > typed) r.ReadBuffer(static_cast<uint8_t*>(item) + typed, size - typed);
}

void WriteItemHeader(TDIContainer* c, TDIBinaryWriter& w, void*) {
    w.WriteCardinal(static_cast<uint32_t>(c->ItemHandler()->ItemSize()));
}

void ReadItemHeader(TDIContainer* c, TDIBinaryReader& r, void*) {
    uint32_t size = r.ReadCardinal();
    if (size != static_cast<uint32_t>(c->ItemHandler()->ItemSize()))
        throw EDIContainerError(
            DIErrorText(c->ClassName(), Format(di_text::InvalidItemSize, static_cast<int>(size))));
}

// ---- WideString items

constexpr size_t kStr = sizeof(TDIStringSlot);

void FreeStrings(void* item, int n) {
    for (int i = 0; i < n; ++i)
        DIFreeSlotString(SlotAt(static_cast<uint8_t*>(item) + i * kStr));
}

template <int N> void FreeStringItem(TDIContainer*, void* item) {
    FreeStrings(item, N);
}

template <int N> void CopyStringItem(TDIContainer*, const void* from, void* to) {
    for (int i = 0; i < N; ++i)
        DISetSlotString(SlotAt(static_cast<uint8_t*>(to) + i * kStr),
                        DISlotString(SlotAt(static_cast<const uint8_t*>(from) + i * kStr)));
}

template <int N> void WriteStringItem(TDIContainer* c, TDIBinaryWriter& w, const void* item, void*) {
    for (int i = 0; i < N; ++i)
        w.WriteWideString(DISlotString(SlotAt(static_cast<const uint8_t*>(item) + i * kStr)));
    WriteRest(c, w, item, N * kStr);
}

template <int N> void ReadStringItem(TDIContainer* c, TDIBinaryReader& r, void* item, void*) {
    for (int i = 0; i < N; ++i)
        DISetSlotString(SlotAt(static_cast<uint8_t*>(item) + i * kStr), r.ReadWideString());
    ReadRest(c, r, item, N * kStr);
}

void InitTriple(TDIContainer*, void* item) {
    std::memset(item, 0, sizeof(TDIWideString2CardinalItem));
}
void CopyTriple(TDIContainer* c, const void* from, void* to) {
    CopyStringItem<2>(c, from, to);
    static_cast<TDIWideString2CardinalItem*>(to)->number =
        static_cast<const TDIWideString2CardinalItem*>(from)->number;
}
void WriteTriple(TDIContainer* c, TDIBinaryWriter& w, const void* item, void*) {
    auto* t = static_cast<const TDIWideString2CardinalItem*>(item);
    w.WriteWideString(DISlotString(t->first));
    w.WriteWideString(DISlotString(t->second));
    w.WriteCardinal(t->number);
    WriteRest(c, w, item, sizeof(TDIWideString2CardinalItem));
}
void ReadTriple(TDIContainer* c, TDIBinaryReader& r, void* item, void*) {
    auto* t = static_cast<TDIWideString2CardinalItem*>(item);
    DISetSlotString(t->first, r.ReadWideString());
    DISetSlotString(t->second, r.ReadWideString());
    t->number = r.ReadCardinal();
    ReadRest(c, r, item, sizeof(TDIWideString2CardinalItem));
}

// ---- Cardinal items and keys

void InitCardinal(TDIContainer*, void* item) {
    *static_cast<uint32_t*>(item) = 0;
}
void CopyCardinal(TDIContainer*, const void* from, void* to) {
    *static_cast<uint32_t*>(to) = *static_cast<const uint32_t*>(from);
}
void WriteCardinalItem(TDIContainer* c, TDIBinaryWriter& w, const void* item, void*) {
    w.WriteCardinal(*static_cast<const uint32_t*>(item));
    WriteRest(c, w, item, 4);
}
void ReadCardinalItem(TDIContainer* c, TDIBinaryReader& r, void* item, void*) {
    *static_cast<uint32_t*>(item) = r.ReadCardinal();
    ReadRest(c, r, item, 4);
}

uint32_t HashCardinalKey(TDIContainer*, const void* key) {
    return *static_cast<const uint32_t*>(key);
}
bool SameCardinalKeys(TDIContainer*, const void* key, const void* stored) {
    return *static_cast<const uint32_t*>(key) == *static_cast<const uint32_t*>(stored);
}
void WriteCardinalKey(TDIContainer*, TDIBinaryWriter& w, const void* stored, void*) {
    w.WriteCardinal(*static_cast<const uint32_t*>(stored));
}
void ReadCardinalKey(TDIContainer*, TDIBinaryReader& r, void* stored, void*) {
    *static_cast<uint32_t*>(stored) = r.ReadCardinal();
}

// ---- WideChar keys

uint32_t HashCharKey(TDIContainer*, const void* key) {
    return DIWideCharHash(*static_cast<const char16_t*>(key));
}
bool SameCharKeys(TDIContainer*, const void* key, const void* stored) {
    return *static_cast<const char16_t*>(key) == *static_cast<const char16_t*>(stored);
}
void StoreCharKey(TDIContainer*, const void* key, void* stored) {
    *static_cast<char16_t*>(stored) = *static_cast<const char16_t*>(key);
}
void WriteCharKey(TDIContainer*, TDIBinaryWriter& w, const void* stored, void*) {
    w.WriteWideChar(*static_cast<const char16_t*>(stored));
}
void ReadCharKey(TDIContainer*, TDIBinaryReader& r, void* stored, void*) {
    *static_cast<char16_t*>(stored) = r.ReadWideChar();
}

// ---- WideString keys (the key value is a std::u16string)

const std::u16string& KeyString(const void* key) {
    return *static_cast<const std::u16string*>(key);
}

uint32_t HashStrCS(TDIContainer*, const void* key) {
    return HashWideStr(KeyString(key), 0);
}
uint32_t HashStrCI(TDIContainer*, const void* key) {
    return HashWideStrI(KeyString(key), 0);
}
uint32_t HashBufCS(TDIContainer*, const char16_t* buf, size_t length) {
    return HashBuf(buf, length * 2, 0);
}
uint32_t HashBufCI(TDIContainer*, const char16_t* buf, size_t length) {
    return HashWideBufI(buf, length, 0);
}
uint32_t HashStoredCS(TDIContainer* c, const void* stored) {
    return HashStrCS(c, &DISlotString(SlotAt(stored)));
}
uint32_t HashStoredCI(TDIContainer* c, const void* stored) {
    return HashStrCI(c, &DISlotString(SlotAt(stored)));
}
bool SameStrCS(TDIContainer*, const void* key, const void* stored) {
    return SameWideStr(KeyString(key), DISlotString(SlotAt(stored)));
}
bool SameStrCI(TDIContainer*, const void* key, const void* stored) {
    return SameWideStrI(KeyString(key), DISlotString(SlotAt(stored)));
}
bool SameBufCS(TDIContainer*, const char16_t* buf, size_t length, const void* stored) {
    return SameWideBuf(buf, length, DISlotString(SlotAt(stored)));
}
bool SameBufCI(TDIContainer*, const char16_t* buf, size_t length, const void* stored) {
    return SameWideBufI(buf, length, DISlotString(SlotAt(stored)));
}
void StoreStrKey(TDIContainer*, const void* key, void* stored) {
    DISetSlotString(SlotAt(stored), KeyString(key));
}
void StoreBufKey(TDIContainer*, const char16_t* buf, size_t length, void* stored) {
    DISetSlotString(SlotAt(stored), std::u16string(buf, length));
}
void FreeStrKey(TDIContainer*, void* stored) {
    DIFreeSlotString(SlotAt(stored));
}
void WriteStrKey(TDIContainer*, TDIBinaryWriter& w, const void* stored, void*) {
    w.WriteWideString(DISlotString(SlotAt(stored)));
}
void ReadStrKey(TDIContainer*, TDIBinaryReader& r, void* stored, void*) {
    DISetSlotString(SlotAt(stored), r.ReadWideString());
}

TDIKeyHandler* MakeStringKeyHandler(bool caseSensitive) {
    auto* h = new TDIKeyHandler;
    h->SetKeySize(static_cast<int32_t>(kStr));
    h->SetOnHashKey(caseSensitive ? HashStrCS : HashStrCI);
    h->SetOnHashKeyBuf(caseSensitive ? HashBufCS : HashBufCI);
    h->SetOnHashStoredKey(caseSensitive ? HashStoredCS : HashStoredCI);
    h->SetOnSameKeys(caseSensitive ? SameStrCS : SameStrCI);
    h->SetOnSameKeyBuf(caseSensitive ? SameBufCS : SameBufCI);
    h->SetOnStoreKey(StoreStrKey);
    h->SetOnStoreKeyBuf(StoreBufKey);
    h->SetOnFreeKey(FreeStrKey);
    h->SetOnReadKey(ReadStrKey);
    h->SetOnWriteKey(WriteStrKey);
    return h;
}

template <int N> TDIItemHandler* MakeStringItemHandler() {
    auto* h = new TDIItemHandler;
    h->SetItemSize(static_cast<int32_t>(N * kStr));
    h->SetOnFreeItem(FreeStringItem<N>);
    h->SetOnCopyItem(CopyStringItem<N>);
    h->SetOnReadItem(ReadStringItem<N>);
    h->SetOnWriteItem(WriteStringItem<N>);
    h->SetOnReadHeader(ReadItemHeader);
    h->SetOnWriteHeader(WriteItemHeader);
    return h;
}

} // namespace

// Handlers live for the whole program; a function-local static makes creation happen once.
TDIKeyHandler* DIWideCharCSKeyHandler() {
    static TDIKeyHandler* handler = [] {
        auto* h = new TDIKeyHandler;
        h->SetKeySize(2);
        h->SetOnHashKey(HashCharKey);
        h->SetOnSameKeys(SameCharKeys);
        h->SetOnStoreKey(StoreCharKey);
        h->SetOnReadKey(ReadCharKey);
        h->SetOnWriteKey(WriteCharKey);
        return h;
    }();
    return handler;
}

TDIKeyHandler* DICardinalKeyHandler() {
    static TDIKeyHandler* handler = [] {
        auto* h = new TDIKeyHandler;
        h->SetKeySize(4);
        h->SetOnHashKey(HashCardinalKey);
        h->SetOnSameKeys(SameCardinalKeys);
        h->SetOnStoreKey([](TDIContainer*, const void* k, void* s) {
            *static_cast<uint32_t*>(s) = *static_cast<const uint32_t*>(k);
        });
        h->SetOnReadKey(ReadCardinalKey);
        h->SetOnWriteKey(WriteCardinalKey);
        return h;
    }();
    return handler;
}

TDIKeyHandler* DIWideStringCSKeyHandler() {
    static TDIKeyHandler* handler = MakeStringKeyHandler(true);
    return handler;
}

TDIKeyHandler* DIWideStringCIKeyHandler() {
    static TDIKeyHandler* handler = MakeStringKeyHandler(false);
    return handler;
}

TDIItemHandler* DIWideStringItemHandler() {
    static TDIItemHandler* handler = MakeStringItemHandler<1>();
    return handler;
}

TDIItemHandler* DIWideString2ItemHandler() {
    static TDIItemHandler* handler = MakeStringItemHandler<2>();
    return handler;
}

TDIItemHandler* DIWideString2CardinalItemHandler() {
    static TDIItemHandler* handler = [] {
        auto* h = new TDIItemHandler;
        h->SetItemSize(static_cast<int32_t>(sizeof(TDIWideString2CardinalItem)));
        h->SetOnInitItem(InitTriple);
        h->SetOnFreeItem(FreeStringItem<2>);
        h->SetOnCopyItem(CopyTriple);
        h->SetOnReadItem(ReadTriple);
        h->SetOnWriteItem(WriteTriple);
        h->SetOnReadHeader(ReadItemHeader);
        h->SetOnWriteHeader(WriteItemHeader);
        return h;
    }();
    return handler;
}

TDIItemHandler* DICardinalItemHandler() {
    static TDIItemHandler* handler = [] {
        auto* h = new TDIItemHandler;
        h->SetItemSize(4);
        h->SetOnInitItem(InitCardinal);
        h->SetOnCopyItem(CopyCardinal);
        h->SetOnReadItem(ReadCardinalItem);
        h->SetOnWriteItem(WriteCardinalItem);
        h->SetOnReadHeader(ReadItemHeader);
        h->SetOnWriteHeader(WriteItemHeader);
        return h;
    }();
    return handler;
}
