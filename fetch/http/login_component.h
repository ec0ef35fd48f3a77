#pragma once
// A component holding a user name and password, stored scrambled as the binary property "LInfo".
#include "platform/rtl/component.h"

#include <string>

class TStream;

class TWinLoginComponent : public TComponent {
public:
    explicit TWinLoginComponent(TComponent* AOwner) : TComponent(AOwner) {}
    std::string ClassName() const override { return "TWinLoginComponent"; }

    const std::string& Username() const { return username_; }
    void SetUsername(const std::string& Value) { username_ = Value; }
    const std::string& Password() const { return password_; }
    void SetPassword(const std::string& Value) { password_ = Value; }

    void DefineProperties(TFiler& Filer) override;

    // The "LInfo" block: a length byte, then the scrambled user-name length, user name and password.
    // Writing raises EWriteError when user name and password together reach 255 bytes, before any byte
    // is written; reading raises EReadError on a block that does not hold what it says.
    void WriteLoginInfo(TStream& Stream) const;
    void ReadLoginInfo(TStream& Stream);

private:
    std::string username_;
    std::string password_;
};
