#include "platform/rtl/registry_store.h"

#include "platform/rtl/exception.h"
#include "platform/rtl/strings.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace reg_detail {

namespace {

constexpr std::string_view kHeader = "PathweaverRegistry 2";
// Files of the first version have no end line.
constexpr std::string_view kFirstHeader = "PathweaverRegistry 1";
constexpr std::string_view kCutLine = "C";
constexpr std::string_view kEndLine = "E";

const char* TypeToken(ValueType type) {
    switch (type) {
    case ValueType::String:
        return "sz";
    case ValueType::ExpandString:
        return "expand_sz";
    case ValueType::DWord:
        return "dword";
    case ValueType::Binary:
        break;
    }
    return "binary";
}

bool TokenToType(std::string_view token, ValueType& type) {
    for (ValueType t : {ValueType::String, ValueType::ExpandString, ValueType::DWord, ValueType::Binary})
        if (token == TypeToken(t)) {
            type = t;
            return true;
        }
    return false;
}

// Each field starts with ":" (so an empty one is visible); blanks, control bytes, "%" and DEL are written
// as %XX. Bytes above 0x7F stay as they are, so UTF-8 names remain readable and invalid UTF-8 survives.
void AppendField(std::string& out, std::string_view text) {
    static const char hex[] = "0123456789ABCDEF";
    out += " :";
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b <= 0x20 || b == '%' || b == 0x7F) {
            out += '%';
            out += hex[b >> 4];
            out += hex[b & 15];
        } else {
            out += c;
        }
    }
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool DecodeField(std::string_view field, std::string& out) {
    out.clear();
    if (field.empty() || field[0] != ':') return false;
    for (size_t i = 1; i < field.size(); ++i) {
        if (field[i] != '%') {
            out += field[i];
            continue;
        }
        if (i + 2 >= field.size()) return false;
        const int hi = HexDigit(field[i + 1]), lo = HexDigit(field[i + 2]);
        if (hi < 0 || lo < 0) return false;
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
    }
    return true;
}

bool SplitFields(std::string_view line, std::vector<std::string>& fields) {
    fields.clear();
    size_t pos = 0;
    while (pos < line.size()) {
        size_t end = line.find(' ', pos);
        if (end == std::string_view::npos) end = line.size();
        if (end > pos) {
            std::string decoded;
            if (!DecodeField(line.substr(pos, end - pos), decoded)) return false;
            fields.push_back(std::move(decoded));
        }
        pos = end + 1;
    }
    return true;
}

void SerializeKey(const RegKey& key, std::vector<const RegKey*>& trail, std::string& out) {
    out += "K";
    for (size_t i = 1; i < trail.size(); ++i)
        AppendField(out, trail[i]->name);
    out += '\n';
    if (key.cut) {
        out += kCutLine;
        out += '\n';
    }
    for (const RegValue& value : key.Values()) {
        out += "V";
        AppendField(out, value.name);
        out += ' ';
        out += TypeToken(value.type);
        if (value.type == ValueType::DWord && value.data.size() == 4) {
            uint32_t n = 0;
            for (int i = 3; i >= 0; --i)
                n = n << 8 | static_cast<unsigned char>(value.data[static_cast<size_t>(i)]);
            AppendField(out, std::to_string(n));
        } else {
            AppendField(out, value.data);
        }
        out += '\n';
    }
    for (const auto& [folded, child] : key.subkeys) {
        trail.push_back(child.get());
        SerializeKey(*child, trail, out);
        trail.pop_back();
    }
}

// Holds the store's lock file for one write.
class StoreLock {
public:
    explicit StoreLock(const std::string& storePath) {
        fd_ = ::open((storePath + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd_ < 0) return;
        int rc;
        while ((rc = ::flock(fd_, LOCK_EX)) != 0 && errno == EINTR) {
        }
        if (rc != 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    ~StoreLock() {
        if (fd_ >= 0) ::close(fd_);
    }
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;
    bool Held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

} // namespace

RegValue* RegKey::FindValue(std::string_view valueName) {
    const auto it = index_.find(UpperCase(valueName));
    return it == index_.end() ? nullptr : &values_[it->second];
}

void RegKey::SetValue(std::string_view valueName, ValueType type, std::string data) {
    const auto [it, added] = index_.try_emplace(UpperCase(valueName), values_.size());
    if (added) {
        values_.push_back({std::string(valueName), type, std::move(data)});
        return;
    }
    RegValue& value = values_[it->second];
    value.type = type;
    value.data = std::move(data);
}

bool RegKey::RemoveValue(std::string_view valueName) {
    const auto it = index_.find(UpperCase(valueName));
    if (it == index_.end()) return false;
    const size_t place = it->second;
    index_.erase(it);
    values_.erase(values_.begin() + static_cast<std::ptrdiff_t>(place));
    for (auto& [folded, at] : index_)
        if (at > place) --at;
    return true;
}

const RegValue* RegKey::FindValue(std::string_view valueName) const {
    return const_cast<RegKey*>(this)->FindValue(valueName);
}

RegKey* RegKey::FindChild(std::string_view childName) const {
    const auto it = subkeys.find(UpperCase(childName));
    return it == subkeys.end() ? nullptr : it->second.get();
}

RegKey& RegKey::EnsureChild(std::string_view childName) {
    std::unique_ptr<RegKey>& slot = subkeys[UpperCase(childName)];
    if (!slot) {
        slot = std::make_unique<RegKey>();
        slot->name = std::string(childName);
    }
    return *slot;
}

KeyPath SplitKeyPath(std::string_view path) {
    KeyPath parts;
    size_t pos = 0;
    while (pos <= path.size()) {
        size_t end = path.find('\\', pos);
        if (end == std::string_view::npos) end = path.size();
        if (end > pos) parts.emplace_back(path.substr(pos, end - pos));
        pos = end + 1;
    }
    return parts;
}

const RegKey* FindKey(const RegKey& root, const KeyPath& path) {
    const RegKey* key = &root;
    for (const std::string& part : path)
        if (!(key = key->FindChild(part))) return nullptr;
    return key;
}

RegKey* FindKey(RegKey& root, const KeyPath& path) {
    return const_cast<RegKey*>(FindKey(static_cast<const RegKey&>(root), path));
}

RegKey& EnsureKey(RegKey& root, const KeyPath& path) {
    RegKey* key = &root;
    for (const std::string& part : path)
        key = &key->EnsureChild(part);
    return *key;
}

bool RemoveKey(RegKey& root, const KeyPath& path) {
    if (path.empty()) return false;
    RegKey* parent = FindKey(root, KeyPath(path.begin(), path.end() - 1));
    return parent && parent->subkeys.erase(UpperCase(path.back())) > 0;
}

bool CutShort(const RegKey& key) {
    if (key.cut) return true;
    return std::any_of(key.subkeys.begin(), key.subkeys.end(),
                       [](const auto& child) { return CutShort(*child.second); });
}

std::string Serialize(const RegKey& root) {
    std::string out(kHeader);
    out += '\n';
    std::vector<const RegKey*> trail{&root};
    SerializeKey(root, trail, out);
    out += kEndLine;
    out += '\n';
    return out;
}

void Parse(std::string_view text, RegKey& root) {
    root = RegKey();
    RegKey* current = nullptr;
    // The key of the last whole key line: a text that breaks off after it broke off inside it or in a
    // key after it, and every key above that one is above this one too. A broken key line may name a
    // key above the one it was (a shorter path) or one that never was.
    RegKey* lastWhole = &root;
    bool firstVersion = false, ended = false;
    std::vector<std::string> fields;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        const bool header = pos == 0, broken = end == text.size();
        pos = end + 1;
        // A store edited or copied on another system may end its lines with CR LF; a CR of the data
        // itself is always written as %0D.
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (header && line.starts_with("PathweaverRegistry")) {
            firstVersion = line == kFirstHeader;
            continue;
        }
        if (line.empty()) continue;
        ended = line == kEndLine;
        if (ended) continue;
        if (line == kCutLine) {
            if (current != nullptr) current->cut = true;
            continue;
        }
        if (line.size() >= 1 && line[0] == 'K' && (line.size() == 1 || line[1] == ' ')) {
            current = SplitFields(line.substr(1), fields) ? &EnsureKey(root, fields) : nullptr;
            if (current != nullptr && !broken) lastWhole = current;
            continue;
        }
        if (!current || line.size() < 2 || line[0] != 'V' || line[1] != ' ') continue;
        // V <name> <type> <data>: the type is the only field without the ":" mark.
        const size_t typeStart = line.find(' ', 2);
        const size_t typeEnd =
            typeStart == std::string_view::npos ? typeStart : line.find(' ', typeStart + 1);
        if (typeEnd == std::string_view::npos) continue;
        std::string name, data;
        ValueType type;
        if (!DecodeField(line.substr(2, typeStart - 2), name) ||
            !TokenToType(line.substr(typeStart + 1, typeEnd - typeStart - 1), type) ||
            !DecodeField(line.substr(typeEnd + 1), data))
            continue;
        if (type == ValueType::DWord) {
            if (data.empty() || data.size() > 10 ||
                !std::all_of(data.begin(), data.end(), [](char c) { return c >= '0' && c <= '9'; }))
                continue;
            const unsigned long long n = std::stoull(data);
            if (n > 0xFFFFFFFFull) continue;
            data.assign({static_cast<char>(n & 0xFF), static_cast<char>(n >> 8 & 0xFF),
                         static_cast<char>(n >> 16 & 0xFF), static_cast<char>(n >> 24 & 0xFF)});
        }
        current->SetValue(name, type, std::move(data));
    }
    // The first version wrote no end line: only a broken last line shows that its file was cut.
    const bool whole = text.empty() || ended || (firstVersion && text.back() == '\n');
    if (whole) return;
    lastWhole->cut = true;
    if (current != nullptr) current->cut = true;
}

RegistryStore& RegistryStore::ForFile(const std::string& path) {
    static std::mutex tableMutex;
    static std::map<std::string, std::unique_ptr<RegistryStore>> table;
    std::lock_guard lock(tableMutex);
    std::unique_ptr<RegistryStore>& store = table[path];
    if (!store) store = std::make_unique<RegistryStore>(path);
    return *store;
}

bool RegistryStore::Load(RegKey& into) {
    std::string text;
    try {
        if (!store_io::ReadWholeFile(path_, text)) text.clear();
    } catch (const EFOpenError& e) {
        unreadable_ = e.Message();
        return false;
    }
    unreadable_.clear();
    Parse(text, into);
    return true;
}

void RegistryStore::Refresh() {
    const store_io::FileStamp stamp = store_io::StampOf(path_);
    // A file that could not be read is tried again at every use: it may have been mended meanwhile.
    if (loaded_ && unreadable_.empty() && stamp == stamp_) return;
    RegKey fresh;
    if (!Load(fresh)) return; // keep what was known; the next write reports the trouble
    for (const Operation& op : pending_)
        op(fresh);
    for (const auto& [holder, op] : held_)
        op(fresh);
    view_ = std::move(fresh);
    stamp_ = stamp;
    loaded_ = true;
}

std::string RegistryStore::Unreadable() {
    std::lock_guard lock(mutex_);
    Refresh();
    return unreadable_;
}

bool RegistryStore::Change(Operation op, bool flushNow) {
    {
        std::lock_guard lock(mutex_);
        Refresh();
        op(view_);
        pending_.push_back(std::move(op));
    }
    return !flushNow || Flush();
}

void RegistryStore::Hold(const void* holder, Operation op) {
    std::lock_guard lock(mutex_);
    Refresh();
    op(view_);
    held_.emplace_back(holder, std::move(op));
}

bool RegistryStore::Commit(const void* holder) {
    {
        std::lock_guard lock(mutex_);
        for (auto it = held_.begin(); it != held_.end();) {
            if (it->first != holder) {
                ++it;
                continue;
            }
            pending_.push_back(std::move(it->second));
            it = held_.erase(it);
        }
    }
    return Flush();
}

void RegistryStore::Drop(const void* holder) {
    std::lock_guard lock(mutex_);
    const auto before = held_.size();
    std::erase_if(held_, [holder](const auto& entry) { return entry.first == holder; });
    // The view holds the dropped changes: it is read again from the file at the next use.
    if (held_.size() != before) loaded_ = false;
}

bool RegistryStore::Flush() {
    std::lock_guard lock(mutex_);
    if (pending_.empty()) return true;
    if (!store_io::ForceFolderOf(path_)) return false;
    StoreLock fileLock(path_);
    if (!fileLock.Held()) return false;
    RegKey fresh;
    if (!Load(fresh)) return false;
    for (const Operation& op : pending_)
        op(fresh);
    // It holds the (scrambled) passwords: owner only, also when it was made or changed elsewhere.
    if (!store_io::ReplacePrivateFile(path_, Serialize(fresh), 0600)) return false;
    pending_.clear();
    // What is still held stays visible to this process's readers.
    for (const auto& [holder, op] : held_)
        op(fresh);
    view_ = std::move(fresh);
    stamp_ = store_io::StampOf(path_);
    loaded_ = true;
    return true;
}

} // namespace reg_detail
