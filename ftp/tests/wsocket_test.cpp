// The asynchronous socket and its line and waiting layers against real loopback connections: a
// listening TWSocket in the same program is the peer.
#include "ftp/line_wsocket.h"
#include "ftp_test_env.h"
#include "platform/gui/message_loop.h"
#include "tests/support/thrown_message.h"

#include <arpa/inet.h>
#include <chrono>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using ftptest::Pump;
using ftptest::PumpUntil;
using ftptest::WaitUntil;
using testsupport::ThrownMessage;

namespace {

// A listening socket that takes one connection into Peer, collecting what arrives.
class Server {
public:
    Server() {
        listener.SetAddr("127.0.0.1");
        listener.SetPort("0");
        listener.OnSessionAvailable = [this](TObject*, WORD) {
            peer = std::make_unique<TWSocket>(nullptr);
            peer->OnDataAvailable = [this](TObject*, WORD) { received += peer->ReceiveStr(); };
            peer->OnSessionClosed = [this](TObject*, WORD Error) {
                ++closes;
                closeError = Error;
            };
            peer->Dup(listener.Accept());
        };
        listener.Listen();
    }
    std::string Port() { return listener.GetLocalPortText(); }

    TWSocket listener{nullptr};
    std::unique_ptr<TWSocket> peer;
    std::string received;
    int closes = 0;
    WORD closeError = 0;
};

class WSocketTest : public ::testing::Test {
public:
    void SetUp() override {
        client.OnSessionConnected = [this](TObject*, WORD Error) { connected.push_back(Error); };
        client.OnSessionClosed = [this](TObject*, WORD Error) { closed.push_back(Error); };
        client.OnDataSent = [this](TObject*, WORD) { ++dataSent; };
        client.OnDataAvailable = [this](TObject*, WORD) { received += client.ReceiveStr(); };
    }
    void Connect() {
        connected.clear();
        client.SetAddr("127.0.0.1");
        client.SetPort(server.Port());
        client.Connect();
        ASSERT_TRUE(PumpUntil([&] { return !connected.empty() && server.peer; }));
        ASSERT_EQ(connected[0], 0);
        ASSERT_EQ(client.State(), wsConnected);
    }

    Server server;
    TWSocket client{nullptr};
    std::vector<WORD> connected;
    std::vector<WORD> closed;
    int dataSent = 0;
    std::string received;
};

TEST_F(WSocketTest, DataSentFiresFromTheLoopAfterSendHasReturned) {
    Connect();
    ASSERT_TRUE(PumpUntil([&] { return dataSent == 1; })); // Winsock's write event after connecting
    dataSent = 0;
    EXPECT_EQ(client.SendStr("hello"), 5);
    EXPECT_EQ(dataSent, 0);
    ASSERT_TRUE(PumpUntil([&] { return server.received == "hello"; }));
    ASSERT_TRUE(PumpUntil([&] { return dataSent == 1; }));
    server.peer->SendStr("back");
    ASSERT_TRUE(PumpUntil([&] { return received == "back"; }));
    EXPECT_EQ(client.GetPeerAddr(), "127.0.0.1");
    EXPECT_EQ(client.GetPeerPort(), server.Port());
}

TEST_F(WSocketTest, ASendLargerThanTheSocketTakesGoesOutWholeThroughPartialSends) {
    Connect();
    ASSERT_TRUE(PumpUntil([&] { return dataSent == 1; }));
    dataSent = 0;
    client.SendChunkSize = 1 << 20;
    const std::string block(24 << 20, 'q');
    client.SendStr(block);
    ASSERT_TRUE(PumpUntil([&] { return server.received.size() == block.size() && dataSent == 1; }, 60000))
        << server.received.size();
}

TEST_F(WSocketTest, CloseIsReportedOnceWhicheverSideEndsTheConnection) {
    struct Case {
        const char* name;
        std::function<void(WSocketTest&)> end;
        WORD error;
    } cases[] = {
        {"own close", [](WSocketTest& t) { t.client.Close(); }, 0},
        {"peer close", [](WSocketTest& t) { t.server.peer->Close(); }, 0},
        {"peer reset", [](WSocketTest& t) { t.server.peer->Abort(); }, winsock::WSAECONNRESET},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        connected.clear();
        closed.clear();
        server.peer.reset();
        Connect();
        c.end(*this);
        // A socket that is closed gets no more events: what is queued for it is all that comes.
        ASSERT_TRUE(
            PumpUntil([&] { return !closed.empty() && client.HSocket() == winsock::INVALID_SOCKET; }));
        Pump();
        ASSERT_EQ(closed.size(), 1u);
        EXPECT_EQ(closed[0], c.error);
        EXPECT_EQ(client.State(), wsClosed);
        EXPECT_EQ(client.HSocket(), winsock::INVALID_SOCKET);
    }
}

TEST_F(WSocketTest, AClosedSocketNeedsAddrAndPortSetAgainAndRefusesChangesWhileOpen) {
    Connect();
    client.SetPort(server.Port()); // the same text while connected: nothing happens
    EXPECT_EQ(ThrownMessage<ESocketException>([&] { client.SetPort("21"); }),
              "Cannot change Port if not closed");
    EXPECT_EQ(ThrownMessage<ESocketException>([&] { client.SetAddr("10.0.0.1"); }),
              "Cannot change Addr if not closed");
    EXPECT_EQ(ThrownMessage<ESocketException>([&] { client.Connect(); }), "Connect: Socket already in use");
    client.Close();
    EXPECT_EQ(ThrownMessage<ESocketException>([&] { client.Connect(); }), "Connect: No Port Specified");
    client.SetPort(server.Port());
    EXPECT_EQ(ThrownMessage<ESocketException>([&] { client.Connect(); }), "Connect: No IP Address Specified");
    client.SetAddr("127.0.0.1");
    connected.clear();
    client.Connect();
    EXPECT_TRUE(PumpUntil([&] { return !connected.empty(); }));
}

TEST_F(WSocketTest, FailuresCarryTheirTextsOrOnlyCallOnError) {
    const std::string notConnected = "Error 10057 in function Send\r\nSocket is not connected";
    EXPECT_EQ(ThrownMessage<ESocketException>([&] { client.SendStr("x"); }), notConnected);
    client.SetAddr("127.0.0.1");
    client.SetPort("70000");
    EXPECT_EQ(ThrownMessage<ESocketException>([&] { client.Connect(); }),
              "connect: WSocketResolvePort: Invalid Port.");
    client.SetPort("0");
    EXPECT_EQ(ThrownMessage<ESocketException>([&] { client.Connect(); }),
              "connect: WSocketResolvePort: Invalid Port.");
    EXPECT_EQ(ThrownMessage<ESocketException>([&] { client.SetLocalAddr("1.2.3.x"); }),
              "SetLocalAddr(): Invalid IP address");
    int errors = 0;
    client.OnError = [&](TObject*) { ++errors; };
    EXPECT_EQ(client.SendStr("x"), -1);
    EXPECT_EQ(client.LastError(), winsock::WSAENOTCONN);
    EXPECT_EQ(errors, 1);
}

TEST_F(WSocketTest, RefusedConnectReportsTheErrorThenOneClose) {
    // A port held by a socket that does not listen: refused, and nobody else can take it meanwhile.
    winsock::SOCKET tcp = winsock::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    ASSERT_EQ(winsock::bind(tcp, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    winsock::getsockname(tcp, reinterpret_cast<sockaddr*>(&a), &len);
    const std::string port = std::to_string(ntohs(a.sin_port));
    client.SetAddr("127.0.0.1");
    client.SetPort(port);
    client.Connect();
    ASSERT_TRUE(PumpUntil([&] { return !closed.empty(); }));
    ASSERT_EQ(connected.size(), 1u);
    EXPECT_EQ(connected[0], winsock::WSAECONNREFUSED);
    ASSERT_TRUE(PumpUntil([&] { return client.HSocket() == winsock::INVALID_SOCKET; }));
    Pump();
    EXPECT_EQ(closed.size(), 1u);
    EXPECT_EQ(client.State(), wsClosed);
    winsock::closesocket(tcp);
}

TEST_F(WSocketTest, LookupOfADottedAddressEndsBeforeTheCallReturnsAndNamesEndFromTheLoop) {
    std::vector<WORD> done;
    client.OnDnsLookupDone = [&](TObject*, WORD Error) { done.push_back(Error); };
    client.DnsLookup("127.0.0.1");
    ASSERT_EQ(done.size(), 1u);
    EXPECT_EQ(done[0], 0);
    EXPECT_EQ(client.DnsResult(), "127.0.0.1");
    client.DnsLookup("localhost");
    EXPECT_EQ(done.size(), 1u);
    ASSERT_TRUE(PumpUntil([&] { return done.size() == 2; }));
    EXPECT_EQ(client.DnsResult(), "127.0.0.1");
    client.DnsLookup("no-such-host.invalid");
    ASSERT_TRUE(PumpUntil([&] { return done.size() == 3; }));
    EXPECT_EQ(done[2], winsock::WSAHOST_NOT_FOUND);
    client.DnsLookup("localhost");
    client.CancelLookup();
    ASSERT_EQ(done.size(), 4u);
    EXPECT_EQ(done[3], winsock::WSAEINTR);
    // Once the lookup's worker has ended, whatever it posted is queued.
    ASSERT_TRUE(PumpUntil([] { return winsock::RunningLookupCount() == 0; }));
    Pump();
    EXPECT_EQ(done.size(), 4u);
    // A cancel that comes after the lookup has ended (its message not yet handled) still ends it as
    // cancelled, once, instead of failing and losing the lookup's end.
    client.DnsLookup("localhost");
    ASSERT_TRUE(WaitUntil([] { return winsock::RunningLookupCount() == 0; }));
    MSG queued;
    ASSERT_TRUE(
        PeekMessage(queued, client.Handle(), WM_ASYNCGETHOSTBYNAME, WM_ASYNCGETHOSTBYNAME, PM_NOREMOVE));
    client.CancelLookup();
    ASSERT_EQ(done.size(), 5u);
    EXPECT_EQ(done[4], winsock::WSAEINTR);
    Pump();
    EXPECT_EQ(done.size(), 5u);
    EXPECT_EQ(ThrownMessage<ESocketException>([&] { client.DnsLookup(""); }),
              "DNS lookup: invalid host name.");
}

TEST_F(WSocketTest, ACloseSendsEverythingQueuedAndAnAbortResetsThePeer) {
    Connect();
    const std::string block(2 << 20, 'z');
    client.SendStr(block);
    client.Close();
    ASSERT_TRUE(PumpUntil([&] { return server.closes == 1; }));
    EXPECT_EQ(server.received.size(), block.size());
    EXPECT_EQ(server.closeError, 0);

    server.peer.reset();
    server.received.clear();
    server.closes = 0;
    Connect();
    client.Abort();
    ASSERT_TRUE(PumpUntil([&] { return server.closes == 1; }));
    EXPECT_EQ(server.closeError, winsock::WSAECONNRESET);
}

TEST_F(WSocketTest, FlushReturnsOnceAllIsSentAndWaitForCloseOnceThePeerHasClosed) {
    Connect();
    const std::string block(24 << 20, 'f');
    client.SendStr(block);
    EXPECT_FALSE(client.AllSent()) << "more than the socket takes at once";
    client.Flush();
    EXPECT_TRUE(client.AllSent());
    ASSERT_TRUE(PumpUntil([&] { return server.received.size() == block.size(); }));
    server.peer->SendStr("last");
    server.peer->Close();
    client.WaitForClose();
    EXPECT_EQ(client.State(), wsClosed);
    EXPECT_EQ(received, "last");
}

TEST_F(WSocketTest, AHandlerThatReadsNothingIsNotCalledInALoop) {
    Connect();
    int calls = 0;
    bool read = false;
    server.peer->OnDataAvailable = [&](TObject*, WORD) {
        ++calls;
        if (read) server.received += server.peer->ReceiveStr();
    };
    client.SendStr("waiting");
    ASSERT_TRUE(PumpUntil([&] { return calls == 1; }));
    // The sockets' events are raised in rounds, each reporting every armed socket that is ready: the
    // round that reports the client's data would report the unread data again if it were armed.
    server.peer->SendStr("marker");
    ASSERT_TRUE(PumpUntil([&] { return received == "marker"; }));
    Pump();
    EXPECT_EQ(calls, 1);
    // The data waits for the next Receive, which arms the event again.
    read = true;
    server.received = server.peer->ReceiveStr();
    client.SendStr("!");
    ASSERT_TRUE(PumpUntil([&] { return server.received == "waiting!"; }));
}

TEST_F(WSocketTest, AnExceptionInAHandlerReachesOnBgExceptionAndAbortsByDefault) {
    Connect();
    std::string seen;
    client.OnBgException = [&](TObject*, const std::exception& E, bool&) { seen = E.what(); };
    client.OnDataAvailable = [](TObject*, WORD) { throw ESocketException("handler failed"); };
    server.peer->SendStr("x");
    ASSERT_TRUE(PumpUntil([&] { return !seen.empty(); }));
    EXPECT_EQ(seen, "handler failed");
    EXPECT_EQ(client.State(), wsClosed);
    PostMessage(client.Handle(), WM_TRIGGER_EXCEPTION, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return seen == "Test exception in WSocket"; }));
}

// Line mode: the server's peer collects lines; the client sends the bytes.
class LineModeTest : public WSocketTest {
protected:
    void SetUp() override {
        WSocketTest::SetUp();
        Connect();
        server.peer->SetLineMode(true);
        server.peer->OnDataAvailable = [this](TObject*, WORD) {
            char buf[64];
            const int n = server.peer->Receive(buf, readSize);
            if (n > 0) pieces.emplace_back(buf, static_cast<size_t>(n));
        };
    }
    void Send(const std::string& bytes, size_t pieceCount) {
        client.SendStr(bytes);
        ASSERT_TRUE(PumpUntil([&] { return pieces.size() >= pieceCount; }));
    }

    int readSize = 64;
    std::vector<std::string> pieces;
};

TEST_F(LineModeTest, ATerminatorSplitBetweenReadsEndsTheLine) {
    client.SendStr("ab\r");
    ASSERT_TRUE(PumpUntil([&] { return server.peer->ReadCount() == 3; }));
    EXPECT_TRUE(pieces.empty());
    Send("\ncd\r\n", 2);
    EXPECT_EQ(pieces, (std::vector<std::string>{"ab\r\n", "cd\r\n"}));
}

TEST_F(LineModeTest, AHandlerReadingPartOfALineIsCalledUntilItIsRead) {
    readSize = 3;
    Send("0123456789", 0);
    Send("\r\n", 4);
    EXPECT_EQ(pieces, (std::vector<std::string>{"012", "345", "678", "9\r\n"}));
}

TEST_F(LineModeTest, LinesWithoutAHandlerAreDroppedAndTheRestComesAtClose) {
    server.peer->OnDataAvailable = nullptr;
    client.SendStr("dropped\r\n");
    ASSERT_TRUE(PumpUntil([&] { return server.peer->ReadCount() == 9; }));
    server.peer->OnDataAvailable = [this](TObject*, WORD) { pieces.push_back(server.peer->ReceiveStr()); };
    client.SendStr("kept\r\nunterminated");
    client.Close();
    ASSERT_TRUE(PumpUntil([&] { return server.closes == 1; }));
    EXPECT_EQ(pieces, (std::vector<std::string>{"kept\r\n", "unterminated"}));
}

TEST_F(LineModeTest, AnOverLongLineFiresOnLineTooLongAndIsDroppedToItsEnd) {
    server.peer->LineLimit = 1000;
    int tooLong = 0;
    server.peer->OnLineTooLong = [&](TObject*) { ++tooLong; };
    client.SendStr(std::string(5000, 'x'));
    ASSERT_TRUE(PumpUntil([&] { return tooLong == 1; }));
    Send(std::string(3000, 'y') + "\r\nnext\r\n", 1);
    EXPECT_EQ(tooLong, 1);
    EXPECT_EQ(pieces, (std::vector<std::string>{"next\r\n"}));
}

TEST_F(LineModeTest, EditingExpandsTabsAndAppliesBackspacesWithEcho) {
    server.peer->LineEdit = true;
    server.peer->LineEcho = true;
    Send("ab\x08"
         "c\td\r\n",
         1);
    EXPECT_EQ(pieces[0], "ac      d\r\n");
    ASSERT_TRUE(PumpUntil([&] { return received.size() >= 11; }));
    EXPECT_EQ(received, "ab\x08 \x08"
                        "c      d\r\n");
    // Tabs enough to expand far past what was read: the buffer grows for them.
    pieces.clear();
    readSize = 64;
    Send(std::string(40, '\t') + "\r\n", 1);
    std::string all;
    ASSERT_TRUE(PumpUntil([&] { return pieces.back().back() == '\n'; }));
    for (const std::string& p : pieces)
        all += p;
    EXPECT_EQ(all.size(), 40 * 8 + 2u);
}

TEST_F(WSocketTest, WaitForFlagEndsWhenTheFlagIsSetOrWithTheTimeoutCode) {
    Connect();
    bool flag = false;
    server.peer->OnDataAvailable = [&](TObject*, WORD) {
        server.peer->ReceiveStr();
        flag = true;
    };
    EXPECT_EQ(client.RunAndWait([&] { client.SendStr("go"); }, flag), 0);
    EXPECT_TRUE(flag);
    client.Timeout = 200;
    bool never = false;
    EXPECT_EQ(client.WaitForFlag(never), 12001);
}

} // namespace
