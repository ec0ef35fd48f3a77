#pragma once
// Lists of strings, each with an optional associated object (never owned by the list).
// TStrings is the abstract base that controls expose (a list box's Items, a memo's Lines);
// TStringList keeps its strings in memory and can sort them.
#include "platform/rtl/object.h"
#include "platform/rtl/persistent.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

class TStream;

class TStrings : public TPersistent {
public:
    std::string ClassName() const override { return "TStrings"; }

    virtual int Count() const = 0;
    std::string Strings(int index) const { return Get(index); }
    void SetStrings(int index, const std::string& s) { Put(index, s); }
    std::string operator[](int index) const { return Get(index); }
    TObject* Objects(int index) const { return GetObject(index); }
    void SetObjects(int index, TObject* object) { PutObject(index, object); }

    // Answers the index of the new entry.
    virtual int Add(const std::string& s);
    virtual int AddObject(const std::string& s, TObject* object);
    virtual void Insert(int index, const std::string& s) = 0;
    virtual void InsertObject(int index, const std::string& s, TObject* object);
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;
    virtual void Exchange(int index1, int index2);
    virtual void Move(int curIndex, int newIndex);
    void Append(const std::string& s) { Add(s); }
    void AddStrings(const TStrings& strings);

    // -1 when absent. IndexOf compares as CompareStrings does (the base ignores ASCII letter case).
    virtual int IndexOf(const std::string& s) const;
    int IndexOfName(const std::string& name) const;
    int IndexOfObject(const TObject* object) const;

    // Every string followed by CR LF.
    std::string Text() const;
    // Splits at LF, CR LF or CR; a line break at the very end adds no empty line.
    virtual void SetText(std::string_view text);

    // Items joined with Delimiter; items holding a blank or control character, the quote character or
    // the delimiter are quoted (quote characters doubled). One empty item is written as two quotes.
    std::string DelimitedText() const;
    // Splits at Delimiter and, unless StrictDelimiter, at blanks and control characters too; quoted
    // parts may hold both. Leading blanks are dropped and a delimiter at the end adds an empty item.
    void SetDelimitedText(std::string_view text);
    // DelimitedText with ',' and '"' whatever Delimiter and QuoteChar are.
    std::string CommaText() const;
    void SetCommaText(std::string_view text);
    char Delimiter() const { return delimiter_; }
    void SetDelimiter(char c) { delimiter_ = c; }
    char QuoteChar() const { return quoteChar_; }
    void SetQuoteChar(char c) { quoteChar_ = c; }
    bool StrictDelimiter() const { return strictDelimiter_; }
    void SetStrictDelimiter(bool strict) { strictDelimiter_ = strict; }

    // "name=value" entries. A line without the separator has an empty name and value.
    char NameValueSeparator() const { return nameValueSeparator_; }
    void SetNameValueSeparator(char c) { nameValueSeparator_ = c; }
    std::string Names(int index) const;
    std::string Values(const std::string& name) const;
    // An empty value deletes the entry; a new name is appended.
    void SetValues(const std::string& name, const std::string& value);
    std::string ValueFromIndex(int index) const;
    void SetValueFromIndex(int index, const std::string& value);

    // Change notifications are held back until the outermost EndUpdate.
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return updateCount_; }

    // Copies strings and objects from another TStrings.
    void Assign(TPersistent* Source) override;
    void Assign(const TStrings& source);
    // Same count and the same strings, compared exactly.
    bool Equals(const TStrings& other) const;

    void LoadFromStream(TStream& stream);
    void SaveToStream(TStream& stream) const;
    void LoadFromFile(const std::string& fileName);
    // Written whole through a temporary file, so a failed save keeps the previous file.
    void SaveToFile(const std::string& fileName) const;

protected:
    virtual std::string Get(int index) const = 0;
    virtual void Put(int index, const std::string& s);
    virtual TObject* GetObject(int index) const;
    virtual void PutObject(int index, TObject* object);
    // Comparison used by IndexOf and the name lookups.
    virtual int CompareStrings(const std::string& a, const std::string& b) const;
    // Called on the first BeginUpdate (true) and the last EndUpdate (false).
    virtual void SetUpdateState(bool updating);
    [[noreturn]] void IndexError(int index) const;

private:
    std::string DelimitedTextWith(char delimiter, char quote, bool strict) const;
    void SetDelimitedTextWith(std::string_view text, char delimiter, char quote, bool strict);

    int updateCount_ = 0;
    char delimiter_ = ',';
    char quoteChar_ = '"';
    char nameValueSeparator_ = '=';
    bool strictDelimiter_ = false;
};

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList;
// <0 when the entry at index1 sorts before the one at index2.
using TStringListSortCompare = std::function<int(TStringList& list, int index1, int index2)>;

class TStringList : public TStrings {
public:
    TStringList() = default;
    ~TStringList() override;
    std::string ClassName() const override { return "TStringList"; }

    int Count() const override { return static_cast<int>(items_.size()); }
    // In a sorted list a duplicate is ignored (answering the existing index), accepted, or refused.
    int Add(const std::string& s) override;
    int AddObject(const std::string& s, TObject* object) override;
    void Insert(int index, const std::string& s) override;
    void InsertObject(int index, const std::string& s, TObject* object) override;
    void Delete(int index) override;
    void Clear() override;
    void Exchange(int index1, int index2) override;
    int IndexOf(const std::string& s) const override;

    // Binary search of a sorted list: true when found; index is the match (the first of equal
    // entries) or where s would be inserted.
    virtual bool Find(const std::string& s, int& index) const;
    virtual void Sort();
    // Stable sort by a caller's comparison; does nothing to a Sorted list.
    virtual void CustomSort(const TStringListSortCompare& compare);

    bool Sorted() const { return sorted_; }
    void SetSorted(bool sorted);
    TDuplicates Duplicates() const { return duplicates_; }
    void SetDuplicates(TDuplicates duplicates) { duplicates_ = duplicates; }
    bool CaseSensitive() const { return caseSensitive_; }
    void SetCaseSensitive(bool caseSensitive);

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    std::string Get(int index) const override;
    void Put(int index, const std::string& s) override;
    TObject* GetObject(int index) const override;
    void PutObject(int index, TObject* object) override;
    int CompareStrings(const std::string& a, const std::string& b) const override;
    void SetUpdateState(bool updating) override;
    virtual void Changed();
    virtual void Changing();
    // Inserts without the sorted-list checks.
    virtual void InsertItem(int index, const std::string& s, TObject* object);

private:
    struct Item {
        std::string text;
        TObject* object = nullptr;
    };
    void CheckIndex(int index) const;
    void SortBy(const std::function<bool(size_t, size_t)>& less);

    std::vector<Item> items_;
    TDuplicates duplicates_ = dupIgnore;
    bool sorted_ = false;
    bool caseSensitive_ = false;
};
