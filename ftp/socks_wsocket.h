#pragma once
// The SOCKS layer of the socket: with a SOCKS server set, Connect goes to the proxy and runs the
// SOCKS 4, 4A or 5 handshake hidden inside the connection; OnSessionConnected comes once the proxy
// has connected to the destination. The settings stay across closes, so every later connection of
// the socket goes through the proxy too.
#include "ftp/socks_handshake.h"
#include "ftp/wsocket.h"

#include <string>

enum TSocksAuthentication { socksNoAuthentication, socksAuthenticateUsercode };
enum TSocksAuthState { authStarted, authSucceeded, authFailed, authNotRequired };

using TSocksErrorEvent = std::function<void(TObject* Sender, int Error, const std::string& Msg)>;
using TSocksAuthStateEvent = std::function<void(TObject* Sender, TSocksAuthState AuthState)>;

class TCustomSocksWSocket : public TCustomWSocket {
public:
    explicit TCustomSocksWSocket(TComponent* AOwner) : TCustomWSocket(AOwner) {}
    std::string ClassName() const override { return "TCustomSocksWSocket"; }

    void Connect() override;
    void Listen() override;
    int RcvdCount() override;

    const std::string& SocksServer() const { return socksServer_; }
    void SetSocksServer(const std::string& Value);
    const std::string& SocksPort() const { return socksPort_; }
    void SetSocksPort(const std::string& Value);
    const std::string& SocksLevel() const { return socksLevel_; }
    void SetSocksLevel(const std::string& Value);

    std::string SocksUsercode;
    std::string SocksPassword;
    TSocksAuthentication SocksAuthentication = socksNoAuthentication;

    TSocksErrorEvent OnSocksError;
    TSessionConnected OnSocksConnected;
    TSocksAuthStateEvent OnSocksAuthState;

protected:
    void ResetDefaults() override;
    bool FireDataAvailable(WORD Error) override;
    void FireSessionConnected(WORD Error) override;
    void FireSessionClosed(WORD Error) override;
    int RawReceive(void* Buffer, int BufferSize, int Flags) override;

private:
    void Apply(const socks::Outcome& Out);
    void SocksFail(int Code, const std::string& Text);
    void FireAuthState(TSocksAuthState State);

    std::string socksServer_;
    std::string socksPort_;
    std::string socksLevel_ = "5";
    socks::Handshake handshake_;
    std::string leftover_;
    size_t leftoverPos_ = 0;
};
