#pragma once
// Texts of the result tree's records that take less room than a std::string for what they usually hold,
// which a hundred thousand records notice. Each is set whole and read as a string_view.
#include <atomic>
#include <cstddef>
#include <cstring>
#include <memory>
#include <new>
#include <ostream>
#include <string>
#include <string_view>

// A text that is short nearly always, as a W3C date (25 bytes): up to 31 bytes stay inside its own 32
// instead of taking an allocation of 48 as a std::string's would. Longer texts go to the heap.
class TShortText {
public:
    TShortText() { bytes_[kInline] = 0; }
    TShortText(std::string_view Text) : TShortText() { Assign(Text); }
    TShortText(const TShortText& Other) : TShortText(Other.View()) {}
    TShortText(TShortText&& Other) noexcept {
        std::memcpy(bytes_, Other.bytes_, sizeof bytes_);
        Other.bytes_[kInline] = 0;
    }
    ~TShortText() { Free(); }
    TShortText& operator=(const TShortText& Other) {
        if (this != &Other) Assign(Other.View());
        return *this;
    }
    TShortText& operator=(TShortText&& Other) noexcept {
        if (this != &Other) {
            Free();
            std::memcpy(bytes_, Other.bytes_, sizeof bytes_);
            Other.bytes_[kInline] = 0;
        }
        return *this;
    }
    TShortText& operator=(std::string_view Text) {
        Assign(Text);
        return *this;
    }

    std::string_view View() const {
        if (!OnHeap()) return {reinterpret_cast<const char*>(bytes_), bytes_[kInline]};
        const char* chars;
        size_t size;
        std::memcpy(&chars, bytes_, sizeof chars);
        std::memcpy(&size, bytes_ + sizeof chars, sizeof size);
        return {chars, size};
    }
    operator std::string_view() const { return View(); }
    size_t size() const { return View().size(); }
    bool empty() const { return bytes_[kInline] == 0; }

    friend bool operator==(const TShortText& A, std::string_view B) { return A.View() == B; }
    friend std::ostream& operator<<(std::ostream& Out, const TShortText& T) { return Out << T.View(); }

private:
    static constexpr size_t kInline = 31;
    // The last byte: the count of the bytes inside, or this when they are on the heap.
    static constexpr unsigned char kOnHeap = 0xFF;

    bool OnHeap() const { return bytes_[kInline] == kOnHeap; }

    void Free() {
        if (!OnHeap()) return;
        char* chars;
        std::memcpy(&chars, bytes_, sizeof chars);
        delete[] chars;
        bytes_[kInline] = 0;
    }

    void Assign(std::string_view Text) {
        // The text may be this one's own.
        if (Text.size() <= kInline) {
            unsigned char copy[kInline];
            if (!Text.empty()) std::memcpy(copy, Text.data(), Text.size());
            Free();
            if (!Text.empty()) std::memcpy(bytes_, copy, Text.size());
            bytes_[kInline] = static_cast<unsigned char>(Text.size());
            return;
        }
        char* chars = new char[Text.size()];
        std::memcpy(chars, Text.data(), Text.size());
        const size_t size = Text.size();
        Free();
        std::memcpy(bytes_, &chars, sizeof chars);
        std::memcpy(bytes_ + sizeof chars, &size, sizeof size);
        bytes_[kInline] = kOnHeap;
    }

    alignas(char*) unsigned char bytes_[kInline + 1];
};
static_assert(sizeof(TShortText) == 32);

// A text that nearly every record leaves empty (the referrer, which only a crawl's first page has): one
// pointer wide, and nothing allocated while it is empty.
class TRareText {
public:
    TRareText() = default;
    TRareText(const TRareText& Other) { *this = Other.View(); }
    TRareText(TRareText&&) noexcept = default;
    ~TRareText() = default;
    TRareText& operator=(const TRareText& Other) {
        if (this != &Other) *this = Other.View();
        return *this;
    }
    TRareText& operator=(TRareText&&) noexcept = default;
    TRareText& operator=(std::string_view Text) {
        // Made before the old text goes, which it may be part of.
        text_ = Text.empty() ? nullptr : std::make_unique<std::string>(Text);
        return *this;
    }

    std::string_view View() const { return text_ ? std::string_view(*text_) : std::string_view(); }
    operator std::string_view() const { return View(); }
    bool empty() const { return text_ == nullptr; }

    friend bool operator==(const TRareText& A, std::string_view B) { return A.View() == B; }
    friend std::ostream& operator<<(std::ostream& Out, const TRareText& T) { return Out << T.View(); }

private:
    std::unique_ptr<std::string> text_;
};
static_assert(sizeof(TRareText) == sizeof(void*));

// A text that many records hold alike, as the folder of every file in it: copies share one counted
// allocation, so a folder of a hundred files keeps its path once instead of a hundred times. One pointer
// wide; set whole, never changed in place, so a view of it lasts as long as any copy does.
class TSharedText {
public:
    TSharedText() = default;
    TSharedText(std::string_view Text) : block_(Make(Text)) {}
    // The first Size bytes of Whole (at most its size), kept in Whole's allocation: the folders of a path
    // are the beginnings of its deepest folder's address, and a path thousands of folders deep would
    // otherwise keep the square of its length.
    static TSharedText PrefixOf(const TSharedText& Whole, size_t Size) {
        if (Size >= Whole.size()) return Whole;
        TSharedText prefix;
        if (Size == 0) return prefix;
        Block* base = Whole.block_->base ? Whole.block_->base : Whole.block_;
        base->refs.fetch_add(1, std::memory_order_relaxed);
        prefix.block_ = new Block{{1}, Size, base};
        return prefix;
    }
    // Head followed by Tail. Written after Head in Head's own allocation when that was made to grow, holds
    // nothing after Head yet and has room; else in a new allocation with room for as much again. A folder
    // path made folder by folder from its parent's thus keeps the deepest path once, not once a level.
    static TSharedText Joined(const TSharedText& Head, std::string_view Tail) {
        if (Tail.empty()) return Head;
        const size_t start = Head.size();
        const size_t total = start + Tail.size();
        TSharedText joined;
        if (Head.block_) {
            Block* base = Head.block_->base ? Head.block_->base : Head.block_;
            size_t written = start;
            // Claimed before it is written: no view of the text reaches past what was written.
            if ((base->size & kGrows) != 0 && total <= RoomOf(base)->capacity &&
                RoomOf(base)->written.compare_exchange_strong(written, total, std::memory_order_relaxed)) {
                std::memcpy(Chars(base) + start, Tail.data(), Tail.size());
                base->refs.fetch_add(1, std::memory_order_relaxed);
                joined.block_ = new Block{{1}, total, base};
                return joined;
            }
        }
        const size_t capacity = 2 * total;
        void* memory = ::operator new(sizeof(Room) + sizeof(Block) + capacity);
        Room* room = new (memory) Room{capacity, {total}};
        Block* block = new (room + 1) Block{{1}, total | kGrows, nullptr};
        if (start > 0) std::memcpy(Chars(block), Head.View().data(), start);
        std::memcpy(Chars(block) + start, Tail.data(), Tail.size());
        joined.block_ = block;
        return joined;
    }
    TSharedText(const TSharedText& Other) noexcept : block_(Other.block_) { Hold(); }
    TSharedText(TSharedText&& Other) noexcept : block_(Other.block_) { Other.block_ = nullptr; }
    ~TSharedText() { Release(); }
    TSharedText& operator=(const TSharedText& Other) noexcept {
        Block* block = Other.block_;
        if (block) block->refs.fetch_add(1, std::memory_order_relaxed);
        Release();
        block_ = block;
        return *this;
    }
    TSharedText& operator=(TSharedText&& Other) noexcept {
        if (this != &Other) {
            Release();
            block_ = Other.block_;
            Other.block_ = nullptr;
        }
        return *this;
    }
    TSharedText& operator=(std::string_view Text) {
        // Made before the old text goes, which it may be part of.
        Block* block = Make(Text);
        Release();
        block_ = block;
        return *this;
    }

    std::string_view View() const {
        return block_ ? std::string_view(Chars(block_), block_->size & ~kGrows) : std::string_view();
    }
    operator std::string_view() const { return View(); }
    size_t size() const { return block_ ? block_->size & ~kGrows : 0; }
    bool empty() const { return block_ == nullptr; }

    friend bool operator==(const TSharedText& A, std::string_view B) { return A.View() == B; }
    friend std::ostream& operator<<(std::ostream& Out, const TSharedText& T) { return Out << T.View(); }

private:
    struct Block {
        std::atomic<size_t> refs;
        // With kGrows on a block Joined made, which a Room comes before.
        size_t size;
        // A prefix's: the block whose characters it begins; its own follow it otherwise.
        Block* base;
    };
    // The characters a growing block has room for, and how many of them are written.
    struct Room {
        size_t capacity;
        std::atomic<size_t> written;
    };
    static constexpr size_t kGrows = ~(~size_t(0) >> 1);
    static Room* RoomOf(Block* block) { return reinterpret_cast<Room*>(block) - 1; }
    static char* Chars(Block* block) {
        return block->base ? reinterpret_cast<char*>(block->base + 1) : reinterpret_cast<char*>(block + 1);
    }

    static Block* Make(std::string_view Text) {
        if (Text.empty()) return nullptr;
        void* memory = ::operator new(sizeof(Block) + Text.size());
        Block* block = new (memory) Block{{1}, Text.size(), nullptr};
        std::memcpy(Chars(block), Text.data(), Text.size());
        return block;
    }
    void Hold() {
        if (block_) block_->refs.fetch_add(1, std::memory_order_relaxed);
    }
    static void Drop(Block* block) {
        if (!block || block->refs.fetch_sub(1, std::memory_order_acq_rel) != 1) return;
        Block* base = block->base;
        if (base) {
            delete block;
        } else if ((block->size & kGrows) != 0) {
            Room* room = RoomOf(block);
            block->~Block();
            room->~Room();
            ::operator delete(room);
        } else {
            block->~Block();
            ::operator delete(block);
        }
        Drop(base);
    }
    void Release() {
        Drop(block_);
        block_ = nullptr;
    }

    Block* block_ = nullptr;
};
static_assert(sizeof(TSharedText) == sizeof(void*));
