#include "platform/rtl/registry.h"

#include "platform/rtl/format.h"
#include "platform/rtl/paths.h"
#include "platform/rtl/registry_store.h"
#include "platform/rtl/strings.h"

#include <cstring>
#include <mutex>

using reg_detail::KeyPath;
using reg_detail::RegKey;
using reg_detail::RegValue;
using reg_detail::ValueType;

namespace {

std::mutex g_storeFileMutex;
std::string g_storeFile;

constexpr const char* kGetDataFailed = "Failed to get data for '%s'";
constexpr const char* kSetDataFailed = "Failed to set data for '%s'";
constexpr const char* kInvalidType = "Invalid data type for '%s'";
constexpr const char* kCreateFailed = "Failed to create key %s";

TRegDataType DataType(ValueType type) {
    switch (type) {
    case ValueType::String:
        return rdString;
    case ValueType::ExpandString:
        return rdExpandString;
    case ValueType::DWord:
        return rdInteger;
    case ValueType::Binary:
        break;
    }
    return rdBinary;
}

KeyPath Join(const KeyPath& base, const KeyPath& rest) {
    KeyPath path = base;
    path.insert(path.end(), rest.begin(), rest.end());
    return path;
}

} // namespace

std::string RegistryStoreFile() {
    std::lock_guard lock(g_storeFileMutex);
    return g_storeFile.empty() ? UserConfigDir() + "registry.dat" : g_storeFile;
}

void SetRegistryStoreFile(const std::string& fileName) {
    std::lock_guard lock(g_storeFileMutex);
    g_storeFile = fileName;
}

TRegistry::TRegistry()
    : store_(&reg_detail::RegistryStore::ForFile(RegistryStoreFile())), rootKey_(HKEY_CURRENT_USER) {}

TRegistry::~TRegistry() {
    // A transaction not committed leaves the store as it was.
    if (transaction_) store_->Drop(this);
    if (dirty_) store_->Flush();
}

bool TRegistry::Apply(std::function<void(reg_detail::RegKey&)> op) {
    if (transaction_) {
        store_->Hold(this, std::move(op));
        return true;
    }
    const bool written = store_->Change(std::move(op), !lazyWrite_);
    dirty_ = dirty_ || lazyWrite_;
    return written;
}

void TRegistry::RaiseWriteFailed() {
    // A file that cannot be read is never written over: what it may hold would be lost.
    const std::string problem = store_->Unreadable();
    throw ERegistryException(Format(kSetDataFailed, RegistryStoreFile()) +
                             (problem.empty() ? "" : ". " + problem));
}

std::string TRegistry::StoreProblem() {
    return store_->Unreadable();
}

void TRegistry::StartTransaction() {
    transaction_ = true;
}

void TRegistry::CommitTransaction() {
    if (!transaction_) return;
    transaction_ = false;
    if (!store_->Commit(this)) RaiseWriteFailed();
}

bool TRegistry::UsableRoot() const {
    return rootKey_ == HKEY_CURRENT_USER;
}

HKEY TRegistry::CurrentKey() const {
    return open_ ? reinterpret_cast<HKEY>(const_cast<TRegistry*>(this)) : nullptr;
}

void TRegistry::SetRootKey(HKEY value) {
    if (value == rootKey_) return;
    CloseKey();
    rootKey_ = value;
}

std::vector<std::string> TRegistry::Resolve(const std::string& key, bool& relative) const {
    relative = key.empty() || key[0] != '\\';
    const KeyPath parts = reg_detail::SplitKeyPath(key);
    return relative && open_ ? Join(currentKey_, parts) : parts;
}

bool TRegistry::OpenKey(const std::string& key, bool canCreate) {
    if (!UsableRoot()) return false;
    bool relative = false;
    const KeyPath path = Resolve(key, relative);
    bool exists =
        store_->Read([&](const RegKey& root) { return reg_detail::FindKey(root, path) != nullptr; });
    if (!exists && canCreate) {
        Apply([path](RegKey& root) { reg_detail::EnsureKey(root, path); });
        exists = true;
    }
    if (!exists) return false;
    const std::string given = key.empty() || key[0] != '\\' ? key : key.substr(1);
    currentPath_ = relative && open_ && !currentPath_.empty() ? currentPath_ + "\\" + given : given;
    currentKey_ = path;
    open_ = true;
    readOnly_ = false;
    return true;
}

bool TRegistry::OpenKeyReadOnly(const std::string& key) {
    if (!OpenKey(key, false)) return false;
    readOnly_ = true;
    return true;
}

bool TRegistry::CreateKey(const std::string& key) {
    if (!UsableRoot()) throw ERegistryException(Format(kCreateFailed, key));
    bool relative = false;
    const KeyPath path = Resolve(key, relative);
    if (path.empty()) return true;
    Apply([path](RegKey& root) { reg_detail::EnsureKey(root, path); });
    return true;
}

bool TRegistry::KeyExists(const std::string& key) {
    if (!UsableRoot()) return false;
    bool relative = false;
    const KeyPath path = Resolve(key, relative);
    return store_->Read([&](const RegKey& root) { return reg_detail::FindKey(root, path) != nullptr; });
}

bool TRegistry::DeleteKey(const std::string& key) {
    if (!UsableRoot()) return false;
    // A name left empty ("Profiles\\" + "") would name the parent and remove every key beside it.
    if (key.empty() || key.back() == '\\' || key.find("\\\\") != std::string::npos) return false;
    bool relative = false;
    const KeyPath path = Resolve(key, relative);
    if (path.empty() || !KeyExists(key)) return false;
    Apply([path](RegKey& root) { reg_detail::RemoveKey(root, path); });
    return true;
}

void TRegistry::CloseKey() {
    open_ = false;
    readOnly_ = false;
    currentKey_.clear();
    currentPath_.clear();
    if (dirty_) {
        dirty_ = false;
        if (!store_->Flush()) RaiseWriteFailed();
    }
}

bool TRegistry::CutShort() {
    if (!open_) return false;
    return store_->Read([&](const RegKey& root) {
        const RegKey* key = reg_detail::FindKey(root, currentKey_);
        return key != nullptr && reg_detail::CutShort(*key);
    });
}

bool TRegistry::HasSubKeys() {
    return !KeyNames().empty();
}

std::vector<std::string> TRegistry::KeyNames() {
    std::vector<std::string> names;
    if (!open_) return names;
    store_->Read([&](const RegKey& root) {
        if (const RegKey* key = reg_detail::FindKey(root, currentKey_))
            for (const auto& [folded, child] : key->subkeys)
                names.push_back(child->name);
        return 0;
    });
    return names;
}

std::vector<std::string> TRegistry::ValueNames() {
    std::vector<std::string> names;
    if (!open_) return names;
    store_->Read([&](const RegKey& root) {
        if (const RegKey* key = reg_detail::FindKey(root, currentKey_))
            for (const RegValue& value : key->Values())
                names.push_back(value.name);
        return 0;
    });
    return names;
}

bool TRegistry::GetDataInfo(const std::string& name, TRegDataInfo& info) {
    info = {};
    if (!open_) return false;
    return store_->Read([&](const RegKey& root) {
        const RegKey* key = reg_detail::FindKey(root, currentKey_);
        const RegValue* value = key ? key->FindValue(name) : nullptr;
        if (!value) return false;
        info.RegData = DataType(value->type);
        info.DataSize = static_cast<int>(value->data.size());
        if (value->type == ValueType::String || value->type == ValueType::ExpandString) ++info.DataSize;
        return true;
    });
}

bool TRegistry::ValueExists(const std::string& name) {
    TRegDataInfo info;
    return GetDataInfo(name, info);
}

TRegDataType TRegistry::GetDataType(const std::string& name) {
    TRegDataInfo info;
    return GetDataInfo(name, info) ? info.RegData : rdUnknown;
}

int TRegistry::GetDataSize(const std::string& name) {
    TRegDataInfo info;
    return GetDataInfo(name, info) ? info.DataSize : -1;
}

bool TRegistry::DeleteValue(const std::string& name) {
    if (!open_ || readOnly_ || !ValueExists(name)) return false;
    const KeyPath path = currentKey_;
    Apply([path, name](RegKey& root) {
        if (RegKey* key = reg_detail::FindKey(root, path)) key->RemoveValue(name);
    });
    return true;
}

namespace {

// Reads a value's type and bytes; false when it does not exist.
bool Fetch(reg_detail::RegistryStore& store, const KeyPath& path, const std::string& name, ValueType& type,
           std::string& data) {
    return store.Read([&](const RegKey& root) {
        const RegKey* key = reg_detail::FindKey(root, path);
        const RegValue* value = key ? key->FindValue(name) : nullptr;
        if (!value) return false;
        type = value->type;
        data = value->data;
        return true;
    });
}

} // namespace

std::string TRegistry::ReadString(const std::string& name) {
    ValueType type;
    std::string data;
    if (!open_ || !Fetch(*store_, currentKey_, name, type, data)) return "";
    if (type != ValueType::String && type != ValueType::ExpandString)
        throw ERegistryException(Format(kInvalidType, name));
    // Like the registry's string reader, the text ends at the first zero.
    const size_t nul = data.find('\0');
    return nul == std::string::npos ? data : data.substr(0, nul);
}

int TRegistry::ReadInteger(const std::string& name) {
    ValueType type;
    std::string data;
    if (!open_ || !Fetch(*store_, currentKey_, name, type, data))
        throw ERegistryException(Format(kGetDataFailed, name));
    if (type != ValueType::DWord || data.size() != 4) throw ERegistryException(Format(kInvalidType, name));
    uint32_t n = 0;
    for (int i = 3; i >= 0; --i)
        n = n << 8 | static_cast<unsigned char>(data[static_cast<size_t>(i)]);
    return static_cast<int>(n);
}

int TRegistry::ReadBinaryData(const std::string& name, void* buffer, int bufSize) {
    ValueType type;
    std::string data;
    if (!open_ || !Fetch(*store_, currentKey_, name, type, data)) return 0;
    if (type != ValueType::Binary) throw ERegistryException(Format(kInvalidType, name));
    if (bufSize < 0 || data.size() > static_cast<size_t>(bufSize))
        throw ERegistryException(Format(kGetDataFailed, name));
    if (!data.empty()) std::memcpy(buffer, data.data(), data.size());
    return static_cast<int>(data.size());
}

void TRegistry::Write(const std::string& name, int type, std::string data) {
    if (!open_ || readOnly_ || !UsableRoot()) throw ERegistryException(Format(kSetDataFailed, name));
    const KeyPath path = currentKey_;
    const auto valueType = static_cast<ValueType>(type);
    const bool written = Apply([path, name, valueType, data = std::move(data)](RegKey& root) {
        reg_detail::EnsureKey(root, path).SetValue(name, valueType, data);
    });
    if (!written) throw ERegistryException(Format(kSetDataFailed, name));
}

void TRegistry::WriteString(const std::string& name, const std::string& value) {
    Write(name, static_cast<int>(ValueType::String), value);
}

void TRegistry::WriteExpandString(const std::string& name, const std::string& value) {
    Write(name, static_cast<int>(ValueType::ExpandString), value);
}

void TRegistry::WriteInteger(const std::string& name, int value) {
    std::string data(4, '\0');
    const auto n = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        data[static_cast<size_t>(i)] = static_cast<char>(n >> (8 * i) & 0xFF);
    Write(name, static_cast<int>(ValueType::DWord), std::move(data));
}

void TRegistry::WriteBinaryData(const std::string& name, const void* buffer, int bufSize) {
    if (bufSize < 0 || (bufSize > 0 && !buffer)) throw ERegistryException(Format(kSetDataFailed, name));
    std::string data;
    if (bufSize > 0) data.assign(static_cast<const char*>(buffer), static_cast<size_t>(bufSize));
    Write(name, static_cast<int>(ValueType::Binary), std::move(data));
}
