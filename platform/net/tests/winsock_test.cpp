// The Winsock-like calls against real loopback connections: events as posted messages, raised once
// per consuming call, tagged with serial numbers that are never reused; lookups; names and texts.
#include "platform/gui/message_loop.h"
#include "platform/gui/window.h"
#include "platform/net/socket_errors.h"
#include "platform/net/socket_resolve.h"
#include "platform/net/winsock.h"
#include "tests/support/gui/pump.h"
#include "tests/support/thrown_message.h"

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace ws = winsock;
using winsock::SOCKET;

namespace {

constexpr UINT kSocketMsg = WM_USER + 1;
constexpr UINT kLookupMsg = WM_USER + 2;

struct Event {
    UINT msg;
    WPARAM wParam;
    WORD event;
    WORD error;
};

// A hidden window that records the socket messages it receives.
class Recorder {
public:
    Recorder() {
        hwnd_ = AllocateHWnd([this](TMessage& m) {
            events.push_back(
                Event{m.Msg, m.WParam, ws::WSAGETSELECTEVENT(m.LParam), ws::WSAGETSELECTERROR(m.LParam)});
        });
    }
    ~Recorder() { DeallocateHWnd(hwnd_); }
    HWND Handle() const { return hwnd_; }

    int Count(SOCKET s, long event) const {
        int n = 0;
        for (const Event& e : events)
            n += e.msg == kSocketMsg && e.wParam == s && e.event == event;
        return n;
    }
    const Event* Find(SOCKET s, long event) const {
        for (const Event& e : events)
            if (e.msg == kSocketMsg && e.wParam == s && e.event == event) return &e;
        return nullptr;
    }

    std::vector<Event> events;

private:
    HWND hwnd_;
};

using testsupport::Pump;
using testsupport::PumpUntil;

sockaddr_in Loopback(uint16_t port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(port);
    return a;
}

// A listening socket on a free loopback port, selected for ws::FD_ACCEPT.
struct Listener {
    explicit Listener(Recorder& r) {
        s = ws::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in a = Loopback(0);
        EXPECT_EQ(ws::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
        EXPECT_EQ(ws::listen(s, 5), 0);
        socklen_t len = sizeof a;
        ws::getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
        port = ntohs(a.sin_port);
        ws::WSAAsyncSelect(s, r.Handle(), kSocketMsg, ws::FD_ACCEPT);
    }
    ~Listener() { ws::closesocket(s); }
    SOCKET s;
    uint16_t port;
};

// The events are raised in rounds, each reporting every armed socket that is ready. This waits for a
// round that begins after the call (it reports a connection to the listener) and handles what it
// raised: an event that should not come and would have, for a socket ready all along, has come by then.
void WaitForARound(Recorder& rec, Listener& listener) {
    const int accepts = rec.Count(listener.s, ws::FD_ACCEPT);
    SOCKET probe = ws::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a = Loopback(listener.port);
    ws::connect(probe, reinterpret_cast<sockaddr*>(&a), sizeof a);
    EXPECT_TRUE(PumpUntil([&] { return rec.Count(listener.s, ws::FD_ACCEPT) > accepts; }));
    ws::closesocket(ws::accept(listener.s, nullptr, nullptr));
    ws::closesocket(probe);
    Pump();
}

class WinsockEvents : public ::testing::Test {
protected:
    // Connects a client selected for every event to the listener and accepts its peer.
    void Connect() {
        client = ws::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        ASSERT_NE(client, ws::INVALID_SOCKET);
        ws::WSAAsyncSelect(client, rec.Handle(), kSocketMsg,
                           ws::FD_READ | ws::FD_WRITE | ws::FD_CONNECT | ws::FD_CLOSE);
        sockaddr_in a = Loopback(listener.port);
        const int r = ws::connect(client, reinterpret_cast<sockaddr*>(&a), sizeof a);
        if (r != 0) {
            EXPECT_EQ(ws::WSAGetLastError(), ws::WSAEWOULDBLOCK);
        }
        ASSERT_TRUE(PumpUntil(
            [&] { return rec.Find(client, ws::FD_CONNECT) && rec.Find(listener.s, ws::FD_ACCEPT); }));
        EXPECT_EQ(rec.Find(client, ws::FD_CONNECT)->error, 0);
        server = ws::accept(listener.s, nullptr, nullptr);
        ASSERT_NE(server, ws::INVALID_SOCKET);
        ws::WSAAsyncSelect(server, rec.Handle(), kSocketMsg, ws::FD_READ | ws::FD_WRITE | ws::FD_CLOSE);
    }
    void TearDown() override {
        if (client != ws::INVALID_SOCKET) ws::closesocket(client);
        if (server != ws::INVALID_SOCKET) ws::closesocket(server);
    }

    Recorder rec;
    Listener listener{rec};
    SOCKET client = ws::INVALID_SOCKET;
    SOCKET server = ws::INVALID_SOCKET;
};

TEST_F(WinsockEvents, ConnectionIsFollowedByOneWriteEventAndDataByOneReadEventPerReceive) {
    Connect();
    ASSERT_TRUE(PumpUntil(
        [&] { return rec.Count(client, ws::FD_WRITE) == 1 && rec.Count(server, ws::FD_WRITE) == 1; }));
    ASSERT_EQ(ws::send(client, "hello", 5, 0), 5);
    ASSERT_TRUE(PumpUntil([&] { return rec.Count(server, ws::FD_READ) == 1; }));
    // Nobody reads: the event is not raised again, however long the data waits.
    WaitForARound(rec, listener);
    EXPECT_EQ(rec.Count(server, ws::FD_READ), 1);
    unsigned long waiting = 0;
    ASSERT_EQ(ws::ioctlsocket(server, FIONREAD, &waiting), 0);
    EXPECT_EQ(waiting, 5u);
    char buf[8];
    ASSERT_EQ(ws::recv(server, buf, 2, 0), 2);
    // Data left after a receive: raised once more.
    ASSERT_TRUE(PumpUntil([&] { return rec.Count(server, ws::FD_READ) == 2; }));
    ASSERT_EQ(ws::recv(server, buf, sizeof buf, 0), 3);
    EXPECT_EQ(std::string(buf, 3), "llo");
    EXPECT_EQ(ws::recv(server, buf, sizeof buf, 0), ws::SOCKET_ERROR);
    EXPECT_EQ(ws::WSAGetLastError(), ws::WSAEWOULDBLOCK);
    WaitForARound(rec, listener);
    EXPECT_EQ(rec.Count(server, ws::FD_READ), 2);
    EXPECT_EQ(rec.Count(client, ws::FD_WRITE), 1);
}

TEST_F(WinsockEvents, PeerCloseComesAfterTheDataAndOnce) {
    Connect();
    ASSERT_EQ(ws::send(server, "bye", 3, 0), 3);
    ASSERT_EQ(ws::closesocket(server), 0);
    server = ws::INVALID_SOCKET;
    ASSERT_TRUE(PumpUntil([&] { return rec.Count(client, ws::FD_READ) == 1; }));
    EXPECT_EQ(rec.Count(client, ws::FD_CLOSE), 0);
    char buf[8];
    ASSERT_EQ(ws::recv(client, buf, sizeof buf, 0), 3);
    ASSERT_TRUE(PumpUntil([&] { return rec.Count(client, ws::FD_CLOSE) == 1; }));
    EXPECT_EQ(rec.Find(client, ws::FD_CLOSE)->error, 0);
    ws::recv(client, buf, sizeof buf, 0);
    WaitForARound(rec, listener);
    EXPECT_EQ(rec.Count(client, ws::FD_CLOSE), 1);
}

TEST_F(WinsockEvents, ResetIsReportedAsCloseWithItsErrorAndSendingToItRaisesNoSignal) {
    Connect();
    linger hard{1, 0};
    ASSERT_EQ(ws::setsockopt(server, SOL_SOCKET, SO_LINGER, &hard, sizeof hard), 0);
    ws::closesocket(server);
    server = ws::INVALID_SOCKET;
    ASSERT_TRUE(PumpUntil([&] { return rec.Count(client, ws::FD_CLOSE) == 1; }));
    EXPECT_EQ(rec.Find(client, ws::FD_CLOSE)->error, ws::WSAECONNRESET);
    // Without MSG_NOSIGNAL this would end the test program.
    std::string block(65536, 'x');
    int result = 0;
    for (int i = 0; i < 4 && result != ws::SOCKET_ERROR; ++i)
        result = ws::send(client, block.data(), static_cast<int>(block.size()), 0);
    EXPECT_EQ(result, ws::SOCKET_ERROR);
    EXPECT_TRUE(ws::WSAGetLastError() == ws::WSAECONNRESET || ws::WSAGetLastError() == ws::WSAESHUTDOWN)
        << ws::WSAGetLastError();
}

TEST_F(WinsockEvents, SendThatWouldBlockRaisesWriteOnceThePeerReads) {
    Connect();
    int small = 4096;
    ws::setsockopt(client, SOL_SOCKET, SO_SNDBUF, &small, sizeof small);
    ASSERT_TRUE(PumpUntil([&] { return rec.Count(client, ws::FD_WRITE) == 1; }));
    // A send that the socket takes raises nothing.
    ASSERT_EQ(ws::send(client, "x", 1, 0), 1);
    WaitForARound(rec, listener);
    EXPECT_EQ(rec.Count(client, ws::FD_WRITE), 1);
    std::string block(65536, 'x');
    while (ws::send(client, block.data(), static_cast<int>(block.size()), 0) != ws::SOCKET_ERROR) {
    }
    ASSERT_EQ(ws::WSAGetLastError(), ws::WSAEWOULDBLOCK);
    // The partial sends before the refusal armed the event too: at least one more comes.
    std::vector<char> sink(1 << 20);
    ASSERT_TRUE(PumpUntil([&] {
        ws::recv(server, sink.data(), static_cast<int>(sink.size()), 0);
        return rec.Count(client, ws::FD_WRITE) >= 2;
    }));
}

TEST(Winsock, RefusedConnectEndsInConnectEventWithTheErrorAndNoClose) {
    Recorder rec;
    Listener listener(rec);
    SOCKET probe = ws::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a = Loopback(0);
    ws::bind(probe, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    ws::getsockname(probe, reinterpret_cast<sockaddr*>(&a), &len);
    ws::closesocket(probe); // a port nobody listens on

    SOCKET s = ws::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    ws::WSAAsyncSelect(s, rec.Handle(), kSocketMsg,
                       ws::FD_READ | ws::FD_WRITE | ws::FD_CONNECT | ws::FD_CLOSE);
    ws::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ASSERT_TRUE(PumpUntil([&] { return rec.Find(s, ws::FD_CONNECT) != nullptr; }));
    EXPECT_EQ(rec.Find(s, ws::FD_CONNECT)->error, ws::WSAECONNREFUSED);
    WaitForARound(rec, listener);
    EXPECT_EQ(
        std::count_if(rec.events.begin(), rec.events.end(), [&](const Event& e) { return e.wParam == s; }),
        1);
    ws::closesocket(s);
}

TEST(Winsock, SocketsAreSerialNumbersNeverReusedAndStaleOnesAreRefused) {
    const size_t before = ws::OpenSocketCount();
    SOCKET a = ws::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    ASSERT_EQ(ws::closesocket(a), 0);
    SOCKET b = ws::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    EXPECT_NE(a, b);
    EXPECT_EQ(ws::closesocket(a), ws::SOCKET_ERROR);
    EXPECT_EQ(ws::WSAGetLastError(), ws::WSAENOTSOCK);
    EXPECT_EQ(ws::send(a, "x", 1, 0), ws::SOCKET_ERROR);
    EXPECT_EQ(ws::OpenSocketCount(), before + 1);
    ws::closesocket(b);
    EXPECT_EQ(ws::OpenSocketCount(), before);
}

TEST(Winsock, LookupsPostTheirOutcomeAndCancelledOnesPostNothing) {
    Recorder rec;
    ws::TaskHandle found = ws::WSAAsyncGetHostByName(rec.Handle(), kLookupMsg, "localhost");
    ws::TaskHandle missing = ws::WSAAsyncGetHostByName(rec.Handle(), kLookupMsg, "no-such-host.invalid");
    ws::TaskHandle reverse =
        ws::WSAAsyncGetHostByAddr(rec.Handle(), kLookupMsg, in_addr{htonl(INADDR_LOOPBACK)});
    ws::TaskHandle cancelled = ws::WSAAsyncGetHostByName(rec.Handle(), kLookupMsg, "localhost");
    ASSERT_NE(found, 0u);
    // A lookup of localhost may already have ended before the cancel; then its outcome is posted.
    bool cancelledInTime = ws::WSACancelAsyncRequest(cancelled) == 0;
    ASSERT_TRUE(PumpUntil([&] { return rec.events.size() >= (cancelledInTime ? 3u : 4u); }));
    // A lookup whose worker has ended has posted what it posts.
    ASSERT_TRUE(PumpUntil([] { return ws::RunningLookupCount() == 0; }));
    Pump();
    ws::HostEntry entry;
    for (const Event& e : rec.events) {
        if (cancelledInTime) {
            EXPECT_NE(e.wParam, cancelled);
        }
        if (e.wParam == found) {
            EXPECT_EQ(e.error, 0);
            ASSERT_TRUE(ws::WSATakeHostEntry(found, entry));
            ASSERT_FALSE(entry.addresses.empty());
            EXPECT_EQ(entry.addresses[0].s_addr, htonl(INADDR_LOOPBACK));
            EXPECT_FALSE(ws::WSATakeHostEntry(found, entry));
        } else if (e.wParam == missing) {
            EXPECT_EQ(e.error, ws::WSAHOST_NOT_FOUND);
        } else if (e.wParam == reverse) {
            EXPECT_EQ(e.error, 0);
            ASSERT_TRUE(ws::WSATakeHostEntry(reverse, entry));
            EXPECT_FALSE(entry.name.empty());
        }
    }
    EXPECT_EQ(ws::WSACancelAsyncRequest(cancelled), ws::SOCKET_ERROR);
}

TEST(SocketResolve, DottedAddressesAndDecimalValues) {
    struct Case {
        const char* text;
        bool dotted;
    } cases[] = {
        {"127.0.0.1", true},
        {"  10.1.2.3  ", true},
        {"255.255.255.255", true},
        {"1.2.3", false},
        {"1.2.3.256", false},
        {"1..2.3", false},
        {".1.2.3", false},
        {"1.2.3.4x", false},
        {"1.2.3.4.", false},
        {"1.2.3.4.5", false},
        {"999999999999999999.1.1.1", false},
        {"1.2.3.99999999999999999999", false},
        {"", false},
        {"1.2.3. 4", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsDottedAddress(c.text), c.dotted) << c.text;
    EXPECT_EQ(DecimalValue("  21abc"), 21);
    EXPECT_EQ(DecimalValue("x1"), 0);
    EXPECT_EQ(DecimalValue("99999999999999999999"), 2147483647);
}

TEST(SocketResolve, PortsProtocolsAndHostsWithTheirErrorTexts) {
    EXPECT_EQ(WSocketResolvePort("21abc", "tcp"), 21);
    EXPECT_EQ(WSocketResolvePort("ftp", "tcp"), 21);
    EXPECT_EQ(WSocketResolvePort("65535", "tcp"), 65535);
    EXPECT_EQ(WSocketResolveProto("tcp"), 6);
    EXPECT_EQ(WSocketResolveProto("17"), 17);
    EXPECT_EQ(WSocketResolveHost(" 127.0.0.1 "), htonl(INADDR_LOOPBACK));
    EXPECT_EQ(WSocketResolveHost("255.255.255.255"), 0xFFFFFFFFu);
    EXPECT_EQ(WSocketResolveHost("localhost"), htonl(INADDR_LOOPBACK));
    // Leading zeros are octal, as the classic call reads them.
    EXPECT_EQ(WSocketResolveHost("010.0.0.1"), htonl(0x08000001));

    using testsupport::ThrownMessage;
    struct Case {
        std::function<void()> call;
        std::string text;
    } cases[] = {
        {[] { WSocketResolvePort("", "tcp"); }, "WSocketResolvePort: Invalid Port."},
        {[] { WSocketResolvePort("70000", "tcp"); }, "WSocketResolvePort: Invalid Port."},
        {[] { WSocketResolvePort(std::string(32, '1'), "tcp"); }, "WSocketResolvePort: Invalid Port."},
        {[] { WSocketResolvePort("nosuchservice", "tcp"); },
         "WSocketResolvePort: Cannot convert port 'nosuchservice', Error #11004"},
        {[] { WSocketResolveProto(""); }, "WSocketResolveProto: Invalid Protocol."},
        {[] { WSocketResolveProto("nosuchproto"); },
         "WSocketResolveProto: Cannot convert protocol 'nosuchproto', Error #11004"},
        {[] { WSocketResolveHost(""); }, "WSocketResolveHost: '' Invalid Hostname."},
        {[] { WSocketResolveHost(std::string(257, 'a')); },
         "WSocketResolveHost: '" + std::string(257, 'a') + "' Invalid Hostname."},
        // 256 characters fit no fixed buffer here: the name is simply not found.
        {[] { WSocketResolveHost(std::string(256, 'a')); },
         "WSocketResolveHost: Cannot convert host address '" + std::string(256, 'a') + "', Error #11001"},
        {[] { WSocketResolveHost("no-such-host.invalid"); },
         "WSocketResolveHost: Cannot convert host address 'no-such-host.invalid', Error #11001"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ThrownMessage<ESocketException>(c.call), c.text);
}

TEST(SocketErrors, TextsAndErrnoCodes) {
    EXPECT_EQ(WinsockErrorText(0), "No Error");
    EXPECT_EQ(WinsockErrorText(10054), "Connection reset by peer");
    EXPECT_EQ(WinsockErrorText(10058), "Can't send after socket shutdown");
    EXPECT_EQ(WinsockErrorText(11001), "Host not found");
    EXPECT_EQ(WinsockErrorText(12345), "Not a WinSock error");
    EXPECT_EQ(ws::WSAErrorFromErrno(ECONNREFUSED), ws::WSAECONNREFUSED);
    EXPECT_EQ(ws::WSAErrorFromErrno(EAGAIN), ws::WSAEWOULDBLOCK);
    EXPECT_EQ(ws::WSAErrorFromErrno(EPIPE), ws::WSAESHUTDOWN);
}

} // namespace
