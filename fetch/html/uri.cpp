#include "fetch/html/uri.h"

#include <cstdint>
#include <vector>

namespace {

bool IsAlpha(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}
bool IsDigitC(char16_t c) {
    return c >= u'0' && c <= u'9';
}
bool IsHex(char16_t c) {
    return IsDigitC(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}
bool IsUnreserved(char16_t c) {
    return IsAlpha(c) || IsDigitC(c) || c == u'-' || c == u'.' || c == u'_' || c == u'~';
}
bool IsSubDelim(char16_t c) {
    switch (c) {
    case u'!':
    case u'$':
    case u'&':
    case u'\'':
    case u'(':
    case u')':
    case u'*':
    case u'+':
    case u',':
    case u';':
    case u'=':
        return true;
    default:
        return false;
    }
}

bool IsSchemeChar(char16_t c) {
    return IsAlpha(c) || IsDigitC(c) || c == u'+' || c == u'-' || c == u'.';
}

// Unreserved, sub-delims and percent-escapes: the user-information and reg-name alphabet.
bool ValidEscapedText(std::u16string_view t) {
    for (size_t i = 0; i < t.size(); ++i) {
        char16_t c = t[i];
        if (c == u'%') {
            if (i + 2 >= t.size()) return false;
            if (!IsHex(t[i + 1]) || !IsHex(t[i + 2])) return false;
            i += 2;
        } else if (!IsUnreserved(c) && !IsSubDelim(c)) {
            return false;
        }
    }
    return true;
}

bool ValidIpLiteral(std::u16string_view t) {
    if (t.size() < 3 || t.front() != u'[' || t.back() != u']') return false;
    for (size_t i = 1; i + 1 < t.size(); ++i) {
        char16_t c = t[i];
        if (!IsUnreserved(c) && !IsSubDelim(c) && c != u':' && c != u'%') return false;
    }
    return true;
}

bool ValidHost(std::u16string_view t) {
    if (!t.empty() && t.front() == u'[') return ValidIpLiteral(t);
    return ValidEscapedText(t);
}

bool ValidScheme(std::u16string_view t) {
    if (t.empty()) return true;
    if (!IsAlpha(t[0])) return false;
    for (char16_t c : t)
        if (!IsSchemeChar(c)) return false;
    return true;
}

bool AllDigits(std::u16string_view t) {
    for (char16_t c : t)
        if (!IsDigitC(c)) return false;
    return true;
}

bool NoneOf(std::u16string_view t, char16_t a, char16_t b) {
    for (char16_t c : t)
        if (c == a || c == b) return false;
    return true;
}

// Stores a validated component, or clears it with its flag.
bool Store(bool valid, std::u16string_view text, std::u16string& field, bool& flag) {
    if (valid) {
        field = text;
        flag = true;
    } else {
        field.clear();
        flag = false;
    }
    return valid;
}

} // namespace

bool TDIUri::SetScheme(std::u16string_view text) {
    return Store(ValidScheme(text), text, scheme_, hasScheme_);
}
bool TDIUri::SetUsername(std::u16string_view text) {
    return Store(ValidEscapedText(text), text, username_, hasUsername_);
}
bool TDIUri::SetPassword(std::u16string_view text) {
    return Store(ValidEscapedText(text), text, password_, hasPassword_);
}
bool TDIUri::SetHost(std::u16string_view text) {
    return Store(ValidHost(text), text, host_, hasHost_);
}
bool TDIUri::SetPort(std::u16string_view text) {
    return Store(AllDigits(text), text, port_, hasPort_);
}
bool TDIUri::SetPath(std::u16string_view text) {
    bool valid = NoneOf(text, u'#', u'?');
    if (valid)
        path_ = text;
    else
        path_.clear();
    return valid;
}
bool TDIUri::SetQuery(std::u16string_view text) {
    return Store(NoneOf(text, u'#', u'#'), text, query_, hasQuery_);
}
void TDIUri::SetFragment(std::u16string_view text) {
    fragment_ = text;
    hasFragment_ = true;
}

bool TDIUri::SetUserInfo(std::u16string_view text) {
    size_t colon = text.find(u':');
    if (colon == std::u16string::npos) {
        // A password left over from an earlier address would be sent to the wrong host.
        ClearPassword();
        return SetUsername(text);
    }
    bool user = SetUsername(text.substr(0, colon));
    bool pass = SetPassword(text.substr(colon + 1));
    return user && pass;
}

bool TDIUri::SetHostPort(std::u16string_view text) {
    size_t from = 0;
    if (!text.empty() && text[0] == u'[') {
        size_t close = text.find(u']');
        from = close == std::u16string::npos ? text.size() : close;
    }
    size_t colon = text.find(u':', from);
    if (colon == std::u16string::npos) {
        ClearPort();
        return SetHost(text);
    }
    bool host = SetHost(text.substr(0, colon));
    bool port = SetPort(text.substr(colon + 1));
    return host && port;
}

bool TDIUri::SetAuthority(std::u16string_view text) {
    size_t at = text.find(u'@');
    if (at == std::u16string::npos) {
        ClearUserInfo();
        return SetHostPort(text);
    }
    bool info = SetUserInfo(text.substr(0, at));
    bool hostPort = SetHostPort(text.substr(at + 1));
    return info && hostPort;
}

void TDIUri::ClearFragment() {
    fragment_.clear();
    hasFragment_ = false;
}
void TDIUri::ClearHost() {
    host_.clear();
    hasHost_ = false;
}
void TDIUri::ClearPassword() {
    password_.clear();
    hasPassword_ = false;
}
void TDIUri::ClearPath() {
    path_.clear();
}
void TDIUri::ClearPort() {
    port_.clear();
    hasPort_ = false;
}
void TDIUri::ClearQuery() {
    query_.clear();
    hasQuery_ = false;
}
void TDIUri::ClearScheme() {
    scheme_.clear();
    hasScheme_ = false;
}
void TDIUri::ClearUsername() {
    username_.clear();
    hasUsername_ = false;
}
void TDIUri::ClearUserInfo() {
    ClearUsername();
    ClearPassword();
}
void TDIUri::ClearAuthority() {
    ClearUserInfo();
    ClearHost();
    ClearPort();
}

void TDIUri::CopyScheme(const TDIUri& other) {
    scheme_ = other.scheme_;
    hasScheme_ = other.hasScheme_;
}
void TDIUri::CopyAuthority(const TDIUri& other) {
    username_ = other.username_;
    hasUsername_ = other.hasUsername_;
    password_ = other.password_;
    hasPassword_ = other.hasPassword_;
    host_ = other.host_;
    hasHost_ = other.hasHost_;
    port_ = other.port_;
    hasPort_ = other.hasPort_;
}
void TDIUri::CopyFragment(const TDIUri& other) {
    fragment_ = other.fragment_;
    hasFragment_ = other.hasFragment_;
}

size_t SchemeLength(const std::u16string& text) {
    if (text.empty() || !IsAlpha(text[0])) return 0;
    size_t i = 1;
    while (i < text.size() && IsSchemeChar(text[i]))
        ++i;
    return i < text.size() && text[i] == u':' ? i : 0;
}

bool TDIUri::Parse(const std::u16string& whole) {
    // The parts are set from views of the text: no copy of each is made on the way.
    const std::u16string_view text(whole);
    bool valid = true;
    size_t begin = 0;
    size_t end = text.size();

    ClearScheme();
    if (const size_t scheme = SchemeLength(whole)) {
        SetScheme(text.substr(0, scheme));
        begin = scheme + 1;
    }

    size_t hash = text.find(u'#', begin);
    if (hash != std::u16string::npos) {
        SetFragment(text.substr(hash + 1));
        end = hash;
    } else {
        ClearFragment();
    }

    size_t question = text.find(u'?', begin);
    if (question != std::u16string::npos && question < end) {
        valid = SetQuery(text.substr(question + 1, end - question - 1)) && valid;
        end = question;
    } else {
        ClearQuery();
    }

    if (end - begin > 2 && text[begin] == u'/' && text[begin + 1] == u'/') {
        size_t slash = text.find(u'/', begin + 2);
        if (slash == std::u16string::npos || slash > end) slash = end;
        valid = SetAuthority(text.substr(begin + 2, slash - begin - 2)) && valid;
        begin = slash;
    } else {
        ClearAuthority();
    }

    valid = SetPath(text.substr(begin, end - begin)) && valid;
    if (!valid) {
        Parse(std::u16string());
        return false;
    }
    return true;
}

void TDIUri::ComposeAuthority(std::u16string& result) const {
    result.clear();
    AppendAuthority(result);
}

void TDIUri::AppendAuthority(std::u16string& result) const {
    if (hasUsername_) {
        result += username_;
        if (hasPassword_) {
            result += u':';
            result += password_;
        }
        result += u'@';
    }
    if (hasHost_) result += host_;
    if (hasPort_) {
        result += u':';
        result += port_;
    }
}

void TDIUri::Compose(std::u16string& result) const {
    result.clear();
    if (hasScheme_) {
        result += scheme_;
        result += u':';
    }
    if (hasHost_) {
        result += u"//";
        AppendAuthority(result);
        if (!path_.empty() && path_[0] != u'/') result += u'/';
    }
    result += path_;
    if (hasQuery_) {
        result += u'?';
        result += query_;
    }
    if (hasFragment_) {
        result += u'#';
        result += fragment_;
    }
}

namespace {

// True when a segment of the path is "." or "..": nearly no link has one.
bool HasDotSegment(const std::u16string& path) {
    for (size_t start = 0; start <= path.size();) {
        size_t end = path.find(u'/', start);
        if (end == std::u16string::npos) end = path.size();
        const size_t length = end - start;
        if (length == 1 && path[start] == u'.') return true;
        if (length == 2 && path[start] == u'.' && path[start + 1] == u'.') return true;
        start = end + 1;
    }
    return false;
}

} // namespace

std::u16string RemoveDotSegments(const std::u16string& path) {
    // Without dot segments every segment is kept as it is.
    if (!HasDotSegment(path)) return path;
    // Output segments are kept as (start, length) runs of the input, each with its leading "/".
    // A start of SIZE_MAX stands for a lone "/" that ends the path.
    struct Piece {
        size_t start, length;
    };
    std::vector<Piece> out;
    size_t i = 0;
    const size_t n = path.size();
    auto startsWith = [&](const char16_t* lit, size_t len) {
        return n - i >= len && path.compare(i, len, lit) == 0;
    };
    auto isWhole = [&](const char16_t* lit, size_t len) {
        return n - i == len && path.compare(i, len, lit) == 0;
    };
    while (i < n) {
        if (startsWith(u"../", 3)) {
            i += 3;
        } else if (startsWith(u"./", 2)) {
            i += 2;
        } else if (startsWith(u"/./", 3)) {
            i += 2;
        } else if (isWhole(u"/.", 2)) {
            out.push_back({SIZE_MAX, 0});
            i = n;
        } else if (startsWith(u"/../", 4)) {
            i += 3;
            if (!out.empty()) out.pop_back();
        } else if (isWhole(u"/..", 3)) {
            if (!out.empty()) out.pop_back();
            out.push_back({SIZE_MAX, 0});
            i = n;
        } else if (isWhole(u".", 1) || isWhole(u"..", 2)) {
            i = n;
        } else {
            size_t next = path.find(u'/', i + (path[i] == u'/' ? 1 : 0));
            if (next == std::u16string::npos) next = n;
            out.push_back({i, next - i});
            i = next;
        }
    }
    std::u16string result;
    result.reserve(n);
    for (const Piece& p : out) {
        if (p.start == SIZE_MAX)
            result += u'/';
        else
            result.append(path, p.start, p.length);
    }
    return result;
}

bool Resolve(const std::u16string& base, const std::u16string& relative, std::u16string& result) {
    result.clear();
    TDIUri b;
    return b.Parse(base) && Resolve(b, relative, result);
}

namespace {

// Whether parsing what Compose makes of the parts gives the same parts back. An address with a host
// composes to "//" and its authority, which read back as the same parts, unless nothing at all follows
// the "//" (which reads as an empty path) or its path does not start at a "/".
bool ComposesBackToItself(const TDIUri& u) {
    if (!u.HasHost() || (u.HasPassword() && !u.HasUsername())) return false;
    if (!u.Path().empty()) return u.Path()[0] == u'/';
    return u.HasUsername() || !u.Host().empty() || u.HasPort();
}

} // namespace

bool Resolve(TDIUri& b, const std::u16string& relative, std::u16string& result) {
    TDIUri parts;
    return Resolve(b, relative, result, parts);
}

bool Resolve(TDIUri& b, const std::u16string& relative, std::u16string& result, TDIUri& r) {
    result.clear();
    if (!r.Parse(relative)) return false;

    if (r.Path().empty() && !r.HasScheme() && !r.HasHost() && !r.HasQuery()) {
        TDIUri saved;
        saved.CopyFragment(b);
        b.CopyFragment(r);
        b.Compose(result);
        b.CopyFragment(saved);
        r.Parse(result);
        return true;
    }
    // Parsed from the reference itself, the parts are already the result's.
    if (r.HasScheme()) {
        result = relative;
        return true;
    }
    r.CopyScheme(b);
    if (r.HasHost()) {
        r.SetPath(RemoveDotSegments(r.Path()));
        r.Compose(result);
        if (!ComposesBackToItself(r)) r.Parse(result);
        return true;
    }
    r.CopyAuthority(b);
    std::u16string path;
    if (r.Path().empty()) {
        path = b.Path();
    } else if (r.Path()[0] == u'/') {
        path = RemoveDotSegments(r.Path());
    } else {
        size_t slash = b.Path().rfind(u'/');
        if (slash != std::u16string::npos)
            path = b.Path().substr(0, slash + 1) + r.Path();
        else if (b.HasHost())
            path = u"/" + r.Path();
        else
            path = r.Path();
        path = RemoveDotSegments(path);
    }
    if (!path.empty() && path[0] != u'/' && r.HasHost()) path.insert(path.begin(), u'/');
    r.SetPath(path);
    r.Compose(result);
    if (!ComposesBackToItself(r)) r.Parse(result);
    return true;
}
