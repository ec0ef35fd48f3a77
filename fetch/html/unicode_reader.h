#pragma once
// Turns bytes in a character encoding into UTF-16 characters, one at a time, with line and
// column, and collects chosen characters into a text buffer.
#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "fetch/html/read_methods.h"
#include "platform/rtl/object.h"

class TStream;

class TDIUnicodeBase : public TObject {
public:
    std::string ClassName() const override { return "TDIUnicodeBase"; }
};

namespace html_detail {
struct ReaderSwitch;
}

class TDIUnicodeReader : public TDIUnicodeBase {
public:
    TDIUnicodeReader();
    ~TDIUnicodeReader() override;
    std::string ClassName() const override { return "TDIUnicodeReader"; }

    // Sources. The buffer form reads the caller's memory, which must outlive the reading; the
    // string form keeps its own copy. A byte-order mark at the start selects UTF-8 or UTF-16.
    void SetSourceBuffer(const uint8_t* buffer, size_t size);
    void SetSourceString(const std::string& bytes);
    void SetSourceStream(TStream* stream);
    void FillSourceBuffer();
    bool HasByteOrderMark() const { return hasBom_; }

    const TDIReadMethod* ReadMethod() const { return readMethod_; }
    void SetReadMethod(const TDIReadMethod* method);
    void ResetPosition();

    bool HasChar() const { return hasChar_; }
    char16_t Char() const { return char_; }
    char16_t PrevChar() const { return prevChar_; }
    uint32_t CharCount() const { return charCount_; }
    uint32_t Line() const { return line_; }
    uint32_t Column() const { return column_; }

    // Always inline, with its slow path kept out: it is called for most characters of a page, and a
    // unity build's larger files otherwise make the compiler call it.
    __attribute__((always_inline)) bool ReadChar() {
        prevChar_ = char_;
        if (DirectByte()) {
            const uint8_t b = source_[sourcePos_];
            if (b < 0x80) {
                ++sourcePos_;
                char_ = b;
                Advance();
                hasChar_ = true;
                return true;
            }
        }
        return ReadCharSlow();
    }
    // Does nothing once the input is exhausted, so loops built on it always end.
    __attribute__((always_inline)) void AppendAndReadChar() {
        if (!hasChar_) return;
        AppendChar(char_);
        ReadChar();
    }
    bool FillLookAhead(uint32_t count);
    uint32_t LookAheadCount() const { return lookAheadCount_; }
    const char16_t* LookAhead() const { return lookAhead_.data() + lookAheadStart_; }

    void AppendWhileChar(char16_t ch);
    void SkipWhileChar(char16_t ch);
    void AppendUntilChar(char16_t ch);
    void SkipUntilChar(char16_t ch);
    void AppendUntilChars2(char16_t ch1, char16_t ch2);
    void SkipUntilChars2(char16_t ch1, char16_t ch2);
    void AppendUntilChars3(char16_t ch1, char16_t ch2, char16_t ch3);
    void AppendWhile(bool (*pred)(char16_t));
    void SkipWhile(bool (*pred)(char16_t));
    void AppendUntil(bool (*pred)(char16_t));
    void SkipUntil(bool (*pred)(char16_t));
    void AppendWhiteSpace();
    // Inline: between a tag's attributes there is mostly one space or none.
    void SkipWhiteSpace() {
        while (hasChar_ && char_ <= 0x20)
            ReadChar();
    }

    void AppendCurrentChar() { AppendChar(char_); }
    __attribute__((always_inline)) void AppendChar(char16_t ch) {
        if (textLength_ >= text_.size()) GrowText(textLength_ + 1);
        text_[textLength_++] = ch;
    }
    void AppendCharCollapsed(char16_t ch);
    void AppendSpace();
    void AppendString(const std::u16string& s);
    void AppendStringCollapsed(const std::u16string& s);
    std::u16string GetText() const { return text_.substr(0, textLength_); }
    size_t TextLength() const { return textLength_; }
    const char16_t* TextData() const { return text_.data(); }
    void SetTextLength(size_t length) { textLength_ = std::min(length, textLength_); }
    void ClearText();

protected:
    // The character i places after the current one, or -1 where the input ends before it. Plain ASCII
    // bytes ahead are looked at where they lie; anything else is decoded into the look-ahead.
    int32_t Ahead(uint32_t i) {
        if (lookAheadCount_ == 0 && sourcePos_ + i < directLimit_) {
            const uint8_t* const p = source_ + sourcePos_;
            uint8_t any = 0;
            for (uint32_t k = 0; k <= i; ++k)
                any |= p[k];
            if (any < 0x80) return p[i];
        }
        return FillLookAhead(i + 1) ? LookAhead()[i] : -1;
    }

    // While Pred holds: a class of ASCII characters without line breaks (such as the characters of
    // names), whose runs of bytes are taken in blocks. Pred must refuse CR, LF and every unit from 0x80.
    template <bool Append, bool (*Pred)(char16_t)> void ScanClass() {
        static constexpr auto kBytes = [] {
            std::array<bool, 256> bytes{};
            for (unsigned b = 0; b < 0x80; ++b)
                bytes[b] = Pred(static_cast<char16_t>(b));
            return bytes;
        }();
        if (!hasChar_ || char_ >= 0x80 || !kBytes[char_]) return;
        if (DirectByte()) {
            // The usual case, a whole name in plain bytes followed by a plain byte: the name's characters
            // and the one after it are taken at once.
            const uint8_t* const p = source_ + sourcePos_;
            const uint8_t* const end = source_ + sourceSize_;
            const uint8_t* q = p;
            while (q < end && kBytes[*q])
                ++q;
            if (q < end && *q < 0x80) {
                const size_t n = static_cast<size_t>(q - p);
                if constexpr (Append) {
                    if (textLength_ + n + 1 > text_.size()) GrowText(textLength_ + n + 1);
                    char16_t* const t = text_.data() + textLength_;
                    t[0] = char_;
                    for (size_t i = 0; i < n; ++i)
                        t[i + 1] = p[i];
                    textLength_ += n + 1;
                }
                // Neither the current character nor the name holds a line break.
                prevChar_ = n > 0 ? q[-1] : char_;
                char_ = *q;
                column_ += static_cast<uint32_t>(n + 1);
                charCount_ += static_cast<uint32_t>(n + 1);
                sourcePos_ += n + 1;
                return;
            }
        }
        while (hasChar_ && char_ < 0x80 && kBytes[char_]) {
            if constexpr (Append) AppendChar(char_);
            if (DirectByte()) {
                // Names are short: a plain loop beats a block copy's set-up.
                const uint8_t* const p = source_ + sourcePos_;
                const uint8_t* const end = source_ + sourceSize_;
                const uint8_t* q = p;
                if constexpr (Append) {
                    if (textLength_ + static_cast<size_t>(end - p) > text_.size())
                        GrowText(textLength_ + static_cast<size_t>(end - p));
                    char16_t* t = text_.data() + textLength_;
                    while (q < end && kBytes[*q])
                        *t++ = *q++;
                    textLength_ = static_cast<size_t>(t - text_.data());
                } else {
                    while (q < end && kBytes[*q])
                        ++q;
                }
                if (q != p) {
                    // Neither the current character nor the run holds a line break, and ReadChar below
                    // makes the run's last character the previous one.
                    const size_t n = static_cast<size_t>(q - p);
                    column_ += static_cast<uint32_t>(n);
                    charCount_ += static_cast<uint32_t>(n);
                    sourcePos_ += n;
                    char_ = q[-1];
                }
            }
            ReadChar();
        }
    }
    // Takes the bytes from p to q, none a line break or from 0x80, as characters; the last is current.
    template <bool Append> void TakeBlock(const uint8_t* p, const uint8_t* q) {
        const size_t n = static_cast<size_t>(q - p);
        if constexpr (Append) {
            if (textLength_ + n > text_.size()) GrowText(textLength_ + n);
            char16_t* const text = text_.data() + textLength_;
            for (size_t i = 0; i < n; ++i)
                text[i] = p[i];
            textLength_ += n;
        }
        PassOver(p, q);
    }
    // Moves the position over the bytes from p to q (the next ones of the source), none a line break
    // or from 0x80: only the first may start a new line. The last is current.
    void PassOver(const uint8_t* p, const uint8_t* q) {
        const size_t n = static_cast<size_t>(q - p);
        if (char_ == u'\r' || char_ == u'\n') {
            ++line_;
            column_ = static_cast<uint32_t>(n);
        } else {
            column_ += static_cast<uint32_t>(n);
        }
        prevChar_ = n > 1 ? q[-2] : char_;
        char_ = q[-1];
        charCount_ += static_cast<uint32_t>(n);
        sourcePos_ += n;
    }

    // The reader's own error: "Class <name>: <message>" as a plain Exception.
    [[noreturn]] void ReaderError(const char* message) const;

private:
    friend struct html_detail::ReaderSwitch;
    bool Decode(char16_t& out);
    bool DecodeSlow(char16_t& out);
    bool Gb18030Pair(char16_t& out);
    bool ReadGb18030Pair();
    template <typename Stops> void PassGb18030Run(const Stops& stops);
    bool NextByte(uint8_t& b);
    bool NextUnit(uint8_t first, char16_t& unit);
    bool PeekByte(uint8_t& b);
    __attribute__((noinline)) bool ReadCharSlow();
    // The next character is the next byte's when that is ASCII: no look-ahead or pending unit is
    // waiting and the decoder takes ASCII bytes as themselves.
    __attribute__((always_inline)) bool DirectByte() const { return sourcePos_ < directLimit_; }
    void UpdateDirect();
    __attribute__((always_inline)) void Advance() {
        ++charCount_;
        if (prevChar_ == u'\r') {
            if (char_ != u'\n') {
                ++line_;
                column_ = 1;
            }
        } else if (prevChar_ == u'\n') {
            ++line_;
            column_ = 1;
        } else {
            ++column_;
        }
    }
    void UseMethod(const TDIReadMethod* method);
    void UseSource(const uint8_t* buffer, size_t size);
    template <bool Append, typename Cond> void Scan(Cond cond);
    // Distinct: how many of the three stops differ, the first ones.
    template <bool Append, int Distinct> void ScanUntil(char16_t ch1, char16_t ch2, char16_t ch3);
    template <bool Append> void TakeRun(const uint8_t* p, const uint8_t* q, const char16_t* highMap);
    void GrowText(size_t needed);
    void SniffByteOrderMark();

    bool hasChar_ = false;
    char16_t char_ = 0;
    char16_t prevChar_ = 0;
    const TDIReadMethod* readMethod_ = nullptr;
    bool methodDirect_ = false;
    // The characters of bytes from 0x80 where runs may take them, else null.
    const char16_t* highMap_ = nullptr;
    // sourceSize_ while DirectByte can hold, else 0: one comparison a character.
    size_t directLimit_ = 0;
    bool charByChar_ = false;
    uint32_t charCount_ = 0;
    uint32_t line_ = 1;
    uint32_t column_ = 0;
    const uint8_t* source_ = nullptr;
    size_t sourceSize_ = 0;
    size_t sourcePos_ = 0;
    std::string ownedSource_;
    std::vector<char16_t> lookAhead_;
    uint32_t lookAheadCount_ = 0;
    uint32_t lookAheadStart_ = 0;
    TStream* sourceStream_ = nullptr;
    std::unique_ptr<uint8_t[]> streamBuffer_;
    std::u16string text_;
    size_t textLength_ = 0;
    bool hasBom_ = false;
    // A stream source whose first bytes have not been read yet.
    bool bomPending_ = false;
    const TDIReadMethod* methodBeforeBom_ = nullptr;
    // A UTF-16 unit read after a high surrogate that turned out not to be its low half.
    char16_t pendingUnit_ = 0;
    bool hasPendingUnit_ = false;
};

namespace html_detail {
// Makes a reader take every character through the decoder, one at a time, as it did before it read
// ASCII bytes straight from the source: the two ways must give the same characters, positions and text.
struct ReaderSwitch {
    static void CharByChar(TDIUnicodeReader& reader, bool on) {
        reader.charByChar_ = on;
        reader.UpdateDirect();
    }
};
} // namespace html_detail
