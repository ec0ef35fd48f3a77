#include "platform/rtl/object_text.h"

#include "platform/rtl/currency.h"
#include "platform/rtl/format.h"
#include "platform/rtl/reader.h"
#include "platform/rtl/stream.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/unicode.h"
#include "platform/rtl/writer.h"

#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int MaxDepth = TReader::MaxDepth;
constexpr const char* NewLine = "\r\n";

std::string Indent(int level) {
    return std::string(static_cast<size_t>(level) * 2, ' ');
}

// Shortest text that reads back to the same value, whatever the locale.
template <class Float> std::string FloatText(Float value) {
    char buffer[40];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    std::string text(buffer, result.ptr);
    if (std::isfinite(value) && text.find_first_of(".e") == std::string::npos) text += ".0";
    return text;
}

template <class Float> bool ParseFloat(const std::string& text, Float& value) {
    const char* first = text.c_str();
    const char* last = first + text.size();
    if (first != last && *first == '+') ++first;
    const auto result = std::from_chars(first, last, value);
    return result.ec == std::errc() && result.ptr == last;
}

// A plain decimal with at most four decimals, exactly, in ten-thousandths.
bool ParseCurrencyUnits(const std::string& text, int64_t& units) {
    size_t i = 0;
    const bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    unsigned __int128 magnitude = 0;
    int decimals = -1;
    bool digits = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '.' && decimals < 0) {
            decimals = 0;
            continue;
        }
        if (c < '0' || c > '9' || decimals == 4) return false;
        magnitude = magnitude * 10 + static_cast<unsigned>(c - '0');
        if (magnitude > (static_cast<unsigned __int128>(1) << 64)) return false;
        digits = true;
        if (decimals >= 0) ++decimals;
    }
    for (int d = decimals < 0 ? 0 : decimals; d < 4; ++d)
        magnitude *= 10;
    const unsigned __int128 limit = static_cast<unsigned __int128>(1) << 63;
    if (!digits || magnitude > (negative ? limit : limit - 1)) return false;
    units = negative ? static_cast<int64_t>(0 - static_cast<uint64_t>(magnitude))
                     : static_cast<int64_t>(magnitude);
    return true;
}

std::string CurrencyText(int64_t units) {
    const bool negative = units < 0;
    const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(units) : static_cast<uint64_t>(units);
    std::string fraction = std::to_string(magnitude % 10000);
    fraction.insert(0, 4 - fraction.size(), '0');
    while (!fraction.empty() && fraction.back() == '0')
        fraction.pop_back();
    std::string text = (negative ? "-" : "") + std::to_string(magnitude / 10000);
    if (!fraction.empty()) text += "." + fraction;
    return text;
}

// Printable runs in quotes (a quote doubled), control characters as #nn; the empty string is ''.
std::string QuotedText(const std::string& value) {
    std::string out;
    bool quoted = false;
    for (unsigned char c : value) {
        if (c < 32) {
            if (quoted) out += '\'';
            quoted = false;
            out += "#" + std::to_string(c);
            continue;
        }
        if (!quoted) out += '\'';
        quoted = true;
        if (c == '\'') out += '\'';
        out += static_cast<char>(c);
    }
    if (quoted) out += '\'';
    return out.empty() ? "''" : out;
}

bool IsIdentStart(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// What the text form reads as one name: a letter or "_", then letters, digits, "_" or ".".
bool IsTextName(std::string_view name) {
    if (name.empty() || !IsIdentStart(name[0])) return false;
    for (char c : name)
        if (!IsIdentStart(c) && !IsDigit(c) && c != '.') return false;
    return true;
}

class BinaryToText {
public:
    explicit BinaryToText(TStream& input) : reader_(input) {}

    std::string Convert() {
        reader_.ReadSignature();
        ConvertObject(0);
        return std::move(out_);
    }

private:
    void Enter() {
        if (++depth_ > MaxDepth) throw EReadError(rtl_text::InvalidStreamFormat);
    }

    // A name the text form cannot hold is damage.
    static const std::string& Name(const std::string& name) {
        if (!IsTextName(name)) throw EReadError(rtl_text::InvalidStreamFormat);
        return name;
    }

    void ConvertObject(int level) {
        Enter();
        uint8_t flags = 0;
        int32_t childPos = 0;
        reader_.ReadPrefix(flags, childPos);
        const std::string className = Name(reader_.ReadStr());
        const std::string name = reader_.ReadStr();
        if (!name.empty()) Name(name);
        out_ += Indent(level);
        out_ += (flags & ffInherited) ? "inherited " : (flags & ffInline) ? "inline " : "object ";
        if (!name.empty()) out_ += name + ": ";
        out_ += className;
        if (flags & ffChildPos) out_ += " [" + std::to_string(childPos) + "]";
        out_ += NewLine;
        while (!reader_.EndOfList())
            ConvertProperty(level + 1);
        reader_.ReadListEnd();
        while (!reader_.EndOfList())
            ConvertObject(level + 1);
        reader_.ReadListEnd();
        out_ += Indent(level) + "end" + NewLine;
        --depth_;
    }

    void ConvertProperty(int level) {
        const std::string name = Name(reader_.ReadStr());
        for (const char* keyword : {"object", "inherited", "inline", "end"})
            if (SameText(name, keyword)) throw EReadError(rtl_text::InvalidStreamFormat);
        out_ += Indent(level) + name + " = ";
        ConvertValue(level);
        out_ += NewLine;
    }

    void ConvertValue(int level) {
        Enter();
        switch (reader_.NextValue()) {
        case vaList:
            reader_.ReadValue();
            out_ += "(";
            while (!reader_.EndOfList()) {
                out_ += NewLine + Indent(level + 1);
                ConvertValue(level + 1);
            }
            reader_.ReadListEnd();
            out_ += ")";
            break;
        case vaInt8:
        case vaInt16:
        case vaInt32:
        case vaInt64:
            out_ += std::to_string(reader_.ReadInt64());
            break;
        case vaExtended:
            out_ += FloatText(reader_.ReadFloat());
            break;
        case vaSingle:
            out_ += FloatText(reader_.ReadSingle()) + "s";
            break;
        case vaCurrency:
            out_ += CurrencyText(reader_.ReadCurrencyUnits()) + "c";
            break;
        case vaDate:
            out_ += FloatText(reader_.ReadDate()) + "d";
            break;
        case vaString:
        case vaLString:
        case vaWString:
        case vaUTF8String:
            out_ += QuotedText(reader_.ReadString());
            break;
        case vaIdent: {
            const std::string ident = Name(reader_.ReadIdent());
            // These four have value types of their own; as identifiers they would not come back the same.
            for (const char* reserved : {"False", "True", "nil", "Null"})
                if (SameText(ident, reserved)) throw EReadError(rtl_text::InvalidStreamFormat);
            out_ += ident;
            break;
        }
        case vaFalse:
        case vaTrue:
        case vaNil:
        case vaNull:
            out_ += reader_.ReadIdent();
            break;
        case vaBinary: {
            const std::vector<uint8_t> bytes = reader_.ReadBinary();
            out_ += "{";
            for (size_t i = 0; i < bytes.size(); ++i) {
                if (i % 32 == 0) out_ += NewLine + Indent(level + 1);
                out_ += IntToHex(bytes[i], 2);
            }
            out_ += "}";
            break;
        }
        case vaSet: {
            reader_.ReadValue();
            out_ += "[";
            bool first = true;
            for (std::string name = reader_.ReadStr(); !name.empty(); name = reader_.ReadStr()) {
                out_ += (first ? "" : ", ") + Name(name);
                first = false;
            }
            out_ += "]";
            break;
        }
        case vaCollection:
            reader_.ReadValue();
            out_ += "<";
            while (!reader_.EndOfList()) {
                out_ += NewLine + Indent(level + 1) + "item";
                const TValueType next = reader_.NextValue();
                if (next == vaInt8 || next == vaInt16 || next == vaInt32)
                    out_ += " [" + std::to_string(reader_.ReadInteger()) + "]";
                out_ += NewLine;
                reader_.ReadListBegin();
                while (!reader_.EndOfList())
                    ConvertProperty(level + 2);
                reader_.ReadListEnd();
                out_ += Indent(level + 1) + "end";
            }
            reader_.ReadListEnd();
            out_ += ">";
            break;
        default:
            throw EReadError(rtl_text::InvalidStreamFormat);
        }
        --depth_;
    }

    TReader reader_;
    std::string out_;
    int depth_ = 0;
};

enum class TokenKind { End, Symbol, Identifier, Integer, Float, String };

struct Token {
    TokenKind kind = TokenKind::End;
    std::string text; // identifier, symbol or the string's bytes
    char suffix = 0;  // float: 's', 'c', 'd' or 0
    int line = 1;
};

class TextToBinary {
public:
    TextToBinary(std::string text, TStream& output) : text_(std::move(text)), writer_(output) { Next(); }

    void Convert() {
        writer_.WriteSignature();
        ConvertObject();
        if (token_.kind != TokenKind::End) Error("End of text expected");
    }

private:
    [[noreturn]] void Error(const std::string& what) const {
        throw EParserError(Format("%s on line %d", what, token_.line));
    }

    bool IsIdent(std::string_view word) const {
        return token_.kind == TokenKind::Identifier && SameText(token_.text, word);
    }
    bool IsSymbol(char c) const { return token_.kind == TokenKind::Symbol && token_.text[0] == c; }

    void Expect(char c) {
        if (!IsSymbol(c)) Error(Format("'%s' expected", std::string(1, c)));
        Next();
    }

    std::string ExpectIdentifier() {
        if (token_.kind != TokenKind::Identifier) Error("Identifier expected");
        std::string name = token_.text;
        Next();
        return name;
    }

    int64_t ExpectInteger() {
        if (token_.kind != TokenKind::Integer) Error("Integer expected");
        const int64_t value = ParseInteger(token_.text);
        Next();
        return value;
    }

    int64_t ParseInteger(const std::string& text) const {
        errno = 0;
        char* end = nullptr;
        const long long value = std::strtoll(text.c_str(), &end, 10);
        if (errno != 0 || end == text.c_str() || *end != '\0') Error(Format("Invalid integer %s", text));
        return value;
    }

    void Enter() {
        if (++depth_ > MaxDepth) Error("Nesting too deep");
    }

    void ConvertObject() {
        Enter();
        uint8_t flags = 0;
        if (IsIdent("inherited"))
            flags = ffInherited;
        else if (IsIdent("inline"))
            flags = ffInline;
        else if (!IsIdent("object"))
            Error("'object' expected");
        Next();
        std::string name;
        std::string className = ExpectIdentifier();
        if (IsSymbol(':')) {
            Next();
            name = className;
            className = ExpectIdentifier();
        }
        int64_t childPos = 0;
        if (IsSymbol('[')) {
            Next();
            childPos = ExpectInteger();
            Expect(']');
            flags |= ffChildPos;
        }
        writer_.WritePrefix(flags, static_cast<int32_t>(childPos));
        writer_.WriteStr(className);
        writer_.WriteStr(name);
        while (token_.kind == TokenKind::Identifier && !IsIdent("end") && !IsIdent("object") &&
               !IsIdent("inherited") && !IsIdent("inline"))
            ConvertProperty();
        writer_.WriteListEnd();
        while (!IsIdent("end"))
            ConvertObject();
        Next();
        writer_.WriteListEnd();
        --depth_;
    }

    void ConvertProperty() {
        writer_.WriteStr(ExpectIdentifier());
        Expect('=');
        ConvertValue();
    }

    void ConvertValue() {
        Enter();
        switch (token_.kind) {
        case TokenKind::Integer:
            writer_.WriteInteger(ParseInteger(token_.text));
            Next();
            break;
        case TokenKind::Float:
            ConvertFloat();
            Next();
            break;
        case TokenKind::String:
            writer_.WriteString(token_.text);
            Next();
            break;
        case TokenKind::Identifier:
            writer_.WriteIdent(token_.text);
            Next();
            break;
        case TokenKind::Symbol:
            ConvertStructured();
            break;
        case TokenKind::End:
            Error("Value expected");
        }
        --depth_;
    }

    void ConvertFloat() {
        bool ok = true;
        switch (token_.suffix) {
        case 's': {
            float value = 0;
            ok = ParseFloat(token_.text, value);
            writer_.WriteSingle(value);
            break;
        }
        case 'c': {
            int64_t units = 0;
            if (ParseCurrencyUnits(token_.text, units)) {
                writer_.WriteCurrencyUnits(units);
            } else {
                double value = 0;
                ok = ParseFloat(token_.text, value) && IsCurrencyInRange(value);
                if (ok) writer_.WriteCurrency(value);
            }
            break;
        }
        default: {
            double value = 0;
            ok = ParseFloat(token_.text, value);
            if (token_.suffix == 'd')
                writer_.WriteDate(value);
            else
                writer_.WriteFloat(value);
            break;
        }
        }
        if (!ok) Error(Format("Invalid number %s", token_.text));
    }

    void ConvertStructured() {
        const char symbol = token_.text[0];
        if (symbol == '{') {
            writer_.WriteBinary(ReadHexUntilBrace());
            Next();
            return;
        }
        Next();
        switch (symbol) {
        case '(':
            writer_.WriteListBegin();
            while (!IsSymbol(')'))
                ConvertValue();
            Next();
            writer_.WriteListEnd();
            return;
        case '[': {
            std::vector<std::string> names;
            while (!IsSymbol(']')) {
                names.push_back(ExpectIdentifier());
                if (!IsSymbol(']')) Expect(',');
            }
            Next();
            writer_.WriteValue(vaSet);
            for (const auto& name : names)
                writer_.WriteStr(name);
            writer_.WriteStr("");
            return;
        }
        case '<':
            writer_.WriteValue(vaCollection);
            while (!IsSymbol('>')) {
                if (!IsIdent("item")) Error("'item' expected");
                Next();
                if (IsSymbol('[')) {
                    Next();
                    writer_.WriteInteger(ExpectInteger());
                    Expect(']');
                }
                writer_.WriteListBegin();
                while (!IsIdent("end"))
                    ConvertProperty();
                Next();
                writer_.WriteListEnd();
            }
            Next();
            writer_.WriteListEnd();
            return;
        default:
            Error("Value expected");
        }
    }

    // The scanner has stopped just after "{"; the bytes run to "}".
    std::vector<uint8_t> ReadHexUntilBrace() {
        std::vector<uint8_t> bytes;
        int high = -1;
        for (; pos_ < text_.size() && text_[pos_] != '}'; ++pos_) {
            const char c = text_[pos_];
            if (c == '\n') ++line_;
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
            int digit = -1;
            if (c >= '0' && c <= '9')
                digit = c - '0';
            else if (c >= 'A' && c <= 'F')
                digit = c - 'A' + 10;
            else if (c >= 'a' && c <= 'f')
                digit = c - 'a' + 10;
            if (digit < 0) Error("Invalid binary value");
            if (high < 0) {
                high = digit;
            } else {
                bytes.push_back(static_cast<uint8_t>(high * 16 + digit));
                high = -1;
            }
        }
        if (pos_ >= text_.size() || high >= 0) Error("Invalid binary value");
        token_ = {TokenKind::Symbol, "}", 0, line_};
        ++pos_;
        return bytes;
    }

    void SkipBlanks() {
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (c == '\n')
                ++line_;
            else if (c != ' ' && c != '\t' && c != '\r')
                break;
            ++pos_;
        }
    }

    void Next() {
        SkipBlanks();
        token_ = Token{};
        token_.line = line_;
        if (pos_ >= text_.size()) return;
        const char c = text_[pos_];
        if (IsIdentStart(c)) {
            const size_t start = pos_;
            while (pos_ < text_.size() &&
                   (IsIdentStart(text_[pos_]) || IsDigit(text_[pos_]) || text_[pos_] == '.'))
                ++pos_;
            token_.kind = TokenKind::Identifier;
            token_.text = text_.substr(start, pos_ - start);
        } else if (IsDigit(c) ||
                   ((c == '-' || c == '+') && pos_ + 1 < text_.size() && IsDigit(text_[pos_ + 1]))) {
            ScanNumber();
        } else if (c == '\'' || c == '#') {
            ScanString();
        } else if (std::string_view("=()[]<>{},:").find(c) != std::string_view::npos) {
            token_.kind = TokenKind::Symbol;
            token_.text = std::string(1, c);
            ++pos_;
        } else {
            Error(Format("Invalid character $%s", IntToHex(static_cast<unsigned char>(c), 2)));
        }
    }

    void ScanNumber() {
        const size_t start = pos_;
        ++pos_;
        bool isFloat = false;
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (IsDigit(c)) {
                ++pos_;
            } else if (c == '.' || c == 'E' || c == 'e') {
                isFloat = true;
                ++pos_;
                if ((c == 'E' || c == 'e') && pos_ < text_.size() &&
                    (text_[pos_] == '-' || text_[pos_] == '+'))
                    ++pos_;
            } else {
                break;
            }
        }
        token_.text = text_.substr(start, pos_ - start);
        token_.kind = isFloat ? TokenKind::Float : TokenKind::Integer;
        if (pos_ < text_.size()) {
            const char suffix = static_cast<char>(text_[pos_] | 0x20);
            if (suffix == 's' || suffix == 'c' || suffix == 'd') {
                token_.kind = TokenKind::Float;
                token_.suffix = suffix;
                ++pos_;
            }
        }
        double value = 0;
        if (!ParseFloat(token_.text, value)) Error(Format("Invalid number %s", token_.text));
    }

    // Quoted runs and #nn characters, also joined across lines by "+".
    void ScanString() {
        token_.kind = TokenKind::String;
        for (;;) {
            if (pos_ < text_.size() && text_[pos_] == '\'') {
                ++pos_;
                for (;;) {
                    if (pos_ >= text_.size() || text_[pos_] == '\n') Error("Unterminated string");
                    if (text_[pos_] == '\'') {
                        if (pos_ + 1 < text_.size() && text_[pos_ + 1] == '\'') {
                            token_.text += '\'';
                            pos_ += 2;
                            continue;
                        }
                        ++pos_;
                        break;
                    }
                    token_.text += text_[pos_++];
                }
            } else if (pos_ < text_.size() && text_[pos_] == '#') {
                ++pos_;
                const bool hex = pos_ < text_.size() && text_[pos_] == '$';
                if (hex) ++pos_;
                const size_t start = pos_;
                while (pos_ < text_.size() &&
                       (hex ? std::isxdigit(static_cast<unsigned char>(text_[pos_])) != 0
                            : IsDigit(text_[pos_])))
                    ++pos_;
                const std::string digits = text_.substr(start, pos_ - start);
                if (digits.empty() || digits.size() > 8) Error("Invalid character code");
                const unsigned long code = std::strtoul(digits.c_str(), nullptr, hex ? 16 : 10);
                if (code < 0x80)
                    token_.text += static_cast<char>(code);
                else
                    AppendUtf8(token_.text, static_cast<char32_t>(code));
            } else {
                break;
            }
            // A "+" at the end of a line continues the string on the next.
            const size_t save = pos_;
            const int saveLine = line_;
            SkipBlanks();
            if (pos_ < text_.size() && text_[pos_] == '+') {
                ++pos_;
                SkipBlanks();
                if (pos_ < text_.size() && (text_[pos_] == '\'' || text_[pos_] == '#')) continue;
            }
            pos_ = save;
            line_ = saveLine;
        }
    }

    std::string text_;
    size_t pos_ = 0;
    int line_ = 1;
    Token token_;
    TWriter writer_;
    int depth_ = 0;
};

} // namespace

void ObjectBinaryToText(TStream& Input, TStream& Output) {
    const std::string text = BinaryToText(Input).Convert();
    Output.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
}

void ObjectTextToBinary(TStream& Input, TStream& Output) {
    const int64_t size = Input.Size() - Input.Position();
    std::string text(static_cast<size_t>(size > 0 ? size : 0), '\0');
    if (!text.empty()) Input.ReadBuffer(text.data(), static_cast<int64_t>(text.size()));
    TextToBinary(std::move(text), Output).Convert();
}
