#include "fetch/html/unicode_reader.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "fetch/html/code_page_tables.h"
#include "fetch/html/container.h"
#include "fetch/html/wide_string.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/stream.h"

namespace {

constexpr size_t kStreamBufferSize = 4096;
// A copied page's room kept for the next, whatever its size.
constexpr size_t kKeptSourceRoom = size_t{1} << 20;
constexpr char16_t kReplacement = 0xFFFD;

// Latin-1's characters, by byte.
const std::array<char16_t, 256> kLatin1 = [] {
    std::array<char16_t, 256> t{};
    for (unsigned b = 0; b < 256; ++b)
        t[b] = static_cast<char16_t>(b);
    return t;
}();

bool IsContinuation(uint8_t b) {
    return (b & 0xC0) == 0x80;
}

// A GB18030 character of two bytes: a first byte from 0x81 to 0xFE, a second from 0x40 to 0xFE but 0x7F.
bool IsGb18030Pair(uint8_t b1, uint8_t b2) {
    return b1 >= 0x81 && b1 <= 0xFE && ((b2 >= 0x40 && b2 <= 0x7E) || (b2 >= 0x80 && b2 <= 0xFE));
}

char16_t Gb18030PairChar(const uint8_t* p) {
    const uint32_t index = (p[0] - 0x81u) * 190u + (p[1] - 0x40u) - (p[1] >= 0x80 ? 1u : 0u);
    return index < 23940 ? html_tables::kGb18030TwoByte[index] : kReplacement;
}

} // namespace

TDIUnicodeReader::TDIUnicodeReader() {
    UseMethod(&ReadCharLatin1);
}

TDIUnicodeReader::~TDIUnicodeReader() = default;

void TDIUnicodeReader::ReaderError(const char* message) const {
    throw Exception(DIErrorText(ClassName(), message));
}

void TDIUnicodeReader::SetSourceBuffer(const uint8_t* buffer, size_t size) {
    if (sourceStream_) ReaderError(di_text::SourceStreamMode);
    ownedSource_.clear();
    UseSource(buffer, size);
}

void TDIUnicodeReader::UseSource(const uint8_t* buffer, size_t size) {
    source_ = buffer;
    sourceSize_ = buffer ? size : 0;
    sourcePos_ = 0;
    lookAheadCount_ = 0;
    lookAheadStart_ = 0;
    hasPendingUnit_ = false;
    ResetPosition();
    hasChar_ = false;
    SniffByteOrderMark();
    UpdateDirect();
}

void TDIUnicodeReader::SetSourceString(const std::string& bytes) {
    if (sourceStream_) ReaderError(di_text::SourceStreamMode);
    // Our own copy, the caller may change or free its string while we read; made in the room of the last
    // page's, unless that was far larger.
    if (ownedSource_.capacity() > kKeptSourceRoom && ownedSource_.capacity() / 4 > bytes.size())
        std::string().swap(ownedSource_);
    ownedSource_.assign(bytes);
    UseSource(reinterpret_cast<const uint8_t*>(ownedSource_.data()), ownedSource_.size());
}

void TDIUnicodeReader::SniffByteOrderMark() {
    // A mark chooses the decoder of its own text only.
    if (hasBom_) UseMethod(methodBeforeBom_);
    hasBom_ = false;
    methodBeforeBom_ = readMethod_;
    if (sourceSize_ >= 3 && source_[0] == 0xEF && source_[1] == 0xBB && source_[2] == 0xBF) {
        UseMethod(&ReadCharUtf8);
        sourcePos_ = 3;
        hasBom_ = true;
    } else if (sourceSize_ >= 2 && source_[0] == 0xFF && source_[1] == 0xFE) {
        UseMethod(&ReadCharUtf16LE);
        sourcePos_ = 2;
        hasBom_ = true;
    } else if (sourceSize_ >= 2 && source_[0] == 0xFE && source_[1] == 0xFF) {
        UseMethod(&ReadCharUtf16BE);
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
    ownedSource_.clear();
    if (hasBom_) UseMethod(methodBeforeBom_);
    sourceStream_ = stream;
    sourceSize_ = 0;
    sourcePos_ = 0;
    lookAheadCount_ = 0;
    lookAheadStart_ = 0;
    hasPendingUnit_ = false;
    hasChar_ = false;
    hasBom_ = false;
    // A stream's mark is looked for in its first bytes, as a string's is.
    bomPending_ = stream != nullptr;
    UpdateDirect();
}

void TDIUnicodeReader::FillSourceBuffer() {
    if (!sourceStream_) return;
    sourcePos_ = 0;
    int64_t got = sourceStream_->Read(streamBuffer_.get(), kStreamBufferSize);
    sourceSize_ = got > 0 ? static_cast<size_t>(got) : 0;
    if (std::exchange(bomPending_, false)) SniffByteOrderMark();
    UpdateDirect();
}

void TDIUnicodeReader::SetReadMethod(const TDIReadMethod* method) {
    UseMethod(method ? method : &ReadCharLatin1);
}

void TDIUnicodeReader::UseMethod(const TDIReadMethod* method) {
    readMethod_ = method;
    // ASCII bytes are characters of their own, one byte each.
    methodDirect_ = method->asciiTransparent && method->kind != TDIDecoderKind::Utf16BE &&
                    method->kind != TDIDecoderKind::Utf16LE;
    // A single-byte decoder whose bytes from 0x80 all stand for characters from 0x80 lets runs go on
    // over them.
    highMap_ = nullptr;
    if (method->kind == TDIDecoderKind::Latin1) {
        highMap_ = kLatin1.data();
    } else if (method->kind == TDIDecoderKind::Table && method->asciiTransparent &&
               std::all_of(method->table + 0x80, method->table + 0x100,
                           [](char16_t c) { return c >= 0x80; })) {
        highMap_ = method->table;
    }
    UpdateDirect();
}

void TDIUnicodeReader::UpdateDirect() {
    directLimit_ =
        methodDirect_ && !charByChar_ && lookAheadCount_ == 0 && !hasPendingUnit_ ? sourceSize_ : 0;
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
        if (readMethod_->kind == TDIDecoderKind::Gb18030 && Gb18030Pair(out)) return true;
    }
    return DecodeSlow(out);
}

// A GB18030 character of two bytes, both at hand: nearly every non-ASCII character of a page. Else false,
// and nothing is taken.
inline bool TDIUnicodeReader::Gb18030Pair(char16_t& out) {
    if (sourcePos_ + 1 >= sourceSize_) return false;
    const uint8_t* const p = source_ + sourcePos_;
    if (!IsGb18030Pair(p[0], p[1])) return false;
    out = Gb18030PairChar(p);
    sourcePos_ += 2;
    return true;
}

// Reads the next character where it is a GB18030 pair, as ReadChar would; runs of text stop at each.
inline bool TDIUnicodeReader::ReadGb18030Pair() {
    if (readMethod_->kind != TDIDecoderKind::Gb18030 || !DirectByte()) return false;
    char16_t c;
    if (!Gb18030Pair(c)) return false;
    prevChar_ = char_;
    char_ = c;
    Advance();
    hasChar_ = true;
    return true;
}

bool TDIUnicodeReader::DecodeSlow(char16_t& out) {
    if (hasPendingUnit_) {
        hasPendingUnit_ = false;
        UpdateDirect();
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
            UpdateDirect();
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

bool TDIUnicodeReader::ReadCharSlow() {
    if (lookAheadCount_ > 0) {
        char_ = lookAhead_[lookAheadStart_];
        --lookAheadCount_;
        lookAheadStart_ = lookAheadCount_ == 0 ? 0 : lookAheadStart_ + 1;
        if (lookAheadCount_ == 0) UpdateDirect();
        Advance();
        hasChar_ = true;
        return true;
    }
    hasChar_ = Decode(char_);
    if (hasChar_) Advance();
    return hasChar_;
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
    bool filled = true;
    while (lookAheadCount_ < count) {
        char16_t c;
        if (!Decode(c)) {
            filled = false;
            break;
        }
        lookAhead_[lookAheadStart_ + lookAheadCount_++] = c;
    }
    UpdateDirect();
    return filled;
}

namespace {

// Finds, from p on, the bytes up to the first stop byte, line break, or byte from 0x80 (unless such bytes
// are characters of their own outside ASCII). It may stop early, at a control character below 0x0E: the
// caller then reads that one as any other, so one comparison finds both line breaks. Built once for a
// scan, which may take many runs.
template <int Distinct> class StopBytes {
public:
    // The first Distinct of the three are compared, the others being among them.
    StopBytes(char16_t ch1, char16_t ch2, char16_t ch3)
        : stops_{static_cast<uint8_t>(ch1), static_cast<uint8_t>(ch2), static_cast<uint8_t>(ch3)} {
#if defined(__SSE2__)
        for (int i = 0; i < Distinct; ++i)
            vectors_[i] = _mm_set1_epi8(static_cast<char>(stops_[i]));
#endif
    }

    template <bool HighBytesPlain> const uint8_t* Skip(const uint8_t* p, const uint8_t* end) const {
#if defined(__SSE2__)
        while (end - p >= 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            __m128i hit = Hits(v);
            if constexpr (HighBytesPlain)
                hit =
                    _mm_or_si128(hit, _mm_cmpeq_epi8(_mm_min_epu8(v, _mm_set1_epi8(0x0D)), v)); // up to 0x0D
            else
                hit = _mm_or_si128(hit, _mm_cmplt_epi8(v, _mm_set1_epi8(0x0E))); // signed: also 0x80 and up
            const auto mask = static_cast<unsigned>(_mm_movemask_epi8(hit));
            if (mask != 0) return p + __builtin_ctz(mask);
            p += 16;
        }
#endif
        for (; p < end; ++p) {
            const uint8_t c = *p;
            if ((c >= 0x80 && !HighBytesPlain) || c <= 0x0D || IsStop(c)) break;
        }
        return p;
    }

    // As Skip over bytes from 0x80 too; says whether it passed any.
    const uint8_t* SkipPastHigh(const uint8_t* p, const uint8_t* end, bool& high) const {
        uint32_t seen = 0;
#if defined(__SSE2__)
        __m128i passed = _mm_setzero_si128();
        while (end - p >= 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            const __m128i hit =
                _mm_or_si128(Hits(v), _mm_cmpeq_epi8(_mm_min_epu8(v, _mm_set1_epi8(0x0D)), v));
            const auto mask = static_cast<uint32_t>(_mm_movemask_epi8(hit));
            if (mask != 0) {
                const int at = __builtin_ctz(mask);
                high = ((static_cast<uint32_t>(_mm_movemask_epi8(v)) & ((1u << at) - 1)) |
                        static_cast<uint32_t>(_mm_movemask_epi8(passed))) != 0;
                return p + at;
            }
            passed = _mm_or_si128(passed, v);
            p += 16;
        }
        seen = static_cast<uint32_t>(_mm_movemask_epi8(passed));
#endif
        for (; p < end; ++p) {
            const uint8_t c = *p;
            if (c <= 0x0D || IsStop(c)) break;
            seen |= c & 0x80;
        }
        high = seen != 0;
        return p;
    }

private:
    bool IsStop(uint8_t c) const {
        return c == stops_[0] || (Distinct > 1 && c == stops_[1]) || (Distinct > 2 && c == stops_[2]);
    }
#if defined(__SSE2__)
    __m128i Hits(__m128i v) const {
        __m128i hit = _mm_cmpeq_epi8(v, vectors_[0]);
        if constexpr (Distinct > 1) hit = _mm_or_si128(hit, _mm_cmpeq_epi8(v, vectors_[1]));
        if constexpr (Distinct > 2) hit = _mm_or_si128(hit, _mm_cmpeq_epi8(v, vectors_[2]));
        return hit;
    }
#endif

    uint8_t stops_[3];
#if defined(__SSE2__)
    __m128i vectors_[Distinct];
#endif
};

// Bit i set where byte i of the n (at most 64) from p is from 0x80; also says whether any is 0x80 or 0xFF.
uint64_t HighBits(const uint8_t* p, size_t n, const uint8_t* end, bool& odd) {
    uint64_t bits = 0;
    uint64_t odds = 0;
    size_t i = 0;
#if defined(__SSE2__)
    for (; i < n && end - (p + i) >= 16; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        bits |= static_cast<uint64_t>(static_cast<uint32_t>(_mm_movemask_epi8(v))) << i;
        odds |= static_cast<uint64_t>(static_cast<uint32_t>(_mm_movemask_epi8(
                    _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8(static_cast<char>(0x80))),
                                 _mm_cmpeq_epi8(v, _mm_set1_epi8(static_cast<char>(0xFF)))))))
                << i;
    }
#endif
    for (; i < n; ++i) {
        bits |= static_cast<uint64_t>(p[i] >> 7) << i;
        odds |= static_cast<uint64_t>(p[i] == 0x80 || p[i] == 0xFF) << i;
    }
    const uint64_t in = n == 64 ? ~uint64_t{0} : (uint64_t{1} << n) - 1;
    odd = (odds & in) != 0;
    return bits & in;
}

// Whether every byte from 0x80 from p to q is in a GB18030 character of two such bytes, reading from p,
// where a character starts, and none is 0x80 or 0xFF; then adds those characters to pairs.
bool HighBytesPaired(const uint8_t* p, const uint8_t* q, const uint8_t* end, size_t& pairs) {
    constexpr uint64_t kEven = 0x5555555555555555u;
    uint64_t carry = 0; // the last stretch ended on the first byte of a pair
    uint64_t bad = 0;
    size_t trailCount = 0;
    for (; p < q; p += 64) {
        const size_t n = std::min<size_t>(64, static_cast<size_t>(q - p));
        bool odd;
        const uint64_t high = HighBits(p, n, end, odd);
        // Each run of high bytes is pairs from its start on (a run carried over from the last stretch
        // starts on bit -1, an odd one). Adding each run's first bit carries past its end, so the runs
        // that start on even bits drop out of the sum.
        const uint64_t starts = high & ~((high << 1) | carry);
        const uint64_t oddRuns = high & (high + (starts & kEven));
        const uint64_t trails = ((high & ~oddRuns) & ~kEven) | (oddRuns & kEven);
        // A first byte whose second is not the next byte of the stretch.
        const uint64_t open = high & ~trails & ~(trails >> 1);
        const uint64_t last = uint64_t{1} << (n - 1);
        bad |= (carry & ~trails) | (open & (last - 1)) | odd;
        carry = (open & last) != 0;
        uint64_t x = trails - ((trails >> 1) & kEven);
        x = (x & 0x3333333333333333u) + ((x >> 2) & 0x3333333333333333u);
        x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0Fu;
        trailCount += static_cast<size_t>((x * 0x0101010101010101u) >> 56);
    }
    if (bad | carry) return false;
    pairs += trailCount;
    return true;
}

} // namespace

// Takes the bytes from p to q as characters, the last current: none a line break; bytes from 0x80 only
// where highMap gives their characters.
template <bool Append>
void TDIUnicodeReader::TakeRun(const uint8_t* p, const uint8_t* q, const char16_t* highMap) {
    if (!highMap) {
        TakeBlock<Append>(p, q);
        return;
    }
    const size_t n = static_cast<size_t>(q - p);
    auto unit = [highMap](uint8_t b) { return b < 0x80 ? static_cast<char16_t>(b) : highMap[b]; };
    if constexpr (Append) {
        if (textLength_ + n > text_.size()) GrowText(textLength_ + n);
        char16_t* const text = text_.data() + textLength_;
        for (size_t i = 0; i < n; ++i)
            text[i] = unit(p[i]);
        textLength_ += n;
    }
    if (char_ == u'\r' || char_ == u'\n') {
        ++line_;
        column_ = static_cast<uint32_t>(n);
    } else {
        column_ += static_cast<uint32_t>(n);
    }
    prevChar_ = n > 1 ? unit(q[-2]) : char_;
    char_ = unit(q[-1]);
    charCount_ += static_cast<uint32_t>(n);
    sourcePos_ += n;
}

// Moves over plain bytes and GB18030 characters of two bytes up to a stop, all at once: the text between
// the tags of a GB18030 page is read no slower for the characters in it. The stops are ASCII, and no pair
// stands for an ASCII character. The last is current; the caller reads on at once, which sets the
// previous character.
template <typename Stops> void TDIUnicodeReader::PassGb18030Run(const Stops& stops) {
    const uint8_t* const p = source_ + sourcePos_;
    const uint8_t* const end = source_ + sourceSize_;
    size_t pairs = 0;
    bool lastPair = false;
    // Mostly the bytes up to the stop are plain ones and pairs of two high bytes, which are taken whole.
    bool high = false;
    const uint8_t* q = stops.SkipPastHigh(p, end, high);
    if (high && HighBytesPaired(p, q, end, pairs)) {
        lastPair = q[-1] >= 0x80;
    } else if (high) {
        // Else a character at a time where a byte from 0x80 is.
        q = p;
        for (;;) {
            const uint8_t* const r = stops.template Skip<false>(q, end);
            if (r != q) {
                lastPair = false;
                q = r;
            }
            if (end - q < 2 || !IsGb18030Pair(q[0], q[1])) break;
            lastPair = true;
            ++pairs;
            q += 2;
        }
    }
    if (q == p) return;
    const auto chars = static_cast<uint32_t>(static_cast<size_t>(q - p) - pairs);
    // The run holds no line break; the current character may be one.
    if (char_ == u'\r' || char_ == u'\n') {
        ++line_;
        column_ = chars;
    } else {
        column_ += chars;
    }
    char_ = lastPair ? Gb18030PairChar(q - 2) : q[-1];
    charCount_ += chars;
    sourcePos_ += static_cast<size_t>(q - p);
}

// Up to the first of a few characters; where those are ASCII, the bytes between are taken in blocks.
template <bool Append, int Distinct>
void TDIUnicodeReader::ScanUntil(char16_t ch1, char16_t ch2, char16_t ch3) {
    const auto more = [&] {
        return hasChar_ && char_ != ch1 && (Distinct < 2 || char_ != ch2) && (Distinct < 3 || char_ != ch3);
    };
    if (!more()) return;
    if ((ch1 | ch2 | ch3) >= 0x80) {
        do {
            if constexpr (Append) AppendChar(char_);
            ReadChar();
        } while (more());
        return;
    }
    const StopBytes<Distinct> stops(ch1, ch2, ch3);
    const bool gb18030 = readMethod_->kind == TDIDecoderKind::Gb18030;
    do {
        if constexpr (Append) AppendChar(char_);
        if constexpr (!Append) {
            if (gb18030 && DirectByte()) {
                PassGb18030Run(stops);
                ReadChar();
                continue;
            }
        }
        if (DirectByte()) {
            // Runs, and the GB18030 characters of two bytes between them; the current character has
            // always been taken.
            for (;;) {
                const uint8_t* const p = source_ + sourcePos_;
                const uint8_t* const q = highMap_ ? stops.template Skip<true>(p, source_ + sourceSize_)
                                                  : stops.template Skip<false>(p, source_ + sourceSize_);
                if (q != p) TakeRun<Append>(p, q, highMap_);
                if (!gb18030 || !ReadGb18030Pair()) break;
                if (!more()) return;
                if constexpr (Append) AppendChar(char_);
            }
        }
        ReadChar();
    } while (more());
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
    ScanUntil<true, 1>(ch, ch, ch);
}
void TDIUnicodeReader::SkipUntilChar(char16_t ch) {
    ScanUntil<false, 1>(ch, ch, ch);
}
void TDIUnicodeReader::AppendUntilChars2(char16_t ch1, char16_t ch2) {
    ScanUntil<true, 2>(ch1, ch2, ch2);
}
void TDIUnicodeReader::SkipUntilChars2(char16_t ch1, char16_t ch2) {
    ScanUntil<false, 2>(ch1, ch2, ch2);
}
void TDIUnicodeReader::AppendUntilChars3(char16_t ch1, char16_t ch2, char16_t ch3) {
    ScanUntil<true, 3>(ch1, ch2, ch3);
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
