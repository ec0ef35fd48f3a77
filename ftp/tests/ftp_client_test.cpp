// The FTP client against real servers on loopback: vsftpd for real-world replies and texts,
// pyftpdlib for scripted faults, and SOCKS proxies on the way.
#include "daemon_peer.h"
#include "ftp/ftp_client.h"
#include "ftp_test_env.h"
#include "platform/gui/message_loop.h"
#include "tests/support/temp_dir.h"
#include "tests/support/thrown_message.h"

#include <arpa/inet.h>
#include <chrono>
#include <gtest/gtest.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

using ftptest::PumpFor;
using ftptest::PumpUntil;
using testsupport::ReadFile;
using testsupport::ThrownMessage;
using testsupport::WriteFile;

namespace {

class FtpClientTest : public ::testing::Test {
public:
    void SetUp() override {
        client.OnRequestDone = [this](TObject*, TFtpRequest Rq, WORD Error) { done.push_back({Rq, Error}); };
        client.OnDisplay = [this](TObject*, std::string& Msg) { shown += Msg + "\n"; };
        client.OnCommand = [this](TObject*, std::string& Cmd) { commands.push_back(Cmd); };
        client.HostName = "127.0.0.1";
        client.Timeout = 20;
    }
    // Runs one operation and waits for its OnRequestDone: the pair of code and error.
    std::pair<TFtpRequest, WORD> Run(void (TCustomFtpCli::*Operation)()) {
        done.clear();
        (client.*Operation)();
        EXPECT_TRUE(done.empty()) << "OnRequestDone came from inside the call";
        EXPECT_TRUE(PumpUntil([&] { return !done.empty(); }, 60000)) << shown;
        PumpFor(20);
        EXPECT_EQ(done.size(), 1u) << shown;
        return done.empty() ? std::pair<TFtpRequest, WORD>{0, 0} : done.front();
    }
    void LoginAs(int port, const std::string& user, const std::string& password) {
        client.Port = std::to_string(port);
        client.UserName = user;
        client.PassWord = password;
        ASSERT_EQ(Run(&TCustomFtpCli::SeqLogin), std::make_pair(ftprq::Login, WORD{0}))
            << client.ErrorMessage();
    }
    void Upload(const std::string& name, const std::string& content, WORD expected = 0) {
        WriteFile(local.File(name), content);
        client.SetLocalFileName(local.File(name));
        client.HostFileName = name;
        EXPECT_EQ(Run(&TCustomFtpCli::SeqStore), std::make_pair(ftprq::Stor, expected))
            << client.ErrorMessage() << "\n"
            << shown;
    }
    bool Sent(const std::string& command) const {
        return std::find(commands.begin(), commands.end(), command) != commands.end();
    }

    TFtpClient client{nullptr};
    testsupport::TempDir local{"pw-ftp-local"};
    std::vector<std::pair<TFtpRequest, WORD>> done;
    std::vector<std::string> commands;
    std::string shown;
};

std::string Pattern(size_t size) {
    std::string s(size, '\0');
    for (size_t i = 0; i < size; ++i)
        s[i] = static_cast<char>((i * 131 + i / 7) & 0xFF);
    return s;
}

TEST_F(FtpClientTest, VsftpdAnonymousSessionWithItsOwnTexts) {
    ftptest::Vsftpd server;
    if (!server.Running()) GTEST_SKIP() << "vsftpd needs root";
    // vsftpd takes an anonymous USER with 230: PASS is skipped.
    LoginAs(server.Port(), "anonymous", "guest@");
    EXPECT_FALSE(Sent("PASS guest@"));
    client.HostDirName = "missing";
    EXPECT_EQ(Run(&TCustomFtpCli::StepCwd), std::make_pair(ftprq::Cwd, WORD{550}));
    EXPECT_EQ(client.ErrorMessage(), "550 Failed to change directory.");
    client.HostDirName = "pub";
    EXPECT_EQ(Run(&TCustomFtpCli::StepCwd), std::make_pair(ftprq::Cwd, WORD{0}));
    EXPECT_EQ(client.ErrorMessage(), "");
    client.HostFileName = "newdir";
    EXPECT_EQ(Run(&TCustomFtpCli::StepMkd), std::make_pair(ftprq::Mkd, WORD{0}));
    EXPECT_EQ(client.ReplyDirectory(), "/pub/newdir");
    EXPECT_EQ(Run(&TCustomFtpCli::StepPwd), std::make_pair(ftprq::Pwd, WORD{0}));
    EXPECT_EQ(client.ReplyDirectory(), "/pub");
    EXPECT_EQ(Run(&TCustomFtpCli::SetBinaryAndType), std::make_pair(ftprq::Type, WORD{0}));
    const std::string big = Pattern(3 << 20);
    for (bool passive : {true, false}) {
        SCOPED_TRACE(passive ? "passive" : "active");
        client.SetPassive(passive);
        Upload(passive ? "p.bin" : "a.bin", big);
        EXPECT_TRUE(ReadFile(server.AnonRoot() + "/pub/" + (passive ? "p.bin" : "a.bin")) == big);
        EXPECT_EQ(client.ByteCount(), static_cast<int64_t>(big.size()));
    }
    Upload("empty.txt", "");
    EXPECT_EQ(ReadFile(server.AnonRoot() + "/pub/empty.txt"), "");
    EXPECT_EQ(Run(&TCustomFtpCli::StepQuit), std::make_pair(ftprq::Quit, WORD{0}));
    EXPECT_FALSE(client.Connected());
}

TEST_F(FtpClientTest, VsftpdUserLoginHidesThePasswordAndAFailedSessionStillQuits) {
    ftptest::Vsftpd server;
    if (!server.Running() || !server.UserLogins()) GTEST_SKIP() << "vsftpd user logins need root";
    LoginAs(server.Port(), ftptest::Vsftpd::kUser, ftptest::Vsftpd::kPassword);
    EXPECT_NE(shown.find("> PASS ****"), std::string::npos);
    EXPECT_EQ(shown.find(ftptest::Vsftpd::kPassword), std::string::npos);
    Upload("u.bin", "user data");
    EXPECT_EQ(ReadFile(server.UserRoot() + "/u.bin"), "user data");
    client.AbortNow();

    commands.clear();
    client.PassWord = "wrong";
    WriteFile(local.File("f"), "x");
    client.SetLocalFileName(local.File("f"));
    client.HostFileName = "f";
    EXPECT_EQ(Run(&TCustomFtpCli::SeqUploadFile), std::make_pair(ftprq::UploadFile, WORD{530}));
    EXPECT_EQ(client.ErrorMessage(), "530 Login incorrect.");
    EXPECT_EQ(client.LastReply(), "530 Login incorrect.");
    EXPECT_TRUE(Sent("QUIT")) << "a failed session must still log out";
    EXPECT_FALSE(client.Connected());
}

TEST_F(FtpClientTest, ListAndRetrieveInBothModes) {
    ftptest::PyFtpd server;
    ASSERT_TRUE(server.Running());
    const std::string content = Pattern(200000);
    WriteFile(server.Root() + "/data.bin", content);
    WriteFile(server.Root() + "/other.txt", "x");
    LoginAs(server.Port(), "tester", "secret");
    EXPECT_TRUE(Sent("PASS secret"));
    EXPECT_EQ(Run(&TCustomFtpCli::SetBinaryAndType), std::make_pair(ftprq::Type, WORD{0}));
    for (bool passive : {true, false}) {
        SCOPED_TRACE(passive ? "passive" : "active");
        client.SetPassive(passive);
        client.HostFileName = "data.bin";
        client.SetLocalFileName(local.File(passive ? "p.bin" : "a.bin"));
        client.DisplayFileFlag = false;
        EXPECT_EQ(Run(&TCustomFtpCli::SeqRetrieve), std::make_pair(ftprq::Retr, WORD{0}))
            << client.ErrorMessage() << "\n"
            << shown;
        EXPECT_TRUE(ReadFile(local.File(passive ? "p.bin" : "a.bin")) == content);
        std::vector<std::string> lines;
        client.OnDisplayFile = [&](TObject*, std::string& Line) { lines.push_back(Line); };
        client.DisplayFileFlag = true;
        client.SetLocalFileName("");
        client.HostFileName = "";
        EXPECT_EQ(Run(&TCustomFtpCli::SeqNameList), std::make_pair(ftprq::NameList, WORD{0}))
            << client.ErrorMessage() << "\n"
            << shown;
        std::sort(lines.begin(), lines.end());
        lines.erase(std::remove(lines.begin(), lines.end(), ""), lines.end());
        EXPECT_EQ(lines, (std::vector<std::string>{"data.bin", "other.txt"}));
    }
}

TEST_F(FtpClientTest, UploadsGoThroughEachKindOfSocksProxyForEveryDataConnection) {
    ftptest::PyFtpd server;
    ftptest::Microsocks microsocks;
    ftptest::Microsocks locked("alice", "wonder");
    ftptest::Dante dante;
    ASSERT_TRUE(server.Running() && microsocks.Running() && locked.Running() && dante.Running());
    struct Case {
        const char* name;
        TFtpConnectionType type;
        int proxyPort;
        const char* user;
    } cases[] = {
        {"socks5", ftpSocks5, microsocks.Port(), ""},
        {"socks5 password", ftpSocks5, locked.Port(), "alice"},
        {"socks4", ftpSocks4, dante.Port(), ""},
        {"socks5 dante", ftpSocks5, dante.Port(), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        client.SetConnectionType(c.type);
        EXPECT_TRUE(client.Passive());
        client.SetSocksServer("127.0.0.1");
        client.SetSocksPort(std::to_string(c.proxyPort));
        client.SetSocksUserCode(c.user);
        client.SetSocksPassword("wonder");
        LoginAs(server.Port(), "tester", "secret");
        // Two transfers: the second data connection must go through the proxy as well.
        Upload("one.txt", std::string("first ") + c.name);
        Upload("two.txt", std::string("second ") + c.name);
        EXPECT_EQ(ReadFile(server.Root() + "/two.txt"), std::string("second ") + c.name);
        EXPECT_EQ(Run(&TCustomFtpCli::StepQuit), std::make_pair(ftprq::Quit, WORD{0}));
    }
    // The control connection through a proxy that refuses the password.
    client.SetSocksServer("127.0.0.1");
    client.SetSocksPort(std::to_string(locked.Port()));
    client.SetSocksUserCode("alice");
    client.SetSocksPassword("nope");
    client.Port = std::to_string(server.Port());
    EXPECT_EQ(Run(&TCustomFtpCli::SeqLogin), std::make_pair(ftprq::Login, WORD{20015}));
}

TEST_F(FtpClientTest, PassiveDataGoesToTheControlPeerWhateverThe227Names) {
    ftptest::PyFtpd server("hostile227");
    ASSERT_TRUE(server.Running());
    LoginAs(server.Port(), "tester", "secret");
    client.SetPassive(true);
    EXPECT_EQ(client.Passive(), true);
    Upload("safe.txt", "kept at home");
    EXPECT_NE(shown.find("10,255,255,1"), std::string::npos);
    EXPECT_EQ(ReadFile(server.Root() + "/safe.txt"), "kept at home");
}

TEST_F(FtpClientTest, ActiveModeAcceptsTheDataConnectionOnlyFromTheServer) {
    ftptest::PyFtpd server;
    ASSERT_TRUE(server.Running());
    LoginAs(server.Port(), "tester", "secret");
    client.SetPassive(false);
    // Someone else knocks at the data port first, from another loopback address.
    int intruder = -1;
    client.OnCommand = [&](TObject*, std::string& Cmd) {
        commands.push_back(Cmd);
        if (Cmd.rfind("PORT ", 0) != 0) return;
        int h1, h2, h3, h4, p1, p2;
        sscanf(Cmd.c_str(), "PORT %d,%d,%d,%d,%d,%d", &h1, &h2, &h3, &h4, &p1, &p2);
        intruder = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in from{};
        from.sin_family = AF_INET;
        from.sin_addr.s_addr = htonl(0x7F000002);
        ::bind(intruder, reinterpret_cast<sockaddr*>(&from), sizeof from);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_addr.s_addr = htonl(0x7F000001);
        to.sin_port = htons(static_cast<uint16_t>(p1 * 256 + p2));
        ::connect(intruder, reinterpret_cast<sockaddr*>(&to), sizeof to);
    };
    Upload("mine.txt", "for the server only");
    EXPECT_EQ(ReadFile(server.Root() + "/mine.txt"), "for the server only");
    EXPECT_NE(shown.find("refused"), std::string::npos);
    char probe;
    EXPECT_EQ(::recv(intruder, &probe, 1, 0), 0) << "the intruder got no data";
    ::close(intruder);
}

TEST_F(FtpClientTest, FaultsEndTheRequestWithAnErrorNeverWithSuccess) {
    struct Case {
        const char* mode;
        void (TCustomFtpCli::*operation)();
        TFtpRequest code;
        WORD error;
        const char* message;
    } cases[] = {
        {"bad227", &TCustomFtpCli::SeqStore, ftprq::Stor, 550, "550 Bad PASV reply"},
        {"pasv200", &TCustomFtpCli::SeqStore, ftprq::Stor, 550, "550 Bad PASV reply"},
        {"longreply", &TCustomFtpCli::StepSyst, ftprq::Syst, 500, "500 Reply line too long"},
        {"dropstor", &TCustomFtpCli::SeqStore, ftprq::Stor, 426, nullptr},
    };
    WriteFile(local.File("payload"), Pattern(1 << 20));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        ftptest::PyFtpd server(c.mode);
        ASSERT_TRUE(server.Running());
        LoginAs(server.Port(), "tester", "secret");
        client.SetPassive(true);
        client.SetLocalFileName(local.File("payload"));
        client.HostFileName = "payload";
        const auto result = Run(c.operation);
        EXPECT_EQ(result.first, c.code);
        EXPECT_NE(result.second, 0) << shown;
        if (c.message) {
            EXPECT_EQ(result.second, c.error);
            EXPECT_EQ(client.ErrorMessage(), c.message);
        }
        if (std::string(c.mode) == "longreply") {
            // The connection goes on after the over-long line.
            EXPECT_EQ(Run(&TCustomFtpCli::StepPwd), std::make_pair(ftprq::Pwd, WORD{0}));
        }
        client.AbortNow();
        PumpFor(20);
    }
}

TEST_F(FtpClientTest, ASilentServerEndsTheRequestWithTimeout) {
    ftptest::PyFtpd server("silent");
    ASSERT_TRUE(server.Running());
    client.Timeout = 1;
    client.Port = std::to_string(server.Port());
    client.UserName = "tester";
    client.PassWord = "secret";
    EXPECT_EQ(Run(&TCustomFtpCli::SeqLogin), std::make_pair(ftprq::Login, WORD{426}));
    EXPECT_EQ(client.ErrorMessage(), "426 Timeout");
    EXPECT_FALSE(client.Connected());
}

TEST_F(FtpClientTest, AMultiLineGreetingEndsOnlyAtItsOwnFinalLine) {
    ftptest::PyFtpd server("multiline");
    ASSERT_TRUE(server.Running());
    client.Port = std::to_string(server.Port());
    EXPECT_EQ(Run(&TCustomFtpCli::StepOpen), std::make_pair(ftprq::Open, WORD{0}));
    EXPECT_NE(shown.find("< 2024 is the year"), std::string::npos);
    EXPECT_EQ(client.LastReply(), "220 ready");
    EXPECT_EQ(client.State(), ftpReady);
}

TEST_F(FtpClientTest, FieldsAndArgumentsAreCheckedBeforeAnythingIsSent) {
    ftptest::PyFtpd server;
    ASSERT_TRUE(server.Running());
    EXPECT_EQ(ThrownMessage<FtpException>([&] { client.StepCwd(); }), "HostDirName emtpy");
    client.HostDirName = "x";
    EXPECT_EQ(ThrownMessage<FtpException>([&] { client.StepCwd(); }), "FTP component not connected");
    LoginAs(server.Port(), "tester", "secret");
    commands.clear();
    client.HostFileName = "evil\r\nDELE precious";
    WriteFile(local.File("f"), "x");
    client.SetLocalFileName(local.File("f"));
    EXPECT_EQ(ThrownMessage<FtpException>([&] { client.StepMkd(); }), "Argument contains CR, LF or NUL");
    EXPECT_EQ(Run(&TCustomFtpCli::SeqStore), std::make_pair(ftprq::Stor, WORD{500}));
    EXPECT_EQ(client.ErrorMessage(), "500 Argument contains CR, LF or NUL");
    for (const std::string& c : commands)
        EXPECT_EQ(c.find("DELE"), std::string::npos);
    EXPECT_EQ(ThrownMessage<FtpException>([&] { client.SeqLogin(); }), "FTP component already connected");
}

TEST_F(FtpClientTest, AMissingPasswordEndsTheLoginInsteadOfHanging) {
    ftptest::PyFtpd server;
    ASSERT_TRUE(server.Running());
    client.Port = std::to_string(server.Port());
    client.UserName = "tester";
    client.PassWord = "";
    EXPECT_EQ(Run(&TCustomFtpCli::SeqLogin), std::make_pair(ftprq::Login, WORD{500}));
    EXPECT_EQ(client.ErrorMessage(), "500 Password emtpy");
}

TEST_F(FtpClientTest, AnAbortThroughProgressOrALostFileFailsTheUpload) {
    ftptest::PyFtpd server;
    ASSERT_TRUE(server.Running());
    LoginAs(server.Port(), "tester", "secret");
    client.SetPassive(true);
    int64_t seen = -1;
    client.OnProgress = [&](TObject*, int64_t Count, bool& Abort) {
        seen = Count;
        Abort = Count > 0;
    };
    // The server answers the reset with 426, or stays silent until the inactivity limit.
    client.Timeout = 3;
    Upload("cut.bin", Pattern(4 << 20), 426);
    EXPECT_EQ(client.ErrorMessage(), "426 Transfer aborted");
    client.OnProgress = nullptr;
    if (!client.Connected()) LoginAs(server.Port(), "tester", "secret");
    client.SetLocalFileName(local.File("no-such-file"));
    EXPECT_EQ(Run(&TCustomFtpCli::SeqStore), std::make_pair(ftprq::Stor, WORD{426}));
    EXPECT_EQ(client.ErrorMessage(), "426 Unable to open local file " + local.File("no-such-file"));
}

TEST_F(FtpClientTest, ConnectFailuresReportTheWinsockError) {
    ftptest::PyFtpd server;
    ASSERT_TRUE(server.Running());
    const int port = server.Port();
    server.Stop();
    client.Port = std::to_string(port);
    EXPECT_EQ(Run(&TCustomFtpCli::StepOpen), std::make_pair(ftprq::Open, WORD{10061}));
    EXPECT_EQ(client.LastReply(), "500 Connection refused (Winsock error #10061)");
    client.HostName = "no-such-host.invalid";
    EXPECT_EQ(Run(&TCustomFtpCli::StepOpen), std::make_pair(ftprq::Open, WORD{11001}));
    EXPECT_EQ(client.ErrorMessage(), "500 Host not found (Winsock error #11001)");
    client.HostName = "127.0.0.1";
    client.Port = "70000";
    EXPECT_EQ(Run(&TCustomFtpCli::StepOpen), std::make_pair(ftprq::Open, WORD{500}));
}

TEST_F(FtpClientTest, WaitForReadyRunsTheLoopUntilTheRequestEnds) {
    ftptest::PyFtpd server;
    ASSERT_TRUE(server.Running());
    client.Port = std::to_string(server.Port());
    client.UserName = "tester";
    client.PassWord = "secret";
    EXPECT_TRUE(client.RunThenWait([&] { client.SeqLogin(); }));
    EXPECT_EQ(client.State(), ftpReady);
    client.PassWord = "bad";
    client.AbortNow();
    EXPECT_FALSE(client.RunThenWait([&] { client.SeqLogin(); }));
    client.AbortAndWait();
    EXPECT_EQ(client.State(), ftpReady);
    EXPECT_FALSE(client.Connected());
}

// Servers that keep the connection alive but never finish a reply: each request ends within its
// timeout (counted from the question, not from the last byte) plus a margin, with its own message.
TEST_F(FtpClientTest, RepliesThatNeverEndEndTheRequestInBoundedTime) {
    struct Case {
        const char* mode;
        const char* interval;
        const char* message;
    } cases[] = {
        {"flood", "0", "426 The server's reply ran over 10000 lines"},
        {"floodlong", "0", "426 The server's reply ran over 1 MiB"},
        {"slow", "0.3", "426 The server's reply did not complete within 2 seconds"},
        {"dripgreeting", "1", "426 The server's reply did not complete within 2 seconds"},
        {"dripreply", "1", "426 The server's reply did not complete within 2 seconds"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        ftptest::ScriptPeer server("hostile_ftp_peer.py", {c.mode, c.interval});
        ASSERT_TRUE(server.Running());
        client.Timeout = 2;
        client.Port = server.PortText();
        client.UserName = "tester";
        client.PassWord = "secret";
        shown.clear();
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(Run(&TCustomFtpCli::SeqLogin), std::make_pair(ftprq::Login, WORD{426}));
        // Long before a dripped reply would have come whole (a minute).
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
        EXPECT_EQ(client.ErrorMessage(), c.message);
        EXPECT_NE(shown.find(std::string("! ") + c.message), std::string::npos);
        EXPECT_FALSE(client.Connected());
        EXPECT_EQ(client.State(), ftpReady);
    }
}

// A step refused inside the client's own message handling (a folder with a line break, changed into
// from OnRequestDone as the upload window does) ends as a failed request instead of vanishing.
TEST_F(FtpClientTest, AStepRefusedInsideOnRequestDoneStillEndsWithItsMessage) {
    ftptest::PyFtpd server;
    ASSERT_TRUE(server.Running());
    client.HostDirName = "pub\r\nDELE precious";
    client.Port = server.PortText();
    client.UserName = "tester";
    client.PassWord = "secret";
    client.OnRequestDone = [this](TObject*, TFtpRequest Rq, WORD Error) {
        done.push_back({Rq, Error});
        if (Rq == ftprq::Login && Error == 0) client.StepCwd();
    };
    client.SeqLogin();
    ASSERT_TRUE(PumpUntil([&] { return done.size() >= 2; }, 10000)) << shown;
    EXPECT_EQ(done[0], std::make_pair(ftprq::Login, WORD{0}));
    EXPECT_EQ(done[1], std::make_pair(ftprq::Cwd, WORD{500}));
    EXPECT_EQ(client.ErrorMessage(), "500 Argument contains CR, LF or NUL");
    EXPECT_EQ(client.State(), ftpReady);
    EXPECT_TRUE(client.Connected());
    for (const std::string& c : commands)
        EXPECT_EQ(c.find("CWD"), std::string::npos) << c;

    // Any other exception there reaches OnBgException, and the client stays usable.
    std::string seen;
    client.OnBgException = [&](TObject*, const std::exception& E, bool&) { seen = E.what(); };
    client.OnRequestDone = [this](TObject*, TFtpRequest Rq, WORD Error) {
        done.push_back({Rq, Error});
        throw std::runtime_error("handler failed");
    };
    EXPECT_EQ(Run(&TCustomFtpCli::StepPwd), std::make_pair(ftprq::Pwd, WORD{0}));
    EXPECT_EQ(seen, "handler failed");
    EXPECT_EQ(Run(&TCustomFtpCli::StepQuit), std::make_pair(ftprq::Quit, WORD{0}));
}

// Through a SOCKS proxy the message names the proxy and says what its handshake answered.
TEST_F(FtpClientTest, SocksFailuresNameTheProxyAndSayWhatItAnswered) {
    ftptest::PyFtpd server;
    ftptest::ScriptPeer badVersion("socks_peer.py", {"badver"});
    ftptest::ScriptPeer refusing("socks_peer.py", {"refuse"});
    ftptest::ScriptPeer gone("socks_peer.py", {"ok"});
    ASSERT_TRUE(server.Running() && badVersion.Running() && refusing.Running() && gone.Running());
    const std::string goneProxy = gone.PortText();
    gone.Stop();
    struct Case {
        std::string port;
        WORD error;
        std::string message;
    } cases[] = {
        {badVersion.PortText(), 20002, " answered: socks version error (SOCKS error #20002)"},
        {refusing.PortText(), 20008, " answered: connection refused (SOCKS error #20008)"},
        {goneProxy, 10061, " cannot be reached: Connection refused (Winsock error #10061)"},
    };
    client.Port = server.PortText();
    client.UserName = "tester";
    client.PassWord = "secret";
    client.SetConnectionType(ftpSocks5);
    client.SetSocksServer("127.0.0.1");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.port);
        client.SetSocksPort(c.port);
        EXPECT_EQ(Run(&TCustomFtpCli::SeqLogin), std::make_pair(ftprq::Login, c.error));
        EXPECT_EQ(client.ErrorMessage(), "500 SOCKS proxy 127.0.0.1:" + c.port + c.message);
        EXPECT_FALSE(client.Connected());
    }

    // A proxy that carries the session but refuses its data connection.
    ftptest::ScriptPeer onlyFirst("socks_peer.py", {"onlyfirst"});
    ASSERT_TRUE(onlyFirst.Running());
    client.SetSocksPort(onlyFirst.PortText());
    LoginAs(server.Port(), "tester", "secret");
    Upload("refused.txt", "never sent", 550);
    EXPECT_EQ(client.ErrorMessage(),
              "Unable to establish data connection, error #20008 (SOCKS proxy 127.0.0.1:" +
                  onlyFirst.PortText() + " answered: connection refused)");
}

} // namespace
