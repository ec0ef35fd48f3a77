#pragma once
// The file behind the registry: a tree of keys with typed values, kept in memory per store file and
// shared by every registry object of the process. Changes are recorded as operations; writing them
// takes the store's lock file, re-reads the file, replays the operations on what another process may
// have written meanwhile, and replaces the file through a temporary, so no writer loses another's keys.
#include "platform/rtl/store_io.h"

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace reg_detail {

enum class ValueType { String, ExpandString, DWord, Binary };

struct RegValue {
    std::string name;
    ValueType type;
    std::string data; // DWord: 4 bytes, little-endian
};

struct RegKey {
    std::string name;
    // Ordered by the upper-cased name, which is how the registry enumerates subkeys.
    std::map<std::string, std::unique_ptr<RegKey>> subkeys;
    // The file this key was read from ended after it (cut short by a full disk, a broken copy): what
    // came after it in the file, this key's later values and subkeys among it, is lost. The mark is
    // written on with the key, so the part that is left never passes for the whole.
    bool cut = false;

    // In the order first written.
    const std::vector<RegValue>& Values() const { return values_; }
    // Value names compare without regard to ASCII letter case; found through an index, so that
    // reading a key of many values stays linear.
    RegValue* FindValue(std::string_view valueName);
    const RegValue* FindValue(std::string_view valueName) const;
    // Sets type and data of the value of that name, adding it at the end when it is new (a value
    // that is there keeps its name's letter case).
    void SetValue(std::string_view valueName, ValueType type, std::string data);
    bool RemoveValue(std::string_view valueName);
    RegKey* FindChild(std::string_view childName) const;
    RegKey& EnsureChild(std::string_view childName);

private:
    std::vector<RegValue> values_;
    std::unordered_map<std::string, size_t> index_; // upper-cased name -> place in values_
};

using KeyPath = std::vector<std::string>;

// Splits on "\", dropping empty parts, so "\A\B\" and "A\B" name the same key.
KeyPath SplitKeyPath(std::string_view path);
const RegKey* FindKey(const RegKey& root, const KeyPath& path);
RegKey* FindKey(RegKey& root, const KeyPath& path);
RegKey& EnsureKey(RegKey& root, const KeyPath& path);
// Removes the key with its subkeys; false when it does not exist or is the root.
bool RemoveKey(RegKey& root, const KeyPath& path);

// True when the file ended inside the key: it or a key below it carries the cut mark.
bool CutShort(const RegKey& key);

// The text ends with a line of its own, so that a file that lost its end can tell, and carries the cut
// marks on.
std::string Serialize(const RegKey& root);
// Unreadable lines are skipped, so one damaged line does not cost the rest of the store. A text without
// its end line is marked cut where it breaks off (one of the first version, which had no end line, only
// when its last line is broken).
void Parse(std::string_view text, RegKey& root);

using Operation = std::function<void(RegKey& root)>;

class RegistryStore {
public:
    // One store object per file in the process.
    static RegistryStore& ForFile(const std::string& path);

    explicit RegistryStore(std::string path) : path_(std::move(path)) {}

    // Runs reader on the current tree: the file as last written by anyone, plus this process's changes
    // not written yet.
    template <class Reader> auto Read(Reader reader) {
        std::lock_guard lock(mutex_);
        Refresh();
        return reader(static_cast<const RegKey&>(view_));
    }
    // Applies op now and queues it for the file; writes at once when flushNow.
    // False when writing failed (the change stays queued for the next write).
    bool Change(Operation op, bool flushNow);
    // Applies op now, but holds it back from the file (and from every Flush) until Commit(holder).
    void Hold(const void* holder, Operation op);
    // Queues what holder held, in its order, and writes everything queued in one replacement of the
    // file; false when that failed (the changes stay queued for the next write).
    bool Commit(const void* holder);
    // Forgets what holder held: readers see the store without it again.
    void Drop(const void* holder);
    // Writes the queued changes; false when that failed (errno set). Nothing queued: true.
    bool Flush();
    // Why the file is there but cannot be read ("Cannot open file <path>: it is a folder"); empty when
    // it was read or does not exist (no file is an empty store). Readers then see no keys, and nothing
    // is written over the file while it stays so.
    std::string Unreadable();

private:
    void Refresh();
    bool Load(RegKey& into);

    std::mutex mutex_;
    const std::string path_;
    store_io::FileStamp stamp_;
    bool loaded_ = false;
    std::string unreadable_;
    RegKey view_;
    std::vector<Operation> pending_;
    std::vector<std::pair<const void*, Operation>> held_;
};

} // namespace reg_detail
