#include "platform/rtl/string_list.h"

#include "platform/rtl/atomic_file.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/file_stream.h"
#include "platform/rtl/format.h"
#include "platform/rtl/merge_sort.h"
#include "platform/rtl/scope_guard.h"
#include "platform/rtl/stream.h"
#include "platform/rtl/strings.h"

#include <numeric>

namespace {
constexpr const char* SortedListError = "Operation not allowed on sorted list";
constexpr const char* DuplicateString = "String list does not allow duplicates";

bool IsBlankChar(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}
// Blanks and control characters other than NUL, which the delimited-text parser skips.
bool IsSkippable(char c) {
    return c != '\0' && IsBlankChar(c);
}
} // namespace

// ---- TStrings ---------------------------------------------------------------------------------

void TStrings::IndexError(int index) const {
    throw EStringListError(Format(rtl_text::ListIndexError, index));
}

int TStrings::Add(const std::string& s) {
    const int index = Count();
    Insert(index, s);
    return index;
}

int TStrings::AddObject(const std::string& s, TObject* object) {
    const int index = Add(s);
    PutObject(index, object);
    return index;
}

void TStrings::InsertObject(int index, const std::string& s, TObject* object) {
    Insert(index, s);
    PutObject(index, object);
}

void TStrings::Put(int index, const std::string& s) {
    TObject* object = GetObject(index);
    Delete(index);
    InsertObject(index, s, object);
}

TObject* TStrings::GetObject(int) const {
    return nullptr;
}
void TStrings::PutObject(int, TObject*) {}

void TStrings::Exchange(int index1, int index2) {
    BeginUpdate();
    const ThrowingScopeGuard endUpdate([&] { EndUpdate(); });
    const std::string s1 = Get(index1);
    TObject* o1 = GetObject(index1);
    Put(index1, Get(index2));
    PutObject(index1, GetObject(index2));
    Put(index2, s1);
    PutObject(index2, o1);
}

void TStrings::Move(int curIndex, int newIndex) {
    if (curIndex == newIndex) return;
    BeginUpdate();
    const ThrowingScopeGuard endUpdate([&] { EndUpdate(); });
    const std::string s = Get(curIndex);
    TObject* object = GetObject(curIndex);
    if (newIndex < 0 || newIndex >= Count()) IndexError(newIndex);
    Delete(curIndex);
    InsertObject(newIndex, s, object);
}

void TStrings::AddStrings(const TStrings& strings) {
    // Copy first: strings may be this very list.
    std::vector<std::pair<std::string, TObject*>> items;
    for (int i = 0; i < strings.Count(); ++i)
        items.emplace_back(strings.Get(i), strings.GetObject(i));
    BeginUpdate();
    const ThrowingScopeGuard endUpdate([&] { EndUpdate(); });
    for (const auto& [s, object] : items)
        AddObject(s, object);
}

int TStrings::CompareStrings(const std::string& a, const std::string& b) const {
    return CompareText(a, b);
}

int TStrings::IndexOf(const std::string& s) const {
    for (int i = 0; i < Count(); ++i)
        if (CompareStrings(Get(i), s) == 0) return i;
    return -1;
}

int TStrings::IndexOfName(const std::string& name) const {
    for (int i = 0; i < Count(); ++i) {
        const std::string s = Get(i);
        const size_t sep = s.find(nameValueSeparator_);
        if (sep != std::string::npos && CompareStrings(s.substr(0, sep), name) == 0) return i;
    }
    return -1;
}

int TStrings::IndexOfObject(const TObject* object) const {
    for (int i = 0; i < Count(); ++i)
        if (GetObject(i) == object) return i;
    return -1;
}

std::string TStrings::Text() const {
    std::string text;
    for (int i = 0; i < Count(); ++i) {
        text += Get(i);
        text += "\r\n";
    }
    return text;
}

void TStrings::SetText(std::string_view text) {
    BeginUpdate();
    const ThrowingScopeGuard endUpdate([&] { EndUpdate(); });
    Clear();
    size_t i = 0;
    while (i < text.size()) {
        const size_t start = i;
        while (i < text.size() && text[i] != '\r' && text[i] != '\n')
            ++i;
        Add(std::string(text.substr(start, i - start)));
        if (i < text.size() && text[i] == '\r') ++i;
        if (i < text.size() && text[i] == '\n') ++i;
    }
}

std::string TStrings::DelimitedTextWith(char delimiter, char quote, bool strict) const {
    const int count = Count();
    if (count == 1 && Get(0).empty()) return std::string(2, quote);
    std::string result;
    for (int i = 0; i < count; ++i) {
        const std::string s = Get(i);
        bool needsQuotes = false;
        for (char c : s)
            if (c == quote || c == delimiter || c == '\0' || (!strict && IsBlankChar(c))) {
                needsQuotes = true;
                break;
            }
        if (i > 0) result += delimiter;
        if (!needsQuotes) {
            result += s;
            continue;
        }
        result += quote;
        for (char c : s) {
            if (c == quote) result += quote;
            result += c;
        }
        result += quote;
    }
    return result;
}

void TStrings::SetDelimitedTextWith(std::string_view text, char delimiter, char quote, bool strict) {
    BeginUpdate();
    const ThrowingScopeGuard endUpdate([&] { EndUpdate(); });
    Clear();
    size_t p = 0;
    const size_t n = text.size();
    const auto skipBlanks = [&] {
        if (!strict)
            while (p < n && IsSkippable(text[p]))
                ++p;
    };
    skipBlanks();
    while (p < n) {
        std::string s;
        if (text[p] == quote) {
            // A doubled quote stands for one; an unterminated quote runs to the end of the text.
            ++p;
            while (p < n) {
                if (text[p] == quote) {
                    if (p + 1 < n && text[p + 1] == quote) {
                        s += quote;
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                s += text[p++];
            }
        } else {
            const size_t start = p;
            while (p < n && text[p] != delimiter && (strict || !IsBlankChar(text[p])))
                ++p;
            s.assign(text.substr(start, p - start));
        }
        Add(s);
        skipBlanks();
        if (p < n && text[p] == delimiter) {
            ++p;
            if (p == n) Add(std::string());
            skipBlanks();
        } else if (p < n && text[p] == '\0' && !strict) {
            ++p; // a NUL outside quotes separates like a blank
            skipBlanks();
        }
    }
}

std::string TStrings::DelimitedText() const {
    return DelimitedTextWith(delimiter_, quoteChar_, strictDelimiter_);
}

void TStrings::SetDelimitedText(std::string_view text) {
    SetDelimitedTextWith(text, delimiter_, quoteChar_, strictDelimiter_);
}

std::string TStrings::CommaText() const {
    return DelimitedTextWith(',', '"', false);
}

void TStrings::SetCommaText(std::string_view text) {
    SetDelimitedTextWith(text, ',', '"', false);
}

std::string TStrings::Names(int index) const {
    const std::string s = Get(index);
    const size_t sep = s.find(nameValueSeparator_);
    return sep == std::string::npos ? std::string() : s.substr(0, sep);
}

std::string TStrings::Values(const std::string& name) const {
    const int index = IndexOfName(name);
    return index < 0 ? std::string() : ValueFromIndex(index);
}

void TStrings::SetValues(const std::string& name, const std::string& value) {
    int index = IndexOfName(name);
    if (value.empty()) {
        if (index >= 0) Delete(index);
        return;
    }
    const std::string line = name + nameValueSeparator_ + value;
    if (index < 0)
        Add(line);
    else
        Put(index, line);
}

std::string TStrings::ValueFromIndex(int index) const {
    if (index < 0) return std::string();
    const std::string s = Get(index);
    const size_t sep = s.find(nameValueSeparator_);
    return sep == std::string::npos ? std::string() : s.substr(sep + 1);
}

void TStrings::SetValueFromIndex(int index, const std::string& value) {
    if (value.empty()) {
        if (index >= 0) Delete(index);
        return;
    }
    if (index < 0)
        Add(nameValueSeparator_ + value);
    else
        Put(index, Names(index) + nameValueSeparator_ + value);
}

void TStrings::BeginUpdate() {
    if (updateCount_ == 0) SetUpdateState(true);
    ++updateCount_;
}

void TStrings::EndUpdate() {
    if (updateCount_ == 0) return;
    if (--updateCount_ == 0) SetUpdateState(false);
}

void TStrings::SetUpdateState(bool) {}

void TStrings::Assign(TPersistent* Source) {
    if (auto* strings = dynamic_cast<TStrings*>(Source)) {
        Assign(*strings);
        return;
    }
    TPersistent::Assign(Source);
}

void TStrings::Assign(const TStrings& source) {
    if (&source == this) return;
    BeginUpdate();
    const ThrowingScopeGuard endUpdate([&] { EndUpdate(); });
    Clear();
    AddStrings(source);
}

bool TStrings::Equals(const TStrings& other) const {
    if (Count() != other.Count()) return false;
    for (int i = 0; i < Count(); ++i)
        if (Get(i) != other.Get(i)) return false;
    return true;
}

void TStrings::LoadFromStream(TStream& stream) {
    const int64_t size = stream.Size() - stream.Position();
    std::string text(static_cast<size_t>(std::max<int64_t>(size, 0)), '\0');
    if (!text.empty()) stream.ReadBuffer(text.data(), static_cast<int64_t>(text.size()));
    SetText(text);
}

void TStrings::SaveToStream(TStream& stream) const {
    const std::string text = Text();
    if (!text.empty()) stream.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
}

void TStrings::LoadFromFile(const std::string& fileName) {
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(file);
}

void TStrings::SaveToFile(const std::string& fileName) const {
    WriteFileAtomically(fileName, Text());
}

// ---- TStringList ------------------------------------------------------------------------------

TStringList::~TStringList() {
    OnChange = nullptr;
    OnChanging = nullptr;
}

void TStringList::CheckIndex(int index) const {
    if (index < 0 || index >= Count()) IndexError(index);
}

void TStringList::Changed() {
    if (UpdateCount() == 0 && OnChange) OnChange(this);
}

void TStringList::Changing() {
    if (UpdateCount() == 0 && OnChanging) OnChanging(this);
}

void TStringList::SetUpdateState(bool updating) {
    if (updating)
        Changing();
    else
        Changed();
}

int TStringList::CompareStrings(const std::string& a, const std::string& b) const {
    return caseSensitive_ ? CompareStr(a, b) : CompareText(a, b);
}

std::string TStringList::Get(int index) const {
    CheckIndex(index);
    return items_[static_cast<size_t>(index)].text;
}

TObject* TStringList::GetObject(int index) const {
    CheckIndex(index);
    return items_[static_cast<size_t>(index)].object;
}

void TStringList::Put(int index, const std::string& s) {
    if (sorted_) throw EStringListError(SortedListError);
    CheckIndex(index);
    Changing();
    items_[static_cast<size_t>(index)].text = s;
    Changed();
}

void TStringList::PutObject(int index, TObject* object) {
    CheckIndex(index);
    Changing();
    items_[static_cast<size_t>(index)].object = object;
    Changed();
}

int TStringList::Add(const std::string& s) {
    return AddObject(s, nullptr);
}

int TStringList::AddObject(const std::string& s, TObject* object) {
    int index = Count();
    if (sorted_ && Find(s, index)) {
        if (duplicates_ == dupIgnore) return index;
        if (duplicates_ == dupError) throw EStringListError(DuplicateString);
    }
    InsertItem(index, s, object);
    return index;
}

void TStringList::Insert(int index, const std::string& s) {
    InsertObject(index, s, nullptr);
}

void TStringList::InsertObject(int index, const std::string& s, TObject* object) {
    if (sorted_) throw EStringListError(SortedListError);
    if (index < 0 || index > Count()) IndexError(index);
    InsertItem(index, s, object);
}

void TStringList::InsertItem(int index, const std::string& s, TObject* object) {
    Changing();
    items_.insert(items_.begin() + index, Item{s, object});
    Changed();
}

void TStringList::Delete(int index) {
    CheckIndex(index);
    Changing();
    items_.erase(items_.begin() + index);
    Changed();
}

void TStringList::Clear() {
    if (items_.empty()) return;
    Changing();
    items_.clear();
    Changed();
}

void TStringList::Exchange(int index1, int index2) {
    CheckIndex(index1);
    CheckIndex(index2);
    Changing();
    std::swap(items_[static_cast<size_t>(index1)], items_[static_cast<size_t>(index2)]);
    Changed();
}

bool TStringList::Find(const std::string& s, int& index) const {
    int lo = 0;
    int hi = Count() - 1;
    bool found = false;
    while (lo <= hi) {
        const int mid = lo + (hi - lo) / 2;
        const int c = CompareStrings(items_[static_cast<size_t>(mid)].text, s);
        if (c < 0) {
            lo = mid + 1;
        } else {
            hi = mid - 1;
            if (c == 0) found = true;
        }
    }
    index = lo;
    return found;
}

int TStringList::IndexOf(const std::string& s) const {
    if (!sorted_) return TStrings::IndexOf(s);
    int index = 0;
    return Find(s, index) ? index : -1;
}

void TStringList::SortBy(const std::function<bool(size_t, size_t)>& less) {
    if (items_.size() < 2) return;
    std::vector<size_t> order(items_.size());
    std::iota(order.begin(), order.end(), size_t{0});
    rtl_detail::MergeSort(order, less);
    Changing();
    std::vector<Item> sorted;
    sorted.reserve(items_.size());
    for (size_t i : order)
        sorted.push_back(std::move(items_[i]));
    items_ = std::move(sorted);
    Changed();
}

void TStringList::Sort() {
    SortBy([this](size_t a, size_t b) { return CompareStrings(items_[a].text, items_[b].text) < 0; });
}

void TStringList::CustomSort(const TStringListSortCompare& compare) {
    // Another order would break the binary search of a sorted list.
    if (sorted_) return;
    SortBy([&](size_t a, size_t b) { return compare(*this, static_cast<int>(a), static_cast<int>(b)) < 0; });
}

void TStringList::SetSorted(bool sorted) {
    if (sorted == sorted_) return;
    if (sorted) Sort();
    sorted_ = sorted;
}

void TStringList::SetCaseSensitive(bool caseSensitive) {
    if (caseSensitive == caseSensitive_) return;
    caseSensitive_ = caseSensitive;
    // Binary search needs the order of the new comparison.
    if (sorted_) Sort();
}
