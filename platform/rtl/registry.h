#pragma once
// The registry of the current user, kept in a file of the user's settings folder (mode 0600).
// Key paths use "\" and compare without regard to ASCII letter case; subkeys enumerate in the order of
// their upper-cased names, values in the order they were first written.
#include "platform/rtl/exception.h"
#include "platform/rtl/name_list.h"
#include "platform/rtl/object.h"
#include "platform/rtl/wintypes.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

PW_DECLARE_EXCEPTION(ERegistryException, Exception)

inline const HKEY HKEY_CLASSES_ROOT = reinterpret_cast<HKEY>(uintptr_t{0x80000000});
inline const HKEY HKEY_CURRENT_USER = reinterpret_cast<HKEY>(uintptr_t{0x80000001});
inline const HKEY HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(uintptr_t{0x80000002});
inline const HKEY HKEY_USERS = reinterpret_cast<HKEY>(uintptr_t{0x80000003});

// The store file: UserConfigDir() + "registry.dat" unless set; an empty name returns to that default.
std::string RegistryStoreFile();
void SetRegistryStoreFile(const std::string& fileName);

namespace reg_detail {
class RegistryStore;
struct RegKey;
} // namespace reg_detail

enum TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

struct TRegDataInfo {
    TRegDataType RegData = rdUnknown;
    int DataSize = 0;
};

class TRegistry : public TObject {
public:
    TRegistry();
    // Writes what is still pending; a failure here is not reported (use CloseKey to see it).
    ~TRegistry() override;
    std::string ClassName() const override { return "TRegistry"; }

    HKEY RootKey() const { return rootKey_; }
    // Closes the open key. Only HKEY_CURRENT_USER holds keys; under the others nothing is found.
    void SetRootKey(HKEY value);
    // Non-null while a key is open.
    HKEY CurrentKey() const;
    const std::string& CurrentPath() const { return currentPath_; }
    // True (the default): changes reach the file when the key is closed (CloseKey, destruction);
    // false: at every write.
    bool LazyWrite() const { return lazyWrite_; }
    void SetLazyWrite(bool value) { lazyWrite_ = value; }

    // A path starting with "\" is taken from the root, any other from the open key (or the root).
    bool OpenKey(const std::string& key, bool canCreate);
    bool OpenKeyReadOnly(const std::string& key);
    // ERegistryException "Failed to create key %s" when it cannot be made.
    bool CreateKey(const std::string& key);
    bool KeyExists(const std::string& key);
    // Removes the key with all its subkeys. A key text that is empty, ends in "\" or holds "\\" is
    // refused: its last name is empty, and the key it would remove is its parent.
    bool DeleteKey(const std::string& key);
    // Writes pending changes; ERegistryException "Failed to set data for '%s'" when that fails.
    void CloseKey();

    // From here on this object's changes are held back from the file (closing keys writes nothing)
    // until CommitTransaction writes them all in one replacement of the file: a process that ends
    // before the commit leaves the file as it was, and readers of the file never see a part of them.
    // This process's readers see them at once. Destroyed before the commit, the object drops them.
    void StartTransaction();
    // ERegistryException "Failed to set data for '%s'" when the write fails; the changes stay queued
    // for the store's next write.
    void CommitTransaction();

    // The store's file ended inside the open key or a key below it (the file was cut short): what they
    // hold may be only the first part of what was written. It stays so, through later writes of the
    // store, until the key is deleted.
    bool CutShort();
    // Why the store's file cannot be read ("Cannot open file <path>: it is a folder"), empty when it can
    // or when there is none. While it cannot, no key is found and no write replaces the file.
    std::string StoreProblem();

    bool HasSubKeys();
    std::vector<std::string> KeyNames();
    std::vector<std::string> ValueNames();
    template <class List> void GetKeyNames(List& names) { rtl_detail::FillNameList(names, KeyNames()); }
    template <class List> void GetValueNames(List& names) { rtl_detail::FillNameList(names, ValueNames()); }

    bool ValueExists(const std::string& name);
    bool DeleteValue(const std::string& name);
    bool GetDataInfo(const std::string& name, TRegDataInfo& info);
    TRegDataType GetDataType(const std::string& name);
    // Bytes of the data (strings with their terminating zero); -1 when the value does not exist.
    int GetDataSize(const std::string& name);

    // Empty when the value does not exist; ERegistryException "Invalid data type for '%s'" when it is
    // not a string.
    std::string ReadString(const std::string& name);
    void WriteString(const std::string& name, const std::string& value);
    void WriteExpandString(const std::string& name, const std::string& value);
    // ERegistryException "Failed to get data for '%s'" when missing, "Invalid data type for '%s'" when
    // not a number.
    int ReadInteger(const std::string& name);
    void WriteInteger(const std::string& name, int value);
    bool ReadBool(const std::string& name) { return ReadInteger(name) != 0; }
    void WriteBool(const std::string& name, bool value) { WriteInteger(name, value ? 1 : 0); }
    // Copies the data into buffer and answers its size; 0 when the value does not exist.
    // "Failed to get data for '%s'" when the buffer is too small, never writing past it.
    int ReadBinaryData(const std::string& name, void* buffer, int bufSize);
    void WriteBinaryData(const std::string& name, const void* buffer, int bufSize);

private:
    bool UsableRoot() const;
    [[noreturn]] void RaiseWriteFailed();
    std::vector<std::string> Resolve(const std::string& key, bool& relative) const;
    void Write(const std::string& name, int type, std::string data);
    // Applies a change to the store: held back during a transaction, else queued for the file and
    // written at once unless writes are lazy. False when an immediate write failed.
    bool Apply(std::function<void(reg_detail::RegKey&)> op);

    reg_detail::RegistryStore* store_;
    HKEY rootKey_;
    bool lazyWrite_ = true;
    bool open_ = false;
    bool readOnly_ = false;
    bool dirty_ = false;
    bool transaction_ = false;
    std::vector<std::string> currentKey_; // path parts from the root
    std::string currentPath_;
};
