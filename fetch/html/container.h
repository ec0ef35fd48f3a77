#pragma once
// Containers that store raw item blocks and call a handler for everything type-specific.
#include <atomic>
#include <cstdint>
#include <string>

#include "platform/rtl/exception.h"
#include "platform/rtl/persistent.h"

class TDIBinaryReader;
class TDIBinaryWriter;
class TDIContainer;

PW_DECLARE_EXCEPTION(EDIContainerError, Exception)

namespace di_text {
inline constexpr const char* ItemHandlerNil = "ItemHandler is nil";
inline constexpr const char* KeyHandlerNil = "KeyHandler is nil";
inline constexpr const char* HandlerInUseDestroy = "ItemHandler in use during destruction";
inline constexpr const char* InUseAssigning = "ItemHandler in use while assigning %s";
inline constexpr const char* InUseItemSize = "ItemHandler in use while setting ItemSize";
inline constexpr const char* InUseKeySize = "ItemHandler in use while setting KeySize";
inline constexpr const char* NotAssigned = "%s not assigned";
inline constexpr const char* CopyItemsNotAssigned = "OnCopyItems not assigned";
inline constexpr const char* SameItemsNotAssigned = "SameItems not assigned";
inline constexpr const char* HandlersDoNotMatch = "Itemhandlers do not match";
inline constexpr const char* InvalidItemSize = "Invalid ItemSize (%d)";
inline constexpr const char* InvalidHashCount = "Invalid HashCount (%d)";
inline constexpr const char* ItemIsDeleted = "Item is deleted";
inline constexpr const char* StreamIsNil = "Stream is nil";
inline constexpr const char* SourceStreamMode = "Operation not allowed in Source Stream Mode";
inline constexpr const char* PluginNotOwned = "Plugin does not belong to this HtmlParser instance";
inline constexpr const char* UnrequestedTag =
    "Unrequested tag ('%s') encountered. This should not happen and might indicate a bug in TDIHtmlParser.";
} // namespace di_text

// Raises the library's errors as "Class <name>: <message>".
class TDIErrorObject : public TPersistent {
public:
    std::string ClassName() const override { return "TDIErrorObject"; }

protected:
    [[noreturn]] void Error(const std::string& message) const;
    [[noreturn]] void ListIndexError(int64_t index) const;
};

std::string DIErrorText(const std::string& className, const std::string& message);

class TDIBaseHandler : public TDIErrorObject {
public:
    // Destroying a handler in use is a programming error; it is reported, not thrown.
    ~TDIBaseHandler() override;
    std::string ClassName() const override { return "TDIBaseHandler"; }
    int32_t UseCount() const { return useCount_.load(std::memory_order_relaxed); }
    // The shared handlers of the typed containers serve containers on every thread that reads pages.
    void Acquire() { useCount_.fetch_add(1, std::memory_order_relaxed); }
    void Release() { useCount_.fetch_sub(1, std::memory_order_relaxed); }

protected:
    void CheckFree(const char* what) const;
    void CheckFreeText(const char* message) const;

private:
    std::atomic<int32_t> useCount_{0};
};

using TDIInitItemFunc = void (*)(TDIContainer* container, void* item);
using TDIFreeItemFunc = void (*)(TDIContainer* container, void* item);
using TDICopyItemFunc = void (*)(TDIContainer* container, const void* source, void* dest);
using TDIReadItemFunc = void (*)(TDIContainer* container, TDIBinaryReader& reader, void* item, void* data);
using TDIWriteItemFunc = void (*)(TDIContainer* container, TDIBinaryWriter& writer, const void* item,
                                  void* data);
using TDIReadHeaderFunc = void (*)(TDIContainer* container, TDIBinaryReader& reader, void* data);
using TDIWriteHeaderFunc = void (*)(TDIContainer* container, TDIBinaryWriter& writer, void* data);

using TDIHashKeyFunc = uint32_t (*)(TDIContainer* container, const void* key);
using TDIHashKeyBufFunc = uint32_t (*)(TDIContainer* container, const char16_t* buf, size_t length);
using TDISameKeysFunc = bool (*)(TDIContainer* container, const void* key, const void* storedKey);
using TDISameKeyBufFunc = bool (*)(TDIContainer* container, const char16_t* buf, size_t length,
                                   const void* storedKey);
using TDIStoreKeyFunc = void (*)(TDIContainer* container, const void* key, void* storedKey);
using TDIStoreKeyBufFunc = void (*)(TDIContainer* container, const char16_t* buf, size_t length,
                                    void* storedKey);
using TDIFreeKeyFunc = void (*)(TDIContainer* container, void* storedKey);
using TDIReadKeyFunc = void (*)(TDIContainer* container, TDIBinaryReader& reader, void* storedKey,
                                void* data);
using TDIWriteKeyFunc = void (*)(TDIContainer* container, TDIBinaryWriter& writer, const void* storedKey,
                                 void* data);

class TDIItemHandler : public TDIBaseHandler {
public:
    std::string ClassName() const override { return "TDIItemHandler"; }

    int32_t ItemSize() const { return itemSize_; }
    TDIInitItemFunc OnInitItem() const { return onInitItem_; }
    TDIFreeItemFunc OnFreeItem() const { return onFreeItem_; }
    TDICopyItemFunc OnCopyItem() const { return onCopyItem_; }
    TDIReadItemFunc OnReadItem() const { return onReadItem_; }
    TDIWriteItemFunc OnWriteItem() const { return onWriteItem_; }
    TDIReadHeaderFunc OnReadHeader() const { return onReadHeader_; }
    TDIWriteHeaderFunc OnWriteHeader() const { return onWriteHeader_; }

    void SetItemSize(int32_t size);
    void SetOnInitItem(TDIInitItemFunc f);
    void SetOnFreeItem(TDIFreeItemFunc f);
    void SetOnCopyItem(TDICopyItemFunc f);
    void SetOnReadItem(TDIReadItemFunc f);
    void SetOnWriteItem(TDIWriteItemFunc f);
    void SetOnReadHeader(TDIReadHeaderFunc f);
    void SetOnWriteHeader(TDIWriteHeaderFunc f);

private:
    int32_t itemSize_ = 0;
    TDIInitItemFunc onInitItem_ = nullptr;
    TDIFreeItemFunc onFreeItem_ = nullptr;
    TDICopyItemFunc onCopyItem_ = nullptr;
    TDIReadItemFunc onReadItem_ = nullptr;
    TDIWriteItemFunc onWriteItem_ = nullptr;
    TDIReadHeaderFunc onReadHeader_ = nullptr;
    TDIWriteHeaderFunc onWriteHeader_ = nullptr;
};

class TDIKeyHandler : public TDIBaseHandler {
public:
    std::string ClassName() const override { return "TDIKeyHandler"; }

    int32_t KeySize() const { return keySize_; }
    TDIHashKeyFunc OnHashKey() const { return onHashKey_; }
    TDIHashKeyBufFunc OnHashKeyBuf() const { return onHashKeyBuf_; }
    // Hash of a key as stored in an entry; the same as OnHashKey where key and block look alike.
    TDIHashKeyFunc OnHashStoredKey() const { return onHashStoredKey_ ? onHashStoredKey_ : onHashKey_; }
    TDISameKeysFunc OnSameKeys() const { return onSameKeys_; }
    TDISameKeyBufFunc OnSameKeyBuf() const { return onSameKeyBuf_; }
    TDIStoreKeyFunc OnStoreKey() const { return onStoreKey_; }
    TDIStoreKeyBufFunc OnStoreKeyBuf() const { return onStoreKeyBuf_; }
    TDIFreeKeyFunc OnFreeKey() const { return onFreeKey_; }
    TDIReadKeyFunc OnReadKey() const { return onReadKey_; }
    TDIWriteKeyFunc OnWriteKey() const { return onWriteKey_; }

    void SetKeySize(int32_t size);
    void SetOnHashKey(TDIHashKeyFunc f);
    void SetOnHashKeyBuf(TDIHashKeyBufFunc f);
    void SetOnHashStoredKey(TDIHashKeyFunc f);
    void SetOnSameKeys(TDISameKeysFunc f);
    void SetOnSameKeyBuf(TDISameKeyBufFunc f);
    void SetOnStoreKey(TDIStoreKeyFunc f);
    void SetOnStoreKeyBuf(TDIStoreKeyBufFunc f);
    void SetOnFreeKey(TDIFreeKeyFunc f);
    void SetOnReadKey(TDIReadKeyFunc f);
    void SetOnWriteKey(TDIWriteKeyFunc f);

private:
    int32_t keySize_ = 0;
    TDIHashKeyFunc onHashKey_ = nullptr;
    TDIHashKeyBufFunc onHashKeyBuf_ = nullptr;
    TDIHashKeyFunc onHashStoredKey_ = nullptr;
    TDISameKeysFunc onSameKeys_ = nullptr;
    TDISameKeyBufFunc onSameKeyBuf_ = nullptr;
    TDIStoreKeyFunc onStoreKey_ = nullptr;
    TDIStoreKeyBufFunc onStoreKeyBuf_ = nullptr;
    TDIFreeKeyFunc onFreeKey_ = nullptr;
    TDIReadKeyFunc onReadKey_ = nullptr;
    TDIWriteKeyFunc onWriteKey_ = nullptr;
};

class TDIContainer : public TDIErrorObject {
public:
    explicit TDIContainer(TDIItemHandler* itemHandler);
    ~TDIContainer() override;
    std::string ClassName() const override { return "TDIContainer"; }

    TDIItemHandler* ItemHandler() const { return itemHandler_; }
    int32_t Count() const { return count_; }

    // Stores the items beside the published properties, as binary data named after the class.
    void DefineProperties(TFiler& filer) override;

    // Flags: bit 0 signature, bit 1 version, bit 2 item header.
    virtual void ReadData(TDIBinaryReader& reader, uint32_t flags, void* data) = 0;
    virtual void WriteData(TDIBinaryWriter& writer, uint32_t flags, void* data) = 0;

    // The growth rule of every container's array, and the length at which it shrinks again.
    static int32_t Capacity(int32_t n);
    static int32_t Shrink(int32_t n);

protected:
    // Run by each concrete constructor, so the message carries the concrete class name.
    void CheckItemHandler() const;
    void WriteSignature(TDIBinaryWriter& writer, uint32_t flags, const char* signature, void* data) const;
    void ReadSignature(TDIBinaryReader& reader, uint32_t flags, const char* signature, void* data);
    // Rounds a block to keep pointer-holding items aligned.
    static size_t Aligned(int32_t size) { return (static_cast<size_t>(size) + 7) & ~size_t{7}; }

    TDIItemHandler* itemHandler_;
    int32_t count_ = 0;
};
