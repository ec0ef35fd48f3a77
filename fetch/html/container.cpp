#include "fetch/html/container.h"

#include <bit>
#include <cstdio>
#include <cstring>

#include "fetch/html/binary_filer.h"
#include "platform/rtl/filer.h"
#include "platform/rtl/format.h"
#include "platform/rtl/stream.h"

std::string DIErrorText(const std::string& className, const std::string& message) {
    return "Class " + className + ": " + message;
}

void TDIErrorObject::Error(const std::string& message) const {
    throw EDIContainerError(DIErrorText(ClassName(), message));
}

void TDIErrorObject::ListIndexError(int64_t index) const {
    throw EListError(Format(rtl_text::ListIndexError, static_cast<int>(index)));
}

TDIBaseHandler::~TDIBaseHandler() {
    if (useCount_ != 0)
        std::fprintf(stderr, "%s\n", DIErrorText(ClassName(), di_text::HandlerInUseDestroy).c_str());
}

void TDIBaseHandler::CheckFree(const char* what) const {
    if (useCount_ != 0) Error(Format(di_text::InUseAssigning, what));
}

void TDIBaseHandler::CheckFreeText(const char* message) const {
    if (useCount_ != 0) Error(message);
}

#define PW_HANDLER_SETTER(Class, Name, Field, Type)                                                          \
    void Class::Set##Name(Type f) {                                                                          \
        CheckFree(#Name);                                                                                    \
        Field = f;                                                                                           \
    }

void TDIItemHandler::SetItemSize(int32_t size) {
    CheckFreeText(di_text::InUseItemSize);
    itemSize_ = size;
}
PW_HANDLER_SETTER(TDIItemHandler, OnInitItem, onInitItem_, TDIInitItemFunc)
PW_HANDLER_SETTER(TDIItemHandler, OnFreeItem, onFreeItem_, TDIFreeItemFunc)
PW_HANDLER_SETTER(TDIItemHandler, OnCopyItem, onCopyItem_, TDICopyItemFunc)
PW_HANDLER_SETTER(TDIItemHandler, OnReadItem, onReadItem_, TDIReadItemFunc)
PW_HANDLER_SETTER(TDIItemHandler, OnWriteItem, onWriteItem_, TDIWriteItemFunc)
PW_HANDLER_SETTER(TDIItemHandler, OnReadHeader, onReadHeader_, TDIReadHeaderFunc)
PW_HANDLER_SETTER(TDIItemHandler, OnWriteHeader, onWriteHeader_, TDIWriteHeaderFunc)

void TDIKeyHandler::SetKeySize(int32_t size) {
    CheckFreeText(di_text::InUseKeySize);
    keySize_ = size;
}
PW_HANDLER_SETTER(TDIKeyHandler, OnHashKey, onHashKey_, TDIHashKeyFunc)
PW_HANDLER_SETTER(TDIKeyHandler, OnHashKeyBuf, onHashKeyBuf_, TDIHashKeyBufFunc)
void TDIKeyHandler::SetOnHashStoredKey(TDIHashKeyFunc f) {
    CheckFree("OnHashKey");
    onHashStoredKey_ = f;
}
PW_HANDLER_SETTER(TDIKeyHandler, OnSameKeys, onSameKeys_, TDISameKeysFunc)
PW_HANDLER_SETTER(TDIKeyHandler, OnSameKeyBuf, onSameKeyBuf_, TDISameKeyBufFunc)
PW_HANDLER_SETTER(TDIKeyHandler, OnStoreKey, onStoreKey_, TDIStoreKeyFunc)
PW_HANDLER_SETTER(TDIKeyHandler, OnStoreKeyBuf, onStoreKeyBuf_, TDIStoreKeyBufFunc)
PW_HANDLER_SETTER(TDIKeyHandler, OnFreeKey, onFreeKey_, TDIFreeKeyFunc)
PW_HANDLER_SETTER(TDIKeyHandler, OnReadKey, onReadKey_, TDIReadKeyFunc)
PW_HANDLER_SETTER(TDIKeyHandler, OnWriteKey, onWriteKey_, TDIWriteKeyFunc)

#undef PW_HANDLER_SETTER

TDIContainer::TDIContainer(TDIItemHandler* itemHandler) : itemHandler_(itemHandler) {
    if (itemHandler_) itemHandler_->Acquire();
}

TDIContainer::~TDIContainer() {
    if (itemHandler_) itemHandler_->Release();
}

void TDIContainer::CheckItemHandler() const {
    if (itemHandler_ == nullptr) Error(di_text::ItemHandlerNil);
}

void TDIContainer::DefineProperties(TFiler& filer) {
    TDIErrorObject::DefineProperties(filer);
    filer.DefineBinaryProperty(
        ClassName(),
        [this](TStream& stream) {
            TDIBinaryReader reader(stream, 4096);
            ReadData(reader, 7, nullptr);
        },
        [this](TStream& stream) {
            TDIBinaryWriter writer(stream, 4096);
            WriteData(writer, 7, nullptr);
            writer.FlushBuffer();
        },
        count_ != 0);
}

int32_t TDIContainer::Capacity(int32_t n) {
    if (n <= 0) return 0;
    int32_t p = static_cast<int32_t>(std::bit_floor(static_cast<uint32_t>(n)));
    if (p == n) return p;
    int32_t s = std::max(p / 4, 2);
    for (int k = 1; k <= 3; ++k)
        if (p + k * s >= n) return p + k * s;
    return p + 4 * s;
}

int32_t TDIContainer::Shrink(int32_t n) {
    if (n < 3) return n;
    int32_t p = static_cast<int32_t>(std::bit_floor(static_cast<uint32_t>(n - 1)));
    int32_t s = std::max(p / 4, 2);
    int32_t m = n - s;
    const int32_t steps[] = {p - s + 1, p + 1, p + 1 + s, p + 1 + 2 * s};
    for (int32_t v : steps)
        if (v > m) return v;
    return p + 1 + 3 * s;
}

void TDIContainer::WriteSignature(TDIBinaryWriter& writer, uint32_t flags, const char* signature,
                                  void* data) const {
    if (flags & 1) writer.WriteBuffer(signature, 4);
    if (flags & 2) writer.WriteCardinal(1);
    if ((flags & 4) && itemHandler_->OnWriteHeader())
        itemHandler_->OnWriteHeader()(const_cast<TDIContainer*>(this), writer, data);
}

void TDIContainer::ReadSignature(TDIBinaryReader& reader, uint32_t flags, const char* signature, void* data) {
    if (flags & 1) {
        char got[4];
        reader.ReadBuffer(got, 4);
        if (std::memcmp(got, signature, 4) != 0) throw EReadError(rtl_text::InvalidStreamFormat);
    }
    if ((flags & 2) && reader.ReadCardinal() != 1) throw EReadError(rtl_text::InvalidStreamFormat);
    if ((flags & 4) && itemHandler_->OnReadHeader()) itemHandler_->OnReadHeader()(this, reader, data);
}
