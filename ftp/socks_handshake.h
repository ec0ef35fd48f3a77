#pragma once
// The SOCKS 4, 4A and 5 handshake as a machine of its own: it builds the requests and reads the
// proxy's replies byte by byte, and says what the socket must do next. It never reads past its
// buffer, which holds the longest SOCKS 5 reply (a 255-byte name).
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace socks {

enum class Phase { None, Negotiating, Authenticating, Connecting };
enum class AuthEvent { Started, Succeeded, NotRequired };

struct Request {
    std::string level = "5"; // "4", "4A" or "5"
    bool authenticate = false;
    std::string usercode;
    std::string password;
    std::string host;     // the destination as given; SOCKS 5 and 4A send it as a name
    uint16_t port = 0;    // host order
    uint32_t address = 0; // network order; SOCKS 4 sends it
};

// What the socket does after a step: send bytes, report authentication states, fail, or go on as
// connected with the bytes that followed the reply.
struct Outcome {
    std::string send;
    std::vector<AuthEvent> auth;
    int failCode = 0;
    std::string failText;
    bool connected = false;
    std::string leftover;
};

class Handshake {
public:
    static constexpr size_t kBufferSize = 262;

    void Begin(const Request& request);
    // The first request, once the connection to the proxy is up.
    Outcome Start();
    // How many bytes the next read may take.
    size_t Wanted() const;
    // Takes bytes read from the proxy (at most Wanted()).
    Outcome Take(const char* data, size_t length);
    Phase CurrentPhase() const { return phase_; }
    void Reset() {
        phase_ = Phase::None;
        fill_ = 0;
    }

private:
    bool LevelFour() const { return !request_.level.empty() && request_.level[0] == '4'; }
    void Fail(Outcome& out, int code, const std::string& text);
    void Authenticate(Outcome& out);
    void ConnectRequest(Outcome& out);
    void TakeNegotiation(Outcome& out);
    void TakeAuthentication(Outcome& out);
    void TakeConnectReply(Outcome& out);

    Request request_;
    Phase phase_ = Phase::None;
    uint8_t offered_ = 0;
    std::array<uint8_t, kBufferSize> buffer_{};
    size_t fill_ = 0;
};

} // namespace socks
