#pragma once
// Turns bytes in a character encoding into UTF-16 characters, one at a time, with line and
// column, and collects chosen characters into a text buffer.
#include <algorithm>
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

    bool ReadChar();
    // Does nothing once the input is exhausted, so loops built on it always end.
    void AppendAndReadChar();
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
    void SkipWhiteSpace();

    void AppendCurrentChar() { AppendChar(char_); }
    void AppendChar(char16_t ch) {
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
    // The reader's own error: "Class <name>: <message>" as a plain Exception.
    [[noreturn]] void ReaderError(const char* message) const;

private:
    bool Decode(char16_t& out);
    bool DecodeSlow(char16_t& out);
    bool NextByte(uint8_t& b);
    bool NextUnit(uint8_t first, char16_t& unit);
    bool PeekByte(uint8_t& b);
    void Advance();
    template <bool Append, typename Cond> void Scan(Cond cond);
    void GrowText(size_t needed);
    void SniffByteOrderMark();

    bool hasChar_ = false;
    char16_t char_ = 0;
    char16_t prevChar_ = 0;
    const TDIReadMethod* readMethod_;
    uint32_t charCount_ = 0;
    uint32_t line_ = 1;
    uint32_t column_ = 0;
    const uint8_t* source_ = nullptr;
    size_t sourceSize_ = 0;
    size_t sourcePos_ = 0;
    std::shared_ptr<const std::string> ownedSource_;
    std::vector<char16_t> lookAhead_;
    uint32_t lookAheadCount_ = 0;
    uint32_t lookAheadStart_ = 0;
    TStream* sourceStream_ = nullptr;
    std::unique_ptr<uint8_t[]> streamBuffer_;
    std::u16string text_;
    size_t textLength_ = 0;
    bool hasBom_ = false;
    const TDIReadMethod* methodBeforeBom_ = nullptr;
    // A UTF-16 unit read after a high surrogate that turned out not to be its low half.
    char16_t pendingUnit_ = 0;
    bool hasPendingUnit_ = false;
};
