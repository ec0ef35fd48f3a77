// The SOCKS layer: the handshake's bytes and replies, then real connections through microsocks,
// dante and a scripted proxy (SOCKS 4A success, split and merged replies, broken ones).
#include "daemon_peer.h"
#include "ftp/line_wsocket.h"
#include "ftp/socks_handshake.h"
#include "ftp_test_env.h"
#include "tests/support/thrown_message.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <memory>

using ftptest::PumpFor;
using ftptest::PumpUntil;
using testsupport::ThrownMessage;

namespace {

std::string Bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values)
        s += static_cast<char>(v);
    return s;
}

socks::Request Request(const std::string& level, bool auth = false) {
    socks::Request r;
    r.level = level;
    r.authenticate = auth;
    r.usercode = "alice";
    r.password = "wonder";
    r.host = "ftp.example";
    r.port = 21;
    r.address = htonl(0x7F000001);
    return r;
}

// Feeds the reply to a fresh handshake one byte at a time, as a slow proxy would.
socks::Outcome FeedByBytes(socks::Handshake& h, const std::string& reply) {
    socks::Outcome last;
    for (char c : reply) {
        last = h.Take(&c, 1);
        if (last.failCode || last.connected || !last.send.empty()) break;
    }
    return last;
}

TEST(SocksHandshake, RequestsCarryTheBytesEachLevelDefines) {
    socks::Handshake h;
    h.Begin(Request("4"));
    EXPECT_EQ(h.Start().send, Bytes({4, 1, 0, 21, 127, 0, 0, 1}) + "alice" + Bytes({0}));
    auto named = Request("4A");
    named.usercode.clear();
    h.Begin(named);
    EXPECT_EQ(h.Start().send, Bytes({4, 1, 0, 21, 0, 0, 0, 1, 0}) + "ftp.example" + Bytes({0}));
    h.Begin(Request("5", true));
    EXPECT_EQ(h.Start().send, Bytes({5, 1, 2}));
    auto auth = h.Take("\x05\x02", 2);
    EXPECT_EQ(auth.send, Bytes({1, 5}) + "alice" + Bytes({6}) + "wonder");
    auto connect = h.Take("\x01\x00", 2);
    // A dotted address goes out as a name too.
    EXPECT_EQ(connect.send, Bytes({5, 1, 0, 3, 11}) + "ftp.example" + Bytes({0, 21}));
    EXPECT_EQ(connect.auth.size(), 1u);
}

TEST(SocksHandshake, RepliesEndInTheirCodesWhateverTheirSplit) {
    struct Case {
        const char* name;
        std::string level;
        bool auth;
        std::string reply;
        int code;
        std::string text;
    } cases[] = {
        {"5 method refused", "5", false, Bytes({5, 0xFF}), 20003, "authentification method not acceptable"},
        {"5 version", "5", false, Bytes({4, 0}), 20002, "socks version error"},
        {"5 auth refused", "5", true, Bytes({5, 2, 1, 1}), 20015, "socks authentication failed"},
        {"5 auth version", "5", true, Bytes({5, 2, 2, 0}), 20002, "socks version error"},
        {"5 refused", "5", false, Bytes({5, 0, 5, 5, 0, 1, 0, 0, 0, 0, 0, 0}), 20008, "connection refused"},
        {"5 ruleset", "5", false, Bytes({5, 0, 5, 2}), 20005, "connection not allowed by ruleset"},
        {"5 unassigned", "5", false, Bytes({5, 0, 5, 9}), 20012, "unassigned error #9"},
        {"5 address type", "5", false, Bytes({5, 0, 5, 0, 0, 4, 0}), 20011, "address type not supported"},
        {"4 rejected", "4", false, Bytes({0, 91, 0, 0, 0, 0, 0, 0}), 20016, "request rejected or failed"},
        {"4 refused", "4", false, Bytes({0, 92, 0, 0, 0, 0, 0, 0}), 20008, "connection refused"},
        {"4 auth", "4A", false, Bytes({0, 93, 0, 0, 0, 0, 0, 0}), 20015, "authentification failed"},
        {"4 other", "4", false, Bytes({0, 7, 0, 0, 0, 0, 0, 0}), 20012, "unassigned error #7"},
        {"4 version", "4", false, Bytes({4, 90, 0, 0, 0, 0, 0, 0}), 20002, "socks version error"},
        {"5 ok", "5", false, Bytes({5, 0, 5, 0, 0, 1, 1, 2, 3, 4, 0, 21}), 0, ""},
        {"4 ok", "4", false, Bytes({0, 90, 0, 0, 0, 0, 0, 0}), 0, ""},
    };
    for (const Case& c : cases) {
        for (bool split : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (split ? " split" : " whole"));
            socks::Handshake h;
            h.Begin(Request(c.level, c.auth));
            h.Start();
            socks::Outcome out;
            if (split) {
                std::string rest = c.reply;
                while (!rest.empty() && !out.failCode && !out.connected) {
                    const size_t n = std::min(h.Wanted(), size_t{1});
                    out = h.Take(rest.data(), n);
                    rest.erase(0, n);
                }
            } else {
                // A whole reply still arrives in the pieces the proxy sends: method, auth, connect.
                std::string rest = c.reply;
                while (!rest.empty() && !out.failCode && !out.connected) {
                    const size_t piece = h.CurrentPhase() == socks::Phase::Connecting ? rest.size() : 2;
                    out = h.Take(rest.data(), std::min({piece, rest.size(), h.Wanted()}));
                    rest.erase(0, std::min({piece, rest.size(), h.Wanted()}));
                }
            }
            EXPECT_EQ(out.failCode, c.code);
            EXPECT_EQ(out.failText, c.text);
            EXPECT_EQ(out.connected, c.code == 0);
        }
    }
}

TEST(SocksHandshake, ALongNamedReplyCompletesAndTheBytesAfterItAreKept) {
    socks::Handshake h;
    h.Begin(Request("5"));
    h.Start();
    h.Take("\x05\x00", 2);
    const std::string reply = Bytes({5, 0, 0, 3, 255}) + std::string(255, 'h') + Bytes({0, 21}) + "hello";
    ASSERT_EQ(reply.size(), 262u + 5);
    auto out = h.Take(reply.data(), std::min(reply.size(), h.Wanted()));
    ASSERT_TRUE(out.connected);
    EXPECT_EQ(out.leftover, "");
    EXPECT_EQ(FeedByBytes(h, "x").failCode, 20013); // nothing more is expected once connected
}

TEST(SocksHandshake, TextsTooLongForTheirLengthByteAreRefusedBeforeSending) {
    socks::Handshake h;
    auto longUser = Request("5", true);
    longUser.usercode = std::string(256, 'u');
    h.Begin(longUser);
    h.Start();
    auto out = h.Take("\x05\x02", 2);
    EXPECT_EQ(out.failCode, 20013);
    EXPECT_TRUE(out.send.empty());
    auto longHost = Request("5");
    longHost.host = std::string(256, 'h');
    h.Begin(longHost);
    h.Start();
    out = h.Take("\x05\x00", 2);
    EXPECT_EQ(out.failCode, 20013);
    EXPECT_TRUE(out.send.empty());
}

// An echoing destination in the program, reached through the proxy.
class Destination {
public:
    Destination() {
        listener.SetAddr("127.0.0.1");
        listener.SetPort("0");
        listener.OnSessionAvailable = [this](TObject*, WORD) {
            auto peer = std::make_unique<TWSocket>(nullptr);
            TWSocket* p = peer.get();
            p->OnDataAvailable = [p](TObject*, WORD) { p->SendStr(p->ReceiveStr()); };
            p->Dup(listener.Accept());
            peers.push_back(std::move(peer));
        };
        listener.Listen();
    }
    std::string Port() { return listener.GetLocalPortText(); }

    TWSocket listener{nullptr};
    std::vector<std::unique_ptr<TWSocket>> peers;
};

class SocksConnect : public ::testing::Test {
public:
    void SetUp() override {
        sock.OnSessionConnected = [this](TObject*, WORD Error) { connected.push_back(Error); };
        sock.OnSessionClosed = [this](TObject*, WORD Error) { closed.push_back(Error); };
        sock.OnSocksError = [this](TObject*, int Error, const std::string& Msg) {
            socksErrors.push_back(Error);
            socksText = Msg;
        };
        sock.OnSocksAuthState = [this](TObject*, TSocksAuthState s) { authStates.push_back(s); };
        sock.OnDataAvailable = [this](TObject*, WORD) { received += sock.ReceiveStr(); };
    }
    // Connects through the proxy at port to the destination; the outcome is in connected.
    void Connect(int proxyPort, const std::string& level, const std::string& port,
                 const std::string& addr = "127.0.0.1") {
        connected.clear();
        closed.clear();
        sock.SetSocksServer("127.0.0.1");
        sock.SetSocksPort(std::to_string(proxyPort));
        sock.SetSocksLevel(level);
        sock.SetAddr(addr);
        sock.SetPort(port);
        sock.Connect();
        ASSERT_TRUE(PumpUntil([&] { return !connected.empty(); }));
    }
    void ExpectEcho() {
        received.clear();
        sock.SendStr("ping\r\n");
        ASSERT_TRUE(PumpUntil([&] { return received.find("ping\r\n") != std::string::npos; }));
    }
    void ExpectFailure(int code) {
        ASSERT_EQ(connected.size(), 1u);
        EXPECT_EQ(connected[0], code);
        ASSERT_EQ(socksErrors.size(), 1u);
        EXPECT_EQ(socksErrors[0], code);
        ASSERT_TRUE(PumpUntil([&] { return !closed.empty(); }));
        EXPECT_EQ(sock.State(), wsClosed);
    }

    TWSocket sock{nullptr};
    Destination destination;
    std::vector<WORD> connected;
    std::vector<WORD> closed;
    std::vector<int> socksErrors;
    std::string socksText;
    std::vector<TSocksAuthState> authStates;
    std::string received;
};

TEST_F(SocksConnect, MicrosocksWithAndWithoutPassword) {
    ftptest::Microsocks open;
    ASSERT_TRUE(open.Running()) << "microsocks did not start";
    Connect(open.Port(), "5", destination.Port());
    ASSERT_EQ(connected[0], 0);
    ExpectEcho();
    sock.Close();

    ftptest::Microsocks locked("alice", "wonder");
    ASSERT_TRUE(locked.Running());
    // Offering no authentication to a proxy that wants a password.
    Connect(locked.Port(), "5", destination.Port());
    ExpectFailure(20003);
    socksErrors.clear();
    sock.SocksAuthentication = socksAuthenticateUsercode;
    sock.SocksUsercode = "alice";
    sock.SocksPassword = "wrong";
    Connect(locked.Port(), "5", destination.Port());
    ExpectFailure(20015);
    EXPECT_EQ(authStates, (std::vector<TSocksAuthState>{authStarted}));
    socksErrors.clear();
    authStates.clear();
    sock.SocksPassword = "wonder";
    Connect(locked.Port(), "5", destination.Port());
    ASSERT_EQ(connected[0], 0);
    EXPECT_EQ(authStates, (std::vector<TSocksAuthState>{authStarted, authSucceeded}));
    ExpectEcho();
}

TEST_F(SocksConnect, MicrosocksRefusedDestination) {
    ftptest::Microsocks proxy;
    ASSERT_TRUE(proxy.Running());
    const std::string port = destination.Port();
    destination.listener.Close();
    Connect(proxy.Port(), "5", port);
    ExpectFailure(20008);
    EXPECT_EQ(socksText, "connection refused");
}

TEST_F(SocksConnect, DanteSocks4And5AndItsRefusalOf4A) {
    ftptest::Dante proxy;
    ASSERT_TRUE(proxy.Running()) << "dante did not start";
    Connect(proxy.Port(), "4", destination.Port());
    ASSERT_EQ(connected[0], 0);
    ExpectEcho();
    sock.Close();
    Connect(proxy.Port(), "5", destination.Port());
    ASSERT_EQ(connected[0], 0);
    ExpectEcho();
    sock.Close();
    Connect(proxy.Port(), "4A", destination.Port(), "localhost");
    ExpectFailure(20016);
}

TEST_F(SocksConnect, ScriptedProxyAnswers4AAndSplitOrMergedReplies) {
    ftptest::ScriptPeer proxy("socks_peer.py", {"ok"});
    ASSERT_TRUE(proxy.Running());
    sock.SocksUsercode = "bob";
    Connect(proxy.Port(), "4A", "2121", "files.example");
    ASSERT_EQ(connected[0], 0);
    ASSERT_TRUE(PumpUntil([&] { return received.find("\r\n") != std::string::npos; }));
    EXPECT_EQ(received, "REQ 04010849000000016"
                        "2"
                        "6f6200"
                        "66696c65732e6578616d706c6500\r\n");
    sock.Close();

    ftptest::ScriptPeer split("socks_peer.py", {"split"});
    ASSERT_TRUE(split.Running());
    received.clear();
    Connect(split.Port(), "5", "21", "127.0.0.1");
    ASSERT_EQ(connected[0], 0);
    ASSERT_TRUE(PumpUntil([&] { return received.find("\r\n") != std::string::npos; }));
    EXPECT_EQ(received, "REQ 050100030931323"
                        "72e302e302e310015\r\n");
    ExpectEcho();
    sock.Close();

    // The first data comes in the same packet as a reply that fills the whole reply buffer.
    ftptest::ScriptPeer merged("socks_peer.py", {"longname"});
    ASSERT_TRUE(merged.Running());
    received.clear();
    std::string firstData;
    sock.OnSessionConnected = [&](TObject*, WORD Error) {
        connected.push_back(Error);
        firstData = sock.ReceiveStr();
    };
    Connect(merged.Port(), "5", "21");
    ASSERT_EQ(connected[0], 0);
    EXPECT_EQ(firstData.rfind("REQ 0501", 0), 0u) << firstData;
}

TEST_F(SocksConnect, BrokenProxiesEndTheConnectWithTheirCodes) {
    ftptest::ScriptPeer badVersion("socks_peer.py", {"badver"});
    ftptest::ScriptPeer hangup("socks_peer.py", {"hangup"});
    ASSERT_TRUE(badVersion.Running() && hangup.Running());
    Connect(badVersion.Port(), "5", "21");
    ExpectFailure(20002);
    socksErrors.clear();
    Connect(hangup.Port(), "5", "21");
    ExpectFailure(20001);
}

TEST_F(SocksConnect, SettingsStayAfterACloseSoTheNextConnectionUsesTheProxyToo) {
    ftptest::ScriptPeer proxy("socks_peer.py", {"ok"});
    ASSERT_TRUE(proxy.Running());
    Connect(proxy.Port(), "5", "21");
    sock.Close();
    EXPECT_EQ(sock.SocksServer(), "127.0.0.1");
    EXPECT_EQ(sock.SocksLevel(), "5");
    received.clear();
    connected.clear();
    sock.SetAddr("127.0.0.1");
    sock.SetPort("21");
    sock.Connect();
    ASSERT_TRUE(PumpUntil([&] { return received.rfind("REQ ", 0) == 0; }));
    EXPECT_EQ(ThrownMessage<ESocketException>([&] { sock.SetSocksLevel("6"); }),
              "Can't change socks level if not closed");
    sock.Close();
    EXPECT_EQ(ThrownMessage<ESocketException>([&] { sock.SetSocksLevel("6"); }),
              "Invalid socks level. Must be 4, 4A or 5.");
    sock.SetSocksLevel("4a");
    EXPECT_EQ(sock.SocksLevel(), "4A");
    EXPECT_EQ(ThrownMessage<ESocketException>([&] { sock.Listen(); }),
              "Listening is not supported thru socks server");
}

} // namespace
