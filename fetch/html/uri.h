#pragma once
// A URI split into components, each with a presence flag (the path has none: empty is absent).
#include <string>
#include <string_view>

#include "platform/rtl/object.h"

class TDIUri : public TObject {
public:
    std::string ClassName() const override { return "TDIUri"; }

    bool Parse(const std::u16string& text);
    void Compose(std::u16string& result) const;
    void ComposeAuthority(std::u16string& result) const;

    const std::u16string& Fragment() const { return fragment_; }
    const std::u16string& Host() const { return host_; }
    const std::u16string& Password() const { return password_; }
    const std::u16string& Path() const { return path_; }
    const std::u16string& Port() const { return port_; }
    const std::u16string& Query() const { return query_; }
    const std::u16string& Scheme() const { return scheme_; }
    const std::u16string& Username() const { return username_; }
    bool HasFragment() const { return hasFragment_; }
    bool HasHost() const { return hasHost_; }
    bool HasPassword() const { return hasPassword_; }
    bool HasPort() const { return hasPort_; }
    bool HasQuery() const { return hasQuery_; }
    bool HasScheme() const { return hasScheme_; }
    bool HasUsername() const { return hasUsername_; }

    bool SetScheme(std::u16string_view text);
    bool SetUsername(std::u16string_view text);
    bool SetPassword(std::u16string_view text);
    bool SetHost(std::u16string_view text);
    bool SetPort(std::u16string_view text);
    bool SetPath(std::u16string_view text);
    bool SetQuery(std::u16string_view text);
    void SetFragment(std::u16string_view text);
    bool SetUserInfo(std::u16string_view text);
    bool SetHostPort(std::u16string_view text);
    bool SetAuthority(std::u16string_view text);

    void ClearFragment();
    void ClearHost();
    void ClearPassword();
    void ClearPath();
    void ClearPort();
    void ClearQuery();
    void ClearScheme();
    void ClearUsername();
    void ClearUserInfo();
    void ClearAuthority();

    void CopyScheme(const TDIUri& other);
    void CopyAuthority(const TDIUri& other);
    void CopyFragment(const TDIUri& other);

private:
    void AppendAuthority(std::u16string& result) const;

    std::u16string fragment_, host_, password_, path_, port_, query_, scheme_, username_;
    bool hasFragment_ = false, hasHost_ = false, hasPassword_ = false, hasPort_ = false;
    bool hasQuery_ = false, hasScheme_ = false, hasUsername_ = false;
};

// Resolves a reference against a base address (RFC 3986 section 5.2); False, with an empty
// result, when either does not parse.
bool Resolve(const std::u16string& base, const std::u16string& relative, std::u16string& result);
// The same against a base already parsed, for many references on one page; base is left as it was.
bool Resolve(TDIUri& base, const std::u16string& relative, std::u16string& result);
// The same, leaving in parts what parsing the result gives (no parts at all when it does not parse), so
// that a caller that looks at them need not parse the result again.
bool Resolve(TDIUri& base, const std::u16string& relative, std::u16string& result, TDIUri& parts);

// The length of the scheme a reference starts with ("http" in "http://x"), 0 when it names none: such a
// reference resolves to itself whatever the base.
size_t SchemeLength(const std::u16string& text);

// Removes "." and ".." segments from a path in one pass.
std::u16string RemoveDotSegments(const std::u16string& path);
