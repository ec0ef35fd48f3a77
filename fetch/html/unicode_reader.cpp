#include "fetch/html/unicode_reader.h"

#include <cstring>

#include "fetch/html/code_page_tables.h"
#include "fetch/html/container.h"
#include "fetch/html/wide_string.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/stream.h"

namespace {

constexpr size_t kStreamBufferSize = 4096;
constexpr char16_t kReplacement = 0xFFFD;

bool IsContinuation(uint8_t b) {
    return (b & 0xC0) == 0x80;
}

} // namespace

TDIUnicodeReader::TDIUnicodeReader() : readMethod_(&ReadCharLatin1) {}

TDIUnicodeReader::~TDIUnicodeReader() = default;

void TDIUnicodeReader::ReaderError(const char* message) const {
    throw Exception(DIErrorText(ClassName(), message));
}

void TDIUnicodeReader::SetSourceBuffer(const uint8_t* buffer, size_t size) {
    if (sourceStream_) ReaderError(di_text::SourceStreamMode);
    ownedSource_.reset();
    source_ = buffer;
    sourceSize_ = buffer ? size : 0;
    sourcePos_ = 0;
    lookAheadCount_ = 0;
    lookAheadStart_ = 0;
    hasPendingUnit_ = false;
    ResetPosition();
    hasChar_ = false;
    SniffByteOrderMark();
}

void TDIUnicodeReader::SetSourceString(const std::string& bytes) {
    if (sourceStream_) ReaderError(di_text::SourceStreamMode);
    // Our own copy: the caller may change or free its string while we read.
    auto copy = std::make_shared<const std::string>(bytes);
    SetSourceBuffer(reinterpret_cast<const uint8_t*>(copy->data()), copy->size());
    ownedSource_ = std::move(copy);
}

void TDIUnicodeReader::SniffByteOrderMark() {
    // A mark chooses the decoder of its own text only.
    if (hasBom_) readMethod_ = methodBeforeBom_;
    hasBom_ = false;
    methodBeforeBom_ = readMethod_;
    if (sourceSize_ >= 3 && source_[0] == 0xEF && source_[1] == 0xBB && source_[2] == 0xBF) {
        readMethod_ = &ReadCharUtf8;
        sourcePos_ = 3;
        hasBom_ = true;
    } else if (sourceSize_ >= 2 && source_[0] == 0xFF && source_[1] == 0xFE) {
        readMethod_ = &ReadCharUtf16LE;
        sourcePos_ = 2;
        hasBom_ = true;
    } else if (sourceSize_ >= 2 && source_[0] == 0xFE && source_[1] == 0xFF) {
        readMethod_ = &ReadCharUtf16BE;
        sourcePos_ = 2;
        hasBom_ = true;
    }
}

void TDIUnicodeReader::SetSourceStream(TStream* stream) {
    if (stream) {
        if (!sourceStream_) streamBuffer_.reset(new uint8_t[kStreamBufferSize]);
        source_ = streamBuffer_.get();
    } else {
        if (sourceStream_) streamBuffer_.reset();
        source_ = nullptr;
    }
    ownedSource_.reset();
    if (hasBom_) readMethod_ = methodBeforeBom_;
    sourceStream_ = stream;
    sourceSize_ = 0;
    sourcePos_ = 0;
    lookAheadCount_ = 0;
    lookAheadStart_ = 0;
    hasPendingUnit_ = false;
    hasChar_ = false;
    hasBom_ = false;
}

void TDIUnicodeReader::FillSourceBuffer() {
    if (!sourceStream_) return;
    sourcePos_ = 0;
    int64_t got = sourceStream_->Read(streamBuffer_.get(), kStreamBufferSize);
    sourceSize_ = got > 0 ? static_cast<size_t>(got) : 0;
}

void TDIUnicodeReader::SetReadMethod(const TDIReadMethod* method) {
    readMethod_ = method ? method : &ReadCharLatin1;
}

void TDIUnicodeReader::ResetPosition() {
    char_ = 0;
    charCount_ = 0;
    line_ = 1;
    column_ = 0;
}

bool TDIUnicodeReader::NextByte(uint8_t& b) {
    if (sourcePos_ >= sourceSize_) {
        FillSourceBuffer();
        if (sourcePos_ >= sourceSize_) return false;
    }
    b = source_[sourcePos_++];
    return true;
}

bool TDIUnicodeReader::PeekByte(uint8_t& b) {
    if (sourcePos_ >= sourceSize_) {
        FillSourceBuffer();
        if (sourcePos_ >= sourceSize_) return false;
    }
    b = source_[sourcePos_];
    return true;
}

bool TDIUnicodeReader::NextUnit(uint8_t first, char16_t& unit) {
    uint8_t second;
    if (!NextByte(second)) return false;
    unit = readMethod_->kind == TDIDecoderKind::Utf16BE ? static_cast<char16_t>((first << 8) | second)
                                                        : static_cast<char16_t>((second << 8) | first);
    return true;
}

inline bool TDIUnicodeReader::Decode(char16_t& out) {
    if (sourcePos_ < sourceSize_ && !hasPendingUnit_) {
        uint8_t b = source_[sourcePos_];
        if (b < 0x80 && readMethod_->asciiTransparent) {
            ++sourcePos_;
            out = b;
            return true;
        }
        if (readMethod_->kind == TDIDecoderKind::Latin1) {
            ++sourcePos_;
            out = b;
            return true;
        }
        if (readMethod_->kind == TDIDecoderKind::Table) {
            ++sourcePos_;
            out = readMethod_->table[b];
            return true;
        }
    }
    return DecodeSlow(out);
}

bool TDIUnicodeReader::DecodeSlow(char16_t& out) {
    if (hasPendingUnit_) {
        hasPendingUnit_ = false;
        if (pendingUnit_ < 0xD800 || pendingUnit_ > 0xDFFF) {
            out = pendingUnit_;
            return true;
        }
        // A second high surrogate in a row, or a low one: each stands alone.
        out = kReplacement;
        return true;
    }
    uint8_t b1;
    if (!NextByte(b1)) return false;
    switch (readMethod_->kind) {
    case TDIDecoderKind::Latin1:
        out = b1;
        return true;
    case TDIDecoderKind::UsAscii:
        out = b1 < 0x80 ? b1 : kReplacement;
        return true;
    case TDIDecoderKind::Table:
        out = readMethod_->table[b1];
        return true;
    case TDIDecoderKind::Utf8: {
        if (b1 < 0x80) {
            out = b1;
            return true;
        }
        if (b1 < 0xC0) {
            out = kReplacement;
            return true;
        }
        int more = b1 < 0xE0 ? 1 : b1 < 0xF0 ? 2 : b1 < 0xF8 ? 3 : b1 < 0xFC ? 4 : 5;
        uint32_t value = b1 & (0x3F >> more);
        for (int i = 0; i < more; ++i) {
            uint8_t b;
            if (!PeekByte(b)) return false;
            if (!IsContinuation(b)) {
                out = kReplacement; // the offending byte starts the next character
                return true;
            }
            ++sourcePos_;
            value = (value << 6) | (b & 0x3F);
        }
        if (more == 1)
            out = value < 0x80 ? kReplacement : static_cast<char16_t>(value);
        else if (more == 2)
            // Encoded surrogates would leak lone surrogates into titles and links.
            out = (value < 0x800 || (value >= 0xD800 && value <= 0xDFFF)) ? kReplacement
                                                                          : static_cast<char16_t>(value);
        else
            out = kReplacement;
        return true;
    }
    case TDIDecoderKind::Utf16BE:
    case TDIDecoderKind::Utf16LE: {
        char16_t unit;
        if (!NextUnit(b1, unit)) return false;
        out = unit;
        if (unit < 0xD800 || unit > 0xDFFF) return true;
        out = kReplacement;
        if (unit >= 0xDC00) return true; // a lone low surrogate: replace it and read on
        // A high surrogate takes the next unit only when that is its low half.
        uint8_t c1;
        char16_t next;
        if (!NextByte(c1) || !NextUnit(c1, next)) return true;
        if (next < 0xDC00 || next > 0xDFFF) {
            pendingUnit_ = next;
            hasPendingUnit_ = true;
        }
        return true;
    }
    case TDIDecoderKind::Gb18030: {
        if (b1 < 0x80) {
            out = b1;
            return true;
        }
        out = kReplacement;
        if (b1 == 0x80 || b1 == 0xFF) return true;
        uint8_t b2;
        if (!PeekByte(b2)) return false;
        // An offending ASCII byte is left for the next character: it may open a tag.
        if (b2 < 0x80 && !(b2 >= 0x40 && b2 <= 0x7E) && !(b2 >= 0x30 && b2 <= 0x39)) return true;
        ++sourcePos_;
        if ((b2 >= 0x40 && b2 <= 0x7E) || (b2 >= 0x80 && b2 <= 0xFE)) {
            uint32_t index = (b1 - 0x81) * 190u + (b2 - 0x40u) - (b2 >= 0x80 ? 1u : 0u);
            out = index < 23940 ? html_tables::kGb18030TwoByte[index] : kReplacement;
            return true;
        }
        if (!(b2 >= 0x30 && b2 <= 0x39)) return true;
        uint8_t b3, b4;
        if (!PeekByte(b3)) return false;
        if (b3 < 0x81 || b3 > 0xFE) {
            if (b3 >= 0x80) ++sourcePos_;
            return true;
        }
        ++sourcePos_;
        if (!PeekByte(b4)) return false;
        if (b4 < 0x30 || b4 > 0x39) {
            if (b4 >= 0x80) ++sourcePos_;
            return true;
        }
        ++sourcePos_;
        uint32_t linear = (((b1 - 0x81u) * 10 + (b2 - 0x30u)) * 126 + (b3 - 0x81u)) * 10 + (b4 - 0x30u);
        out = Gb18030FourByte(linear);
        return true;
    }
    }
    return false;
}

inline void TDIUnicodeReader::Advance() {
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

bool TDIUnicodeReader::ReadChar() {
    prevChar_ = char_;
    if (lookAheadCount_ > 0) {
        char_ = lookAhead_[lookAheadStart_];
        --lookAheadCount_;
        lookAheadStart_ = lookAheadCount_ == 0 ? 0 : lookAheadStart_ + 1;
        Advance();
        hasChar_ = true;
        return true;
    }
    hasChar_ = Decode(char_);
    if (hasChar_) Advance();
    return hasChar_;
}

void TDIUnicodeReader::AppendAndReadChar() {
    if (!hasChar_) return;
    AppendChar(char_);
    ReadChar();
}

bool TDIUnicodeReader::FillLookAhead(uint32_t count) {
    if (lookAheadCount_ >= count) return true;
    if (lookAheadStart_ + count > lookAhead_.size()) {
        if (lookAheadCount_ > 0)
            std::memmove(lookAhead_.data(), lookAhead_.data() + lookAheadStart_,
                         lookAheadCount_ * sizeof(char16_t));
        lookAheadStart_ = 0;
        if (lookAhead_.size() < count) lookAhead_.resize(count);
    }
    while (lookAheadCount_ < count) {
        char16_t c;
        if (!Decode(c)) return false;
        lookAhead_[lookAheadStart_ + lookAheadCount_++] = c;
    }
    return true;
}

template <bool Append, typename Cond> void TDIUnicodeReader::Scan(Cond cond) {
    while (hasChar_ && cond(char_)) {
        if constexpr (Append) AppendChar(char_);
        ReadChar();
    }
}

void TDIUnicodeReader::AppendWhileChar(char16_t ch) {
    Scan<true>([ch](char16_t c) { return c == ch; });
}
void TDIUnicodeReader::SkipWhileChar(char16_t ch) {
    Scan<false>([ch](char16_t c) { return c == ch; });
}
void TDIUnicodeReader::AppendUntilChar(char16_t ch) {
    Scan<true>([ch](char16_t c) { return c != ch; });
}
void TDIUnicodeReader::SkipUntilChar(char16_t ch) {
    Scan<false>([ch](char16_t c) { return c != ch; });
}
void TDIUnicodeReader::AppendUntilChars2(char16_t ch1, char16_t ch2) {
    Scan<true>([=](char16_t c) { return c != ch1 && c != ch2; });
}
void TDIUnicodeReader::SkipUntilChars2(char16_t ch1, char16_t ch2) {
    Scan<false>([=](char16_t c) { return c != ch1 && c != ch2; });
}
void TDIUnicodeReader::AppendUntilChars3(char16_t ch1, char16_t ch2, char16_t ch3) {
    Scan<true>([=](char16_t c) { return c != ch1 && c != ch2 && c != ch3; });
}
void TDIUnicodeReader::AppendWhile(bool (*pred)(char16_t)) {
    Scan<true>(pred);
}
void TDIUnicodeReader::SkipWhile(bool (*pred)(char16_t)) {
    Scan<false>(pred);
}
void TDIUnicodeReader::AppendUntil(bool (*pred)(char16_t)) {
    Scan<true>([pred](char16_t c) { return !pred(c); });
}
void TDIUnicodeReader::SkipUntil(bool (*pred)(char16_t)) {
    Scan<false>([pred](char16_t c) { return !pred(c); });
}
void TDIUnicodeReader::AppendWhiteSpace() {
    Scan<true>([](char16_t c) { return c <= 0x20; });
}
void TDIUnicodeReader::SkipWhiteSpace() {
    Scan<false>([](char16_t c) { return c <= 0x20; });
}

void TDIUnicodeReader::GrowText(size_t needed) {
    size_t capacity = (needed / 4 + needed + 4) & ~size_t{3};
    text_.resize(capacity);
}

void TDIUnicodeReader::AppendCharCollapsed(char16_t ch) {
    if (IsWhiteSpace(ch))
        AppendSpace();
    else
        AppendChar(ch);
}

void TDIUnicodeReader::AppendSpace() {
    if (textLength_ > 0 && text_[textLength_ - 1] == u' ') return;
    AppendChar(u' ');
}

void TDIUnicodeReader::AppendString(const std::u16string& s) {
    if (s.empty()) return;
    if (textLength_ + s.size() >= text_.size()) GrowText(textLength_ + s.size());
    std::memcpy(text_.data() + textLength_, s.data(), s.size() * sizeof(char16_t));
    textLength_ += s.size();
}

void TDIUnicodeReader::AppendStringCollapsed(const std::u16string& s) {
    for (char16_t c : s)
        AppendCharCollapsed(c);
}

void TDIUnicodeReader::ClearText() {
    text_.clear();
    text_.shrink_to_fit();
    textLength_ = 0;
}
